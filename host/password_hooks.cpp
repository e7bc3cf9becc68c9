// The desktop's screen-saver password: the verifier library loaded for a
// protected full-screen run, the screen-saver-running state, and the
// password-change dialog. Every library and export is looked up by name at
// run time and skipped when missing.
#include "host/host.h"

#include <cstring>

namespace {

constexpr UINT kScreenSaverRunningAction = 97;  // SPI_SCREENSAVERRUNNING

typedef DWORD(WINAPI* PwdChangePasswordProc)(LPCSTR provider, HWND parent, DWORD reserved1, LPVOID reserved2);

// Whether the leading decimal digits spell a number other than 0: any digit
// but '0' does, so no run of digits can wrap to 0.
int SpellsNonzeroNumber(const char* text) {
    for (; *text >= '0' && *text <= '9'; ++text) {
        if (*text != '0') return 1;
    }
    return 0;
}

}  // namespace

// "ScreenSaveUsePassword": a string by the number its leading decimal digits
// spell ("0" is no password), any other type as a 32-bit integer.
// A value shorter than 4 bytes counts its missing high bytes as zero; a
// longer one, or a string that does not fit, asks for nothing.
int DesktopAsksForPassword(HKEY desktop) {
    char value[32] = {};  // zeros: the high bytes of a short value, the end of a string
    DWORD type = REG_NONE;
    DWORD size = sizeof value - 1;
    LONG status =
        RegQueryValueExA(desktop, "ScreenSaveUsePassword", nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    if (status != ERROR_SUCCESS) return 0;
    if (type == REG_SZ || type == REG_EXPAND_SZ) return SpellsNonzeroNumber(value);
    DWORD usePassword = 0;
    if (size > sizeof usePassword) return 0;
    memcpy(&usePassword, value, sizeof usePassword);
    return usePassword != 0;
}

int SetScreenSaverRunning(int running) {
    UINT previous = 0;
    return SystemParametersInfoA(kScreenSaverRunningAction, running ? 1 : 0, &previous, 0);
}

void UnloadPasswordVerifier() {
    if (saverHost.passwordLibrary == nullptr) return;
    FreeLibrary(saverHost.passwordLibrary);
    saverHost.passwordLibrary = nullptr;
    if (saverHost.verifyPassword != nullptr) {
        saverHost.verifyPassword = nullptr;
        SetScreenSaverRunning(0);
    }
}

void LoadPasswordVerifier() {
    if (saverHost.passwordLibrary != nullptr) UnloadPasswordVerifier();
    HKEY desktop = nullptr;
    if (RegOpenKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &desktop) != ERROR_SUCCESS) return;
    if (DesktopAsksForPassword(desktop)) {
        saverHost.passwordLibrary = LoadLibraryA("PASSWORD.CPL");
        if (saverHost.passwordLibrary != nullptr) {
            saverHost.verifyPassword = reinterpret_cast<VerifyScreenSavePwdProc>(
                reinterpret_cast<void*>(GetProcAddress(saverHost.passwordLibrary, "VerifyScreenSavePwd")));
            if (saverHost.verifyPassword != nullptr) {
                SetScreenSaverRunning(1);
            } else {
                UnloadPasswordVerifier();
            }
        }
    }
    RegCloseKey(desktop);
}

void ChangeScreenSaverPassword(HWND parent) {
    HMODULE library = LoadLibraryA("MPR.DLL");
    if (library == nullptr) return;
    PwdChangePasswordProc change =
        reinterpret_cast<PwdChangePasswordProc>(reinterpret_cast<void*>(GetProcAddress(library, "PwdChangePasswordA")));
    if (change != nullptr) change("SCRSAVE", parent, 0, nullptr);
    FreeLibrary(library);
}
