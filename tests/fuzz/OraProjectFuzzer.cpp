// Project files of any content: the archive reader alone, then the engine
// opening the file over a canvas that a refused file must leave as it was.
#include "FuzzScratch.h"

#include "CImgJoinEngine.h"
#include "OraProject.h"

#include <cstdlib>

namespace {

// The least the engine allows a project, whatever its picture memory budget.
constexpr qint64 ByteLimit = qint64(256) * 1024 * 1024;

bool sameLayers(const OraProject& a, const OraProject& b)
{
    if (a.layers.size() != b.layers.size() || a.current != b.current)
        return false;
    for (qsizetype i = 0; i < a.layers.size(); ++i) {
        const OraProject::Layer &x = a.layers.at(i), &y = b.layers.at(i);
        if (x.png != y.png || x.place != y.place || x.box != y.box || x.angle != y.angle)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzScratch& scratch = FuzzScratch::instance();
    static const bool fixture =
        (scratch.addFixture(QStringLiteral("base.png"),
                            FuzzScratch::picture(6, 4, qRgb(30, 160, 90), "PNG")),
         true);
    (void)fixture;
    const QByteArray bytes = FuzzScratch::bytes(data, size);

    // What the reader accepts stays within its bounds and survives being
    // written again.
    const IoResult<OraProject> project = OraProject::unpack(bytes, ByteLimit);
    if (project.ok()) {
        qint64 total = 0;
        for (const OraProject::Layer& layer : project.value.layers)
            total += layer.png.size();
        if (project.value.layers.size() > OraProject::MaxLayers || total > ByteLimit)
            std::abort();
        const IoResult<QByteArray> again = project.value.pack();
        if (!again.ok())
            std::abort();
        const IoResult<OraProject> back = OraProject::unpack(again.value, 2 * ByteLimit);
        if (!back.ok() || !sameLayers(project.value, back.value))
            std::abort();
    } else if (project.error.isEmpty()) {
        std::abort();
    }

    scratch.reset();
    CImgJoinEngine engine;
    engine.SetDataDir(scratch.path());
    QStringList errors;
    QObject::connect(&engine, &CImgJoinEngine::errorOccurred,
                     [&errors](const QString& message) { errors << message; });
    if (!engine.addPlacedPicture(scratch.filePath(QStringLiteral("base.png")), 3, 4))
        std::abort();
    const CanvasSnapshot before = engine.snapshot();
    scratch.write(QStringLiteral("input.ora"), bytes);
    const bool opened = engine.OpenProject(scratch.filePath(QStringLiteral("input.ora")));
    if (!opened) {
        if (errors.size() != 1 || engine.snapshot() != before || !engine.CanvasModified())
            std::abort();
        return 0;
    }
    // Whatever the engine opens, the reader took as a project.
    if (!project.ok() || engine.GetPictureCount() != project.value.layers.size() ||
        engine.CanvasModified() || !errors.isEmpty())
        std::abort();
    return 0;
}
