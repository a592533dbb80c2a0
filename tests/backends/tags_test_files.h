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

// A JPEG of one white pixel that decodes, told apart by `fill`: a comment
// segment of 600 such bytes.
inline std::string jpegBytes(char fill)
{
    static const char kStart[] =
        "\xFF\xD8\xFF\xE0\x00\x10\x4A\x46\x49\x46\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00";
    static const char kRest[] =
        "\xFF\xDB\x00\x43\x00\x10\x0B\x0C\x0E\x0C\x0A\x10\x0E\x0D\x0E\x12\x11\x10\x13\x18\x28\x1A\x18\x16"
        "\x16\x18\x31\x23\x25\x1D\x28\x3A\x33\x3D\x3C\x39\x33\x38\x37\x40\x48\x5C\x4E\x40\x44\x57\x45\x37"
        "\x38\x50\x6D\x51\x57\x5F\x62\x67\x68\x67\x3E\x4D\x71\x79\x70\x64\x78\x5C\x65\x67\x63\xFF\xC0\x00"
        "\x0B\x08\x00\x01\x00\x01\x01\x01\x11\x00\xFF\xC4\x00\x14\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00"
        "\x00\x00\x00\x00\x00\x00\x00\x07\xFF\xC4\x00\x14\x10\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
        "\x00\x00\x00\x00\x00\x00\xFF\xDA\x00\x08\x01\x01\x00\x00\x3F\x00\x40\x7F\xFF\xD9";
    std::string bytes(kStart, sizeof kStart - 1);
    bytes += "\xFF\xFE\x02\x5A";  // a comment of 600 bytes
    bytes.append(600, fill);
    bytes.append(kRest, sizeof kRest - 1);
    return bytes;
}

// Bytes that start as a JPEG and decode as nothing.
inline std::string brokenJpegBytes()
{
    std::string bytes = "\xFF\xD8\xFF\xE0";
    bytes.append(600, 'x');
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
