#include "backends/folder_lock.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "support/temp_dir.h"

namespace velmora::platform {
namespace {

using test::TempDir;

// Started again with VELMORA_TEST_HOLD_LOCK=folder, this program takes the
// folder's lock, says so on its standard output and waits to be killed: a
// window that dies without letting its lock go.
const bool kLockHolder = [] {
    const char* folder = std::getenv("VELMORA_TEST_HOLD_LOCK");
    if (folder == nullptr) {
        return false;
    }
    FolderLock lock(folder);
    const char* said = lock.lock() == FolderLock::Outcome::Locked ? "L" : "F";
    if (::write(STDOUT_FILENO, said, 1) != 1) {
        std::_Exit(1);
    }
    for (;;) {
        ::pause();
    }
}();

TEST(FolderLock, OneHolderAtATimeInOneProcess)
{
    TempDir dir;
    FolderLock first(dir.path());
    FolderLock second(dir.path());
    EXPECT_FALSE(FolderLock::heldByOther(dir.path()));
    ASSERT_EQ(first.lock(), FolderLock::Outcome::Locked);
    EXPECT_TRUE(first.isLocked());
    EXPECT_TRUE(std::filesystem::exists(dir / kLockFileName));
    EXPECT_FALSE(std::filesystem::exists(dir / "VLM.dat")) << "the lock is a file of its own";
    EXPECT_EQ(first.lock(), FolderLock::Outcome::Locked) << "taken again by its holder";
    EXPECT_EQ(second.lock(), FolderLock::Outcome::HeldByOther);
    EXPECT_FALSE(second.isLocked());
    EXPECT_TRUE(FolderLock::heldByOther(dir.path()));

    first.unlock();
    EXPECT_FALSE(std::filesystem::exists(dir / kLockFileName));
    EXPECT_FALSE(FolderLock::heldByOther(dir.path()));
    EXPECT_EQ(second.lock(), FolderLock::Outcome::Locked);
    EXPECT_EQ(first.lock(), FolderLock::Outcome::HeldByOther);
}

TEST(FolderLock, AnotherSpellingOfTheFolderIsTheSameLock)
{
    TempDir dir;
    std::filesystem::create_directory(dir / "data");
    std::filesystem::create_directory_symlink(dir / "data", dir / "link");
    FolderLock first(dir / "data");
    ASSERT_EQ(first.lock(), FolderLock::Outcome::Locked);
    FolderLock throughLink(dir / "link");
    EXPECT_EQ(throughLink.lock(), FolderLock::Outcome::HeldByOther);
    FolderLock dotted(dir / "link" / ".." / "data" / ".");
    EXPECT_EQ(dotted.lock(), FolderLock::Outcome::HeldByOther);
}

TEST(FolderLock, AFolderThatCannotHoldTheLockIsNoHolder)
{
    TempDir dir;
    FolderLock missing(dir / "none");
    EXPECT_EQ(missing.lock(), FolderLock::Outcome::Unavailable);
    EXPECT_FALSE(FolderLock::heldByOther(dir / "none"));
}

TEST(FolderLock, TheLockOfAKilledProcessIsTakenOver)
{
    TempDir dir;
    int out[2];
    ASSERT_EQ(::pipe(out), 0);
    const std::string env = "VELMORA_TEST_HOLD_LOCK=" + dir.path().string();
    char* const argv[] = {const_cast<char*>("folder_lock_holder"), nullptr};
    char* const envp[] = {const_cast<char*>(env.c_str()), nullptr};
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::execve("/proc/self/exe", argv, envp);
        ::_exit(127);
    }
    ::close(out[1]);
    char said = 0;
    // The read returns when the holder has the lock (or died without it).
    const ssize_t n = ::read(out[0], &said, 1);
    ::close(out[0]);
    ASSERT_EQ(n, 1);
    ASSERT_EQ(said, 'L');
    FolderLock mine(dir.path());
    EXPECT_EQ(mine.lock(), FolderLock::Outcome::HeldByOther) << "its holder runs";
    EXPECT_TRUE(FolderLock::heldByOther(dir.path()));

    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(std::filesystem::exists(dir / kLockFileName)) << "a killed holder leaves its file";
    EXPECT_FALSE(FolderLock::heldByOther(dir.path()));
    EXPECT_EQ(mine.lock(), FolderLock::Outcome::Locked);
}

}  // namespace
}  // namespace velmora::platform
