// Fuzz target for the command line: any bytes as the whole command line,
// through the program-path removal, the switch grammar and the window handle.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "windows/windows_host.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<char> line(data, data + size);
    line.push_back(0);  // the platform hands a terminated string
    const char* begin = line.data();
    const char* end = begin + std::strlen(begin);
    const char* tail = CommandLineTail(begin);
    if (tail < begin || tail > end) std::abort();
    CommandLineRequest request = ParseSaverCommandLine(tail);
    if (request.rest < tail || request.rest > end) std::abort();
    ParseWindowHandle(request.rest);
    ParseWindowHandle(tail);
    return 0;
}
