#include "cli/cli.h"
#include "cli/cli_common.h"

#include <unicode/unistr.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>

#include "backends/folder_lock.h"
#include "backends/gst_media.h"
#include "core/common/line_feed_stream.h"
#include "core/exchange/exchange.h"
#include "core/exchange/html_export.h"
#include "core/media/audio_cd.h"
#include "core/store/album_record.h"
#include "core/store/album_table.h"
#include "core/store/app_settings.h"
#include "core/store/atomic_file.h"
#include "core/store/columns.h"
#include "core/store/data_file.h"
#include "core/store/data_folder.h"
#include "core/text/cp932.h"
#include "core/text/kana_width.h"
#include "core/textops/textops.h"
#include "core/websearch/websearch.h"

namespace velmora::cli {

const char* const kUsage =
    "使い方: velmora-cli [--data-dir フォルダ] コマンド\n"
    "       velmora-cli -h | --help | --version\n"
    "  info    アルバム数を表示します\n"
    "  save    VLM.dat を読み込んで保存し直します\n"
    "  export dat|csv|html ファイル [--albums 一覧] [--enclose 文字] [--delimiter 文字] [--utf8]\n"
    "          表示されているアルバムを書き出します (--utf8: CSV を BOM 付き UTF-8 で)\n"
    "  import ファイル (--dat | --csv [--enclose 文字] [--delimiter 文字])\n"
    "          アルバムを読み込んで VLM.dat に保存します (UTF-8 のファイルは変換して)\n"
    "  copy 形式 [--albums 一覧] [--song 曲番号]\n"
    "          クリップボードにコピーする文を表示します (形式 0-5)\n"
    "  search グループ 単語 [--albums 一覧] [--fold]\n"
    "          検索結果を「アルバム番号<TAB>曲番号」で表示します (グループ 0-6;\n"
    "          --fold: かな・全角半角・大文字小文字を区別しない)\n"
    "  convert グループ 種類 [--albums 一覧]\n"
    "          文字を変換して VLM.dat に保存します (グループ 0-8, 種類 0-4)\n"
    "  replace グループ 置換前 置換後 [--albums 一覧]\n"
    "          文字列を置換して VLM.dat に保存します (グループ 0-8)\n"
    "  websearch アルバム番号 --site サイト番号 [--song 曲番号]\n"
    "          インターネット検索のアドレスを表示します\n"
    "  cd toc|register アルバム番号|lookup --device デバイス\n"
    "          音楽CD (ドライブかディスクイメージ) の参照を表示・登録・検索します\n"
    "  cd discid --device デバイス\n"
    "          MusicBrainz と FreeDB のディスクIDと登録ページのアドレスを表示します\n"
    "  cd fetch --device デバイス [--album アルバム番号] [--release MBID] [--no-cover] [--overwrite]\n"
    "          MusicBrainz のアルバム情報 (とカバー画像) をアルバムに書き込みます\n"
    "  scan フォルダ [--dry-run] [--tag-encoding auto|latin1|sjis]\n"
    "          フォルダの音楽ファイルのタグからアルバムを登録して VLM.dat に保存します\n"
    "          (--dry-run: 登録するアルバムを表示するだけ)\n"
    "  readings [--dry-run] [--dictionary フォルダ]\n"
    "          フリガナが空かアーティスト名と同じアルバムに読みを設定して VLM.dat に保存します\n"
    "          (「アルバム番号<TAB>アーティスト<TAB>読み」を表示; --dry-run: 表示するだけ)\n"
    "  一覧: アルバム番号と範囲を表示順に、例 3,1-2,3 (省略時はすべて番号順)\n"
    "終了コード: 0 成功、1 該当なし (search) か読めないディスク (cd)、2 エラー\n";

std::unique_ptr<catalogue::Catalogue> openCatalogue(Context& ctx, bool withSettings,
                                                    std::optional<store::FileError>* listError,
                                                    store::LoadBuffer buffer)
{
    auto opened = std::make_unique<catalogue::Catalogue>(ctx.folder);
    const catalogue::LoadReport report =
        withSettings ? opened->load({}, buffer) : opened->loadDataFileOnly(buffer);
    if (report.folderError) {
        ctx.err << store::readFailureMessage(*report.folderError) << "\n";
        return nullptr;
    }
    if (report.dataStatus == store::LoadStatus::Unreadable) {
        ctx.err << store::readFailureMessage(report.dataError) << "\n";
        return nullptr;
    }
    if (listError != nullptr) {
        *listError = report.listError;
    }
    return opened;
}

int refuseWhileWindowOpen(Context& ctx)
{
    if (!platform::FolderLock::heldByOther(ctx.folder.dir())) {
        return 0;
    }
    ctx.err << "このデータフォルダ (" << ctx.folder.dir().string()
            << ") は Velmora のウィンドウが使用中のため、書き込めません。"
               "ウィンドウを閉じてからもう一度実行してください。\n";
    return kExitError;
}

int saveCatalogue(Context& ctx, catalogue::Catalogue& catalogue)
{
    // A window that opened while the command ran saves its own albums on
    // closing: it is left the catalogue.
    if (int refused = refuseWhileWindowOpen(ctx); refused != 0) {
        return refused;
    }
    const catalogue::SaveReport report = catalogue.saveDataFileOnly();
    switch (report.status) {
        case catalogue::SaveStatus::Saved:
            return 0;
        case catalogue::SaveStatus::ChangedOnDisk:
            ctx.err << catalogue::changedOnDiskRefusal(ctx.folder.dataFile().string()) << "\n";
            return kExitError;
        case catalogue::SaveStatus::NeedsConsent:
            // openCatalogue() gives no catalogue whose file was unreadable.
            ctx.err << catalogue::saveOverUnreadableQuestion(ctx.folder.dataFile().string()) << "\n";
            return kExitError;
        case catalogue::SaveStatus::Failed:
            break;
    }
    ctx.err << store::writeFailureMessage(report.error) << "\n";
    return kExitError;
}

int refuse(Context& ctx, catalogue::Problem problem)
{
    ctx.err << catalogue::problemMessage(problem) << "\n";
    return kExitError;
}

int info(Context& ctx)
{
    std::unique_ptr<catalogue::Catalogue> opened = openCatalogue(ctx);
    if (!opened) {
        return kExitError;
    }
    ctx.out << "albums: " << opened->albumCount() << "\n";
    return 0;
}

int save(Context& ctx)
{
    std::unique_ptr<catalogue::Catalogue> opened = openCatalogue(ctx);
    if (!opened) {
        return kExitError;
    }
    return saveCatalogue(ctx, *opened);
}

// Parses `args` from `first` on. `valued` lists the options that take a
// value, `flags` those that do not; anything else is an error.
std::optional<Arguments> parseArguments(Context& ctx, const std::vector<std::string>& args, std::size_t first,
                                        std::initializer_list<std::string_view> valued,
                                        std::initializer_list<std::string_view> flags)
{
    auto among = [](std::initializer_list<std::string_view> names, const std::string& arg) {
        return std::find(names.begin(), names.end(), arg) != names.end();
    };
    Arguments parsed;
    for (std::size_t i = first; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (among(valued, arg)) {
            if (i + 1 == args.size()) {
                ctx.err << "オプションの値がありません: " << arg << "\n" << kUsage;
                return std::nullopt;
            }
            parsed.options[arg] = args[++i];
        } else if (among(flags, arg)) {
            parsed.options[arg] = "";
        } else if (arg.starts_with("--")) {
            ctx.err << "不明なオプションです: " << arg << "\n" << kUsage;
            return std::nullopt;
        } else {
            parsed.positional.push_back(arg);
        }
    }
    return parsed;
}

std::optional<int> parseNumber(std::string_view text)
{
    int value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

// The album list as shown: "3,1-2,3" (numbers and ranges, in list order,
// repeats allowed); without --albums every album in number order. Every
// number must be an album of the table.
std::optional<std::vector<int>> albumList(Context& ctx, const Arguments& arguments,
                                          const store::AlbumTable& table)
{
    std::vector<int> albums;
    if (!arguments.has("--albums")) {
        for (int album = 1; album <= table.albumCount(); ++album) {
            albums.push_back(album);
        }
        return albums;
    }
    const std::string list = arguments.value("--albums");
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = std::min(list.find(',', start), list.size());
        std::string_view item = std::string_view(list).substr(start, end - start);
        std::size_t dash = item.find('-');
        std::optional<int> from = parseNumber(item.substr(0, dash));
        std::optional<int> to = dash == std::string_view::npos ? from : parseNumber(item.substr(dash + 1));
        if (!from || !to || *from < 1 || *to < *from) {
            ctx.err << "アルバム番号の指定が正しくありません: " << list << "\n";
            return std::nullopt;
        }
        if (*to > table.albumCount()) {
            ctx.err << "存在しないアルバム番号です: " << *to << "\n";
            return std::nullopt;
        }
        for (int album = *from; album <= *to; ++album) {
            albums.push_back(album);
        }
        start = end + 1;
    }
    return albums;
}

// A command-line text (UTF-8) as CP932 bytes.
std::optional<std::string> cp932Argument(Context& ctx, const std::string& utf8)
{
    icu::UnicodeString text = icu::UnicodeString::fromUTF8(utf8);
    text::EncodeResult result =
        text::fromUnicode(std::u16string_view(text.getBuffer(), static_cast<std::size_t>(text.length())));
    if (!result.ok) {
        std::string name;
        icu::UnicodeString(static_cast<UChar32>(result.badChar)).toUTF8String(name);
        char code[16];
        std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(result.badChar));
        ctx.err << "「" << name << "」(" << code << ") は保存できない文字です。\n";
        return std::nullopt;
    }
    return result.bytes;
}

std::string utf8Of(std::string_view cp932)
{
    std::u16string text = text::toUnicode(cp932);
    std::string out;
    icu::UnicodeString(text.data(), static_cast<int32_t>(text.size())).toUTF8String(out);
    return out;
}

namespace {

struct CsvFormat {
    std::string enclose;
    std::string delimiter = ",";
};

std::optional<CsvFormat> csvFormat(Context& ctx, const Arguments& arguments)
{
    std::optional<std::string> enclose = cp932Argument(ctx, arguments.value("--enclose"));
    std::optional<std::string> delimiter = cp932Argument(ctx, arguments.value("--delimiter", ","));
    if (!enclose || !delimiter) {
        return std::nullopt;
    }
    return CsvFormat{*enclose, *delimiter};
}

// export dat|csv FILE [--albums LIST] [--enclose T] [--delimiter T]
int exportAlbums(Context& ctx, const std::vector<std::string>& args, std::size_t first)
{
    std::optional<Arguments> arguments =
        parseArguments(ctx, args, first, {"--albums", "--enclose", "--delimiter"}, {"--utf8"});
    if (!arguments) {
        return kExitError;
    }
    if (arguments->positional.size() != 2 ||
        (arguments->has("--utf8") && arguments->positional[0] != "csv") ||
        (arguments->positional[0] != "dat" && arguments->positional[0] != "csv" &&
         arguments->positional[0] != "html")) {
        ctx.err << kUsage;
        return kExitError;
    }
    const bool csv = arguments->positional[0] == "csv";
    const std::filesystem::path file = arguments->positional[1];
    std::optional<CsvFormat> format = csvFormat(ctx, *arguments);
    std::unique_ptr<catalogue::Catalogue> opened = format ? openCatalogue(ctx) : nullptr;
    std::optional<std::vector<int>> listed =
        opened ? albumList(ctx, *arguments, opened->albums()) : std::nullopt;
    if (!listed) {
        return kExitError;
    }
    if (listed->empty()) {
        ctx.err << "表示されているアルバムがありません\n";
        return kExitError;
    }
    if (!exchange::folderExists(file)) {
        ctx.err << "存在しないディレクトリです\n";
        return kExitError;
    }
    const store::AlbumTable* table = &opened->albums();
    if (arguments->positional[0] == "html") {
        // The page follows the list as shown, repeats included.
        std::vector<std::string> messages;
        const bool written = exchange::exportHtmlPage(file, *table, *listed, ctx.folder.dir(), &messages);
        for (const std::string& message : messages) {
            ctx.err << message << "\n";
        }
        return written && messages.empty() ? 0 : kExitError;
    }
    const std::vector<int> albums = exchange::exportAlbumSet(*listed, table->rowCount());
    store::FileError error;
    const bool written = csv ? exchange::writeCsvExport(file, *table, albums, format->enclose,
                                                        format->delimiter, &error, arguments->has("--utf8"))
                             : exchange::writeDataExport(file, *table, albums, &error);
    if (!written) {
        ctx.err << store::writeFailureMessage(error) << "\n";
        return kExitError;
    }
    return 0;
}

// import FILE (--dat | --csv [--enclose T] [--delimiter T])
int importAlbums(Context& ctx, const std::vector<std::string>& args, std::size_t first)
{
    std::optional<Arguments> arguments =
        parseArguments(ctx, args, first, {"--enclose", "--delimiter"}, {"--dat", "--csv"});
    if (!arguments) {
        return kExitError;
    }
    const bool dataFileMode = arguments->has("--dat");
    if (arguments->positional.size() != 1 || dataFileMode == arguments->has("--csv") ||
        (dataFileMode && (arguments->has("--enclose") || arguments->has("--delimiter")))) {
        ctx.err << kUsage;
        return kExitError;
    }
    std::optional<CsvFormat> format = csvFormat(ctx, *arguments);
    if (!format) {
        return kExitError;
    }
    const std::filesystem::path file = arguments->positional[0];
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) {
        ctx.err << "存在しないファイルです\n";
        return kExitError;
    }
    auto bytes = std::make_shared<store::FileBytes>();
    store::FileError error;
    if (!store::readWholeFile(file, *bytes, &error)) {
        ctx.err << store::readFailureMessage(error) << "\n";
        return kExitError;
    }
    // A UTF-8 or UTF-16 file is converted first; every line is imported.
    const exchange::ImportText text = exchange::importText(bytes->view(), bytes);
    if (!text.refusal.empty()) {
        ctx.err << text.refusal << "\n";
        return kExitError;
    }
    exchange::ImportedRows imported = exchange::importRows(store::splitLines(text.text), dataFileMode,
                                                           format->enclose, format->delimiter, text.source);
    std::unique_ptr<catalogue::Catalogue> opened = openCatalogue(ctx);
    if (!opened) {
        return kExitError;
    }
    const std::string report = exchange::importReport(text, imported);
    opened->appendImported(std::move(imported));
    const int written = saveCatalogue(ctx, *opened);
    if (written == 0 && !report.empty()) {
        ctx.err << report << "\n";
    }
    return written;
}

// copy FORMAT [--albums LIST] [--song N]
int copy(Context& ctx, const std::vector<std::string>& args, std::size_t first)
{
    std::optional<Arguments> arguments = parseArguments(ctx, args, first, {"--albums", "--song"}, {});
    if (!arguments) {
        return kExitError;
    }
    std::optional<int> format =
        arguments->positional.size() == 1 ? parseNumber(arguments->positional[0]) : std::nullopt;
    if (!format || *format < 0 || *format >= exchange::kClipFormatCount) {
        ctx.err << kUsage;
        return kExitError;
    }
    const auto clip = static_cast<exchange::ClipFormat>(*format);
    int song = 0;
    if (clip == exchange::ClipFormat::SongDetails || clip == exchange::ClipFormat::SongTitle) {
        std::optional<int> number = parseNumber(arguments->value("--song"));
        if (!number || *number < 1 || *number > store::kSongSlots) {
            ctx.err << "曲番号 (1-99) を --song で指定してください\n";
            return kExitError;
        }
        song = *number;
    }
    std::unique_ptr<catalogue::Catalogue> opened = openCatalogue(ctx);
    std::optional<std::vector<int>> albums =
        opened ? albumList(ctx, *arguments, opened->albums()) : std::nullopt;
    if (!albums) {
        return kExitError;
    }
    ctx.out << utf8Of(exchange::clipboardText(opened->albums(), clip, *albums, song));
    return 0;
}

// The captions of the search groups, as the search page names them.
const char* const kSearchGroups[] = {"アーティスト名", "アルバム名", "曲名",          "ジャンル",
                                     "メディア",       "メモ",       "すべてのデータ"};

std::optional<int> groupArgument(Context& ctx, const std::string& text, int count)
{
    std::optional<int> group = parseNumber(text);
    if (!group || *group < 0 || *group >= count) {
        ctx.err << "グループの番号が正しくありません: " << text << "\n";
        return std::nullopt;
    }
    return group;
}

// The start of the group commands: the arguments (the group first, then
// `positional` - 1 more), the catalogue and the group number.
struct GroupCommand {
    Arguments arguments;
    std::unique_ptr<catalogue::Catalogue> catalogue;
    int group = 0;
};

std::optional<GroupCommand> openGroupCommand(Context& ctx, const std::vector<std::string>& args,
                                             std::size_t first, std::size_t positional, int groups,
                                             std::initializer_list<std::string_view> flags = {})
{
    std::optional<Arguments> arguments = parseArguments(ctx, args, first, {"--albums"}, flags);
    if (!arguments || arguments->positional.size() != positional) {
        if (arguments) {
            ctx.err << kUsage;
        }
        return std::nullopt;
    }
    std::unique_ptr<catalogue::Catalogue> opened = openCatalogue(ctx);
    std::optional<int> group = opened ? groupArgument(ctx, arguments->positional[0], groups) : std::nullopt;
    if (!group) {
        return std::nullopt;
    }
    return GroupCommand{std::move(*arguments), std::move(opened), *group};
}

// search GROUP WORD [--albums LIST]: album<TAB>song per hit, in the order
// of the result list (album numbers, the list's first sort column).
int searchAlbums(Context& ctx, const std::vector<std::string>& args, std::size_t first)
{
    std::optional<GroupCommand> command = openGroupCommand(ctx, args, first, 2, 7, {"--fold"});
    if (!command) {
        return kExitError;
    }
    const Arguments& arguments = command->arguments;
    catalogue::Catalogue& catalogue = *command->catalogue;
    const int group = command->group;
    const std::string& wordText = arguments.positional[1];
    // Every album is shown until --albums says otherwise.
    if (const catalogue::Problem problem = catalogue.searchProblem(wordText);
        problem != catalogue::Problem::None) {
        return refuse(ctx, problem);
    }
    std::optional<std::vector<int>> albums = albumList(ctx, arguments, catalogue.albums());
    std::string typed = wordText;
    if (arguments.has("--fold")) {
        // Folded first, so that a kana Shift-JIS lacks (ゔ) still finds its twin.
        const icu::UnicodeString unicode = icu::UnicodeString::fromUTF8(wordText);
        const std::u16string folded = text::foldForSearch(
            std::u16string_view(unicode.getBuffer(), static_cast<std::size_t>(unicode.length())));
        typed.clear();
        icu::UnicodeString(folded.data(), static_cast<int32_t>(folded.size())).toUTF8String(typed);
    }
    std::optional<std::string> word = cp932Argument(ctx, typed);
    if (!albums || !word) {
        return kExitError;
    }
    // The result list as the window shows it: in album-number order.
    catalogue.showAlbums(*albums);
    catalogue.showSearchResult(catalogue.search(
        group, *word, arguments.has("--fold") ? textops::SearchMode::Folded : textops::SearchMode::Plain));
    const std::vector<catalogue::ListEntry>& hits = catalogue.entries();
    if (hits.empty()) {
        ctx.err << kSearchGroups[group] << "検索 \"" << wordText << "\" を含むデータはありません\n";
        return 1;
    }
    std::string text;
    for (const catalogue::ListEntry& hit : hits) {
        text += std::to_string(hit.album) + "\t" +
                (hit.searchSong > 0 ? std::to_string(hit.searchSong) : std::string()) + "\n";
    }
    ctx.out << text;
    return 0;
}

// Reports cells that kept their text because the result could not be
// stored, and writes the catalogue.
int finishBulkChange(Context& ctx, catalogue::Catalogue& catalogue, const catalogue::BulkResult& result)
{
    if (!result.ok()) {
        return refuse(ctx, result.problem);
    }
    if (result.refusedCells > 0) {
        ctx.err << catalogue::refusedCellsMessage(result.refusedCells) << "\n";
    }
    return saveCatalogue(ctx, catalogue);
}

// convert GROUP KIND [--albums LIST]
int convertAlbums(Context& ctx, const std::vector<std::string>& args, std::size_t first)
{
    std::optional<GroupCommand> command = openGroupCommand(ctx, args, first, 2, 9);
    std::optional<int> kind =
        command ? groupArgument(ctx, command->arguments.positional[1], 5) : std::nullopt;
    if (!kind) {
        return kExitError;
    }
    catalogue::Catalogue& catalogue = *command->catalogue;
    std::optional<std::vector<int>> albums = albumList(ctx, command->arguments, catalogue.albums());
    if (!albums) {
        return kExitError;
    }
    catalogue.showAlbums(*albums);
    return finishBulkChange(ctx, catalogue, catalogue.convert(command->group, *kind));
}

// replace GROUP FIND REPLACEMENT [--albums LIST]: the catalogue's replace,
// guards included.
int replaceInAlbums(Context& ctx, const std::vector<std::string>& args, std::size_t first)
{
    std::optional<GroupCommand> command = openGroupCommand(ctx, args, first, 3, 9);
    if (!command) {
        return kExitError;
    }
    const Arguments& arguments = command->arguments;
    catalogue::Catalogue& catalogue = *command->catalogue;
    std::optional<std::vector<int>> albums = albumList(ctx, arguments, catalogue.albums());
    if (!albums) {
        return kExitError;
    }
    std::optional<std::string> findBytes = cp932Argument(ctx, arguments.positional[1]);
    std::optional<std::string> replacementBytes =
        findBytes ? cp932Argument(ctx, arguments.positional[2]) : std::nullopt;
    if (!findBytes || !replacementBytes) {
        return kExitError;
    }
    catalogue.showAlbums(*albums);
    return finishBulkChange(ctx, catalogue, catalogue.replace(command->group, *findBytes, *replacementBytes));
}

// websearch ALBUM --site N [--song N]: the address the edit dialog's web
// search opens for the album, with the search items and sites of the data
// folder's settings.
int webSearch(Context& ctx, const std::vector<std::string>& args, std::size_t first)
{
    std::optional<Arguments> arguments = parseArguments(ctx, args, first, {"--site", "--song"}, {});
    if (!arguments || arguments->positional.size() != 1 || !arguments->has("--site")) {
        if (arguments) {
            ctx.err << kUsage;
        }
        return kExitError;
    }
    std::optional<store::FileError> listError;
    std::unique_ptr<catalogue::Catalogue> opened = openCatalogue(ctx, true, &listError);
    if (!opened) {
        return kExitError;
    }
    std::optional<int> album = parseNumber(arguments->positional[0]);
    std::optional<int> site = parseNumber(arguments->value("--site"));
    std::optional<int> song =
        arguments->has("--song") ? parseNumber(arguments->value("--song")) : std::optional<int>(0);
    if (!album || *album < 1 || *album > opened->albumCount()) {
        ctx.err << "存在しないアルバム番号です: " << arguments->positional[0] << "\n";
        return kExitError;
    }
    if (listError) {
        ctx.err << store::readFailureMessage(*listError) << "\n";
        return kExitError;
    }
    const store::AppSettings& settings = opened->settings();
    const store::ListFiles& lists = opened->lists();
    if (!site || *site < 1 || *site >= static_cast<int>(lists.siteHeads.size())) {
        ctx.err << "サイトの番号が正しくありません: " << arguments->value("--site") << "\n";
        return kExitError;
    }
    if (!song || *song < 0 || *song > store::kSongSlots) {
        ctx.err << "曲番号が正しくありません: " << arguments->value("--song") << "\n";
        return kExitError;
    }
    const store::AlbumTable::RowCells cells = opened->albums().rowCells(*album);
    auto cell = [&](int column) {
        return std::optional<std::string>(std::string(cells[static_cast<std::size_t>(column)]));
    };
    const std::array<std::optional<std::string>, websearch::kItemCount> fields = {
        cell(store::ArtistColumn), cell(store::AlbumColumn),
        *song > 0 ? cell(store::songTitleColumn(*song)) : std::nullopt, cell(store::Category1Column),
        cell(store::Category2Column),
        // The memo as the edit dialog shows it: its lines.
        [&] {
            const std::vector<std::string> lines = store::splitMemo(cells[store::Category3Column]);
            std::string text;
            for (std::size_t i = 0; i < lines.size(); ++i) {
                text += (i == 0 ? "" : "\n") + lines[i];
            }
            return std::optional<std::string>(text);
        }()};
    const auto row = static_cast<std::size_t>(*site);
    const std::string tail = row < lists.siteTails.size() ? lists.siteTails[row] : std::string();
    ctx.out << websearch::searchAddress(lists.siteHeads[row],
                                        websearch::searchQuery(settings.internetChecks, fields), tail)
            << "\n";
    return 0;
}

}  // namespace

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& terminalErr)
{
    // The messages' lines end with LF alone on the terminal.
    common::LineFeedOnlyStream err(terminalErr);
    std::filesystem::path dataDir;
    std::size_t i = 0;
    while (i < args.size() && args[i].starts_with("-")) {
        if (args[i] == "--data-dir" && i + 1 < args.size()) {
            dataDir = args[i + 1];
            i += 2;
        } else if (args[i] == "--help" || args[i] == "-h") {
            out << kUsage;
            return 0;
        } else if (args[i] == "--version") {
            out << "velmora-cli " VELMORA_VERSION "\n";
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
    if (dataDir.empty()) {
        dataDir = store::DataFolder::defaultDir();
    }
    // What a killed save left behind goes before anything is read.
    store::removeStaleTemporaryFiles(dataDir);
    Context ctx{store::DataFolder(dataDir), out, err};
    const std::string& command = args[i];
    // The commands that always write are refused before they start while a
    // window holds the folder (the others check when they save).
    if (command == "save" || command == "import" || command == "convert" || command == "replace") {
        if (int refused = refuseWhileWindowOpen(ctx); refused != 0) {
            return refused;
        }
    }
    using Command = int (*)(Context&, const std::vector<std::string>&, std::size_t);
    static const std::map<std::string, Command> kCommands = {
        {"info", [](Context& c, const std::vector<std::string>&, std::size_t) { return info(c); }},
        {"save", [](Context& c, const std::vector<std::string>&, std::size_t) { return save(c); }},
        {"export", exportAlbums},
        {"import", importAlbums},
        {"copy", copy},
        {"websearch", webSearch},
        {"search", searchAlbums},
        {"convert", convertAlbums},
        {"replace", replaceInAlbums},
        {"cd", audioCd},
        {"scan", scanFolder},
        {"readings", setReadings},
    };
    if (auto it = kCommands.find(command); it != kCommands.end()) {
        return it->second(ctx, args, i + 1);
    }
    err << "不明なコマンドです: " << command << "\n" << kUsage;
    return kExitError;
}

}  // namespace velmora::cli
