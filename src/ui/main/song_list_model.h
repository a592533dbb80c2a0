// The song list: exactly 99 items, created once and rewritten in place.
#pragma once

#include <QAbstractTableModel>
#include <array>

namespace velmora::ui {

class SongListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kItemCount = 99;

    struct Item {
        QString caption;  // the slot number
        QString title;
        QString artist;
        QString media;
        int image = -1;
    };

    explicit SongListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    const Item& item(int row) const { return items_.at(static_cast<std::size_t>(row)); }
    void setItem(int row, Item item);
    // Captions "1" to "99", empty texts, no icons.
    void resetItems();
    // Reorders the items; `order[i]` is the old row of new row i.
    void reorder(const std::array<int, kItemCount>& order);
    QString text(int row, int column) const;

private:
    std::array<Item, kItemCount> items_;
};

}  // namespace velmora::ui
