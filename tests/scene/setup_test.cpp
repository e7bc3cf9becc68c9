// Set-up with the stored pictures: the class, the picture's offset and size,
// the scaled foreground cells, the refusals and the preview.
#include "image/compose.h"
#include "tests/scene/scene_test_support.h"

namespace {

using SceneSetUpTest = SceneTest;

constexpr char kMinimumText[] = "Minimum configuration required:\r256 colors, 640 x 480 resolution";

void SetUpAt(const SceneWindowInfo& window, const SettingsRecord& settings = kDefaultSettings) {
    SetUpSceneWith(window, nullptr, settings, 1234);
}

void ExpectRect(const SceneRect& rect, int x, int y, int width, int height, const char* what) {
    EXPECT_EQ(rect.x, x) << what << ": expected x " << x << ", got " << rect.x;
    EXPECT_EQ(rect.y, y) << what << ": expected y " << y << ", got " << rect.y;
    EXPECT_EQ(rect.width, width) << what << ": expected width " << width << ", got " << rect.width;
    EXPECT_EQ(rect.height, height) << what << ": expected height " << height << ", got " << rect.height;
}

void ExpectCell(int entry, int srcX, int srcY, int width, int height) {
    const SpriteCell& cell = SpriteCellTable[entry];
    EXPECT_EQ(cell.srcX, srcX) << "entry " << entry;
    EXPECT_EQ(cell.srcY, srcY) << "entry " << entry;
    EXPECT_EQ(cell.width, width) << "entry " << entry;
    EXPECT_EQ(cell.height, height) << "entry " << entry;
}

TEST_F(SceneSetUpTest, PictureIsCentredOnLargeClients) {
    struct Case { int width, height, x, y, pictureWidth, pictureHeight; };
    const Case cases[] = {
        {1280, 1024, 128, 128, 1024, 768}, {1152, 864, 64, 48, 1024, 768},
        {1024, 800, 0, 0, 1024, 800},      {1024, 801, 0, 16, 1024, 768},
        {1024, 768, 0, 0, 1024, 768},      {1280, 720, 128, 0, 1024, 720},
        {1024, 600, 0, 0, 1024, 600},
    };
    for (const Case& c : cases) {
        TearDownScene();
        SetUpAt(FullScreenWindow(c.width, c.height));
        const std::string what = std::to_string(c.width) + " x " + std::to_string(c.height);
        ASSERT_EQ(sceneReady, 1) << what;
        EXPECT_EQ(SceneResolutionClass(), 0) << what;
        ExpectRect(PictureWindowRect(), c.x, c.y, c.pictureWidth, c.pictureHeight, what.c_str());
    }
}

TEST_F(SceneSetUpTest, StripOnA1280By1024ClientIsAt218And494) {
    SetUpAt(FullScreenWindow(1280, 1024));
    ExpectRect(FrameWindowRect(), 218, 494, 917, 334, "frame strip");
    EXPECT_EQ(FrameTimerPeriod(), 591);
    EXPECT_EQ(SceneAnimates(), 1);
}

TEST_F(SceneSetUpTest, StandardSizesScaleTheForegroundCellsByTheirFactor) {
    SetUpAt(FullScreenWindow(800, 600));
    EXPECT_EQ(SceneResolutionClass(), 1);
    ExpectRect(PictureWindowRect(), 0, 0, 800, 600, "800 x 600 picture");
    ExpectCell(kLeftForegroundCell, 0, 0, 78, 76);
    ExpectCell(kRightForegroundCell, 82, 0, 93, 76);

    TearDownScene();
    SetUpAt(FullScreenWindow(640, 480, 16));
    EXPECT_EQ(SceneResolutionClass(), 2);
    EXPECT_EQ(configurationRefused, 0) << "16 bits per pixel is accepted";
    ExpectCell(kLeftForegroundCell, 0, 0, 62, 61);
    ExpectCell(kRightForegroundCell, 65, 0, 75, 61);
    ExpectRect(FrameWindowRect(), 56, 228, 592, 228, "class 2 strip");
}

TEST_F(SceneSetUpTest, SquashedPictureShortensTheForegroundSheetButNotItsCells) {
    SetUpAt(FullScreenWindow(1280, 720));
    EXPECT_EQ(ImageWidth(ForegroundSheet), 225);
    EXPECT_EQ(ImageHeight(ForegroundSheet), 93);
    ExpectCell(kLeftForegroundCell, 0, 1, 100, 98);
    ExpectCell(kRightForegroundCell, 105, 1, 120, 98);
    EXPECT_LE(frameOrigin.y + ImageHeight(FrameImage), 720) << "the strip lies inside the picture";
    for (int tick = 0; tick < 5; ++tick) ComposeFrame();
}

TEST_F(SceneSetUpTest, LowColourDepthIsRefusedWithTheMessage) {
    SetUpAt(FullScreenWindow(640, 480, 4));
    EXPECT_EQ(configurationRefused, 1);
    EXPECT_EQ(sceneReady, 0);
    ASSERT_EQ(shownMessages.size(), 1u);
    EXPECT_EQ(shownMessages[0], kMinimumText);
    EXPECT_EQ(shownCaptions[0], "Zarvo.scr");
    EXPECT_EQ(BackgroundImage, nullptr) << "a refusal loads no picture";
    EXPECT_EQ(ScenePalette, nullptr) << "a refusal makes no palette";
    EXPECT_EQ(sceneSettings.walkwayWalkers, 50) << "the settings copies are made before the refusal";
    EXPECT_NE(walkwayWalkers[0].dv, 0.0f) << "the walkers are placed before the refusal";
}

TEST_F(SceneSetUpTest, NarrowFullScreenIsRefused) {
    SetUpAt(FullScreenWindow(600, 600));
    EXPECT_EQ(configurationRefused, 1);
    EXPECT_EQ(shownMessages.size(), 1u);
    ComposeFrame();  // nothing to draw, nothing drawn
    PaintScene(nullptr);
}

TEST_F(SceneSetUpTest, PreviewPaneTakesTheSmallPictureAtAnyDepth) {
    SceneWindowInfo window = FullScreenWindow(152, 112, 4);
    window.screenWidth = 1024;
    SetUpAt(window);
    EXPECT_EQ(configurationRefused, 0);
    EXPECT_TRUE(shownMessages.empty());
    EXPECT_EQ(SceneResolutionClass(), kPreviewClass);
    ExpectRect(PictureWindowRect(), 0, 0, 152, 112, "preview picture");
    EXPECT_EQ(SceneAnimates(), 0) << "the preview is never animated";
    EXPECT_EQ(FrameImage, nullptr);
    ComposeFrame();
}

TEST_F(SceneSetUpTest, OddClientSizesEndSilentlyOrRunWithoutFault) {
    struct Case { int width, height, screen; bool runs; };
    const Case cases[] = {{1024, 0, 1024, false}, {1024, -1, 1024, false}, {0, 0, 1024, false},
                          {-100, 50, 1024, false}, {100, 5000, 1024, true}, {1, 1, 1024, true},
                          {4096, 4096, 4096, true}, {640, 8, 640, true},
                          // the foreground sheet would have no rows left
                          {640, 1, 640, false}};
    for (const Case& c : cases) {
        TearDownScene();
        shownMessages.clear();
        SetUpAt({c.width, c.height, c.screen, 32, TrueColourDisplay()});
        const std::string what = std::to_string(c.width) + " x " + std::to_string(c.height);
        EXPECT_EQ(sceneReady, c.runs ? 1 : 0) << what;
        EXPECT_TRUE(shownMessages.empty()) << what << ": only a small display shows the message";
        for (int tick = 0; tick < 3; ++tick) ComposeFrame();
    }
}

TEST_F(SceneSetUpTest, SetUpRunsOncePerScene) {
    SetUpAt(FullScreenWindow(1024, 768));
    const Image* background = BackgroundImage;
    const ScenePoint leftWalkwayEnd = walkwayQuads[0].p2;
    SetUpAt(FullScreenWindow(800, 600));
    EXPECT_EQ(BackgroundImage, background);
    EXPECT_EQ(SceneResolutionClass(), 0);
    EXPECT_EQ(walkwayQuads[0].p2.x, leftWalkwayEnd.x) << "the tables are scaled only once";
}

TEST_F(SceneSetUpTest, StoredSeatShuffleOfSixHundredRunsWith599Patches) {
    SettingsRecord settings = kDefaultSettings;
    settings.entries[SeatShuffle].value = 600;
    SetUpAt(FullScreenWindow(1024, 768), settings);
    EXPECT_EQ(sceneSettings.seatPatches, 599);
    for (int tick = 0; tick < 14; ++tick) ComposeFrame();
    // 658 patches: entry 0, entries 1 to 598, then 1 to 59 again.
    EXPECT_EQ(patchCursor, 60) << "the ring wraps to entry 1";
}

// Every pixel of the frames of `ticks` ticks, in order.
std::vector<uint8_t> RunFrames(int ticks) {
    std::vector<uint8_t> frames;
    for (int tick = 0; tick < ticks; ++tick) {
        ComposeFrame();
        for (int y = 0; y < ImageHeight(FrameImage); ++y) {
            const uint8_t* row = PixelAddress(FrameImage, 0, y);
            frames.insert(frames.end(), row, row + ImageWidth(FrameImage));
        }
    }
    return frames;
}

// A restart after frames with other settings must leave nothing of them: the
// fuzzer relies on it to try one record per input on a scene set up once.
TEST_F(SceneSetUpTest, RestartDrawsTheFramesOfAFreshSetUp) {
    struct Case { int width, height; SettingsRecord first, then; uint32_t seed; };
    const Case cases[] = {
        {1024, 768, SettingsAtMaximum(), SettingsAtMinimum(), 77},
        {800, 600, kDefaultSettings, SettingsWithAllValues(INT32_MAX), 5},
        {640, 480, SettingsAtMinimum(), SettingsAtMaximum(), 20261207},
        {640, 480, SettingsWithAllValues(INT32_MIN), kDefaultSettings, 0},
    };
    for (const Case& c : cases) {
        const std::string what = std::to_string(c.width) + " x " + std::to_string(c.height);
        TearDownScene();
        SetUpSceneWith(FullScreenWindow(c.width, c.height), nullptr, c.then, c.seed);
        ASSERT_EQ(sceneReady, 1) << what;
        const std::vector<uint8_t> fresh = RunFrames(25);
        const int period = FrameTimerPeriod();

        TearDownScene();
        SetUpAt(FullScreenWindow(c.width, c.height), c.first);
        RunFrames(37);
        RestartScene(c.then, c.seed);
        EXPECT_EQ(FrameTimerPeriod(), period) << what;
        EXPECT_TRUE(RunFrames(25) == fresh) << what << ": a restarted scene draws other frames";
    }
}

TEST_F(SceneSetUpTest, RestartBeforeSetUpChangesNothing) {
    RestartScene(SettingsAtMaximum(), 1);
    EXPECT_EQ(settingsRecord.entries[CircleWalkers].value, kDefaultSettings.entries[CircleWalkers].value);
    EXPECT_EQ(sceneSettings.circleWalkers, 0);
    EXPECT_EQ(walkwayWalkers[0].dv, 0.0f);
}

TEST_F(SceneSetUpTest, PaletteKeepsBlackAtIndexZeroForTheSheets) {
    SetUpAt(FullScreenWindow(1024, 768));
    ASSERT_NE(ScenePalette, nullptr);
    const PaletteEntry& black = ScenePalette->entries[0];
    EXPECT_EQ(black.peRed + black.peGreen + black.peBlue, 0);
    // The sheets' transparent background stays index 0 after translation.
    EXPECT_EQ(*PixelAddress(ForegroundSheet, 0, 0), 0) << "row 0 of the foreground sheet is background";
}

#ifndef _WIN32
TEST_F(SceneSetUpTest, PaintAndPresentDrawThePictureAndTheStrip) {
    std::vector<uint32_t> pixels(1280 * 1024, 0xFFFFFF);
    RgbSurface surface = {pixels.data(), 1280, 1024, 1280, nullptr};
    SetUpSceneWith(FullScreenWindow(1280, 1024), &surface, kDefaultSettings, 1234);
    PaintScene(&surface);
    EXPECT_EQ(surface.palette, ScenePalette) << "painting selects the scene palette";
    EXPECT_EQ(pixels[0], 0xFFFFFFu) << "the margin is left to the window's background";
    auto colour = [](int index) {
        const PaletteEntry& e = ScenePalette->entries[index];
        return uint32_t{e.peRed} << 16 | uint32_t{e.peGreen} << 8 | e.peBlue;
    };
    EXPECT_EQ(pixels[128 * 1280 + 128], colour(*PixelAddress(BackgroundImage, 0, 0)));
    ComposeFrame();
    PresentFrame();
    EXPECT_EQ(pixels[494 * 1280 + 218], colour(*PixelAddress(FrameImage, 0, 0)));
    EXPECT_EQ(pixels[(494 + 333) * 1280 + 218 + 916], colour(*PixelAddress(FrameImage, 916, 333)));
}
#endif

}  // namespace
