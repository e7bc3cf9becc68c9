// Loading a scene's pictures at set-up: scaled to the client area, translated
// to the scene palette, and the frame image made for the class.
#include "image/compose.h"
#include "scene/steps.h"

namespace {

constexpr int kPreviewPicture = 143;
constexpr int kFigureSheetId = 144;
constexpr int kFullPicture = 145;
constexpr int kForegroundSheetId = 164;
constexpr int kFullWidth = 1024;
constexpr int kFullHeight = 768;
constexpr int kStretchedHeightLimit = 800;  // up to here the picture is stretched
constexpr int kPreviewWidth = 152;
constexpr int kPreviewHeight = 112;

// The part of the picture that the client area shows: at most 1024 wide and
// centred, at most 768 high and centred once the client is taller than 800.
void FitPictureToClient(Scene& scene, int* width, int* height) {
    scene.pictureOffset = {0, 0};
    if (*width > kFullWidth) {
        scene.pictureOffset.x = (*width - kFullWidth) / 2;
        *width = kFullWidth;
    }
    if (*height > kStretchedHeightLimit) {
        scene.pictureOffset.y = (*height - kFullHeight) / 2;
        *height = kFullHeight;
    }
}

// fx and fy are single-precision quotients, handed on widened to double.
int LoadBackground(Scene& scene, int width, int height, float* fx) {
    const bool preview = scene.resolutionClass == kPreviewClass;
    scene.backgroundImage = LoadBitmapResource(preview ? kPreviewPicture : kFullPicture);
    if (scene.backgroundImage == nullptr) return 0;
    *fx = static_cast<float>(width) / static_cast<float>(preview ? kPreviewWidth : kFullWidth);
    const float fy = static_cast<float>(height) / static_cast<float>(preview ? kPreviewHeight : kFullHeight);
    if (!ScaleImage(&scene.backgroundImage, *fx, fy)) return 0;
    // The preview keeps its foreground sheet as stored; it never draws it.
    return preview || ScaleImage(&scene.foregroundSheet, *fx, fy);
}

int CreateFrameImage(Scene& scene) {
    const FrameBounds frame = SceneFrameRect(scene);
    scene.frameOrigin = {frame.x, frame.y};
    if (scene.resolutionClass == kPreviewClass) return 1;  // the preview is never animated
    scene.frameImage = CreateImage(frame.width, frame.height, scene.backgroundImage);
    return scene.frameImage != nullptr;
}

int MakeScenePalette(Scene& scene, const DisplayPaletteInfo* display) {
    scene.palette = display != nullptr ? CreateScenePaletteFor(scene.backgroundImage, display)
                                       : CreateScenePalette(scene.backgroundImage);
    if (scene.palette == nullptr) return 0;
    RemapImage(scene.backgroundImage, scene.palette);
    RemapImage(scene.figureSheet, scene.palette);
    RemapImage(scene.foregroundSheet, scene.palette);
    return 1;
}

void ScaleForegroundCell(SpriteCell* cell, float fx) {
    const double factor = fx;
    cell->srcX = static_cast<int32_t>(cell->srcX * factor);
    cell->srcY = static_cast<int32_t>(cell->srcY * factor);
    cell->width = static_cast<int32_t>(cell->width * factor);
    cell->height = static_cast<int32_t>(cell->height * factor);
}

}  // namespace

int LoadScenePictures(Scene& scene, int clientWidth, int clientHeight, const DisplayPaletteInfo* display) {
    int width = clientWidth;
    int height = clientHeight;
    FitPictureToClient(scene, &width, &height);
    if (width <= 0 || height <= 0) return 0;
    scene.foregroundSheet = LoadBitmapResource(kForegroundSheetId);
    scene.figureSheet = LoadBitmapResource(kFigureSheetId);
    if (scene.foregroundSheet == nullptr || scene.figureSheet == nullptr) return 0;
    float fx = 1.0f;
    if (!LoadBackground(scene, width, height, &fx) || !CreateFrameImage(scene) ||
        !MakeScenePalette(scene, display)) {
        return 0;
    }
    ScaleForegroundCell(&scene.spriteCells[kLeftForegroundCell], fx);
    ScaleForegroundCell(&scene.spriteCells[kRightForegroundCell], fx);
    return scene.frameImage == nullptr || (EncodeCellSprites(scene) && MakeFixedImage(scene));
}

int EncodeCellSprites(Scene& scene) {
    for (int entry = 0; entry < kSpriteCellCount; ++entry) {
        const SpriteCell& cell = scene.spriteCells[entry];
        const bool figure = entry < kLeftForegroundCell;
        const SceneRect piece = figure ? SceneRect{cell.srcX, cell.srcY, cell.width, cell.height}
                                       : ForegroundPieceRect(scene, entry);
        if (piece.width <= 0 || piece.height <= 0) continue;
        const Image* sheet = figure ? scene.figureSheet : scene.foregroundSheet;
        scene.cellSprites[entry] = EncodeSpanSprite(sheet, piece.x, piece.y, piece.width, piece.height);
        if (scene.cellSprites[entry] == nullptr) return 0;
        if (scene.frameImage != nullptr) PlanSpanSpriteStride(scene.cellSprites[entry], ImageStride(scene.frameImage));
    }
    return 1;
}
