// The options dialog by keyboard: Tab leaves the site table and reaches OK
// and キャンセル, Enter outside the table presses OK, and a second opening
// shows what the first did.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>

#include "ui/main/main_window_fixture.h"
#include "ui/options/options_dialog.h"

namespace velmora::ui {
namespace {

using test::focusName;
using test::press;

class OptionsKeyboardTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        window = open();
        options = window->findChild<OptionsDialog*>();
        openOptions();
        sites = child<QTableWidget>(options, "siteTable");
    }
    void TearDown() override
    {
        options->hide();
        trigger(window.get(), "quitWithoutSaving");
        MainWindowTest::TearDown();
    }
    void openOptions()
    {
        trigger(window.get(), "options");
        ASSERT_TRUE(options->isVisible());
        options->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(options));
    }
    std::unique_ptr<MainWindow> window;
    OptionsDialog* options = nullptr;
    QTableWidget* sites = nullptr;
};

TEST_F(OptionsKeyboardTest, TabLeavesTheSiteTableAndReachesOkAndCancel)
{
    ASSERT_GT(sites->rowCount(), 1);
    sites->setFocus();
    sites->setCurrentCell(0, 0);
    press(Qt::Key_Tab);
    EXPECT_EQ(focusName(), QStringLiteral("siteTable")) << "inside, Tab goes to the next cell";
    EXPECT_EQ(sites->currentColumn(), 1);

    sites->setCurrentCell(sites->rowCount() - 1, 2);
    press(Qt::Key_Tab);
    EXPECT_EQ(focusName(), QStringLiteral("okButton")) << "the last cell lets Tab out";
    press(Qt::Key_Tab);
    EXPECT_EQ(focusName(), QStringLiteral("cancelButton"));
    press(Qt::Key_Tab);
    EXPECT_EQ(focusName(), QStringLiteral("pageTree")) << "and round to the page tree";

    sites->setFocus();
    sites->setCurrentCell(0, 0);
    press(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(focusName(), QStringLiteral("defaultSitesButton")) << "Shift+Tab leaves at the first cell";
}

TEST_F(OptionsKeyboardTest, EnterOutsideTheTablePressesOk)
{
    int accepted = 0;
    QObject::connect(options, &OptionsDialog::settingsAccepted, [&] { ++accepted; });
    const int rows = sites->rowCount();
    for (QPushButton* button : options->findChildren<QPushButton*>()) {
        EXPECT_EQ(button->isDefault(), button->objectName() == QLatin1String("okButton"))
            << button->objectName().toStdString();
    }
    // After a click on 追加, Enter still means OK.
    child<QPushButton>(options, "addSiteButton")->click();
    ASSERT_EQ(sites->rowCount(), rows + 1);
    child<QComboBox>(options, "tagEncodingCombo")->setFocus();
    press(Qt::Key_Return);
    EXPECT_EQ(accepted, 1);
    EXPECT_FALSE(options->isVisible());
    EXPECT_EQ(sites->rowCount(), rows + 1) << "no row was added by Enter";
}

TEST_F(OptionsKeyboardTest, EnterInTheSiteTableEditsACellAndKeepsTheDialogOpen)
{
    sites->setFocus();
    sites->setCurrentCell(1, 0);
    press(Qt::Key_Return);
    ASSERT_TRUE(test::waitUntil([] { return qobject_cast<QLineEdit*>(QApplication::focusWidget()); }))
        << "Enter starts editing the cell";
    QApplication::focusWidget()->setProperty("text", QString());
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Site"));
    press(Qt::Key_Return);
    EXPECT_TRUE(options->isVisible()) << "Enter ends the edit, not the dialog";
    // The delegate commits the text once the event has been handled.
    EXPECT_TRUE(test::waitUntil([&] { return sites->item(1, 0)->text() == QStringLiteral("Site"); }));
    EXPECT_TRUE(options->isVisible());
}

TEST_F(OptionsKeyboardTest, ASecondOpeningShowsTheSameItems)
{
    auto* items = child<QListWidget>(options, "webSearchItemList");
    QStringList first;
    for (int i = 0; i < items->count(); ++i) {
        first << items->item(i)->text();
    }
    EXPECT_EQ(first.value(3), QStringLiteral("ジャンル名"));
    child<QPushButton>(options, "cancelButton")->click();
    openOptions();
    QStringList second;
    for (int i = 0; i < items->count(); ++i) {
        second << items->item(i)->text();
    }
    EXPECT_EQ(second.join(QLatin1Char(',')).toStdString(), first.join(QLatin1Char(',')).toStdString());
    // OK without a rename keeps them too.
    child<QPushButton>(options, "okButton")->click();
    openOptions();
    QStringList third;
    for (int i = 0; i < items->count(); ++i) {
        third << items->item(i)->text();
    }
    EXPECT_EQ(third.join(QLatin1Char(',')).toStdString(), first.join(QLatin1Char(',')).toStdString());
}

}  // namespace
}  // namespace velmora::ui
