// The man page, XScreenSaver's zarvo.xml and the README's tables of settings
// and picture sizes against the tables that write --help: every option in
// the synopsis and described, every setting's range and default, every
// picture size, the XML's sliders and choices, and the README's row for each
// setting and each picture size. The man page and zarvo.xml are read as the
// build wrote them from their templates.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "app/options.h"
#include "settings/picture_sizes.h"

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}
std::string ReadSource(const std::string& name) { return ReadFile(std::string(ZARVO_SOURCE_DIR) + "/" + name); }
std::string ReadBuilt(const std::string& name) { return ReadFile(std::string(ZARVO_BINARY_DIR) + "/" + name); }

// The man page's form of an option: every '-' escaped.
std::string Roff(const std::string& text) {
    std::string out;
    for (char c : text) out += c == '-' ? std::string("\\-") : std::string(1, c);
    return out;
}

// The section of `text` from `start` to the next ".SH".
std::string Section(const std::string& text, const std::string& start) {
    const size_t at = text.find(start);
    if (at == std::string::npos) return "";
    return text.substr(at, text.find("\n.SH", at + 1) - at);
}

// Every named, listed option of zarvo: the table's and the six settings.
std::set<std::string> OptionNames() {
    std::set<std::string> names;
    for (size_t i = 0; i < kZarvoOptionCount; ++i) {
        if (kZarvoOptions[i].name != nullptr && kZarvoOptions[i].help != nullptr) names.insert(kZarvoOptions[i].name);
    }
    for (const SettingOption& setting : kSettingOptions) names.insert(setting.name);
    return names;
}

TEST(Manual, ManPageListsEveryOptionAndEverySettingsRange) {
    const std::string page = ReadBuilt("linux/man/zarvo.6");
    ASSERT_FALSE(page.empty());
    EXPECT_NE(page.find(std::string("\"Zarvo ") + kZarvoVersion + "\""), std::string::npos) << "version";
    const std::string synopsis = Section(page, ".SH SYNOPSIS");
    const std::set<std::string> names = OptionNames();
    for (const std::string& name : names) {
        const bool inSynopsis = synopsis.find("[" + Roff("--" + name) + "]") != std::string::npos ||
                                synopsis.find("[" + Roff("--" + name) + " ") != std::string::npos;
        EXPECT_TRUE(inSynopsis) << "--" << name << " missing from the synopsis";
        const bool described = page.find(".B " + Roff("--" + name) + "\n") != std::string::npos ||
                               page.find(".BI " + Roff("--" + name) + " ") != std::string::npos;
        EXPECT_TRUE(described) << "--" << name << " is not described";
    }
    // Nothing in the synopsis that the program does not take.
    for (size_t at = synopsis.find("[\\-\\-"); at != std::string::npos; at = synopsis.find("[\\-\\-", at + 1)) {
        std::string name;
        for (size_t i = at + 5; i < synopsis.size() && synopsis[i] != ' ' && synopsis[i] != ']'; ++i) {
            if (synopsis[i] != '\\') name += synopsis[i];
        }
        EXPECT_TRUE(names.count(name)) << "the synopsis lists --" << name << ", which zarvo does not take";
    }
    EXPECT_NE(synopsis.find("[+\\fIX\\fP+\\fIY\\fP]"), std::string::npos) << "the geometry's position";
    for (const SettingOption& setting : kSettingOptions) {
        const Setting& s = kDefaultSettings.entries[setting.index];
        const size_t at = page.find(".BI " + Roff(std::string("--") + setting.name) + " ");
        ASSERT_NE(at, std::string::npos) << setting.name;
        const std::string entry = page.substr(at, page.find("\n.TP", at) - at);
        std::string flat;
        for (char c : entry) flat += c == '\n' ? ' ' : c;
        const std::string wanted =
            std::to_string(s.min) + " to " + std::to_string(s.max) + ", default " + std::to_string(s.value) + ".";
        EXPECT_NE(flat.find(wanted), std::string::npos) << "expected \"" << wanted << "\" for " << setting.name;
    }
    for (const PictureSizeEntry& size : kPictureSizes) {
        EXPECT_NE(page.find(".B " + Roff(size.name) + "\n" + Roff(size.help) + "."), std::string::npos) << size.name;
    }
}

// XScreenSaver's sliders name each setting as the options do, with the
// same range and default; its choices are the picture sizes' names.
TEST(Manual, XScreenSaverConfigMatchesTheOptions) {
    const std::string xml = ReadBuilt("x11/zarvo.xml");
    ASSERT_FALSE(xml.empty());
    for (const SettingOption& setting : kSettingOptions) {
        const Setting& s = kDefaultSettings.entries[setting.index];
        const size_t at = xml.find(std::string("arg=\"--") + setting.name + " %\"");
        ASSERT_NE(at, std::string::npos) << setting.name << " has no slider";
        const std::string element = xml.substr(at, xml.find("/>", at) - at);
        std::string label = setting.name;
        label[0] = static_cast<char>(label[0] - 'a' + 'A');
        label[label.find('-')] = ' ';
        EXPECT_NE(element.find("_label=\"" + label + "\""), std::string::npos) << setting.name << ": " << element;
        const std::string range = "low=\"" + std::to_string(s.min) + "\" high=\"" + std::to_string(s.max) +
                                  "\" default=\"" + std::to_string(s.value) + "\"";
        EXPECT_NE(element.find(range), std::string::npos) << setting.name << ": " << element;
    }
    for (int size = 0; size < kPictureSizeCount; ++size) {
        const std::string arg = std::string("arg-set=\"--picture-size ") + PictureSizeName(PictureSize(size)) + "\"";
        EXPECT_NE(xml.find(arg), std::string::npos) << arg;
    }
    // XScreenSaver gives each monitor a window and a zarvo of its own, where
    // --monitors has nothing to act on.
    EXPECT_EQ(xml.find("--monitors"), std::string::npos) << "zarvo.xml offers --monitors";
}

// The rows of README's table headed by `heading`, each after a "\n", having
// checked that there are `count` of them.
std::string ReadmeTable(const std::string& heading, size_t count) {
    const std::string readme = ReadSource("README.md");
    const size_t table = readme.find(heading);
    EXPECT_NE(table, std::string::npos) << "README.md has no table headed " << heading;
    if (table == std::string::npos) return "";
    const std::string rows = readme.substr(table, readme.find("\n\n", table) - table);
    size_t found = 0;
    for (size_t at = rows.find("\n| "); at != std::string::npos; at = rows.find("\n| ", at + 1)) ++found;
    EXPECT_EQ(found, count) << "rows in README's table:\n" << rows;
    return rows;
}

// The row of `rows` that starts with `start` (after its "\n"), without its
// line break; empty, with a failure, when there is none.
std::string RowStarting(const std::string& rows, const std::string& start) {
    const size_t at = rows.find("\n" + start);
    EXPECT_NE(at, std::string::npos) << "no row starting \"" << start << "\" in:\n" << rows;
    return at == std::string::npos ? "" : rows.substr(at + 1, rows.find('\n', at + 1) - at - 1);
}

// README's table of the settings' names: one row a setting, named as its
// option says, with the built-in range and default, and no other rows.
TEST(Manual, ReadmeSettingsTableMatchesTheOptions) {
    const std::string rows = ReadmeTable("| setting (option) |", kSettingCount);
    for (const SettingOption& setting : kSettingOptions) {
        const Setting& s = kDefaultSettings.entries[setting.index];
        std::string name = setting.name;
        name[name.find('-')] = ' ';
        const std::string row = RowStarting(rows, "| " + name + " (`--" + setting.name + "`) |");
        const std::string range = "| " + std::to_string(s.min) + " to " + std::to_string(s.max) + ", default " +
                                  std::to_string(s.value) + " |";
        EXPECT_NE(row.find(range), std::string::npos) << "expected \"" << range << "\" in " << row;
    }
}

// README's table of the picture sizes: one row a size, its name (and old
// name) as the options take it, its label in the Windows dialog and its
// stored number, and no other rows.
TEST(Manual, ReadmePictureSizesTableMatchesTheTable) {
    const std::string rows = ReadmeTable("| picture size (`--picture-size`) |", kPictureSizeCount);
    for (const PictureSizeEntry& size : kPictureSizes) {
        std::string start = "| `" + std::string(size.name) + "`";
        if (size.oldName[0] != '\0') start += " (also `" + std::string(size.oldName) + "`)";
        const std::string row = RowStarting(rows, start + " |");
        const std::string cells = " | " + std::string(size.label) + " | " + std::to_string(size.size) + " | ";
        EXPECT_NE(row.find(cells), std::string::npos) << "expected \"" << cells << "\" in " << row;
    }
}

}  // namespace
