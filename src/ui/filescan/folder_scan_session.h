// One run of "register a folder": the scan on a worker thread with its
// progress dialog, then the summary list, then the albums appended to the
// catalogue. The session belongs to the window that started it (its
// dialogs stand over it) and deletes itself when it is over.
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <filesystem>
#include <memory>
#include <unordered_set>

#include "backends/tags/folder_scan.h"
#include "core/catalogue/catalogue.h"
#include "core/filescan/tag_text.h"
#include "core/store/data_folder.h"

class QThread;
class QWidget;

namespace velmora::ui {

class Prompter;
class FolderScanProgressDialog;
class FolderScanSummaryDialog;

class FolderScanSession : public QObject {
    Q_OBJECT
public:
    FolderScanSession(QWidget& window, catalogue::Catalogue& catalogue, Prompter& prompter,
                      store::DataFolder dataFolder, std::filesystem::path root,
                      filescan::TagEncoding encoding);
    ~FolderScanSession() override;

    // Starts the scan and shows its progress.
    void start();

signals:
    // The session is over: albums were registered (true) or not.
    void finished(bool registered);
    // Albums were registered; `firstAlbum` is the first one concerned.
    void albumsRegistered(int firstAlbum);

private:
    void showProgress();
    void scanFinished();
    // The ticked albums: their pictures are written on a worker thread,
    // then they are appended.
    void registerAlbums();
    void appendAlbums();
    void end(bool registered);

    QWidget& window_;
    catalogue::Catalogue& catalogue_;
    filescan::TagEncoding encoding_;
    Prompter& prompter_;
    store::DataFolder dataFolder_;
    std::filesystem::path root_;
    tags::ScanProgress progress_;
    tags::ScanResult result_;
    std::vector<filescan::PlannedAlbum> chosen_;
    std::vector<std::string> coversFailed_;
    QThread* worker_ = nullptr;
    QTimer timer_;
    QPointer<FolderScanProgressDialog> progressDialog_;
    QPointer<FolderScanSummaryDialog> summaryDialog_;
};

}  // namespace velmora::ui
