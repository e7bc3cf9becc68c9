// Fuzz target for the display settings file: any bytes as its contents. The
// file reads as the text parse of the same bytes (the defaults once it is
// larger than the program ever writes), always known values, and what is
// read is written back and reads back the same; one with a zero byte is
// never taken for text; over another base, that base stands in only where
// no picture size is named.
#include <cstdlib>
#include <cstring>

#include "platform/services.h"
#include "tests/fuzz/scratch_files.h"

namespace {

std::string contentsPath;
std::string writtenPath;

bool Same(const DisplaySettings& a, const DisplaySettings& b) {
    return a.pictureSize == b.pictureSize && a.monitors == b.monitors;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const std::string directory = MakeScratchFolder("fuzz-display-file");
    contentsPath = directory + "/Display";
    writtenPath = directory + "/written/Display";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    WriteWholeFile(contentsPath, data, size);
    const DisplaySettings read = ReadDisplaySettingsFrom(contentsPath.c_str());
    const DisplaySettings parsed = ParseDisplaySettings(reinterpret_cast<const char*>(data), size);
    if (!Same(read, size <= 4096 ? parsed : kDefaultDisplaySettings)) std::abort();
    if (read.pictureSize < 0 || read.pictureSize >= kPictureSizeCount) std::abort();
    if (read.monitors < 0 || read.monitors >= kMonitorChoiceCount) std::abort();
    // Over another base (--background's), the base's picture size stands in
    // exactly where the text names none it knows.
    int names = -1;
    const DisplaySettings over =
        ParseDisplaySettings(reinterpret_cast<const char*>(data), size, {kPictureCover, kMonitorsPrimary}, &names);
    if (names != 0 && names != 1) std::abort();
    if (over.pictureSize != (names ? parsed.pictureSize : kPictureCover)) std::abort();
    // A file with a zero byte is never taken for text.
    const char* problem = DisplaySettingsProblem(reinterpret_cast<const char*>(data), size);
    if (std::memchr(data, 0, size) != nullptr && problem == nullptr) std::abort();
    if (WriteDisplaySettingsTo(writtenPath.c_str(), read) != 1) std::abort();
    if (!Same(ReadDisplaySettingsFrom(writtenPath.c_str()), read)) std::abort();
    return 0;
}
