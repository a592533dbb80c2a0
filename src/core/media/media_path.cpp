#include "core/media/media_path.h"

#include <unicode/utf8.h>

#include <algorithm>

#include "core/text/cp932.h"

namespace velmora::media {

namespace {

constexpr std::string_view kScheme = "file:";

bool startsWithScheme(std::string_view text)
{
    if (text.size() < kScheme.size()) {
        return false;
    }
    for (std::size_t i = 0; i < kScheme.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
        if (c != kScheme[i]) {
            return false;
        }
    }
    return true;
}

// CP932 bytes as the file system's bytes: UTF-8, except that bytes which
// are no CP932 character come through as they are.
std::string fileSystemBytes(std::string_view cp932)
{
    // ASCII is the same bytes in both (the common case, worth no decoding).
    if (std::all_of(cp932.begin(), cp932.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        return std::string(cp932);
    }
    const std::u16string text = text::toUnicode(cp932);
    // Written through a pointer into room for the longest outcome (three
    // bytes a unit; a surrogate pair makes four of two): this runs for
    // every media folder of a large catalogue.
    std::string out(text.size() * 3, '\0');
    char* end = out.data();
    auto put = [&end](char32_t c) {
        std::int32_t length = 0;
        auto* bytes = reinterpret_cast<std::uint8_t*>(end);
        U8_APPEND_UNSAFE(bytes, length, static_cast<UChar32>(c));
        end += length;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c >= text::kRawByteBase && c <= text::kRawByteBase + 0xFF) {
            *end++ = static_cast<char>(c - text::kRawByteBase);
        } else if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                   text[i + 1] <= 0xDFFF) {
            put(0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else {
            put(c);
        }
    }
    out.resize(static_cast<std::size_t>(end - out.data()));
    return out;
}

void appendEscaped(std::string& out, unsigned char byte)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    out.push_back('%');
    out.push_back(kHex[byte >> 4]);
    out.push_back(kHex[byte & 0x0F]);
}

// ASCII that stands as itself in the URI form.
bool keptAscii(unsigned char c)
{
    if (c <= 0x20 || c >= 0x7F) {
        return false;
    }
    return std::string_view("%<>\\#?\"").find(static_cast<char>(c)) == std::string_view::npos;
}

// The CP932 form of one character when it decodes back to exactly that
// character (not to a twin of it); empty otherwise.
std::string exactCp932(char32_t c)
{
    std::u16string one;
    if (c > 0xFFFF) {
        return {};
    }
    one.push_back(static_cast<char16_t>(c));
    if (one[0] >= text::kRawByteBase && one[0] <= text::kRawByteBase + 0xFF) {
        return {};
    }
    text::EncodeResult encoded = text::fromUnicode(one);
    if (!encoded.ok || text::toUnicode(encoded.bytes) != one) {
        return {};
    }
    return std::move(encoded.bytes);
}

std::string uriOf(std::string_view path)
{
    std::string out(path.starts_with('/') ? "file://" : "file:");
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(path.data());
    const auto length = static_cast<int32_t>(path.size());
    for (int32_t at = 0; at < length;) {
        const int32_t start = at;
        UChar32 c = 0;
        U8_NEXT(bytes, at, length, c);
        if (c < 0) {
            for (int32_t i = start; i < at; ++i) {
                appendEscaped(out, bytes[i]);
            }
            continue;
        }
        if (c < 0x80) {
            if (keptAscii(static_cast<unsigned char>(c))) {
                out.push_back(static_cast<char>(c));
            } else {
                appendEscaped(out, static_cast<unsigned char>(c));
            }
            continue;
        }
        const std::string cp932 = exactCp932(static_cast<char32_t>(c));
        if (!cp932.empty()) {
            out += cp932;
        } else {
            for (int32_t i = start; i < at; ++i) {
                appendEscaped(out, bytes[i]);
            }
        }
    }
    return out;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::string percentDecoded(std::string text)
{
    // In place: a decoded escape is shorter than its text.
    std::size_t out = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 &&
            hexValue(text[i + 2]) >= 0) {
            text[out++] = static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else {
            text[out++] = text[i];
        }
    }
    text.resize(out);
    return text;
}

}  // namespace

bool isFileUriCell(std::string_view cell)
{
    return startsWithScheme(cell);
}

std::string cellOfFileSystemPath(std::string_view path)
{
    if (path.empty()) {
        return {};
    }
    bool plain = !startsWithScheme(path) && path.find('\\') == std::string_view::npos;
    for (char c : path) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            plain = false;
            break;
        }
    }
    if (plain) {
        // The plain form: every character as itself, and back.
        std::string cell;
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(path.data());
        const auto length = static_cast<int32_t>(path.size());
        for (int32_t at = 0; at < length && plain;) {
            UChar32 c = 0;
            U8_NEXT(bytes, at, length, c);
            if (c < 0) {
                plain = false;
            } else if (c < 0x80) {
                cell.push_back(static_cast<char>(c));
            } else {
                const std::string cp932 = exactCp932(static_cast<char32_t>(c));
                plain = !cp932.empty();
                cell += cp932;
            }
        }
        if (plain && !text::containsOnBoundary(cell, "<>")) {
            return cell;
        }
    }
    return uriOf(path);
}

std::string fileSystemPath(std::string_view cell)
{
    if (!isFileUriCell(cell)) {
        std::string path(cell);
        for (std::size_t i = 0; i < path.size(); i += text::charLength(path, i)) {
            if (path[i] == '\\') {
                path[i] = '/';
            }
        }
        return fileSystemBytes(path);
    }
    std::string_view rest = cell.substr(kScheme.size());
    if (rest.starts_with("//")) {
        // "file:///path" or "file://localhost/path": the path starts at the
        // slash after the (empty or local) host.
        const std::size_t slash = rest.find('/', 2);
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash);
    }
    return percentDecoded(fileSystemBytes(rest));
}

}  // namespace velmora::media
