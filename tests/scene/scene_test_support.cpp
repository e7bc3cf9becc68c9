// Helpers of the scene tests (see scene_test_support.h).
#include "tests/scene/scene_test_support.h"

#include "image/compose.h"

namespace {

Image* MakeSheet(const Scene& scene, int width, int height, int firstEntry, int lastEntry) {
    Image* sheet = CreateImage(width, height, nullptr);
    for (int entry = firstEntry; entry <= lastEntry; ++entry) {
        const SpriteCell& cell = scene.spriteCells[entry];
        FillImageRect(sheet, {cell.srcX, cell.srcY, cell.width, cell.height}, CellColour(entry));
    }
    return sheet;
}

}  // namespace

const DisplayPaletteInfo* TrueColourDisplay() {
    static const DisplayPaletteInfo display = {-1, 0, {}};
    return &display;
}

SceneWindowInfo FullScreenWindow(int width, int height, int bitsPerPixel) {
    return {width, height, width, bitsPerPixel, TrueColourDisplay()};
}

SettingsRecord SettingsAtMinimum() {
    SettingsRecord record = kDefaultSettings;
    for (Setting& entry : record.entries) entry.value = entry.min;
    return record;
}

SettingsRecord SettingsAtMaximum() {
    SettingsRecord record = kDefaultSettings;
    for (Setting& entry : record.entries) entry.value = entry.max;
    return record;
}

SettingsRecord SettingsWithAllValues(int32_t value) {
    SettingsRecord record = kDefaultSettings;
    for (Setting& entry : record.entries) entry.value = value;
    return record;
}

uint8_t CellColour(int entry) { return static_cast<uint8_t>(10 + entry); }

uint8_t BackgroundPixel(int x, int y) { return static_cast<uint8_t>(60 + (x * 7 + y * 13) % 190); }

SceneOutcome SceneTest::SetUpAt(const SceneWindowInfo& window, const SettingsRecord& settings, uint32_t seed) {
    DestroyScene(scene);
    const SceneSetUp setUp = SetUpScene(window, settings, seed);
    scene = setUp.scene;
    return setUp.outcome;
}

void SceneTest::InstallSyntheticScene(int sceneClass) {
    DestroyScene(scene);
    scene = NewScene();
    ScaleSceneTables(*scene, sceneClass);
    const Rect frame = SceneFrameRect(*scene);
    scene->frameOrigin = {frame.x, frame.y};
    scene->backgroundImage = CreateImage(1024, 768, nullptr);
    for (int y = 0; y < 768; ++y) {
        for (int x = 0; x < 1024; ++x) *PixelAddress(scene->backgroundImage, x, y) = BackgroundPixel(x, y);
    }
    scene->figureSheet = MakeSheet(*scene, 256, 172, 0, kLeftForegroundCell - 1);
    scene->foregroundSheet = MakeSheet(*scene, 225, 100, kLeftForegroundCell, kRightForegroundCell);
    scene->frameImage = CreateImage(frame.width, frame.height, nullptr);
}

uint8_t SceneTest::FramePixelAt(int x, int y) const {
    return *PixelAddress(scene->frameImage, x - scene->frameOrigin.x, y - scene->frameOrigin.y);
}
