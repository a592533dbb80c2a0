#include "ui/main/album_list_model.h"

#include <QMimeData>
#include <algorithm>

#include "core/store/album_record.h"
#include "core/store/album_table.h"
#include "ui/platform/text_codec.h"
#include "ui/widgets/list_images.h"

namespace velmora::ui {

using namespace velmora::store;

int AlbumListModel::tableColumn(int listColumn)
{
    static constexpr int kColumns[] = {
        -1, ArtistColumn, AlbumColumn, Category1Column, Category2Column, Category3Column, FuriganaColumn, -1};
    return kColumns[listColumn];
}

int albumImage(const AlbumTable& table, int album)
{
    AlbumTable::RowCells cells = table.rowCells(album);
    // The first non-empty media cell decides.
    for (int slot = 1; slot <= kSongSlots; ++slot) {
        std::string_view media = cells[static_cast<std::size_t>(mediaColumn(slot))];
        if (!media.empty()) {
            return mediaImage(media);
        }
    }
    return NoListImage;
}

AlbumListModel::AlbumListModel(const AlbumTable& table, QObject* parent)
    : QAbstractTableModel(parent), table_(table), headings_{QStringLiteral("No"),
                                                            QStringLiteral("アーティスト名"),
                                                            QStringLiteral("アルバム名"),
                                                            QStringLiteral("ジャンル"),
                                                            QStringLiteral("メディア"),
                                                            QStringLiteral("メモ"),
                                                            QStringLiteral("フリガナ"),
                                                            QStringLiteral("検索曲番号")}
{
}

int AlbumListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(entries_.size());
}

int AlbumListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumnCount;
}

QString AlbumListModel::text(int row, int column) const
{
    const Entry& e = entry(row);
    if (column == 0) {
        return QString::number(e.album);
    }
    if (column == 7) {
        return e.searchSong > 0 ? QString::number(e.searchSong) : QString();
    }
    if (e.album < 1 || e.album >= table_.rowCount()) {
        return {};
    }
    return fromCp932(table_.cell(tableColumn(column), e.album));
}

QVariant AlbumListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    switch (role) {
        case Qt::DisplayRole:
            return text(index.row(), index.column());
        case Qt::DecorationRole:
            // Items without an image keep the image's room, so numbers line up.
            return index.column() == 0 ? listImageIcon(entry(index.row()).image) : QVariant();
        default:
            return {};
    }
}

QVariant AlbumListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < kColumnCount) {
        return headings_.at(section);
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags AlbumListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid()) {
        return Qt::ItemIsDropEnabled;
    }
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
}

QStringList AlbumListModel::mimeTypes() const
{
    return {QStringLiteral("application/x-velmora-albums")};
}

QMimeData* AlbumListModel::mimeData(const QModelIndexList& indexes) const
{
    // Drags stay inside the list: the rows themselves travel in the view's
    // selection, so the data only names the format.
    auto* data = new QMimeData;
    data->setData(QStringLiteral("application/x-velmora-albums"), QByteArray::number(indexes.size()));
    return data;
}

void AlbumListModel::reorder(const std::vector<int>& order)
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<Entry> reordered;
    reordered.reserve(order.size());
    for (int old : order) {
        reordered.push_back(entries_.at(static_cast<std::size_t>(old)));
    }
    entries_ = std::move(reordered);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void AlbumListModel::setEntries(std::vector<Entry> entries)
{
    beginResetModel();
    entries_ = std::move(entries);
    endResetModel();
}

void AlbumListModel::removeEntries(const std::vector<int>& rows)
{
    std::vector<int> sorted = rows;
    std::sort(sorted.begin(), sorted.end(), std::greater<>());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    // Runs of neighbouring rows go in one step, from the end.
    for (std::size_t i = 0; i < sorted.size();) {
        std::size_t j = i;
        while (j + 1 < sorted.size() && sorted[j + 1] == sorted[j] - 1) {
            ++j;
        }
        const int first = sorted[j];
        const int last = sorted[i];
        beginRemoveRows({}, first, last);
        entries_.erase(entries_.begin() + first, entries_.begin() + last + 1);
        endRemoveRows();
        i = j + 1;
    }
}

void AlbumListModel::insertEntry(int row, const Entry& entry)
{
    beginInsertRows({}, row, row);
    entries_.insert(entries_.begin() + row, entry);
    endInsertRows();
}

void AlbumListModel::refreshTexts()
{
    if (!entries_.empty()) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, kColumnCount - 1));
    }
}

void AlbumListModel::setHeading(int column, const QString& text)
{
    headings_[column] = text;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

}  // namespace velmora::ui
