#include "CImgJoinEngine.h"

#include "IoErrorText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

namespace {

// The encoder a photo format names; none for a name no encoder serves.
std::optional<ImageCodec::Format> photoFormat(const QString& name)
{
    const QString upper = name.trimmed().toUpper();
    if (upper == QLatin1String("BMP"))
        return ImageCodec::Format::Bmp;
    if (upper == QLatin1String("JPG"))
        return ImageCodec::Format::Jpeg;
    if (upper == QLatin1String("PNG"))
        return ImageCodec::Format::Png;
    if (upper == QLatin1String("GIF"))
        return ImageCodec::Format::Gif;
    return std::nullopt;
}

QString photoCopyName(int sequence, const QString& suffix)
{
    return QStringLiteral("cameraPhoto_%1.%2").arg(sequence).arg(suffix);
}

} // namespace

IoStatus CImgJoinEngine::SaveCapturedFrame(const QString& format, const QString& source,
                                           const QString& destination)
{
    const std::optional<ImageCodec::Format> encoder = photoFormat(format);
    if (!encoder)
        return IoStatus::failure(tr("不支持的图片格式 %1").arg(format));
    const ImageCodec::ReadResult frame = ImageCodec::read(source);
    if (!frame.ok())
        return IoStatus::failure(frame.error);
    return ImageCodec::write(frame.value, destination, *encoder);
}

QString CImgJoinEngine::AddCameraPhoto(const QString& photo)
{
    return addTempPicture([this, &photo]() -> QString {
        const QDir folder(tempDir());
        const QString suffix = QFileInfo(photo).suffix().toLower();
        int sequence = 0;
        while (QFileInfo::exists(folder.filePath(photoCopyName(sequence, suffix))))
            ++sequence;
        const QString path = folder.filePath(photoCopyName(sequence, suffix));
        QFile file(photo);
        errno = 0;
        if (!file.copy(path)) {
            report(tr("无法复制照片 %1: %2")
                       .arg(QDir::toNativeSeparators(photo), IoErrorText::reason(file, errno)));
            return {};
        }
        return path;
    });
}
