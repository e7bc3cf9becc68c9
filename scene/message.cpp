// The hook that can take the place of the platform's message to the user.
#include "scene/state.h"

namespace {

SceneMessageHook messageHook = nullptr;

}  // namespace

void SetSceneMessageHook(SceneMessageHook hook) { messageHook = hook; }

void ShowSceneMessage(const char* text, const char* caption) {
    if (messageHook != nullptr) return messageHook(text, caption);
    ShowPlatformSceneMessage(text, caption);
}
