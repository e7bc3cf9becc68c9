// Loading a scene's pictures at set-up: scaled to the resolution class (the
// preview's to its pane), translated to the scene palette, and the frame
// image made for the class.
#include "image/compose.h"
#include "scene/steps.h"

namespace {

constexpr int kPreviewPicture = 143;
constexpr int kFigureSheetId = 144;
constexpr int kFullPicture = 145;
constexpr int kForegroundSheetId = 164;
constexpr int kFullWidth = 1024;
constexpr int kFullHeight = 768;
constexpr int kPreviewWidth = 152;
constexpr int kPreviewHeight = 112;
constexpr int kPreviewStretchLimit = 800;  // a pane up to this high is filled

// The picture of classes 0 to 2 always has its class's own size, the one its
// tables are laid out for, and is centred on the client by the truncated
// halves of the margins (negative where the client is smaller: the picture
// is cropped equally on both sides). A picture scaled to the client's own
// shape would show the building in one place and the strip in another.
constexpr int kClassPictureWidth[kStoredClassCount] = {1024, 800, 640};
constexpr int kClassPictureHeight[kStoredClassCount] = {768, 600, 480};

// The preview picture fills its pane (a pane taller than 800 shows it 768
// high and centred): it never animates, so no table has to meet it.
void FitPreviewToPane(Scene& scene, int* height) {
    scene.pictureOffset = {0, 0};
    if (*height > kPreviewStretchLimit) {
        scene.pictureOffset.y = (*height - kFullHeight) / 2;
        *height = kFullHeight;
    }
}

void FitPictureToClass(Scene& scene, int* width, int* height) {
    const int pictureWidth = kClassPictureWidth[scene.resolutionClass];
    const int pictureHeight = kClassPictureHeight[scene.resolutionClass];
    scene.pictureOffset = {(*width - pictureWidth) / 2, (*height - pictureHeight) / 2};
    *width = pictureWidth;
    *height = pictureHeight;
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
    const Rect frame = SceneFrameRect(scene);
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
    // A client without pixels has nothing to show the picture on.
    if (clientWidth <= 0 || clientHeight <= 0) return 0;
    int width = clientWidth;
    int height = clientHeight;
    if (scene.resolutionClass == kPreviewClass) {
        FitPreviewToPane(scene, &height);
    } else {
        FitPictureToClass(scene, &width, &height);
    }
    scene.foregroundSheet = LoadBitmapResource(kForegroundSheetId);
    scene.figureSheet = LoadBitmapResource(kFigureSheetId);
    if (scene.foregroundSheet == nullptr || scene.figureSheet == nullptr) return 0;
    float fx = 1.0f;
    if (!LoadBackground(scene, width, height, &fx) || !CreateFrameImage(scene) || !MakeScenePalette(scene, display)) {
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
        const Rect piece =
            figure ? Rect{cell.srcX, cell.srcY, cell.width, cell.height} : ForegroundPieceRect(scene, entry);
        if (piece.width <= 0 || piece.height <= 0) continue;
        const Image* sheet = figure ? scene.figureSheet : scene.foregroundSheet;
        scene.cellSprites[entry] = EncodeSpanSprite(sheet, piece);
        if (scene.cellSprites[entry] == nullptr) return 0;
        if (scene.frameImage != nullptr) PlanSpanSpriteStride(scene.cellSprites[entry], ImageStride(scene.frameImage));
    }
    return 1;
}
