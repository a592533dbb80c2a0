// The HTML page of the shown albums: the page lines, the files it links
// and their copies into the link folder beside the page.
//
// Page lines are CP932 bytes (the page is a Shift-JIS document). Catalogue
// texts and the title and heading options are escaped, so an album title
// shows as typed and never adds markup to a published page; the comment,
// head and footer lines are the user's own HTML and go out as typed.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/store/file_error.h"

namespace velmora::store {
class AlbumTable;
struct AppSettings;
struct ListFiles;
}  // namespace velmora::store

namespace velmora::exchange {

struct HtmlOptions {
    bool picture = true;                 // "G": the album's image
    bool category1 = true;               // "J"
    bool category2 = true;               // "Media"
    bool memo = true;                    // "Memo"
    bool songs = true;                   // "Song"
    bool mediaLinks = true;              // "MediaFile": song titles link to their media files
    bool contents = true;                // "Contents": index by initial
    bool copyFiles = false;              // "FileCopy": copy linked files into the link folder
    int pass = 0;                        // "Pass": 0 absolute links, 1 relative to the page (copies only)
    std::string folderName = "files";    // CP932
    std::string title;                   // CP932
    std::string heading;                 // CP932
    std::vector<std::string> comments;   // lines of "HT.txt", HTML as typed
    std::vector<std::string> headLines;  // extra lines of <head>
    std::vector<std::string> footLines;  // extra lines at the end of <body>

    // Whether the export links any file that it may copy.
    bool linksFiles() const { return picture || (songs && mediaLinks); }
};

// The options as the settings hold them.
HtmlOptions htmlOptions(const store::AppSettings& settings, const store::ListFiles& lists);
// The options of a data folder: its "VLM.ini" (defaults without one) and
// its "HT.txt". False with `error` when a file exists but cannot be read.
bool loadHtmlOptions(const std::filesystem::path& dataDir, HtmlOptions* options, store::FileError* error);

// The folder beside `page` that receives the copies: the page's folder and
// the folder name.
std::filesystem::path htmlLinkFolder(const std::filesystem::path& page, const HtmlOptions& options);

// The page of `albums` (album numbers in list order; a number twice gives
// two blocks, numbers outside the table are skipped). `linkFolder` is
// where the copies are when copying is on (else ignored). Images and links
// are written only for files that exist.
std::vector<std::string> htmlPageLines(const store::AlbumTable& table, const std::vector<int>& albums,
                                       const HtmlOptions& options, const std::filesystem::path& linkFolder);

// The sample page of the options: ten made-up albums, paths as stored and
// not checked.
std::vector<std::string> htmlPreviewLines(const HtmlOptions& options);

// The lines as file bytes, each followed by CR LF.
std::string htmlPageBytes(const std::vector<std::string>& lines);
bool writeHtmlPage(const std::filesystem::path& file, const std::vector<std::string>& lines,
                   store::FileError* error);

// One linked file to copy into the link folder.
struct HtmlFileCopy {
    std::filesystem::path source;
    std::filesystem::path target;  // link folder / position[_song] + extension
    int step = 0;                  // the status gauge's value while it is copied
    std::string sourceText;        // the stored path (UTF-8), for the status text
};

// The copies an export with copying on makes, in order: the images of all
// albums (steps 0..n-1), then the media files of their songs (steps n..2n-1).
// Only existing files are listed; audio-CD references never are.
std::vector<HtmlFileCopy> htmlFileCopies(const store::AlbumTable& table, const std::vector<int>& albums,
                                         const HtmlOptions& options, const std::filesystem::path& linkFolder);

// Creates the link folder (one level) when the export copies files that
// need it. False with the message (UTF-8) when it cannot.
bool prepareLinkFolder(const std::filesystem::path& linkFolder, const HtmlOptions& options,
                       std::string* message);

// Copies one file to its target name, replacing a file of that name only
// once the copy is complete. False with the message (UTF-8) when it fails.
bool copyLinkedFile(const HtmlFileCopy& copy, std::string* message);

// The whole export without windows: the folder-name check, the link
// folder, the copies and the page. Messages (UTF-8) are appended to
// `messages`, one per failure. False when the export ended before the page
// was written; failed copies alone do not stop it.
bool exportHtmlPage(const std::filesystem::path& file, const store::AlbumTable& table,
                    const std::vector<int>& albums, const HtmlOptions& options,
                    std::vector<std::string>* messages);

// The same with the options of a data folder (loadHtmlOptions()).
bool exportHtmlPage(const std::filesystem::path& file, const store::AlbumTable& table,
                    const std::vector<int>& albums, const std::filesystem::path& dataDir,
                    std::vector<std::string>* messages);

// Messages of the export (UTF-8).
inline constexpr std::string_view kNoFolderNameMessage =
    "設定パネルで、リンクするファイルをコピーするフォルダ名を設定してください";
std::string folderCreationMessage(const std::filesystem::path& folder);
std::string renameFailureMessage(const std::filesystem::path& target);

}  // namespace velmora::exchange
