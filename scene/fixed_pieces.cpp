// The pieces every frame draws at the same places: the two foreground
// pieces, the building and the lamps. Frames restore from the fixed image,
// which holds them already, so a frame draws each only over the tiles that
// figures drew on before it in the same frame; elsewhere the piece is still
// there, exactly as a full redraw would leave it.
#include <algorithm>

#include "image/compose.h"
#include "scene/frame_tiles.h"
#include "scene/steps.h"

namespace {

// Where a piece goes in the frame image, and what it draws.
struct PlacedPiece {
    const Image* sheet;
    Rect source;  // in the sheet
    const SpanSprite* sprite;
    Point at;  // in the frame
};

PlacedPiece FigurePiece(const Scene& scene, int x, int y, int kind) {
    const int entry = kind + scene.cellSetOffset;
    if (entry >= kLeftForegroundCell) return {};
    const SpriteCell& cell = scene.spriteCells[entry];
    const Point corner = FigureCellCorner(scene, x, y, kind);
    return {scene.figureSheet, {cell.srcX, cell.srcY, cell.width, cell.height}, scene.cellSprites[entry], corner};
}

PlacedPiece ForegroundPiece(const Scene& scene, int entry, int x, int y) {
    return {scene.foregroundSheet,
            ForegroundPieceRect(scene, entry),
            scene.cellSprites[entry],
            {x - scene.frameOrigin.x, y - scene.frameOrigin.y}};
}

// Nothing (an empty source) outside the stored classes.
PlacedPiece PlaceFixedPiece(const Scene& scene, int piece) {
    if (scene.resolutionClass < 0 || scene.resolutionClass >= kStoredClassCount) return {};
    const ForegroundPlacementRow& place = kForegroundPlacement[scene.resolutionClass];
    const CircleLayoutRow& layout = kCircleLayout[scene.resolutionClass];
    switch (piece) {
    case kLeftForegroundPiece:
        return ForegroundPiece(scene, kLeftForegroundCell, place.leftX, place.leftY);
    case kRightForegroundPiece:
        return ForegroundPiece(scene, kRightForegroundCell, place.rightX, place.rightY);
    case kBuildingPiece:
        return FigurePiece(scene, layout.buildingX, layout.buildingY, kBuildingKind);
    case kLampsPiece:
        return FigurePiece(scene, layout.lampsX, layout.lampsY, kLampsKind);
    default:
        return {};
    }
}

// The piece's pixels inside `clip` (destination coordinates).
void DrawPieceWithin(const PlacedPiece& piece, Image* target, SpanClip clip) {
    if (piece.sprite != nullptr) return DrawSpanSpriteWithin(piece.sprite, target, piece.at, clip);
    const int64_t left = std::max<int64_t>(piece.at.x, clip.left), top = std::max<int64_t>(piece.at.y, clip.top);
    const int64_t right = std::min<int64_t>(int64_t{piece.at.x} + piece.source.width, clip.right);
    const int64_t bottom = std::min<int64_t>(int64_t{piece.at.y} + piece.source.height, clip.bottom);
    if (left >= right || top >= bottom) return;
    const Rect from{int(piece.source.x + (left - piece.at.x)), int(piece.source.y + (top - piece.at.y)),
                    int(right - left), int(bottom - top)};
    BlitTransparent(piece.sheet, from, target, {int(left), int(top)});
}

SpanClip WholeImage(const Image* image) { return {0, 0, ImageWidth(image), ImageHeight(image)}; }

// The piece over the tiles marked so far in this frame.
void DrawOverMarkedTiles(Scene& scene, const PlacedPiece& piece) {
    const SpanClip frame = WholeImage(scene.frameImage);
    const int64_t left = std::max<int64_t>(piece.at.x, 0), top = std::max<int64_t>(piece.at.y, 0);
    const int64_t right = std::min<int64_t>(int64_t{piece.at.x} + piece.source.width, frame.right);
    const int64_t bottom = std::min<int64_t>(int64_t{piece.at.y} + piece.source.height, frame.bottom);
    if (left >= right || top >= bottom) return;
    const uint64_t* marks = CurrentTileMarks(scene);
    const uint64_t columns = TileColumnBits(int(left / kFrameTileWidth), int((right - 1) / kFrameTileWidth));
    for (int64_t ty = top / kFrameTileHeight; ty <= (bottom - 1) / kFrameTileHeight; ++ty) {
        const int y = int(ty * kFrameTileHeight);
        for (TileRun run = FirstTileRun(marks[ty] & columns, 0); run.end > run.start; run = FirstTileRun(run.bits, 0)) {
            DrawPieceWithin(piece, scene.frameImage,
                            {run.start * kFrameTileWidth, y, run.end * kFrameTileWidth, y + kFrameTileHeight});
        }
    }
}

int FrameLiesInPicture(const Scene& scene) {
    const Image* frame = scene.frameImage;
    const Image* picture = scene.backgroundImage;
    return scene.frameOrigin.x >= 0 && scene.frameOrigin.y >= 0 &&
           int64_t{scene.frameOrigin.x} + ImageWidth(frame) <= ImageWidth(picture) &&
           int64_t{scene.frameOrigin.y} + ImageHeight(frame) <= ImageHeight(picture);
}

}  // namespace

void DrawFixedPiece(Scene& scene, int which) {
    const PlacedPiece piece = PlaceFixedPiece(scene, which);
    if (piece.sheet == nullptr || piece.source.width <= 0 || piece.source.height <= 0) return;
    if (scene.fixedImage != nullptr) return DrawOverMarkedTiles(scene, piece);
    MarkFrameDrawn(scene, piece.at.x, piece.at.y, piece.source.width, piece.source.height);
    DrawPieceWithin(piece, scene.frameImage, WholeImage(scene.frameImage));
}

// Only a frame wholly inside the picture and the tile map gets one: the
// restore leaves the part outside the picture alone, and pieces drawn there
// must be drawn whole every frame.
int MakeFixedImage(Scene& scene) {
    if (scene.frameImage == nullptr || !FrameFitsTiles(scene) || !FrameLiesInPicture(scene)) return 1;
    const int width = ImageWidth(scene.frameImage), height = ImageHeight(scene.frameImage);
    Image* fixed = CreateImage(width, height, scene.backgroundImage);
    if (fixed == nullptr) return 0;
    CopyImageRect(scene.backgroundImage, {scene.frameOrigin.x, scene.frameOrigin.y, width, height}, fixed, {0, 0});
    for (int which = 0; which < kFixedPieceCount; ++which) {
        const PlacedPiece piece = PlaceFixedPiece(scene, which);
        if (piece.sheet != nullptr) DrawPieceWithin(piece, fixed, WholeImage(fixed));
    }
    scene.fixedImage = fixed;
    return 1;
}
