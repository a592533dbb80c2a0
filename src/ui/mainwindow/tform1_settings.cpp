// The main window's part of the settings: applied at creation when the
// settings file exists, collected from the live windows by every save.
#include <QCheckBox>
#include <QFont>
#include <QHeaderView>
#include <QLabel>
#include <QSplitter>
#include <QStackedWidget>
#include <QTableWidget>

#include "editing/tedit_form.h"
#include "editing/tmemo_form.h"
#include "mainwindow/album_list_model.h"
#include "mainwindow/list_views.h"
#include "mainwindow/tform1.h"
#include "media/tmedia_player_form.h"
#include "platform/font_setting.h"
#include "platform/screen_fit.h"
#include "platform/text_codec.h"
#include "platform/win_color.h"

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

void TForm1::applySettings()
{
    move(Settings.form.left, Settings.form.top);
    resize(std::max(Settings.form.width, minimumWidth()), std::max(Settings.form.height, minimumHeight()));
    const int pages = store::toolPageWidth(Settings.panelWidth, width());
    startWindowWidth_ = width();
    startPageWidth_ = pages;
    Panel1Resize();
    Panel3->setSizes({pages, std::max(width() - pages - Panel3->handleWidth(), 0)});
    const QString captions[] = {fromCp932(Settings.captions[0]), fromCp932(Settings.captions[1]),
                                fromCp932(Settings.captions[2])};
    const QLabel* designLabels[] = {Memo1Label, Memo2Label, Memo3Label};
    // A renamed category is renamed everywhere from the start, its web-search
    // item too; an unchanged one keeps the item's own text ("ジャンル名").
    for (int i = 0; i < 3; ++i) {
        if (captions[i] != designLabels[i]->text()) {
            InternetItems[3 + i] = captions[i];
        }
    }
    setCategoryCaptions(captions[0], captions[1], captions[2]);
    SerchFoldCheck->setChecked(Settings.searchFold);

    applyListLook();
}

void TForm1::applyListLook()
{
    const QPalette& palette = AlbumListView->palette();
    const QFont albumFont = fontFrom(Settings.albumFont, AlbumListView->font());
    const QColor text = colorFromStored(Settings.albumFont.color, palette);
    const QColor background = colorFromStored(Settings.albumColor, palette);
    setListLook(AlbumListView, albumFont, text, background);
    for (int c = 0; c < 8; ++c) {
        AlbumListView->setColumnWidth(c, Settings.albumColumnWidths[static_cast<std::size_t>(c)]);
    }
    // The song list takes the album list's font and colours, with its own
    // bold and italic added.
    QFont songFont = albumFont;
    songFont.setBold(albumFont.bold() || Settings.songFontBold);
    songFont.setItalic(albumFont.italic() || Settings.songFontItalic);
    setListLook(SongListView, songFont, text, background);
    for (int c = 0; c < 4; ++c) {
        SongListView->setColumnWidth(c, Settings.songColumnWidths[static_cast<std::size_t>(c)]);
    }
    if (memoForm_) {
        memoForm_->applyLook();
    }
    if (playerForm_) {
        playerForm_->applyLook();
    }
}

void TForm1::attachEditForm(TEditForm* form)
{
    editForm_ = form;
    if (form == nullptr) {
        return;
    }
    if (settingsFileRead_) {
        form->move(Settings.editForm.left, Settings.editForm.top);
        form->resize(std::max(Settings.editForm.width, form->minimumWidth()),
                     std::max(Settings.editForm.height, form->minimumHeight()));
        keepOnScreen(*form);
        keepOnScreenWhenShown(*form);
        for (int c = 0; c < 3; ++c) {
            form->SongGrid->setColumnWidth(c, Settings.editSongColumnWidths[static_cast<std::size_t>(c)]);
        }
    }
    form->setSuggestions(Lists.genres, Lists.media, Lists.memoChoices);
    form->setCategoryCaptions(Memo1Label->text(), Memo2Label->text(), Memo3Label->text());
}

void TForm1::collectSettings()
{
    Settings.form = placeOf(*this);
    Settings.panelWidth = PageControl1->width();
    const QLabel* labels[] = {Memo1Label, Memo2Label, Memo3Label};
    for (std::size_t i = 0; i < 3; ++i) {
        // A caption keeps its stored bytes unless it was changed.
        Settings.captions[i] =
            toCp932Preserving(Settings.captions[i], labels[i]->text()).value_or(Settings.captions[i]);
    }
    for (int c = 0; c < 8; ++c) {
        Settings.albumColumnWidths[static_cast<std::size_t>(c)] = AlbumListView->columnWidth(c);
    }
    for (int c = 0; c < 4; ++c) {
        Settings.songColumnWidths[static_cast<std::size_t>(c)] = SongListView->columnWidth(c);
    }
    if (editForm_) {
        Settings.editForm = placeOf(*editForm_);
        for (int c = 0; c < 3; ++c) {
            Settings.editSongColumnWidths[static_cast<std::size_t>(c)] = editForm_->SongGrid->columnWidth(c);
        }
        Lists.genres = editForm_->genreSuggestions();
        Lists.media = editForm_->mediaSuggestions();
        Lists.memoChoices = editForm_->MemoChoices;
    }
    if (memoForm_) {
        memoForm_->collectSettings(Settings);
    }
    if (playerForm_) {
        playerForm_->collectSettings(Settings);
    }
}

}  // namespace velmora::ui
