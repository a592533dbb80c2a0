// A fetched front cover kept in the data folder's covers/ folder, for the
// command line and the window alike: only bytes that decode as a picture are
// written, and a cover written for an album that was then not stored can be
// taken back.
#pragma once

#include <QByteArray>
#include <QString>
#include <filesystem>
#include <string>

namespace velmora::net {

struct StoredCover {
    bool ok = false;
    std::filesystem::path file;  // absolute, when ok
    // The file was not there before: taking the cover back removes it.
    bool created = false;
    QString message;  // Japanese, when not ok
};

// Writes `image` as covers/RELEASE.jpg of `dataDir` once it decodes as a
// picture; the message says why not otherwise.
StoredCover storeCover(const std::filesystem::path& dataDir, const std::string& releaseId,
                       const QByteArray& image);

// Removes a cover that storeCover() created, for an album that was not
// stored after all. A file that was there before stays: another album may
// name it.
void discardStoredCover(const StoredCover& cover);

}  // namespace velmora::net
