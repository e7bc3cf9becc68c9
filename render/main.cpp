// zarvo-render: sets the scene up for a client area on a true-colour display,
// paints it placed by the picture size, runs the timer ticks and writes what
// the window would show.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "app/png_file.h"
#include "app/scene_run.h"
#include "app/stored_settings.h"
#include "platform/services.h"
#include "render/gif_file.h"
#include "render/render.h"

namespace {

// The surface's 0x00RRGGBB pixels as an 8-bit RGB PNG file; 1 when written.
int WriteRgbPng(const char* path, const RgbPixels& surface) {
    const int width = surface.area.width, height = surface.area.height;
    PngPicture picture{width, height, kPngRgb, {}, {}};
    picture.samples.reserve(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    for (int y = 0; y < height; ++y) {
        const uint32_t* row = surface.pixels + static_cast<size_t>(y) * static_cast<size_t>(surface.pitch);
        for (int x = 0; x < width; ++x) {
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
int WriteOrSay(const char* path, const RgbPixels& surface) {
    errno = 0;
    return WriteRgbPng(path, surface) || SayCannotWrite(path);
}

int SaveTick(const RenderOptions& options, const RgbPixels& surface, int tick) {
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

void IndexArea(GifOutput& gif, const RgbPixels& surface, Rect area) {
    for (int y = area.y; y < area.y + area.height; ++y) {
        const size_t row = static_cast<size_t>(y) * static_cast<size_t>(surface.pitch);
        for (int x = area.x; x < area.x + area.width; ++x) {
            gif.frame[static_cast<size_t>(y) * static_cast<size_t>(surface.area.width) + x] =
                gif.indexer.IndexOf(surface.pixels[row + x]);
        }
    }
}

int AddFrame(GifOutput& gif, const RgbPixels& surface, Rect changed, const char* path) {
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

// The run of one area, the whole surface: 0 when it started, else the exit status.
int StartRender(const RenderOptions& options, const SettingsRecord& settings, SceneRun* run) {
    BeginRun(run, {settings, {options.pictureSize, kMonitorsAll}, options.seedGiven, options.seed, -1, -1});
    const MonitorPlan plan{{0, 0, options.width, options.height}, 1, 1, run->seed};
    const int screenWidth = options.screenWidth > options.width ? options.screenWidth : 0;
    const RunStart start = StartAreaScenes(run, &plan, 1, {screenWidth, 32, options.scaleDown});
    if (start == kRunRefused) SayTooNarrow(options);
    if (start == kRunRefused || !ReportRunStart(run, start, "zarvo-render", 32))
        return start == kRunOutOfMemory ? 1 : 2;
    return 0;
}

int Render(const RenderOptions& options, SceneRun* run) {
    std::vector<uint32_t> pixels(static_cast<size_t>(options.width) * static_cast<size_t>(options.height), 0);
    const Rect whole = {0, 0, options.width, options.height};
    const RgbPixels surface = {pixels.data(), options.width, whole};
    PaintAreas(run, surface, 0, options.height);
    const Scene& scene = *run->areas[0].scene;
    GifOutput gif{
        {nullptr, CloseGif}, PaletteIndexer(scene.palette), {}, GifDelayCentiseconds(FrameTimerPeriod(scene))};
    if (!options.gif.empty()) {
        errno = 0;
        gif.writer.reset(OpenGif(options.gif.c_str(), options.width, options.height, run->areas[0].view->rgbTable));
        if (gif.writer == nullptr) {
            SayCannotWrite(options.gif.c_str());
            return 1;
        }
        gif.frame.assign(pixels.size(), 0);
        IndexArea(gif, surface, whole);
    }
    int ticks = 0;
    for (int tick = 1; tick <= options.ticks && SceneAnimates(scene); ++tick, ++ticks) {
        Rect rects[kMaxViewChanges];
        const int count = TickAreas(run, surface, rects, kMaxViewChanges);
        Rect changed = {0, 0, 0, 0};
        for (int k = 0; k < count; ++k) changed = Union(changed, rects[k]);
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
    const char* file = options.settingsFile.c_str();
    const char* problem = options.settingsFile.empty() ? nullptr : LoadSettingsFile(file, 0, &settings);
    if (problem != nullptr) {
        std::fprintf(stderr, "zarvo-render: the settings file '%s' cannot be used: %s\n", file, problem);
        return 2;
    }
    if (options.settingsFile.empty()) ReadSettings(&settings);
    ApplyGivenSettings(options.settings, &settings);
    ReportClampedSettings("zarvo-render", options.settings, "using");
    SceneRun run;
    int status = StartRender(options, settings, &run);
    if (status == 0) status = Render(options, &run);
    EndScenes(&run);
    return status;
}
