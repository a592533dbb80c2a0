#include "backends/tags/tag_reader.h"

#include <taglib/aifffile.h>
#include <taglib/asffile.h>
#include <taglib/asfpicture.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/flacpicture.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/opusfile.h>
#include <taglib/tpropertymap.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavfile.h>
#include <taglib/xiphcomment.h>

#include <algorithm>
#include <array>

#include "core/filescan/tag_text.h"

namespace velmora::tags {

namespace {

bool hasExtension(std::string_view name, std::initializer_list<std::string_view> extensions)
{
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) {
        return false;
    }
    std::string ext(name.substr(dot + 1));
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; });
    return std::find(extensions.begin(), extensions.end(), ext) != extensions.end();
}

std::u16string utf16Of(const TagLib::String& text)
{
    std::u16string out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        const auto code = static_cast<char32_t>(c);
        if (code > 0xFFFF && code <= 0x10FFFF) {
            out.push_back(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
        } else if (code <= 0xFFFF) {
            out.push_back(static_cast<char16_t>(code));
        }
    }
    return out;
}

// The values of a field, joined when there are several (two artists).
std::u16string field(const TagLib::PropertyMap& properties, const char* key)
{
    auto it = properties.find(key);
    if (it == properties.end() || it->second.isEmpty()) {
        return {};
    }
    return utf16Of(it->second.toString(", "));
}

std::string extensionOf(const TagLib::ByteVector& bytes)
{
    auto startsWith = [&bytes](std::string_view magic) {
        return bytes.size() >= magic.size() && std::equal(magic.begin(), magic.end(), bytes.data());
    };
    if (startsWith("\xFF\xD8\xFF")) {
        return ".jpg";
    }
    if (startsWith("\x89PNG")) {
        return ".png";
    }
    if (startsWith("GIF8")) {
        return ".gif";
    }
    if (startsWith("BM")) {
        return ".bmp";
    }
    return {};
}

// Of the pictures of a tag, the front cover, else the first one.
template <typename List, typename IsFront, typename BytesOf>
TagLib::ByteVector choosePicture(const List& pictures, IsFront isFront, BytesOf bytesOf)
{
    for (const auto& picture : pictures) {
        if (isFront(picture)) {
            return bytesOf(picture);
        }
    }
    return pictures.isEmpty() ? TagLib::ByteVector() : bytesOf(pictures.front());
}

TagLib::ByteVector id3v2Picture(TagLib::ID3v2::Tag* tag)
{
    if (tag == nullptr) {
        return {};
    }
    using Frame = TagLib::ID3v2::AttachedPictureFrame;
    const TagLib::ID3v2::FrameList& frames = tag->frameList("APIC");
    return choosePicture(
        frames,
        [](TagLib::ID3v2::Frame* frame) {
            auto* picture = dynamic_cast<Frame*>(frame);
            return picture != nullptr && picture->type() == Frame::FrontCover;
        },
        [](TagLib::ID3v2::Frame* frame) {
            auto* picture = dynamic_cast<Frame*>(frame);
            return picture != nullptr ? picture->picture() : TagLib::ByteVector();
        });
}

TagLib::ByteVector flacPicture(const TagLib::List<TagLib::FLAC::Picture*>& pictures)
{
    return choosePicture(
        pictures, [](TagLib::FLAC::Picture* p) { return p->type() == TagLib::FLAC::Picture::FrontCover; },
        [](TagLib::FLAC::Picture* p) { return p->data(); });
}

TagLib::ByteVector pictureBytes(TagLib::File* file)
{
    if (auto* mpeg = dynamic_cast<TagLib::MPEG::File*>(file)) {
        return mpeg->hasID3v2Tag() ? id3v2Picture(mpeg->ID3v2Tag()) : TagLib::ByteVector();
    }
    if (auto* flac = dynamic_cast<TagLib::FLAC::File*>(file)) {
        return flacPicture(flac->pictureList());
    }
    if (auto* vorbis = dynamic_cast<TagLib::Ogg::Vorbis::File*>(file)) {
        return vorbis->tag() ? flacPicture(vorbis->tag()->pictureList()) : TagLib::ByteVector();
    }
    if (auto* opus = dynamic_cast<TagLib::Ogg::Opus::File*>(file)) {
        return opus->tag() ? flacPicture(opus->tag()->pictureList()) : TagLib::ByteVector();
    }
    if (auto* mp4 = dynamic_cast<TagLib::MP4::File*>(file)) {
        if (mp4->tag() == nullptr || !mp4->tag()->contains("covr")) {
            return {};
        }
        const TagLib::MP4::CoverArtList covers = mp4->tag()->item("covr").toCoverArtList();
        return covers.isEmpty() ? TagLib::ByteVector() : covers.front().data();
    }
    if (auto* asf = dynamic_cast<TagLib::ASF::File*>(file)) {
        if (asf->tag() == nullptr || !asf->tag()->contains("WM/Picture")) {
            return {};
        }
        return choosePicture(
            asf->tag()->attribute("WM/Picture"),
            [](const TagLib::ASF::Attribute& a) {
                return a.toPicture().type() == TagLib::ASF::Picture::FrontCover;
            },
            [](const TagLib::ASF::Attribute& a) { return a.toPicture().picture(); });
    }
    if (auto* wav = dynamic_cast<TagLib::RIFF::WAV::File*>(file)) {
        return wav->hasID3v2Tag() ? id3v2Picture(wav->ID3v2Tag()) : TagLib::ByteVector();
    }
    if (auto* aiff = dynamic_cast<TagLib::RIFF::AIFF::File*>(file)) {
        return aiff->hasID3v2Tag() ? id3v2Picture(aiff->tag()) : TagLib::ByteVector();
    }
    return {};
}

// TagLib opens a file of its format; an MP3 reader takes any bytes, so an
// MP3 must also hold an audio frame.
bool openMusicFile(TagLib::FileRef& ref)
{
    if (ref.isNull() || !ref.file()->isValid() || ref.file()->length() == 0) {
        return false;
    }
    auto* mpeg = dynamic_cast<TagLib::MPEG::File*>(ref.file());
    return mpeg == nullptr || mpeg->firstFrameOffset() >= 0;
}

}  // namespace

bool isMusicFileName(std::string_view name)
{
    return hasExtension(name, {"mp3", "flac", "ogg", "oga", "opus", "m4a", "mp4", "m4b", "wma", "asf", "wav",
                               "aif", "aiff", "aifc"});
}

bool isPictureFileName(std::string_view name)
{
    return hasExtension(name, {"jpg", "jpeg", "png", "bmp", "gif"});
}

bool readFileTags(filescan::FileTags& file)
{
    TagLib::FileRef ref(file.path.c_str(), false);
    if (!openMusicFile(ref)) {
        return false;
    }
    const TagLib::PropertyMap properties = ref.file()->properties();
    file.title = field(properties, "TITLE");
    file.artist = field(properties, "ARTIST");
    file.albumArtist = field(properties, "ALBUMARTIST");
    file.album = field(properties, "ALBUM");
    file.genre = field(properties, "GENRE");
    file.year = filescan::yearOf(field(properties, "DATE"));
    file.track = filescan::leadingNumber(field(properties, "TRACKNUMBER"));
    file.disc = filescan::leadingNumber(field(properties, "DISCNUMBER"));
    file.hasTags = !file.title.empty() || !file.artist.empty() || !file.albumArtist.empty() ||
                   !file.album.empty() || !file.genre.empty() || file.year > 0 || file.track > 0;
    file.embeddedPicture = !extensionOf(pictureBytes(ref.file())).empty();
    return true;
}

std::optional<Picture> frontPicture(const std::string& path)
{
    TagLib::FileRef ref(path.c_str(), false);
    if (!openMusicFile(ref)) {
        return std::nullopt;
    }
    const TagLib::ByteVector bytes = pictureBytes(ref.file());
    std::string extension = extensionOf(bytes);
    if (extension.empty()) {
        return std::nullopt;
    }
    return Picture{std::string(bytes.data(), bytes.size()), std::move(extension)};
}

}  // namespace velmora::tags
