#include "core/media/media_device.h"

namespace velmora::media {

bool MediaDevice::takeWait()
{
    const bool wait = wait_;
    wait_ = false;
    return wait;
}

void MediaDevice::finish(Result result)
{
    error_ = result.code;
    errorText_ = std::move(result.text);
    notify_ = false;
}

bool MediaDevice::open()
{
    const bool wait = takeWait();
    if (open_) {
        doClose();
        open_ = false;
    }
    notifyPending_ = false;
    Result result = doOpen(type_, element_, wait);
    open_ = result.code == 0;
    if (!open_) {
        doClose();
    }
    finish(std::move(result));
    return open_;
}

void MediaDevice::close()
{
    takeWait();
    if (open_) {
        doClose();
    }
    open_ = false;
    finish({});
    if (notifyPending_) {
        // A play waiting for its end is cut off.
        notifyPending_ = false;
        if (onNotify) {
            onNotify(NotifyResult::Aborted);
        }
    }
}

void MediaDevice::play()
{
    takeWait();
    const bool notify = notify_;
    Result result = open_ ? doPlay(notify) : Result{263, {}};
    notifyPending_ = notify && result.code == 0;
    finish(std::move(result));
}

void MediaDevice::stop()
{
    const bool wait = takeWait();
    finish(open_ ? doStop(wait) : Result{263, {}});
}

void MediaDevice::pause()
{
    const bool wait = takeWait();
    finish(open_ ? doPause(wait) : Result{263, {}});
}

void MediaDevice::resume()
{
    const bool wait = takeWait();
    if (!open_) {
        finish({263, {}});
        return;
    }
    Result result = doResume(wait);
    if (result.code != 0) {
        play();
        return;
    }
    finish(std::move(result));
}

void MediaDevice::seek(std::int64_t position)
{
    const bool wait = takeWait();
    finish(open_ ? doSeek(position, wait) : Result{263, {}});
}

void MediaDevice::rewind()
{
    takeWait();
    if (!open_) {
        finish({263, {}});
        return;
    }
    finish(doSeek(type_ == DeviceType::CDAudio ? 1 : 0, true));
}

Mode MediaDevice::mode() const
{
    return open_ ? doMode() : Mode::NotReady;
}
std::int64_t MediaDevice::position() const
{
    return open_ ? doPosition() : 0;
}
std::int64_t MediaDevice::length() const
{
    return open_ ? doLength() : 0;
}
int MediaDevice::tracks() const
{
    return open_ ? doTracks() : 0;
}
std::int64_t MediaDevice::trackLength(int track) const
{
    return open_ ? doTrackLength(track) : 0;
}

std::string MediaDevice::errorMessage() const
{
    if (error_ == 0) {
        return "エラーはありません。";
    }
    if (errorText_.empty()) {
        if (error_ == 263) {
            return "デバイスが開かれていません。";
        }
        return UnknownErrorText;
    }
    return errorText_;
}

void MediaDevice::reportAsyncFailure(Result result)
{
    error_ = result.code != 0 ? result.code : 277;
    errorText_ = std::move(result.text);
    if (notifyPending_) {
        notifyPending_ = false;
        if (onNotify) {
            onNotify(NotifyResult::Failure);
        }
    }
}

void MediaDevice::reportPlayEnded()
{
    if (notifyPending_) {
        notifyPending_ = false;
        if (onNotify) {
            onNotify(NotifyResult::Successful);
        }
    }
}

}  // namespace velmora::media

#include "core/media/media_system.h"

namespace velmora::media {
namespace {

class NoMediaDevice : public MediaDevice {
protected:
    Result doOpen(DeviceType, const std::string&, bool) override
    {
        return {259, "この環境ではメディアを再生できません。"};
    }
    void doClose() override {}
    Result doPlay(bool) override { return {}; }
    Result doStop(bool) override { return {}; }
    Result doPause(bool) override { return {}; }
    Result doResume(bool) override { return {}; }
    Result doSeek(std::int64_t, bool) override { return {}; }
    Mode doMode() const override { return Mode::NotReady; }
    std::int64_t doPosition() const override { return 0; }
    std::int64_t doLength() const override { return 0; }
    int doTracks() const override { return 0; }
    std::int64_t doTrackLength(int) const override { return 0; }
};

}  // namespace

std::unique_ptr<MediaDevice> NoMediaSystem::makeDevice()
{
    return std::make_unique<NoMediaDevice>();
}

}  // namespace velmora::media
