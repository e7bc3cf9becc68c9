// The animated GIF: the changed rectangles and their transparency, the delay,
// the colour indices, and zarvo-render's file decoded frame by frame against
// the scene drawn here tick by tick.
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "render/gif_frames.h"
#include "scene/scene.h"
#include "scene/screen_view.h"

namespace {

constexpr int kWidth = 8;

// `previous` with the patch drawn over it as a GIF viewer would.
std::vector<uint8_t> Apply(std::vector<uint8_t> previous, const GifPatch& patch) {
    size_t i = 0;
    for (int y = patch.rect.y; y < patch.rect.y + patch.rect.height; ++y) {
        for (int x = patch.rect.x; x < patch.rect.x + patch.rect.width; ++x, ++i) {
            if (patch.pixels[i] != patch.transparent) previous[static_cast<size_t>(y) * kWidth + x] = patch.pixels[i];
        }
    }
    return previous;
}

TEST(GifFramesTest, EachPatchRebuildsTheFrameFromTheSmallestRectangle) {
    struct Change {
        int x, y, index;
    };
    struct Case {
        const char* name;
        std::vector<Change> changes;
        Rect expected;
        bool transparent;
    };
    std::vector<Change> everyIndex;
    for (int i = 0; i < 64; ++i) everyIndex.push_back({i % 8, i / 8, 200 + (i % 56)});
    const Case cases[] = {
        {"one pixel", {{3, 2, 9}}, {3, 2, 1, 1}, true},
        {"two corners", {{1, 1, 40}, {6, 5, 40}}, {1, 1, 6, 5}, true},
        {"opposite corners", {{0, 7, 30}, {7, 0, 31}}, {0, 0, 8, 8}, true},
        {"nothing", {}, {0, 0, 1, 1}, true},
        {"whole frame", everyIndex, {0, 0, 8, 8}, true},
    };
    std::vector<uint8_t> before(kWidth * 8);
    for (size_t i = 0; i < before.size(); ++i) before[i] = static_cast<uint8_t>(i % 5);
    for (const Case& c : cases) {
        std::vector<uint8_t> after = before;
        for (const Change& change : c.changes)
            after[static_cast<size_t>(change.y) * kWidth + change.x] = static_cast<uint8_t>(change.index);
        const GifPatch patch = MakeGifPatch(before.data(), after.data(), kWidth, {0, 0, kWidth, 8});
        EXPECT_EQ(Apply(before, patch), after) << c.name;
        EXPECT_EQ(patch.rect.x, c.expected.x) << c.name;
        EXPECT_EQ(patch.rect.y, c.expected.y) << c.name;
        EXPECT_EQ(patch.rect.width, c.expected.width) << c.name;
        EXPECT_EQ(patch.rect.height, c.expected.height) << c.name;
        EXPECT_EQ(patch.transparent >= 0, c.transparent) << c.name;
    }
}

TEST(GifFramesTest, AFrameUsingEveryIndexIsDrawnWholeAndTheFirstIsOpaque) {
    // 16 x 16 pixels, each changed to a different index: none is free.
    std::vector<uint8_t> before(256), after(256);
    for (int i = 0; i < 256; ++i) after[i] = static_cast<uint8_t>(i), before[i] = static_cast<uint8_t>(i + 1);
    const GifPatch patch = MakeGifPatch(before.data(), after.data(), 16, {0, 0, 16, 16});
    EXPECT_EQ(patch.transparent, -1);
    EXPECT_EQ(patch.pixels, after);
    // One pixel kept: its index is not needed by a change, so it is the free one.
    before[77] = 77;
    EXPECT_EQ(MakeGifPatch(before.data(), after.data(), 16, {0, 0, 16, 16}).transparent, 77);

    const GifPatch first = MakeGifPatch(nullptr, after.data(), 16, {0, 0, 16, 16});
    EXPECT_EQ(first.transparent, -1);
    EXPECT_EQ(first.rect.width * first.rect.height, 256);
}

TEST(GifFramesTest, DelaysRoundToTheNearestHundredthAndNeverBelowTwo) {
    const int cases[][2] = {{601, 60}, {591, 59}, {104, 10}, {105, 11}, {25, 3}, {24, 2}, {14, 2}, {1, 2}};
    for (const auto& c : cases) EXPECT_EQ(GifDelayCentiseconds(c[0]), c[1]) << c[0] << " ms";
}

TEST(GifFramesTest, ColoursTakeTheirOwnEntryOrTheNearest) {
    Palette palette{};
    for (int i = 0; i < kColorCount; ++i) {
        const uint8_t grey = static_cast<uint8_t>(i);
        palette.entries[i] = {grey, grey, grey, 0};
    }
    palette.entries[7] = {0xff, 0, 0, 0};
    PaletteIndexer indexer(&palette);
    EXPECT_EQ(indexer.IndexOf(0xff0000), 7);
    EXPECT_EQ(indexer.IndexOf(0x202020), 0x20);
    EXPECT_EQ(indexer.IndexOf(0xf00808), 7) << "nearest to a strong red";
    EXPECT_EQ(indexer.IndexOf(0x212122), 0x21);
    EXPECT_EQ(indexer.IndexOf(0xff0000), 7) << "asked again, from what was seen";
}

// ---- zarvo-render --gif ----

std::string TempPath(const std::string& name) {
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir != nullptr && dir[0] != '\0' ? dir : "/tmp") + "/zarvo-gif-test-" +
           std::to_string(getpid()) + "-" + name;
}

// The GIF's frames composed as a viewer shows them, 0x00RRGGBB; empty when
// the file does not decode. `delays` gets each frame's delay.
std::vector<std::vector<uint32_t>> DecodeGif(const std::string& path, std::vector<int>* delays) {
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    std::vector<std::vector<uint32_t>> frames;
    if (gif == nullptr) return frames;
    if (DGifSlurp(gif) == GIF_OK && gif->SColorMap != nullptr) {
        std::vector<uint32_t> screen(static_cast<size_t>(gif->SWidth) * gif->SHeight, 0);
        for (int f = 0; f < gif->ImageCount; ++f) {
            const SavedImage& image = gif->SavedImages[f];
            GraphicsControlBlock control{};
            DGifSavedExtensionToGCB(gif, f, &control);
            delays->push_back(control.DelayTime);
            const GifImageDesc& d = image.ImageDesc;
            for (int y = 0; y < d.Height; ++y) {
                for (int x = 0; x < d.Width; ++x) {
                    const int index = image.RasterBits[y * d.Width + x];
                    if (index == control.TransparentColor) continue;
                    const GifColorType c = gif->SColorMap->Colors[index];
                    screen[static_cast<size_t>(d.Top + y) * gif->SWidth + d.Left + x] =
                        uint32_t{c.Red} << 16 | uint32_t{c.Green} << 8 | c.Blue;
                }
            }
            frames.push_back(screen);
        }
    }
    DGifCloseFile(gif, &error);
    return frames;
}

struct GifRun {
    PictureSize size;
    const char* sizeName;
    int width, height, ticks, redraw;
    uint32_t seed;
};

// A settings file holding `settings`; its path.
std::string SettingsFile(const SettingsRecord& settings) {
    uint8_t bytes[kSettingsRecordSize];
    EncodeSettings(settings, bytes);
    const std::string path = TempPath("settings");
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes), sizeof bytes);
    return path;
}

// The run's GIF, each frame against the view drawn here for the same tick.
void CheckRun(const GifRun& run) {
    SettingsRecord settings = kDefaultSettings;
    settings.entries[RedrawSpeed].value = run.redraw;
    const std::string settingsPath = SettingsFile(settings), gifPath = TempPath("run.gif");
    const std::string command = std::string(ZARVO_RENDER) + " --size " + std::to_string(run.width) + "x" +
                                std::to_string(run.height) + " --picture-size " + run.sizeName + " --seed " +
                                std::to_string(run.seed) + " --ticks " + std::to_string(run.ticks) + " --settings " +
                                settingsPath + " --gif " + gifPath;
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    std::vector<int> delays;
    const auto frames = DecodeGif(gifPath, &delays);
    std::remove(settingsPath.c_str());
    std::remove(gifPath.c_str());
    ASSERT_EQ(static_cast<int>(frames.size()), run.ticks) << command;

    std::vector<uint32_t> pixels(static_cast<size_t>(run.width) * run.height);
    static DisplayPaletteInfo trueColour = {-1, 0, {}};
    const SceneWindowInfo window = {run.width, run.height, run.width, 32, &trueColour};
    const std::unique_ptr<Scene, void (*)(Scene*)> scene(SetUpScene(window, settings, run.seed).scene, DestroyScene);
    ASSERT_NE(scene, nullptr);
    const std::unique_ptr<ScreenView, void (*)(ScreenView*)> view(
        CreateScreenView(scene.get(), run.size, run.width, run.height), DestroyScreenView);
    const RgbPixels target = {pixels.data(), run.width, {0, 0, run.width, run.height}};
    PaintScreenView(*view, target);
    for (int tick = 1; tick <= run.ticks; ++tick) {
        TickScreenView(*view, target);
        ASSERT_TRUE(frames[tick - 1] == pixels) << command << ": frame of tick " << tick << " differs";
        EXPECT_EQ(delays[tick - 1], GifDelayCentiseconds(FrameTimerPeriod(*scene))) << command;
    }
}

TEST(RenderGifTest, EveryFrameEqualsTheTickDrawnInTrueColour) {
    const GifRun runs[] = {
        {kPictureCentred, "centred", 640, 480, 40, 2, 7},
        {kPictureWholeMultiples, "whole-multiples", 1280, 960, 12, 120, 11},
        {kPictureCentred, "centred", 800, 600, 25, 60, 4000000000u},
    };
    for (const GifRun& run : runs) CheckRun(run);
}

TEST(RenderGifTest, AHundredTicksAt640x480StayUnderTwoMegabytes) {
    const std::string gifPath = TempPath("size.gif"), settingsPath = SettingsFile(kDefaultSettings);
    const std::string command = std::string(ZARVO_RENDER) + " --size 640x480 --seed 3 --ticks 100 --settings " +
                                settingsPath + " --gif " + gifPath;
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    std::remove(settingsPath.c_str());
    std::ifstream in(gifPath, std::ios::binary | std::ios::ate);
    const long long size = static_cast<long long>(in.tellg());
    std::remove(gifPath.c_str());
    EXPECT_GT(size, 10000);
    EXPECT_LT(size, 2 * 1024 * 1024);
}

}  // namespace
