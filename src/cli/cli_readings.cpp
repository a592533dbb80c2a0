#include <memory>

#include "backends/mecab_reading.h"
#include "cli/cli_common.h"
#include "core/readings/reading_dictionary.h"

namespace velmora::cli {

// readings [--dry-run] [--dictionary FOLDER]: the albums whose reading is
// empty or their artist's text, each with the reading the user chose for
// that artist or else the dictionary's, as "album<TAB>artist<TAB>reading"
// lines. Without --dry-run the readings are set and VLM.dat is saved. A
// missing dictionary is said once on stderr; the chosen readings still go.
int setReadings(Context& ctx, const std::vector<std::string>& args, std::size_t first)
{
    std::optional<Arguments> arguments = parseArguments(ctx, args, first, {"--dictionary"}, {"--dry-run"});
    if (!arguments || !arguments->positional.empty()) {
        if (arguments) {
            ctx.err << kUsage;
        }
        return kExitError;
    }
    std::unique_ptr<catalogue::Catalogue> opened = openCatalogue(ctx);
    if (!opened) {
        return kExitError;
    }
    const std::unique_ptr<backends::MecabReadingDictionary> dictionary =
        arguments->has("--dictionary")
            ? std::make_unique<backends::MecabReadingDictionary>(arguments->value("--dictionary"))
            : std::make_unique<backends::MecabReadingDictionary>();
    if (!dictionary->available()) {
        ctx.err << dictionary->unavailableMessage() << "\n";
    }
    const std::vector<readings::ReadingProposal> proposals =
        readings::proposeReadings(opened->albums(), dictionary.get());
    std::vector<std::pair<int, std::string>> chosen;
    for (const readings::ReadingProposal& proposal : proposals) {
        ctx.out << proposal.album << '\t' << utf8Of(proposal.artist) << '\t' << utf8Of(proposal.reading)
                << "\n";
        chosen.emplace_back(proposal.album, proposal.reading);
    }
    if (arguments->has("--dry-run") || chosen.empty()) {
        return 0;
    }
    opened->setReadings(chosen);
    return saveCatalogue(ctx, *opened);
}

}  // namespace velmora::cli
