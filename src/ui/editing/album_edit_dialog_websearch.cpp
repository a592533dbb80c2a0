// The edit dialog's web search: the site box and the search of the album
// being edited with the chosen items.
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QUrl>
#include <algorithm>
#include <array>

#include "core/store/app_settings.h"
#include "core/websearch/websearch.h"
#include "ui/editing/album_edit_dialog.h"
#include "ui/platform/prompter.h"
#include "ui/platform/shell.h"
#include "ui/platform/text_codec.h"
#include "ui/widgets/list_views.h"

namespace velmora::ui {

void AlbumEditDialog::fillWebSearchItems()
{
    const QString remembered = webSearchBox_->currentText();
    webSearchBox_->clear();
    const auto& names = services_.lists.siteNames;
    for (std::size_t row = 1; row < names.size(); ++row) {
        webSearchBox_->addItem(fromCp932(names[row]));
    }
    int match = -1;
    for (int i = 0; i < webSearchBox_->count(); ++i) {
        if (webSearchBox_->itemText(i) == remembered) {
            match = i;
        }
    }
    webSearchBox_->setCurrentIndex(match);
}

void AlbumEditDialog::runWebSearch()
{
    commitGridEdit();
    const auto& lists = services_.lists;
    const int site = webSearchBox_->currentIndex() + 1;
    // Sites removed since the box was filled, or none chosen: no search.
    if (static_cast<int>(lists.siteNames.size()) < webSearchBox_->count() + 1 || site < 1 ||
        site >= static_cast<int>(lists.siteHeads.size())) {
        return;
    }
    auto bytes = [](const QString& text) { return toCp932(text).value_or(std::string()); };
    std::array<std::optional<std::string>, websearch::kItemCount> fields;
    fields[0] = bytes(artistCombo_->currentText());
    fields[1] = bytes(titleEdit_->text());
    if (currentSongRow() >= 1) {
        fields[2] = bytes(songCell(currentSongRow(), 1));
    }
    fields[3] = bytes(genreCombo_->currentText());
    fields[4] = bytes(mediaCombo_->currentText());
    QString selected = memoEdit_->textCursor().selectedText();
    selected.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    fields[5] = bytes(selected.isEmpty() ? memoEdit_->toPlainText() : selected);
    const auto& checks = services_.settings.internetChecks;
    if (std::none_of(checks.begin(), checks.end(), [](bool on) { return on; })) {
        services_.prompter.information(
            QStringLiteral("検索する項目が選ばれていません。\r\n"
                           "「ネット検索」ボタンを右クリックして、検索する項目を選んでください。"));
        return;
    }
    const std::string query = websearch::searchQuery(checks, fields);
    if (query.find_first_not_of(" \r\n") == std::string::npos) {
        services_.prompter.information(
            QStringLiteral("検索する言葉がありません。選んだ項目に入力してください。"));
        return;
    }
    const auto row = static_cast<std::size_t>(site);
    const std::string tail = row < lists.siteTails.size() ? lists.siteTails[row] : std::string();
    const std::string address = websearch::searchAddress(lists.siteHeads[row], query, tail);
    services_.shell.open(QUrl(QString::fromStdString(address), QUrl::TolerantMode));
}

}  // namespace velmora::ui
