// The window's controls, built from the settings' own tables: the option
// table's names and meanings, the built-in ranges, the picture sizes' table.
#include "gtk/settings_window.h"

#include <cctype>

#include "app/option_grammar.h"
#include "gtk/idle_process.h"
#include "settings/picture_sizes.h"

namespace {

constexpr const char* kMonitorItems[kMonitorChoiceCount + 1] = {"Every monitor", "Primary only", nullptr};
constexpr int kDefaultIdleMinutes = 10;

// The letters the buttons and the other controls take for their mnemonics.
constexpr char kFixedMnemonics[] = "pdcsmota";

// "circle speed: how fast ..." gives "Circle speed" with a mnemonic no other
// control has: a word's first letter where one is free, else any letter.
std::string SettingLabel(const SettingOption& option, std::string* used) {
    std::string name(option.meaning, strcspn(option.meaning, ":,"));
    name[0] = static_cast<char>(toupper(static_cast<unsigned char>(name[0])));
    size_t pick = std::string::npos;
    for (int pass = 0; pass < 2 && pick == std::string::npos; ++pass) {
        for (size_t i = 0; i < name.size() && pick == std::string::npos; ++i) {
            const char letter = static_cast<char>(tolower(static_cast<unsigned char>(name[i])));
            const bool wordStart = i == 0 || name[i - 1] == ' ';
            if (isalpha(letter) && (pass == 1 || wordStart) && used->find(letter) == std::string::npos) pick = i;
        }
    }
    if (pick == std::string::npos) return name;
    used->push_back(static_cast<char>(tolower(static_cast<unsigned char>(name[pick]))));
    return name.insert(pick, "_");
}

std::string OneLine(const char* text) {
    std::string line(text);
    for (char& c : line) c = c == '\n' ? ' ' : c;
    return line;
}

void LabelWith(GtkWidget* control, GtkWidget* label) {
    gtk_accessible_update_relation(GTK_ACCESSIBLE(control), GTK_ACCESSIBLE_RELATION_LABELLED_BY, label, nullptr, -1);
    if (GTK_IS_LABEL(label)) gtk_label_set_mnemonic_widget(GTK_LABEL(label), control);
}

GtkWidget* RowLabel(const std::string& text) {
    GtkWidget* label = gtk_label_new_with_mnemonic(text.c_str());
    gtk_label_set_xalign(GTK_LABEL(label), 0);
    return label;
}

void SliderMoved(GtkRange* range, gpointer data) {
    SettingsWindow* w = static_cast<SettingsWindow*>(data);
    if (w->filling) return;
    const int index = GPOINTER_TO_INT(g_object_get_data(G_OBJECT(range), "setting"));
    SetFormValue(&w->form, index, lround(gtk_range_get_value(range)));
    ChangePreview(&w->preview, w->form.record, index);
}

void AddSlider(SettingsWindow* w, GtkGrid* grid, int row, std::string* mnemonics) {
    const SettingOption& option = kSettingOptions[row];
    const Setting& range = kDefaultSettings.entries[option.index];
    GtkWidget* label = RowLabel(SettingLabel(option, mnemonics));
    GtkWidget* scale = gtk_scale_new_with_range(GTK_ORIENTATION_HORIZONTAL, range.min, range.max, 1);
    gtk_scale_set_draw_value(GTK_SCALE(scale), TRUE);
    gtk_scale_set_value_pos(GTK_SCALE(scale), GTK_POS_RIGHT);
    gtk_scale_set_digits(GTK_SCALE(scale), 0);
    gtk_widget_set_hexpand(scale, TRUE);
    gtk_widget_set_size_request(scale, 220, -1);
    gtk_widget_set_tooltip_text(scale, OneLine(option.meaning).c_str());
    LabelWith(scale, label);
    g_object_set_data(G_OBJECT(scale), "setting", GINT_TO_POINTER(option.index));
    g_signal_connect(scale, "value-changed", G_CALLBACK(SliderMoved), w);
    w->sliders[option.index] = GTK_RANGE(scale);
    gtk_grid_attach(grid, label, 0, row, 1, 1);
    gtk_grid_attach(grid, scale, 1, row, 1, 1);
}

void DisplayChosen(GObject*, GParamSpec*, gpointer data) {
    SettingsWindow* w = static_cast<SettingsWindow*>(data);
    if (w->filling) return;
    w->form.display.pictureSize = static_cast<PictureSize>(gtk_drop_down_get_selected(w->pictureSize));
    w->form.display.monitors = static_cast<MonitorChoice>(gtk_drop_down_get_selected(w->monitors));
}

GtkDropDown* AddChoice(SettingsWindow* w, GtkGrid* grid, int row, const char* text, const char* const* items) {
    GtkWidget* label = RowLabel(text);
    GtkWidget* list = gtk_drop_down_new_from_strings(items);
    LabelWith(list, label);
    g_signal_connect(list, "notify::selected", G_CALLBACK(DisplayChosen), w);
    gtk_grid_attach(grid, label, 0, row, 1, 1);
    gtk_grid_attach(grid, list, 1, row, 1, 1);
    return GTK_DROP_DOWN(list);
}

void AddDisplayChoices(SettingsWindow* w, GtkGrid* grid, int row) {
    const char* sizes[kPictureSizeCount + 1] = {};
    for (int i = 0; i < kPictureSizeCount; ++i) sizes[i] = kPictureSizes[i].label;
    w->pictureSize = AddChoice(w, grid, row, "Pic_ture size", sizes);
    w->monitors = AddChoice(w, grid, row + 1, "_Monitors", kMonitorItems);
}

// The controls show the form's values.
void FillControls(SettingsWindow* w) {
    w->filling = 1;
    for (int i = 0; i < kSettingCount; ++i) gtk_range_set_value(w->sliders[i], w->form.record.entries[i].value);
    gtk_drop_down_set_selected(w->pictureSize, static_cast<guint>(w->form.display.pictureSize));
    gtk_drop_down_set_selected(w->monitors, static_cast<guint>(w->form.display.monitors));
    w->filling = 0;
}

int IdleSeconds(const SettingsWindow* w) { return gtk_spin_button_get_value_as_int(w->idleMinutes) * 60; }

void ShowIdleLine(GtkSpinButton*, gpointer data) {
    SettingsWindow* w = static_cast<SettingsWindow*>(data);
    if (w->idleLine != nullptr) gtk_label_set_text(w->idleLine, IdlePasteLine(w->desktop, IdleSeconds(w)).c_str());
}

void CopyIdleLine(GtkButton* button, gpointer data) {
    SettingsWindow* w = static_cast<SettingsWindow*>(data);
    gdk_clipboard_set_text(gtk_widget_get_clipboard(GTK_WIDGET(button)), gtk_label_get_text(w->idleLine));
}

GtkWidget* WrappedLine(const char* text) {
    GtkWidget* label = gtk_label_new(text);
    gtk_label_set_wrap(GTK_LABEL(label), TRUE);
    gtk_label_set_xalign(GTK_LABEL(label), 0);
    gtk_label_set_selectable(GTK_LABEL(label), TRUE);
    return label;
}

GtkWidget* IdleExplanation(const IdleDesktop& desktop) {
    if (desktop.route == kIdleUnavailable) {
        return WrappedLine(
            "GNOME tells no other program when the session is idle, so Zarvo cannot cover the "
            "screen there by itself.");
    }
    if (desktop.route == kIdleX11) {
        return WrappedLine(
            "On X11, XScreenSaver or the desktop's own screen saver starts Zarvo: choose it in "
            "their list.");
    }
    if (desktop.route == kIdlePasteLine) return WrappedLine("Add this line to the compositor's configuration:");
    return nullptr;
}

GtkWidget* PasteLineRow(SettingsWindow* w) {
    GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 6);
    GtkWidget* line = gtk_label_new("");
    gtk_label_set_selectable(GTK_LABEL(line), TRUE);
    gtk_widget_set_hexpand(line, TRUE);
    gtk_label_set_xalign(GTK_LABEL(line), 0);
    w->idleLine = GTK_LABEL(line);
    GtkWidget* copy = gtk_button_new_with_mnemonic("C_opy");
    gtk_accessible_update_property(GTK_ACCESSIBLE(copy), GTK_ACCESSIBLE_PROPERTY_DESCRIPTION,
                                   "Copies the line to the clipboard", -1);
    g_signal_connect(copy, "clicked", G_CALLBACK(CopyIdleLine), w);
    gtk_box_append(GTK_BOX(row), line);
    gtk_box_append(GTK_BOX(row), copy);
    return row;
}

// Where the line is pasted, nothing here turns the idle start on or off:
// a plain label stands in for the check button.
GtkWidget* IdleMinutesRow(SettingsWindow* w, int storedSeconds) {
    const bool pasted = w->desktop.route == kIdlePasteLine;
    GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 6);
    GtkWidget* on =
        pasted ? gtk_label_new_with_mnemonic("Start _after") : gtk_check_button_new_with_mnemonic("Start _after");
    GtkWidget* minutes = gtk_spin_button_new_with_range(1, kMaxIdleMinutes, 1);
    GtkWidget* unit = gtk_label_new("minutes of inactivity");
    gtk_spin_button_set_value(GTK_SPIN_BUTTON(minutes), storedSeconds > 0 ? storedSeconds / 60 : kDefaultIdleMinutes);
    if (!pasted) gtk_check_button_set_active(GTK_CHECK_BUTTON(on), storedSeconds > 0);
    if (pasted) gtk_label_set_mnemonic_widget(GTK_LABEL(on), minutes);
    gtk_accessible_update_relation(GTK_ACCESSIBLE(minutes), GTK_ACCESSIBLE_RELATION_LABELLED_BY, on, unit, nullptr, -1);
    w->idleOn = pasted ? nullptr : GTK_CHECK_BUTTON(on);
    w->idleMinutes = GTK_SPIN_BUTTON(minutes);
    g_signal_connect(minutes, "value-changed", G_CALLBACK(ShowIdleLine), w);
    for (GtkWidget* part : {on, minutes, unit}) gtk_box_append(GTK_BOX(row), part);
    gtk_widget_set_sensitive(row, w->desktop.route == kIdleAutostart || pasted);
    return row;
}

GtkWidget* IdleSection(SettingsWindow* w) {
    GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 6);
    GtkWidget* heading = gtk_label_new("Idle start");
    gtk_label_set_xalign(GTK_LABEL(heading), 0);
    gtk_widget_add_css_class(heading, "heading");
    gtk_box_append(GTK_BOX(box), heading);
    if (w->desktop.route == kIdleX11) {
        gtk_box_append(GTK_BOX(box), IdleExplanation(w->desktop));
        return box;
    }
    gtk_box_append(GTK_BOX(box), IdleMinutesRow(w, StoredAutostartSeconds()));
    if (GtkWidget* explanation = IdleExplanation(w->desktop)) gtk_box_append(GTK_BOX(box), explanation);
    if (w->desktop.route == kIdlePasteLine) gtk_box_append(GTK_BOX(box), PasteLineRow(w));
    ShowIdleLine(w->idleMinutes, w);
    return box;
}

// Where the desktop runs autostart entries, Save stores the idle start and
// puts the watcher in step with it.
int SaveIdleStart(SettingsWindow* w, std::string* error) {
    if (w->desktop.route != kIdleAutostart) return 1;
    const int seconds = gtk_check_button_get_active(w->idleOn) ? IdleSeconds(w) : 0;
    if (!StoreAutostart(seconds, error)) return 0;
    EndSessionIdleWatcher();
    if (seconds > 0 && !StartIdleWatcher(w->zarvo, seconds)) return *error = "cannot start " + w->zarvo, 0;
    return 1;
}

void Save(GtkButton*, gpointer data) {
    SettingsWindow* w = static_cast<SettingsWindow*>(data);
    std::string error;
    if (SaveSettingsForm(w->form) != 0) {
        gtk_label_set_text(w->status, "The settings could not be stored: the terminal's messages say why.");
    } else if (!SaveIdleStart(w, &error)) {
        gtk_label_set_text(w->status, ("The idle start could not be stored: " + error).c_str());
    } else {
        gtk_window_close(w->window);
    }
}

void Cancel(GtkButton*, gpointer data) { gtk_window_close(static_cast<SettingsWindow*>(data)->window); }

void Defaults(GtkButton*, gpointer data) {
    SettingsWindow* w = static_cast<SettingsWindow*>(data);
    ResetSettingsForm(&w->form);
    FillControls(w);
    StartPreview(&w->preview, w->form.record);
}

void FullScreen(GtkButton*, gpointer data) {
    SettingsWindow* w = static_cast<SettingsWindow*>(data);
    const std::vector<std::string> command = FullScreenCommand(w->form, w->zarvo);
    std::vector<char*> argv;
    for (const std::string& part : command) argv.push_back(const_cast<char*>(part.c_str()));
    argv.push_back(nullptr);
    GError* error = nullptr;
    if (!g_spawn_async(nullptr, argv.data(), nullptr, G_SPAWN_SEARCH_PATH, nullptr, nullptr, nullptr, &error)) {
        gtk_label_set_text(w->status, error->message);
        g_error_free(error);
    }
}

GtkWidget* Buttons(SettingsWindow* w) {
    GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 6);
    const struct {
        const char* text;
        GCallback clicked;
    } buttons[] = {{"_Preview", G_CALLBACK(FullScreen)},
                   {"_Defaults", G_CALLBACK(Defaults)},
                   {"_Cancel", G_CALLBACK(Cancel)},
                   {"_Save", G_CALLBACK(Save)}};
    for (const auto& button : buttons) {
        GtkWidget* widget = gtk_button_new_with_mnemonic(button.text);
        g_signal_connect(widget, "clicked", button.clicked, w);
        gtk_box_append(GTK_BOX(row), widget);
    }
    // Enter saves, wherever the focus is, as a dialog's OK does.
    gtk_window_set_default_widget(w->window, gtk_widget_get_last_child(row));
    gtk_widget_set_tooltip_text(gtk_widget_get_first_child(row),
                                "The saver full screen with these values, until the first input");
    gtk_widget_set_halign(row, GTK_ALIGN_END);
    return row;
}

void PreviewRescaled(GObject*, GParamSpec*, gpointer data) {
    SettingsWindow* w = static_cast<SettingsWindow*>(data);
    StartPreview(&w->preview, w->form.record);
}

GtkWidget* PreviewPicture(SettingsWindow* w) {
    GtkWidget* picture = gtk_picture_new();
    gtk_widget_set_size_request(picture, w->preview.width, w->preview.height);
    gtk_widget_set_halign(picture, GTK_ALIGN_CENTER);
    gtk_widget_set_valign(picture, GTK_ALIGN_START);
    gtk_accessible_update_property(GTK_ACCESSIBLE(picture), GTK_ACCESSIBLE_PROPERTY_LABEL, "Preview of the scene", -1);
    g_signal_connect(picture, "notify::scale-factor", G_CALLBACK(PreviewRescaled), w);
    w->preview.picture = GTK_PICTURE(picture);
    return picture;
}

GtkWidget* SettingsGrid(SettingsWindow* w) {
    GtkWidget* grid = gtk_grid_new();
    gtk_grid_set_row_spacing(GTK_GRID(grid), 6);
    gtk_grid_set_column_spacing(GTK_GRID(grid), 12);
    std::string mnemonics = kFixedMnemonics;
    for (int row = 0; row < kSettingCount; ++row) AddSlider(w, GTK_GRID(grid), row, &mnemonics);
    AddDisplayChoices(w, GTK_GRID(grid), kSettingCount);
    return grid;
}

GtkWidget* Content(SettingsWindow* w) {
    GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 12);
    for (GtkWidget* edge : {box}) {
        gtk_widget_set_margin_top(edge, 12);
        gtk_widget_set_margin_bottom(edge, 12);
        gtk_widget_set_margin_start(edge, 12);
        gtk_widget_set_margin_end(edge, 12);
    }
    if (!w->form.note.empty()) gtk_box_append(GTK_BOX(box), WrappedLine(w->form.note.c_str()));
    GtkWidget* top = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 18);
    gtk_box_append(GTK_BOX(top), PreviewPicture(w));
    gtk_box_append(GTK_BOX(top), SettingsGrid(w));
    gtk_box_append(GTK_BOX(box), top);
    gtk_box_append(GTK_BOX(box), IdleSection(w));
    w->status = GTK_LABEL(WrappedLine(""));
    gtk_box_append(GTK_BOX(box), GTK_WIDGET(w->status));
    gtk_box_append(GTK_BOX(box), Buttons(w));
    return box;
}

void Closed(GtkWidget*, gpointer data) {
    SettingsWindow* w = static_cast<SettingsWindow*>(data);
    StopPreview(&w->preview);
    delete w;
}

void CloseOnEscape(GtkWindow* window) {
    GtkEventController* keys = gtk_shortcut_controller_new();
    gtk_shortcut_controller_add_shortcut(GTK_SHORTCUT_CONTROLLER(keys),
                                         gtk_shortcut_new(gtk_keyval_trigger_new(GDK_KEY_Escape, GdkModifierType(0)),
                                                          gtk_named_action_new("window.close")));
    gtk_widget_add_controller(GTK_WIDGET(window), keys);
}

}  // namespace

SettingsWindow* OpenSettingsWindow(const SettingsForm& form, const Preview& preview, const std::string& zarvo) {
    SettingsWindow* w = new SettingsWindow{};
    w->form = form;
    w->preview = preview;
    w->zarvo = zarvo;
    w->desktop = IdleDesktopOf(getenv("XDG_CURRENT_DESKTOP"), getenv("WAYLAND_DISPLAY") != nullptr);
    w->window = GTK_WINDOW(gtk_window_new());
    gtk_window_set_title(w->window, "Zarvo Settings");
    gtk_window_set_icon_name(w->window, "zarvo");
    gtk_window_set_child(w->window, Content(w));
    CloseOnEscape(w->window);
    FillControls(w);
    g_signal_connect(w->window, "destroy", G_CALLBACK(Closed), w);
    gtk_window_set_focus(w->window, GTK_WIDGET(w->sliders[kSettingOptions[0].index]));
    gtk_window_present(w->window);
    StartPreview(&w->preview, w->form.record);
    return w;
}
