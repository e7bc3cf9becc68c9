// Compositing at the scene's sizes, each beside a plain memcpy of the same
// bytes measured in the same run; the transparent blit also beside SDL2's
// 8-bit colour-key blit of the same cell. Compare the pairs' times.
#include <benchmark/benchmark.h>
#include <SDL2/SDL.h>

#include <cstring>
#include <vector>

#include "image/compose.h"
#include "image/palette.h"

namespace {

constexpr int kStripWidth = 917, kStripHeight = 334;
constexpr int kCellWidth = 38, kCellHeight = 32;
constexpr int kCellX = 40, kCellY = 20, kCellToX = 301, kCellToY = 117;

// Deterministic pseudo-random bytes, so that runs compare.
uint32_t NextRandom(uint32_t& state) {
    state = state * 1103515245u + 12345u;
    return state >> 16;
}

Image* NoisyImage(int width, int height, uint32_t seed) {
    Image* image = CreateImage(width, height, nullptr);
    for (int i = 0; i < kColorCount; ++i)
        image->header->colors[i] = RgbQuad{uint8_t(i), uint8_t(3 * i), uint8_t(255 - i), 0};
    uint8_t* pixels = ImagePixels(image);
    for (int i = 0; i < ImageStride(image) * height; ++i) pixels[i] = uint8_t(NextRandom(seed));
    return image;
}

// A figure sheet whose cells are about half transparent, in runs as figures are.
Image* FigureSheet() {
    Image* sheet = NoisyImage(256, 172, 7);
    uint32_t seed = 99;
    for (int y = 0; y < 172; ++y) {
        int x = 0;
        while (x < 256) {
            int run = 1 + int(NextRandom(seed) % 6);
            if (NextRandom(seed) & 1) FillImageRect(sheet, {x, y, run, 1}, 0);
            x += run;
        }
    }
    return sheet;
}

struct Scene {
    Image* background = NoisyImage(1024, 768, 1);
    Image* frame = CreateImage(kStripWidth, kStripHeight, background);
    Image* sheet = FigureSheet();
    std::vector<uint8_t> from = std::vector<uint8_t>(1024 * 768, 1);
    std::vector<uint8_t> to = std::vector<uint8_t>(1024 * 768, 2);
};

Scene& TheScene() {
    static Scene scene;
    return scene;
}

void Memcpy(benchmark::State& state, size_t bytes) {
    Scene& s = TheScene();
    for (auto _ : state) {
        memcpy(s.to.data(), s.from.data(), bytes);
        benchmark::DoNotOptimize(s.to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
}

void StripCopy(benchmark::State& state) {
    Scene& s = TheScene();
    for (auto _ : state) {
        CopyImageRect(s.background, {53, 217, kStripWidth, kStripHeight}, s.frame, {0, 0});
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kStripWidth * kStripHeight);
}
BENCHMARK(StripCopy);
BENCHMARK_CAPTURE(Memcpy, StripBytes, size_t{kStripWidth} * kStripHeight);

void TransparentBlit(benchmark::State& state) {
    Scene& s = TheScene();
    for (auto _ : state) {
        BlitTransparent(s.sheet, {kCellX, kCellY, kCellWidth, kCellHeight}, s.frame, {kCellToX, kCellToY});
        benchmark::ClobberMemory();
    }
}
BENCHMARK(TransparentBlit);
BENCHMARK_CAPTURE(Memcpy, CellBytes, size_t{kCellWidth} * kCellHeight);

// SDL surfaces over the same pixel buffers, one shared palette so that SDL
// takes its 8-bit to 8-bit colour-key path without translation.
void SdlColorKeyBlit(benchmark::State& state) {
    Scene& s = TheScene();
    SDL_Surface* sheet = SDL_CreateRGBSurfaceWithFormatFrom(ImagePixels(s.sheet), 256, 172, 8, ImageStride(s.sheet),
                                                            SDL_PIXELFORMAT_INDEX8);
    SDL_Surface* frame = SDL_CreateRGBSurfaceWithFormatFrom(ImagePixels(s.frame), kStripWidth, kStripHeight, 8,
                                                            ImageStride(s.frame), SDL_PIXELFORMAT_INDEX8);
    SDL_Palette* palette = SDL_AllocPalette(256);
    if (!sheet || !frame || !palette) {
        state.SkipWithError("SDL surfaces could not be made");
        return;
    }
    SDL_SetSurfacePalette(sheet, palette);
    SDL_SetSurfacePalette(frame, palette);
    SDL_SetColorKey(sheet, SDL_TRUE, 0);
    // SDL rows run top-down: the cell's top row is stored row 171 - kCellY.
    SDL_Rect from{kCellX, 172 - kCellY - kCellHeight, kCellWidth, kCellHeight};
    SDL_Rect to{kCellToX, kStripHeight - kCellToY - kCellHeight, kCellWidth, kCellHeight};
    for (auto _ : state) {
        SDL_Rect where = to;
        SDL_BlitSurface(sheet, &from, frame, &where);
        benchmark::ClobberMemory();
    }
    SDL_FreeSurface(sheet);
    SDL_FreeSurface(frame);
    SDL_FreePalette(palette);
}
BENCHMARK(SdlColorKeyBlit);

void Fill2x2(benchmark::State& state) {
    Scene& s = TheScene();
    int colour = 0;
    for (auto _ : state) {
        FillImageRect(s.frame, {400, 200, 2, 2}, ++colour);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(Fill2x2);
BENCHMARK_CAPTURE(Memcpy, FillBytes, size_t{4});

void Scale1024To640(benchmark::State& state) {
    Scene& s = TheScene();
    for (auto _ : state) {
        state.PauseTiming();
        Image* image = CreateImage(1024, 768, s.background);
        memcpy(ImagePixels(image), ImagePixels(s.background), 1024 * 768);
        state.ResumeTiming();
        ScaleImage(&image, 0.625, 0.625);
        benchmark::DoNotOptimize(image);
        state.PauseTiming();
        DestroyImage(image);
        state.ResumeTiming();
    }
}
BENCHMARK(Scale1024To640);
BENCHMARK_CAPTURE(Memcpy, ScaledBytes, size_t{640} * 480);

void Remap1024x768(benchmark::State& state) {
    Scene& s = TheScene();
    DisplayPaletteInfo display{};
    display.staticColors = 20;
    display.paletteSize = 256;
    Palette* palette = CreateScenePaletteFor(s.background, &display);
    for (auto _ : state) {
        RemapImage(s.background, palette);
        benchmark::ClobberMemory();
    }
    DestroyPalette(palette);
}
BENCHMARK(Remap1024x768);
BENCHMARK_CAPTURE(Memcpy, PictureBytes, size_t{1024} * 768);

}  // namespace

BENCHMARK_MAIN();
