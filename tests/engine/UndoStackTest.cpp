#include "EngineFixture.h"

#include <QFile>

#include <functional>

using TestPictures::coordinatePicture;
using TestPictures::solidPicture;

class UndoStackTest : public EngineFixture
{
protected:
    // Two pictures on the canvas, measured, the second one current.
    void placeTwo()
    {
        ASSERT_TRUE(m_engine.addPlacedPicture(
            TestPictures::save(coordinatePicture(120, 90), path("a.png")), 0, 0));
        ASSERT_TRUE(m_engine.addPlacedPicture(
            TestPictures::save(solidPicture(60, 50, Qt::red), path("b.png")), 100, 40));
    }

    // Makes the edit and checks that undo puts back exactly the records
    // before it and redo exactly those after it, as one step.
    void expectUndoable(const char* what, const std::function<void()>& edit)
    {
        SCOPED_TRACE(what);
        const CanvasSnapshot before = m_engine.snapshot();
        const int steps = m_engine.undoStack().count();
        edit();
        const CanvasSnapshot after = m_engine.snapshot();
        ASSERT_NE(after.pictures, before.pictures);
        EXPECT_EQ(m_engine.undoStack().count(), steps + 1);
        ASSERT_TRUE(m_engine.Undo());
        EXPECT_EQ(m_engine.snapshot(), before);
        ASSERT_TRUE(m_engine.Redo());
        EXPECT_EQ(m_engine.snapshot(), after);
    }

    // The clip file the current picture shows after a cut.
    QString cutCurrent()
    {
        paint();
        const QRect box = m_engine.CurrentScreenBox();
        EXPECT_TRUE(m_engine.TrimByWindow(box.left() + 5, box.top() + 5, box.right() - 5,
                                          box.bottom() - 5, DisplayMode::Joining))
            << m_errors.join('\n').toStdString();
        return m_engine.picture(m_engine.currentPicture()).file;
    }
};

TEST_F(UndoStackTest, EveryKindOfEditIsUndoneAndRedoneExactly)
{
    expectUndoable("add", [&] {
        m_engine.AddPicture(TestPictures::save(coordinatePicture(120, 90), path("a.png")));
    });
    expectUndoable("load", [&] {
        ASSERT_TRUE(
            m_engine.LoadPicture(TestPictures::save(solidPicture(60, 50, Qt::red), path("b.png"))));
    });
    expectUndoable("placed add", [&] {
        ASSERT_TRUE(m_engine.addPlacedPicture(
            TestPictures::save(solidPicture(80, 60, Qt::blue), path("c.png")), 200, 10));
    });
    paint();
    expectUndoable("move", [&] { m_engine.MovePicture(15, -7, 0); });
    expectUndoable("stretch", [&] {
        paint();
        const QRect right = m_engine.handleRect(1);
        m_engine.StretchPicture(right.center().x(), right.center().y(), right.center().x() + 20,
                                right.center().y(), GrabHandle::Right);
    });
    expectUndoable("turn", [&] { m_engine.ModifyCurrentPicture(ModifyCode::TurnRight90); });
    expectUndoable("turn step", [&] { m_engine.ModifyCurrentPicture(ModifyCode::TurnLeftStep); });
    expectUndoable("layer down", [&] { m_engine.ReorderPicture(LayerCode::Down); });
    expectUndoable("layer up", [&] { m_engine.ReorderPicture(LayerCode::Up); });
    expectUndoable("window cut", [&] { cutCurrent(); });
    expectUndoable("trim line cut", [&] {
        const QRect box = m_engine.CurrentScreenBox();
        m_engine.SetTrimLine(box.center().x(), box.center().y(), TrimMode::FromBelow);
        paint();
        ASSERT_TRUE(m_engine.TrimByTrimLine());
    });
    expectUndoable("filter", [&] { ASSERT_TRUE(m_engine.ApplyFilter(FilterCode::Invert)); });
    expectUndoable("filter undo", [&] { m_engine.UndoFilter(); });
    expectUndoable("delete", [&] { m_engine.ReorderPicture(LayerCode::Delete); });
    expectUndoable("clear", [&] { m_engine.ClearPictures(); });
    EXPECT_TRUE(m_errors.isEmpty()) << m_errors.join('\n').toStdString();
}

TEST_F(UndoStackTest, StepsThatChangeNoRecordLeaveNoStep)
{
    placeTwo();
    const int steps = m_engine.undoStack().count();
    m_engine.ModifyCurrentPicture(ModifyCode::NextPicture); // a choice, not an edit
    m_engine.MovePicture(30, 30, 1);                        // the whole view slides
    m_engine.ReorderPicture(LayerCode::Down);               // already at the bottom
    EXPECT_EQ(m_engine.undoStack().count(), steps);
    EXPECT_FALSE(m_engine.Redo());
}

TEST_F(UndoStackTest, AnAddThatFailsLeavesNeitherRecordNorStep)
{
    placeTwo();
    const CanvasSnapshot before = m_engine.snapshot();
    const int steps = m_engine.undoStack().count();
    QFile broken(path("broken.png"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a picture");
    broken.close();
    EXPECT_FALSE(m_engine.addPlacedPicture(broken.fileName(), 5, 5));
    EXPECT_FALSE(m_errors.isEmpty());
    EXPECT_EQ(m_engine.snapshot(), before);
    EXPECT_EQ(m_engine.undoStack().count(), steps);
}

TEST_F(UndoStackTest, NudgesAndMovesOfOnePictureInARowMakeOneStep)
{
    placeTwo();
    const CanvasSnapshot before = m_engine.snapshot();
    const int steps = m_engine.undoStack().count();
    m_engine.ModifyCurrentPicture(ModifyCode::NudgeRight);
    m_engine.ModifyCurrentPicture(ModifyCode::NudgeRight);
    m_engine.ModifyCurrentPicture(ModifyCode::NudgeUp);
    m_engine.MovePicture(12, 3, 0);
    EXPECT_EQ(m_engine.undoStack().count(), steps + 1);
    const CanvasSnapshot moved = m_engine.snapshot();

    // Another picture, or another kind of edit in between, starts a new step.
    m_engine.ModifyCurrentPicture(ModifyCode::NextPicture);
    m_engine.ModifyCurrentPicture(ModifyCode::NudgeLeft);
    EXPECT_EQ(m_engine.undoStack().count(), steps + 2);
    m_engine.ModifyCurrentPicture(ModifyCode::TurnRightStep);
    m_engine.ModifyCurrentPicture(ModifyCode::NudgeLeft);
    EXPECT_EQ(m_engine.undoStack().count(), steps + 4);

    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(m_engine.Undo());
    EXPECT_EQ(m_engine.snapshot().pictures, moved.pictures);
    ASSERT_TRUE(m_engine.Undo());
    EXPECT_EQ(m_engine.snapshot(), before);

    // Moves that come back to where they started leave no step at all.
    m_engine.ModifyCurrentPicture(ModifyCode::NudgeDown);
    m_engine.ModifyCurrentPicture(ModifyCode::NudgeUp);
    EXPECT_EQ(m_engine.undoStack().count(), steps);
}

TEST_F(UndoStackTest, ClipFilesLastUntilNoStepCanReachThem)
{
    placeTwo();
    const QString clip = cutCurrent();
    ASSERT_TRUE(QFile::exists(clip));
    ASSERT_TRUE(m_engine.Undo());
    EXPECT_TRUE(QFile::exists(clip)); // redo can still reach it
    ASSERT_TRUE(m_engine.Redo());
    EXPECT_EQ(m_engine.picture(1).file, clip);

    // Still shown on the canvas: clearing the steps keeps it.
    m_engine.undoStack().clear();
    EXPECT_TRUE(QFile::exists(clip));

    // Undone, then a new edit drops the redo branch and the file with it.
    const QString second = cutCurrent();
    ASSERT_TRUE(m_engine.Undo());
    EXPECT_EQ(m_engine.picture(1).file, clip);
    EXPECT_TRUE(QFile::exists(second));
    m_engine.MovePicture(5, 5, 0);
    EXPECT_FALSE(QFile::exists(second));
    EXPECT_TRUE(QFile::exists(clip));

    // Undone, then the stack is cleared.
    const QString third = cutCurrent();
    ASSERT_TRUE(m_engine.Undo());
    m_engine.undoStack().clear();
    EXPECT_FALSE(QFile::exists(third));
    EXPECT_TRUE(QFile::exists(clip));
    // The user's own files are never touched.
    EXPECT_TRUE(QFile::exists(path("a.png")));
    EXPECT_TRUE(QFile::exists(path("b.png")));
}

TEST_F(UndoStackTest, ClipFilesGoWhenTheLimitDropsTheirLastStep)
{
    placeTwo();
    m_engine.undoStack().clear();
    const QString first = cutCurrent();
    const QString second = cutCurrent(); // its step starts from the first clip
    ASSERT_NE(first, second);
    const auto turn = [&] { m_engine.ModifyCurrentPicture(ModifyCode::TurnRightStep); };
    for (int i = 0; i < CImgJoinEngine::UndoLimit - 2; ++i)
        turn();
    EXPECT_EQ(m_engine.undoStack().count(), CImgJoinEngine::UndoLimit);
    turn(); // the first cut leaves the stack; the second still starts from its file
    EXPECT_TRUE(QFile::exists(first));
    turn(); // now no step names it
    EXPECT_FALSE(QFile::exists(first));
    EXPECT_TRUE(QFile::exists(second)); // on the canvas
    EXPECT_EQ(m_engine.undoStack().count(), CImgJoinEngine::UndoLimit);
}

TEST_F(UndoStackTest, UndoingAndRedoingASessionGivesTheSameJoinedPicture)
{
    m_engine.undoStack().clear();
    placeTwo();
    paint();
    m_engine.MovePicture(-20, 10, 0);
    m_engine.ModifyCurrentPicture(ModifyCode::NudgeRight);
    const QRect bottom = m_engine.handleRect(3);
    paint();
    m_engine.StretchPicture(bottom.center().x(), bottom.center().y(), bottom.center().x(),
                            bottom.center().y() + 25, GrabHandle::Bottom);
    m_engine.ModifyCurrentPicture(ModifyCode::NextPicture);
    cutCurrent();
    ASSERT_TRUE(m_engine.ApplyFilter(FilterCode::Invert));
    m_engine.ModifyCurrentPicture(ModifyCode::TurnRight90);
    const QImage joined = m_engine.RenderJoinedPicture();
    ASSERT_FALSE(joined.isNull());

    int undone = 0;
    while (m_engine.Undo())
        ++undone;
    EXPECT_EQ(m_engine.GetPictureCount(), 0);
    for (int i = 0; i < undone; ++i)
        ASSERT_TRUE(m_engine.Redo());
    EXPECT_FALSE(m_engine.Redo());
    EXPECT_EQ(m_engine.RenderJoinedPicture(), joined);
    EXPECT_TRUE(m_errors.isEmpty()) << m_errors.join('\n').toStdString();
}

TEST_F(UndoStackTest, UndoIsRefusedWhileAPictureJobRuns)
{
    placeTwo();
    PixelJob job = m_engine.beginFilter(FilterCode::Invert);
    ASSERT_TRUE(job.valid());
    const CanvasSnapshot before = m_engine.snapshot();
    EXPECT_FALSE(m_engine.Undo());
    EXPECT_EQ(m_engine.snapshot(), before);
    job.run();
    EXPECT_TRUE(m_engine.endFilter(job));
    EXPECT_TRUE(m_engine.Undo());
    EXPECT_EQ(m_engine.snapshot(), before);
}
