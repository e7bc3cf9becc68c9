// Comparing screen captures with the renderer's pictures.
// GoogleTest first: Xlib defines None and Bool as macros.
#include <gtest/gtest.h>

#include "captures.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

int ChannelGap(uint32_t a, uint32_t b, int shift) {
    return std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
}

}  // namespace

Difference Compare(const Picture& expected, const Picture& got, int tolerance, Rect skip) {
    Difference difference;
    if (expected.width != got.width || expected.height != got.height) {
        difference.count = -1;
        return difference;
    }
    for (int y = 0; y < got.height; ++y) {
        for (int x = 0; x < got.width; ++x) {
            uint32_t want = expected.At(x, y), have = got.At(x, y);
            if (Contains(skip, x, y)) continue;
            if (ChannelGap(want, have, 16) <= tolerance && ChannelGap(want, have, 8) <= tolerance &&
                ChannelGap(want, have, 0) <= tolerance) {
                continue;
            }
            if (difference.count++ == 0) difference = {1, x, y, want, have};
        }
    }
    return difference;
}

std::string Describe(const Difference& d) {
    if (d.count == -1) return "pictures of different sizes";
    if (d.count == -2) return "nothing could be captured";
    char text[160];
    snprintf(text, sizeof text, "%ld pixels differ; first at (%d, %d): expected 0x%06x, got 0x%06x", d.count, d.x, d.y,
             d.expected, d.got);
    return text;
}

Rect FrameStripFor(int width, int height) {
    static DisplayPaletteInfo trueColour{-1, 0, {}};
    Scene* scene = SetUpScene(SceneWindowInfo{width, height, width, 32, &trueColour}, kDefaultSettings, 1).scene;
    Rect strip = scene ? FrameWindowRect(*scene) : Rect{0, 0, 0, 0};
    DestroyScene(scene);
    return strip;
}

Picture Render(const std::string& size, int seed, int ticks, const std::string& extra) {
    std::string out = MakeTempDir("render") + "/expected.png";
    std::vector<std::string> args = {ZARVO_RENDER,          "--size", size, "--seed", std::to_string(seed), "--ticks",
                                     std::to_string(ticks), "--out",  out};
    if (!extra.empty()) {
        args.push_back(extra.substr(0, extra.find(' ')));
        args.push_back(extra.substr(extra.find(' ') + 1));
    }
    std::string errors;
    Picture picture;
    EXPECT_EQ(RunProgram(args, "", {}, 60000, &errors), 0) << "zarvo-render: " << errors;
    EXPECT_TRUE(ReadPng(out, &picture)) << "expected a PNG at " << out;
    return picture;
}

Difference WaitForPicture(Display* display, Window window, int x, int y, const Picture& expected, int tolerance,
                          Rect skip, int timeoutMs) {
    Difference difference{-2};
    int64_t deadline = NowMs() + timeoutMs;
    do {
        Picture got;
        if (CaptureWindow(display, window, x, y, expected.width, expected.height, &got)) {
            difference = Compare(expected, got, tolerance, skip);
            if (difference.count == 0) break;
        }
        SleepMs(50);
    } while (NowMs() < deadline);
    return difference;
}

Difference WaitForChange(Display* display, Window window, Rect area, const Picture& first, int timeoutMs) {
    Difference difference{-2};
    int64_t deadline = NowMs() + timeoutMs;
    do {
        SleepMs(20);
        Picture later;
        if (CaptureWindow(display, window, area.x, area.y, area.width, area.height, &later)) {
            difference = Compare(first, later, 0);
            if (difference.count > 0) break;
        }
    } while (NowMs() < deadline);
    return difference;
}
