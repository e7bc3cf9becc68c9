// Paints every picture once and encodes the files the generator writes.
#include "picturegen.h"
#include "app/png_file.h"

#include <string>

std::vector<uint8_t> EncodePng(const Canvas& canvas, const std::array<Rgb, 256>& palette) {
    PngPicture picture{canvas.width, canvas.height, kPngIndexed, canvas.pixels, {}};
    for (const Rgb& c : palette) picture.palette.insert(picture.palette.end(), {c.r, c.g, c.b});
    return EncodePng(picture, BestZlib);
}

std::vector<GeneratedFile> GenerateAll(int withOverlay) {
    const std::array<Rgb, 256> palette = MasterPalette();
    const BackgroundPaint background = PaintBackground();
    const Canvas figures = PaintFigureSheet(background);
    const Canvas foreground = PaintForegroundSheet(background);
    const Canvas preview = PaintPreview(background.picture, figures);
    std::vector<Canvas> icons = {PaintIcon(background, 48), PaintIcon(background, 32), PaintIcon(background, 16)};

    // Every row of the three streams ends with an end-of-line code, the last
    // one included; decoders treat one after the last row as harmless.
    const BmpOptions background145{BmpEncoding::kRle8, 0, 1};
    const BmpOptions preview143{BmpEncoding::kRle8, 0, 1};
    const BmpOptions figures144{BmpEncoding::kRle8, 256, 1};
    const BmpOptions foreground164{BmpEncoding::kRgb, 0, 0};
    std::vector<GeneratedFile> files = {
        {"courtyard145.bmp", EncodeBmp(background.picture, palette, background145)},
        {"courtyard143.bmp", EncodeBmp(preview, palette, preview143)},
        {"figures144.bmp", EncodeBmp(figures, palette, figures144)},
        {"foreground164.bmp", EncodeBmp(foreground, palette, foreground164)},
        {"zarvo.ico", EncodeIco(icons, palette)},
        {"courtyard145.png", EncodePng(background.picture, palette)},
        {"courtyard143.png", EncodePng(preview, palette)},
        {"figures144.png", EncodePng(figures, palette)},
        {"foreground164.png", EncodePng(foreground, palette)},
    };
    // The same art as the Windows icon, as PNG icons for the Linux desktop.
    for (const Canvas& icon : icons)
        files.push_back({"zarvo-" + std::to_string(icon.width) + ".png", EncodePng(icon, palette)});
    files.push_back({"zarvo-64.png", EncodePng(PaintIcon(background, 64), palette)});
    if (withOverlay)
        files.push_back({"review-overlay.png", EncodePng(PaintReviewOverlay(background.picture), palette)});
    return files;
}
