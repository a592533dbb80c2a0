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
class TEditForm;
class TForm1;

class TOpForm : public QDialog {
    Q_OBJECT
public:
    TOpForm(TForm1& main, Prompter& prompter, QWidget* parent = nullptr);

    void setEditForm(TEditForm* form) { edit_ = form; }

    // Copies the live state of the other windows into the controls.
    void OptionOpenExecute();
    void OkButtonClick();
    void CancelButtonClick();
    void TreeView1Change(int position);
    void InternetURLAddButtonClick();
    void InternetURLDelButtonClick();
    void IntenetURLUndoButtonClick();
    void AlbumGridFontButtonClick();
    void AlbumGridColorButtonClick();
    void MemoFontButtonClick();
    void MemoColorButtonClick();
    void MediaPlayerListFontButtonClick();
    void MediaPlayerListColorButtonClick();

    QTreeWidget* TreeView1 = nullptr;
    QStackedWidget* PageControl1 = nullptr;
    QComboBox* DriveComboBox1 = nullptr;
    QListWidget* InternetSerchWordCheck = nullptr;
    QTableWidget* InternetSerchURLGrid = nullptr;
    QLineEdit* Caption1Edit = nullptr;
    QLineEdit* Caption2Edit = nullptr;
    QLineEdit* Caption3Edit = nullptr;
    QPlainTextEdit* janruMemo = nullptr;
    QPlainTextEdit* MediaMemo = nullptr;
    QPlainTextEdit* MemoMemo = nullptr;
    QTreeView* mainListView = nullptr;
    QPlainTextEdit* EditMemo = nullptr;
    QListWidget* MPlayerCheckListBox = nullptr;
    std::array<QCheckBox*, 8> HtmlChecks{};
    QButtonGroup* HTMLPassRadioGroup = nullptr;
    QLineEdit* HTMLFolderNameEdit = nullptr;
    QLineEdit* HTMLTitleEdit = nullptr;
    QLineEdit* HTMLH1Edit = nullptr;
    QPlainTextEdit* HTMLCommentMemo = nullptr;

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

    TForm1& main_;
    Prompter& prompter_;
    TEditForm* edit_ = nullptr;
};

}  // namespace velmora::ui
