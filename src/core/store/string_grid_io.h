// Writes a whole album table as delimited text lines.
#pragma once

#include <filesystem>
#include <string_view>

#include "core/store/file_error.h"

namespace velmora::store {

class AlbumTable;
class ContentHasher;

// True for text that reads as a decimal number: optional sign, digits with
// an optional decimal point, optional exponent.
bool isDecimalNumber(std::string_view text);

class ListFileIO {
public:
    // The table to write; nothing is written while it is unset.
    const AlbumTable* TargetGrid = nullptr;
    // When set, is given every byte written (the data file's identity).
    ContentHasher* WrittenBytes = nullptr;

    // Writes every row, row 0 first, cells joined by `separator`, every line
    // ended by CR LF. With `quote`, a cell that is not a decimal number is
    // wrapped in double quotes (its own quotes are not doubled). The file is
    // replaced only when it has been written completely; on failure `error`
    // says why and the old file is left alone.
    bool Write(const std::filesystem::path& fileName, std::string_view separator, bool quote,
               FileError* error = nullptr) const;
};

}  // namespace velmora::store
