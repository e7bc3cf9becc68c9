// The --help text: modes, the six settings with their ranges and defaults.
#include "x11/zarvo.h"

namespace {

struct SettingHelp {
    const char* option;
    int index;
    const char* meaning;
};

const SettingHelp kSettingHelp[] = {
    {"--circle-speed", CircleSpeed, "speed of the crowd circling the building"},
    {"--circle-walkers", CircleWalkers, "number of circling walkers"},
    {"--walkway-speed", IsleSpeed, "speed of the walkway walkers"},
    {"--walkway-walkers", IsleWalkers, "number of walkway walkers"},
    {"--redraw-speed", RedrawSpeed, "frame rate: one frame every 601 - 5 x N ms"},
    {"--seat-shuffle", SeatShuffle, "how much of the seated crowd stirs"},
};

}  // namespace

void PrintHelp(FILE* out) {
    fprintf(out,
            "Usage: zarvo [options]\n"
            "A night courtyard with circling crowds, walkway walkers and a stirring\n"
            "seated crowd. Options take one or two dashes; values follow as the next\n"
            "argument or after '='.\n"
            "\n"
            "Modes (a window of its own when none is given):\n"
            "  --geometry WxH[+X+Y]  size of the window (default %dx%d)\n"
            "  --fullscreen          cover the screen; a key, a button or a mouse move\n"
            "                        of more than %u pixels ends it\n"
            "  --root                draw on the root window (XScreenSaver's window when\n"
            "                        XSCREENSAVER_WINDOW is set)\n"
            "  --window-id ID        draw into window ID (decimal or 0x hex)\n"
            "  --display NAME        the X display to use (default $DISPLAY)\n"
            "The window closes with q, Escape or its close button. With\n"
            "XSCREENSAVER_WINDOW set and no mode given, zarvo draws into that window.\n"
            "\n"
            "Settings (over the stored ones; values outside the range are clamped):\n",
            kDefaultWindowWidth, kDefaultWindowHeight, kMouseMoveThreshold);
    for (const SettingHelp& help : kSettingHelp) {
        const Setting& setting = kDefaultSettings.entries[help.index];
        char usage[32];
        snprintf(usage, sizeof usage, "%s N", help.option);
        fprintf(out, "  %-20s  %s\n  %-20s  %d to %d, default %d\n", usage, help.meaning, "",
                setting.min, setting.max, setting.value);
    }
    fprintf(out,
            "  --save                store the settings given (in $XDG_CONFIG_HOME/zarvo/Config)\n"
            "                        and exit without drawing\n"
            "\n"
            "Other options:\n"
            "  --no-shm              never use the MIT-SHM extension\n"
            "  --seed N              seed the scene's random generator with N (0 to 4294967295)\n"
            "  --frames N            stop the animation after N frames\n"
            "  --help                show this text\n");
}
