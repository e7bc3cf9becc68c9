// The --help text: modes, and the six settings from the option table with
// their ranges and defaults.
#include "platform/platform.h"
#include "x11/zarvo.h"

void PrintHelp(FILE* out) {
    char path[4096] = "none: set HOME or XDG_CONFIG_HOME";
    char displayPath[4096] = "none";
    SettingsFilePath(path, sizeof path);
    DisplaySettingsFilePath(displayPath, sizeof displayPath);
    fprintf(out,
            "Usage: zarvo [options]\n"
            "A night courtyard with circling crowds, walkway walkers and a stirring\n"
            "seated crowd. Options take one or two dashes; values follow as the next\n"
            "argument or after '='.\n"
            "\n"
            "Modes (a window of its own when none is given):\n"
            "  --geometry WxH[+X+Y]  size of the window (default %dx%d)\n"
            "  --fullscreen          cover every monitor; a key, a button or a mouse move\n"
            "                        of more than %u pixels ends it\n"
            "  --root                draw on the root window: XScreenSaver's window when\n"
            "                        XSCREENSAVER_WINDOW is set, else a virtual root\n"
            "  --window-id ID        draw into window ID (decimal or 0x hex); wins over\n"
            "                        --root and XSCREENSAVER_WINDOW\n"
            "  --display NAME        the X display to use (default $DISPLAY)\n"
            "The window closes with q, Escape or its close button. With\n"
            "XSCREENSAVER_WINDOW set and no mode given, zarvo draws into that window.\n"
            "\n"
            "Settings (values outside the range are clamped). A run of zarvo's own uses\n"
            "the stored settings under these; a run for XScreenSaver (XSCREENSAVER_WINDOW,\n"
            "--root or --window-id) uses the defaults under them.\n",
            kDefaultWindowWidth, kDefaultWindowHeight, kMouseMoveThreshold);
    for (const SettingOption& option : kSettingOptions) {
        const Setting& setting = kDefaultSettings.entries[option.index];
        char usage[32];
        snprintf(usage, sizeof usage, "--%s N", option.name);
        fprintf(out, "  %-20s  %s\n  %-20s  %d to %d, default %d\n", usage, option.meaning, "",
                setting.min, setting.max, setting.value);
    }
    fprintf(out,
            "  --picture-size NAME   how large the picture is shown: centred (one screen\n"
            "                        pixel per picture pixel, the default), whole-multiples\n"
            "                        (the largest whole multiple that fits, sharp square\n"
            "                        blocks) or fill (the largest size of the same shape);\n"
            "                        a small preview window is always centred\n"
            "  --monitors NAME       with --fullscreen: all (the picture on every monitor,\n"
            "                        the default) or primary (the others stay black)\n"
            "\n"
            "Stored settings:\n"
            "  --save                store the settings given over the stored ones, say what\n"
            "                        was stored, and exit without drawing\n"
            "  --show-settings       print the stored settings, their ranges and files\n"
            "  --reset-settings      remove the stored settings\n"
            "  settings file:        %s\n"
            "  display settings:     %s\n"
            "\n"
            "Other options:\n"
            "  --no-shm              never use the MIT-SHM extension\n"
            "  --seed N              seed the random generator with N (0 to 4294967295)\n"
            "  --frames N            stop the animation after N frames\n"
            "  --help                show this text\n",
            path, displayPath);
}
