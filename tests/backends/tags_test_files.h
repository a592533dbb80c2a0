// Real music files for the tag and scan tests: encoded by GStreamer's
// audiotestsrc, then tagged through TagLib.
#pragma once

#include "support/music_file_writing.h"

#include <gtest/gtest.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/flacpicture.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tpropertymap.h>
#include <taglib/vorbisfile.h>
#include <taglib/xiphcomment.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "support/temp_dir.h"

namespace velmora::test {

// The encoders of each generated format.
inline const std::map<std::string, std::string>& encoders()
{
    static const std::map<std::string, std::string> pipelines = {
        {"flac", "flacenc"},
        {"ogg", "vorbisenc ! oggmux"},
        {"opus", "opusenc ! oggmux"},
        {"mp3", "lamemp3enc"},
        {"wav", "wavenc"},
        {"wv", "wavpackenc"},
        {"spx", "speexenc ! oggmux"},
        {"mp2", "twolamemp2enc"},
        {"aiff", ""},  // GStreamer has no AIFF writer: written by hand
    };
    return pipelines;
}

// A tenth of a second of 16-bit stereo silence at 44.1 kHz as AIFF.
inline void writeAiff(const std::filesystem::path& path)
{
    const std::uint32_t frames = 4410;
    std::string bytes;
    auto be32 = [&bytes](std::uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            bytes.push_back(static_cast<char>((v >> shift) & 0xFF));
        }
    };
    const std::uint32_t soundBytes = frames * 4;
    bytes += "FORM";
    be32(4 + 26 + 16 + soundBytes);
    bytes += "AIFFCOMM";
    be32(18);
    bytes += std::string("\x00\x02", 2);  // channels
    be32(frames);
    bytes += std::string("\x00\x10", 2);                                   // bits per sample
    bytes += std::string("\x40\x0E\xAC\x44\x00\x00\x00\x00\x00\x00", 10);  // 44100 as 80-bit float
    bytes += "SSND";
    be32(8 + soundBytes);
    be32(0);
    be32(0);
    bytes.append(soundBytes, '\0');
    std::ofstream(path, std::ios::binary) << bytes;
}

// A fraction of a second of a tone in `format` (a key of encoders()). The
// files of each format are encoded once and copied.
inline void writeSoundFile(const std::filesystem::path& path, const std::string& format)
{
    static TempDir cache;
    const std::filesystem::path source = cache / ("tone." + format);
    if (format == "aiff" && !std::filesystem::exists(source)) {
        writeAiff(source);
    }
    if (!std::filesystem::exists(source)) {
        ASSERT_TRUE(encodeTone(source, encoders().at(format))) << encoders().at(format);
    }
    std::filesystem::create_directories(path.parent_path());
    std::filesystem::copy_file(source, path, std::filesystem::copy_options::overwrite_existing);
}

struct TestTags {
    std::string title, artist, albumArtist, album, genre, date, track, disc;  // UTF-8
};

inline TagLib::String tagString(const std::string& utf8)
{
    return TagLib::String(utf8, TagLib::String::UTF8);
}

// Writes the tags through TagLib's common property interface.
inline void writeTags(const std::filesystem::path& path, const TestTags& tags)
{
    TagLib::FileRef ref(path.c_str());
    ASSERT_FALSE(ref.isNull()) << path;
    TagLib::PropertyMap properties;
    auto put = [&properties](const char* key, const std::string& value) {
        if (!value.empty()) {
            properties.replace(key, TagLib::StringList(tagString(value)));
        }
    };
    put("TITLE", tags.title);
    put("ARTIST", tags.artist);
    put("ALBUMARTIST", tags.albumArtist);
    put("ALBUM", tags.album);
    put("GENRE", tags.genre);
    put("DATE", tags.date);
    put("TRACKNUMBER", tags.track);
    put("DISCNUMBER", tags.disc);
    ref.file()->setProperties(properties);
    ASSERT_TRUE(ref.save()) << path;
}

// The bytes of a small picture that starts as a JPEG does.
inline std::string jpegBytes(char fill)
{
    std::string bytes = "\xFF\xD8\xFF\xE0";
    bytes.append(600, fill);
    bytes += "\xFF\xD9";
    return bytes;
}

// Embeds `picture` as the front cover of an MP3, FLAC or Ogg Vorbis file.
inline void embedCover(const std::filesystem::path& path, const std::string& picture)
{
    ASSERT_TRUE(
        embedFrontCover(path, TagLib::ByteVector(picture.data(), static_cast<unsigned int>(picture.size()))));
}

}  // namespace velmora::test
