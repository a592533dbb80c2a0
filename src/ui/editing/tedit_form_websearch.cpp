// The edit dialog's web search: the site box and the search of the album
// being edited with the chosen items.
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QUrl>
#include <algorithm>
#include <array>

#include "editing/tedit_form.h"
#include "mainwindow/tform1.h"
#include "platform/prompter.h"
#include "platform/shell.h"
#include "platform/text_codec.h"
#include "websearch/websearch.h"

namespace velmora::ui {

void TEditForm::InternetSerchBoxDropDown()
{
    const QString remembered = InternetSerchBox->currentText();
    InternetSerchBox->clear();
    const auto& names = main_.Lists.siteNames;
    for (std::size_t row = 1; row < names.size(); ++row) {
        InternetSerchBox->addItem(fromCp932(names[row]));
    }
    int match = -1;
    for (int i = 0; i < InternetSerchBox->count(); ++i) {
        if (InternetSerchBox->itemText(i) == remembered) {
            match = i;
        }
    }
    InternetSerchBox->setCurrentIndex(match);
}

void TEditForm::InternetSerchButtonClick()
{
    commitGridEdit();
    const auto& lists = main_.Lists;
    const int site = InternetSerchBox->currentIndex() + 1;
    // Sites removed since the box was filled, or none chosen: no search.
    if (static_cast<int>(lists.siteNames.size()) < InternetSerchBox->count() + 1 || site < 1 ||
        site >= static_cast<int>(lists.siteHeads.size())) {
        return;
    }
    auto bytes = [](const QString& text) { return toCp932(text).value_or(std::string()); };
    std::array<std::optional<std::string>, websearch::kItemCount> fields;
    fields[0] = bytes(ArtistEditComboBox->currentText());
    fields[1] = bytes(AlbumEdit->text());
    if (currentSongRow() >= 1) {
        fields[2] = bytes(songCell(currentSongRow(), 1));
    }
    fields[3] = bytes(janruBox->currentText());
    fields[4] = bytes(MediaBox->currentText());
    QString selected = MemoEditMemo->textCursor().selectedText();
    selected.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    fields[5] = bytes(selected.isEmpty() ? MemoEditMemo->toPlainText() : selected);
    const auto& checks = main_.Settings.internetChecks;
    if (std::none_of(checks.begin(), checks.end(), [](bool on) { return on; })) {
        prompter_.information(
            QStringLiteral("検索する項目が選ばれていません。\r\n"
                           "「ネット検索」ボタンを右クリックして、検索する項目を選んでください。"));
        return;
    }
    const std::string query = websearch::searchQuery(checks, fields);
    if (query.find_first_not_of(" \r\n") == std::string::npos) {
        prompter_.information(QStringLiteral("検索する言葉がありません。選んだ項目に入力してください。"));
        return;
    }
    const auto row = static_cast<std::size_t>(site);
    const std::string tail = row < lists.siteTails.size() ? lists.siteTails[row] : std::string();
    const std::string address = websearch::searchAddress(lists.siteHeads[row], query, tail);
    main_.shell().open(QUrl(QString::fromStdString(address), QUrl::TolerantMode));
}

}  // namespace velmora::ui
