// imgjoin print-prep on a picture file of any content: PNG to PNG streams row
// by row, any other output goes through the whole-picture path. The first
// byte picks the job (its low two bits) and the output (bit 2: JPEG instead
// of PNG); the rest is the input file.
#include "FuzzScratch.h"

#include "ImageCodec.h"
#include "ImgJoinCommand.h"

#include <QTextStream>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzScratch& scratch = FuzzScratch::instance();
    if (size < 1)
        return 0;
    static const char* const jobs[] = { "99", "100", "101", "109" };
    const QString job = QLatin1String(jobs[data[0] & 3]);
    const QString output = (data[0] & 4) ? QStringLiteral("out.jpg") : QStringLiteral("out.png");

    scratch.reset();
    scratch.write(QStringLiteral("in.png"), FuzzScratch::bytes(data + 1, size - 1));
    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    ImgJoinCommand command(out, err);
    const int status = command.run({ QStringLiteral("print-prep"), QStringLiteral("--job"), job,
                                     QStringLiteral("in.png"), output });
    err.flush();
    if (status != ImgJoinCommand::Ok) {
        if (status != ImgJoinCommand::Failed || errText.isEmpty())
            std::abort();
        return 0;
    }
    // What was written is a picture of the input's size.
    const ImageCodec::ReadResult input =
        ImageCodec::read(scratch.filePath(QStringLiteral("in.png")));
    const IoResult<QSize> written = ImageCodec::readSize(scratch.filePath(output));
    if (!written.ok() || (input.ok() && written.value != input.value.size()))
        std::abort();
    return 0;
}
