// The scene's fixed geometry (stored for the 1024 x 768 picture) and the
// run-time tables of the moving figures. Positions are pixels of the scaled
// background picture, y growing downwards.
#pragma once

#include <cstdint>

#include "image/rect.h"

struct SpriteCell {
    int32_t srcX, srcY, width, height, anchorX, anchorY;
};

// P3 is (u, v) = (0, 0), P2 (1, 0), P1 (0, 1), P0 (1, 1).
struct WalkwayQuad {
    Point p0, p1, p2, p3;
};

struct SeatRegion {
    WalkwayQuad corners;
    int32_t count;  // patches sampled per tick
    int32_t size;   // edge of a patch in pixels
};

struct CircleLayoutRow {
    int32_t innerRadiusX, innerCentreX, innerRadiusY, innerCentreY;
    int32_t outerRadiusX, outerCentreX, outerRadiusY, outerCentreY;
    int32_t buildingX, buildingY;
    int32_t lampsX, lampsY;
};

struct ForegroundPlacementRow {
    int32_t leftX, leftY, leftWidth, leftHeight;
    int32_t rightX, rightY, rightWidth, rightHeight;
};

// Figure kinds of a cell set; the cell of kind k is entry k + cellSetOffset.
enum FigureKind {
    kCrowdClumpFirst = 0,  // kinds 0 to 4
    kBuildingKind = 5,
    kLeftWalkerFirst = 6,   // 6 and 7
    kRightWalkerFirst = 8,  // 8 and 9
    kLampsKind = 10,
};

constexpr int kCellsPerSet = 11;
constexpr int kSpriteCellCount = 35;
constexpr int kLeftForegroundCell = 33;
constexpr int kRightForegroundCell = 34;
constexpr int kSeatRegionCount = 6;
constexpr int kStoredClassCount = 3;  // classes 0, 1, 2 have stored rows

// The stored values, never changed.
extern const SpriteCell kStoredSpriteCells[kSpriteCellCount];
extern const CircleLayoutRow kCircleLayout[kStoredClassCount];
extern const WalkwayQuad kStoredWalkwayQuads[2];
extern const WalkwayQuad kStoredDotQuads[2];
extern const SeatRegion kStoredSeatRegions[kSeatRegionCount];
extern const ForegroundPlacementRow kForegroundPlacement[kStoredClassCount];

// The scene position at (u, v) of a quad, by the bilinear map evaluated in
// double precision in a fixed order so that truncation falls the same way
// on every target.
Point QuadPoint(const WalkwayQuad& quad, float u, float v);
