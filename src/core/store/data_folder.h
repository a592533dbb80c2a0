// The folder that holds the catalogue, the settings and the list files.
#pragma once

#include <filesystem>
#include <string_view>

namespace velmora::store {

class DataFolder {
public:
    explicit DataFolder(std::filesystem::path dir) : dir_(std::move(dir)) {}

    // The folder of the running executable: the program is portable and
    // keeps its files beside itself.
    static std::filesystem::path executableDir();

    const std::filesystem::path& dir() const { return dir_; }
    std::filesystem::path file(std::string_view name) const { return dir_ / std::filesystem::path(name); }
    std::filesystem::path dataFile() const { return file("VLM.dat"); }
    std::filesystem::path settingsFile() const { return file("VLM.ini"); }
    std::filesystem::path helpFile() const { return file("help.html"); }

private:
    std::filesystem::path dir_;
};

}  // namespace velmora::store
