#include "core/discdata/disc_reader.h"

#include <mutex>

namespace velmora::discdata {

namespace {

struct Installed {
    std::mutex mutex;
    DiscReader reader;
};

Installed& installed()
{
    static Installed slot;
    return slot;
}

}  // namespace

void installDiscReader(DiscReader reader)
{
    std::lock_guard lock(installed().mutex);
    installed().reader = std::move(reader);
}

DiscReading readDiscForIds(const std::string& element)
{
    DiscReader reader;
    {
        std::lock_guard lock(installed().mutex);
        reader = installed().reader;
    }
    return reader ? reader(element) : DiscReading{};
}

}  // namespace velmora::discdata
