// What a view of the catalogue hears about changes (a plain interface: the
// windows adapt it to their item models, an undo history may record it).
#pragma once

#include <vector>

namespace velmora::catalogue {

// Every callback comes after the change is done; the default does nothing.
// A command may send several (an added album: inserted, then changed); an
// observer reads the catalogue but does not change it from a callback.
class CatalogueObserver {
public:
    virtual ~CatalogueObserver() = default;

    // New albums, by their new numbers (ascending). Albums from the first
    // of them on moved up: their entries were renumbered already.
    virtual void albumsInserted(const std::vector<int>& /*albums*/) {}
    // Albums whose cells changed (ascending).
    virtual void albumsChanged(const std::vector<int>& /*albums*/) {}
    // Removed albums, by their old numbers (ascending); later albums moved
    // down and their entries were renumbered already.
    virtual void albumsRemoved(const std::vector<int>& /*albums*/) {}
    // The table was replaced or reordered as a whole (load, revert,
    // renumbering): every number may name another album.
    virtual void albumsReset() {}

    // Entries inserted at list row `row` (`count` of them).
    virtual void listRowsInserted(int /*row*/, int /*count*/) {}
    // Entries removed, by their old list rows (ascending).
    virtual void listRowsRemoved(const std::vector<int>& /*rows*/) {}
    // The entries were replaced or reordered as a whole (show all, search
    // result, sort, drag and drop, load).
    virtual void listReset() {}
    // The search marks of the entries were cleared (rows unchanged).
    virtual void listMarksChanged() {}

    // The settings or the list files were replaced (or loaded).
    virtual void settingsChanged() {}
};

}  // namespace velmora::catalogue
