// The search, conversion and replace pages of the main window's tool area:
// each holds its own controls and says through signals what the user asked
// for; the main window carries the commands out on the catalogue.
#pragma once

#include <QString>
#include <QWidget>
#include <string>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace velmora::ui {

class SearchPage : public QWidget {
    Q_OBJECT
public:
    explicit SearchPage(QWidget* parent = nullptr);

    int group() const;
    QString groupCaption() const;
    QString word() const;
    bool folded() const;
    void setFolded(bool folded);
    // The word box's drop-down list (the typed word stays).
    void setSuggestions(const std::vector<std::string>& cp932Words);
    void setCategoryCaptions(const QString captions[3]);
    // Puts the focus in the word box, its text selected for typing over.
    void focusWord();

signals:
    void searchRequested();
    void groupChanged();
    void foldToggled(bool folded);

private:
    QButtonGroup* groups_ = nullptr;
    QComboBox* wordEdit_ = nullptr;
    QCheckBox* foldCheck_ = nullptr;
    QPushButton* searchButton_ = nullptr;
};

class ConvertPage : public QWidget {
    Q_OBJECT
public:
    explicit ConvertPage(QWidget* parent = nullptr);

    int group() const;
    int kind() const;
    void setCategoryCaptions(const QString captions[3]);

signals:
    void conversionRequested();
    // The full-width conversion was chosen: it cannot be undone by the
    // half-width one.
    void fullWidthChosen();

private:
    // Ctrl+Shift with the right button on the conversion button offers the
    // width conversions too.
    void offerWidthConversions();

    QButtonGroup* groups_ = nullptr;
    QButtonGroup* kinds_ = nullptr;
    QPushButton* convertButton_ = nullptr;
};

class ReplacePage : public QWidget {
    Q_OBJECT
public:
    explicit ReplacePage(QWidget* parent = nullptr);

    int group() const;
    QString findText() const;
    QString replacementText() const;
    void setFindText(const QString& text);
    void setReplacementText(const QString& text);
    void focusFind();
    void focusReplacement();

signals:
    void replaceRequested();
    void findFolderRequested();
    void replacementFolderRequested();

private:
    void groupChanged();

    QButtonGroup* groups_ = nullptr;
    QLineEdit* findEdit_ = nullptr;
    QLineEdit* replacementEdit_ = nullptr;
    QToolButton* findFolderButton_ = nullptr;
    QToolButton* replacementFolderButton_ = nullptr;
    QPushButton* replaceButton_ = nullptr;
};

}  // namespace velmora::ui
