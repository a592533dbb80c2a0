// Pieces that every velmora-cli command shares: the data folder and output
// streams, argument parsing, loading and saving the catalogue, text
// conversion between the command line (UTF-8) and the catalogue (CP932).
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "core/catalogue/catalogue.h"
#include "core/store/album_table.h"
#include "core/store/data_folder.h"

namespace velmora::cli {

// Exit code of every error that prints the program's message.
constexpr int kExitError = 2;

// The usage text printed for wrong arguments.
extern const char* const kUsage;

struct Context {
    store::DataFolder folder;
    std::ostream& out;
    std::ostream& err;
};

// The arguments of a command after its name: positional ones in order, and
// options, each with the value that follows it ("" for a flag).
struct Arguments {
    std::vector<std::string> positional;
    std::map<std::string, std::string> options;

    bool has(const std::string& name) const { return options.count(name) != 0; }
    std::string value(const std::string& name, std::string fallback = {}) const
    {
        auto it = options.find(name);
        return it == options.end() ? fallback : it->second;
    }
};

// Parses `args` from `first` on. `valued` lists the options that take a
// value, `flags` those that do not; anything else is an error (printed).
std::optional<Arguments> parseArguments(Context& ctx, const std::vector<std::string>& args, std::size_t first,
                                        std::initializer_list<std::string_view> valued,
                                        std::initializer_list<std::string_view> flags);

// A whole decimal number, or nothing.
std::optional<int> parseNumber(std::string_view text);

// The catalogue of the data folder with VLM.dat loaded (a missing file is
// an empty catalogue). With `withSettings` VLM.ini and the list files are
// read too (`listError` gets a list file that cannot be read). Nothing
// after printing the error when the folder or VLM.dat cannot be read.
// A command that ends as soon as its work is done maps the file (no copy
// of a large catalogue); one that waits on a disc or a server reads it
// into memory (LoadBuffer::Copied), since another program may rewrite the
// file in place meanwhile.
std::unique_ptr<catalogue::Catalogue> openCatalogue(Context& ctx, bool withSettings = false,
                                                    std::optional<store::FileError>* listError = nullptr,
                                                    store::LoadBuffer buffer = store::LoadBuffer::Mapped);

// Writes VLM.dat (the commands change nothing else); 0, or kExitError
// after printing the error. Refused while a window holds the data folder
// (see refuseWhileWindowOpen()), and when another program changed VLM.dat
// since openCatalogue() read it.
int saveCatalogue(Context& ctx, catalogue::Catalogue& catalogue);

// 0 when no window holds the data folder's lock; kExitError after saying
// so when one does.
int refuseWhileWindowOpen(Context& ctx);

// A refused command's message on stderr; kExitError.
int refuse(Context& ctx, catalogue::Problem problem);

// The album list of --albums as shown (see the usage text); every number
// must be an album of the table.
std::optional<std::vector<int>> albumList(Context& ctx, const Arguments& arguments,
                                          const store::AlbumTable& table);

// A command-line text (UTF-8) as CP932 bytes; nothing (after naming the
// character) when a character has no CP932 form.
std::optional<std::string> cp932Argument(Context& ctx, const std::string& utf8);

// CP932 bytes as UTF-8 for printing.
std::string utf8Of(std::string_view cp932);

// The commands that live in their own files.
int audioCd(Context& ctx, const std::vector<std::string>& args, std::size_t first);
int scanFolder(Context& ctx, const std::vector<std::string>& args, std::size_t first);
int setReadings(Context& ctx, const std::vector<std::string>& args, std::size_t first);

}  // namespace velmora::cli
