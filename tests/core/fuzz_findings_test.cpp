// Inputs the fuzzers in fuzz/ found, each reduced to what broke.
#include <gtest/gtest.h>

#include <string>

#include "core/discdata/album_fill.h"
#include "core/store/album_table.h"
#include "core/store/columns.h"

namespace velmora {
namespace {

// A MusicBrainz artist credit "B<" NUL ">C": the control characters were
// dropped after the check for "<>", so the two joined into the data file's
// separator and the album could not be stored.
TEST(FuzzFindings, ControlCharactersBetweenLessAndGreaterDoNotMakeASeparator)
{
    for (const std::string& utf8 : {std::string("B<\0\0>C", 6), std::string("<\x01\x7f>"),
                                    std::string("<<\t>>"), std::string("a<\r\n>b")}) {
        const std::string cell = discdata::cellFromUtf8(utf8);
        EXPECT_EQ(store::checkCell(store::songArtistColumn(1), cell), store::CellProblem::None) << cell;
    }
    EXPECT_EQ(discdata::cellFromUtf8(std::string("B<\0>C", 5)),
              "B\x81\x83\x81\x84"
              "C");

    discdata::ReleaseInfo release;
    release.artist = "A";
    discdata::MediumInfo medium;
    medium.tracks.push_back({"t", std::string("A feat. B<\0\0>C", 14)});
    discdata::AlbumFill fill = discdata::fillAlbum(store::AlbumRecord{}, release, medium, {});
    store::AlbumTable table;
    table.setRowCount(2);
    EXPECT_NO_THROW(table.setRecord(1, fill.record));
    EXPECT_EQ(table.cell(store::songArtistColumn(1), 1),
              "A feat. B\x81\x83\x81\x84"
              "C");
}

}  // namespace
}  // namespace velmora
