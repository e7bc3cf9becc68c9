// Windows icon files: several square 256-colour images, each an 8-bit DIB of
// double height (colour rows, then an all-opaque AND mask).
#include "picturegen.h"

namespace {

std::vector<uint8_t> IconDib(const Canvas& image, const std::array<Rgb, 256>& palette) {
    const int stride = (image.width + 3) & ~3;
    const int maskStride = ((image.width + 31) / 32) * 4;
    const uint32_t dataSize = static_cast<uint32_t>((stride + maskStride) * image.height);
    std::vector<uint8_t> out;
    PutU32(out, 40);
    PutU32(out, static_cast<uint32_t>(image.width));
    PutU32(out, static_cast<uint32_t>(image.height * 2));
    PutU16(out, 1);
    PutU16(out, 8);
    PutU32(out, 0);
    PutU32(out, dataSize);
    PutU32(out, 0);
    PutU32(out, 0);
    PutU32(out, 0);
    PutU32(out, 0);
    for (const Rgb& c : palette) out.insert(out.end(), {c.b, c.g, c.r, 0});
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < stride; ++x) out.push_back(x < image.width ? PixelAt(image, x, y) : 0);
    }
    out.insert(out.end(), static_cast<size_t>(maskStride) * image.height, 0);
    return out;
}

}  // namespace

std::vector<uint8_t> EncodeIco(const std::vector<Canvas>& images, const std::array<Rgb, 256>& palette) {
    std::vector<std::vector<uint8_t>> dibs;
    for (const Canvas& image : images) dibs.push_back(IconDib(image, palette));
    std::vector<uint8_t> out;
    PutU16(out, 0);
    PutU16(out, 1);  // icon
    PutU16(out, static_cast<uint32_t>(images.size()));
    uint32_t offset = static_cast<uint32_t>(6 + 16 * images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        out.push_back(static_cast<uint8_t>(images[i].width));
        out.push_back(static_cast<uint8_t>(images[i].height));
        out.push_back(0);  // 256 colours
        out.push_back(0);
        PutU16(out, 1);
        PutU16(out, 8);
        PutU32(out, static_cast<uint32_t>(dibs[i].size()));
        PutU32(out, offset);
        offset += static_cast<uint32_t>(dibs[i].size());
    }
    for (const auto& dib : dibs) out.insert(out.end(), dib.begin(), dib.end());
    return out;
}
