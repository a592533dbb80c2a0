// The catalogue file "VLM.dat": reading it into the album table.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "store/file_bytes.h"
#include "store/file_error.h"

namespace velmora::store {

class AlbumTable;

inline constexpr const char* kDataFileName = "VLM.dat";

// The lines of a file: CR LF, CR or LF end a line; a final line end does not
// start another line; an empty text has no lines.
std::vector<std::string_view> splitLines(std::string_view text);

enum class LoadStatus {
    Loaded,
    Missing,     // no such file: the table is left as it was
    Unreadable,  // it exists but cannot be read: the table is left as it was
};

struct LoadResult {
    LoadStatus status = LoadStatus::Missing;
    FileError error;  // for Unreadable
};

// Replaces the table with the file's rows and gives empty readings the
// artist's text. `progress` is called once per column pass, 0 to 305.
LoadResult loadDataFile(const std::filesystem::path& file, AlbumTable& table,
                        const std::function<void(int)>& progress = {});

// Reads a whole file. False with `error` filled when it cannot.
bool readWholeFile(const std::filesystem::path& file, FileBytes& bytes, FileError* error);

}  // namespace velmora::store
