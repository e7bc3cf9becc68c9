// The saver window's scenes, one per monitor, each shown through a screen
// view. Centred scenes, and scaled ones on palette displays at a whole
// factor, put the view's changed picture rectangles through GDI as palette
// indices; other scaled ones are scaled by the view into a DIB section of
// the monitor's size, from which only the changed pixels are copied.
#include "host/monitor_scenes.h"

#include "image/palette.h"
#include "platform/services.h"

namespace {

struct MonitorList {
    MonitorArea areas[kMaxMonitors];
    int count;
    POINT clientOrigin;  // in virtual-screen coordinates
};

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    MonitorList& list = *reinterpret_cast<MonitorList*>(data);
    if (list.count >= kMaxMonitors) return FALSE;
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(monitor, &info)) return TRUE;
    const RECT& r = info.rcMonitor;
    list.areas[list.count++] = {
        {r.left - list.clientOrigin.x, r.top - list.clientOrigin.y, r.right - r.left, r.bottom - r.top},
        (info.dwFlags & MONITORINFOF_PRIMARY) ? 1 : 0};
    return TRUE;
}

// The monitors in client coordinates; the preview (or a display that lists
// no monitor) is the client area alone.
int GatherMonitors(HWND window, int preview, MonitorList* list) {
    list->count = 0;
    list->clientOrigin = {0, 0};
    if (!preview) {
        ClientToScreen(window, &list->clientOrigin);
        EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(list));
    }
    if (list->count == 0) {
        RECT client = {0, 0, 0, 0};
        GetClientRect(window, &client);
        list->areas[0] = {{0, 0, client.right, client.bottom}, 1};
        list->count = 1;
    }
    return list->count;
}

// The monitor the plan counts as the primary.
int PrimaryPlan(const MonitorPlan* plans, int count) {
    for (int i = 0; i < count; ++i) {
        if (plans[i].primary) return i;
    }
    return 0;
}

int IsPaletteDisplay(HDC dc) { return GetDeviceCaps(dc, BITSPIXEL) <= 8 ? 1 : 0; }

void DestroySurface(MonitorSurface* surface) {
    if (surface->memory != nullptr) {
        if (surface->previousBitmap != nullptr) SelectObject(surface->memory, surface->previousBitmap);
        DeleteDC(surface->memory);
    }
    if (surface->bitmap != nullptr) DeleteObject(surface->bitmap);
    *surface = {};
}

// A palette display's surface carries the scene palette as its colour table,
// so the copy to the window maps through the realised palette unchanged.
int CreateSurface(HDC dc, const Scene& scene, int width, int height, MonitorSurface* surface) {
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[kColorCount];
    } info = {};
    surface->indexed = IsPaletteDisplay(dc);
    info.header.biSize = sizeof info.header;
    info.header.biWidth = width;
    info.header.biHeight = -height;  // top-down: row 0 is the top
    info.header.biPlanes = 1;
    info.header.biBitCount = surface->indexed ? 8 : 32;
    info.header.biCompression = BI_RGB;
    if (surface->indexed) {
        info.header.biClrUsed = kColorCount;
        for (int i = 0; i < kColorCount; ++i) {
            const PaletteEntry& entry = scene.palette->entries[i];
            info.colors[i] = {entry.peBlue, entry.peGreen, entry.peRed, 0};
        }
    }
    surface->pitch = surface->indexed ? (width + 3) & ~3 : width;
    surface->memory = CreateCompatibleDC(dc);
    surface->bitmap =
        CreateDIBSection(dc, reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, &surface->bits, nullptr, 0);
    if (surface->memory == nullptr || surface->bitmap == nullptr || surface->bits == nullptr) {
        DestroySurface(surface);
        return 0;
    }
    surface->previousBitmap = SelectObject(surface->memory, surface->bitmap);
    return 1;
}

// The view's picture as a DIB of scene-palette indices, for GDI.
void DescribePicture(const ScreenView& view, DisplayInfo* info) {
    info->info = view.picture->header->info;
    info->info.biClrUsed = 0;
    for (int i = 0; i < kColorCount; ++i) info->indices[i] = static_cast<uint16_t>(i);
}

// The view, and the surface it scales into unless GDI puts the picture: when
// centred (through the realised scene palette, as a palette display needs)
// and on a palette display at a whole factor whose blocks the screen's edge
// does not cut, where GDI's stretch makes the same k x k blocks.
int AttachView(HDC dc, PictureSize size, MonitorScene* monitor) {
    const Rect& area = monitor->area;
    monitor->view = CreateScreenView(monitor->scene, size, area.width, area.height);
    if (monitor->view == nullptr) return 0;
    DescribePicture(*monitor->view, &monitor->pictureInfo);
    const PicturePlacement& placement = monitor->view->fit->placement;
    if (placement.size == kPictureCentred) {
        monitor->gdiPicture = 1;
        return 1;
    }
    if (CreateSurface(dc, *monitor->scene, area.width, area.height, &monitor->surface)) {
        monitor->gdiPicture = monitor->surface.indexed && HasWholeBlocks(placement);
        return 1;
    }
    DestroyScreenView(monitor->view);
    monitor->view = nullptr;
    return 0;
}

void DestroyMonitorScene(MonitorScene* monitor) {
    DestroySurface(&monitor->surface);
    DestroyScreenView(monitor->view);
    DestroyScene(monitor->scene);
    *monitor = {};
}

// A scene for the plan's area and its view.
SceneOutcome SetUpMonitor(HDC dc, int preview, const DisplaySettings& display, const SettingsRecord& settings,
                          const MonitorPlan& plan, MonitorScene* monitor) {
    monitor->area = plan.rect;
    SceneWindowInfo info = {};
    info.clientWidth = plan.rect.width;
    info.clientHeight = plan.rect.height;
    info.screenWidth = preview ? GetSystemMetrics(SM_CXSCREEN) : plan.rect.width;
    info.bitsPerPixel = GetDeviceCaps(dc, BITSPIXEL);
    info.display = nullptr;  // the scene reads the display palette from GDI
    const SceneSetUp setUp = SetUpScene(info, settings, plan.seed);
    monitor->scene = setUp.scene;
    if (monitor->scene == nullptr) return setUp.outcome;
    if (!AttachView(dc, display.pictureSize, monitor)) {
        DestroyMonitorScene(monitor);
        monitor->area = plan.rect;
        return kSceneFailed;
    }
    return kSceneReady;
}

RgbPixels RgbTarget(const MonitorScene& monitor) {
    return {static_cast<uint32_t*>(monitor.surface.bits),
            monitor.surface.pitch,
            {0, 0, monitor.area.width, monitor.area.height}};
}

IndexPixels IndexTarget(const MonitorScene& monitor) {
    return {static_cast<uint8_t*>(monitor.surface.bits),
            monitor.surface.pitch,
            {0, 0, monitor.area.width, monitor.area.height}};
}

// Copies `rect` of the monitor's surface (monitor coordinates) to the window.
void PutSurfaceRect(const MonitorScene& monitor, HDC dc, Rect rect) {
    if (rect.width <= 0 || rect.height <= 0) return;
    BitBlt(dc, monitor.area.x + rect.x, monitor.area.y + rect.y, rect.width, rect.height, monitor.surface.memory,
           rect.x, rect.y, SRCCOPY);
}

HPALETTE PaletteOf(const Scene* scene) {
    return scene != nullptr ? static_cast<HPALETTE>(scene->palette->platformPalette) : nullptr;
}

// Each scene draws palette indices of its own palette; the others' are
// realised in the background so that the primary's keeps the system colours.
void SelectMonitorPalette(const MonitorScenes& scenes, int index, HDC dc, int realise) {
    SelectPalette(dc, PaletteOf(scenes.monitors[index].scene), index != scenes.primary ? TRUE : FALSE);
    if (realise) RealizePalette(dc);
}

int SceneCount(const MonitorScenes& scenes) {
    int count = 0;
    for (int i = 0; i < scenes.count; ++i) count += scenes.monitors[i].scene != nullptr;
    return count;
}

// A part of the picture, stretched by GDI to its k x k blocks (k = 1 when
// centred) and cut to the monitor. The picture is bottom-up: GDI counts
// source rows from the bottom.
void StretchPictureRect(const MonitorScene& monitor, HDC dc, Rect rect) {
    Rect from, to;
    if (!WholeFactorRects(monitor.view->fit, rect, &from, &to)) return;
    const Image* picture = monitor.view->picture;
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, monitor.area.x + to.x, monitor.area.y + to.y, to.width, to.height, from.x,
                  ImageHeight(picture) - from.y - from.height, from.width, from.height, picture->pixels,
                  reinterpret_cast<const BITMAPINFO*>(&monitor.pictureInfo), DIB_PAL_COLORS, SRCCOPY);
}

void PaintMonitor(MonitorScene& monitor, HDC dc) {
    if (monitor.surface.memory == nullptr) {
        // Centred: the window's black background is already around it.
        const Image* picture = monitor.view->picture;
        StretchPictureRect(monitor, dc, {0, 0, ImageWidth(picture), ImageHeight(picture)});
        return;
    }
    GdiFlush();  // no copy of the surface may still be pending while it is rewritten
    if (monitor.surface.indexed) {
        PaintScreenView(*monitor.view, IndexTarget(monitor));
    } else {
        PaintScreenView(*monitor.view, RgbTarget(monitor));
    }
    PutSurfaceRect(monitor, dc, {0, 0, monitor.area.width, monitor.area.height});
}

void TickMonitor(MonitorScene& monitor, HDC dc) {
    if (monitor.gdiPicture) {
        AdvanceScreenView(*monitor.view);
        for (int k = 0; k < monitor.view->changedCount; ++k)
            StretchPictureRect(monitor, dc, monitor.view->changedPicture[k]);
        return;
    }
    GdiFlush();
    if (monitor.surface.indexed) {
        TickScreenView(*monitor.view, IndexTarget(monitor));
    } else {
        TickScreenView(*monitor.view, RgbTarget(monitor));
    }
    for (int k = 0; k < monitor.view->changedCount; ++k) PutSurfaceRect(monitor, dc, monitor.view->changed[k]);
}

// Draws every monitor with a scene, the primary last so that its palette
// stays selected. A paint realises each palette; a tick only selects them,
// and only when several scenes share the window: GDI reads a DIB's palette
// indices through the palette selected as it draws, and the window's own
// context keeps the one selected last.
template <typename Draw>
void ForEachScene(MonitorScenes& scenes, HDC dc, int realise, Draw draw) {
    const int select = realise || SceneCount(scenes) > 1;
    for (int i = 0; i < scenes.count; ++i) {
        if (i == scenes.primary || scenes.monitors[i].scene == nullptr) continue;
        if (select) SelectMonitorPalette(scenes, i, dc, realise);
        draw(scenes.monitors[i], dc);
    }
    if (scenes.monitors[scenes.primary].scene == nullptr) return;
    if (select) SelectMonitorPalette(scenes, scenes.primary, dc, realise);
    draw(scenes.monitors[scenes.primary], dc);
}

}  // namespace

SceneOutcome SetUpMonitorScenes(HWND window, HDC dc, int preview, MonitorScenes* scenes) {
    *scenes = {};
    MonitorList list;
    GatherMonitors(window, preview, &list);
    const DisplaySettings display = preview ? kDefaultDisplaySettings : ReadDisplaySettings();
    SettingsRecord settings = kDefaultSettings;
    ReadSettings(&settings);
    MonitorPlan plans[kMaxMonitors];
    scenes->count = PlanMonitors(list.areas, list.count, display.monitors, SeedFromClock(), plans);
    scenes->primary = PrimaryPlan(plans, scenes->count);
    // The primary first, so that its refusal comes before any other scene is
    // loaded; and always, even on an area the plan leaves black: its set-up
    // refuses or fails as a single screen's would.
    const SceneOutcome outcome =
        SetUpMonitor(dc, preview, display, settings, plans[scenes->primary], &scenes->monitors[scenes->primary]);
    if (outcome != kSceneReady) {
        DestroyMonitorScenes(scenes);
        return outcome;
    }
    for (int i = 0; i < scenes->count; ++i) {
        scenes->monitors[i].area = plans[i].rect;
        if (i == scenes->primary || !plans[i].showsScene) continue;
        SetUpMonitor(dc, preview, display, settings, plans[i], &scenes->monitors[i]);
    }
    return kSceneReady;
}

void DestroyMonitorScenes(MonitorScenes* scenes) {
    for (MonitorScene& monitor : scenes->monitors) DestroyMonitorScene(&monitor);
    *scenes = {};
}

HPALETTE PrimaryScenePalette(const MonitorScenes& scenes) {
    return scenes.count > 0 ? PaletteOf(scenes.monitors[scenes.primary].scene) : nullptr;
}

int MonitorScenesTimerPeriod(const MonitorScenes& scenes) {
    const Scene* primary = scenes.count > 0 ? scenes.monitors[scenes.primary].scene : nullptr;
    return primary != nullptr && SceneAnimates(*primary) ? FrameTimerPeriod(*primary) : 0;
}

void PaintMonitorScenes(MonitorScenes& scenes, HDC dc) { ForEachScene(scenes, dc, 1, PaintMonitor); }

void TickMonitorScenes(MonitorScenes& scenes, HDC dc) { ForEachScene(scenes, dc, 0, TickMonitor); }

void ForgetMonitorScreens(MonitorScenes& scenes) {
    for (int i = 0; i < scenes.count; ++i) {
        if (scenes.monitors[i].view != nullptr) ForgetShownPicture(*scenes.monitors[i].view);
    }
}
