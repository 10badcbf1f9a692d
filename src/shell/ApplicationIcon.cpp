#include "shell/ApplicationIcon.h"

#include "platform/AppError.h"
#include "platform/Files.h"

#include <QBuffer>
#include <QImageReader>
#include <QPixmap>

namespace {

// An icon file starts with a reserved zero word, the type 1 and a count of images.
bool HasIconHeader(const std::string& bytes)
{
    return bytes.size() >= 6 && bytes[0] == 0 && bytes[1] == 0 && bytes[2] == 1 && bytes[3] == 0
        && (bytes[4] != 0 || bytes[5] != 0);
}

QIcon DecodeIcon(const std::string& bytes)
{
    QByteArray data(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "ico");
    QIcon icon;
    const int count = reader.imageCount();
    for (int index = 0; index < count; ++index) {
        if (!reader.jumpToImage(index))
            break;
        const QImage image = reader.read();
        if (!image.isNull())
            icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

} // namespace

QIcon LoadApplicationIcon(const std::string& path)
{
    const std::string bytes = ReadWholeFile(path);
    QIcon icon;
    if (HasIconHeader(bytes))
        icon = DecodeIcon(bytes);
    if (icon.isNull())
        throw AppError("Icon image is not valid");
    return icon;
}
