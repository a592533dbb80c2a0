// The options dialog: CD drive, web-search items and sites, category
// captions and suggestion lists, list fonts and colours, HTML export.
#pragma once

#include <QDialog>
#include <QFont>

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
class AlbumEditDialog;
class MainWindow;

class OptionsDialog : public QDialog {
    Q_OBJECT
public:
    OptionsDialog(MainWindow& main, Prompter& prompter, QWidget* parent = nullptr);

    void setEditForm(AlbumEditDialog* form) { edit_ = form; }

    // Copies the live state of the other windows into the controls.
    void prepareForOpening();
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

    QTreeWidget* pageTree = nullptr;
    QStackedWidget* pageStack = nullptr;
    QComboBox* driveCombo = nullptr;
    QListWidget* webSearchItemList = nullptr;
    QTableWidget* siteTable = nullptr;
    QLineEdit* category1CaptionEdit = nullptr;
    QLineEdit* category2CaptionEdit = nullptr;
    QLineEdit* category3CaptionEdit = nullptr;
    QPlainTextEdit* genreListEdit = nullptr;
    QPlainTextEdit* mediaListEdit = nullptr;
    QPlainTextEdit* memoListEdit = nullptr;
    QTreeView* listSample = nullptr;
    QPlainTextEdit* memoSample = nullptr;
    QListWidget* playerOptionList = nullptr;
    std::array<QCheckBox*, 8> HtmlChecks{};
    QButtonGroup* htmlPathGroup = nullptr;
    QLineEdit* htmlFolderEdit = nullptr;
    QLineEdit* htmlTitleEdit = nullptr;
    QLineEdit* htmlHeadingEdit = nullptr;
    QPlainTextEdit* htmlCommentEdit = nullptr;

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
    // The HTML controls into the stored HTML values.
    void storeHtmlValues();
    void pickColor(QWidget* sample);

    MainWindow& main_;
    Prompter& prompter_;
    AlbumEditDialog* edit_ = nullptr;
};

}  // namespace velmora::ui
