// The wallpaper package's files that describe it to the wallpaper programs,
// written from its one settings panel below: Lively Wallpaper's
// LivelyInfo.json and LivelyProperties.json, Wallpaper Engine's project.json,
// and wallpaper_panel.js, the keys the page (web/wallpaper.js) knows them by.
// Names, ranges and defaults come from the settings' and picture sizes'
// tables, so the panel offers exactly what the programs take.
//   wallpaper-files FOLDER
#include <cstdio>
#include <fstream>
#include <string>

#include "app/option_grammar.h"
#include "settings/picture_sizes.h"
#include "tools/text_forms.h"

namespace {

enum class Control { Setting, PictureSize, Seed };

// A control of the panel: one of the six settings (by its index), the
// picture size or the seed.
struct PanelRow {
    Control control;
    int setting;
};

// The panel, in the order both programs show it.
constexpr PanelRow kPanel[] = {
    {Control::Setting, CircleSpeed}, {Control::Setting, CircleWalkers},
    {Control::Setting, IsleSpeed},   {Control::Setting, IsleWalkers},
    {Control::Setting, RedrawSpeed}, {Control::Setting, SeatShuffle},
    {Control::PictureSize, 0},       {Control::Seed, 0},
};

// A wallpaper fills the screen, whatever its shape.
constexpr PictureSize kWallpaperPictureSize = kPictureCover;
constexpr char kPage[] = "wallpaper.html";
constexpr char kTitle[] = "Zarvo";
constexpr char kDescription[] =
    "A night courtyard around a central building, with crowds that circle it, figures that walk up the "
    "walkways and a seated crowd that stirs. Drawn on the spot, offline.";

std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) out += c == '"' || c == '\\' ? std::string("\\") + c : std::string(1, c);
    return out + "\"";
}

// Lively's key: the option's name, "circle-speed" as "circleSpeed".
std::string Key(const PanelRow& row) {
    if (row.control == Control::PictureSize) return "pictureSize";
    if (row.control == Control::Seed) return "seed";
    return CamelCase(SettingOptionOf(row.setting).name);
}

// Wallpaper Engine's key: Lively's in lower case, as its editor writes them.
std::string LowerKey(const PanelRow& row) {
    std::string key = Key(row);
    for (char& c : key) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return key;
}

// "circle speed: how fast..." as "Circle speed".
std::string Text(const PanelRow& row) {
    if (row.control == Control::PictureSize) return "Picture size";
    if (row.control == Control::Seed) return "Seed (empty: a new scene at each start)";
    const std::string meaning = SettingOptionOf(row.setting).meaning;
    std::string text = meaning.substr(0, meaning.find(':'));
    text[0] = static_cast<char>(text[0] - 'a' + 'A');
    return text;
}

std::string SliderFields(const PanelRow& row) {
    const Setting& s = kDefaultSettings.entries[row.setting];
    return "\"min\": " + std::to_string(s.min) + ", \"max\": " + std::to_string(s.max) +
           ", \"value\": " + std::to_string(s.value) + ", \"step\": 1";
}

std::string LivelyControl(const PanelRow& row) {
    std::string fields = "\"text\": " + Quoted(Text(row)) + ", ";
    if (row.control == Control::Setting) return fields + "\"type\": \"slider\", " + SliderFields(row);
    if (row.control == Control::Seed) return fields + "\"type\": \"textbox\", \"value\": \"\"";
    fields += "\"type\": \"dropdown\", \"value\": " + std::to_string(kWallpaperPictureSize) + ", \"items\": [";
    for (int i = 0; i < kPictureSizeCount; ++i) fields += (i > 0 ? ", " : "") + Quoted(kPictureSizes[i].label);
    return fields + "]";
}

std::string EngineControl(const PanelRow& row, int order) {
    std::string fields = "\"order\": " + std::to_string(order) + ", \"text\": " + Quoted(Text(row)) + ", ";
    if (row.control == Control::Setting) {
        return fields + "\"type\": \"slider\", " + SliderFields(row) + ", \"fraction\": false, \"editable\": true";
    }
    if (row.control == Control::Seed) return fields + "\"type\": \"textinput\", \"value\": \"\"";
    fields += "\"type\": \"combo\", \"value\": " + std::to_string(kWallpaperPictureSize) + ", \"options\": [";
    for (int i = 0; i < kPictureSizeCount; ++i) {
        fields += std::string(i > 0 ? ", " : "") + "{\"label\": " + Quoted(kPictureSizes[i].label) +
                  ", \"value\": " + std::to_string(i) + "}";
    }
    return fields + "]";
}

std::string LivelyProperties() {
    std::string out = "{\n";
    for (const PanelRow& row : kPanel) {
        out += std::string(&row == kPanel ? "" : ",\n") + "  " + Quoted(Key(row)) + ": {" + LivelyControl(row) + "}";
    }
    return out + "\n}\n";
}

std::string LivelyInfo() {
    return std::string("{\n  \"AppVersion\": \"1.0.0.0\",\n  \"Title\": ") + Quoted(kTitle) +
           ",\n  \"Desc\": " + Quoted(kDescription) + ",\n  \"Author\": \"Zarvo's authors\"" +
           ",\n  \"License\": \"MIT\",\n  \"Contact\": \"\",\n  \"Type\": 1,\n  \"FileName\": " + Quoted(kPage) +
           ",\n  \"Arguments\": null,\n  \"IsAbsolutePath\": false,\n  \"Thumbnail\": \"thumbnail.jpg\"" +
           ",\n  \"Preview\": \"preview.gif\"\n}\n";
}

std::string EngineProject() {
    std::string properties;
    int order = 100;
    for (const PanelRow& row : kPanel) {
        properties += std::string(&row == kPanel ? "" : ",\n") + "      " + Quoted(LowerKey(row)) + ": {" +
                      EngineControl(row, order++) + "}";
    }
    return std::string("{\n  \"title\": ") + Quoted(kTitle) + ",\n  \"description\": " + Quoted(kDescription) +
           ",\n  \"type\": \"web\",\n  \"file\": " + Quoted(kPage) +
           ",\n  \"preview\": \"preview.jpg\",\n  \"contentrating\": \"Everyone\",\n  \"tags\": [\"Abstract\"]" +
           ",\n  \"general\": {\n    \"properties\": {\n" + properties + "\n    }\n  }\n}\n";
}

// The keys in lower case, as wallpaper.js compares them.
std::string PanelScript() {
    std::string settings, other;
    for (const PanelRow& row : kPanel) {
        if (row.control == Control::Setting) settings += (settings.empty() ? "" : ", ") + Quoted(LowerKey(row));
        if (row.control == Control::PictureSize) other += "  pictureSize: " + Quoted(LowerKey(row)) + ",\n";
        if (row.control == Control::Seed) other += "  seed: " + Quoted(LowerKey(row)) + ",\n";
    }
    return "// Written by tools/wallpaper_files.cpp: the settings panel's keys.\nconst zarvoWallpaperPanel = {\n"
           "  settings: [" +
           settings + "],  // in the core's order\n" + other +
           "  pictureSizeCount: " + std::to_string(kPictureSizeCount) +
           ",\n  defaultPictureSize: " + Quoted(kPictureSizes[kWallpaperPictureSize].name) + ",\n};\n";
}

bool Write(const std::string& folder, const char* name, const std::string& text) {
    std::ofstream out(folder + "/" + name, std::ios::binary);
    out << text;
    out.close();
    if (!out) std::fprintf(stderr, "wallpaper-files: cannot write %s/%s\n", folder.c_str(), name);
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: wallpaper-files FOLDER\n");
        return 2;
    }
    const bool written = Write(argv[1], "LivelyInfo.json", LivelyInfo()) &&
                         Write(argv[1], "LivelyProperties.json", LivelyProperties()) &&
                         Write(argv[1], "project.json", EngineProject()) &&
                         Write(argv[1], "wallpaper_panel.js", PanelScript());
    return written ? 0 : 1;
}
