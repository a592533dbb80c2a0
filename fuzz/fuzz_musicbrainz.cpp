// The MusicBrainz answer parser: any answer is either a list of releases or
// an error, and every release of a list fills an album whose every cell the
// catalogue can hold.
#include <cstdint>
#include <cstdio>

#include "core/discdata/album_fill.h"
#include "core/store/album_table.h"
#include "fuzz_support.h"
#include "net/musicbrainz_json.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace velmora;
    const QByteArray answer(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    net::ParsedReleases parsed = net::parseDiscidAnswer(answer);
    net::serviceErrorText(answer);
    if (!parsed.ok) {
        FUZZ_CHECK(parsed.releases.empty(), "an answer that is no list gives no releases");
        FUZZ_CHECK(!parsed.error.isEmpty(), "an answer that is no list says why");
        return 0;
    }
    store::AlbumTable table;
    table.setRowCount(2);
    for (const discdata::ReleaseInfo& release : parsed.releases) {
        for (const discdata::MediumInfo& medium : release.media) {
            discdata::AlbumFill fill = discdata::fillAlbum(store::AlbumRecord{}, release, medium, {});
            for (int column = 0; column < store::kColumnCount; ++column) {
                if (store::checkCell(column, fill.record[column]) != store::CellProblem::None) {
                    std::fprintf(stderr, "column %d: problem %d in \"%s\"\n", column,
                                 static_cast<int>(store::checkCell(column, fill.record[column])),
                                 fill.record[column].c_str());
                }
                FUZZ_CHECK(store::checkCell(column, fill.record[column]) == store::CellProblem::None,
                           "every filled cell fits the catalogue");
                FUZZ_CHECK(fuzz::isWholeCp932(fill.record[column]), "every filled cell is whole Shift-JIS");
            }
            table.setRecord(1, fill.record);
        }
    }
    return 0;
}
