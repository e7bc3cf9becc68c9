// Fuzz target for the stored settings value: any bytes, any length, through
// the settings file and ReadSettings, then a scene set up with what was read
// and run for a few frames in a small client area.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "scene/scene.h"

namespace {

std::string configPath;

void IgnoreMessage(const char*, const char*) {}

void StoreValue(const uint8_t* data, size_t size) {
    FILE* file = std::fopen(configPath.c_str(), "wb");
    if (file == nullptr) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
    std::fclose(file);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char directory[] = "/tmp/zarvo-fuzz-settings-XXXXXX";
    if (mkdtemp(directory) == nullptr) std::abort();
    setenv("XDG_CONFIG_HOME", directory, 1);
    mkdir((std::string(directory) + "/zarvo").c_str(), 0700);
    configPath = std::string(directory) + "/zarvo/Config";
    SetSceneMessageHook(IgnoreMessage);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    StoreValue(data, size);
    settingsRecord = kDefaultSettings;
    const int loaded = ReadSettings();
    // The store and the byte rule must agree on what a value means.
    SettingsRecord direct = kDefaultSettings;
    if (DecodeSettings(data, size, &direct) != loaded) std::abort();
    if (std::memcmp(&direct, &settingsRecord, sizeof direct) != 0) std::abort();

    std::vector<uint32_t> pixels(640 * 480);
    RgbSurface surface = {pixels.data(), 640, 480, 640, nullptr};
    static const DisplayPaletteInfo trueColour = {-1, 0, {}};
    const SceneWindowInfo window = {640, 480, 640, 32, &trueColour};
    SetUpSceneWith(window, &surface, settingsRecord, static_cast<uint32_t>(size * 2654435761u));
    if (!sceneReady) std::abort();  // any record runs, clamped into the built-in ranges
    PaintScene(&surface);
    for (int tick = 0; tick < 4; ++tick) {
        ComposeFrame();
        PresentFrame();
    }
    TearDownScene();
    return 0;
}
