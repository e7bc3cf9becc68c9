// zarvo-settings: the settings of zarvo in a window of the desktop's own
// toolkit, with a live preview, stored as `zarvo --save` stores them.
#include <gtk/gtk.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/option_grammar.h"
#include "gtk/settings_window.h"

namespace {

constexpr int kPreviewWidth = 320;
constexpr int kPreviewHeight = 240;

struct SettingsOptions {
    Preview preview;
    std::string zarvo;
    int help;
    int version;
};

void PrintUsage() {
    printf(
        "Usage: zarvo-settings [OPTION]...\n"
        "Changes zarvo's settings in a window with a live preview; Save stores them\n"
        "as zarvo --save does.\n\n"
        "  --seed N         the preview's seed (0 to 4294967295); by default the clock's\n"
        "  --still-after N  the preview stands still after N frames\n"
        "  --zarvo PROGRAM  the zarvo that Preview and the idle start run\n"
        "                   (by default the one beside zarvo-settings, else zarvo)\n"
        "  --help, --version\n");
}

// The zarvo installed beside this program, else the one on the PATH.
std::string NeighbourZarvo() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return "zarvo";
    path[length] = '\0';
    std::string beside(path);
    beside = beside.substr(0, beside.rfind('/') + 1) + "zarvo";
    return access(beside.c_str(), X_OK) == 0 ? beside : "zarvo";
}

int ParseValue(const char* option, const char* text, long long high, long long* value) {
    char error[256];
    if (text != nullptr && ParseNumberOption(option, text, 0, high, value, error, sizeof error)) return 1;
    fprintf(stderr, "zarvo-settings: %s\n", text == nullptr ? "an option lacks its value" : error);
    return 0;
}

int ParseArgument(int argc, char** argv, int* i, SettingsOptions* options) {
    const char* name = argv[*i] + strspn(argv[*i], "-");
    const char* value = *i + 1 < argc ? argv[*i + 1] : nullptr;
    long long number = 0;
    if (strcmp(name, "help") == 0) return options->help = 1;
    if (strcmp(name, "version") == 0) return options->version = 1;
    ++*i;
    if (strcmp(name, "zarvo") == 0 && value != nullptr) return options->zarvo = value, 1;
    if (strcmp(name, "seed") == 0 && ParseValue("seed", value, UINT32_MAX, &number)) {
        options->preview.seed = static_cast<uint32_t>(number);
        return options->preview.seedGiven = 1;
    }
    if (strcmp(name, "still-after") == 0 && ParseValue("still-after", value, 1000000, &number)) {
        return options->preview.stillAfter = static_cast<long>(number), 1;
    }
    if (strcmp(name, "seed") != 0 && strcmp(name, "still-after") != 0) {
        fprintf(stderr, "zarvo-settings: unknown option '%s' (see --help)\n", argv[*i - 1]);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    SettingsOptions options{};
    options.preview.width = kPreviewWidth;
    options.preview.height = kPreviewHeight;
    options.preview.stillAfter = -1;
    options.zarvo = NeighbourZarvo();
    for (int i = 1; i < argc; ++i) {
        if (!ParseArgument(argc, argv, &i, &options)) return 2;
    }
    if (options.help) return PrintUsage(), 0;
    if (options.version) return printf("zarvo-settings %s\n", kZarvoVersion), 0;
    if (!gtk_init_check()) {
        fprintf(stderr,
                "zarvo-settings: no display to open the window on (WAYLAND_DISPLAY and DISPLAY name none "
                "that answers)\n");
        return 1;
    }
    const SettingsForm form = LoadSettingsForm();
    if (!form.note.empty()) fprintf(stderr, "zarvo-settings: %s\n", form.note.c_str());
    OpenSettingsWindow(form, options.preview, options.zarvo);
    while (g_list_model_get_n_items(gtk_window_get_toplevels()) > 0) g_main_context_iteration(nullptr, TRUE);
    return 0;
}
