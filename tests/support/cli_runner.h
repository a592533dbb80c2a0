// Runs velmora-cli's commands in-process over a temporary data folder.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "support/temp_dir.h"

namespace velmora::test {

struct CliResult {
    int code;
    std::string out;
    std::string err;
};

inline CliResult runCli(const TempDir& dir, std::vector<std::string> args)
{
    args.insert(args.begin(), {"--data-dir", dir.path().string()});
    std::ostringstream out;
    std::ostringstream err;
    int code = cli::run(args, out, err);
    return {code, out.str(), err.str()};
}

}  // namespace velmora::test
