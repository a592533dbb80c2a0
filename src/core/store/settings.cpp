#include "store/settings.h"

#include "store/profile.h"
#include "text/cp932.h"

namespace velmora::store {

namespace {

std::string sjis(std::u16string_view text)
{
    return text::fromUnicode(text).bytes;
}

const std::string& defaultFontName()
{
    static const std::string name = sjis(u"ＭＳ Ｐゴシック");
    return name;
}

std::string numbered(const char* key, std::size_t n)
{
    return key + std::to_string(n);
}

// Every key in the file's order, with its default. `S` is const when
// writing; the visitor reads into or writes from each value.
template <typename S, typename Visitor>
void visitKeys(S& s, Visitor&& v)
{
    v.integer("Form", "Left", s.form.left, 1);
    v.integer("Form", "Top", s.form.top, 1);
    v.integer("Form", "Width", s.form.width, 775);
    v.integer("Form", "Height", s.form.height, 640);
    v.writeOnly("Form", "Caption", "Velmora");
    v.writeOnly("Form", "Version", "2000");

    v.integer("MPanel", "Width", s.panelWidth, 417);
    v.text("MPanel", "Memo1Caption", s.captions[0], sjis(u"ジャンル"));
    v.text("MPanel", "Memo2Caption", s.captions[1], sjis(u"メディア"));
    v.text("MPanel", "Memo3Caption", s.captions[2], sjis(u"メモ"));

    v.text("AlbumGrid", "FontName", s.albumFont.name, defaultFontName());
    v.integer("AlbumGrid", "FontSize", s.albumFont.size, 9);
    v.integer("AlbumGrid", "FontColor", s.albumFont.color, kWindowTextColor);
    v.boolean("AlbumGrid", "FontBold", s.albumFont.bold, false);
    v.boolean("AlbumGrid", "FontItalic", s.albumFont.italic, false);
    v.integer("AlbumGrid", "Color", s.albumColor, kWhiteColor);
    static constexpr int kAlbumWidths[] = {50, 150, 150, 50, 50, 50, 50, 50};
    for (std::size_t i = 0; i < 8; ++i) {
        v.integer("AlbumGrid", numbered("ColWidth", i), s.albumColumnWidths[i], kAlbumWidths[i]);
    }

    static constexpr int kSongWidths[] = {50, 150, 150, 150};
    for (std::size_t i = 0; i < 4; ++i) {
        v.integer("SongGrid", numbered("ColWidth", i), s.songColumnWidths[i], kSongWidths[i]);
    }
    v.readOnly("SongGrid", "FontBold", s.songFontBold, false);
    v.readOnly("SongGrid", "FontItalic", s.songFontItalic, false);

    v.integer("MemoForm", "Left", s.memoForm.left, 447);
    v.integer("MemoForm", "Top", s.memoForm.top, 228);
    v.integer("MemoForm", "Width", s.memoForm.width, 558);
    v.integer("MemoForm", "Height", s.memoForm.height, 750);
    v.text("MemoForm", "MemoFontName", s.memoFont.name, defaultFontName());
    v.integer("MemoForm", "MemoFontSize", s.memoFont.size, 9);
    v.integer("MemoForm", "MemoFontColor", s.memoFont.color, kWindowTextColor);
    v.boolean("MemoForm", "MemoFontBold", s.memoFont.bold, false);
    v.boolean("MemoForm", "MemoFontItalic", s.memoFont.italic, false);
    v.integer("MemoForm", "MemoColor", s.memoColor, kWhiteColor);

    for (std::size_t i = 0; i < 6; ++i) {
        v.boolean("Internet", numbered("Check", i), s.internetChecks[i], i < 2);
    }

    v.integer("Media", "CDDrive", s.cdDrive, 1);

    v.integer("EditForm", "Left", s.editForm.left, 253);
    v.integer("EditForm", "Top", s.editForm.top, 122);
    v.integer("EditForm", "Width", s.editForm.width, 652);
    v.integer("EditForm", "Height", s.editForm.height, 576);
    for (std::size_t i = 0; i < 3; ++i) {
        v.integer("EditForm", numbered("SongGridColWidth", i + 1), s.editSongColumnWidths[i], 150);
    }

    v.integer("MediaPlayerForm", "Left", s.playerForm.left, 305);
    v.integer("MediaPlayerForm", "Top", s.playerForm.top, 118);
    v.integer("MediaPlayerForm", "Width", s.playerForm.width, 368);
    v.integer("MediaPlayerForm", "Height", s.playerForm.height, 428);
    v.integer("MediaPlayerForm", "ListFontSize", s.listFont.size, 9);
    v.integer("MediaPlayerForm", "ListFontColor", s.listFont.color, kWindowTextColor);
    v.integer("MediaPlayerForm", "ListColor", s.listColor, kWhiteColor);
    v.boolean("MediaPlayerForm", "ListFontBold", s.listFont.bold, false);
    v.boolean("MediaPlayerForm", "ListFontItalic", s.listFont.italic, false);

    // "J" is written as "j": names are compared without regard to case, so
    // both spell the same key.
    static constexpr const char* kHtmlKeys[kHtmlSwitchCount] = {"G",    "j",         "Media",    "Memo",
                                                                "Song", "MediaFile", "Contents", "FileCopy"};
    for (std::size_t i = 0; i < kHtmlSwitchCount; ++i) {
        v.boolean("HTML", kHtmlKeys[i], s.html[i], i != kHtmlCopyFiles);
    }
    v.integer("HTML", "Pass", s.htmlPass, 0);
    v.text("HTML", "FolderName", s.htmlFolderName, "files");
    v.text("HTML", "Title", s.htmlTitle, "");
    v.text("HTML", "H1", s.htmlH1, "");
}

struct Reader {
    const ProfileFile& file;

    void integer(std::string_view section, std::string_view key, std::int32_t& value, std::int32_t fallback)
    {
        value = file.readInt(section, key, fallback);
    }
    void boolean(std::string_view section, std::string_view key, bool& value, bool fallback)
    {
        value = file.readBool(section, key, fallback);
    }
    void readOnly(std::string_view section, std::string_view key, bool& value, bool fallback)
    {
        boolean(section, key, value, fallback);
    }
    void text(std::string_view section, std::string_view key, std::string& value, std::string_view fallback)
    {
        value = file.readString(section, key).value_or(std::string(fallback));
    }
    void writeOnly(std::string_view, std::string_view, std::string_view) {}
};

struct Writer {
    ProfileFile& file;

    void integer(std::string_view section, std::string_view key, std::int32_t value, std::int32_t)
    {
        file.writeInt(section, key, value);
    }
    void boolean(std::string_view section, std::string_view key, bool value, bool)
    {
        file.writeBool(section, key, value);
    }
    void readOnly(std::string_view, std::string_view, bool, bool) {}
    void text(std::string_view section, std::string_view key, std::string_view value, std::string_view)
    {
        file.writeString(section, key, value);
    }
    void writeOnly(std::string_view section, std::string_view key, std::string_view value)
    {
        file.writeString(section, key, value);
    }
};

}  // namespace

Settings::Settings() : captions{sjis(u"ジャンル"), sjis(u"メディア"), sjis(u"メモ")}
{
    albumFont.name = defaultFontName();
    memoFont.name = defaultFontName();
    listFont.name = defaultFontName();
}

void Settings::readFrom(const ProfileFile& file)
{
    visitKeys(*this, Reader{file});
}

void Settings::writeTo(ProfileFile& file) const
{
    visitKeys(*this, Writer{file});
}

int toolPageWidth(int stored, int windowWidth)
{
    if (stored > windowWidth - 10 && stored > 20) {
        return windowWidth - 8;
    }
    return stored;
}

LoadStatus loadSettingsFile(const std::filesystem::path& file, Settings& settings, FileError* error)
{
    ProfileFile profile;
    if (!profile.load(file, error)) {
        return LoadStatus::Unreadable;
    }
    if (!profile.exists()) {
        return LoadStatus::Missing;
    }
    settings.readFrom(profile);
    return LoadStatus::Loaded;
}

bool saveSettingsFile(const std::filesystem::path& file, const Settings& settings, FileError* error)
{
    ProfileFile profile;
    if (!profile.load(file, error)) {
        return false;
    }
    settings.writeTo(profile);
    return profile.save(file, error);
}

}  // namespace velmora::store
