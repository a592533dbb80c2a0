#include "core/websearch/websearch.h"

#include <gtest/gtest.h>

#include "core/text/cp932.h"

namespace velmora::websearch {
namespace {

TEST(WebSearch, QueryOfTheChosenFields)
{
    const std::array<std::optional<std::string>, kItemCount> fields = {"A", "B", std::nullopt,
                                                                       "G", "",  "memo"};
    EXPECT_EQ(searchQuery({true, true, false, false, false, false}, fields), "A B ");
    // No song row: the song is left out without its space; empty fields
    // still add theirs.
    EXPECT_EQ(searchQuery({false, false, true, false, true, true}, fields), " memo ");
    EXPECT_EQ(searchQuery({}, fields), "");
}

TEST(WebSearch, AddressKeepsHeadAndTailAndEncodesTheQuery)
{
    const std::string query = text::fromUnicode(u"Rock & Roll 東京\n").bytes;
    EXPECT_EQ(searchAddress("http://example.jp/s?q=", query, "&x=1"),
              "http://example.jp/s?q=Rock%20%26%20Roll%20%E6%9D%B1%E4%BA%AC%0A&x=1");
    EXPECT_EQ(searchAddress("http://h/?k=", "a-b_c.d~", ""), "http://h/?k=a-b_c.d~");
    EXPECT_EQ(percentEncode("/?#%+"), "%2F%3F%23%25%2B");
}

}  // namespace
}  // namespace velmora::websearch
