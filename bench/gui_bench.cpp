// Times the main window on a catalogue, offscreen: start-up (splash to
// window shown), show all, sorting by artist, one album selection, the
// peak memory of the running program, and closing the window after none
// of that changed an album (whether the data file was written again).
//
//   velmora-gui-bench --data-dir DIR
#include <sys/resource.h>
#include <sys/stat.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTreeView>
#include <cstdio>

#include "ui/dialogs/about_dialog.h"
#include "ui/main/main_window.h"
#include "ui/platform/app_setup.h"
#include "ui/platform/prompter.h"
#include "ui/platform/shell.h"
#include "ui/widgets/list_views.h"

namespace {

// Benchmarks answer no questions: any question is a failure.
class SilentPrompter : public velmora::ui::Prompter {
public:
    void information(const QString& text) override { fail(text); }
    void error(const QString& text) override { fail(text); }
    bool confirm(const QString& text) override { return fail(text), false; }
    bool informationWithAction(const QString& text, const QString&) override { return fail(text), false; }
    std::optional<int> chooseRow(const QString& title, const QStringList&,
                                 const std::vector<QStringList>&) override
    {
        return fail(title), std::nullopt;
    }
    bool askYesNo(const QString& text) override { return fail(text), false; }
    Answer askYesNoCancel(const QString& text) override { return fail(text), Answer::Cancel; }
    std::optional<QString> inputText(const QString&, const QString& text, const QString&) override
    {
        return fail(text), std::nullopt;
    }
    std::optional<QString> openFile(const QString& text, const QString&, const QString&) override
    {
        return fail(text), std::nullopt;
    }
    std::optional<QString> saveFile(const QString& text, const QString&, const QString&) override
    {
        return fail(text), std::nullopt;
    }
    std::optional<QString> pickFolder(const QString& text, const QString&) override
    {
        return fail(text), std::nullopt;
    }
    std::optional<QFont> chooseFont(const QFont&) override { return fail({}), std::nullopt; }
    std::optional<QColor> chooseColor(const QColor&) override { return fail({}), std::nullopt; }

private:
    static void fail(const QString& text)
    {
        std::fprintf(stderr, "unexpected question: %s\n", text.toUtf8().constData());
        std::exit(1);
    }
};

double seconds(QElapsedTimer& timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    velmora::ui::setUpApplication(app);
    QStringList args = QApplication::arguments();
    const qsizetype at = args.indexOf(QStringLiteral("--data-dir"));
    if (at < 0 || at + 1 >= args.size()) {
        std::fprintf(stderr, "usage: velmora-gui-bench --data-dir DIR\n");
        return 2;
    }
    SilentPrompter prompter;
    velmora::ui::QtShell shell;

    QElapsedTimer timer;
    timer.start();
    auto* splash = new velmora::ui::AboutDialog(&shell, QString());
    splash->showAsSplash();
    velmora::ui::MainWindow window({prompter, shell, velmora::store::DataFolder(args[at + 1].toStdString())},
                                   splash);
    delete splash;
    window.show();
    QApplication::processEvents();
    const double startup = seconds(timer);

    // Show all, as the user asks for it: from a list of one album.
    window.selectListRow(0, true);
    window.findChild<QAction*>(QStringLiteral("showSelectedOnly"))->trigger();
    QApplication::processEvents();
    timer.restart();
    window.findChild<QAction*>(QStringLiteral("showAll"))->trigger();
    QApplication::processEvents();
    const double showAll = seconds(timer);

    // Sorting by artist: a click on the list's heading.
    auto* albumView = window.findChild<QTreeView*>(QStringLiteral("albumView"));
    timer.restart();
    emit albumView->header()->sectionClicked(1);
    QApplication::processEvents();
    const double sort = seconds(timer);

    // Selections of albums spread over the catalogue, one at a time.
    const int rows = static_cast<int>(window.catalogue().entries().size());
    const int picks = std::min(rows, 50);
    timer.restart();
    for (int i = 0; i < picks; ++i) {
        window.selectListRow(static_cast<int>(static_cast<long long>(rows - 1) * i / std::max(picks - 1, 1)),
                             true);
        QApplication::processEvents();
    }
    const double select = picks > 0 ? seconds(timer) / picks : 0;

    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);

    // Closing with no album changed: the data file must stay the same file.
    // In number order again first, or closing asks to renumber.
    emit albumView->header()->sectionClicked(0);
    QApplication::processEvents();
    const std::string dataFile = window.catalogue().folder().dataFile().string();
    auto inode = [&dataFile] {
        struct stat info {};
        return ::stat(dataFile.c_str(), &info) == 0 ? info.st_ino : 0;
    };
    const auto before = inode();
    timer.restart();
    window.close();
    QApplication::processEvents();
    const double close = seconds(timer);
    std::printf(
        "albums %d\nstartup_s %.3f\nshow_all_s %.3f\nsort_artist_s %.3f\nselect_ms %.2f\npeak_mib %.1f\n"
        "close_s %.3f\nclose_rewrote_data_file %s\n",
        window.catalogue().albumCount(), startup, showAll, sort, select * 1000.0,
        static_cast<double>(usage.ru_maxrss) / 1024.0, close, inode() == before ? "no" : "yes");
    return 0;
}
