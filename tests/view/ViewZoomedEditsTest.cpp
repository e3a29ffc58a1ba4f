// The view's mouse edits and zoom commands at canvas zooms other than 1:1.
#include "CImgJoinEngine.h"
#include "CQznImgEdtJoinView.h"
#include "CViewCommands.h"
#include "CommandIds.h"
#include "ViewTestSupport.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <cmath>

namespace {

QImage readPicture(const QString& file)
{
    return QImage(file).convertToFormat(QImage::Format_RGB32);
}

QRect record(const CImgJoinEngine& engine)
{
    const JoinPicture& p = engine.picture(0);
    return QRect(p.x, p.y, p.width, p.height);
}

// The picture's box on the view, as the canvas maps it.
QRect viewBox(const CImgJoinEngine& engine)
{
    const JoinPicture& p = engine.picture(0);
    const float zoom = engine.canvasZoom();
    const QPoint origin = engine.canvasOrigin();
    return QRect(int(float(p.x) * zoom) + origin.x(), int(float(p.y) * zoom) + origin.y(),
                 int(float(p.width) * zoom), int(float(p.height) * zoom));
}

int units(int viewDistance, float zoom)
{
    return int(std::lround(viewDistance / double(zoom)));
}

} // namespace

class ViewZoomedEditsTest : public QObject
{
    Q_OBJECT

private slots:
    void zooms_data();
    void panAndStretchEndUnderTheMouse_data() { zooms_data(); }
    void panAndStretchEndUnderTheMouse();
    void trimWindowKeepsTheEdgesItReaches_data() { zooms_data(); }
    void trimWindowKeepsTheEdgesItReaches();
    void trimLineCutsWhereItShows_data() { zooms_data(); }
    void trimLineCutsWhereItShows();
    void zoomCommandsZoomTheCanvasInJoiningMode();
    void unreadablePictureIsNotAdded();
};

void ViewZoomedEditsTest::zooms_data()
{
    QTest::addColumn<float>("zoom");
    QTest::newRow("1") << 1.0f;
    QTest::newRow("0.62") << 0.62f;
    QTest::newRow("2.5") << 2.5f;
}

void ViewZoomedEditsTest::panAndStretchEndUnderTheMouse()
{
    QFETCH(float, zoom);
    ViewUnderTest t;
    t.engine->setCanvasMapping(zoom, 0, 0);
    t.loadAndPaint(t.writePicture(QStringLiteral("a.png"), 200, 100));

    dragMouse(t.view.get(), Qt::MiddleButton, QPoint(100, 100), QPoint(240, 75));
    QCOMPARE(record(*t.engine).topLeft(), QPoint(units(140, zoom), units(-25, zoom)));

    // The right handle dragged 106 pixels: the right edge follows it.
    t.paint();
    const QPoint handle = t.engine->handleRect(1).center();
    const int edgeBefore = viewBox(*t.engine).right();
    dragMouse(t.view.get(), Qt::LeftButton, handle, handle + QPoint(106, 0));
    QCOMPARE(t.engine->picture(0).width, 200 + units(106, zoom));
    QVERIFY(qAbs(viewBox(*t.engine).right() - (edgeBefore + 106)) <= zoom / 2 + 2);
    QCOMPARE(t.engine->picture(0).height, 100);
}

void ViewZoomedEditsTest::trimWindowKeepsTheEdgesItReaches()
{
    QFETCH(float, zoom);
    ViewUnderTest t;
    // A size whose shown box, divided by the zoom, falls short of it.
    const QString file = t.writePicture(QStringLiteral("a.png"), 301, 203);
    const QImage original = readPicture(file);
    t.engine->setCanvasMapping(zoom, 7, 5);
    t.loadAndPaint(file);

    // From a point inside to just past the picture's last shown pixel.
    const QRect box = viewBox(*t.engine);
    const QPoint from = box.topLeft() + QPoint(box.width() / 3, box.height() / 4);
    const QPoint to = box.bottomRight() + QPoint(1, 1);
    t.view->commands().trigger(CommandId::TrimWindow);
    QTest::mouseClick(t.view.get(), Qt::LeftButton, Qt::NoModifier, from);
    moveMouse(t.view.get(), to, Qt::NoButton);
    QTest::mouseClick(t.view.get(), Qt::LeftButton, Qt::NoModifier, to);

    const QRect kept = record(*t.engine);
    QCOMPARE(kept.right(), 300);
    QCOMPARE(kept.bottom(), 202);
    QVERIFY(qAbs(kept.left() - (box.width() / 3) / zoom) <= 1 / zoom + 1);
    QCOMPARE(readPicture(t.engine->picture(0).file), original.copy(kept));
}

void ViewZoomedEditsTest::trimLineCutsWhereItShows()
{
    QFETCH(float, zoom);
    ViewUnderTest t;
    const QString file = t.writePicture(QStringLiteral("a.png"), 301, 203);
    const QImage original = readPicture(file);
    t.engine->setCanvasMapping(zoom, 7, 5);
    t.loadAndPaint(file);
    const QRect box = viewBox(*t.engine);

    // A line for joining on the right keeps the columns up to it, with the
    // picture's left, top and bottom edges whole.
    t.view->commands().trigger(CommandId::TrimLineRight);
    QTest::mouseClick(t.view.get(), Qt::LeftButton, Qt::NoModifier,
                      box.topLeft() + QPoint(box.width() * 3 / 5, 10));
    t.paint();
    const int line = t.engine->trimStored().x();
    t.view->commands().trigger(CommandId::TrimByLine);
    QCOMPARE(record(*t.engine), QRect(0, 0, line + 1, 203));
    QCOMPARE(readPicture(t.engine->picture(0).file), original.copy(0, 0, line + 1, 203));

    // A line from below keeps the rows below it down to the last one.
    t.paint();
    t.view->commands().trigger(CommandId::TrimLineUp);
    QTest::mouseClick(t.view.get(), Qt::LeftButton, Qt::NoModifier,
                      box.topLeft() + QPoint(10, box.height() / 3));
    t.paint();
    const int row = t.engine->trimStored().y();
    t.view->commands().trigger(CommandId::TrimByLine);
    QCOMPARE(record(*t.engine), QRect(0, row, line + 1, 203 - row));
    QCOMPARE(readPicture(t.engine->picture(0).file), original.copy(0, row, line + 1, 203 - row));
}

void ViewZoomedEditsTest::zoomCommandsZoomTheCanvasInJoiningMode()
{
    ViewUnderTest t;
    t.loadAndPaint(t.writePicture(QStringLiteral("a.png"), 300, 200));
    QVERIFY(!t.view->wholeDrawing());
    const QImage before = t.paint();
    t.view->commands().trigger(CommandId::ZoomIn);
    QCOMPARE(t.engine->canvasZoom(), 1.1f);
    QVERIFY(t.paint() != before);
    t.view->commands().trigger(CommandId::ZoomOut);
    t.view->commands().trigger(CommandId::ZoomOut);
    QVERIFY(t.engine->canvasZoom() < 1.0f);
    t.view->commands().trigger(CommandId::ZoomFit);
    t.paint();
    QVERIFY(t.engine->canvasZoom() > 2.0f); // 300 x 200 fitted into 800 x 600

    // 1:1 keeps the drawing point under the view's centre where it is.
    t.engine->setCanvasMapping(0.62f, -31, 17);
    const QPoint centre = t.view->rect().center();
    const QPointF under((centre.x() + 31) / 0.62, (centre.y() - 17) / 0.62);
    t.view->commands().trigger(CommandId::ZoomOriginal);
    QCOMPARE(t.engine->canvasZoom(), 1.0f);
    const QPoint origin = t.engine->canvasOrigin();
    QVERIFY(qAbs(origin.x() - (centre.x() - under.x())) <= 1);
    QVERIFY(qAbs(origin.y() - (centre.y() - under.y())) <= 1);

    // In print-output mode the buttons still zoom the output picture.
    t.view->commands().trigger(CommandId::OutputMode);
    t.paint();
    const float output = t.engine->outputZoom();
    t.view->commands().trigger(CommandId::ZoomIn);
    QCOMPARE(t.engine->outputZoom(), float(double(output) * 1.1));
    QCOMPARE(t.engine->canvasZoom(), 1.0f);
}

void ViewZoomedEditsTest::unreadablePictureIsNotAdded()
{
    ViewUnderTest t;
    QSignalSpy errors(t.engine.get(), &CImgJoinEngine::errorOccurred);
    const QString good = t.writePicture(QStringLiteral("good.png"), 120, 80);
    QFile goodFile(good);
    QVERIFY(goodFile.open(QIODevice::ReadOnly));
    const QByteArray bytes = goodFile.readAll();
    const std::pair<QString, QByteArray> bad[] = {
        { QStringLiteral("cut.png"), bytes.left(bytes.size() * 2 / 3) },
        { QStringLiteral("empty.png"), QByteArray() },
        { QStringLiteral("notes.png"), QByteArray("a text file\n") },
    };
    for (const auto& [name, content] : bad) {
        QFile file(QDir(t.dir->path()).filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        errors.clear();
        t.loadAndPaint(file.fileName());
        QCOMPARE(t.engine->GetPictureCount(), 0);
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors.first().first().toString().contains(name), qPrintable(name));
    }
    t.loadAndPaint(good);
    QCOMPARE(t.engine->GetPictureCount(), 1);
    QCOMPARE(record(*t.engine), QRect(0, 0, 120, 80));
}

QTEST_MAIN(ViewZoomedEditsTest)
#include "ViewZoomedEditsTest.moc"
