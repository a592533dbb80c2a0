#include "backends/cue_sheet.h"

#include <gst/gst.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <fstream>
#include <sstream>

#include "backends/gst_pads.h"

namespace velmora::media {

namespace {

constexpr std::int64_t kSamplesPerSector = 588;  // 44.1 kHz / 75

std::string upper(std::string text)
{
    for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

// The words of a sheet line; a quoted name is one word without its quotes.
std::vector<std::string> words(std::string_view line)
{
    std::vector<std::string> out;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) {
            ++i;
        }
        if (i >= line.size()) {
            break;
        }
        std::string word;
        if (line[i] == '"') {
            ++i;
            while (i < line.size() && line[i] != '"') {
                word += line[i++];
            }
            ++i;
        } else {
            while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i]))) {
                word += line[i++];
            }
        }
        out.push_back(std::move(word));
    }
    return out;
}

// "mm:ss:ff" in sectors; nothing for anything else.
std::optional<std::int64_t> msfSectors(const std::string& text)
{
    int minutes = 0;
    int seconds = 0;
    int frames = 0;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%d:%d:%d%c", &minutes, &seconds, &frames, &tail) != 3 || minutes < 0 ||
        minutes > 9999 || seconds < 0 || seconds > 59 || frames < 0 || frames > 74) {
        return std::nullopt;
    }
    return (static_cast<std::int64_t>(minutes) * 60 + seconds) * 75 + frames;
}

std::uint32_t le32(const unsigned char* b)
{
    return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
}

std::int64_t sectorsOfSamples(std::uint64_t samples, std::uint32_t rate)
{
    if (rate == 44100) {
        return static_cast<std::int64_t>((samples + kSamplesPerSector - 1) / kSamplesPerSector);
    }
    // Another rate: the same duration in sectors.
    return static_cast<std::int64_t>((samples * 75 + rate - 1) / rate);
}

// A RIFF WAVE file: the data chunk's length over the format's frame size.
std::optional<std::int64_t> waveSectors(std::ifstream& in)
{
    unsigned char header[12];
    if (!in.read(reinterpret_cast<char*>(header), 12) ||
        std::string_view(reinterpret_cast<char*>(header), 4) != "RIFF" ||
        std::string_view(reinterpret_cast<char*>(header) + 8, 4) != "WAVE") {
        return std::nullopt;
    }
    std::uint32_t rate = 0;
    std::uint32_t blockAlign = 0;
    unsigned char chunk[8];
    while (in.read(reinterpret_cast<char*>(chunk), 8)) {
        const std::string_view id(reinterpret_cast<char*>(chunk), 4);
        const std::uint32_t size = le32(chunk + 4);
        if (id == "fmt ") {
            unsigned char format[16];
            if (size < 16 || !in.read(reinterpret_cast<char*>(format), 16)) {
                return std::nullopt;
            }
            rate = le32(format + 4);
            blockAlign = format[12] | (format[13] << 8);
            in.seekg(size - 16 + (size & 1), std::ios::cur);
        } else if (id == "data") {
            if (rate == 0 || blockAlign == 0) {
                return std::nullopt;
            }
            return sectorsOfSamples(size / blockAlign, rate);
        } else {
            in.seekg(size + (size & 1), std::ios::cur);
        }
    }
    return std::nullopt;
}

// A FLAC file: the total samples and rate of its STREAMINFO block (after an
// ID3v2 tag, when one comes first).
std::optional<std::int64_t> flacSectors(std::ifstream& in)
{
    unsigned char head[10];
    if (!in.read(reinterpret_cast<char*>(head), 4)) {
        return std::nullopt;
    }
    if (std::string_view(reinterpret_cast<char*>(head), 3) == "ID3") {
        if (!in.read(reinterpret_cast<char*>(head) + 4, 6)) {
            return std::nullopt;
        }
        const std::uint32_t size = (head[6] << 21) | (head[7] << 14) | (head[8] << 7) | head[9];
        in.seekg(10 + size, std::ios::beg);
        if (!in.read(reinterpret_cast<char*>(head), 4)) {
            return std::nullopt;
        }
    }
    if (std::string_view(reinterpret_cast<char*>(head), 4) != "fLaC") {
        return std::nullopt;
    }
    unsigned char block[4 + 34];
    if (!in.read(reinterpret_cast<char*>(block), sizeof block) || (block[0] & 0x7F) != 0) {
        return std::nullopt;
    }
    const unsigned char* info = block + 4;
    const std::uint32_t rate = (info[10] << 12) | (info[11] << 4) | (info[12] >> 4);
    const std::uint64_t samples = (static_cast<std::uint64_t>(info[13] & 0x0F) << 32) |
                                  (static_cast<std::uint64_t>(info[14]) << 24) | (info[15] << 16) |
                                  (info[16] << 8) | info[17];
    if (rate == 0 || samples == 0) {
        return std::nullopt;
    }
    return sectorsOfSamples(samples, rate);
}

// Any other sound file GStreamer decodes: its duration once prerolled.
std::optional<std::int64_t> decodedSectors(const std::filesystem::path& file)
{
    if (!gst_init_check(nullptr, nullptr, nullptr)) {
        return std::nullopt;
    }
    GstElement* pipeline = gst_pipeline_new(nullptr);
    GstElement* source = gst_element_factory_make("filesrc", nullptr);
    GstElement* decode = gst_element_factory_make("decodebin", nullptr);
    GstElement* sink = gst_element_factory_make("fakesink", nullptr);
    if (pipeline == nullptr || source == nullptr || decode == nullptr || sink == nullptr) {
        unrefElements({pipeline, source, decode, sink});
        return std::nullopt;
    }
    g_object_set(source, "location", file.c_str(), nullptr);
    gst_bin_add_many(GST_BIN(pipeline), source, decode, sink, nullptr);
    gst_element_link(source, decode);
    linkNewPadsTo(decode, sink);
    std::optional<std::int64_t> sectors;
    gst_element_set_state(pipeline, GST_STATE_PAUSED);
    // Preroll has an answer (ready, or an error) within the wait.
    if (gst_element_get_state(pipeline, nullptr, nullptr, 10 * GST_SECOND) == GST_STATE_CHANGE_SUCCESS) {
        gint64 ns = 0;
        if (gst_element_query_duration(pipeline, GST_FORMAT_TIME, &ns) && ns > 0) {
            sectors = (ns * 75 + GST_SECOND - 1) / GST_SECOND;
        }
    }
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    return sectors;
}

// The file a sheet names: beside the sheet, or with another case of
// letters (a sheet written on a system that ignores case).
std::optional<std::filesystem::path> findFile(const std::filesystem::path& folder, const std::string& name)
{
    std::error_code ec;
    std::filesystem::path named(name);
    // Sheets written on Windows separate folders with backslashes.
    std::string slashed = name;
    std::replace(slashed.begin(), slashed.end(), '\\', '/');
    named = std::filesystem::path(slashed);
    const std::filesystem::path direct = named.is_absolute() ? named : folder / named;
    if (std::filesystem::is_regular_file(direct, ec)) {
        return direct;
    }
    const std::string wanted = upper(direct.filename().string());
    for (const auto& entry : std::filesystem::directory_iterator(direct.parent_path(), ec)) {
        if (upper(entry.path().filename().string()) == wanted && entry.is_regular_file(ec)) {
            return entry.path();
        }
    }
    return std::nullopt;
}

int sectorBytesOf(const std::string& trackMode)
{
    if (trackMode == "MODE1/2048" || trackMode == "MODE2/2048") {
        return 2048;
    }
    if (trackMode == "MODE2/2336") {
        return 2336;
    }
    return 2352;
}

}  // namespace

std::optional<std::int64_t> fileSectors(const std::filesystem::path& file, std::string_view type,
                                        int sectorBytes)
{
    const std::string kind = upper(std::string(type));
    std::error_code ec;
    if (kind == "BINARY" || kind == "MOTOROLA") {
        const std::uintmax_t size = std::filesystem::file_size(file, ec);
        if (ec || sectorBytes <= 0) {
            return std::nullopt;
        }
        return static_cast<std::int64_t>((size + sectorBytes - 1) / sectorBytes);
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    if (kind == "WAVE") {
        if (std::optional<std::int64_t> sectors = waveSectors(in)) {
            return sectors;
        }
        in.clear();
        in.seekg(0);
    }
    // Sheets often call every sound file WAVE; a FLAC is known by its
    // header whatever the sheet says.
    if (std::optional<std::int64_t> sectors = flacSectors(in)) {
        return sectors;
    }
    return decodedSectors(file);
}

CueReading parseCueSheet(std::string_view text, const std::filesystem::path& folder)
{
    CueReading reading;
    CueSheet sheet;
    auto fail = [&reading](std::string message) {
        reading.error = std::move(message);
        return reading;
    };
    struct File {
        std::filesystem::path path;
        std::string type;
        int sectorBytes = 2352;
        bool measured = false;
        std::int64_t sectors = 0;
    };
    std::vector<File> files;
    // Where the current file starts on the disc, and the silence (PREGAP,
    // POSTGAP) that lies on the disc but in no file, so far.
    std::int64_t fileStart = 0;
    std::int64_t gaps = 0;
    // A second session (an Enhanced CD as "REM SESSION 02" writes it): the
    // first session's lead-out, the second's lead-in and the first track's
    // pregap lie between the sessions in no file. REM LEAD-OUT, LEAD-IN and
    // PREGAP give them; the standard lengths stand in for those missing.
    bool sessionStarting = false;
    std::int64_t sessionLeadOut = 6750;
    std::int64_t sessionLeadIn = 4500;
    std::int64_t sessionPregap = 150;
    bool trackOpen = false;
    bool trackHasStart = false;
    int lineNumber = 0;
    auto measure = [&](File& file) -> std::optional<std::string> {
        const std::optional<std::int64_t> sectors = fileSectors(file.path, file.type, file.sectorBytes);
        if (!sectors) {
            return "キューシートの音声ファイルの長さを読めません: " + file.path.filename().string();
        }
        fileStart += *sectors;
        file.measured = true;
        file.sectors = *sectors;
        return std::nullopt;
    };
    std::istringstream lines{std::string(text)};
    std::string line;
    while (std::getline(lines, line)) {
        ++lineNumber;
        if (lineNumber == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) {
            line.erase(0, 3);
        }
        const std::vector<std::string> w = words(line);
        if (w.empty()) {
            continue;
        }
        const std::string command = upper(w[0]);
        if (command == "REM" && w.size() >= 3) {
            const std::string remark = upper(w[1]);
            const std::optional<std::int64_t> length = msfSectors(w[2]);
            if (remark == "SESSION" && std::atoi(w[2].c_str()) >= 2) {
                sessionStarting = true;
            } else if (remark == "LEAD-OUT" && length) {
                sessionLeadOut = *length;
            } else if (remark == "LEAD-IN" && length) {
                sessionLeadIn = *length;
            } else if (remark == "PREGAP" && length) {
                sessionPregap = *length;
            }
        } else if (command == "FILE") {
            if (w.size() < 2) {
                return fail("キューシートのFILE行が読めません (" + std::to_string(lineNumber) + "行目)");
            }
            if (!files.empty() && !files.back().measured) {
                if (std::optional<std::string> error = measure(files.back())) {
                    return fail(*error);
                }
            }
            const std::optional<std::filesystem::path> found = findFile(folder, w[1]);
            if (!found) {
                return fail("キューシートが指すファイルがありません: " + w[1]);
            }
            files.push_back({*found, w.size() > 2 ? upper(w[2]) : std::string("BINARY"), 2352, false, 0});
        } else if (command == "TRACK") {
            if (files.empty() || w.size() < 3) {
                return fail("キューシートのTRACK行が読めません (" + std::to_string(lineNumber) + "行目)");
            }
            if (trackOpen && !trackHasStart) {
                return fail("キューシートのトラック" + std::to_string(sheet.layout.tracks.back().number) +
                            "にINDEX 01がありません");
            }
            const int number = std::atoi(w[1].c_str());
            const std::string mode = upper(w[2]);
            if (number < 1 || number > 99 ||
                (!sheet.layout.tracks.empty() && number != sheet.layout.tracks.back().number + 1)) {
                return fail("キューシートのトラック番号が正しくありません (" + std::to_string(lineNumber) +
                            "行目)");
            }
            discdata::DiscLayout::Track track;
            track.number = number;
            track.audio = mode == "AUDIO";
            sheet.layout.tracks.push_back(track);
            if (!files.back().measured) {
                files.back().sectorBytes = sectorBytesOf(mode);
            }
            trackOpen = true;
            trackHasStart = false;
        } else if (command == "PREGAP" || command == "POSTGAP") {
            const std::optional<std::int64_t> length = w.size() > 1 ? msfSectors(w[1]) : std::nullopt;
            if (!trackOpen || !length) {
                return fail("キューシートの" + command + "行が読めません (" + std::to_string(lineNumber) +
                            "行目)");
            }
            gaps += *length;
            if (command == "PREGAP") {
                // The session's first track names its own pregap.
                sessionPregap = 0;
            }
        } else if (command == "INDEX") {
            const std::optional<std::int64_t> at = w.size() > 2 ? msfSectors(w[2]) : std::nullopt;
            if (!trackOpen || !at) {
                return fail("キューシートのINDEX行が読めません (" + std::to_string(lineNumber) + "行目)");
            }
            // INDEX 00 (the gap before the track, inside the file) belongs to
            // the disc but not to the track: the track starts at INDEX 01.
            if (std::atoi(w[1].c_str()) == 1) {
                if (sessionStarting) {
                    gaps += sessionLeadOut + sessionLeadIn + sessionPregap;
                    sessionStarting = false;
                }
                sheet.layout.tracks.back().address = fileStart + gaps + *at;
                // A second INDEX 01 in one track replaces the first.
                if (trackHasStart) {
                    sheet.places.back() = {files.size() - 1, *at};
                } else {
                    sheet.places.push_back({files.size() - 1, *at});
                }
                trackHasStart = true;
            }
        }
    }
    if (sheet.layout.tracks.empty()) {
        return reading;
    }
    if (!trackHasStart) {
        return fail("キューシートのトラック" + std::to_string(sheet.layout.tracks.back().number) +
                    "にINDEX 01がありません");
    }
    if (!files.back().measured) {
        if (std::optional<std::string> error = measure(files.back())) {
            return fail(*error);
        }
    }
    sheet.layout.leadout = fileStart + gaps;
    for (const File& file : files) {
        sheet.files.push_back({file.path, file.type, file.sectors});
    }
    reading.sheet = std::move(sheet);
    return reading;
}

CueReading readCueSheet(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return {};
    }
    std::ostringstream text;
    text << in.rdbuf();
    return parseCueSheet(text.str(), path.parent_path());
}

}  // namespace velmora::media
