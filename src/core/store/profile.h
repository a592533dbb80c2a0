// An initialisation file of "[section]" and "key=value" lines over CP932
// bytes, read and written the way the Windows profile-string functions do.
//
// - Section and key names are compared without regard to ASCII letter case;
//   every other byte must be equal (the second byte of a double-byte
//   character is never taken for a letter).
// - Blanks around names and values are ignored; a value enclosed in a
//   matching pair of double (or single) quotes reads without them.
// - Only the first section of a name is searched, and in it the first key of
//   a name counts.
// - Every other line (comments, blank lines, anything else) is kept as it is,
//   and writing a key touches only that key's line, so whatever the program
//   does not know survives a save.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/file_error.h"

namespace velmora::store {

class ProfileFile {
public:
    // An empty profile for a file that does not exist (yet).
    ProfileFile() = default;

    // A profile over the given file content. exists() is true.
    static ProfileFile parse(std::string_view bytes);

    // Replaces the content with the file's. A missing file is an empty
    // profile with exists() false, and true is returned; false (with
    // `error`) when the file exists but cannot be read.
    bool load(const std::filesystem::path& file, FileError* error);
    bool exists() const { return exists_; }

    // The key's value, or nothing when the section or the key is missing.
    std::optional<std::string> readString(std::string_view section, std::string_view key) const;
    // The value as an integer (see parseProfileInt); `fallback` when the key
    // is missing or its value is not a number.
    std::int32_t readInt(std::string_view section, std::string_view key, std::int32_t fallback) const;
    // An integer, any non-zero value meaning true.
    bool readBool(std::string_view section, std::string_view key, bool fallback) const;
    // A 32-bit colour value; hexadecimal 0x80000008 reads as -2147483640.
    std::int32_t readColor(std::string_view section, std::string_view key, std::int32_t fallback) const;

    // Sets a key, spelled as given. An existing key keeps its line (later
    // lines of the same name in the section, which no reading ever sees, are
    // dropped); a new key follows the section's last key, and a new section
    // goes at the end of the file. A value that would not read back as it is
    // (blanks at either end, enclosing quotes) is written in double quotes;
    // a value can hold no line break, so each CR and LF is written as a blank.
    void writeString(std::string_view section, std::string_view key, std::string_view value);
    void writeInt(std::string_view section, std::string_view key, std::int32_t value);
    void writeBool(std::string_view section, std::string_view key, bool value);

    // The file's text, CR LF after every line.
    std::string serialize() const;
    // Writes serialize() to `file` atomically.
    bool save(const std::filesystem::path& file, FileError* error) const;

private:
    struct Section {
        std::size_t header;  // index of the "[name]" line
        std::size_t end;     // index of the next section's header, or the line count
    };
    std::optional<Section> findSection(std::string_view section) const;
    std::optional<std::size_t> findKey(const Section& section, std::string_view key) const;

    std::vector<std::string> lines_;
    bool exists_ = false;
};

// Reads an integer as the settings file stores it: decimal with an optional
// sign, or hexadecimal after "0x", "0X" or "$"; blanks around it are
// ignored. The value is taken as 32 bits, so 0x80000008 and 2147483656 both
// give -2147483640. Anything else is not a number: unlike Windows, which
// reads the leading digits of "12abc" as 12, such text gives nothing here
// (and so the key's default).
std::optional<std::int32_t> parseProfileInt(std::string_view text);

}  // namespace velmora::store
