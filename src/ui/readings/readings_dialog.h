// 読みを自動設定: the albums whose reading is empty or their artist's text,
// each with a proposed reading (editable) and a tick box; 設定 sets the
// ticked readings as one step of the catalogue's history.
#pragma once

#include <QDialog>

#include "core/catalogue/catalogue.h"
#include "core/readings/reading_dictionary.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace velmora::ui {

class ReadingsDialog : public QDialog {
public:
    // `dictionary` may be null or unavailable: the dialog then says so in
    // one line and proposes only the readings chosen before.
    ReadingsDialog(catalogue::Catalogue& catalogue, const readings::ReadingDictionary* dictionary,
                   QWidget* parent = nullptr);

    // The table's columns: tick box, album number, artist, album, reading.
    enum Column { TickColumn, NumberColumn, ArtistColumn, AlbumColumn, ReadingColumn, ColumnCount };
    // Sets the ticked readings; false (after a message) when a reading
    // cannot be stored.
    bool apply();
    // How many albums the last apply() changed.
    int applied() const { return applied_; }

private:
    catalogue::Catalogue& catalogue_;
    QTableWidget* table_ = nullptr;
    QLabel* note_ = nullptr;
    QPushButton* setButton_ = nullptr;
    std::vector<readings::ReadingProposal> proposals_;
    int applied_ = 0;
};

}  // namespace velmora::ui
