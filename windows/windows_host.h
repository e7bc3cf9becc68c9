// The screen-saver host: the command line and run modes, the saver window's
// procedures around the scene, the password hooks and the fault guard.
#pragma once

#include <cstdint>

#include "app/run_rules.h"

// What the first switch letter of a command-line tail asks for.
struct CommandLineRequest {
    RunMode mode;      // one of the Windows modes (app/run_rules.h)
    const char* rest;  // preview and change-password: the text after the letter and its spaces
};

// Reads the tail byte by byte: blanks, "-" and "/" before the switch letter
// are skipped; only the first letter counts. A null tail counts as empty.
CommandLineRequest ParseSaverCommandLine(const char* tail);

// Leading decimal digits as an unsigned 32-bit number (wrapping); 0 when the
// text does not start with a digit or is null.
uint32_t ParseWindowHandle(const char* text);

// The whole command line less the program path (quoted or not) and the
// blanks (bytes 1 to 32) after it. Never null for a non-null line.
const char* CommandLineTail(const char* commandLine);

constexpr uint32_t kNoPasswordCheckYet = 0xFFFFFFFF;
constexpr uint32_t kPasswordQuietMilliseconds = 200;

// 1 when a close request at tick `now` falls within the quiet time after the
// verification that ended at `lastCheck` (tick counts wrap).
int WithinPasswordQuietTime(uint32_t now, uint32_t lastCheck);

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "app/scene_run.h"

// Asks the saver window to run the password verifier; nonzero when verified.
constexpr UINT VerifyPasswordMessage = 0x8000;

typedef BOOL(WINAPI* VerifyScreenSavePwdProc)(HWND window);

// Everything the host keeps for its process, in one record as the X11 host
// keeps its X11Host: the module, the saver window and its run, the
// state that closing and the password check share, and the verifier.
struct WindowsHost {
    HINSTANCE moduleInstance;
    HWND mainWindow;
    int isPreview;
    int isClosing;
    int isCheckingPassword;          // the verifier's dialog is up: input does not close
    int isShowingMessage;            // the minimum-configuration box is up: likewise
    PointerAnchor anchor;            // where the pointer was when the window came up
    uint32_t lastPasswordCheckTick;  // kNoPasswordCheckYet before the first
    HMODULE passwordLibrary;
    VerifyScreenSavePwdProc verifyPassword;  // null: no password is asked for
};
extern WindowsHost windowsHost;

// Run modes.
int ScreenSaverMain(HINSTANCE instance, const char* tail);
int RunScreenSaver(HWND parent);
// The whole virtual screen, every monitor, which the full-screen window covers.
RECT VirtualScreenRect();
int StartPreview(const char* text);
int ShowConfigureDialog(HWND owner);
int StartChangePassword(const char* text);
// The window whose handle the text spells in decimal (ParseWindowHandle),
// widened from 32 bits as the platform widens a handle: by sign extension.
HWND WindowFromHandleText(const char* text);

// The saver window's message chain: class procedure, then the scene's
// ScreenSaverProc, then ScreenSaverDefaultProc.
LRESULT CALLBACK ScreenSaverClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ScreenSaverDefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
int ConfirmClose(HWND window);
// The arrow pointer over the saver window, which otherwise hides it.
void ShowPointer();
// Takes where the pointer is now as the anchor its moves are measured from.
void AnchorPointer();

// Password hooks.
// From here on every library the process loads by name is looked for only in
// the program's folder and the system folder, where the system offers that
// (Windows 7 with KB2533623 and later); the password libraries are looked
// for only there on any system.
void RestrictLibrarySearch();
void LoadPasswordVerifier();
void UnloadPasswordVerifier();
int SetScreenSaverRunning(int running);
void ChangeScreenSaverPassword(HWND parent);
// 1 when the desktop key's "ScreenSaveUsePassword" asks for a password.
int DesktopAsksForPassword(HKEY desktop);

// Runs `body` (ScreenSaverMain) so that a fault escaping it still switches
// the screen-saver-running state off; returns the body's exit code.
typedef int (*GuardedBody)(HINSTANCE instance, const char* tail);
int RunGuarded(GuardedBody body, HINSTANCE instance, const char* tail);

// The callbacks the host is built on: the scene's window procedure and the
// settings dialog (windows/settings_dialog.cpp). The first two are exported.
extern "C" LRESULT WINAPI ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
extern "C" INT_PTR WINAPI ScreenSaverConfigureDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
int PrepareConfigureDialog(HINSTANCE instance);

constexpr int kConfigureDialogId = 2003;
constexpr int kFirstSettingScrollBar = 1100;
constexpr int kScrollBarCount = 5;
constexpr int kSaverIconId = 100;
// The display settings' drop-down lists, items in the order of their numbers.
constexpr int kPictureSizeList = 1110;
constexpr int kMonitorsList = 1111;

// The settings dialog's rule for one scroll request on `setting`: 1 when the
// value was (re)computed and the scroll bar must show it, 0 for requests that
// change nothing (thumb tracking, end of scroll).
struct Setting;
int ApplyScrollRequest(Setting* setting, int requestCode, uint32_t thumbPosition);
#endif
