// picturegen OUTPUT_DIR [--overlay]: paints Zarvo's pictures and icon and
// writes them (BMP, ICO and PNG previews) into OUTPUT_DIR.
#include <cstdio>
#include <cstring>

#include "picturegen.h"
#include "app/png_file.h"

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3 || (argc == 3 && std::strcmp(argv[2], "--overlay") != 0)) {
        std::fprintf(stderr, "usage: picturegen OUTPUT_DIR [--overlay]\n");
        return 2;
    }
    const std::string directory = argv[1];
    for (const GeneratedFile& file : GenerateAll(argc == 3)) {
        if (file.bytes.empty() || !WriteFileBytes((directory + "/" + file.name).c_str(), file.bytes)) {
            std::fprintf(stderr, "picturegen: cannot write %s/%s\n", directory.c_str(), file.name.c_str());
            return 1;
        }
    }
    return 0;
}
