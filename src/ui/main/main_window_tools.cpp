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

#include "core/text/kana_width.h"
#include "core/textops/textops.h"
#include "ui/dialogs/folder_picker.h"
#include "ui/main/album_list_model.h"
#include "ui/main/main_window.h"
#include "ui/platform/prompter.h"
#include "ui/platform/text_codec.h"
#include "ui/widgets/list_images.h"
#include "ui/widgets/list_views.h"
#include "ui/widgets/status_bar.h"

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

void MainWindow::buildToolPages()
{
    // Search.
    auto* search = new QVBoxLayout(searchPage_);
    searchGroup_ = radioGroup(searchPage_, search, QStringLiteral("検索するグループ"),
                              {QStringLiteral("アーティスト名"), QStringLiteral("アルバム名"),
                               QStringLiteral("曲名"), QStringLiteral("ジャンル"), QStringLiteral("メディア"),
                               QStringLiteral("メモ"), QStringLiteral("すべてのデータ")},
                              2);
    connect(searchGroup_, &QButtonGroup::idClicked, this, [this] { searchGroupChanged(); });
    search->addWidget(new QLabel(QStringLiteral("検索する単語"), searchPage_));
    searchWordEdit_ = new QComboBox(searchPage_);
    searchWordEdit_->setObjectName(QStringLiteral("searchWordEdit"));
    searchWordEdit_->setEditable(true);
    searchWordEdit_->setInsertPolicy(QComboBox::NoInsert);
    searchWordEdit_->setCompleter(nullptr);  // no automatic completion
    searchWordEdit_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    searchWordEdit_->setMaxVisibleItems(20);
    search->addWidget(searchWordEdit_);
    searchFoldCheck_ = new QCheckBox(QStringLiteral("かな・全角半角を区別しない"), searchPage_);
    searchFoldCheck_->setObjectName(QStringLiteral("searchFoldCheck"));
    searchFoldCheck_->setToolTip(
        QStringLiteral("ひらがなとカタカナ、全角と半角、大文字と小文字を同じ文字として検索します"));
    connect(searchFoldCheck_, &QCheckBox::toggled, this, [this](bool on) { appSettings.searchFold = on; });
    search->addWidget(searchFoldCheck_);
    searchButton_ = new QPushButton(QStringLiteral("検索"), searchPage_);
    searchButton_->setObjectName(QStringLiteral("searchButton"));
    searchButton_->setIcon(themedIcon(nullptr, "search"));
    connect(searchButton_, &QPushButton::clicked, this, &MainWindow::runSearch);
    connect(searchWordEdit_->lineEdit(), &QLineEdit::returnPressed, this, &MainWindow::runSearch);
    search->addWidget(searchButton_, 0, Qt::AlignRight);
    search->addStretch();

    // Conversion.
    auto* convert = new QVBoxLayout(convertPage_);
    conversionGroup_ =
        radioGroup(convertPage_, convert, QStringLiteral("変換するグループ"), kColumnGroups, 2);
    conversionKindGroup_ = radioGroup(
        convertPage_, convert, QStringLiteral("変換の種類"),
        kBasicKinds + QStringList{QStringLiteral("すべて全角"), QStringLiteral("可能な文字を半角")});
    // The width conversions wait for the extended mode.
    for (int kind : {3, 4}) {
        conversionKindGroup_->button(kind)->hide();
    }
    connect(conversionKindGroup_, &QButtonGroup::idClicked, this, [this] { conversionKindChanged(); });
    conversionButton_ = new QPushButton(QStringLiteral("変換"), convertPage_);
    conversionButton_->setObjectName(QStringLiteral("conversionButton"));
    conversionButton_->setIcon(themedIcon(nullptr, "convert"));
    conversionButton_->installEventFilter(new ExtendedModeWatcher(this, [this] { offerWidthConversions(); }));
    connect(conversionButton_, &QPushButton::clicked, this, &MainWindow::runConversion);
    convert->addWidget(conversionButton_, 0, Qt::AlignRight);
    convert->addStretch();

    // Replace.
    auto* replace = new QVBoxLayout(replacePage_);
    replaceGroup_ = radioGroup(replacePage_, replace, QStringLiteral("置換するグループ"), kColumnGroups, 2);
    connect(replaceGroup_, &QButtonGroup::idClicked, this, [this] { replaceGroupChanged(); });
    auto editRow = [this, replace](const QString& label, QLineEdit*& edit, QToolButton*& folder) {
        replace->addWidget(new QLabel(label, replacePage_));
        auto* row = new QHBoxLayout;
        edit = new QLineEdit(replacePage_);
        folder = new QToolButton(replacePage_);
        folder->setText(QStringLiteral("..."));
        folder->setToolTip(QStringLiteral("フォルダパス選択"));
        folder->hide();
        row->addWidget(edit, 1);
        row->addWidget(folder);
        replace->addLayout(row);
    };
    editRow(QStringLiteral("置換前の文字列"), findEdit_, findFolderButton_);
    editRow(QStringLiteral("置換後の文字列"), replacementEdit_, replacementFolderButton_);
    connect(findFolderButton_, &QToolButton::clicked, this, &MainWindow::pickFindFolder);
    connect(replacementFolderButton_, &QToolButton::clicked, this, &MainWindow::pickReplacementFolder);
    replaceButton_ = new QPushButton(QStringLiteral("置換"), replacePage_);
    replaceButton_->setObjectName(QStringLiteral("replaceButton"));
    replaceButton_->setIcon(themedIcon(nullptr, "replace"));
    connect(replaceButton_, &QPushButton::clicked, this, &MainWindow::runReplace);
    replace->addWidget(replaceButton_, 0, Qt::AlignRight);
    replace->addStretch();
    searchGroup_->setObjectName(QStringLiteral("searchGroup"));
    conversionGroup_->setObjectName(QStringLiteral("conversionGroup"));
    conversionKindGroup_->setObjectName(QStringLiteral("conversionKindGroup"));
    replaceGroup_->setObjectName(QStringLiteral("replaceGroup"));
}

void MainWindow::setCategoryCaptions(const QString& first, const QString& second, const QString& third)
{
    const QString captions[] = {first, second, third};
    for (int i = 0; i < 3; ++i) {
        searchGroup_->button(3 + i)->setText(captions[i]);
        conversionGroup_->button(4 + i)->setText(captions[i]);
    }
    categoryCaptions_ = {first, second, third};
    category1Label_->setText(first);
    category2Label_->setText(second);
    category3Label_->setText(third);
    for (int i = 0; i < 3; ++i) {
        albumModel_->setHeading(3 + i, captions[i]);
    }
}

void MainWindow::searchGroupChanged()
{
    const QString typed = searchWordEdit_->currentText();
    searchWordEdit_->clear();
    for (const std::string& entry :
         textops::searchSuggestions(catalogue_.albums(), searchGroup_->checkedId())) {
        searchWordEdit_->addItem(fromCp932(entry));
    }
    searchWordEdit_->setEditText(typed);
}

void MainWindow::runSearch()
{
    const QString word = searchWordEdit_->currentText();
    const bool folded = searchFoldCheck_->isChecked();
    QString problem;
    // A folded search folds the word first, so that a kana Shift-JIS lacks
    // (ゔ) still finds its twin. A character no catalogue text can hold is
    // found nowhere.
    const std::string bytes = toCp932(folded ? foldedWord(word) : word, &problem).value_or(std::string());
    // The typed word decides whether there is a word at all.
    const catalogue::Problem refused = catalogue_.searchProblem(word.toStdString());
    if (refused != catalogue::Problem::None) {
        prompter_.information(fromUtf8(catalogue::problemMessage(refused)));
        return;
    }
    const int group = searchGroup_->checkedId();
    std::vector<textops::SearchHit> hits;
    if (!bytes.empty()) {
        setStatus(1, QStringLiteral("検索中..."));
        hits =
            catalogue_.search(group, bytes, folded ? textops::SearchMode::Folded : textops::SearchMode::Plain,
                              statusProgress());
    }
    muteSelection_ = true;
    albumView_->selectionModel()->clear();
    catalogue_.showSearchResult(hits);
    muteSelection_ = false;
    setAllShown(false);
    sortAlbumsByColumn(albumSortColumn);
    const QString caption = searchGroup_->checkedButton()->text();
    setStatus(1, caption + QStringLiteral("検索結果表示中 \"") + word + QStringLiteral("\"-") +
                     QString::number(hits.size()) + QStringLiteral("件"));
    setStatus(0, QStringLiteral("0"));
    if (!hits.empty()) {
        selectAndShowListRow(0);
        return;
    }
    showAlbumOfRow(-1, false);
    prompter_.information(caption + QStringLiteral("検索 \"") + word +
                          QStringLiteral("\" を含むデータはありません"));
    showAllAlbums();
}

void MainWindow::conversionKindChanged()
{
    if (conversionKindGroup_->checkedId() == 3) {
        prompter_.information(
            QStringLiteral("注意\r\n一度「'(半角)」を「’(全角)」に変換すると半角に戻らなくなります。\r\n"
                           "メモを全角に変換すると，メモの内容が消えます。\r\nあしからず。"));
    }
}

void MainWindow::offerWidthConversions()
{
    for (int kind : {3, 4}) {
        conversionKindGroup_->button(kind)->show();
    }
    conversionKindGroup_->button(0)->setChecked(true);
}

textops::Progress MainWindow::statusProgress()
{
    // Panel 0 follows the albums; repainting for every one would cost more
    // than the work itself.
    return [this](int maximum, int index) {
        if (index < 0) {
            statusProgressMax = maximum;
            setStatus(0, QStringLiteral("0"));
            repaintStatus();
        } else if (index % 1024 == 0) {
            setStatus(0, QString::number(index));
            repaintStatus();
        }
    };
}

void MainWindow::finishBulkChange(const catalogue::BulkResult& result)
{
    setStatus(1, QStringLiteral("描写中..."));
    repaintStatus();
    std::vector<int> rows = selectedListRows();
    if (!rows.empty()) {
        showAlbumOfRow(rows.front(), true);
    }
    setStatus(1, QStringLiteral("OK"));
    setStatus(0, QStringLiteral("0"));
    if (result.refusedCells > 0) {
        prompter_.information(fromUtf8(catalogue::refusedCellsMessage(result.refusedCells)));
    }
}

void MainWindow::runConversion()
{
    if (albumModel_->rowCount() == 0) {
        prompter_.information(fromUtf8(catalogue::problemMessage(catalogue::Problem::NoAlbums)));
        return;
    }
    setStatus(1, QStringLiteral("変換中..."));
    finishBulkChange(catalogue_.convert(conversionGroup_->checkedId(), conversionKindGroup_->checkedId(),
                                        statusProgress()));
}

void MainWindow::replaceGroupChanged()
{
    const bool paths = replaceGroup_->checkedId() == 7 || replaceGroup_->checkedId() == 8;
    findFolderButton_->setVisible(paths);
    replacementFolderButton_->setVisible(paths);
}

void MainWindow::pickFindFolder()
{
    folderDialog_->instruction.clear();
    if (folderDialog_->choose()) {
        findEdit_->setText(folderDialog_->folderPath);
    }
}

void MainWindow::pickReplacementFolder()
{
    folderDialog_->instruction.clear();
    if (folderDialog_->choose()) {
        replacementEdit_->setText(folderDialog_->folderPath);
    }
}

void MainWindow::runReplace()
{
    if (albumModel_->rowCount() == 0) {
        prompter_.information(fromUtf8(catalogue::problemMessage(catalogue::Problem::NoAlbums)));
        return;
    }
    const QString find = findEdit_->text();
    const QString replacement = replacementEdit_->text();
    auto refuse = [this](const QString& message, QLineEdit* edit) {
        prompter_.information(message);
        edit->setFocus();
    };
    QString problem;
    std::optional<std::string> findBytes = toCp932(find, &problem);
    if (!findBytes) {
        return refuse(problem, findEdit_);
    }
    std::optional<std::string> replacementBytes = toCp932(replacement, &problem);
    if (!replacementBytes) {
        return refuse(problem, replacementEdit_);
    }
    setStatus(1, QStringLiteral("置換中..."));
    const catalogue::BulkResult result =
        catalogue_.replace(replaceGroup_->checkedId(), *findBytes, *replacementBytes, statusProgress());
    switch (result.problem) {
        case catalogue::Problem::None:
            finishBulkChange(result);
            return;
        case catalogue::Problem::FindEmpty:
        case catalogue::Problem::FindHasSeparator:
            return refuse(fromUtf8(catalogue::problemMessage(result.problem)), findEdit_);
        case catalogue::Problem::MemoReplaceHasBraces:
            return refuse(fromUtf8(catalogue::problemMessage(result.problem)),
                          find.contains(QStringLiteral("{}")) ? findEdit_ : replacementEdit_);
        default:
            return refuse(fromUtf8(catalogue::problemMessage(result.problem)), replacementEdit_);
    }
}

}  // namespace velmora::ui
