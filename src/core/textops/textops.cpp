#include "textops/textops.h"

#include <algorithm>
#include <array>
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
    std::sort(albums.begin(), albums.end(),
              [](int a, int b) { return std::to_string(a) < std::to_string(b); });
    return albums;
}

std::string upperForMatch(std::string_view cp932)
{
    const auto& table = upperTable();
    std::string out(cp932);
    for (std::size_t i = 0; i < out.size();) {
        auto b = static_cast<unsigned char>(out[i]);
        if (b >= 'a' && b <= 'z') {
            out[i] = static_cast<char>(b - 'a' + 'A');
            ++i;
        } else if (text::isLeadByte(b) && i + 1 < out.size()) {
            std::uint16_t upper = table[(b << 8) | static_cast<unsigned char>(out[i + 1])];
            if (upper != 0) {
                out[i] = static_cast<char>(upper >> 8);
                out[i + 1] = static_cast<char>(upper & 0xFF);
            }
            i += 2;
        } else {
            ++i;
        }
    }
    return out;
}

bool cellMatches(std::string_view cell, std::string_view upperWord)
{
    return !cell.empty() && text::findOnBoundary(upperForMatch(cell), upperWord) != std::string_view::npos;
}

std::vector<SearchHit> search(const AlbumTable& table, const std::vector<int>& albumSet, int group,
                              std::string_view word, const Progress& progress)
{
    const std::string upperWord = upperForMatch(word);
    std::vector<SearchHit> hits;
    const int albums = table.albumCount();
    auto pass = [&](int maximum, const std::function<void(const AlbumTable::RowCells&, int)>& visit) {
        if (progress) {
            progress(maximum, -1);
        }
        for (std::size_t i = 0; i < albumSet.size(); ++i) {
            const int album = albumSet[i];
            if (album >= 1 && album <= albums) {
                visit(table.rowCells(album), album);
            }
            if (progress) {
                progress(maximum, static_cast<int>(i));
            }
        }
    };
    auto matches = [&](std::string_view cell) { return cellMatches(cell, upperWord); };
    static constexpr int kFirstPass[] = {ArtistColumn, AlbumColumn, -1,          Memo1Column,
                                         Memo2Column,  Memo3Column, ArtistColumn};
    if (group == SearchSong) {
        pass(albums, [&](const AlbumTable::RowCells& cells, int album) {
            for (int n = 1; n <= kSongSlots; ++n) {
                if (matches(cells[static_cast<std::size_t>(songTitleColumn(n))])) {
                    hits.push_back({album, n});
                }
            }
        });
        return hits;
    }
    if (group < 0 || group > SearchAll) {
        return hits;
    }
    const int column = kFirstPass[group];
    pass(static_cast<int>(albumSet.size()) - 1, [&](const AlbumTable::RowCells& cells, int album) {
        if (matches(cells[static_cast<std::size_t>(column)])) {
            hits.push_back({album, 0});
        }
    });
    if (group == SearchArtist) {
        pass(albums, [&](const AlbumTable::RowCells& cells, int album) {
            for (int n = 1; n <= kSongSlots; ++n) {
                if (matches(cells[static_cast<std::size_t>(songArtistColumn(n))])) {
                    hits.push_back({album, n});
                }
            }
        });
    } else if (group == SearchAll) {
        pass(albums, [&](const AlbumTable::RowCells& cells, int album) {
            for (int c = 0; c < kColumnCount; ++c) {
                if (!matches(cells[static_cast<std::size_t>(c)])) {
                    continue;
                }
                int song = 0;
                if (c >= songTitleColumn(1) && c <= songTitleColumn(kSongSlots)) {
                    song = c - SongColumns;
                } else if (c >= songArtistColumn(1) && c <= songArtistColumn(kSongSlots)) {
                    song = c - SongArtistColumns;
                } else if (c >= mediaColumn(1)) {
                    song = c - MediaPathColumns;
                }
                hits.push_back({album, song});
            }
        });
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
