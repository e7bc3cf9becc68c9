// ScreenSaverMain and the four run modes: the full-screen saver and the
// preview (one saver window each), the settings dialog and the password change.
#include "windows/windows_host.h"

namespace {

const char kSaverClassName[] = "WindowsScreenSaverClass";
const char kFullScreenTitle[] = "Screen Saver";
const char kPreviewTitle[] = "Preview";

constexpr UINT kSaverClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;  // 0x2B
constexpr DWORD kFullScreenStyle = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr DWORD kPreviewStyle = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;

// Registering the class or creating the window failed: no message loop ran,
// so there is no WM_QUIT code; -1 tells the caller that nothing was shown.
constexpr int kNoWindowExitCode = -1;

struct SaverWindowPlan {
    DWORD exStyle;
    DWORD style;
    const char* title;
    int x;
    int y;
    int width;
    int height;
};

// 1 when a full-screen saver already runs; it has been brought to the front.
int BroughtRunningSaverForward() {
    HWND running = FindWindowA(kSaverClassName, kFullScreenTitle);
    if (running == nullptr || !IsWindow(running)) return 0;
    SetForegroundWindow(running);
    return 1;
}

int RegisterSaverClass() {
    WNDCLASSA saverClass = {};
    saverClass.style = kSaverClassStyle;
    saverClass.lpfnWndProc = ScreenSaverClassProc;
    saverClass.hInstance = windowsHost.moduleInstance;
    saverClass.hIcon = LoadIconA(windowsHost.moduleInstance, MAKEINTRESOURCEA(kSaverIconId));
    saverClass.hCursor = nullptr;
    saverClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    saverClass.lpszClassName = kSaverClassName;
    return RegisterClassA(&saverClass) != 0;
}

int RunMessageLoop() {
    MSG message;
    BOOL got;
    while ((got = GetMessageA(&message, nullptr, 0, 0)) != 0) {
        if (got == -1) return kNoWindowExitCode;  // only with bad arguments; never loop on it
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace

RECT VirtualScreenRect() {
    const int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return {x, y, x + GetSystemMetrics(SM_CXVIRTUALSCREEN), y + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

int RunScreenSaver(HWND parent) {
    SaverWindowPlan plan;
    if (parent != nullptr) {
        RECT client = {0, 0, 0, 0};
        GetClientRect(parent, &client);
        plan = {0, kPreviewStyle, kPreviewTitle, 0, 0, client.right, client.bottom};
        windowsHost.isPreview = 1;
    } else {
        // The whole virtual screen, so that no monitor goes on showing the desktop.
        const RECT screen = VirtualScreenRect();
        const int width = screen.right - screen.left, height = screen.bottom - screen.top;
        plan = {WS_EX_TOPMOST, kFullScreenStyle, kFullScreenTitle, screen.left, screen.top, width, height};
        if (BroughtRunningSaverForward()) return 0;
        LoadPasswordVerifier();
    }
    if (RegisterSaverClass()) {
        windowsHost.mainWindow =
            CreateWindowExA(plan.exStyle, kSaverClassName, plan.title, plan.style, plan.x, plan.y, plan.width,
                            plan.height, parent, nullptr, windowsHost.moduleInstance, nullptr);
    }
    int exitCode = kNoWindowExitCode;
    if (windowsHost.mainWindow != nullptr) {
        if (!windowsHost.isPreview) SetForegroundWindow(windowsHost.mainWindow);
        exitCode = RunMessageLoop();
    }
    UnloadPasswordVerifier();
    return exitCode;
}

HWND WindowFromHandleText(const char* text) {
    // Through int32_t: a 64-bit build then sign-extends as the platform does
    // (a handle with bit 31 set would otherwise name no window).
    int32_t handle = static_cast<int32_t>(ParseWindowHandle(text));
    return reinterpret_cast<HWND>(static_cast<intptr_t>(handle));
}

int StartPreview(const char* text) {
    HWND parent = WindowFromHandleText(text);
    if (parent == nullptr || !IsWindow(parent)) return -1;
    return RunScreenSaver(parent);
}

int ShowConfigureDialog(HWND owner) {
    if (!PrepareConfigureDialog(windowsHost.moduleInstance)) return 0;
    return static_cast<int>(DialogBoxParamA(windowsHost.moduleInstance, MAKEINTRESOURCEA(kConfigureDialogId), owner,
                                            ScreenSaverConfigureDialog, 0));
}

int StartChangePassword(const char* text) {
    HWND parent = WindowFromHandleText(text);
    if (parent == nullptr || !IsWindow(parent)) parent = GetForegroundWindow();
    ChangeScreenSaverPassword(parent);
    return 0;
}

int ScreenSaverMain(HINSTANCE instance, const char* tail) {
    windowsHost.moduleInstance = instance;
    RestrictLibrarySearch();
    CommandLineRequest request = ParseSaverCommandLine(tail);
    switch (request.mode) {
    case kModeConfigureNoOwner:
        return ShowConfigureDialog(nullptr);
    case kModeFullScreen:
        return RunScreenSaver(nullptr);
    case kModeConfigure:
        return ShowConfigureDialog(GetForegroundWindow());
    case kModePreview:
        return StartPreview(request.rest);
    case kModeChangePassword:
        return StartChangePassword(request.rest);
    case kModeInvalid:
    default:
        return -1;
    }
}
