// Where the catalogue's media files lie: the albums that hold a media file
// in a folder of a given name, and the album and song slot of a given file.
//
// The index is kept small (a catalogue of a million albums holds millions
// of paths): it records, for every album, the names of the folders its
// media files lie in (the folder and its album folder, see
// filescan::albumFolderOf), as 32-bit hashes. A lookup narrows the albums
// down by name and then reads their cells, so a stale or colliding entry
// never gives a wrong answer. It is built on the first lookup (a load
// costs nothing more) and from then on kept current by the catalogue's
// notifications; the Catalogue owns it and tells it first.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/catalogue/catalogue_observer.h"
#include "core/store/album_table.h"

namespace velmora::catalogue {

// The file MediaPathIndex::saveTo() writes in the data folder.
inline constexpr char kMediaIndexFileName[] = "mediaindex.bin";

class MediaPathIndex : public CatalogueObserver {
public:
    explicit MediaPathIndex(const store::AlbumTable& table);

    struct Place {
        int album = 0;
        int song = 0;  // 1 .. 99
        bool operator==(const Place&) const = default;
    };

    // Where the media file `path` (a file system path, as
    // media::fileSystemPath() gives it for a cell) is catalogued, in album
    // and song order. Paths compare as written after lexical normalisation
    // ("a/./b" is "a/b"); links are not followed.
    std::vector<Place> placesOfFile(std::string_view path) const;
    // The albums (ascending, each once) with a media file in a folder named
    // one of `names`, or whose album folder is so named (a disc subfolder
    // "CD1" counts for the folder above it too).
    std::vector<int> albumsInFoldersNamed(const std::vector<std::string>& names) const;

    // Whether the index has been built (for tests: a lookup builds it).
    bool built() const { return built_; }

    // The index as a file beside the catalogue, so that a later run on the
    // same catalogue need not build it again. The file names the data file
    // it was built from by its size and content hash; saveTo() writes only
    // a built index, and restoreFrom() takes a file only when it names
    // exactly these (anything else is ignored and the index is built on
    // the first lookup as before). False when nothing was written or read.
    bool saveTo(const std::filesystem::path& file, std::uint64_t dataSize, std::uint64_t dataHash) const;
    bool restoreFrom(const std::filesystem::path& file, std::uint64_t dataSize, std::uint64_t dataHash) const;

    void albumsInserted(const std::vector<int>& albums) override;
    void albumsChanged(const std::vector<int>& albums) override;
    void albumsRemoved(const std::vector<int>& albums) override;
    void albumsReset() override;

private:
    // Drops the entries of `albums`; gives them sorted.
    std::vector<int> forgetAlbums(const std::vector<int>& albums);
    struct Entry {
        std::uint32_t name = 0;
        std::int32_t album = 0;
        bool operator<(const Entry& other) const
        {
            return name != other.name ? name < other.name : album < other.album;
        }
        bool operator==(const Entry&) const = default;
    };

    void build() const;
    void addAlbum(int album, std::vector<Entry>& out) const;
    // Adds the entries of `albums` to the sorted entries.
    void addAlbums(const std::vector<int>& albums);

    const store::AlbumTable& table_;
    // Sorted by name, then album; built on the first lookup.
    mutable std::vector<Entry> entries_;
    mutable bool built_ = false;
};

}  // namespace velmora::catalogue
