// The message to the user where there is no message box: standard error,
// with the text's carriage return shown as a line break.
#include <cstdio>

#include "platform/services.h"

void ShowUserMessage(const char* text, const char* caption) {
    std::fprintf(stderr, "%s: ", caption);
    for (const char* c = text; *c != '\0'; ++c) std::fputc(*c == '\r' ? '\n' : *c, stderr);
    std::fputc('\n', stderr);
}

void ShowMinimumRefusal(const char* program, int width, int height, int bitsPerPixel) {
    std::fprintf(stderr,
                 "%s: the scene needs a window at least 640 pixels wide and 256 colours\n"
                 "(8 bits per pixel); this window is %d x %d with %d bits per pixel\n",
                 program, width, height, bitsPerPixel);
}
