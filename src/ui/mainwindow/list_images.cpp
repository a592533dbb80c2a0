#include "mainwindow/list_images.h"

#include <QPixmap>

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

QIcon themedIcon(const char* themeName, const char* bundledName)
{
    QIcon bundled(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(bundledName)));
    if (themeName == nullptr) {
        return bundled;
    }
    return QIcon::fromTheme(QLatin1String(themeName), bundled);
}

}  // namespace velmora::ui
