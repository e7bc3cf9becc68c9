// The seated crowd shuffle: the patch ring and its cursor, and the patches'
// clipping to the frame.
#include <algorithm>

#include "image/compose.h"
#include "tests/scene/scene_test_support.h"

namespace {

class SeatShuffleTest : public SceneTest {
  protected:
    void ShuffleScene(int patches) {
        InstallSyntheticScene(0);
        CopySceneSettings(*scene, kDefaultSettings);
        scene->settings.seatPatches = patches;
        scene->randomState = 5;
        RestoreFrame(*scene);
    }
};

TEST_F(SeatShuffleTest, FirstTickFillsEntriesZeroToFortySix) {
    ShuffleScene(120);
    ShuffleSeatedCrowd(*scene);
    EXPECT_EQ(scene->patchCursor, 47);
    for (int k = 0; k < 47; ++k) EXPECT_NE(scene->patchRing[k].size, 0) << "entry " << k;
    for (int k = 47; k < kPatchRingSize; ++k) ASSERT_EQ(scene->patchRing[k].size, 0) << "entry " << k;
    // The region order gives the sizes: 15 and 10 of size 3, 7 and 7 of 2, 4 and 4 of 1.
    EXPECT_EQ(scene->patchRing[24].size, 3);
    EXPECT_EQ(scene->patchRing[25].size, 2);
    EXPECT_EQ(scene->patchRing[38].size, 2);
    EXPECT_EQ(scene->patchRing[39].size, 1);
}

TEST_F(SeatShuffleTest, CursorRunsOneToMMinusOneAndNeverBackToZero) {
    ShuffleScene(100);
    ShuffleSeatedCrowd(*scene);
    const SeatPatch first = scene->patchRing[0];
    ShuffleSeatedCrowd(*scene);
    ShuffleSeatedCrowd(*scene);
    // 141 patches: entry 0, then 1 to 99, then 1 to 41.
    EXPECT_EQ(scene->patchCursor, 42);
    EXPECT_EQ(scene->patchRing[0].x, first.x);
    EXPECT_EQ(scene->patchRing[0].y, first.y);
    for (int k = 100; k < kPatchRingSize; ++k) ASSERT_EQ(scene->patchRing[k].size, 0) << "entry " << k;
}

TEST_F(SeatShuffleTest, PatchesComeFromTheirRegionsInRegionOrder) {
    ShuffleScene(599);
    for (int tick = 0; tick < 12; ++tick) ShuffleSeatedCrowd(*scene);
    // 564 patches so far, patch n in entry n; each tick samples the regions in order.
    for (int n = 0; n < 12 * 47; ++n) {
        int within = n % 47;
        int r = 0;
        while (within >= scene->seatRegions[r].count) within -= scene->seatRegions[r++].count;
        const WalkwayQuad& q = scene->seatRegions[r].corners;
        const SeatPatch& p = scene->patchRing[n];
        ASSERT_EQ(p.size, scene->seatRegions[r].size) << "entry " << n << " of region " << r;
        EXPECT_GE(p.x, std::min({q.p0.x, q.p1.x, q.p2.x, q.p3.x})) << "entry " << n;
        EXPECT_LE(p.x, std::max({q.p0.x, q.p1.x, q.p2.x, q.p3.x})) << "entry " << n;
        EXPECT_GE(p.y, std::min({q.p0.y, q.p1.y, q.p2.y, q.p3.y})) << "entry " << n;
        EXPECT_LE(p.y, std::max({q.p0.y, q.p1.y, q.p2.y, q.p3.y})) << "entry " << n;
    }
}

TEST_F(SeatShuffleTest, PatchIsDrawnTwoPixelsUpAndLeftAndClippedAtTheEdges) {
    ShuffleScene(100);
    ShuffleSeatedCrowd(*scene);  // entry 0 now holds a patch that nothing overwrites
    const int width = ImageWidth(scene->frameImage);
    const int height = ImageHeight(scene->frameImage);
    struct Case {
        int dx, dy;
        bool drawn;
    };
    const Case cases[] = {{0, 20, false},          {20, 0, false},         {1, 20, true},
                          {20, 1, true},           {width - 2, 20, false}, {width - 3, 20, true},
                          {20, height - 2, false}, {20, height - 3, true}};
    for (const Case& c : cases) {
        const int x = scene->frameOrigin.x + c.dx + 2;
        const int y = scene->frameOrigin.y + c.dy + 2;
        scene->patchRing[0] = {1, x, y};
        RestoreFrame(*scene);
        scene->settings.seatPatches = 100;
        ShuffleSeatedCrowd(*scene);
        // Later entries may cover it only where they overlap; none reaches the frame's edges.
        const bool drawn = FramePixelAt(x - 2, y - 2) == BackgroundPixel(x, y);
        EXPECT_EQ(drawn, c.drawn) << "patch at frame (" << c.dx << ", " << c.dy << ")";
    }
}

// With the frame moved so that a patch at its far corner ends at the
// picture's right or bottom edge (0) or one pixel past it (1).
TEST_F(SeatShuffleTest, PatchesReachingPastThePictureAreCutToIt) {
    struct Case {
        int pastX, pastY;
        bool lastColumnDrawn, lastRowDrawn;
    };
    const Case cases[] = {{0, 0, true, true}, {1, 0, false, true}, {0, 1, true, false}};
    for (const Case& c : cases) {
        ShuffleScene(100);
        ShuffleSeatedCrowd(*scene);  // entry 0 now holds a patch that nothing overwrites
        StartFrameTiles(*scene);
        const int width = ImageWidth(scene->frameImage), height = ImageHeight(scene->frameImage);
        FillImageRect(scene->frameImage, {0, 0, width, height}, 0);
        scene->frameOrigin = {1024 - width - 2 + c.pastX, 768 - height - 2 + c.pastY};
        const int x = scene->frameOrigin.x + width - 1, y = scene->frameOrigin.y + height - 1;
        scene->patchRing[0] = {3, x, y};
        ShuffleSeatedCrowd(*scene);
        EXPECT_EQ(FramePixelAt(x - 2, y - 2), BackgroundPixel(x, y)) << c.pastX << "," << c.pastY;
        EXPECT_EQ(FramePixelAt(x, y - 1) != 0, c.lastColumnDrawn) << c.pastX << "," << c.pastY;
        EXPECT_EQ(FramePixelAt(x - 1, y) != 0, c.lastRowDrawn) << c.pastX << "," << c.pastY;
    }
}

TEST_F(SeatShuffleTest, EveryEntryOfTheRingIsDrawnOnEveryTick) {
    ShuffleScene(599);
    for (int tick = 0; tick < 13; ++tick) ShuffleSeatedCrowd(*scene);
    RestoreFrame(*scene);
    ShuffleSeatedCrowd(*scene);
    int shown = 0;
    for (int k = 0; k < 599; ++k) {
        const SeatPatch& p = scene->patchRing[k];
        if (FramePixelAt(p.x - 2 + p.size - 1, p.y - 2 + p.size - 1) ==
            BackgroundPixel(p.x + p.size - 1, p.y + p.size - 1)) {
            ++shown;
        }
    }
    // A later patch can cover an earlier one's corner; nearly all must show.
    EXPECT_GT(shown, 500) << "expected most of the 599 patches drawn, got " << shown;
}

}  // namespace
