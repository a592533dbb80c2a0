#include "ui/main/tool_pages.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <functional>

#include "ui/platform/text_codec.h"
#include "ui/widgets/list_images.h"

namespace velmora::ui {

namespace {

// A titled group of radio buttons, the first one checked.
QButtonGroup* radioGroup(QWidget* page, QVBoxLayout* layout, const QString& name, const QString& title,
                         const QStringList& items, int columns = 1)
{
    auto* box = new QGroupBox(title, page);
    auto* grid = new QGridLayout(box);
    grid->setVerticalSpacing(2);
    auto* group = new QButtonGroup(box);
    group->setObjectName(name);
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

QPushButton* commandButton(QWidget* page, const char* name, const QString& text, const char* icon)
{
    auto* button = new QPushButton(text, page);
    button->setObjectName(QLatin1String(name));
    button->setIcon(themedIcon(nullptr, icon));
    return button;
}

// Catches the right-button press with Ctrl+Shift on a button.
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

// The conversion kinds; the last two wait for the extended mode.
const QStringList kKinds = {QStringLiteral("すべて大文字"), QStringLiteral("すべて小文字"),
                            QStringLiteral("頭文字を大文字"), QStringLiteral("すべて全角"),
                            QStringLiteral("可能な文字を半角")};
constexpr int kFullWidthKind = 3;

}  // namespace

// ---- search ----------------------------------------------------------------

SearchPage::SearchPage(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    groups_ = radioGroup(this, layout, QStringLiteral("searchGroup"), QStringLiteral("検索するグループ"),
                         {QStringLiteral("アーティスト名"), QStringLiteral("アルバム名"),
                          QStringLiteral("曲名"), QStringLiteral("ジャンル"), QStringLiteral("メディア"),
                          QStringLiteral("メモ"), QStringLiteral("すべてのデータ")},
                         2);
    connect(groups_, &QButtonGroup::idClicked, this, [this] { emit groupChanged(); });
    auto* wordLabel = new QLabel(QStringLiteral("検索する単語(&W)"), this);
    layout->addWidget(wordLabel);
    wordEdit_ = new QComboBox(this);
    wordLabel->setBuddy(wordEdit_);
    wordEdit_->setObjectName(QStringLiteral("searchWordEdit"));
    wordEdit_->setEditable(true);
    wordEdit_->setInsertPolicy(QComboBox::NoInsert);
    wordEdit_->setCompleter(nullptr);  // no automatic completion
    wordEdit_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    wordEdit_->setMaxVisibleItems(20);
    layout->addWidget(wordEdit_);
    foldCheck_ = new QCheckBox(QStringLiteral("かな・全角半角を区別しない"), this);
    foldCheck_->setObjectName(QStringLiteral("searchFoldCheck"));
    foldCheck_->setToolTip(
        QStringLiteral("ひらがなとカタカナ、全角と半角、大文字と小文字を同じ文字として検索します"));
    connect(foldCheck_, &QCheckBox::toggled, this, &SearchPage::foldToggled);
    layout->addWidget(foldCheck_);
    searchButton_ = commandButton(this, "searchButton", QStringLiteral("検索"), "search");
    connect(searchButton_, &QPushButton::clicked, this, &SearchPage::searchRequested);
    connect(wordEdit_->lineEdit(), &QLineEdit::returnPressed, this, &SearchPage::searchRequested);
    layout->addWidget(searchButton_, 0, Qt::AlignRight);
    layout->addStretch();
}

int SearchPage::group() const
{
    return groups_->checkedId();
}

QString SearchPage::groupCaption() const
{
    return groups_->checkedButton()->text();
}

QString SearchPage::word() const
{
    return wordEdit_->currentText();
}

void SearchPage::focusWord()
{
    wordEdit_->setFocus(Qt::ShortcutFocusReason);
    wordEdit_->lineEdit()->selectAll();
}

bool SearchPage::folded() const
{
    return foldCheck_->isChecked();
}

void SearchPage::setFolded(bool folded)
{
    foldCheck_->setChecked(folded);
}

void SearchPage::setSuggestions(const std::vector<std::string>& cp932Words)
{
    const QString typed = wordEdit_->currentText();
    wordEdit_->clear();
    for (const std::string& entry : cp932Words) {
        wordEdit_->addItem(fromCp932(entry));
    }
    wordEdit_->setEditText(typed);
}

void SearchPage::setCategoryCaptions(const QString captions[3])
{
    for (int i = 0; i < 3; ++i) {
        groups_->button(3 + i)->setText(captions[i]);
    }
}

// ---- conversion ------------------------------------------------------------

ConvertPage::ConvertPage(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    groups_ = radioGroup(this, layout, QStringLiteral("conversionGroup"), QStringLiteral("変換するグループ"),
                         kColumnGroups, 2);
    kinds_ =
        radioGroup(this, layout, QStringLiteral("conversionKindGroup"), QStringLiteral("変換の種類"), kKinds);
    // The width conversions wait for the extended mode.
    for (int kind : {3, 4}) {
        kinds_->button(kind)->hide();
    }
    connect(kinds_, &QButtonGroup::idClicked, this, [this](int kind) {
        if (kind == kFullWidthKind) {
            emit fullWidthChosen();
        }
    });
    convertButton_ = commandButton(this, "conversionButton", QStringLiteral("変換"), "convert");
    convertButton_->installEventFilter(new ExtendedModeWatcher(this, [this] { offerWidthConversions(); }));
    connect(convertButton_, &QPushButton::clicked, this, &ConvertPage::conversionRequested);
    layout->addWidget(convertButton_, 0, Qt::AlignRight);
    layout->addStretch();
}

int ConvertPage::group() const
{
    return groups_->checkedId();
}

int ConvertPage::kind() const
{
    return kinds_->checkedId();
}

void ConvertPage::setCategoryCaptions(const QString captions[3])
{
    for (int i = 0; i < 3; ++i) {
        groups_->button(4 + i)->setText(captions[i]);
    }
}

void ConvertPage::offerWidthConversions()
{
    for (int kind : {3, 4}) {
        kinds_->button(kind)->show();
    }
    kinds_->button(0)->setChecked(true);
}

// ---- replace ---------------------------------------------------------------

ReplacePage::ReplacePage(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    groups_ = radioGroup(this, layout, QStringLiteral("replaceGroup"), QStringLiteral("置換するグループ"),
                         kColumnGroups, 2);
    connect(groups_, &QButtonGroup::idClicked, this, [this] { groupChanged(); });
    auto editRow = [this, layout](const QString& label, const char* name, QLineEdit*& edit,
                                  QToolButton*& folder) {
        auto* caption = new QLabel(label, this);
        layout->addWidget(caption);
        auto* row = new QHBoxLayout;
        edit = new QLineEdit(this);
        caption->setBuddy(edit);
        edit->setObjectName(QLatin1String(name));
        folder = new QToolButton(this);
        folder->setText(QStringLiteral("..."));
        folder->setToolTip(QStringLiteral("フォルダパス選択"));
        folder->hide();
        row->addWidget(edit, 1);
        row->addWidget(folder);
        layout->addLayout(row);
    };
    editRow(QStringLiteral("置換前の文字列(&B)"), "findEdit", findEdit_, findFolderButton_);
    editRow(QStringLiteral("置換後の文字列(&N)"), "replacementEdit", replacementEdit_,
            replacementFolderButton_);
    findFolderButton_->setObjectName(QStringLiteral("findFolderButton"));
    replacementFolderButton_->setObjectName(QStringLiteral("replacementFolderButton"));
    connect(findFolderButton_, &QToolButton::clicked, this, &ReplacePage::findFolderRequested);
    connect(replacementFolderButton_, &QToolButton::clicked, this, &ReplacePage::replacementFolderRequested);
    replaceButton_ = commandButton(this, "replaceButton", QStringLiteral("置換"), "replace");
    connect(replaceButton_, &QPushButton::clicked, this, &ReplacePage::replaceRequested);
    layout->addWidget(replaceButton_, 0, Qt::AlignRight);
    layout->addStretch();
}

int ReplacePage::group() const
{
    return groups_->checkedId();
}

QString ReplacePage::findText() const
{
    return findEdit_->text();
}

QString ReplacePage::replacementText() const
{
    return replacementEdit_->text();
}

void ReplacePage::setFindText(const QString& text)
{
    findEdit_->setText(text);
}

void ReplacePage::setReplacementText(const QString& text)
{
    replacementEdit_->setText(text);
}

void ReplacePage::focusFind()
{
    findEdit_->setFocus();
}

void ReplacePage::focusReplacement()
{
    replacementEdit_->setFocus();
}

void ReplacePage::groupChanged()
{
    // The two path groups may take a folder from the folder picker.
    const bool paths = groups_->checkedId() == 7 || groups_->checkedId() == 8;
    findFolderButton_->setVisible(paths);
    replacementFolderButton_->setVisible(paths);
}

}  // namespace velmora::ui
