// Writes the music library of the scan benchmark: FOLDERS album folders of
// FILES tagged songs each, MP3, FLAC and Ogg Vorbis in turn, every fifth
// album with an embedded front picture. The sound is encoded once by
// GStreamer and copied; TagLib writes the tags.
//
//   velmora-scan-bench-files OUT_DIR [FOLDERS [FILES [PICTURE]]]
//
// PICTURE, when given, is a JPEG file embedded as it is (for screenshots);
// otherwise a 20 kB stand-in that only starts like a JPEG.
#include "support/music_file_writing.h"

#include <taglib/attachedpictureframe.h>
#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/flacpicture.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tpropertymap.h>
#include <taglib/vorbisfile.h>
#include <taglib/xiphcomment.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

namespace {

TagLib::String utf8(const std::string& text)
{
    return TagLib::String(text, TagLib::String::UTF8);
}

}  // namespace

int main(int argc, char** argv)
{
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
