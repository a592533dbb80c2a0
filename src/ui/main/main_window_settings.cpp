// The main window's part of the settings: applied at creation when the
// settings file exists, collected from the live windows by every save.
#include <QCheckBox>
#include <QFont>
#include <QHeaderView>
#include <QLabel>
#include <QScrollArea>
#include <QSplitter>
#include <QStackedWidget>
#include <QTableWidget>
#include <array>

#include "ui/editing/album_edit_dialog.h"
#include "ui/editing/song_column_editor.h"
#include "ui/main/album_list_model.h"
#include "ui/main/main_window.h"
#include "ui/main/tool_pages.h"
#include "ui/options/options_dialog.h"
#include "ui/platform/font_setting.h"
#include "ui/platform/screen_fit.h"
#include "ui/platform/text_codec.h"
#include "ui/platform/win_color.h"
#include "ui/player/player_link.h"
#include "ui/player/player_window.h"
#include "ui/widgets/list_views.h"

namespace velmora::ui {

namespace {

void setListLook(QTreeView* view, const QFont& font, const store::AppSettings& settings)
{
    view->setFont(font);
    applyStoredColors(*view, settings.albumFont.color, settings.albumColor, true);
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
    const QFont albumFont = fontFrom(appSettings.albumFont, albumView_->font());
    setListLook(albumView_, albumFont, appSettings);
    for (int c = 0; c < 8; ++c) {
        albumView_->setColumnWidth(c, appSettings.albumColumnWidths[static_cast<std::size_t>(c)]);
    }
    // Numbers up to 1,000,000 show whole whatever width was stored.
    albumView_->setColumnWidth(0, std::max(albumView_->columnWidth(0), numberColumnWidth(*albumView_)));
    // The song list takes the album list's font and colours, with its own
    // bold and italic added.
    QFont songFont = albumFont;
    songFont.setBold(albumFont.bold() || appSettings.songFontBold);
    songFont.setItalic(albumFont.italic() || appSettings.songFontItalic);
    setListLook(songView_, songFont, appSettings);
    for (int c = 0; c < 4; ++c) {
        songView_->setColumnWidth(c, appSettings.songColumnWidths[static_cast<std::size_t>(c)]);
    }
    if (memoForm_) {
        memoForm_->applyLook(appSettings);
    }
    if (playerForm_) {
        playerForm_->applyLook(appSettings);
    }
}

void MainWindow::createDialogs()
{
    if (editForm_ != nullptr) {
        return;
    }
    // The window places and looks of the settings file; without one the
    // dialogs keep their design.
    const store::AppSettings* stored = settingsFileRead_ ? &appSettings : nullptr;
    const PlayerWindowLink player{[this] { return playerForm_ != nullptr && playerForm_->isVisible(); },
                                  [this] { bringPlayerToFront(); }};

    auto* memo = new SongColumnEditor({prompter_, shell_, *previewDevice_, player}, stored, this);
    memo->setWindowFlag(Qt::Window);
    ownMemoForm_.reset(memo);
    memoForm_ = memo;

    auto* playerWindow = new PlayerWindow(prompter_, *playerDevice_, appSettings, settingsFileRead_, this);
    playerWindow->setWindowFlag(Qt::Window);
    ownPlayerForm_.reset(playerWindow);
    playerForm_ = playerWindow;

    AlbumEditDialog::Requests requests;
    requests.albumSelected = [this] { return selectedAlbum() != 0; };
    requests.listedAlbums = [this] { return listedAlbums(); };
    requests.fillSearchItemMenu = [this](QMenu* menu) { fillSearchItemMenu(menu); };
    // The disc is read through the transfer buffer, which is then as it was.
    requests.readDisc = [this](const store::AlbumRecord& fields,
                               std::vector<std::int64_t>* titleLookup) -> std::optional<store::AlbumRecord> {
        const store::AlbumRecord kept = editedAlbum;
        editedAlbum = fields;
        std::optional<store::AlbumRecord> read;
        if (readDiscIntoEditedAlbum(titleLookup)) {
            read = editedAlbum;
        }
        editedAlbum = kept;
        return read;
    };
    requests.fetchDiscData = [this](QWidget* parent, const std::vector<std::int64_t>& trackFrames,
                                    const store::AlbumRecord& base) {
        return fetchDiscAlbumData(parent, trackFrames, base);
    };
    requests.player = player;
    requests.dictionaryReadings = [this](const std::string& artist) {
        std::vector<std::string> found;
        const std::string text = fromCp932(artist).toStdString();
        if (!readings::hasJapanese(text)) {
            return found;
        }
        readings::ReadingDictionary* dictionary = readingDictionary();
        if (dictionary == nullptr || !dictionary->available()) {
            return found;
        }
        for (const std::string& reading : dictionary->readings(text)) {
            if (std::optional<std::string> bytes = toCp932(fromUtf8(reading))) {
                found.push_back(std::move(*bytes));
            }
        }
        return found;
    };
    auto* edit =
        new AlbumEditDialog({prompter_, shell_, *previewDevice_, catalogue_.albums(), appSettings, listFiles},
                            std::move(requests), this);
    edit->setWindowFlag(Qt::Window);
    edit->setWindowModality(Qt::ApplicationModal);
    edit->setColumnEditor(memo);
    ownEditForm_.reset(edit);
    editForm_ = edit;
    connect(edit, &AlbumEditDialog::changeRequested, this, [this](const store::AlbumRecord& album) {
        editedAlbum = album;
        changeSelectedAlbum();
    });
    connect(edit, &AlbumEditDialog::unstoredAlbumDiscarded, this, [this] { removeUnstoredCover(); });
    connect(edit, &AlbumEditDialog::addRequested, this, [this](const store::AlbumRecord& album) {
        editedAlbum = album;
        addEditedAlbum();
        // The fetched cover stays while the new album names it; an album the
        // catalogue refused (or one that names another picture) leaves it
        // unused, and it goes.
        removeUnstoredCover();
    });
    // One sound at a time: the player window pauses while a preview plays.
    connect(edit, &AlbumEditDialog::previewAboutToPlay, playerWindow, &PlayerWindow::holdForPreview);
    connect(memo, &SongColumnEditor::previewAboutToPlay, playerWindow, &PlayerWindow::holdForPreview);
    if (settingsFileRead_) {
        edit->move(appSettings.editForm.left, appSettings.editForm.top);
        edit->resize(std::max(appSettings.editForm.width, edit->minimumWidth()),
                     std::max(appSettings.editForm.height, edit->minimumHeight()));
        keepOnScreen(*edit);
        for (int c = 0; c < 3; ++c) {
            edit->setSongColumnWidth(c, appSettings.editSongColumnWidths[static_cast<std::size_t>(c)]);
        }
    }
    edit->setSuggestions(listFiles.genres, listFiles.media, listFiles.memoChoices);
    edit->setCategoryCaptions(categoryCaptions_[0], categoryCaptions_[1], categoryCaptions_[2]);
    showEditDialog = [this, edit] {
        edit->loadAlbum(editedAlbum);
        edit->fillWebSearchItems();
        edit->prepareForShowing(categoryCaptions_[0], categoryCaptions_[1], categoryCaptions_[2]);
        edit->open();
    };

    auto* options = new OptionsDialog(prompter_, media_->cdDrives(), this);
    options->setWindowFlag(Qt::Window);
    options->setWindowModality(Qt::ApplicationModal);
    ownOptionsForm_.reset(options);
    optionsForm_ = options;
    connect(options, &OptionsDialog::settingsAccepted, this,
            [this, edit](const OptionsDialog::Values& values) {
                const store::AppSettings& given = values.settings;
                appSettings.cdDrive = given.cdDrive;
                appSettings.internetChecks = given.internetChecks;
                appSettings.albumFont = given.albumFont;
                appSettings.albumColor = given.albumColor;
                appSettings.memoFont = given.memoFont;
                appSettings.memoColor = given.memoColor;
                appSettings.listFont = given.listFont;
                appSettings.listColor = given.listColor;
                appSettings.html = given.html;
                appSettings.htmlPass = given.htmlPass;
                appSettings.htmlFolderName = given.htmlFolderName;
                appSettings.htmlTitle = given.htmlTitle;
                appSettings.htmlH1 = given.htmlH1;
                appSettings.csvUtf8 = given.csvUtf8;
                appSettings.tagEncoding = given.tagEncoding;
                listFiles.siteNames = values.lists.siteNames;
                listFiles.siteHeads = values.lists.siteHeads;
                listFiles.siteTails = values.lists.siteTails;
                const std::array<QString, 3>& captions = values.captions;
                // A renamed category renames its web-search item; an
                // unchanged one keeps the item's own text ("ジャンル名").
                for (std::size_t k = 0; k < 3; ++k) {
                    if (captions[k] != categoryCaptions_[k]) {
                        webSearchItems[3 + static_cast<int>(k)] = captions[k];
                    }
                }
                setCategoryCaptions(captions[0], captions[1], captions[2]);
                applyListLook();
                edit->setSuggestions(values.lists.genres, values.lists.media, values.lists.memoChoices);
                edit->setCategoryCaptions(captions[0], captions[1], captions[2]);
                listFiles.genres = values.lists.genres;
                listFiles.media = values.lists.media;
                listFiles.memoChoices = values.lists.memoChoices;
                listFiles.htmlComments = values.lists.htmlComments;
                handSettingsToCatalogue();
            });
    connect(options, &OptionsDialog::htmlPreviewRequested, this,
            [this](const store::AppSettings& settings, const std::vector<std::string>& comments) {
                // The sample page shows the dialog's values without keeping them.
                const store::AppSettings kept = appSettings;
                const std::vector<std::string> keptComments = listFiles.htmlComments;
                appSettings = settings;
                listFiles.htmlComments = comments;
                previewHtmlPage();
                appSettings = kept;
                listFiles.htmlComments = keptComments;
            });
    showOptions = [this, options, edit] {
        OptionsDialog::Values current{
            appSettings, listFiles, {categoryCaptions_[0], categoryCaptions_[1], categoryCaptions_[2]}};
        // The suggestion lists as the edit dialog holds them.
        current.lists.genres = edit->genreSuggestions();
        current.lists.media = edit->mediaSuggestions();
        current.lists.memoChoices = edit->memoChoices();
        options->prepareForOpening(current, webSearchItems, albumView_->font(), albumView_->palette());
        options->open();
    };
}

void MainWindow::handSettingsToCatalogue()
{
    // The catalogue's notice of the change would only hand them back.
    followSettings_ = false;
    catalogue_.setSettings(appSettings);
    catalogue_.setLists(listFiles);
    followSettings_ = true;
}

void MainWindow::collectSettings()
{
    appSettings.form = placeOf(*this);
    appSettings.panelWidth = pageScroll_->width();
    for (std::size_t i = 0; i < 3; ++i) {
        // A caption keeps its stored bytes unless it was changed.
        appSettings.captions[i] = toCp932Preserving(appSettings.captions[i], categoryCaptions_[i])
                                      .value_or(appSettings.captions[i]);
    }
    // The last column stretches to the list's edge: its stored width stays.
    for (int c = 0; c < 7; ++c) {
        appSettings.albumColumnWidths[static_cast<std::size_t>(c)] = albumView_->columnWidth(c);
    }
    for (int c = 0; c < 4; ++c) {
        appSettings.songColumnWidths[static_cast<std::size_t>(c)] = songView_->columnWidth(c);
    }
    if (editForm_) {
        appSettings.editForm = placeOf(*editForm_);
        for (int c = 0; c < 3; ++c) {
            appSettings.editSongColumnWidths[static_cast<std::size_t>(c)] = editForm_->songColumnWidth(c);
        }
        listFiles.genres = editForm_->genreSuggestions();
        listFiles.media = editForm_->mediaSuggestions();
        listFiles.memoChoices = editForm_->memoChoices();
    }
    if (memoForm_) {
        memoForm_->collectSettings(appSettings);
    }
    if (playerForm_) {
        playerForm_->collectSettings(appSettings);
    }
}

}  // namespace velmora::ui
