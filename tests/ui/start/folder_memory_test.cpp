// File dialogs start in the folder last used for their kind of file.
#include <gtest/gtest.h>

#include "ui/platform/folder_memory.h"

namespace velmora::ui {
namespace {

const QString kCsv = QStringLiteral("CSVファイル (*.csv);;すべてのファイル (*)");
const QString kHtml = QStringLiteral("HTMLファイル (*.html *.htm);;すべてのファイル (*)");

TEST(FolderMemory, EachKindOfFileOpensWhereItWasLastChosen)
{
    FolderMemory folders;
    EXPECT_EQ(folders.startPath(kCsv, QString()), QString()) << "nothing remembered yet";
    folders.remember(kCsv, QStringLiteral("/home/user/exports/albums.csv"));
    folders.remember(kHtml, QStringLiteral("/srv/www/list.html"));
    EXPECT_EQ(folders.startPath(kCsv, QString()), QStringLiteral("/home/user/exports"));
    EXPECT_EQ(folders.startPath(kHtml, QString()), QStringLiteral("/srv/www"));
    // A bare name goes into the remembered folder; a full path is kept.
    EXPECT_EQ(folders.startPath(kCsv, QStringLiteral("cover.csv")),
              QStringLiteral("/home/user/exports/cover.csv"));
    EXPECT_EQ(folders.startPath(kCsv, QStringLiteral("/tmp/x.csv")), QStringLiteral("/tmp/x.csv"));
    // A cancelled dialog changes nothing; a later choice replaces the folder.
    folders.remember(kCsv, QString());
    EXPECT_EQ(folders.startPath(kCsv, QString()), QStringLiteral("/home/user/exports"));
    folders.remember(kCsv, QStringLiteral("/media/usb/a.csv"));
    EXPECT_EQ(folders.startPath(kCsv, QString()), QStringLiteral("/media/usb"));
}

}  // namespace
}  // namespace velmora::ui
