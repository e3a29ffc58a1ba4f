// Picture files of any content through the engine's codec: the whole decode
// and the header-only size read.
#include "FuzzScratch.h"

#include "ImageCodec.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzScratch& scratch = FuzzScratch::instance();
    const QString name = QStringLiteral("picture");
    scratch.write(name, FuzzScratch::bytes(data, size));
    const QString file = scratch.filePath(name);

    const ImageCodec::ReadResult picture = ImageCodec::read(file);
    if (picture.ok()) {
        // What the codec hands on is a picture within its limit.
        const QImage& image = picture.value;
        if (image.isNull() || qint64(image.width()) * image.height() > ImageCodec::MaxPixels)
            std::abort();
    } else if (!picture.value.isNull()) {
        std::abort();
    }
    const IoResult<QSize> header = ImageCodec::readSize(file);
    if (header.ok() && !header.value.isValid())
        std::abort();
    return 0;
}
