// One run of "register a folder": the scan on a worker thread with its
// progress dialog, then the summary list, then the albums appended to the
// catalogue. The session belongs to the main window and deletes itself when
// it is over.
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <filesystem>
#include <memory>
#include <unordered_set>

#include "backends/tags/folder_scan.h"
#include "core/store/data_folder.h"

class QThread;

namespace velmora::ui {

class Prompter;
class MainWindow;
class FolderScanProgressDialog;
class FolderScanSummaryDialog;

class FolderScanSession : public QObject {
    Q_OBJECT
public:
    FolderScanSession(MainWindow& window, Prompter& prompter, store::DataFolder dataFolder,
                      std::filesystem::path root);
    ~FolderScanSession() override;

    // Starts the scan and shows its progress.
    void start();

signals:
    // The session is over: albums were registered (true) or not.
    void finished(bool registered);

private:
    void showProgress();
    void scanFinished();
    // The ticked albums: their pictures are written on a worker thread,
    // then they are appended.
    void registerAlbums();
    void appendAlbums();
    void end(bool registered);

    MainWindow& window_;
    Prompter& prompter_;
    store::DataFolder dataFolder_;
    std::filesystem::path root_;
    filescan::CatalogueFiles known_;
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
