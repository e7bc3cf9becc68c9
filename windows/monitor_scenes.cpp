// The saver window's scenes, one per monitor, each shown through a screen
// view. Centred scenes, and scaled ones on palette displays at a whole
// factor, put the view's changed picture rectangles through GDI as palette
// indices; other scaled ones are scaled by the view into a DIB section of
// the monitor's size, from which only the changed pixels are copied.
#include "windows/monitor_scenes.h"

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

int IsPaletteDisplay(HDC dc) { return GetDeviceCaps(dc, BITSPIXEL) <= 8 ? 1 : 0; }

void DestroyMonitorBitmap(MonitorBitmap* bitmap) {
    if (bitmap->memory != nullptr) {
        if (bitmap->previousBitmap != nullptr) SelectObject(bitmap->memory, bitmap->previousBitmap);
        DeleteDC(bitmap->memory);
    }
    if (bitmap->bitmap != nullptr) DeleteObject(bitmap->bitmap);
    *bitmap = {};
}

// A palette display's bitmap carries the scene palette as its colour table,
// so the copy to the window maps through the realised palette unchanged.
int CreateMonitorBitmap(HDC dc, const Scene& scene, int width, int height, MonitorBitmap* bitmap) {
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[kColorCount];
    } info = {};
    bitmap->indexed = IsPaletteDisplay(dc);
    info.header.biSize = sizeof info.header;
    info.header.biWidth = width;
    info.header.biHeight = -height;  // top-down: row 0 is the top
    info.header.biPlanes = 1;
    info.header.biBitCount = bitmap->indexed ? 8 : 32;
    info.header.biCompression = BI_RGB;
    if (bitmap->indexed) {
        info.header.biClrUsed = kColorCount;
        for (int i = 0; i < kColorCount; ++i) {
            const PaletteEntry& entry = scene.palette->entries[i];
            info.colors[i] = {entry.peBlue, entry.peGreen, entry.peRed, 0};
        }
    }
    bitmap->pitch = bitmap->indexed ? (width + 3) & ~3 : width;
    bitmap->memory = CreateCompatibleDC(dc);
    bitmap->bitmap =
        CreateDIBSection(dc, reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, &bitmap->bits, nullptr, 0);
    if (bitmap->memory == nullptr || bitmap->bitmap == nullptr || bitmap->bits == nullptr) {
        DestroyMonitorBitmap(bitmap);
        return 0;
    }
    bitmap->previousBitmap = SelectObject(bitmap->memory, bitmap->bitmap);
    return 1;
}

// The view's picture as a DIB of scene-palette indices, for GDI.
void DescribePicture(const ScreenView& view, DisplayInfo* info) {
    info->info = view.picture->header->info;
    info->info.biClrUsed = 0;
    for (int i = 0; i < kColorCount; ++i) info->indices[i] = static_cast<uint16_t>(i);
}

// The bitmap the view scales into unless GDI puts the picture: when
// centred (through the realised scene palette, as a palette display needs)
// and on a palette display at a whole factor whose blocks the screen's edge
// does not cut, where GDI's stretch makes the same k x k blocks.
int AttachBitmap(HDC dc, const SceneArea& area, MonitorScene* monitor) {
    DescribePicture(*area.view, &monitor->pictureInfo);
    const PicturePlacement& placement = area.view->fit->placement;
    monitor->gdiPicture = placement.size == kPictureCentred;
    if (monitor->gdiPicture) return 1;
    if (!CreateMonitorBitmap(dc, *area.scene, area.rect.width, area.rect.height, &monitor->bitmap)) return 0;
    monitor->gdiPicture = monitor->bitmap.indexed && HasWholeBlocks(placement);
    return 1;
}

template <typename Pixel>
ScreenPixels<Pixel> Target(const MonitorBitmap& bitmap, Rect area) {
    return {static_cast<Pixel*>(bitmap.bits), bitmap.pitch, {0, 0, area.width, area.height}};
}

// Copies `rect` of the monitor's bitmap (monitor coordinates) to the window.
void PutBitmapRect(const MonitorBitmap& bitmap, Rect area, HDC dc, Rect rect) {
    if (IsEmpty(rect)) return;
    BitBlt(dc, area.x + rect.x, area.y + rect.y, rect.width, rect.height, bitmap.memory, rect.x, rect.y, SRCCOPY);
}

HPALETTE PaletteOf(const Scene* scene) {
    return scene != nullptr ? static_cast<HPALETTE>(scene->palette->platformPalette) : nullptr;
}

// Each scene draws palette indices of its own palette; the others' are
// realised in the background so that the primary's keeps the system colours.
void SelectMonitorPalette(const SceneRun& run, int index, HDC dc, int realise) {
    SelectPalette(dc, PaletteOf(run.areas[index].scene), index != run.primary ? TRUE : FALSE);
    if (realise) RealizePalette(dc);
}

int SceneCount(const SceneRun& run) {
    int count = 0;
    for (int i = 0; i < run.areaCount; ++i) count += run.areas[i].scene != nullptr;
    return count;
}

// A part of the picture, stretched by GDI to its k x k blocks (k = 1 when
// centred) and cut to the monitor. The picture is bottom-up: GDI counts
// source rows from the bottom.
void StretchPictureRect(const SceneArea& area, const MonitorScene& monitor, HDC dc, Rect rect) {
    Rect from, to;
    if (!WholeFactorRects(area.view->fit, rect, &from, &to)) return;
    const Image* picture = area.view->picture;
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, area.rect.x + to.x, area.rect.y + to.y, to.width, to.height, from.x,
                  ImageHeight(picture) - from.y - from.height, from.width, from.height, picture->pixels,
                  reinterpret_cast<const BITMAPINFO*>(&monitor.pictureInfo), DIB_PAL_COLORS, SRCCOPY);
}

void PaintMonitor(const SceneArea& area, MonitorScene& monitor, HDC dc) {
    const MonitorBitmap& bitmap = monitor.bitmap;
    if (bitmap.memory == nullptr) {
        // Centred: the window's black background is already around it.
        const Image* picture = area.view->picture;
        StretchPictureRect(area, monitor, dc, {0, 0, ImageWidth(picture), ImageHeight(picture)});
        return;
    }
    GdiFlush();  // no copy of the bitmap may still be pending while it is rewritten
    if (bitmap.indexed) {
        PaintScreenView(*area.view, Target<uint8_t>(bitmap, area.rect));
    } else {
        PaintScreenView(*area.view, Target<uint32_t>(bitmap, area.rect));
    }
    PutBitmapRect(bitmap, area.rect, dc, {0, 0, area.rect.width, area.rect.height});
}

void TickMonitor(const SceneArea& area, MonitorScene& monitor, HDC dc) {
    const ScreenView& view = *area.view;
    if (monitor.gdiPicture) {
        AdvanceScreenView(*area.view);
        for (int k = 0; k < view.changedCount; ++k) StretchPictureRect(area, monitor, dc, view.changedPicture[k]);
        return;
    }
    GdiFlush();
    if (monitor.bitmap.indexed) {
        TickScreenView(*area.view, Target<uint8_t>(monitor.bitmap, area.rect));
    } else {
        TickScreenView(*area.view, Target<uint32_t>(monitor.bitmap, area.rect));
    }
    for (int k = 0; k < view.changedCount; ++k) PutBitmapRect(monitor.bitmap, area.rect, dc, view.changed[k]);
}

// Draws every monitor with a scene, the primary last so that its palette
// stays selected. A paint realises each palette; a tick only selects them,
// and only when several scenes share the window: GDI reads a DIB's palette
// indices through the palette selected as it draws, and the window's own
// context keeps the one selected last.
template <typename Draw>
void ForEachScene(MonitorScenes& scenes, HDC dc, int realise, Draw draw) {
    const SceneRun& run = scenes.run;
    const int select = realise || SceneCount(run) > 1;
    for (int k = 0; k <= run.areaCount; ++k) {
        const int i = k < run.areaCount ? k : run.primary;  // the primary last
        if ((k < run.areaCount && i == run.primary) || run.areas[i].scene == nullptr) continue;
        if (select) SelectMonitorPalette(run, i, dc, realise);
        draw(run.areas[i], scenes.monitors[i], dc);
    }
}

}  // namespace

RunStart SetUpMonitorScenes(HWND window, HDC dc, int preview, MonitorScenes* scenes) {
    *scenes = {};
    MonitorList list;
    GatherMonitors(window, preview, &list);
    RunChoices choices = {kDefaultSettings, kDefaultDisplaySettings, 0, 0, -1, -1};
    if (!preview) choices.display = ReadDisplaySettings();
    ReadSettings(&choices.settings);
    SceneRun* run = &scenes->run;
    BeginRun(run, choices);
    MonitorPlan plans[kMaxMonitors];
    const int count = PlanMonitors(list.areas, list.count, choices.display.monitors, run->seed, plans);
    // The preview's still scene takes the layout of the screen it stands for.
    const AreaSetUp setUp = {preview ? GetSystemMetrics(SM_CXSCREEN) : 0, GetDeviceCaps(dc, BITSPIXEL), 0};
    RunStart start = StartAreaScenes(run, plans, count, setUp);
    for (int i = 0; i < count && start == kRunReady; ++i) {
        if (run->areas[i].view == nullptr || AttachBitmap(dc, run->areas[i], &scenes->monitors[i])) continue;
        if (i == run->primary) start = kRunFailed;
        EndAreaScene(run, i);
    }
    if (start != kRunReady) DestroyMonitorScenes(scenes);
    StartTicks(run, 0);
    return start;
}

void DestroyMonitorScenes(MonitorScenes* scenes) {
    for (MonitorScene& monitor : scenes->monitors) DestroyMonitorBitmap(&monitor.bitmap);
    EndScenes(&scenes->run);
    *scenes = {};
}

HPALETTE PrimaryScenePalette(const MonitorScenes& scenes) {
    return PaletteOf(scenes.run.areas[scenes.run.primary].scene);
}

void PaintMonitorScenes(MonitorScenes& scenes, HDC dc) { ForEachScene(scenes, dc, 1, PaintMonitor); }

void TickMonitorScenes(MonitorScenes& scenes, HDC dc) { ForEachScene(scenes, dc, 0, TickMonitor); }
