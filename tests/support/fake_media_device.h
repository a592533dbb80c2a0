// A media device for window tests: files and a disc are described by their
// lengths, and time moves only when the test calls advance().
#pragma once

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/media/media_device.h"
#include "core/media/media_system.h"

namespace velmora::test {

class FakeMediaDevice : public media::MediaDevice {
public:
    // Files the device can open, with their lengths in milliseconds. A file
    // not listed opens with `defaultLength` when it exists on disk.
    std::map<std::string, std::int64_t> fileLengths;
    std::int64_t defaultLength = 10000;
    // Elements whose open fails with `openErrorText`.
    std::set<std::string> failing;
    std::string openErrorText = "ファイルを開けません。";
    // The disc in the drive: its tracks' lengths in frames; empty: no disc.
    std::vector<std::int64_t> discTracks;
    // When set, the disc is read from here at every open (a drive that two
    // devices share).
    const std::vector<std::int64_t>* sharedDisc = nullptr;
    // A mode the device reports instead of its own (not ready, seeking).
    std::optional<media::Mode> forcedMode;
    // Every command, in order: "open PATH", "play", "stop", "pause",
    // "resume", "seek N", "close".
    std::vector<std::string> log;
    // Called after each command is logged, while the device is in the
    // middle of it (as a timer tick arriving inside a command).
    std::function<void(const std::string& command)> onCommand;

    // Moves the clock on by `ms` milliseconds of play.
    void advance(std::int64_t ms)
    {
        if (!playing_) {
            return;
        }
        if (cd_) {
            at_ += ms * media::FramesPerSecond / 1000;
            if (at_ >= discFrames()) {
                at_ = discFrames();
                finishPlay();
            }
        } else {
            at_ += ms;
            if (at_ >= length_) {
                at_ = length_;
                finishPlay();
            }
        }
    }
    // Ends the play with an engine failure.
    void failDuringPlay(int code, std::string text)
    {
        playing_ = false;
        reportAsyncFailure({code, std::move(text)});
    }
    bool isPlaying() const { return playing_; }
    bool isPaused() const { return paused_; }
    // The raw position: milliseconds, or frames from the disc's start.
    std::int64_t rawPosition() const { return at_; }

protected:
    Result doOpen(media::DeviceType type, const std::string& element, bool) override
    {
        record("open " + element);
        if (failing.count(element) != 0) {
            return {275, openErrorText};
        }
        cd_ = type == media::DeviceType::CDAudio;
        if (cd_ && sharedDisc != nullptr) {
            discTracks = *sharedDisc;
        }
        at_ = 0;
        playing_ = paused_ = false;
        if (cd_) {
            return {};
        }
        if (auto it = fileLengths.find(element); it != fileLengths.end()) {
            length_ = it->second;
            return {};
        }
        std::error_code ec;
        if (std::filesystem::is_regular_file(element, ec)) {
            length_ = defaultLength;
            return {};
        }
        return {275, "ファイルが見つかりません。"};
    }
    void doClose() override
    {
        record("close");
        playing_ = paused_ = false;
    }
    Result doPlay(bool) override
    {
        record("play");
        playing_ = true;
        paused_ = false;
        if ((cd_ && at_ >= discFrames()) || (!cd_ && at_ >= length_)) {
            finishPlay();
        }
        return {};
    }
    Result doStop(bool) override
    {
        record("stop");
        playing_ = paused_ = false;
        return {};
    }
    Result doPause(bool) override
    {
        record("pause");
        if (playing_) {
            playing_ = false;
            paused_ = true;
        }
        return {};
    }
    Result doResume(bool) override
    {
        record("resume");
        if (!paused_) {
            return {278, "再開できません。"};
        }
        paused_ = false;
        playing_ = true;
        return {};
    }
    Result doSeek(std::int64_t position, bool) override
    {
        record("seek " + std::to_string(position));
        playing_ = paused_ = false;
        if (!cd_) {
            at_ = std::clamp<std::int64_t>(position, 0, length_);
            return {};
        }
        const media::Tmsf t = media::unpackTmsf(position);
        if (t.track < 1 || t.track > static_cast<int>(discTracks.size())) {
            return {263, "トラックが範囲外です。"};
        }
        at_ = trackStart(t.track) + (t.minutes * 60 + t.seconds) * media::FramesPerSecond + t.frames;
        return {};
    }
    media::Mode doMode() const override
    {
        if (forcedMode) {
            return *forcedMode;
        }
        return playing_ ? media::Mode::Playing : (paused_ ? media::Mode::Paused : media::Mode::Stopped);
    }
    std::int64_t doPosition() const override
    {
        if (!cd_) {
            return at_;
        }
        if (discTracks.empty()) {
            return 1;
        }
        int track = 1;
        while (track < static_cast<int>(discTracks.size()) && trackStart(track + 1) <= at_) {
            ++track;
        }
        const std::int64_t within = at_ - trackStart(track);
        return media::packTmsf({track, static_cast<int>(within / (60 * media::FramesPerSecond)),
                                static_cast<int>((within / media::FramesPerSecond) % 60),
                                static_cast<int>(within % media::FramesPerSecond)});
    }
    std::int64_t doLength() const override { return cd_ ? media::packMsf(discFrames()) : length_; }
    int doTracks() const override { return cd_ ? static_cast<int>(discTracks.size()) : 1; }
    std::int64_t doTrackLength(int track) const override
    {
        if (!cd_ || track < 1 || track > static_cast<int>(discTracks.size())) {
            return 0;
        }
        return media::packMsf(discTracks[static_cast<std::size_t>(track - 1)]);
    }

private:
    void record(std::string command)
    {
        log.push_back(std::move(command));
        if (onCommand) {
            onCommand(log.back());
        }
    }
    std::int64_t discFrames() const
    {
        std::int64_t total = 0;
        for (std::int64_t frames : discTracks) {
            total += frames;
        }
        return total;
    }
    std::int64_t trackStart(int track) const
    {
        std::int64_t start = 0;
        for (int t = 1; t < track; ++t) {
            start += discTracks[static_cast<std::size_t>(t - 1)];
        }
        return start;
    }
    void finishPlay()
    {
        playing_ = false;
        reportPlayEnded();
    }

    bool cd_ = false;
    bool playing_ = false;
    bool paused_ = false;
    std::int64_t at_ = 0;
    std::int64_t length_ = 0;
};

// Makes fake devices that share one drive and one set of files.
class FakeMediaSystem : public media::MediaSystem {
public:
    std::vector<std::string> drives = {"/dev/fake-cd"};
    // The disc in the drive (track lengths in frames); empty: no disc.
    std::vector<std::int64_t> disc;
    std::map<std::string, std::int64_t> fileLengths;
    std::vector<FakeMediaDevice*> made;

    std::unique_ptr<media::MediaDevice> makeDevice() override
    {
        auto device = std::make_unique<FakeMediaDevice>();
        device->sharedDisc = &disc;
        device->fileLengths = fileLengths;
        made.push_back(device.get());
        return device;
    }
    std::vector<std::string> cdDrives() override { return drives; }
};

inline FakeMediaDevice& fake(media::MediaDevice& device)
{
    return static_cast<FakeMediaDevice&>(device);
}

}  // namespace velmora::test
