// The seven list files beside the settings file: plain CP932 text, one
// entry per line, CR LF after every line.
#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/file_error.h"

namespace velmora::store {

struct Settings;

// In the order the save writes them.
inline constexpr std::array<std::string_view, 7> kListFileNames = {
    "VLM1.txt", "VLM2.txt", "VLM3.txt", "ISU1.txt", "ISU2.txt", "ISU3.txt", "HT.txt"};

// The entries of a list file, bytes as stored, without line ends (CR LF, CR
// or LF; a final line end adds no empty entry). Nothing when the file does
// not exist; nothing with `error` filled when it exists but cannot be read.
std::optional<std::vector<std::string>> readListFile(const std::filesystem::path& file, FileError* error);

// Writes every entry followed by CR LF (an empty list gives an empty file),
// replacing the file only when complete.
bool writeListFile(const std::filesystem::path& file, const std::vector<std::string>& entries,
                   FileError* error);

// The built-in web-search site table: row 0 the headings "サイト名",
// "先頭", "最後", then the three default sites. Used for each list whose file
// is absent, and by the options dialog's "デフォルトに戻す".
struct SiteTable {
    std::vector<std::string> names;
    std::vector<std::string> heads;
    std::vector<std::string> tails;
};
const SiteTable& builtInSites();

struct ListFiles {
    ListFiles();  // what the lists hold without their files

    std::vector<std::string> genres;        // VLM1.txt: the edit dialog's first-category suggestions
    std::vector<std::string> media;         // VLM2.txt: second-category suggestions
    std::vector<std::string> memoChoices;   // VLM3.txt: the edit dialog's memo item list
    std::vector<std::string> siteNames;     // ISU1.txt, first line "サイト名"
    std::vector<std::string> siteHeads;     // ISU2.txt, first line "先頭"
    std::vector<std::string> siteTails;     // ISU3.txt, first line "最後"
    std::vector<std::string> htmlComments;  // HT.txt: the comment lines of the HTML export

    // The lists in the order of kListFileNames.
    std::array<std::vector<std::string>*, 7> all();
    std::array<const std::vector<std::string>*, 7> all() const;

    // Each list whose file exists in `folder` is replaced by the file's
    // entries, every other list starts as without its file (the suggestion
    // lists and the comments empty, the site lists built in). A file that
    // exists but cannot be read counts as absent; false is returned then,
    // with the first such file's error, after the others are loaded.
    bool loadAll(const std::filesystem::path& folder, FileError* error);
    // Writes the seven files in order, stopping at the first one that
    // cannot be written (the later ones keep their old content).
    bool saveAll(const std::filesystem::path& folder, FileError* error) const;

    bool operator==(const ListFiles&) const = default;
};

// The settings part of the save, after the data file: "VLM.ini" in `folder`
// (see saveSettingsFile), then the seven lists; stops at the first file that
// cannot be written, with its error.
bool saveSettingsAndLists(const std::filesystem::path& folder, const Settings& settings,
                          const ListFiles& lists, FileError* error);

}  // namespace velmora::store
