// The catalogue file: whatever a file holds, loading and saving it gives a
// file that loads into the same table and saves as the very same bytes
// (load -> save -> load is a fixed point), with one line per row.
#include <cstdint>
#include <fstream>
#include <string>

#include "core/store/album_table.h"
#include "core/store/data_file.h"
#include "core/store/string_grid_io.h"
#include "fuzz_support.h"

namespace {

using namespace velmora;

std::string readAll(const std::filesystem::path& file)
{
    store::FileBytes bytes;
    FUZZ_CHECK(store::readWholeFile(file, bytes, nullptr), "a saved file reads");
    return std::string(bytes.view());
}

void loadSaved(const std::filesystem::path& file, store::AlbumTable& table)
{
    store::LoadResult result = store::loadDataFile(file, table);
    FUZZ_CHECK(result.status == store::LoadStatus::Loaded, "a saved file loads");
}

void save(const store::AlbumTable& table, const std::filesystem::path& file)
{
    store::ListFileIO writer;
    writer.TargetGrid = &table;
    store::FileError error;
    FUZZ_CHECK(writer.Write(file, "<>", false, &error), "the table saves");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::filesystem::path& folder = fuzz::scratchFolder();
    const std::filesystem::path input = folder / "input.dat";
    const std::filesystem::path first = folder / "VLM.dat";
    const std::filesystem::path second = folder / "second.dat";
    {
        std::ofstream out(input, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }

    store::AlbumTable table;
    if (store::loadDataFile(input, table).status != store::LoadStatus::Loaded) {
        return 0;
    }
    save(table, first);
    const std::string firstBytes = readAll(first);
    FUZZ_CHECK(store::splitLines(firstBytes).size() == static_cast<std::size_t>(table.rowCount()),
               "one saved line per row");

    store::AlbumTable again;
    loadSaved(first, again);
    FUZZ_CHECK(again.rowCount() == table.rowCount(), "the saved file has as many rows");
    for (int row = 0; row < table.rowCount(); ++row) {
        FUZZ_CHECK(again.rowCells(row) == table.rowCells(row),
                   "every saved row reads back with the same cells");
    }
    save(again, second);
    FUZZ_CHECK(readAll(second) == firstBytes, "load -> save -> load -> save gives the same bytes");
    return 0;
}
