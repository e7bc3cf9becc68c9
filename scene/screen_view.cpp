// The scene on a screen area of any size, and which monitors show a scene.
#include "scene/screen_view.h"

#include <algorithm>
#include <cstdlib>

#include "image/compose.h"
#include "image/palette.h"
#include "image/screen_runs.h"
#include "scene/steps.h"

namespace {

Rect ScreenArea(const ScreenView& view) {
    return Rect{0, 0, view.fit->placement.screenWidth, view.fit->placement.screenHeight};
}

// Black on every pixel of the target inside the area but outside the
// visible picture, a row at a time in up to two spans.
template <typename Pixel>
void FillAroundPicture(const ScreenView& view, const ScreenPixels<Pixel>& target, Pixel black) {
    if (target.pixels == nullptr) return;
    const Rect fill = Intersect(target.area, ScreenArea(view));
    const Rect visible = view.fit->placement.visible;
    // Named ends: std::clamp takes references, and a temporary bound to one
    // gets a scope clean-up under AddressSanitizer, whose unwinding entry is
    // writable data the core keeps none of.
    const int fillEnd = fill.x + fill.width, visibleEnd = visible.x + visible.width;
    for (int y = fill.y; y < fill.y + fill.height; ++y) {
        Pixel* row = target.pixels + int64_t{y - target.area.y} * target.pitch - target.area.x;
        const bool crossesPicture = y >= visible.y && y < visible.y + visible.height && visible.width > 0;
        const int left = crossesPicture ? std::clamp(visible.x, fill.x, fillEnd) : fillEnd;
        const int right = crossesPicture ? std::clamp(visibleEnd, left, fillEnd) : left;
        std::fill(row + fill.x, row + left, black);
        std::fill(row + right, row + fillEnd, black);
    }
}

Rect WholePicture(const ScreenView& view) { return Rect{0, 0, ImageWidth(view.picture), ImageHeight(view.picture)}; }

// The frame's and the picture's rows of picture rectangle r.
ImageRows FrameRows(const ScreenView& view, Rect r) {
    const Scene& scene = *view.scene;
    return ImageRows{PixelAddress(scene.frameImage, r.x - scene.frameOrigin.x, r.y - scene.frameOrigin.y),
                     ImageStride(scene.frameImage), r.width, r.height};
}
ImageRows PictureRows(const ScreenView& view, Rect r) {
    return ImageRows{PixelAddress(view.picture, r.x, r.y), ImageStride(view.picture), r.width, r.height};
}

Rect RectOf(const DifferingBlock& block) {
    if (block.columns.end <= block.columns.begin) return Rect{0, 0, 0, 0};
    return Rect{block.columns.begin, block.rows.begin, block.columns.end - block.columns.begin,
                block.rows.end - block.rows.begin};
}

// Within the picture rectangle r (of a part the frame changed), the row
// spans where the frame differs from the picture, pasted into it and noted
// in view.rowSpans; their bounding box, empty when nothing differs.
Rect PasteDifferences(ScreenView& view, Rect r) {
    return RectOf(PasteDifferingRows(FrameRows(view, r), PictureRows(view, r), r.x, r.y, view.rowSpans + r.y));
}

// The same box for a host that needs no spans: the rows of r that differ
// pasted whole.
Rect PasteBox(ScreenView& view, Rect r) {
    return RectOf(PasteDifferingBox(FrameRows(view, r), PictureRows(view, r), r.x, r.y));
}

// The whole of picture rectangle r (of the frame), pasted from the frame
// and noted in view.rowSpans as one span a row: for a screen whose strip
// may show anything.
Rect PasteWhole(ScreenView& view, Rect r) {
    const Scene& scene = *view.scene;
    CopyImageRect(scene.frameImage, Offset(r, -scene.frameOrigin.x, -scene.frameOrigin.y), view.picture, TopLeft(r));
    for (int y = r.y; y < r.y + r.height; ++y) view.rowSpans[y] = RowSpans{1, {{r.x, r.x + r.width}}};
    return r;
}

// The rows of view.rowSpans behind changed part `part`, kept for
// AddLastPresentRuns while they fit.
void KeepWritten(ScreenView& view, int part, Rect differing) {
    if (!view.writtenKnown || view.writtenRowCount + differing.height > view.writtenRowRoom) {
        view.writtenKnown = 0;
        return;
    }
    RowSpans* rows = view.writtenRows + view.writtenRowCount;
    std::copy_n(view.rowSpans + differing.y, differing.height, rows);
    view.writtenParts[part] = PictureSpans{differing.y, differing.height, rows};
    view.writtenRowCount += differing.height;
}

// The frame's changed parts that differ from the picture (all of the frame
// when what the screen shows is not known): each handed to
// present(r, known), which pastes what differs in picture rectangle r and
// returns its box (the spans behind it left in view.rowSpans where `keeps`),
// and listed in the view; their bounding box.
template <typename Present>
Rect PresentWith(ScreenView& view, int keeps, Present present) {
    view.changedCount = 0;
    view.writtenRowCount = 0;
    view.writtenKnown = keeps;
    const Scene& scene = *view.scene;
    if (!SceneAnimates(scene)) return Rect{0, 0, 0, 0};
    Rect rects[kMaxViewChanges];
    const bool known = view.stripKnown != 0;
    rects[0] = WholeFrame(scene);
    const int count = known ? FrameChangedRects(scene, rects, kMaxViewChanges) : 1;
    view.stripKnown = 1;
    for (int i = 0; i < count; ++i) {
        const Rect r = Intersect(Offset(rects[i], scene.frameOrigin), WholePicture(view));
        if (r.width <= 0 || r.height <= 0) continue;
        const Rect differing = present(r, known);
        if (differing.width <= 0) continue;
        const Rect screen = ScreenRectOf(view.fit, differing);
        if (screen.width <= 0 || screen.height <= 0) continue;
        KeepWritten(view, view.changedCount, differing);
        view.changedPicture[view.changedCount] = differing;
        view.changed[view.changedCount++] = screen;
    }
    // Joined after the loop: a rectangle carried through it came back from
    // each call in two registers and was reloaded whole, a stalled load a part.
    Rect bounds{0, 0, 0, 0};
    for (int i = 0; i < view.changedCount; ++i) bounds = Union(bounds, view.changed[i]);
    return bounds;
}

}  // namespace

ScreenView* CreateScreenView(Scene* scene, PictureSize size, int width, int height) {
    if (scene == nullptr || scene->backgroundImage == nullptr || scene->palette == nullptr) return nullptr;
    ScreenView* view = static_cast<ScreenView*>(calloc(1, sizeof(ScreenView)));
    if (view == nullptr) return nullptr;
    view->scene = scene;
    const Image* background = scene->backgroundImage;
    const int pictureWidth = ImageWidth(background), pictureHeight = ImageHeight(background);
    if (scene->resolutionClass == kPreviewClass) size = kPictureCentred;
    // Cover crops the picture but never the strip the figures move in.
    const Rect strip = scene->frameImage == nullptr
                           ? Rect{0, 0, 0, 0}
                           : Rect{scene->frameOrigin.x, scene->frameOrigin.y, ImageWidth(scene->frameImage),
                                  ImageHeight(scene->frameImage)};
    view->fit = CreateScreenFit(size, pictureWidth, pictureHeight, width, height, strip);
    view->picture = CreateImage(pictureWidth, pictureHeight, background);
    view->rowSpans = static_cast<RowSpans*>(calloc(size_t(pictureHeight), sizeof(RowSpans)));
    // Parts barely overlap, so a tick's parts hold about as many rows as its
    // strip; a tick holding more than twice the picture's falls back to its
    // rectangles.
    view->writtenRowRoom = 2 * pictureHeight;
    view->writtenRows = static_cast<RowSpans*>(calloc(size_t(view->writtenRowRoom), sizeof(RowSpans)));
    if (view->fit == nullptr || view->picture == nullptr || view->rowSpans == nullptr || view->writtenRows == nullptr) {
        DestroyScreenView(view);
        return nullptr;
    }
    CopyImageRect(background, {0, 0, pictureWidth, pictureHeight}, view->picture, {0, 0});
    BuildRgbTable(scene->palette->entries, view->rgbTable);
    view->blackIndex = static_cast<uint8_t>(std::max(0, NearestPaletteIndex(scene->palette, 0, 0, 0)));
    return view;
}

void DestroyScreenView(ScreenView* view) {
    if (view == nullptr) return;
    DestroyScreenFit(view->fit);
    DestroyImage(view->picture);
    free(view->rowSpans);
    free(view->writtenRows);
    free(view);
}

template <typename Pixel>
void PaintScreenView(ScreenView& view, const ScreenPixels<Pixel>& target) {
    FillAroundPicture<Pixel>(view, target, sizeof(Pixel) == 1 ? Pixel{view.blackIndex} : Pixel{0});
    ScalePictureRect(view.fit, view.picture, view.rgbTable, WholePicture(view), target);
}

template <typename Pixel>
Rect PresentScreenView(ScreenView& view, const ScreenPixels<Pixel>& target) {
    return PresentWith(view, view.keepsWritten, [&](Rect r, bool known) {
        const Rect differing = known ? PasteDifferences(view, r) : PasteWhole(view, r);
        if (differing.width > 0) {
            const PictureSpans spans{differing.y, differing.height, view.rowSpans + differing.y};
            ScalePictureSpans(view.fit, view.picture, view.rgbTable, spans, target);
        }
        return differing;
    });
}

template <typename Pixel>
Rect TickScreenView(ScreenView& view, const ScreenPixels<Pixel>& target) {
    if (SceneAnimates(*view.scene)) ComposeFrame(*view.scene);
    return PresentScreenView(view, target);
}

template void PaintScreenView(ScreenView&, const RgbPixels&);
template void PaintScreenView(ScreenView&, const IndexPixels&);
template Rect PresentScreenView(ScreenView&, const RgbPixels&);
template Rect PresentScreenView(ScreenView&, const IndexPixels&);
template Rect TickScreenView(ScreenView&, const RgbPixels&);
template Rect TickScreenView(ScreenView&, const IndexPixels&);

Rect AdvanceScreenView(ScreenView& view) {
    if (SceneAnimates(*view.scene)) ComposeFrame(*view.scene);
    // Nothing is written to keep.
    return PresentWith(view, 0, [&](Rect r, bool known) { return known ? PasteBox(view, r) : PasteWhole(view, r); });
}

int AddLastPresentRuns(const ScreenView& view, ScreenRuns* runs) {
    if (!view.writtenKnown) return 0;
    for (int i = 0; i < view.changedCount; ++i) {
        if (!AddSpanFootprints(view.fit, view.writtenParts[i], ScreenArea(view), runs)) return 0;
    }
    return 1;
}

void ForgetShownPicture(ScreenView& view) { view.stripKnown = 0; }
