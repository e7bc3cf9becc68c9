// Placement of the walkway walkers, their restarts and rests, the dots and
// their clipping, and the foreground pieces.
#include <cmath>

#include "image/compose.h"
#include "tests/scene/scene_test_support.h"

namespace {

class WalkwayWalkersTest : public SceneTest {
  protected:
    // Puts every position of dot quad 0 at scene position (x, y).
    void PinDotQuad(int x, int y) { scene->dotQuads[0] = {{x, y}, {x, y}, {x, y}, {x, y}}; }

    // One figure walker on the left walkway of a class 0 scene.
    void OneFigureWalker(float u, float v, int pause) {
        InstallSyntheticScene(0);
        CopySceneSettings(*scene, kDefaultSettings);
        scene->settings.walkwayWalkers = 1;
        scene->walkwayWalkers[0] = {u, v, 0.001f, 0.004f, pause, 6, 0};
        scene->walkwayWalkers[kDotWalkerFirst] = {0.5f, 0.5f, 0.0f, 0.0f, 0, 0, 0};
    }
};

TEST_F(WalkwayWalkersTest, PlacementFillsTheFirstSlotsOfBothGroups) {
    CopySceneSettings(*scene, kDefaultSettings);
    scene->randomState = 12345;
    PlaceWalkwayWalkers(*scene);
    const double base = 30 / 7500.0;
    for (int i = 0; i < kWalkwayWalkerSlots; ++i) {
        const WalkwayWalker& w = scene->walkwayWalkers[i];
        const bool figure = i < 50;
        const bool dot = i >= 200 && i < 250;
        if (!figure && !dot) {
            EXPECT_EQ(w.dv, 0.0f) << "slot " << i << " should be unused";
            continue;
        }
        EXPECT_EQ(w.pause, 0) << "slot " << i;
        EXPECT_GE(w.v, 0.0f) << "slot " << i;
        EXPECT_LE(w.v, 0.99f) << "slot " << i;
        EXPECT_GE(w.dv, base - 1e-7) << "slot " << i;
        EXPECT_LE(w.dv, base + (figure ? 0.0001995 : 0.000149) + 1e-7) << "slot " << i;
        if (dot) {
            EXPECT_EQ(w.way, 0) << "dot slot " << i;
        } else if (w.way == 0) {
            EXPECT_TRUE(w.cell == 6 || w.cell == 7) << "slot " << i << ": expected cell 6 or 7, got " << w.cell;
        } else {
            EXPECT_EQ(w.way, 1) << "slot " << i;
            EXPECT_TRUE(w.cell == 8 || w.cell == 9) << "slot " << i << ": expected cell 8 or 9, got " << w.cell;
        }
    }
}

TEST_F(WalkwayWalkersTest, PlacementDrawsInTheOrderAcrossSpeedAlongThenSide) {
    CopySceneSettings(*scene, kDefaultSettings);
    scene->randomState = 7;
    const float a = (SceneRandom(*scene) % 100) / 100.0f;
    const float b = (SceneRandom(*scene) % 100) / 100.0f;
    const float s = (SceneRandom(*scene) % 400) / 2000000.0f + 30 / 7500.0f;
    const float c = (SceneRandom(*scene) % 100) / 100.0f;
    const int side = SceneRandom(*scene);
    const int cell = (side % 2 == 0 ? 6 : 8) + SceneRandom(*scene) % 2;
    scene->randomState = 7;
    PlaceWalkwayWalkers(*scene);
    const float du = (b - a) * s;
    EXPECT_EQ(scene->walkwayWalkers[0].u, a + du * c);
    EXPECT_EQ(scene->walkwayWalkers[0].v, c);
    EXPECT_EQ(scene->walkwayWalkers[0].du, du);
    EXPECT_EQ(scene->walkwayWalkers[0].dv, s);
    EXPECT_EQ(scene->walkwayWalkers[0].way, side % 2);
    EXPECT_EQ(scene->walkwayWalkers[0].cell, cell);
}

TEST_F(WalkwayWalkersTest, RestartTestIsAFloatAgainstTheDouble099) {
    OneFigureWalker(0.25f, 0.99f, 0);  // 0.99f is 0.99000001
    UpdateWalkwayWalkers(*scene);
    EXPECT_EQ(scene->walkwayWalkers[0].v, 0.0f) << "0.99f passes cv > 0.99";
    EXPECT_GE(scene->walkwayWalkers[0].pause, 9) << "a restart rests 10 to 39 ticks, one already counted";
    EXPECT_LE(scene->walkwayWalkers[0].pause, 38);
    EXPECT_EQ(scene->walkwayWalkers[0].u, 0.25f) << "u is kept across a restart";

    const float below = std::nextafter(0.99f, 0.0f);
    OneFigureWalker(0.25f, below, 0);
    UpdateWalkwayWalkers(*scene);
    EXPECT_EQ(scene->walkwayWalkers[0].v, static_cast<float>(below + 0.004f)) << "the float below 0.99 walks on";
    EXPECT_EQ(scene->walkwayWalkers[0].pause, 0);
}

TEST_F(WalkwayWalkersTest, WalkerPastTheEndWithRestLeftKeepsWalkingAndIsDrawnAtTheEnd) {
    OneFigureWalker(0.0f, 1.2f, 3);
    UpdateWalkwayWalkers(*scene);
    EXPECT_FLOAT_EQ(scene->walkwayWalkers[0].v, 1.204f);
    EXPECT_EQ(scene->walkwayWalkers[0].pause, 2);
    const Point end = QuadPoint(scene->walkwayQuads[0], 0.0f, 1.0f);
    EXPECT_EQ(FramePixelAt(end.x, end.y), CellColour(6)) << "drawn with v clamped to 1";
    scene->walkwayWalkers[0].pause = 0;
    UpdateWalkwayWalkers(*scene);
    EXPECT_EQ(scene->walkwayWalkers[0].v, 0.0f) << "restarts on the first tick without rest";
}

TEST_F(WalkwayWalkersTest, RestingWalkerStandsUntilPauseComesDownToFour) {
    OneFigureWalker(0.5f, 0.0f, 6);
    UpdateWalkwayWalkers(*scene);  // pause 6 -> 5, no move
    EXPECT_EQ(scene->walkwayWalkers[0].v, 0.0f);
    UpdateWalkwayWalkers(*scene);  // pause 5 -> 4, no move
    EXPECT_EQ(scene->walkwayWalkers[0].v, 0.0f);
    UpdateWalkwayWalkers(*scene);  // pause 4: moves
    EXPECT_EQ(scene->walkwayWalkers[0].v, 0.004f);
    EXPECT_EQ(scene->walkwayWalkers[0].pause, 3);
}

TEST_F(WalkwayWalkersTest, RestartDrawsTargetSpeedAndRestInThatOrder) {
    OneFigureWalker(0.25f, 1.0f, 0);
    scene->randomState = 99;
    const float target = static_cast<float>((SceneRandom(*scene) % 100) / 100.0);
    const float dv = static_cast<float>((SceneRandom(*scene) % 400) / 2000000.0 + 30 / 7500.0);
    const int pause = SceneRandom(*scene) % 30 + 10;
    const float du = static_cast<float>((static_cast<double>(target) - 0.25) * dv);
    scene->randomState = 99;
    UpdateWalkwayWalkers(*scene);
    EXPECT_EQ(scene->walkwayWalkers[0].dv, dv);
    EXPECT_EQ(scene->walkwayWalkers[0].du, du);
    EXPECT_EQ(scene->walkwayWalkers[0].pause, pause - 1);
}

TEST_F(WalkwayWalkersTest, DotsAreClippedAtTheFrameEdges) {
    InstallSyntheticScene(0);
    CopySceneSettings(*scene, kDefaultSettings);
    scene->settings.walkwayWalkers = 1;
    const int width = ImageWidth(scene->frameImage);
    const int height = ImageHeight(scene->frameImage);
    struct Case {
        int dx, dy;
        bool drawn;
    };
    const Case cases[] = {{0, 10, false},        {10, 0, false},          {1, 1, true},          {width - 2, 10, false},
                          {width - 3, 10, true}, {10, height - 2, false}, {10, height - 3, true}};
    for (const Case& c : cases) {
        RestoreFrame(*scene);
        PinDotQuad(scene->frameOrigin.x + c.dx, scene->frameOrigin.y + c.dy);
        scene->walkwayWalkers[0] = {0.5f, 0.5f, 0.0f, 0.0f, 0, 6, 0};
        scene->walkwayWalkers[kDotWalkerFirst] = {0.5f, 0.5f, 0.0f, 0.0f, 0, 0, 0};
        UpdateWalkwayWalkers(*scene);
        const bool black = *PixelAddress(scene->frameImage, c.dx, c.dy) == 0;
        EXPECT_EQ(black, c.drawn) << "dot at frame (" << c.dx << ", " << c.dy << ")";
    }
}

TEST_F(WalkwayWalkersTest, DotsAreTwoPixelsSquareExceptInClassTwo) {
    for (int sceneClass : {0, 1, 2}) {
        InstallSyntheticScene(sceneClass);
        CopySceneSettings(*scene, kDefaultSettings);
        scene->settings.walkwayWalkers = 1;
        PinDotQuad(scene->frameOrigin.x + 20, scene->frameOrigin.y + 20);
        scene->walkwayWalkers[kDotWalkerFirst] = {0.5f, 0.5f, 0.0f, 0.0f, 0, 0, 0};
        RestoreFrame(*scene);
        UpdateWalkwayWalkers(*scene);
        const int size = sceneClass == 2 ? 1 : 2;
        EXPECT_EQ(*PixelAddress(scene->frameImage, 20, 20), 0) << "class " << sceneClass;
        EXPECT_EQ(*PixelAddress(scene->frameImage, 19 + size, 19 + size), 0) << "class " << sceneClass;
        EXPECT_NE(*PixelAddress(scene->frameImage, 20 + size, 20), 0) << "class " << sceneClass;
        EXPECT_NE(*PixelAddress(scene->frameImage, 20, 20 + size), 0) << "class " << sceneClass;
    }
}

TEST_F(WalkwayWalkersTest, NoWalkersStillDrawsTheForegroundPieces) {
    InstallSyntheticScene(0);
    CopySceneSettings(*scene, kDefaultSettings);
    scene->settings.walkwayWalkers = 0;
    scene->walkwayWalkers[0] = {0.5f, 0.5f, 0.01f, 0.01f, 0, 6, 0};
    RestoreFrame(*scene);
    UpdateWalkwayWalkers(*scene);
    DrawForegroundPieces(*scene);
    EXPECT_EQ(scene->walkwayWalkers[0].v, 0.5f) << "an unused slot does not move";
    EXPECT_EQ(FramePixelAt(95, 549), CellColour(kLeftForegroundCell));
    EXPECT_EQ(FramePixelAt(844, 552), CellColour(kRightForegroundCell));
}

TEST_F(WalkwayWalkersTest, ForegroundPiecesAreClippedToASquashedSheet) {
    InstallSyntheticScene(0);
    ASSERT_EQ(ScaleImage(&scene->foregroundSheet, 1.0, 0.9375), 1);  // 1280 x 720: 100 rows become 93
    ASSERT_EQ(ImageHeight(scene->foregroundSheet), 93);
    RestoreFrame(*scene);
    DrawForegroundPieces(*scene);
    // Source rows 1 to 92 exist: 92 rows drawn from y = 549, the rest left alone.
    EXPECT_EQ(FramePixelAt(95, 549 + 91), CellColour(kLeftForegroundCell));
    EXPECT_EQ(FramePixelAt(95, 549 + 92), BackgroundPixel(95, 549 + 92));
    EXPECT_EQ(FramePixelAt(844, 552 + 91), CellColour(kRightForegroundCell));
    EXPECT_EQ(FramePixelAt(844, 552 + 92), BackgroundPixel(844, 552 + 92));
}

}  // namespace
