// Every value of the settings file "VLM.ini".
//
// A default-constructed Settings holds the design values: what the windows
// show when there is no settings file. When the file exists, readFrom()
// replaces every value, a missing key giving the key's default (which for
// several keys differs from the design value). The save writes every key
// from here, so the values of a window that never touched them pass through
// unchanged. Texts (captions, font names, HTML texts) stay CP932 bytes.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

#include "store/data_file.h"
#include "store/file_error.h"

namespace velmora::store {

class ProfileFile;

inline constexpr const char* kSettingsFileName = "VLM.ini";

// Colours as stored: 0x00BBGGRR for a plain colour, or a negative value
// whose low byte is a system colour index. 0x80000008 and 0xFF000008 (a font
// colour written back as the window-text colour) are the same system colour.
inline constexpr std::int32_t kWindowTextColor = static_cast<std::int32_t>(0x80000008);  // -2147483640
inline constexpr std::int32_t kWhiteColor = 0x00FFFFFF;                                  // 16777215
inline constexpr int kSystemColorWindowText = 8;

constexpr bool isSystemColor(std::int32_t color)
{
    return color < 0;
}
constexpr int systemColorIndex(std::int32_t color)
{
    return static_cast<int>(static_cast<std::uint32_t>(color) & 0xFFu);
}
// Whether two stored values show the same colour.
constexpr bool sameColor(std::int32_t a, std::int32_t b)
{
    if (isSystemColor(a) || isSystemColor(b)) {
        return isSystemColor(a) && isSystemColor(b) && systemColorIndex(a) == systemColorIndex(b);
    }
    return a == b;
}

// The main window never gets smaller than this.
inline constexpr int kMainWindowMinWidth = 732;
inline constexpr int kMainWindowMinHeight = 486;

// The tool pages' width as read, for a main window `windowWidth` wide: a
// stored width that leaves no room beside the pages (more than the window
// width - 10, and more than 20) becomes the window width - 8.
int toolPageWidth(int stored, int windowWidth);

struct WindowGeometry {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const WindowGeometry&) const = default;
};

struct FontStyle {
    std::string name;  // CP932, as stored ("ＭＳ Ｐゴシック")
    int size = 9;
    std::int32_t color = kWindowTextColor;
    bool bold = false;
    bool italic = false;
    bool operator==(const FontStyle&) const = default;
};

// The eight switches of the HTML export, in the order of the options
// dialog's check list (and of the file's keys).
enum HtmlSwitch : std::size_t {
    kHtmlPicture,     // "G"
    kHtmlCategory1,   // "J", written as "j"
    kHtmlCategory2,   // "Media"
    kHtmlCategory3,   // "Memo"
    kHtmlSongs,       // "Song"
    kHtmlMediaLinks,  // "MediaFile"
    kHtmlContents,    // "Contents"
    kHtmlCopyFiles,   // "FileCopy"
    kHtmlSwitchCount
};

struct Settings {
    Settings();  // the design values

    // [Form] main window; "Caption" and "Version" are only written.
    WindowGeometry form{370, 136, 732, 694};
    // [MPanel] tool-page width and the three category captions.
    int panelWidth = 368;
    std::array<std::string, 3> captions;  // "ジャンル", "メディア", "メモ"
    // [AlbumGrid]
    FontStyle albumFont;
    std::int32_t albumColor = kWhiteColor;
    std::array<int, 8> albumColumnWidths{50, 150, 150, 50, 50, 50, 50, 50};
    // [SongGrid]; the song list's bold and italic are read, never written.
    std::array<int, 4> songColumnWidths{50, 150, 150, 150};
    bool songFontBold = false;
    bool songFontItalic = false;
    // [MemoForm] memo pad and its editor.
    WindowGeometry memoForm{489, 325, 602, 624};
    FontStyle memoFont;
    std::int32_t memoColor = kWhiteColor;
    // [Internet] the six web-search items (all off without a settings file).
    std::array<bool, 6> internetChecks{};
    // [Media]
    int cdDrive = 1;
    // [EditForm] edit dialog and its song grid columns 1 to 3.
    WindowGeometry editForm{277, 139, 690, 613};
    std::array<int, 3> editSongColumnWidths{150, 150, 150};
    // [MediaPlayerForm] player window (outer size) and its play list, whose
    // font name is not stored.
    WindowGeometry playerForm{275, 125, 368, 428};
    FontStyle listFont;
    std::int32_t listColor = kWhiteColor;
    // [HTML]
    std::array<bool, kHtmlSwitchCount> html{true, true, true, true, true, true, true, false};
    int htmlPass = 0;  // 0 absolute paths, 1 relative paths
    std::string htmlFolderName = "files";
    std::string htmlTitle;
    std::string htmlH1;

    // Reads every key; a missing key gives the key's default.
    void readFrom(const ProfileFile& file);
    // Writes every key in the file's order (see ProfileFile::writeString for
    // where new keys go); other sections and keys stay as they are.
    void writeTo(ProfileFile& file) const;

    bool operator==(const Settings&) const = default;
};

// Reads "VLM.ini" into `settings`: Loaded (every value read), Missing (the
// design values stay) or Unreadable (as Missing, with `error` filled).
LoadStatus loadSettingsFile(const std::filesystem::path& file, Settings& settings, FileError* error);

// Writes "VLM.ini": the existing file's content with every key of `settings`
// set, so that what the program does not know survives. The file is replaced
// only when complete; an existing file that cannot be read is not replaced.
bool saveSettingsFile(const std::filesystem::path& file, const Settings& settings, FileError* error);

}  // namespace velmora::store
