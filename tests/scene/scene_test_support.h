// Helpers of the scene tests: a fixture holding a scene of its own, synthetic
// sheets whose every cell has a colour of its own, and set-up on a
// true-colour display.
#pragma once

#include <gtest/gtest.h>

#include "scene/steps.h"

// NUMCOLORS -1, SIZEPALETTE 0, no system entries.
const DisplayPaletteInfo* TrueColourDisplay();
SceneWindowInfo FullScreenWindow(int width, int height, int bitsPerPixel = 32);

// Settings with every value at its minimum, maximum, or `value`.
SettingsRecord SettingsAtMinimum();
SettingsRecord SettingsAtMaximum();
SettingsRecord SettingsWithAllValues(int32_t value);

// A full-screen scene to run: its name in messages, its size, its settings.
struct Scenario {
    const char* name;
    int width, height;
    SettingsRecord settings;
};

// The colour a synthetic sheet gives sprite cell `entry`; never 0.
uint8_t CellColour(int entry);

// The synthetic background's pixel at (x, y): 60 to 249, differing from
// its neighbours two pixels away.
uint8_t BackgroundPixel(int x, int y);

// Every test starts with a blank scene (NewScene), which it may replace; the
// scene is freed after the test.
class SceneTest : public ::testing::Test {
  protected:
    void SetUp() override { NewBlankScene(); }
    void TearDown() override { DestroyScene(scene); }

    void NewBlankScene() {
        DestroyScene(scene);
        scene = NewScene();
    }

    // Replaces the scene with the set-up's (null unless ready).
    SceneOutcome SetUpAt(const SceneWindowInfo& window, const SettingsRecord& settings = kDefaultSettings,
                         uint32_t seed = 1234);
    // Replaces the scene with one of class `sceneClass` without the stored
    // pictures: a 1024 x 768 background of BackgroundPixel, sheets whose cells
    // are filled with CellColour, and a frame image over the scaled frame
    // rectangle.
    void InstallSyntheticScene(int sceneClass);
    // Pixel of the frame image at scene position (x, y).
    uint8_t FramePixelAt(int x, int y) const;

    Scene* scene = nullptr;
};
