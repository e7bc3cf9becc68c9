// The keys that close the window mode (the mouse threshold is shared with
// Windows: scene/run_rules.cpp).
#include <X11/keysym.h>

#include "x11/zarvo.h"

int KeyClosesWindow(KeySym key) {
    return key == XK_q || key == XK_Q || key == XK_Escape;
}
