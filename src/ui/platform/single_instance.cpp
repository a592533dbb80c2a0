#include "ui/platform/single_instance.h"

#include <unistd.h>

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QWidget>

#include "ui/platform/qt_prompter.h"

namespace velmora::ui {

namespace {

constexpr char kActivate[] = "activate\n";

}  // namespace

SingleInstance::SingleInstance(const QString& folder, QObject* parent)
    : QObject(parent), name_(serverName(folder))
{
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_.nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            auto read = [this, socket] {
                if (socket->canReadLine() && socket->readLine() == kActivate) {
                    emit activationRequested();
                }
            };
            connect(socket, &QLocalSocket::readyRead, this, read);
            read();
        }
    });
}

QString SingleInstance::serverName(const QString& folder)
{
    const QFileInfo info(folder);
    QString path = info.canonicalFilePath();
    if (path.isEmpty()) {
        // Not there (yet): the cleaned absolute path.
        path = QDir::cleanPath(info.absoluteFilePath());
    }
    const QByteArray hash = QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha256).toHex();
    return QStringLiteral("velmora-%1-%2").arg(::getuid()).arg(QString::fromLatin1(hash.left(32)));
}

bool SingleInstance::activateRunning()
{
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(1000)) {
        return false;
    }
    socket.write(kActivate);
    const bool sent = socket.waitForBytesWritten(1000);
    socket.disconnectFromServer();
    return sent;
}

SingleInstance::Start SingleInstance::start(const std::function<bool(int)>& takeFolder, int retryMilliseconds)
{
    const QDeadlineTimer deadline(retryMilliseconds);
    for (;;) {
        if (activateRunning()) {
            return Start::HandedOver;
        }
        if (takeFolder(deadline.hasExpired() ? 0 : 200)) {
            listen();
            return Start::First;
        }
        if (deadline.hasExpired()) {
            return Start::Busy;
        }
    }
}

std::optional<int> SingleInstance::claim(const std::function<bool(int)>& takeFolder)
{
    switch (start(takeFolder)) {
        case Start::First:
            return std::nullopt;
        case Start::HandedOver:
            return 0;
        case Start::Busy:
            break;
    }
    QtPrompter().error(
        QStringLiteral("このデータフォルダは別の Velmora が使用中ですが、応答がありません。\r\n"
                       "しばらくしてからもう一度起動してください。"));
    return 2;
}

void SingleInstance::forwardTo(QWidget* window)
{
    connect(this, &SingleInstance::activationRequested, window, [window] {
        window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
        window->show();
        window->raise();
        window->activateWindow();
    });
}

bool SingleInstance::listen()
{
    // The folder's lock is held: a socket of that name was left by a
    // window that no longer runs.
    QLocalServer::removeServer(name_);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    return server_.listen(name_);
}

}  // namespace velmora::ui
