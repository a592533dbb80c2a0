#include <memory>

#include "cli/cli_common.h"
#include "gst_media.h"
#include "media/audio_cd.h"
#include "store/album_record.h"

namespace velmora::cli {

// cd toc|register ALBUM|lookup --device PATH: the audio CD in a drive or a
// disc image. toc prints one reference per track; register writes them into
// an album's songs and saves; lookup prints the album found, 0 or -1.
int audioCd(Context& ctx, const std::vector<std::string>& args, std::size_t first)
{
    std::optional<Arguments> arguments = parseArguments(ctx, args, first, {"--device"}, {});
    if (!arguments || arguments->positional.empty() || !arguments->has("--device")) {
        if (arguments) {
            ctx.err << kUsage;
        }
        return kExitError;
    }
    const std::string& action = arguments->positional[0];
    const bool registering = action == "register";
    if ((action != "toc" && action != "lookup" && !registering) ||
        arguments->positional.size() != (registering ? 2u : 1u)) {
        ctx.err << kUsage;
        return kExitError;
    }
    media::GstMediaSystem system;
    std::unique_ptr<media::MediaDevice> device = system.makeDevice();
    device->setDeviceType(media::DeviceType::CDAudio);
    device->setFileName(arguments->value("--device"));
    device->setWait(true);
    if (!device->open()) {
        ctx.err << device->errorMessage() << "\n";
        return kExitError;
    }
    const std::optional<std::vector<std::string>> references = media::discReferences(*device);
    device->close();
    if (action == "toc") {
        if (!references) {
            ctx.err << "読み込めません\n";
            return 1;
        }
        for (const std::string& reference : *references) {
            ctx.out << reference << "\n";
        }
        return 0;
    }
    std::optional<store::AlbumTable> table = loadCatalogue(ctx);
    if (!table) {
        return kExitError;
    }
    if (action == "lookup") {
        ctx.out << (references ? media::findDiscAlbum(*table, *references) : -1) << "\n";
        return 0;
    }
    std::optional<int> album = parseNumber(arguments->positional[1]);
    if (!album || *album < 1 || *album > table->albumCount()) {
        ctx.err << "存在しないアルバム番号です: " << arguments->positional[1] << "\n";
        return kExitError;
    }
    if (!references) {
        ctx.err << "読み込めません\n";
        return 1;
    }
    store::AlbumRecord record = table->record(*album);
    media::registerDisc(record, *references);
    table->setRecord(*album, record);
    if (int failed = writeCatalogue(ctx, *table); failed != 0) {
        return failed;
    }
    ctx.out << "読み込み完了しました。\n";
    return 0;
}

}  // namespace velmora::cli
