// Every value the settings file "VLM.ini" holds, and the seven list files.
//
// A window reads its values at creation only when the settings file exists
// (otherwise its design values stay); the save writes every key, so values
// of windows that never changed them pass through unchanged.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/store/file_error.h"

namespace velmora::store {

class IniFile;

struct FontSetting {
    std::string name;  // CP932, as stored ("ＭＳ Ｐゴシック")
    int size = 9;
    std::int32_t color = static_cast<std::int32_t>(0x80000008);
    bool bold = false;
    bool italic = false;
};

struct WindowPlace {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct AppSettings {
    AppSettings();  // the design values

    WindowPlace form{370, 136, 732, 694};
    int panelWidth = 368;
    std::array<std::string, 3> captions;  // CP932: "ジャンル", "メディア", "メモ"
    FontSetting albumFont;
    std::int32_t albumColor = 16777215;
    std::array<int, 8> albumColumnWidths{50, 150, 150, 50, 50, 50, 50, 50};
    std::array<int, 4> songColumnWidths{50, 150, 150, 150};
    bool songFontBold = false;
    bool songFontItalic = false;

    WindowPlace memoForm{489, 325, 602, 624};
    FontSetting memoFont;
    std::int32_t memoColor = 16777215;

    // Artist and album title are searched until the user chooses otherwise.
    std::array<bool, 6> internetChecks{true, true, false, false, false, false};
    int cdDrive = 1;

    WindowPlace editForm{277, 139, 690, 613};
    std::array<int, 3> editSongColumnWidths{150, 150, 150};

    WindowPlace playerForm{275, 125, 368, 428};
    FontSetting listFont;  // the name is not stored
    std::int32_t listColor = 16777215;

    // HTML export: picture, category 1, 2, 3, songs, media links, contents,
    // copy files.
    std::array<bool, 8> html{true, true, true, true, true, true, true, false};
    int htmlPass = 0;
    std::string htmlFolderName = "files";
    std::string htmlTitle;
    std::string htmlH1;

    // The search page's "かな・全角半角を区別しない" (reading-aware search).
    bool searchFold = false;
    // CSV export as UTF-8 with a byte-order mark instead of Shift-JIS.
    bool csvUtf8 = false;
    // How the folder scan reads single-byte tag text (ID3v1, ID3v2 Latin-1
    // frames): 0 automatic, 1 Latin-1, 2 Shift-JIS (filescan::TagEncoding).
    int tagEncoding = 0;

    // Where album data and front covers are looked up for a disc.
    static constexpr const char* kDefaultMusicBrainzServer = "https://musicbrainz.org";
    static constexpr const char* kDefaultCoverServer = "https://coverartarchive.org";
    std::string musicBrainzServer = kDefaultMusicBrainzServer;
    std::string coverServer = kDefaultCoverServer;

    // Reads every key; a missing key gives its default (not the design value).
    // Numbers come out within the ranges of clampToSaneRanges().
    void readFrom(const IniFile& file);
    // Writes every key in the file's order, numbers clamped as they are read.
    void writeTo(IniFile& file) const;

    // Brings every number within what a window can use: positions within
    // +-kMaxWindowPosition, window sizes within kMinWindowSize ..
    // kMaxWindowSize, widths within 0 .. kMaxWindowSize, font sizes within
    // kMinFontSize .. kMaxFontSize. Colours keep every value.
    void clampToSaneRanges();
};

// The ranges that clampToSaneRanges() keeps numbers in.
inline constexpr int kMaxWindowPosition = 16384;
inline constexpr int kMinWindowSize = 16;
inline constexpr int kMaxWindowSize = 16384;
inline constexpr int kMinFontSize = 1;
inline constexpr int kMaxFontSize = 200;
inline constexpr int kMaxCdDrive = 255;

// Tool-page width after reading it: a width that leaves no room beside the
// pages becomes the window width - 8.
int toolPageWidth(int stored, int windowWidth);

// Whether a stored colour names a system colour (and which: the low byte).
inline bool isSystemColor(std::int32_t color)
{
    return color < 0;
}
inline int systemColorIndex(std::int32_t color)
{
    return static_cast<int>(static_cast<std::uint32_t>(color) & 0xFF);
}

// The list files, in the order the save writes them.
inline constexpr const char* kListFileNames[] = {"VLM1.txt", "VLM2.txt", "VLM3.txt", "ISU1.txt",
                                                 "ISU2.txt", "ISU3.txt", "HT.txt"};

struct ListFiles {
    ListFiles();  // empty suggestion lists and the built-in site table

    std::vector<std::string> genres;        // VLM1.txt
    std::vector<std::string> media;         // VLM2.txt
    std::vector<std::string> memoChoices;   // VLM3.txt
    std::vector<std::string> siteNames;     // ISU1.txt, first line the heading "サイト名"
    std::vector<std::string> siteHeads;     // ISU2.txt, "先頭"
    std::vector<std::string> siteTails;     // ISU3.txt, "最後"
    std::vector<std::string> htmlComments;  // HT.txt

    std::array<std::vector<std::string>*, 7> all();
    std::array<const std::vector<std::string>*, 7> all() const;

    // Replaces each list whose file exists in `folder`. False (with the
    // error) when one exists but cannot be read; the others still load.
    bool load(const std::filesystem::path& folder, FileError* error);
    // Writes all seven in order, stopping at the first failure.
    bool save(const std::filesystem::path& folder, FileError* error) const;
};

// Reads one list file: entries without line ends, bytes as stored.
bool readListFile(const std::filesystem::path& file, std::vector<std::string>& entries, FileError* error);
// Writes entries each followed by CR LF (an empty list: an empty file).
bool writeListFile(const std::filesystem::path& file, const std::vector<std::string>& entries,
                   FileError* error);

// Writes "VLM.ini": keeps what an existing file holds besides the program's
// keys, and replaces it only when complete.
bool saveSettingsFile(const std::filesystem::path& file, const AppSettings& settings, FileError* error);
// Reads "VLM.ini"; false when it does not exist or cannot be read.
bool loadSettingsFile(const std::filesystem::path& file, AppSettings& settings);

}  // namespace velmora::store
