// A child process for the fault guard test: runs a body under RunGuarded that
// returns or faults.
#include <cstring>

#include "windows/windows_host.h"

namespace {

volatile int* volatile nowhere = nullptr;

int Clean(HINSTANCE, const char*) { return 3; }

int Faults(HINSTANCE, const char*) {
    *nowhere = 1;  // an access violation that no frame handles
    return 5;
}

}  // namespace

int main(int argc, char** argv) {
    const char* mode = argc > 1 ? argv[1] : "clean";
    if (std::strcmp(mode, "fault") == 0) return RunGuarded(Faults, nullptr, "");
    return RunGuarded(Clean, nullptr, "");
}
