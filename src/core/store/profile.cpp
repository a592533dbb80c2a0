#include "store/profile.h"

#include <charconv>

#include "store/atomic_file.h"
#include "store/data_file.h"
#include "store/file_bytes.h"
#include "text/cp932.h"

namespace velmora::store {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Blanks and quotes are single-byte characters below 0x40, so they can never
// be the second byte of a double-byte character: trimming byte by byte is safe.
std::string_view trimBlanks(std::string_view s)
{
    while (!s.empty() && isBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && isBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

bool isEnclosedInQuotes(std::string_view s)
{
    return s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front();
}

char foldAscii(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Section and key names: ASCII letters match either case; a double-byte
// character must match byte for byte.
bool sameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size();) {
        const std::size_t length = text::charLength(a, i);
        if (length == 2) {
            if (a.substr(i, 2) != b.substr(i, 2)) {
                return false;
            }
        } else if (foldAscii(a[i]) != foldAscii(b[i])) {
            return false;
        }
        i += length;
    }
    return true;
}

// The name of a "[name]" line; text after the closing bracket is ignored.
std::optional<std::string_view> sectionName(std::string_view line)
{
    line = trimBlanks(line);
    if (line.empty() || line.front() != '[') {
        return std::nullopt;
    }
    const std::size_t close = text::findOnBoundary(line, "]", 1);
    if (close == std::string_view::npos) {
        return std::nullopt;
    }
    return trimBlanks(line.substr(1, close - 1));
}

struct KeyLine {
    std::string_view name;
    std::string_view value;  // trimmed, quotes still on
};

// A "name=value" line with a name; comment lines (";") are none.
std::optional<KeyLine> keyLine(std::string_view line)
{
    const std::string_view trimmed = trimBlanks(line);
    if (trimmed.empty() || trimmed.front() == ';') {
        return std::nullopt;
    }
    const std::size_t equals = trimmed.find('=');
    if (equals == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view name = trimBlanks(trimmed.substr(0, equals));
    if (name.empty()) {
        return std::nullopt;
    }
    return KeyLine{name, trimBlanks(trimmed.substr(equals + 1))};
}

// The value text that reads back as `value`.
std::string storedValue(std::string_view value)
{
    std::string stored(value);
    for (char& c : stored) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    const bool needsQuotes =
        !stored.empty() && (isBlank(stored.front()) || isBlank(stored.back()) || isEnclosedInQuotes(stored));
    return needsQuotes ? '"' + stored + '"' : stored;
}

// Digits only, in the given base, up to 32 bits.
std::optional<std::uint32_t> parseDigits(std::string_view digits, int base)
{
    if (digits.empty()) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    const char* end = digits.data() + digits.size();
    auto [stop, ec] = std::from_chars(digits.data(), end, value, base);
    if (ec != std::errc() || stop != end || value > UINT32_MAX) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}

}  // namespace

std::optional<std::int32_t> parseProfileInt(std::string_view text)
{
    text = trimBlanks(text);
    if (text.starts_with("0x") || text.starts_with("0X") || text.starts_with('$')) {
        text.remove_prefix(text.front() == '$' ? 1 : 2);
        std::optional<std::uint32_t> value = parseDigits(text, 16);
        return value ? std::optional<std::int32_t>(static_cast<std::int32_t>(*value)) : std::nullopt;
    }
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    std::optional<std::uint32_t> value = parseDigits(text, 10);
    if (!value) {
        return std::nullopt;
    }
    if (negative) {
        if (*value > 2147483648u) {
            return std::nullopt;
        }
        return static_cast<std::int32_t>(-static_cast<std::int64_t>(*value));
    }
    return static_cast<std::int32_t>(*value);
}

ProfileFile ProfileFile::parse(std::string_view bytes)
{
    ProfileFile file;
    file.exists_ = true;
    for (std::string_view line : splitLines(bytes)) {
        file.lines_.emplace_back(line);
    }
    return file;
}

bool ProfileFile::load(const std::filesystem::path& file, FileError* error)
{
    FileBytes bytes;
    FileError failure;
    if (readWholeFile(file, bytes, &failure)) {
        *this = parse(bytes.view());
        return true;
    }
    std::error_code ec;
    if (!std::filesystem::exists(file, ec) && !ec) {
        *this = ProfileFile();
        return true;
    }
    if (error) {
        *error = std::move(failure);
    }
    return false;
}

std::optional<ProfileFile::Section> ProfileFile::findSection(std::string_view section) const
{
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        std::optional<std::string_view> name = sectionName(lines_[i]);
        if (name && sameName(*name, section)) {
            std::size_t end = i + 1;
            while (end < lines_.size() && !sectionName(lines_[end])) {
                ++end;
            }
            return Section{i, end};
        }
    }
    return std::nullopt;
}

std::optional<std::size_t> ProfileFile::findKey(const Section& section, std::string_view key) const
{
    for (std::size_t i = section.header + 1; i < section.end; ++i) {
        std::optional<KeyLine> line = keyLine(lines_[i]);
        if (line && sameName(line->name, key)) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::string> ProfileFile::readString(std::string_view section, std::string_view key) const
{
    std::optional<Section> range = findSection(section);
    std::optional<std::size_t> at = range ? findKey(*range, key) : std::nullopt;
    if (!at) {
        return std::nullopt;
    }
    std::string_view value = keyLine(lines_[*at])->value;
    if (isEnclosedInQuotes(value)) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
}

std::int32_t ProfileFile::readInt(std::string_view section, std::string_view key, std::int32_t fallback) const
{
    std::optional<std::string> value = readString(section, key);
    std::optional<std::int32_t> number = value ? parseProfileInt(*value) : std::nullopt;
    return number.value_or(fallback);
}

bool ProfileFile::readBool(std::string_view section, std::string_view key, bool fallback) const
{
    return readInt(section, key, fallback ? 1 : 0) != 0;
}

std::int32_t ProfileFile::readColor(std::string_view section, std::string_view key,
                                    std::int32_t fallback) const
{
    return readInt(section, key, fallback);
}

void ProfileFile::writeString(std::string_view section, std::string_view key, std::string_view value)
{
    std::string line = std::string(key) + "=" + storedValue(value);
    std::optional<Section> range = findSection(section);
    if (!range) {
        lines_.push_back("[" + std::string(section) + "]");
        lines_.push_back(std::move(line));
        return;
    }
    if (std::optional<std::size_t> at = findKey(*range, key)) {
        lines_[*at] = std::move(line);
        for (std::size_t i = range->end; i-- > *at + 1;) {
            std::optional<KeyLine> later = keyLine(lines_[i]);
            if (later && sameName(later->name, key)) {
                lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
            }
        }
        return;
    }
    // After the section's last key, so that blank lines and comments at its
    // end stay in front of the next section.
    std::size_t at = range->header + 1;
    for (std::size_t i = range->header + 1; i < range->end; ++i) {
        if (keyLine(lines_[i])) {
            at = i + 1;
        }
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
}

void ProfileFile::writeInt(std::string_view section, std::string_view key, std::int32_t value)
{
    writeString(section, key, std::to_string(value));
}

void ProfileFile::writeBool(std::string_view section, std::string_view key, bool value)
{
    writeString(section, key, value ? "1" : "0");
}

std::string ProfileFile::serialize() const
{
    std::size_t size = 0;
    for (const std::string& line : lines_) {
        size += line.size() + 2;
    }
    std::string text;
    text.reserve(size);
    for (const std::string& line : lines_) {
        text += line;
        text += "\r\n";
    }
    return text;
}

bool ProfileFile::save(const std::filesystem::path& file, FileError* error) const
{
    return writeFileAtomically(file, serialize(), error);
}

}  // namespace velmora::store
