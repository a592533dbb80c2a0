// velmora-cli: the catalogue of a data folder, without windows.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace velmora::cli {

// Runs one command. `args` are the arguments after the program name. Output
// is UTF-8; errors go to `err` and give exit code 2.
int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace velmora::cli
