// The desktop's screen-saver password: the verifier library loaded for a
// protected full-screen run, the screen-saver-running state, and the
// password-change dialog. Every library and export is looked up by name at
// run time and skipped when missing; libraries only in the program's own
// folder and the system folder.
#include "windows/windows_host.h"

#include <cstring>

namespace {

constexpr UINT kScreenSaverRunningAction = 97;  // SPI_SCREENSAVERRUNNING

typedef DWORD(WINAPI* PwdChangePasswordProc)(LPCSTR provider, HWND parent, DWORD reserved1, LPVOID reserved2);
typedef BOOL(WINAPI* SetDefaultDllDirectoriesProc)(DWORD directories);

// LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32, which
// headers for older systems lack.
constexpr DWORD kProgramAndSystemFolders = 0x200 | 0x800;
int librarySearchRestricted = 0;

// `name` in `folder` (its length given, no slash at its end) by its full path;
// the library's own imports are then looked for beside it first.
HMODULE LoadFromFolder(const char* folder, size_t folderLength, const char* name) {
    char path[MAX_PATH];
    const size_t nameLength = strlen(name);
    if (folderLength == 0 || folderLength + 1 + nameLength >= sizeof path) return nullptr;
    memcpy(path, folder, folderLength);
    path[folderLength] = '\\';
    memcpy(path + folderLength + 1, name, nameLength + 1);
    return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

// A bare name would be looked for in the current folder and on PATH too,
// where anyone may leave a PASSWORD.CPL that grants every close. Without the
// restriction (systems before Windows 7 with KB2533623 know neither it nor
// the search flags) the program's folder, then the system folder, by path.
HMODULE LoadTrustedLibrary(const char* name) {
    if (librarySearchRestricted) return LoadLibraryExA(name, nullptr, kProgramAndSystemFolders);
    char folder[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, folder, sizeof folder);
    const char* slash = length > 0 && length < sizeof folder ? strrchr(folder, '\\') : nullptr;
    HMODULE library = slash != nullptr ? LoadFromFolder(folder, static_cast<size_t>(slash - folder), name) : nullptr;
    if (library != nullptr) return library;
    length = GetSystemDirectoryA(folder, sizeof folder);
    return length > 0 && length < sizeof folder ? LoadFromFolder(folder, length, name) : nullptr;
}

int IsBlank(char c) { return c == ' ' || c == '\t'; }

// Whether the text is empty or spells the number 0: zeros, blanks around them.
int ReadsAsNoPassword(const char* text) {
    if (*text == 0) return 1;
    while (IsBlank(*text)) ++text;
    const char* zeros = text;
    while (*text == '0') ++text;
    if (text == zeros) return 0;
    while (IsBlank(*text)) ++text;
    return *text == 0;
}

}  // namespace

// "ScreenSaveUsePassword": a string is no password only when it is empty or
// spells 0, and anything else in it asks for one, the safe side for a lock;
// any other type counts as a 32-bit integer. A value shorter than 4 bytes
// counts its missing high bytes as zero; a longer one asks for nothing,
// but a string too long to read asks for the password.
int DesktopAsksForPassword(HKEY desktop) {
    char value[32] = {};  // zeros: the high bytes of a short value, the end of a string
    DWORD type = REG_NONE;
    DWORD size = sizeof value - 1;
    LONG status =
        RegQueryValueExA(desktop, "ScreenSaveUsePassword", nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    const int isString = type == REG_SZ || type == REG_EXPAND_SZ;
    if (status == ERROR_MORE_DATA && isString) return 1;
    if (status != ERROR_SUCCESS) return 0;
    if (isString) return !ReadsAsNoPassword(value);
    DWORD usePassword = 0;
    if (size > sizeof usePassword) return 0;
    memcpy(&usePassword, value, sizeof usePassword);
    return usePassword != 0;
}

void RestrictLibrarySearch() {
    SetDefaultDllDirectoriesProc setDirectories = reinterpret_cast<SetDefaultDllDirectoriesProc>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("KERNEL32.DLL"), "SetDefaultDllDirectories")));
    librarySearchRestricted = setDirectories != nullptr && setDirectories(kProgramAndSystemFolders) ? 1 : 0;
}

int SetScreenSaverRunning(int running) {
    UINT previous = 0;
    return SystemParametersInfoA(kScreenSaverRunningAction, running ? 1 : 0, &previous, 0);
}

void UnloadPasswordVerifier() {
    if (windowsHost.passwordLibrary == nullptr) return;
    FreeLibrary(windowsHost.passwordLibrary);
    windowsHost.passwordLibrary = nullptr;
    if (windowsHost.verifyPassword != nullptr) {
        windowsHost.verifyPassword = nullptr;
        SetScreenSaverRunning(0);
    }
}

void LoadPasswordVerifier() {
    if (windowsHost.passwordLibrary != nullptr) UnloadPasswordVerifier();
    HKEY desktop = nullptr;
    if (RegOpenKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &desktop) != ERROR_SUCCESS) return;
    if (DesktopAsksForPassword(desktop)) {
        windowsHost.passwordLibrary = LoadTrustedLibrary("PASSWORD.CPL");
        if (windowsHost.passwordLibrary != nullptr) {
            windowsHost.verifyPassword = reinterpret_cast<VerifyScreenSavePwdProc>(
                reinterpret_cast<void*>(GetProcAddress(windowsHost.passwordLibrary, "VerifyScreenSavePwd")));
            if (windowsHost.verifyPassword != nullptr) {
                SetScreenSaverRunning(1);
            } else {
                UnloadPasswordVerifier();
            }
        }
    }
    RegCloseKey(desktop);
}

void ChangeScreenSaverPassword(HWND parent) {
    HMODULE library = LoadTrustedLibrary("MPR.DLL");
    if (library == nullptr) return;
    PwdChangePasswordProc change =
        reinterpret_cast<PwdChangePasswordProc>(reinterpret_cast<void*>(GetProcAddress(library, "PwdChangePasswordA")));
    if (change != nullptr) change("SCRSAVE", parent, 0, nullptr);
    FreeLibrary(library);
}
