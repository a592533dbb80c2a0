// Reading music files' tags and front pictures through TagLib.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/filescan/file_tags.h"
#include "core/filescan/tag_text.h"

namespace velmora::tags {

// Music files the scan reads: the formats TagLib reads (MP3, MP2, FLAC,
// Ogg Vorbis, Opus, Speex, M4A/AAC, WMA, WAV, AIFF, WavPack, APE,
// Musepack, TTA), by extension in any case.
bool isMusicFileName(std::string_view name);
// Sound files of formats the scan does not read (DSF, MIDI, ...): named to
// the user as skipped.
bool isSoundFileName(std::string_view name);
// What macOS and Windows leave beside music ("._*", ".DS_Store",
// "Thumbs.db", "desktop.ini"): skipped without a word.
bool isSystemLeftover(std::string_view name);
// Picture files an album may use: JPEG, PNG, BMP and GIF.
bool isPictureFileName(std::string_view name);

// Fills the tag fields of `file` from the file at file.path. False when
// TagLib cannot read the file as any music format (empty, broken, or not
// what its name says).
// Single-byte text (ID3v1, ID3v2 Latin-1 frames) is read under `encoding`.
bool readFileTags(filescan::FileTags& file,
                  filescan::TagEncoding encoding = filescan::TagEncoding::Automatic);

struct Picture {
    std::string bytes;
    std::string extension;  // ".jpg", ".png", ".gif" or ".bmp", from the bytes
};

// The front picture carried by the file (the front cover, else the first
// picture); nothing when it has none, or none of a known picture type.
std::optional<Picture> frontPicture(const std::string& path);

}  // namespace velmora::tags
