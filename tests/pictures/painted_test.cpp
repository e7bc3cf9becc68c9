// Facts that tie the built-in pictures to the generator (native builds only):
// every resource decodes to exactly the pixels the generator paints, and the
// icon file holds the three sizes.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "picture_resources.h"
#include "picturegen.h"

namespace {

void ExpectSamePixels(int id, const Canvas& painted) {
    ImagePtr image = LoadPicture(id);
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(ImageWidth(image.get()), painted.width);
    ASSERT_EQ(ImageHeight(image.get()), painted.height);
    int differing = 0;
    for (int y = 0; y < painted.height; ++y)
        for (int x = 0; x < painted.width; ++x) differing += PixelOf(image.get(), x, y) != PixelAt(painted, x, y);
    EXPECT_EQ(differing, 0) << "resource " << id << ": expected the painted pixels, " << differing << " differ";
}

uint32_t ReadU32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

}  // namespace

TEST(PaintedPictures, ResourcesDecodeToThePaintedPixels) {
    const BackgroundPaint background = PaintBackground();
    ExpectSamePixels(145, background.picture);
    const Canvas figures = PaintFigureSheet(background);
    ExpectSamePixels(143, PaintPreview(background.picture, figures));
    ExpectSamePixels(144, figures);
    ExpectSamePixels(164, PaintForegroundSheet(background));
}

TEST(PaintedPictures, RleEncoderRoundTripsThroughTheDecoder) {
    // Runs, short literals, odd and even absolute runs and a 300-pixel run
    // that must be split, on one row; the decoder gives the row back.
    Canvas canvas = MakeCanvas(320, 2, 7);
    const uint8_t row[] = {1, 2, 3, 4, 4, 4, 4, 5, 6, 5, 6, 9, 9, 1, 2};
    for (size_t i = 0; i < sizeof row; ++i) PutPixel(canvas, static_cast<int>(i), 0, row[i]);
    for (int x = 0; x < 320; ++x) PutPixel(canvas, x, 1, static_cast<uint8_t>(x < 300 ? 3 : x));
    for (int endLine : {0, 1}) {
        const std::vector<uint8_t> stream = EncodeRle8(canvas, endLine);
        ImageHeader header{};
        header.info.biSize = 40;
        header.info.biWidth = 320;
        header.info.biHeight = 2;
        std::vector<uint8_t> pixels(320 * 2, 0xEE);
        DecodeRle8(stream.data(), stream.size(), pixels.data(), &header);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 320; ++x)
                ASSERT_EQ(pixels[static_cast<size_t>(1 - y) * 320 + x], PixelAt(canvas, x, y)) << x << "," << y;
    }
}

TEST(PaintedPictures, IconHoldsThe16To48PixelImages) {
    std::ifstream file(ZARVO_ICON_FILE, std::ios::binary);
    ASSERT_TRUE(file) << ZARVO_ICON_FILE;
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ASSERT_GE(bytes.size(), 6u);
    EXPECT_EQ(bytes[2], 1) << "an icon, not a cursor";
    const int count = bytes[4] | bytes[5] << 8;
    ASSERT_EQ(count, 3);
    std::vector<int> sizes;
    for (int i = 0; i < count; ++i) {
        const size_t entry = 6 + 16 * static_cast<size_t>(i);
        ASSERT_LE(entry + 16, bytes.size());
        const uint32_t size = ReadU32(bytes, entry + 8), offset = ReadU32(bytes, entry + 12);
        ASSERT_LE(static_cast<size_t>(offset) + size, bytes.size()) << "image " << i << " lies inside the file";
        EXPECT_EQ(ReadU32(bytes, offset + 4), bytes[entry]) << "DIB width matches the directory";
        EXPECT_EQ(ReadU32(bytes, offset + 8), 2u * bytes[entry + 1]) << "DIB height counts the mask";
        sizes.push_back(bytes[entry]);
    }
    EXPECT_EQ(sizes, (std::vector<int>{48, 32, 16}));
}
