#include "core/textops/memo_lines.h"

#include <gtest/gtest.h>

namespace velmora::textops {
namespace {

TEST(MemoLinesTest, OpeningShowsTheColumnUpToItsLastFilledSong)
{
    MemoLines column(99);
    EXPECT_EQ(shownLineCount(column), 0u);
    column[0] = u"one";
    column[1] = u"two";
    column[4] = u"five";
    EXPECT_EQ(shownLineCount(column), 5u);
    column[98] = u"last";
    EXPECT_EQ(shownLineCount(column), 99u);
    // A blank is text: the line counts.
    MemoLines blankEnd = {u"a", u"", u" "};
    EXPECT_EQ(shownLineCount(blankEnd), 3u);
}

TEST(MemoLinesTest, TrailingEmptyLinesGoButInnerOnesStay)
{
    MemoLines lines = {u"a", u"", u"b", u"", u""};
    dropTrailingEmptyLines(lines);
    EXPECT_EQ(lines, (MemoLines{u"a", u"", u"b"}));
    MemoLines empty = {u"", u""};
    dropTrailingEmptyLines(empty);
    EXPECT_TRUE(empty.empty());
}

TEST(MemoLinesTest, TidyTrimsBlanksAndControlsAndDropsEmptyLines)
{
    EXPECT_EQ(tidyLines({u"  a \t", u"", u"b"}), (MemoLines{u"a", u"b"}));
    // Full-width blanks are characters of the title, not padding.
    EXPECT_EQ(tidyLines({u"\u3000x\u3000", u" \x01\x1f "}), (MemoLines{u"\u3000x\u3000"}));
    // Inner blanks stay; characters above the blank are never trimmed.
    EXPECT_EQ(tidyLines({u"\x7f"
                         u"a b!",
                         u"\r\n"}),
              (MemoLines{u"\x7f"
                         u"a b!"}));
    EXPECT_TRUE(tidyLines({}).empty());
}

TEST(MemoLinesTest, WriteBackFillsEverySlotAndDropsLinesPastTheLast)
{
    MemoLines three = columnFromLines({u"1", u"2", u"3"}, 99);
    ASSERT_EQ(three.size(), 99u);
    EXPECT_EQ(three[2], u"3");
    for (std::size_t i = 3; i < 99; ++i) {
        EXPECT_TRUE(three[i].empty()) << i;
    }
    MemoLines many(120);
    for (std::size_t i = 0; i < many.size(); ++i) {
        many[i] = std::u16string(1, static_cast<char16_t>(u'A' + i % 26)) + std::u16string(i / 26, u'+');
    }
    MemoLines column = columnFromLines(many, 99);
    ASSERT_EQ(column.size(), 99u);
    EXPECT_EQ(column.front(), many.front());
    EXPECT_EQ(column.back(), many[98]);
    EXPECT_TRUE(columnFromLines({}, 99)[0].empty());
}

TEST(MemoLinesTest, WriteBackRefusesSeparatorsEverywhereAndNonCp932WhereAsked)
{
    const MemoLines lines = {u"ok", u"fine\u301c", u"bad<>", u"\U0001F600"};
    EXPECT_EQ(firstRefusedLine(lines, 99, true).line, 3u);
    EXPECT_EQ(firstRefusedLine(lines, 99, true).problem, LineProblem::Separator);
    // "<" and ">" apart are allowed.
    EXPECT_EQ(firstRefusedLine({u"<a>", u"> <"}, 99, true).line, 0u);
    // The wave dash has a CP932 twin; an emoji has none.
    const MemoLines emoji = {u"fine\u301c", u"x\U0001F600"};
    EXPECT_EQ(firstRefusedLine(emoji, 99, true).line, 2u);
    EXPECT_EQ(firstRefusedLine(emoji, 99, true).problem, LineProblem::NoCp932);
    // Media paths are only refused for "<>".
    EXPECT_EQ(firstRefusedLine(emoji, 99, false).line, 0u);
    EXPECT_EQ(firstRefusedLine({u"/m/\U0001F600", u"/a<>b"}, 99, false).line, 2u);
    // Lines past the last slot are dropped, so they are not checked.
    MemoLines past(100, u"x");
    past[99] = u"<>";
    EXPECT_EQ(firstRefusedLine(past, 99, true).line, 0u);
    past[98] = u"<>";
    EXPECT_EQ(firstRefusedLine(past, 99, true).line, 99u);
}

TEST(MemoLinesTest, FilesEndEveryLineWithCrLf)
{
    EXPECT_EQ(joinCrLf({"a", "", "\x83\x41"}), "a\r\n\r\n\x83\x41\r\n");
    EXPECT_EQ(joinCrLf({}), "");
}

}  // namespace
}  // namespace velmora::textops
