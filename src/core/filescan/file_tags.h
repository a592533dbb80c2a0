// What the folder scan learns about one music file: its place on disk and
// the text of its tags, before anything is mapped to catalogue cells.
#pragma once

#include <cstdint>
#include <string>

namespace velmora::filescan {

struct FileTags {
    std::string path;    // the file's full path, as the file system's bytes
    std::string folder;  // the folder that holds it (same bytes as the start of path)
    // Its size and modification time (nanoseconds since the epoch) as the
    // scan found it; size -1 when not known.
    std::int64_t size = -1;
    std::int64_t modified = 0;
    // False when the file carries no tag text at all: its album is then the
    // folder's name and its title the file name.
    bool hasTags = false;
    std::u16string title;
    std::u16string artist;
    std::u16string albumArtist;
    std::u16string album;
    std::u16string genre;
    // The sort names ("TSOP"/"TSO2", "ARTISTSORT"/"ALBUMARTISTSORT",
    // "soar"/"soaa"): a Japanese tagger writes the reading there.
    std::u16string artistSort;
    std::u16string albumArtistSort;
    int year = 0;   // 0: none
    int track = 0;  // 0: none
    int disc = 0;   // 0: none
    // The file carries a front picture of its own.
    bool embeddedPicture = false;
    // A picture file lying in the album's folder (cover.jpg, folder.jpg,
    // front.jpg or the only picture there); empty when there is none.
    std::string folderPicture;
};

}  // namespace velmora::filescan
