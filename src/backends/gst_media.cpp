#include "backends/gst_media.h"

#include <gst/gst.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <mutex>
#include <utility>

#include "backends/cd_drive.h"
#include "backends/gst_pads.h"

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
// A frame's start in time and back, exactly: a seek to frame n reads
// back as frame n though the time lies between two samples.
gint64 frameStartNs(std::int64_t frames)
{
    return (frames * static_cast<gint64>(GST_SECOND) + FramesPerSecond - 1) / FramesPerSecond;
}
std::int64_t nearestFrame(gint64 ns)
{
    return (ns * FramesPerSecond + static_cast<gint64>(GST_SECOND) / 2) / static_cast<gint64>(GST_SECOND);
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
        if (!toc_.sources.empty() && continueWithNextFile()) {
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
        problem_.clear();
        cdio_.reset();
        if (cd_) {
            DriveRead read = readDisc(element);
            if (read.state == DriveState::Missing) {
                return {ErrorNoDrive, "CDドライブ \"" + element + "\" が見つかりません。"};
            }
            // A drive without a readable disc opens, with no tracks; a
            // damaged image says why when it is played.
            toc_ = std::move(read.toc);
            problem_ = std::move(read.problem);
            runFirst_ = 0;
            runLast_ = 0;
            seekTrack_ = 0;
            seekWithin_ = 0;
            if (toc_.sources.empty()) {
                cdio_ = std::make_unique<CdioElement>(element);
            }
            return {};
        }
        std::error_code ec;
        if (element.empty() || !std::filesystem::is_regular_file(element, ec)) {
            return {ErrorFileNotFound, "ファイルが見つかりません: " + element};
        }
        return buildFilePipeline(element);
    }

    void doClose() override
    {
        dropPipeline();
        cdio_.reset();
    }

    Result doPlay(bool) override
    {
        if (cd_ && toc_.trackFrames.empty()) {
            return {ErrorNoDisc, problem_.empty() ? "CDドライブにディスクがありません。" : problem_};
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
        if (cd_ && !toc_.sources.empty()) {
            return seekInFiles(position, wait);
        }
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
        if (!toc_.sources.empty() && !ended_) {
            return positionInFiles();
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

    static std::int64_t packTrackPosition(std::size_t track, std::int64_t within)
    {
        return packTmsf({static_cast<int>(track + 1), static_cast<int>(within / (60 * FramesPerSecond)),
                         static_cast<int>((within / FramesPerSecond) % 60),
                         static_cast<int>(within % FramesPerSecond)});
    }

    // --- Images played from their own files: one pipeline plays a run of
    // tracks whose sound follows on in one file; at its end the next run's
    // file takes over.

    // The first track from `track` on that has sound; past the end when
    // none has.
    std::size_t audioTrackFrom(std::size_t track) const
    {
        while (track < toc_.sources.size() && toc_.sources[track].file.empty()) {
            ++track;
        }
        return track;
    }

    // The last track of the run that starts with `first`.
    std::size_t runEnd(std::size_t first) const
    {
        const std::vector<TrackSource>& sources = toc_.sources;
        std::size_t last = first;
        while (last + 1 < sources.size() && !sources[last + 1].file.empty() &&
               sources[last + 1].file == sources[first].file &&
               sources[last + 1].start == sources[last].end) {
            ++last;
        }
        return last;
    }

    // Plays `track` from `within` frames on to the end of its run.
    Result seekRun(std::size_t track, std::int64_t within)
    {
        const TrackSource& source = toc_.sources[track];
        const TrackSource& last = toc_.sources[runLast_];
        // A place past the run's sound (a gap in no file) is its last frame.
        within = std::clamp<std::int64_t>(within, 0, std::max<std::int64_t>(last.end - source.start - 1, 0));
        gst_element_set_state(pipeline_, GST_STATE_PAUSED);
        gst_element_get_state(pipeline_, nullptr, nullptr, WaitLimit);
        if (!gst_element_seek(pipeline_, 1.0, GST_FORMAT_TIME,
                              static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                              GST_SEEK_TYPE_SET, frameStartNs(source.start + within), GST_SEEK_TYPE_SET,
                              frameStartNs(last.end))) {
            return {ErrorCannotPlay, "指定した位置に移動できません。"};
        }
        seekTrack_ = track;
        seekWithin_ = within;
        gst_element_get_state(pipeline_, nullptr, nullptr, WaitLimit);
        return {};
    }

    Result buildFileTrackPipeline(std::size_t track)
    {
        const TrackSource& source = toc_.sources[track];
        std::error_code ec;
        if (!std::filesystem::is_regular_file(source.file, ec)) {
            return {ErrorFileNotFound, "キューシートが指すファイルがありません: " +
                                           std::filesystem::path(source.file).filename().string()};
        }
        std::string failure;
        GstElement* sink = makeAudioSink(failure);
        if (sink == nullptr) {
            return {ErrorCannotPlay, "音声出力を用意できません。(" + failure + ")"};
        }
        GstElement* convert = gst_element_factory_make("audioconvert", nullptr);
        GstElement* resample = gst_element_factory_make("audioresample", nullptr);
        GstElement* source1 = nullptr;
        GstElement* source2 = nullptr;
        if (source.raw) {
            // Raw CD samples: 44.1 kHz, 16 bits, two channels.
            source1 = gst_element_factory_make("filesrc", nullptr);
            source2 = gst_element_factory_make("rawaudioparse", nullptr);
            if (source1 != nullptr && source2 != nullptr) {
                g_object_set(source1, "location", source.file.c_str(), nullptr);
                g_object_set(source2, "use-sink-caps", FALSE, "sample-rate", 44100, "num-channels", 2,
                             nullptr);
                gst_util_set_object_arg(G_OBJECT(source2), "format", "pcm");
                gst_util_set_object_arg(G_OBJECT(source2), "pcm-format",
                                        source.bigEndian ? "s16be" : "s16le");
            }
        } else {
            source1 = gst_element_factory_make("uridecodebin", nullptr);
            if (source1 != nullptr) {
                GError* error = nullptr;
                gchar* uri = gst_filename_to_uri(source.file.c_str(), &error);
                g_clear_error(&error);
                g_object_set(source1, "uri", uri, nullptr);
                g_free(uri);
            }
        }
        if (convert == nullptr || resample == nullptr || source1 == nullptr ||
            (source.raw && source2 == nullptr)) {
            unrefElements({source1, source2, convert, resample, sink});
            return {ErrorCannotPlay, "GStreamer の要素 (uridecodebin, rawaudioparse) がありません。"};
        }
        pipeline_ = gst_pipeline_new(nullptr);
        gst_bin_add_many(GST_BIN(pipeline_), source1, convert, resample, sink, nullptr);
        gst_element_link_many(convert, resample, sink, nullptr);
        if (source2 != nullptr) {
            gst_bin_add(GST_BIN(pipeline_), source2);
            gst_element_link_many(source1, source2, convert, nullptr);
        } else {
            // The decoder's sound pad appears once the file is known.
            linkNewPadsTo(source1, convert);
        }
        attachBus();
        runFirst_ = track;
        runLast_ = runEnd(track);
        return preroll();
    }

    Result seekInFiles(std::int64_t position, bool)
    {
        const Tmsf t = unpackTmsf(position);
        if (t.track < 1 || t.track > static_cast<int>(toc_.sources.size())) {
            return {ErrorBadTrack, "指定したトラックはありません。"};
        }
        std::size_t track = audioTrackFrom(static_cast<std::size_t>(t.track - 1));
        std::int64_t within = (t.minutes * 60 + t.seconds) * FramesPerSecond + t.frames;
        if (track != static_cast<std::size_t>(t.track - 1)) {
            // A data track: play goes on from the next track with sound.
            within = 0;
        }
        if (track >= toc_.sources.size()) {
            return {ErrorBadTrack, "データトラックは再生できません。"};
        }
        // Play starts here even when the file cannot be opened now.
        seekTrack_ = track;
        seekWithin_ = within;
        const bool inRun = pipeline_ != nullptr && !ended_ && track >= runFirst_ && track <= runLast_;
        if (!inRun) {
            dropPipeline();
            if (Result built = buildFileTrackPipeline(track); built.code != 0) {
                return built;
            }
        }
        // A seek stops the play.
        state_ = State::Stopped;
        ended_ = false;
        return seekRun(track, within);
    }

    // After a run's end, the next track with sound plays from its file.
    bool continueWithNextFile()
    {
        const std::size_t next = audioTrackFrom(runLast_ + 1);
        if (next >= toc_.sources.size()) {
            return false;
        }
        const State was = state_;
        dropPipeline();
        Result result = buildFileTrackPipeline(next);
        if (result.code == 0) {
            result = seekRun(next, 0);
        }
        if (result.code == 0 && was == State::Playing &&
            gst_element_set_state(pipeline_, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
            result = {ErrorCannotPlay, playFailureText(takeFailure())};
        }
        if (result.code != 0) {
            state_ = State::Stopped;
            reportAsyncFailure(std::move(result));
            return true;
        }
        state_ = was;
        return true;
    }

    std::int64_t positionInFiles() const
    {
        gint64 ns = 0;
        if (pipeline_ == nullptr || !gst_element_query_position(pipeline_, GST_FORMAT_TIME, &ns)) {
            return packTrackPosition(seekTrack_, seekWithin_);
        }
        const std::int64_t inFile = nearestFrame(ns);
        std::size_t track = runLast_;
        while (track > runFirst_ && toc_.sources[track].start > inFile) {
            --track;
        }
        const std::int64_t within = std::clamp<std::int64_t>(
            inFile - toc_.sources[track].start, 0, std::max<std::int64_t>(toc_.trackFrames[track] - 1, 0));
        return packTrackPosition(track, within);
    }

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
            unrefElements({source, convert, resample, sink});
            return {ErrorCannotPlay, "音楽CDを読む GStreamer の要素 (cdiocddasrc) がありません。"};
        }
        // The whole disc as one stream: play runs on from track to track.
        g_object_set(source, "device", cdio_->path().c_str(), nullptr);
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
        if (cd_ && !toc_.sources.empty()) {
            // From where the last seek put the play.
            const std::size_t track = audioTrackFrom(seekTrack_);
            if (track >= toc_.sources.size()) {
                return {ErrorCannotPlay, "このディスクには再生できるトラックがありません。"};
            }
            if (Result built = buildFileTrackPipeline(track); built.code != 0) {
                return built;
            }
            return seekRun(track, track == seekTrack_ ? seekWithin_ : 0);
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
    DiscToc toc_;
    // Why a damaged image has no tracks.
    std::string problem_;
    // What the CD source opens, for drives and images libcdio reads.
    std::unique_ptr<CdioElement> cdio_;
    // The tracks the pipeline plays, for images played from their files,
    // and where the last seek put it.
    std::size_t runFirst_ = 0;
    std::size_t runLast_ = 0;
    std::size_t seekTrack_ = 0;
    std::int64_t seekWithin_ = 0;
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
