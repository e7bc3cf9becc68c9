// The steps of set-up and of one frame, each working on one Scene record.
// The scene's own files and its tests use them; hosts use scene/scene.h.
#pragma once

#include "scene/frame_tiles.h"
#include "scene/scene.h"

constexpr int kNoClass = -1;  // the display is refused

// A zeroed record holding the stored tables, as set-up starts from; null
// when there is no memory for it.
Scene* NewScene();

// Set-up steps.
void CopySceneSettings(Scene& scene, const SettingsRecord& record);
int SceneRandom(Scene& scene);  // 0 to 32767
void PlaceWalkwayWalkers(Scene& scene);
// 0 to 3, or kNoClass when the display is too small.
int ChooseResolutionClass(int clientWidth, int screenWidth);
void ScaleSceneTables(Scene& scene, int sceneClass);
// The frame rectangle of the scene's class from its scaled tables; all zero
// in the preview class, which is never animated.
Rect SceneFrameRect(const Scene& scene);
// 1 when every picture, the frame image and the palette exist; otherwise the
// scene is unfit to draw and only DestroyScene may take it.
int LoadScenePictures(Scene& scene, int clientWidth, int clientHeight, const DisplayPaletteInfo* display);

// Frame steps, in the order of one frame.
void StartFrameTiles(Scene& scene);
void RestoreFrame(Scene& scene);
void ShuffleSeatedCrowd(Scene& scene);
void UpdateWalkwayWalkers(Scene& scene);
void DrawForegroundPieces(Scene& scene);
void UpdateCirclingWalkers(Scene& scene);
void DrawFigureCell(Scene& scene, int x, int y, int kind);
// The frame position of the top-left corner of figure cell `kind` (a valid
// one) standing at scene point (x, y): the cell's anchor goes on the point.
Point FigureCellCorner(const Scene& scene, int x, int y, int kind);
// The side of a walkway dot in pixels: one in the largest class, else two.
int DotSize(const Scene& scene);
constexpr int kMaxCircleWalkers = 125;  // the setting's built-in maximum
// Where this tick draws each circling walker (scene positions), walker i in
// positions[i]; the number of walkers placed, 0 outside the stored classes.
int PlaceCircleWalkers(const Scene& scene, Point* positions);
// Where a walkway walker (figure or dot) is drawn on its quad this tick.
Point WalkerPoint(const WalkwayQuad& quad, const WalkwayWalker& walker);
// The pieces every frame draws at the same places, in the order it draws them.
enum FixedPiece { kLeftForegroundPiece, kRightForegroundPiece, kBuildingPiece, kLampsPiece, kFixedPieceCount };
void DrawFixedPiece(Scene& scene, int which);
// The frame image's part of the picture with the fixed pieces drawn in, as
// the scene's fixedImage, where frames can restore from it (it stays null
// otherwise); 0 when memory ran out.
int MakeFixedImage(Scene& scene);
// The whole frame image, in its own coordinates.
Rect WholeFrame(const Scene& scene);
// 1 when the frame image is small enough for the tile map.
int FrameFitsTiles(const Scene& scene);
// The part of the foreground sheet that foreground cell `entry` draws.
Rect ForegroundPieceRect(const Scene& scene, int entry);
// Turns the cells into opaque runs once the sheets are final; 0 when memory ran out.
int EncodeCellSprites(Scene& scene);

// The circle's phase step and wrap value; deliberately not 2 pi to full precision.
constexpr double kCircleTurn = 6.283185307;
