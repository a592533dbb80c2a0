// Where a media or picture cell of the catalogue points on this system.
//
// A cell holds a path in one of two forms:
// - a plain path in Shift-JIS, as every catalogue has always held (a "\"
//   separator is read as "/", so a catalogue moved from another system
//   works after its folder part is replaced);
// - a "file:" URI, for a file whose name Shift-JIS cannot hold (é, 〜 made
//   on a Mac, an emoji, bytes that are not UTF-8): "file://" and the
//   absolute path, where every byte that is not a printable ASCII character
//   or part of a character Shift-JIS holds as itself is percent-encoded
//   ("%C3%A9" for é); "%", blanks, "<", ">", "\", "#", "?" and '"' are
//   always encoded. Old catalogues never hold this form, so a cell that
//   starts with "file:" is always read as one.
// Every part of the program that opens a file named by a cell resolves it
// through fileSystemPath().
#pragma once

#include <string>
#include <string_view>

namespace velmora::media {

// True when the cell holds the "file:" form.
bool isFileUriCell(std::string_view cell);

// The cell that stores the path `path` (the file system's bytes, UTF-8 as
// a rule): the plain Shift-JIS path when it decodes back to exactly these
// bytes and holds no "<>", line break or leading "file:", else the "file:"
// URI. Never empty for a non-empty path.
std::string cellOfFileSystemPath(std::string_view path);

// The file system path (bytes for open()) a stored cell names: the URI
// decoded, or the plain path with "\" read as "/" and turned into UTF-8.
// A malformed escape ("%G1", "%" at the end) is kept as it stands.
std::string fileSystemPath(std::string_view cell);

}  // namespace velmora::media
