#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <QTest>

namespace {

// The buttons of the main tool bar, separators left out, in their order.
const QList<int> ToolBarCommands = { 57664, 32790, 32771, 32792, 32772, 32776, 32774, 32773,
                                     32778, 32779, 32780, 32827, 32782, 32783, 32785, 32784,
                                     32786, 32787, 32788, 32791, 32795, 32796, 32794, 32803 };

// The items of the rotation, trim-line and ruler popup menus.
const QList<int> PopupCommands = { 32804, 32805, 32806, 32807, 32808, 32809, 32818, 32819,
                                   32820, 32821, 32822, 32828, 32829, 32830, 32831, 32832 };

int opaquePixels(const QImage& picture)
{
    const QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(row[x]) > 128 ? 1 : 0;
    }
    return count;
}

// The icon draws something visible at the sizes of tool bars and menus.
void verifyIcon(const QString& path)
{
    const QIcon icon(path);
    QVERIFY2(!icon.isNull(), qPrintable(path));
    for (int size : { 16, 24 }) {
        const QImage image = icon.pixmap(size, size).toImage();
        QCOMPARE(image.size(), QSize(size, size));
        QVERIFY2(opaquePixels(image) > size * size / 16, qPrintable(path));
    }
}

} // namespace

class ArtworkTest : public QObject
{
    Q_OBJECT

private slots:
    void everyToolBarButtonHasAnIcon();
    void everyPopupItemHasAPicture();
    void splashHasItsFixedSize();
    void dragCursorLoads();
};

void ArtworkTest::everyToolBarButtonHasAnIcon()
{
    QCOMPARE(ToolBarCommands.size(), 24);
    for (int id : ToolBarCommands)
        verifyIcon(QStringLiteral(":/icons/cmd-%1.svg").arg(id));
}

void ArtworkTest::everyPopupItemHasAPicture()
{
    for (int id : PopupCommands)
        verifyIcon(QStringLiteral(":/icons/popup-%1.svg").arg(id));
}

void ArtworkTest::splashHasItsFixedSize()
{
    QImageReader reader(QStringLiteral(":/images/splash.svg"));
    QCOMPARE(reader.size(), QSize(554, 139));
    const QImage image = reader.read();
    QCOMPARE(image.size(), QSize(554, 139));
    QCOMPARE(opaquePixels(image), 554 * 139);
}

void ArtworkTest::dragCursorLoads()
{
    const QPixmap cursor(QStringLiteral(":/cursors/ruler-drag.svg"));
    QCOMPARE(cursor.size(), QSize(32, 32));
    QVERIFY(opaquePixels(cursor.toImage()) > 100);
}

QTEST_MAIN(ArtworkTest)
#include "ArtworkTest.moc"
