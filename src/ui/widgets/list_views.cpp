#include "ui/widgets/list_views.h"

#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <algorithm>

namespace velmora::ui {

ReportView::ReportView(QWidget* parent) : QTreeView(parent)
{
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setIconSize(QSize(16, 16));
    setContextMenuPolicy(Qt::CustomContextMenu);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    header()->setSectionsClickable(true);
    header()->setSortIndicatorShown(false);
    // The selection stays visible when the list loses the focus.
    QPalette pal = palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText}) {
        pal.setColor(QPalette::Inactive, role, pal.color(QPalette::Active, role));
    }
    setPalette(pal);
}

void ReportView::keepRowsInView(int rows)
{
    rowsInView_ = rows;
    const int rowHeight = std::max(fontMetrics().height() + 4, sizeHintForRow(0));
    setMinimumHeight(header()->sizeHint().height() + rows * rowHeight + 2 * frameWidth());
}

void ReportView::changeEvent(QEvent* event)
{
    QTreeView::changeEvent(event);
    if (event->type() == QEvent::FontChange && rowsInView_ > 0) {
        keepRowsInView(rowsInView_);
    }
}

AlbumReportView::AlbumReportView(QWidget* parent) : ReportView(parent)
{
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    // The drag copies nothing: a drop only reorders the list.
    setDefaultDropAction(Qt::CopyAction);
}

void AlbumReportView::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->source() == this) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void AlbumReportView::dragMoveEvent(QDragMoveEvent* event)
{
    // Only albums of this list can be dropped here.
    if (event->source() != this) {
        event->ignore();
        return;
    }
    QTreeView::dragMoveEvent(event);
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void AlbumReportView::dropEvent(QDropEvent* event)
{
    if (event->source() != this) {
        event->ignore();
        return;
    }
    QModelIndex target = indexAt(event->position().toPoint());
    event->setDropAction(Qt::CopyAction);
    event->accept();
    if (onDrop) {
        onDrop(target.isValid() ? target.row() : -1);
    }
}

void EditGrid::keyPressEvent(QKeyEvent* event)
{
    const bool forward = event->key() == Qt::Key_Tab;
    if ((forward || event->key() == Qt::Key_Backtab) && atEnd(forward)) {
        QWidget::focusNextPrevChild(forward);
        return;
    }
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && mods == Qt::NoModifier &&
        state() != EditingState && currentIndex().isValid()) {
        edit(currentIndex());
        event->accept();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

void EditGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    const bool forward = hint == QAbstractItemDelegate::EditNextItem;
    if ((forward || hint == QAbstractItemDelegate::EditPreviousItem) && atEnd(forward)) {
        QTableWidget::closeEditor(editor, QAbstractItemDelegate::NoHint);
        QWidget::focusNextPrevChild(forward);
        return;
    }
    QTableWidget::closeEditor(editor, hint);
}

bool EditGrid::atEnd(bool forward) const
{
    const QModelIndex current = currentIndex();
    if (!current.isValid()) {
        return true;
    }
    return forward ? current.row() == rowCount() - 1 && current.column() == columnCount() - 1
                   : current.row() == 0 && current.column() == 0;
}

}  // namespace velmora::ui
