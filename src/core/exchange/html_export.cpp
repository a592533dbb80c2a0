#include "core/exchange/html_export.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unicode/unistr.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <string_view>
#include <system_error>

#include "core/media/media_path.h"
#include "core/store/album_record.h"
#include "core/store/album_table.h"
#include "core/store/app_settings.h"
#include "core/store/atomic_file.h"
#include "core/store/columns.h"
#include "core/text/cp932.h"
#include "core/text/kana_width.h"

namespace velmora::exchange {

namespace fs = std::filesystem;
using store::AlbumTable;

namespace {

std::string cp932(std::u16string_view text)
{
    return text::fromUnicode(text).bytes;
}

std::string utf8Of(std::string_view bytes)
{
    std::u16string text = text::toUnicode(bytes);
    std::string out;
    icu::UnicodeString(text.data(), static_cast<int32_t>(text.size())).toUTF8String(out);
    return out;
}

// The fixed texts of the page, as Shift-JIS.
struct Labels {
    std::string count = cp932(u"<br>アルバム数: ");
    std::string genre = cp932(u"<br>ジャンル  ");
    std::string media = cp932(u"<br>メディア  ");
    std::string memo = cp932(u"<br>メモ  ");
    std::string other = cp932(u"他");
};

const Labels& labels()
{
    static const Labels instance;
    return instance;
}

// Text for an HTML text node or attribute value. The four bytes escaped are
// below every second byte of a double-byte character, so they are always
// characters of their own.
std::string escapeHtml(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

// A stored path with "\" separators read as "/" (on character boundaries:
// 0x5C is also the second byte of some double-byte characters).
std::string forwardSlashes(std::string_view bytes)
{
    std::string out(bytes);
    for (std::size_t i = 0; i < out.size(); i += text::charLength(out, i)) {
        if (out[i] == '\\') {
            out[i] = '/';
        }
    }
    return out;
}

// Where a stored path lies on this system.
fs::path localPath(std::string_view stored)
{
    return fs::path(media::fileSystemPath(stored));
}

bool isFile(const fs::path& path)
{
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

// A path of this system (UTF-8) as page text: Shift-JIS where it can be,
// else the UTF-8 bytes of the characters it cannot hold percent-encoded
// (the browser reads both to the same file name).
std::string pageTextOfPath(const std::string& utf8)
{
    icu::UnicodeString u = icu::UnicodeString::fromUTF8(utf8);
    text::EncodeResult encoded =
        text::fromUnicode(std::u16string_view(u.getBuffer(), static_cast<std::size_t>(u.length())));
    if (encoded.ok) {
        return encoded.bytes;
    }
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : utf8) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        }
    }
    return out;
}

// A link path as an attribute value: the characters that would end the
// path part of an address are percent-encoded (each is below the second
// bytes of double-byte characters), then the text is escaped.
std::string linkAttribute(std::string_view path)
{
    std::string encoded;
    for (char c : path) {
        if (c == '%') {
            encoded += "%25";
        } else if (c == '#') {
            encoded += "%23";
        } else if (c == '?') {
            encoded += "%3F";
        } else {
            encoded += c;
        }
    }
    return escapeHtml(encoded);
}

// The link to a stored path where it lies: a "file:" cell is already an
// address (percent-encoded), a plain path becomes one.
std::string storedLink(std::string_view stored)
{
    return media::isFileUriCell(stored) ? escapeHtml(stored) : linkAttribute(forwardSlashes(stored));
}

// The name a copy gets: position, "_" and song for a media file, and the
// source file's extension.
std::string copyName(int position, int song, std::string_view stored)
{
    std::string name = std::to_string(position);
    if (song > 0) {
        name += "_" + std::to_string(song);
    }
    return name + localPath(stored).extension().string();
}

// The section name of an album: the first character of its reading in
// half-width katakana, upper-cased; "他" when there is none.
std::string sectionName(std::string_view reading)
{
    const std::string folded = text::toHalfWidth(text::toKatakana(reading));
    if (folded.empty()) {
        return labels().other;
    }
    return text::toUpperCase(std::string_view(folded).substr(0, text::charLength(folded, 0)));
}

class PageBuilder {
public:
    PageBuilder(const HtmlOptions& options, bool preview, fs::path linkFolder)
        : options_(options), preview_(preview), linkFolder_(std::move(linkFolder))
    {
    }

    void begin(int albumCount);
    void album(const AlbumTable::RowCells& cells, int position);
    std::vector<std::string> finish();

private:
    // The link of a file cell: the page text of its path, or nothing when
    // there is no file to link.
    bool linkOf(std::string_view stored, int position, int song, std::string* link) const;

    const HtmlOptions& options_;
    bool preview_;
    fs::path linkFolder_;
    std::vector<std::string> lines_;
    std::size_t contentsLine_ = 0;
    std::vector<std::string> sections_;
    bool firstAlbum_ = true;
};

void PageBuilder::begin(int albumCount)
{
    const Labels& text = labels();
    lines_ = {
        "<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\" "
        "\"http://www.w3.org/TR/html4/loose.dtd\">",
        "<html lang=\"ja\">",
        "<head>",
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=shift_jis\">",
        "<title>" + escapeHtml(options_.title) + "</title>",
        "<META NAME=\"GENERATOR\" CONTENT=\"Velmora Ver.2\">",
        "<style TYPE=\"text/css\">",
        "<!--",
        "body {margin:5% 10% }",
        "h1 {border-bottom-style:solid }",
        "h2 {border-left-style:solid }",
        "h3 {}",
        "div.cd {padding:1% ;border-style:solid ;border-width:thin medium }",
        "-->",
        "</style>",
    };
    lines_.insert(lines_.end(), options_.headLines.begin(), options_.headLines.end());
    lines_.push_back("</head>");
    lines_.push_back("<body>");
    lines_.push_back("<h1><a name=\"top\">" + escapeHtml(options_.heading) + "</a></h1>");
    for (const std::string& comment : options_.comments) {
        lines_.push_back(comment + "<br>");
    }
    if (options_.contents) {
        lines_.push_back("<h2>Contents</h2>");
        contentsLine_ = lines_.size();
        lines_.emplace_back();
    }
    lines_.push_back(text.count + std::to_string(albumCount));
    lines_.push_back("<br><br>");
}

bool PageBuilder::linkOf(std::string_view stored, int position, int song, std::string* link) const
{
    if (stored.empty() || (song > 0 && store::mediaKind(stored) == store::MediaKind::CdTrack)) {
        return false;
    }
    if (preview_) {
        *link = storedLink(stored);
        return true;
    }
    if (!options_.copyFiles) {
        if (!isFile(localPath(stored))) {
            return false;
        }
        *link = storedLink(stored);
        return true;
    }
    const std::string name = copyName(position, song, stored);
    const fs::path copy = linkFolder_ / name;
    if (!isFile(copy)) {
        return false;
    }
    *link =
        linkAttribute(options_.pass == 1 ? forwardSlashes(options_.folderName) + "/" + pageTextOfPath(name)
                                         : pageTextOfPath(copy.generic_string()));
    return true;
}

void PageBuilder::album(const AlbumTable::RowCells& cells, int position)
{
    using namespace store;
    const Labels& text = labels();
    auto cell = [&cells](int column) { return cells[static_cast<std::size_t>(column)]; };

    if (options_.contents) {
        std::string section = sectionName(cell(FuriganaColumn));
        if (sections_.empty() || text::toUpperCase(section) != text::toUpperCase(sections_.back())) {
            if (!firstAlbum_) {
                lines_.push_back("<a href=\"#top\">Top</a><br>");
            }
            const std::string name = escapeHtml(section);
            lines_.push_back("<h2><a name=\"" + name + "\">" + name + "</a></h2>");
            sections_.push_back(std::move(section));
        }
    }
    firstAlbum_ = false;

    lines_.push_back("<div class=\"cd\">");
    lines_.push_back("<h3>" + escapeHtml(cell(ArtistColumn)) + " / " + escapeHtml(cell(AlbumColumn)) +
                     "</h3>");
    std::string link;
    if (options_.picture && linkOf(cell(ImagePathColumn), position, 0, &link)) {
        lines_.push_back("<img src=\"" + link + "\" alt=\"\" height=\"100\" width=\"100\">");
    }
    if (options_.category1) {
        lines_.push_back(text.genre + escapeHtml(cell(Category1Column)));
    }
    if (options_.category2) {
        lines_.push_back(text.media + escapeHtml(cell(Category2Column)));
    }
    if (options_.memo) {
        lines_.push_back(text.memo);
        for (const std::string& piece : splitMemo(cell(Category3Column))) {
            lines_.push_back("<br>" + escapeHtml(piece));
        }
    }
    const int used = options_.songs ? usedSongCount(cell) : 0;
    if (used > 0) {
        lines_.push_back("<hr>");
    }
    for (int song = 1; song <= used; ++song) {
        std::string line = "<br>" + std::to_string(song) + "; ";
        const bool linked = options_.mediaLinks && linkOf(cell(mediaColumn(song)), position, song, &link);
        if (linked) {
            line += "<a href=\"" + link + "\">";
        }
        line += escapeHtml(cell(songTitleColumn(song)));
        if (linked) {
            line += "</a>";
        }
        if (!cell(songArtistColumn(song)).empty()) {
            line += " / " + escapeHtml(cell(songArtistColumn(song)));
        }
        lines_.push_back(std::move(line));
    }
    lines_.push_back("</div>");
}

std::vector<std::string> PageBuilder::finish()
{
    lines_.insert(lines_.end(), options_.footLines.begin(), options_.footLines.end());
    lines_.push_back("</body>");
    lines_.push_back("</html>");
    if (options_.contents) {
        std::string& contents = lines_[contentsLine_];
        for (const std::string& section : sections_) {
            const std::string name = escapeHtml(section);
            contents += "/ <a href=\"#" + name + "\">" + name + "</a>";
        }
    }
    return std::move(lines_);
}

// The positions of the list whose albums are in the table.
std::vector<std::pair<int, int>> pageAlbums(const AlbumTable& table, const std::vector<int>& albums)
{
    std::vector<std::pair<int, int>> shown;  // (position, row)
    for (std::size_t i = 0; i < albums.size(); ++i) {
        if (albums[i] >= 1 && albums[i] < table.rowCount()) {
            shown.emplace_back(static_cast<int>(i) + 1, albums[i]);
        }
    }
    return shown;
}

}  // namespace

HtmlOptions htmlOptions(const store::AppSettings& settings, const store::ListFiles& lists)
{
    HtmlOptions options;
    options.picture = settings.html[0];
    options.category1 = settings.html[1];
    options.category2 = settings.html[2];
    options.memo = settings.html[3];
    options.songs = settings.html[4];
    options.mediaLinks = settings.html[5];
    options.contents = settings.html[6];
    options.copyFiles = settings.html[7];
    options.pass = settings.htmlPass;
    options.folderName = settings.htmlFolderName;
    options.title = settings.htmlTitle;
    options.heading = settings.htmlH1;
    options.comments = lists.htmlComments;
    return options;
}

bool loadHtmlOptions(const fs::path& dataDir, HtmlOptions* options, store::FileError* error)
{
    store::AppSettings settings;
    store::loadSettingsFile(dataDir / "VLM.ini", settings);
    store::ListFiles lists;
    const bool ok = lists.load(dataDir, error);
    *options = htmlOptions(settings, lists);
    return ok;
}

fs::path htmlLinkFolder(const fs::path& page, const HtmlOptions& options)
{
    std::error_code ec;
    fs::path absolute = fs::absolute(page, ec);
    if (ec) {
        absolute = page;
    }
    return absolute.parent_path() / localPath(options.folderName);
}

std::vector<std::string> htmlPageLines(const AlbumTable& table, const std::vector<int>& albums,
                                       const HtmlOptions& options, const fs::path& linkFolder)
{
    const std::vector<std::pair<int, int>> shown = pageAlbums(table, albums);
    PageBuilder page(options, false, linkFolder);
    page.begin(static_cast<int>(shown.size()));
    for (const auto& [position, row] : shown) {
        page.album(table.rowCells(row), position);
    }
    return page.finish();
}

std::vector<std::string> htmlPreviewLines(const HtmlOptions& options)
{
    using namespace store;
    PageBuilder page(options, true, {});
    page.begin(10);
    for (int k = 0; k < 10; ++k) {
        const std::string number = std::to_string(k);
        AlbumRecord sample;
        sample[ArtistColumn] = cp932(u"アーティスト") + number;
        sample[AlbumColumn] = cp932(u"アルバム") + number;
        sample[Category1Column] = cp932(u"ここにジャンル情報が入ります");
        sample[Category2Column] = cp932(u"ここにメディア情報が入ります");
        sample[Category3Column] = cp932(u"プレヴュー") + number + cp932(u"です。");
        sample[ImagePathColumn] = cp932(u"画像ファイル") + number;
        sample[FuriganaColumn] = number;
        for (int song = 1; song <= 11; ++song) {
            const std::string n = std::to_string(song);
            sample[songTitleColumn(song)] = cp932(u"曲名") + n;
            sample[songArtistColumn(song)] = cp932(u"曲ごとのアーティスト名") + n;
            sample[mediaColumn(song)] = cp932(u"メディアファイル") + n;
        }
        AlbumTable::RowCells cells;
        for (int column = 0; column < kColumnCount; ++column) {
            cells[static_cast<std::size_t>(column)] = sample[column];
        }
        page.album(cells, k + 1);
    }
    return page.finish();
}

std::string htmlPageBytes(const std::vector<std::string>& lines)
{
    std::size_t size = 0;
    for (const std::string& line : lines) {
        size += line.size() + 2;
    }
    std::string bytes;
    bytes.reserve(size);
    for (const std::string& line : lines) {
        bytes += line;
        bytes += "\r\n";
    }
    return bytes;
}

bool writeHtmlPage(const fs::path& file, const std::vector<std::string>& lines, store::FileError* error)
{
    return store::writeFileAtomically(file, htmlPageBytes(lines), error);
}

std::vector<HtmlFileCopy> htmlFileCopies(const AlbumTable& table, const std::vector<int>& albums,
                                         const HtmlOptions& options, const fs::path& linkFolder)
{
    using namespace store;
    std::vector<HtmlFileCopy> copies;
    if (!options.copyFiles) {
        return copies;
    }
    const int rows = static_cast<int>(albums.size());
    const std::vector<std::pair<int, int>> shown = pageAlbums(table, albums);
    auto add = [&](std::string_view stored, int position, int song, int step) {
        if (stored.empty() || (song > 0 && mediaKind(stored) == MediaKind::CdTrack)) {
            return;
        }
        fs::path source = localPath(stored);
        if (isFile(source)) {
            copies.push_back(
                {std::move(source), linkFolder / copyName(position, song, stored), step, utf8Of(stored)});
        }
    };
    if (options.picture) {
        for (const auto& [position, row] : shown) {
            add(table.cell(ImagePathColumn, row), position, 0, position - 1);
        }
    }
    if (options.songs && options.mediaLinks) {
        for (const auto& [position, row] : shown) {
            const AlbumTable::RowCells cells = table.rowCells(row);
            for (int song = 1; song <= kSongSlots; ++song) {
                add(cells[static_cast<std::size_t>(mediaColumn(song))], position, song, position - 1 + rows);
            }
        }
    }
    return copies;
}

std::string folderCreationMessage(const fs::path& folder)
{
    return "フォルダ " + folder.string() + "\r\nを作成できませんでした";
}

std::string renameFailureMessage(const fs::path& target)
{
    return target.string() + "\r\n書き換えに失敗しました。";
}

bool prepareLinkFolder(const fs::path& linkFolder, const HtmlOptions& options, std::string* message)
{
    if (!options.copyFiles || !options.linksFiles()) {
        return true;
    }
    std::error_code ec;
    if (fs::is_directory(linkFolder, ec)) {
        return true;
    }
    fs::create_directory(linkFolder, ec);
    if (ec || !fs::is_directory(linkFolder, ec)) {
        *message = folderCreationMessage(linkFolder);
        return false;
    }
    return true;
}

namespace {

// Copies the bytes of `source` into a new `target` with the source's
// permissions. 0 when done, otherwise the system's error number: the write
// that runs out of space says ENOSPC rather than a general I/O error.
int copyFileBytes(const fs::path& source, const fs::path& target)
{
    const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        return errno;
    }
    struct stat st {};
    if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int err = errno != 0 ? errno : EINVAL;
        ::close(in);
        return S_ISDIR(st.st_mode) ? EISDIR : err;
    }
    const int out = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, st.st_mode & 0777);
    if (out < 0) {
        const int err = errno;
        ::close(in);
        return err;
    }
    int error = 0;
    std::array<char, 1 << 16> buffer;
    while (error == 0) {
        const ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n < 0) {
            error = errno == EINTR ? 0 : errno;
            continue;
        }
        if (n == 0) {
            break;
        }
        for (ssize_t done = 0; done < n && error == 0;) {
            const ssize_t written = ::write(out, buffer.data() + done, static_cast<std::size_t>(n - done));
            if (written < 0) {
                error = errno == EINTR ? 0 : errno;
            } else {
                done += written;
            }
        }
    }
    ::close(in);
    if (::close(out) != 0 && error == 0) {
        error = errno;  // a network drive may tell only now that it is full
    }
    return error;
}

}  // namespace

bool copyLinkedFile(const HtmlFileCopy& copy, std::string* message)
{
    // The copy is made under a name of its own and renamed when complete:
    // a file already bearing the target name (an earlier export's copy, or
    // the very source) stays until then.
    fs::path partial = copy.target;
    partial.replace_filename("." + copy.target.filename().string() + ".part");
    std::error_code ec;
    fs::remove(partial, ec);
    if (const int error = copyFileBytes(copy.source, partial); error != 0) {
        std::error_code ignored;
        fs::remove(partial, ignored);
        *message = "ファイルをコピーできませんでした。\r\n" + copy.source.string() + "\r\n" +
                   store::describeErrno(error);
        return false;
    }
    fs::rename(partial, copy.target, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(partial, ignored);
        *message = renameFailureMessage(copy.target);
        return false;
    }
    return true;
}

bool exportHtmlPage(const fs::path& file, const AlbumTable& table, const std::vector<int>& albums,
                    const HtmlOptions& options, std::vector<std::string>* messages)
{
    if (options.folderName.empty()) {
        messages->emplace_back(kNoFolderNameMessage);
        return false;
    }
    fs::path linkFolder;
    if (options.copyFiles) {
        linkFolder = htmlLinkFolder(file, options);
        std::string message;
        if (!prepareLinkFolder(linkFolder, options, &message)) {
            messages->push_back(std::move(message));
            return false;
        }
        for (const HtmlFileCopy& copy : htmlFileCopies(table, albums, options, linkFolder)) {
            if (!copyLinkedFile(copy, &message)) {
                messages->push_back(std::move(message));
            }
        }
    }
    store::FileError error;
    if (!writeHtmlPage(file, htmlPageLines(table, albums, options, linkFolder), &error)) {
        messages->push_back(store::writeFailureMessage(error));
        return false;
    }
    return true;
}

bool exportHtmlPage(const fs::path& file, const AlbumTable& table, const std::vector<int>& albums,
                    const fs::path& dataDir, std::vector<std::string>* messages)
{
    HtmlOptions options;
    store::FileError error;
    if (!loadHtmlOptions(dataDir, &options, &error)) {
        messages->push_back(store::readFailureMessage(error));
        return false;
    }
    return exportHtmlPage(file, table, albums, options, messages);
}

}  // namespace velmora::exchange
