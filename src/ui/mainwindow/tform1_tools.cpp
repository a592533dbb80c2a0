// The search, conversion and replace pages of the main window.
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QGridLayout>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "mainwindow/album_list_model.h"
#include "mainwindow/folder_dialog.h"
#include "mainwindow/list_images.h"
#include "mainwindow/list_views.h"
#include "mainwindow/status_bar.h"
#include "mainwindow/tform1.h"
#include "platform/prompter.h"
#include "platform/text_codec.h"
#include "text/kana_width.h"
#include "textops/textops.h"

namespace velmora::ui {

namespace {

// A titled group of radio buttons, the first one checked.
QButtonGroup* radioGroup(QWidget* page, QVBoxLayout* layout, const QString& title, const QStringList& items,
                         int columns = 1)
{
    auto* box = new QGroupBox(title, page);
    auto* grid = new QGridLayout(box);
    grid->setVerticalSpacing(2);
    auto* group = new QButtonGroup(box);
    const int perColumn = (static_cast<int>(items.size()) + columns - 1) / columns;
    for (int i = 0; i < items.size(); ++i) {
        auto* radio = new QRadioButton(items[i], box);
        group->addButton(radio, i);
        grid->addWidget(radio, i % perColumn, i / perColumn);
    }
    group->button(0)->setChecked(true);
    layout->addWidget(box);
    return group;
}

// Catches the right-button press with Ctrl+Shift on the conversion button.
class ExtendedModeWatcher : public QObject {
public:
    ExtendedModeWatcher(QObject* parent, std::function<void()> onGesture)
        : QObject(parent), onGesture_(std::move(onGesture))
    {
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonPress) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::RightButton &&
                (mouse->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier)) ==
                    (Qt::ControlModifier | Qt::ShiftModifier)) {
                onGesture_();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> onGesture_;
};

// The column groups of the conversion and replace pages.
const QStringList kColumnGroups = {QStringLiteral("アーティスト名"),
                                   QStringLiteral("ふりがな"),
                                   QStringLiteral("アルバム名"),
                                   QStringLiteral("曲名"),
                                   QStringLiteral("ジャンル"),
                                   QStringLiteral("メディア"),
                                   QStringLiteral("メモ"),
                                   QStringLiteral("メディアファイルパス"),
                                   QStringLiteral("画像ファイルパス")};

const QStringList kBasicKinds = {QStringLiteral("すべて大文字"), QStringLiteral("すべて小文字"),
                                 QStringLiteral("頭文字を大文字")};

// The word of a folded search, folded.
QString foldedWord(const QString& word)
{
    const std::u16string folded = text::foldForSearch(std::u16string_view(
        reinterpret_cast<const char16_t*>(word.utf16()), static_cast<std::size_t>(word.size())));
    return QString::fromUtf16(folded.data(), static_cast<qsizetype>(folded.size()));
}

}  // namespace

void TForm1::buildToolPages()
{
    // Search.
    auto* search = new QVBoxLayout(SerchTabSheet);
    SerchGroup = radioGroup(SerchTabSheet, search, QStringLiteral("検索するグループ"),
                            {QStringLiteral("アーティスト名"), QStringLiteral("アルバム名"),
                             QStringLiteral("曲名"), QStringLiteral("ジャンル"), QStringLiteral("メディア"),
                             QStringLiteral("メモ"), QStringLiteral("すべてのデータ")},
                            2);
    connect(SerchGroup, &QButtonGroup::idClicked, this, [this] { SerchGroupClick(); });
    search->addWidget(new QLabel(QStringLiteral("検索する単語"), SerchTabSheet));
    SerchWordEdit = new QComboBox(SerchTabSheet);
    SerchWordEdit->setEditable(true);
    SerchWordEdit->setInsertPolicy(QComboBox::NoInsert);
    SerchWordEdit->setCompleter(nullptr);  // no automatic completion
    SerchWordEdit->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    SerchWordEdit->setMaxVisibleItems(20);
    search->addWidget(SerchWordEdit);
    SerchFoldCheck = new QCheckBox(QStringLiteral("かな・全角半角を区別しない"), SerchTabSheet);
    SerchFoldCheck->setToolTip(
        QStringLiteral("ひらがなとカタカナ、全角と半角、大文字と小文字を同じ文字として検索します"));
    connect(SerchFoldCheck, &QCheckBox::toggled, this, [this](bool on) { Settings.searchFold = on; });
    search->addWidget(SerchFoldCheck);
    SerchButton = new QPushButton(QStringLiteral("検索"), SerchTabSheet);
    SerchButton->setIcon(themedIcon(nullptr, "search"));
    connect(SerchButton, &QPushButton::clicked, this, &TForm1::SerchButtonClick);
    connect(SerchWordEdit->lineEdit(), &QLineEdit::returnPressed, this, &TForm1::SerchButtonClick);
    search->addWidget(SerchButton, 0, Qt::AlignRight);
    search->addStretch();

    // Conversion.
    auto* convert = new QVBoxLayout(TabSheet2);
    HenkanGroup = radioGroup(TabSheet2, convert, QStringLiteral("変換するグループ"), kColumnGroups, 2);
    HenkanHouhouGroup = radioGroup(
        TabSheet2, convert, QStringLiteral("変換の種類"),
        kBasicKinds + QStringList{QStringLiteral("すべて全角"), QStringLiteral("可能な文字を半角")});
    // The width conversions wait for the extended mode.
    for (int kind : {3, 4}) {
        HenkanHouhouGroup->button(kind)->hide();
    }
    connect(HenkanHouhouGroup, &QButtonGroup::idClicked, this, [this] { HenkanHouhouGroupClick(); });
    HenkanButton = new QPushButton(QStringLiteral("変換"), TabSheet2);
    HenkanButton->setIcon(themedIcon(nullptr, "convert"));
    HenkanButton->installEventFilter(new ExtendedModeWatcher(this, [this] { HenkanButtonMouseDown(); }));
    connect(HenkanButton, &QPushButton::clicked, this, &TForm1::HenkanButtonClick);
    convert->addWidget(HenkanButton, 0, Qt::AlignRight);
    convert->addStretch();

    // Replace.
    auto* replace = new QVBoxLayout(TabSheet8);
    TikanGroup = radioGroup(TabSheet8, replace, QStringLiteral("置換するグループ"), kColumnGroups, 2);
    connect(TikanGroup, &QButtonGroup::idClicked, this, [this] { TikanGroupClick(); });
    auto editRow = [this, replace](const QString& label, QLineEdit*& edit, QToolButton*& folder) {
        replace->addWidget(new QLabel(label, TabSheet8));
        auto* row = new QHBoxLayout;
        edit = new QLineEdit(TabSheet8);
        folder = new QToolButton(TabSheet8);
        folder->setText(QStringLiteral("..."));
        folder->setToolTip(QStringLiteral("フォルダパス選択"));
        folder->hide();
        row->addWidget(edit, 1);
        row->addWidget(folder);
        replace->addLayout(row);
    };
    editRow(QStringLiteral("置換前の文字列"), TikanBeforeEdit, TikanBFolderButton);
    editRow(QStringLiteral("置換後の文字列"), TikanAfterEdit, TikanAFolderButton);
    connect(TikanBFolderButton, &QToolButton::clicked, this, &TForm1::TikanBFolderButtonClick);
    connect(TikanAFolderButton, &QToolButton::clicked, this, &TForm1::TikanAFolderButtonClick);
    TikanButton = new QPushButton(QStringLiteral("置換"), TabSheet8);
    TikanButton->setIcon(themedIcon(nullptr, "replace"));
    connect(TikanButton, &QPushButton::clicked, this, &TForm1::TikanButtonClick);
    replace->addWidget(TikanButton, 0, Qt::AlignRight);
    replace->addStretch();
}

void TForm1::setCategoryCaptions(const QString& first, const QString& second, const QString& third)
{
    const QString captions[] = {first, second, third};
    for (int i = 0; i < 3; ++i) {
        SerchGroup->button(3 + i)->setText(captions[i]);
        HenkanGroup->button(4 + i)->setText(captions[i]);
    }
    Memo1Label->setText(first);
    Memo2Label->setText(second);
    Memo3Label->setText(third);
    for (int i = 0; i < 3; ++i) {
        albumModel_->setHeading(3 + i, captions[i]);
    }
}

void TForm1::SerchGroupClick()
{
    const QString typed = SerchWordEdit->currentText();
    SerchWordEdit->clear();
    for (const std::string& entry : textops::searchSuggestions(DataGrid, SerchGroup->checkedId())) {
        SerchWordEdit->addItem(fromCp932(entry));
    }
    SerchWordEdit->setEditText(typed);
}

void TForm1::SerchButtonClick()
{
    const QString word = SerchWordEdit->currentText();
    if (word.isEmpty()) {
        prompter_.information(QStringLiteral("検索する言葉を入力してください"));
        return;
    }
    if (DataGrid.albumCount() < 1) {
        prompter_.information(QStringLiteral("アルバムが登録されていません"));
        return;
    }
    if (albumModel_->rowCount() == 0) {
        prompter_.information(QStringLiteral("アルバムが表示されていません"));
        return;
    }
    const bool folded = SerchFoldCheck->isChecked();
    QString problem;
    // A folded search folds the word first, so that a kana Shift-JIS lacks
    // (ゔ) still finds its twin.
    std::optional<std::string> bytes = toCp932(folded ? foldedWord(word) : word, &problem);
    if (!bytes) {
        // A character no catalogue text can hold is found nowhere.
        bytes = std::string();
    }
    const int group = SerchGroup->checkedId();
    const std::vector<int> albums = textops::albumSetAsText(listedAlbums());
    muteSelection_ = true;
    AlbumListView->selectionModel()->clear();
    albumModel_->setEntries({});
    muteSelection_ = false;
    std::vector<textops::SearchHit> hits;
    if (!bytes->empty()) {
        setStatus(1, QStringLiteral("検索中..."));
        hits = textops::search(DataGrid, albums, group, *bytes, statusProgress(),
                               folded ? textops::SearchMode::Folded : textops::SearchMode::Plain);
    }
    std::vector<AlbumListModel::Entry> entries;
    entries.reserve(hits.size());
    for (const textops::SearchHit& hit : hits) {
        entries.push_back({hit.album, SearchHitImage, hit.song});
    }
    albumModel_->setEntries(std::move(entries));
    AllVisibleButton->setEnabled(true);
    NoEditButton->setEnabled(false);
    const int column = AlbumSortColumn;
    AlbumListViewColumnClick(column);
    const QString caption = SerchGroup->checkedButton()->text();
    setStatus(1, caption + QStringLiteral("検索結果表示中 \"") + word + QStringLiteral("\"-") +
                     QString::number(hits.size()) + QStringLiteral("件"));
    setStatus(0, QStringLiteral("0"));
    if (!hits.empty()) {
        selectListRow(0, true);
        AlbumListView->scrollTo(albumModel_->index(0, 0));
        return;
    }
    prompter_.information(caption + QStringLiteral("検索 \"") + word +
                          QStringLiteral("\" を含むデータはありません"));
    AllVisibleButtonClick();
}

void TForm1::HenkanHouhouGroupClick()
{
    if (HenkanHouhouGroup->checkedId() == 3) {
        prompter_.information(
            QStringLiteral("注意\r\n一度「'(半角)」を「’(全角)」に変換すると半角に戻らなくなります。\r\n"
                           "メモを全角に変換すると，メモの内容が消えます。\r\nあしからず。"));
    }
}

void TForm1::HenkanButtonMouseDown()
{
    for (int kind : {3, 4}) {
        HenkanHouhouGroup->button(kind)->show();
    }
    HenkanHouhouGroup->button(0)->setChecked(true);
}

textops::Progress TForm1::statusProgress()
{
    // Panel 0 follows the albums; repainting for every one would cost more
    // than the work itself.
    return [this](int maximum, int index) {
        if (index < 0) {
            StatusProgressMax = maximum;
            setStatus(0, QStringLiteral("0"));
            repaintStatus();
        } else if (index % 1024 == 0) {
            setStatus(0, QString::number(index));
            repaintStatus();
        }
    };
}

void TForm1::refreshAfterBulkChange()
{
    setStatus(1, QStringLiteral("描写中..."));
    repaintStatus();
    albumModel_->refreshTexts();
    std::vector<int> rows = selectedListRows();
    if (!rows.empty()) {
        AlbumListViewSelectItem(rows.front(), true);
    }
    setStatus(1, QStringLiteral("OK"));
    setStatus(0, QStringLiteral("0"));
}

void TForm1::reportRefusedCells(int count)
{
    if (count > 0) {
        prompter_.information(
            QStringLiteral("%1 個のセルは、変更すると「<>」や改行を含んで保存できなくなるため、"
                           "元のままにしました。")
                .arg(count));
    }
}

void TForm1::HenkanButtonClick()
{
    if (albumModel_->rowCount() == 0) {
        prompter_.information(QStringLiteral("アルバムがありません"));
        return;
    }
    const std::vector<int> albums = textops::albumSetAsText(listedAlbums());
    setStatus(1, QStringLiteral("変換中..."));
    textops::BulkResult result = textops::convertAlbums(DataGrid, albums, HenkanGroup->checkedId(),
                                                        HenkanHouhouGroup->checkedId(), statusProgress());
    refreshAfterBulkChange();
    reportRefusedCells(result.refusedCells);
}

void TForm1::TikanGroupClick()
{
    const bool paths = TikanGroup->checkedId() == 7 || TikanGroup->checkedId() == 8;
    TikanBFolderButton->setVisible(paths);
    TikanAFolderButton->setVisible(paths);
}

void TForm1::TikanBFolderButtonClick()
{
    folderDialog_->Title.clear();
    if (folderDialog_->Execute()) {
        TikanBeforeEdit->setText(folderDialog_->FolderPath);
    }
}

void TForm1::TikanAFolderButtonClick()
{
    folderDialog_->Title.clear();
    if (folderDialog_->Execute()) {
        TikanAfterEdit->setText(folderDialog_->FolderPath);
    }
}

void TForm1::TikanButtonClick()
{
    if (albumModel_->rowCount() == 0) {
        prompter_.information(QStringLiteral("アルバムがありません"));
        return;
    }
    const int group = TikanGroup->checkedId();
    const QString find = TikanBeforeEdit->text();
    const QString replacement = TikanAfterEdit->text();
    auto refuse = [this](const QString& message, QLineEdit* edit) {
        prompter_.information(message);
        edit->setFocus();
    };
    const QString memoBraces = QStringLiteral("メモを置換するときは置換の文字列に{}を含まないで下さい");
    if (find.isEmpty()) {
        return refuse(QStringLiteral("置換前の文字列を入力してください"), TikanBeforeEdit);
    }
    if (find.contains(QStringLiteral("<>"))) {
        return refuse(QStringLiteral("置換の文字列に<>を含まないで下さい"), TikanBeforeEdit);
    }
    if (group == 6 && find.contains(QStringLiteral("{}"))) {
        return refuse(memoBraces, TikanBeforeEdit);
    }
    if (replacement.contains(QStringLiteral("<>"))) {
        return refuse(QStringLiteral("置換の文字列に<>を含まないで下さい"), TikanAfterEdit);
    }
    if (group == 6 && replacement.contains(QStringLiteral("{}"))) {
        return refuse(memoBraces, TikanAfterEdit);
    }
    QString problem;
    std::optional<std::string> findBytes = toCp932(find, &problem);
    if (!findBytes) {
        return refuse(problem, TikanBeforeEdit);
    }
    std::optional<std::string> replacementBytes = toCp932(replacement, &problem);
    if (!replacementBytes) {
        return refuse(problem, TikanAfterEdit);
    }
    const std::vector<int> albums = textops::albumSetAsText(listedAlbums());
    setStatus(1, QStringLiteral("置換中..."));
    textops::BulkResult result =
        textops::replaceInAlbums(DataGrid, albums, group, *findBytes, *replacementBytes, statusProgress());
    refreshAfterBulkChange();
    reportRefusedCells(result.refusedCells);
}

}  // namespace velmora::ui
