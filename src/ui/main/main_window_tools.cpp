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
#include "ui/main/album_info_panel.h"
#include "ui/main/album_list_model.h"
#include "ui/main/main_window.h"
#include "ui/main/tool_pages.h"
#include "ui/platform/prompter.h"
#include "ui/platform/text_codec.h"
#include "ui/widgets/list_images.h"
#include "ui/widgets/list_views.h"
#include "ui/widgets/status_bar.h"

namespace velmora::ui {

namespace {

// The word of a folded search, folded.
QString foldedWord(const QString& word)
{
    const std::u16string folded = text::foldForSearch(std::u16string_view(
        reinterpret_cast<const char16_t*>(word.utf16()), static_cast<std::size_t>(word.size())));
    return QString::fromUtf16(folded.data(), static_cast<qsizetype>(folded.size()));
}

}  // namespace

void MainWindow::connectToolPages()
{
    connect(searchPage_, &SearchPage::groupChanged, this, [this] { searchGroupChanged(); });
    connect(searchPage_, &SearchPage::searchRequested, this, [this] { runSearch(); });
    connect(searchPage_, &SearchPage::foldToggled, this, [this](bool on) {
        appSettings.searchFold = on;
        handSettingsToCatalogue();
    });
    connect(convertPage_, &ConvertPage::conversionRequested, this, [this] { runConversion(); });
    connect(convertPage_, &ConvertPage::fullWidthChosen, this, [this] {
        prompter_.information(
            QStringLiteral("注意\r\n一度「'(半角)」を「’(全角)」に変換すると半角に戻らなくなります。\r\n"
                           "メモを全角に変換すると，メモの内容が消えます。\r\nあしからず。"));
    });
    connect(replacePage_, &ReplacePage::replaceRequested, this, [this] { runReplace(); });
    connect(replacePage_, &ReplacePage::findFolderRequested, this, [this] {
        if (const std::optional<QString> folder = folderDialog_->choose(QString())) {
            replacePage_->setFindText(*folder);
        }
    });
    connect(replacePage_, &ReplacePage::replacementFolderRequested, this, [this] {
        if (const std::optional<QString> folder = folderDialog_->choose(QString())) {
            replacePage_->setReplacementText(*folder);
        }
    });
}

void MainWindow::setCategoryCaptions(const QString& first, const QString& second, const QString& third)
{
    const QString captions[] = {first, second, third};
    searchPage_->setCategoryCaptions(captions);
    convertPage_->setCategoryCaptions(captions);
    categoryCaptions_ = {first, second, third};
    infoPage_->setCategoryCaptions(captions);
    for (int i = 0; i < 3; ++i) {
        albumModel_->setHeading(3 + i, captions[i]);
    }
}

void MainWindow::searchGroupChanged()
{
    searchPage_->setSuggestions(textops::searchSuggestions(catalogue_.albums(), searchPage_->group()));
}

void MainWindow::runSearch()
{
    const QString word = searchPage_->word();
    const bool folded = searchPage_->folded();
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
    const int group = searchPage_->group();
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
    const QString caption = searchPage_->groupCaption();
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
    finishBulkChange(catalogue_.convert(convertPage_->group(), convertPage_->kind(), statusProgress()));
}

void MainWindow::runReplace()
{
    if (albumModel_->rowCount() == 0) {
        prompter_.information(fromUtf8(catalogue::problemMessage(catalogue::Problem::NoAlbums)));
        return;
    }
    const QString find = replacePage_->findText();
    const QString replacement = replacePage_->replacementText();
    auto refuse = [this](const QString& message, bool inFind) {
        prompter_.information(message);
        if (inFind) {
            replacePage_->focusFind();
        } else {
            replacePage_->focusReplacement();
        }
    };
    QString problem;
    std::optional<std::string> findBytes = toCp932(find, &problem);
    if (!findBytes) {
        return refuse(problem, true);
    }
    std::optional<std::string> replacementBytes = toCp932(replacement, &problem);
    if (!replacementBytes) {
        return refuse(problem, false);
    }
    setStatus(1, QStringLiteral("置換中..."));
    const catalogue::BulkResult result =
        catalogue_.replace(replacePage_->group(), *findBytes, *replacementBytes, statusProgress());
    switch (result.problem) {
        case catalogue::Problem::None:
            finishBulkChange(result);
            return;
        case catalogue::Problem::FindEmpty:
        case catalogue::Problem::FindHasSeparator:
            return refuse(fromUtf8(catalogue::problemMessage(result.problem)), true);
        case catalogue::Problem::MemoReplaceHasBraces:
            return refuse(fromUtf8(catalogue::problemMessage(result.problem)),
                          find.contains(QStringLiteral("{}")));
        default:
            return refuse(fromUtf8(catalogue::problemMessage(result.problem)), false);
    }
}

}  // namespace velmora::ui
