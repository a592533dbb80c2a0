#include "ui/filescan/folder_scan_session.h"

#include <QAbstractItemView>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QThread>

#include "core/filescan/album_plan.h"
#include "ui/filescan/folder_scan_dialogs.h"
#include "ui/platform/prompter.h"
#include "ui/platform/text_codec.h"
#include "ui/widgets/list_views.h"

namespace velmora::ui {

namespace {

QStringList notesOf(const tags::ScanResult& result)
{
    QStringList notes;
    for (const std::string& note : tags::scanNotes(result)) {
        notes.push_back(fromUtf8(note));
    }
    return notes;
}

}  // namespace

FolderScanSession::FolderScanSession(QWidget& window, catalogue::Catalogue& catalogue, Prompter& prompter,
                                     store::DataFolder dataFolder, std::filesystem::path root,
                                     filescan::TagEncoding encoding)
    : QObject(&window),
      window_(window),
      catalogue_(catalogue),
      encoding_(encoding),
      prompter_(prompter),
      dataFolder_(std::move(dataFolder)),
      root_(std::move(root))
{
    setObjectName(QStringLiteral("FolderScanSession"));
    timer_.setInterval(100);
    connect(&timer_, &QTimer::timeout, this, &FolderScanSession::showProgress);
}

FolderScanSession::~FolderScanSession()
{
    // The window may close in the middle of a scan: stop it and wait.
    if (worker_ != nullptr) {
        progress_.cancel = true;
        worker_->wait();
        delete worker_;
    }
}

void FolderScanSession::start()
{
    // The worker looks up what the catalogue holds of the folders it finds
    // (through the catalogue's index of media folders); the progress
    // dialog keeps the window's commands from changing the catalogue
    // meanwhile.
    const filescan::TagEncoding encoding = encoding_;
    progressDialog_ =
        new FolderScanProgressDialog(QFile::decodeName(QByteArray::fromStdString(root_.native())), &window_);
    progressDialog_->setAttribute(Qt::WA_DeleteOnClose);
    connect(progressDialog_, &FolderScanProgressDialog::cancelled, this, [this] { progress_.cancel = true; });

    worker_ = QThread::create([this, encoding] {
        const std::filesystem::path memoryFile = dataFolder_.file(filescan::kScanMemoryFileName);
        filescan::ScanMemory memory = filescan::ScanMemory::load(memoryFile);
        result_ =
            tags::scanForCatalogue(root_, tags::catalogueLookup(catalogue_), progress_, 0, encoding, &memory);
        if (memory.changed()) {
            // Only a hint for the next scan: a failure costs that scan time.
            memory.save(memoryFile, nullptr);
        }
    });
    connect(worker_, &QThread::finished, this, &FolderScanSession::scanFinished);
    worker_->start();
    timer_.start();
    progressDialog_->open();
}

void FolderScanSession::showProgress()
{
    if (progressDialog_) {
        progressDialog_->setCounts(progress_.filesFound.load(), progress_.filesRead.load(),
                                   progress_.albumsFound.load());
    }
}

void FolderScanSession::scanFinished()
{
    timer_.stop();
    showProgress();
    worker_->wait();
    delete worker_;
    worker_ = nullptr;
    // A cancel that came after the last file was read still cancels.
    const bool cancelled = result_.scan.cancelled || (progressDialog_ && progressDialog_->cancelRequested());
    if (progressDialog_) {
        progressDialog_->closeAfterScan();
    }
    if (cancelled) {
        end(false);
        return;
    }
    const QStringList notes = notesOf(result_);
    if (result_.plan.albums.empty()) {
        QString text = QStringLiteral("登録するアルバムがありません");
        if (!notes.isEmpty()) {
            text += QStringLiteral("\n\n") + notes.join(QLatin1Char('\n'));
        }
        prompter_.information(text);
        end(false);
        return;
    }
    summaryDialog_ = new FolderScanSummaryDialog(result_.plan.albums, notes, &window_);
    summaryDialog_->setAttribute(Qt::WA_DeleteOnClose);
    connect(summaryDialog_, &QDialog::rejected, this, [this] { end(false); });
    connect(summaryDialog_, &FolderScanSummaryDialog::registerRequested, this,
            &FolderScanSession::registerAlbums);
    summaryDialog_->open();
}

void FolderScanSession::registerAlbums()
{
    const std::vector<int> checked = summaryDialog_->checkedAlbums();
    chosen_.clear();
    chosen_.reserve(checked.size());
    for (int index : checked) {
        chosen_.push_back(std::move(result_.plan.albums[static_cast<std::size_t>(index)]));
    }
    if (chosen_.empty()) {
        return;  // the button is off then; nothing to do
    }
    summaryDialog_->setBusy(QStringLiteral("登録しています..."));
    worker_ = QThread::create([this] {
        coversFailed_ = tags::storeEmbeddedCovers(chosen_, dataFolder_, [](std::string_view bytes) {
            return !QImage::fromData(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())))
                        .isNull();
        });
    });
    connect(worker_, &QThread::finished, this, &FolderScanSession::appendAlbums);
    worker_->start();
}

void FolderScanSession::appendAlbums()
{
    worker_->wait();
    delete worker_;
    worker_ = nullptr;
    const catalogue::ChangeResult stored = catalogue_.registerScannedAlbums(chosen_);
    if (!stored.ok()) {
        prompter_.information(QString::fromStdString(catalogue::problemMessage(stored.problem)));
        end(false);
        return;
    }
    const int first = stored.album;
    emit albumsRegistered(first);
    if (summaryDialog_) {
        summaryDialog_->accept();
    }
    if (!coversFailed_.empty()) {
        QStringList names;
        for (const std::string& failure : coversFailed_) {
            names.push_back(fromUtf8(failure));
        }
        prompter_.information(
            QStringLiteral("画像を保存できなかったアルバムがあります。画像なしで登録しました\n\n") +
            names.join(QLatin1Char('\n')));
    }
    end(true);
}

void FolderScanSession::end(bool registered)
{
    emit finished(registered);
    deleteLater();
}

}  // namespace velmora::ui
