// The circling crowd: positions, the far and near passes about the building,
// the phase and its wrap, and DrawFigureCell; also the scene's sine and cosine.
#include <cmath>
#include <cstring>

#include "image/compose.h"
#include "scene/trig.h"
#include "tests/scene/scene_test_support.h"

namespace {

class CirclingWalkersTest : public SceneTest {
  protected:
    void CircleScene(int walkers, int speed) {
        InstallSyntheticScene(0);
        CopySceneSettings(*scene, kDefaultSettings);
        scene->settings.circleWalkers = walkers;
        scene->settings.circleSpeed = speed;
        RestoreFrame(*scene);
    }

    // Makes a cell of the figure sheet wholly transparent.
    void ClearCell(int entry) {
        const SpriteCell& cell = scene->spriteCells[entry];
        FillImageRect(scene->figureSheet, {cell.srcX, cell.srcY, cell.width, cell.height}, 0);
    }
};

TEST_F(CirclingWalkersTest, TwoWalkersAtPhaseZeroStandInFrontOfAndBehindTheBuilding) {
    CircleScene(2, 100);
    UpdateCirclingWalkers(*scene);
    // Walker 0, inner ring at angle 0: (488, 434), drawn after the building.
    EXPECT_EQ(FramePixelAt(488, 434), CellColour(0));
    // Walker 1, outer ring at angle 3.1415926535: (485, 390), hidden by the building.
    EXPECT_EQ(FramePixelAt(485, 390), CellColour(kBuildingKind));
    EXPECT_EQ(FramePixelAt(431, 413), CellColour(kLampsKind));

    CircleScene(2, 100);
    ClearCell(kBuildingKind);
    UpdateCirclingWalkers(*scene);
    EXPECT_EQ(FramePixelAt(485, 390), CellColour(1)) << "walker 1 is drawn, before the building";
    EXPECT_NE(FramePixelAt(484, 390), CellColour(1)) << "expected its top-left corner at x 485";
    EXPECT_NE(FramePixelAt(485, 389), CellColour(1)) << "expected its top-left corner at y 390";
}

TEST_F(CirclingWalkersTest, PhaseAdvancesBySpeedOverTenThousand) {
    CircleScene(50, 100);
    UpdateCirclingWalkers(*scene);
    EXPECT_DOUBLE_EQ(scene->circlePhase, 0.01);
    UpdateCirclingWalkers(*scene);
    EXPECT_DOUBLE_EQ(scene->circlePhase, 0.02);
}

TEST_F(CirclingWalkersTest, PhaseWrapsOnlyAboveTheTurnAndKeepsTheRemainder) {
    CircleScene(50, 0);
    scene->circlePhase = kCircleTurn;
    UpdateCirclingWalkers(*scene);
    EXPECT_EQ(scene->circlePhase, kCircleTurn) << "a phase equal to 6.283185307 is not reduced";

    CircleScene(50, 100);
    scene->circlePhase = kCircleTurn;
    UpdateCirclingWalkers(*scene);
    EXPECT_EQ(scene->circlePhase, (kCircleTurn + 0.01) - kCircleTurn);
    EXPECT_NE(kCircleTurn, 2 * std::acos(-1.0)) << "the turn is the written constant, not 2 pi";
}

TEST_F(CirclingWalkersTest, NoWalkersDrawsOnlyTheBuildingAndLamps) {
    CircleScene(0, 100);
    UpdateCirclingWalkers(*scene);
    EXPECT_DOUBLE_EQ(scene->circlePhase, 0.01) << "the phase advances with no walkers";
    EXPECT_EQ(FramePixelAt(476, 366), CellColour(kBuildingKind));
    EXPECT_EQ(FramePixelAt(431, 413), CellColour(kLampsKind));
    // Walker 0's clump would reach below the building, to row 465.
    EXPECT_EQ(FramePixelAt(488, 450), BackgroundPixel(488, 450)) << "no clump at walker 0's place";
}

TEST_F(CirclingWalkersTest, OneWalkerShowsClumpKindZero) {
    CircleScene(1, 100);
    UpdateCirclingWalkers(*scene);
    EXPECT_EQ(FramePixelAt(488, 434), CellColour(0));
}

TEST_F(CirclingWalkersTest, OuterRingIsSortedByTheInnerRingsCentreLine) {
    // Walker 1 at angle pi/2 of the outer ring: y = trunc(cos x 25) + 415 = 415,
    // which is at or below the inner centre 414: in front of the building.
    CircleScene(4, 100);
    ClearCell(kLampsKind);
    UpdateCirclingWalkers(*scene);
    const int x = static_cast<int>(SceneSine(kCircleTurn / 4) * 66) + 485;
    const int y = static_cast<int>(SceneCosine(kCircleTurn / 4) * 25) + 415;
    EXPECT_EQ(x, 551);
    EXPECT_EQ(y, 415);
    EXPECT_EQ(FramePixelAt(x, y), CellColour(1));
}

TEST_F(CirclingWalkersTest, FigureCellsUseTheClassesCellSet) {
    InstallSyntheticScene(1);
    RestoreFrame(*scene);
    DrawFigureCell(*scene, 300, 300, 6);
    EXPECT_EQ(FramePixelAt(300, 300), CellColour(11 + 6));
    DrawFigureCell(*scene, 300, 320, 11);  // no such kind: nothing drawn
    EXPECT_EQ(FramePixelAt(300, 320), BackgroundPixel(300, 320));
}

TEST(SceneTrigTest, SineAndCosineAgreeWithTheRuntimeToOneUnitInTheLastPlace) {
    auto ulps = [](double a, double b) {
        int64_t x, y;
        std::memcpy(&x, &a, 8);
        std::memcpy(&y, &b, 8);
        return x > y ? x - y : y - x;
    };
    EXPECT_EQ(SceneSine(0.0), 0.0);
    EXPECT_EQ(SceneCosine(0.0), 1.0);
    for (int i = 1; i < 20000; ++i) {
        const double angle = i * (4 * kCircleTurn / 20000) - 1.0;
        ASSERT_LE(ulps(SceneSine(angle), std::sin(angle)), 1) << "sine at " << angle;
        ASSERT_LE(ulps(SceneCosine(angle), std::cos(angle)), 1) << "cosine at " << angle;
    }
}

}  // namespace
