// ScreenSaverProc, the scene's window procedure on Windows: set-up at the
// first paint, the whole picture on every paint, one frame per timer message,
// the scene palette kept realised, and the scene freed with the window.
#include "host/host.h"
#include "scene/scene.h"

namespace {

constexpr UINT_PTR kFrameTimerId = 1;

// The saver window's class has CS_OWNDC: this context is the one every paint
// receives too, so the palette selected while painting stays selected here.
HDC screenDC = nullptr;
Scene* scene = nullptr;
// Set at the first paint. Paints without a scene after it go to the default
// procedure: those during the minimum-configuration message box, whose
// message loop dispatches them to this still unpainted window, and those
// after a refusal or a failure.
int setUpStarted = 0;

HPALETTE ScenePaletteHandle() {
    return scene ? static_cast<HPALETTE>(scene->palette->platformPalette) : nullptr;
}

SceneWindowInfo GatherWindowInfo(HWND window) {
    RECT client = {0, 0, 0, 0};
    GetClientRect(window, &client);
    SceneWindowInfo info = {};
    info.clientWidth = client.right;
    info.clientHeight = client.bottom;
    info.screenWidth = GetSystemMetrics(SM_CXSCREEN);
    info.bitsPerPixel = GetDeviceCaps(screenDC, BITSPIXEL);
    info.display = nullptr;  // the scene reads the display palette from GDI
    return info;
}

// 1 when the scene is ready to draw; 0 after a refusal (with the message) or
// a failure, which post the destroy message that ends the saver.
int SetUpOnFirstPaint(HWND window) {
    if (screenDC == nullptr) screenDC = GetDC(window);
    setUpStarted = 1;
    SettingsRecord settings = kDefaultSettings;
    ReadSettings(&settings);
    const SceneSetUp setUp = SetUpScene(GatherWindowInfo(window), screenDC, settings, SeedFromClock());
    if (setUp.outcome == kSceneRefused) ShowUserMessage(kMinimumConfigurationText, kSceneMessageCaption);
    scene = setUp.scene;
    if (scene == nullptr) {
        PostMessageA(window, WM_DESTROY, 0, 0);
        return 0;
    }
    if (SceneAnimates(*scene)) SetTimer(window, kFrameTimerId, FrameTimerPeriod(*scene), nullptr);
    return 1;
}

LRESULT Paint(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (scene == nullptr && (setUpStarted || !SetUpOnFirstPaint(window))) {
        return ScreenSaverDefaultProc(window, message, wParam, lParam);
    }
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (dc != nullptr) {
        SelectPalette(dc, ScenePaletteHandle(), FALSE);
        RealizePalette(dc);
        PaintScene(*scene, dc);
    }
    EndPaint(window, &paint);
    return 0;
}

// Before set-up there is no palette: the message is answered without one.
void RealizeScenePalette(HWND window) {
    HPALETTE palette = ScenePaletteHandle();
    if (palette == nullptr) return;
    HDC dc = GetDC(window);
    SelectPalette(dc, palette, FALSE);
    if (RealizePalette(dc) != 0) InvalidateRect(window, nullptr, FALSE);
    ReleaseDC(window, dc);
}

// The window's own context lets go of the scene palette before it is deleted.
void FreeScene() {
    HPALETTE stock = static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
    if (screenDC != nullptr) SelectPalette(screenDC, stock, FALSE);
    DestroyScene(scene);
    scene = nullptr;
}

}  // namespace

extern "C" LRESULT WINAPI ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return 0;
    case WM_PAINT:
        return Paint(window, message, wParam, lParam);
    case WM_TIMER:
        // Any identifier draws a frame; a stray one before set-up, or in the
        // preview's still scene, has no frame image to draw.
        if (scene != nullptr && SceneAnimates(*scene)) {
            ComposeFrame(*scene);
            PresentFrame(*scene);
        }
        return 0;
    case WM_QUERYNEWPALETTE:
        RealizeScenePalette(window);
        return 1;
    case WM_PALETTECHANGED:
        if (reinterpret_cast<HWND>(wParam) == window) {
            return ScreenSaverDefaultProc(window, message, wParam, lParam);
        }
        RealizeScenePalette(window);
        return 1;
    case WM_DESTROY:
        FreeScene();
        return ScreenSaverDefaultProc(window, message, wParam, lParam);
    default:
        return ScreenSaverDefaultProc(window, message, wParam, lParam);
    }
}
