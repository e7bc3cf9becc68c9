// zarvo-render: sets the scene up for a client area on a true-colour display,
// paints it placed by the picture size, runs the timer ticks and writes what
// the window would show.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "app/monitor_plan.h"
#include "app/png_file.h"
#include "platform/services.h"
#include "render/gif_file.h"
#include "render/render.h"
#include "scene/scene.h"
#include "scene/screen_view.h"

namespace {

// The surface's 0x00RRGGBB pixels as an 8-bit RGB PNG file; 1 when written.
int WriteRgbPng(const char* path, const RgbSurface& surface) {
    PngPicture picture{surface.width, surface.height, kPngRgb, {}, {}};
    picture.samples.reserve(static_cast<size_t>(surface.width) * static_cast<size_t>(surface.height) * 3);
    for (int y = 0; y < surface.height; ++y) {
        const uint32_t* row = surface.pixels + static_cast<size_t>(y) * static_cast<size_t>(surface.pitch);
        for (int x = 0; x < surface.width; ++x) {
            picture.samples.insert(
                picture.samples.end(),
                {static_cast<uint8_t>(row[x] >> 16), static_cast<uint8_t>(row[x] >> 8), static_cast<uint8_t>(row[x])});
        }
    }
    return WriteFileBytes(path, EncodePng(picture, BestZlib));
}

// Says why `path` could not be written, from errno (cleared before the
// write began). Always 0, the failed write's result.
int SayCannotWrite(const char* path) {
    std::fprintf(stderr, "zarvo-render: cannot write '%s': %s\n", path,
                 errno != 0 ? std::strerror(errno) : "the file could not be completed");
    return 0;
}

// Writes the PNG file; says why not when it cannot. 1 when written.
int WriteOrSay(const char* path, const RgbSurface& surface) {
    errno = 0;
    return WriteRgbPng(path, surface) || SayCannotWrite(path);
}

// Up to 72 bytes over the defaults, as the store loads them; 0 otherwise.
int LoadSettingsFile(const char* path, SettingsRecord* record) {
    uint8_t bytes[kSettingsRecordSize + 1];
    const long size = ReadSettingsFile(path, bytes);
    if (size < 0) {
        std::fprintf(stderr, "zarvo-render: cannot open settings file '%s'\n", path);
        return 0;
    }
    *record = kDefaultSettings;
    if (!DecodeSettings(bytes, static_cast<size_t>(size), record)) {
        std::fprintf(stderr, "zarvo-render: settings file '%s' holds %s bytes; a record has 1 to 72\n", path,
                     size == 0 ? "no" : "more than 72");
        return 0;
    }
    return 1;
}

int SaveTick(const RenderOptions& options, const RgbSurface& surface, int tick) {
    char path[4096];
    // The pattern was checked to hold exactly one %d or %0Nd.
    const int length = std::snprintf(path, sizeof path, options.outPattern.c_str(), tick);
    if (length <= 0 || static_cast<size_t>(length) >= sizeof path) return 0;
    return WriteOrSay(path, surface);
}

// The run as an animated GIF: the surface read back into palette indices
// where each tick changed it.
struct GifOutput {
    std::unique_ptr<GifWriter, int (*)(GifWriter*)> writer;
    PaletteIndexer indexer;
    std::vector<uint8_t> frame;
    int delay;
};

void IndexArea(GifOutput& gif, const RgbSurface& surface, Rect area) {
    for (int y = area.y; y < area.y + area.height; ++y) {
        const size_t row = static_cast<size_t>(y) * static_cast<size_t>(surface.pitch);
        for (int x = area.x; x < area.x + area.width; ++x) {
            gif.frame[static_cast<size_t>(y) * static_cast<size_t>(surface.width) + x] =
                gif.indexer.IndexOf(surface.pixels[row + x]);
        }
    }
}

int AddFrame(GifOutput& gif, const RgbSurface& surface, Rect changed, const char* path) {
    IndexArea(gif, surface, changed);
    errno = 0;
    return AddGifFrame(*gif.writer, gif.frame, changed, gif.delay) || SayCannotWrite(path);
}

// The refusal of a client area narrower than the scene, in the renderer's
// own words: a picture of --size, not a window and its colours.
void SayTooNarrow(const RenderOptions& options) {
    std::fprintf(stderr,
                 "zarvo-render: --size %dx%d is too narrow: the scene needs a picture at least 640 pixels wide\n",
                 options.width, options.height);
    if (options.width < 640) {
        std::fprintf(stderr,
                     "zarvo-render: give --scale-down to shrink the 640 x 480 scene into it, or\n"
                     "--screen-width W (640 or more) for a still preview pane\n");
    }
}

int Render(const RenderOptions& options, const SettingsRecord& settings) {
    std::vector<uint32_t> pixels(static_cast<size_t>(options.width) * static_cast<size_t>(options.height), 0);
    RgbSurface surface = {pixels.data(), options.width, options.height, options.width};
    static DisplayPaletteInfo trueColour = {-1, 0, {}};
    const bool preview = options.screenWidth > options.width;
    SceneWindowInfo window = {options.width, options.height, preview ? options.screenWidth : options.width, 32,
                              &trueColour};
    PictureSize pictureSize = options.pictureSize;
    if (options.scaleDown) window = ShrinkSmallArea(window, &pictureSize);
    const uint32_t seed = options.seedGiven ? options.seed : SeedFromClock();
    const SceneSetUp setUp = SetUpScene(window, settings, seed);
    if (setUp.outcome == kSceneRefused) {
        SayTooNarrow(options);
        return 2;
    }
    if (setUp.scene == nullptr) {
        std::fprintf(stderr, "zarvo-render: the scene could not be set up (pictures missing or damaged)\n");
        return 2;
    }
    const std::unique_ptr<Scene, void (*)(Scene*)> owner(setUp.scene, DestroyScene);
    const std::unique_ptr<ScreenView, void (*)(ScreenView*)> view(
        CreateScreenView(setUp.scene, pictureSize, options.width, options.height), DestroyScreenView);
    if (view == nullptr) {
        std::fprintf(stderr, "zarvo-render: out of memory\n");
        return 1;
    }
    const RgbPixels target = {surface.pixels, surface.pitch, {0, 0, surface.width, surface.height}};
    PaintScreenView(*view, target);
    const Rect whole = {0, 0, surface.width, surface.height};
    GifOutput gif{{nullptr, CloseGif},
                  PaletteIndexer(setUp.scene->palette),
                  {},
                  GifDelayCentiseconds(FrameTimerPeriod(*setUp.scene))};
    if (!options.gif.empty()) {
        errno = 0;
        gif.writer.reset(OpenGif(options.gif.c_str(), surface.width, surface.height, view->rgbTable));
        if (gif.writer == nullptr) {
            SayCannotWrite(options.gif.c_str());
            return 1;
        }
        gif.frame.assign(pixels.size(), 0);
        IndexArea(gif, surface, whole);
    }
    int ticks = 0;
    for (int tick = 1; tick <= options.ticks && SceneAnimates(*setUp.scene); ++tick, ++ticks) {
        const Rect changed = TickScreenView(*view, target);
        if (!options.outPattern.empty() && !SaveTick(options, surface, tick)) return 1;
        if (gif.writer != nullptr && !AddFrame(gif, surface, tick == 1 ? whole : changed, options.gif.c_str())) {
            return 1;
        }
    }
    // With no tick the GIF is the still picture.
    if (gif.writer != nullptr && ticks == 0 && !AddFrame(gif, surface, whole, options.gif.c_str())) return 1;
    errno = 0;
    if (gif.writer != nullptr && !CloseGif(gif.writer.release())) {
        SayCannotWrite(options.gif.c_str());
        return 1;
    }
    if (!options.out.empty() && !WriteOrSay(options.out.c_str(), surface)) return 1;
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    RenderOptions options;
    if (!ParseRenderOptions(argc, argv, &options)) return 2;
    if (options.help) {
        PrintRenderUsage();
        return 0;
    }
    if (options.version) {
        std::printf("zarvo-render %s\n", kZarvoVersion);
        return 0;
    }
    SettingsRecord settings = kDefaultSettings;
    if (!options.settingsFile.empty()) {
        if (!LoadSettingsFile(options.settingsFile.c_str(), &settings)) return 2;
    } else {
        ReadSettings(&settings);
    }
    ApplyGivenSettings(options.settings, &settings);
    ReportClampedSettings("zarvo-render", options.settings, "using");
    return Render(options, settings);
}
