// The full-size courtyard picture, painted back to front, with the masks of
// what the figure and foreground sheets cut out of it.
#include "picturegen.h"
#include "scene/tables.h"

BackgroundPaint PaintBackground() {
    BackgroundPaint paint;
    paint.picture = MakeCanvas(1024, 768, Shade(kSky, 0));
    paint.buildingMask = MakeCanvas(1024, 768, 0);
    paint.foregroundMask = MakeCanvas(1024, 768, 0);
    PaintSky(paint.picture);
    PaintSkyline(paint.picture);
    PaintCourtyard(paint.picture);
    PaintSeating(paint.picture);
    PaintWalkways(paint.picture);
    const CircleLayoutRow& layout = kCircleLayout[0];
    PaintBuilding(paint.picture, paint.buildingMask, layout.buildingX, layout.buildingY);
    PaintFrontGalleries(paint.picture, paint.foregroundMask);
    return paint;
}
