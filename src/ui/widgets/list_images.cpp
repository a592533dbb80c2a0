#include "ui/widgets/list_images.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPixmap>

#include "core/store/album_record.h"

namespace velmora::ui {

QIcon listImageIcon(int image)
{
    static const QIcon cd(QStringLiteral(":/icons/cd.svg"));
    static const QIcon media(QStringLiteral(":/icons/media-file.svg"));
    static const QIcon hit(QStringLiteral(":/icons/search-hit.svg"));
    switch (image) {
        case CdImage:
            return cd;
        case MediaFileImage:
            return media;
        case SearchHitImage:
            return hit;
        default: {
            // A transparent image: list items without one keep its room.
            static const QIcon blank = [] {
                QPixmap pixmap(16, 16);
                pixmap.fill(Qt::transparent);
                return QIcon(pixmap);
            }();
            return blank;
        }
    }
}

int mediaImage(std::string_view mediaCell)
{
    return mediaKindImage(store::mediaKind(mediaCell));
}

int mediaKindImage(store::MediaKind kind)
{
    switch (kind) {
        case store::MediaKind::CdTrack:
            return CdImage;
        case store::MediaKind::File:
            return MediaFileImage;
        case store::MediaKind::None:
            break;
    }
    return NoListImage;
}

bool showPicture(QLabel* box, QLabel* noImage, const QString& file, int size)
{
    box->hide();
    box->setToolTip(QString());
    noImage->show();
    if (file.isEmpty() || !QFileInfo(file).isFile()) {
        return true;
    }
    QImageReader reader(file);
    reader.setAutoTransform(true);
    const QImage image = reader.read();
    if (image.isNull()) {
        return false;
    }
    box->setPixmap(
        QPixmap::fromImage(image.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    box->setToolTip(file);
    box->show();
    noImage->hide();
    return true;
}

QIcon themedIcon(const char* themeName, const char* bundledName)
{
    QIcon bundled(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(bundledName)));
    if (themeName == nullptr) {
        return bundled;
    }
    return QIcon::fromTheme(QLatin1String(themeName), bundled);
}

}  // namespace velmora::ui
