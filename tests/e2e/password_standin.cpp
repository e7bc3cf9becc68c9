// A test-only stand-in for the desktop's PASSWORD.CPL (never shipped): its
// VerifyScreenSavePwd answers what the test put in the registry and records
// each load and call there, so the end-to-end tests can steer and watch it.
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
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kControlKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return;
    }
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

}  // namespace

// "Answer": what to return. "PostClose": nonzero posts a WM_CLOSE to the saver
// window just before answering, as a second close from the same key
// combination would arrive. "Calls", "Loads" count; "RunningAtVerify" holds
// the screen-saver-running state seen during the last call.
extern "C" BOOL WINAPI VerifyScreenSavePwd(HWND window) {
    WriteNumber("Calls", ReadNumber("Calls") + 1);
    BOOL running = FALSE;
    SystemParametersInfoA(kGetScreenSaverRunning, 0, &running, 0);
    WriteNumber("RunningAtVerify", running ? 1 : 2);
    if (ReadNumber("PostClose")) PostMessageA(window, WM_CLOSE, 0, 0);
    return ReadNumber("Answer") != 0;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) WriteNumber("Loads", ReadNumber("Loads") + 1);
    return TRUE;
}
