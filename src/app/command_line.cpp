#include "app/command_line.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>
#include <system_error>

#include "core/store/data_folder.h"
#include "core/store/file_error.h"

namespace velmora::app {

StartRequest parseStartArguments(const std::vector<std::string>& args)
{
    StartRequest request;
    for (const std::string& arg : args) {
        if (arg == "--version") {
            request.kind = StartRequest::Kind::Version;
            return request;
        }
        if (arg == "--help" || arg == "-h") {
            request.kind = StartRequest::Kind::Help;
            return request;
        }
    }
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string value;
        if (arg == "--data-dir") {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                request.kind = StartRequest::Kind::Invalid;
                request.message = "--data-dir のあとにフォルダを指定してください。";
                return request;
            }
            value = args[++i];
        } else if (arg.starts_with("--data-dir=")) {
            value = arg.substr(std::string_view("--data-dir=").size());
            if (value.empty()) {
                request.kind = StartRequest::Kind::Invalid;
                request.message = "--data-dir のあとにフォルダを指定してください。";
                return request;
            }
        } else {
            request.kind = StartRequest::Kind::Invalid;
            request.message = "不明なオプションです: " + arg;
            return request;
        }
        std::error_code ec;
        std::filesystem::path absolute = std::filesystem::absolute(value, ec);
        request.dataDir = ec ? std::filesystem::path(value) : absolute.lexically_normal();
    }
    return request;
}

std::string versionText(const std::string& programName)
{
    return programName + " " VELMORA_VERSION "\n";
}

std::string helpText(const std::filesystem::path& defaultDataDir)
{
    return "使い方: velmora [--data-dir フォルダ]\n"
           "音楽CD・メディアファイルのカタログ Velmora を開きます。\n"
           "\n"
           "オプション:\n"
           "  --data-dir フォルダ  カタログ (VLM.dat)、設定 (VLM.ini) と一覧ファイルを\n"
           "                       このフォルダで読み書きします。ないときは作成します。\n"
           "  -h, --help           この説明を表示して終了します\n"
           "  --version            バージョンを表示して終了します\n"
           "\n"
           "--data-dir を指定しないときのフォルダ:\n"
           "  " +
           defaultDataDir.string() +
           "\n"
           "  (インストールしたプログラムは $XDG_DATA_HOME/velmora、既定では\n"
           "  ~/.local/share/velmora を使い、初回の起動で作成します。展開しただけの\n"
           "  プログラムはプログラムと同じフォルダを使います。)\n"
           "\n"
           "コマンドラインでの操作は velmora-cli を使ってください (velmora-cli --help)。\n";
}

bool prepareDataDir(const std::filesystem::path& dir, std::string* message)
{
    const store::DataFolder folder(dir);
    store::FileError error;
    if (folder.create(&error) && folder.check(&error)) {
        return true;
    }
    if (message != nullptr) {
        *message = "データフォルダを作成できません。\n" + dir.string() + "\n" + error.reason;
    }
    return false;
}

std::optional<int> answerInformationRequest(int argc, char** argv)
{
    const StartRequest request = parseStartArguments(std::vector<std::string>(argv + 1, argv + argc));
    if (request.kind == StartRequest::Kind::Version) {
        std::fputs(versionText("velmora").c_str(), stdout);
        return 0;
    }
    if (request.kind == StartRequest::Kind::Help) {
        const std::filesystem::path folder = store::DataFolder::defaultDir(
            store::DataFolder::executableDir(), std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
        std::fputs(helpText(folder).c_str(), stdout);
        return 0;
    }
    return std::nullopt;
}

std::optional<std::filesystem::path> chooseDataFolder()
{
    std::vector<std::string> arguments;
    for (const QString& argument : QApplication::arguments().mid(1)) {
        arguments.push_back(argument.toStdString());
    }
    const StartRequest request = parseStartArguments(arguments);
    if (request.kind == StartRequest::Kind::Invalid) {
        std::fprintf(stderr, "velmora: %s\n", request.message.c_str());
        return std::nullopt;
    }
    if (request.dataDir.empty()) {
        return store::DataFolder::defaultDir();
    }
    std::string problem;
    if (!prepareDataDir(request.dataDir, &problem)) {
        std::fprintf(stderr, "velmora: %s\n", problem.c_str());
        QMessageBox::critical(nullptr, QStringLiteral("Velmora"), QString::fromStdString(problem));
        return std::nullopt;
    }
    return request.dataDir;
}

}  // namespace velmora::app
