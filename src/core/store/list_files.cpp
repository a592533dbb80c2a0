#include "store/list_files.h"

#include "store/atomic_file.h"
#include "store/data_file.h"
#include "store/file_bytes.h"
#include "store/settings.h"
#include "text/cp932.h"

namespace velmora::store {

namespace {

std::string sjis(std::u16string_view text)
{
    return text::fromUnicode(text).bytes;
}

}  // namespace

std::optional<std::vector<std::string>> readListFile(const std::filesystem::path& file, FileError* error)
{
    FileBytes bytes;
    FileError failure;
    if (!readWholeFile(file, bytes, &failure)) {
        std::error_code ec;
        if ((std::filesystem::exists(file, ec) || ec) && error) {
            *error = std::move(failure);
        }
        return std::nullopt;
    }
    std::vector<std::string> entries;
    for (std::string_view line : splitLines(bytes.view())) {
        entries.emplace_back(line);
    }
    return entries;
}

bool writeListFile(const std::filesystem::path& file, const std::vector<std::string>& entries,
                   FileError* error)
{
    std::vector<std::string_view> pieces;
    pieces.reserve(entries.size() * 2);
    for (const std::string& entry : entries) {
        pieces.emplace_back(entry);
        pieces.emplace_back("\r\n");
    }
    AtomicFileWriter writer(file);
    const bool ok = writer.open() && writer.writePieces(pieces) && writer.commit();
    if (!ok && error) {
        *error = writer.error();
    }
    return ok;
}

const SiteTable& builtInSites()
{
    static const SiteTable table{
        {sjis(u"サイト名"), sjis(u"google（日本語)"), "HMV", "Tower Records"},
        {sjis(u"先頭"), "http://www.google.co.jp/search?num=50&lr=lang_ja&q=",
         "http://www.hmv.co.jp/search/title.asp?category=KEYWORDS&keyword=",
         "http://tower.jp/sitemap/CSfSearchResults.jsp?keyword=AllKey&entry="},
        {sjis(u"最後"), "", "", "&GOODS_SORT_CD=101&SEARCH_GENRE=ALL&x=16&y=10"},
    };
    return table;
}

ListFiles::ListFiles()
    : siteNames(builtInSites().names), siteHeads(builtInSites().heads), siteTails(builtInSites().tails)
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

bool ListFiles::loadAll(const std::filesystem::path& folder, FileError* error)
{
    const ListFiles builtIn;
    const auto from = builtIn.all();
    const auto lists = all();
    bool ok = true;
    for (std::size_t i = 0; i < lists.size(); ++i) {
        FileError failure;
        std::optional<std::vector<std::string>> entries = readListFile(folder / kListFileNames[i], &failure);
        if (entries) {
            *lists[i] = std::move(*entries);
            continue;
        }
        *lists[i] = *from[i];
        if (!failure.path.empty() && ok) {
            ok = false;
            if (error) {
                *error = std::move(failure);
            }
        }
    }
    return ok;
}

bool ListFiles::saveAll(const std::filesystem::path& folder, FileError* error) const
{
    const auto lists = all();
    for (std::size_t i = 0; i < lists.size(); ++i) {
        if (!writeListFile(folder / kListFileNames[i], *lists[i], error)) {
            return false;
        }
    }
    return true;
}

bool saveSettingsAndLists(const std::filesystem::path& folder, const Settings& settings,
                          const ListFiles& lists, FileError* error)
{
    return saveSettingsFile(folder / kSettingsFileName, settings, error) && lists.saveAll(folder, error);
}

}  // namespace velmora::store
