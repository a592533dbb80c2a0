// The album list: one entry per shown album (or per search hit), reading
// its texts from the album table when they are drawn.
#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <vector>

namespace velmora::store {
class AlbumTable;
}

namespace velmora::ui {

class AlbumListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kColumnCount = 8;
    // The table column shown in list columns 1 to 6.
    static int tableColumn(int listColumn);

    struct Entry {
        int album = 0;       // the caption: the album's row in the table
        int image = -1;      // ListImage
        int searchSong = 0;  // "検索曲番号"; 0 shows nothing
    };

    explicit AlbumListModel(const store::AlbumTable& table, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDropActions() const override { return Qt::CopyAction; }

    const std::vector<Entry>& entries() const { return entries_; }
    const Entry& entry(int row) const { return entries_.at(static_cast<std::size_t>(row)); }
    void setEntries(std::vector<Entry> entries);
    // Reorders the entries: `order[i]` is the old row of new row i.
    void reorder(const std::vector<int>& order);
    void removeEntries(const std::vector<int>& rows);
    void insertEntry(int row, const Entry& entry);
    // For changes of numbers, images and search songs in place; call
    // refreshTexts() afterwards.
    std::vector<Entry>& mutableEntries() { return entries_; }
    // The texts of every entry may have changed (not the entries themselves).
    void refreshTexts();

    void setHeading(int column, const QString& text);
    // The text of a sub-item (list column 1..7) of an entry.
    QString text(int row, int column) const;

private:
    const store::AlbumTable& table_;
    std::vector<Entry> entries_;
    QStringList headings_;
};

// The image of an album: by its first non-empty media cell.
int albumImage(const store::AlbumTable& table, int album);

}  // namespace velmora::ui
