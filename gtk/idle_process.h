// The running idle watcher (`zarvo --idle SECONDS`) of this user: found by
// its command line, ended by SIGTERM, started apart from the window.
#pragma once

#include <sys/types.h>

#include <string>

// Its process id; 0 when none runs.
pid_t FindIdleWatcher();
// Ends the one running, if any.
void EndIdleWatcher();
// Starts `zarvo` (the program's path) --idle `seconds`; 1 when started.
int StartIdleWatcher(const std::string& zarvo, int seconds);
