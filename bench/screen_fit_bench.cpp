// Scaling the animated strip to the screen at fit size, at 1920 x 1080 and
// 3840 x 2160, each beside a memcpy of the same output bytes measured in the
// same run. Compare the pairs' times.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "image/screen_scale.h"

namespace {

// The strip of the 1024 x 768 picture that every tick recomposes.
constexpr Rect kStrip{53, 217, 917, 334};

struct Screen {
    ScreenFit* fit;
    Image* picture;
    uint32_t table[kColorCount];
    std::vector<uint32_t> pixels;
    std::vector<uint32_t> copy;
    Rect touched;

    Screen(int width, int height)
        : fit(CreateScreenFit(kPictureFit, 1024, 768, width, height)),
          picture(CreateImage(1024, 768, nullptr)),
          pixels(size_t(width) * size_t(height)),
          touched(ScreenRectOf(fit, kStrip)) {
        uint32_t seed = 1;
        for (uint32_t& entry : table) entry = (seed = seed * 1103515245u + 12345u) >> 8;
        uint8_t* bytes = ImagePixels(picture);
        for (int i = 0; i < ImageStride(picture) * 768; ++i)
            bytes[i] = uint8_t((seed = seed * 1103515245u + 12345u) >> 16);
        copy.resize(size_t(touched.width) * size_t(touched.height));
    }
};

Screen& ScreenOf(int width) {
    static Screen full(1920, 1080), ultra(3840, 2160);
    return width == 1920 ? full : ultra;
}

void ScaleStrip(benchmark::State& state) {
    Screen& s = ScreenOf(int(state.range(0)));
    const RgbPixels target{s.pixels.data(), s.fit->placement.screenWidth,
                           Rect{0, 0, s.fit->placement.screenWidth, s.fit->placement.screenHeight}};
    for (auto _ : state) {
        ScalePictureRect(s.fit, s.picture, s.table, kStrip, target);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(s.copy.size() * sizeof(uint32_t)));
}
BENCHMARK(ScaleStrip)->Arg(1920)->Arg(3840)->Unit(benchmark::kMicrosecond);

// The same screen bytes copied from a buffer of their own.
void MemcpyStripBytes(benchmark::State& state) {
    Screen& s = ScreenOf(int(state.range(0)));
    const size_t bytes = s.copy.size() * sizeof(uint32_t);
    for (auto _ : state) {
        std::memcpy(s.pixels.data(), s.copy.data(), bytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
}
BENCHMARK(MemcpyStripBytes)->Arg(1920)->Arg(3840)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
