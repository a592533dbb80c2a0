// The options dialog: CD drive, web-search items and sites, category
// captions and suggestion lists, list fonts and colours, HTML export.
#pragma once

#include <QDialog>
#include <QFont>
#include <QPalette>
#include <QPoint>
#include <QStringList>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "core/store/app_settings.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QStackedWidget;
class QTableWidget;
class QTreeView;
class QTreeWidget;

namespace velmora::ui {

class Prompter;

class OptionsDialog : public QDialog {
    Q_OBJECT
public:
    // What the dialog shows and gives back: the settings, the lists and the
    // captions of the three categories.
    struct Values {
        store::AppSettings settings;
        store::ListFiles lists;
        std::array<QString, 3> captions;
    };

    // `cdDrives`: the drives to choose from, in the order the settings
    // count them.
    OptionsDialog(Prompter& prompter, std::vector<std::string> cdDrives, QWidget* parent = nullptr);

    // Shows `current` in the controls, with the six web-search items'
    // texts and the album list's look.
    void prepareForOpening(const Values& current, const QStringList& webSearchItems, const QFont& listFont,
                           const QPalette& listPalette);
    // The values of the last OK (or of the opening, before any).
    const Values& result() const { return current_; }
    // Each showing after the first puts the dialog where it was last.
    void setVisible(bool visible) override;

signals:
    // OK: the new values; the owner applies them.
    void settingsAccepted(const OptionsDialog::Values& values);
    // プレビュー: the HTML page as these controls would make it.
    void htmlPreviewRequested(const store::AppSettings& settings, const std::vector<std::string>& comments);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* buildMainPage();
    QWidget* buildItemsPage();
    QWidget* buildFontsPage();
    QWidget* buildPlayerPage();
    QWidget* buildHtmlPage();
    void setGridRows(const std::vector<std::string>& names, const std::vector<std::string>& heads,
                     const std::vector<std::string>& tails);
    void pickFont(QWidget* sample);
    // The controls into `result` (from the values shown). False, with the
    // message naming the field, when a text cannot be stored.
    bool readControls(Values& result, QString* message) const;
    // The HTML controls into the stored HTML values; false as above.
    bool storeHtmlValues(Values& values, QString* message) const;
    void pickColor(QWidget* sample);
    // Object names for the controls a user (or a test) looks for.
    void nameControls();

    void applyAndClose();
    void cancelChanges();
    void pageChosen(int position);
    void addSiteRow();
    void deleteSiteRow();
    void undoSiteRows();
    void pickListFont();
    void pickListColor();
    void pickMemoFont();
    void pickMemoColor();
    void pickPlaylistFont();
    void pickPlaylistColor();

    QTreeWidget* pageTree_ = nullptr;
    QStackedWidget* pageStack_ = nullptr;
    QComboBox* driveCombo_ = nullptr;
    // How "フォルダから登録" reads old tags (ID3v1, ID3v2 Latin-1 frames).
    QComboBox* tagEncodingCombo_ = nullptr;
    QListWidget* webSearchItemList_ = nullptr;
    QTableWidget* siteTable_ = nullptr;
    QLineEdit* category1CaptionEdit_ = nullptr;
    QLineEdit* category2CaptionEdit_ = nullptr;
    QLineEdit* category3CaptionEdit_ = nullptr;
    QPlainTextEdit* genreListEdit_ = nullptr;
    QPlainTextEdit* mediaListEdit_ = nullptr;
    QPlainTextEdit* memoListEdit_ = nullptr;
    QTreeView* listSample_ = nullptr;
    QPlainTextEdit* memoSample_ = nullptr;
    QListWidget* playerOptionList_ = nullptr;
    std::array<QCheckBox*, 8> htmlChecks_{};
    QButtonGroup* htmlPathGroup_ = nullptr;
    QLineEdit* htmlFolderEdit_ = nullptr;
    QLineEdit* htmlTitleEdit_ = nullptr;
    QLineEdit* htmlHeadingEdit_ = nullptr;
    QPlainTextEdit* htmlCommentEdit_ = nullptr;

    Prompter& prompter_;
    std::vector<std::string> cdDrives_;
    Values current_;
    // Where the window manager had the dialog when it was last hidden.
    std::optional<QPoint> lastPlace_;
};

}  // namespace velmora::ui
