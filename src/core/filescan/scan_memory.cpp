#include "core/filescan/scan_memory.h"

#include <unicode/ustring.h>

#include <algorithm>
#include <charconv>
#include <fstream>
#include <functional>

#include "core/filescan/tag_text.h"
#include "core/store/atomic_file.h"

namespace velmora::filescan {

namespace {

constexpr std::string_view kHeader = "velmora scan cache 1";

std::string utf8Of(std::u16string_view text)
{
    if (text.empty()) {
        return {};
    }
    std::string out(text.size() * 3, '\0');
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strToUTF8(out.data(), static_cast<int32_t>(out.size()), &length,
                reinterpret_cast<const UChar*>(text.data()), static_cast<int32_t>(text.size()), &status);
    if (U_FAILURE(status)) {
        return {};
    }
    out.resize(static_cast<std::size_t>(length));
    return out;
}

bool holdsLineBreakOrTab(std::string_view text)
{
    return text.find_first_of("\t\r\n") != std::string_view::npos;
}

bool number(std::string_view text, std::int64_t& value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

// Whether `path` lies in the folder `root` (or is it).
bool under(std::string_view path, std::string_view root)
{
    if (root == "/") {
        return !path.empty() && path.front() == '/';
    }
    return path.starts_with(root) && (path.size() == root.size() || path[root.size()] == '/');
}

// Whether a file can be written into the memory's file: a line break would
// end its line early, a tab in the album would shift the fields, and an
// album that is no text (a lone surrogate) has no UTF-8 form. Such a file
// is simply read every time.
bool storable(std::string_view path, std::u16string_view album)
{
    if (path.empty() || holdsLineBreakOrTab(path)) {
        return false;
    }
    bool surrogates = false;
    for (char16_t c : album) {
        if (c == u'\t' || c == u'\r' || c == u'\n') {
            return false;
        }
        surrogates = surrogates || (c >= 0xD800 && c <= 0xDFFF);
    }
    return !surrogates || !utf8Of(album).empty();
}

}  // namespace

ScanMemory ScanMemory::load(const std::filesystem::path& file)
{
    ScanMemory memory;
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    if (!in) {
        return memory;
    }
    const std::streamoff length = in.tellg();
    if (length <= 0) {
        return memory;
    }
    // The paths stay where they were read.
    std::string& text = memory.paths_;
    text.assign(static_cast<std::size_t>(length), '\0');
    in.seekg(0);
    if (!in.read(text.data(), static_cast<std::streamsize>(text.size()))) {
        return ScanMemory();
    }
    memory.entries_.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')));
    const std::string_view rest0 = text;
    std::string_view rest = rest0;
    auto nextLine = [&rest](std::string_view& line) {
        if (rest.empty()) {
            return false;
        }
        const std::size_t end = rest.find('\n');
        line = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        return true;
    };
    std::string_view line;
    if (!nextLine(line) || line != kHeader) {
        return ScanMemory();
    }
    while (nextLine(line)) {
        // size, time, tags, album, path (the path last: it may hold a tab).
        std::string_view fields[4];
        bool whole = true;
        for (std::string_view& field : fields) {
            const std::size_t tab = line.find('\t');
            if (tab == std::string_view::npos) {
                whole = false;
                break;
            }
            field = line.substr(0, tab);
            line.remove_prefix(tab + 1);
        }
        RememberedFile remembered;
        if (!whole || line.empty() || !number(fields[0], remembered.size) ||
            !number(fields[1], remembered.modified) || (fields[2] != "0" && fields[2] != "1")) {
            return ScanMemory();  // not written by this program: start afresh
        }
        std::optional<std::u16string> album = utf16FromUtf8(fields[3]);
        if (!album) {
            return ScanMemory();
        }
        remembered.hasTags = fields[2] == "1";
        remembered.album = std::move(*album);
        memory.put(static_cast<std::size_t>(line.data() - rest0.data()), line.size(), std::move(remembered));
    }
    return memory;
}

bool ScanMemory::save(const std::filesystem::path& file, store::FileError* error) const
{
    std::string text(kHeader);
    text += '\n';
    for (const Entry& entry : entries_) {
        const RememberedFile& remembered = entry.file;
        text += std::to_string(remembered.size);
        text += '\t';
        text += std::to_string(remembered.modified);
        text += remembered.hasTags ? "\t1\t" : "\t0\t";
        text += utf8Of(remembered.album);
        text += '\t';
        text += pathOf(entry);
        text += '\n';
    }
    return store::writeFileAtomically(file, text, error);
}

std::size_t ScanMemory::slotOf(std::string_view path, std::size_t hash) const
{
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t index = hash & mask;; index = (index + 1) & mask) {
        const Slot& slot = slots_[index];
        if (slot.entry == 0 || (slot.hash == hash && pathOf(entries_[slot.entry - 1]) == path)) {
            return index;
        }
    }
}

const ScanMemory::Entry* ScanMemory::entryOf(std::string_view path) const
{
    if (entries_.empty()) {
        return nullptr;
    }
    const Slot& slot = slots_[slotOf(path, std::hash<std::string_view>{}(path))];
    return slot.entry == 0 ? nullptr : &entries_[slot.entry - 1];
}

void ScanMemory::put(std::size_t offset, std::size_t length, RememberedFile file)
{
    if ((entries_.size() + 1) * 2 > slots_.size()) {
        std::vector<Slot> old = std::move(slots_);
        slots_.assign(std::max<std::size_t>(64, old.size() * 2), Slot{});
        const std::size_t mask = slots_.size() - 1;
        for (const Slot& slot : old) {
            if (slot.entry != 0) {
                std::size_t index = slot.hash & mask;
                while (slots_[index].entry != 0) {
                    index = (index + 1) & mask;
                }
                slots_[index] = slot;
            }
        }
    }
    const std::string_view path = std::string_view(paths_).substr(offset, length);
    const std::size_t hash = std::hash<std::string_view>{}(path);
    Slot& slot = slots_[slotOf(path, hash)];
    if (slot.entry != 0) {
        entries_[slot.entry - 1].file = std::move(file);
        return;
    }
    entries_.push_back(Entry{offset, length, std::move(file)});
    slot = Slot{hash, entries_.size()};
}

void ScanMemory::put(std::string_view path, RememberedFile file)
{
    const std::size_t offset = paths_.size();
    paths_.append(path);
    const std::size_t kept = entries_.size();
    put(offset, path.size(), std::move(file));
    if (entries_.size() == kept) {
        paths_.resize(offset);  // a path remembered already: its bytes are there
    }
}

const RememberedFile* ScanMemory::find(const std::string& path, std::int64_t size,
                                       std::int64_t modified) const
{
    const Entry* entry = entryOf(path);
    if (entry == nullptr || entry->file.size != size || entry->file.modified != modified) {
        return nullptr;
    }
    return &entry->file;
}

void ScanMemory::replaceUnder(std::string_view root,
                              std::vector<std::pair<std::string, RememberedFile>> found,
                              std::vector<const RememberedFile*> unchanged)
{
    const std::less<const RememberedFile*> order;
    std::sort(unchanged.begin(), unchanged.end(), order);
    ScanMemory fresh;  // what was read, the last of each path
    for (auto& [path, remembered] : found) {
        if (storable(path, remembered.album)) {
            fresh.put(path, std::move(remembered));
        }
    }
    if (fresh.entries_.empty()) {
        // The usual rescan: everything remembered there was found as it was.
        const bool allUnchanged = std::all_of(entries_.begin(), entries_.end(), [&](const Entry& entry) {
            return !under(pathOf(entry), root) ||
                   std::binary_search(unchanged.begin(), unchanged.end(), &entry.file, order);
        });
        if (allUnchanged) {
            return;
        }
    }
    ScanMemory next;
    next.paths_.reserve(paths_.size());
    next.entries_.reserve(entries_.size() + fresh.entries_.size());
    std::size_t same = 0;
    for (Entry& entry : entries_) {
        const std::string_view path = pathOf(entry);
        if (!under(path, root) ||
            std::binary_search(unchanged.begin(), unchanged.end(), &entry.file, order)) {
            next.put(path, std::move(entry.file));
            continue;
        }
        const Entry* read = fresh.entryOf(path);
        if (read != nullptr && read->file == entry.file) {
            ++same;
        } else {
            changed_ = true;
        }
    }
    if (same != fresh.size()) {
        changed_ = true;
    }
    for (Entry& entry : fresh.entries_) {
        const std::string_view path = fresh.pathOf(entry);
        if (next.entryOf(path) == nullptr) {
            next.put(path, std::move(entry.file));
        }
    }
    paths_ = std::move(next.paths_);
    entries_ = std::move(next.entries_);
    slots_ = std::move(next.slots_);
}

}  // namespace velmora::filescan
