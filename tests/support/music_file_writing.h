// Writing real music files for the tag tests and the scan benchmark: a tone
// encoded by GStreamer, and a front cover embedded through TagLib.
#pragma once

#include <taglib/attachedpictureframe.h>
#include <taglib/flacfile.h>
#include <taglib/flacpicture.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/vorbisfile.h>
#include <taglib/xiphcomment.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace velmora::test {

// A fraction of a second of a tone, encoded by the GStreamer element
// description `encoder` into `path`. False when gst-launch failed.
inline bool encodeTone(const std::filesystem::path& path, const std::string& encoder)
{
    const std::string command =
        "gst-launch-1.0 -q audiotestsrc num-buffers=4 samplesperbuffer=4410 ! "
        "audioconvert ! audioresample ! " +
        encoder + " ! filesink location='" + path.string() + "' >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

// Embeds `picture` (JPEG bytes) as the front cover of an MP3, FLAC or Ogg
// Vorbis file. False when the file could not be saved.
inline bool embedFrontCover(const std::filesystem::path& path, const TagLib::ByteVector& picture)
{
    const std::string ext = path.extension().string();
    if (ext == ".mp3") {
        TagLib::MPEG::File file(path.c_str());
        auto* frame = new TagLib::ID3v2::AttachedPictureFrame;
        frame->setMimeType("image/jpeg");
        frame->setType(TagLib::ID3v2::AttachedPictureFrame::FrontCover);
        frame->setPicture(picture);
        file.ID3v2Tag(true)->addFrame(frame);
        return file.save();
    }
    auto* flacPicture = new TagLib::FLAC::Picture;
    flacPicture->setMimeType("image/jpeg");
    flacPicture->setType(TagLib::FLAC::Picture::FrontCover);
    flacPicture->setData(picture);
    if (ext == ".flac") {
        TagLib::FLAC::File file(path.c_str());
        file.addPicture(flacPicture);
        return file.save();
    }
    TagLib::Ogg::Vorbis::File file(path.c_str());
    file.tag()->addPicture(flacPicture);
    return file.save();
}

}  // namespace velmora::test
