// Media cells and the files they name: the plain Shift-JIS form and the
// "file:" form for names Shift-JIS cannot hold.
#include <gtest/gtest.h>

#include "core/media/media_path.h"
#include "core/store/album_table.h"
#include "support/sjis.h"

namespace velmora::media {
namespace {

using test::sj;

TEST(MediaPath, NamesShiftJisHoldsStayPlainPaths)
{
    for (std::string path :
         {"/m/a/01 x.mp3", "/音楽/ソニー/表/01 曲.flac", "relative/a b.ogg", "/m/ﾊﾝｶｸ.wav"}) {
        const std::string cell = cellOfFileSystemPath(path);
        EXPECT_EQ(cell, sj(path)) << path;
        EXPECT_FALSE(isFileUriCell(cell));
        EXPECT_EQ(fileSystemPath(cell), path);
    }
    // ソ and 表 end in 0x5C: no separator for all that.
    EXPECT_EQ(fileSystemPath(sj("C:\\音楽\\ソ表.mp3")), "C:/音楽/ソ表.mp3");
    EXPECT_EQ(cellOfFileSystemPath(""), "");
}

TEST(MediaPath, EveryOtherNameIsStoredAsAFileUriThatResolvesToTheSameBytes)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"/m/Caf\xc3\xa9/01.mp3", "file:///m/Caf%C3%A9/01.mp3"},
        {"/m/a\xe3\x80\x9c"
         "b.mp3",
         "file:///m/a%E3%80%9Cb.mp3"},  // wave dash from a Mac: not FF5E
        {"/m/\xe2\x88\x92"
         "1.mp3",
         "file:///m/%E2%88%921.mp3"},                               // minus sign U+2212
        {"/m/\xf0\x9f\x8e\xb5.mp3", "file:///m/%F0%9F%8E%B5.mp3"},  // emoji
        {"/m/bad\xff.mp3", "file:///m/bad%FF.mp3"},                 // not UTF-8
        {"/m/a\\b.mp3", "file:///m/a%5Cb.mp3"},                     // a backslash is no separator here
        {"/m/100%/x<>y.mp3", "file:///m/100%25/x%3C%3Ey.mp3"},
        {"/m/line\nbreak.mp3", "file:///m/line%0Abreak.mp3"},
        {"file:odd/name.mp3", "file:file:odd/name.mp3"},
    };
    for (const auto& [path, uri] : cases) {
        const std::string cell = cellOfFileSystemPath(path);
        EXPECT_EQ(cell, uri) << path;
        EXPECT_TRUE(isFileUriCell(cell));
        EXPECT_EQ(fileSystemPath(cell), path) << cell;
        EXPECT_EQ(store::checkCell(store::mediaColumn(1), cell), store::CellProblem::None) << cell;
    }
    // Japanese beside an accent: the Japanese stays readable.
    const std::string mixed = "/音楽/Beyonc\xc3\xa9/曲.mp3";
    EXPECT_EQ(cellOfFileSystemPath(mixed), sj("file:///音楽/Beyonc%C3%A9/曲.mp3"));
    EXPECT_EQ(fileSystemPath(cellOfFileSystemPath(mixed)), mixed);
}

TEST(MediaPath, UrisWrittenByOthersResolveToo)
{
    EXPECT_EQ(fileSystemPath("file://localhost/m/a%20b.mp3"), "/m/a b.mp3");
    EXPECT_EQ(fileSystemPath("FILE:///m/x.mp3"), "/m/x.mp3");
    EXPECT_EQ(fileSystemPath("file:///m/50%.mp3"), "/m/50%.mp3");  // a stray % stays
    EXPECT_EQ(fileSystemPath("file:///m/%zz%4"), "/m/%zz%4");
}

}  // namespace
}  // namespace velmora::media
