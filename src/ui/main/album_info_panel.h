// The information page of the main window: the shown/registered counts, the
// selected album's artist, title, categories and picture. The artist and
// title boxes drop down lists of the shown albums' artists and titles; the
// main window fills them on request and selects what the user picks.
#pragma once

#include <QString>
#include <QWidget>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace velmora::ui {

class PickBox;

class AlbumInfoPanel : public QWidget {
    Q_OBJECT
public:
    explicit AlbumInfoPanel(QWidget* parent = nullptr);

    void setCounts(int shown, int registered);
    void setSongCount(int songs);
    // The registered count alone (after an import, before the list is shown).
    void setRegisteredCount(int registered);
    // The album's texts (Unicode) and picture file; false when the picture
    // file exists but cannot be read.
    struct Album {
        QString artist;
        QString title;
        QString category1;
        QString category2;
        QStringList memoLines;
        QString picture;
    };
    bool showAlbum(const Album& album);
    // Nothing selected: empty fields, no picture.
    void clear();
    void setCategoryCaptions(const QString captions[3]);

    QString artist() const;
    QString title() const;
    // Fills a box's drop-down list; the entry equal to `keep` (case-blind)
    // stays chosen when `keepChoice`.
    void setArtistPicks(const std::vector<std::string>& cp932Artists, bool keepChoice);
    void setTitlePicks(const std::vector<std::string>& cp932Titles, bool keepChoice);

signals:
    void artistListRequested();
    void titleListRequested();
    void artistPicked(const QString& artist);
    void titlePicked(const QString& title);

private:
    QLabel* albumCountLabel_ = nullptr;
    QLabel* songCountLabel_ = nullptr;
    QLabel* pictureLabel_ = nullptr;
    QLabel* noPictureLabel_ = nullptr;
    PickBox* artistBox_ = nullptr;
    PickBox* titleBox_ = nullptr;
    QLabel* categoryLabels_[3] = {};
    QLineEdit* genreEdit_ = nullptr;
    QLineEdit* mediaEdit_ = nullptr;
    QPlainTextEdit* memoView_ = nullptr;
};

}  // namespace velmora::ui
