// The desktop's screen-saver password: the verifier library loaded for a
// protected full-screen run, the screen-saver-running state, and the
// password-change dialog. Every library and export is looked up by name at
// run time and skipped when missing.
#include "host/host.h"

HMODULE passwordLibrary = nullptr;
VerifyScreenSavePwdProc verifyPassword = nullptr;

namespace {

constexpr UINT kScreenSaverRunningAction = 97;  // SPI_SCREENSAVERRUNNING

typedef DWORD(WINAPI* PwdChangePasswordProc)(LPCSTR provider, HWND parent, DWORD reserved1,
                                             LPVOID reserved2);

// "ScreenSaveUsePassword" as a 32-bit integer. A value shorter than 4 bytes
// counts its missing high bytes as zero; a longer one fails the query.
int DesktopAsksForPassword(HKEY desktop) {
    DWORD usePassword = 0;
    DWORD size = sizeof usePassword;
    LONG status = RegQueryValueExA(desktop, "ScreenSaveUsePassword", nullptr, nullptr,
                                   reinterpret_cast<BYTE*>(&usePassword), &size);
    return status == ERROR_SUCCESS && usePassword != 0;
}

}  // namespace

int SetScreenSaverRunning(int running) {
    UINT previous = 0;
    return SystemParametersInfoA(kScreenSaverRunningAction, running ? 1 : 0, &previous, 0);
}

void UnloadPasswordVerifier() {
    if (passwordLibrary == nullptr) return;
    FreeLibrary(passwordLibrary);
    passwordLibrary = nullptr;
    if (verifyPassword != nullptr) {
        verifyPassword = nullptr;
        SetScreenSaverRunning(0);
    }
}

void LoadPasswordVerifier() {
    if (passwordLibrary != nullptr) UnloadPasswordVerifier();
    HKEY desktop = nullptr;
    if (RegOpenKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &desktop) != ERROR_SUCCESS) return;
    if (DesktopAsksForPassword(desktop)) {
        passwordLibrary = LoadLibraryA("PASSWORD.CPL");
        if (passwordLibrary != nullptr) {
            verifyPassword = reinterpret_cast<VerifyScreenSavePwdProc>(
                reinterpret_cast<void*>(GetProcAddress(passwordLibrary, "VerifyScreenSavePwd")));
            if (verifyPassword != nullptr) {
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
    PwdChangePasswordProc change = reinterpret_cast<PwdChangePasswordProc>(
        reinterpret_cast<void*>(GetProcAddress(library, "PwdChangePasswordA")));
    if (change != nullptr) change("SCRSAVE", parent, 0, nullptr);
    FreeLibrary(library);
}
