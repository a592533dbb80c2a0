// The import split (data files and CSV): every line that is taken becomes
// a row of exactly 305 fields, and the imported albums save and load back
// with the same cells in every column.
#include <cstdint>
#include <string>

#include "core/exchange/exchange.h"
#include "core/store/album_table.h"
#include "core/store/columns.h"
#include "core/store/data_file.h"
#include "core/store/string_grid_io.h"
#include "fuzz_support.h"

namespace {

using namespace velmora;

int fieldCount(std::string_view line)
{
    int count = 1;
    for (std::size_t at = store::fieldEnd(line, 0); at < line.size(); at = store::fieldEnd(line, at + 2)) {
        ++count;
    }
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view input(reinterpret_cast<const char*>(data), size);
    if (input.empty()) {
        return 0;
    }
    const bool dataFileMode = (input.front() & 1) != 0;
    const bool detectEncoding = (input.front() & 2) != 0;
    input.remove_prefix(1);
    const std::string enclose(fuzz::takePiece(input, 2));
    const std::string delimiter(fuzz::takePiece(input, 3));
    const std::string fileBytes(input);
    // As the import reads a file: Shift-JIS as it is, or UTF-8 converted.
    std::string_view text = fileBytes;
    exchange::ImportText converted;
    if (detectEncoding) {
        converted = exchange::importText(fileBytes, nullptr);
        text = converted.text;
        if (converted.utf8) {
            FUZZ_CHECK(fuzz::isWholeCp932(text), "converted UTF-8 text is whole Shift-JIS");
        }
    }
    const std::vector<std::string_view> lines = store::splitLines(text);

    exchange::ImportedRows rows = exchange::importRows(lines, dataFileMode, enclose, delimiter);
    for (std::string_view row : rows.rows) {
        FUZZ_CHECK(fieldCount(row) == store::kColumnCount, "every imported row has every column");
    }

    store::AlbumTable table;
    const std::size_t imported = rows.rows.size();
    exchange::appendRows(table, std::move(rows));
    FUZZ_CHECK(table.albumCount() == static_cast<int>(imported), "every row becomes an album");

    const std::filesystem::path file = fuzz::scratchFolder() / "VLM.dat";
    store::ListFileIO writer;
    writer.TargetGrid = &table;
    FUZZ_CHECK(writer.Write(file, "<>", false), "the imported albums save");
    store::AlbumTable back;
    FUZZ_CHECK(store::loadDataFile(file, back).status == store::LoadStatus::Loaded, "the saved file loads");
    FUZZ_CHECK(back.rowCount() == table.rowCount(), "no saved line reads back as another number of rows");
    for (int row = 1; row < table.rowCount(); ++row) {
        store::AlbumTable::RowCells saved = table.rowCells(row);
        store::AlbumTable::RowCells loaded = back.rowCells(row);
        for (int column = 0; column < store::kColumnCount; ++column) {
            // Loading fills an empty reading with the artist's text.
            if (saved[column] != loaded[column]) {
                FUZZ_CHECK(saved[column].empty(), "no saved line reads back with other cells");
            }
        }
    }
    return 0;
}
