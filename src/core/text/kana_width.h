// Kana, width and letter-case mapping of CP932 text, as the Japanese locale
// maps strings.
//
// Every function takes and returns the exact bytes of a cell. Each character
// is decoded, mapped and, only when the mapping changed it, encoded again;
// every other byte is copied through as it was, so NEC/IBM duplicate codes
// and bytes that are no character survive any mapping. A character whose
// mapped form CP932 cannot hold stays as it is. There is no length limit.
#pragma once

#include <string>
#include <string_view>

namespace velmora::text {

// Full-width katakana to hiragana (ァ..ン; ヴ, ヵ and ヶ stay, CP932 has no
// hiragana twins for them). Half-width katakana and everything else stay.
std::string toHiragana(std::string_view cp932);

// Hiragana to full-width katakana. Everything else stays.
std::string toKatakana(std::string_view cp932);

// ASCII to full-width forms (blank to U+3000; ' " ` to the curly quotes
// ’ ” ‘, which toHalfWidth leaves alone), half-width katakana and
// punctuation to full width. A half-width kana followed by ﾞ or ﾟ becomes
// one voiced full-width kana (ｶﾞ -> ガ, ﾊﾟ -> パ, ｳﾞ -> ヴ).
std::string toFullWidth(std::string_view cp932);

// Full-width ASCII forms and U+3000 to ASCII, full-width katakana and
// punctuation to half width; a voiced kana is split into its base and ﾞ or
// ﾟ (ガ -> ｶﾞ). Hiragana stays, and so do katakana without a half-width
// form (ヮ ヰ ヱ ヵ ヶ).
std::string toHalfWidth(std::string_view cp932);

// Per character Unicode simple case mapping (ASCII, full-width Latin,
// Greek, Cyrillic, Roman numerals); widths and kana are never folded.
std::string toUpperCase(std::string_view cp932);
std::string toLowerCase(std::string_view cp932);

// The folding of the reading-aware search, on Unicode text: hiragana to
// katakana (ゔ to ヴ), half-width katakana and punctuation to full width
// with a following ﾞ or ﾟ joined to its kana (ｳﾀﾀﾞ to ウタダ), the full-width
// ASCII forms and U+3000 to ASCII, then every letter to upper case. The
// wave dash (〜 U+301C and ～ U+FF5E, one character of CP932) stays a wave
// dash and does not become "~"; the prolonged sound mark ー (and ｰ) does not
// become a hyphen. Two texts that fold to the same text read the same.
std::u16string foldForSearch(std::u16string_view text);

// Decodes CP932 bytes and appends their folded text to `out`.
void appendFoldedForSearch(std::u16string& out, std::string_view cp932);

}  // namespace velmora::text
