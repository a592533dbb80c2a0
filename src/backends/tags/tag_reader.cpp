#include "backends/tags/tag_reader.h"

#include <taglib/aifffile.h>
#include <taglib/asffile.h>
#include <taglib/asfpicture.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/flacpicture.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/opusfile.h>
#include <taglib/textidentificationframe.h>
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

// Values joined when there are several (two artists), each value once.
TagLib::String joined(const TagLib::StringList& values)
{
    TagLib::StringList unique;
    for (const TagLib::String& value : values) {
        if (!value.isEmpty() && !unique.contains(value)) {
            unique.append(value);
        }
    }
    return unique.toString(", ");
}

std::u16string field(const TagLib::PropertyMap& properties, const char* key)
{
    auto it = properties.find(key);
    if (it == properties.end() || it->second.isEmpty()) {
        return {};
    }
    return utf16Of(joined(it->second));
}

// A text TagLib read from single bytes, as those bytes.
std::string bytesOf(const TagLib::String& text)
{
    std::string bytes;
    bytes.reserve(text.size());
    for (wchar_t c : text) {
        bytes.push_back(static_cast<char>(static_cast<unsigned char>(c)));
    }
    return bytes;
}

struct TextFields {
    std::u16string title, artist, albumArtist, album, genre, date, track, disc, artistSort, albumArtistSort;
};

TextFields fieldsOf(const TagLib::PropertyMap& properties)
{
    return {field(properties, "TITLE"),       field(properties, "ARTIST"),
            field(properties, "ALBUMARTIST"), field(properties, "ALBUM"),
            field(properties, "GENRE"),       field(properties, "DATE"),
            field(properties, "TRACKNUMBER"), field(properties, "DISCNUMBER"),
            field(properties, "ARTISTSORT"),  field(properties, "ALBUMARTISTSORT")};
}

// ID3v2 frames marked Latin-1 read under the chosen encoding.
void decodeLatin1Frames(TagLib::ID3v2::Tag* tag, TextFields& fields, filescan::TagEncoding encoding)
{
    const std::pair<const char*, std::u16string TextFields::*> frames[] = {
        {"TIT2", &TextFields::title},           {"TPE1", &TextFields::artist},
        {"TPE2", &TextFields::albumArtist},     {"TALB", &TextFields::album},
        {"TCON", &TextFields::genre},           {"TSOP", &TextFields::artistSort},
        {"TSO2", &TextFields::albumArtistSort},
    };
    for (const auto& [id, member] : frames) {
        const TagLib::ID3v2::FrameList& list = tag->frameList(id);
        if (list.isEmpty()) {
            continue;
        }
        auto* frame = dynamic_cast<TagLib::ID3v2::TextIdentificationFrame*>(list.front());
        if (frame == nullptr || frame->textEncoding() != TagLib::String::Latin1) {
            continue;
        }
        fields.*member = filescan::singleByteTagText(bytesOf(joined(frame->fieldList())), encoding);
    }
}

// Fields the ID3v2 tag lacks, from the ID3v1 tag (as TagLib's combined
// view of the two does); all of them when there is no ID3v2 text.
void fillFromId3v1(TagLib::ID3v1::Tag* tag, TextFields& fields, filescan::TagEncoding encoding)
{
    auto fill = [encoding](std::u16string& field, const TagLib::String& value) {
        if (field.empty() && !value.isEmpty()) {
            field = filescan::singleByteTagText(bytesOf(value), encoding);
        }
    };
    fill(fields.title, tag->title());
    fill(fields.artist, tag->artist());
    fill(fields.album, tag->album());
    if (fields.genre.empty() && !tag->genre().isEmpty()) {
        fields.genre = utf16Of(tag->genre());
    }
    if (fields.date.empty() && tag->year() > 0) {
        fields.date = utf16Of(TagLib::String::number(static_cast<int>(tag->year())));
    }
    if (fields.track.empty() && tag->track() > 0) {
        fields.track = utf16Of(TagLib::String::number(static_cast<int>(tag->track())));
    }
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
    // TagLib takes any bytes for a WAV or AIFF file too: they must start
    // as one.
    TagLib::File* file = ref.file();
    if (dynamic_cast<TagLib::RIFF::WAV::File*>(file) != nullptr ||
        dynamic_cast<TagLib::RIFF::AIFF::File*>(file) != nullptr) {
        file->seek(0);
        const TagLib::ByteVector magic = file->readBlock(4);
        return magic == "RIFF" || magic == "RF64" || magic == "FORM";
    }
    auto* mpeg = dynamic_cast<TagLib::MPEG::File*>(file);
    return mpeg == nullptr || mpeg->firstFrameOffset() >= 0;
}

}  // namespace

bool isMusicFileName(std::string_view name)
{
    return hasExtension(name,
                        {"mp3", "mp2", "flac", "ogg",  "oga",  "opus", "spx", "m4a", "mp4", "m4b", "wma",
                         "asf", "wav", "aif",  "aiff", "aifc", "wv",   "ape", "mpc", "mp+", "mpp", "tta"});
}

bool isSoundFileName(std::string_view name)
{
    return hasExtension(name, {"dsf", "dff", "mid", "midi", "ra", "rm",  "aac", "ac3", "dts",  "mka", "au",
                               "shn", "ofr", "mod", "xm",   "it", "s3m", "caf", "amr", "weba", "webm"});
}

bool isSystemLeftover(std::string_view name)
{
    return name.starts_with("._") || name == ".DS_Store" || name == "Thumbs.db" || name == "desktop.ini" ||
           name == "Desktop.ini" || name == "ehthumbs.db";
}

bool isPictureFileName(std::string_view name)
{
    return hasExtension(name, {"jpg", "jpeg", "png", "bmp", "gif"});
}

bool readFileTags(filescan::FileTags& file, filescan::TagEncoding encoding)
{
    TagLib::FileRef ref(file.path.c_str(), false);
    if (!openMusicFile(ref)) {
        return false;
    }
    TextFields fields;
    auto* mpeg = dynamic_cast<TagLib::MPEG::File*>(ref.file());
    if (mpeg != nullptr) {
        // The ID3v2 tag, with ID3v1 filling what it lacks; Latin-1 text of
        // either read under the chosen encoding.
        if (mpeg->hasID3v2Tag()) {
            fields = fieldsOf(mpeg->ID3v2Tag()->properties());
            decodeLatin1Frames(mpeg->ID3v2Tag(), fields, encoding);
        } else if (mpeg->hasAPETag()) {
            fields = fieldsOf(ref.file()->properties());
        }
        if (mpeg->hasID3v1Tag()) {
            fillFromId3v1(mpeg->ID3v1Tag(), fields, encoding);
        }
    } else {
        fields = fieldsOf(ref.file()->properties());
        if (auto* wav = dynamic_cast<TagLib::RIFF::WAV::File*>(ref.file()); wav && wav->hasID3v2Tag()) {
            decodeLatin1Frames(wav->ID3v2Tag(), fields, encoding);
        } else if (auto* aiff = dynamic_cast<TagLib::RIFF::AIFF::File*>(ref.file());
                   aiff && aiff->hasID3v2Tag()) {
            decodeLatin1Frames(aiff->tag(), fields, encoding);
        }
    }
    file.title = std::move(fields.title);
    file.artist = std::move(fields.artist);
    file.albumArtist = std::move(fields.albumArtist);
    file.album = std::move(fields.album);
    file.genre = std::move(fields.genre);
    file.artistSort = std::move(fields.artistSort);
    file.albumArtistSort = std::move(fields.albumArtistSort);
    file.year = filescan::yearOf(fields.date);
    file.track = filescan::leadingNumber(fields.track);
    file.disc = filescan::leadingNumber(fields.disc);
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
