// Set-up with the stored pictures: its outcomes, the class, the picture's
// offset and size, the scaled foreground cells, the preview and the restart.
#include "image/compose.h"
#include "tests/scene/scene_test_support.h"

namespace {

using SceneSetUpTest = SceneTest;

void ExpectRect(const Rect& rect, int x, int y, int width, int height, const char* what) {
    EXPECT_EQ(rect.x, x) << what << ": expected x " << x << ", got " << rect.x;
    EXPECT_EQ(rect.y, y) << what << ": expected y " << y << ", got " << rect.y;
    EXPECT_EQ(rect.width, width) << what << ": expected width " << width << ", got " << rect.width;
    EXPECT_EQ(rect.height, height) << what << ": expected height " << height << ", got " << rect.height;
}

void ExpectCell(const Scene& scene, int entry, int srcX, int srcY, int width, int height) {
    const SpriteCell& cell = scene.spriteCells[entry];
    EXPECT_EQ(cell.srcX, srcX) << "entry " << entry;
    EXPECT_EQ(cell.srcY, srcY) << "entry " << entry;
    EXPECT_EQ(cell.width, width) << "entry " << entry;
    EXPECT_EQ(cell.height, height) << "entry " << entry;
}

// Refused is a display below the minimum, for which the host shows the
// message; failed is a picture that cannot be made, which ends the run
// without it. Only a ready set-up hands over a scene, and its frames run.
TEST_F(SceneSetUpTest, OutcomeOfEachDisplayAndClientSize) {
    struct Case {
        int width, height, screen, bits;
        SceneOutcome outcome;
    };
    const Case cases[] = {
        {1024, 768, 1024, 32, kSceneReady},
        {640, 480, 640, 8, kSceneReady},
        {4096, 4096, 4096, 32, kSceneReady},
        {640, 8, 640, 32, kSceneReady},
        // a preview pane, at any depth and however small
        {152, 112, 1024, 4, kSceneReady},
        {100, 5000, 1024, 32, kSceneReady},
        {1, 1, 1024, 32, kSceneReady},
        {639, 480, 639, 32, kSceneRefused},
        {600, 600, 600, 32, kSceneRefused},
        {640, 480, 640, 7, kSceneRefused},
        {-5, -5, -5, 32, kSceneRefused},
        {1024, 0, 1024, 32, kSceneFailed},
        {1024, -1, 1024, 32, kSceneFailed},
        {0, 0, 1024, 32, kSceneFailed},
        {-100, 50, 1024, 32, kSceneFailed},
        // one row of the class's picture, cropped from its middle
        {640, 1, 640, 32, kSceneReady},
    };
    for (const Case& c : cases) {
        const std::string what =
            std::to_string(c.width) + " x " + std::to_string(c.height) + " at " + std::to_string(c.bits) + " bits";
        EXPECT_EQ(SetUpAt({c.width, c.height, c.screen, c.bits, TrueColourDisplay()}), c.outcome) << what;
        ASSERT_EQ(scene != nullptr, c.outcome == kSceneReady) << what;
        if (scene != nullptr) {
            for (int tick = 0; tick < 3; ++tick) ComposeFrame(*scene);
        }
    }
}

// The picture always has its class's size, the one the tables follow, and is
// centred by the truncated halves of the margins: cropped equally where the
// client is shorter, never stretched or squashed to the client's shape. The
// sheets, cells and strip are those of the class's own size.
TEST_F(SceneSetUpTest, PictureKeepsItsClassSizeAndIsCentred) {
    struct Case {
        int width, height, sceneClass, x, y, pictureWidth, pictureHeight;
    };
    const Case cases[] = {
        {1280, 1024, 0, 128, 128, 1024, 768}, {1152, 864, 0, 64, 48, 1024, 768}, {1024, 768, 0, 0, 0, 1024, 768},
        {1024, 800, 0, 0, 16, 1024, 768},     {1024, 801, 0, 0, 16, 1024, 768},  {1280, 720, 0, 128, -24, 1024, 768},
        {1024, 600, 0, 0, -84, 1024, 768},    {801, 601, 1, 0, 0, 800, 600},     {900, 700, 1, 50, 50, 800, 600},
        {1000, 750, 1, 100, 75, 800, 600},    {799, 1000, 2, 79, 260, 640, 480}, {640, 479, 2, 0, 0, 640, 480},
    };
    const int classWidth[] = {1024, 800, 640}, classHeight[] = {768, 600, 480};
    for (const Case& c : cases) {
        const std::string what = std::to_string(c.width) + " x " + std::to_string(c.height);
        ASSERT_EQ(SetUpAt(FullScreenWindow(classWidth[c.sceneClass], classHeight[c.sceneClass])), kSceneReady);
        // What the class's own size gives (the scene's images go with it).
        const int sheetWidth = ImageWidth(scene->foregroundSheet), sheetHeight = ImageHeight(scene->foregroundSheet);
        const SpriteCell left = scene->spriteCells[kLeftForegroundCell];
        const SpriteCell right = scene->spriteCells[kRightForegroundCell];
        const Point frameOrigin = scene->frameOrigin;
        ASSERT_EQ(SetUpAt(FullScreenWindow(c.width, c.height)), kSceneReady) << what;
        EXPECT_EQ(scene->resolutionClass, c.sceneClass) << what;
        ExpectRect(PictureWindowRect(*scene), c.x, c.y, c.pictureWidth, c.pictureHeight, what.c_str());
        EXPECT_EQ(ImageWidth(scene->foregroundSheet), sheetWidth) << what;
        EXPECT_EQ(ImageHeight(scene->foregroundSheet), sheetHeight) << what;
        ExpectCell(*scene, kLeftForegroundCell, left.srcX, left.srcY, left.width, left.height);
        ExpectCell(*scene, kRightForegroundCell, right.srcX, right.srcY, right.width, right.height);
        EXPECT_EQ(scene->frameOrigin.x, frameOrigin.x) << what;
        EXPECT_EQ(scene->frameOrigin.y, frameOrigin.y) << what;
    }
}

TEST_F(SceneSetUpTest, StripOnA1280By1024ClientIsAt218And494) {
    ASSERT_EQ(SetUpAt(FullScreenWindow(1280, 1024)), kSceneReady);
    ExpectRect(FrameWindowRect(*scene), 218, 494, 917, 334, "frame strip");
    EXPECT_EQ(FrameTimerPeriod(*scene), 591);
    EXPECT_EQ(SceneAnimates(*scene), 1);
}

TEST_F(SceneSetUpTest, StandardSizesScaleTheForegroundCellsByTheirFactor) {
    ASSERT_EQ(SetUpAt(FullScreenWindow(800, 600)), kSceneReady);
    EXPECT_EQ(scene->resolutionClass, 1);
    ExpectRect(PictureWindowRect(*scene), 0, 0, 800, 600, "800 x 600 picture");
    ExpectCell(*scene, kLeftForegroundCell, 0, 0, 78, 76);
    ExpectCell(*scene, kRightForegroundCell, 82, 0, 93, 76);

    ASSERT_EQ(SetUpAt(FullScreenWindow(640, 480, 16)), kSceneReady) << "16 bits per pixel is accepted";
    EXPECT_EQ(scene->resolutionClass, 2);
    ExpectCell(*scene, kLeftForegroundCell, 0, 0, 62, 61);
    ExpectCell(*scene, kRightForegroundCell, 65, 0, 75, 61);
    ExpectRect(FrameWindowRect(*scene), 56, 228, 592, 228, "class 2 strip");
}

TEST_F(SceneSetUpTest, PreviewPaneTakesTheSmallPictureAndNeverAnimates) {
    SceneWindowInfo window = FullScreenWindow(152, 112, 4);
    window.screenWidth = 1024;
    ASSERT_EQ(SetUpAt(window), kSceneReady);
    EXPECT_EQ(scene->resolutionClass, kPreviewClass);
    ExpectRect(PictureWindowRect(*scene), 0, 0, 152, 112, "preview picture");
    EXPECT_EQ(SceneAnimates(*scene), 0);
    EXPECT_EQ(scene->frameImage, nullptr);
    ComposeFrame(*scene);
}

TEST_F(SceneSetUpTest, StoredSeatShuffleOfSixHundredRunsWith599Patches) {
    SettingsRecord settings = kDefaultSettings;
    settings.entries[SeatShuffle].value = 600;
    ASSERT_EQ(SetUpAt(FullScreenWindow(1024, 768), settings), kSceneReady);
    EXPECT_EQ(scene->settings.seatPatches, 599);
    for (int tick = 0; tick < 14; ++tick) ComposeFrame(*scene);
    // 658 patches: entry 0, entries 1 to 598, then 1 to 59 again.
    EXPECT_EQ(scene->patchCursor, 60) << "the ring wraps to entry 1";
}

// Every pixel of the frames of `ticks` ticks, in order.
std::vector<uint8_t> RunFrames(Scene& scene, int ticks) {
    std::vector<uint8_t> frames;
    for (int tick = 0; tick < ticks; ++tick) {
        ComposeFrame(scene);
        for (int y = 0; y < ImageHeight(scene.frameImage); ++y) {
            const uint8_t* row = PixelAddress(scene.frameImage, 0, y);
            frames.insert(frames.end(), row, row + ImageWidth(scene.frameImage));
        }
    }
    return frames;
}

// A restart after frames with other settings must leave nothing of them: the
// fuzzer relies on it to try one record per input on a scene set up once.
TEST_F(SceneSetUpTest, RestartDrawsTheFramesOfAFreshSetUp) {
    struct Case {
        int width, height;
        SettingsRecord first, then;
        uint32_t seed;
    };
    const Case cases[] = {
        {1024, 768, SettingsAtMaximum(), SettingsAtMinimum(), 77},
        {800, 600, kDefaultSettings, SettingsWithAllValues(INT32_MAX), 5},
        {640, 480, SettingsAtMinimum(), SettingsAtMaximum(), 20261207},
        {640, 480, SettingsWithAllValues(INT32_MIN), kDefaultSettings, 0},
    };
    for (const Case& c : cases) {
        const std::string what = std::to_string(c.width) + " x " + std::to_string(c.height);
        ASSERT_EQ(SetUpAt(FullScreenWindow(c.width, c.height), c.then, c.seed), kSceneReady) << what;
        const std::vector<uint8_t> fresh = RunFrames(*scene, 25);
        const int period = FrameTimerPeriod(*scene);

        ASSERT_EQ(SetUpAt(FullScreenWindow(c.width, c.height), c.first), kSceneReady) << what;
        RunFrames(*scene, 37);
        RestartScene(*scene, c.then, c.seed);
        EXPECT_EQ(FrameTimerPeriod(*scene), period) << what;
        EXPECT_TRUE(RunFrames(*scene, 25) == fresh) << what << ": a restarted scene draws other frames";
    }
}

TEST_F(SceneSetUpTest, PaletteKeepsBlackAtIndexZeroForTheSheets) {
    ASSERT_EQ(SetUpAt(FullScreenWindow(1024, 768)), kSceneReady);
    const PaletteEntry& black = scene->palette->entries[0];
    EXPECT_EQ(black.peRed + black.peGreen + black.peBlue, 0);
    // The sheets' transparent background stays index 0 after translation.
    EXPECT_EQ(*PixelAddress(scene->foregroundSheet, 0, 0), 0) << "row 0 of the foreground sheet is background";
}

}  // namespace
