// The fault guard: a fault escaping the guarded run is handed to the
// platform's filter and the process still ends with the guard's exit code.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "windows/windows_host.h"

namespace {

std::string ProbePath() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string self(path, length);
    return self.substr(0, self.find_last_of("\\/") + 1) + "fault_guard_probe.exe";
}

// A minute natively; ZARVO_WAIT_SCALE stretches it where Wine is emulated and
// a process start alone takes over a minute.
DWORD ProbeTimeoutMilliseconds() {
    char scale[16] = "";
    GetEnvironmentVariableA("ZARVO_WAIT_SCALE", scale, sizeof scale);
    long factor = std::strtol(scale, nullptr, 10);
    return 60000u * static_cast<DWORD>(factor > 1 ? factor : 1);
}

// Runs the probe with `mode` and returns its exit code (or a message).
DWORD RunProbe(const char* mode) {
    std::string commandLine = "\"" + ProbePath() + "\" " + mode;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        ADD_FAILURE() << "cannot start " << commandLine;
        return 0xDEAD;
    }
    const DWORD timeout = ProbeTimeoutMilliseconds();
    if (WaitForSingleObject(process.hProcess, timeout) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 0xDEAD);
        ADD_FAILURE() << "the probe did not end within " << timeout / 1000 << " s";
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return exitCode;
}

TEST(FaultGuard, AnEscapingFaultEndsTheProcessWithMinusOne) {
    DWORD code = RunProbe("fault");
    EXPECT_EQ(code, 0xFFFFFFFFu) << "expected the guard's -1, got 0x" << std::hex << code;
}

TEST(FaultGuard, ARunWithoutFaultReturnsItsOwnCode) { EXPECT_EQ(RunProbe("clean"), 3u); }

}  // namespace
