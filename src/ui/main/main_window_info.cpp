// The information page and the song list of the main window.
#include <QAction>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImageReader>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QToolButton>
#include <algorithm>
#include <numeric>

#include "core/browse/album_order.h"
#include "core/store/columns.h"
#include "ui/main/album_list_model.h"
#include "ui/main/main_actions.h"
#include "ui/main/main_window.h"
#include "ui/main/song_list_model.h"
#include "ui/platform/prompter.h"
#include "ui/platform/text_codec.h"
#include "ui/widgets/list_images.h"
#include "ui/widgets/list_views.h"

namespace velmora::ui {

using namespace velmora::store;

namespace {

QLabel* bigNumber(QWidget* parent)
{
    auto* label = new QLabel(QStringLiteral("0"), parent);
    QFont f = label->font();
    f.setPointSize(16);
    f.setBold(true);
    label->setFont(f);
    return label;
}

}  // namespace

void MainWindow::buildInfoPage()
{
    auto* grid = new QGridLayout(infoPage_);
    grid->setContentsMargins(8, 8, 8, 8);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(6);

    auto* counts = new QHBoxLayout;
    counts->addWidget(new QLabel(QStringLiteral("表示数/登録数"), infoPage_), 0, Qt::AlignBottom);
    albumCountLabel_ = bigNumber(infoPage_);
    albumCountLabel_->setObjectName(QStringLiteral("albumCountLabel"));
    albumCountLabel_->setText(QStringLiteral("0/0"));
    counts->addWidget(albumCountLabel_, 0, Qt::AlignBottom);
    counts->addSpacing(16);
    counts->addWidget(new QLabel(QStringLiteral("曲数"), infoPage_), 0, Qt::AlignBottom);
    songCountLabel_ = bigNumber(infoPage_);
    songCountLabel_->setObjectName(QStringLiteral("songCountLabel"));
    counts->addWidget(songCountLabel_, 0, Qt::AlignBottom);
    counts->addStretch();
    // The counts take the whole width, so that six-digit catalogues show
    // whole; the picture sits beside the artist and album boxes.
    grid->addLayout(counts, 0, 0, 1, 3);

    auto* picture = new QWidget(infoPage_);
    picture->setFixedSize(64, 64);
    pictureLabel_ = new QLabel(picture);
    pictureLabel_->setObjectName(QStringLiteral("pictureLabel"));
    pictureLabel_->setGeometry(0, 0, 64, 64);
    pictureLabel_->setAlignment(Qt::AlignCenter);
    pictureLabel_->hide();
    noPictureLabel_ = new QLabel(QStringLiteral("NoImage"), picture);
    noPictureLabel_->setObjectName(QStringLiteral("noPictureLabel"));
    noPictureLabel_->setGeometry(0, 0, 64, 64);
    noPictureLabel_->setAlignment(Qt::AlignCenter);
    noPictureLabel_->setFrameShape(QFrame::Box);
    noPictureLabel_->setStyleSheet(QStringLiteral("color: gray;"));
    grid->addWidget(picture, 1, 2, 2, 1, Qt::AlignRight | Qt::AlignTop);

    auto pickBox = [this] {
        auto* box = new PickBox(infoPage_);
        QFont f = box->font();
        f.setBold(true);
        box->setFont(f);
        QPalette pal = box->palette();
        pal.setColor(QPalette::Base, pal.color(QPalette::Button));
        box->setPalette(pal);
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(8);
        return box;
    };
    artistBox_ = pickBox();
    artistBox_->setObjectName(QStringLiteral("artistBox"));
    titleBox_ = pickBox();
    titleBox_->setObjectName(QStringLiteral("titleBox"));
    artistBox_->onDropDown = [this] { fillArtistPicks(); };
    titleBox_->onDropDown = [this] { fillTitlePicks(); };
    connect(artistBox_, &QComboBox::activated, this, [this](int index) { artistPicked(index); });
    connect(titleBox_, &QComboBox::activated, this, [this](int index) { titlePicked(index); });

    category1Label_ = new QLabel(QStringLiteral("ジャンル"), infoPage_);
    category1Label_->setObjectName(QStringLiteral("category1Label"));
    category2Label_ = new QLabel(QStringLiteral("メディア"), infoPage_);
    category2Label_->setObjectName(QStringLiteral("category2Label"));
    category3Label_ = new QLabel(QStringLiteral("メモ"), infoPage_);
    category3Label_->setObjectName(QStringLiteral("category3Label"));
    genreEdit_ = new QLineEdit(infoPage_);
    genreEdit_->setObjectName(QStringLiteral("genreEdit"));
    mediaEdit_ = new QLineEdit(infoPage_);
    mediaEdit_->setObjectName(QStringLiteral("mediaEdit"));
    for (QLineEdit* edit : {genreEdit_, mediaEdit_}) {
        edit->setReadOnly(true);
    }
    memoView_ = new QPlainTextEdit(infoPage_);
    memoView_->setObjectName(QStringLiteral("memoView"));
    memoView_->setReadOnly(true);
    memoView_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memoView_->setLineWrapMode(QPlainTextEdit::NoWrap);

    int row = 1;
    grid->addWidget(new QLabel(QStringLiteral("アーティスト"), infoPage_), row, 0);
    grid->addWidget(artistBox_, row++, 1);
    grid->addWidget(new QLabel(QStringLiteral("アルバム"), infoPage_), row, 0);
    grid->addWidget(titleBox_, row++, 1);
    grid->addWidget(category1Label_, row, 0);
    grid->addWidget(genreEdit_, row++, 1, 1, 2);
    grid->addWidget(category2Label_, row, 0);
    grid->addWidget(mediaEdit_, row++, 1, 1, 2);
    grid->addWidget(category3Label_, row, 0, Qt::AlignTop);
    grid->addWidget(memoView_, row, 1, 1, 2);
    grid->setRowStretch(row, 1);
    grid->setColumnStretch(1, 1);
}

void MainWindow::buildPopupMenus()
{
    const MainActions& a = *actions_;
    albumMenu_ = new QMenu(this);
    albumMenu_->setObjectName(QStringLiteral("albumMenu"));
    albumMenu_->addAction(a.playMedia);
    albumMenu_->addAction(a.editAlbum);
    QMenu* quick = albumMenu_->addMenu(QStringLiteral("クイック編集(&Q)"));
    quick->addActions({a.duplicateAlbum, a.duplicateAndEdit, a.registerDisc, a.registerPicture});
    albumMenu_->addSeparator();
    albumMenu_->addActions({a.showAll, a.showSelectedOnly, a.renumber});
    albumMenu_->addSeparator();
    QMenu* clip = albumMenu_->addMenu(QStringLiteral("クリップボードにコピー(&C)"));
    clip->addActions({a.copyAlbumDetails, a.copyAlbumSummary, a.copyArtistNames, a.copyAlbumTitles});
    albumMenu_->addSeparator();
    albumMenu_->addAction(a.deleteAlbums);
    connect(albumView_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { albumMenu_->popup(albumView_->viewport()->mapToGlobal(pos)); });

    songMenu_ = new QMenu(this);
    songMenu_->setObjectName(QStringLiteral("songMenu"));
    songMenu_->addActions({a.playSong, a.openSongFile, a.openSongFolder});
    songMenu_->addSeparator();
    songMenu_->addAction(a.editAlbum);
    QMenu* songQuick = songMenu_->addMenu(QStringLiteral("クイック編集(&Q)"));
    songQuick->addActions({a.editSongTitle, a.editSongArtist, a.editSongMedia});
    QMenu* songClip = songMenu_->addMenu(QStringLiteral("クリップボードにコピー"));
    songClip->addActions({a.copySongDetails, a.copySongTitle});
    connect(songMenu_, &QMenu::aboutToShow, this, [this] { prepareSongMenu(); });
    connect(songView_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { songMenu_->popup(songView_->viewport()->mapToGlobal(pos)); });
}

void MainWindow::prepareSongMenu()
{
    int row = selectedSongRow();
    if (row < 0) {
        return;
    }
    const bool hasMedia = !songModel_->item(row).media.isEmpty();
    for (QAction* action : {actions_->playSong, actions_->openSongFile, actions_->openSongFolder}) {
        action->setEnabled(hasMedia);
    }
}

int MainWindow::selectedSongRow() const
{
    QModelIndexList selected = songView_->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void MainWindow::showAlbumOfRow(int row, bool /*selected*/)
{
    if (pageStack_->currentIndex() != 0) {
        pageStack_->setCurrentIndex(0);
    }
    actions_->infoPage->setChecked(true);
    albumCountLabel_->setText(
        QStringLiteral("%1/%2").arg(albumModel_->rowCount()).arg(catalogue_.albumCount()));
    songCountLabel_->setText(QStringLiteral("0"));

    if (!albumView_->selectionModel()->hasSelection()) {
        if (isVisible()) {
            clearInfoPanel();
        }
        return;
    }
    // The event's item, also when it has just been deselected.
    const catalogue::ListEntry& entry = albumModel_->entry(row);
    if (entry.album < 1 || entry.album > catalogue_.albumCount()) {
        return;
    }
    AlbumTable::RowCells cells = catalogue_.albums().rowCells(entry.album);
    auto cell = [&](int column) { return cells[static_cast<std::size_t>(column)]; };
    for (int item = 0; item < SongListModel::kItemCount; ++item) {
        const int slot = item + 1;
        std::string_view media = cell(mediaColumn(slot));
        songModel_->setItem(item,
                            {QString::number(slot), fromCp932(cell(songTitleColumn(slot))),
                             fromCp932(cell(songArtistColumn(slot))), fromCp932(media), mediaImage(media)});
    }
    songCountLabel_->setText(QString::number(usedSongCount(cell)));

    artistBox_->clear();
    artistBox_->addItem(fromCp932(cell(ArtistColumn)));
    artistBox_->setCurrentIndex(0);
    titleBox_->clear();
    titleBox_->addItem(fromCp932(cell(AlbumColumn)));
    titleBox_->setCurrentIndex(0);
    genreEdit_->setText(fromCp932(cell(Category1Column)));
    mediaEdit_->setText(fromCp932(cell(Category2Column)));
    QStringList lines;
    for (const std::string& line : splitMemo(cell(Category3Column))) {
        lines << fromCp932(line);
    }
    memoView_->setPlainText(lines.join(QLatin1Char('\n')));

    showPicture(std::string(cell(ImagePathColumn)));

    int songRow = 0;
    if (isVisible() && entry.searchSong > 0) {
        songRow = entry.searchSong - 1;
    }
    QModelIndex song = songModel_->index(songRow, 0);
    songView_->selectionModel()->setCurrentIndex(
        song, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    if (isVisible()) {
        songRowSelected(songRow);
        songView_->scrollTo(song);
    }
}

void MainWindow::showPicture(const std::string& path)
{
    const QString file = fromCp932(path);
    if (!ui::showPicture(pictureLabel_, noPictureLabel_, file, 64)) {
        prompter_.error(QStringLiteral("画像を読み込めませんでした。\r\n%1").arg(file));
    }
}

void MainWindow::clearInfoPanel()
{
    artistBox_->setCurrentIndex(-1);
    titleBox_->setCurrentIndex(-1);
    genreEdit_->clear();
    mediaEdit_->clear();
    memoView_->clear();
    pictureLabel_->hide();
    pictureLabel_->setToolTip(QString());
    noPictureLabel_->show();
    songModel_->resetItems();
    QModelIndex first = songModel_->index(0, 0);
    songView_->selectionModel()->setCurrentIndex(
        first, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    songView_->scrollTo(first);
}

void MainWindow::songRowSelected(int row)
{
    if (row < 0 || row >= SongListModel::kItemCount) {
        return;
    }
    const SongListModel::Item& item = songModel_->item(row);
    songNumberLabel_->setText(item.caption);
    songTitleLabel_->setText(item.artist.isEmpty() ? item.title
                                                   : item.title + QStringLiteral(" / ") + item.artist);
    mediaFileLabel_->setText(item.media);
}

void MainWindow::sortSongsByColumn(int column)
{
    songSortColumn = column;
    std::vector<int> slotNumbers;
    for (int row = 0; row < SongListModel::kItemCount; ++row) {
        slotNumbers.push_back(songModel_->item(row).caption.toInt());
    }
    std::vector<std::string> texts;
    for (int row = 0; row < SongListModel::kItemCount; ++row) {
        QString text = songModel_->text(row, column);
        texts.push_back(toCp932(text).value_or(std::string()));
    }
    std::vector<int> order = browse::sortOrder(slotNumbers, column, [&](int item) {
        return std::string_view(texts[static_cast<std::size_t>(item)]);
    });
    const int selected = selectedSongRow();
    std::array<int, SongListModel::kItemCount> reordered{};
    std::copy(order.begin(), order.end(), reordered.begin());
    songView_->selectionModel()->clear();
    songModel_->reorder(reordered);
    if (selected >= 0) {
        int now = static_cast<int>(std::find(order.begin(), order.end(), selected) - order.begin());
        QModelIndex index = songModel_->index(now, 0);
        songView_->selectionModel()->setCurrentIndex(
            index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        songView_->scrollTo(index);
    }
}

void MainWindow::fillArtistPicks()
{
    const QString remembered = artistBox_->currentText();
    std::vector<std::string_view> artists;
    artists.reserve(catalogue_.entries().size());
    for (const catalogue::ListEntry& e : catalogue_.entries()) {
        if (e.album >= 1 && e.album <= catalogue_.albumCount()) {
            artists.push_back(catalogue_.albums().cell(ArtistColumn, e.album));
        }
    }
    std::vector<std::string> entries = browse::distinctIgnoringCase(artists);
    artistBox_->clear();
    for (const std::string& artist : entries) {
        artistBox_->addItem(fromCp932(artist));
    }
    // Entries stand for every spelling that differs only in case.
    artistBox_->setCurrentIndex(entries.size() >= 2 ? artistBox_->findText(remembered, Qt::MatchFixedString)
                                                    : -1);
}

void MainWindow::fillTitlePicks()
{
    const QString remembered = titleBox_->currentText();
    const std::optional<std::string> artist = toCp932(artistBox_->currentText());
    std::vector<std::string_view> titles;
    for (const catalogue::ListEntry& e : catalogue_.entries()) {
        if (e.album >= 1 && e.album <= catalogue_.albumCount() && artist &&
            catalogue_.albums().cell(ArtistColumn, e.album) == *artist) {
            titles.push_back(catalogue_.albums().cell(AlbumColumn, e.album));
        }
    }
    std::vector<std::string> entries = browse::distinctIgnoringCase(titles);
    titleBox_->clear();
    for (const std::string& title : entries) {
        titleBox_->addItem(fromCp932(title));
    }
    titleBox_->setCurrentIndex(entries.empty() ? -1 : titleBox_->findText(remembered, Qt::MatchFixedString));
}

void MainWindow::artistPicked(int index)
{
    if (index >= 0) {
        selectFirstWithText(1, artistBox_->itemText(index));
    }
}

void MainWindow::titlePicked(int index)
{
    if (index >= 0) {
        selectFirstWithText(2, titleBox_->itemText(index));
    }
}

}  // namespace velmora::ui
