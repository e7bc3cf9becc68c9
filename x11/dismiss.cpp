// What ends a run by user input: the mouse threshold and the closing keys.
#include <X11/keysym.h>

#include <cstdlib>

#include "x11/zarvo.h"

int MoveEndsSaver(int anchorX, int anchorY, int x, int y) {
    long distance = labs(static_cast<long>(x) - anchorX) + labs(static_cast<long>(y) - anchorY);
    return distance > kMouseMoveThreshold;
}

int KeyClosesWindow(KeySym key) {
    return key == XK_q || key == XK_Q || key == XK_Escape;
}
