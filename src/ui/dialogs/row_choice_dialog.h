// A dialog that lists rows (the releases of a disc) for the user to choose
// one from. Windows reach it through the Prompter.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <optional>
#include <vector>

namespace velmora::ui {

// The chosen row, or nothing when the user cancelled. The first row starts
// selected; a double click chooses.
std::optional<int> chooseRowInDialog(QWidget* parent, const QString& title, const QStringList& headers,
                                     const std::vector<QStringList>& rows);

}  // namespace velmora::ui
