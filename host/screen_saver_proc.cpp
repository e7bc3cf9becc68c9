// ScreenSaverProc, the scene's window procedure on Windows: set-up of a
// scene per monitor at the first paint, the whole pictures on every paint,
// one frame per timer message, the primary scene's palette kept realised,
// what the screen shows forgotten when something else may have drawn on
// it, and the scenes freed with the window.
#include "host/host.h"
#include "host/monitor_scenes.h"
#include "platform/services.h"

namespace {

constexpr UINT_PTR kFrameTimerId = 1;

// The saver window's class has CS_OWNDC: this context is the one every paint
// receives too, so the palette selected while painting stays selected here.
HDC screenDC = nullptr;
MonitorScenes scenes = {};
int scenesReady = 0;
// Set at the first paint. Paints without scenes after it go to the default
// procedure: those during the minimum-configuration message box, whose
// message loop dispatches them to this still unpainted window, and those
// after a refusal or a failure.
int setUpStarted = 0;

HPALETTE ScenePaletteHandle() { return scenesReady ? PrimaryScenePalette(scenes) : nullptr; }

// 1 when the scenes are ready to draw; 0 after a refusal (with the message)
// or a failure, which post the destroy message that ends the saver.
int SetUpOnFirstPaint(HWND window) {
    if (screenDC == nullptr) screenDC = GetDC(window);
    setUpStarted = 1;
    const SceneOutcome outcome = SetUpMonitorScenes(window, screenDC, saverHost.isPreview, &scenes);
    if (outcome == kSceneRefused) ShowUserMessage(kMinimumConfigurationText, kSceneMessageCaption);
    if (outcome != kSceneReady) {
        PostMessageA(window, WM_DESTROY, 0, 0);
        return 0;
    }
    scenesReady = 1;
    const int period = MonitorScenesTimerPeriod(scenes);
    if (period > 0) SetTimer(window, kFrameTimerId, period, nullptr);
    return 1;
}

LRESULT Paint(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!scenesReady && (setUpStarted || !SetUpOnFirstPaint(window))) {
        return ScreenSaverDefaultProc(window, message, wParam, lParam);
    }
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (dc != nullptr) PaintMonitorScenes(scenes, dc);
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

// Another window, its saved bits put back, a new palette or display mode may
// have changed the window's pixels without a paint: the next tick puts every
// strip whole.
void ForgetShownScreens() {
    if (scenesReady) ForgetMonitorScreens(scenes);
}

// The password verifier's dialog may put back the bits it covered, showing
// an older frame, whatever its answer.
LRESULT VerifyPassword(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT verified = ScreenSaverDefaultProc(window, message, wParam, lParam);
    ForgetShownScreens();
    return verified;
}

// The window's own context lets go of the scene palettes before they are deleted.
void FreeScenes() {
    HPALETTE stock = static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
    if (screenDC != nullptr) SelectPalette(screenDC, stock, FALSE);
    DestroyMonitorScenes(&scenes);
    scenesReady = 0;
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
        if (scenesReady && MonitorScenesTimerPeriod(scenes) > 0) TickMonitorScenes(scenes, screenDC);
        return 0;
    case WM_QUERYNEWPALETTE:
        ForgetShownScreens();
        RealizeScenePalette(window);
        return 1;
    case WM_PALETTECHANGED:
        if (reinterpret_cast<HWND>(wParam) == window) {
            return ScreenSaverDefaultProc(window, message, wParam, lParam);
        }
        ForgetShownScreens();
        RealizeScenePalette(window);
        return 1;
    case VerifyPasswordMessage:
        return VerifyPassword(window, message, wParam, lParam);
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE) ForgetShownScreens();
        return ScreenSaverDefaultProc(window, message, wParam, lParam);
    case WM_SETFOCUS:
    case WM_DISPLAYCHANGE:
        ForgetShownScreens();
        return ScreenSaverDefaultProc(window, message, wParam, lParam);
    case WM_DESTROY:
        FreeScenes();
        return ScreenSaverDefaultProc(window, message, wParam, lParam);
    default:
        return ScreenSaverDefaultProc(window, message, wParam, lParam);
    }
}
