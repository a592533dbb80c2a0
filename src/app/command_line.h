// The command line of the windowed program: --version, --help (-h) and
// --data-dir. The answers to --version and --help need no display.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace velmora::app {

// What the arguments ask for.
struct StartRequest {
    enum class Kind {
        Start,    // open the windows on `dataDir` (empty: the default folder)
        Version,  // print versionText()
        Help,     // print helpText()
        Invalid,  // print `message` and stop with exit code 2
    };
    Kind kind = Kind::Start;
    std::filesystem::path dataDir;
    std::string message;  // UTF-8
};

// Reads the arguments after the program name. --version and --help win
// wherever they stand, so that they can be answered before Qt takes its own
// options (-style, -platform ...) out of the arguments; anything else
// unknown is Invalid.
StartRequest parseStartArguments(const std::vector<std::string>& args);

// "velmora 2.20": the package version, one line with its line feed.
std::string versionText(const std::string& programName);

// The usage text, in Japanese, naming the folder used without --data-dir.
std::string helpText(const std::filesystem::path& defaultDataDir);

// Makes sure the folder given with --data-dir exists: creates it (and its
// parents) when missing. False with a Japanese message when it cannot be
// created or is not a folder.
bool prepareDataDir(const std::filesystem::path& dir, std::string* message);

// Prints the answer to --version or --help on stdout: the exit code then,
// nothing when the program is to start.
std::optional<int> answerInformationRequest(int argc, char** argv);

// The data folder to open, once QApplication has taken its own options out
// of the arguments: the one given with --data-dir (created when missing)
// or the default one. Nothing after telling why (on stderr, and in a
// message box for a folder that cannot be created).
std::optional<std::filesystem::path> chooseDataFolder();

// Exit code of a start refused for its arguments or its data folder.
inline constexpr int kStartFailed = 2;

}  // namespace velmora::app
