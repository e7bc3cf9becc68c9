// Fuzz target for the stored settings value: any bytes through the settings
// file and ReadSettings, then the scene's settings copies and a few frames.
//
// The scene is set up once for the whole run (pictures decoded and scaled);
// each input restarts its figures with the record read.
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/services.h"
#include "scene/scene.h"
#include "tests/fuzz/scratch_files.h"

namespace {

std::string configPath;
Scene* scene = nullptr;  // set up once for the whole run

bool InBuiltInRange(int32_t value, int index) {
    const Setting& range = kDefaultSettings.entries[index];
    return value >= range.min && value <= range.max;
}

// The copies size the scene's tables and the timer; outside the built-in
// ranges they would overrun the one or stop the other.
void CheckSceneCopies() {
    const SceneSettings& copies = scene->settings;
    const bool inRange =
        InBuiltInRange(copies.circleWalkers, CircleWalkers) && InBuiltInRange(copies.circleSpeed, CircleSpeed) &&
        InBuiltInRange(copies.walkwayWalkers, IsleWalkers) && InBuiltInRange(copies.walkwaySpeed, IsleSpeed) &&
        InBuiltInRange(copies.redrawSpeed, RedrawSpeed) && InBuiltInRange(copies.seatPatches, SeatShuffle) &&
        copies.seatPatches <= kMaxSeatPatches;
    if (!inRange || FrameTimerPeriod(*scene) < 1) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const std::string directory = MakeScratchFolder("fuzz-settings");
    setenv("XDG_CONFIG_HOME", directory.c_str(), 1);
    mkdir((directory + "/zarvo").c_str(), 0700);
    configPath = directory + "/zarvo/Config";
    static const DisplayPaletteInfo trueColour = {-1, 0, {}};
    const SceneWindowInfo window = {640, 480, 640, 32, &trueColour};
    scene = SetUpScene(window, kDefaultSettings, 1).scene;
    if (scene == nullptr) std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    WriteWholeFile(configPath, data, size);
    SettingsRecord stored = kDefaultSettings;
    const int loaded = ReadSettings(&stored);
    // The store and the byte rule must agree on what a value means.
    SettingsRecord direct = kDefaultSettings;
    if (DecodeSettings(data, size, &direct) != loaded) std::abort();
    if (std::memcmp(&direct, &stored, sizeof direct) != 0) std::abort();

    RestartScene(*scene, stored, static_cast<uint32_t>(size * 2654435761u));
    CheckSceneCopies();
    for (int tick = 0; tick < 4; ++tick) ComposeFrame(*scene);
    return 0;
}
