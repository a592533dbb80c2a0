#include "ui/player/device_ops.h"

#include <QCoreApplication>
#include <QFile>
#include <QString>

#include "core/media/media_path.h"
#include "ui/platform/prompter.h"

namespace velmora::ui {

void letMessagesRun()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

bool openDevice(media::MediaDevice& device, Prompter& prompter)
{
    device.setWait(true);
    if (device.open()) {
        return true;
    }
    prompter.error(QString::fromStdString(device.errorMessage()));
    return false;
}

void releaseDevice(media::MediaDevice& device)
{
    if (!device.isOpen()) {
        return;
    }
    if (device.mode() != media::Mode::Stopped) {
        device.setWait(true);
        device.stop();
        letMessagesRun();
    }
    device.close();
    letMessagesRun();
}

std::string localMediaPath(const QString& stored)
{
    // A "file:" cell names a file whose name Shift-JIS cannot hold; it is
    // plain ASCII, so its text is its bytes.
    if (media::isFileUriCell(stored.toStdString())) {
        return media::fileSystemPath(stored.toStdString());
    }
    QString path = stored;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return QFile::encodeName(path).toStdString();
}

}  // namespace velmora::ui
