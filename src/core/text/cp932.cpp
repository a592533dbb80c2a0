#include "core/text/cp932.h"

#include <unicode/ucnv.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <utility>

namespace velmora::text {

namespace {

constexpr std::size_t npos = std::string_view::npos;

// Lead bytes 0x81-0x9F and 0xE0-0xFC, numbered 0..59 for the pair table.
constexpr std::size_t kLeadCount = (0x9F - 0x81 + 1) + (0xFC - 0xE0 + 1);

constexpr std::size_t leadIndex(unsigned char lead)
{
    return lead <= 0x9F ? lead - 0x81 : lead - 0xE0 + (0x9F - 0x81 + 1);
}

// An encode table entry: a single byte b is stored as b, a two-byte code as
// (lead << 8) | trail. 0xFFFF cannot be a code since 0xFF is no lead byte.
constexpr std::uint16_t kNoCode = 0xFFFF;

constexpr bool isTwoByteCode(std::uint16_t code)
{
    return code != kNoCode && code > 0xFF;
}

constexpr bool isSurrogate(char32_t u)
{
    return u >= 0xD800 && u <= 0xDFFF;
}

constexpr bool isRawByteChar(char32_t u)
{
    return u >= kRawByteBase && u <= kRawByteBase + 0xFF;
}

// Characters of the JIS mapping that CP932 spells with a different code
// point. Text typed or pasted on Linux often carries the JIS forms.
constexpr std::pair<char16_t, char16_t> kJisVariants[] = {
    {0x301C, 0xFF5E},  // WAVE DASH -> FULLWIDTH TILDE
    {0x2016, 0x2225},  // DOUBLE VERTICAL LINE -> PARALLEL TO
    {0x2212, 0xFF0D},  // MINUS SIGN -> FULLWIDTH HYPHEN-MINUS
    {0x00A2, 0xFFE0},  // CENT SIGN -> FULLWIDTH CENT SIGN
    {0x00A3, 0xFFE1},  // POUND SIGN -> FULLWIDTH POUND SIGN
    {0x00AC, 0xFFE2},  // NOT SIGN -> FULLWIDTH NOT SIGN
};

struct Tables {
    // What each byte decodes to when it stands alone.
    std::array<char16_t, 256> single{};
    // What each lead/trail pair decodes to; 0 when the pair is not a character.
    std::array<char16_t, kLeadCount * 256> pair{};
    // The code each UTF-16 unit encodes to; kNoCode when there is none.
    // Surrogates are always kNoCode here (pairs are looked up separately).
    // Every character in `single` has a one-byte code and every character in
    // `pair` a two-byte one, which byteLength() relies on.
    std::array<std::uint16_t, 0x10000> code{};
};

struct ConverterCloser {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

// A windows-31j converter that stops at the first byte sequence or character
// it cannot convert instead of substituting something.
Converter openConverter()
{
    UErrorCode status = U_ZERO_ERROR;
    Converter converter(ucnv_open("windows-31j", &status));
    if (U_FAILURE(status) || !converter) {
        throw std::runtime_error(std::string("cannot open the windows-31j converter: ") +
                                 u_errorName(status));
    }
    ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    ucnv_setFromUCallBack(converter.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    if (U_FAILURE(status)) {
        throw std::runtime_error(std::string("cannot set up the windows-31j converter: ") +
                                 u_errorName(status));
    }
    return converter;
}

// Decodes `length` bytes with ICU into `out` (room for 8 units). Returns the
// number of units, or -1 when ICU reports an error.
int32_t icuDecode(UConverter* converter, const char* bytes, int32_t length, char16_t* out)
{
    constexpr int32_t kCapacity = 8;
    UErrorCode status = U_ZERO_ERROR;
    ucnv_reset(converter);
    const int32_t count = ucnv_toUChars(converter, out, kCapacity, bytes, length, &status);
    if (U_FAILURE(status) || count > kCapacity) {
        return -1;
    }
    return count;
}

// The code ICU encodes one character (1 or 2 UTF-16 units) to. Only a code
// that ICU decodes back to the very same character is accepted: ICU encodes
// default-ignorable characters (U+200B, U+FEFF, variation selectors, ...) to
// nothing without reporting an error, and uses a fallback for a few private
// use characters (U+F86F becomes the code of U+2116). Either would change
// the text behind the user's back.
std::uint16_t icuEncode(UConverter* converter, const char16_t* units, int32_t length)
{
    char bytes[8];
    UErrorCode status = U_ZERO_ERROR;
    ucnv_reset(converter);
    const int32_t count =
        ucnv_fromUChars(converter, bytes, static_cast<int32_t>(sizeof bytes), units, length, &status);
    if (U_FAILURE(status) || count < 1 || count > 2) {
        return kNoCode;
    }
    const auto first = static_cast<unsigned char>(bytes[0]);
    if (isLeadByte(first) != (count == 2)) {
        return kNoCode;  // would not step as one character
    }
    char16_t back[8];
    if (icuDecode(converter, bytes, count, back) != length || !std::equal(back, back + length, units)) {
        return kNoCode;
    }
    return count == 1 ? first : static_cast<std::uint16_t>(first << 8 | static_cast<unsigned char>(bytes[1]));
}

// May a byte sequence of ICU's decode to `u`? Not if that would collide with
// the raw-byte block or with ASCII, which always decodes as itself.
bool isDecodableChar(char16_t u)
{
    return u >= 0x80 && !isSurrogate(u) && !isRawByteChar(u);
}

std::unique_ptr<const Tables> buildTables()
{
    auto tables = std::make_unique<Tables>();
    Converter converter = openConverter();
    UConverter* cnv = converter.get();

    // Encoding. ASCII is taken as is: ICU's windows-31j swaps 0x1A, 0x1C
    // and 0x7F around (U+001C, U+007F and U+001A), which is not what the
    // files mean by them.
    for (std::uint32_t u = 0; u <= 0xFFFF; ++u) {
        const auto unit = static_cast<char16_t>(u);
        std::uint16_t& code = tables->code[u];
        if (u < 0x80) {
            code = static_cast<std::uint16_t>(u);
        } else if (isSurrogate(u)) {
            code = kNoCode;
        } else if (isRawByteChar(u)) {
            code = static_cast<std::uint16_t>(u - kRawByteBase);
        } else {
            code = icuEncode(cnv, &unit, 1);
        }
    }
    for (const auto& [variant, cp932Form] : kJisVariants) {
        tables->code[variant] = tables->code[cp932Form];
    }

    // Decoding. A character is only taken when encoding it gives back a code
    // of the same length, so that decoding and encoding again keeps the
    // character structure of the bytes. The NEC and IBM duplicates encode to
    // their twin code, which decodes to the same character.
    for (unsigned b = 0; b < 256; ++b) {
        char16_t& c = tables->single[b];
        c = static_cast<char16_t>(kRawByteBase + b);
        if (b < 0x80) {
            c = static_cast<char16_t>(b);
            continue;
        }
        const char byte = static_cast<char>(b);
        char16_t out[8];
        if (icuDecode(cnv, &byte, 1, out) == 1 && isDecodableChar(out[0]) && tables->code[out[0]] == b) {
            c = out[0];
        }
    }
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
        if (!isLeadByte(static_cast<unsigned char>(lead))) {
            continue;
        }
        for (unsigned trail = 0; trail < 256; ++trail) {
            const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            char16_t out[8];
            char16_t c = 0;
            if (icuDecode(cnv, bytes, 2, out) == 1 && isDecodableChar(out[0]) &&
                isTwoByteCode(tables->code[out[0]])) {
                c = out[0];
            }
            tables->pair[leadIndex(static_cast<unsigned char>(lead)) * 256 + trail] = c;
        }
    }
    return tables;
}

const Tables& tables()
{
    static const std::unique_ptr<const Tables> instance = buildTables();
    return *instance;
}

// How many bytes of the decoded text stand behind one of its units. A pair
// only decodes to a character whose code is two bytes long, and a single
// byte only to a character whose code is that byte (ASCII and raw bytes
// included), so the encode table knows.
std::size_t byteLength(const Tables& t, char16_t decodedUnit)
{
    return t.code[decodedUnit] > 0xFF ? 2 : 1;
}

void appendCode(std::string& out, std::uint16_t code)
{
    if (code > 0xFF) {
        out.push_back(static_cast<char>(code >> 8));
    }
    out.push_back(static_cast<char>(code & 0xFF));
}

// Characters outside the BMP. windows-31j has none, but ask ICU all the same.
std::uint16_t encodeSupplementary(const char16_t* pair)
{
    Converter converter = openConverter();
    return icuEncode(converter.get(), pair, 2);
}

}  // namespace

std::size_t findOnBoundary(std::string_view haystack, std::string_view needle, std::size_t from)
{
    if (needle.empty() || from > haystack.size()) {
        return npos;
    }
    const auto* data = reinterpret_cast<const unsigned char*>(haystack.data());
    std::size_t boundary = from;  // a position known to start a character
    for (;;) {
        const std::size_t hit = haystack.find(needle, boundary);
        if (hit == npos) {
            return npos;
        }
        // A byte that cannot be a lead byte ends a character wherever it
        // stands, so only the run of lead-range bytes right before the hit
        // matters: they pair up from its start, and the hit is on a boundary
        // when the run has an even length.
        std::size_t runStart = hit;
        while (runStart > boundary && isLeadByte(data[runStart - 1])) {
            --runStart;
        }
        if ((hit - runStart) % 2 == 0) {
            return hit;
        }
        boundary = hit + 1;  // the hit was the second byte of a character
    }
}

std::uint16_t preferredCode(std::uint16_t code)
{
    const auto lead = static_cast<unsigned char>(code >> 8);
    if (!isLeadByte(lead)) {
        return code;
    }
    const Tables& t = tables();
    const char16_t c = t.pair[leadIndex(lead) * 256 + (code & 0xFF)];
    return c == 0 ? code : t.code[c];
}

bool isValidShiftJis(std::string_view bytes)
{
    const Tables& t = tables();
    const auto* src = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    for (std::size_t i = 0; i < size;) {
        const unsigned char b = src[i];
        if (b < 0x80 || (b >= 0xA1 && b <= 0xDF)) {
            ++i;
        } else if (!isLeadByte(b)) {
            return false;
        } else if (i + 1 == size || src[i + 1] == '\r' || src[i + 1] == '\n') {
            ++i;  // a cut line
        } else if (t.pair[leadIndex(b) * 256 + src[i + 1]] == 0) {
            return false;
        } else {
            i += 2;
        }
    }
    return true;
}

bool endsWithLoneLeadByte(std::string_view s)
{
    // Same pairing argument as in findOnBoundary, from the end.
    std::size_t runStart = s.size();
    while (runStart > 0 && isLeadByte(static_cast<unsigned char>(s[runStart - 1]))) {
        --runStart;
    }
    return (s.size() - runStart) % 2 == 1;
}

std::u16string toUnicode(std::string_view bytes)
{
    const Tables& t = tables();
    const auto* src = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();

    std::u16string out(size, u'\0');  // never more units than bytes
    char16_t* dst = out.data();
    std::size_t i = 0;
    while (i < size) {
        const unsigned char b = src[i];
        if (b < 0x80) {
            *dst++ = b;
            ++i;
        } else if (isLeadByte(b) && i + 1 < size) {
            const unsigned char trail = src[i + 1];
            const char16_t c = t.pair[leadIndex(b) * 256 + trail];
            if (c != 0) {
                *dst++ = c;
            } else {
                // Keep both bytes: the second may be a character of its own.
                *dst++ = static_cast<char16_t>(kRawByteBase + b);
                *dst++ = static_cast<char16_t>(kRawByteBase + trail);
            }
            i += 2;
        } else {
            *dst++ = t.single[b];
            ++i;
        }
    }
    out.resize(static_cast<std::size_t>(dst - out.data()));
    return out;
}

EncodeResult fromUnicode(std::u16string_view text)
{
    const Tables& t = tables();
    EncodeResult result;
    std::string& out = result.bytes;
    out.reserve(text.size() * 2);

    const std::size_t size = text.size();
    for (std::size_t i = 0; i < size; ++i) {
        const char16_t u = text[i];
        char32_t ch = u;
        std::uint16_t code = kNoCode;
        std::size_t length = 1;
        if (!isSurrogate(u)) {
            code = t.code[u];
        } else if (u <= 0xDBFF && i + 1 < size && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            ch = 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            code = encodeSupplementary(text.data() + i);
            length = 2;
        }
        if (code == kNoCode) {
            result.bytes.clear();
            result.ok = false;
            result.badChar = ch;
            result.badIndex = i;
            return result;
        }
        appendCode(out, code);
        i += length - 1;
    }
    return result;
}

EncodeResult fromUnicodePreserving(std::string_view original, std::u16string_view text)
{
    const Tables& t = tables();
    const std::u16string decoded = toUnicode(original);

    // Decoded text never holds surrogates, so neither end can split a pair.
    const std::size_t common = std::min(decoded.size(), text.size());
    std::size_t prefix = 0;
    std::size_t headEnd = 0;  // bytes behind the unchanged start
    while (prefix < common && decoded[prefix] == text[prefix]) {
        headEnd += byteLength(t, decoded[prefix]);
        ++prefix;
    }
    std::size_t suffix = 0;
    std::size_t tailStart = original.size();  // first byte of the unchanged end
    while (suffix < common - prefix) {
        const char16_t unit = decoded[decoded.size() - 1 - suffix];
        if (unit != text[text.size() - 1 - suffix]) {
            break;
        }
        tailStart -= byteLength(t, unit);
        ++suffix;
    }

    EncodeResult middle = fromUnicode(text.substr(prefix, text.size() - prefix - suffix));
    if (!middle.ok) {
        middle.badIndex += prefix;
        return middle;
    }
    EncodeResult result;
    result.bytes.reserve(headEnd + middle.bytes.size() + (original.size() - tailStart));
    result.bytes.append(original.substr(0, headEnd));
    result.bytes.append(middle.bytes);
    result.bytes.append(original.substr(tailStart));
    return result;
}

}  // namespace velmora::text
