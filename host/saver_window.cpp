// The saver window's host procedures: the class procedure that sees every
// message first, the default procedure behind the scene's ScreenSaverProc,
// and ConfirmClose with the password check.
#include "host/host.h"

#include <imm.h>

HWND mainWindow = nullptr;
int isPreview = 0;
int isClosing = 0;
int isCheckingPassword = 0;
POINT mouseAnchor = {0, 0};
uint32_t mouseMoveThreshold = kMouseMoveThreshold;
uint32_t lastPasswordCheckTick = kNoPasswordCheckYet;

namespace {

typedef HIMC(WINAPI* ImmAssociateContextProc)(HWND window, HIMC context);

HMODULE inputMethodModule = nullptr;
ImmAssociateContextProc inputMethodFunction = nullptr;
HIMC previousInputContext = nullptr;

void HideCursor() { SetCursor(nullptr); }

// Keeps the input method away from the window, but only when the process
// already has IMM32.DLL loaded: nothing is loaded for it.
void DetachInputMethod(HWND window) {
    inputMethodModule = GetModuleHandleA("IMM32.DLL");
    if (inputMethodModule == nullptr) return;
    inputMethodFunction = reinterpret_cast<ImmAssociateContextProc>(
        reinterpret_cast<void*>(GetProcAddress(inputMethodModule, "ImmAssociateContext")));
    if (inputMethodFunction == nullptr) return;
    previousInputContext = inputMethodFunction(window, nullptr);
}

void RestoreInputMethod(HWND window) {
    if (inputMethodModule && inputMethodFunction && previousInputContext) {
        inputMethodFunction(window, previousInputContext);
    }
}

// How long a preview waits for its parent to take a help request: the
// parent is another program's window, and one that does not answer must not
// stop the preview for longer.
constexpr UINT kParentHelpTimeoutMs = 1000;

// A preview hands help and context-menu requests to the window it lives in.
// Help is sent, not posted: its HELPINFO lives only while this message is
// handled.
LRESULT ForwardToParent(HWND window, UINT message, LPARAM lParam) {
    HWND parent = GetParent(window);
    if (parent != nullptr && IsWindow(parent)) {
        WPARAM from = reinterpret_cast<WPARAM>(parent);
        if (message == WM_HELP) {
            DWORD_PTR ignored = 0;
            SendMessageTimeoutA(parent, message, from, lParam, SMTO_ABORTIFHUNG, kParentHelpTimeoutMs, &ignored);
        } else {
            PostMessageA(parent, message, from, lParam);
        }
    }
    return 1;
}

// The low four bits of a system command are the platform's own.
int IsFilteredSystemCommand(WPARAM command) {
    WPARAM kind = command & 0xFFF0;
    return kind == SC_SCREENSAVE || kind == SC_NEXTWINDOW || kind == SC_PREVWINDOW;
}

LRESULT HandleMouseMove(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // The message's own coordinates are client-relative and not used.
    POINT cursor;
    if (GetCursorPos(&cursor)) {
        ScreenPoint anchor = {mouseAnchor.x, mouseAnchor.y};
        ScreenPoint now = {cursor.x, cursor.y};
        if (MouseMoveExceedsThreshold(anchor, now, mouseMoveThreshold)) {
            PostMessageA(window, WM_CLOSE, 0, 0);
            mouseAnchor = cursor;
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

LRESULT CALLBACK ScreenSaverClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        DetachInputMethod(window);
        GetCursorPos(&mouseAnchor);
        if (!isPreview) HideCursor();
        break;
    case WM_DESTROY:
        RestoreInputMethod(window);
        PostQuitMessage(0);
        break;
    case WM_SETTEXT:
        return 0;
    case WM_PAINT:
        if (isClosing) return DefWindowProcA(window, message, wParam, lParam);
        if (!isPreview) HideCursor();
        break;
    case WM_HELP:
    case WM_CONTEXTMENU:
        if (isPreview) return ForwardToParent(window, message, lParam);
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (isClosing) return DefWindowProcA(window, message, wParam, lParam);
        break;
    case WM_SYSCOMMAND:
        if (!isPreview && IsFilteredSystemCommand(wParam)) return 0;
        break;
    case WM_TIMER:
        if (isClosing) return 0;  // no frame once closing is granted
        Sleep(0);
        break;
    default:
        break;
    }
    return ScreenSaverProc(window, message, wParam, lParam);
}

LRESULT CALLBACK ScreenSaverDefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (isPreview || isClosing) return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_CLOSE) {
        if (ConfirmClose(window)) return DefWindowProcA(window, message, wParam, lParam);
        GetCursorPos(&mouseAnchor);
        return 0;
    }
    if (message == VerifyPasswordMessage) {
        return verifyPassword ? verifyPassword(window) : 1;
    }
    if (isCheckingPassword) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_SHOWWINDOW:
        if (wParam) HideCursor();
        break;
    case WM_SETCURSOR:
        HideCursor();
        return 1;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        PostMessageA(window, WM_CLOSE, 0, 0);
        break;
    case WM_MOUSEMOVE:
        return HandleMouseMove(window, message, wParam, lParam);
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int ConfirmClose(HWND window) {
    if (isCheckingPassword) return 0;
    if (verifyPassword == nullptr) {
        isClosing = 1;
        return 1;
    }
    if (WithinPasswordQuietTime(GetTickCount(), lastPasswordCheckTick)) return 0;
    isCheckingPassword = 1;
    // Frames already queued would otherwise be drawn over the verifier's dialog first.
    MSG pending;
    PeekMessageA(&pending, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
    PeekMessageA(&pending, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
    isClosing = SendMessageA(window, VerifyPasswordMessage, 0, 0) != 0 ? 1 : 0;
    isCheckingPassword = 0;
    if (isClosing == 0) HideCursor();
    lastPasswordCheckTick = GetTickCount();
    return isClosing;
}
