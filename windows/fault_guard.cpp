// The fault guard around ScreenSaverMain: a structured exception that escapes
// the run must not leave the platform's screen-saver-running state on.
#include "windows/windows_host.h"

namespace {

// The exit code after a fault has been handled: the run failed.
constexpr int kFaultExitCode = -1;

LONG filterDepth = 0;

// mingw has no __try, so the guard is a top-level exception filter, which the
// platform calls for every structured exception that no frame handles. It
// hands the fault to the platform's own UnhandledExceptionFilter first. That
// filter calls the top-level filter again, so the nested call answers
// "continue search" and lets the platform do its default (report, debugger).
// When the platform asks for the handler to run, the state is switched off
// and the process ends with the code ScreenSaverMain would have returned;
// there is no frame left to return into.
LONG WINAPI GuardFilter(EXCEPTION_POINTERS* info) {
    if (InterlockedIncrement(&filterDepth) > 1) {
        InterlockedDecrement(&filterDepth);
        return EXCEPTION_CONTINUE_SEARCH;
    }
    LONG verdict = UnhandledExceptionFilter(info);
    InterlockedDecrement(&filterDepth);
    if (verdict != EXCEPTION_EXECUTE_HANDLER) return verdict;
    SetScreenSaverRunning(0);
    ExitProcess(static_cast<UINT>(kFaultExitCode));
}

}  // namespace

int RunGuarded(GuardedBody body, HINSTANCE instance, const char* tail) {
    LPTOP_LEVEL_EXCEPTION_FILTER previous = SetUnhandledExceptionFilter(GuardFilter);
    int exitCode = body(instance, tail);
    SetUnhandledExceptionFilter(previous);
    return exitCode;
}
