#include "ui/main/song_list_model.h"

#include "ui/widgets/list_images.h"

namespace velmora::ui {

SongListModel::SongListModel(QObject* parent) : QAbstractTableModel(parent)
{
    resetItems();
}

int SongListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kItemCount;
}

int SongListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 4;
}

QString SongListModel::text(int row, int column) const
{
    const Item& it = item(row);
    switch (column) {
        case 0:
            return it.caption;
        case 1:
            return it.title;
        case 2:
            return it.artist;
        default:
            return it.media;
    }
}

QVariant SongListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid()) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return text(index.row(), index.column());
    }
    if (role == Qt::DecorationRole && index.column() == 0) {
        return listImageIcon(item(index.row()).image);
    }
    return {};
}

QVariant SongListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const QString kHeadings[] = {QStringLiteral("No."), QStringLiteral("曲名"),
                                        QStringLiteral("アーティスト名"),
                                        QStringLiteral("メディアファイルパス")};
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < 4) {
        return kHeadings[section];
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

void SongListModel::setItem(int row, Item item)
{
    items_.at(static_cast<std::size_t>(row)) = std::move(item);
    emit dataChanged(index(row, 0), index(row, 3));
}

void SongListModel::resetItems()
{
    for (int row = 0; row < kItemCount; ++row) {
        items_[static_cast<std::size_t>(row)] = Item{QString::number(row + 1), {}, {}, {}, NoListImage};
    }
    emit dataChanged(index(0, 0), index(kItemCount - 1, 3));
}

void SongListModel::reorder(const std::array<int, kItemCount>& order)
{
    emit layoutAboutToBeChanged();
    std::array<Item, kItemCount> old = items_;
    for (int row = 0; row < kItemCount; ++row) {
        items_[static_cast<std::size_t>(row)] =
            old[static_cast<std::size_t>(order[static_cast<std::size_t>(row)])];
    }
    emit layoutChanged();
}

}  // namespace velmora::ui
