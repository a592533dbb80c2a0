#include "backends/cd_drive.h"

#include <cdio/cdio.h>
#include <cdio/logging.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <sstream>

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

DriveRead readDisc(const std::string& element)
{
    quietenLibcdio();
    DriveRead result;
    std::error_code ec;
    if (element.empty() || !std::filesystem::exists(element, ec)) {
        return result;
    }
    result.state = DriveState::NoDisc;
    CdIo_t* cdio = cdio_open(element.c_str(), DRIVER_UNKNOWN);
    if (cdio == nullptr) {
        // A file that is no disc image, or a drive without a disc.
        return result;
    }
    const track_t first = cdio_get_first_track_num(cdio);
    const track_t count = cdio_get_num_tracks(cdio);
    if (first != CDIO_INVALID_TRACK && count != CDIO_INVALID_TRACK && count > 0) {
        const lsn_t origin = cdio_get_track_lsn(cdio, first);
        std::vector<lsn_t> starts;
        for (track_t t = first; t < first + count; ++t) {
            starts.push_back(cdio_get_track_lsn(cdio, t));
        }
        starts.push_back(cdio_get_track_lsn(cdio, CDIO_CDROM_LEADOUT_TRACK));
        const bool valid =
            std::none_of(starts.begin(), starts.end(), [](lsn_t lsn) { return lsn == CDIO_INVALID_LSN; });
        if (valid) {
            for (std::size_t i = 0; i + 1 < starts.size(); ++i) {
                result.toc.trackStarts.push_back(starts[i] - origin);
                result.toc.trackFrames.push_back(std::max<std::int64_t>(0, starts[i + 1] - starts[i]));
            }
            result.toc.firstTrack = first;
            result.toc.firstAddress = origin;
            result.state = DriveState::Disc;
        }
    }
    cdio_destroy(cdio);
    return result;
}

}  // namespace velmora::media
