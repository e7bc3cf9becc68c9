// The settings window's values, loaded and stored through the stored-settings
// code that zarvo's own --save uses.
#include "gtk/settings_form.h"

#include "app/option_grammar.h"
#include "app/options.h"
#include "app/stored_settings.h"

namespace {

void AddNote(std::string* note, const char* line) {
    if (line[0] == '\0') return;
    if (!note->empty()) *note += "; ";
    *note += line;
}

}  // namespace

SettingsForm LoadSettingsForm() {
    SettingsForm form{kDefaultSettings, kDefaultDisplaySettings, kDefaultDisplaySettings.pictureSize, 0, {}};
    char record[4300] = "", display[4300] = "";
    NoteStoredSettings(&form.record, record, sizeof record);
    form.display = NoteStoredDisplaySettings(kDefaultDisplaySettings, &form.storesPictureSize, display, sizeof display);
    AddNote(&form.note, record);
    AddNote(&form.note, display);
    if (!form.note.empty()) form.note[0] = static_cast<char>(form.note[0] - 'a' + 'A');
    form.loadedPictureSize = form.display.pictureSize;
    return form;
}

void ResetSettingsForm(SettingsForm* form) {
    for (int i = 0; i < kSettingCount; ++i) form->record.entries[i].value = kDefaultSettings.entries[i].value;
    form->display = kDefaultDisplaySettings;
}

void SetFormValue(SettingsForm* form, int index, long value) {
    if (index < 0 || index >= kSettingCount) return;
    const Setting& range = kDefaultSettings.entries[index];
    form->record.entries[index].value = static_cast<int32_t>(value < range.min   ? range.min
                                                             : value > range.max ? range.max
                                                                                 : value);
}

int SaveSettingsForm(const SettingsForm& form) {
    ZarvoOptions options{};
    options.pictureSizeGiven = form.display.pictureSize != form.loadedPictureSize;
    return SaveSettings(&options, form.record, form.display, form.storesPictureSize);
}

std::vector<std::string> FullScreenCommand(const SettingsForm& form, const std::string& zarvo) {
    std::vector<std::string> command = {zarvo, "--fullscreen"};
    for (int i = 0; i < kSettingCount; ++i) {
        command.push_back(std::string("--") + SettingOptionOf(i).name);
        command.push_back(std::to_string(form.record.entries[i].value));
    }
    command.insert(command.end(), {"--picture-size", PictureSizeName(form.display.pictureSize), "--monitors",
                                   MonitorChoiceName(form.display.monitors)});
    return command;
}
