#include "core/store/data_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>

namespace velmora::store {

namespace {

// An installed program's own files: "<prefix>/share/velmora" beside
// "<prefix>/bin".
std::filesystem::path installedShareDir(const std::filesystem::path& programDir)
{
    return programDir.parent_path() / "share" / "velmora";
}

}  // namespace

std::filesystem::path DataFolder::executableDir()
{
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) {
        return std::filesystem::current_path(ec);
    }
    return exe.parent_path();
}

bool DataFolder::isInstalled(const std::filesystem::path& programDir)
{
    std::error_code ec;
    if (programDir.filename() == "bin" && std::filesystem::is_directory(installedShareDir(programDir), ec)) {
        return true;
    }
    return ::access(programDir.c_str(), W_OK) != 0;
}

std::filesystem::path DataFolder::defaultDir(const std::filesystem::path& programDir, const char* xdgDataHome,
                                             const char* home)
{
    if (!isInstalled(programDir)) {
        return programDir;
    }
    // The base directory specification: an unset, empty or relative value
    // is ignored.
    if (xdgDataHome != nullptr && std::filesystem::path(xdgDataHome).is_absolute()) {
        return std::filesystem::path(xdgDataHome) / "velmora";
    }
    if (home != nullptr && *home != '\0') {
        return std::filesystem::path(home) / ".local" / "share" / "velmora";
    }
    return programDir;
}

std::filesystem::path DataFolder::defaultDir()
{
    const std::filesystem::path programDir = executableDir();
    std::filesystem::path dir = defaultDir(programDir, std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
    if (dir != programDir) {
        // The user's data folder may not exist yet on a first start.
        std::error_code ec;
        std::filesystem::create_directories(dir, ec);
    }
    return dir;
}

std::filesystem::path DataFolder::helpDir(const std::filesystem::path& programDir)
{
    std::error_code ec;
    if (!std::filesystem::exists(programDir / "help.html", ec) &&
        std::filesystem::exists(installedShareDir(programDir) / "help.html", ec)) {
        return installedShareDir(programDir);
    }
    return programDir;
}

bool DataFolder::create(FileError* error) const
{
    std::error_code ec;
    std::filesystem::create_directories(dir_, ec);
    if (ec && !std::filesystem::is_directory(dir_)) {
        if (error) {
            *error = {dir_.string(), describeErrno(ec.value())};
        }
        return false;
    }
    return true;
}

bool DataFolder::check(FileError* error) const
{
    struct stat st {};
    int problem = ENOTDIR;
    if (::stat(dir_.c_str(), &st) != 0) {
        problem = errno;
    } else if (S_ISDIR(st.st_mode)) {
        return true;
    }
    if (error) {
        // A save would fail creating its temporary file in the folder: the
        // data file is named, with the same reason.
        *error = {dataFile().string(), describeErrno(problem)};
    }
    return false;
}

}  // namespace velmora::store
