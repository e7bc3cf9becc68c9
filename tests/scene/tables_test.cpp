// The scene tables after scaling, the frame rectangles, the quad map and the
// choice of resolution class.
#include <cstring>

#include "tests/scene/scene_test_support.h"

namespace {

void ExpectPoint(const Point& point, int x, int y, const char* what) {
    EXPECT_EQ(point.x, x) << what << ": expected x " << x << ", got " << point.x;
    EXPECT_EQ(point.y, y) << what << ": expected y " << y << ", got " << point.y;
}

using SceneTablesTest = SceneTest;

TEST_F(SceneTablesTest, ClassOneScalesWalkwaysAndSeatsByItsFactor) {
    ScaleSceneTables(*scene, 1);
    ExpectPoint(scene->walkwayQuads[0].p0, 347, 351, "left walkway P0");
    ExpectPoint(scene->walkwayQuads[0].p1, 351, 351, "left walkway P1");
    ExpectPoint(scene->walkwayQuads[0].p2, 70, 454, "left walkway P2");
    ExpectPoint(scene->walkwayQuads[0].p3, 110, 489, "left walkway P3");
    ExpectPoint(scene->seatRegions[1].corners.p2, 307, 507, "seat region 1 P2");
    EXPECT_EQ(scene->cellSetOffset, 11);
}

TEST_F(SceneTablesTest, ScalingLeavesSeatCountsAndSizesAlone) {
    ScaleSceneTables(*scene, 2);
    int total = 0;
    for (int r = 0; r < kSeatRegionCount; ++r) {
        EXPECT_EQ(scene->seatRegions[r].count, kStoredSeatRegions[r].count);
        EXPECT_EQ(scene->seatRegions[r].size, kStoredSeatRegions[r].size);
        total += scene->seatRegions[r].count;
    }
    EXPECT_EQ(total, 47);
    ExpectPoint(scene->walkwayQuads[1].p3, 598, 365, "right walkway P3");
    ExpectPoint(scene->dotQuads[0].p0, 225, 236, "dot walkway P0");               // 361 x 0.625 = 225.6
    ExpectPoint(scene->seatRegions[1].corners.p2, 245, 406, "seat region 1 P2");  // 650 x 0.625 = 406.25
    EXPECT_EQ(scene->cellSetOffset, 22);
}

TEST_F(SceneTablesTest, ClassZeroAndPreviewKeepTheStoredValues) {
    for (int sceneClass : {0, 3}) {
        NewBlankScene();
        ScaleSceneTables(*scene, sceneClass);
        EXPECT_EQ(0, std::memcmp(scene->walkwayQuads, kStoredWalkwayQuads, sizeof kStoredWalkwayQuads))
            << "class " << sceneClass;
        EXPECT_EQ(0, std::memcmp(scene->seatRegions, kStoredSeatRegions, sizeof kStoredSeatRegions))
            << "class " << sceneClass;
    }
    EXPECT_EQ(scene->cellSetOffset, 22) << "the preview uses the smallest cell set";
}

TEST_F(SceneTablesTest, FrameRectangleOfEachClass) {
    const Rect expected[3] = {{90, 366, 917, 334}, {70, 286, 727, 271}, {56, 228, 592, 228}};
    for (int sceneClass = 0; sceneClass < 3; ++sceneClass) {
        NewBlankScene();
        ScaleSceneTables(*scene, sceneClass);
        const Rect frame = SceneFrameRect(*scene);
        EXPECT_EQ(frame.x, expected[sceneClass].x) << "class " << sceneClass;
        EXPECT_EQ(frame.y, expected[sceneClass].y) << "class " << sceneClass;
        EXPECT_EQ(frame.width, expected[sceneClass].width) << "class " << sceneClass;
        EXPECT_EQ(frame.height, expected[sceneClass].height) << "class " << sceneClass;
    }
    NewBlankScene();
    ScaleSceneTables(*scene, 3);
    const Rect preview = SceneFrameRect(*scene);
    EXPECT_EQ(preview.width * preview.height, 0) << "the preview has no frame";
}

TEST_F(SceneTablesTest, QuadMapCornersAreTheCornerPoints) {
    const WalkwayQuad& quad = kStoredWalkwayQuads[1];
    ExpectPoint(QuadPoint(quad, 0.0f, 0.0f), quad.p3.x, quad.p3.y, "(0, 0)");
    ExpectPoint(QuadPoint(quad, 1.0f, 0.0f), quad.p2.x, quad.p2.y, "(1, 0)");
    ExpectPoint(QuadPoint(quad, 0.0f, 1.0f), quad.p1.x, quad.p1.y, "(0, 1)");
    ExpectPoint(QuadPoint(quad, 1.0f, 1.0f), quad.p0.x, quad.p0.y, "(1, 1)");
}

TEST_F(SceneTablesTest, QuadMapTruncatesItsOwnEvaluationOrder) {
    // Left walkway at (0.5, 0.5): x = (141 - 25.5) x 0.5 + (450 - 2.5) x 0.5 = 281.5,
    // y = (626 - 88) x 0.5 + (582 - 66) x 0.5 = 527.
    ExpectPoint(QuadPoint(kStoredWalkwayQuads[0], 0.5f, 0.5f), 281, 527, "middle of the left walkway");
    // Truncation is toward zero on a quad with negative corners.
    const WalkwayQuad negative = {{-3, -3}, {-3, -3}, {-3, -3}, {-3, -3}};
    ExpectPoint(QuadPoint(negative, 0.3f, 0.7f), -3, -3, "negative quad");
    const WalkwayQuad sloped = {{0, 0}, {0, 0}, {-5, 0}, {0, 0}};
    ExpectPoint(QuadPoint(sloped, 0.5f, 0.0f), -2, 0, "-2.5 truncated");
}

TEST_F(SceneTablesTest, DotQuadOneIsAllZeros) {
    const WalkwayQuad& quad = scene->dotQuads[1];
    for (const Point& point : {quad.p0, quad.p1, quad.p2, quad.p3}) {
        ExpectPoint(point, 0, 0, "dot quad 1");
    }
}

TEST_F(SceneTablesTest, ResolutionClassFollowsTheClientWidth) {
    struct Case {
        int client, screen, expected;
    };
    const Case cases[] = {
        {1280, 1280, 0},
        {1024, 1024, 0},
        {1023, 1023, 1},
        {800, 800, 1},
        {799, 799, 2},
        {640, 640, 2},
        {639, 639, kNoClass},
        {600, 600, kNoClass},
        {152, 1024, kPreviewClass},
        {639, 640, kPreviewClass},
        {0, 1024, kPreviewClass},
        {-5, -5, kNoClass},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ChooseResolutionClass(c.client, c.screen), c.expected)
            << "client " << c.client << " on a screen " << c.screen << " wide";
    }
}

}  // namespace
