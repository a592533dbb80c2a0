// The report-style list views of the main window.
#pragma once

#include <QComboBox>
#include <QTableWidget>
#include <QTreeView>
#include <functional>

namespace velmora::ui {

// A report view: whole-row selection that stays visible without focus,
// icons, clickable headings.
class ReportView : public QTreeView {
    Q_OBJECT
public:
    explicit ReportView(QWidget* parent = nullptr);

    // Asks for room for `rows` rows below the headings, in the list's
    // font (kept when the font changes).
    void keepRowsInView(int rows);

protected:
    void changeEvent(QEvent* event) override;

private:
    int rowsInView_ = 0;
};

// The album list accepts drops only from itself and reports the item under
// the drop point; the window reorders.
class AlbumReportView : public ReportView {
    Q_OBJECT
public:
    explicit AlbumReportView(QWidget* parent = nullptr);

    // Called with the row under the drop point, or -1.
    std::function<void(int row)> onDrop;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};

// A grid of editable cells in a dialog. Tab moves from cell to cell and,
// from the last cell (Shift+Tab: the first), on to the next control rather
// than round again, also while a cell is being edited. Enter starts editing
// the current cell and ends an edit; it does not reach the dialog's default
// button while the grid has the focus.
class EditGrid : public QTableWidget {
    Q_OBJECT
public:
    using QTableWidget::QTableWidget;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    bool atEnd(bool forward) const;
};

// A drop-down list that fills its entries when it is opened.
class PickBox : public QComboBox {
    Q_OBJECT
public:
    explicit PickBox(QWidget* parent = nullptr) : QComboBox(parent) {}
    std::function<void()> onDropDown;
    void showPopup() override
    {
        if (onDropDown) {
            onDropDown();
        }
        QComboBox::showPopup();
    }
};

}  // namespace velmora::ui
