// first-picture: starts a program on an X display and says how long it took
// until one screen row shows something other than black. Used by
// tools/measure-running.sh to time zarvo's start-up from outside: zarvo puts
// its first whole picture from the top down, so the moment its bottom row
// lights up on the server, the whole picture is there.
//
//   first-picture X Y WIDTH TIMEOUT_MS program [args...]
//
// The root must start black (Xvfb -br). Prints "pid N" and then either
// "first-picture-ms T" and the CPU time the program had used by then,
// "first-picture-cpu-ms C" (exit 0), or "first-picture-ms none" (exit 1);
// the program is left running either way.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

double NowMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

// 1 when any pixel of the row, in the root visual's colour bits, is lit.
int RowLit(Display* display, Window root, int x, int y, int width) {
    XImage* row = XGetImage(display, root, x, y, static_cast<unsigned>(width), 1, AllPlanes, ZPixmap);
    if (!row) return 0;
    const unsigned long colour = row->red_mask | row->green_mask | row->blue_mask;
    int lit = 0;
    for (int i = 0; i < width && !lit; ++i) lit = (XGetPixel(row, i, 0) & colour) != 0;
    XDestroyImage(row);
    return lit;
}

// The CPU time the program has used so far (/proc/<pid>/schedstat counts
// nanoseconds); -1 when it cannot be read.
double CpuMs(pid_t pid) {
    char path[64];
    snprintf(path, sizeof path, "/proc/%d/schedstat", static_cast<int>(pid));
    FILE* file = fopen(path, "r");
    if (!file) return -1;
    unsigned long long ns = 0;
    const int read = fscanf(file, "%llu", &ns);
    fclose(file);
    return read == 1 ? static_cast<double>(ns) / 1e6 : -1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 6) {
        fprintf(stderr, "usage: first-picture X Y WIDTH TIMEOUT_MS program [args...]\n");
        return 2;
    }
    const int x = atoi(argv[1]), y = atoi(argv[2]), width = atoi(argv[3]);
    const double timeoutMs = atof(argv[4]);
    Display* display = XOpenDisplay(nullptr);
    if (!display || width < 1) {
        fprintf(stderr, "first-picture: no display or no row to watch\n");
        return 2;
    }
    const Window root = DefaultRootWindow(display);
    if (RowLit(display, root, x, y, width)) {
        fprintf(stderr, "first-picture: the row is lit before the program starts\n");
        return 2;
    }
    fflush(stdout);
    const double start = NowMs();
    const pid_t pid = fork();
    if (pid == 0) {
        execvp(argv[5], argv + 5);
        _exit(127);
    }
    printf("pid %d\n", static_cast<int>(pid));
    // A poll a millisecond: fine enough for start-ups of tens of milliseconds,
    // and a one-row read costs the server a few microseconds.
    const timespec pause{0, 1000 * 1000};
    while (NowMs() - start < timeoutMs) {
        if (RowLit(display, root, x, y, width)) {
            printf("first-picture-ms %.1f\n", NowMs() - start);
            printf("first-picture-cpu-ms %.1f\n", CpuMs(pid));
            return 0;
        }
        nanosleep(&pause, nullptr);
    }
    printf("first-picture-ms none\n");
    return 1;
}
