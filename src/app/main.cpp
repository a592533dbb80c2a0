// Velmora: start-up. Shows the splash, creates the main window (which loads
// the settings and the catalogue) and runs the event loop.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "app/command_line.h"
#include "backends/folder_lock.h"
#include "backends/gst_media.h"
#include "backends/mecab_reading.h"
#include "core/store/atomic_file.h"
#include "core/store/data_folder.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/main/main_window.h"
#include "ui/platform/app_setup.h"
#include "ui/platform/qt_prompter.h"
#include "ui/platform/shell.h"
#include "ui/platform/single_instance.h"

namespace {

bool haveDisplay()
{
    auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    return set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY");
}

}  // namespace

int main(int argc, char** argv)
{
    // --version and --help are answered without a display.
    if (std::optional<int> answered = velmora::app::answerInformationRequest(argc, argv)) {
        return *answered;
    }
    if (!haveDisplay()) {
        std::fprintf(stderr,
                     "Velmora: 画面(ディスプレイ)がありません。デスクトップ上で起動するか、\n"
                     "仮想画面で起動してください:  xvfb-run -a scripts/run.sh\n"
                     "Velmora: no display found (DISPLAY is not set). Run it on a desktop, or under\n"
                     "a virtual display:  xvfb-run -a scripts/run.sh\n");
        return 1;
    }
    velmora::ui::prepareEnvironment();
    QApplication app(argc, argv);
    velmora::ui::setUpApplication(app);

    const std::optional<std::filesystem::path> folder = velmora::app::chooseDataFolder();
    if (!folder) {
        return velmora::app::kStartFailed;
    }
    // What a killed save left behind goes before anything is read.
    velmora::store::removeStaleTemporaryFiles(*folder);
    // One window per data folder: a second start brings the first forward.
    velmora::platform::FolderLock folderLock(*folder);
    velmora::ui::SingleInstance instance(QString::fromStdString(folder->string()));
    if (std::optional<int> ended = instance.claim([&folderLock](int wait) {
            return folderLock.lock(wait) != velmora::platform::FolderLock::Outcome::HeldByOther;
        })) {
        return *ended;
    }
    const QString helpDir = QString::fromStdString(
        velmora::store::DataFolder::helpDir(velmora::store::DataFolder::executableDir()).string());

    // Play endings and errors come from GStreamer's threads; they reach the
    // windows through the event loop, on this thread.
    velmora::media::GstMediaSystem media([&app](std::function<void()> call) {
        QMetaObject::invokeMethod(&app, std::move(call), Qt::QueuedConnection);
    });
    velmora::ui::QtPrompter prompter;
    velmora::ui::QtShell shell;

    auto* splash = new velmora::ui::AboutDialog(&shell, QString());
    splash->showAsSplash();

    velmora::ui::MainWindow window(
        {prompter, shell, velmora::store::DataFolder(*folder), helpDir, &media,
         [] { return std::make_unique<velmora::backends::MecabReadingDictionary>(); }},
        splash);
    prompter.setParent(&window);
    instance.forwardTo(&window);
    delete splash;
    window.show();
    return QApplication::exec();
}
