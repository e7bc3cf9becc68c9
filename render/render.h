// zarvo-render: the scene drawn headless into PNG files, for people and tests.
#pragma once

#include <cstdint>
#include <string>

#include "image/screen_fit.h"
#include "app/option_grammar.h"

struct RenderOptions {
    int width = 1024;
    int height = 768;
    int screenWidth = 0;  // 0: as wide as the client
    // Placed on a screen of width x height; a preview pane is always centred.
    PictureSize pictureSize = kPictureCentred;
    bool seedGiven = false;
    uint32_t seed = 0;
    bool scaleDown = false;  // below 640 wide: the 640x480 scene, scaled down
    int ticks = 100;
    std::string settingsFile;  // empty: the stored settings
    std::string out;           // the client area after the last tick
    std::string outPattern;    // every tick, numbered by a %d or %0Nd
    std::string gif;           // every tick as one animated GIF
    GivenSettings settings{};  // over the record
    bool version = false;
    bool help = false;
};

// Parses the command line; on a bad option prints why and returns 0.
int ParseRenderOptions(int argc, char** argv, RenderOptions* options);
void PrintRenderUsage();

// 1 when `pattern` holds exactly one %d or %0Nd and no other '%'.
int IsTickPattern(const std::string& pattern);
