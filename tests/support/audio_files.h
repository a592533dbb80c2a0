// Generated sound files and CD images for the media tests.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace velmora::test {

// A CD length in frames (75 a second).
constexpr std::int64_t msf(int minutes, int seconds, int frames)
{
    return (minutes * 60 + seconds) * 75 + frames;
}

// A 16-bit stereo 44.1 kHz WAV file of `ms` milliseconds of a quiet tone.
// The 44-byte header of a 16-bit stereo 44.1 kHz WAV file holding
// `dataBytes` bytes of samples.
inline std::string wavHeader(std::uint32_t dataBytes)
{
    std::string bytes;
    auto u32 = [&bytes](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            bytes += static_cast<char>(v >> (8 * i));
        }
    };
    auto u16 = [&bytes](std::uint16_t v) {
        bytes += static_cast<char>(v);
        bytes += static_cast<char>(v >> 8);
    };
    bytes += "RIFF";
    u32(36 + dataBytes);
    bytes += "WAVEfmt ";
    u32(16);
    u16(1);
    u16(2);
    u32(44100);
    u32(44100 * 4);
    u16(4);
    u16(16);
    bytes += "data";
    u32(dataBytes);
    return bytes;
}

inline void writeWav(const std::filesystem::path& path, int ms)
{
    const std::uint32_t frames = static_cast<std::uint32_t>(44100LL * ms / 1000);
    const std::uint32_t dataBytes = frames * 4;
    std::ofstream out(path, std::ios::binary);
    const std::string header = wavHeader(dataBytes);
    out.write(header.data(), static_cast<std::streamsize>(header.size()));
    auto u16 = [&out](std::uint16_t v) {
        const char b[2] = {static_cast<char>(v), static_cast<char>(v >> 8)};
        out.write(b, 2);
    };
    for (std::uint32_t i = 0; i < frames; ++i) {
        const std::int16_t sample = static_cast<std::int16_t>((i % 100) < 50 ? 800 : -800);
        u16(static_cast<std::uint16_t>(sample));
        u16(static_cast<std::uint16_t>(sample));
    }
}

// A CUE/BIN audio disc image whose tracks last the given numbers of frames
// (75 a second); gives the CUE file's path.
inline std::filesystem::path writeDiscImage(const std::filesystem::path& folder, const std::string& name,
                                            const std::vector<std::int64_t>& trackFrames)
{
    const std::filesystem::path bin = folder / (name + ".bin");
    const std::filesystem::path cue = folder / (name + ".cue");
    std::int64_t total = 0;
    for (std::int64_t frames : trackFrames) {
        total += frames;
    }
    // Silence, written as a sparse file: long tracks cost no disk space.
    std::ofstream(bin, std::ios::binary).close();
    std::filesystem::resize_file(bin, static_cast<std::uintmax_t>(total) * 2352);
    std::ofstream out(cue, std::ios::binary);
    out << "FILE \"" << name << ".bin\" BINARY\n";
    std::int64_t at = 0;
    for (std::size_t i = 0; i < trackFrames.size(); ++i) {
        char line[96];
        std::snprintf(line, sizeof line, "  TRACK %02zu AUDIO\n    INDEX 01 %02d:%02d:%02d\n", i + 1,
                      static_cast<int>(at / (75 * 60)), static_cast<int>((at / 75) % 60),
                      static_cast<int>(at % 75));
        out << line;
        at += trackFrames[i];
    }
    return cue;
}

}  // namespace velmora::test
