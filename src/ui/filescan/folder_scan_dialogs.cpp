#include "ui/filescan/folder_scan_dialogs.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "backends/tags/folder_scan.h"
#include "core/media/media_path.h"
#include "ui/platform/text_codec.h"

namespace velmora::ui {

namespace {
const QString kCaption = QStringLiteral("フォルダから登録");
}

FolderScanProgressDialog::FolderScanProgressDialog(const QString& folder, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TScanProgressDialog"));
    setWindowTitle(kCaption);
    setWindowModality(Qt::WindowModal);
    auto* layout = new QVBoxLayout(this);
    auto* folderLabel = new QLabel(QStringLiteral("フォルダ: %1").arg(folder), this);
    folderLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    folderLabel->setWordWrap(true);
    layout->addWidget(folderLabel);
    filesLabel_ = new QLabel(this);
    albumsLabel_ = new QLabel(this);
    layout->addWidget(filesLabel_);
    layout->addWidget(albumsLabel_);
    bar_ = new QProgressBar(this);
    layout->addWidget(bar_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    cancelButton_ = new QPushButton(QStringLiteral("キャンセル"), this);
    cancelButton_->setObjectName(QStringLiteral("cancelButton"));
    buttons->addWidget(cancelButton_);
    layout->addLayout(buttons);
    connect(cancelButton_, &QPushButton::clicked, this, &FolderScanProgressDialog::reject);
    setCounts(0, 0, 0);
    setMinimumWidth(420);
}

void FolderScanProgressDialog::setCounts(int filesFound, int filesRead, int albumsFound)
{
    filesLabel_->setText(
        QStringLiteral("見つかった音楽ファイル: %1 (読み込み済み: %2)").arg(filesFound).arg(filesRead));
    albumsLabel_->setText(QStringLiteral("見つかったアルバム: %1").arg(albumsFound));
    // Until the first tags are read the bar only shows that work goes on.
    bar_->setRange(0, filesRead == 0 ? 0 : filesFound);
    bar_->setValue(filesRead);
}

void FolderScanProgressDialog::closeAfterScan()
{
    scanOver_ = true;
    QDialog::reject();
}

void FolderScanProgressDialog::reject()
{
    if (scanOver_) {
        QDialog::reject();
    } else if (!cancelRequested_) {
        cancelRequested_ = true;
        cancelButton_->setEnabled(false);
        albumsLabel_->setText(QStringLiteral("中止しています..."));
        emit cancelled();
    }
}

FolderScanSummaryDialog::FolderScanSummaryDialog(const std::vector<filescan::PlannedAlbum>& albums,
                                                 const QStringList& notes, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TScanSummaryDialog"));
    setWindowTitle(kCaption);
    setWindowModality(Qt::WindowModal);
    auto* layout = new QVBoxLayout(this);
    countLabel_ = new QLabel(this);
    layout->addWidget(countLabel_);

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    albumTree_ = new QTreeWidget(splitter);
    albumTree_->setObjectName(QStringLiteral("albumTree"));
    albumTree_->setAccessibleName(QStringLiteral("登録するアルバム"));
    albumTree_->setRootIsDecorated(false);
    albumTree_->setUniformRowHeights(true);
    albumTree_->setTextElideMode(Qt::ElideMiddle);
    albumTree_->setHeaderLabels({QStringLiteral("アーティスト名"), QStringLiteral("アルバム名"),
                                 QStringLiteral("曲数"), QStringLiteral("登録先"),
                                 QStringLiteral("フォルダ")});
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(albums.size()));
    for (const filescan::PlannedAlbum& album : albums) {
        auto* item = new QTreeWidgetItem;
        item->setText(0, fromCp932(album.record[store::ArtistColumn]));
        item->setText(1, fromCp932(album.record[store::AlbumColumn]));
        item->setText(2, QString::number(album.songs));
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        item->setText(3, album.existingAlbum == 0
                             ? QStringLiteral("新しいアルバム")
                             : QStringLiteral("既存のアルバムに追加 (%1)").arg(album.existingAlbum));
        item->setToolTip(3, album.existingAlbum == 0 ? QString() : fromUtf8(tags::destinationNote(album)));
        item->setText(4, QFile::decodeName(QByteArray::fromStdString(album.folder)));
        item->setToolTip(4, item->text(4));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, Qt::Checked);
        items.push_back(item);
        songs_.push_back(album.songs);

        std::vector<QStringList> rows;
        // Files below the album folder by their path there; the whole path
        // is the tooltip.
        const std::string prefix = album.folder + "/";
        for (int slot = album.firstSlot; slot < album.firstSlot + album.songs; ++slot) {
            const std::string path = media::fileSystemPath(album.record[store::mediaColumn(slot)]);
            const std::string shown = path.starts_with(prefix) ? path.substr(prefix.size()) : path;
            rows.push_back({QString::number(slot), fromCp932(album.record[store::songTitleColumn(slot)]),
                            fromCp932(album.record[store::songArtistColumn(slot)]),
                            QFile::decodeName(QByteArray::fromStdString(shown)),
                            QFile::decodeName(QByteArray::fromStdString(path))});
        }
        songRows_.push_back(std::move(rows));
    }
    albumTree_->addTopLevelItems(items);
    albumTree_->header()->resizeSection(0, 150);
    albumTree_->header()->resizeSection(1, 170);
    albumTree_->header()->resizeSection(2, 40);
    albumTree_->header()->resizeSection(3, 150);

    songTree_ = new QTreeWidget(splitter);
    songTree_->setObjectName(QStringLiteral("songTree"));
    songTree_->setAccessibleName(QStringLiteral("アルバムの曲"));
    songTree_->setRootIsDecorated(false);
    songTree_->setUniformRowHeights(true);
    songTree_->setTextElideMode(Qt::ElideMiddle);
    songTree_->setHeaderLabels({QStringLiteral("番号"), QStringLiteral("曲名"),
                                QStringLiteral("アーティスト"), QStringLiteral("ファイル")});
    songTree_->header()->resizeSection(0, 40);
    songTree_->header()->resizeSection(1, 160);
    songTree_->header()->resizeSection(2, 110);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    layout->addWidget(splitter, 1);

    if (!notes.isEmpty()) {
        auto* notesRow = new QHBoxLayout;
        auto* notesLabel = new QLabel(QStringLiteral("お知らせ・登録しないファイル(&N)"), this);
        notesRow->addWidget(notesLabel);
        notesRow->addStretch();
        copyNotesButton_ = new QPushButton(QStringLiteral("コピー(&C)"), this);
        copyNotesButton_->setObjectName(QStringLiteral("copyNotesButton"));
        notesRow->addWidget(copyNotesButton_);
        layout->addLayout(notesRow);
        notesView_ = new QPlainTextEdit(notes.join(QLatin1Char('\n')), this);
        notesView_->setObjectName(QStringLiteral("notesView"));
        notesLabel->setBuddy(notesView_);
        notesView_->setReadOnly(true);
        notesView_->setLineWrapMode(QPlainTextEdit::NoWrap);
        notesView_->setMaximumHeight(130);
        layout->addWidget(notesView_);
        connect(copyNotesButton_, &QPushButton::clicked, this,
                [this] { QGuiApplication::clipboard()->setText(notesView_->toPlainText()); });
    }

    auto* buttons = new QHBoxLayout;
    auto* checkAll = new QPushButton(QStringLiteral("すべて選択(&A)"), this);
    auto* checkNone = new QPushButton(QStringLiteral("すべて解除(&U)"), this);
    buttons->addWidget(checkAll);
    buttons->addWidget(checkNone);
    buttons->addStretch();
    registerButton_ = new QPushButton(QStringLiteral("登録(&R)"), this);
    registerButton_->setObjectName(QStringLiteral("registerButton"));
    registerButton_->setDefault(true);
    cancelButton_ = new QPushButton(QStringLiteral("キャンセル"), this);
    cancelButton_->setObjectName(QStringLiteral("cancelButton"));
    buttons->addWidget(registerButton_);
    buttons->addWidget(cancelButton_);
    layout->addLayout(buttons);

    connect(checkAll, &QPushButton::clicked, this, [this] { setAllChecked(true); });
    connect(checkNone, &QPushButton::clicked, this, [this] { setAllChecked(false); });
    connect(registerButton_, &QPushButton::clicked, this, &FolderScanSummaryDialog::registerRequested);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
    connect(albumTree_, &QTreeWidget::itemChanged, this, [this] { updateCount(); });
    connect(albumTree_, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { showSongs(albumTree_->indexOfTopLevelItem(current)); });
    updateCount();
    if (albumTree_->topLevelItemCount() > 0) {
        albumTree_->setCurrentItem(albumTree_->topLevelItem(0));
    }
    resize(1100, 600);
}

void FolderScanSummaryDialog::showSongs(int album)
{
    songTree_->clear();
    if (album < 0 || static_cast<std::size_t>(album) >= songRows_.size()) {
        return;
    }
    QList<QTreeWidgetItem*> items;
    for (const QStringList& row : songRows_[static_cast<std::size_t>(album)]) {
        auto* item = new QTreeWidgetItem(row.mid(0, 3));
        item->setTextAlignment(0, Qt::AlignRight | Qt::AlignVCenter);
        item->setText(3, row.value(3));
        item->setToolTip(3, row.value(4));
        items.push_back(item);
    }
    songTree_->addTopLevelItems(items);
}

std::vector<int> FolderScanSummaryDialog::checkedAlbums() const
{
    std::vector<int> checked;
    for (int i = 0; i < albumTree_->topLevelItemCount(); ++i) {
        if (albumTree_->topLevelItem(i)->checkState(0) == Qt::Checked) {
            checked.push_back(i);
        }
    }
    return checked;
}

void FolderScanSummaryDialog::setAllChecked(bool checked)
{
    for (int i = 0; i < albumTree_->topLevelItemCount(); ++i) {
        albumTree_->topLevelItem(i)->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
    }
}

void FolderScanSummaryDialog::setBusy(const QString& text)
{
    busy_ = true;
    countLabel_->setText(text);
    for (QWidget* child : findChildren<QWidget*>()) {
        if (child != countLabel_) {
            child->setEnabled(false);
        }
    }
}

void FolderScanSummaryDialog::reject()
{
    if (!busy_) {
        QDialog::reject();
    }
}

void FolderScanSummaryDialog::updateCount()
{
    int songs = 0;
    const std::vector<int> checked = checkedAlbums();
    for (int index : checked) {
        songs += songs_[static_cast<std::size_t>(index)];
    }
    countLabel_->setText(QStringLiteral("登録するアルバム: %1 / %2 (曲数: %3)")
                             .arg(checked.size())
                             .arg(albumTree_->topLevelItemCount())
                             .arg(songs));
    registerButton_->setEnabled(!checked.empty());
}

}  // namespace velmora::ui
