#include "CImgEditDlg.h"
#include "ImagingTestSupport.h"

#include <QTest>

class CImgEditDlgTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_bench.reset(); }
    void altClickTakesTheShownPatchAsTheBrush();
    void clickPaintsOneDabAndDragsPaintStrokesThatClosingSaves();

private:
    std::unique_ptr<CImgEditDlg> openDialog()
    {
        auto dialog = std::make_unique<CImgEditDlg>(m_bench->engine);
        dialog->show();
        if (!QTest::qWaitForWindowExposed(dialog.get()))
            qWarning("dialog not exposed");
        return dialog;
    }
    // The window pixel at a dialog point, opaque.
    QRgb shown(const CImgEditDlg& dialog, const QPoint& at) const
    {
        const QPoint p = at - dialog.editRect().topLeft();
        return m_bench->engine.imageEdit().window().pixel(p) | 0xFF000000u;
    }

    std::unique_ptr<ImagingTestBench> m_bench;
};

void CImgEditDlgTest::init()
{
    m_bench = std::make_unique<ImagingTestBench>();
    QImage picture(800, 500, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb(x % 256, y % 256, 77));
    m_bench->engine.AddPicture(m_bench->savePicture(picture, QStringLiteral("p.png")));
    m_bench->engine.imageEdit().setRadius(0);
}

void CImgEditDlgTest::altClickTakesTheShownPatchAsTheBrush()
{
    auto dialog = openDialog();
    const QPoint area = dialog->editRect().topLeft();
    // Without a brush a click paints nothing.
    QTest::mouseClick(dialog.get(), Qt::LeftButton, {}, area + QPoint(100, 100));
    QVERIFY(!dialog->patternSet());
    QVERIFY(!m_bench->engine.imageEdit().dirty());

    const QPoint at = area + QPoint(100, 80);
    QTest::mouseClick(dialog.get(), Qt::LeftButton, Qt::AltModifier, at);
    QVERIFY(dialog->patternSet());
    QVERIFY(!m_bench->engine.imageEdit().dirty());
    const QImage pattern = m_bench->engine.imageEdit().pattern();
    for (int r = 0; r < 40; ++r)
        for (int c = 0; c < 40; ++c)
            QCOMPARE(pattern.pixel(c, r), shown(*dialog, at + QPoint(c - 19, r - 19)));

    // By the area's corner the patch takes the frame and the dialog around it.
    const QPoint corner = area + QPoint(2, 2);
    QTest::mouseClick(dialog.get(), Qt::LeftButton, Qt::AltModifier, corner);
    const QImage edge = m_bench->engine.imageEdit().pattern();
    const QRgb ground = dialog->palette().color(QPalette::Window).rgb();
    QCOMPARE(edge.pixel(19, 19), shown(*dialog, corner));
    QCOMPARE(edge.pixel(16, 16), qRgb(0, 0, 0)); // the frame
    QCOMPARE(edge.pixel(14, 19), ground);        // the dialog beside it
    QCOMPARE(edge.pixel(0, 0), ground);          // beyond the dialog's edge
}

void CImgEditDlgTest::clickPaintsOneDabAndDragsPaintStrokesThatClosingSaves()
{
    auto dialog = openDialog();
    const QPoint area = dialog->editRect().topLeft();
    dialog->setBrushColour(QColor(255, 0, 255));
    const QPoint at = area + QPoint(50, 60);
    QTest::mouseClick(dialog.get(), Qt::LeftButton, {}, at);
    QCOMPARE(shown(*dialog, at), qRgb(255, 0, 255));
    QCOMPARE(shown(*dialog, at + QPoint(1, 0)), qRgb(51, 60, 77));

    // A drag paints a segment once the mouse is three pixels on.
    const QPoint from = area + QPoint(200, 100);
    QTest::mousePress(dialog.get(), Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, QPointF(from + QPoint(2, 0)), dialog->mapToGlobal(from),
                     Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(dialog.get(), &move);
    QCOMPARE(shown(*dialog, from), qRgb(200, 100, 77)); // too short yet
    QMouseEvent further(QEvent::MouseMove, QPointF(from + QPoint(6, 0)), dialog->mapToGlobal(from),
                        Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(dialog.get(), &further);
    QTest::mouseRelease(dialog.get(), Qt::LeftButton, {}, from + QPoint(6, 0));
    for (int dx = 0; dx <= 6; ++dx)
        QCOMPARE(shown(*dialog, from + QPoint(dx, 0)), qRgb(255, 0, 255));
    QCOMPARE(shown(*dialog, from + QPoint(7, 0)), qRgb(207, 100, 77));

    dialog->reject();
    const QString saved = m_bench->engine.picture(0).file;
    QCOMPARE(saved, m_bench->engine.imageEditFiles(QStringLiteral("png")).first());
    QCOMPARE(QImage(saved).pixel(50, 60), qRgb(255, 0, 255));
    QVERIFY(m_bench->engine.undoStack().canUndo());
}

QTEST_MAIN(CImgEditDlgTest)
#include "CImgEditDlgTest.moc"
