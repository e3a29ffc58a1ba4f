#include "EngineFixture.h"
#include "ScratchVolume.h"
#include "TestArchive.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

using TestPictures::coordinatePicture;
using TestPictures::solidPicture;

namespace {

QImage decoded(const QString& file)
{
    QImageReader reader(file);
    return reader.read().convertToFormat(QImage::Format_ARGB32);
}

QByteArray pngBytes(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray readAll(const QString& file)
{
    QFile in(file);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

void writeAll(const QString& file, const QByteArray& bytes)
{
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(out.write(bytes), bytes.size());
}

// A picture with see-through parts: a half-transparent band and a clear corner.
QImage seeThroughPicture(int width, int height)
{
    QImage image = coordinatePicture(width, height).convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (y < height / 3)
                image.setPixel(x, y, qRgba(qRed(pixel), qGreen(pixel), qBlue(pixel), 128));
            else if (x > width * 2 / 3 && y > height * 2 / 3)
                image.setPixel(x, y, qRgba(0, 0, 0, 0));
        }
    }
    return image;
}

} // namespace

class ProjectFileTest : public EngineFixture
{
protected:
    // A canvas of four pictures: a plain PNG moved, a JPEG stretched, a
    // see-through PNG turned, and a cut of a picture; the second is current
    // and shown transparent, with a trim line, a view mapping and ruler edits.
    void buildCanvas()
    {
        ASSERT_TRUE(m_engine.LoadPicture(
            TestPictures::save(coordinatePicture(120, 80), path("plain.png"))));
        m_engine.MovePicture(-15, 4, 0);
        QImage photo = coordinatePicture(60, 40);
        photo.save(path("photo.jpg"), "JPG", 90);
        ASSERT_TRUE(m_engine.addPlacedPicture(path("photo.jpg"), 100, 30, 90, 70));
        ASSERT_TRUE(m_engine.addPlacedPicture(
            TestPictures::save(seeThroughPicture(70, 50), path("clear.png")), 40, 60, 0, 0, 33.3f));
        ASSERT_TRUE(m_engine.addPlacedPicture(
            TestPictures::save(coordinatePicture(90, 90), path("cut.png")), 200, 10));
        paint();
        ASSERT_FALSE(m_engine.ClipCurrentPicture(210, 20, 260, 70).isEmpty());
        ASSERT_TRUE(m_engine.picture(3).file.startsWith(m_engine.tempDir()));
        m_engine.ModifyCurrentPicture(ModifyCode::NextPicture);
        m_engine.ModifyCurrentPicture(ModifyCode::NextPicture);
        m_engine.SetHotTransparent(1);
        m_engine.SetTrimLine(120, 50, TrimMode::FromBelow);
        m_engine.setCanvasMapping(1.5f, 7, -3);
        m_engine.GridTableTarget(codeValue(RulerTableId::Vertical));
        m_engine.SetRulerCell(3, 1, "250");
        m_engine.SetRulerCell(8, 3, "甲乙");
        m_engine.InsertDeleteRulerRow(RulerTable::InsertRow, 0);
        m_engine.ScaleRuler(RulerScaleCode::Grow);
        ASSERT_TRUE(m_errors.isEmpty()) << m_errors.join('\n').toStdString();
    }

    // What must come back, apart from the files the pictures lie in.
    struct State
    {
        QList<JoinPicture> pictures;
        int current = 0;
        bool transparent = false;
        TrimMode trimMode = TrimMode::None;
        QPoint trimStored;
        float zoom = 0;
        QPoint origin;
        float rulerScale = 0;
        QStringList rulerCells;
    };
    State state() const
    {
        State s;
        for (int i = 0; i < m_engine.GetPictureCount(); ++i) {
            JoinPicture picture = m_engine.picture(i);
            picture.file.clear();
            s.pictures << picture;
        }
        s.current = m_engine.currentPicture();
        s.transparent = m_engine.hotTransparent();
        s.trimMode = m_engine.trimMode();
        s.trimStored = m_engine.trimStored();
        s.zoom = m_engine.canvasZoom();
        s.origin = m_engine.canvasOrigin();
        s.rulerScale = m_engine.rulerScale();
        for (RulerTableId id : { RulerTableId::Horizontal, RulerTableId::Vertical }) {
            const RulerTable* table = m_engine.rulerTable(id);
            for (int row = 0; row < RulerTable::RULER_ROWS; ++row)
                for (int col = 1; col <= 3; ++col)
                    s.rulerCells << table->cellText(row, col);
            s.rulerCells << table->overflow().szName << QString::number(table->overflow().nSpacing);
        }
        return s;
    }
    void expectSameState(const State& a, const State& b)
    {
        EXPECT_EQ(a.pictures, b.pictures);
        EXPECT_EQ(a.current, b.current);
        EXPECT_EQ(a.transparent, b.transparent);
        EXPECT_EQ(a.trimMode, b.trimMode);
        EXPECT_EQ(a.trimStored, b.trimStored);
        EXPECT_EQ(a.zoom, b.zoom);
        EXPECT_EQ(a.origin, b.origin);
        EXPECT_EQ(a.rulerScale, b.rulerScale);
        EXPECT_TRUE(a.rulerCells == b.rulerCells);
    }
    QStringList tempFiles() const
    {
        return QDir(m_engine.tempDir()).entryList(QDir::Files, QDir::Name);
    }
};

TEST_F(ProjectFileTest, SavedAndOpenedProjectJoinsToTheSamePictureWithTheSameRecords)
{
    buildCanvas();
    const State before = state();
    ASSERT_TRUE(m_engine.CanvasModified());
    ASSERT_TRUE(m_engine.SaveProject(path("drawing.ora")));
    EXPECT_FALSE(m_engine.CanvasModified());
    ASSERT_TRUE(m_engine.SaveJoinedPicture("png", path("before.png")));

    m_engine.NewCanvas();
    EXPECT_EQ(m_engine.GetPictureCount(), 0);
    EXPECT_EQ(m_engine.trimMode(), TrimMode::None);
    EXPECT_FALSE(m_engine.undoStack().canUndo());

    ASSERT_TRUE(m_engine.OpenProject(path("drawing.ora"))) << m_errors.join('\n').toStdString();
    EXPECT_FALSE(m_engine.CanvasModified());
    EXPECT_EQ(m_engine.undoStack().count(), 0);
    expectSameState(before, state());
    for (int i = 0; i < m_engine.GetPictureCount(); ++i)
        EXPECT_EQ(QFileInfo(m_engine.picture(i).file).absolutePath(),
                  QFileInfo(m_engine.tempDir()).absoluteFilePath());

    ASSERT_TRUE(m_engine.SaveJoinedPicture("png", path("after.png")));
    const QImage first = decoded(path("before.png"));
    ASSERT_FALSE(first.isNull());
    EXPECT_EQ(first, decoded(path("after.png")));
    EXPECT_EQ(TestPictures::fileHash(path("before.png")),
              TestPictures::fileHash(path("after.png")));

    // Saved again, the project opens to the same once more; the pictures
    // keep the names they came with.
    ASSERT_TRUE(m_engine.SaveProject(path("again.ora")));
    const QByteArray stack = TestArchive::entry(readAll(path("again.ora")), "stack.xml");
    EXPECT_TRUE(stack.contains("name=\"photo.jpg\""));
    EXPECT_TRUE(stack.contains("name=\"clear.png\""));
    ASSERT_TRUE(m_engine.OpenProject(path("again.ora")));
    expectSameState(before, state());
    EXPECT_TRUE(m_errors.isEmpty()) << m_errors.join('\n').toStdString();

    // The pictures taken out are temporary files like any other.
    EXPECT_GE(m_engine.DeleteTempFiles(), 4);
    EXPECT_TRUE(tempFiles().isEmpty());
}

TEST_F(ProjectFileTest, ProjectOfAnotherProgramOpensWithPicturesAtTheirPlaces)
{
    const QImage lower = coordinatePicture(40, 30);
    const QImage upper = solidPicture(20, 20, Qt::blue);
    writeAll(path("plain.ora"), TestArchive::plainProject(pngBytes(lower), pngBytes(upper)));
    ASSERT_TRUE(m_engine.OpenProject(path("plain.ora"))) << m_errors.join('\n').toStdString();
    ASSERT_EQ(m_engine.GetPictureCount(), 2);
    const JoinPicture& bottom = m_engine.picture(0);
    const JoinPicture& top = m_engine.picture(1);
    EXPECT_EQ(QRect(bottom.x, bottom.y, bottom.width, bottom.height), QRect(5, 0, 40, 30));
    EXPECT_EQ(QRect(top.x, top.y, top.width, top.height), QRect(25, 30, 20, 20));
    EXPECT_EQ(bottom.angle, 0.0f);
    EXPECT_EQ(top.angle, 0.0f);
    EXPECT_EQ(m_engine.currentPicture(), 1);
    EXPECT_FALSE(m_engine.hotTransparent());

    const QImage joined = m_engine.RenderJoinedPicture().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(joined.size(), QSize(40, 50));
    EXPECT_EQ(joined.pixel(0, 0), lower.pixel(0, 0));
    EXPECT_EQ(joined.pixel(39, 29), qRgb(39, 29, 77) | 0xFF000000);
    EXPECT_EQ(joined.pixel(30, 40), qRgb(0, 0, 255));
    EXPECT_EQ(qAlpha(joined.pixel(5, 40)), 0);
}

TEST_F(ProjectFileTest, ProjectThatCannotBeOpenedLeavesTheCanvasAsItWas)
{
    buildCanvas();
    ASSERT_TRUE(m_engine.SaveProject(path("good.ora")));
    m_engine.MovePicture(5, 5, 0); // an undo step after the save
    const State before = state();
    const CanvasSnapshot records = m_engine.snapshot();
    const int steps = m_engine.undoStack().count();
    const QStringList temp = tempFiles();
    const QByteArray good = readAll(path("good.ora"));

    QList<std::pair<QString, QByteArray>> broken;
    for (qsizetype length : { qsizetype(0), qsizetype(20), good.size() / 3, good.size() / 2,
                              good.size() - 30, good.size() - 1 })
        broken.append({ QString("cut at %1").arg(length), good.left(length) });
    broken.append({ "not a zip", QByteArray("image/openraster, honestly").repeated(40) });
    const QByteArray png = pngBytes(coordinatePicture(8, 8));
    broken.append(
        { "undecodable layer", TestArchive::plainProject(png, png.left(png.size() / 2)) });
    broken.append({ "escaping layer",
                    TestArchive::make(
                        { { "mimetype", "image/openraster", true },
                          { "stack.xml", "<image><stack><layer src='../x.png'/></stack></image>" },
                          { "../x.png", png } }) });
    broken.append({ "bad stack", TestArchive::make({ { "mimetype", "image/openraster", true },
                                                     { "stack.xml", "<image><stack><layer" } }) });

    for (const auto& [what, bytes] : broken) {
        SCOPED_TRACE(what.toStdString());
        writeAll(path("broken.ora"), bytes);
        m_errors.clear();
        EXPECT_FALSE(m_engine.OpenProject(path("broken.ora")));
        ASSERT_EQ(m_errors.size(), 1);
        EXPECT_TRUE(m_errors.first().contains(QDir::toNativeSeparators(path("broken.ora"))));
        EXPECT_EQ(m_engine.snapshot(), records);
        expectSameState(before, state());
        EXPECT_EQ(m_engine.undoStack().count(), steps);
        EXPECT_TRUE(m_engine.CanvasModified());
        EXPECT_EQ(tempFiles(), temp);
    }
    m_errors.clear();
    EXPECT_FALSE(m_engine.OpenProject(path("missing.ora")));
    EXPECT_EQ(m_errors.size(), 1);
    EXPECT_EQ(m_engine.snapshot(), records);
}

TEST_F(ProjectFileTest, FailedSaveLeavesTheEarlierProjectInPlace)
{
    buildCanvas();
    ASSERT_TRUE(m_engine.SaveProject(path("kept.ora")));
    const QByteArray earlier = readAll(path("kept.ora"));
    m_engine.MovePicture(3, 0, 0);

    QFile::setPermissions(path("kept.ora"), QFile::ReadOwner | QFile::ReadGroup);
    EXPECT_FALSE(m_engine.SaveProject(path("kept.ora")));
    ASSERT_EQ(m_errors.size(), 1);
    EXPECT_TRUE(m_errors.first().contains("只读"));
    EXPECT_EQ(readAll(path("kept.ora")), earlier);
    EXPECT_TRUE(m_engine.CanvasModified());
    QFile::setPermissions(path("kept.ora"), QFile::ReadOwner | QFile::WriteOwner);

    m_errors.clear();
    QDir(m_dir.path()).mkdir("folder.ora");
    EXPECT_FALSE(m_engine.SaveProject(path("folder.ora")));
    ASSERT_EQ(m_errors.size(), 1);
    EXPECT_TRUE(m_errors.first().contains("文件夹"));
    EXPECT_TRUE(QFileInfo(path("folder.ora")).isDir());

    ScratchVolume volume(256);
    if (!volume.mounted())
        GTEST_SKIP() << "no scratch volume to fill";
    ASSERT_TRUE(QFile::copy(path("kept.ora"), volume.path("full.ora")));
    ASSERT_TRUE(volume.fill());
    m_errors.clear();
    EXPECT_FALSE(m_engine.SaveProject(volume.path("full.ora")));
    ASSERT_EQ(m_errors.size(), 1);
    EXPECT_TRUE(m_errors.first().contains("磁盘"));
    EXPECT_EQ(readAll(volume.path("full.ora")), earlier);
}

TEST_F(ProjectFileTest, EmptyCanvasIsNotSavedAndNewCanvasForgetsTheEdits)
{
    EXPECT_FALSE(m_engine.SaveProject(path("empty.ora")));
    EXPECT_EQ(m_errors.size(), 1);
    EXPECT_FALSE(QFileInfo::exists(path("empty.ora")));
    m_errors.clear();

    buildCanvas();
    ASSERT_TRUE(m_engine.undoStack().canUndo());
    const QString clip = m_engine.picture(3).file;
    m_engine.NewCanvas();
    EXPECT_EQ(m_engine.GetPictureCount(), 0);
    EXPECT_EQ(m_engine.trimMode(), TrimMode::None);
    EXPECT_FALSE(m_engine.hotTransparent());
    EXPECT_FALSE(m_engine.CanvasModified());
    EXPECT_FALSE(m_engine.Undo());
    // No step can bring the cut back: its file goes.
    EXPECT_FALSE(QFileInfo::exists(clip));
}
