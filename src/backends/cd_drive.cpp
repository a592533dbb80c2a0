#include "backends/cd_drive.h"

#include <cdio/cdio.h>
#include <cdio/logging.h>

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <regex>
#include <sstream>

#include "backends/cue_sheet.h"
#include "core/discdata/disc_reader.h"

namespace velmora::media {

namespace {

// libcdio reports every unreadable image or empty drive on stderr; the
// program tells the user itself.
void quietLog(cdio_log_level_t level, const char* message)
{
    (void)level;
    (void)message;
}

void quietenLibcdio()
{
    static std::once_flag once;
    std::call_once(once, [] { cdio_log_set_handler(quietLog); });
}

std::string canonicalOrSelf(const std::string& path)
{
    std::error_code ec;
    std::filesystem::path real = std::filesystem::canonical(path, ec);
    return ec ? path : real.string();
}

std::string lowerExtension(const std::string& path)
{
    std::string extension = std::filesystem::path(path).extension().string();
    for (char& c : extension) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return extension;
}

// A copy of the cdrdao TOC file at `tocPath` whose data files (named
// relative to the TOC file) are named by full path; its path, or nothing
// when no copy could be written.
std::string writeTocCopy(const std::string& tocPath)
{
    std::ifstream in(tocPath, std::ios::binary);
    if (!in) {
        return {};
    }
    std::ostringstream text;
    text << in.rdbuf();
    const std::filesystem::path folder = std::filesystem::absolute(tocPath).parent_path();
    // FILE "name", AUDIOFILE "name", DATAFILE "name": the quoted name,
    // escapes kept as written.
    static const std::regex named(R"re((\b(?:AUDIO|DATA)?FILE\s+)"((?:[^"\\]|\\.)*)")re");
    std::string rewritten;
    std::string rest = text.str();
    std::smatch match;
    while (std::regex_search(rest, match, named)) {
        std::string name = match[2].str();
        if (!name.empty() && name.front() != '/') {
            // The folder escaped as the file format wants; the name as it
            // was written.
            std::string escaped;
            for (char c : folder.string() + "/") {
                if (c == '"' || c == '\\') {
                    escaped += '\\';
                }
                escaped += c;
            }
            name = escaped + name;
        }
        rewritten += match.prefix().str() + match[1].str() + '"' + name + '"';
        rest = match.suffix().str();
    }
    rewritten += rest;
    std::string pattern = (std::filesystem::temp_directory_path() / "velmora-toc-XXXXXX.toc").string();
    const int fd = mkstemps(pattern.data(), 4);
    if (fd < 0) {
        return {};
    }
    const bool written =
        ::write(fd, rewritten.data(), rewritten.size()) == static_cast<ssize_t>(rewritten.size());
    ::close(fd);
    if (!written) {
        std::error_code ec;
        std::filesystem::remove(pattern, ec);
        return {};
    }
    return pattern;
}

// The lengths and starts the players use, from the tracks' addresses.
void fillToc(DriveRead& result)
{
    const discdata::DiscLayout& layout = result.layout;
    const std::int64_t origin = layout.tracks.front().address;
    for (std::size_t i = 0; i < layout.tracks.size(); ++i) {
        const std::int64_t start = layout.tracks[i].address;
        const std::int64_t end = i + 1 < layout.tracks.size() ? layout.tracks[i + 1].address : layout.leadout;
        result.toc.trackStarts.push_back(start - origin);
        result.toc.trackFrames.push_back(end - start);
    }
    result.toc.firstTrack = layout.tracks.front().number;
    result.toc.firstAddress = origin;
}

// A disc whose tracks end before they start is no disc to play or name.
bool refuseDamaged(DriveRead& result)
{
    const discdata::LayoutTable table = discdata::discTableFromLayout(result.layout);
    if (table.problem != discdata::LayoutProblem::Damaged) {
        return false;
    }
    result.state = DriveState::Damaged;
    result.problem = discdata::layoutProblemText(table);
    result.toc = {};
    return true;
}

DriveRead readCue(const std::string& element)
{
    DriveRead result;
    result.state = DriveState::NoDisc;
    const CueReading reading = readCueSheet(element);
    if (!reading.sheet) {
        if (!reading.error.empty()) {
            result.state = DriveState::Damaged;
            result.problem = reading.error;
        }
        return result;
    }
    result.layout = reading.sheet->layout;
    if (refuseDamaged(result)) {
        return result;
    }
    fillToc(result);
    // Each audio track is played from its own file.
    const CueSheet& sheet = *reading.sheet;
    for (std::size_t i = 0; i < sheet.places.size(); ++i) {
        TrackSource source;
        const CueTrackPlace& place = sheet.places[i];
        const CueFile& file = sheet.files[place.file];
        if (sheet.layout.tracks[i].audio) {
            source.file = file.path.string();
            source.raw = file.type == "BINARY" || file.type == "MOTOROLA";
            source.bigEndian = file.type == "MOTOROLA";
            source.start = place.start;
            source.end = file.sectors;
            if (i + 1 < sheet.places.size() && sheet.places[i + 1].file == place.file) {
                source.end = sheet.places[i + 1].start;
            }
        }
        result.toc.sources.push_back(std::move(source));
    }
    result.state = DriveState::Disc;
    return result;
}

// The drive layer's reading for the windows' disc identifiers.
const bool kReaderInstalled = [] {
    discdata::installDiscReader([](const std::string& element) {
        const DiscIdentity identity = readDiscIdentity(element);
        discdata::DiscReading reading;
        reading.available = identity.state != DriveState::Missing;
        reading.refused = identity.state == DriveState::Damaged;
        reading.layout = identity.layout;
        reading.problem = identity.problem;
        return reading;
    });
    return true;
}();

}  // namespace

std::vector<std::string> listCdDrives()
{
    quietenLibcdio();
    std::vector<std::string> drives;
    if (char** devices = cdio_get_devices(DRIVER_DEVICE)) {
        for (char** d = devices; *d != nullptr; ++d) {
            drives.emplace_back(*d);
        }
        cdio_free_device_list(devices);
    }
    std::sort(drives.begin(), drives.end());
    // /dev/cdrom and /dev/sr0 are one drive: keep the first name of each.
    std::vector<std::string> unique;
    std::vector<std::string> seen;
    for (const std::string& drive : drives) {
        const std::string real = canonicalOrSelf(drive);
        if (std::find(seen.begin(), seen.end(), real) == seen.end()) {
            seen.push_back(real);
            unique.push_back(drive);
        }
    }
    if (const char* images = std::getenv("VELMORA_CD_DEVICES")) {
        std::stringstream list(images);
        std::string path;
        while (std::getline(list, path, ':')) {
            if (!path.empty() && std::find(unique.begin(), unique.end(), path) == unique.end()) {
                unique.push_back(path);
            }
        }
    }
    return unique;
}

CdioElement::CdioElement(const std::string& element) : path_(element)
{
    std::error_code ec;
    if (lowerExtension(element) == ".toc" && std::filesystem::is_regular_file(element, ec)) {
        copy_ = writeTocCopy(element);
        if (!copy_.empty()) {
            path_ = copy_;
        }
    }
}

CdioElement::~CdioElement()
{
    if (!copy_.empty()) {
        std::error_code ec;
        std::filesystem::remove(copy_, ec);
    }
}

DriveRead readDisc(const std::string& element)
{
    quietenLibcdio();
    DriveRead result;
    std::error_code ec;
    if (element.empty() || !std::filesystem::exists(element, ec)) {
        return result;
    }
    const std::string extension = lowerExtension(element);
    if (extension == ".cue" && std::filesystem::is_regular_file(element, ec)) {
        return readCue(element);
    }
    result.state = DriveState::NoDisc;
    const CdioElement opened(element);
    CdIo_t* cdio = cdio_open(opened.path().c_str(), DRIVER_UNKNOWN);
    if (cdio == nullptr) {
        // A file that is no disc image, or a drive without a disc.
        return result;
    }
    const track_t first = cdio_get_first_track_num(cdio);
    const track_t count = cdio_get_num_tracks(cdio);
    if (first != CDIO_INVALID_TRACK && count != CDIO_INVALID_TRACK && count > 0) {
        bool valid = true;
        for (track_t t = first; t < first + count; ++t) {
            const lsn_t lsn = cdio_get_track_lsn(cdio, t);
            valid = valid && lsn != CDIO_INVALID_LSN;
            result.layout.tracks.push_back({t, lsn, cdio_get_track_format(cdio, t) == TRACK_FORMAT_AUDIO});
        }
        const lsn_t leadout = cdio_get_track_lsn(cdio, CDIO_CDROM_LEADOUT_TRACK);
        valid = valid && leadout != CDIO_INVALID_LSN;
        result.layout.leadout = leadout;
        if (!valid) {
            result.layout = {};
        } else if (!refuseDamaged(result)) {
            fillToc(result);
            result.state = DriveState::Disc;
        }
    }
    cdio_destroy(cdio);
    return result;
}

DiscIdentity readDiscIdentity(const std::string& element)
{
    DiscIdentity identity;
    const DriveRead read = readDisc(element);
    identity.state = read.state;
    identity.trackFrames = read.toc.trackFrames;
    switch (read.state) {
        case DriveState::Missing:
            identity.problem = "CDドライブかディスクイメージが見つかりません: " + element;
            return identity;
        case DriveState::Damaged:
            identity.problem = read.problem;
            return identity;
        case DriveState::NoDisc:
            identity.problem = "読み込めません";
            return identity;
        case DriveState::Disc:
            break;
    }
    identity.layout = discdata::discTableFromLayout(read.layout);
    identity.problem = discdata::layoutProblemText(identity.layout);
    return identity;
}

}  // namespace velmora::media
