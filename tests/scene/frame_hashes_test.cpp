// Seeded scenes run for hundreds of ticks; hashes of their frames must match
// the recorded ones on every target (native, and both Windows builds). The
// frames are the scene's own, and for the picture sizes that crop and move
// the strip (cover), the whole screen as its view shows them.
//
// To re-record after an intended change of the pictures or the scene, run the
// test with ZARVO_RECORD_SCENE_HASHES=1 (natively), check the frames, and
// commit frame_hashes.txt. On a mismatch the frame is written as
// scene-<scenario>-<tick>.png in the working directory.
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <vector>

#include "tests/scene/scene_test_support.h"
#include "app/png_file.h"
#include "scene/screen_view.h"

#ifndef ZARVO_SCENE_HASH_FILE
#error "ZARVO_SCENE_HASH_FILE names the recorded hashes"
#endif

namespace {

constexpr uint32_t kSeed = 20261207;
constexpr int kTicks = 300;
constexpr int kHashedTicks[] = {1, 2, 50, 150, 300};

std::vector<Scenario> Scenarios() {
    return {
        {"default-1024x768", 1024, 768, kDefaultSettings},
        {"default-800x600", 800, 600, kDefaultSettings},
        {"default-640x480", 640, 480, kDefaultSettings},
        {"default-1280x1024", 1280, 1024, kDefaultSettings},
        {"default-1280x720", 1280, 720, kDefaultSettings},
        {"default-1024x600", 1024, 600, kDefaultSettings},
        {"minimum-1024x768", 1024, 768, SettingsAtMinimum()},
        {"maximum-1024x768", 1024, 768, SettingsAtMaximum()},
        {"minimum-640x480", 640, 480, SettingsAtMinimum()},
        {"maximum-800x600", 800, 600, SettingsAtMaximum()},
        {"far-above-800x600", 800, 600, SettingsWithAllValues(INT32_MAX)},
        {"far-below-1024x768", 1024, 768, SettingsWithAllValues(INT32_MIN)},
        {"negative-640x480", 640, 480, SettingsWithAllValues(-7)},
    };
}

// A scene shown on a whole screen in a picture size; tick 0 is the first
// paint.
struct ScreenScenario {
    const char* name;
    int width, height;
    PictureSize size;
};

std::vector<ScreenScenario> ScreenScenarios() {
    return {
        {"cover-1920x1080", 1920, 1080, kPictureCover},
        {"cover-2560x1080", 2560, 1080, kPictureCover},
        {"cover-1080x1920", 1080, 1920, kPictureCover},
    };
}

// FNV-1a over the visible pixels, top row first.
uint32_t HashImage(const Image* image) {
    uint32_t hash = 2166136261u;
    for (int y = 0; y < ImageHeight(image); ++y) {
        const uint8_t* row = PixelAddress(image, 0, y);
        for (int x = 0; x < ImageWidth(image); ++x) hash = (hash ^ row[x]) * 16777619u;
    }
    return hash;
}

// The same over a screen's 0x00RRGGBB pixels, blue, green and red in turn.
uint32_t HashScreen(const std::vector<uint32_t>& pixels) {
    uint32_t hash = 2166136261u;
    for (uint32_t pixel : pixels) {
        for (int shift : {0, 8, 16}) hash = (hash ^ ((pixel >> shift) & 0xFF)) * 16777619u;
    }
    return hash;
}

// A screen scenario's view and its screen, ticked on; `at(tick, pixels)`
// sees the screen after the first paint (tick 0) and after each tick up to
// `ticks`.
template <typename At>
void RunScreen(const ScreenScenario& s, int ticks, At at) {
    Scene* scene = SetUpScene(FullScreenWindow(s.width, s.height), kDefaultSettings, kSeed).scene;
    ScreenView* view = scene != nullptr ? CreateScreenView(scene, s.size, s.width, s.height) : nullptr;
    EXPECT_NE(view, nullptr) << s.name;
    if (view != nullptr) {
        std::vector<uint32_t> pixels(size_t(s.width) * size_t(s.height));
        const RgbPixels target{pixels.data(), s.width, {0, 0, s.width, s.height}};
        PaintScreenView(*view, target);
        at(0, pixels);
        for (int tick = 1; tick <= ticks; ++tick) {
            TickScreenView(*view, target);
            at(tick, pixels);
        }
    }
    DestroyScreenView(view);
    DestroyScene(scene);
}

bool IsHashed(int tick) {
    for (int hashed : kHashedTicks) {
        if (tick == hashed) return true;
    }
    return false;
}

std::string Key(const char* scenario, int tick) { return std::string(scenario) + " " + std::to_string(tick); }

Scene* SetUpScenario(const Scenario& s) {
    return SetUpScene(FullScreenWindow(s.width, s.height), s.settings, kSeed).scene;
}

std::map<std::string, uint32_t> RunScenarios() {
    std::map<std::string, uint32_t> hashes;
    for (const Scenario& s : Scenarios()) {
        Scene* scene = SetUpScenario(s);
        EXPECT_NE(scene, nullptr) << s.name;
        if (scene == nullptr) continue;
        hashes[Key(s.name, 0)] = HashImage(scene->backgroundImage);
        for (int tick = 1; tick <= kTicks; ++tick) {
            ComposeFrame(*scene);
            for (int hashed : kHashedTicks) {
                if (tick != hashed) continue;
                const std::string key = Key(s.name, tick);
                hashes[key] = HashImage(scene->frameImage);
                const std::string png = std::string("scene-") + s.name + "-" + std::to_string(tick) + ".png";
                std::remove(png.c_str());
            }
        }
        DestroyScene(scene);
    }
    for (const ScreenScenario& s : ScreenScenarios()) {
        RunScreen(s, kTicks, [&](int tick, const std::vector<uint32_t>& pixels) {
            if (tick == 0 || IsHashed(tick)) hashes[Key(s.name, tick)] = HashScreen(pixels);
        });
    }
    return hashes;
}

std::map<std::string, uint32_t> ReadRecorded() {
    std::map<std::string, uint32_t> recorded;
    std::ifstream in(ZARVO_SCENE_HASH_FILE);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string name, hex;
        int tick = 0;
        if (fields >> name >> tick >> hex) recorded[Key(name.c_str(), tick)] = std::stoul(hex, nullptr, 16);
    }
    return recorded;
}

void WriteRecorded(const std::map<std::string, uint32_t>& hashes) {
    std::ofstream out(ZARVO_SCENE_HASH_FILE);
    out << "# Frame hashes (FNV-1a of FrameImage pixels; tick 0 is the scaled background)\n"
           "# of seeded scenes; cover-*: of the whole screen's colours, tick 0 its first\n"
           "# paint; see tests/scene/frame_hashes_test.cpp to re-record.\n";
    for (const auto& [key, hash] : hashes) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "%08" PRIx32, hash);
        out << key << " " << hex << "\n";
    }
}

// An 8-bit image in the palette's colours, for a person to look at; stored
// blocks, since the Windows builds have no zlib.
void DumpImagePng(const char* path, const Image* image, const Palette* palette) {
    PngPicture picture{ImageWidth(image), ImageHeight(image), kPngRgb, {}, {}};
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const PaletteEntry& e = palette->entries[*PixelAddress(image, x, y)];
            picture.samples.insert(picture.samples.end(), {e.peRed, e.peGreen, e.peBlue});
        }
    }
    WriteFileBytes(path, EncodePng(picture, StoredZlib));
}

// Runs the mismatching scenario again to the tick and writes its frame.
void DumpFrame(const std::string& scenario, int tick) {
    for (const ScreenScenario& s : ScreenScenarios()) {
        if (scenario != s.name) continue;
        const std::string png = "scene-" + scenario + "-" + std::to_string(tick) + ".png";
        RunScreen(s, tick, [&](int at, const std::vector<uint32_t>& pixels) {
            if (at != tick) return;
            PngPicture picture{s.width, s.height, kPngRgb, {}, {}};
            for (uint32_t pixel : pixels)
                picture.samples.insert(picture.samples.end(),
                                       {uint8_t(pixel >> 16), uint8_t(pixel >> 8), uint8_t(pixel)});
            WriteFileBytes(png.c_str(), EncodePng(picture, StoredZlib));
            std::fprintf(stderr, "wrote %s\n", png.c_str());
        });
    }
    for (const Scenario& s : Scenarios()) {
        if (scenario != s.name) continue;
        Scene* scene = SetUpScenario(s);
        if (scene == nullptr) continue;
        for (int t = 1; t <= tick; ++t) ComposeFrame(*scene);
        const std::string png = "scene-" + scenario + "-" + std::to_string(tick) + ".png";
        DumpImagePng(png.c_str(), tick == 0 ? scene->backgroundImage : scene->frameImage, scene->palette);
        std::fprintf(stderr, "wrote %s\n", png.c_str());
        DestroyScene(scene);
    }
}

TEST(FrameHashesTest, SeededScenesMatchTheRecordedFrames) {
    const std::map<std::string, uint32_t> hashes = RunScenarios();
    const char* record = std::getenv("ZARVO_RECORD_SCENE_HASHES");
    if (record != nullptr && record[0] == '1') {
        WriteRecorded(hashes);
        GTEST_SKIP() << "recorded " << hashes.size() << " hashes in " << ZARVO_SCENE_HASH_FILE;
    }
    const std::map<std::string, uint32_t> recorded = ReadRecorded();
    ASSERT_FALSE(recorded.empty()) << "no recorded hashes in " << ZARVO_SCENE_HASH_FILE;
    EXPECT_EQ(recorded.size(), hashes.size()) << "the recorded scenarios differ from the test's";
    for (const auto& [key, hash] : hashes) {
        const auto found = recorded.find(key);
        if (found != recorded.end() && found->second == hash) continue;
        ADD_FAILURE() << key << ": expected " << std::hex << (found == recorded.end() ? 0u : found->second) << ", got "
                      << hash;
        const size_t space = key.find(' ');
        DumpFrame(key.substr(0, space), std::stoi(key.substr(space + 1)));
    }
}

// One tick of the scene, its frame's hash added to `hashes`.
void HashedTick(Scene& scene, std::vector<uint32_t>& hashes) {
    ComposeFrame(scene);
    hashes.push_back(HashImage(scene.frameImage));
}

// Two scenes of other sizes, settings and seeds, set up together and their
// ticks interleaved, draw exactly what each draws alone: nothing of one lives
// outside its record for the other to disturb.
TEST(SceneSideBySideTest, EachOfTwoScenesDrawsWhatItDrawsAlone) {
    struct Run {
        int width, height;
        SettingsRecord settings;
        uint32_t seed;
    };
    const Run runs[2] = {{640, 480, SettingsAtMaximum(), 7}, {1024, 768, SettingsWithAllValues(-7), kSeed}};
    const auto setUp = [](const Run& r) {
        return SetUpScene(FullScreenWindow(r.width, r.height), r.settings, r.seed).scene;
    };
    std::vector<uint32_t> alone[2], together[2];
    for (int i = 0; i < 2; ++i) {
        Scene* scene = setUp(runs[i]);
        ASSERT_NE(scene, nullptr);
        for (int tick = 0; tick < 150; ++tick) HashedTick(*scene, alone[i]);
        DestroyScene(scene);
    }
    Scene* scenes[2] = {setUp(runs[0]), setUp(runs[1])};
    ASSERT_TRUE(scenes[0] != nullptr && scenes[1] != nullptr);
    for (int tick = 0; tick < 150; ++tick) {
        for (int i = 0; i < 2; ++i) HashedTick(*scenes[i], together[i]);
    }
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(together[i], alone[i]) << runs[i].width << " x " << runs[i].height << " beside the other";
        DestroyScene(scenes[i]);
    }
}

}  // namespace
