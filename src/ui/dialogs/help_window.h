// The help page in a window of the program's own: the page with its
// anchors, and a search field that finds words in it.
#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QTextBrowser;

namespace velmora::ui {

class Shell;

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    // Links to other sites open in the desktop's browser through `shell`.
    HelpWindow(Shell& shell, QWidget* parent = nullptr);

    // Shows the page `file`; false when it cannot be read.
    bool showPage(const QString& file);
    // Finds the search field's text after (or before) the selection,
    // starting over at the other end; false when the page lacks it.
    bool findNext(bool backwards = false);

private:
    Shell& shell_;
    QTextBrowser* browser_ = nullptr;
    QLineEdit* searchEdit_ = nullptr;
    QLabel* searchState_ = nullptr;
};

}  // namespace velmora::ui
