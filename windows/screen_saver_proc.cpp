// ScreenSaverProc, the scene's window procedure on Windows: set-up of a
// scene per monitor at the first paint (and again after a display change),
// the whole pictures on every paint, one tick per timer message, the
// primary scene's palette kept realised, what the screen shows forgotten
// when something else may have drawn on it, and the scenes freed with the
// window.
#include "windows/monitor_scenes.h"
#include "windows/windows_host.h"
#include "platform/services.h"

namespace {

constexpr UINT_PTR kTickTimerId = 1;

// The saver window's class has CS_OWNDC: this context is the one every paint
// receives too, so the palette selected while painting stays selected here.
HDC screenDC = nullptr;
MonitorScenes scenes = {};
// Set at the first paint. Paints without scenes after it go to the default
// procedure: those during the minimum-configuration message box, whose
// message loop dispatches them to this still unpainted window, and those
// after a refusal or a failure.
int setUpStarted = 0;
// Set once scenes have been shown: a display change then sets them up again,
// and a new display they refuse stays black rather than end the saver.
int scenesShown = 0;
// When what the screen shows was last forgotten (GetTickCount).
DWORD lastForgotten = 0;
// A window that covers the saver without taking activation (a tooltip, a
// tray balloon, an on-screen display) may put back the bits it saved as it
// goes, and nothing tells the saver: what the screen shows is forgotten at
// this interval as well, so a stale strip lasts no longer.
constexpr DWORD kForgetShownIntervalMs = 2000;

// The saver window leaves input alone and refuses to close while the box is
// up, so that moving the mouse to find its button does not take it away.
void ShowRefusal() {
    windowsHost.isShowingMessage = 1;
    ShowPointer();
    ShowUserMessage(kMinimumConfigurationText, kSceneMessageCaption);
    windowsHost.isShowingMessage = 0;
}

// 1 when the scenes are ready to draw; 0 after a refusal (with the message)
// or a failure, which post the destroy message that ends the saver. After a
// display change it neither shows nor ends anything: the saver, which may be
// guarding a password, goes on over a black screen until input closes it.
int SetUpAtPaint(HWND window) {
    if (screenDC == nullptr) screenDC = GetDC(window);
    setUpStarted = 1;
    const RunStart start = SetUpMonitorScenes(window, screenDC, windowsHost.isPreview, &scenes);
    if (start != kRunReady) {
        if (scenesShown) return 0;
        if (start == kRunRefused) ShowRefusal();
        PostMessageA(window, WM_DESTROY, 0, 0);
        return 0;
    }
    scenesShown = 1;
    lastForgotten = GetTickCount();  // a new view holds nothing of the screen yet
    const int period = RunTickPeriod(scenes.run);
    if (period > 0) SetTimer(window, kTickTimerId, period, nullptr);
    return 1;
}

LRESULT Paint(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (scenes.run.lead == nullptr && (setUpStarted || !SetUpAtPaint(window))) {
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
    HPALETTE palette = PrimaryScenePalette(scenes);
    if (palette == nullptr) return;
    HDC dc = GetDC(window);
    SelectPalette(dc, palette, FALSE);
    if (RealizePalette(dc) != 0) InvalidateRect(window, nullptr, FALSE);
    ReleaseDC(window, dc);
}

// Another window, its saved bits put back, a new palette or display mode may
// have changed the window's pixels without a paint: the next tick puts every
// strip whole.
void ForgetShownPictures() {
    ::ForgetShownPictures(&scenes.run);
    lastForgotten = GetTickCount();
}

void Tick() {
    if (GetTickCount() - lastForgotten >= kForgetShownIntervalMs) ForgetShownPictures();
    TickMonitorScenes(scenes, screenDC);
    CountTick(&scenes.run);
}

// The password verifier's dialog may put back the bits it covered, showing
// an older picture, whatever its answer.
LRESULT VerifyPassword(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT verified = ScreenSaverDefaultProc(window, message, wParam, lParam);
    ForgetShownPictures();
    return verified;
}

// The window's own context lets go of the scene palettes before they are deleted.
void FreeScenes() {
    HPALETTE stock = static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
    if (screenDC != nullptr) SelectPalette(screenDC, stock, FALSE);
    DestroyMonitorScenes(&scenes);
}

// A monitor attached, woken or resized: the full-screen window covers the new
// virtual screen, and the scenes, made for the old monitors, are set up again
// at the next paint. The pointer's new place, where the change moved it, is
// no move of the person's. The preview only forgets what its screen showed.
LRESULT FollowDisplayChange(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (windowsHost.isPreview) {
        ForgetShownPictures();
    } else {
        const RECT screen = VirtualScreenRect();
        SetWindowPos(window, nullptr, screen.left, screen.top, screen.right - screen.left, screen.bottom - screen.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        if (scenesShown) {
            FreeScenes();
            setUpStarted = 0;
        }
        InvalidateRect(window, nullptr, TRUE);
        AnchorPointer();
    }
    return ScreenSaverDefaultProc(window, message, wParam, lParam);
}

}  // namespace

extern "C" LRESULT WINAPI ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return 0;
    case WM_PAINT:
        return Paint(window, message, wParam, lParam);
    case WM_TIMER:
        // Any identifier draws a tick; a stray one before set-up, or in the
        // preview's still scene, has no frame image to draw.
        if (RunTickPeriod(scenes.run) > 0) Tick();
        return 0;
    case WM_QUERYNEWPALETTE:
        ForgetShownPictures();
        RealizeScenePalette(window);
        return 1;
    case WM_PALETTECHANGED:
        if (reinterpret_cast<HWND>(wParam) == window) {
            return ScreenSaverDefaultProc(window, message, wParam, lParam);
        }
        ForgetShownPictures();
        RealizeScenePalette(window);
        return 1;
    case VerifyPasswordMessage:
        return VerifyPassword(window, message, wParam, lParam);
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE) ForgetShownPictures();
        return ScreenSaverDefaultProc(window, message, wParam, lParam);
    case WM_SETFOCUS:
        ForgetShownPictures();
        return ScreenSaverDefaultProc(window, message, wParam, lParam);
    case WM_DISPLAYCHANGE:
        return FollowDisplayChange(window, message, wParam, lParam);
    case WM_DESTROY:
        FreeScenes();
        return ScreenSaverDefaultProc(window, message, wParam, lParam);
    default:
        return ScreenSaverDefaultProc(window, message, wParam, lParam);
    }
}
