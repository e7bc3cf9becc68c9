// Set-up of the scene at the first paint, the minimum-configuration refusal,
// and the tear-down that lets tests and the renderer build another scene.
#include <ctime>

#include "image/compose.h"
#include "scene/scene.h"
#include "scene/state.h"

namespace {

constexpr char kMinimumConfigurationText[] = "Minimum configuration required:\r256 colors, 640 x 480 resolution";
constexpr char kMessageCaption[] = "Zarvo.scr";

// The settings copies and the walkers' places: the only steps that depend on
// the settings or draw from the generator, and so all that a restart repeats.
void StartFigures(uint32_t seed) {
    CopySceneSettings(settingsRecord);
    SeedSceneRandom(seed);
    PlaceWalkwayWalkers();
}

// The steps after the settings are known, in their order. A picture, image or
// palette that cannot be made ends the saver like a refusal, silently: the
// message names a display the user may well have.
void SetUpSceneSteps(const SceneWindowInfo& window, DrawTarget screen, uint32_t seed) {
    StartFigures(seed);
    screenTarget = screen;
    const int sceneClass = ChooseResolutionClass(window.clientWidth, window.screenWidth);
    if (sceneClass == kNoClass) return ShowMinimumConfigurationMessage();
    if (window.bitsPerPixel < 8 && sceneClass != kPreviewClass) return ShowMinimumConfigurationMessage();
    ScaleSceneTables(sceneClass);
    if (!LoadScenePictures(window.clientWidth, window.clientHeight, window.display)) {
        configurationRefused = 1;
        return;
    }
    sceneReady = 1;
}

// Set-up runs once per process; a second call would scale the tables again.
bool AlreadySetUp() { return sceneReady != 0 || configurationRefused != 0 || BackgroundImage != nullptr; }

}  // namespace

uint32_t SeedFromClock() { return static_cast<uint32_t>(std::time(nullptr)) * 2u; }

void SetUpScene(const SceneWindowInfo& window, DrawTarget screen) {
    if (AlreadySetUp()) return;
    ReadSettings();
    SetUpSceneSteps(window, screen, SeedFromClock());
}

void SetUpSceneWith(const SceneWindowInfo& window, DrawTarget screen, const SettingsRecord& settings,
                    uint32_t seed) {
    if (AlreadySetUp()) return;
    settingsRecord = settings;
    SetUpSceneSteps(window, screen, seed);
}

void RestartScene(const SettingsRecord& settings, uint32_t seed) {
    if (!sceneReady) return;
    settingsRecord = settings;
    ResetMovingFigures();
    StartFigures(seed);
}

void ShowMinimumConfigurationMessage() {
    configurationRefused = 1;
    ShowSceneMessage(kMinimumConfigurationText, kMessageCaption);
}

void TearDownScene() {
    DestroyImage(BackgroundImage);
    DestroyImage(FigureSheet);
    DestroyImage(ForegroundSheet);
    DestroyImage(FrameImage);
    BackgroundImage = FigureSheet = ForegroundSheet = FrameImage = nullptr;
    DestroyPalette(ScenePalette);
    ScenePalette = nullptr;
    ResetSceneState();
    settingsRecord = kDefaultSettings;
}
