#include "core/store/string_grid_io.h"

#include <cctype>
#include <vector>

#include "core/store/album_table.h"
#include "core/store/atomic_file.h"
#include "core/store/data_file.h"

namespace velmora::store {

bool isDecimalNumber(std::string_view text)
{
    std::size_t i = 0;
    auto digits = [&] {
        std::size_t start = i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
            ++i;
        }
        return i - start;
    };
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    std::size_t mantissa = digits();
    if (i < text.size() && text[i] == '.') {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0) {
        return false;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            ++i;
        }
        if (digits() == 0) {
            return false;
        }
    }
    return i == text.size();
}

bool ListFileIO::Write(const std::filesystem::path& fileName, std::string_view separator, bool quote,
                       FileError* error) const
{
    if (TargetGrid == nullptr) {
        return true;
    }
    const AlbumTable& table = *TargetGrid;
    // The catalogue keeps its previous version, so a bad bulk edit saved by
    // mistake can be undone by hand.
    AtomicFileWriter writer(fileName, Backup::KeepPrevious);
    bool ok = writer.open();
    if (separator == "<>" && !quote) {
        // Rows are kept as data-file lines already: they are written straight
        // from memory, a few thousand rows per system call.
        constexpr std::size_t kBatch = 4096;
        std::vector<std::string_view> pieces;
        pieces.reserve(2 * kBatch);
        for (int row = 0; ok && row < table.rowCount(); ++row) {
            pieces.push_back(table.rowLine(row));
            pieces.push_back("\r\n");
            if (pieces.size() >= 2 * kBatch || row + 1 == table.rowCount()) {
                ok = writer.writePieces(pieces);
                for (std::size_t i = 0; WrittenBytes != nullptr && i < pieces.size(); ++i) {
                    WrittenBytes->add(pieces[i]);
                }
                pieces.clear();
            }
        }
    } else {
        auto put = [&](std::string_view bytes) {
            if (WrittenBytes != nullptr) {
                WrittenBytes->add(bytes);
            }
            return writer.write(bytes);
        };
        for (int row = 0; ok && row < table.rowCount(); ++row) {
            AlbumTable::RowCells cells = table.rowCells(row);
            for (std::size_t c = 0; ok && c < cells.size(); ++c) {
                if (c > 0) {
                    ok = put(separator);
                }
                bool wrap = quote && !isDecimalNumber(cells[c]);
                ok = ok && (!wrap || put("\"")) && put(cells[c]) && (!wrap || put("\""));
            }
            ok = ok && put("\r\n");
        }
    }
    ok = ok && writer.commit();
    if (!ok && error) {
        *error = writer.error();
    }
    return ok;
}

}  // namespace velmora::store
