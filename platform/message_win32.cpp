// The message to the user on Windows: an error message box without owner,
// topmost.
#include <windows.h>

#include "platform/services.h"

void ShowUserMessage(const char* text, const char* caption) {
    // The full-screen saver window is topmost and would cover a box that is
    // not. A system-modal box is topmost (and, without owner, disables no
    // window); Wine honours that but not MB_TOPMOST.
    MessageBoxA(nullptr, text, caption, MB_ICONERROR | MB_OK | MB_SYSTEMMODAL);
}
