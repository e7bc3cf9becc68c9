// Loading the scene's pictures at set-up: scaled to the client area, translated
// to the scene palette, and the frame image made for the class.
#include "image/compose.h"
#include "scene/scene.h"
#include "scene/state.h"

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

void ReleaseImage(Image** holder) {
    DestroyImage(*holder);
    *holder = nullptr;
}

// Leaves nothing half made: a scene without one of its images is never drawn.
int ReleaseScenePictures() {
    ReleaseImage(&BackgroundImage);
    ReleaseImage(&FigureSheet);
    ReleaseImage(&ForegroundSheet);
    ReleaseImage(&FrameImage);
    DestroyPalette(ScenePalette);
    ScenePalette = nullptr;
    return 0;
}

// The part of the picture that the client area shows: at most 1024 wide and
// centred, at most 768 high and centred once the client is taller than 800.
void FitPictureToClient(int* width, int* height) {
    pictureOffset = {0, 0};
    if (*width > kFullWidth) {
        pictureOffset.x = (*width - kFullWidth) / 2;
        *width = kFullWidth;
    }
    if (*height > kStretchedHeightLimit) {
        pictureOffset.y = (*height - kFullHeight) / 2;
        *height = kFullHeight;
    }
}

// fx and fy are single-precision quotients, handed on widened to double.
int LoadBackground(int width, int height, float* fx) {
    const bool preview = resolutionClass == kPreviewClass;
    BackgroundImage = LoadBitmapResource(preview ? kPreviewPicture : kFullPicture);
    if (BackgroundImage == nullptr) return 0;
    *fx = static_cast<float>(width) / static_cast<float>(preview ? kPreviewWidth : kFullWidth);
    const float fy = static_cast<float>(height) / static_cast<float>(preview ? kPreviewHeight : kFullHeight);
    if (!ScaleImage(&BackgroundImage, *fx, fy)) return 0;
    // The preview keeps its foreground sheet as stored; it never draws it.
    return preview || ScaleImage(&ForegroundSheet, *fx, fy);
}

int CreateFrameImage() {
    const FrameBounds frame = SceneFrameRect();
    frameOrigin = {frame.x, frame.y};
    if (resolutionClass == kPreviewClass) return 1;  // the preview is never animated
    FrameImage = CreateImage(frame.width, frame.height, BackgroundImage);
    return FrameImage != nullptr;
}

int MakeScenePalette(const DisplayPaletteInfo* display) {
    ScenePalette = display != nullptr ? CreateScenePaletteFor(BackgroundImage, display)
                                      : CreateScenePalette(BackgroundImage);
    if (ScenePalette == nullptr) return 0;
    RemapImage(BackgroundImage, ScenePalette);
    RemapImage(FigureSheet, ScenePalette);
    RemapImage(ForegroundSheet, ScenePalette);
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

int LoadScenePictures(int clientWidth, int clientHeight, const DisplayPaletteInfo* display) {
    int width = clientWidth;
    int height = clientHeight;
    FitPictureToClient(&width, &height);
    if (width <= 0 || height <= 0) return 0;
    ForegroundSheet = LoadBitmapResource(kForegroundSheetId);
    FigureSheet = LoadBitmapResource(kFigureSheetId);
    if (ForegroundSheet == nullptr || FigureSheet == nullptr) return ReleaseScenePictures();
    float fx = 1.0f;
    if (!LoadBackground(width, height, &fx)) return ReleaseScenePictures();
    if (!CreateFrameImage()) return ReleaseScenePictures();
    if (!MakeScenePalette(display)) return ReleaseScenePictures();
    ScaleForegroundCell(&SpriteCellTable[kLeftForegroundCell], fx);
    ScaleForegroundCell(&SpriteCellTable[kRightForegroundCell], fx);
    return 1;
}
