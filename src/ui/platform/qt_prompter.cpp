#include "ui/platform/qt_prompter.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

#include "ui/dialogs/row_choice_dialog.h"

namespace velmora::ui {

namespace {

const char* const kOk = "OK";
const char* const kCancel = "キャンセル";
const char* const kYes = "はい(&Y)";
const char* const kNo = "いいえ(&N)";

QString windowTitle()
{
    return QApplication::applicationName();
}

// Message box texts use CR LF between lines, as they are stored.
QString plain(const QString& text)
{
    QString copy = text;
    copy.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return copy;
}

QMessageBox::ButtonRole run(QWidget* parent, QMessageBox::Icon icon, const QString& text,
                            std::initializer_list<std::pair<const char*, QMessageBox::ButtonRole>> buttons,
                            int defaultIndex = 0)
{
    QMessageBox box(icon, windowTitle(), plain(text), QMessageBox::NoButton, parent);
    QAbstractButton* escape = nullptr;
    int index = 0;
    for (const auto& [caption, role] : buttons) {
        QPushButton* button = box.addButton(QString::fromUtf8(caption), role);
        if (index++ == defaultIndex) {
            box.setDefaultButton(button);
        }
        if (role == QMessageBox::RejectRole || (escape == nullptr && role == QMessageBox::AcceptRole)) {
            escape = button;
        }
    }
    box.setEscapeButton(escape);
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    return clicked ? box.buttonRole(clicked) : QMessageBox::RejectRole;
}

// The answer of a three-button question: closing the box cancels.
Prompter::Answer answerOfRole(QMessageBox::ButtonRole role)
{
    switch (role) {
        case QMessageBox::YesRole:
            return Prompter::Answer::Yes;
        case QMessageBox::NoRole:
            return Prompter::Answer::No;
        default:
            return Prompter::Answer::Cancel;
    }
}

}  // namespace

QWidget* QtPrompter::owner() const
{
    // The window the user is working in: a modal dialog (the edit dialog,
    // the options) before any other active window, the main window last.
    // A prompt parented to it is modal to it and stacked above it.
    if (QWidget* modal = QApplication::activeModalWidget()) {
        return modal;
    }
    if (QWidget* active = QApplication::activeWindow()) {
        return active;
    }
    return parent_;
}

void QtPrompter::information(const QString& text)
{
    run(owner(), QMessageBox::Information, text, {{kOk, QMessageBox::AcceptRole}});
}

void QtPrompter::error(const QString& text)
{
    run(owner(), QMessageBox::Critical, text, {{kOk, QMessageBox::AcceptRole}});
}

bool QtPrompter::confirm(const QString& text)
{
    return run(owner(), QMessageBox::Question, text,
               {{kOk, QMessageBox::AcceptRole}, {kCancel, QMessageBox::RejectRole}}) ==
           QMessageBox::AcceptRole;
}

bool QtPrompter::informationWithAction(const QString& text, const QString& action)
{
    const QByteArray caption = action.toUtf8();
    return run(owner(), QMessageBox::Information, text,
               {{kOk, QMessageBox::AcceptRole}, {caption.constData(), QMessageBox::ActionRole}}) ==
           QMessageBox::ActionRole;
}

std::optional<int> QtPrompter::chooseRow(const QString& title, const QStringList& headers,
                                         const std::vector<QStringList>& rows)
{
    return chooseRowInDialog(owner(), title, headers, rows);
}

bool QtPrompter::askYesNo(const QString& text)
{
    return run(owner(), QMessageBox::Question, text,
               {{kYes, QMessageBox::YesRole}, {kNo, QMessageBox::NoRole}}) == QMessageBox::YesRole;
}

Prompter::Answer QtPrompter::askYesNoCancel(const QString& text)
{
    return answerOfRole(
        run(owner(), QMessageBox::Question, text,
            {{kYes, QMessageBox::YesRole}, {kNo, QMessageBox::NoRole}, {kCancel, QMessageBox::RejectRole}}));
}

Prompter::Answer QtPrompter::askChoice(const QString& text, const QString& yes, const QString& no)
{
    const QByteArray yesCaption = yes.toUtf8();
    const QByteArray noCaption = no.toUtf8();
    return answerOfRole(run(owner(), QMessageBox::Warning, text,
                            {{yesCaption.constData(), QMessageBox::YesRole},
                             {noCaption.constData(), QMessageBox::NoRole},
                             {kCancel, QMessageBox::RejectRole}},
                            2));
}

std::optional<QString> QtPrompter::inputText(const QString& caption, const QString& prompt,
                                             const QString& initial)
{
    QInputDialog dialog(owner());
    dialog.setWindowTitle(caption);
    dialog.setLabelText(plain(prompt));
    dialog.setTextValue(initial);
    dialog.setOkButtonText(QString::fromUtf8(kOk));
    dialog.setCancelButtonText(QString::fromUtf8(kCancel));
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.textValue();
}

std::optional<QString> QtPrompter::openFile(const QString& title, const QString& filter,
                                            const QString& startPath)
{
    QString path =
        QFileDialog::getOpenFileName(owner(), title, folders_.startPath(filter, startPath), filter);
    folders_.remember(filter, path);
    return path.isEmpty() ? std::nullopt : std::optional<QString>(path);
}

std::optional<QString> QtPrompter::saveFile(const QString& title, const QString& filter,
                                            const QString& startPath)
{
    QString path =
        QFileDialog::getSaveFileName(owner(), title, folders_.startPath(filter, startPath), filter);
    folders_.remember(filter, path);
    return path.isEmpty() ? std::nullopt : std::optional<QString>(path);
}

std::optional<QString> QtPrompter::pickFolder(const QString& title, const QString& startPath)
{
    QString path = QFileDialog::getExistingDirectory(owner(), title, startPath, QFileDialog::ShowDirsOnly);
    return path.isEmpty() ? std::nullopt : std::optional<QString>(path);
}

std::optional<QFont> QtPrompter::chooseFont(const QFont& initial)
{
    bool ok = false;
    QFont font = QFontDialog::getFont(&ok, initial, owner());
    return ok ? std::optional<QFont>(font) : std::nullopt;
}

std::optional<QColor> QtPrompter::chooseColor(const QColor& initial)
{
    QColor color = QColorDialog::getColor(initial, owner());
    return color.isValid() ? std::optional<QColor>(color) : std::nullopt;
}

}  // namespace velmora::ui
