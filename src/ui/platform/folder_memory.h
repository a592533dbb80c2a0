// The folder last used in a file dialog, per kind of file: the next dialog
// for that kind opens there. Kept for the session only.
#pragma once

#include <QHash>
#include <QString>

namespace velmora::ui {

class FolderMemory {
public:
    // Where a dialog for `kind` (its filter text) starts: `given` when it
    // names a folder or a file in one, else the folder last used for the
    // kind, else `given` (empty: the dialog's own choice). A bare file name
    // is placed in the remembered folder.
    QString startPath(const QString& kind, const QString& given) const;
    // The folder of a file chosen in a dialog for `kind`.
    void remember(const QString& kind, const QString& chosenFile);

private:
    QHash<QString, QString> folders_;
};

}  // namespace velmora::ui
