// The --help text: written from the option table, with the settings' files.
#include "platform/platform.h"
#include "x11/zarvo.h"

void PrintHelp(FILE* out) {
    fprintf(out,
            "Usage: zarvo [options]\n"
            "A night courtyard with circling crowds, walkway walkers and a stirring\n"
            "seated crowd. Options take one or two dashes; values follow as the next\n"
            "argument or after '='.\n"
            "\n");
    PrintOptionHelp(out, kZarvoOptions, kZarvoOptionCount);
    char path[4096] = "none: set HOME or XDG_CONFIG_HOME";
    char displayPath[4096] = "none";
    SettingsFilePath(path, sizeof path);
    DisplaySettingsFilePath(displayPath, sizeof displayPath);
    fprintf(out, "\nThe settings are stored in %s,\nthe picture size and monitors in %s.\n", path,
            displayPath);
}
