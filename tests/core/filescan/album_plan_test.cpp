// Grouping music files' tags into album records.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "core/filescan/album_plan.h"
#include "core/filescan/tag_text.h"
#include "core/store/album_table.h"
#include "support/sjis.h"

namespace velmora::filescan {
namespace {

using store::AlbumRecord;
using test::sj;

// A tagged file; fields left empty are absent from the tag.
FileTags tagged(std::string path, std::u16string album, std::u16string artist, std::u16string title,
                int track, std::u16string albumArtist = {})
{
    FileTags file;
    file.path = std::move(path);
    file.folder = std::string(parentPath(file.path));
    file.hasTags = true;
    file.album = std::move(album);
    file.artist = std::move(artist);
    file.albumArtist = std::move(albumArtist);
    file.title = std::move(title);
    file.track = track;
    return file;
}

FileTags untagged(std::string path)
{
    FileTags file;
    file.path = std::move(path);
    file.folder = std::string(parentPath(file.path));
    return file;
}

std::vector<std::string> titles(const AlbumRecord& record)
{
    std::vector<std::string> out;
    for (int slot = 1; slot <= store::kSongSlots && !record[store::songTitleColumn(slot)].empty(); ++slot) {
        out.push_back(test::utf8(record[store::songTitleColumn(slot)]));
    }
    return out;
}

TEST(AlbumPlan, AlbumArtistNamesTheAlbumAndSongArtistsOnlyWhereTheyDiffer)
{
    std::vector<FileTags> files = {
        tagged("/m/a/02.flac", u"冬の旅", u"歌手A", u"二曲目", 2, u"楽団"),
        tagged("/m/a/01.flac", u"冬の旅", u"楽団", u"一曲目", 1, u"楽団"),
    };
    files[0].genre = u"クラシック";
    files[1].year = 2001;
    ScanPlan plan = planAlbums(files, {});
    ASSERT_EQ(plan.albums.size(), 1u);
    const PlannedAlbum& album = plan.albums[0];
    const AlbumRecord& r = album.record;
    EXPECT_EQ(r[store::ArtistColumn], sj("楽団"));
    EXPECT_EQ(r[store::AlbumColumn], sj("冬の旅"));
    EXPECT_EQ(r[store::Category1Column], sj("クラシック"));
    EXPECT_EQ(r[store::Category3Column], sj("2001年"));
    EXPECT_EQ(r[store::FuriganaColumn], sj("楽団"));
    EXPECT_EQ(titles(r), (std::vector<std::string>{"一曲目", "二曲目"}));
    EXPECT_EQ(r[store::songArtistColumn(1)], "");
    EXPECT_EQ(r[store::songArtistColumn(2)], sj("歌手A"));
    EXPECT_EQ(r[store::mediaColumn(1)], "/m/a/01.flac");
    EXPECT_EQ(r[store::mediaColumn(2)], "/m/a/02.flac");
    EXPECT_EQ(album.folder, "/m/a");
    EXPECT_EQ(album.songs, 2);
    EXPECT_EQ(plan.songCount(), 2);
}

TEST(AlbumPlan, OneFolderAndTitleIsOneAlbumWhateverItsSongArtists)
{
    // No album artist and different artists: a compilation, with or
    // without its flag, under 「Various Artists」.
    std::vector<FileTags> compilation = {
        tagged("/m/x/1.mp3", u"Best", u"Alpha", u"a1", 1),
        tagged("/m/x/2.mp3", u"Best", u"Beta", u"b1", 2),
        tagged("/m/x/3.mp3", u"Best", u"Alpha", u"a2", 3),
    };
    ScanPlan plan = planAlbums(compilation, {});
    ASSERT_EQ(plan.albums.size(), 1u);
    const AlbumRecord& r = plan.albums[0].record;
    EXPECT_EQ(r[store::ArtistColumn], "Various Artists");
    EXPECT_EQ(r[store::FuriganaColumn], "Various Artists");
    EXPECT_EQ(titles(r), (std::vector<std::string>{"a1", "b1", "a2"}));
    EXPECT_EQ(r[store::songArtistColumn(1)], "Alpha");
    EXPECT_EQ(r[store::songArtistColumn(2)], "Beta");
    EXPECT_EQ(r[store::songArtistColumn(3)], "Alpha");

    // A guest on one song: the album stays the shared artist's.
    std::vector<FileTags> guest = {
        tagged("/m/y/1.mp3", u"Own", u"歌手", u"s1", 1),
        tagged("/m/y/2.mp3", u"Own", u"歌手×客演", u"s2", 2),
        tagged("/m/y/3.mp3", u"Own", u"歌手", u"s3", 3),
    };
    ScanPlan own = planAlbums(guest, {});
    ASSERT_EQ(own.albums.size(), 1u);
    EXPECT_EQ(own.albums[0].record[store::ArtistColumn], sj("歌手"));
    EXPECT_EQ(own.albums[0].record[store::songArtistColumn(1)], "");
    EXPECT_EQ(own.albums[0].record[store::songArtistColumn(2)], sj("歌手×客演"));

    // Two titles in one folder are two albums.
    std::vector<FileTags> two = {
        tagged("/m/z/1.mp3", u"First", u"A", u"f", 1),
        tagged("/m/z/2.mp3", u"Second", u"A", u"s", 1),
    };
    EXPECT_EQ(planAlbums(two, {}).albums.size(), 2u);
}

TEST(AlbumPlan, NumbersMissingFromTagsComeFromFileNamesThenNaturalOrder)
{
    auto order = [](std::vector<FileTags> files) {
        return titles(planAlbums(files, {}).albums.at(0).record);
    };
    auto named = [](std::string name) {
        FileTags file = tagged("/m/d/" + name, u"D", u"A", u"", 0);
        file.title = utf16FromUtf8(fileStem(name)).value();
        return file;
    };
    // Two discs in one folder: disc by disc.
    EXPECT_EQ(order({named("2-01 c.mp3"), named("1-02 b.mp3"), named("2-02 d.mp3"), named("1-01 a.mp3")}),
              (std::vector<std::string>{"1-01 a", "1-02 b", "2-01 c", "2-02 d"}));
    EXPECT_EQ(order({named("201 c.mp3"), named("102 b.mp3"), named("101 a.mp3")}),
              (std::vector<std::string>{"101 a", "102 b", "201 c"}));
    EXPECT_EQ(order({named("Track 10.mp3"), named("Track 2.mp3"), named("track 1.mp3")}),
              (std::vector<std::string>{"track 1", "Track 2", "Track 10"}));
    EXPECT_EQ(order({named("10 - j.mp3"), named("9 - i.mp3"), named("01 - a.mp3")}),
              (std::vector<std::string>{"01 - a", "9 - i", "10 - j"}));
    // No number at the start: file names in natural order.
    EXPECT_EQ(order({named("part10.mp3"), named("part2.mp3"), named("part1.mp3")}),
              (std::vector<std::string>{"part1", "part2", "part10"}));
    // Disc numbers in the tags with track numbers from the names.
    std::vector<FileTags> discs = {named("01 y.mp3"), named("02 z.mp3"), named("01 x.mp3")};
    discs[0].disc = 2;
    discs[1].disc = 2;
    discs[2].disc = 1;
    EXPECT_EQ(order(discs), (std::vector<std::string>{"01 x", "01 y", "02 z"}));
}

TEST(AlbumPlan, CompilationKeepsEverySongArtist)
{
    std::vector<FileTags> files;
    for (int i = 1; i <= 12; ++i) {
        files.push_back(tagged("/m/hits/" + std::to_string(100 + i) + ".ogg", u"Hits",
                               u"Singer " + std::u16string(1, static_cast<char16_t>(u'A' + i)), u"Song", i,
                               u"Various Artists"));
    }
    std::shuffle(files.begin(), files.end(), std::mt19937(7));
    ScanPlan plan = planAlbums(files, {});
    ASSERT_EQ(plan.albums.size(), 1u);
    const AlbumRecord& r = plan.albums[0].record;
    EXPECT_EQ(r[store::ArtistColumn], "Various Artists");
    for (int slot = 1; slot <= 12; ++slot) {
        EXPECT_EQ(r[store::songArtistColumn(slot)],
                  "Singer " + std::string(1, static_cast<char>('A' + slot)));
        EXPECT_EQ(r[store::mediaColumn(slot)], "/m/hits/" + std::to_string(100 + slot) + ".ogg");
    }
}

TEST(AlbumPlan, DiscSubfoldersJoinTheirAlbumInDiscOrder)
{
    // Disc numbers come from the tag, else from the subfolder's name.
    std::vector<FileTags> files = {
        tagged("/m/opera/Disc 2/01.flac", u"Opera", u"Cast", u"2-1", 1),
        tagged("/m/opera/CD1/02.flac", u"Opera", u"Cast", u"1-2", 2),
        tagged("/m/opera/CD1/01.flac", u"Opera", u"Cast", u"1-1", 1),
        tagged("/m/opera/Disc 2/02.flac", u"Opera", u"Cast", u"2-2", 2),
    };
    files[0].disc = 2;
    ScanPlan plan = planAlbums(files, {});
    ASSERT_EQ(plan.albums.size(), 1u);
    EXPECT_EQ(plan.albums[0].folder, "/m/opera");
    EXPECT_EQ(titles(plan.albums[0].record), (std::vector<std::string>{"1-1", "1-2", "2-1", "2-2"}));

    // Disc tags in one folder order the songs too.
    std::vector<FileTags> flat = {
        tagged("/m/two/a.mp3", u"Two", u"Duo", u"disc2 track1", 1),
        tagged("/m/two/b.mp3", u"Two", u"Duo", u"disc1 track2", 2),
        tagged("/m/two/c.mp3", u"Two", u"Duo", u"disc1 track1", 1),
    };
    flat[0].disc = 2;
    flat[1].disc = 1;
    flat[2].disc = 1;
    EXPECT_EQ(titles(planAlbums(flat, {}).albums.at(0).record),
              (std::vector<std::string>{"disc1 track1", "disc1 track2", "disc2 track1"}));
}

TEST(AlbumPlan, ASongWithoutTrackNumberKeepsItsPlaceByName)
{
    std::vector<FileTags> files = {
        tagged("/m/t/d.mp3", u"T", u"A", u"four", 4), tagged("/m/t/c.mp3", u"T", u"A", u"three", 0),
        tagged("/m/t/b.mp3", u"T", u"A", u"two", 2),  tagged("/m/t/a.mp3", u"T", u"A", u"one", 1),
        tagged("/m/t/e.mp3", u"T", u"A", u"five", 0),
    };
    EXPECT_EQ(titles(planAlbums(files, {}).albums.at(0).record),
              (std::vector<std::string>{"one", "two", "three", "four", "five"}));
}

TEST(AlbumPlan, FilesWithoutTagsTakeFolderAndFileNames)
{
    std::vector<FileTags> files = {untagged("/m/Live 1999/02 Encore.wav"),
                                   untagged("/m/Live 1999/01 Opening.wav"),
                                   untagged("/m/Live 1999/.hidden.wav")};
    ScanPlan plan = planAlbums(files, {});
    ASSERT_EQ(plan.albums.size(), 1u);
    const AlbumRecord& r = plan.albums[0].record;
    EXPECT_EQ(r[store::AlbumColumn], "Live 1999");
    EXPECT_EQ(r[store::ArtistColumn], "");
    EXPECT_EQ(titles(r), (std::vector<std::string>{".hidden", "01 Opening", "02 Encore"}));

    // A tagged file without a title or album falls back the same way.
    FileTags partial = tagged("/m/Solo/track.mp3", u"", u"Someone", u"", 3);
    ScanPlan one = planAlbums({partial}, {});
    EXPECT_EQ(one.albums.at(0).record[store::AlbumColumn], "Solo");
    EXPECT_EQ(titles(one.albums.at(0).record), (std::vector<std::string>{"track"}));
}

TEST(AlbumPlan, MoreThan99SongsKeepsTheFirst99AndSaysSo)
{
    std::vector<FileTags> files;
    for (int i = 1; i <= 120; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "/m/big/%03d.mp3", i);
        files.push_back(tagged(name, u"Big", u"Band", u"t", i));
    }
    std::reverse(files.begin(), files.end());
    ScanPlan plan = planAlbums(files, {});
    ASSERT_EQ(plan.albums.size(), 1u);
    const PlannedAlbum& album = plan.albums[0];
    EXPECT_EQ(album.songs, 99);
    EXPECT_EQ(album.droppedSongs, 21);
    EXPECT_EQ(album.record[store::mediaColumn(1)], "/m/big/001.mp3");
    EXPECT_EQ(album.record[store::mediaColumn(99)], "/m/big/099.mp3");

    // Registered once, the album is not offered again: the songs past 99
    // do not come back as an album of their own.
    store::AlbumTable table;
    appendAlbums(table, plan.albums);
    ScanPlan again = planAlbums(files, catalogueFiles(table));
    EXPECT_TRUE(again.albums.empty());
    EXPECT_EQ(again.knownAlbums, 1);
    EXPECT_EQ(again.knownFiles, 99);
    EXPECT_EQ(again.songsWithoutRoom, 21);
}

TEST(AlbumPlan, CharactersShiftJisLacksBecomeGetaMarksAndAreCounted)
{
    // The wave dash maps to its CP932 twin; the emoji and é have no form.
    FileTags file = tagged("/m/c/1.mp3", u"Caf\u00e9 \u301c", u"DJ \U0001F3B5", u"a<>b\nc \u2014 \u2212", 1);
    file.genre = u"J{}Pop";
    file.year = 1987;
    ScanPlan plan = planAlbums({file}, {});
    ASSERT_EQ(plan.albums.size(), 1u);
    const AlbumRecord& r = plan.albums[0].record;
    EXPECT_EQ(r[store::AlbumColumn], sj("Caf〓 ～"));
    EXPECT_EQ(r[store::ArtistColumn], sj("DJ 〓"));
    EXPECT_EQ(r[store::songTitleColumn(1)], sj("a＜＞b c ― －"));
    EXPECT_EQ(r[store::Category1Column], "J{}Pop");  // not a memo-line field
    EXPECT_EQ(plan.albums[0].missingCharacters, 2);
    EXPECT_EQ(plan.missingCharacters, 2);
    for (int column = 0; column < store::kColumnCount; ++column) {
        EXPECT_EQ(store::checkCell(column, r[column]), store::CellProblem::None) << column;
    }
}

TEST(AlbumPlan, NoFileIsDroppedForItsName)
{
    std::vector<FileTags> files = {
        tagged("/m/p/ok.mp3", u"P", u"A", u"ok", 1),
        tagged("/m/p/caf\xc3\xa9.mp3", u"P", u"A", u"accent", 2),     // é: no CP932 form
        tagged("/m/p/bad\xff.mp3", u"P", u"A", u"invalid", 3),        // not UTF-8
        tagged("/m/p/wave\xe3\x80\x9c.mp3", u"P", u"A", u"wave", 4),  // would come back as another character
    };
    ScanPlan plan = planAlbums(files, {});
    ASSERT_EQ(plan.albums.size(), 1u);
    const AlbumRecord& r = plan.albums[0].record;
    EXPECT_EQ(titles(r), (std::vector<std::string>{"ok", "accent", "invalid", "wave"}));
    EXPECT_EQ(r[store::mediaColumn(1)], "/m/p/ok.mp3");
    EXPECT_EQ(r[store::mediaColumn(2)], "file:///m/p/caf%C3%A9.mp3");
    EXPECT_EQ(r[store::mediaColumn(3)], "file:///m/p/bad%FF.mp3");
    EXPECT_EQ(r[store::mediaColumn(4)], "file:///m/p/wave%E3%80%9C.mp3");

    // A whole album in a folder named on a Mac, title from the folder.
    std::vector<FileTags> mac = {untagged("/m/Live \xe3\x80\x9c Tokyo/01 a.mp3")};
    const ScanPlan macPlan = planAlbums(mac, {});
    const AlbumRecord& live = macPlan.albums.at(0).record;
    EXPECT_EQ(live[store::AlbumColumn], sj("Live ～ Tokyo"));
    EXPECT_EQ(live[store::mediaColumn(1)], "file:///m/Live%20%E3%80%9C%20Tokyo/01%20a.mp3");

    std::vector<FileTags> japanese = {tagged("/音楽/アルバム/01 曲.mp3", u"X", u"Y", u"z", 1)};
    EXPECT_EQ(planAlbums(japanese, {}).albums.at(0).record[store::mediaColumn(1)],
              sj("/音楽/アルバム/01 曲.mp3"));
}

TEST(AlbumPlan, NewFilesOfACataloguedFolderJoinItsAlbum)
{
    std::vector<FileTags> first = {
        tagged("/m/k/1.mp3", u"K", u"A", u"one", 1),
        tagged("/m/k/2.mp3", u"K", u"A", u"two", 2),
        tagged("/m/n/1.mp3", u"N", u"B", u"n1", 1),
    };
    store::AlbumTable table;
    table.setRowCount(2);
    table.setCell(store::ArtistColumn, 1, "other");
    appendAlbums(table, planAlbums(first, {}).albums);
    ASSERT_EQ(table.albumCount(), 3);

    // Three tracks added to K, one guest among them; a new folder.
    std::vector<FileTags> files = first;
    files.push_back(tagged("/m/k/5.mp3", u"K", u"A", u"five", 5));
    files.push_back(tagged("/m/k/3.mp3", u"K", u"A", u"three", 3));
    files.push_back(tagged("/m/k/4.mp3", u"K", u"Guest", u"four", 4));
    files.push_back(tagged("/m/o/1.mp3", u"O", u"C", u"o1", 1));
    const CatalogueFiles known = catalogueFiles(table);
    ScanPlan plan = planAlbums(files, known);
    ASSERT_EQ(plan.albums.size(), 2u);
    EXPECT_EQ(plan.knownFiles, 3);
    EXPECT_EQ(plan.knownAlbums, 1);  // N
    const PlannedAlbum& joined = plan.albums[0];
    EXPECT_EQ(joined.existingAlbum, 2);
    EXPECT_EQ(joined.firstSlot, 3);
    EXPECT_EQ(joined.songs, 3);
    EXPECT_EQ(joined.record[store::AlbumColumn], "K");
    EXPECT_EQ(plan.albums[1].existingAlbum, 0);
    EXPECT_EQ(plan.songCount(), 4);

    EXPECT_EQ(appendAlbums(table, plan.albums), 2);
    EXPECT_EQ(table.albumCount(), 4);
    EXPECT_EQ(titles(table.record(2)), (std::vector<std::string>{"one", "two", "three", "four", "five"}));
    EXPECT_EQ(table.cell(store::songArtistColumn(4), 2), "Guest");
    EXPECT_EQ(table.cell(store::songArtistColumn(3), 2), "");
    EXPECT_EQ(table.cell(store::mediaColumn(5), 2), "/m/k/5.mp3");
    EXPECT_EQ(table.cell(store::AlbumColumn, 4), "O");
    EXPECT_EQ(table.cell(store::ArtistColumn, 1), "other");

    // Nothing is new now; a full album takes no more songs.
    EXPECT_TRUE(planAlbums(files, catalogueFiles(table)).albums.empty());
    std::vector<FileTags> big;
    for (int i = 1; i <= 101; ++i) {
        big.push_back(tagged("/m/big/" + std::to_string(1000 + i) + ".mp3", u"Big", u"A", u"t", i));
    }
    store::AlbumTable full;
    appendAlbums(full, planAlbums(std::vector<FileTags>(big.begin(), big.begin() + 98), {}).albums);
    ScanPlan more = planAlbums(big, catalogueFiles(full));
    ASSERT_EQ(more.albums.size(), 1u);
    EXPECT_EQ(more.albums[0].songs, 1);
    EXPECT_EQ(more.albums[0].droppedSongs, 2);
    appendAlbums(full, more.albums);
    EXPECT_EQ(full.cell(store::mediaColumn(99), 1), "/m/big/1099.mp3");

    // A slot with only a song artist is taken: nothing is written over it.
    store::AlbumTable typed;
    typed.setRowCount(2);
    typed.setCell(store::songTitleColumn(1), 1, "one");
    typed.setCell(store::mediaColumn(1), 1, "/m/t/1.mp3");
    typed.setCell(store::songArtistColumn(3), 1, "guest");
    ScanPlan after =
        planAlbums({tagged("/m/t/1.mp3", u"T", u"A", u"one", 1), tagged("/m/t/2.mp3", u"T", u"A", u"two", 2)},
                   catalogueFiles(typed));
    ASSERT_EQ(after.albums.size(), 1u);
    EXPECT_EQ(after.albums[0].firstSlot, 4);
}

TEST(AlbumPlan, ReadingsComeFromKanaSortNames)
{
    FileTags kana = tagged("/m/r/1.mp3", u"R", u"宇多田ヒカル", u"t", 1);
    kana.artistSort = u"ウタダ ヒカル";
    EXPECT_EQ(planAlbums({kana}, {}).albums.at(0).record[store::FuriganaColumn], sj("ウタダ ヒカル"));
    FileTags albumArtist = tagged("/m/s/1.mp3", u"S", u"客演", u"t", 1, u"椎名林檎");
    albumArtist.artistSort = u"きゃくえん";
    albumArtist.albumArtistSort = u"しいなりんご";
    EXPECT_EQ(planAlbums({albumArtist}, {}).albums.at(0).record[store::FuriganaColumn], sj("しいなりんご"));
    FileTags latin = tagged("/m/l/1.mp3", u"L", u"The Band", u"t", 1);
    latin.artistSort = u"Band, The";
    EXPECT_EQ(planAlbums({latin}, {}).albums.at(0).record[store::FuriganaColumn], "The Band");
}

TEST(AlbumPlan, AlbumsComeInFolderOrderAndAppendAfterTheCatalogue)
{
    std::vector<FileTags> files = {
        tagged("/m/b/1.mp3", u"B", u"Z", u"b", 1),
        tagged("/m/a/2.mp3", u"A2", u"Y", u"a2", 1),
        tagged("/m/a/1.mp3", u"A1", u"X", u"a1", 1),
    };
    ScanPlan plan = planAlbums(files, {});
    ASSERT_EQ(plan.albums.size(), 3u);
    EXPECT_EQ(plan.albums[0].record[store::AlbumColumn], "A1");
    EXPECT_EQ(plan.albums[1].record[store::AlbumColumn], "A2");
    EXPECT_EQ(plan.albums[2].record[store::AlbumColumn], "B");

    store::AlbumTable table;
    table.setRowCount(2);
    table.setCell(store::ArtistColumn, 1, "existing");
    EXPECT_EQ(appendAlbums(table, plan.albums), 2);
    EXPECT_EQ(table.albumCount(), 4);
    EXPECT_EQ(table.cell(store::ArtistColumn, 1), "existing");
    EXPECT_EQ(table.cell(store::AlbumColumn, 4), "B");
    EXPECT_EQ(table.cell(store::mediaColumn(1), 2), "/m/a/1.mp3");

    // Running the plan again over the grown catalogue adds nothing.
    ScanPlan again = planAlbums(files, catalogueFiles(table));
    EXPECT_TRUE(again.albums.empty());
    EXPECT_EQ(again.knownAlbums, 3);
}

TEST(AlbumPlan, PicturesPreferTheEmbeddedOneOverTheFolders)
{
    FileTags first = tagged("/m/pic/1.mp3", u"P", u"A", u"1", 1);
    FileTags second = tagged("/m/pic/2.mp3", u"P", u"A", u"2", 2);
    first.folderPicture = second.folderPicture = "/m/pic/cover.jpg";
    ScanPlan withFolderPicture = planAlbums({first, second}, {});
    EXPECT_EQ(withFolderPicture.albums.at(0).record[store::ImagePathColumn], "/m/pic/cover.jpg");
    EXPECT_EQ(withFolderPicture.albums.at(0).embeddedPictureFile, "");

    second.embeddedPicture = true;
    ScanPlan embedded = planAlbums({first, second}, {});
    EXPECT_EQ(embedded.albums.at(0).embeddedPictureFile, "/m/pic/2.mp3");
    EXPECT_EQ(embedded.albums.at(0).record[store::ImagePathColumn], "");
}

TEST(AlbumPlan, EmptyInputPlansNothing)
{
    ScanPlan plan = planAlbums({}, {});
    EXPECT_TRUE(plan.albums.empty());
    EXPECT_EQ(plan.songCount(), 0);
    store::AlbumTable table;
    EXPECT_EQ(appendAlbums(table, plan.albums), 1);
    EXPECT_EQ(table.albumCount(), 0);
}

TEST(AlbumPlan, ANewAlbumOfAnArtistTakesTheReadingTheUserChose)
{
    store::AlbumTable table;
    table.setRowCount(2);
    table.setCell(store::ArtistColumn, 1, sj("中島美嘉"));
    table.setCell(store::FuriganaColumn, 1, sj("なかしまみか"));
    std::vector<FileTags> files = {tagged("/m/a/01.flac", u"盤", u"中島美嘉", u"一", 1),
                                   tagged("/m/b/01.flac", u"盤二", u"椎名林檎", u"一", 1)};
    files[0].artistSort = u"ナカジマミカ";
    const ScanPlan plan = planAlbums(files, catalogueFiles(table));
    ASSERT_EQ(plan.albums.size(), 2u);
    EXPECT_EQ(plan.albums[0].record[store::FuriganaColumn], sj("なかしまみか"));
    EXPECT_EQ(plan.albums[1].record[store::FuriganaColumn], sj("椎名林檎"));
}

}  // namespace
}  // namespace velmora::filescan
