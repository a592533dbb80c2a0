// One window per data folder. A start on a folder that a window already
// shows brings that window to the front and ends; a start on another folder
// opens a window of its own.
//
// The window of a folder answers on a local socket whose name comes from
// the folder's canonical path (any spelling of the path, a symbolic link
// included, gives the same name) and the user.
#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace velmora::ui {

class SingleInstance : public QObject {
    Q_OBJECT

public:
    explicit SingleInstance(const QString& folder, QObject* parent = nullptr);

    enum class Start {
        First,       // this start owns the folder: open the window
        HandedOver,  // the folder's window was asked to come forward: end
        Busy,        // the folder is held, but no window answers
    };
    // Decides who shows the folder. `takeFolder(waitMilliseconds)` takes
    // the folder's lock (true also when nobody can hold it, as on a
    // read-only folder); while another process holds it, the window of
    // that process is asked to come forward, retried for a few seconds (it
    // may be starting or ending). On First, answers later starts.
    Start start(const std::function<bool(int)>& takeFolder, int retryMilliseconds = 5000);
    // start(), with a message when the folder is busy: the exit code of a
    // start that opens no window (0 handed over, 2 busy), or nothing.
    std::optional<int> claim(const std::function<bool(int)>& takeFolder);
    // Brings `window` to the front at each activationRequested().
    void forwardTo(QWidget* window);

    // Asks the folder's window to come forward; true when one was there.
    bool activateRunning();
    // The name of the folder's socket.
    static QString serverName(const QString& folder);

signals:
    // A later start on the same folder asked for the window.
    void activationRequested();

private:
    bool listen();

    QString name_;
    QLocalServer server_;
};

}  // namespace velmora::ui
