#include "ui/options/options_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QTableWidget>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/platform/prompter.h"
#include "ui/platform/screen_fit.h"
#include "ui/platform/text_codec.h"
#include "ui/platform/win_color.h"
#include "ui/widgets/list_views.h"

namespace velmora::ui {

namespace {

// The lines of an edit in CP932; a line left as it was keeps the bytes it
// was shown with. Nothing, with a message naming the line, when a line
// cannot be stored.
std::optional<std::vector<std::string>> encodeLines(const QPlainTextEdit* edit,
                                                    const std::vector<std::string>& shown,
                                                    const QString& field, QString* message)
{
    std::vector<std::string> lines;
    const QString text = edit->toPlainText();
    if (text.isEmpty()) {
        return lines;
    }
    const QStringList split = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < split.size(); ++i) {
        const auto row = static_cast<std::size_t>(i);
        QString problem;
        std::optional<std::string> bytes =
            toCp932Preserving(row < shown.size() ? shown[row] : std::string(), split[i], &problem);
        if (!bytes) {
            *message = QStringLiteral("%1 (%2行目): %3").arg(field).arg(i + 1).arg(problem);
            return std::nullopt;
        }
        lines.push_back(std::move(*bytes));
    }
    return lines;
}

// One field in CP932, keeping the shown bytes where it is unchanged.
std::optional<std::string> encodeText(const std::string& shown, const QString& text, const QString& field,
                                      QString* message)
{
    QString problem;
    std::optional<std::string> bytes = toCp932Preserving(shown, text, &problem);
    if (!bytes) {
        *message = QStringLiteral("%1: %2").arg(field, problem);
    }
    return bytes;
}

QString textOf(const std::vector<std::string>& lines)
{
    QStringList decoded;
    for (const std::string& line : lines) {
        decoded << fromCp932(line);
    }
    return decoded.join(QLatin1Char('\n'));
}

store::FontSetting fontSettingOf(const QFont& font, std::int32_t color, const std::string& storedName)
{
    store::FontSetting setting;
    // A font shown through a substitute keeps the stored Windows name.
    const std::string chosen = toCp932(font.family()).value_or(storedName);
    setting.name = fromCp932(storedName) == font.family() ? storedName : chosen;
    setting.size = font.pointSize() > 0 ? font.pointSize() : 9;
    setting.bold = font.bold();
    setting.italic = font.italic();
    setting.color = color;
    return setting;
}

// The stored colours a sample shows, kept beside it until OK writes them.
void keepStoredColors(QWidget& sample, std::int32_t text, std::int32_t background)
{
    sample.setProperty("storedTextColor", text);
    sample.setProperty("storedBackgroundColor", background);
}
std::int32_t storedText(const QWidget& sample)
{
    return sample.property("storedTextColor").toInt();
}
std::int32_t storedBackground(const QWidget& sample)
{
    return sample.property("storedBackgroundColor").toInt();
}

}  // namespace

OptionsDialog::OptionsDialog(Prompter& prompter, std::vector<std::string> cdDrives, QWidget* parent)
    : QDialog(parent), prompter_(prompter), cdDrives_(std::move(cdDrives))
{
    setWindowTitle(QStringLiteral("オプション"));
    setObjectName(QStringLiteral("OpForm"));
    setMinimumSize(665, 640);
    resize(665, 640);

    pageTree_ = new QTreeWidget(this);
    pageTree_->setHeaderHidden(true);
    pageTree_->setAccessibleName(QStringLiteral("設定のページ"));
    pageTree_->setFixedWidth(170);
    auto* mainNode = new QTreeWidgetItem(pageTree_, {QStringLiteral("メインフォーム")});
    new QTreeWidgetItem(mainNode, {QStringLiteral("項目")});
    new QTreeWidgetItem(mainNode, {QStringLiteral("色、フォント")});
    // The media player has one page: its playlist's font and colour.
    new QTreeWidgetItem(pageTree_, {QStringLiteral("メディアプレイヤー")});
    new QTreeWidgetItem(pageTree_, {QStringLiteral("HTML出力")});
    pageTree_->expandAll();
    // Wide enough for the longest page name in the font in use.
    int treeWidth = 170;
    for (QTreeWidgetItemIterator it(pageTree_); *it; ++it) {
        int depth = 1;
        for (const QTreeWidgetItem* up = (*it)->parent(); up != nullptr; up = up->parent()) {
            ++depth;
        }
        treeWidth = std::max(treeWidth, depth * pageTree_->indentation() +
                                            pageTree_->fontMetrics().horizontalAdvance((*it)->text(0)) +
                                            2 * pageTree_->frameWidth() + 12);
    }
    pageTree_->setFixedWidth(treeWidth);

    pageStack_ = new QStackedWidget(this);
    pageStack_->addWidget(buildMainPage());
    pageStack_->addWidget(buildItemsPage());
    pageStack_->addWidget(buildFontsPage());
    pageStack_->addWidget(buildPlayerPage());
    pageStack_->addWidget(buildHtmlPage());
    connect(pageTree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        // The page is the node's position in the whole tree, top to bottom.
        int position = 0;
        for (QTreeWidgetItemIterator it(pageTree_); *it; ++it, ++position) {
            if (*it == item) {
                pageChosen(position);
                return;
            }
        }
    });

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    // Enter anywhere but in the site table presses OK.
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("キャンセル"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    connect(ok, &QPushButton::clicked, this, &OptionsDialog::applyAndClose);
    connect(cancel, &QPushButton::clicked, this, &OptionsDialog::cancelChanges);
    auto* body = new QHBoxLayout;
    body->addWidget(pageTree_);
    // On a small screen or with a large font the page scrolls; OK and
    // キャンセル stay in view.
    body->addWidget(scrollWhenCramped(pageStack_, this), 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addLayout(buttons);
    pageTree_->setCurrentItem(mainNode);
    nameControls();
    // A large font widens the pages; the screen limits the dialog when it
    // is shown, and the pages scroll.
    resize(size().expandedTo(QSize(pageTree_->width() + pageStack_->sizeHint().width() + 48,
                                   pageStack_->minimumSizeHint().height() + 72)));
    keepOnScreenWhenShown(*this);
}

void OptionsDialog::nameControls()
{
    const std::pair<QObject*, const char*> names[] = {
        {pageTree_, "pageTree"},
        {pageStack_, "pageStack"},
        {driveCombo_, "driveCombo"},
        {webSearchItemList_, "webSearchItemList"},
        {siteTable_, "siteTable"},
        {category1CaptionEdit_, "category1CaptionEdit"},
        {category2CaptionEdit_, "category2CaptionEdit"},
        {category3CaptionEdit_, "category3CaptionEdit"},
        {genreListEdit_, "genreListEdit"},
        {mediaListEdit_, "mediaListEdit"},
        {memoListEdit_, "memoListEdit"},
        {listSample_, "listSample"},
        {memoSample_, "memoSample"},
        {playerOptionList_, "playerOptionList"},
        {htmlChecks_[0], "htmlPictureCheck"},
        {htmlChecks_[1], "htmlCategory1Check"},
        {htmlChecks_[2], "htmlCategory2Check"},
        {htmlChecks_[3], "htmlCategory3Check"},
        {htmlChecks_[4], "htmlSongTitleCheck"},
        {htmlChecks_[5], "htmlMediaLinkCheck"},
        {htmlChecks_[6], "htmlContentsCheck"},
        {htmlChecks_[7], "htmlCopyFilesCheck"},
        {htmlFolderEdit_, "htmlFolderEdit"},
        {htmlTitleEdit_, "htmlTitleEdit"},
        {htmlHeadingEdit_, "htmlHeadingEdit"},
        {htmlCommentEdit_, "htmlCommentEdit"},
    };
    for (const auto& [control, name] : names) {
        control->setObjectName(QString::fromLatin1(name));
    }
}

QWidget* OptionsDialog::buildMainPage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* driveLabel = new QLabel(QStringLiteral("音楽CDに使用するドライブ(&D)"), page);
    layout->addWidget(driveLabel);
    driveCombo_ = new QComboBox(page);
    driveLabel->setBuddy(driveCombo_);
    // The CD drives in name order, then the disc images named in
    // VELMORA_CD_DEVICES.
    for (const std::string& drive : cdDrives_) {
        driveCombo_->addItem(QString::fromLocal8Bit(drive.c_str()));
    }
    layout->addWidget(driveCombo_);
    auto* tagEncodingRow = new QHBoxLayout;
    auto* tagEncodingLabel = new QLabel(QStringLiteral("タグの文字コード(&C)"), page);
    tagEncodingRow->addWidget(tagEncodingLabel);
    tagEncodingCombo_ = new QComboBox(page);
    tagEncodingLabel->setBuddy(tagEncodingCombo_);
    tagEncodingCombo_->setObjectName(QStringLiteral("tagEncodingCombo"));
    tagEncodingCombo_->addItems(
        {QStringLiteral("自動"), QStringLiteral("Latin-1"), QStringLiteral("Shift-JIS")});
    tagEncodingRow->addWidget(tagEncodingCombo_, 1);
    layout->addLayout(tagEncodingRow);
    auto* itemsLabel = new QLabel(QStringLiteral("インターネット検索対象(&I)"), page);
    layout->addWidget(itemsLabel);
    webSearchItemList_ = new QListWidget(page);
    itemsLabel->setBuddy(webSearchItemList_);
    webSearchItemList_->setMaximumHeight(120);
    layout->addWidget(webSearchItemList_);
    auto* sitesLabel = new QLabel(QStringLiteral("インターネット検索サイトの設定(&S)"), page);
    layout->addWidget(sitesLabel);
    auto* tools = new QHBoxLayout;
    const struct {
        const char* name;
        const char* caption;
        void (OptionsDialog::*command)();
    } buttons[] = {{"addSiteButton", "追加(&A)", &OptionsDialog::addSiteRow},
                   {"deleteSiteButton", "一列削除(&R)", &OptionsDialog::deleteSiteRow},
                   {"defaultSitesButton", "デフォルトに戻す(&U)", &OptionsDialog::undoSiteRows}};
    for (const auto& [name, caption, command] : buttons) {
        auto* button = new QPushButton(QString::fromUtf8(caption), page);
        button->setObjectName(QString::fromLatin1(name));
        // Enter is for OK, not for the button that happens to come first.
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, command);
        tools->addWidget(button);
    }
    tools->addStretch();
    layout->addLayout(tools);
    siteTable_ = new EditGrid(0, 3, page);
    sitesLabel->setBuddy(siteTable_);
    siteTable_->horizontalHeader()->hide();
    siteTable_->verticalHeader()->setSectionsMovable(true);
    siteTable_->setColumnWidth(0, 120);
    siteTable_->setColumnWidth(1, 220);
    siteTable_->horizontalHeader()->setStretchLastSection(true);
    // A dragged row carries its site to the new place.
    connect(siteTable_->verticalHeader(), &QHeaderView::sectionMoved, this, [this](int, int from, int to) {
        QHeaderView* header = siteTable_->verticalHeader();
        QSignalBlocker block(header);
        header->moveSection(to, from);
        if (from == 0 || to == 0) {
            return;  // the header row stays first
        }
        std::array<QString, 3> moved;
        for (int c = 0; c < 3; ++c) {
            moved[static_cast<std::size_t>(c)] =
                siteTable_->item(from, c) ? siteTable_->item(from, c)->text() : QString();
        }
        siteTable_->removeRow(from);
        siteTable_->insertRow(to);
        for (int c = 0; c < 3; ++c) {
            siteTable_->setItem(to, c, new QTableWidgetItem(moved[static_cast<std::size_t>(c)]));
        }
    });
    layout->addWidget(siteTable_, 1);
    return page;
}

QWidget* OptionsDialog::buildItemsPage()
{
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    grid->addWidget(new QLabel(QStringLiteral("名称"), page), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("よく使う文字列"), page), 0, 2);
    QLineEdit** captions[] = {&category1CaptionEdit_, &category2CaptionEdit_, &category3CaptionEdit_};
    QPlainTextEdit** lists[] = {&genreListEdit_, &mediaListEdit_, &memoListEdit_};
    for (int k = 0; k < 3; ++k) {
        auto* label = new QLabel(QStringLiteral("分類%1(&%1)").arg(k + 1), page);
        grid->addWidget(label, k + 1, 0, Qt::AlignTop);
        *captions[k] = new QLineEdit(page);
        label->setBuddy(*captions[k]);
        grid->addWidget(*captions[k], k + 1, 1, Qt::AlignTop);
        *lists[k] = new QPlainTextEdit(page);
        (*lists[k])->setAccessibleName(QStringLiteral("分類%1のよく使う文字列").arg(k + 1));
        (*lists[k])->setTabChangesFocus(true);
        (*lists[k])->setLineWrapMode(QPlainTextEdit::NoWrap);
        grid->addWidget(*lists[k], k + 1, 2);
    }
    grid->setColumnStretch(2, 1);
    return page;
}

QWidget* OptionsDialog::buildFontsPage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* listLabel = new QLabel(QStringLiteral("アルバムリストとソングリストのサンプル(&L)"), page);
    layout->addWidget(listLabel);
    listSample_ = new ReportView(page);
    listLabel->setBuddy(listSample_);
    // The album list's columns.
    const QStringList headings = {QStringLiteral("No"),         QStringLiteral("アーティスト名"),
                                  QStringLiteral("アルバム名"), QStringLiteral("ジャンル"),
                                  QStringLiteral("メディア"),   QStringLiteral("メモ"),
                                  QStringLiteral("フリガナ"),   QStringLiteral("検索曲番号")};
    auto* sample = new QStandardItemModel(3, static_cast<int>(headings.size()), listSample_);
    sample->setHorizontalHeaderLabels(headings);
    for (int r = 0; r < 3; ++r) {
        sample->setItem(r, 0, new QStandardItem(QString::number(r + 1)));
        sample->setItem(r, 1, new QStandardItem(QStringLiteral("アーティスト%1").arg(r + 1)));
        sample->setItem(r, 2, new QStandardItem(QStringLiteral("アルバム%1").arg(r + 1)));
    }
    listSample_->setModel(sample);
    layout->addWidget(listSample_);
    auto* listButtons = new QHBoxLayout;
    auto* listFont = new QPushButton(QStringLiteral("リストのフォント(&F)"), page);
    auto* listColor = new QPushButton(QStringLiteral("リストの背景色(&B)"), page);
    connect(listFont, &QPushButton::clicked, this, &OptionsDialog::pickListFont);
    connect(listColor, &QPushButton::clicked, this, &OptionsDialog::pickListColor);
    listButtons->addWidget(listFont);
    listButtons->addWidget(listColor);
    listButtons->addStretch();
    layout->addLayout(listButtons);
    auto* memoLabel = new QLabel(QStringLiteral("編集用メモ帳のサンプル(&M)"), page);
    layout->addWidget(memoLabel);
    memoSample_ = new QPlainTextEdit(page);
    memoLabel->setBuddy(memoSample_);
    memoSample_->setTabChangesFocus(true);
    memoSample_->setReadOnly(true);
    QStringList lines;
    for (int i = 1; i <= 8; ++i) {
        lines << QStringLiteral("%1曲目のサンプル").arg(i);
    }
    memoSample_->setPlainText(lines.join(QLatin1Char('\n')));
    layout->addWidget(memoSample_);
    auto* memoButtons = new QHBoxLayout;
    auto* memoFont = new QPushButton(QStringLiteral("編集用メモ帳のフォント(&O)"), page);
    auto* memoColor = new QPushButton(QStringLiteral("編集用メモ帳の背景色(&K)"), page);
    connect(memoFont, &QPushButton::clicked, this, &OptionsDialog::pickMemoFont);
    connect(memoColor, &QPushButton::clicked, this, &OptionsDialog::pickMemoColor);
    memoButtons->addWidget(memoFont);
    memoButtons->addWidget(memoColor);
    memoButtons->addStretch();
    layout->addLayout(memoButtons);
    return page;
}

QWidget* OptionsDialog::buildPlayerPage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    playerOptionList_ = new QListWidget(page);
    playerOptionList_->setAccessibleName(QStringLiteral("プレイリストのサンプル"));
    for (const char* item : {"一曲目", "二曲目", "三曲目", "四曲目", "五曲目"}) {
        auto* entry = new QListWidgetItem(QString::fromUtf8(item), playerOptionList_);
        entry->setCheckState(Qt::Checked);
    }
    layout->addWidget(playerOptionList_);
    auto* buttons = new QHBoxLayout;
    auto* font = new QPushButton(QStringLiteral("リストフォント(&F)"), page);
    auto* color = new QPushButton(QStringLiteral("リスト背景色(&B)"), page);
    connect(font, &QPushButton::clicked, this, &OptionsDialog::pickPlaylistFont);
    connect(color, &QPushButton::clicked, this, &OptionsDialog::pickPlaylistColor);
    buttons->addWidget(font);
    buttons->addWidget(color);
    buttons->addStretch();
    layout->addLayout(buttons);
    layout->addStretch();
    return page;
}

QWidget* OptionsDialog::buildHtmlPage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    const char* const captions[] = {"画像を表示する",     "ジャンルを表示する",
                                    "メディアを表示する", "メモを表示する",
                                    "曲名を表示する",     "メディアファイルにリンクする",
                                    "目次をつける",       "リンクするファイルをフォルダにコピーする"};
    for (std::size_t i = 0; i < htmlChecks_.size(); ++i) {
        htmlChecks_[i] = new QCheckBox(QString::fromUtf8(captions[i]), page);
        layout->addWidget(htmlChecks_[i]);
    }
    auto* passBox = new QGroupBox(QStringLiteral("リンクのパス"), page);
    auto* passLayout = new QHBoxLayout(passBox);
    htmlPathGroup_ = new QButtonGroup(passBox);
    const char* const passes[] = {"絶対パス", "相対パス"};
    for (int i = 0; i < 2; ++i) {
        auto* radio = new QRadioButton(QString::fromUtf8(passes[i]), passBox);
        radio->setObjectName(i == 0 ? QStringLiteral("absolutePathRadio")
                                    : QStringLiteral("relativePathRadio"));
        htmlPathGroup_->addButton(radio, i);
        passLayout->addWidget(radio);
    }
    layout->addWidget(passBox);
    auto* form = new QGridLayout;
    htmlFolderEdit_ = new QLineEdit(page);
    htmlTitleEdit_ = new QLineEdit(page);
    htmlHeadingEdit_ = new QLineEdit(page);
    const std::pair<const char*, QLineEdit*> fields[] = {{"フォルダ名(&N)", htmlFolderEdit_},
                                                         {"タイトル(&T)", htmlTitleEdit_},
                                                         {"見出し(&H)", htmlHeadingEdit_}};
    for (int row = 0; row < 3; ++row) {
        auto* label = new QLabel(QString::fromUtf8(fields[row].first), page);
        label->setBuddy(fields[row].second);
        form->addWidget(label, row, 0);
        form->addWidget(fields[row].second, row, 1);
    }
    layout->addLayout(form);
    auto* commentLabel = new QLabel(QStringLiteral("コメント (HTML)(&M)"), page);
    layout->addWidget(commentLabel);
    htmlCommentEdit_ = new QPlainTextEdit(page);
    commentLabel->setBuddy(htmlCommentEdit_);
    htmlCommentEdit_->setTabChangesFocus(true);
    layout->addWidget(htmlCommentEdit_, 1);
    auto* preview = new QPushButton(QStringLiteral("プレビュー(&P)"), page);
    preview->setObjectName(QStringLiteral("htmlPreviewButton"));
    connect(preview, &QPushButton::clicked, this, [this] {
        // The preview shows the page as these controls would make it,
        // without keeping their values before OK.
        Values shown = current_;
        QString message;
        if (!storeHtmlValues(shown, &message)) {
            prompter_.information(message);
            return;
        }
        emit htmlPreviewRequested(shown.settings, shown.lists.htmlComments);
    });
    layout->addWidget(preview, 0, Qt::AlignRight);
    // The other export: CSV files in Shift-JIS, or UTF-8 for spreadsheets.
    auto* csvBox = new QGroupBox(QStringLiteral("CSV出力"), page);
    auto* csvLayout = new QVBoxLayout(csvBox);
    auto* csvUtf8 = new QCheckBox(QStringLiteral("CSVファイルをUTF-8 (BOM付き) で書き出す"), csvBox);
    csvUtf8->setObjectName(QStringLiteral("CsvUtf8Check"));
    csvLayout->addWidget(csvUtf8);
    layout->addWidget(csvBox);
    // The folder name matters only when files are copied.
    connect(htmlChecks_[7], &QCheckBox::toggled, htmlFolderEdit_, &QWidget::setEnabled);
    return page;
}

void OptionsDialog::pageChosen(int position)
{
    if (position >= 0 && position < pageStack_->count()) {
        pageStack_->setCurrentIndex(position);
    }
}

void OptionsDialog::setGridRows(const std::vector<std::string>& names, const std::vector<std::string>& heads,
                                const std::vector<std::string>& tails)
{
    const std::size_t rows = std::max({names.size(), heads.size(), tails.size()});
    siteTable_->setRowCount(static_cast<int>(rows));
    const std::vector<std::string>* columns[] = {&names, &heads, &tails};
    for (std::size_t r = 0; r < rows; ++r) {
        for (int c = 0; c < 3; ++c) {
            const std::vector<std::string>& column = *columns[c];
            siteTable_->setItem(static_cast<int>(r), c,
                                new QTableWidgetItem(r < column.size() ? fromCp932(column[r]) : QString()));
        }
    }
}

void OptionsDialog::prepareForOpening(const Values& current, const QStringList& webSearchItems,
                                      const QFont& listFont, const QPalette& listPalette)
{
    current_ = current;
    const store::AppSettings& s = current_.settings;
    const store::ListFiles& lists = current_.lists;
    driveCombo_->setCurrentIndex(std::min(s.cdDrive, driveCombo_->count() - 1));
    tagEncodingCombo_->setCurrentIndex(std::clamp(s.tagEncoding, 0, 2));
    webSearchItemList_->clear();
    for (int i = 0; i < webSearchItems.size(); ++i) {
        auto* item = new QListWidgetItem(webSearchItems[i], webSearchItemList_);
        item->setCheckState(s.internetChecks[static_cast<std::size_t>(i)] ? Qt::Checked : Qt::Unchecked);
    }
    setGridRows(lists.siteNames, lists.siteHeads, lists.siteTails);
    genreListEdit_->setPlainText(textOf(lists.genres));
    mediaListEdit_->setPlainText(textOf(lists.media));
    memoListEdit_->setPlainText(textOf(lists.memoChoices));
    category1CaptionEdit_->setText(current_.captions[0]);
    category2CaptionEdit_->setText(current_.captions[1]);
    category3CaptionEdit_->setText(current_.captions[2]);
    listSample_->setFont(listFont);
    listSample_->setPalette(listPalette);
    keepStoredColors(*listSample_, s.albumFont.color, s.albumColor);
    auto look = [](QWidget* sample, const store::FontSetting& font, std::int32_t background) {
        QFont f = sample->font();
        f.setFamily(fromCp932(font.name));
        f.setPointSize(font.size);
        f.setBold(font.bold);
        f.setItalic(font.italic);
        sample->setFont(f);
        applyStoredColors(*sample, font.color, background, false);
        keepStoredColors(*sample, font.color, background);
    };
    look(memoSample_, s.memoFont, s.memoColor);
    look(playerOptionList_, s.listFont, s.listColor);
    for (std::size_t i = 0; i < htmlChecks_.size(); ++i) {
        htmlChecks_[i]->setChecked(s.html[i]);
    }
    findChild<QCheckBox*>(QStringLiteral("CsvUtf8Check"))->setChecked(s.csvUtf8);
    htmlPathGroup_->button(s.htmlPass == 1 ? 1 : 0)->setChecked(true);
    htmlFolderEdit_->setText(fromCp932(s.htmlFolderName));
    htmlTitleEdit_->setText(fromCp932(s.htmlTitle));
    htmlHeadingEdit_->setText(fromCp932(s.htmlH1));
    htmlCommentEdit_->setPlainText(textOf(lists.htmlComments));
    htmlFolderEdit_->setEnabled(htmlChecks_[7]->isChecked());
    for (int k = 0; k < 3; ++k) {
        htmlChecks_[static_cast<std::size_t>(k + 1)]->setText(current_.captions[static_cast<std::size_t>(k)] +
                                                              QStringLiteral("を表示する"));
    }
}

void OptionsDialog::applyAndClose()
{
    Values result = current_;
    QString message;
    if (!readControls(result, &message)) {
        // Nothing is taken while a text cannot be stored; the dialog stays.
        prompter_.information(message);
        return;
    }
    current_ = std::move(result);
    for (int k = 0; k < 3; ++k) {
        htmlChecks_[static_cast<std::size_t>(k + 1)]->setText(current_.captions[static_cast<std::size_t>(k)] +
                                                              QStringLiteral("を表示する"));
    }
    emit settingsAccepted(current_);
    close();
}

bool OptionsDialog::readControls(Values& result, QString* message) const
{
    store::AppSettings& s = result.settings;
    s.cdDrive = driveCombo_->currentIndex() >= 0 ? driveCombo_->currentIndex() : s.cdDrive;
    s.tagEncoding = tagEncodingCombo_->currentIndex();
    // Ticks in the item list set the search flags as shown.
    for (int i = 0; i < webSearchItemList_->count() && i < 6; ++i) {
        s.internetChecks[static_cast<std::size_t>(i)] =
            webSearchItemList_->item(i)->checkState() == Qt::Checked;
    }
    const store::ListFiles& shown = current_.lists;
    const std::vector<std::string>* shownSites[] = {&shown.siteNames, &shown.siteHeads, &shown.siteTails};
    std::vector<std::string>* sites[] = {&result.lists.siteNames, &result.lists.siteHeads,
                                         &result.lists.siteTails};
    for (int c = 0; c < 3; ++c) {
        sites[c]->clear();
    }
    for (int r = 0; r < siteTable_->rowCount(); ++r) {
        const auto row = static_cast<std::size_t>(r);
        for (int c = 0; c < 3; ++c) {
            QTableWidgetItem* item = siteTable_->item(r, c);
            const std::vector<std::string>& before = *shownSites[c];
            std::optional<std::string> bytes =
                encodeText(row < before.size() ? before[row] : std::string(), item ? item->text() : QString(),
                           QStringLiteral("インターネット検索サイト (%1行目)").arg(r + 1), message);
            if (!bytes) {
                return false;
            }
            sites[c]->push_back(std::move(*bytes));
        }
    }
    const QLineEdit* captionEdits[] = {category1CaptionEdit_, category2CaptionEdit_, category3CaptionEdit_};
    for (std::size_t k = 0; k < 3; ++k) {
        const QString caption = captionEdits[k]->text();
        if (!encodeText(s.captions[k], caption, QStringLiteral("分類%1の名称").arg(k + 1), message)) {
            return false;
        }
        result.captions[k] = caption;
    }
    const QPlainTextEdit* listEdits[] = {genreListEdit_, mediaListEdit_, memoListEdit_};
    std::vector<std::string>* lists[] = {&result.lists.genres, &result.lists.media,
                                         &result.lists.memoChoices};
    for (int k = 0; k < 3; ++k) {
        std::optional<std::vector<std::string>> lines = encodeLines(
            listEdits[k], *lists[k], QStringLiteral("分類%1のよく使う文字列").arg(k + 1), message);
        if (!lines) {
            return false;
        }
        *lists[k] = std::move(*lines);
    }
    // Fonts of the samples; their colours as stored, unless one was chosen
    // here (a colour that follows the palette stays a system colour).
    s.albumFont = fontSettingOf(listSample_->font(), storedText(*listSample_), s.albumFont.name);
    s.albumColor = storedBackground(*listSample_);
    s.memoFont = fontSettingOf(memoSample_->font(), storedText(*memoSample_), s.memoFont.name);
    s.memoColor = storedBackground(*memoSample_);
    s.listFont = fontSettingOf(playerOptionList_->font(), storedText(*playerOptionList_), s.listFont.name);
    s.listColor = storedBackground(*playerOptionList_);
    return storeHtmlValues(result, message);
}

bool OptionsDialog::storeHtmlValues(Values& values, QString* message) const
{
    store::AppSettings& s = values.settings;
    for (std::size_t i = 0; i < htmlChecks_.size(); ++i) {
        s.html[i] = htmlChecks_[i]->isChecked();
    }
    s.htmlPass = htmlPathGroup_->checkedId() == 1 ? 1 : 0;
    const std::pair<const QLineEdit*, std::string*> fields[] = {
        {htmlFolderEdit_, &s.htmlFolderName}, {htmlTitleEdit_, &s.htmlTitle}, {htmlHeadingEdit_, &s.htmlH1}};
    const QString names[] = {QStringLiteral("フォルダ名"), QStringLiteral("タイトル"),
                             QStringLiteral("見出し")};
    for (std::size_t i = 0; i < 3; ++i) {
        std::optional<std::string> bytes =
            encodeText(*fields[i].second, fields[i].first->text(), names[i], message);
        if (!bytes) {
            return false;
        }
        *fields[i].second = std::move(*bytes);
    }
    std::optional<std::vector<std::string>> comments =
        encodeLines(htmlCommentEdit_, values.lists.htmlComments, QStringLiteral("コメント (HTML)"), message);
    if (!comments) {
        return false;
    }
    values.lists.htmlComments = std::move(*comments);
    s.csvUtf8 = findChild<QCheckBox*>(QStringLiteral("CsvUtf8Check"))->isChecked();
    return true;
}

void OptionsDialog::cancelChanges()
{
    close();
}

void OptionsDialog::setVisible(bool visible)
{
    if (visible == isVisible()) {
        QDialog::setVisible(visible);
        return;
    }
    if (visible && lastPlace_) {
        // A dialog shown again is centred over its owner anew, and the
        // window manager's frame moves it down by its title bar each time;
        // an explicit place is kept as it is.
        move(*lastPlace_);
    } else if (!visible) {
        lastPlace_ = pos();
    }
    QDialog::setVisible(visible);
}

void OptionsDialog::closeEvent(QCloseEvent* event)
{
    driveCombo_->setCurrentIndex(std::min(current_.settings.cdDrive, driveCombo_->count() - 1));
    QDialog::closeEvent(event);
}

void OptionsDialog::addSiteRow()
{
    const int row = siteTable_->rowCount();
    siteTable_->insertRow(row);
    for (int c = 0; c < 3; ++c) {
        siteTable_->setItem(row, c, new QTableWidgetItem);
    }
}

void OptionsDialog::deleteSiteRow()
{
    const int row = siteTable_->currentRow();
    // The header row stays, and so does the last site.
    if (row < 1 || siteTable_->rowCount() <= 2) {
        return;
    }
    const int column = std::max(0, siteTable_->currentColumn());
    siteTable_->removeRow(row);
    // The rows below moved up: the same position is current again.
    siteTable_->setCurrentCell(std::min(row, siteTable_->rowCount() - 1), column);
}

void OptionsDialog::undoSiteRows()
{
    const store::ListFiles defaults;
    setGridRows(defaults.siteNames, defaults.siteHeads, defaults.siteTails);
}

void OptionsDialog::pickFont(QWidget* sample)
{
    if (std::optional<QFont> font = prompter_.chooseFont(sample->font())) {
        sample->setFont(*font);
    }
}

void OptionsDialog::pickColor(QWidget* sample)
{
    if (std::optional<QColor> color = prompter_.chooseColor(sample->palette().color(QPalette::Base))) {
        // Shown as the list will show it: the text keeps its stored colour.
        applyStoredColors(*sample, storedText(*sample), storedFromColor(*color), sample == listSample_);
        keepStoredColors(*sample, storedText(*sample), storedFromColor(*color));
    }
}

void OptionsDialog::pickListFont()
{
    pickFont(listSample_);
}
void OptionsDialog::pickListColor()
{
    pickColor(listSample_);
}
void OptionsDialog::pickMemoFont()
{
    pickFont(memoSample_);
}
void OptionsDialog::pickMemoColor()
{
    pickColor(memoSample_);
}
void OptionsDialog::pickPlaylistFont()
{
    pickFont(playerOptionList_);
}
void OptionsDialog::pickPlaylistColor()
{
    pickColor(playerOptionList_);
}

}  // namespace velmora::ui
