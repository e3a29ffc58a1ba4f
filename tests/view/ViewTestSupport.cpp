#include "ViewTestSupport.h"

#include "CImgJoinEngine.h"
#include "CQznImgEdtJoinView.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTest>

MessageBoxCatcher::MessageBoxCatcher()
{
    qApp->installEventFilter(this);
}

MessageBoxCatcher::~MessageBoxCatcher()
{
    qApp->removeEventFilter(this);
}

bool MessageBoxCatcher::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show) {
        if (auto* box = qobject_cast<QMessageBox*>(watched)) {
            ++m_caught;
            QMetaObject::invokeMethod(box, &QDialog::reject, Qt::QueuedConnection);
        }
    }
    return false;
}

ViewUnderTest::ViewUnderTest(int width, int height)
    : dir(std::make_unique<QTemporaryDir>())
    , engine(std::make_unique<CImgJoinEngine>())
{
    engine->SetDataDir(dir->path());
    view = std::make_unique<CQznImgEdtJoinView>(*engine);
    view->setProgramDir(dir->path());
    view->resize(width, height);
    view->show();
    if (!QTest::qWaitForWindowExposed(view.get()))
        qWarning("view not exposed");
}

ViewUnderTest::~ViewUnderTest()
{
    view.reset();
    engine.reset();
}

QString ViewUnderTest::writePicture(const QString& name, int width, int height) const
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            row[x] = qRgb(x % 256, y % 256, 77);
    }
    QString path = QDir(dir->path()).filePath(name);
    image.save(path);
    return path;
}

void ViewUnderTest::loadAndPaint(const QString& path)
{
    view->loadPicture(path);
    paint();
}

QImage ViewUnderTest::paint()
{
    return view->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

void moveMouse(QWidget* widget, const QPoint& at, Qt::MouseButtons held)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(at), widget->mapToGlobal(QPointF(at)), Qt::NoButton,
                     held, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &move);
}

void dragMouse(QWidget* widget, Qt::MouseButton button, const QPoint& from, const QPoint& to)
{
    QTest::mousePress(widget, button, Qt::NoModifier, from);
    moveMouse(widget, (from + to) / 2, button);
    moveMouse(widget, to, button);
    QTest::mouseRelease(widget, button, Qt::NoModifier, to);
}
