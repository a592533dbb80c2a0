// An initialisation file ("VLM.ini") of [section] and key=value lines in
// CP932, read and written the way the Windows profile functions do it:
// names compared without regard to letter case, integers in decimal or
// hexadecimal, and every line the program does not know kept as it is.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::store {

class IniFile {
public:
    static IniFile parse(std::string_view bytes);

    std::optional<std::string> read(std::string_view section, std::string_view key) const;
    // Decimal with an optional sign, or hexadecimal after "0x", "0X" or "$"
    // (32 bits, so 0x80000008 reads as -2147483640); anything else gives
    // `fallback`.
    std::int32_t readInt(std::string_view section, std::string_view key, std::int32_t fallback) const;
    bool readBool(std::string_view section, std::string_view key, bool fallback) const;

    // Replaces the key's line (spelled as given now; the value as
    // storedValue() gives it) or adds it at the end
    // of its section, adding the section at the end of the file if needed.
    void write(std::string_view section, std::string_view key, std::string_view value);
    void writeInt(std::string_view section, std::string_view key, std::int32_t value);

    // The file's text, CR LF after every line.
    std::string serialize() const;

private:
    // Index range [first, last) of the lines of a section, after its header.
    struct Range {
        std::size_t header;
        std::size_t end;
    };
    std::optional<Range> findSection(std::string_view section) const;
    std::optional<std::size_t> findKey(const Range& range, std::string_view key) const;

    std::vector<std::string> lines_;
};

// A value as write() stores it after "key=": enclosed in one more pair of
// double quotes when reading would otherwise strip its own pair or its
// leading and trailing blanks, and without line ends (which would cut the
// line), so that read() gives back what was written.
std::string storedValue(std::string_view value);

// Parses an integer as the profile functions do; nothing for other text.
std::optional<std::int32_t> parseProfileInt(std::string_view text);

}  // namespace velmora::store
