#include "textops/textops.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <mutex>
#include <set>
#include <unordered_set>

#include "store/album_table.h"
#include "store/columns.h"
#include "text/collation.h"
#include "text/cp932.h"
#include "text/kana_width.h"

namespace velmora::textops {

using namespace velmora::store;

namespace {

// Upper case of every two-byte code, or 0 when it has none of the same
// length; built once from the general case mapping.
const std::array<std::uint16_t, 65536>& upperTable()
{
    static const std::array<std::uint16_t, 65536> table = [] {
        std::array<std::uint16_t, 65536> t{};
        for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
            if (!text::isLeadByte(static_cast<unsigned char>(lead))) {
                continue;
            }
            for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
                const char code[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                std::string upper = text::toUpperCase(std::string_view(code, 2));
                if (upper.size() == 2 && upper != std::string_view(code, 2)) {
                    t[(lead << 8) | trail] = static_cast<std::uint16_t>(
                        (static_cast<unsigned char>(upper[0]) << 8) | static_cast<unsigned char>(upper[1]));
                }
            }
        }
        return t;
    }();
    return table;
}

bool lessAsText(std::string_view a, std::string_view b)
{
    // Case-insensitive byte order, as the lists of the tool pages sort.
    std::string ua = upperForMatch(a);
    std::string ub = upperForMatch(b);
    return ua != ub ? ua < ub : a < b;
}

}  // namespace

std::vector<int> albumSetAsText(const std::vector<int>& listed)
{
    std::set<int> unique(listed.begin(), listed.end());
    std::vector<int> albums(unique.begin(), unique.end());
    std::vector<std::pair<std::string, int>> keyed;
    keyed.reserve(albums.size());
    for (int album : albums) {
        keyed.emplace_back(std::to_string(album), album);
    }
    std::sort(keyed.begin(), keyed.end());
    for (std::size_t i = 0; i < keyed.size(); ++i) {
        albums[i] = keyed[i].second;
    }
    return albums;
}

std::string upperForMatch(std::string_view cp932)
{
    const auto& table = upperTable();
    std::string out(cp932);
    char* p = out.data();
    const std::size_t n = out.size();
    for (std::size_t i = 0; i < n;) {
        // Eight plain ASCII bytes at a time: each is a character of its own.
        if (i + 8 <= n) {
            std::uint64_t v;
            std::memcpy(&v, p + i, 8);
            if ((v & 0x8080808080808080ULL) == 0) {
                const std::uint64_t aboveZ = v + 0x0505050505050505ULL;  // high bit set past 'z'
                const std::uint64_t fromA = v + 0x1F1F1F1F1F1F1F1FULL;   // high bit set from 'a'
                const std::uint64_t lower = fromA & ~aboveZ & 0x8080808080808080ULL;
                v ^= lower >> 2;  // 'a'..'z' lose 0x20
                std::memcpy(p + i, &v, 8);
                i += 8;
                continue;
            }
        }
        auto b = static_cast<unsigned char>(p[i]);
        if (b >= 'a' && b <= 'z') {
            p[i] = static_cast<char>(b - 'a' + 'A');
            ++i;
        } else if (text::isLeadByte(b) && i + 1 < n) {
            std::uint16_t upper = table[(b << 8) | static_cast<unsigned char>(p[i + 1])];
            if (upper != 0) {
                p[i] = static_cast<char>(upper >> 8);
                p[i + 1] = static_cast<char>(upper & 0xFF);
            }
            i += 2;
        } else {
            ++i;
        }
    }
    return out;
}

bool hasLetterCase(std::string_view upperWord)
{
    // A character is cased when some other character upper-cases to it.
    static const std::vector<bool> upperImages = [] {
        std::vector<bool> images(65536, false);
        for (std::uint16_t code : upperTable()) {
            if (code != 0) {
                images[code] = true;
            }
        }
        return images;
    }();
    for (std::size_t i = 0; i < upperWord.size(); i += text::charLength(upperWord, i)) {
        auto b = static_cast<unsigned char>(upperWord[i]);
        if (b >= 'A' && b <= 'Z') {
            return true;
        }
        if (text::charLength(upperWord, i) == 2 &&
            upperImages[(b << 8) | static_cast<unsigned char>(upperWord[i + 1])]) {
            return true;
        }
    }
    return false;
}

bool cellMatches(std::string_view cell, std::string_view upperWord)
{
    return !cell.empty() && text::findOnBoundary(upperForMatch(cell), upperWord) != std::string_view::npos;
}

namespace {

// Finds a plain ASCII word without regard to letter case (Horspool's
// method over case-folded bytes). Every byte the word matches is a character
// of its own once the first one starts a character.
class AsciiSearcher {
public:
    explicit AsciiSearcher(std::string_view word) : word_(word)
    {
        skip_.fill(word.size());
        for (std::size_t i = 0; i + 1 < word.size(); ++i) {
            const unsigned char c = fold(word[i]);
            skip_[c] = word.size() - 1 - i;
            skip_[c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c] = word.size() - 1 - i;
        }
    }
    std::size_t find(std::string_view hay, std::size_t from) const
    {
        const std::size_t n = word_.size();
        for (std::size_t at = from; n > 0 && at + n <= hay.size();) {
            std::size_t i = n;
            while (i > 0 && fold(hay[at + i - 1]) == fold(word_[i - 1])) {
                --i;
            }
            if (i == 0) {
                return at;
            }
            at += skip_[static_cast<unsigned char>(hay[at + n - 1])];
        }
        return std::string_view::npos;
    }

private:
    static unsigned char fold(char c)
    {
        return static_cast<unsigned char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    }
    std::string_view word_;
    std::array<std::size_t, 256> skip_{};
};

// Whether `at` starts a character: the run of lead-range bytes before it
// pairs up evenly (a byte that is no lead byte always ends a character).
bool startsCharacter(std::string_view s, std::size_t at)
{
    std::size_t run = at;
    while (run > 0 && text::isLeadByte(static_cast<unsigned char>(s[run - 1]))) {
        --run;
    }
    return (at - run) % 2 == 0;
}

std::vector<int> matchingColumns(const AlbumTable& table, int album, std::string_view upperWord, bool cased,
                                 bool asciiWord, const AsciiSearcher* asciiSearcher, std::string& buffer)
{
    std::vector<int> columns;
    if (upperWord.empty()) {
        return columns;
    }
    const std::string_view line = table.rowLine(album);
    // A word without letter case matches the cells as they are; a plain
    // ASCII word is found without regard to case directly in the line.
    std::string_view upper = line;
    if (cased && !asciiWord) {
        buffer = upperForMatch(line);
        upper = buffer;
    }
    auto find = [&](std::size_t from) -> std::size_t {
        if (!cased || !asciiWord) {
            return text::findOnBoundary(upper, upperWord, from);
        }
        for (std::size_t at = asciiSearcher->find(line, from); at != std::string::npos;
             at = asciiSearcher->find(line, at + 1)) {
            if (startsCharacter(line, at)) {
                return at;
            }
        }
        return std::string::npos;
    };
    std::size_t from = 0;
    AlbumTable::RowCells cells;
    bool haveCells = false;
    int column = 0;
    for (;;) {
        const std::size_t at = find(from);
        if (at == std::string::npos) {
            break;
        }
        if (!haveCells) {
            cells = table.rowCells(album);
            haveCells = true;
        }
        auto endOf = [&](int c) {
            const std::string_view cell = cells[static_cast<std::size_t>(c)];
            return static_cast<std::size_t>(cell.data() - line.data()) + cell.size();
        };
        while (column < kColumnCount - 1 && endOf(column) < at + 1) {
            ++column;
        }
        // The hit may start in the separator after a cell; it then belongs to
        // no cell and the search goes on from the next character.
        const std::size_t start =
            static_cast<std::size_t>(cells[static_cast<std::size_t>(column)].data() - line.data());
        if (at >= start && at + upperWord.size() <= endOf(column)) {
            columns.push_back(column);
            if (column == kColumnCount - 1) {
                break;
            }
            from = endOf(column);
            ++column;
            // Continue at the start of the next cell.
            from = static_cast<std::size_t>(cells[static_cast<std::size_t>(column)].data() - line.data());
        } else {
            from = at + text::charLength(upper, at);
        }
    }
    return columns;
}

}  // namespace

std::vector<SearchHit> search(const AlbumTable& table, const std::vector<int>& albumSet, int group,
                              std::string_view word, const Progress& progress)
{
    const std::string upperWord = upperForMatch(word);
    std::vector<SearchHit> hits;
    if (group < 0 || group > SearchAll) {
        return hits;
    }
    const int albums = table.albumCount();
    const bool cased = hasLetterCase(upperWord);
    const bool asciiWord = std::all_of(upperWord.begin(), upperWord.end(),
                                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    const AsciiSearcher searcher(upperWord);
    // Each album is scanned once; the passes then read what matched.
    std::vector<std::vector<int>> matches(albumSet.size());
    std::string buffer;
    for (std::size_t i = 0; i < albumSet.size(); ++i) {
        if (albumSet[i] >= 1 && albumSet[i] <= albums) {
            matches[i] = matchingColumns(table, albumSet[i], upperWord, cased, asciiWord, &searcher, buffer);
        }
    }
    auto pass = [&](int maximum, const std::function<void(int column, int album)>& visit) {
        if (progress) {
            progress(maximum, -1);
        }
        for (std::size_t i = 0; i < albumSet.size(); ++i) {
            for (int column : matches[i]) {
                visit(column, albumSet[i]);
            }
            if (progress) {
                progress(maximum, static_cast<int>(i));
            }
        }
    };
    auto songOf = [](int c) {
        if (c >= songTitleColumn(1) && c <= songTitleColumn(kSongSlots)) {
            return c - SongColumns;
        }
        if (c >= songArtistColumn(1) && c <= songArtistColumn(kSongSlots)) {
            return c - SongArtistColumns;
        }
        return c >= mediaColumn(1) ? c - MediaPathColumns : 0;
    };
    static constexpr int kFirstPass[] = {ArtistColumn, AlbumColumn, -1,          Memo1Column,
                                         Memo2Column,  Memo3Column, ArtistColumn};
    if (group == SearchSong) {
        pass(albums, [&](int c, int album) {
            if (c >= songTitleColumn(1) && c <= songTitleColumn(kSongSlots)) {
                hits.push_back({album, songOf(c)});
            }
        });
        return hits;
    }
    pass(static_cast<int>(albumSet.size()) - 1, [&](int c, int album) {
        if (c == kFirstPass[group]) {
            hits.push_back({album, 0});
        }
    });
    if (group == SearchArtist) {
        pass(albums, [&](int c, int album) {
            if (c >= songArtistColumn(1) && c <= songArtistColumn(kSongSlots)) {
                hits.push_back({album, songOf(c)});
            }
        });
    } else if (group == SearchAll) {
        pass(albums, [&](int c, int album) { hits.push_back({album, songOf(c)}); });
    }
    return hits;
}

std::vector<std::string> searchSuggestions(const AlbumTable& table, int group)
{
    static constexpr int kColumn[] = {ArtistColumn, AlbumColumn, -1, Memo1Column, Memo2Column, Memo3Column};
    if (group < 0 || group >= SearchAll) {
        return {};
    }
    std::vector<std::string> entries;
    std::unordered_set<std::string> seen;  // upper-cased
    auto add = [&](std::string_view cell) {
        if (seen.insert(upperForMatch(cell)).second) {
            entries.emplace_back(cell);
        }
    };
    for (int row = table.albumCount(); row >= 1; --row) {
        AlbumTable::RowCells cells = table.rowCells(row);
        if (group == SearchSong) {
            for (int n = 1; n <= kSongSlots; ++n) {
                add(cells[static_cast<std::size_t>(songTitleColumn(n))]);
            }
        } else {
            add(cells[static_cast<std::size_t>(kColumn[group])]);
        }
    }
    std::stable_sort(entries.begin(), entries.end(), lessAsText);
    return entries;
}

std::vector<int> groupColumns(int group)
{
    std::vector<int> columns;
    auto songs = [&](int (*column)(int)) {
        for (int n = 1; n <= kSongSlots; ++n) {
            columns.push_back(column(n));
        }
    };
    switch (group) {
        case 0:
            columns.push_back(ArtistColumn);
            songs(songArtistColumn);
            break;
        case 1:
            columns.push_back(FuriganaColumn);
            break;
        case 2:
            columns.push_back(AlbumColumn);
            break;
        case 3:
            songs(songTitleColumn);
            break;
        case 4:
            columns.push_back(Memo1Column);
            break;
        case 5:
            columns.push_back(Memo2Column);
            break;
        case 6:
            columns.push_back(Memo3Column);
            break;
        case 7:
            songs(mediaColumn);
            break;
        case 8:
            columns.push_back(ImagePathColumn);
            break;
        default:
            break;
    }
    return columns;
}

namespace {

// The characters after which a word starts.
const std::vector<std::string>& wordSeparators()
{
    static const std::vector<std::string> separators = [] {
        const std::u16string all =
            u" \u3000(\uFF08/\uFF0F)\uFF09,\u3001.\u3002[\u300E]\u300F<\u300C>\u300D?\uFF1F!"
            u"\uFF01&\uFF06\"\u201D-\uFF5E";
        std::vector<std::string> list;
        for (char16_t c : all) {
            list.push_back(text::fromUnicode(std::u16string_view(&c, 1)).bytes);
        }
        return list;
    }();
    return separators;
}

}  // namespace

std::string capitaliseWords(std::string_view cell)
{
    const std::string lower = text::toLowerCase(cell);
    const auto& separators = wordSeparators();
    std::string out;
    out.reserve(lower.size());
    bool capitaliseNext = true;
    for (std::size_t i = 0; i < lower.size();) {
        const std::size_t length = text::charLength(lower, i);
        std::string character = lower.substr(i, length);
        if (capitaliseNext) {
            character = text::toUpperCase(character);
        }
        capitaliseNext = std::find(separators.begin(), separators.end(), character) != separators.end();
        out += character;
        i += length;
    }
    return out;
}

std::string convertText(std::string_view cell, int kind)
{
    switch (kind) {
        case ToUpper:
            return text::toUpperCase(cell);
        case ToLower:
            return text::toLowerCase(cell);
        case CapitaliseWords:
            return capitaliseWords(cell);
        case ToFullWidth:
            return text::toFullWidth(cell);
        case ToHalfWidth:
            return text::toHalfWidth(cell);
        default:
            return std::string(cell);
    }
}

std::string replaceText(std::string_view cell, std::string_view find, std::string_view replacement)
{
    if (find.empty() || cell.empty()) {
        return std::string(cell);
    }
    // Upper-casing keeps byte lengths, so positions found in the upper-cased
    // cell are positions in the cell itself.
    const std::string upperCell = upperForMatch(cell);
    const std::string upperFind = upperForMatch(find);
    std::string out;
    std::size_t from = 0;
    for (;;) {
        std::size_t at = text::findOnBoundary(upperCell, upperFind, from);
        if (at == std::string::npos) {
            break;
        }
        out.append(cell.substr(from, at - from)).append(replacement);
        from = at + find.size();
    }
    out.append(cell.substr(from));
    return out;
}

namespace {

BulkResult rewriteAlbums(AlbumTable& table, const std::vector<int>& albumSet, int group,
                         const Progress& progress,
                         const std::function<std::string(std::string_view)>& rewrite)
{
    BulkResult result;
    const std::vector<int> columns = groupColumns(group);
    if (progress) {
        progress(static_cast<int>(albumSet.size()), -1);
    }
    for (std::size_t i = 0; i < albumSet.size(); ++i) {
        const int album = albumSet[i];
        if (album >= 1 && album <= table.albumCount()) {
            AlbumTable::RowCells cells = table.rowCells(album);
            std::vector<std::pair<int, std::string>> changes;
            for (int column : columns) {
                std::string_view cell = cells[static_cast<std::size_t>(column)];
                if (cell.empty()) {
                    continue;
                }
                std::string updated = rewrite(cell);
                if (updated == cell) {
                    continue;
                }
                // A result the data file could not carry keeps the old text.
                if (checkCell(column, updated) != CellProblem::None) {
                    ++result.refusedCells;
                    continue;
                }
                changes.emplace_back(column, std::move(updated));
            }
            if (!changes.empty()) {
                AlbumRecord record = table.record(album);
                for (auto& [column, text] : changes) {
                    record[column] = std::move(text);
                }
                table.setRecord(album, record);
                result.changedCells += static_cast<int>(changes.size());
            }
        }
        if (progress) {
            progress(static_cast<int>(albumSet.size()), static_cast<int>(i));
        }
    }
    return result;
}

}  // namespace

BulkResult convertAlbums(AlbumTable& table, const std::vector<int>& albumSet, int group, int kind,
                         const Progress& progress)
{
    return rewriteAlbums(table, albumSet, group, progress,
                         [kind](std::string_view cell) { return convertText(cell, kind); });
}

BulkResult replaceInAlbums(AlbumTable& table, const std::vector<int>& albumSet, int group,
                           std::string_view find, std::string_view replacement, const Progress& progress)
{
    return rewriteAlbums(table, albumSet, group, progress,
                         [&](std::string_view cell) { return replaceText(cell, find, replacement); });
}

}  // namespace velmora::textops
