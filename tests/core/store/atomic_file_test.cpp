#include "core/store/atomic_file.h"

#include <fcntl.h>
#include <sched.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utime.h>

#include <gtest/gtest.h>

#include <csignal>
#include <ctime>

#include "core/store/app_settings.h"
#include "core/store/data_file.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace velmora::store {
namespace {

namespace fs = std::filesystem;
using test::readBytes;
using test::TempDir;
using test::writeBytes;

std::vector<std::string> namesIn(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Starts a save of `file` in a child process, writes `bytes` and kills the
// child by SIGKILL before the save ends, as the user or the system would.
void killWhileSaving(const fs::path& file, std::string_view bytes)
{
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        AtomicFileWriter writer(file);
        if (writer.open()) {
            writer.write(bytes);
        }
        ::raise(SIGKILL);
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
}

void makeOld(const fs::path& file)
{
    struct utimbuf times {};
    times.actime = times.modtime = std::time(nullptr) - 2 * 3600;
    ASSERT_EQ(::utime(file.c_str(), &times), 0);
}

TEST(AtomicFile, AKilledSaveLeavesAFileThatTheNextRunRemoves)
{
    TempDir dir;
    writeBytes(dir / "VLM.dat", "old\r\n");
    killWhileSaving(dir / "VLM.dat", "half of the n");
    std::vector<std::string> left = namesIn(dir.path());
    ASSERT_EQ(left.size(), 2u) << "the killed writer's file stays behind";
    const std::string temporary = left[0] == "VLM.dat" ? left[1] : left[0];
    EXPECT_TRUE(temporary.starts_with("VLM.dat.velmora-tmp-")) << temporary;
    EXPECT_EQ(readBytes(dir / "VLM.dat"), "old\r\n");

    // Other files that look alike are never touched.
    const std::vector<std::string> others = {"VLM.dat.tmp-notes.txt", "mine.velmora-tmp-",
                                             "mine.velmora-tmp-12",   "mine.velmora-tmp-x-1",
                                             "VLM.txt.tmp-abcdef",    "VLM.dat.tmp-fresh1"};
    for (const std::string& name : others) {
        writeBytes(dir / name, "keep");
    }
    writeBytes(dir / "VLM.ini.tmp-OLD123", "an older version's leftover");
    makeOld(dir / "VLM.ini.tmp-OLD123");
    makeOld(dir / "VLM.txt.tmp-abcdef");
    fs::create_directory(dir / "VLM.dat.velmora-tmp-1-folder");

    EXPECT_EQ(removeStaleTemporaryFiles(dir.path()), 2);
    EXPECT_FALSE(fs::exists(dir / temporary));
    EXPECT_FALSE(fs::exists(dir / "VLM.ini.tmp-OLD123")) << "an hour-old leftover of an older version";
    for (const std::string& name : others) {
        EXPECT_TRUE(fs::exists(dir / name)) << name;
    }
    EXPECT_TRUE(fs::is_directory(dir / "VLM.dat.velmora-tmp-1-folder"));
    EXPECT_EQ(removeStaleTemporaryFiles(dir.path()), 0);
}

TEST(AtomicFile, EachSaveClearsTheLeftoversOfItsFileButNotAFileInUse)
{
    TempDir dir;
    for (int i = 0; i < 3; ++i) {
        killWhileSaving(dir / "VLM.dat", "x");
        EXPECT_EQ(dir.entryCount(), 1u) << "each save removed the leftover of the one before";
    }
    writeBytes(dir / "VLM.dat.velmora-tmp-2147483646-Older1", "an earlier leftover");
    killWhileSaving(dir / "VLM1.txt", "");
    // The killed writer was a process of its own: its first write into the
    // folder took the leftovers of every file there.
    ASSERT_EQ(dir.entryCount(), 1u);

    AtomicFileWriter writer(dir / "VLM.dat");
    ASSERT_TRUE(writer.open());
    ASSERT_TRUE(writer.write("new\r\n"));
    EXPECT_EQ(dir.entryCount(), 1u) << "the first write into the folder cleared every leftover";
    EXPECT_EQ(removeStaleTemporaryFiles(dir.path(), "VLM.dat"), 0) << "the open writer's file is locked";
    EXPECT_EQ(removeStaleTemporaryFiles(dir.path()), 0);
    ASSERT_TRUE(writer.commit());
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"VLM.dat"});
    EXPECT_EQ(readBytes(dir / "VLM.dat"), "new\r\n");

    // Later writes of this process clear their own target's leftovers only.
    writeBytes(dir / "VLM.dat.velmora-tmp-2147483646-Older2", "x");
    writeBytes(dir / "VLM1.txt.velmora-tmp-2147483646-Older3", "x");
    FileError error;
    ASSERT_TRUE(writeFileAtomically(dir / "VLM.dat", "newer\r\n", &error));
    EXPECT_EQ(dir.entryCount(), 2u);
    EXPECT_EQ(removeStaleTemporaryFiles(dir.path()), 1);
}

TEST(AtomicFile, AKilledExportIsClearedByTheNextWriteIntoItsFolder)
{
    // An export target anywhere, not the data folder: the next write into
    // that folder, whatever its name, takes the dead writer's file away.
    TempDir dir;
    fs::create_directory(dir / "export");
    killWhileSaving(dir / "export" / "albums.html", "<html><bo");
    writeBytes(dir / "export" / "notes.velmora-tmp-x-1", "kept: no process named");
    ASSERT_EQ(dir.entryCount(), 1u);
    ASSERT_EQ(namesIn(dir / "export").size(), 2u);

    FileError error;
    ASSERT_TRUE(writeFileAtomically(dir / "export" / "style.css", "body {}", &error)) << error.reason;
    const std::vector<std::string> left = namesIn(dir / "export");
    EXPECT_EQ(left, (std::vector<std::string>{"notes.velmora-tmp-x-1", "style.css"}));
}

TEST(AtomicFile, ASaveWritesThroughLinksAndKeepsThem)
{
    TempDir dir;
    fs::create_directories(dir / "synced" / "deep");
    fs::create_directories(dir / "data");
    writeBytes(dir / "synced" / "deep" / "VLM.dat", "old\r\n");
    // data/VLM.dat -> ../synced/link.dat -> deep/VLM.dat (both relative)
    fs::create_symlink("deep/VLM.dat", dir / "synced" / "link.dat");
    fs::create_symlink("../synced/link.dat", dir / "data" / "VLM.dat");
    writeBytes(dir / "synced" / "deep" / "VLM.ini", "[Form]\r\nLeft=5\r\n");
    fs::create_symlink(dir / "synced" / "deep" / "VLM.ini", dir / "data" / "VLM.ini");
    writeBytes(dir / "synced" / "deep" / "VLM2.txt", "LP\r\n");
    fs::create_symlink(dir / "synced" / "deep" / "VLM2.txt", dir / "data" / "VLM2.txt");

    FileError error;
    ASSERT_TRUE(writeFileAtomically(dir / "data" / "VLM.dat", "new\r\n", &error, Backup::KeepPrevious))
        << error.reason;
    EXPECT_TRUE(fs::is_symlink(dir / "data" / "VLM.dat"));
    EXPECT_TRUE(fs::is_symlink(dir / "synced" / "link.dat"));
    EXPECT_EQ(readBytes(dir / "synced" / "deep" / "VLM.dat"), "new\r\n");

    AppSettings settings;
    settings.form.left = 77;
    ASSERT_TRUE(saveSettingsFile(dir / "data" / "VLM.ini", settings, &error)) << error.reason;
    EXPECT_TRUE(fs::is_symlink(dir / "data" / "VLM.ini"));
    EXPECT_NE(readBytes(dir / "synced" / "deep" / "VLM.ini").find("Left=77\r\n"), std::string::npos);

    ListFiles lists;
    lists.media = {"CD", "DVD"};
    ASSERT_TRUE(lists.save(dir / "data", &error)) << error.reason;
    EXPECT_TRUE(fs::is_symlink(dir / "data" / "VLM2.txt"));
    EXPECT_EQ(readBytes(dir / "synced" / "deep" / "VLM2.txt"), "CD\r\nDVD\r\n");

    EXPECT_EQ(namesIn(dir / "synced" / "deep"),
              (std::vector<std::string>{"VLM.bak", "VLM.dat", "VLM.ini", "VLM2.txt"}))
        << "no temporary file is left, the backup lies beside the real file";
    EXPECT_EQ(readBytes(dir / "synced" / "deep" / "VLM.bak"), "old\r\n");
}

TEST(AtomicFile, ALinkThatLeadsNowhereIsReportedAndNothingIsWritten)
{
    TempDir dir;
    fs::create_symlink("missing/VLM.dat", dir / "VLM.dat");
    fs::create_symlink("loop.ini", dir / "loop.ini");
    FileError error;
    EXPECT_FALSE(writeFileAtomically(dir / "VLM.dat", "new\r\n", &error));
    EXPECT_EQ(error.reason, "リンク先のファイルが見つかりません。");
    EXPECT_EQ(error.path, (dir / "VLM.dat").string());
    EXPECT_FALSE(writeFileAtomically(dir / "loop.ini", "x", &error));
    EXPECT_EQ(error.reason, "リンクの段数が多すぎます。");
    EXPECT_TRUE(fs::is_symlink(dir / "VLM.dat"));
    EXPECT_TRUE(fs::is_symlink(dir / "loop.ini"));
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"VLM.dat", "loop.ini"}));
}

TEST(AtomicFile, TheCatalogueKeepsItsPreviousVersionAsABackup)
{
    TempDir dir;
    ASSERT_TRUE(writeFileAtomically(dir / "VLM.dat", "first\r\n", nullptr, Backup::KeepPrevious));
    EXPECT_FALSE(fs::exists(dir / "VLM.bak")) << "nothing to keep on the first save";
    ASSERT_TRUE(writeFileAtomically(dir / "VLM.dat", "second\r\n", nullptr, Backup::KeepPrevious));
    EXPECT_EQ(readBytes(dir / "VLM.bak"), "first\r\n");
    ASSERT_TRUE(writeFileAtomically(dir / "VLM.dat", "third\r\n", nullptr, Backup::KeepPrevious));
    EXPECT_EQ(readBytes(dir / "VLM.bak"), "second\r\n");
    EXPECT_EQ(readBytes(dir / "VLM.dat"), "third\r\n");
    struct stat data {};
    struct stat backup {};
    ASSERT_EQ(::stat((dir / "VLM.dat").c_str(), &data), 0);
    ASSERT_EQ(::stat((dir / "VLM.bak").c_str(), &backup), 0);
    EXPECT_EQ(data.st_nlink, 1u) << "the backup is the old file itself, not a second name of the new one";
    EXPECT_EQ(backup.st_nlink, 1u);

    ASSERT_TRUE(writeFileAtomically(dir / "VLM.dat", "third\r\n", nullptr, Backup::KeepPrevious));
    EXPECT_EQ(readBytes(dir / "VLM.bak"), "second\r\n") << "saving the same bytes again keeps the backup";
    ASSERT_TRUE(writeFileAtomically(dir / "VLM.dat", "fifth\r\n", nullptr, Backup::KeepPrevious));
    EXPECT_EQ(readBytes(dir / "VLM.bak"), "third\r\n") << "same size, other bytes";

    ASSERT_TRUE(writeFileAtomically(dir / "VLM.ini", "a", nullptr));
    ASSERT_TRUE(writeFileAtomically(dir / "VLM.ini", "b", nullptr));
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"VLM.bak", "VLM.dat", "VLM.ini"}))
        << "only the catalogue keeps a backup";
    EXPECT_EQ(backupNameFor(dir / "VLM.dat"), "VLM.bak");

    // An export that happens to carry the catalogue's name keeps none.
    fs::create_directory(dir / "export");
    ASSERT_TRUE(writeFileAtomically(dir / "export" / "VLM.dat", "a", nullptr));
    ASSERT_TRUE(writeFileAtomically(dir / "export" / "VLM.dat", "b", nullptr));
    EXPECT_EQ(namesIn(dir / "export"), std::vector<std::string>{"VLM.dat"});
}

TEST(AtomicFile, OnlyTheVeryBytesAgainKeepTheBackupOfLargeFiles)
{
    // Larger than the pieces the old file is read in, written row by row as
    // the catalogue is: same bytes keep the backup, any difference (the last
    // byte, one byte more or less) makes the old file the backup.
    std::string large;
    for (int row = 0; large.size() < (3u << 20) + 12345; ++row) {
        large += "row " + std::to_string(row) + "<>" + std::string(static_cast<std::size_t>(row % 97), 'x') +
                 "\r\n";
    }
    TempDir dir;
    auto save = [&](const std::string& bytes) {
        AtomicFileWriter writer(dir / "VLM.dat", Backup::KeepPrevious);
        std::vector<std::string_view> pieces;
        for (std::size_t at = 0; at < bytes.size(); at += 1000) {
            pieces.push_back(std::string_view(bytes).substr(at, 1000));
        }
        return writer.open() && writer.writePieces(pieces) && writer.commit();
    };
    ASSERT_TRUE(writeFileAtomically(dir / "VLM.dat", "before", nullptr, Backup::KeepPrevious));
    ASSERT_TRUE(save(large));
    ASSERT_TRUE(save(large));
    EXPECT_EQ(readBytes(dir / "VLM.bak"), "before") << "the same bytes again";
    std::string lastChanged = large;
    lastChanged.back() = '?';
    ASSERT_TRUE(save(lastChanged));
    EXPECT_EQ(readBytes(dir / "VLM.bak"), large);
    const std::string longer = lastChanged + "z";
    ASSERT_TRUE(save(longer));
    EXPECT_EQ(readBytes(dir / "VLM.bak"), lastChanged);
    ASSERT_TRUE(save(lastChanged));
    EXPECT_EQ(readBytes(dir / "VLM.bak"), longer) << "a shorter file is no copy of a longer one";
    EXPECT_EQ(readBytes(dir / "VLM.dat"), lastChanged);
}

// A file on a drive mounted read-only (a tmpfs remounted read-only in a
// mount namespace of a child process; needs the right to mount).
TEST(AtomicFile, AReadOnlyDriveIsNamedAsSuch)
{
    TempDir dir;
    fs::create_directory(dir / "mnt");
    const std::string answer =
        test::answerFromChild([&]() -> std::string {
            const std::string mnt = (dir / "mnt").string();
            if (::unshare(CLONE_NEWNS) != 0 ||
                ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
                ::mount("none", mnt.c_str(), "tmpfs", 0, nullptr) != 0) {
                return "skip";
            }
            writeBytes(dir / "mnt" / "VLM.dat", "old\r\n");
            if (::mount(nullptr, mnt.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0) {
                return "skip";
            }
            FileError existing;
            FileError fresh;
            writeFileAtomically(dir / "mnt" / "VLM.dat", "new\r\n", &existing);
            writeFileAtomically(dir / "mnt" / "VLM.ini", "new\r\n", &fresh);
            return existing.reason + "|" + fresh.reason + "|" + readBytes(dir / "mnt" / "VLM.dat");
        }).text;
    if (answer == "skip") {
        GTEST_SKIP() << "no right to mount a file system here";
    }
    EXPECT_EQ(answer, "読み取り専用のドライブです。|読み取り専用のドライブです。|old\r\n");
}

// Another user's files (written here as root, tried in a child process that
// has become "nobody"): each message says what cannot be done and why.
TEST(AtomicFile, AnotherUsersFileSaysWhatThePermissionsForbid)
{
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to act as another user";
    }
    TempDir dir;
    fs::permissions(dir.path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                    fs::perms::others_read | fs::perms::others_exec);
    writeBytes(dir / "private.dat", "secret\r\n");
    fs::permissions(dir / "private.dat", fs::perms::owner_read | fs::perms::owner_write);
    writeBytes(dir / "shared.dat", "shared\r\n");
    fs::permissions(dir / "shared.dat", fs::perms::owner_read | fs::perms::owner_write |
                                            fs::perms::group_read | fs::perms::others_read);
    const std::string answer =
        test::answerFromChild([&]() -> std::string {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0) {
                return "skip";
            }
            FileError privateWrite;
            FileError privateRead;
            FileError sharedWrite;
            FileBytes bytes;
            writeFileAtomically(dir / "private.dat", "new\r\n", &privateWrite);
            readWholeFile(dir / "private.dat", bytes, &privateRead);
            writeFileAtomically(dir / "shared.dat", "new\r\n", &sharedWrite);
            return privateWrite.reason + "|" + privateRead.reason + "|" + sharedWrite.reason;
        }).text;
    if (answer == "skip") {
        GTEST_SKIP() << "cannot become another user here";
    }
    EXPECT_EQ(answer,
              "ほかのユーザーのファイルで、読み書きする権限がありません。|"
              "ほかのユーザーのファイルで、読み取る権限がありません。|"
              "ほかのユーザーのファイルで、書き込む権限がありません。");
    EXPECT_EQ(readBytes(dir / "private.dat"), "secret\r\n");
    EXPECT_EQ(readBytes(dir / "shared.dat"), "shared\r\n");
}

TEST(AtomicFile, AReadOnlyFileStaysNamedAsAFile)
{
    TempDir dir;
    writeBytes(dir / "VLM.dat", "old\r\n");
    fs::permissions(dir / "VLM.dat", fs::perms::owner_read | fs::perms::group_read);
    FileError error;
    EXPECT_FALSE(writeFileAtomically(dir / "VLM.dat", "new\r\n", &error));
    EXPECT_EQ(error.reason, "読み取り専用のファイルです。");
    EXPECT_EQ(readBytes(dir / "VLM.dat"), "old\r\n");
}

}  // namespace
}  // namespace velmora::store
