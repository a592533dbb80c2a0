// Column layout of an album row.
#pragma once

namespace velmora::store {

inline constexpr int kColumnCount = 305;
inline constexpr int kReservedRow = 0;
inline constexpr int kSongSlots = 99;

inline constexpr int ArtistColumn = 0;
inline constexpr int ReservedColumn = 1;
inline constexpr int AlbumColumn = 2;
inline constexpr int Category1Column = 3;
inline constexpr int Category2Column = 4;
inline constexpr int Category3Column = 5;
inline constexpr int SongColumns = 5;  // title of song n: SongColumns + n
inline constexpr int ImagePathColumn = 105;
inline constexpr int SongArtistColumns = 105;  // artist of song n: SongArtistColumns + n
inline constexpr int FuriganaColumn = 205;
inline constexpr int MediaPathColumns = 205;  // media of song n: MediaPathColumns + n

constexpr int songTitleColumn(int slot)
{
    return SongColumns + slot;
}
constexpr int songArtistColumn(int slot)
{
    return SongArtistColumns + slot;
}
constexpr int mediaColumn(int slot)
{
    return MediaPathColumns + slot;
}

}  // namespace velmora::store
