#include "options/top_form.h"

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

#include "editing/tedit_form.h"
#include "mainwindow/album_list_model.h"
#include "mainwindow/list_views.h"
#include "mainwindow/tform1.h"
#include "platform/prompter.h"
#include "platform/text_codec.h"
#include "platform/win_color.h"

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

TOpForm::TOpForm(TForm1& main, Prompter& prompter, QWidget* parent)
    : QDialog(parent), main_(main), prompter_(prompter)
{
    setWindowTitle(QStringLiteral("オプション"));
    setObjectName(QStringLiteral("OpForm"));
    setMinimumSize(665, 640);
    resize(665, 640);

    TreeView1 = new QTreeWidget(this);
    TreeView1->setHeaderHidden(true);
    TreeView1->setFixedWidth(170);
    auto* mainNode = new QTreeWidgetItem(TreeView1, {QStringLiteral("メインフォーム")});
    new QTreeWidgetItem(mainNode, {QStringLiteral("項目")});
    new QTreeWidgetItem(mainNode, {QStringLiteral("色、フォント")});
    auto* playerNode = new QTreeWidgetItem(TreeView1, {QStringLiteral("メディアプレイヤー")});
    new QTreeWidgetItem(playerNode, {QStringLiteral("色、フォント")});
    new QTreeWidgetItem(TreeView1, {QStringLiteral("HTML出力")});
    TreeView1->expandAll();

    PageControl1 = new QStackedWidget(this);
    PageControl1->addWidget(buildMainPage());
    PageControl1->addWidget(buildItemsPage());
    PageControl1->addWidget(buildFontsPage());
    auto* playerHeading = new QLabel(QStringLiteral("メディアプレイヤー"));
    playerHeading->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    PageControl1->addWidget(playerHeading);
    PageControl1->addWidget(buildPlayerPage());
    PageControl1->addWidget(buildHtmlPage());
    connect(TreeView1, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        // The page is the node's position in the whole tree, top to bottom.
        int position = 0;
        for (QTreeWidgetItemIterator it(TreeView1); *it; ++it, ++position) {
            if (*it == item) {
                TreeView1Change(position);
                return;
            }
        }
    });

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    auto* cancel = new QPushButton(QStringLiteral("キャンセル"), this);
    connect(ok, &QPushButton::clicked, this, &TOpForm::OkButtonClick);
    connect(cancel, &QPushButton::clicked, this, &TOpForm::CancelButtonClick);
    auto* body = new QHBoxLayout;
    body->addWidget(TreeView1);
    body->addWidget(PageControl1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addLayout(buttons);
    TreeView1->setCurrentItem(mainNode);
}

QWidget* TOpForm::buildMainPage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(new QLabel(QStringLiteral("音楽CDに使用するドライブ"), page));
    DriveComboBox1 = new QComboBox(page);
    // The CD drives in name order, then the disc images named in
    // VELMORA_CD_DEVICES.
    for (const std::string& drive : main_.mediaSystem().cdDrives()) {
        DriveComboBox1->addItem(QString::fromLocal8Bit(drive.c_str()));
    }
    layout->addWidget(DriveComboBox1);
    layout->addWidget(new QLabel(QStringLiteral("インターネット検索対象"), page));
    InternetSerchWordCheck = new QListWidget(page);
    InternetSerchWordCheck->setMaximumHeight(120);
    layout->addWidget(InternetSerchWordCheck);
    layout->addWidget(new QLabel(QStringLiteral("インターネット検索サイトの設定"), page));
    auto* tools = new QHBoxLayout;
    const std::pair<const char*, void (TOpForm::*)()> buttons[] = {
        {"追加", &TOpForm::InternetURLAddButtonClick},
        {"一列削除", &TOpForm::InternetURLDelButtonClick},
        {"デフォルトに戻す", &TOpForm::IntenetURLUndoButtonClick}};
    for (const auto& [caption, command] : buttons) {
        auto* button = new QPushButton(QString::fromUtf8(caption), page);
        connect(button, &QPushButton::clicked, this, command);
        tools->addWidget(button);
    }
    tools->addStretch();
    layout->addLayout(tools);
    InternetSerchURLGrid = new QTableWidget(0, 3, page);
    InternetSerchURLGrid->horizontalHeader()->hide();
    InternetSerchURLGrid->verticalHeader()->setSectionsMovable(true);
    InternetSerchURLGrid->setColumnWidth(0, 120);
    InternetSerchURLGrid->setColumnWidth(1, 220);
    InternetSerchURLGrid->horizontalHeader()->setStretchLastSection(true);
    // A dragged row carries its site to the new place.
    connect(InternetSerchURLGrid->verticalHeader(), &QHeaderView::sectionMoved, this,
            [this](int, int from, int to) {
                QHeaderView* header = InternetSerchURLGrid->verticalHeader();
                QSignalBlocker block(header);
                header->moveSection(to, from);
                if (from == 0 || to == 0) {
                    return;  // the header row stays first
                }
                std::array<QString, 3> moved;
                for (int c = 0; c < 3; ++c) {
                    moved[static_cast<std::size_t>(c)] = InternetSerchURLGrid->item(from, c)
                                                             ? InternetSerchURLGrid->item(from, c)->text()
                                                             : QString();
                }
                InternetSerchURLGrid->removeRow(from);
                InternetSerchURLGrid->insertRow(to);
                for (int c = 0; c < 3; ++c) {
                    InternetSerchURLGrid->setItem(to, c,
                                                  new QTableWidgetItem(moved[static_cast<std::size_t>(c)]));
                }
            });
    layout->addWidget(InternetSerchURLGrid, 1);
    return page;
}

QWidget* TOpForm::buildItemsPage()
{
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    grid->addWidget(new QLabel(QStringLiteral("名称"), page), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("よく使う文字列"), page), 0, 2);
    QLineEdit** captions[] = {&Caption1Edit, &Caption2Edit, &Caption3Edit};
    QPlainTextEdit** lists[] = {&janruMemo, &MediaMemo, &MemoMemo};
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

QWidget* TOpForm::buildFontsPage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(new QLabel(QStringLiteral("アルバムリストとソングリストのサンプル"), page));
    mainListView = new ReportView(page);
    auto* sample = new QStandardItemModel(3, AlbumListModel::kColumnCount, mainListView);
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
    mainListView->setModel(sample);
    layout->addWidget(mainListView);
    auto* listButtons = new QHBoxLayout;
    auto* listFont = new QPushButton(QStringLiteral("リストのフォント"), page);
    auto* listColor = new QPushButton(QStringLiteral("リストの背景色"), page);
    connect(listFont, &QPushButton::clicked, this, &TOpForm::AlbumGridFontButtonClick);
    connect(listColor, &QPushButton::clicked, this, &TOpForm::AlbumGridColorButtonClick);
    listButtons->addWidget(listFont);
    listButtons->addWidget(listColor);
    listButtons->addStretch();
    layout->addLayout(listButtons);
    layout->addWidget(new QLabel(QStringLiteral("編集用メモ帳のサンプル"), page));
    EditMemo = new QPlainTextEdit(page);
    EditMemo->setReadOnly(true);
    QStringList lines;
    for (int i = 1; i <= 8; ++i) {
        lines << QStringLiteral("%1曲目のサンプル").arg(i);
    }
    EditMemo->setPlainText(lines.join(QLatin1Char('\n')));
    layout->addWidget(EditMemo);
    auto* memoButtons = new QHBoxLayout;
    auto* memoFont = new QPushButton(QStringLiteral("編集用メモ帳のフォント"), page);
    auto* memoColor = new QPushButton(QStringLiteral("編集用メモ帳の背景色"), page);
    connect(memoFont, &QPushButton::clicked, this, &TOpForm::MemoFontButtonClick);
    connect(memoColor, &QPushButton::clicked, this, &TOpForm::MemoColorButtonClick);
    memoButtons->addWidget(memoFont);
    memoButtons->addWidget(memoColor);
    memoButtons->addStretch();
    layout->addLayout(memoButtons);
    return page;
}

QWidget* TOpForm::buildPlayerPage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    MPlayerCheckListBox = new QListWidget(page);
    for (const char* item : {"一曲目", "二曲目", "三曲目", "四曲目", "五曲目"}) {
        auto* entry = new QListWidgetItem(QString::fromUtf8(item), MPlayerCheckListBox);
        entry->setCheckState(Qt::Checked);
    }
    layout->addWidget(MPlayerCheckListBox);
    auto* buttons = new QHBoxLayout;
    auto* font = new QPushButton(QStringLiteral("リストフォント"), page);
    auto* color = new QPushButton(QStringLiteral("リスト背景色"), page);
    connect(font, &QPushButton::clicked, this, &TOpForm::MediaPlayerListFontButtonClick);
    connect(color, &QPushButton::clicked, this, &TOpForm::MediaPlayerListColorButtonClick);
    buttons->addWidget(font);
    buttons->addWidget(color);
    buttons->addStretch();
    layout->addLayout(buttons);
    layout->addStretch();
    return page;
}

QWidget* TOpForm::buildHtmlPage()
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
    HTMLPassRadioGroup = new QButtonGroup(passBox);
    const char* const passes[] = {"絶対パス", "相対パス"};
    for (int i = 0; i < 2; ++i) {
        auto* radio = new QRadioButton(QString::fromUtf8(passes[i]), passBox);
        HTMLPassRadioGroup->addButton(radio, i);
        passLayout->addWidget(radio);
    }
    layout->addWidget(passBox);
    auto* form = new QGridLayout;
    HTMLFolderNameEdit = new QLineEdit(page);
    HTMLTitleEdit = new QLineEdit(page);
    HTMLH1Edit = new QLineEdit(page);
    form->addWidget(new QLabel(QStringLiteral("フォルダ名"), page), 0, 0);
    form->addWidget(HTMLFolderNameEdit, 0, 1);
    form->addWidget(new QLabel(QStringLiteral("タイトル"), page), 1, 0);
    form->addWidget(HTMLTitleEdit, 1, 1);
    form->addWidget(new QLabel(QStringLiteral("見出し"), page), 2, 0);
    form->addWidget(HTMLH1Edit, 2, 1);
    layout->addLayout(form);
    layout->addWidget(new QLabel(QStringLiteral("コメント (HTML)"), page));
    HTMLCommentMemo = new QPlainTextEdit(page);
    layout->addWidget(HTMLCommentMemo, 1);
    auto* preview = new QPushButton(QStringLiteral("プレビュー"), page);
    connect(preview, &QPushButton::clicked, this, [this] {
        // The preview shows the page as these controls would make it,
        // without keeping their values before OK.
        store::AppSettings& s = main_.Settings;
        const store::AppSettings kept = s;
        const std::vector<std::string> keptComments = main_.Lists.htmlComments;
        storeHtmlValues();
        main_.HTMLPreview();
        s = kept;
        main_.Lists.htmlComments = keptComments;
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
    connect(HtmlChecks[7], &QCheckBox::toggled, HTMLFolderNameEdit, &QWidget::setEnabled);
    return page;
}

void TOpForm::TreeView1Change(int position)
{
    if (position >= 0 && position < PageControl1->count()) {
        PageControl1->setCurrentIndex(position);
    }
}

void TOpForm::setGridRows(const std::vector<std::string>& names, const std::vector<std::string>& heads,
                          const std::vector<std::string>& tails)
{
    const std::size_t rows = std::max({names.size(), heads.size(), tails.size()});
    InternetSerchURLGrid->setRowCount(static_cast<int>(rows));
    const std::vector<std::string>* columns[] = {&names, &heads, &tails};
    for (std::size_t r = 0; r < rows; ++r) {
        for (int c = 0; c < 3; ++c) {
            const std::vector<std::string>& column = *columns[c];
            InternetSerchURLGrid->setItem(
                static_cast<int>(r), c,
                new QTableWidgetItem(r < column.size() ? fromCp932(column[r]) : QString()));
        }
    }
}

void TOpForm::OptionOpenExecute()
{
    const store::AppSettings& s = main_.Settings;
    DriveComboBox1->setCurrentIndex(std::min(s.cdDrive, DriveComboBox1->count() - 1));
    InternetSerchWordCheck->clear();
    for (int i = 0; i < main_.InternetItems.size(); ++i) {
        auto* item = new QListWidgetItem(main_.InternetItems[i], InternetSerchWordCheck);
        item->setCheckState(s.internetChecks[static_cast<std::size_t>(i)] ? Qt::Checked : Qt::Unchecked);
    }
    setGridRows(main_.Lists.siteNames, main_.Lists.siteHeads, main_.Lists.siteTails);
    if (edit_) {
        janruMemo->setPlainText(textOf(edit_->genreSuggestions()));
        MediaMemo->setPlainText(textOf(edit_->mediaSuggestions()));
        MemoMemo->setPlainText(textOf(edit_->MemoChoices));
    } else {
        janruMemo->setPlainText(textOf(main_.Lists.genres));
        MediaMemo->setPlainText(textOf(main_.Lists.media));
        MemoMemo->setPlainText(textOf(main_.Lists.memoChoices));
    }
    Caption1Edit->setText(main_.Memo1Label->text());
    Caption2Edit->setText(main_.Memo2Label->text());
    Caption3Edit->setText(main_.Memo3Label->text());
    mainListView->setFont(main_.AlbumListView->font());
    mainListView->setPalette(main_.AlbumListView->palette());
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
    look(EditMemo, s.memoFont, s.memoColor);
    look(MPlayerCheckListBox, s.listFont, s.listColor);
    for (std::size_t i = 0; i < HtmlChecks.size(); ++i) {
        HtmlChecks[i]->setChecked(s.html[i]);
    }
    findChild<QCheckBox*>(QStringLiteral("CsvUtf8Check"))->setChecked(s.csvUtf8);
    HTMLPassRadioGroup->button(s.htmlPass == 1 ? 1 : 0)->setChecked(true);
    HTMLFolderNameEdit->setText(fromCp932(s.htmlFolderName));
    HTMLTitleEdit->setText(fromCp932(s.htmlTitle));
    HTMLH1Edit->setText(fromCp932(s.htmlH1));
    HTMLCommentMemo->setPlainText(textOf(main_.Lists.htmlComments));
    HTMLFolderNameEdit->setEnabled(HtmlChecks[7]->isChecked());
    const QString captions[] = {Caption1Edit->text(), Caption2Edit->text(), Caption3Edit->text()};
    for (int k = 0; k < 3; ++k) {
        main_.InternetItems[3 + k] = captions[k];
        HtmlChecks[static_cast<std::size_t>(k + 1)]->setText(captions[k] + QStringLiteral("を表示する"));
    }
}

void TOpForm::OkButtonClick()
{
    store::AppSettings& s = main_.Settings;
    s.cdDrive = DriveComboBox1->currentIndex() >= 0 ? DriveComboBox1->currentIndex() : s.cdDrive;
    // Ticks in the item list set the search flags as shown.
    for (int i = 0; i < InternetSerchWordCheck->count() && i < 6; ++i) {
        s.internetChecks[static_cast<std::size_t>(i)] =
            InternetSerchWordCheck->item(i)->checkState() == Qt::Checked;
    }
    auto cell = [this](int r, int c) {
        QTableWidgetItem* item = InternetSerchURLGrid->item(r, c);
        return toCp932(item ? item->text() : QString()).value_or(std::string());
    };
    std::vector<std::string>* sites[] = {&main_.Lists.siteNames, &main_.Lists.siteHeads,
                                         &main_.Lists.siteTails};
    for (int c = 0; c < 3; ++c) {
        sites[c]->clear();
        for (int r = 0; r < InternetSerchURLGrid->rowCount(); ++r) {
            sites[c]->push_back(cell(r, c));
        }
    }
    const QString captions[] = {Caption1Edit->text(), Caption2Edit->text(), Caption3Edit->text()};
    main_.setCategoryCaptions(captions[0], captions[1], captions[2]);
    for (int k = 0; k < 3; ++k) {
        main_.InternetItems[3 + k] = captions[k];
        HtmlChecks[static_cast<std::size_t>(k + 1)]->setText(captions[k] + QStringLiteral("を表示する"));
    }
    // Fonts and colours of the samples.
    const QFont listFont = mainListView->font();
    const QPalette listPalette = mainListView->palette();
    s.albumFont =
        fontSettingOf(listFont, storedFromColor(listPalette.color(QPalette::Text)), s.albumFont.name);
    s.albumColor = storedFromColor(listPalette.color(QPalette::Base));
    s.memoFont = fontSettingOf(EditMemo->font(), storedFromColor(EditMemo->palette().color(QPalette::Text)),
                               s.memoFont.name);
    s.memoColor = storedFromColor(EditMemo->palette().color(QPalette::Base));
    s.listFont =
        fontSettingOf(MPlayerCheckListBox->font(),
                      storedFromColor(MPlayerCheckListBox->palette().color(QPalette::Text)), s.listFont.name);
    s.listColor = storedFromColor(MPlayerCheckListBox->palette().color(QPalette::Base));
    main_.applyListLook();
    if (edit_) {
        edit_->setSuggestions(linesOf(janruMemo), linesOf(MediaMemo), linesOf(MemoMemo));
        edit_->setCategoryCaptions(captions[0], captions[1], captions[2]);
    }
    main_.Lists.genres = linesOf(janruMemo);
    main_.Lists.media = linesOf(MediaMemo);
    main_.Lists.memoChoices = linesOf(MemoMemo);
    storeHtmlValues();
    close();
}

void TOpForm::storeHtmlValues()
{
    store::AppSettings& s = main_.Settings;
    for (std::size_t i = 0; i < HtmlChecks.size(); ++i) {
        s.html[i] = HtmlChecks[i]->isChecked();
    }
    s.htmlPass = HTMLPassRadioGroup->checkedId() == 1 ? 1 : 0;
    s.htmlFolderName = toCp932(HTMLFolderNameEdit->text()).value_or(s.htmlFolderName);
    s.htmlTitle = toCp932(HTMLTitleEdit->text()).value_or(s.htmlTitle);
    s.htmlH1 = toCp932(HTMLH1Edit->text()).value_or(s.htmlH1);
    main_.Lists.htmlComments = linesOf(HTMLCommentMemo);
    s.csvUtf8 = findChild<QCheckBox*>(QStringLiteral("CsvUtf8Check"))->isChecked();
}

void TOpForm::CancelButtonClick()
{
    close();
}

void TOpForm::closeEvent(QCloseEvent* event)
{
    DriveComboBox1->setCurrentIndex(std::min(main_.Settings.cdDrive, DriveComboBox1->count() - 1));
    QDialog::closeEvent(event);
}

void TOpForm::InternetURLAddButtonClick()
{
    const int row = InternetSerchURLGrid->rowCount();
    InternetSerchURLGrid->insertRow(row);
    for (int c = 0; c < 3; ++c) {
        InternetSerchURLGrid->setItem(row, c, new QTableWidgetItem);
    }
}

void TOpForm::InternetURLDelButtonClick()
{
    const int row = InternetSerchURLGrid->currentRow();
    // The header row stays, and so does the last site.
    if (row < 1 || InternetSerchURLGrid->rowCount() <= 2) {
        return;
    }
    const int column = std::max(0, InternetSerchURLGrid->currentColumn());
    InternetSerchURLGrid->removeRow(row);
    // The rows below moved up: the same position is current again.
    InternetSerchURLGrid->setCurrentCell(std::min(row, InternetSerchURLGrid->rowCount() - 1), column);
}

void TOpForm::IntenetURLUndoButtonClick()
{
    const store::ListFiles defaults;
    setGridRows(defaults.siteNames, defaults.siteHeads, defaults.siteTails);
}

void TOpForm::pickFont(QWidget* sample)
{
    if (std::optional<QFont> font = prompter_.chooseFont(sample->font())) {
        sample->setFont(*font);
    }
}

void TOpForm::pickColor(QWidget* sample)
{
    if (std::optional<QColor> color = prompter_.chooseColor(sample->palette().color(QPalette::Base))) {
        QPalette palette = sample->palette();
        palette.setColor(QPalette::Base, *color);
        sample->setPalette(palette);
    }
}

void TOpForm::AlbumGridFontButtonClick()
{
    pickFont(mainListView);
}
void TOpForm::AlbumGridColorButtonClick()
{
    pickColor(mainListView);
}
void TOpForm::MemoFontButtonClick()
{
    pickFont(EditMemo);
}
void TOpForm::MemoColorButtonClick()
{
    pickColor(EditMemo);
}
void TOpForm::MediaPlayerListFontButtonClick()
{
    pickFont(MPlayerCheckListBox);
}
void TOpForm::MediaPlayerListColorButtonClick()
{
    pickColor(MPlayerCheckListBox);
}

}  // namespace velmora::ui
