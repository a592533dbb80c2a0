// Reading music files' tags and front pictures through TagLib.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/filescan/file_tags.h"

namespace velmora::tags {

// Music files the scan reads: the formats TagLib reads that GStreamer plays
// (MP3, FLAC, Ogg Vorbis, Opus, M4A/AAC, WMA, WAV, AIFF), by extension in
// any case.
bool isMusicFileName(std::string_view name);
// Picture files an album may use: JPEG, PNG, BMP and GIF.
bool isPictureFileName(std::string_view name);

// Fills the tag fields of `file` from the file at file.path. False when
// TagLib cannot read the file as any music format (empty, broken, or not
// what its name says).
bool readFileTags(filescan::FileTags& file);

struct Picture {
    std::string bytes;
    std::string extension;  // ".jpg", ".png", ".gif" or ".bmp", from the bytes
};

// The front picture carried by the file (the front cover, else the first
// picture); nothing when it has none, or none of a known picture type.
std::optional<Picture> frontPicture(const std::string& path);

}  // namespace velmora::tags
