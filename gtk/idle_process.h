// The session's idle watcher (`zarvo --idle SECONDS`) as the settings window
// puts it in step with the idle start: ended through the lock it holds
// (app/idle_watcher.h), started apart from the window.
#pragma once

#include <string>

// Ends the session's watcher, if one runs, and waits for its end.
void EndSessionIdleWatcher();
// Starts `zarvo` (the program's path) --idle `seconds`; 1 when started.
int StartIdleWatcher(const std::string& zarvo, int seconds);
