// The HTML page builder: any catalogue and any options give page lines
// without line ends (each line stays one line of the page), and catalogue
// texts of whole CP932 characters give lines of whole characters.
#include <cstdint>
#include <string>

#include "core/exchange/exchange.h"
#include "core/exchange/html_export.h"
#include "core/store/album_table.h"
#include "core/store/data_file.h"
#include "fuzz_support.h"

namespace {

using namespace velmora;

// Option texts come from one line of the settings file: no line ends.
std::string oneLine(std::string_view piece)
{
    std::string text;
    for (char c : piece) {
        if (c != '\r' && c != '\n') {
            text += c;
        }
    }
    return text;
}

void checkLines(const std::vector<std::string>& lines, bool wholeInput)
{
    for (const std::string& line : lines) {
        FUZZ_CHECK(line.find_first_of("\r\n") == std::string::npos, "a page line holds no line end");
        if (wholeInput) {
            FUZZ_CHECK(fuzz::isWholeCp932(line), "the page splits no character");
        }
    }
    const std::string bytes = exchange::htmlPageBytes(lines);
    FUZZ_CHECK(store::splitLines(bytes).size() == lines.size(), "the page has one line per page line");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view input(reinterpret_cast<const char*>(data), size);
    if (input.size() < 2) {
        return 0;
    }
    exchange::HtmlOptions options;
    const unsigned flags = static_cast<unsigned char>(input[0]) | static_cast<unsigned char>(input[1]) << 8;
    input.remove_prefix(2);
    options.picture = flags & 1;
    options.category1 = flags & 2;
    options.category2 = flags & 4;
    options.memo = flags & 8;
    options.songs = flags & 16;
    options.mediaLinks = flags & 32;
    options.contents = flags & 64;
    options.copyFiles = flags & 128;
    options.pass = (flags >> 8) & 1;
    options.title = oneLine(fuzz::takePiece(input, 24));
    options.heading = oneLine(fuzz::takePiece(input, 24));
    options.folderName = oneLine(fuzz::takePiece(input, 12));
    options.comments = {oneLine(fuzz::takePiece(input, 24))};

    const std::string fileBytes(input);
    const std::vector<std::string_view> lines = store::splitLines(fileBytes);
    exchange::ImportedRows rows = exchange::importRows(lines, true, "", "");
    store::AlbumTable table;
    exchange::appendRows(table, std::move(rows));

    std::vector<int> albums;
    for (int album = 1; album <= table.albumCount(); ++album) {
        albums.push_back(album);
    }
    if ((flags >> 9) & 1 && !albums.empty()) {
        albums.push_back(albums.front());        // an album listed twice
        albums.push_back(table.rowCount() + 3);  // and one outside the table
    }
    const bool wholeInput = fuzz::isWholeCp932(fileBytes) && fuzz::isWholeCp932(options.title) &&
                            fuzz::isWholeCp932(options.heading) && fuzz::isWholeCp932(options.folderName) &&
                            fuzz::isWholeCp932(options.comments.front());
    const std::filesystem::path linkFolder = fuzz::scratchFolder() / "files";
    checkLines(exchange::htmlPageLines(table, albums, options, linkFolder), wholeInput);
    checkLines(exchange::htmlPreviewLines(options), wholeInput);
    return 0;
}
