#include "core/store/app_settings.h"

#include <algorithm>

#include "core/store/atomic_file.h"
#include "core/store/data_file.h"
#include "core/store/ini_file.h"

namespace velmora::store {

namespace {

// The default texts as CP932 bytes, spelled out: making settings (every
// command does) then needs no conversion tables, which take milliseconds
// to build.
constexpr const char* kDefaultFontName =
    "\x82\x6C\x82\x72\x20\x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E";                 // ＭＳ Ｐゴシック
constexpr const char* kGenre = "\x83\x57\x83\x83\x83\x93\x83\x8B";                  // ジャンル
constexpr const char* kMedia = "\x83\x81\x83\x66\x83\x42\x83\x41";                  // メディア
constexpr const char* kMemo = "\x83\x81\x83\x82";                                   // メモ
constexpr const char* kSiteName = "\x83\x54\x83\x43\x83\x67\x96\xBC";               // サイト名
constexpr const char* kGoogleJapanese = "google\x81\x69\x93\xFA\x96\x7B\x8C\xEA)";  // google（日本語)
constexpr const char* kHead = "\x90\xE6\x93\xAA";                                   // 先頭
constexpr const char* kTail = "\x8D\xC5\x8C\xE3";                                   // 最後

std::string defaultFontName()
{
    return kDefaultFontName;
}

// Visits every key in the file's order with its default; `S` is const for
// writing and not for reading.
template <typename S, typename Visitor>
void visitKeys(S& s, Visitor&& v)
{
    v.integer("Form", "Left", s.form.left, 1);
    v.integer("Form", "Top", s.form.top, 1);
    v.integer("Form", "Width", s.form.width, 775);
    v.integer("Form", "Height", s.form.height, 640);
    v.fixed("Form", "Caption", "Velmora");
    v.fixed("Form", "Version", "2000");
    v.integer("MPanel", "Width", s.panelWidth, 417);
    v.text("MPanel", "Memo1Caption", s.captions[0], kGenre);
    v.text("MPanel", "Memo2Caption", s.captions[1], kMedia);
    v.text("MPanel", "Memo3Caption", s.captions[2], kMemo);
    v.text("AlbumGrid", "FontName", s.albumFont.name, defaultFontName());
    v.integer("AlbumGrid", "FontSize", s.albumFont.size, 9);
    v.integer("AlbumGrid", "FontColor", s.albumFont.color, static_cast<std::int32_t>(0x80000008));
    v.boolean("AlbumGrid", "FontBold", s.albumFont.bold, false);
    v.boolean("AlbumGrid", "FontItalic", s.albumFont.italic, false);
    v.integer("AlbumGrid", "Color", s.albumColor, 16777215);
    static constexpr int kAlbumWidths[] = {50, 150, 150, 50, 50, 50, 50, 50};
    for (int i = 0; i < 8; ++i) {
        v.integer("AlbumGrid", "ColWidth" + std::to_string(i),
                  s.albumColumnWidths[static_cast<std::size_t>(i)], kAlbumWidths[i]);
    }
    static constexpr int kSongWidths[] = {50, 150, 150, 150};
    for (int i = 0; i < 4; ++i) {
        v.integer("SongGrid", "ColWidth" + std::to_string(i), s.songColumnWidths[static_cast<std::size_t>(i)],
                  kSongWidths[i]);
    }
    v.readOnly("SongGrid", "FontBold", s.songFontBold);
    v.readOnly("SongGrid", "FontItalic", s.songFontItalic);
    v.integer("MemoForm", "Left", s.memoForm.left, 447);
    v.integer("MemoForm", "Top", s.memoForm.top, 228);
    v.integer("MemoForm", "Width", s.memoForm.width, 558);
    v.integer("MemoForm", "Height", s.memoForm.height, 750);
    v.text("MemoForm", "MemoFontName", s.memoFont.name, defaultFontName());
    v.integer("MemoForm", "MemoFontSize", s.memoFont.size, 9);
    v.integer("MemoForm", "MemoFontColor", s.memoFont.color, static_cast<std::int32_t>(0x80000008));
    v.boolean("MemoForm", "MemoFontBold", s.memoFont.bold, false);
    v.boolean("MemoForm", "MemoFontItalic", s.memoFont.italic, false);
    v.integer("MemoForm", "MemoColor", s.memoColor, 16777215);
    for (int i = 0; i < 6; ++i) {
        v.boolean("Internet", "Check" + std::to_string(i), s.internetChecks[static_cast<std::size_t>(i)],
                  i < 2);
    }
    v.integer("Media", "CDDrive", s.cdDrive, 1);
    v.integer("EditForm", "Left", s.editForm.left, 253);
    v.integer("EditForm", "Top", s.editForm.top, 122);
    v.integer("EditForm", "Width", s.editForm.width, 652);
    v.integer("EditForm", "Height", s.editForm.height, 576);
    for (int i = 0; i < 3; ++i) {
        v.integer("EditForm", "SongGridColWidth" + std::to_string(i + 1),
                  s.editSongColumnWidths[static_cast<std::size_t>(i)], 150);
    }
    v.integer("MediaPlayerForm", "Left", s.playerForm.left, 305);
    v.integer("MediaPlayerForm", "Top", s.playerForm.top, 118);
    v.integer("MediaPlayerForm", "Width", s.playerForm.width, 368);
    v.integer("MediaPlayerForm", "Height", s.playerForm.height, 428);
    v.integer("MediaPlayerForm", "ListFontSize", s.listFont.size, 9);
    v.integer("MediaPlayerForm", "ListFontColor", s.listFont.color, static_cast<std::int32_t>(0x80000008));
    v.integer("MediaPlayerForm", "ListColor", s.listColor, 16777215);
    v.boolean("MediaPlayerForm", "ListFontBold", s.listFont.bold, false);
    v.boolean("MediaPlayerForm", "ListFontItalic", s.listFont.italic, false);
    static constexpr const char* kHtmlKeys[] = {"G",    "j",         "Media",    "Memo",
                                                "Song", "MediaFile", "Contents", "FileCopy"};
    for (int i = 0; i < 8; ++i) {
        v.boolean("HTML", kHtmlKeys[i], s.html[static_cast<std::size_t>(i)], i != 7);
    }
    v.integer("HTML", "Pass", s.htmlPass, 0);
    v.text("HTML", "FolderName", s.htmlFolderName, "files");
    v.text("HTML", "Title", s.htmlTitle, "");
    v.text("HTML", "H1", s.htmlH1, "");
    v.boolean("Search", "Fold", s.searchFold, false);
    v.boolean("Export", "CsvUtf8", s.csvUtf8, false);
    v.integer("FileScan", "TagEncoding", s.tagEncoding, 0);
    v.text("MusicBrainz", "Server", s.musicBrainzServer, AppSettings::kDefaultMusicBrainzServer);
    v.text("MusicBrainz", "CoverServer", s.coverServer, AppSettings::kDefaultCoverServer);
}

struct Reader {
    const IniFile& file;
    void integer(const std::string& section, const std::string& key, auto& value, std::int32_t fallback)
    {
        value = file.readInt(section, key, fallback);
    }
    void boolean(const std::string& section, const std::string& key, bool& value, bool fallback)
    {
        value = file.readBool(section, key, fallback);
    }
    void readOnly(const std::string& section, const std::string& key, bool& value)
    {
        boolean(section, key, value, false);
    }
    void text(const std::string& section, const std::string& key, std::string& value,
              const std::string& fallback)
    {
        value = file.read(section, key).value_or(fallback);
    }
    void fixed(const std::string&, const std::string&, const char*) {}
};

struct Writer {
    IniFile& file;
    void integer(const std::string& section, const std::string& key, std::int32_t value, std::int32_t)
    {
        file.writeInt(section, key, value);
    }
    void boolean(const std::string& section, const std::string& key, bool value, bool)
    {
        file.write(section, key, value ? "1" : "0");
    }
    void readOnly(const std::string&, const std::string&, bool) {}
    void text(const std::string& section, const std::string& key, const std::string& value,
              const std::string&)
    {
        file.write(section, key, value);
    }
    void fixed(const std::string& section, const std::string& key, const char* value)
    {
        file.write(section, key, value);
    }
};

}  // namespace

AppSettings::AppSettings() : captions{kGenre, kMedia, kMemo}
{
    albumFont.name = defaultFontName();
    memoFont.name = defaultFontName();
    listFont.name = defaultFontName();
}

void AppSettings::readFrom(const IniFile& file)
{
    visitKeys(*this, Reader{file});
    clampToSaneRanges();
}

void AppSettings::writeTo(IniFile& file) const
{
    AppSettings clamped = *this;
    clamped.clampToSaneRanges();
    visitKeys(clamped, Writer{file});
}

void AppSettings::clampToSaneRanges()
{
    if (tagEncoding < 0 || tagEncoding > 2) {
        tagEncoding = 0;
    }
    for (WindowPlace* place : {&form, &memoForm, &editForm, &playerForm}) {
        place->left = std::clamp(place->left, -kMaxWindowPosition, kMaxWindowPosition);
        place->top = std::clamp(place->top, -kMaxWindowPosition, kMaxWindowPosition);
        place->width = std::clamp(place->width, kMinWindowSize, kMaxWindowSize);
        place->height = std::clamp(place->height, kMinWindowSize, kMaxWindowSize);
    }
    panelWidth = std::clamp(panelWidth, 0, kMaxWindowSize);
    for (FontSetting* font : {&albumFont, &memoFont, &listFont}) {
        font->size = std::clamp(font->size, kMinFontSize, kMaxFontSize);
    }
    for (int& width : albumColumnWidths) {
        width = std::clamp(width, 0, kMaxWindowSize);
    }
    for (int& width : songColumnWidths) {
        width = std::clamp(width, 0, kMaxWindowSize);
    }
    for (int& width : editSongColumnWidths) {
        width = std::clamp(width, 0, kMaxWindowSize);
    }
    cdDrive = std::clamp(cdDrive, 0, kMaxCdDrive);
    // Only 1 picks the second choice; every other number is the first.
    htmlPass = htmlPass == 1 ? 1 : 0;
}

int toolPageWidth(int stored, int windowWidth)
{
    if (stored > windowWidth - 10 && stored > 20) {
        return windowWidth - 8;
    }
    return stored;
}

ListFiles::ListFiles()
    : siteNames{kSiteName, kGoogleJapanese, "HMV", "Tower Records"},
      siteHeads{kHead, "http://www.google.co.jp/search?num=50&lr=lang_ja&q=",
                "http://www.hmv.co.jp/search/title.asp?category=KEYWORDS&keyword=",
                "http://tower.jp/sitemap/CSfSearchResults.jsp?keyword=AllKey&entry="},
      siteTails{kTail, "", "", "&GOODS_SORT_CD=101&SEARCH_GENRE=ALL&x=16&y=10"}
{
}

std::array<std::vector<std::string>*, 7> ListFiles::all()
{
    return {&genres, &media, &memoChoices, &siteNames, &siteHeads, &siteTails, &htmlComments};
}

std::array<const std::vector<std::string>*, 7> ListFiles::all() const
{
    return {&genres, &media, &memoChoices, &siteNames, &siteHeads, &siteTails, &htmlComments};
}

bool readListFile(const std::filesystem::path& file, std::vector<std::string>& entries, FileError* error)
{
    FileBytes bytes;
    if (!readWholeFile(file, bytes, error)) {
        return false;
    }
    entries.clear();
    for (std::string_view line : splitLines(bytes.view())) {
        entries.emplace_back(line);
    }
    return true;
}

bool writeListFile(const std::filesystem::path& file, const std::vector<std::string>& entries,
                   FileError* error)
{
    std::string text;
    for (const std::string& entry : entries) {
        text += entry;
        text += "\r\n";
    }
    return writeFileAtomically(file, text, error);
}

bool ListFiles::load(const std::filesystem::path& folder, FileError* error)
{
    bool ok = true;
    auto lists = all();
    for (std::size_t i = 0; i < lists.size(); ++i) {
        const std::filesystem::path file = folder / kListFileNames[i];
        std::error_code ec;
        if (!std::filesystem::exists(file, ec)) {
            continue;
        }
        std::vector<std::string> entries;
        if (readListFile(file, entries, ok ? error : nullptr)) {
            *lists[i] = std::move(entries);
        } else {
            ok = false;
        }
    }
    return ok;
}

bool ListFiles::save(const std::filesystem::path& folder, FileError* error) const
{
    auto lists = all();
    for (std::size_t i = 0; i < lists.size(); ++i) {
        if (!writeListFile(folder / kListFileNames[i], *lists[i], error)) {
            return false;
        }
    }
    return true;
}

bool saveSettingsFile(const std::filesystem::path& file, const AppSettings& settings, FileError* error)
{
    // What an existing file holds besides the program's keys survives; a
    // file that exists but cannot be read is not overwritten blindly.
    IniFile ini;
    FileBytes existing;
    std::error_code ec;
    if (std::filesystem::exists(file, ec)) {
        if (!readWholeFile(file, existing, error)) {
            return false;
        }
        ini = IniFile::parse(existing.view());
    }
    settings.writeTo(ini);
    return writeFileAtomically(file, ini.serialize(), error);
}

bool loadSettingsFile(const std::filesystem::path& file, AppSettings& settings)
{
    FileBytes bytes;
    std::error_code ec;
    if (!std::filesystem::exists(file, ec) || !readWholeFile(file, bytes, nullptr)) {
        return false;
    }
    settings.readFrom(IniFile::parse(bytes.view()));
    return true;
}

}  // namespace velmora::store
