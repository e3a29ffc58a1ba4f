#include "EngineFixture.h"

#include <climits>

using TestPictures::coordinatePicture;

class PictureGeometryTest : public EngineFixture
{
protected:
    // One measured picture of the given size at the origin.
    void place(int width, int height)
    {
        ASSERT_TRUE(m_engine.addPlacedPicture(path("none.png"), 0, 0, width, height));
    }
    const JoinPicture& pic() { return m_engine.picture(m_engine.currentPicture()); }
};

TEST_F(PictureGeometryTest, RightHandleClampsOnlyWhenShrinking)
{
    place(40, 30);
    m_engine.StretchPicture(40, 15, -10, 15, GrabHandle::Right);
    EXPECT_EQ(pic().width, 10);
    m_engine.StretchPicture(40, 15, 90, 15, GrabHandle::Right);
    EXPECT_EQ(pic().width, 60);
    m_engine.StretchPicture(0, 30, 0, -100, GrabHandle::Bottom);
    EXPECT_EQ(pic().height, 10);
}

TEST_F(PictureGeometryTest, LeftHandleClampKeepsTheFullMoveSoTheRightEdgeShifts)
{
    place(40, 30);
    m_engine.StretchPicture(0, 15, 50, 15, GrabHandle::Left);
    EXPECT_EQ(pic().x, 50);
    EXPECT_EQ(pic().width, 10);
    m_engine.StretchPicture(0, 0, 0, 25, GrabHandle::Top);
    EXPECT_EQ(pic().y, 25);
    EXPECT_EQ(pic().height, 10);
    m_engine.StretchPicture(0, 0, -20, 0, GrabHandle::Left);
    EXPECT_EQ(pic().x, 30);
    EXPECT_EQ(pic().width, 30);
    m_engine.StretchPicture(0, 0, 99, 99, GrabHandle::None);
    EXPECT_EQ(pic().x, 30);
}

TEST_F(PictureGeometryTest, HitTestPrefersTheLaterHandleWhereTheyOverlap)
{
    addPicture(coordinatePicture(10, 10), "a.png");
    paint();
    EXPECT_EQ(m_engine.HitTestHandle(2, 2), GrabHandle::Top);
    EXPECT_EQ(m_engine.HitTestHandle(5, 9), GrabHandle::Bottom);
    EXPECT_EQ(m_engine.HitTestHandle(-6, 5), GrabHandle::Left);
    EXPECT_EQ(m_engine.HitTestHandle(15, -1), GrabHandle::Right);
    EXPECT_EQ(m_engine.HitTestHandle(17, 5), GrabHandle::None); // right edge is outside
    EXPECT_EQ(m_engine.HitTestHandle(100, 100), GrabHandle::None);
}

TEST_F(PictureGeometryTest, MovesAreInScreenPixelsConvertedToCanvasUnits)
{
    place(40, 30);
    m_engine.setCanvasMapping(2.0f, 0, 0);
    m_engine.MovePicture(10, 0, 0);
    EXPECT_EQ(pic().x, 5);
    m_engine.MovePicture(10, -4, 1);
    EXPECT_EQ(pic().x, 5);
    EXPECT_EQ(m_engine.canvasOrigin(), QPoint(10, -4));
    m_engine.ClearPictures();
    m_engine.MovePicture(3, 3, 0); // no current picture: nothing
    EXPECT_EQ(m_engine.canvasOrigin(), QPoint(10, -4));
}

TEST_F(PictureGeometryTest, NudgesAndTurns)
{
    place(40, 30);
    for (ModifyCode code :
         { ModifyCode::NudgeUp, ModifyCode::NudgeUp, ModifyCode::NudgeDown, ModifyCode::NudgeLeft,
           ModifyCode::NudgeRight, ModifyCode::NudgeRight })
        m_engine.ModifyCurrentPicture(code);
    EXPECT_EQ(pic().x, 1);
    EXPECT_EQ(pic().y, -1);
    for (int i = 0; i < 3; ++i)
        m_engine.ModifyCurrentPicture(ModifyCode::TurnRightStep);
    EXPECT_NEAR(pic().angle, 0.3f, 1e-5);
    m_engine.ModifyCurrentPicture(ModifyCode::TurnLeftStep);
    EXPECT_NEAR(pic().angle, 0.2f, 1e-5);
    const std::pair<ModifyCode, float> turns[] = { { ModifyCode::TurnRight90, 90.f },
                                                   { ModifyCode::TurnRight180, 180.f },
                                                   { ModifyCode::TurnLeft90, -90.f },
                                                   { ModifyCode::TurnLeft180, -180.f },
                                                   { ModifyCode::TurnNone, 0.f } };
    for (auto [code, angle] : turns) {
        m_engine.ModifyCurrentPicture(code);
        EXPECT_EQ(pic().angle, angle) << codeValue(code);
    }
}

TEST_F(PictureGeometryTest, NextPictureWrapsAround)
{
    m_engine.ModifyCurrentPicture(ModifyCode::NextPicture); // no pictures: still wraps to 0
    EXPECT_EQ(m_engine.currentPicture(), 0);
    place(10, 10);
    m_engine.ModifyCurrentPicture(ModifyCode::NextPicture);
    EXPECT_EQ(m_engine.currentPicture(), 0);
    place(10, 10);
    place(10, 10);
    m_engine.ModifyCurrentPicture(ModifyCode::NextPicture);
    EXPECT_EQ(m_engine.currentPicture(), 0);
    m_engine.ModifyCurrentPicture(ModifyCode::NextPicture);
    EXPECT_EQ(m_engine.currentPicture(), 1);
}

TEST_F(PictureGeometryTest, LayersMoveWholeRecords)
{
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(m_engine.addPlacedPicture(path(QString("p%1.png").arg(i)), i, 0, 10, 10));
    EXPECT_EQ(m_engine.ReorderPicture(LayerCode::Up), 0); // top picture cannot go higher
    EXPECT_EQ(m_engine.ReorderPicture(LayerCode::Down), 1);
    EXPECT_EQ(m_engine.currentPicture(), 1);
    EXPECT_EQ(m_engine.picture(1).x, 2);
    EXPECT_EQ(m_engine.picture(2).x, 1);
    EXPECT_EQ(m_engine.ReorderPicture(LayerCode::Down), 1);
    EXPECT_EQ(m_engine.ReorderPicture(LayerCode::Down), 0); // already at the bottom
    EXPECT_EQ(m_engine.ReorderPicture(LayerCode::Up), 1);
    EXPECT_EQ(m_engine.currentPicture(), 1);
}

TEST_F(PictureGeometryTest, DeletingMakesTheOneBelowCurrent)
{
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(m_engine.addPlacedPicture(path(QString("p%1.png").arg(i)), i, 0, 10, 10));
    EXPECT_EQ(m_engine.ReorderPicture(LayerCode::Delete), 1); // the top one
    EXPECT_EQ(m_engine.GetPictureCount(), 2);
    EXPECT_EQ(m_engine.currentPicture(), 1);
    m_engine.ModifyCurrentPicture(ModifyCode::NextPicture);
    EXPECT_EQ(m_engine.ReorderPicture(LayerCode::Delete), 1); // the bottom one
    EXPECT_EQ(m_engine.currentPicture(), 0);
    EXPECT_EQ(m_engine.picture(0).x, 1);
    EXPECT_EQ(m_engine.ReorderPicture(LayerCode::Delete), 1);
    EXPECT_EQ(m_engine.GetPictureCount(), 0);
    EXPECT_EQ(m_engine.currentPicture(), 0);
    EXPECT_EQ(m_engine.ReorderPicture(LayerCode::Delete), 0);
}

TEST_F(PictureGeometryTest, NoBoxIsPlacedMovedOrStretchedPastTheIntRange)
{
    // Placed where its right edge would lie beyond the range: refused.
    EXPECT_FALSE(m_engine.addPlacedPicture(path("far.png"), INT_MAX - 5, 0, 10, 10));
    EXPECT_EQ(m_engine.GetPictureCount(), 0);
    ASSERT_EQ(m_errors.size(), 1);
    EXPECT_TRUE(m_errors.first().contains("far.png")) << m_errors.first().toStdString();

    m_engine.ClearPictures();
    ASSERT_TRUE(m_engine.addPlacedPicture(path("edge.png"), INT_MAX - 50, 0, 40, 30));
    m_engine.MovePicture(INT_MAX, 0, 0);
    EXPECT_EQ(pic().x, INT_MAX - 40);
    // Stretches that would carry an edge past the range leave the box alone.
    m_engine.StretchPicture(0, 0, 100, 0, GrabHandle::Right);
    EXPECT_EQ(pic().width, 40);
    m_engine.StretchPicture(INT_MIN, 0, INT_MAX, 0, GrabHandle::Left);
    EXPECT_EQ(pic().x, INT_MAX - 40);
    EXPECT_EQ(pic().width, 40);
    m_engine.StretchPicture(0, INT_MIN, 0, INT_MAX, GrabHandle::Bottom);
    EXPECT_EQ(pic().height, 30);
    m_engine.StretchPicture(0, 0, -100, 0, GrabHandle::Right); // a stretch that fits still works
    EXPECT_EQ(pic().width, 10);
    EXPECT_EQ(pic().x, INT_MAX - 40);
}

TEST_F(PictureGeometryTest, ACutWhoseBoxWouldLeaveTheIntRangeIsRefused)
{
    // At half size a window 1000 pixels wide cuts 2000 canvas units, more
    // than are left before the end of the range.
    const QString file = TestPictures::save(coordinatePicture(50, 50), path("edge.png"));
    const int x = 2147483392; // exact in single precision, as the mapping computes
    ASSERT_TRUE(m_engine.addPlacedPicture(file, x, 0, 50, 50));
    m_engine.setCanvasMapping(0.5f, 0, 0);
    const int left = x / 2 + 10;
    EXPECT_TRUE(m_engine.ClipCurrentPicture(left, 0, left + 1000, 40).isEmpty());
    EXPECT_EQ(pic().file, file);
    EXPECT_EQ(pic().x, x);
    EXPECT_EQ(pic().width, 50);
    EXPECT_EQ(m_errors.size(), 1);
}
