#include "core/websearch/websearch.h"

#include <unicode/unistr.h>

#include "core/text/cp932.h"

namespace velmora::websearch {

namespace {

std::string utf8Of(std::string_view cp932)
{
    const std::u16string text = text::toUnicode(cp932);
    std::string utf8;
    icu::UnicodeString(text.data(), static_cast<int32_t>(text.size())).toUTF8String(utf8);
    return utf8;
}

}  // namespace

std::string searchQuery(const std::array<bool, kItemCount>& flags,
                        const std::array<std::optional<std::string>, kItemCount>& fields)
{
    std::string query;
    for (int i = 0; i < kItemCount; ++i) {
        const auto& field = fields[static_cast<std::size_t>(i)];
        if (flags[static_cast<std::size_t>(i)] && field) {
            query += *field;
            query += ' ';
        }
    }
    return query;
}

std::string percentEncode(std::string_view utf8)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (char c : utf8) {
        const auto b = static_cast<unsigned char>(c);
        if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') || b == '-' ||
            b == '_' || b == '.' || b == '~') {
            out += c;
        } else {
            out += '%';
            out += kHex[b >> 4];
            out += kHex[b & 0x0F];
        }
    }
    return out;
}

std::string searchAddress(std::string_view head, std::string_view query, std::string_view tail)
{
    return utf8Of(head) + percentEncode(utf8Of(query)) + utf8Of(tail);
}

}  // namespace velmora::websearch
