// The main window's part of the settings: applied at creation when the
// settings file exists, collected from the live windows by every save.
#include <QCheckBox>
#include <QFont>
#include <QHeaderView>
#include <QLabel>
#include <QSplitter>
#include <QStackedWidget>
#include <QTableWidget>

#include "ui/editing/album_edit_dialog.h"
#include "ui/editing/song_column_editor.h"
#include "ui/main/album_list_model.h"
#include "ui/main/main_window.h"
#include "ui/main/tool_pages.h"
#include "ui/platform/font_setting.h"
#include "ui/platform/screen_fit.h"
#include "ui/platform/text_codec.h"
#include "ui/platform/win_color.h"
#include "ui/player/player_window.h"
#include "ui/widgets/list_views.h"

namespace velmora::ui {

namespace {

void setListLook(QTreeView* view, const QFont& font, const QColor& text, const QColor& background)
{
    view->setFont(font);
    QPalette palette = view->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Text, text);
        palette.setColor(group, QPalette::Base, background);
    }
    view->setPalette(palette);
}

store::WindowPlace placeOf(const QWidget& window)
{
    return {window.x(), window.y(), window.width(), window.height()};
}

}  // namespace

void MainWindow::applySettings()
{
    move(appSettings.form.left, appSettings.form.top);
    resize(std::max(appSettings.form.width, minimumWidth()),
           std::max(appSettings.form.height, minimumHeight()));
    const int pages = store::toolPageWidth(appSettings.panelWidth, width());
    startWindowWidth_ = width();
    startPageWidth_ = pages;
    songHeaderResized();
    pageSplitter_->setSizes({pages, std::max(width() - pages - pageSplitter_->handleWidth(), 0)});
    const QString captions[] = {fromCp932(appSettings.captions[0]), fromCp932(appSettings.captions[1]),
                                fromCp932(appSettings.captions[2])};
    // A renamed category is renamed everywhere from the start, its web-search
    // item too; an unchanged one keeps the item's own text ("ジャンル名").
    for (int i = 0; i < 3; ++i) {
        if (captions[i] != categoryCaptions_[static_cast<std::size_t>(i)]) {
            webSearchItems[3 + i] = captions[i];
        }
    }
    setCategoryCaptions(captions[0], captions[1], captions[2]);
    searchPage_->setFolded(appSettings.searchFold);

    applyListLook();
}

void MainWindow::applyListLook()
{
    const QPalette& palette = albumView_->palette();
    const QFont albumFont = fontFrom(appSettings.albumFont, albumView_->font());
    const QColor text = colorFromStored(appSettings.albumFont.color, palette);
    const QColor background = colorFromStored(appSettings.albumColor, palette);
    setListLook(albumView_, albumFont, text, background);
    for (int c = 0; c < 8; ++c) {
        albumView_->setColumnWidth(c, appSettings.albumColumnWidths[static_cast<std::size_t>(c)]);
    }
    // The song list takes the album list's font and colours, with its own
    // bold and italic added.
    QFont songFont = albumFont;
    songFont.setBold(albumFont.bold() || appSettings.songFontBold);
    songFont.setItalic(albumFont.italic() || appSettings.songFontItalic);
    setListLook(songView_, songFont, text, background);
    for (int c = 0; c < 4; ++c) {
        songView_->setColumnWidth(c, appSettings.songColumnWidths[static_cast<std::size_t>(c)]);
    }
    if (memoForm_) {
        memoForm_->applyLook();
    }
    if (playerForm_) {
        playerForm_->applyLook();
    }
}

void MainWindow::attachEditForm(AlbumEditDialog* form)
{
    editForm_ = form;
    if (form == nullptr) {
        return;
    }
    if (settingsFileRead_) {
        form->move(appSettings.editForm.left, appSettings.editForm.top);
        form->resize(std::max(appSettings.editForm.width, form->minimumWidth()),
                     std::max(appSettings.editForm.height, form->minimumHeight()));
        keepOnScreen(*form);
        keepOnScreenWhenShown(*form);
        for (int c = 0; c < 3; ++c) {
            form->songTable->setColumnWidth(c, appSettings.editSongColumnWidths[static_cast<std::size_t>(c)]);
        }
    }
    form->setSuggestions(listFiles.genres, listFiles.media, listFiles.memoChoices);
    form->setCategoryCaptions(categoryCaptions_[0], categoryCaptions_[1], categoryCaptions_[2]);
}

void MainWindow::collectSettings()
{
    appSettings.form = placeOf(*this);
    appSettings.panelWidth = pageStack_->width();
    for (std::size_t i = 0; i < 3; ++i) {
        // A caption keeps its stored bytes unless it was changed.
        appSettings.captions[i] = toCp932Preserving(appSettings.captions[i], categoryCaptions_[i])
                                      .value_or(appSettings.captions[i]);
    }
    for (int c = 0; c < 8; ++c) {
        appSettings.albumColumnWidths[static_cast<std::size_t>(c)] = albumView_->columnWidth(c);
    }
    for (int c = 0; c < 4; ++c) {
        appSettings.songColumnWidths[static_cast<std::size_t>(c)] = songView_->columnWidth(c);
    }
    if (editForm_) {
        appSettings.editForm = placeOf(*editForm_);
        for (int c = 0; c < 3; ++c) {
            appSettings.editSongColumnWidths[static_cast<std::size_t>(c)] =
                editForm_->songTable->columnWidth(c);
        }
        listFiles.genres = editForm_->genreSuggestions();
        listFiles.media = editForm_->mediaSuggestions();
        listFiles.memoChoices = editForm_->memoChoices;
    }
    if (memoForm_) {
        memoForm_->collectSettings(appSettings);
    }
    if (playerForm_) {
        playerForm_->collectSettings(appSettings);
    }
}

}  // namespace velmora::ui
