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

#include "browse/album_order.h"
#include "mainwindow/album_list_model.h"
#include "mainwindow/list_images.h"
#include "mainwindow/list_views.h"
#include "mainwindow/song_list_model.h"
#include "mainwindow/tform1.h"
#include "platform/prompter.h"
#include "platform/text_codec.h"
#include "store/columns.h"

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

void TForm1::buildInfoPage()
{
    auto* grid = new QGridLayout(jouhouTabSheet);
    grid->setContentsMargins(8, 8, 8, 8);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(6);

    auto* counts = new QHBoxLayout;
    counts->addWidget(new QLabel(QStringLiteral("表示数/登録数"), jouhouTabSheet), 0, Qt::AlignBottom);
    CDCountLabel = bigNumber(jouhouTabSheet);
    CDCountLabel->setText(QStringLiteral("0/0"));
    counts->addWidget(CDCountLabel, 0, Qt::AlignBottom);
    counts->addSpacing(16);
    counts->addWidget(new QLabel(QStringLiteral("曲数"), jouhouTabSheet), 0, Qt::AlignBottom);
    SongCountLabel = bigNumber(jouhouTabSheet);
    counts->addWidget(SongCountLabel, 0, Qt::AlignBottom);
    counts->addStretch();
    // The counts take the whole width, so that six-digit catalogues show
    // whole; the picture sits beside the artist and album boxes.
    grid->addLayout(counts, 0, 0, 1, 3);

    auto* picture = new QWidget(jouhouTabSheet);
    picture->setFixedSize(64, 64);
    Image1 = new QLabel(picture);
    Image1->setGeometry(0, 0, 64, 64);
    Image1->setAlignment(Qt::AlignCenter);
    Image1->hide();
    NoImageLabel = new QLabel(QStringLiteral("NoImage"), picture);
    NoImageLabel->setGeometry(0, 0, 64, 64);
    NoImageLabel->setAlignment(Qt::AlignCenter);
    NoImageLabel->setFrameShape(QFrame::Box);
    NoImageLabel->setStyleSheet(QStringLiteral("color: gray;"));
    grid->addWidget(picture, 1, 2, 2, 1, Qt::AlignRight | Qt::AlignTop);

    auto pickBox = [this] {
        auto* box = new PickBox(jouhouTabSheet);
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
    ArtistBox = pickBox();
    AlbumBox = pickBox();
    ArtistBox->onDropDown = [this] { ArtistBoxDropDown(); };
    AlbumBox->onDropDown = [this] { AlbumBoxDropDown(); };
    connect(ArtistBox, &QComboBox::activated, this, [this](int index) { ArtistBoxSelect(index); });
    connect(AlbumBox, &QComboBox::activated, this, [this](int index) { AlbumBoxSelect(index); });

    Memo1Label = new QLabel(QStringLiteral("ジャンル"), jouhouTabSheet);
    Memo2Label = new QLabel(QStringLiteral("メディア"), jouhouTabSheet);
    Memo3Label = new QLabel(QStringLiteral("メモ"), jouhouTabSheet);
    janruEdit = new QLineEdit(jouhouTabSheet);
    MediaEdit = new QLineEdit(jouhouTabSheet);
    for (QLineEdit* edit : {janruEdit, MediaEdit}) {
        edit->setReadOnly(true);
    }
    Memo = new QPlainTextEdit(jouhouTabSheet);
    Memo->setReadOnly(true);
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo->setLineWrapMode(QPlainTextEdit::NoWrap);

    int row = 1;
    grid->addWidget(new QLabel(QStringLiteral("アーティスト"), jouhouTabSheet), row, 0);
    grid->addWidget(ArtistBox, row++, 1);
    grid->addWidget(new QLabel(QStringLiteral("アルバム"), jouhouTabSheet), row, 0);
    grid->addWidget(AlbumBox, row++, 1);
    grid->addWidget(Memo1Label, row, 0);
    grid->addWidget(janruEdit, row++, 1, 1, 2);
    grid->addWidget(Memo2Label, row, 0);
    grid->addWidget(MediaEdit, row++, 1, 1, 2);
    grid->addWidget(Memo3Label, row, 0, Qt::AlignTop);
    grid->addWidget(Memo, row, 1, 1, 2);
    grid->setRowStretch(row, 1);
    grid->setColumnStretch(1, 1);
}

void TForm1::buildPopupMenus()
{
    MainPopupMenu = new QMenu(this);
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
    add(MainPopupMenu, main + QStringLiteral("メディアファイル再生(&O)"),
        QStringLiteral("メディアファイル再生(&O)"), nullptr);
    add(MainPopupMenu, main + QStringLiteral("編集(&E)"), QStringLiteral("編集(&E)"), nullptr);
    QMenu* quick = MainPopupMenu->addMenu(QStringLiteral("クイック編集(&Q)"));
    for (const char* item :
         {"アルバムを複製", "アルバムを複製して編集", "CDドライブの音楽CDを登録(&C)", "画像登録"}) {
        add(quick, main + QString::fromUtf8(item), QString::fromUtf8(item), nullptr);
    }
    MainPopupMenu->addSeparator();
    add(MainPopupMenu, main + QStringLiteral("アルバム全表示(&V)"), QStringLiteral("アルバム全表示(&V)"),
        [this] { AllVisibleButtonClick(); });
    add(MainPopupMenu, main + QStringLiteral("選択アルバムのみを表示"),
        QStringLiteral("選択アルバムのみを表示"), [this] { showSelectedOnly(); });
    add(MainPopupMenu, main + QStringLiteral("CD番号整列"), QStringLiteral("CD番号整列"),
        [this] { NoEditButtonClick(); });
    MainPopupMenu->addSeparator();
    QMenu* clip = MainPopupMenu->addMenu(QStringLiteral("クリップボードにコピー(&C)"));
    for (const char* item :
         {"選択アルバム詳細情報", "選択アルバム簡易情報", "アーティスト名", "アルバム名"}) {
        add(clip, main + QString::fromUtf8(item), QString::fromUtf8(item), nullptr);
    }
    MainPopupMenu->addSeparator();
    add(MainPopupMenu, main + QStringLiteral("アルバムを削除(&D)"), QStringLiteral("アルバムを削除(&D)"),
        nullptr);
    connect(MainPopupMenu, &QMenu::aboutToShow, this, [this] { MainPopupMenuPopup(); });
    connect(AlbumListView, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { MainPopupMenu->popup(AlbumListView->viewport()->mapToGlobal(pos)); });

    SongPopupMenu = new QMenu(this);
    const QString song = QStringLiteral("SongPopupMenu/");
    add(SongPopupMenu, song + QStringLiteral("メディアファイル再生(&L)"),
        QStringLiteral("メディアファイル再生(&L)"), nullptr);
    add(SongPopupMenu, song + QStringLiteral("メディアファイルを外部で開く(&O)"),
        QStringLiteral("メディアファイルを外部で開く(&O)"), nullptr);
    add(SongPopupMenu, song + QStringLiteral("メディアファイルの親フォルダを開く(&F)"),
        QStringLiteral("メディアファイルの親フォルダを開く(&F)"), nullptr);
    SongPopupMenu->addSeparator();
    add(SongPopupMenu, song + QStringLiteral("編集(&E)"), QStringLiteral("編集(&E)"), nullptr);
    QMenu* songQuick = SongPopupMenu->addMenu(QStringLiteral("クイック編集(&Q)"));
    for (const char* item : {"曲名変更", "曲ごとのアーティスト名変更", "メディアファイル変更"}) {
        add(songQuick, song + QString::fromUtf8(item), QString::fromUtf8(item), nullptr);
    }
    QMenu* songClip = SongPopupMenu->addMenu(QStringLiteral("クリップボードにコピー"));
    for (const char* item : {"選択曲詳細情報", "選択曲名"}) {
        add(songClip, song + QString::fromUtf8(item), QString::fromUtf8(item), nullptr);
    }
    connect(SongPopupMenu, &QMenu::aboutToShow, this, [this] { SongPopupMenuPopup(); });
    connect(SongListView, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { SongPopupMenu->popup(SongListView->viewport()->mapToGlobal(pos)); });
}

void TForm1::SongPopupMenuPopup()
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

int TForm1::selectedSongRow() const
{
    QModelIndexList selected = SongListView->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void TForm1::AlbumListViewSelectItem(int row, bool /*selected*/)
{
    if (PageControl1->currentIndex() != 0) {
        PageControl1->setCurrentIndex(0);
    }
    InfoTabButton->setChecked(true);
    CDCountLabel->setText(QStringLiteral("%1/%2").arg(albumModel_->rowCount()).arg(DataGrid.albumCount()));
    SongCountLabel->setText(QStringLiteral("0"));

    if (!AlbumListView->selectionModel()->hasSelection()) {
        if (isVisible()) {
            clearInfoPanel();
        }
        return;
    }
    // The event's item, also when it has just been deselected.
    const AlbumListModel::Entry& entry = albumModel_->entry(row);
    if (entry.album < 1 || entry.album > DataGrid.albumCount()) {
        return;
    }
    AlbumTable::RowCells cells = DataGrid.rowCells(entry.album);
    auto cell = [&](int column) { return cells[static_cast<std::size_t>(column)]; };
    for (int item = 0; item < SongListModel::kItemCount; ++item) {
        const int slot = item + 1;
        std::string_view media = cell(mediaColumn(slot));
        songModel_->setItem(item,
                            {QString::number(slot), fromCp932(cell(songTitleColumn(slot))),
                             fromCp932(cell(songArtistColumn(slot))), fromCp932(media), mediaImage(media)});
    }
    SongCountLabel->setText(QString::number(usedSongCount(cell)));

    ArtistBox->clear();
    ArtistBox->addItem(fromCp932(cell(ArtistColumn)));
    ArtistBox->setCurrentIndex(0);
    AlbumBox->clear();
    AlbumBox->addItem(fromCp932(cell(AlbumColumn)));
    AlbumBox->setCurrentIndex(0);
    janruEdit->setText(fromCp932(cell(Memo1Column)));
    MediaEdit->setText(fromCp932(cell(Memo2Column)));
    QStringList lines;
    for (const std::string& line : splitMemo(cell(Memo3Column))) {
        lines << fromCp932(line);
    }
    Memo->setPlainText(lines.join(QLatin1Char('\n')));

    showPicture(std::string(cell(ImagePathColumn)));

    int songRow = 0;
    if (isVisible() && entry.image == SearchHitImage && entry.searchSong > 0) {
        songRow = entry.searchSong - 1;
    }
    QModelIndex song = songModel_->index(songRow, 0);
    SongListView->selectionModel()->setCurrentIndex(
        song, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    if (isVisible()) {
        SongListViewSelectItem(songRow);
        SongListView->scrollTo(song);
    }
}

void TForm1::showPicture(const std::string& path)
{
    const QString file = fromCp932(path);
    if (!ui::showPicture(Image1, NoImageLabel, file, 64)) {
        prompter_.error(QStringLiteral("画像を読み込めませんでした。\r\n%1").arg(file));
    }
}

void TForm1::clearInfoPanel()
{
    ArtistBox->setCurrentIndex(-1);
    AlbumBox->setCurrentIndex(-1);
    janruEdit->clear();
    MediaEdit->clear();
    Memo->clear();
    Image1->hide();
    Image1->setToolTip(QString());
    NoImageLabel->show();
    songModel_->resetItems();
    QModelIndex first = songModel_->index(0, 0);
    SongListView->selectionModel()->setCurrentIndex(
        first, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    SongListView->scrollTo(first);
}

void TForm1::SongListViewSelectItem(int row)
{
    if (row < 0 || row >= SongListModel::kItemCount) {
        return;
    }
    const SongListModel::Item& item = songModel_->item(row);
    SongNoLabel->setText(item.caption);
    SongNameLabel->setText(item.artist.isEmpty() ? item.title
                                                 : item.title + QStringLiteral(" / ") + item.artist);
    MediaFileLabel->setText(item.media);
}

void TForm1::SongListViewColumnClick(int column)
{
    SongSortColumn = column;
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
    SongListView->selectionModel()->clear();
    songModel_->reorder(reordered);
    if (selected >= 0) {
        int now = static_cast<int>(std::find(order.begin(), order.end(), selected) - order.begin());
        QModelIndex index = songModel_->index(now, 0);
        SongListView->selectionModel()->setCurrentIndex(
            index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        SongListView->scrollTo(index);
    }
}

void TForm1::ArtistBoxDropDown()
{
    const QString remembered = ArtistBox->currentText();
    std::vector<std::string_view> artists;
    artists.reserve(albumModel_->entries().size());
    for (const AlbumListModel::Entry& e : albumModel_->entries()) {
        if (e.album >= 1 && e.album <= DataGrid.albumCount()) {
            artists.push_back(DataGrid.cell(ArtistColumn, e.album));
        }
    }
    std::vector<std::string> entries = browse::distinctIgnoringCase(artists);
    ArtistBox->clear();
    for (const std::string& artist : entries) {
        ArtistBox->addItem(fromCp932(artist));
    }
    // Entries stand for every spelling that differs only in case.
    ArtistBox->setCurrentIndex(entries.size() >= 2 ? ArtistBox->findText(remembered, Qt::MatchFixedString)
                                                   : -1);
}

void TForm1::AlbumBoxDropDown()
{
    const QString remembered = AlbumBox->currentText();
    const std::optional<std::string> artist = toCp932(ArtistBox->currentText());
    std::vector<std::string_view> titles;
    for (const AlbumListModel::Entry& e : albumModel_->entries()) {
        if (e.album >= 1 && e.album <= DataGrid.albumCount() && artist &&
            DataGrid.cell(ArtistColumn, e.album) == *artist) {
            titles.push_back(DataGrid.cell(AlbumColumn, e.album));
        }
    }
    std::vector<std::string> entries = browse::distinctIgnoringCase(titles);
    AlbumBox->clear();
    for (const std::string& title : entries) {
        AlbumBox->addItem(fromCp932(title));
    }
    AlbumBox->setCurrentIndex(entries.empty() ? -1 : AlbumBox->findText(remembered, Qt::MatchFixedString));
}

void TForm1::ArtistBoxSelect(int index)
{
    if (index >= 0) {
        selectFirstWithText(1, ArtistBox->itemText(index));
    }
}

void TForm1::AlbumBoxSelect(int index)
{
    if (index >= 0) {
        selectFirstWithText(2, AlbumBox->itemText(index));
    }
}

}  // namespace velmora::ui
