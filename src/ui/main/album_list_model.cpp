#include "ui/main/album_list_model.h"

#include <QMimeData>
#include <algorithm>

#include "core/store/album_record.h"
#include "core/store/album_table.h"
#include "ui/platform/text_codec.h"
#include "ui/widgets/list_images.h"

namespace velmora::ui {

using namespace velmora::store;

namespace {

// The icon of an album's item: that of its media (the last media cell in
// song order decides).
int albumImage(const AlbumTable& table, int album)
{
    if (album < 1 || album > table.albumCount()) {
        return NoListImage;
    }
    return mediaKindImage(catalogue::albumMediaKind(table.rowCells(album)));
}

}  // namespace

AlbumListModel::AlbumListModel(catalogue::Catalogue& catalogue, QObject* parent)
    : QAbstractTableModel(parent),
      catalogue_(catalogue),
      entries_(catalogue.entries()),
      headings_{QStringLiteral("No"),       QStringLiteral("アーティスト名"), QStringLiteral("アルバム名"),
                QStringLiteral("ジャンル"), QStringLiteral("メディア"),       QStringLiteral("メモ"),
                QStringLiteral("フリガナ"), QStringLiteral("検索曲番号")}
{
    catalogue_.addObserver(this);
}

int numberColumnWidth(const QTreeView& view)
{
    QStyleOptionViewItem option;
    option.initFrom(&view);
    option.font = view.font();
    option.fontMetrics = QFontMetrics(view.font());
    option.features = QStyleOptionViewItem::HasDisplay | QStyleOptionViewItem::HasDecoration;
    option.text = QStringLiteral("1000000");
    option.icon = listImageIcon(MediaFileImage);
    const int iconSide = view.style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, &view);
    option.decorationSize = view.iconSize().isValid() ? view.iconSize() : QSize(iconSide, iconSide);
    option.decorationPosition = QStyleOptionViewItem::Left;
    option.displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    const QSize size = view.style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), &view);
    // The first column of a tree also gives room to the branch.
    return size.width() + (view.rootIsDecorated() ? view.indentation() : 0);
}

AlbumListModel::~AlbumListModel()
{
    catalogue_.removeObserver(this);
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
    const catalogue::ListEntry& e = entry(row);
    const AlbumTable& table = catalogue_.albums();
    if (column == 0) {
        return QString::number(e.album);
    }
    if (column == 7) {
        return hitsShown() && e.searchSong > 0 ? QString::number(e.searchSong) : QString();
    }
    if (e.album < 1 || e.album >= table.rowCount()) {
        return {};
    }
    return fromCp932(table.cell(catalogue::tableColumnOfListColumn(column), e.album));
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
            if (index.column() != 0) {
                return {};
            }
            return listImageIcon(hitsShown() ? SearchHitImage
                                             : albumImage(catalogue_.albums(), entry(index.row()).album));
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

void AlbumListModel::takeNumbers()
{
    if (catalogue_.entries().size() == entries_.size()) {
        entries_ = catalogue_.entries();
        textsChanged();
    }
}

void AlbumListModel::textsChanged()
{
    if (!entries_.empty()) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, kColumnCount - 1));
    }
}

void AlbumListModel::albumsInserted(const std::vector<int>& /*albums*/)
{
    takeNumbers();
}

void AlbumListModel::albumsChanged(const std::vector<int>& /*albums*/)
{
    takeNumbers();
}

void AlbumListModel::albumsRemoved(const std::vector<int>& /*albums*/)
{
    takeNumbers();
}

void AlbumListModel::albumsReset()
{
    takeNumbers();
}

void AlbumListModel::listRowsInserted(int row, int count)
{
    beginInsertRows({}, row, row + count - 1);
    const auto& now = catalogue_.entries();
    entries_.insert(entries_.begin() + row, now.begin() + row, now.begin() + row + count);
    endInsertRows();
    takeNumbers();
}

void AlbumListModel::listRowsRemoved(const std::vector<int>& rows)
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
    takeNumbers();
}

void AlbumListModel::listMarksChanged()
{
    takeNumbers();
}

void AlbumListModel::listReset()
{
    beginResetModel();
    entries_ = catalogue_.entries();
    endResetModel();
}

void AlbumListModel::setHeading(int column, const QString& text)
{
    headings_[column] = text;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

}  // namespace velmora::ui
