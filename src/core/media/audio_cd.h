// Audio CD references: an album's songs stand for a disc's tracks through
// the tracks' lengths, stored as "CD" + the packed length in decimal.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/media/media_device.h"
#include "core/store/album_record.h"
#include "core/store/album_table.h"

namespace velmora::media {

// "CD" + minutes + seconds × 256 + frames × 65536, in decimal.
std::string cdReference(std::int64_t packedLength);

// The references of the disc a device has open on a CD: one per track,
// at most 99 (the songs an album holds). Nothing when the drive holds no
// readable disc (no tracks, or an empty first track).
std::optional<std::vector<std::string>> discReferences(const MediaDevice& device);

// Writes reference n into song n's media cell; the other cells (titles,
// song artists, later songs' media) stay.
void registerDisc(store::AlbumRecord& record, const std::vector<std::string>& references);

// The album whose songs carry exactly the disc's references (songs beyond
// the disc's tracks not examined); the highest such album number, or 0.
int findDiscAlbum(const store::AlbumTable& table, const std::vector<std::string>& references);

}  // namespace velmora::media
