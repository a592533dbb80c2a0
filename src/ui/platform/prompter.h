// Every question, message and file or folder dialog of the program.
//
// Windows never open a message box or a common dialog themselves: they ask
// the Prompter, so that tests answer through a scripted one and no test can
// hang on a dialog.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace velmora::ui {

class Prompter {
public:
    enum class Answer { Yes, No, Cancel };

    virtual ~Prompter() = default;

    // A box with an OK button.
    virtual void information(const QString& text) = 0;
    virtual void error(const QString& text) = 0;
    // OK and Cancel; true for OK.
    virtual bool confirm(const QString& text) = 0;
    // A message with OK and one more button (「MusicBrainzで調べる」); true
    // when that button was pressed.
    virtual bool informationWithAction(const QString& text, const QString& action) = 0;
    // A list to choose one row from, its columns headed by `headers`; the
    // chosen row, nothing when cancelled.
    virtual std::optional<int> chooseRow(const QString& title, const QStringList& headers,
                                         const std::vector<QStringList>& rows) = 0;
    // Yes and No; true for Yes.
    virtual bool askYesNo(const QString& text) = 0;
    // Yes, No and Cancel.
    virtual Answer askYesNoCancel(const QString& text) = 0;
    // The same three answers on buttons that say what they do (Yes is
    // `yes`, No is `no`); Cancel is the default.
    virtual Answer askChoice(const QString& text, const QString& yes, const QString& no)
    {
        static_cast<void>(yes);
        static_cast<void>(no);
        return askYesNoCancel(text);
    }
    // A one-line text prompt; nothing when cancelled.
    virtual std::optional<QString> inputText(const QString& caption, const QString& prompt,
                                             const QString& initial) = 0;
    // File dialogs: `filter` in Qt's form ("データ (*.dat);;すべて (*)").
    virtual std::optional<QString> openFile(const QString& title, const QString& filter,
                                            const QString& startPath) = 0;
    virtual std::optional<QString> saveFile(const QString& title, const QString& filter,
                                            const QString& startPath) = 0;
    virtual std::optional<QString> pickFolder(const QString& title, const QString& startPath) = 0;
    virtual std::optional<QFont> chooseFont(const QFont& initial) = 0;
    virtual std::optional<QColor> chooseColor(const QColor& initial) = 0;
};

}  // namespace velmora::ui
