// The window geometry of zarvo's --geometry, read by a grammar of its own:
// exactly what --help offers, "WxH" or "WxH+X+Y", nothing of X11's wider one.
#pragma once

// A window's size and, when given, the place of its top-left corner.
struct WindowGeometry {
    int width;
    int height;
    int x;
    int y;
    int positionGiven;
};

// X11 places windows at 16-bit coordinates.
constexpr int kMaxWindowOffset = 32767;

// Reads `text` when it is exactly WxH or WxH+X+Y in decimal digits, a lower
// case x between the sides: each side from 1 to kMaxPictureSide, X and Y
// from 0 to kMaxWindowOffset. 1 then; 0, leaving `geometry`, otherwise.
int ParseWindowGeometry(const char* text, WindowGeometry* geometry);
