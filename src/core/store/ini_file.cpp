#include "core/store/ini_file.h"

#include <charconv>

#include "core/store/data_file.h"
#include "core/text/cp932.h"

namespace velmora::store {

namespace {

std::string_view trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) {
        s.remove_suffix(1);
    }
    return s;
}

// Letter case of single-byte characters only: the second byte of a
// double-byte character is no letter.
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
        } else {
            auto fold = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
            if (fold(a[i]) != fold(b[i])) {
                return false;
            }
        }
        i += length;
    }
    return true;
}

// The name of a "[name]" line, or nothing.
std::optional<std::string_view> sectionName(std::string_view line)
{
    line = trim(line);
    if (line.size() < 2 || line.front() != '[') {
        return std::nullopt;
    }
    std::size_t close = line.find(']');
    if (close == std::string_view::npos) {
        return std::nullopt;
    }
    return trim(line.substr(1, close - 1));
}

}  // namespace

std::optional<std::int32_t> parseProfileInt(std::string_view text)
{
    text = trim(text);
    int base = 10;
    if (text.starts_with("0x") || text.starts_with("0X")) {
        text.remove_prefix(2);
        base = 16;
    } else if (text.starts_with("$")) {
        text.remove_prefix(1);
        base = 16;
    }
    if (text.empty()) {
        return std::nullopt;
    }
    if (base == 16) {
        std::uint32_t value = 0;
        auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
        if (ec != std::errc() || end != text.data() + text.size()) {
            return std::nullopt;
        }
        return static_cast<std::int32_t>(value);
    }
    std::int64_t value = 0;
    std::string_view digits = text.starts_with('+') ? text.substr(1) : text;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (ec != std::errc() || end != digits.data() + digits.size() || value < INT32_MIN ||
        value > UINT32_MAX) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

IniFile IniFile::parse(std::string_view bytes)
{
    IniFile file;
    for (std::string_view line : splitLines(bytes)) {
        file.lines_.emplace_back(line);
    }
    return file;
}

std::optional<IniFile::Range> IniFile::findSection(std::string_view section) const
{
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        std::optional<std::string_view> name = sectionName(lines_[i]);
        if (name && sameName(*name, section)) {
            std::size_t end = i + 1;
            while (end < lines_.size() && !sectionName(lines_[end])) {
                ++end;
            }
            return Range{i, end};
        }
    }
    return std::nullopt;
}

std::optional<std::size_t> IniFile::findKey(const Range& range, std::string_view key) const
{
    for (std::size_t i = range.header + 1; i < range.end; ++i) {
        std::string_view line = lines_[i];
        std::size_t equals = line.find('=');
        if (equals != std::string_view::npos && sameName(trim(line.substr(0, equals)), key)) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::string> IniFile::read(std::string_view section, std::string_view key) const
{
    std::optional<Range> range = findSection(section);
    if (!range) {
        return std::nullopt;
    }
    std::optional<std::size_t> line = findKey(*range, key);
    if (!line) {
        return std::nullopt;
    }
    std::string_view value = trim(std::string_view(lines_[*line]).substr(lines_[*line].find('=') + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
}

std::int32_t IniFile::readInt(std::string_view section, std::string_view key, std::int32_t fallback) const
{
    std::optional<std::string> value = read(section, key);
    std::optional<std::int32_t> number = value ? parseProfileInt(*value) : std::nullopt;
    return number.value_or(fallback);
}

bool IniFile::readBool(std::string_view section, std::string_view key, bool fallback) const
{
    return readInt(section, key, fallback ? 1 : 0) != 0;
}

std::string storedValue(std::string_view value)
{
    std::string stored;
    stored.reserve(value.size() + 2);
    for (char c : value) {
        // A line end would cut the line: the value stays on one line.
        if (c != '\r' && c != '\n') {
            stored += c;
        }
    }
    // Reading trims blanks and strips one pair of enclosing quotes, so a
    // value that would lose either gets a pair of its own.
    const bool quoted = stored.size() >= 2 && stored.front() == '"' && stored.back() == '"';
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    const bool padded = !stored.empty() && (blank(stored.front()) || blank(stored.back()));
    if (quoted || padded) {
        stored.insert(stored.begin(), '"');
        stored.push_back('"');
    }
    return stored;
}

void IniFile::write(std::string_view section, std::string_view key, std::string_view value)
{
    std::string line = std::string(key) + "=" + storedValue(value);
    std::optional<Range> range = findSection(section);
    if (!range) {
        lines_.push_back("[" + std::string(section) + "]");
        lines_.push_back(std::move(line));
        return;
    }
    if (std::optional<std::size_t> at = findKey(*range, key)) {
        lines_[*at] = std::move(line);
        return;
    }
    // After the section's last non-blank line.
    std::size_t at = range->end;
    while (at > range->header + 1 && trim(lines_[at - 1]).empty()) {
        --at;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
}

void IniFile::writeInt(std::string_view section, std::string_view key, std::int32_t value)
{
    write(section, key, std::to_string(value));
}

std::string IniFile::serialize() const
{
    std::string text;
    for (const std::string& line : lines_) {
        text += line;
        text += "\r\n";
    }
    return text;
}

}  // namespace velmora::store
