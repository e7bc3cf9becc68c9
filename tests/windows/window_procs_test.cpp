// The saver window's host procedures on a real window: titles, system
// commands, close requests from input, ConfirmClose with a verifier of the
// test's own, and the preview's differences. Needs a display (see
// run-with-xvfb.sh).
#include <gtest/gtest.h>

#include <vector>

#include "windows/windows_host.h"
#include "platform/services.h"

namespace {

int verifierCalls = 0;
BOOL verifierAnswer = FALSE;
int checkingSeenByVerifier = 0;
int nestedConfirmResult = -1;

BOOL WINAPI FakeVerifier(HWND window) {
    ++verifierCalls;
    checkingSeenByVerifier = windowsHost.isCheckingPassword;
    nestedConfirmResult = ConfirmClose(window);  // a close arriving while the dialog is up
    return verifierAnswer;
}

class SaverWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        windowsHost.isPreview = windowsHost.isClosing = windowsHost.isCheckingPassword = windowsHost.isShowingMessage =
            0;
        windowsHost.lastPasswordCheckTick = kNoPasswordCheckYet;
        windowsHost.verifyPassword = nullptr;
        verifierCalls = 0;
        verifierAnswer = FALSE;
        nestedConfirmResult = -1;
        static ATOM registered = 0;
        if (!registered) {
            WNDCLASSA saverClass = {};
            saverClass.style = CS_OWNDC | CS_DBLCLKS;
            saverClass.lpfnWndProc = ScreenSaverClassProc;
            saverClass.hInstance = GetModuleHandleA(nullptr);
            saverClass.lpszClassName = "ZarvoTestSaverClass";
            registered = RegisterClassA(&saverClass);
        }
        ASSERT_NE(registered, 0);
    }

    void TearDown() override {
        if (window != nullptr && IsWindow(window)) {
            windowsHost.isClosing = 1;  // lets DestroyWindow through without asking anyone
            DestroyWindow(window);
        }
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {}
        windowsHost.verifyPassword = nullptr;
    }

    // An invisible window, so that no paint reaches the scene.
    void Create(HWND parent = nullptr) {
        window =
            CreateWindowExA(0, "ZarvoTestSaverClass", parent ? "Preview" : "Screen Saver", parent ? WS_CHILD : WS_POPUP,
                            0, 0, 64, 48, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window, nullptr);
    }

    int PendingMessages(UINT message) {
        int count = 0;
        MSG pending;
        while (PeekMessageA(&pending, window, message, message, PM_REMOVE)) ++count;
        return count;
    }

    HWND window = nullptr;
};

TEST_F(SaverWindow, TitleNeverChanges) {
    Create();
    EXPECT_EQ(SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Other")), 0);
    char title[64] = "";
    GetWindowTextA(window, title, sizeof title);
    EXPECT_STREQ(title, "Screen Saver");
}

// The default procedure reports every system command it is handed to the
// CBT hook first; this one records them and stops them there.
std::vector<WPARAM> commandsReachingTheDefault;

LRESULT CALLBACK RecordSystemCommand(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_SYSCOMMAND) {
        commandsReachingTheDefault.push_back(wParam);
        return 1;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(SaverWindow, FullScreenSwallowsScreenSaveAndWindowSwitchingWhateverTheLowFourBits) {
    Create();
    HHOOK hook = SetWindowsHookExA(WH_CBT, RecordSystemCommand, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    commandsReachingTheDefault.clear();
    for (WPARAM command : {SC_SCREENSAVE, SC_NEXTWINDOW, SC_PREVWINDOW}) {
        for (WPARAM low : {0x0, 0x1, 0xF}) {
            EXPECT_EQ(SendMessageA(window, WM_SYSCOMMAND, command | low, 0), 0);
        }
    }
    SendMessageA(window, WM_SYSCOMMAND, SC_MINIMIZE | 0x2, 0);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(commandsReachingTheDefault, std::vector<WPARAM>{SC_MINIMIZE | 0x2});
}

TEST_F(SaverWindow, KeysAndButtonsPostACloseRequest) {
    Create();
    for (UINT message : {WM_KEYDOWN, WM_SYSKEYDOWN, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN}) {
        SendMessageA(window, message, 0, 0);
        EXPECT_EQ(PendingMessages(WM_CLOSE), 1) << "message " << message;
    }
    for (UINT message : {WM_KEYUP, WM_SYSKEYUP, WM_CHAR, WM_LBUTTONDBLCLK, WM_MOUSEWHEEL}) {
        SendMessageA(window, message, 0, 0);
        EXPECT_EQ(PendingMessages(WM_CLOSE), 0) << "message " << message;
    }
}

TEST_F(SaverWindow, MouseMovesCloseOnlyBeyondTheThresholdAndMoveTheAnchor) {
    Create();
    POINT cursor;
    ASSERT_TRUE(GetCursorPos(&cursor));
    windowsHost.anchor = {{cursor.x - 2, cursor.y + 2}, 1};
    SendMessageA(window, WM_MOUSEMOVE, 0, 0);
    EXPECT_EQ(PendingMessages(WM_CLOSE), 0) << "4 pixels away";
    windowsHost.anchor = {{cursor.x + 3, cursor.y - 2}, 1};
    SendMessageA(window, WM_MOUSEMOVE, 0, 0);
    EXPECT_EQ(PendingMessages(WM_CLOSE), 1) << "5 pixels away";
    EXPECT_EQ(windowsHost.anchor.point.x, cursor.x);
    EXPECT_EQ(windowsHost.anchor.point.y, cursor.y);
}

TEST_F(SaverWindow, WithoutVerifierACloseIsGrantedAtOnce) {
    Create();
    EXPECT_EQ(SendMessageA(window, VerifyPasswordMessage, 0, 0), 1);
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(windowsHost.isClosing, 1);
    EXPECT_FALSE(IsWindow(window)) << "a granted close destroys the window";
    MSG quit;
    EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "no WM_QUIT";
}

TEST_F(SaverWindow, ARefusedVerificationKeepsTheWindowAndQuietensCloseRequests) {
    Create();
    windowsHost.verifyPassword = FakeVerifier;
    for (int i = 0; i < 3; ++i) PostMessageA(window, WM_TIMER, 1, 0);
    EXPECT_EQ(ConfirmClose(window), 0);
    EXPECT_EQ(verifierCalls, 1);
    EXPECT_EQ(checkingSeenByVerifier, 1);
    EXPECT_EQ(nestedConfirmResult, 0) << "a close during the verification is refused at once";
    EXPECT_EQ(windowsHost.isCheckingPassword, 0);
    EXPECT_EQ(windowsHost.isClosing, 0);
    EXPECT_NE(windowsHost.lastPasswordCheckTick, kNoPasswordCheckYet);
    EXPECT_EQ(PendingMessages(WM_TIMER), 1) << "two of three pending timer messages are removed";

    EXPECT_EQ(ConfirmClose(window), 0);
    EXPECT_EQ(verifierCalls, 1) << "a close within 200 ms is not verified";
    Sleep(kPasswordQuietMilliseconds + 50);
    verifierAnswer = TRUE;
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(verifierCalls, 2);
    EXPECT_EQ(windowsHost.isClosing, 1);
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(SaverWindow, OnceClosingInputNoLongerAsksToClose) {
    Create();
    windowsHost.isClosing = 1;
    SendMessageA(window, WM_KEYDOWN, 0, 0);
    SendMessageA(window, WM_LBUTTONDOWN, 0, 0);
    EXPECT_EQ(PendingMessages(WM_CLOSE), 0);
}

TEST_F(SaverWindow, PaletteMessagesBeforeSetUpAreAnsweredWithoutAPalette) {
    Create();
    EXPECT_EQ(SendMessageA(window, WM_QUERYNEWPALETTE, 0, 0), 1);
    EXPECT_EQ(SendMessageA(window, WM_PALETTECHANGED, reinterpret_cast<WPARAM>(GetDesktopWindow()), 0), 1)
        << "another window's change is answered by the scene";
    EXPECT_EQ(SendMessageA(window, WM_PALETTECHANGED, reinterpret_cast<WPARAM>(window), 0), 0)
        << "its own change goes to the default procedure";
}

TEST_F(SaverWindow, CursorIsHiddenWhileTheSaverRunsAndShownWhileTheMessageIsUp) {
    Create();
    EXPECT_EQ(SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), HTCLIENT), 1);
    EXPECT_EQ(GetCursor(), nullptr);
    windowsHost.isShowingMessage = 1;  // the person needs the pointer to reach the box
    EXPECT_EQ(SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), HTCLIENT), 1);
    EXPECT_NE(GetCursor(), nullptr);
}

// Magenta over `r` of the window, as a window's saved bits put back over
// the saver would leave an older picture there.
void Scribble(HWND window, const RECT& r) {
    HDC dc = GetDC(window);
    HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
    FillRect(dc, &r, magenta);
    DeleteObject(magenta);
    ReleaseDC(window, dc);
}

// How many pixels of `r` of the window are magenta, read back through a DIB.
long MagentaPixels(HWND window, const RECT& r) {
    const int width = r.right - r.left, height = r.bottom - r.top;
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC dc = GetDC(window);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    GdiFlush();
    BitBlt(memory, 0, 0, width, height, dc, r.left, r.top, SRCCOPY);
    GdiFlush();
    long count = -1;
    if (bits != nullptr) {
        count = 0;
        const uint32_t* pixels = static_cast<const uint32_t*>(bits);
        for (long i = 0; i < long{width} * height; ++i) count += (pixels[i] & 0xFFFFFF) == 0xFF00FF;
    }
    SelectObject(memory, previous);
    DeleteDC(memory);
    DeleteObject(bitmap);
    ReleaseDC(window, dc);
    return count;
}

// The one window of this process whose scene is set up (the scene host sets
// up once per process): after each event that may have changed its pixels
// behind the scene's back, the next tick puts the whole strip; a tick alone
// puts only what changed.
TEST_F(SaverWindow, AfterAnythingThatMayHaveDrawnOnItTheNextTickPutsTheWholeStrip) {
    window = CreateWindowExA(WS_EX_TOPMOST, "ZarvoTestSaverClass", "Screen Saver", WS_POPUP | WS_VISIBLE, 0, 0,
                             GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024) << "the strip below is the 1024 x 768 layout's";
    UpdateWindow(window);  // the first paint sets the scene up
    const RECT strip = {90, 366, 90 + 917, 366 + 334};
    for (int i = 0; i < 3; ++i) SendMessageA(window, WM_TIMER, 1, 0);
    struct Case {
        const char* what;
        UINT message;
        WPARAM wParam;
    } const cases[] = {
        {"a tick alone", 0, 0},
        {"the password verifier's answer", VerifyPasswordMessage, 0},
        {"activation coming back", WM_ACTIVATE, WA_ACTIVE},
        {"the focus coming back", WM_SETFOCUS, 0},
        {"a new palette", WM_QUERYNEWPALETTE, 0},
        {"another window's palette", WM_PALETTECHANGED, reinterpret_cast<WPARAM>(GetDesktopWindow())},
        {"a display change", WM_DISPLAYCHANGE, 32},
    };
    for (const Case& c : cases) {
        Scribble(window, strip);
        ASSERT_GT(MagentaPixels(window, strip), 0) << "the scribble cannot be read back";
        if (c.message != 0) SendMessageA(window, c.message, c.wParam, 0);
        if (c.message == WM_DISPLAYCHANGE) UpdateWindow(window);  // the scenes are set up again as it paints
        SendMessageA(window, WM_TIMER, 1, 0);
        const long left = MagentaPixels(window, strip);
        if (c.message == 0) {
            EXPECT_GT(left, 0) << "expected a tick alone to put only what changed";
        } else {
            EXPECT_EQ(left, 0) << "magenta pixels left after " << c.what << " and a tick";
        }
    }
}

// The scene's message box as seen while it was shown, then closed: what
// decides whether it can open under the topmost saver window.
HWND shownBox, shownBoxOwner;
LONG shownBoxStyle;

void CALLBACK InspectAndCloseMessageBox(HWND, UINT, UINT_PTR, DWORD) {
    HWND box = FindWindowA("#32770", "Zarvo test message");
    if (box == nullptr) return;
    shownBox = box;
    shownBoxOwner = GetWindow(box, GW_OWNER);
    shownBoxStyle = GetWindowLongA(box, GWL_EXSTYLE);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
}

TEST_F(SaverWindow, TheSceneMessageOpensAboveTheTopmostSaverWindow) {
    Create();
    shownBox = nullptr;
    UINT_PTR timer = SetTimer(nullptr, 0, 50, InspectAndCloseMessageBox);
    ShowUserMessage("text", "Zarvo test message");
    KillTimer(nullptr, timer);
    ASSERT_NE(shownBox, nullptr);
    EXPECT_TRUE((shownBoxStyle & WS_EX_TOPMOST) != 0 || shownBoxOwner == window)
        << "owner " << shownBoxOwner << ", extended style 0x" << std::hex << shownBoxStyle;
}

// Read while WM_HELP is handled: its HELPINFO lives no longer.
DWORD_PTR helpContextSeen = 0;

LRESULT CALLBACK RecordHelp(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_HELP) helpContextSeen = reinterpret_cast<const HELPINFO*>(lParam)->dwContextId;
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(SaverWindow, APreviewIgnoresInputHandsHelpToItsParentAndClosesWithoutAsking) {
    HWND parent = CreateWindowExA(0, "STATIC", "parent", WS_POPUP, 0, 0, 100, 80, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(parent, nullptr);
    SetWindowLongPtrA(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordHelp));
    windowsHost.isPreview = 1;
    Create(parent);
    windowsHost.verifyPassword = FakeVerifier;
    SendMessageA(window, WM_KEYDOWN, 'A', 0);
    SendMessageA(window, WM_LBUTTONDOWN, 0, 0);
    EXPECT_EQ(PendingMessages(WM_CLOSE), 0);
    helpContextSeen = 0;
    HELPINFO help = {sizeof help, HELPINFO_WINDOW, 0, window, 42, {0, 0}};
    SendMessageA(window, WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
    EXPECT_EQ(helpContextSeen, 42u) << "the parent has the help request before the preview returns";
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(verifierCalls, 0);
    EXPECT_FALSE(IsWindow(window));
    DestroyWindow(parent);
}

}  // namespace
