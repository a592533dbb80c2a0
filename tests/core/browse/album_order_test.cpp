#include "core/browse/album_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "core/text/collation.h"
#include "core/text/cp932.h"

namespace velmora::browse {
namespace {

std::string sjis(std::u16string_view text)
{
    return text::fromUnicode(text).bytes;
}

std::vector<bool> flags(std::initializer_list<int> selected, int count)
{
    std::vector<bool> result(static_cast<std::size_t>(count), false);
    for (int i : selected) {
        result[static_cast<std::size_t>(i)] = true;
    }
    return result;
}

TEST(AlbumOrder, DroppedAlbumsLandBeforeTheTarget)
{
    // Items 0..4 show albums 1..5; albums 2 and 4 are selected.
    EXPECT_EQ(dropOrder(flags({1, 3}, 5), 0), (std::vector<int>{1, 3, 0, 2, 4}));
    EXPECT_EQ(dropOrder(flags({1, 3}, 5), 4), (std::vector<int>{0, 2, 1, 3, 4}));
    // Dropped on a selected item: that item moves along.
    EXPECT_EQ(dropOrder(flags({1, 3}, 5), 3), (std::vector<int>{0, 2, 1, 3, 4}));
    EXPECT_EQ(dropOrder(flags({0, 1, 2}, 3), 1), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(dropOrder(flags({4}, 5), 0), (std::vector<int>{4, 0, 1, 2, 3}));
}

TEST(AlbumOrder, NumbersSortAsIntegersAndTextsByJapaneseCollation)
{
    std::vector<int> numbers = {10, 2, 33, 1};
    EXPECT_EQ(sortOrder(numbers, 0, nullptr), (std::vector<int>{3, 1, 0, 2}));

    // Hiragana, katakana, kanji, Latin in both cases.
    std::vector<std::string> texts = {sjis(u"b"),  sjis(u"あ"), sjis(u"A"), sjis(u"a"),
                                      sjis(u"ア"), sjis(u"B"),  sjis(u"")};
    std::vector<int> none(texts.size(), 0);
    std::vector<int> order =
        sortOrder(none, 1, [&](int i) { return std::string_view(texts[static_cast<std::size_t>(i)]); });
    std::vector<std::string> sorted;
    for (int i : order) {
        sorted.push_back(texts[static_cast<std::size_t>(i)]);
    }
    text::JapaneseCollator collator;
    for (std::size_t i = 1; i < sorted.size(); ++i) {
        EXPECT_LE(collator.compare(sorted[i - 1], sorted[i]), 0);
    }
    EXPECT_EQ(sorted.front(), "");
    // Case counts: "a" and "A" are different keys, both before "b".
    EXPECT_NE(collator.compare(sjis(u"a"), sjis(u"A")), 0);
    EXPECT_LT(collator.compare(sjis(u"A"), sjis(u"b")), 0);
    EXPECT_LT(collator.compare(sjis(u"b"), sjis(u"あ")), 0);
}

TEST(AlbumOrder, EqualKeysKeepTheirOrder)
{
    std::vector<std::string> texts = {"x", "a", "x", "a", "x"};
    std::vector<int> numbers = {5, 4, 3, 2, 1};
    EXPECT_EQ(
        sortOrder(numbers, 2, [&](int i) { return std::string_view(texts[static_cast<std::size_t>(i)]); }),
        (std::vector<int>{1, 3, 0, 2, 4}));
}

TEST(AlbumOrder, ManyRepeatedTextsSortAsTheirKeysInAStableOrder)
{
    // Texts repeated over many items, some of them different texts of
    // equal order; the result is a stable sort by collation key.
    const std::vector<std::string> pool = {sjis(u"b"),    sjis(u"あ"),   sjis(u"A"),    sjis(u"a"),
                                           sjis(u"ア"),   sjis(u"ｱ"),    sjis(u"Ｂ"),   sjis(u""),
                                           sjis(u"漢字"), sjis(u"かな"), sjis(u"カナ"), "Queen",
                                           "queen",       "QUEEN",       "The Band"};
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < 2000; ++i) {
        texts.push_back(pool[(i * 7919 + i / 3) % pool.size()]);
    }
    const std::vector<int> none(texts.size(), 0);
    const std::vector<int> order =
        sortOrder(none, 2, [&](int i) { return std::string_view(texts[static_cast<std::size_t>(i)]); });
    text::JapaneseCollator collator;
    std::vector<int> expected(texts.size());
    std::iota(expected.begin(), expected.end(), 0);
    std::stable_sort(expected.begin(), expected.end(), [&](int a, int b) {
        return collator.sortKey(texts[static_cast<std::size_t>(a)]) <
               collator.sortKey(texts[static_cast<std::size_t>(b)]);
    });
    EXPECT_EQ(order, expected);
}

TEST(AlbumOrder, DistinctTextsIgnoreLetterCaseOnly)
{
    std::string upper = sjis(u"ＡＢＣ");
    std::string lower = sjis(u"ａｂｃ");
    std::string kana = sjis(u"あいう");
    std::string katakana = sjis(u"アイウ");
    std::vector<std::string_view> texts = {"Queen", "queen", "QUEEN",  "ABC", upper,
                                           lower,   kana,    katakana, "abc"};
    EXPECT_EQ(distinctIgnoringCase(texts), (std::vector<std::string>{"Queen", "ABC", upper, kana, katakana}));
    EXPECT_TRUE(text::equalIgnoringCase(sjis(u"Ωmega"), sjis(u"ωMEGA")));
    EXPECT_FALSE(text::equalIgnoringCase("ABC", upper));
}

}  // namespace
}  // namespace velmora::browse
