#include "backends/gst_media.h"

#include <gst/gst.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <mutex>
#include <utility>

#include "backends/cd_drive.h"

namespace velmora::media {

namespace {

constexpr GstClockTime WaitLimit = 10 * GST_SECOND;

// Error codes of the device; the texts are what the user reads.
constexpr int ErrorFileNotFound = 275;
constexpr int ErrorCannotPlay = 277;
constexpr int ErrorNoDrive = 281;
constexpr int ErrorNoDisc = 282;
constexpr int ErrorBadTrack = 283;

std::string audioSinkDescription()
{
    const char* sink = std::getenv("VELMORA_AUDIO_SINK");
    return sink != nullptr && *sink != '\0' ? sink : "autoaudiosink";
}

GstElement* makeAudioSink(std::string& failure)
{
    GError* error = nullptr;
    GstElement* sink = gst_parse_bin_from_description(audioSinkDescription().c_str(), TRUE, &error);
    if (sink == nullptr) {
        failure = error != nullptr ? error->message : "";
        g_clear_error(&error);
    }
    return sink;
}

std::int64_t nsToFrames(gint64 ns)
{
    return ns * FramesPerSecond / static_cast<gint64>(GST_SECOND);
}
gint64 framesToNs(std::int64_t frames)
{
    return frames * static_cast<gint64>(GST_SECOND) / FramesPerSecond;
}

class GstMediaDevice;

// What a pipeline's bus handler (on GStreamer's threads) shares with its
// device (on the owner's thread).
struct BusLink {
    GstMediaSystem::Poster poster;
    std::shared_ptr<GstMediaDevice*> owner;  // null once the device is gone
    unsigned generation = 0;
    std::mutex mutex;
    std::string failure;  // the first error of the pipeline
};

class GstMediaDevice : public MediaDevice {
public:
    explicit GstMediaDevice(GstMediaSystem::Poster poster)
        : poster_(std::move(poster)), self_(std::make_shared<GstMediaDevice*>(this))
    {
    }
    ~GstMediaDevice() override
    {
        *self_ = nullptr;
        dropPipeline();
    }

    void busEnded(unsigned generation)
    {
        if (generation != generation_ || pipeline_ == nullptr) {
            return;
        }
        ended_ = true;
        state_ = State::Stopped;
        reportPlayEnded();
    }
    void busFailed(unsigned generation, const std::string& text)
    {
        if (generation != generation_ || pipeline_ == nullptr) {
            return;
        }
        state_ = State::Stopped;
        gst_element_set_state(pipeline_, GST_STATE_PAUSED);
        reportAsyncFailure({ErrorCannotPlay, playFailureText(text)});
    }

protected:
    Result doOpen(DeviceType type, const std::string& element, bool) override
    {
        dropPipeline();
        cd_ = type == DeviceType::CDAudio;
        ended_ = false;
        state_ = State::Stopped;
        toc_ = {};
        if (cd_) {
            DriveRead read = readDisc(element);
            if (read.state == DriveState::Missing) {
                return {ErrorNoDrive, "CDドライブ \"" + element + "\" が見つかりません。"};
            }
            // A drive without a readable disc opens, with no tracks.
            toc_ = std::move(read.toc);
            drive_ = element;
            return {};
        }
        std::error_code ec;
        if (element.empty() || !std::filesystem::is_regular_file(element, ec)) {
            return {ErrorFileNotFound, "ファイルが見つかりません: " + element};
        }
        return buildFilePipeline(element);
    }

    void doClose() override { dropPipeline(); }

    Result doPlay(bool) override
    {
        if (cd_ && toc_.trackFrames.empty()) {
            return {ErrorNoDisc, "CDドライブにディスクがありません。"};
        }
        if (Result built = ensurePipeline(); built.code != 0) {
            return built;
        }
        if (ended_) {
            // Playing from the end finishes at once.
            ended_ = false;
            if (poster_) {
                const unsigned generation = generation_;
                std::shared_ptr<GstMediaDevice*> self = self_;
                poster_([self, generation] {
                    if (*self != nullptr) {
                        (*self)->busEnded(generation);
                    }
                });
            }
            ended_ = true;
            return {};
        }
        if (gst_element_set_state(pipeline_, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
            return {ErrorCannotPlay, playFailureText(takeFailure())};
        }
        state_ = State::Playing;
        return {};
    }

    Result doStop(bool wait) override
    {
        // Stopping keeps the position, as pausing does; only the mode differs.
        if (pipeline_ != nullptr && state_ == State::Playing) {
            gst_element_set_state(pipeline_, GST_STATE_PAUSED);
            if (wait) {
                gst_element_get_state(pipeline_, nullptr, nullptr, WaitLimit);
            }
        }
        state_ = State::Stopped;
        return {};
    }

    Result doPause(bool wait) override
    {
        if (state_ != State::Playing) {
            return {};
        }
        gst_element_set_state(pipeline_, GST_STATE_PAUSED);
        if (wait) {
            gst_element_get_state(pipeline_, nullptr, nullptr, WaitLimit);
        }
        state_ = State::Paused;
        return {};
    }

    Result doResume(bool) override
    {
        if (state_ != State::Paused || pipeline_ == nullptr) {
            return {ErrorCannotPlay, "一時停止していません。"};
        }
        if (gst_element_set_state(pipeline_, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
            return {ErrorCannotPlay, playFailureText(takeFailure())};
        }
        state_ = State::Playing;
        return {};
    }

    Result doSeek(std::int64_t position, bool wait) override
    {
        gint64 target = 0;
        if (cd_) {
            const Tmsf t = unpackTmsf(position);
            if (t.track < 1 || t.track > static_cast<int>(toc_.trackFrames.size())) {
                return {ErrorBadTrack, "指定したトラックはありません。"};
            }
            const std::int64_t within = (t.minutes * 60 + t.seconds) * FramesPerSecond + t.frames;
            target = framesToNs(toc_.trackStarts[static_cast<std::size_t>(t.track - 1)] + within);
        } else {
            target = static_cast<gint64>(std::max<std::int64_t>(position, 0)) * GST_MSECOND;
        }
        if (cd_ && ended_) {
            // The CD source cannot seek once it has played to the end of
            // the disc: read the disc again from a new pipeline.
            dropPipeline();
        }
        if (Result built = ensurePipeline(); built.code != 0) {
            return built;
        }
        // A seek stops the play.
        gst_element_set_state(pipeline_, GST_STATE_PAUSED);
        gst_element_get_state(pipeline_, nullptr, nullptr, WaitLimit);
        state_ = State::Stopped;
        ended_ = false;
        if (!gst_element_seek_simple(pipeline_, GST_FORMAT_TIME,
                                     static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                                     target)) {
            return {ErrorCannotPlay, "指定した位置に移動できません。"};
        }
        if (wait) {
            gst_element_get_state(pipeline_, nullptr, nullptr, WaitLimit);
        }
        return {};
    }

    Mode doMode() const override
    {
        switch (state_) {
            case State::Playing:
                return Mode::Playing;
            case State::Paused:
                return Mode::Paused;
            case State::Stopped:
                break;
        }
        return Mode::Stopped;
    }

    std::int64_t doPosition() const override
    {
        if (!cd_) {
            if (ended_) {
                return lengthMs_;
            }
            gint64 ns = 0;
            if (pipeline_ == nullptr || !gst_element_query_position(pipeline_, GST_FORMAT_TIME, &ns)) {
                return 0;
            }
            return std::min<std::int64_t>(ns / static_cast<gint64>(GST_MSECOND), lengthMs_);
        }
        if (toc_.trackFrames.empty()) {
            return 1;
        }
        std::int64_t at = 0;
        gint64 ns = 0;
        const std::int64_t discEnd = toc_.trackStarts.back() + toc_.trackFrames.back();
        if (ended_) {
            at = discEnd;
        } else if (pipeline_ != nullptr && gst_element_query_position(pipeline_, GST_FORMAT_TIME, &ns)) {
            at = std::min(nsToFrames(ns), discEnd);
        }
        std::size_t track = 0;
        while (track + 1 < toc_.trackStarts.size() && toc_.trackStarts[track + 1] <= at) {
            ++track;
        }
        const std::int64_t within = at - toc_.trackStarts[track];
        return packTmsf({static_cast<int>(track + 1), static_cast<int>(within / (60 * FramesPerSecond)),
                         static_cast<int>((within / FramesPerSecond) % 60),
                         static_cast<int>(within % FramesPerSecond)});
    }

    std::int64_t doLength() const override
    {
        if (!cd_) {
            return lengthMs_;
        }
        std::int64_t total = 0;
        for (std::int64_t frames : toc_.trackFrames) {
            total += frames;
        }
        return packMsf(total);
    }

    int doTracks() const override { return cd_ ? static_cast<int>(toc_.trackFrames.size()) : 1; }

    std::int64_t doTrackLength(int track) const override
    {
        if (!cd_) {
            return track == 1 ? lengthMs_ : 0;
        }
        if (track < 1 || track > static_cast<int>(toc_.trackFrames.size())) {
            return 0;
        }
        return packMsf(toc_.trackFrames[static_cast<std::size_t>(track - 1)]);
    }

private:
    enum class State { Stopped, Playing, Paused };

    static std::string playFailureText(const std::string& detail)
    {
        std::string text = "このメディアは再生できません。";
        if (!detail.empty()) {
            text += "\n(" + detail + ")";
        }
        return text;
    }

    std::string takeFailure()
    {
        if (link_ == nullptr) {
            return {};
        }
        std::lock_guard lock(link_->mutex);
        return std::exchange(link_->failure, {});
    }

    static GstBusSyncReply onBusMessage(GstBus*, GstMessage* message, gpointer data)
    {
        auto* link = static_cast<BusLink*>(data);
        switch (GST_MESSAGE_TYPE(message)) {
            case GST_MESSAGE_ERROR: {
                GError* error = nullptr;
                gst_message_parse_error(message, &error, nullptr);
                std::string text = error != nullptr ? error->message : "";
                g_clear_error(&error);
                {
                    std::lock_guard lock(link->mutex);
                    if (link->failure.empty()) {
                        link->failure = text;
                    }
                }
                if (link->poster) {
                    std::shared_ptr<GstMediaDevice*> owner = link->owner;
                    const unsigned generation = link->generation;
                    link->poster([owner, generation, text] {
                        if (*owner != nullptr) {
                            (*owner)->busFailed(generation, text);
                        }
                    });
                }
                break;
            }
            case GST_MESSAGE_EOS:
                if (link->poster) {
                    std::shared_ptr<GstMediaDevice*> owner = link->owner;
                    const unsigned generation = link->generation;
                    link->poster([owner, generation] {
                        if (*owner != nullptr) {
                            (*owner)->busEnded(generation);
                        }
                    });
                }
                break;
            default:
                break;
        }
        return GST_BUS_DROP;
    }

    void attachBus()
    {
        auto* link = new BusLink;
        link->poster = poster_;
        link->owner = self_;
        link->generation = ++generation_;
        link_ = link;
        GstBus* bus = gst_element_get_bus(pipeline_);
        gst_bus_set_sync_handler(bus, &GstMediaDevice::onBusMessage, link,
                                 [](gpointer data) { delete static_cast<BusLink*>(data); });
        gst_object_unref(bus);
    }

    // Brings a new pipeline to paused and waits; on failure drops it.
    Result preroll()
    {
        const GstStateChangeReturn change = gst_element_set_state(pipeline_, GST_STATE_PAUSED);
        GstStateChangeReturn done = change;
        if (change == GST_STATE_CHANGE_ASYNC) {
            done = gst_element_get_state(pipeline_, nullptr, nullptr, WaitLimit);
        }
        if (done == GST_STATE_CHANGE_FAILURE || done == GST_STATE_CHANGE_ASYNC) {
            std::string detail = takeFailure();
            dropPipeline();
            if (done == GST_STATE_CHANGE_ASYNC && detail.empty()) {
                detail = "応答がありません";
            }
            return {ErrorCannotPlay, playFailureText(detail)};
        }
        return {};
    }

    Result buildFilePipeline(const std::string& path)
    {
        std::string failure;
        GstElement* sink = makeAudioSink(failure);
        if (sink == nullptr) {
            return {ErrorCannotPlay, "音声出力を用意できません。(" + failure + ")"};
        }
        pipeline_ = gst_element_factory_make("playbin", nullptr);
        if (pipeline_ == nullptr) {
            gst_object_unref(sink);
            return {ErrorCannotPlay, "GStreamer の playbin がありません。"};
        }
        GError* error = nullptr;
        gchar* uri = gst_filename_to_uri(path.c_str(), &error);
        g_clear_error(&error);
        // Sound only: a video file plays its sound track, without a window.
        guint flags = 0;
        g_object_get(pipeline_, "flags", &flags, nullptr);
        flags &= ~(1u | 4u);  // video, subtitles
        g_object_set(pipeline_, "uri", uri, "audio-sink", sink, "flags", flags, nullptr);
        g_free(uri);
        attachBus();
        if (Result result = preroll(); result.code != 0) {
            return result;
        }
        gint64 ns = 0;
        for (int attempt = 0; attempt < 50 && !gst_element_query_duration(pipeline_, GST_FORMAT_TIME, &ns);
             ++attempt) {
            g_usleep(10000);
        }
        lengthMs_ = ns > 0 ? ns / static_cast<gint64>(GST_MSECOND) : 0;
        return {};
    }

    Result buildCdPipeline()
    {
        std::string failure;
        GstElement* sink = makeAudioSink(failure);
        if (sink == nullptr) {
            return {ErrorCannotPlay, "音声出力を用意できません。(" + failure + ")"};
        }
        GstElement* source = gst_element_factory_make("cdiocddasrc", nullptr);
        GstElement* convert = gst_element_factory_make("audioconvert", nullptr);
        GstElement* resample = gst_element_factory_make("audioresample", nullptr);
        if (source == nullptr || convert == nullptr || resample == nullptr) {
            for (GstElement* e : {source, convert, resample, sink}) {
                if (e != nullptr) {
                    gst_object_unref(e);
                }
            }
            return {ErrorCannotPlay, "音楽CDを読む GStreamer の要素 (cdiocddasrc) がありません。"};
        }
        // The whole disc as one stream: play runs on from track to track.
        g_object_set(source, "device", drive_.c_str(), nullptr);
        gst_util_set_object_arg(G_OBJECT(source), "mode", "continuous");
        pipeline_ = gst_pipeline_new(nullptr);
        gst_bin_add_many(GST_BIN(pipeline_), source, convert, resample, sink, nullptr);
        gst_element_link_many(source, convert, resample, sink, nullptr);
        attachBus();
        return preroll();
    }

    Result ensurePipeline()
    {
        if (pipeline_ != nullptr) {
            return {};
        }
        if (cd_) {
            return buildCdPipeline();
        }
        return {ErrorCannotPlay, "デバイスが開かれていません。"};
    }

    void dropPipeline()
    {
        if (pipeline_ != nullptr) {
            ++generation_;
            gst_element_set_state(pipeline_, GST_STATE_NULL);
            gst_object_unref(pipeline_);
            pipeline_ = nullptr;
            link_ = nullptr;
        }
        state_ = State::Stopped;
        ended_ = false;
        lengthMs_ = 0;
    }

    GstMediaSystem::Poster poster_;
    std::shared_ptr<GstMediaDevice*> self_;
    GstElement* pipeline_ = nullptr;
    BusLink* link_ = nullptr;
    unsigned generation_ = 0;
    bool cd_ = false;
    bool ended_ = false;
    State state_ = State::Stopped;
    std::int64_t lengthMs_ = 0;
    std::string drive_;
    DiscToc toc_;
};

}  // namespace

GstMediaSystem::GstMediaSystem(Poster poster) : poster_(std::move(poster))
{
    if (!gst_is_initialized()) {
        gst_init(nullptr, nullptr);
    }
}

std::unique_ptr<MediaDevice> GstMediaSystem::makeDevice()
{
    return std::make_unique<GstMediaDevice>(poster_);
}

std::vector<std::string> GstMediaSystem::cdDrives()
{
    return listCdDrives();
}

}  // namespace velmora::media
