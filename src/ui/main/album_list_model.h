// The album list as an item model: one row per entry of the catalogue's
// list (a shown album, or a search hit), its texts read from the album table
// when they are drawn. It follows the catalogue's change notifications.
#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <QTreeView>
#include <vector>

#include "core/catalogue/catalogue.h"

namespace velmora::ui {

// The width the number column of `view` needs to show every number up to
// 1,000,000 whole, beside the album's image, in the view's font and style.
int numberColumnWidth(const QTreeView& view);

class AlbumListModel : public QAbstractTableModel, private catalogue::CatalogueObserver {
    Q_OBJECT
public:
    static constexpr int kColumnCount = catalogue::kListColumnCount;

    explicit AlbumListModel(catalogue::Catalogue& catalogue, QObject* parent = nullptr);
    ~AlbumListModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDropActions() const override { return Qt::CopyAction; }

    const catalogue::ListEntry& entry(int row) const { return entries_.at(static_cast<std::size_t>(row)); }

    void setHeading(int column, const QString& text);
    // Whether the rows are the hits of a search: they show the hit icon and
    // the hit's song number until the catalogue clears the marks.
    bool hitsShown() const { return catalogue_.showsSearchResult(); }
    // The text of a sub-item (list column 0..7) of an entry.
    QString text(int row, int column) const;

private:
    void albumsInserted(const std::vector<int>& albums) override;
    void albumsChanged(const std::vector<int>& albums) override;
    void albumsRemoved(const std::vector<int>& albums) override;
    void albumsReset() override;
    void listRowsInserted(int row, int count) override;
    void listRowsRemoved(const std::vector<int>& rows) override;
    void listReset() override;
    void listMarksChanged() override;
    // Takes the catalogue's entries when they have as many rows as the view
    // knows (numbers renumbered in place); row changes wait for their own
    // notification.
    void takeNumbers();
    void textsChanged();

    catalogue::Catalogue& catalogue_;
    // The rows as the view knows them: a copy, so that rows can be announced
    // before and after they change.
    std::vector<catalogue::ListEntry> entries_;
    QStringList headings_;
};

}  // namespace velmora::ui
