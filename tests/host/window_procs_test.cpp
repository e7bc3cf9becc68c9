// The saver window's host procedures on a real window: titles, system
// commands, close requests from input, ConfirmClose with a verifier of the
// test's own, and the preview's differences. Needs a display (see
// run-with-xvfb.sh).
#include <gtest/gtest.h>

#include <vector>

#include "host/host.h"
#include "platform/platform.h"

namespace {

int verifierCalls = 0;
BOOL verifierAnswer = FALSE;
int checkingSeenByVerifier = 0;
int nestedConfirmResult = -1;

BOOL WINAPI FakeVerifier(HWND window) {
    ++verifierCalls;
    checkingSeenByVerifier = isCheckingPassword;
    nestedConfirmResult = ConfirmClose(window);  // a close arriving while the dialog is up
    return verifierAnswer;
}

class SaverWindow : public ::testing::Test {
protected:
    void SetUp() override {
        isPreview = isClosing = isCheckingPassword = 0;
        lastPasswordCheckTick = kNoPasswordCheckYet;
        verifyPassword = nullptr;
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
            isClosing = 1;  // lets DestroyWindow through without asking anyone
            DestroyWindow(window);
        }
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
        verifyPassword = nullptr;
    }

    // An invisible window, so that no paint reaches the scene.
    void Create(HWND parent = nullptr) {
        window = CreateWindowExA(0, "ZarvoTestSaverClass", parent ? "Preview" : "Screen Saver",
                                 parent ? WS_CHILD : WS_POPUP, 0, 0, 64, 48, parent, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
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
    mouseAnchor = {cursor.x - 2, cursor.y + 2};
    SendMessageA(window, WM_MOUSEMOVE, 0, 0);
    EXPECT_EQ(PendingMessages(WM_CLOSE), 0) << "4 pixels away";
    mouseAnchor = {cursor.x + 3, cursor.y - 2};
    SendMessageA(window, WM_MOUSEMOVE, 0, 0);
    EXPECT_EQ(PendingMessages(WM_CLOSE), 1) << "5 pixels away";
    EXPECT_EQ(mouseAnchor.x, cursor.x);
    EXPECT_EQ(mouseAnchor.y, cursor.y);
}

TEST_F(SaverWindow, WithoutVerifierACloseIsGrantedAtOnce) {
    Create();
    EXPECT_EQ(SendMessageA(window, VerifyPasswordMessage, 0, 0), 1);
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(isClosing, 1);
    EXPECT_FALSE(IsWindow(window)) << "a granted close destroys the window";
    MSG quit;
    EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "no WM_QUIT";
}

TEST_F(SaverWindow, ARefusedVerificationKeepsTheWindowAndQuietensCloseRequests) {
    Create();
    verifyPassword = FakeVerifier;
    for (int i = 0; i < 3; ++i) PostMessageA(window, WM_TIMER, 1, 0);
    EXPECT_EQ(ConfirmClose(window), 0);
    EXPECT_EQ(verifierCalls, 1);
    EXPECT_EQ(checkingSeenByVerifier, 1);
    EXPECT_EQ(nestedConfirmResult, 0) << "a close during the verification is refused at once";
    EXPECT_EQ(isCheckingPassword, 0);
    EXPECT_EQ(isClosing, 0);
    EXPECT_NE(lastPasswordCheckTick, kNoPasswordCheckYet);
    EXPECT_EQ(PendingMessages(WM_TIMER), 1) << "two of three pending timer messages are removed";

    EXPECT_EQ(ConfirmClose(window), 0);
    EXPECT_EQ(verifierCalls, 1) << "a close within 200 ms is not verified";
    Sleep(kPasswordQuietMilliseconds + 50);
    verifierAnswer = TRUE;
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(verifierCalls, 2);
    EXPECT_EQ(isClosing, 1);
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(SaverWindow, OnceClosingInputNoLongerAsksToClose) {
    Create();
    isClosing = 1;
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

TEST_F(SaverWindow, CursorIsHiddenWhileTheSaverRuns) {
    Create();
    EXPECT_EQ(SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), HTCLIENT), 1);
    EXPECT_EQ(GetCursor(), nullptr);
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
    isPreview = 1;
    Create(parent);
    verifyPassword = FakeVerifier;
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
