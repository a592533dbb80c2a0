#pragma once

#include <QPointer>
#include <QWidget>

#include "ui/platform/folder_memory.h"
#include "ui/platform/prompter.h"

namespace velmora::ui {

// Real dialogs, with Japanese buttons whatever the system language.
class QtPrompter : public Prompter {
public:
    explicit QtPrompter(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    void information(const QString& text) override;
    void error(const QString& text) override;
    bool confirm(const QString& text) override;
    bool informationWithAction(const QString& text, const QString& action) override;
    std::optional<int> chooseRow(const QString& title, const QStringList& headers,
                                 const std::vector<QStringList>& rows) override;
    bool askYesNo(const QString& text) override;
    Answer askYesNoCancel(const QString& text) override;
    Answer askChoice(const QString& text, const QString& yes, const QString& no) override;
    std::optional<QString> inputText(const QString& caption, const QString& prompt,
                                     const QString& initial) override;
    std::optional<QString> openFile(const QString& title, const QString& filter,
                                    const QString& startPath) override;
    std::optional<QString> saveFile(const QString& title, const QString& filter,
                                    const QString& startPath) override;
    std::optional<QString> pickFolder(const QString& title, const QString& startPath) override;
    std::optional<QFont> chooseFont(const QFont& initial) override;
    std::optional<QColor> chooseColor(const QColor& initial) override;

private:
    // The parent of the next prompt: the window active when it is asked.
    QWidget* owner() const;

    QPointer<QWidget> parent_;
    // File dialogs start in the folder last used for their kind of file.
    FolderMemory folders_;
};

}  // namespace velmora::ui
