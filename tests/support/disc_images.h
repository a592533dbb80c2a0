// Disc images and rips as collectors have them, generated in a test's
// folder: Enhanced CDs, hidden tracks, single-file WAV and FLAC rips with a
// cue sheet, one file per track, cdrdao TOC files, data discs and damaged
// images; and disc IDs computed here from their definition.
#pragma once

#include "support/audio_files.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QProcess>
#include <QStringList>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace velmora::test {

// The disc ID of a table of contents, computed from its definition (SHA-1
// of the hexadecimal table, in MusicBrainz's base64) rather than by
// libdiscid. `offsets` are those of tracks first..last, lead-in included.
inline std::string independentDiscId(int first, int last, std::int64_t leadout,
                                     const std::vector<std::int64_t>& offsets)
{
    char buffer[16];
    std::string text;
    std::snprintf(buffer, sizeof buffer, "%02X", first);
    text += buffer;
    std::snprintf(buffer, sizeof buffer, "%02X", last);
    text += buffer;
    for (int i = 0; i < 100; ++i) {
        std::int64_t value = 0;
        if (i == 0) {
            value = leadout;
        } else if (i >= first && i <= last) {
            value = offsets[static_cast<std::size_t>(i - first)];
        }
        std::snprintf(buffer, sizeof buffer, "%08X", static_cast<unsigned>(value));
        text += buffer;
    }
    QByteArray id =
        QCryptographicHash::hash(QByteArray::fromStdString(text), QCryptographicHash::Sha1).toBase64();
    id.replace('+', '.').replace('/', '_').replace('=', '-');
    return id.toStdString();
}

// "mm:ss:ff" of a number of sectors.
inline std::string cueTime(std::int64_t sectors)
{
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", static_cast<int>(sectors / (75 * 60)),
                  static_cast<int>((sectors / 75) % 60), static_cast<int>(sectors % 75));
    return text;
}

inline void writeText(const std::filesystem::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

// A sparse file of `sectors` raw CD sectors of silence.
inline void writeSilentBin(const std::filesystem::path& path, std::int64_t sectors, int sectorBytes = 2352)
{
    std::ofstream(path, std::ios::binary).close();
    std::filesystem::resize_file(path, static_cast<std::uintmax_t>(sectors) * sectorBytes);
}

// A CD-quality WAV file exactly `sectors` long (588 stereo samples each) of
// a quiet tone.
inline void writeCdWav(const std::filesystem::path& path, std::int64_t sectors)
{
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(sectors * 2352);
    std::string bytes = wavHeader(dataBytes);
    auto u16 = [&bytes](std::uint16_t v) {
        bytes += static_cast<char>(v);
        bytes += static_cast<char>(v >> 8);
    };
    bytes.reserve(bytes.size() + dataBytes);
    for (std::uint32_t i = 0; i < dataBytes / 4; ++i) {
        const std::uint16_t sample = (i % 100) < 50 ? 800 : static_cast<std::uint16_t>(-800);
        u16(sample);
        u16(sample);
    }
    writeText(path, bytes);
}

// The WAV file encoded as FLAC through GStreamer's flacenc; false when the
// encoder is missing or fails.
inline bool encodeFlac(const std::filesystem::path& wav, const std::filesystem::path& flac)
{
    QProcess encoder;
    encoder.start(
        QStringLiteral("gst-launch-1.0"),
        {QStringLiteral("-q"), QStringLiteral("filesrc"),
         QStringLiteral("location=") + QString::fromStdString(wav.string()), QStringLiteral("!"),
         QStringLiteral("wavparse"), QStringLiteral("!"), QStringLiteral("audioconvert"), QStringLiteral("!"),
         QStringLiteral("flacenc"), QStringLiteral("!"), QStringLiteral("filesink"),
         QStringLiteral("location=") + QString::fromStdString(flac.string())});
    return encoder.waitForFinished(60000) && encoder.exitStatus() == QProcess::NormalExit &&
           encoder.exitCode() == 0 && std::filesystem::file_size(flac) > 0;
}

// One track of a generated cue sheet.
struct CueTrack {
    std::int64_t sectors = 0;  // from INDEX 01 to the next track's INDEX 00 (or INDEX 01)
    bool audio = true;
    std::int64_t index0 = 0;  // sectors of INDEX 00 before INDEX 01, inside the file
    std::int64_t pregap = 0;  // PREGAP: silence that lies in no file
};

// The offsets (lead-in included) and lead-out of a disc laid out as
// `tracks`, the way the disc identifiers count them: every track's INDEX 01.
struct ExpectedTable {
    std::vector<std::int64_t> offsets;
    std::int64_t leadout = 0;
};

inline ExpectedTable expectedTable(const std::vector<CueTrack>& tracks)
{
    ExpectedTable table;
    std::int64_t at = 150;
    for (const CueTrack& track : tracks) {
        at += track.pregap + track.index0;
        table.offsets.push_back(at);
        at += track.sectors;
    }
    table.leadout = at;
    return table;
}

// A single-file rip: `name`.cue naming `audioFile` of type `type` ("BINARY",
// "WAVE"), every track in it. The caller writes the audio file itself.
inline std::string singleFileCue(const std::string& audioFile, const std::string& type,
                                 const std::vector<CueTrack>& tracks)
{
    std::string cue =
        "REM GENRE Pop\nPERFORMER \"Band\"\nTITLE \"Album\"\nFILE \"" + audioFile + "\" " + type + "\n";
    std::int64_t at = 0;
    char line[64];
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        const CueTrack& track = tracks[i];
        std::snprintf(line, sizeof line, "  TRACK %02zu %s\n", i + 1, track.audio ? "AUDIO" : "MODE1/2352");
        cue += line;
        if (track.pregap > 0) {
            cue += "    PREGAP " + cueTime(track.pregap) + "\n";
        }
        if (track.index0 > 0) {
            cue += "    INDEX 00 " + cueTime(at) + "\n";
            at += track.index0;
        }
        cue += "    INDEX 01 " + cueTime(at) + "\n";
        at += track.sectors;
    }
    return cue;
}

inline std::int64_t fileSectorsOf(const std::vector<CueTrack>& tracks)
{
    std::int64_t total = 0;
    for (const CueTrack& track : tracks) {
        total += track.index0 + track.sectors;
    }
    return total;
}

}  // namespace velmora::test
