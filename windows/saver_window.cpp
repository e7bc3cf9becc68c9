// The saver window's host procedures: the class procedure that sees every
// message first, the default procedure behind the scene's ScreenSaverProc,
// and ConfirmClose with the password check.
#include "windows/windows_host.h"

#include <imm.h>

namespace {

typedef HIMC(WINAPI* ImmAssociateContextProc)(HWND window, HIMC context);

HMODULE inputMethodModule = nullptr;
ImmAssociateContextProc inputMethodFunction = nullptr;
HIMC previousInputContext = nullptr;

void HideCursor() { SetCursor(nullptr); }

// A dialog of ours or the verifier's is up: input is left to the default
// procedure and no close is granted.
int AwaitingDialog() { return windowsHost.isCheckingPassword || windowsHost.isShowingMessage; }

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
    if (GetCursorPos(&cursor) && PointerDismisses(&windowsHost.anchor, {cursor.x, cursor.y})) {
        PostMessageA(window, WM_CLOSE, 0, 0);
        windowsHost.anchor.point = {cursor.x, cursor.y};
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

void ShowPointer() { SetCursor(LoadCursorA(nullptr, IDC_ARROW)); }

void AnchorPointer() {
    POINT cursor;
    if (GetCursorPos(&cursor)) windowsHost.anchor = PointerAnchor{{cursor.x, cursor.y}, 1};
}

LRESULT CALLBACK ScreenSaverClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        DetachInputMethod(window);
        AnchorPointer();
        if (!windowsHost.isPreview) HideCursor();
        break;
    case WM_DESTROY:
        RestoreInputMethod(window);
        PostQuitMessage(0);
        break;
    case WM_SETTEXT:
        return 0;
    case WM_PAINT:
        if (windowsHost.isClosing) return DefWindowProcA(window, message, wParam, lParam);
        if (!windowsHost.isPreview && !windowsHost.isShowingMessage) HideCursor();
        break;
    case WM_HELP:
    case WM_CONTEXTMENU:
        if (windowsHost.isPreview) return ForwardToParent(window, message, lParam);
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (windowsHost.isClosing) return DefWindowProcA(window, message, wParam, lParam);
        break;
    case WM_SYSCOMMAND:
        if (!windowsHost.isPreview && IsFilteredSystemCommand(wParam)) return 0;
        break;
    case WM_TIMER:
        if (windowsHost.isClosing) return 0;  // no tick once closing is granted
        Sleep(0);
        break;
    default:
        break;
    }
    return ScreenSaverProc(window, message, wParam, lParam);
}

LRESULT CALLBACK ScreenSaverDefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (windowsHost.isPreview || windowsHost.isClosing) return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_CLOSE) {
        if (ConfirmClose(window)) return DefWindowProcA(window, message, wParam, lParam);
        AnchorPointer();
        return 0;
    }
    if (message == VerifyPasswordMessage) {
        return windowsHost.verifyPassword ? windowsHost.verifyPassword(window) : 1;
    }
    if (windowsHost.isShowingMessage && message == WM_SETCURSOR) {
        ShowPointer();
        return 1;
    }
    if (AwaitingDialog()) return DefWindowProcA(window, message, wParam, lParam);
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
    if (AwaitingDialog()) return 0;
    if (windowsHost.verifyPassword == nullptr) {
        windowsHost.isClosing = 1;
        return 1;
    }
    if (WithinPasswordQuietTime(GetTickCount(), windowsHost.lastPasswordCheckTick)) return 0;
    windowsHost.isCheckingPassword = 1;
    // Ticks already queued would otherwise be drawn over the verifier's dialog first.
    MSG pending;
    PeekMessageA(&pending, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
    PeekMessageA(&pending, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
    windowsHost.isClosing = SendMessageA(window, VerifyPasswordMessage, 0, 0) != 0 ? 1 : 0;
    windowsHost.isCheckingPassword = 0;
    if (windowsHost.isClosing == 0) HideCursor();
    windowsHost.lastPasswordCheckTick = GetTickCount();
    return windowsHost.isClosing;
}
