// zarvo-e2e-driver: a Win32 console program, run under Wine, that the
// end-to-end scripts drive line by line on standard input. It starts
// Zarvo.scr with a command-line tail and collects exit codes, makes parent
// windows for previews (and makes them stop answering for a while), finds
// and inspects windows, counts processes, sends and posts messages, WM_HELP
// among them, reads and writes the registry, tells the display's scale, the
// monitors and a process's modules, resizes the display, tells which control
// has a window's keyboard focus, and covers the screen with a window of its
// own for a while. Every argument is
// percent-encoded ("%20" is a blank); "~" stands for the empty text. Every
// command answers one line: "= result" or "! reason".
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <tlhelp32.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

using Args = std::vector<std::string>;

std::map<std::string, PROCESS_INFORMATION> processes;
HWND controller = nullptr;  // a window of the UI thread that makes and destroys parents
DWORD uiThreadId = 0;
LONG contextMenus = 0;
LONG helps = 0;

constexpr UINT kMakeParent = WM_APP + 1;
constexpr UINT kDestroyParent = WM_APP + 2;
constexpr UINT kBringForward = WM_APP + 3;
constexpr UINT kMakeCover = WM_APP + 4;
constexpr UINT kHangParents = WM_APP + 5;

void Reply(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string Decode(const std::string& token) {
    if (token == "~") return std::string();
    std::string text;
    for (size_t i = 0; i < token.size(); ++i) {
        if (token[i] == '%' && i + 2 < token.size() && HexValue(token[i + 1]) >= 0 && HexValue(token[i + 2]) >= 0) {
            text += static_cast<char>(HexValue(token[i + 1]) * 16 + HexValue(token[i + 2]));
            i += 2;
        } else {
            text += token[i];
        }
    }
    return text;
}

std::string Encode(const std::string& text) {
    if (text.empty()) return "~";
    std::string token;
    for (unsigned char c : text) {
        if (c <= ' ' || c == '%' || c == '~' || c >= 0x7F) {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", c);
            token += hex;
        } else {
            token += static_cast<char>(c);
        }
    }
    return token;
}

Args Split(const char* line) {
    Args args;
    std::string current;
    for (const char* p = line; *p; ++p) {
        if (*p == ' ' || *p == '\n' || *p == '\r' || *p == '\t') {
            if (!current.empty()) args.push_back(Decode(current));
            current.clear();
        } else {
            current += *p;
        }
    }
    if (!current.empty()) args.push_back(Decode(current));
    return args;
}

long long Number(const std::string& text) { return std::strtoll(text.c_str(), nullptr, 0); }
HWND Window(const std::string& text) {
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(std::strtoull(text.c_str(), nullptr, 0)));
}
unsigned long long HandleNumber(HWND window) {
    return static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(window));
}

std::string WindowsPath(const std::string& path) {
    if (path.empty() || path[0] != '/') return path;
    std::string converted = "Z:";
    converted.append(path);
    for (char& c : converted) {
        if (c == '/') c = '\\';
    }
    return converted;
}

// --- the UI thread: parent windows for previews ---------------------------

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CONTEXTMENU) {
        InterlockedIncrement(&contextMenus);
        return 0;
    }
    if (message == WM_HELP) {
        InterlockedIncrement(&helps);
        return 1;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK ControllerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kMakeParent) {
        const RECT* place = reinterpret_cast<const RECT*>(lParam);
        HWND parent = CreateWindowExA(0, "ZarvoDriverParent", "Driver parent", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN,
                                      place->left, place->top, place->right, place->bottom, nullptr, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
        return reinterpret_cast<LRESULT>(parent);
    }
    if (message == kMakeCover) {
        // A quiet cover never takes activation, as a tooltip or a tray balloon.
        const RECT* place = reinterpret_cast<const RECT*>(lParam);
        const DWORD quiet = wParam ? WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW : 0;
        HWND cover = CreateWindowExA(WS_EX_TOPMOST | quiet, "ZarvoDriverCover", "Driver cover", WS_POPUP, place->left,
                                     place->top, place->right, place->bottom, nullptr, nullptr,
                                     GetModuleHandleA(nullptr), nullptr);
        if (cover != nullptr) {
            ShowWindow(cover, wParam ? SW_SHOWNOACTIVATE : SW_SHOW);
            UpdateWindow(cover);
        }
        return reinterpret_cast<LRESULT>(cover);
    }
    if (message == kDestroyParent) return DestroyWindow(reinterpret_cast<HWND>(wParam));
    if (message == kHangParents) {
        // Every parent window lives on this thread: none answers meanwhile.
        Sleep(static_cast<DWORD>(wParam));
        return 0;
    }
    if (message == kBringForward) return SetForegroundWindow(reinterpret_cast<HWND>(wParam));
    return DefWindowProcA(window, message, wParam, lParam);
}

DWORD WINAPI UiThread(LPVOID ready) {
    WNDCLASSA parentClass = {};
    parentClass.lpfnWndProc = ParentProc;
    parentClass.hInstance = GetModuleHandleA(nullptr);
    parentClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    parentClass.lpszClassName = "ZarvoDriverParent";
    RegisterClassA(&parentClass);
    // A window over the saver whose class asks the system to save the bits
    // under it and put them back when it goes, as the standard dialog's does.
    WNDCLASSA coverClass = {};
    coverClass.style = CS_SAVEBITS;
    coverClass.lpfnWndProc = DefWindowProcA;
    coverClass.hInstance = GetModuleHandleA(nullptr);
    coverClass.hbrBackground = CreateSolidBrush(RGB(255, 0, 255));
    coverClass.lpszClassName = "ZarvoDriverCover";
    RegisterClassA(&coverClass);
    WNDCLASSA controllerClass = {};
    controllerClass.lpfnWndProc = ControllerProc;
    controllerClass.hInstance = GetModuleHandleA(nullptr);
    controllerClass.lpszClassName = "ZarvoDriverController";
    RegisterClassA(&controllerClass);
    controller = CreateWindowExA(0, "ZarvoDriverController", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    SetEvent(static_cast<HANDLE>(ready));
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

// --- commands ----------------------------------------------------------------

// start ID EXE TAIL [FOLDER]: runs "EXE" TAIL (the tail after one blank, if
// any), in FOLDER if given, else in the driver's current folder.
void Start(const Args& a) {
    std::string commandLine(1, '"');
    commandLine.append(WindowsPath(a[2])).append(1, '"');
    if (!a[3].empty()) commandLine.append(" ").append(a[3]);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(0);
    const std::string folder = a.size() > 4 ? WindowsPath(a[4]) : std::string();
    if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
        Reply("! cannot start %s (error %lu)", commandLine.c_str(), GetLastError());
        return;
    }
    processes[a[1]] = process;
    Reply("= %lu", process.dwProcessId);
}

// wait-exit ID MS: the exit code as a signed number, or "! timeout".
void WaitExit(const Args& a) {
    auto found = processes.find(a[1]);
    if (found == processes.end()) return Reply("! no process %s", a[1].c_str());
    if (WaitForSingleObject(found->second.hProcess, static_cast<DWORD>(Number(a[2]))) != WAIT_OBJECT_0) {
        return Reply("! timeout");
    }
    DWORD code = 0;
    GetExitCodeProcess(found->second.hProcess, &code);
    Reply("= %ld", static_cast<long>(static_cast<int32_t>(code)));
}

void Kill(const Args& a) {
    auto found = processes.find(a[1]);
    if (found == processes.end()) return Reply("! no process %s", a[1].c_str());
    TerminateProcess(found->second.hProcess, 0xDEAD);
    WaitForSingleObject(found->second.hProcess, 5000);
    CloseHandle(found->second.hProcess);
    CloseHandle(found->second.hThread);
    processes.erase(found);
    Reply("= 1");
}

void KillAll() {
    for (auto& entry : processes) {
        TerminateProcess(entry.second.hProcess, 0xDEAD);
        WaitForSingleObject(entry.second.hProcess, 5000);
        CloseHandle(entry.second.hProcess);
        CloseHandle(entry.second.hThread);
    }
    processes.clear();
}

// processes EXE: how many running processes have that file name, in any case.
void CountProcesses(const Args& a) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return Reply("! no process snapshot");
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (lstrcmpiA(entry.szExeFile, a[1].c_str()) == 0) ++count;
    }
    CloseHandle(snapshot);
    Reply("= %d", count);
}

// settext HWND TEXT: WM_SETTEXT with the text (the platform carries it across).
void SetText(const Args& a) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(Window(a[1]), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(a[2].c_str()), SMTO_NORMAL, 10000,
                             &result)) {
        return Reply("! no answer");
    }
    Reply("= %lld", static_cast<long long>(static_cast<LONG_PTR>(result)));
}

void Alive(const Args& a) {
    auto found = processes.find(a[1]);
    if (found == processes.end()) return Reply("! no process %s", a[1].c_str());
    Reply("= %d", WaitForSingleObject(found->second.hProcess, 0) == WAIT_TIMEOUT ? 1 : 0);
}

// find CLASS TITLE MS [PARENT] [PID]: waits for the window; a parent looks
// among its children only, a process id only at that process's windows.
struct FindRequest {
    const char* className;
    const char* title;
    DWORD processId;
    HWND found;
};

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM data) {
    FindRequest* request = reinterpret_cast<FindRequest*>(data);
    char className[256] = "", title[256] = "";
    GetClassNameA(window, className, sizeof className);
    GetWindowTextA(window, title, sizeof title);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if ((request->className[0] == 0 || std::strcmp(className, request->className) == 0) &&
        std::strcmp(title, request->title) == 0 && owner == request->processId) {
        request->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindOnce(const Args& a) {
    const char* className = a[1].empty() ? nullptr : a[1].c_str();
    HWND parent = a.size() > 4 ? Window(a[4]) : nullptr;
    if (a.size() > 5 && Number(a[5]) != 0) {
        FindRequest request = {a[1].c_str(), a[2].c_str(), static_cast<DWORD>(Number(a[5])), nullptr};
        EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&request));
        return request.found;
    }
    if (parent != nullptr) return FindWindowExA(parent, nullptr, className, a[2].c_str());
    return FindWindowA(className, a[2].c_str());
}

void Find(const Args& a) {
    DWORD deadline = GetTickCount() + static_cast<DWORD>(Number(a[3]));
    for (;;) {
        HWND window = FindOnce(a);
        if (window != nullptr) return Reply("= %llu", HandleNumber(window));
        if (static_cast<LONG>(GetTickCount() - deadline) >= 0) return Reply("! not found");
        Sleep(50);
    }
}

// info HWND: class style exstyle x y width height parent owner pid visible title
void Info(const Args& a) {
    HWND window = Window(a[1]);
    if (!IsWindow(window)) return Reply("! not a window");
    char className[256] = "", title[512] = "";
    GetClassNameA(window, className, sizeof className);
    GetWindowTextA(window, title, sizeof title);
    RECT rect = {};
    GetWindowRect(window, &rect);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    Reply("= %s %#lx %#lx %ld %ld %ld %ld %llu %llu %lu %d %s", Encode(className).c_str(),
          static_cast<unsigned long>(GetWindowLongA(window, GWL_STYLE)),
          static_cast<unsigned long>(GetWindowLongA(window, GWL_EXSTYLE)), rect.left, rect.top, rect.right - rect.left,
          rect.bottom - rect.top, HandleNumber(GetParent(window)), HandleNumber(GetWindow(window, GW_OWNER)), pid,
          IsWindowVisible(window) ? 1 : 0, Encode(title).c_str());
}

void WaitGone(const Args& a) {
    HWND window = Window(a[1]);
    DWORD deadline = GetTickCount() + static_cast<DWORD>(Number(a[2]));
    while (IsWindow(window)) {
        if (static_cast<LONG>(GetTickCount() - deadline) >= 0) return Reply("! still there");
        Sleep(50);
    }
    Reply("= 1");
}

// texts HWND: the text of every child window, in order.
BOOL CALLBACK CollectText(HWND window, LPARAM data) {
    std::string* texts = reinterpret_cast<std::string*>(data);
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    texts->append(" ").append(Encode(text));
    return TRUE;
}

void Texts(const Args& a) {
    std::string texts;
    EnumChildWindows(Window(a[1]), CollectText, reinterpret_cast<LPARAM>(&texts));
    Reply("=%s", texts.c_str());
}

// help WINDOW MS: sends WM_HELP for the window as F1 would, waiting at
// most MS; "= milliseconds it took", or "! no answer after MS".
void Help(const Args& a) {
    HWND window = Window(a[1]);
    const DWORD most = static_cast<DWORD>(Number(a[2]));
    HELPINFO info = {};
    info.cbSize = sizeof info;
    info.iContextType = HELPINFO_WINDOW;
    info.hItemHandle = window;
    GetCursorPos(&info.MousePos);
    const DWORD started = GetTickCount();
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, WM_HELP, 0, reinterpret_cast<LPARAM>(&info), SMTO_NORMAL, most, &result)) {
        return Reply("! no answer after %lu", static_cast<unsigned long>(most));
    }
    Reply("= %lu", static_cast<unsigned long>(GetTickCount() - started));
}

void Send(const Args& a, bool post) {
    HWND window = Window(a[1]);
    UINT message = static_cast<UINT>(Number(a[2]));
    WPARAM wParam = static_cast<WPARAM>(std::strtoull(a[3].c_str(), nullptr, 0));
    LPARAM lParam = static_cast<LPARAM>(std::strtoll(a[4].c_str(), nullptr, 0));
    if (post) return Reply("= %d", PostMessageA(window, message, wParam, lParam) ? 1 : 0);
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, 10000, &result)) {
        return Reply("! no answer");
    }
    Reply("= %lld", static_cast<long long>(static_cast<LONG_PTR>(result)));
}

// scroll DIALOG ID: min max position of a scroll-bar control.
void Scroll(const Args& a) {
    HWND bar = GetDlgItem(Window(a[1]), static_cast<int>(Number(a[2])));
    if (bar == nullptr) return Reply("! no control");
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_POS;
    if (!GetScrollInfo(bar, SB_CTL, &info)) return Reply("! no scroll info");
    Reply("= %d %d %d %llu", info.nMin, info.nMax, info.nPos, HandleNumber(bar));
}

// item DIALOG ID: the handle of a dialog's control.
void Item(const Args& a) {
    HWND control = GetDlgItem(Window(a[1]), static_cast<int>(Number(a[2])));
    if (control == nullptr) return Reply("! no control");
    Reply("= %llu", HandleNumber(control));
}

// list DIALOG ID: a drop-down list's selection and items, "SELECTED ITEM...".
void List(const Args& a) {
    HWND list = GetDlgItem(Window(a[1]), static_cast<int>(Number(a[2])));
    if (list == nullptr) return Reply("! no control");
    std::string items = std::to_string(SendMessageA(list, CB_GETCURSEL, 0, 0));
    const LRESULT count = SendMessageA(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        // Wide: Wine hands the ANSI form across processes as UTF-16.
        wchar_t wide[256] = L"";
        char text[256] = "";
        if (SendMessageW(list, CB_GETLBTEXTLEN, i, 0) < LRESULT(sizeof wide / sizeof wide[0])) {
            SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(wide));
            WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
        }
        items.append(" ").append(Encode(text));
    }
    Reply("= %s", items.c_str());
}

void Parent(const Args& a) {
    RECT place = {static_cast<LONG>(Number(a[1])), static_cast<LONG>(Number(a[2])), static_cast<LONG>(Number(a[3])),
                  static_cast<LONG>(Number(a[4]))};
    HWND parent = reinterpret_cast<HWND>(SendMessageA(controller, kMakeParent, 0, reinterpret_cast<LPARAM>(&place)));
    if (parent == nullptr) return Reply("! no parent");
    Reply("= %llu", HandleNumber(parent));
}

// cover X Y WIDTH HEIGHT [quiet]: a magenta CS_SAVEBITS window over that part
// of the screen, on top of every other, "quiet" without ever taking
// activation; "destroy" takes it away.
void Cover(const Args& a) {
    RECT place = {static_cast<LONG>(Number(a[1])), static_cast<LONG>(Number(a[2])), static_cast<LONG>(Number(a[3])),
                  static_cast<LONG>(Number(a[4]))};
    const WPARAM quiet = a.size() > 5 && a[5] == "quiet";
    HWND cover = reinterpret_cast<HWND>(SendMessageA(controller, kMakeCover, quiet, reinterpret_cast<LPARAM>(&place)));
    if (cover == nullptr) return Reply("! no cover");
    Reply("= %llu", HandleNumber(cover));
}

HKEY OpenUserKey(const std::string& path, bool create) {
    HKEY key = nullptr;
    LONG status =
        create ? RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr)
               : RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, &key);
    return status == ERROR_SUCCESS ? key : nullptr;
}

// reg-get KEY VALUE: "= type hexbytes", or "! absent".
void RegGet(const Args& a) {
    HKEY key = OpenUserKey(a[1], false);
    if (key == nullptr) return Reply("! absent");
    BYTE data[4096];
    DWORD size = sizeof data, type = 0;
    LONG status = RegQueryValueExA(key, a[2].c_str(), nullptr, &type, data, &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) return Reply("! absent");
    std::string hex;
    for (DWORD i = 0; i < size; ++i) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02x", data[i]);
        hex += pair;
    }
    Reply("= %lu %s", type, hex.empty() ? "~" : hex.c_str());
}

// reg-set KEY VALUE TYPE HEXBYTES
void RegSet(const Args& a) {
    HKEY key = OpenUserKey(a[1], true);
    if (key == nullptr) return Reply("! cannot create key");
    std::vector<BYTE> data;
    for (size_t i = 0; i + 1 < a[4].size(); i += 2) {
        data.push_back(static_cast<BYTE>(HexValue(a[4][i]) * 16 + HexValue(a[4][i + 1])));
    }
    LONG status = RegSetValueExA(key, a[2].c_str(), 0, static_cast<DWORD>(Number(a[3])), data.data(),
                                 static_cast<DWORD>(data.size()));
    RegCloseKey(key);
    Reply(status == ERROR_SUCCESS ? "= 1" : "! cannot set");
}

// reg-del KEY VALUE: removes the value ("~" for the whole key).
void RegDel(const Args& a) {
    if (a[2].empty()) {
        RegDeleteKeyA(HKEY_CURRENT_USER, a[1].c_str());
        return Reply("= 1");
    }
    HKEY key = OpenUserKey(a[1], false);
    if (key != nullptr) {
        RegDeleteValueA(key, a[2].c_str());
        RegCloseKey(key);
    }
    Reply("= 1");
}

// focus WINDOW: the window that has the keyboard focus in WINDOW's thread.
void Focus(const Args& a) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(Window(a[1]), nullptr), &info)) return Reply("! no thread info");
    Reply("= %llu", HandleNumber(info.hwndFocus));
}

// resize WIDTH HEIGHT: the display's new size, as its settings change it;
// the platform's answer, 0 (DISP_CHANGE_SUCCESSFUL) once changed.
void ResizeDisplay(const Args& a) {
    DEVMODEA mode = {};
    mode.dmSize = sizeof mode;
    mode.dmPelsWidth = static_cast<DWORD>(Number(a[1]));
    mode.dmPelsHeight = static_cast<DWORD>(Number(a[2]));
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    Reply("= %ld", ChangeDisplaySettingsExA(nullptr, &mode, nullptr, 0, nullptr));
}

// dpi: the system's pixels per logical inch (96 at 100 %).
void Dpi() {
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    Reply("= %d", dpi);
}

// monitors: the virtual screen "x y width height", then every monitor as
// "left,top,right,bottom" with ",primary" after the primary one's.
BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(monitor, &info)) return TRUE;
    char text[96];
    std::snprintf(text, sizeof text, " %ld,%ld,%ld,%ld%s", info.rcMonitor.left, info.rcMonitor.top,
                  info.rcMonitor.right, info.rcMonitor.bottom, (info.dwFlags & MONITORINFOF_PRIMARY) ? ",primary" : "");
    reinterpret_cast<std::string*>(data)->append(text);
    return TRUE;
}

void Monitors() {
    std::string monitors;
    EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&monitors));
    Reply("= %d %d %d %d%s", GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
          GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN), monitors.c_str());
}

// module PID NAME: the path that process PID loaded the module NAME from.
void Module(const Args& a) {
    HANDLE snapshot =
        CreateToolhelp32Snapshot(TH32CS_SNAPMODULE | TH32CS_SNAPMODULE32, static_cast<DWORD>(Number(a[1])));
    if (snapshot == INVALID_HANDLE_VALUE) return Reply("! no module snapshot");
    MODULEENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    std::string path;
    for (BOOL more = Module32First(snapshot, &entry); more; more = Module32Next(snapshot, &entry)) {
        if (lstrcmpiA(entry.szModule, a[2].c_str()) == 0) path = entry.szExePath;
    }
    CloseHandle(snapshot);
    if (path.empty()) return Reply("! not loaded");
    Reply("= %s", Encode(path).c_str());
}

// Rectangles are then read in real pixels whatever the display's scale.
void BecomeDpiAware() {
    typedef BOOL(WINAPI * SetContextProc)(HANDLE context);
    typedef BOOL(WINAPI * SetAwareProc)();
    HMODULE user = GetModuleHandleA("user32.dll");
    SetContextProc setContext = reinterpret_cast<SetContextProc>(
        reinterpret_cast<void*>(GetProcAddress(user, "SetProcessDpiAwarenessContext")));
    // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2 is the handle value -4.
    if (setContext != nullptr && setContext(reinterpret_cast<HANDLE>(static_cast<intptr_t>(-4)))) return;
    SetAwareProc setAware =
        reinterpret_cast<SetAwareProc>(reinterpret_cast<void*>(GetProcAddress(user, "SetProcessDPIAware")));
    if (setAware != nullptr) setAware();
}

void Execute(const Args& a) {
    const std::string& c = a[0];
    struct Arity {
        const char* name;
        size_t count;
    } arities[] = {
        {"start", 4},        {"wait-exit", 3}, {"kill", 2},       {"alive", 2},   {"find", 4},
        {"info", 2},         {"wait-gone", 3}, {"texts", 2},      {"send", 5},    {"post", 5},
        {"scroll", 3},       {"parent", 5},    {"destroy", 2},    {"forward", 2}, {"foreground", 1},
        {"parent-stats", 1}, {"reg-get", 3},   {"reg-set", 5},    {"reg-del", 3}, {"cursor", 1},
        {"settext", 3},      {"kill-all", 1},  {"processes", 2},  {"module", 3},  {"item", 3},
        {"list", 3},         {"cover", 5},     {"invalidate", 2}, {"help", 3},    {"hang-parents", 2},
        {"focus", 2},        {"resize", 3},
    };
    for (const Arity& arity : arities) {
        if (c == arity.name && a.size() < arity.count) return Reply("! %s wants more", arity.name);
    }
    if (c == "start") return Start(a);
    if (c == "wait-exit") return WaitExit(a);
    if (c == "kill") return Kill(a);
    if (c == "alive") return Alive(a);
    if (c == "processes") return CountProcesses(a);
    if (c == "settext") return SetText(a);
    if (c == "kill-all") return KillAll(), Reply("= 1");
    if (c == "find") return Find(a);
    if (c == "info") return Info(a);
    if (c == "wait-gone") return WaitGone(a);
    if (c == "texts") return Texts(a);
    if (c == "send") return Send(a, false);
    if (c == "post") return Send(a, true);
    if (c == "scroll") return Scroll(a);
    if (c == "item") return Item(a);
    if (c == "list") return List(a);
    if (c == "parent") return Parent(a);
    if (c == "cover") return Cover(a);
    if (c == "focus") return Focus(a);
    if (c == "resize") return ResizeDisplay(a);
    // invalidate HWND: the whole client area of any process's window, to be painted.
    if (c == "invalidate") return Reply("= %d", InvalidateRect(Window(a[1]), nullptr, FALSE) ? 1 : 0);
    if (c == "destroy") {
        return Reply("= %d",
                     SendMessageA(controller, kDestroyParent, reinterpret_cast<WPARAM>(Window(a[1])), 0) ? 1 : 0);
    }
    if (c == "forward") {
        return Reply("= %d",
                     SendMessageA(controller, kBringForward, reinterpret_cast<WPARAM>(Window(a[1])), 0) ? 1 : 0);
    }
    if (c == "foreground") return Reply("= %llu", HandleNumber(GetForegroundWindow()));
    if (c == "parent-stats") return Reply("= %ld %ld", contextMenus, helps);
    if (c == "help") return Help(a);
    if (c == "hang-parents") {
        return Reply("= %d", PostMessageA(controller, kHangParents, static_cast<WPARAM>(Number(a[1])), 0) ? 1 : 0);
    }
    if (c == "cursor") {
        POINT p = {};
        GetCursorPos(&p);
        return Reply("= %ld %ld", p.x, p.y);
    }
    if (c == "reg-get") return RegGet(a);
    if (c == "reg-set") return RegSet(a);
    if (c == "reg-del") return RegDel(a);
    if (c == "dpi") return Dpi();
    if (c == "monitors") return Monitors();
    if (c == "module") return Module(a);
    Reply("! unknown command %s", c.c_str());
}

}  // namespace

int main() {
    BecomeDpiAware();
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    CreateThread(nullptr, 0, UiThread, ready, 0, &uiThreadId);
    WaitForSingleObject(ready, 10000);
    Reply("= ready");
    char line[8192];
    while (std::fgets(line, sizeof line, stdin) != nullptr) {
        Args args = Split(line);
        if (args.empty()) continue;
        if (args[0] == "quit") break;
        Execute(args);
    }
    KillAll();  // whatever a failed script left running
    PostThreadMessageA(uiThreadId, WM_QUIT, 0, 0);
    Reply("= bye");
    return 0;
}
