#include "ui/main/main_actions.h"

#include <QAction>
#include <QActionGroup>
#include <QKeySequence>
#include <QWidget>

#include "ui/widgets/list_images.h"

namespace velmora::ui {

namespace {

struct ActionText {
    const char* name;
    const char* text;                // menu caption, with its mnemonic
    const char* iconText = nullptr;  // tool bar caption
    const char* toolTip = nullptr;
    const char* theme = nullptr;  // icon theme name
    const char* icon = nullptr;   // bundled icon
};

QAction* makeAction(QWidget* owner, const ActionText& t)
{
    auto* action = new QAction(QString::fromUtf8(t.text), owner);
    action->setObjectName(QString::fromUtf8(t.name));
    if (t.iconText != nullptr) {
        action->setIconText(QString::fromUtf8(t.iconText));
    }
    if (t.toolTip != nullptr) {
        action->setToolTip(QString::fromUtf8(t.toolTip));
    }
    if (t.icon != nullptr) {
        action->setIcon(themedIcon(t.theme, t.icon));
    }
    return action;
}

}  // namespace

MainActions::MainActions(QWidget* owner)
{
    auto make = [owner](const ActionText& t) { return makeAction(owner, t); };

    revert = make({"revert", "保存時の状態に戻す(&U)", nullptr, nullptr, "document-revert", "revert"});
    save = make({"save", "保存(&S)", nullptr, nullptr, "document-save", "save"});
    importData = make({"importData", "データを読み込む(&O)", nullptr, nullptr, "document-open", "import"});
    registerFolder = make({"registerFolder", "フォルダから登録(&F)..."});
    exportData = make({"exportData", "Velmoraファイル(&V)"});
    exportCsv = make({"exportCsv", "CSVファイル(&C)"});
    exportHtml = make({"exportHtml", "HTMLファイル(&H)"});
    quitWithoutSaving = make({"quitWithoutSaving", "保存しないで終了(&C)"});
    quit = make({"quit", "終了(&X)", nullptr, nullptr, "application-exit", "exit"});

    newAlbum = make(
        {"newAlbum", "アルバム新規作成(&N)", "新規作成", "アルバム情報を新規作成", "document-new", "new"});
    editAlbum = make({"editAlbum", "アルバム編集(&E)", "編集", "選択アルバムを編集", nullptr, "edit"});
    registerDisc = make({"registerDisc", "CDドライブの音楽CDを登録(&C)"});
    registerPicture = make({"registerPicture", "画像登録(&I)"});
    duplicateAlbum = make({"duplicateAlbum", "アルバム情報を複製(&U)"});
    duplicateAndEdit = make({"duplicateAndEdit", "アルバムを複製して編集(&W)"});
    deleteAlbums =
        make({"deleteAlbums", "アルバム削除(&D)", "削除", "アルバム情報を削除", nullptr, "delete"});
    showAll =
        make({"showAll", "アルバム全表示(&A)", "全表示", "すべてのアルバムを表示", nullptr, "show-all"});
    showSelectedOnly = make({"showSelectedOnly", "選択アルバムのみを表示(&S)"});
    renumber = make({"renumber", "CD番号整列(&R)", "番号整列", "表示されている順番に番号を振りなおす",
                     nullptr, "renumber"});

    copyAlbumDetails = make({"copyAlbumDetails", "選択アルバム詳細情報(&D)"});
    copyAlbumSummary = make({"copyAlbumSummary", "選択アルバム簡易情報(&S)"});
    copySongDetails = make({"copySongDetails", "選択曲詳細情報(&T)"});
    copyArtistNames = make({"copyArtistNames", "アーティスト名(&A)"});
    copyAlbumTitles = make({"copyAlbumTitles", "アルバム名(&L)"});
    copySongTitle = make({"copySongTitle", "選択曲名(&N)"});

    playSong = make({"playSong", "メディアファイル再生(&L)"});
    openSongFile = make({"openSongFile", "メディアファイルを外部で開く(&O)"});
    openSongFolder = make({"openSongFolder", "メディアファイルの親フォルダを開く(&F)"});
    editSongTitle = make({"editSongTitle", "曲名変更(&T)"});
    editSongArtist = make({"editSongArtist", "曲ごとのアーティスト名変更(&A)"});
    editSongMedia = make({"editSongMedia", "メディアファイル変更(&M)"});

    playMedia = make(
        {"playMedia", "再生(&P)", "再生", "アルバムに登録されたメディアファイルを再生", nullptr, "play"});
    playCd = make({"playCd", "CD再生(&C)", "CD再生", "音楽CDを再生", nullptr, "cd-play"});
    playerToFront = make({"playerToFront", "メディアプレイヤーフォームを前面へ(&M)"});
    playerToFront->setEnabled(false);
    findDisc = make({"findDisc", "CDを検索(&E)", nullptr, nullptr, nullptr, "search"});

    pages = new QActionGroup(owner);
    pages->setExclusive(true);
    infoPage = make({"infoPage", "情報(&I)", "情報", "アルバム情報を表示", nullptr, "info"});
    searchPage = make({"searchPage", "検索(&S)", "検索", "アルバムを検索", nullptr, "search"});
    convertPage = make({"convertPage", "変換(&C)", "変換", "文字を変換", nullptr, "convert"});
    replacePage = make({"replacePage", "置換(&R)", "置換", "文字を置換", nullptr, "replace"});
    for (QAction* page : {infoPage, searchPage, convertPage, replacePage}) {
        page->setCheckable(true);
        pages->addAction(page);
    }
    infoPage->setChecked(true);

    options = make({"options", "オプション(&O)", "設定", "オプション設定", nullptr, "settings"});
    help = make({"help", "ヘルプ(&H)", nullptr, nullptr, "help-contents", "help"});
    about = make({"about", "バージョン情報(&A)", nullptr, nullptr, "help-about", "info"});

    // History and readings.
    undo = make({"undo", "元に戻す(&Z)", "元に戻す", nullptr, "edit-undo", nullptr});
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    undo->setEnabled(false);
    redo = make({"redo", "やり直し(&Y)", "やり直し", nullptr, "edit-redo", nullptr});
    redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    redo->setEnabled(false);
    autoReadings = make({"autoReadings", "読みを自動設定(&Y)..."});

    // Shortcuts, shown beside the items. Delete acts on the album list
    // only (MainWindow scopes it), so that it still deletes characters in a
    // text field.
    save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    newAlbum->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    editAlbum->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    deleteAlbums->setShortcut(QKeySequence(Qt::Key_Delete));
    deleteAlbums->setShortcutContext(Qt::WidgetShortcut);
    showAll->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    searchPage->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    replacePage->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    help->setShortcut(QKeySequence(Qt::Key_F1));
}

}  // namespace velmora::ui
