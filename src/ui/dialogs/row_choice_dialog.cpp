#include "ui/dialogs/row_choice_dialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace velmora::ui {

std::optional<int> chooseRowInDialog(QWidget* parent, const QString& title, const QStringList& headers,
                                     const std::vector<QStringList>& rows)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("RowChoiceDialog"));
    dialog.setWindowTitle(title);
    auto* layout = new QVBoxLayout(&dialog);
    auto* caption = new QLabel(title, &dialog);
    layout->addWidget(caption);
    auto* list = new QTreeWidget(&dialog);
    caption->setBuddy(list);
    list->setRootIsDecorated(false);
    list->setAlternatingRowColors(true);
    list->setHeaderLabels(headers);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    for (const QStringList& row : rows) {
        list->addTopLevelItem(new QTreeWidgetItem(row));
    }
    for (int c = 0; c < headers.size(); ++c) {
        list->resizeColumnToContents(c);
    }
    if (list->topLevelItemCount() > 0) {
        list->setCurrentItem(list->topLevelItem(0));
    }
    layout->addWidget(list);
    auto* buttons = new QDialogButtonBox(&dialog);
    buttons->addButton(QStringLiteral("選択(&S)"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(list, &QTreeWidget::itemDoubleClicked, &dialog, &QDialog::accept);
    int width = 40;
    for (int c = 0; c < headers.size(); ++c) {
        width += list->columnWidth(c);
    }
    dialog.resize(std::min(std::max(width, 560), 1100), 320);
    if (dialog.exec() != QDialog::Accepted || list->currentItem() == nullptr) {
        return std::nullopt;
    }
    return list->indexOfTopLevelItem(list->currentItem());
}

}  // namespace velmora::ui
