// The command line of zarvo-render: every value checked, every mistake named.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "render/render.h"
#include "settings/display_settings.h"

namespace {

constexpr int kMaxSide = 4096;
constexpr long long kMaxTicks = 1000000;

int Fail(const char* format, const char* a, const char* b = "") {
    std::fprintf(stderr, "zarvo-render: ");
    std::fprintf(stderr, format, a, b);
    std::fprintf(stderr, "\nTry 'zarvo-render --help'.\n");
    return 0;
}

// A whole decimal number from `low` to `high`, nothing else.
int ParseNumber(const char* text, long long low, long long high, long long* value) {
    if (text == nullptr || *text < '0' || *text > '9') return 0;
    errno = 0;
    char* end = nullptr;
    const long long parsed = std::strtoll(text, &end, 10);
    if (errno != 0 || *end != '\0' || parsed < low || parsed > high) return 0;
    *value = parsed;
    return 1;
}

int ParseSize(const char* text, RenderOptions* options) {
    const char* cross = text ? std::strchr(text, 'x') : nullptr;
    if (cross == nullptr || cross - text > 15) return 0;
    char width[16] = {};
    std::memcpy(width, text, static_cast<size_t>(cross - text));
    long long w = 0, h = 0;
    if (!ParseNumber(width, 1, kMaxSide, &w) || !ParseNumber(cross + 1, 1, kMaxSide, &h)) return 0;
    options->width = static_cast<int>(w);
    options->height = static_cast<int>(h);
    return 1;
}

int ParseOption(const char* name, const char* value, RenderOptions* options) {
    long long number = 0;
    if (std::strcmp(name, "--size") == 0) {
        return ParseSize(value, options) ? 1 : Fail("--size wants WIDTHxHEIGHT, each 1 to 4096, got '%s'", value);
    }
    if (std::strcmp(name, "--screen-width") == 0) {
        if (!ParseNumber(value, 1, kMaxSide, &number)) return Fail("--screen-width wants 1 to 4096, got '%s'", value);
        options->screenWidth = static_cast<int>(number);
        return 1;
    }
    if (std::strcmp(name, "--picture-size") == 0) {
        if (ParsePictureSize(value, std::strlen(value), &options->pictureSize)) return 1;
        return Fail("--picture-size wants centred, whole-multiples or fill, got '%s'", value);
    }
    if (std::strcmp(name, "--seed") == 0) {
        if (!ParseNumber(value, 0, UINT32_MAX, &number)) return Fail("--seed wants 0 to 4294967295, got '%s'", value);
        options->seed = static_cast<uint32_t>(number);
        options->seedGiven = true;
        return 1;
    }
    if (std::strcmp(name, "--ticks") == 0) {
        if (!ParseNumber(value, 0, kMaxTicks, &number)) return Fail("--ticks wants 0 to 1000000, got '%s'", value);
        options->ticks = static_cast<int>(number);
        return 1;
    }
    if (std::strcmp(name, "--settings") == 0) return (options->settingsFile = value, 1);
    if (std::strcmp(name, "--out") == 0) return (options->out = value, 1);
    if (std::strcmp(name, "--gif") == 0) return (options->gif = value, 1);
    if (std::strcmp(name, "--out-pattern") == 0) {
        if (!IsFramePattern(value)) return Fail("--out-pattern wants one %%d or %%0Nd and no other '%%', got '%s'", value);
        options->outPattern = value;
        return 1;
    }
    return Fail("unknown option '%s'", name);
}

}  // namespace

int IsFramePattern(const std::string& pattern) {
    int conversions = 0;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%') continue;
        size_t j = i + 1;
        if (j < pattern.size() && pattern[j] == '0') {
            ++j;
            const size_t digits = j;
            while (j < pattern.size() && pattern[j] >= '0' && pattern[j] <= '9') ++j;
            if (j == digits || j - digits > 2) return 0;
        }
        if (j >= pattern.size() || pattern[j] != 'd') return 0;
        ++conversions;
        i = j;
    }
    return conversions == 1;
}

void PrintRenderUsage() {
    std::printf(
        "Usage: zarvo-render [options]\n"
        "Draws the Zarvo scene headless, as the saver window shows it on a true-colour\n"
        "display, and writes it as RGB PNG files.\n\n"
        "  --size WxH          client area (default 1024x768); the screen is as large\n"
        "  --screen-width W    screen width, when wider than the client (a preview pane)\n"
        "  --picture-size S    centred (default: one pixel per picture pixel, black\n"
        "                      around), whole-multiples (the largest whole multiple\n"
        "                      that fits) or fill (the largest size of the same shape);\n"
        "                      a preview pane is always centred\n"
        "  --seed S            generator state (default: twice the calendar time)\n"
        "  --ticks N           timer ticks after the first paint (default 100)\n"
        "  --settings FILE     a stored settings record of up to 72 bytes\n"
        "                      (default: the stored settings)\n"
        "  --out FILE.png      the client area after the last tick\n"
        "  --out-pattern PAT   every tick, PAT holding %%d or %%0Nd (e.g. frame-%%04d.png)\n"
        "  --gif FILE.gif      every tick as an animated GIF in the scene palette, each\n"
        "                      frame shown for the redraw period rounded to the nearest\n"
        "                      hundredth of a second (at least 2); lossless except for\n"
        "                      the blended edges of fill, which take the nearest colour\n"
        "  --help              this text\n");
}

int ParseRenderOptions(int argc, char** argv, RenderOptions* options) {
    for (int i = 1; i < argc; ++i) {
        const char* name = argv[i];
        if (std::strcmp(name, "--help") == 0 || std::strcmp(name, "-h") == 0) return -1;
        if (i + 1 >= argc) return Fail("option '%s' needs a value", name);
        if (!ParseOption(name, argv[++i], options)) return 0;
    }
    if (options->out.empty() && options->outPattern.empty() && options->gif.empty()) {
        return Fail("nothing to write: give --out FILE.png, --out-pattern PATTERN or --gif FILE.gif%s", "");
    }
    return 1;
}
