// Shift-JIS bytes for test texts written in UTF-8 source, and back.
#pragma once

#include <unicode/unistr.h>

#include <string>
#include <string_view>

#include "core/text/cp932.h"

namespace velmora::test {

inline std::string sj(std::string_view utf8)
{
    icu::UnicodeString u =
        icu::UnicodeString::fromUTF8(icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
    return text::fromUnicode(std::u16string_view(u.getBuffer(), static_cast<std::size_t>(u.length()))).bytes;
}

inline std::string utf8(std::string_view cp932)
{
    std::u16string u = text::toUnicode(cp932);
    std::string out;
    icu::UnicodeString(u.data(), static_cast<int32_t>(u.size())).toUTF8String(out);
    return out;
}

}  // namespace velmora::test
