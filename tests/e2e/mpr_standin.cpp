// A test-only stand-in for the desktop's MPR.DLL password change (never
// shipped): PwdChangePasswordA records its provider name and parent window in
// the registry for the end-to-end tests.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdint>

extern "C" DWORD WINAPI PwdChangePasswordA(LPCSTR provider, HWND parent, DWORD, LPVOID) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\ZarvoTest\\MprStandIn", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
        return 0;
    }
    const char* name = provider ? provider : "(null)";
    RegSetValueExA(key, "Provider", 0, REG_SZ, reinterpret_cast<const BYTE*>(name),
                   static_cast<DWORD>(lstrlenA(name) + 1));
    DWORD parentNumber = static_cast<DWORD>(reinterpret_cast<uintptr_t>(parent));
    RegSetValueExA(key, "Parent", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&parentNumber), sizeof parentNumber);
    RegCloseKey(key);
    return 0;
}
