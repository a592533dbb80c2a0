#include "cli/cli.h"

#include <filesystem>
#include <optional>

#include "store/album_table.h"
#include "store/data_file.h"
#include "store/data_folder.h"
#include "store/string_grid_io.h"

namespace velmora::cli {

namespace {

constexpr int kExitError = 2;

const char* const kUsage =
    "使い方: velmora-cli [--data-dir フォルダ] コマンド\n"
    "  info    アルバム数を表示します\n"
    "  save    VLM.dat を読み込んで保存し直します\n";

struct Context {
    store::DataFolder folder;
    std::ostream& out;
    std::ostream& err;
};

// Loads VLM.dat; a missing file is an empty catalogue, as in the program.
std::optional<store::AlbumTable> loadCatalogue(Context& ctx)
{
    store::AlbumTable table;
    store::LoadResult result = store::loadDataFile(ctx.folder.dataFile(), table);
    if (result.status == store::LoadStatus::Unreadable) {
        ctx.err << store::readFailureMessage(result.error) << "\n";
        return std::nullopt;
    }
    return table;
}

int info(Context& ctx)
{
    std::optional<store::AlbumTable> table = loadCatalogue(ctx);
    if (!table) {
        return kExitError;
    }
    ctx.out << "albums: " << table->albumCount() << "\n";
    return 0;
}

int save(Context& ctx)
{
    std::optional<store::AlbumTable> table = loadCatalogue(ctx);
    if (!table) {
        return kExitError;
    }
    store::TStringGridIO writer;
    writer.TargetGrid = &*table;
    store::FileError error;
    if (!writer.Write(ctx.folder.dataFile(), "<>", false, &error)) {
        ctx.err << store::writeFailureMessage(error) << "\n";
        return kExitError;
    }
    return 0;
}

}  // namespace

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    std::filesystem::path dataDir = store::DataFolder::executableDir();
    std::size_t i = 0;
    while (i < args.size() && args[i].starts_with("--")) {
        if (args[i] == "--data-dir" && i + 1 < args.size()) {
            dataDir = args[i + 1];
            i += 2;
        } else if (args[i] == "--help") {
            out << kUsage;
            return 0;
        } else {
            err << "不明なオプションです: " << args[i] << "\n" << kUsage;
            return kExitError;
        }
    }
    if (i >= args.size()) {
        err << kUsage;
        return kExitError;
    }
    Context ctx{store::DataFolder(dataDir), out, err};
    const std::string& command = args[i];
    if (command == "info") {
        return info(ctx);
    }
    if (command == "save") {
        return save(ctx);
    }
    err << "不明なコマンドです: " << command << "\n" << kUsage;
    return kExitError;
}

}  // namespace velmora::cli
