// A test-only stand-in for the desktop's PASSWORD.CPL (never shipped): its
// VerifyScreenSavePwd answers what the test put in the registry and records
// each load and call there, so the end-to-end tests can steer and watch it.
// Loaded into the saver, it also stands in for the bits a window puts back
// over the saver as it goes ("PutBack").
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace {

const char kControlKey[] = "Software\\ZarvoTest\\PasswordStandIn";
constexpr UINT kGetScreenSaverRunning = 114;  // SPI_GETSCREENSAVERRUNNING

DWORD ReadNumber(const char* name) {
    HKEY key = nullptr;
    DWORD value = 0, size = sizeof value;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kControlKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
    RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    return value;
}

void WriteNumber(const char* name, DWORD value) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kControlKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        return;
    }
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

// While "Hold" is nonzero (at most a minute): every message of the thread
// but the timer's is handled, so the saver paints but draws no frame and
// the screen keeps one frame for the test to look at. "Holding" is 1
// meanwhile; "HeldPaints" counts the paint messages handled.
void HoldWhileAsked() {
    if (!ReadNumber("Hold")) return;
    WriteNumber("Holding", 1);
    const DWORD start = GetTickCount();
    while (ReadNumber("Hold") && GetTickCount() - start < 60000) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, WM_TIMER - 1, PM_REMOVE) ||
               PeekMessageA(&message, nullptr, WM_TIMER + 1, 0xFFFFFFFF, PM_REMOVE)) {
            DispatchMessageA(&message);
            if (message.message == WM_PAINT) WriteNumber("HeldPaints", ReadNumber("HeldPaints") + 1);
        }
        Sleep(20);
    }
    WriteNumber("Holding", 0);
}

// "Scribble" nonzero: magenta over the rectangle ScribbleX, ScribbleY,
// ScribbleWidth, ScribbleHeight of the window, as a dialog that puts back the
// bits it saved leaves an older picture where the saver drew meanwhile;
// magenta shows every such pixel.
void Scribble(HWND window) {
    const int x = static_cast<int>(ReadNumber("ScribbleX")), y = static_cast<int>(ReadNumber("ScribbleY"));
    const RECT rect = {x, y, x + static_cast<int>(ReadNumber("ScribbleWidth")),
                       y + static_cast<int>(ReadNumber("ScribbleHeight"))};
    HDC dc = GetDC(window);
    HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
    FillRect(dc, &rect, magenta);
    GdiFlush();
    DeleteObject(magenta);
    ReleaseDC(window, dc);
}

void ScribbleIfAsked(HWND window) {
    if (ReadNumber("Scribble")) Scribble(window);
}

// "PutBack" nonzero: at its next timer message the saver's thread puts magenta
// over the Scribble rectangle, and clears "PutBack": the bits a CS_SAVEBITS
// window puts back as it goes without composition, which Wine never does.
HHOOK putBackHook = nullptr;

LRESULT CALLBACK PutBackWhenAsked(int code, WPARAM wParam, LPARAM lParam) {
    static DWORD lastLook = 0;
    const MSG* message = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && message->message == WM_TIMER && GetTickCount() - lastLook >= 100) {
        lastLook = GetTickCount();
        if (ReadNumber("PutBack")) {
            Scribble(message->hwnd);
            WriteNumber("PutBack", 0);
        }
    }
    return CallNextHookEx(putBackHook, code, wParam, lParam);
}

}  // namespace

// "Answer": what to return. "PostClose": nonzero posts a WM_CLOSE to the saver
// window just before answering, as a second close from the same key
// combination would arrive. "Calls", "Loads" count; "RunningAtVerify" holds
// the screen-saver-running state seen during the last call. "Hold" and
// "Scribble" are above.
extern "C" BOOL WINAPI VerifyScreenSavePwd(HWND window) {
    WriteNumber("Calls", ReadNumber("Calls") + 1);
    BOOL running = FALSE;
    SystemParametersInfoA(kGetScreenSaverRunning, 0, &running, 0);
    WriteNumber("RunningAtVerify", running ? 1 : 2);
    if (ReadNumber("PostClose")) PostMessageA(window, WM_CLOSE, 0, 0);
    HoldWhileAsked();
    ScribbleIfAsked(window);
    return ReadNumber("Answer") != 0;
}

// The saver's thread loads the library, and frees it after its window has gone.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        WriteNumber("Loads", ReadNumber("Loads") + 1);
        putBackHook = SetWindowsHookExA(WH_GETMESSAGE, PutBackWhenAsked, instance, GetCurrentThreadId());
    }
    if (reason == DLL_PROCESS_DETACH && putBackHook != nullptr) UnhookWindowsHookEx(putBackHook);
    return TRUE;
}
