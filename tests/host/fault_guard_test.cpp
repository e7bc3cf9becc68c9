// The fault guard: a fault escaping the guarded run is handed to the
// platform's filter and the process still ends with the guard's exit code.
#include <gtest/gtest.h>

#include <string>

#include "host/host.h"

namespace {

std::string ProbePath() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string self(path, length);
    return self.substr(0, self.find_last_of("\\/") + 1) + "fault_guard_probe.exe";
}

// Runs the probe with `mode` and returns its exit code (or a message).
DWORD RunProbe(const char* mode) {
    std::string commandLine = "\"" + ProbePath() + "\" " + mode;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        ADD_FAILURE() << "cannot start " << commandLine;
        return 0xDEAD;
    }
    if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 0xDEAD);
        ADD_FAILURE() << "the probe did not end within 60 s";
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

TEST(FaultGuard, ARunWithoutFaultReturnsItsOwnCode) {
    EXPECT_EQ(RunProbe("clean"), 3u);
}

}  // namespace
