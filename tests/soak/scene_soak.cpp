// scene-soak: the scene for many frames in each resolution class and at the
// edges of the settings, checking the screen outside the strip after each.
//
// The settings: their minimum, default and maximum, and stored values far
// above and below the ranges.
//
//   scene-soak FRAMES [CLASS [--no-strip]]
//
// FRAMES in all, shared evenly between the runs; CLASS 0, 1 or 2 alone. --no-strip lets nothing change, not
// even the strip, so a sound scene must fail at its first frame: the test
// that the check sees a change at all.
#include <algorithm>
#include <chrono>
#include <cinttypes>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "scene/screen_view.h"

namespace {

// The client sizes of the classes the scene animates (0, 1, 2).
struct ClassSize {
    int sceneClass, width, height;
};
constexpr ClassSize kClassSizes[] = {{0, 1024, 768}, {1, 800, 600}, {2, 640, 480}};

// Columns and rows around the client area that the scene may never touch:
// a clipping fault there would stay inside the buffer, unseen by the sanitizers.
constexpr int kGuard = 16;
constexpr uint32_t kGuardColour = 0x00C0FFEE;
constexpr uint32_t kSeed = 20261208;

struct SettingsCase {
    const char* name;
    SettingsRecord record;
};

SettingsRecord WithValues(int32_t (*value)(const Setting&)) {
    SettingsRecord record = kDefaultSettings;
    for (Setting& entry : record.entries) entry.value = value(entry);
    return record;
}

// Far outside, with stored ranges as wrong as the values: the scene must
// hold to its built-in ones.
SettingsRecord FarOutside(int32_t value) {
    SettingsRecord record;
    for (Setting& entry : record.entries) entry = {value, -value - 1, value};
    return record;
}

std::vector<SettingsCase> SettingsCases() {
    return {
        {"minimum", WithValues([](const Setting& s) { return s.min; })},
        {"default", kDefaultSettings},
        {"maximum", WithValues([](const Setting& s) { return s.max; })},
        {"far-above", FarOutside(INT32_MAX)},
        {"far-below", FarOutside(INT32_MIN)},
    };
}

// The screen image with its guard border; the scene sees only the client area.
struct Screen {
    int width, height, pitch;
    std::vector<uint32_t> memory;
    RgbPixels client;  // the client area inside the guard
};

void MakeScreen(Screen* screen, int width, int height) {
    screen->width = width;
    screen->height = height;
    screen->pitch = width + 2 * kGuard;
    screen->memory.assign(static_cast<size_t>(screen->pitch) * (height + 2 * kGuard), kGuardColour);
    uint32_t* client = screen->memory.data() + static_cast<size_t>(kGuard) * screen->pitch + kGuard;
    screen->client = {client, screen->pitch, {0, 0, width, height}};
}

// The first pixel of the whole image, guard included, that differs from
// `painted` outside `frame` (client coordinates); -1 when there is none.
long FirstChangeOutside(const Screen& screen, const std::vector<uint32_t>& painted, Rect frame) {
    const int rows = screen.height + 2 * kGuard;
    const int left = frame.x + kGuard, right = left + frame.width;
    const int top = frame.y + kGuard, bottom = top + frame.height;
    for (int y = 0; y < rows; ++y) {
        const size_t row = static_cast<size_t>(y) * screen.pitch;
        const uint32_t* now = screen.memory.data() + row;
        const uint32_t* then = painted.data() + row;
        const bool split = y >= top && y < bottom;
        const int spans[2][2] = {{0, split ? left : screen.pitch}, {split ? right : screen.pitch, screen.pitch}};
        for (const auto& span : spans) {
            const size_t bytes = static_cast<size_t>(span[1] - span[0]) * sizeof(uint32_t);
            if (span[1] <= span[0] || std::memcmp(now + span[0], then + span[0], bytes) == 0) continue;
            for (int x = span[0]; x < span[1]; ++x) {
                if (now[x] != then[x]) return static_cast<long>(row) + x;
            }
        }
    }
    return -1;
}

bool FrameChanged(const Screen& screen, const std::vector<uint32_t>& painted, Rect frame) {
    for (int y = frame.y + kGuard; y < frame.y + kGuard + frame.height; ++y) {
        const size_t at = static_cast<size_t>(y) * screen.pitch + frame.x + kGuard;
        if (std::memcmp(&screen.memory[at], &painted[at], frame.width * sizeof(uint32_t)) != 0) return true;
    }
    return false;
}

// One run: set-up, the paint, then `frames` frames each checked. 1 when sound.
int Soak(const ClassSize& size, const SettingsCase& settings, long frames, bool noStrip) {
    const std::string what = std::to_string(size.width) + "x" + std::to_string(size.height) + " " + settings.name;
    Screen screen;
    MakeScreen(&screen, size.width, size.height);
    static const DisplayPaletteInfo trueColour = {-1, 0, {}};
    const SceneWindowInfo window = {size.width, size.height, size.width, 32, &trueColour};
    Scene* scene = SetUpScene(window, settings.record, kSeed).scene;
    const std::unique_ptr<Scene, void (*)(Scene*)> owner(scene, DestroyScene);
    const std::unique_ptr<ScreenView, void (*)(ScreenView*)> view(
        CreateScreenView(scene, kPictureCentred, size.width, size.height), DestroyScreenView);
    const Rect strip = scene ? ClipTo(FrameWindowRect(*scene), size.width, size.height) : Rect{};
    if (!scene || !view || scene->resolutionClass != size.sceneClass || strip.width == 0 || strip.height == 0) {
        std::fprintf(stderr, "%s: the scene did not set up as class %d with a strip to draw\n", what.c_str(),
                     size.sceneClass);
        return 0;
    }
    const Rect frame = noStrip ? Rect{strip.x, strip.y, 0, strip.height} : strip;
    PaintScreenView(*view, screen.client);
    const std::vector<uint32_t> painted = screen.memory;
    long changedFrames = 0;
    for (long n = 1; n <= frames; ++n) {
        TickScreenView(*view, screen.client);
        const long at = FirstChangeOutside(screen, painted, frame);
        if (at >= 0) {
            std::fprintf(stderr, "%s: frame %ld changed the screen at (%ld, %ld), outside the strip\n", what.c_str(), n,
                         at % screen.pitch - kGuard, at / screen.pitch - kGuard);
            return 0;
        }
        // A strip that never moves would make every check above pass.
        if (n % 97 == 1 && FrameChanged(screen, painted, frame)) ++changedFrames;
    }
    if (frames > 0 && changedFrames == 0) {
        std::fprintf(stderr, "%s: no frame drew anything in the strip\n", what.c_str());
        return 0;
    }
    std::printf("%-22s %ld frames, strip %dx%d at (%d, %d)\n", what.c_str(), frames, frame.width, frame.height, frame.x,
                frame.y);
    std::fflush(stdout);
    return 1;
}

int Usage() {
    std::fprintf(stderr, "usage: scene-soak FRAMES [CLASS [--no-strip]]   (FRAMES in all, CLASS 0, 1 or 2)\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 4) return Usage();
    char* end = nullptr;
    const long frames = std::strtol(argv[1], &end, 10);
    if (*argv[1] == '\0' || *end != '\0' || frames < 1) return Usage();
    int onlyClass = -1;
    if (argc >= 3) {
        onlyClass = argv[2][0] - '0';
        if (std::strlen(argv[2]) != 1 || onlyClass < 0 || onlyClass > 2) return Usage();
    }
    const bool noStrip = argc == 4;
    if (noStrip && std::strcmp(argv[3], "--no-strip") != 0) return Usage();
    const auto start = std::chrono::steady_clock::now();
    const std::vector<SettingsCase> cases = SettingsCases();
    const long runs = static_cast<long>(cases.size()) * (onlyClass >= 0 ? 1 : std::size(kClassSizes));
    const long perRun = (frames + runs - 1) / runs;
    for (const ClassSize& size : kClassSizes) {
        if (onlyClass >= 0 && size.sceneClass != onlyClass) continue;
        for (const SettingsCase& settings : cases) {
            if (!Soak(size, settings, perRun, noStrip)) return 1;
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%ld runs, %ld frames in all, %.0f s\n", runs, runs * perRun, seconds);
    return 0;
}
