// Helpers of the scene tests (see scene_test_support.h).
#include "tests/scene/scene_test_support.h"

#include "image/compose.h"

std::vector<std::string> shownMessages;
std::vector<std::string> shownCaptions;

namespace {

void CaptureMessage(const char* text, const char* caption) {
    shownMessages.emplace_back(text);
    shownCaptions.emplace_back(caption);
}

Image* MakeSheet(int width, int height, int firstEntry, int lastEntry) {
    Image* sheet = CreateImage(width, height, nullptr);
    for (int entry = firstEntry; entry <= lastEntry; ++entry) {
        const SpriteCell& cell = SpriteCellTable[entry];
        FillImageRect(sheet, cell.srcX, cell.srcY, cell.width, cell.height, CellColour(entry));
    }
    return sheet;
}

}  // namespace

void SceneTest::SetUp() {
    TearDownScene();
    shownMessages.clear();
    shownCaptions.clear();
    SetSceneMessageHook(CaptureMessage);
}

void SceneTest::TearDown() {
    TearDownScene();
    SetSceneMessageHook(nullptr);
}

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

void InstallSyntheticScene(int sceneClass) {
    TearDownScene();
    ScaleSceneTables(sceneClass);
    const FrameBounds frame = SceneFrameRect();
    frameOrigin = {frame.x, frame.y};
    BackgroundImage = CreateImage(1024, 768, nullptr);
    for (int y = 0; y < 768; ++y) {
        for (int x = 0; x < 1024; ++x) *PixelAddress(BackgroundImage, x, y) = BackgroundPixel(x, y);
    }
    FigureSheet = MakeSheet(256, 172, 0, kLeftForegroundCell - 1);
    ForegroundSheet = MakeSheet(225, 100, kLeftForegroundCell, kRightForegroundCell);
    FrameImage = CreateImage(frame.width, frame.height, nullptr);
}

uint8_t FramePixelAt(int x, int y) { return *PixelAddress(FrameImage, x - frameOrigin.x, y - frameOrigin.y); }
