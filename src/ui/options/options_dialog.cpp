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
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QTableWidget>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/editing/album_edit_dialog.h"
#include "ui/main/album_list_model.h"
#include "ui/main/main_window.h"
#include "ui/platform/prompter.h"
#include "ui/platform/text_codec.h"
#include "ui/platform/win_color.h"
#include "ui/widgets/list_views.h"

namespace velmora::ui {

namespace {

std::vector<std::string> linesOf(const QPlainTextEdit* edit)
{
    std::vector<std::string> lines;
    const QString text = edit->toPlainText();
    if (text.isEmpty()) {
        return lines;
    }
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        lines.push_back(toCp932(line).value_or(std::string()));
    }
    return lines;
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

}  // namespace

OptionsDialog::OptionsDialog(MainWindow& main, Prompter& prompter, QWidget* parent)
    : QDialog(parent), main_(main), prompter_(prompter)
{
    setWindowTitle(QStringLiteral("オプション"));
    setObjectName(QStringLiteral("OpForm"));
    setMinimumSize(665, 640);
    resize(665, 640);

    pageTree = new QTreeWidget(this);
    pageTree->setHeaderHidden(true);
    pageTree->setFixedWidth(170);
    auto* mainNode = new QTreeWidgetItem(pageTree, {QStringLiteral("メインフォーム")});
    new QTreeWidgetItem(mainNode, {QStringLiteral("項目")});
    new QTreeWidgetItem(mainNode, {QStringLiteral("色、フォント")});
    auto* playerNode = new QTreeWidgetItem(pageTree, {QStringLiteral("メディアプレイヤー")});
    new QTreeWidgetItem(playerNode, {QStringLiteral("色、フォント")});
    new QTreeWidgetItem(pageTree, {QStringLiteral("HTML出力")});
    pageTree->expandAll();

    pageStack = new QStackedWidget(this);
    pageStack->addWidget(buildMainPage());
    pageStack->addWidget(buildItemsPage());
    pageStack->addWidget(buildFontsPage());
    auto* playerHeading = new QLabel(QStringLiteral("メディアプレイヤー"));
    playerHeading->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    pageStack->addWidget(playerHeading);
    pageStack->addWidget(buildPlayerPage());
    pageStack->addWidget(buildHtmlPage());
    connect(pageTree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        // The page is the node's position in the whole tree, top to bottom.
        int position = 0;
        for (QTreeWidgetItemIterator it(pageTree); *it; ++it, ++position) {
            if (*it == item) {
                pageChosen(position);
                return;
            }
        }
    });

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    auto* cancel = new QPushButton(QStringLiteral("キャンセル"), this);
    connect(ok, &QPushButton::clicked, this, &OptionsDialog::applyAndClose);
    connect(cancel, &QPushButton::clicked, this, &OptionsDialog::cancelChanges);
    auto* body = new QHBoxLayout;
    body->addWidget(pageTree);
    body->addWidget(pageStack, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addLayout(buttons);
    pageTree->setCurrentItem(mainNode);
}

QWidget* OptionsDialog::buildMainPage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(new QLabel(QStringLiteral("音楽CDに使用するドライブ"), page));
    driveCombo = new QComboBox(page);
    // The CD drives in name order, then the disc images named in
    // VELMORA_CD_DEVICES.
    for (const std::string& drive : main_.mediaSystem().cdDrives()) {
        driveCombo->addItem(QString::fromLocal8Bit(drive.c_str()));
    }
    layout->addWidget(driveCombo);
    // How "フォルダから登録" reads old tags (ID3v1, ID3v2 Latin-1 frames).
    auto* tagEncodingRow = new QHBoxLayout;
    tagEncodingRow->addWidget(new QLabel(QStringLiteral("タグの文字コード"), page));
    auto* tagEncoding = new QComboBox(page);
    tagEncoding->setObjectName(QStringLiteral("TagEncodingCombo"));
    tagEncoding->addItems({QStringLiteral("自動"), QStringLiteral("Latin-1"), QStringLiteral("Shift-JIS")});
    tagEncodingRow->addWidget(tagEncoding, 1);
    layout->addLayout(tagEncodingRow);
    layout->addWidget(new QLabel(QStringLiteral("インターネット検索対象"), page));
    webSearchItemList = new QListWidget(page);
    webSearchItemList->setMaximumHeight(120);
    layout->addWidget(webSearchItemList);
    layout->addWidget(new QLabel(QStringLiteral("インターネット検索サイトの設定"), page));
    auto* tools = new QHBoxLayout;
    const std::pair<const char*, void (OptionsDialog::*)()> buttons[] = {
        {"追加", &OptionsDialog::addSiteRow},
        {"一列削除", &OptionsDialog::deleteSiteRow},
        {"デフォルトに戻す", &OptionsDialog::undoSiteRows}};
    for (const auto& [caption, command] : buttons) {
        auto* button = new QPushButton(QString::fromUtf8(caption), page);
        connect(button, &QPushButton::clicked, this, command);
        tools->addWidget(button);
    }
    tools->addStretch();
    layout->addLayout(tools);
    siteTable = new QTableWidget(0, 3, page);
    siteTable->horizontalHeader()->hide();
    siteTable->verticalHeader()->setSectionsMovable(true);
    siteTable->setColumnWidth(0, 120);
    siteTable->setColumnWidth(1, 220);
    siteTable->horizontalHeader()->setStretchLastSection(true);
    // A dragged row carries its site to the new place.
    connect(siteTable->verticalHeader(), &QHeaderView::sectionMoved, this, [this](int, int from, int to) {
        QHeaderView* header = siteTable->verticalHeader();
        QSignalBlocker block(header);
        header->moveSection(to, from);
        if (from == 0 || to == 0) {
            return;  // the header row stays first
        }
        std::array<QString, 3> moved;
        for (int c = 0; c < 3; ++c) {
            moved[static_cast<std::size_t>(c)] =
                siteTable->item(from, c) ? siteTable->item(from, c)->text() : QString();
        }
        siteTable->removeRow(from);
        siteTable->insertRow(to);
        for (int c = 0; c < 3; ++c) {
            siteTable->setItem(to, c, new QTableWidgetItem(moved[static_cast<std::size_t>(c)]));
        }
    });
    layout->addWidget(siteTable, 1);
    return page;
}

QWidget* OptionsDialog::buildItemsPage()
{
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    grid->addWidget(new QLabel(QStringLiteral("名称"), page), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("よく使う文字列"), page), 0, 2);
    QLineEdit** captions[] = {&category1CaptionEdit, &category2CaptionEdit, &category3CaptionEdit};
    QPlainTextEdit** lists[] = {&genreListEdit, &mediaListEdit, &memoListEdit};
    for (int k = 0; k < 3; ++k) {
        grid->addWidget(new QLabel(QStringLiteral("分類%1").arg(k + 1), page), k + 1, 0, Qt::AlignTop);
        *captions[k] = new QLineEdit(page);
        grid->addWidget(*captions[k], k + 1, 1, Qt::AlignTop);
        *lists[k] = new QPlainTextEdit(page);
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
    layout->addWidget(new QLabel(QStringLiteral("アルバムリストとソングリストのサンプル"), page));
    listSample = new ReportView(page);
    auto* sample = new QStandardItemModel(3, AlbumListModel::kColumnCount, listSample);
    const QStringList headings = {QStringLiteral("No"),         QStringLiteral("アーティスト名"),
                                  QStringLiteral("アルバム名"), QStringLiteral("ジャンル"),
                                  QStringLiteral("メディア"),   QStringLiteral("メモ"),
                                  QStringLiteral("フリガナ"),   QStringLiteral("検索曲番号")};
    sample->setHorizontalHeaderLabels(headings);
    for (int r = 0; r < 3; ++r) {
        sample->setItem(r, 0, new QStandardItem(QString::number(r + 1)));
        sample->setItem(r, 1, new QStandardItem(QStringLiteral("アーティスト%1").arg(r + 1)));
        sample->setItem(r, 2, new QStandardItem(QStringLiteral("アルバム%1").arg(r + 1)));
    }
    listSample->setModel(sample);
    layout->addWidget(listSample);
    auto* listButtons = new QHBoxLayout;
    auto* listFont = new QPushButton(QStringLiteral("リストのフォント"), page);
    auto* listColor = new QPushButton(QStringLiteral("リストの背景色"), page);
    connect(listFont, &QPushButton::clicked, this, &OptionsDialog::pickListFont);
    connect(listColor, &QPushButton::clicked, this, &OptionsDialog::pickListColor);
    listButtons->addWidget(listFont);
    listButtons->addWidget(listColor);
    listButtons->addStretch();
    layout->addLayout(listButtons);
    layout->addWidget(new QLabel(QStringLiteral("編集用メモ帳のサンプル"), page));
    memoSample = new QPlainTextEdit(page);
    memoSample->setReadOnly(true);
    QStringList lines;
    for (int i = 1; i <= 8; ++i) {
        lines << QStringLiteral("%1曲目のサンプル").arg(i);
    }
    memoSample->setPlainText(lines.join(QLatin1Char('\n')));
    layout->addWidget(memoSample);
    auto* memoButtons = new QHBoxLayout;
    auto* memoFont = new QPushButton(QStringLiteral("編集用メモ帳のフォント"), page);
    auto* memoColor = new QPushButton(QStringLiteral("編集用メモ帳の背景色"), page);
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
    playerOptionList = new QListWidget(page);
    for (const char* item : {"一曲目", "二曲目", "三曲目", "四曲目", "五曲目"}) {
        auto* entry = new QListWidgetItem(QString::fromUtf8(item), playerOptionList);
        entry->setCheckState(Qt::Checked);
    }
    layout->addWidget(playerOptionList);
    auto* buttons = new QHBoxLayout;
    auto* font = new QPushButton(QStringLiteral("リストフォント"), page);
    auto* color = new QPushButton(QStringLiteral("リスト背景色"), page);
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
    for (std::size_t i = 0; i < HtmlChecks.size(); ++i) {
        HtmlChecks[i] = new QCheckBox(QString::fromUtf8(captions[i]), page);
        layout->addWidget(HtmlChecks[i]);
    }
    auto* passBox = new QGroupBox(QStringLiteral("リンクのパス"), page);
    auto* passLayout = new QHBoxLayout(passBox);
    htmlPathGroup = new QButtonGroup(passBox);
    const char* const passes[] = {"絶対パス", "相対パス"};
    for (int i = 0; i < 2; ++i) {
        auto* radio = new QRadioButton(QString::fromUtf8(passes[i]), passBox);
        htmlPathGroup->addButton(radio, i);
        passLayout->addWidget(radio);
    }
    layout->addWidget(passBox);
    auto* form = new QGridLayout;
    htmlFolderEdit = new QLineEdit(page);
    htmlTitleEdit = new QLineEdit(page);
    htmlHeadingEdit = new QLineEdit(page);
    form->addWidget(new QLabel(QStringLiteral("フォルダ名"), page), 0, 0);
    form->addWidget(htmlFolderEdit, 0, 1);
    form->addWidget(new QLabel(QStringLiteral("タイトル"), page), 1, 0);
    form->addWidget(htmlTitleEdit, 1, 1);
    form->addWidget(new QLabel(QStringLiteral("見出し"), page), 2, 0);
    form->addWidget(htmlHeadingEdit, 2, 1);
    layout->addLayout(form);
    layout->addWidget(new QLabel(QStringLiteral("コメント (HTML)"), page));
    htmlCommentEdit = new QPlainTextEdit(page);
    layout->addWidget(htmlCommentEdit, 1);
    auto* preview = new QPushButton(QStringLiteral("プレビュー"), page);
    connect(preview, &QPushButton::clicked, this, [this] {
        // The preview shows the page as these controls would make it,
        // without keeping their values before OK.
        store::AppSettings& s = main_.appSettings;
        const store::AppSettings kept = s;
        const std::vector<std::string> keptComments = main_.listFiles.htmlComments;
        storeHtmlValues();
        main_.previewHtmlPage();
        s = kept;
        main_.listFiles.htmlComments = keptComments;
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
    connect(HtmlChecks[7], &QCheckBox::toggled, htmlFolderEdit, &QWidget::setEnabled);
    return page;
}

void OptionsDialog::pageChosen(int position)
{
    if (position >= 0 && position < pageStack->count()) {
        pageStack->setCurrentIndex(position);
    }
}

void OptionsDialog::setGridRows(const std::vector<std::string>& names, const std::vector<std::string>& heads,
                                const std::vector<std::string>& tails)
{
    const std::size_t rows = std::max({names.size(), heads.size(), tails.size()});
    siteTable->setRowCount(static_cast<int>(rows));
    const std::vector<std::string>* columns[] = {&names, &heads, &tails};
    for (std::size_t r = 0; r < rows; ++r) {
        for (int c = 0; c < 3; ++c) {
            const std::vector<std::string>& column = *columns[c];
            siteTable->setItem(static_cast<int>(r), c,
                               new QTableWidgetItem(r < column.size() ? fromCp932(column[r]) : QString()));
        }
    }
}

void OptionsDialog::prepareForOpening()
{
    const store::AppSettings& s = main_.appSettings;
    driveCombo->setCurrentIndex(std::min(s.cdDrive, driveCombo->count() - 1));
    findChild<QComboBox*>(QStringLiteral("TagEncodingCombo"))
        ->setCurrentIndex(std::clamp(s.tagEncoding, 0, 2));
    webSearchItemList->clear();
    for (int i = 0; i < main_.webSearchItems.size(); ++i) {
        auto* item = new QListWidgetItem(main_.webSearchItems[i], webSearchItemList);
        item->setCheckState(s.internetChecks[static_cast<std::size_t>(i)] ? Qt::Checked : Qt::Unchecked);
    }
    setGridRows(main_.listFiles.siteNames, main_.listFiles.siteHeads, main_.listFiles.siteTails);
    if (edit_) {
        genreListEdit->setPlainText(textOf(edit_->genreSuggestions()));
        mediaListEdit->setPlainText(textOf(edit_->mediaSuggestions()));
        memoListEdit->setPlainText(textOf(edit_->memoChoices));
    } else {
        genreListEdit->setPlainText(textOf(main_.listFiles.genres));
        mediaListEdit->setPlainText(textOf(main_.listFiles.media));
        memoListEdit->setPlainText(textOf(main_.listFiles.memoChoices));
    }
    category1CaptionEdit->setText(main_.categoryCaption(0));
    category2CaptionEdit->setText(main_.categoryCaption(1));
    category3CaptionEdit->setText(main_.categoryCaption(2));
    auto look = [](QWidget* sample, const store::FontSetting& font, std::int32_t background) {
        QFont f = sample->font();
        f.setFamily(fromCp932(font.name));
        f.setPointSize(font.size);
        f.setBold(font.bold);
        f.setItalic(font.italic);
        sample->setFont(f);
        QPalette palette = sample->palette();
        palette.setColor(QPalette::Text, colorFromStored(font.color, palette));
        palette.setColor(QPalette::Base, colorFromStored(background, palette));
        sample->setPalette(palette);
    };
    look(memoSample, s.memoFont, s.memoColor);
    look(playerOptionList, s.listFont, s.listColor);
    for (std::size_t i = 0; i < HtmlChecks.size(); ++i) {
        HtmlChecks[i]->setChecked(s.html[i]);
    }
    findChild<QCheckBox*>(QStringLiteral("CsvUtf8Check"))->setChecked(s.csvUtf8);
    htmlPathGroup->button(s.htmlPass == 1 ? 1 : 0)->setChecked(true);
    htmlFolderEdit->setText(fromCp932(s.htmlFolderName));
    htmlTitleEdit->setText(fromCp932(s.htmlTitle));
    htmlHeadingEdit->setText(fromCp932(s.htmlH1));
    htmlCommentEdit->setPlainText(textOf(main_.listFiles.htmlComments));
    htmlFolderEdit->setEnabled(HtmlChecks[7]->isChecked());
    const QString captions[] = {category1CaptionEdit->text(), category2CaptionEdit->text(),
                                category3CaptionEdit->text()};
    for (int k = 0; k < 3; ++k) {
        main_.webSearchItems[3 + k] = captions[k];
        HtmlChecks[static_cast<std::size_t>(k + 1)]->setText(captions[k] + QStringLiteral("を表示する"));
    }
}

void OptionsDialog::applyAndClose()
{
    store::AppSettings& s = main_.appSettings;
    s.cdDrive = driveCombo->currentIndex() >= 0 ? driveCombo->currentIndex() : s.cdDrive;
    s.tagEncoding = findChild<QComboBox*>(QStringLiteral("TagEncodingCombo"))->currentIndex();
    // Ticks in the item list set the search flags as shown.
    for (int i = 0; i < webSearchItemList->count() && i < 6; ++i) {
        s.internetChecks[static_cast<std::size_t>(i)] =
            webSearchItemList->item(i)->checkState() == Qt::Checked;
    }
    auto cell = [this](int r, int c) {
        QTableWidgetItem* item = siteTable->item(r, c);
        return toCp932(item ? item->text() : QString()).value_or(std::string());
    };
    std::vector<std::string>* sites[] = {&main_.listFiles.siteNames, &main_.listFiles.siteHeads,
                                         &main_.listFiles.siteTails};
    for (int c = 0; c < 3; ++c) {
        sites[c]->clear();
        for (int r = 0; r < siteTable->rowCount(); ++r) {
            sites[c]->push_back(cell(r, c));
        }
    }
    const QString captions[] = {category1CaptionEdit->text(), category2CaptionEdit->text(),
                                category3CaptionEdit->text()};
    main_.setCategoryCaptions(captions[0], captions[1], captions[2]);
    for (int k = 0; k < 3; ++k) {
        main_.webSearchItems[3 + k] = captions[k];
        HtmlChecks[static_cast<std::size_t>(k + 1)]->setText(captions[k] + QStringLiteral("を表示する"));
    }
    // Fonts and colours of the samples.
    const QFont listFont = listSample->font();
    const QPalette listPalette = listSample->palette();
    s.albumFont =
        fontSettingOf(listFont, storedFromColor(listPalette.color(QPalette::Text)), s.albumFont.name);
    s.albumColor = storedFromColor(listPalette.color(QPalette::Base));
    s.memoFont = fontSettingOf(memoSample->font(),
                               storedFromColor(memoSample->palette().color(QPalette::Text)), s.memoFont.name);
    s.memoColor = storedFromColor(memoSample->palette().color(QPalette::Base));
    s.listFont =
        fontSettingOf(playerOptionList->font(),
                      storedFromColor(playerOptionList->palette().color(QPalette::Text)), s.listFont.name);
    s.listColor = storedFromColor(playerOptionList->palette().color(QPalette::Base));
    main_.applyListLook();
    if (edit_) {
        edit_->setSuggestions(linesOf(genreListEdit), linesOf(mediaListEdit), linesOf(memoListEdit));
        edit_->setCategoryCaptions(captions[0], captions[1], captions[2]);
    }
    main_.listFiles.genres = linesOf(genreListEdit);
    main_.listFiles.media = linesOf(mediaListEdit);
    main_.listFiles.memoChoices = linesOf(memoListEdit);
    storeHtmlValues();
    close();
}

void OptionsDialog::storeHtmlValues()
{
    store::AppSettings& s = main_.appSettings;
    for (std::size_t i = 0; i < HtmlChecks.size(); ++i) {
        s.html[i] = HtmlChecks[i]->isChecked();
    }
    s.htmlPass = htmlPathGroup->checkedId() == 1 ? 1 : 0;
    s.htmlFolderName = toCp932(htmlFolderEdit->text()).value_or(s.htmlFolderName);
    s.htmlTitle = toCp932(htmlTitleEdit->text()).value_or(s.htmlTitle);
    s.htmlH1 = toCp932(htmlHeadingEdit->text()).value_or(s.htmlH1);
    main_.listFiles.htmlComments = linesOf(htmlCommentEdit);
    s.csvUtf8 = findChild<QCheckBox*>(QStringLiteral("CsvUtf8Check"))->isChecked();
}

void OptionsDialog::cancelChanges()
{
    close();
}

void OptionsDialog::closeEvent(QCloseEvent* event)
{
    driveCombo->setCurrentIndex(std::min(main_.appSettings.cdDrive, driveCombo->count() - 1));
    QDialog::closeEvent(event);
}

void OptionsDialog::addSiteRow()
{
    const int row = siteTable->rowCount();
    siteTable->insertRow(row);
    for (int c = 0; c < 3; ++c) {
        siteTable->setItem(row, c, new QTableWidgetItem);
    }
}

void OptionsDialog::deleteSiteRow()
{
    const int row = siteTable->currentRow();
    // The header row stays, and so does the last site.
    if (row < 1 || siteTable->rowCount() <= 2) {
        return;
    }
    const int column = std::max(0, siteTable->currentColumn());
    siteTable->removeRow(row);
    // The rows below moved up: the same position is current again.
    siteTable->setCurrentCell(std::min(row, siteTable->rowCount() - 1), column);
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
        QPalette palette = sample->palette();
        palette.setColor(QPalette::Base, *color);
        sample->setPalette(palette);
    }
}

void OptionsDialog::pickListFont()
{
    pickFont(listSample);
}
void OptionsDialog::pickListColor()
{
    pickColor(listSample);
}
void OptionsDialog::pickMemoFont()
{
    pickFont(memoSample);
}
void OptionsDialog::pickMemoColor()
{
    pickColor(memoSample);
}
void OptionsDialog::pickPlaylistFont()
{
    pickFont(playerOptionList);
}
void OptionsDialog::pickPlaylistColor()
{
    pickColor(playerOptionList);
}

}  // namespace velmora::ui
