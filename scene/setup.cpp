// Set-up of a scene at the first paint, with the refusal of a display below
// the minimum; the restart of its figures; and its release.
#include <cstring>
#include <new>

#include "scene/steps.h"

namespace {

// The settings copies and the walkers' places: the only steps that depend on
// the settings or draw from the generator, and so all that a restart repeats.
void StartFigures(Scene& scene, const SettingsRecord& settings, uint32_t seed) {
    CopySceneSettings(scene, settings);
    scene.randomState = seed;
    PlaceWalkwayWalkers(scene);
}

}  // namespace

Scene* NewScene() {
    Scene* scene = new (std::nothrow) Scene();
    if (scene == nullptr) return nullptr;
    std::memcpy(scene->spriteCells, kStoredSpriteCells, sizeof scene->spriteCells);
    std::memcpy(scene->walkwayQuads, kStoredWalkwayQuads, sizeof scene->walkwayQuads);
    std::memcpy(scene->dotQuads, kStoredDotQuads, sizeof scene->dotQuads);
    std::memcpy(scene->seatRegions, kStoredSeatRegions, sizeof scene->seatRegions);
    return scene;
}

// A picture, image or palette that cannot be made fails the set-up without
// the message, which names a display the user may well have.
SceneSetUp SetUpScene(const SceneWindowInfo& window, const SettingsRecord& settings, uint32_t seed) {
    const int sceneClass = ChooseResolutionClass(window.clientWidth, window.screenWidth);
    if (sceneClass == kNoClass || (window.bitsPerPixel < 8 && sceneClass != kPreviewClass)) {
        return {nullptr, kSceneRefused};
    }
    Scene* scene = NewScene();
    if (scene == nullptr) return {nullptr, kSceneFailed};
    StartFigures(*scene, settings, seed);
    ScaleSceneTables(*scene, sceneClass);
    if (!LoadScenePictures(*scene, window.clientWidth, window.clientHeight, window.display)) {
        DestroyScene(scene);
        return {nullptr, kSceneFailed};
    }
    return {scene, kSceneReady};
}

void RestartScene(Scene& scene, const SettingsRecord& settings, uint32_t seed) {
    std::memset(scene.walkwayWalkers, 0, sizeof scene.walkwayWalkers);
    std::memset(scene.patchRing, 0, sizeof scene.patchRing);
    scene.patchCursor = 0;
    scene.circlePhase = 0.0;
    StartFigures(scene, settings, seed);
}

void DestroyScene(Scene* scene) {
    if (scene == nullptr) return;
    DestroyImage(scene->backgroundImage);
    DestroyImage(scene->figureSheet);
    DestroyImage(scene->foregroundSheet);
    DestroyImage(scene->frameImage);
    DestroyImage(scene->fixedImage);
    DestroyPalette(scene->palette);
    for (SpanSprite* sprite : scene->cellSprites) DestroySpanSprite(sprite);
    delete scene;
}
