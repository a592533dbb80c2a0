// The GStreamer and libcdio devices on real files and disc images, with the
// sound going to a fake sink.
#include <gst/gst.h>
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <mutex>

#include "backends/cd_drive.h"
#include "backends/gst_media.h"
#include "support/audio_files.h"
#include "support/temp_dir.h"

namespace velmora::media {
namespace {

using namespace std::chrono_literals;

// Stands in for the window's event loop: posted calls wait here until the
// test runs them.
class PostQueue {
public:
    GstMediaSystem::Poster poster()
    {
        return [this](std::function<void()> call) {
            {
                std::lock_guard lock(mutex_);
                calls_.push_back(std::move(call));
            }
            posted_.notify_one();
        };
    }
    // Runs posted calls until `done` holds or the time is up.
    template <typename Done>
    bool runUntil(Done done, std::chrono::milliseconds limit = 8000ms)
    {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!done()) {
            if (std::chrono::steady_clock::now() > end) {
                return false;
            }
            std::deque<std::function<void()>> calls;
            {
                // A posted call wakes the loop; the device's state (polled by
                // `done`) is looked at again at least every few milliseconds.
                std::unique_lock lock(mutex_);
                posted_.wait_for(lock, 5ms, [this] { return !calls_.empty(); });
                calls.swap(calls_);
            }
            for (auto& call : calls) {
                call();
            }
        }
        return true;
    }

private:
    std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<std::function<void()>> calls_;
};

class GstMediaTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { setenv("VELMORA_AUDIO_SINK", "fakesink sync=true", 1); }

    void openFile(MediaDevice& device, const std::filesystem::path& file)
    {
        device.setFileName(file.string());
        device.setWait(true);
        ASSERT_TRUE(device.open()) << device.errorMessage();
    }

    test::TempDir dir;
    PostQueue queue;
    GstMediaSystem system{queue.poster()};
};

TEST_F(GstMediaTest, WavPlaysPausesSeeksAndEndsWithANotification)
{
    const auto wav = dir / "tone.wav";
    test::writeWav(wav, 1500);
    auto device = system.makeDevice();
    std::vector<NotifyResult> notes;
    device->onNotify = [&notes](NotifyResult result) { notes.push_back(result); };
    openFile(*device, wav);
    EXPECT_NE(device->deviceId(), 0);
    EXPECT_NEAR(static_cast<double>(device->length()), 1500, 20);
    EXPECT_EQ(device->mode(), Mode::Stopped);

    device->setNotify(true);
    device->play();
    EXPECT_EQ(device->error(), 0);
    EXPECT_EQ(device->mode(), Mode::Playing);
    // Some of the tone has played.
    ASSERT_TRUE(queue.runUntil([&] { return device->position() > 150; }));
    device->setWait(true);
    device->pause();
    EXPECT_EQ(device->mode(), Mode::Paused);
    const std::int64_t held = device->position();
    EXPECT_GT(held, 150);
    // Paused, the position stays where it was (it never moves away).
    EXPECT_FALSE(queue.runUntil([&] { return std::abs(device->position() - held) > 30; }, 200ms));
    device->resume();
    EXPECT_EQ(device->mode(), Mode::Playing);

    // A seek stops the play at the new place.
    device->setWait(true);
    device->seek(1000);
    EXPECT_EQ(device->mode(), Mode::Stopped);
    EXPECT_NEAR(static_cast<double>(device->position()), 1000, 30);

    device->setNotify(true);
    device->play();
    ASSERT_TRUE(queue.runUntil([&] { return !notes.empty(); }));
    EXPECT_EQ(notes, std::vector<NotifyResult>{NotifyResult::Successful});
    EXPECT_EQ(device->mode(), Mode::Stopped);
    EXPECT_EQ(device->position(), device->length());

    device->rewind();
    EXPECT_EQ(device->position(), 0);
    device->close();
    EXPECT_EQ(device->deviceId(), 0);
    EXPECT_EQ(device->mode(), Mode::NotReady);
}

TEST_F(GstMediaTest, OggFileOpensWithItsLength)
{
    const auto ogg = dir / "tone.ogg";
    GError* error = nullptr;
    const std::string launch =
        "audiotestsrc num-buffers=40 samplesperbuffer=1102 ! audioconvert ! "
        "vorbisenc ! oggmux ! filesink location=\"" +
        ogg.string() + "\"";
    GstElement* encoder = gst_parse_launch(launch.c_str(), &error);
    ASSERT_NE(encoder, nullptr) << (error ? error->message : "");
    gst_element_set_state(encoder, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(encoder);
    GstMessage* done = gst_bus_timed_pop_filtered(
        bus, 10 * GST_SECOND, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    ASSERT_NE(done, nullptr);
    EXPECT_EQ(GST_MESSAGE_TYPE(done), GST_MESSAGE_EOS);
    gst_message_unref(done);
    gst_object_unref(bus);
    gst_element_set_state(encoder, GST_STATE_NULL);
    gst_object_unref(encoder);

    auto device = system.makeDevice();
    openFile(*device, ogg);
    // 40 buffers of 1102 samples at 44.1 kHz: one second.
    EXPECT_NEAR(static_cast<double>(device->length()), 1000, 30);
    bool ended = false;
    device->onNotify = [&ended](NotifyResult) { ended = true; };
    device->setNotify(true);
    device->play();
    EXPECT_TRUE(queue.runUntil([&] { return ended; }));
    EXPECT_EQ(device->error(), 0);
}

TEST_F(GstMediaTest, MissingOrUndecodableFileGivesAJapaneseErrorAndStaysClosed)
{
    auto device = system.makeDevice();
    device->setFileName((dir / "nothing.wav").string());
    device->setWait(true);
    EXPECT_FALSE(device->open());
    EXPECT_NE(device->error(), 0);
    EXPECT_NE(device->errorMessage().find("ファイルが見つかりません"), std::string::npos);
    EXPECT_EQ(device->deviceId(), 0);

    const auto junk = dir / "junk.mp3";
    test::writeBytes(junk, std::string(4000, '\x07'));
    device->setFileName(junk.string());
    device->setWait(true);
    EXPECT_FALSE(device->open());
    EXPECT_NE(device->errorMessage().find("再生できません"), std::string::npos);
    EXPECT_EQ(device->deviceId(), 0);
    EXPECT_EQ(device->mode(), Mode::NotReady);

    // Commands on a closed device fail without doing anything.
    device->play();
    EXPECT_NE(device->error(), 0);
    EXPECT_FALSE(device->errorMessage().empty());
}

using test::msf;

TEST_F(GstMediaTest, DiscImageTableOfContentsGivesTrackLengthsInMinutesSecondsFrames)
{
    const std::vector<std::int64_t> tracks{msf(4, 5, 10), msf(0, 3, 74), msf(1, 0, 0)};
    const auto cue = test::writeDiscImage(dir.path(), "disc", tracks);
    const DriveRead read = readDisc(cue.string());
    ASSERT_EQ(read.state, DriveState::Disc);
    EXPECT_EQ(read.toc.trackFrames, tracks);
    EXPECT_EQ(read.toc.trackStarts, (std::vector<std::int64_t>{0, msf(4, 5, 10), msf(4, 9, 9)}));

    auto device = system.makeDevice();
    device->setDeviceType(DeviceType::CDAudio);
    device->setFileName(cue.string());
    device->setWait(true);
    ASSERT_TRUE(device->open()) << device->errorMessage();
    EXPECT_EQ(device->tracks(), 3);
    EXPECT_EQ(device->trackLength(1), 4 + 5 * 256 + 10 * 65536);
    EXPECT_EQ(device->trackLength(2), 0 + 3 * 256 + 74 * 65536);
    EXPECT_EQ(device->trackLength(3), 1);
    EXPECT_EQ(device->trackLength(4), 0);

    EXPECT_EQ(readDisc((dir / "absent.cue").string()).state, DriveState::Missing);
    const auto garbage = dir / "garbage.cue";
    test::writeBytes(garbage, "this is no disc\n");
    EXPECT_EQ(readDisc(garbage.string()).state, DriveState::NoDisc);
}

TEST_F(GstMediaTest, UnreadableImageOpensWithoutTracksAndMissingDriveFails)
{
    const auto garbage = dir / "garbage.cue";
    test::writeBytes(garbage, "FILE \"none.bin\" BINARY\n");
    auto device = system.makeDevice();
    device->setDeviceType(DeviceType::CDAudio);
    device->setFileName(garbage.string());
    device->setWait(true);
    ASSERT_TRUE(device->open());
    EXPECT_EQ(device->tracks(), 0);
    EXPECT_LE(device->trackLength(1), 1);

    device->setFileName((dir / "no-drive").string());
    device->setWait(true);
    EXPECT_FALSE(device->open());
    EXPECT_NE(device->errorMessage().find("CDドライブ"), std::string::npos);
}

TEST_F(GstMediaTest, CdTrackTwoPlaysWithPositionsInTrackMinutesSecondsFrames)
{
    const std::vector<std::int64_t> tracks{msf(0, 2, 0), msf(0, 1, 30), msf(0, 1, 0)};
    const auto cue = test::writeDiscImage(dir.path(), "disc", tracks);
    auto device = system.makeDevice();
    device->setDeviceType(DeviceType::CDAudio);
    device->setFileName(cue.string());
    device->setWait(true);
    ASSERT_TRUE(device->open()) << device->errorMessage();

    device->setWait(true);
    device->seek(2);  // the start of track 2
    EXPECT_EQ(device->error(), 0) << device->errorMessage();
    Tmsf at = unpackTmsf(device->position());
    EXPECT_EQ(at.track, 2);
    EXPECT_EQ(at.minutes * 60 * 75 + at.seconds * 75 + at.frames, 0);

    device->play();
    EXPECT_EQ(device->error(), 0) << device->errorMessage();
    ASSERT_TRUE(queue.runUntil([&] {
        const Tmsf now = unpackTmsf(device->position());
        return now.track != 2 || now.seconds * 75 + now.frames >= 30;
    }));
    at = unpackTmsf(device->position());
    EXPECT_EQ(at.track, 2);
    EXPECT_GE(at.seconds * 75 + at.frames, 30);

    // A position inside track 3, packed.
    device->setWait(true);
    device->seek(packTmsf({3, 0, 0, 40}));
    at = unpackTmsf(device->position());
    EXPECT_EQ(at.track, 3);
    EXPECT_NEAR(at.frames, 40, 2);

    // Playing on runs into the end of the disc and stops there.
    bool ended = false;
    device->onNotify = [&ended](NotifyResult) { ended = true; };
    device->setNotify(true);
    device->play();
    ASSERT_TRUE(queue.runUntil([&] { return ended; }));
    EXPECT_EQ(device->mode(), Mode::Stopped);
    EXPECT_EQ(unpackTmsf(device->position()).track, 3);

    // From the end, back to the start of the disc and on again.
    device->rewind();
    EXPECT_EQ(device->error(), 0) << device->errorMessage();
    EXPECT_EQ(device->position(), packTmsf({1, 0, 0, 0}));
    device->play();
    ASSERT_TRUE(queue.runUntil([&] {
        const Tmsf now = unpackTmsf(device->position());
        return now.track != 1 || now.frames + now.seconds * 75 > 5;
    }));
    at = unpackTmsf(device->position());
    EXPECT_EQ(at.track, 1);
    EXPECT_GT(at.frames + at.seconds * 75, 5);
}

}  // namespace
}  // namespace velmora::media
