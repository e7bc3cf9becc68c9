// The harness's servers, processes and captures.
#include "harness.h"

#include <X11/Xutil.h>
#include <fcntl.h>
#include <ftw.h>
#include <png.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

extern char** environ;

Picture Black(int width, int height) {
    Picture picture;
    picture.width = width;
    picture.height = height;
    picture.pixels.assign(size_t(width) * size_t(height), 0);
    return picture;
}

int64_t NowMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

void SleepMs(int ms) {
    timespec pause{ms / 1000, (ms % 1000) * 1000000L};
    nanosleep(&pause, nullptr);
}

namespace {

std::vector<std::string> madeDirs;
pid_t makerPid = 0;

int RemoveEntry(const char* path, const struct stat*, int, FTW*) { return remove(path); }

// Every folder the test process made goes when it exits (not in children,
// which share the list until they exec).
void RemoveMadeDirs() {
    if (getpid() != makerPid) return;
    for (const std::string& dir : madeDirs) nftw(dir.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
}

}  // namespace

std::string MakeTempDir(const char* tag) {
    const char* base = getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/zarvo-x11-" + tag + "-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!mkdtemp(buffer.data())) return std::string();
    if (madeDirs.empty()) {
        makerPid = getpid();
        atexit(RemoveMadeDirs);
    }
    madeDirs.push_back(buffer.data());
    return buffer.data();
}

namespace {

// Reads the display number Xvfb writes once it listens; 0 when it ends first.
int WaitUntilListening(int fd, int timeoutMs) {
    char text[16] = {};
    size_t used = 0;
    int64_t deadline = NowMs() + timeoutMs;
    while (used < sizeof text - 1) {
        int left = static_cast<int>(deadline - NowMs());
        pollfd watched{fd, POLLIN, 0};
        if (left <= 0 || poll(&watched, 1, left) <= 0) return 0;
        ssize_t got = read(fd, text + used, sizeof text - 1 - used);
        if (got <= 0) return 0;
        used += static_cast<size_t>(got);
        if (memchr(text, '\n', used)) return 1;
    }
    return 0;
}

pid_t StartXvfb(int number, const char* screen, int readyFd) {
    std::string name = ":" + std::to_string(number);
    std::string fd = std::to_string(readyFd);
    pid_t pid = fork();
    if (pid == 0) {
        int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, 1);
        dup2(quiet, 2);
        execlp("Xvfb", "Xvfb", name.c_str(), "-screen", "0", screen, "-nolisten", "tcp", "-noreset", "-displayfd",
               fd.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

}  // namespace

int StartXServer(const char* screen, XServer* server) {
    // Display numbers far from the usual ones, spread by process so that
    // tests running side by side rarely try the same one.
    int first = 4700 + static_cast<int>(getpid() % 600);
    for (int number = first; number < first + 40; ++number) {
        std::string lock = "/tmp/.X" + std::to_string(number) + "-lock";
        if (access(lock.c_str(), F_OK) == 0) continue;
        int fds[2];
        if (pipe(fds) != 0) return 0;
        pid_t pid = StartXvfb(number, screen, fds[1]);
        close(fds[1]);
        int listening = pid > 0 && WaitUntilListening(fds[0], 15000);
        close(fds[0]);
        if (!listening) {
            if (pid > 0) {
                kill(pid, SIGKILL);
                waitpid(pid, nullptr, 0);
            }
            continue;
        }
        server->pid = pid;
        server->name = ":" + std::to_string(number);
        server->display = XOpenDisplay(server->name.c_str());
        if (server->display) return 1;
        StopXServer(server);
    }
    return 0;
}

void StopXServer(XServer* server) {
    if (server->display) XCloseDisplay(server->display);
    server->display = nullptr;
    if (server->pid > 0) {
        kill(server->pid, SIGTERM);
        int status = 0;
        for (int i = 0; i < 100 && waitpid(server->pid, &status, WNOHANG) == 0; ++i) SleepMs(20);
        if (waitpid(server->pid, &status, WNOHANG) == 0) {
            kill(server->pid, SIGKILL);
            waitpid(server->pid, &status, 0);
        }
    }
    server->pid = 0;
}

int SpawnChild(const std::vector<std::string>& args, const std::string& displayName,
               const std::vector<std::string>& environment, Child* child, int pendingSignal) {
    static int counter = 0;
    child->errorFile = MakeTempDir("stderr") + "/stderr" + std::to_string(++counter);
    pid_t pid = fork();
    if (pid < 0) return 0;
    if (pid == 0) {
        int errors = open(child->errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int quiet = open("/dev/null", O_RDWR);
        dup2(quiet, 0);
        dup2(quiet, 1);
        if (errors >= 0) dup2(errors, 2);
        if (!displayName.empty()) setenv("DISPLAY", displayName.c_str(), 1);
        for (const std::string& entry : environment) putenv(strdup(entry.c_str()));
        std::vector<char*> argv;
        for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        if (pendingSignal) {
            sigset_t held;
            sigemptyset(&held);
            sigaddset(&held, pendingSignal);
            sigprocmask(SIG_BLOCK, &held, nullptr);
            raise(pendingSignal);  // pending across exec
        }
        execvp(argv[0], argv.data());
        _exit(127);
    }
    child->pid = pid;
    return 1;
}

int WaitChild(Child* child, int timeoutMs, int* status) {
    if (child->pid <= 0) return 0;
    int64_t deadline = NowMs() + timeoutMs;
    do {
        pid_t done = waitpid(child->pid, status, WNOHANG);
        if (done == child->pid) {
            child->pid = 0;
            return 1;
        }
        SleepMs(10);
    } while (NowMs() < deadline);
    return 0;
}

void KillChild(Child* child) {
    if (child->pid <= 0) return;
    kill(child->pid, SIGKILL);
    waitpid(child->pid, nullptr, 0);
    child->pid = 0;
}

std::string ChildErrors(const Child& child) {
    std::string text;
    FILE* file = fopen(child.errorFile.c_str(), "r");
    if (!file) return text;
    char buffer[512];
    size_t got = 0;
    while ((got = fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
    fclose(file);
    return text;
}

int RunProgram(const std::vector<std::string>& args, const std::string& displayName,
               const std::vector<std::string>& environment, int timeoutMs, std::string* errors) {
    Child child;
    if (!SpawnChild(args, displayName, environment, &child)) return -1;
    int status = 0;
    int ended = WaitChild(&child, timeoutMs, &status);
    if (!ended) KillChild(&child);
    if (errors) *errors = ChildErrors(child);
    if (!ended || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

int HasProgram(const std::string& name) { return RunProgram({"sh", "-c", "command -v " + name}, "", {}, 10000) == 0; }

namespace {

// A channel of the pixel scaled from its mask's width to 0..255.
uint32_t Channel(unsigned long pixel, unsigned long mask) {
    if (!mask) return 0;
    int shift = 0;
    while (!((mask >> shift) & 1)) ++shift;
    unsigned long maximum = mask >> shift;
    unsigned long value = (pixel & mask) >> shift;
    return static_cast<uint32_t>((value * 255 + maximum / 2) / maximum);
}

}  // namespace

int CaptureWindow(Display* display, Window window, int x, int y, int width, int height, Picture* picture) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes)) return 0;
    XImage* image = XGetImage(display, window, x, y, static_cast<unsigned>(width), static_cast<unsigned>(height),
                              AllPlanes, ZPixmap);
    if (!image) return 0;
    const Visual* visual = attributes.visual;
    picture->width = width;
    picture->height = height;
    picture->pixels.assign(static_cast<size_t>(width) * height, 0);
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            unsigned long pixel = XGetPixel(image, column, row);
            picture->pixels[static_cast<size_t>(row) * width + column] = Channel(pixel, visual->red_mask) << 16 |
                                                                         Channel(pixel, visual->green_mask) << 8 |
                                                                         Channel(pixel, visual->blue_mask);
        }
    }
    XDestroyImage(image);
    return 1;
}

int ReadPng(const std::string& path, Picture* picture) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return 0;
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> bytes(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, bytes.data(), 0, nullptr)) {
        png_image_free(&image);
        return 0;
    }
    picture->width = static_cast<int>(image.width);
    picture->height = static_cast<int>(image.height);
    picture->pixels.resize(static_cast<size_t>(picture->width) * picture->height);
    for (size_t i = 0; i < picture->pixels.size(); ++i) {
        picture->pixels[i] = uint32_t{bytes[3 * i]} << 16 | uint32_t{bytes[3 * i + 1]} << 8 | bytes[3 * i + 2];
    }
    return 1;
}

namespace {

Window FindNamed(Display* display, Window parent, const char* name) {
    Window root = 0, up = 0, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, parent, &root, &up, &children, &count)) return None;
    Window found = None;
    for (unsigned int i = 0; i < count && found == None; ++i) {
        char* title = nullptr;
        if (XFetchName(display, children[i], &title) && title) {
            if (strcmp(title, name) == 0) found = children[i];
            XFree(title);
        }
    }
    if (children) XFree(children);
    return found;
}

}  // namespace

Window WaitForWindowNamed(Display* display, const char* name, int timeoutMs) {
    int64_t deadline = NowMs() + timeoutMs;
    do {
        Window found = FindNamed(display, DefaultRootWindow(display), name);
        if (found != None) {
            XWindowAttributes attributes;
            if (XGetWindowAttributes(display, found, &attributes) && attributes.map_state == IsViewable) {
                return found;
            }
        }
        SleepMs(20);
    } while (NowMs() < deadline);
    return None;
}
