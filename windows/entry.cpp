// The process entry of Zarvo.scr: the command-line tail to ScreenSaverMain
// under the fault guard, and its result as the exit code.
#include "windows/windows_host.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // The tail is taken from the full command line rather than from WinMain's
    // argument so that the program path and blanks are removed by our rules.
    const char* commandLine = GetCommandLineA();
    const char* tail = CommandLineTail(commandLine ? commandLine : "");
    return RunGuarded(ScreenSaverMain, instance, tail);
}
