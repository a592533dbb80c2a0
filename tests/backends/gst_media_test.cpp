// The GStreamer and libcdio devices on real files and disc images, with the
// sound going to a fake sink.
#include <gst/gst.h>
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <fstream>
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

// Rips whose tracks lie in files the sheet names: each track a stretch of
// one steady sample value, so what was played can be told from the samples
// the sink wrote. The values read the same in either byte order.
constexpr std::int16_t Level1 = 0x0A0A;
constexpr std::int16_t Level2 = 0x1414;
constexpr std::int16_t Level3 = 0x1E1E;
constexpr std::int16_t GapLevel = 0x0505;
constexpr std::int64_t SamplesPerSector = 588;

struct Stretch {
    std::int64_t sectors = 0;
    std::int16_t level = 0;
};

std::string levelSamples(const std::vector<Stretch>& stretches)
{
    std::string bytes;
    for (const Stretch& stretch : stretches) {
        const auto low = static_cast<char>(stretch.level & 0xFF);
        const auto high = static_cast<char>((stretch.level >> 8) & 0xFF);
        for (std::int64_t i = 0; i < stretch.sectors * SamplesPerSector * 2; ++i) {
            bytes += low;
            bytes += high;
        }
    }
    return bytes;
}

void writeLevelWav(const std::filesystem::path& path, const std::vector<Stretch>& stretches)
{
    const std::string samples = levelSamples(stretches);
    test::writeBytes(path, test::wavHeader(static_cast<std::uint32_t>(samples.size())) + samples);
}

void writeLevelBin(const std::filesystem::path& path, const std::vector<Stretch>& stretches)
{
    test::writeBytes(path, levelSamples(stretches));
}

bool encodeFlac(const std::filesystem::path& wav, const std::filesystem::path& flac)
{
    const std::string launch = "filesrc location=\"" + wav.string() +
                               "\" ! wavparse ! audioconvert ! flacenc ! filesink location=\"" +
                               flac.string() + "\"";
    GstElement* encoder = gst_parse_launch(launch.c_str(), nullptr);
    if (encoder == nullptr) {
        return false;
    }
    gst_element_set_state(encoder, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(encoder);
    GstMessage* done = gst_bus_timed_pop_filtered(
        bus, 20 * GST_SECOND, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    const bool ended = done != nullptr && GST_MESSAGE_TYPE(done) == GST_MESSAGE_EOS;
    if (done != nullptr) {
        gst_message_unref(done);
    }
    gst_object_unref(bus);
    gst_element_set_state(encoder, GST_STATE_NULL);
    gst_object_unref(encoder);
    return ended;
}

// A run of equal samples the sink received.
struct SampleRun {
    std::int16_t level = 0;
    std::int64_t samples = 0;
    bool operator==(const SampleRun&) const = default;
};

std::ostream& operator<<(std::ostream& out, const SampleRun& run)
{
    return out << "{" << run.level << " x " << run.samples << "}";
}

class ImagePlayTest : public GstMediaTest {
protected:
    void SetUp() override { useSink(false); }
    void TearDown() override { setenv("VELMORA_AUDIO_SINK", "fakesink sync=true", 1); }

    // The sound goes, as CD samples, to the end of a file; every pipeline
    // the device builds adds to it.
    void useSink(bool sync)
    {
        const std::string sink =
            "audioconvert ! audio/x-raw,format=S16LE,rate=44100,channels=2 ! "
            "filesink append=true sync=" +
            std::string(sync ? "true" : "false") + " location=\"" + output.string() + "\"";
        setenv("VELMORA_AUDIO_SINK", sink.c_str(), 1);
    }

    std::unique_ptr<MediaDevice> openImage(const std::filesystem::path& image)
    {
        auto device = system.makeDevice();
        device->setDeviceType(DeviceType::CDAudio);
        device->setFileName(image.string());
        device->setWait(true);
        EXPECT_TRUE(device->open()) << device->errorMessage();
        return device;
    }

    // Plays from the start of `track` to the end of the disc.
    void playToTheEnd(MediaDevice& device, int track)
    {
        std::filesystem::remove(output);
        device.setWait(true);
        device.seek(track);
        ASSERT_EQ(device.error(), 0) << device.errorMessage();
        bool ended = false;
        device.onNotify = [&ended](NotifyResult) { ended = true; };
        device.setNotify(true);
        device.play();
        ASSERT_EQ(device.error(), 0) << device.errorMessage();
        ASSERT_TRUE(queue.runUntil([&] { return ended; }, 20000ms));
        EXPECT_EQ(device.error(), 0) << device.errorMessage();
        EXPECT_EQ(device.mode(), Mode::Stopped);
        device.onNotify = nullptr;
    }

    // The left channel of what was played, as runs of equal samples; a
    // sample or two where a seek lands between samples is left out.
    std::vector<SampleRun> playedRuns() const
    {
        std::ifstream in(output, std::ios::binary);
        std::vector<SampleRun> runs;
        char frame[4];
        while (in.read(frame, 4)) {
            const auto level = static_cast<std::int16_t>(static_cast<unsigned char>(frame[0]) |
                                                         (static_cast<unsigned char>(frame[1]) << 8));
            if (runs.empty() || runs.back().level != level) {
                runs.push_back({level, 0});
            }
            ++runs.back().samples;
        }
        std::erase_if(runs, [](const SampleRun& run) { return run.samples <= 2; });
        return runs;
    }

    static std::vector<SampleRun> expectedRuns(const std::vector<Stretch>& stretches)
    {
        std::vector<SampleRun> runs;
        for (const Stretch& stretch : stretches) {
            runs.push_back({stretch.level, stretch.sectors * SamplesPerSector});
        }
        return runs;
    }

    // Compares runs allowing a sample's difference at each end of a run.
    static void expectRuns(const std::vector<SampleRun>& played, const std::vector<SampleRun>& expected)
    {
        ASSERT_EQ(played.size(), expected.size()) << ::testing::PrintToString(played);
        for (std::size_t i = 0; i < played.size(); ++i) {
            EXPECT_EQ(played[i].level, expected[i].level) << i;
            EXPECT_NEAR(static_cast<double>(played[i].samples), static_cast<double>(expected[i].samples), 2)
                << i;
        }
    }

    std::filesystem::path output = dir / "played.raw";
};

// Three tracks in one file, a gap (INDEX 00) before track 2 inside it.
std::string singleFileSheet(const std::string& file, const std::string& type)
{
    return "FILE \"" + file + "\" " + type +
           "\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
           "  TRACK 02 AUDIO\n    INDEX 00 00:01:00\n    INDEX 01 00:01:30\n"
           "  TRACK 03 AUDIO\n    INDEX 01 00:02:30\n";
}
const std::vector<Stretch> SingleFileStretches{
    {msf(0, 1, 0), Level1}, {msf(0, 0, 30), GapLevel}, {msf(0, 1, 0), Level2}, {msf(0, 0, 60), Level3}};

TEST_F(ImagePlayTest, WavAndFlacRipsPlayTrackTwoFromItsOwnStretchOnToTheEnd)
{
    writeLevelWav(dir / "CDImage.wav", SingleFileStretches);
    test::writeBytes(dir / "CDImage.cue", singleFileSheet("CDImage.wav", "WAVE"));
    auto device = openImage(dir / "CDImage.cue");
    ASSERT_EQ(device->tracks(), 3);
    playToTheEnd(*device, 2);
    expectRuns(playedRuns(), expectedRuns({SingleFileStretches[2], SingleFileStretches[3]}));
    EXPECT_EQ(unpackTmsf(device->position()).track, 3);

    // From track 1 the gap before track 2 plays as the end of track 1.
    playToTheEnd(*device, 1);
    expectRuns(playedRuns(), expectedRuns(SingleFileStretches));

    ASSERT_TRUE(encodeFlac(dir / "CDImage.wav", dir / "Album.flac"));
    test::writeBytes(dir / "Album.cue", singleFileSheet("Album.flac", "WAVE"));
    device = openImage(dir / "Album.cue");
    playToTheEnd(*device, 2);
    expectRuns(playedRuns(), expectedRuns({SingleFileStretches[2], SingleFileStretches[3]}));
}

TEST_F(ImagePlayTest, BinaryNamedOtherThanTheSheetPlaysWithPositionsInsideTheTrack)
{
    useSink(true);
    writeLevelBin(dir / "audio data.bin", SingleFileStretches);
    test::writeBytes(dir / "rip.cue", singleFileSheet("audio data.bin", "BINARY"));
    auto device = openImage(dir / "rip.cue");
    device->setWait(true);
    device->seek(packTmsf({2, 0, 0, 40}));
    ASSERT_EQ(device->error(), 0) << device->errorMessage();
    Tmsf at = unpackTmsf(device->position());
    EXPECT_EQ(at.track, 2);
    EXPECT_EQ(at.seconds * 75 + at.frames, 40);

    bool ended = false;
    device->onNotify = [&ended](NotifyResult) { ended = true; };
    device->setNotify(true);
    device->play();
    ASSERT_EQ(device->error(), 0) << device->errorMessage();
    // Track 2 plays on from where it was put, within its length...
    ASSERT_TRUE(queue.runUntil([&] {
        const Tmsf now = unpackTmsf(device->position());
        return now.track != 2 || now.seconds * 75 + now.frames >= 55;
    }));
    at = unpackTmsf(device->position());
    EXPECT_EQ(at.track, 2);
    EXPECT_LT(at.seconds * 75 + at.frames, msf(0, 1, 0));
    // ...then track 3, and the disc ends.
    ASSERT_TRUE(queue.runUntil([&] { return unpackTmsf(device->position()).track == 3; }));
    EXPECT_EQ(device->mode(), Mode::Playing);
    ASSERT_TRUE(queue.runUntil([&] { return ended; }));
    EXPECT_EQ(device->error(), 0) << device->errorMessage();
    expectRuns(playedRuns(), expectedRuns({{msf(0, 1, 0) - 40, Level2}, SingleFileStretches[3]}));
}

TEST_F(ImagePlayTest, OneFilePerTrackPlaysFromFileToFileAndNamesAMissingFile)
{
    // Track 2's gap at the end of file 1, a PREGAP of silence in no file
    // before track 3.
    writeLevelWav(dir / "01.wav", {{msf(0, 1, 0), Level1}, {msf(0, 0, 20), GapLevel}});
    writeLevelWav(dir / "02.wav", {{msf(0, 1, 10), Level2}});
    writeLevelWav(dir / "03.wav", {{msf(0, 0, 50), Level3}});
    test::writeBytes(dir / "album.cue",
                     "FILE \"01.wav\" WAVE\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
                     "  TRACK 02 AUDIO\n    INDEX 00 00:01:00\n"
                     "FILE \"02.wav\" WAVE\n    INDEX 01 00:00:00\n"
                     "FILE \"03.wav\" WAVE\n  TRACK 03 AUDIO\n    PREGAP 00:00:30\n"
                     "    INDEX 01 00:00:00\n");
    auto device = openImage(dir / "album.cue");
    ASSERT_EQ(device->tracks(), 3);
    playToTheEnd(*device, 2);
    expectRuns(playedRuns(), expectedRuns({{msf(0, 1, 10), Level2}, {msf(0, 0, 50), Level3}}));
    playToTheEnd(*device, 1);
    expectRuns(playedRuns(), expectedRuns({{msf(0, 1, 0), Level1},
                                           {msf(0, 0, 20), GapLevel},
                                           {msf(0, 1, 10), Level2},
                                           {msf(0, 0, 50), Level3}}));

    // A file that went away since the disc was read is named.
    std::filesystem::remove(dir / "03.wav");
    device->setWait(true);
    device->seek(3);
    EXPECT_EQ(device->errorMessage(), "キューシートが指すファイルがありません: 03.wav");
    // Play does not fall back to another track.
    device->play();
    EXPECT_NE(device->error(), 0);
    EXPECT_EQ(device->errorMessage(), "キューシートが指すファイルがありません: 03.wav");
    EXPECT_NE(device->mode(), Mode::Playing);

    // Opened without it, the disc has no tracks and play says which file
    // is missing.
    device = openImage(dir / "album.cue");
    EXPECT_EQ(device->tracks(), 0);
    device->play();
    EXPECT_EQ(device->errorMessage(), "キューシートが指すファイルがありません: 03.wav");
}

TEST_F(ImagePlayTest, DataTrackAfterTheSoundIsNeverPlayed)
{
    // An Enhanced CD ripped to one file: the data sectors would play as noise.
    writeLevelBin(dir / "enhanced.img",
                  {{msf(0, 1, 0), Level1}, {msf(0, 0, 40), Level2}, {msf(0, 1, 0), GapLevel}});
    test::writeBytes(dir / "enhanced.cue",
                     "FILE \"enhanced.img\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
                     "  TRACK 02 AUDIO\n    INDEX 01 00:01:00\n"
                     "  TRACK 03 MODE1/2352\n    INDEX 01 00:01:40\n");
    auto device = openImage(dir / "enhanced.cue");
    ASSERT_EQ(device->tracks(), 3);
    playToTheEnd(*device, 2);
    expectRuns(playedRuns(), expectedRuns({{msf(0, 0, 40), Level2}}));

    device->setWait(true);
    device->seek(3);
    EXPECT_NE(device->error(), 0);
    EXPECT_EQ(device->errorMessage(), "データトラックは再生できません。");
}

TEST_F(ImagePlayTest, TocFileOpenedFromAnotherFolderPlaysItsOwnFiles)
{
    std::filesystem::create_directories(dir / "rips" / "disc");
    const std::vector<Stretch> stretches{
        {msf(0, 1, 0), Level1}, {msf(0, 0, 45), Level2}, {msf(0, 0, 30), Level3}};
    writeLevelBin(dir / "rips" / "disc" / "audio.bin", stretches);
    test::writeBytes(dir / "rips" / "disc" / "disc.toc",
                     "CD_DA\nTRACK AUDIO\nFILE \"audio.bin\" 00:00:00 00:01:00\n"
                     "TRACK AUDIO\nFILE \"audio.bin\" 00:01:00 00:00:45\n"
                     "TRACK AUDIO\nFILE \"audio.bin\" 00:01:45 00:00:30\n");
    ASSERT_NE(std::filesystem::current_path(), dir / "rips" / "disc");
    auto device = openImage(dir / "rips" / "disc" / "disc.toc");
    ASSERT_EQ(device->tracks(), 3);
    playToTheEnd(*device, 2);
    expectRuns(playedRuns(), expectedRuns({stretches[1], stretches[2]}));
}

}  // namespace
}  // namespace velmora::media
