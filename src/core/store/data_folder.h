// The folder that holds the catalogue, the settings and the list files.
//
// A portable copy keeps them beside the program, as it always did. An
// installed program (its folder cannot be written, or it lies in a
// "bin" folder beside "share/velmora") keeps them in the user's data
// folder, $XDG_DATA_HOME/velmora (~/.local/share/velmora by default).
#pragma once

#include <filesystem>
#include <string_view>

#include "core/store/file_error.h"

namespace velmora::store {

class DataFolder {
public:
    explicit DataFolder(std::filesystem::path dir) : dir_(std::move(dir)) {}

    // The folder of the running executable.
    static std::filesystem::path executableDir();

    // The data folder of a program started without --data-dir: see above.
    // `xdgDataHome` and `home` are the environment's values (may be null).
    static std::filesystem::path defaultDir(const std::filesystem::path& programDir, const char* xdgDataHome,
                                            const char* home);
    // The same for this process and its environment; the user's data
    // folder is created when it is chosen and missing.
    static std::filesystem::path defaultDir();

    // Whether a program in `programDir` is an installed one.
    static bool isInstalled(const std::filesystem::path& programDir);

    // The folder of the help page: beside a portable program, in
    // "share/velmora" beside the "bin" folder of an installed one.
    static std::filesystem::path helpDir(const std::filesystem::path& programDir);

    const std::filesystem::path& dir() const { return dir_; }
    std::filesystem::path file(std::string_view name) const { return dir_ / std::filesystem::path(name); }
    std::filesystem::path dataFile() const { return file("VLM.dat"); }
    std::filesystem::path settingsFile() const { return file("VLM.ini"); }
    std::filesystem::path helpFile() const { return file("help.html"); }

    // Creates the folder (and its parents) when it is missing. False with
    // the reason when it cannot.
    bool create(FileError* error) const;
    // Whether the folder exists as a folder; otherwise `error` says why, in
    // the words a save into it would use.
    bool check(FileError* error) const;

private:
    std::filesystem::path dir_;
};

}  // namespace velmora::store
