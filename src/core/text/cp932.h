// Shift-JIS (code page 932) text as stored in every catalogue file.
//
// Cells are kept as the exact bytes of the file. This header gives the
// character stepping that every marker search uses, and the conversion to
// and from Unicode that happens only at the window boundary.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace velmora::text {

// A CP932 lead byte: it and the byte after it form one character, whatever
// that second byte is.
constexpr bool isLeadByte(unsigned char b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Byte length (1 or 2) of the character that starts at `pos`. A lead byte at
// the very end of the text stands alone.
constexpr std::size_t charLength(std::string_view s, std::size_t pos)
{
    return (isLeadByte(static_cast<unsigned char>(s[pos])) && pos + 1 < s.size()) ? 2 : 1;
}

// First occurrence of `needle` that starts on a character boundary at or
// after `from` (which must itself be a boundary). std::string_view::npos if
// there is none. An empty needle is never found.
std::size_t findOnBoundary(std::string_view haystack, std::string_view needle, std::size_t from = 0);

inline bool containsOnBoundary(std::string_view haystack, std::string_view needle)
{
    return findOnBoundary(haystack, needle) != std::string_view::npos;
}

// True when the text ends with a lead byte that has no second byte.
bool endsWithLoneLeadByte(std::string_view s);

// The code fromUnicode() writes for the character of a two-byte code
// ((lead << 8) | trail). Several characters have two or three codes (the
// NEC-selected and the IBM extensions: 髙 is EE E0 and FB FC, ∵ is 81 E6,
// 87 9A and FA 5B); each of them gives the one code its character is
// written with. Every other code, an undefined pair included, gives itself.
std::uint16_t preferredCode(std::uint16_t code);

// Whether bytes read as Shift-JIS text: every byte from 0x80 up is a
// half-width katakana or part of a defined double-byte character. A lead
// byte left alone at the end of a line (a cut line) does not count against
// it.
bool isValidShiftJis(std::string_view bytes);

// First code point of the private-use block that stands for bytes that are
// not part of any CP932 character: byte b decodes to U+F700 + b and encodes
// back to b, so decoding and encoding never lose a byte.
inline constexpr char16_t kRawByteBase = 0xF700;

// Decodes CP932 bytes. Every input decodes; see kRawByteBase.
std::u16string toUnicode(std::string_view bytes);

struct EncodeResult {
    std::string bytes;         // the encoded text (valid only when ok)
    bool ok = true;            // false when a character has no CP932 form
    char32_t badChar = 0;      // the first such character
    std::size_t badIndex = 0;  // its index (UTF-16 units) in the input
};

// Encodes Unicode text to CP932 (ICU "windows-31j"). JIS variants that CP932
// lacks (wave dash U+301C, U+2016, U+2212, U+00A2, U+00A3, U+00AC) are
// mapped to their CP932 twins first; U+F700..U+F7FF give back raw bytes.
// A character still without a CP932 form makes the result not ok.
EncodeResult fromUnicode(std::u16string_view text);

// Encodes `text` as an edit of `original`: the characters at the start and
// at the end that are unchanged keep their original bytes (NEC/IBM duplicate
// codes decode to the same character as their twins and would otherwise come
// back as the other code); only the changed middle is encoded.
EncodeResult fromUnicodePreserving(std::string_view original, std::u16string_view text);

}  // namespace velmora::text
