#include <signal.h>
#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace {

// Commands map VLM.dat into memory while they read it. Should another
// program cut the file short meanwhile, reading the part it lost raises
// SIGBUS: the command then stops with a message rather than a crash. The
// catalogue is untouched, since a save writes a new file and renames it.
extern "C" void stopOnShortenedFile(int)
{
    static constexpr char kMessage[] =
        "データファイルが読み込み中にほかのプログラムによって書き換えられたため、中止しました。"
        "もう一度実行してください。\n";
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, kMessage, sizeof kMessage - 1);
    ::_exit(2);
}

}  // namespace

int main(int argc, char** argv)
{
    struct sigaction action {};
    action.sa_handler = stopOnShortenedFile;
    ::sigemptyset(&action.sa_mask);
    ::sigaction(SIGBUS, &action, nullptr);
    std::ios::sync_with_stdio(false);
    std::vector<std::string> args(argv + 1, argv + argc);
    return velmora::cli::run(args, std::cout, std::cerr);
}
