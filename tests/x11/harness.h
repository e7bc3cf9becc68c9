// Test harness for the X11 front end: a private Xvfb server, child processes
// with a deadline, and screen captures decoded to 0x00RRGGBB.
#pragma once

#include <X11/Xlib.h>
#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

struct XServer {
    pid_t pid = 0;
    std::string name;  // ":N"
    Display* display = nullptr;
};

// Starts Xvfb with one screen of `screen` ("1024x768x24") on a free display
// number of its own and connects to it. 1 when the server is ready.
int StartXServer(const char* screen, XServer* server);
void StopXServer(XServer* server);

struct Child {
    pid_t pid = 0;
    std::string errorFile;  // what the child wrote to standard error
};

// Runs `args` with DISPLAY set to `displayName` (unless empty) and the extra
// environment entries; with `pendingSignal`, the program starts with that
// signal sent already, held back by the mask it inherits. 1 when started.
int SpawnChild(const std::vector<std::string>& args, const std::string& displayName,
               const std::vector<std::string>& environment, Child* child, int pendingSignal = 0);
// Waits up to `timeoutMs` for the child to end: 1 with its wait status, 0 when still running.
int WaitChild(Child* child, int timeoutMs, int* status);
// Ends a child that is still running (SIGKILL) and reaps it.
void KillChild(Child* child);
std::string ChildErrors(const Child& child);
// Runs a program to its end (at most `timeoutMs`); its exit code, or -1.
int RunProgram(const std::vector<std::string>& args, const std::string& displayName,
               const std::vector<std::string>& environment, int timeoutMs, std::string* errors = nullptr);
// 1 when `name` is a program on the PATH.
int HasProgram(const std::string& name);

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, row by row
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
// An all-black picture: what a monitor or output without a scene shows.
Picture Black(int width, int height);

// The window's pixels in the rectangle, decoded through its visual's masks
// (channels of fewer than 8 bits scaled to 0..255). 1 on success.
int CaptureWindow(Display* display, Window window, int x, int y, int width, int height, Picture* picture);
int ReadPng(const std::string& path, Picture* picture);

// A top-level window named `name`, waited for up to `timeoutMs` (None if none).
Window WaitForWindowNamed(Display* display, const char* name, int timeoutMs);

// A fresh empty folder under the test's temporary directory.
std::string MakeTempDir(const char* tag);
int64_t NowMs();
void SleepMs(int ms);
