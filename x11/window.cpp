// The window zarvo draws into: one of its own (a normal window or a
// full-screen override-redirect one), the root window, or a foreign window.
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <time.h>

#include <cstring>
#include <initializer_list>

#include "x11/window.h"

namespace {

// The default visual when it is TrueColor, else the deepest TrueColor one
// (an 8-bit display may offer a 3-3-2 one beside its PseudoColor default).
int FindTrueColorVisual(Display* display, int screen, Visual** visual, int* depth) {
    Visual* standard = DefaultVisual(display, screen);
    if (standard->c_class == TrueColor) {
        *visual = standard;
        *depth = DefaultDepth(display, screen);
        return 1;
    }
    for (int wanted : {24, 32, 16, 15, 8}) {
        XVisualInfo info;
        if (XMatchVisualInfo(display, screen, wanted, TrueColor, &info)) {
            *visual = info.visual;
            *depth = info.depth;
            return 1;
        }
    }
    return 0;
}

Cursor CreateBlankCursor(Display* display, Window window) {
    static const char kNoBits[1] = {0};
    Pixmap blank = XCreateBitmapFromData(display, window, kNoBits, 1, 1);
    if (!blank) return None;
    XColor black{};
    Cursor cursor = XCreatePixmapCursor(display, blank, blank, &black, &black, 0, 0);
    XFreePixmap(display, blank);
    return cursor;
}

void SetWindowManagerHints(Display* display, const ZarvoOptions* options, SaverWindow* saver) {
    XClassHint classHint{const_cast<char*>("zarvo"), const_cast<char*>("Zarvo")};
    XSetClassHint(display, saver->window, &classHint);
    // Any size will do: a resized window sets its scene up again.
    XSizeHints* size = XAllocSizeHints();
    if (size) {
        size->flags = options->positionGiven ? USPosition : 0;
        size->x = options->x;
        size->y = options->y;
        XSetWMNormalHints(display, saver->window, size);
        XFree(size);
    }
    saver->wmProtocols = XInternAtom(display, "WM_PROTOCOLS", False);
    saver->wmDeleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, saver->window, &saver->wmDeleteWindow, 1);
}

int CreateOwnWindow(Display* display, const ZarvoOptions* options, SaverWindow* saver, char* error, size_t errorSize) {
    int screen = DefaultScreen(display);
    Window root = RootWindow(display, screen);
    if (!FindTrueColorVisual(display, screen, &saver->visual, &saver->depth)) {
        snprintf(error, errorSize, "the display offers no TrueColor visual");
        return 0;
    }
    int fullscreen = options->mode == kModeFullScreen;
    int x = fullscreen ? 0 : options->x;
    int y = fullscreen ? 0 : options->y;
    int width = fullscreen ? DisplayWidth(display, screen) : options->width;
    int height = fullscreen ? DisplayHeight(display, screen) : options->height;
    XSetWindowAttributes attributes{};
    unsigned long mask = CWBackPixel | CWBorderPixel | CWColormap | CWEventMask | CWOverrideRedirect;
    if (saver->visual != DefaultVisual(display, screen)) {
        saver->colormap = XCreateColormap(display, root, saver->visual, AllocNone);
    }
    attributes.colormap = saver->colormap ? saver->colormap : DefaultColormap(display, screen);
    attributes.background_pixel = 0;  // black in every TrueColor visual
    attributes.event_mask = ExposureMask | StructureNotifyMask | KeyPressMask;
    if (fullscreen) attributes.event_mask |= ButtonPressMask | PointerMotionMask;
    attributes.override_redirect = fullscreen ? True : False;
    saver->window = XCreateWindow(display, root, x, y, static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
                                  saver->depth, InputOutput, saver->visual, mask, &attributes);
    saver->owned = 1;
    XStoreName(display, saver->window, "Zarvo");
    if (fullscreen) {
        saver->blankCursor = CreateBlankCursor(display, saver->window);
        if (saver->blankCursor) XDefineCursor(display, saver->window, saver->blankCursor);
        // Mapped by ShowFullScreenWindow once the image for it exists.
    } else {
        SetWindowManagerHints(display, options, saver);
        XMapWindow(display, saver->window);
    }
    return 1;
}

int TakeForeignWindow(Display* display, Window window, SaverWindow* saver, char* error, size_t errorSize) {
    XWindowAttributes attributes;
    unsigned long resource = 0;
    TakeXError(&resource);
    if (!XGetWindowAttributes(display, window, &attributes) || TakeXError(&resource)) {
        snprintf(error, errorSize, "window 0x%lx does not exist", window);
        return 0;
    }
    if (attributes.visual->c_class != TrueColor) {
        snprintf(error, errorSize, "window 0x%lx does not have a TrueColor visual", window);
        return 0;
    }
    saver->window = window;
    saver->visual = attributes.visual;
    saver->depth = attributes.depth;
    // Input belongs to whoever made the window; only its exposure and its end matter here.
    XSelectInput(display, window, ExposureMask | StructureNotifyMask);
    return 1;
}

// The window that __SWM_VROOT on `window` names, or None.
Window VirtualRootNamedBy(Display* display, Window window, Atom property) {
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    Window named = None;
    if (XGetWindowProperty(display, window, property, 0, 1, False, XA_WINDOW, &type, &format, &items, &after, &data) ==
            Success &&
        type == XA_WINDOW && format == 32 && items == 1 && data) {
        named = static_cast<Window>(*reinterpret_cast<unsigned long*>(data));
    }
    if (data) XFree(data);
    return named;
}

// Virtual-root window managers and screen savers cover the root with a
// top-level window that they mark with __SWM_VROOT; drawing on the real root
// would stay hidden under it.
Window FindVirtualRoot(Display* display) {
    Window root = DefaultRootWindow(display);
    Atom property = XInternAtom(display, "__SWM_VROOT", True);
    if (property == None) return root;  // nobody ever named one
    Window top = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, root, &top, &parent, &children, &count)) return root;
    Window found = None;
    for (unsigned int i = 0; i < count && found == None; ++i) {
        found = VirtualRootNamedBy(display, children[i], property);
    }
    if (children) XFree(children);
    return found != None ? found : root;
}

}  // namespace

int OpenSaverWindow(Display* display, const ZarvoOptions* options, SaverWindow* saver, char* error, size_t errorSize) {
    memset(saver, 0, sizeof *saver);
    switch (options->mode) {
    case kModeRoot:  // XSCREENSAVER_WINDOW, when set, has made this a preview
        return TakeForeignWindow(display, FindVirtualRoot(display), saver, error, errorSize);
    case kModePreview:
        return TakeForeignWindow(display, options->windowId, saver, error, errorSize);
    default:
        return CreateOwnWindow(display, options, saver, error, errorSize);
    }
}

void ShowFullScreenWindow(Display* display, const SaverWindow* saver) {
    XMapRaised(display, saver->window);
    XFlush(display);
}

void GrabInput(Display* display, const SaverWindow* saver) {
    const timespec pause{0, 20 * 1000 * 1000};
    int keyboard = !GrabSuccess, pointer = !GrabSuccess;
    // Another client may hold a grab for a moment (a menu, the WM); try for half a second.
    for (int attempt = 0; attempt < 25; ++attempt) {
        if (keyboard != GrabSuccess) {
            keyboard = XGrabKeyboard(display, saver->window, True, GrabModeAsync, GrabModeAsync, CurrentTime);
        }
        if (pointer != GrabSuccess) {
            pointer = XGrabPointer(display, saver->window, True, ButtonPressMask | PointerMotionMask, GrabModeAsync,
                                   GrabModeAsync, None, saver->blankCursor, CurrentTime);
        }
        if (keyboard == GrabSuccess && pointer == GrabSuccess) return;
        nanosleep(&pause, nullptr);
    }
    if (keyboard != GrabSuccess) fprintf(stderr, "zarvo: could not grab the keyboard\n");
    if (pointer != GrabSuccess) fprintf(stderr, "zarvo: could not grab the pointer\n");
}

void CloseSaverWindow(Display* display, SaverWindow* saver) {
    if (saver->owned && saver->window) XDestroyWindow(display, saver->window);
    if (saver->blankCursor) XFreeCursor(display, saver->blankCursor);
    if (saver->colormap) XFreeColormap(display, saver->colormap);
    memset(saver, 0, sizeof *saver);
}

// The message that closes the window mode (its keys and the mouse threshold
// are shared with every host: app/scene_run.h).
int IsCloseRequest(const SaverWindow* saver, const XClientMessageEvent* message) {
    // Other clients may send any message; only WM_PROTOCOLS carries the close request.
    return saver->wmProtocols != None && message->message_type == saver->wmProtocols && message->format == 32 &&
           static_cast<Atom>(message->data.l[0]) == saver->wmDeleteWindow;
}
