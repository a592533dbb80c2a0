#include "store/data_folder.h"

#include <system_error>

namespace velmora::store {

std::filesystem::path DataFolder::executableDir()
{
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) {
        return std::filesystem::current_path(ec);
    }
    return exe.parent_path();
}

}  // namespace velmora::store
