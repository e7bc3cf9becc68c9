// The loop of a Linux host: the termination signals (SIGTERM, SIGINT,
// SIGHUP), held from the first statement, then taken through a pipe it waits
// on with the display's connection, and the clock it times ticks by.
#pragma once

#include <cstdint>

// Holds SIGTERM, SIGINT and SIGHUP back until OpenSignalPipe takes them, so
// that one sent while zarvo starts ends it as cleanly as a later one.
void HoldTerminationSignals();
// A pipe that becomes readable on SIGTERM, SIGINT or SIGHUP, those held
// until now included; -1 on failure (the signals then end zarvo at once).
int OpenSignalPipe();

// What ended a wait for the display.
enum DisplayWait {
    kWaitTimedOut,   // the tick is due
    kWaitDisplay,    // the connection has something to read (or an error)
    kWaitSignalled,  // a termination signal arrived: end with status 0
};
// Waits at most `timeoutMs` (-1: without limit) for the display's connection
// `displayFd` or the signal pipe `signalFd` (-1: none).
DisplayWait WaitForDisplay(int displayFd, int signalFd, int timeoutMs);
// Milliseconds of a clock that never jumps (not the calendar).
int64_t MonotonicMilliseconds();
