// The scene's one message to the user on Windows: an error message box without owner.
#include <windows.h>

#include "scene/state.h"

void ShowPlatformSceneMessage(const char* text, const char* caption) {
    MessageBoxA(nullptr, text, caption, MB_ICONERROR | MB_OK);
}
