#include "core/filescan/tag_text.h"

#include <unicode/ustring.h>

#include "core/text/cp932.h"

namespace velmora::filescan {

namespace {

bool isControl(char16_t c)
{
    return c < 0x20 || c == 0x7F;
}

// Replaces every `pair` (two ASCII characters) by its full-width twin.
void replacePairs(std::u16string& text, std::u16string_view pair, std::u16string_view wide)
{
    for (std::size_t at = text.find(pair); at != std::u16string::npos;
         at = text.find(pair, at + wide.size())) {
        text.replace(at, pair.size(), wide);
    }
}

// The private-use code points that stand for raw bytes must not reach the
// encoder from outside: they would come out as bytes of other characters.
bool isRawByteStandIn(char16_t c)
{
    return c >= text::kRawByteBase && c <= text::kRawByteBase + 0xFF;
}

}  // namespace

CellText tagCell(std::u16string_view input, bool memoLine)
{
    CellText cell;
    std::u16string clean;
    clean.reserve(input.size());
    for (char16_t c : input) {
        if (isControl(c)) {
            clean.push_back(u' ');
        } else if (c == u'\u2014') {
            // The em dash of Unicode-side taggers is CP932's dash (U+2015),
            // as the JIS variants the encoder maps.
            clean.push_back(u'\u2015');
        } else if (isRawByteStandIn(c)) {
            clean.push_back(kGetaMark);
            ++cell.missingCharacters;
        } else {
            clean.push_back(c);
        }
    }
    const std::size_t first = clean.find_first_not_of(u' ');
    if (first == std::u16string::npos) {
        return cell;
    }
    clean = clean.substr(first, clean.find_last_not_of(u' ') - first + 1);
    replacePairs(clean, u"<>", u"＜＞");
    if (memoLine) {
        replacePairs(clean, u"{}", u"｛｝");
    }

    static const std::string kGeta = text::fromUnicode(std::u16string(1, kGetaMark)).bytes;
    std::u16string_view rest = clean;
    while (!rest.empty()) {
        text::EncodeResult encoded = text::fromUnicode(rest);
        if (encoded.ok) {
            cell.bytes += encoded.bytes;
            break;
        }
        // Everything before the refused character encodes; the character
        // (one or two UTF-16 units) becomes the mark.
        cell.bytes += text::fromUnicode(rest.substr(0, encoded.badIndex)).bytes;
        cell.bytes += kGeta;
        ++cell.missingCharacters;
        const std::size_t width = encoded.badChar > 0xFFFF ? 2 : 1;
        rest.remove_prefix(encoded.badIndex + width);
    }
    return cell;
}

bool looksLikeShiftJis(std::string_view bytes)
{
    bool doubleByte = false;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (!text::isLeadByte(lead)) {
            continue;
        }
        if (i + 1 >= bytes.size() || lead >= 0xF0) {
            return false;  // cut, or a user-defined character
        }
        const auto trail = static_cast<unsigned char>(bytes[i + 1]);
        if (lead <= 0x9F || trail >= 0x80) {
            doubleByte = true;
        }
        ++i;
    }
    return doubleByte && text::isValidShiftJis(bytes);
}

std::u16string singleByteTagText(std::string_view bytes, TagEncoding encoding)
{
    const bool shiftJis = encoding == TagEncoding::ShiftJis
                              ? text::isValidShiftJis(bytes) && !text::endsWithLoneLeadByte(bytes)
                              : encoding == TagEncoding::Automatic && looksLikeShiftJis(bytes);
    if (shiftJis) {
        return text::toUnicode(bytes);
    }
    std::u16string latin1;
    latin1.reserve(bytes.size());
    for (char c : bytes) {
        latin1.push_back(static_cast<unsigned char>(c));
    }
    return latin1;
}

std::optional<std::u16string> utf16FromUtf8(std::string_view utf8)
{
    if (utf8.empty()) {
        return std::u16string();
    }
    std::u16string out(utf8.size(), u'\0');
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8(reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()), &length,
                  utf8.data(), static_cast<int32_t>(utf8.size()), &status);
    if (U_FAILURE(status)) {
        return std::nullopt;
    }
    out.resize(static_cast<std::size_t>(length));
    return out;
}

std::string_view lastComponent(std::string_view path)
{
    while (path.size() > 1 && path.back() == '/') {
        path.remove_suffix(1);
    }
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string_view parentPath(std::string_view path)
{
    while (path.size() > 1 && path.back() == '/') {
        path.remove_suffix(1);
    }
    const std::size_t slash = path.rfind('/');
    if (slash == std::string_view::npos) {
        return {};
    }
    return slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
}

std::string_view fileStem(std::string_view fileName)
{
    const std::size_t dot = fileName.rfind('.');
    return (dot == std::string_view::npos || dot == 0) ? fileName : fileName.substr(0, dot);
}

int discFolderNumber(std::string_view name)
{
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    std::size_t at = 0;
    std::string word;
    while (at < name.size() &&
           ((name[at] >= 'a' && name[at] <= 'z') || (name[at] >= 'A' && name[at] <= 'Z'))) {
        word.push_back(lower(name[at++]));
    }
    if (word != "cd" && word != "disc" && word != "disk") {
        return 0;
    }
    if (at < name.size() && (name[at] == ' ' || name[at] == '_' || name[at] == '-' || name[at] == '.')) {
        ++at;
    }
    if (at == name.size() || name.size() - at > 3) {
        return 0;
    }
    int number = 0;
    for (; at < name.size(); ++at) {
        if (name[at] < '0' || name[at] > '9') {
            return 0;
        }
        number = number * 10 + (name[at] - '0');
    }
    return number;
}

int leadingNumber(std::u16string_view text)
{
    std::size_t at = 0;
    while (at < text.size() && text[at] == u' ') {
        ++at;
    }
    int number = 0;
    int digits = 0;
    for (; at < text.size() && text[at] >= u'0' && text[at] <= u'9' && digits < 6; ++at, ++digits) {
        number = number * 10 + (text[at] - u'0');
    }
    return number;
}

int yearOf(std::u16string_view text)
{
    int run = 0;
    int value = 0;
    for (std::size_t at = 0; at <= text.size(); ++at) {
        const bool digit = at < text.size() && text[at] >= u'0' && text[at] <= u'9';
        if (digit) {
            if (++run <= 4) {
                value = value * 10 + (text[at] - u'0');
            }
            continue;
        }
        if (run == 4) {
            return value;
        }
        run = 0;
        value = 0;
    }
    return 0;
}

}  // namespace velmora::filescan
