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
    auto* grid = new QGridLayout(infoPage);
    grid->setContentsMargins(8, 8, 8, 8);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(6);

    auto* counts = new QHBoxLayout;
    counts->addWidget(new QLabel(QStringLiteral("表示数/登録数"), infoPage), 0, Qt::AlignBottom);
    albumCountLabel = bigNumber(infoPage);
    albumCountLabel->setText(QStringLiteral("0/0"));
    counts->addWidget(albumCountLabel, 0, Qt::AlignBottom);
    counts->addSpacing(16);
    counts->addWidget(new QLabel(QStringLiteral("曲数"), infoPage), 0, Qt::AlignBottom);
    songCountLabel = bigNumber(infoPage);
    counts->addWidget(songCountLabel, 0, Qt::AlignBottom);
    counts->addStretch();
    // The counts take the whole width, so that six-digit catalogues show
    // whole; the picture sits beside the artist and album boxes.
    grid->addLayout(counts, 0, 0, 1, 3);

    auto* picture = new QWidget(infoPage);
    picture->setFixedSize(64, 64);
    pictureLabel = new QLabel(picture);
    pictureLabel->setGeometry(0, 0, 64, 64);
    pictureLabel->setAlignment(Qt::AlignCenter);
    pictureLabel->hide();
    noPictureLabel = new QLabel(QStringLiteral("NoImage"), picture);
    noPictureLabel->setGeometry(0, 0, 64, 64);
    noPictureLabel->setAlignment(Qt::AlignCenter);
    noPictureLabel->setFrameShape(QFrame::Box);
    noPictureLabel->setStyleSheet(QStringLiteral("color: gray;"));
    grid->addWidget(picture, 1, 2, 2, 1, Qt::AlignRight | Qt::AlignTop);

    auto pickBox = [this] {
        auto* box = new PickBox(infoPage);
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
    artistBox = pickBox();
    titleBox = pickBox();
    artistBox->onDropDown = [this] { fillArtistPicks(); };
    titleBox->onDropDown = [this] { fillTitlePicks(); };
    connect(artistBox, &QComboBox::activated, this, [this](int index) { artistPicked(index); });
    connect(titleBox, &QComboBox::activated, this, [this](int index) { titlePicked(index); });

    category1Label = new QLabel(QStringLiteral("ジャンル"), infoPage);
    category2Label = new QLabel(QStringLiteral("メディア"), infoPage);
    category3Label = new QLabel(QStringLiteral("メモ"), infoPage);
    genreEdit = new QLineEdit(infoPage);
    mediaEdit = new QLineEdit(infoPage);
    for (QLineEdit* edit : {genreEdit, mediaEdit}) {
        edit->setReadOnly(true);
    }
    memoView = new QPlainTextEdit(infoPage);
    memoView->setReadOnly(true);
    memoView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memoView->setLineWrapMode(QPlainTextEdit::NoWrap);

    int row = 1;
    grid->addWidget(new QLabel(QStringLiteral("アーティスト"), infoPage), row, 0);
    grid->addWidget(artistBox, row++, 1);
    grid->addWidget(new QLabel(QStringLiteral("アルバム"), infoPage), row, 0);
    grid->addWidget(titleBox, row++, 1);
    grid->addWidget(category1Label, row, 0);
    grid->addWidget(genreEdit, row++, 1, 1, 2);
    grid->addWidget(category2Label, row, 0);
    grid->addWidget(mediaEdit, row++, 1, 1, 2);
    grid->addWidget(category3Label, row, 0, Qt::AlignTop);
    grid->addWidget(memoView, row, 1, 1, 2);
    grid->setRowStretch(row, 1);
    grid->setColumnStretch(1, 1);
}

void MainWindow::buildPopupMenus()
{
    albumMenu = new QMenu(this);
    auto add = [this](QMenu* menu, const QString& key, const QString& caption,
                      std::function<void()> command) {
        QAction* action = menu->addAction(caption);
        if (command) {
            connect(action, &QAction::triggered, this, [command = std::move(command)] { command(); });
        }
        actions_.emplace(key, action);
        return action;
    };
    const QString main = QStringLiteral("MainPopupMenu/");
    add(albumMenu, main + QStringLiteral("メディアファイル再生(&O)"),
        QStringLiteral("メディアファイル再生(&O)"), nullptr);
    add(albumMenu, main + QStringLiteral("編集(&E)"), QStringLiteral("編集(&E)"), nullptr);
    QMenu* quick = albumMenu->addMenu(QStringLiteral("クイック編集(&Q)"));
    for (const char* item :
         {"アルバムを複製", "アルバムを複製して編集", "CDドライブの音楽CDを登録(&C)", "画像登録"}) {
        add(quick, main + QString::fromUtf8(item), QString::fromUtf8(item), nullptr);
    }
    albumMenu->addSeparator();
    add(albumMenu, main + QStringLiteral("アルバム全表示(&V)"), QStringLiteral("アルバム全表示(&V)"),
        [this] { showAllAlbums(); });
    add(albumMenu, main + QStringLiteral("選択アルバムのみを表示"), QStringLiteral("選択アルバムのみを表示"),
        [this] { showSelectedOnly(); });
    add(albumMenu, main + QStringLiteral("CD番号整列"), QStringLiteral("CD番号整列"),
        [this] { renumberInListOrder(); });
    albumMenu->addSeparator();
    QMenu* clip = albumMenu->addMenu(QStringLiteral("クリップボードにコピー(&C)"));
    for (const char* item :
         {"選択アルバム詳細情報", "選択アルバム簡易情報", "アーティスト名", "アルバム名"}) {
        add(clip, main + QString::fromUtf8(item), QString::fromUtf8(item), nullptr);
    }
    albumMenu->addSeparator();
    add(albumMenu, main + QStringLiteral("アルバムを削除(&D)"), QStringLiteral("アルバムを削除(&D)"),
        nullptr);
    connect(albumMenu, &QMenu::aboutToShow, this, [this] { prepareAlbumMenu(); });
    connect(albumView, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { albumMenu->popup(albumView->viewport()->mapToGlobal(pos)); });

    songMenu = new QMenu(this);
    const QString song = QStringLiteral("SongPopupMenu/");
    add(songMenu, song + QStringLiteral("メディアファイル再生(&L)"),
        QStringLiteral("メディアファイル再生(&L)"), nullptr);
    add(songMenu, song + QStringLiteral("メディアファイルを外部で開く(&O)"),
        QStringLiteral("メディアファイルを外部で開く(&O)"), nullptr);
    add(songMenu, song + QStringLiteral("メディアファイルの親フォルダを開く(&F)"),
        QStringLiteral("メディアファイルの親フォルダを開く(&F)"), nullptr);
    songMenu->addSeparator();
    add(songMenu, song + QStringLiteral("編集(&E)"), QStringLiteral("編集(&E)"), nullptr);
    QMenu* songQuick = songMenu->addMenu(QStringLiteral("クイック編集(&Q)"));
    for (const char* item : {"曲名変更", "曲ごとのアーティスト名変更", "メディアファイル変更"}) {
        add(songQuick, song + QString::fromUtf8(item), QString::fromUtf8(item), nullptr);
    }
    QMenu* songClip = songMenu->addMenu(QStringLiteral("クリップボードにコピー"));
    for (const char* item : {"選択曲詳細情報", "選択曲名"}) {
        add(songClip, song + QString::fromUtf8(item), QString::fromUtf8(item), nullptr);
    }
    connect(songMenu, &QMenu::aboutToShow, this, [this] { prepareSongMenu(); });
    connect(songView, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { songMenu->popup(songView->viewport()->mapToGlobal(pos)); });
}

void MainWindow::prepareSongMenu()
{
    int row = selectedSongRow();
    if (row < 0) {
        return;
    }
    const bool hasMedia = !songModel_->item(row).media.isEmpty();
    for (const char* item : {"メディアファイル再生(&L)", "メディアファイルを外部で開く(&O)",
                             "メディアファイルの親フォルダを開く(&F)"}) {
        actions_.at(QStringLiteral("SongPopupMenu/") + QString::fromUtf8(item))->setEnabled(hasMedia);
    }
}

int MainWindow::selectedSongRow() const
{
    QModelIndexList selected = songView->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void MainWindow::showAlbumOfRow(int row, bool /*selected*/)
{
    if (pageStack->currentIndex() != 0) {
        pageStack->setCurrentIndex(0);
    }
    infoPageButton->setChecked(true);
    albumCountLabel->setText(
        QStringLiteral("%1/%2").arg(albumModel_->rowCount()).arg(albumTable.albumCount()));
    songCountLabel->setText(QStringLiteral("0"));

    if (!albumView->selectionModel()->hasSelection()) {
        if (isVisible()) {
            clearInfoPanel();
        }
        return;
    }
    // The event's item, also when it has just been deselected.
    const AlbumListModel::Entry& entry = albumModel_->entry(row);
    if (entry.album < 1 || entry.album > albumTable.albumCount()) {
        return;
    }
    AlbumTable::RowCells cells = albumTable.rowCells(entry.album);
    auto cell = [&](int column) { return cells[static_cast<std::size_t>(column)]; };
    for (int item = 0; item < SongListModel::kItemCount; ++item) {
        const int slot = item + 1;
        std::string_view media = cell(mediaColumn(slot));
        songModel_->setItem(item,
                            {QString::number(slot), fromCp932(cell(songTitleColumn(slot))),
                             fromCp932(cell(songArtistColumn(slot))), fromCp932(media), mediaImage(media)});
    }
    songCountLabel->setText(QString::number(usedSongCount(cell)));

    artistBox->clear();
    artistBox->addItem(fromCp932(cell(ArtistColumn)));
    artistBox->setCurrentIndex(0);
    titleBox->clear();
    titleBox->addItem(fromCp932(cell(AlbumColumn)));
    titleBox->setCurrentIndex(0);
    genreEdit->setText(fromCp932(cell(Category1Column)));
    mediaEdit->setText(fromCp932(cell(Category2Column)));
    QStringList lines;
    for (const std::string& line : splitMemo(cell(Category3Column))) {
        lines << fromCp932(line);
    }
    memoView->setPlainText(lines.join(QLatin1Char('\n')));

    showPicture(std::string(cell(ImagePathColumn)));

    int songRow = 0;
    if (isVisible() && entry.image == SearchHitImage && entry.searchSong > 0) {
        songRow = entry.searchSong - 1;
    }
    QModelIndex song = songModel_->index(songRow, 0);
    songView->selectionModel()->setCurrentIndex(
        song, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    if (isVisible()) {
        songRowSelected(songRow);
        songView->scrollTo(song);
    }
}

void MainWindow::showPicture(const std::string& path)
{
    const QString file = fromCp932(path);
    if (!ui::showPicture(pictureLabel, noPictureLabel, file, 64)) {
        prompter_.error(QStringLiteral("画像を読み込めませんでした。\r\n%1").arg(file));
    }
}

void MainWindow::clearInfoPanel()
{
    artistBox->setCurrentIndex(-1);
    titleBox->setCurrentIndex(-1);
    genreEdit->clear();
    mediaEdit->clear();
    memoView->clear();
    pictureLabel->hide();
    pictureLabel->setToolTip(QString());
    noPictureLabel->show();
    songModel_->resetItems();
    QModelIndex first = songModel_->index(0, 0);
    songView->selectionModel()->setCurrentIndex(
        first, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    songView->scrollTo(first);
}

void MainWindow::songRowSelected(int row)
{
    if (row < 0 || row >= SongListModel::kItemCount) {
        return;
    }
    const SongListModel::Item& item = songModel_->item(row);
    songNumberLabel->setText(item.caption);
    songTitleLabel->setText(item.artist.isEmpty() ? item.title
                                                  : item.title + QStringLiteral(" / ") + item.artist);
    mediaFileLabel->setText(item.media);
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
    songView->selectionModel()->clear();
    songModel_->reorder(reordered);
    if (selected >= 0) {
        int now = static_cast<int>(std::find(order.begin(), order.end(), selected) - order.begin());
        QModelIndex index = songModel_->index(now, 0);
        songView->selectionModel()->setCurrentIndex(
            index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        songView->scrollTo(index);
    }
}

void MainWindow::fillArtistPicks()
{
    const QString remembered = artistBox->currentText();
    std::vector<std::string_view> artists;
    artists.reserve(albumModel_->entries().size());
    for (const AlbumListModel::Entry& e : albumModel_->entries()) {
        if (e.album >= 1 && e.album <= albumTable.albumCount()) {
            artists.push_back(albumTable.cell(ArtistColumn, e.album));
        }
    }
    std::vector<std::string> entries = browse::distinctIgnoringCase(artists);
    artistBox->clear();
    for (const std::string& artist : entries) {
        artistBox->addItem(fromCp932(artist));
    }
    // Entries stand for every spelling that differs only in case.
    artistBox->setCurrentIndex(entries.size() >= 2 ? artistBox->findText(remembered, Qt::MatchFixedString)
                                                   : -1);
}

void MainWindow::fillTitlePicks()
{
    const QString remembered = titleBox->currentText();
    const std::optional<std::string> artist = toCp932(artistBox->currentText());
    std::vector<std::string_view> titles;
    for (const AlbumListModel::Entry& e : albumModel_->entries()) {
        if (e.album >= 1 && e.album <= albumTable.albumCount() && artist &&
            albumTable.cell(ArtistColumn, e.album) == *artist) {
            titles.push_back(albumTable.cell(AlbumColumn, e.album));
        }
    }
    std::vector<std::string> entries = browse::distinctIgnoringCase(titles);
    titleBox->clear();
    for (const std::string& title : entries) {
        titleBox->addItem(fromCp932(title));
    }
    titleBox->setCurrentIndex(entries.empty() ? -1 : titleBox->findText(remembered, Qt::MatchFixedString));
}

void MainWindow::artistPicked(int index)
{
    if (index >= 0) {
        selectFirstWithText(1, artistBox->itemText(index));
    }
}

void MainWindow::titlePicked(int index)
{
    if (index >= 0) {
        selectFirstWithText(2, titleBox->itemText(index));
    }
}

}  // namespace velmora::ui
