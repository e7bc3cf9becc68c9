// Helpers of the scene tests: a clean scene for every test, synthetic sheets
// whose every cell has a colour of its own, and set-up on a true-colour display.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scene/scene.h"
#include "scene/state.h"

// Tears the scene down before and after each test and captures its message.
class SceneTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

// The messages ShowSceneMessage was asked to show since the test began.
extern std::vector<std::string> shownMessages;
extern std::vector<std::string> shownCaptions;

// NUMCOLORS -1, SIZEPALETTE 0, no system entries.
const DisplayPaletteInfo* TrueColourDisplay();
SceneWindowInfo FullScreenWindow(int width, int height, int bitsPerPixel = 32);

// Settings with every value at its minimum, maximum, or `value`.
SettingsRecord SettingsAtMinimum();
SettingsRecord SettingsAtMaximum();
SettingsRecord SettingsWithAllValues(int32_t value);

// The colour a synthetic sheet gives sprite cell `entry`; never 0.
uint8_t CellColour(int entry);

// The synthetic background's pixel at (x, y): 60 to 249, differing from
// its neighbours two pixels away.
uint8_t BackgroundPixel(int x, int y);

// A scene of class `sceneClass` without the stored pictures: a 1024 x 768
// background of BackgroundPixel, sheets whose cells are filled with CellColour,
// and a frame image over the scaled frame rectangle.
void InstallSyntheticScene(int sceneClass);

// Pixel of FrameImage at scene position (x, y).
uint8_t FramePixelAt(int x, int y);
