// The keys and the message that close the window mode (the mouse threshold
// is shared with Windows: scene/run_rules.cpp).
#include <X11/keysym.h>

#include "x11/zarvo.h"

int KeyClosesWindow(KeySym key) {
    return key == XK_q || key == XK_Q || key == XK_Escape;
}

int IsCloseRequest(const SaverWindow* saver, const XClientMessageEvent* message) {
    // Other clients may send any message; only WM_PROTOCOLS carries the close request.
    return saver->wmProtocols != None && message->message_type == saver->wmProtocols &&
           message->format == 32 && static_cast<Atom>(message->data.l[0]) == saver->wmDeleteWindow;
}
