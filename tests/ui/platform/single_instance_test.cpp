#include "ui/platform/single_instance.h"

#include <gtest/gtest.h>

#include <QLocalServer>
#include <QSignalSpy>
#include <filesystem>

#include "backends/folder_lock.h"
#include "support/temp_dir.h"
#include "support/widget_access.h"

namespace velmora::ui {
namespace {

using platform::FolderLock;
using test::TempDir;
using test::waitUntil;

QString qPath(const std::filesystem::path& path)
{
    return QString::fromStdString(path.string());
}

// What the program does at start: the folder's lock decides who is first.
SingleInstance::Start startOn(SingleInstance& instance, FolderLock& lock, int retryMilliseconds = 5000)
{
    return instance.start([&](int wait) { return lock.lock(wait) != FolderLock::Outcome::HeldByOther; },
                          retryMilliseconds);
}

TEST(SingleInstance, ASecondStartOnTheFolderBringsTheFirstForward)
{
    TempDir dir;
    std::filesystem::create_directory(dir / "data");
    std::filesystem::create_directory_symlink(dir / "data", dir / "link");
    EXPECT_EQ(SingleInstance::serverName(qPath(dir / "link")),
              SingleInstance::serverName(qPath(dir / "data")));
    EXPECT_EQ(SingleInstance::serverName(qPath(dir / "data" / ".." / "data" / "")),
              SingleInstance::serverName(qPath(dir / "data")));

    SingleInstance first(qPath(dir / "data"));
    FolderLock firstLock(dir / "data");
    QSignalSpy raised(&first, &SingleInstance::activationRequested);
    ASSERT_EQ(startOn(first, firstLock), SingleInstance::Start::First);
    EXPECT_TRUE(firstLock.isLocked());

    // The same folder, also through a link: handed over, the lock untouched.
    for (const char* spelling : {"data", "link"}) {
        const int before = static_cast<int>(raised.count());
        SingleInstance second(qPath(dir / spelling));
        FolderLock secondLock(dir / spelling);
        EXPECT_EQ(startOn(second, secondLock), SingleInstance::Start::HandedOver) << spelling;
        EXPECT_FALSE(secondLock.isLocked()) << spelling;
        EXPECT_TRUE(waitUntil([&] { return raised.count() == before + 1; })) << spelling;
    }

    // Another folder is a window of its own.
    std::filesystem::create_directory(dir / "other");
    SingleInstance other(qPath(dir / "other"));
    FolderLock otherLock(dir / "other");
    EXPECT_EQ(startOn(other, otherLock), SingleInstance::Start::First);
    EXPECT_EQ(raised.count(), 2);
}

TEST(SingleInstance, TheSocketOfAWindowThatDiedIsTakenOver)
{
    TempDir dir;
    // A killed window leaves its socket file, with nobody behind it.
    const QString name = SingleInstance::serverName(qPath(dir.path()));
    {
        QLocalServer dead;
        dead.setSocketOptions(QLocalServer::UserAccessOption);
        ASSERT_TRUE(dead.listen(name));
    }
    SingleInstance next(qPath(dir.path()));
    FolderLock lock(dir.path());
    EXPECT_FALSE(next.activateRunning());
    ASSERT_EQ(startOn(next, lock), SingleInstance::Start::First);
    QSignalSpy raised(&next, &SingleInstance::activationRequested);
    SingleInstance later(qPath(dir.path()));
    EXPECT_TRUE(later.activateRunning());
    EXPECT_TRUE(waitUntil([&] { return raised.count() == 1; }));
}

TEST(SingleInstance, AHeldFolderWithoutAWindowIsBusy)
{
    TempDir dir;
    FolderLock holder(dir.path());  // a window that hangs before it answers
    ASSERT_EQ(holder.lock(), FolderLock::Outcome::Locked);
    SingleInstance start(qPath(dir.path()));
    FolderLock lock(dir.path());
    EXPECT_EQ(startOn(start, lock, 300), SingleInstance::Start::Busy);
    EXPECT_FALSE(lock.isLocked());
}

}  // namespace
}  // namespace velmora::ui
