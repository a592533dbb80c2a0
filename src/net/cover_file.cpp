#include "net/cover_file.h"

#include <QBuffer>
#include <QImageReader>
#include <string_view>
#include <system_error>

#include "core/discdata/album_fill.h"
#include "core/store/atomic_file.h"

namespace velmora::net {

namespace {

// Whether the bytes are a picture: the whole image is decoded, not only its
// header, so that a cut-off or forged file is refused too.
bool decodesAsPicture(const QByteArray& image)
{
    QByteArray bytes = image;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    return !reader.read().isNull();
}

}  // namespace

StoredCover storeCover(const std::filesystem::path& dataDir, const std::string& releaseId,
                       const QByteArray& image)
{
    StoredCover stored;
    if (image.isEmpty() || !decodesAsPicture(image)) {
        stored.message = QStringLiteral("カバー画像として届いたデータが画像ではありません。");
        return stored;
    }
    const std::filesystem::path file =
        std::filesystem::absolute(dataDir / discdata::coverFileName(releaseId));
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    const bool existed = std::filesystem::exists(std::filesystem::symlink_status(file, ec));
    store::FileError error;
    if (!store::writeFileAtomically(
            file, std::string_view(image.constData(), static_cast<std::size_t>(image.size())), &error)) {
        stored.message =
            QStringLiteral("カバー画像を保存できませんでした: ") + QString::fromStdString(file.string());
        return stored;
    }
    stored.ok = true;
    stored.file = file;
    stored.created = !existed;
    return stored;
}

void discardStoredCover(const StoredCover& cover)
{
    if (cover.ok && cover.created) {
        std::error_code ec;
        std::filesystem::remove(cover.file, ec);
    }
}

}  // namespace velmora::net
