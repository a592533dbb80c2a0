// The two dialogs of "register a folder": the progress of the scan, and the
// list of the albums found, each with a tick box.
#pragma once

#include <QDialog>
#include <vector>

#include "core/filescan/album_plan.h"

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTreeWidget;

namespace velmora::ui {

// Shows how far the scan got. Cancel (the button, Escape or the close box)
// asks the scan to stop; the dialog stays until the scan has stopped.
class FolderScanProgressDialog : public QDialog {
    Q_OBJECT
public:
    FolderScanProgressDialog(const QString& folder, QWidget* parent);

    void setCounts(int filesFound, int filesRead, int albumsFound);
    bool cancelRequested() const { return cancelRequested_; }
    // Closes the dialog once the scan has stopped.
    void closeAfterScan();

signals:
    void cancelled();

public slots:
    void reject() override;

private:
    QPushButton* cancelButton_ = nullptr;
    QLabel* filesLabel_ = nullptr;
    QLabel* albumsLabel_ = nullptr;
    QProgressBar* bar_ = nullptr;
    bool cancelRequested_ = false;
    bool scanOver_ = false;
};

// The albums to register: artist, title, songs, folder and where the songs
// go (a new album, or 「既存のアルバムに追加」 and the album they join), all
// ticked at first; beside the list, the songs of the selected album
// (number, title, artist, file); below it, every file skipped with its
// reason, which 「コピー」 puts on the clipboard. 「登録」 asks for the ticked
// rows (checkedAlbums()) to be registered; the dialog then shows the work
// until accept() closes it.
class FolderScanSummaryDialog : public QDialog {
    Q_OBJECT
public:
    FolderScanSummaryDialog(const std::vector<filescan::PlannedAlbum>& albums, const QStringList& notes,
                            QWidget* parent);

    // Indexes of the ticked albums, in list order.
    std::vector<int> checkedAlbums() const;
    void setAllChecked(bool checked);
    // Shows `text` and takes no input (not even Cancel) while the albums
    // are being registered.
    void setBusy(const QString& text);

signals:
    void registerRequested();

public slots:
    void reject() override;

private:
    void updateCount();
    void showSongs(int album);

    QTreeWidget* albumTree_ = nullptr;
    QTreeWidget* songTree_ = nullptr;
    QPushButton* registerButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QPlainTextEdit* notesView_ = nullptr;
    QPushButton* copyNotesButton_ = nullptr;
    QLabel* countLabel_ = nullptr;
    std::vector<int> songs_;
    // Per album: number, title, artist, file (below the album folder) and
    // full path of each song.
    std::vector<std::vector<QStringList>> songRows_;
    bool busy_ = false;
};

}  // namespace velmora::ui
