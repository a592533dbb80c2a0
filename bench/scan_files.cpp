// Writes the music library of the scan benchmark: FOLDERS album folders of
// FILES tagged songs each, MP3, FLAC and Ogg Vorbis in turn, every fifth
// album with an embedded front picture. The sound is encoded once by
// GStreamer and copied; TagLib writes the tags.
//
//   velmora-scan-bench-files OUT_DIR [FOLDERS [FILES [PICTURE]]]
//   velmora-scan-bench-files --collection OUT_DIR [COPIES]
//   velmora-scan-bench-files --read DIR
//
// The second form writes COPIES (default 9) sets of albums shaped like a
// real collection, 80 music files and 8 albums each: a Japanese artist with
// kana sort names, a compilation without album artist, two discs in one
// folder numbered only in the file names, disc subfolders, an old rip with
// Shift-JIS bytes in ID3v1 and ID3v2 Latin-1 frames, names made on a Mac
// (〜 U+301C, − U+2212, é), partial tags named "Track NN", a multi-value
// album artist; beside them macOS and Windows leftovers, a text file and a
// broken file.
//
// The third form is the floor of a scan: TagLib alone reading the tags (and
// audio properties, as the scan does) of every music file under DIR, on as
// many threads as the scan uses (one per core, at most four); it prints the
// number of files read.
//
// PICTURE, when given, is a JPEG file embedded as it is (for screenshots);
// otherwise a 20 kB stand-in that only starts like a JPEG.
#include "support/music_file_writing.h"

#include <taglib/attachedpictureframe.h>
#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/flacpicture.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>
#include <taglib/tpropertymap.h>
#include <taglib/vorbisfile.h>
#include <taglib/xiphcomment.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

TagLib::String utf8(const std::string& text)
{
    return TagLib::String(text, TagLib::String::UTF8);
}

using Fields = std::vector<std::pair<std::string, std::vector<std::string>>>;

// Copies the template of the file's format and writes `fields` (UTF-8).
void tagged(const fs::path& templates, const fs::path& path, const Fields& fields)
{
    fs::create_directories(path.parent_path());
    fs::copy_file(templates / ("tone" + path.extension().string()), path,
                  fs::copy_options::overwrite_existing);
    TagLib::FileRef ref(path.c_str());
    TagLib::PropertyMap map;
    for (const auto& [key, values] : fields) {
        TagLib::StringList list;
        for (const std::string& value : values) {
            list.append(utf8(value));
        }
        map.replace(key.c_str(), list);
    }
    ref.file()->setProperties(map);
    ref.save();
}

// Shift-JIS bytes of the old rips (written by hand: the generator has no
// converter): 「桜坂」, 「福山雅治」, 「ベスト」.
const std::string kSakurazaka = "\x8d\xf7\x8d\xe2";
const std::string kFukuyama = "\x95\x9f\x8e\x52\x89\xeb\x8e\xa1";
const std::string kBest = "\x83\x78\x83\x58\x83\x67";

TagLib::String bytes(const std::string& raw)
{
    return TagLib::String(TagLib::ByteVector(raw.data(), static_cast<unsigned int>(raw.size())),
                          TagLib::String::Latin1);
}

void oldRip(const fs::path& templates, const fs::path& path, const std::string& title, int track)
{
    fs::create_directories(path.parent_path());
    fs::copy_file(templates / "tone.mp3", path, fs::copy_options::overwrite_existing);
    TagLib::MPEG::File file(path.c_str());
    TagLib::ID3v2::Tag* v2 = file.ID3v2Tag(true);
    for (const auto& [id, raw] : {std::pair<const char*, std::string>{"TIT2", title}, {"TPE1", kFukuyama}}) {
        auto* frame =
            new TagLib::ID3v2::TextIdentificationFrame(TagLib::ByteVector(id), TagLib::String::Latin1);
        frame->setText(bytes(raw));
        v2->addFrame(frame);
    }
    TagLib::ID3v1::Tag* v1 = file.ID3v1Tag(true);
    v1->setAlbum(bytes(kBest));  // only ID3v1 names the album
    v1->setTrack(static_cast<unsigned int>(track));
    file.save(TagLib::MPEG::File::ID3v1 | TagLib::MPEG::File::ID3v2, TagLib::File::StripOthers,
              TagLib::ID3v2::v4, TagLib::File::DoNotDuplicate);
}

void writeBytes(const fs::path& path, const std::string& content)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

int writeCollection(const fs::path& out, int copies)
{
    const fs::path templates = out / ".templates";
    fs::create_directories(templates);
    const std::pair<const char*, const char*> formats[] = {
        {"mp3", "lamemp3enc"}, {"flac", "flacenc"}, {"ogg", "vorbisenc ! oggmux"}};
    for (const auto& [ext, encoder] : formats) {
        if (!velmora::test::encodeTone(templates / (std::string("tone.") + ext), encoder)) {
            std::fprintf(stderr, "cannot encode the %s template (gst-launch-1.0 %s)\n", ext, encoder);
            return 1;
        }
    }
    auto n2 = [](int n) {
        char text[8];
        std::snprintf(text, sizeof text, "%02d", n);
        return std::string(text);
    };
    for (int c = 1; c <= copies; ++c) {
        const std::string k = std::to_string(c);
        const fs::path set = out / ("Set " + k);
        for (int t = 1; t <= 10; ++t) {
            tagged(templates,
                   set / "J-Pop" / ("宇多田ヒカル " + k) / ("First Love " + k) / (n2(t) + " 曲.mp3"),
                   {{"TITLE", {"曲 " + n2(t)}},
                    {"ARTIST", {"宇多田ヒカル " + k}},
                    {"ARTISTSORT", {"ウタダヒカル"}},
                    {"ALBUM", {"First Love " + k}},
                    {"TRACKNUMBER", {std::to_string(t)}},
                    {"DATE", {"1999"}}});
        }
        for (int t = 1; t <= 12; ++t) {
            Fields fields = {{"TITLE", {"Hit " + n2(t)}},
                             {"ARTIST", {"Artist " + std::string(1, static_cast<char>('A' + t))}},
                             {"ALBUM", {"Now Hits " + k}},
                             {"TRACKNUMBER", {std::to_string(t)}}};
            if (t % 2 == 0) {
                fields.push_back({"COMPILATION", {"1"}});
            }
            tagged(templates, set / "Compilations" / ("Now Hits " + k) / (n2(t) + " Hit.flac"), fields);
        }
        for (int d = 1; d <= 2; ++d) {
            for (int t = 1; t <= 8; ++t) {
                const std::string name = std::to_string(d) + "-" + n2(t) + " Part";
                tagged(templates, set / "Classical" / ("Opera " + k) / (name + ".ogg"),
                       {{"TITLE", {name}}, {"ARTIST", {"Orchestra"}}, {"ALBUM", {"Opera " + k}}});
            }
            for (int t = 1; t <= 6; ++t) {
                tagged(templates,
                       set / "Rock" / ("Double " + k) / ("CD" + std::to_string(d)) / (n2(t) + ".mp3"),
                       {{"TITLE", {"Side " + std::to_string(d) + " " + n2(t)}},
                        {"ARTIST", {"Band"}},
                        {"ALBUM", {"Double " + k}},
                        {"TRACKNUMBER", {std::to_string(t)}}});
            }
        }
        const std::string sjisTitles[] = {kSakurazaka, "\x93\xb9", "\x89\xd4"};  // 桜坂, 道, 花
        for (int t = 1; t <= 10; ++t) {
            oldRip(templates, set / "Rips" / ("Best " + k) / (n2(t) + ".mp3"), sjisTitles[t % 3], t);
        }
        const fs::path mac = set / "Mac" / ("Live \xe3\x80\x9c Tokyo " + k);
        for (int t = 1; t <= 8; ++t) {
            const std::string name = n2(t) + (t % 2 ? " \xe2\x88\x92 Caf\xc3\xa9" : " Encore") + ".flac";
            tagged(
                templates, mac / name,
                {{"TITLE", {"Live " + n2(t)}}, {"ARTIST", {"Band"}}, {"TRACKNUMBER", {std::to_string(t)}}});
        }
        for (int t = 1; t <= 6; ++t) {
            tagged(templates, set / "Partial" / ("Tapes " + k) / ("Track " + std::to_string(t) + ".mp3"),
                   {{"TITLE", {"Tape " + std::to_string(t)}}});
        }
        for (int t = 1; t <= 6; ++t) {
            tagged(templates, set / "Duets" / ("Duets " + k) / (n2(t) + ".ogg"),
                   {{"TITLE", {"Duet " + n2(t)}},
                    {"ARTIST", {"ArtistOne"}},
                    {"ALBUMARTIST", {"ArtistOne", "ArtistTwo", "ArtistOne", "ArtistTwo"}},
                    {"ALBUM", {"Duets " + k}},
                    {"TRACKNUMBER", {std::to_string(t)}}});
        }
        writeBytes(mac / "._01 Encore.flac", std::string("\0\5\26\7Mac OS X        ", 20));
        writeBytes(mac / ".DS_Store", "\0\0\0\1Bud1");
        writeBytes(set / "Rips" / ("Best " + k) / "Thumbs.db", "thumbs");
        writeBytes(set / "Rips" / ("Best " + k) / "rip.log", "EAC extraction logfile");
        writeBytes(set / "Partial" / ("Tapes " + k) / "broken.mp3", std::string(4000, '\1'));
    }
    fs::remove_all(templates);
    return 0;
}

}  // namespace

// Reads every .mp3, .flac and .ogg file under `root` through TagLib.
int readAll(const fs::path& root)
{
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::string ext = entry.path().extension().string();
        if (entry.is_regular_file() && (ext == ".mp3" || ext == ".flac" || ext == ".ogg")) {
            files.push_back(entry.path());
        }
    }
    std::atomic<std::size_t> next{0};
    std::atomic<int> read{0};
    auto work = [&] {
        for (std::size_t i = next++; i < files.size(); i = next++) {
            TagLib::FileRef file(files[i].c_str(), true, TagLib::AudioProperties::Fast);
            if (!file.isNull() && file.tag() != nullptr && !file.tag()->title().isEmpty()) {
                ++read;
            }
        }
    };
    const unsigned threads = std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < threads; ++t) {
        pool.emplace_back(work);
    }
    work();
    for (std::thread& thread : pool) {
        thread.join();
    }
    std::printf("files read: %d\n", read.load());
    return 0;
}

int main(int argc, char** argv)
{
    if (argc >= 3 && std::string(argv[1]) == "--read") {
        return readAll(argv[2]);
    }
    if (argc >= 3 && std::string(argv[1]) == "--collection") {
        return writeCollection(argv[2], argc > 3 ? std::atoi(argv[3]) : 9);
    }
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUT_DIR [FOLDERS [FILES [PICTURE]]]\n", argv[0]);
        return 2;
    }
    const fs::path out = argv[1];
    const int folders = argc > 2 ? std::atoi(argv[2]) : 1000;
    const int files = argc > 3 ? std::atoi(argv[3]) : 10;
    fs::create_directories(out / ".templates");
    const std::pair<const char*, const char*> formats[] = {
        {"mp3", "lamemp3enc"}, {"flac", "flacenc"}, {"ogg", "vorbisenc ! oggmux"}};
    for (const auto& [ext, encoder] : formats) {
        if (!velmora::test::encodeTone(out / ".templates" / (std::string("tone.") + ext), encoder)) {
            std::fprintf(stderr, "cannot encode the %s template (gst-launch-1.0 %s)\n", ext, encoder);
            return 1;
        }
    }
    // A 20 kB stand-in for a JPEG cover; each album's bytes differ.
    std::string pictureBytes = "\xFF\xD8\xFF\xE0";
    pictureBytes.append(20000, '\x42');
    const bool realPicture = argc > 4;
    if (realPicture) {
        std::ifstream in(argv[4], std::ios::binary);
        pictureBytes.assign(std::istreambuf_iterator<char>(in), {});
    }

    for (int f = 0; f < folders; ++f) {
        const char* ext = formats[f % 3].first;
        char folderName[64];
        std::snprintf(folderName, sizeof folderName, "Artist %03d/Album %04d", f % 250, f);
        const fs::path folder = out / folderName;
        fs::create_directories(folder);
        for (int t = 1; t <= files; ++t) {
            char fileName[64];
            std::snprintf(fileName, sizeof fileName, "%02d Song %d.%s", t, t, ext);
            const fs::path path = folder / fileName;
            fs::copy_file(out / ".templates" / (std::string("tone.") + ext), path,
                          fs::copy_options::overwrite_existing);
            {
                TagLib::FileRef ref(path.c_str());
                TagLib::PropertyMap tags;
                tags.replace("TITLE", TagLib::StringList(
                                          utf8("曲 " + std::to_string(t) + " / Song " + std::to_string(t))));
                tags.replace("ARTIST", TagLib::StringList(utf8("アーティスト " + std::to_string(f % 250))));
                tags.replace("ALBUM", TagLib::StringList(utf8("アルバム " + std::to_string(f))));
                tags.replace("GENRE", TagLib::StringList(utf8(f % 2 ? "Jazz" : "ロック")));
                tags.replace("DATE", TagLib::StringList(utf8(std::to_string(1970 + f % 50))));
                tags.replace("TRACKNUMBER",
                             TagLib::StringList(utf8(std::to_string(t) + "/" + std::to_string(files))));
                ref.file()->setProperties(tags);
                ref.save();
            }  // closed before the picture is written by another reader
            if (f % 5 == 0) {
                std::string picture = pictureBytes;
                if (!realPicture) {
                    picture.replace(4, 8, std::to_string(10000000 + f));
                }
                velmora::test::embedFrontCover(
                    path, TagLib::ByteVector(picture.data(), static_cast<unsigned int>(picture.size())));
            }
        }
    }
    fs::remove_all(out / ".templates");
    return 0;
}
