// ScreenSaverProc, the scene's window procedure on Windows: set-up at the
// first paint, the whole picture on every paint, one frame per timer message,
// and the scene palette kept realised.
#include "host/host.h"
#include "scene/scene.h"

namespace {

constexpr UINT_PTR kFrameTimerId = 1;

// The saver window's class has CS_OWNDC: this context is the one every paint
// receives too, so the palette selected while painting stays selected here.
HDC screenDC = nullptr;
// Set while SetUpScene runs: the minimum-configuration message box runs a
// message loop that dispatches paint messages to this still unpainted window.
int isSettingUp = 0;

HPALETTE ScenePaletteHandle() {
    return ScenePalette ? static_cast<HPALETTE>(ScenePalette->platformPalette) : nullptr;
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

// 1 when the scene is ready to draw; 0 after a refusal, which has posted the
// destroy message that ends the saver.
int SetUpOnFirstPaint(HWND window) {
    if (screenDC == nullptr) screenDC = GetDC(window);
    isSettingUp = 1;
    SetUpScene(GatherWindowInfo(window), screenDC);
    isSettingUp = 0;
    if (configurationRefused > 0 || !sceneReady) {
        PostMessageA(window, WM_DESTROY, 0, 0);
        return 0;
    }
    if (SceneAnimates()) SetTimer(window, kFrameTimerId, FrameTimerPeriod(), nullptr);
    sceneReady = 1;
    return 1;
}

LRESULT Paint(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (isSettingUp || configurationRefused > 0) {
        return ScreenSaverDefaultProc(window, message, wParam, lParam);
    }
    if (!sceneReady && !SetUpOnFirstPaint(window)) {
        return ScreenSaverDefaultProc(window, message, wParam, lParam);
    }
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (dc != nullptr) {
        SelectPalette(dc, ScenePaletteHandle(), FALSE);
        RealizePalette(dc);
        PaintScene(dc);
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
        if (sceneReady && SceneAnimates()) {
            ComposeFrame();
            PresentFrame();
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
    default:
        return ScreenSaverDefaultProc(window, message, wParam, lParam);
    }
}
