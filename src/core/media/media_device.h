// A media device: one audio CD or one media file, opened, played, paused,
// sought and queried. The operations, their one-shot "wait" and "notify"
// flags and the packings of CD positions are those the windows build on;
// the engine behind them (GStreamer, or a test double) is hidden here.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace velmora::media {

// What the device opens: the type is chosen from the file, or an audio CD.
enum class DeviceType { AutoSelect, CDAudio };

// The device's mode, numbered as the windows store and compare it.
enum class Mode {
    NotReady = 0,
    Stopped = 1,
    Playing = 2,
    Recording = 3,
    Seeking = 4,
    Paused = 5,
    Open = 6,
};

// How a play that asked for notification ended.
enum class NotifyResult { Successful, Superseded, Aborted, Failure };

// CD time format: a position is track (bits 0-7), minutes (8-15), seconds
// (16-23) and frames (24-31); a track length is minutes (0-7), seconds
// (8-15) and frames (16-23). 75 frames make a second.
constexpr int FramesPerSecond = 75;

struct Tmsf {
    int track = 0;
    int minutes = 0;
    int seconds = 0;
    int frames = 0;
};

constexpr std::int64_t packTmsf(const Tmsf& t)
{
    return static_cast<std::int64_t>((t.track & 0xFF) | ((t.minutes & 0xFF) << 8) |
                                     ((t.seconds & 0xFF) << 16)) |
           (static_cast<std::int64_t>(t.frames & 0xFF) << 24);
}
constexpr Tmsf unpackTmsf(std::int64_t value)
{
    return {static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
            static_cast<int>((value >> 16) & 0xFF), static_cast<int>((value >> 24) & 0xFF)};
}
// A track length given in frames, packed as minutes/seconds/frames.
constexpr std::int64_t packMsf(std::int64_t frames)
{
    const std::int64_t minutes = frames / (60 * FramesPerSecond);
    const std::int64_t seconds = (frames / FramesPerSecond) % 60;
    const std::int64_t rest = frames % FramesPerSecond;
    return (minutes & 0xFF) | ((seconds & 0xFF) << 8) | ((rest & 0xFF) << 16);
}
constexpr int msfMinutes(std::int64_t msf)
{
    return static_cast<int>(msf & 0xFF);
}
constexpr int msfSeconds(std::int64_t msf)
{
    return static_cast<int>((msf >> 8) & 0xFF);
}
constexpr int msfFrames(std::int64_t msf)
{
    return static_cast<int>((msf >> 16) & 0xFF);
}

// The text of an error code when the engine gives none.
inline constexpr const char* UnknownErrorText = "原因不明のエラー";

// The device. Public calls handle the one-shot flags and the error code;
// an engine implements the protected operations.
class MediaDevice {
public:
    virtual ~MediaDevice() = default;

    // What to open: the type and the element (a file path in the local
    // file system's encoding, or the CD drive: a device path or disc image).
    DeviceType deviceType() const { return type_; }
    void setDeviceType(DeviceType type) { type_ = type; }
    const std::string& fileName() const { return element_; }
    void setFileName(std::string element) { element_ = std::move(element); }

    // One-shot flags for the next command: `wait` makes it return when it
    // has finished; `notify` makes play report its end through `onNotify`.
    void setWait(bool wait) { wait_ = wait; }
    void setNotify(bool notify) { notify_ = notify; }

    // Called on the owner's thread when a play that asked for notification
    // ends (or fails). The device's error code tells which.
    std::function<void(NotifyResult)> onNotify;

    // Opens the element (closing what was open). False on failure, with
    // `error()` and `errorMessage()` telling why; the device stays closed.
    bool open();
    void close();
    bool isOpen() const { return open_; }
    // Non-zero while open.
    int deviceId() const { return open_ ? 1 : 0; }

    void play();
    void stop();
    void pause();
    // Resumes a paused play; where that fails, plays instead.
    void resume();
    // Seeks to a position in the current time format: milliseconds for a
    // file; for a CD a packed track/minute/second/frame position, the bare
    // track number being the start of that track.
    void seek(std::int64_t position);
    // Seeks to the start, waiting.
    void rewind();

    Mode mode() const;
    std::int64_t position() const;
    std::int64_t length() const;
    int tracks() const;
    // A CD track's length packed as minutes/seconds/frames; tracks from 1.
    std::int64_t trackLength(int track) const;

    // The error code of the last command (0 = none) and its text.
    int error() const { return error_; }
    std::string errorMessage() const;

protected:
    struct Result {
        int code = 0;
        std::string text;
    };
    // The engine's operations. `wait` tells whether the caller asked to
    // wait for the operation to finish.
    virtual Result doOpen(DeviceType type, const std::string& element, bool wait) = 0;
    virtual void doClose() = 0;
    virtual Result doPlay(bool notify) = 0;
    virtual Result doStop(bool wait) = 0;
    virtual Result doPause(bool wait) = 0;
    virtual Result doResume(bool wait) = 0;
    virtual Result doSeek(std::int64_t position, bool wait) = 0;
    virtual Mode doMode() const = 0;
    virtual std::int64_t doPosition() const = 0;
    virtual std::int64_t doLength() const = 0;
    virtual int doTracks() const = 0;
    virtual std::int64_t doTrackLength(int track) const = 0;

    // For an engine reporting an asynchronous failure (during play): keeps
    // the code and text and notifies the owner when it asked.
    void reportAsyncFailure(Result result);
    // For an engine whose play came to its end.
    void reportPlayEnded();

private:
    bool takeWait();
    void finish(Result result);

    DeviceType type_ = DeviceType::AutoSelect;
    std::string element_;
    bool wait_ = false;
    bool notify_ = true;
    bool notifyPending_ = false;
    bool open_ = false;
    int error_ = 0;
    std::string errorText_;
};

}  // namespace velmora::media
