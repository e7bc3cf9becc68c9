// Facts about the Windows resources beside the bitmaps, read from this test
// program's own module: dialog 2003 control by control, icon 100 and the
// version information.
#include <windows.h>

#include <gtest/gtest.h>

#include "zarvo_version.h"

#include <string>
#include <vector>

namespace {

struct ResourceBytes {
    const uint8_t* data = nullptr;
    size_t size = 0;
};

ResourceBytes FindModuleResource(int id, LPCSTR type) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    if (!found) return {};
    HGLOBAL loaded = LoadResource(module, found);
    if (!loaded) return {};
    return {static_cast<const uint8_t*>(LockResource(loaded)), SizeofResource(module, found)};
}

// A reader over a dialog template that refuses to run past its end.
struct TemplateReader {
    ResourceBytes bytes;
    size_t at = 0;
    int failed = 0;

    uint16_t Word() {
        if (at + 2 > bytes.size) return failed = 1, 0;
        const uint16_t w = static_cast<uint16_t>(bytes.data[at] | bytes.data[at + 1] << 8);
        at += 2;
        return w;
    }
    uint32_t Dword() {
        const uint32_t low = Word();
        return low | static_cast<uint32_t>(Word()) << 16;
    }
    std::string Text() {
        std::string text;
        for (uint16_t c = Word(); c && !failed; c = Word()) text += static_cast<char>(c);
        return text;
    }
    // A name or ordinal field: 0xFFFF then an ordinal, or a string.
    std::string NameOrOrdinal() {
        if (at + 2 <= bytes.size && bytes.data[at] == 0xFF && bytes.data[at + 1] == 0xFF) {
            Word();
            return "#" + std::to_string(Word());
        }
        return Text();
    }
    void AlignDword() { at = (at + 3) & ~static_cast<size_t>(3); }
};

struct Control {
    uint16_t id;
    std::string kind, text;
    int16_t x, y, cx, cy;
    uint32_t style;
};

std::string KindName(const std::string& klass) {
    if (klass == "#128" || klass == "BUTTON") return "button";
    if (klass == "#130" || klass == "STATIC") return "static";
    if (klass == "#132" || klass == "SCROLLBAR") return "scrollbar";
    if (klass == "#133" || klass == "COMBOBOX") return "combobox";
    return klass;
}

const Control kControls[22] = {
    {0xFFFF, "button", "Orvane Area", 5, 5, 110, 65, 0x50000007},
    {0xFFFF, "static", "Slow", 10, 20, 15, 10, 0x50020000},
    {0xFFFF, "static", "Fast", 95, 20, 15, 8, 0x50020000},
    {1100, "scrollbar", "", 10, 31, 100, 10, 0x50000000},
    {0xFFFF, "static", "Crowd Density", 10, 45, 98, 10, 0x50020000},
    {1101, "scrollbar", "", 10, 55, 100, 10, 0x50000000},
    {0xFFFF, "static", "Slow", 11, 90, 19, 10, 0x50020000},
    {0xFFFF, "static", "Fast", 97, 90, 15, 8, 0x50020000},
    {1104, "scrollbar", "", 11, 101, 100, 10, 0x50000000},
    {0xFFFF, "button", "Walkway Area", 120, 5, 110, 65, 0x50000007},
    {0xFFFF, "static", "Slow", 125, 20, 15, 10, 0x50020000},
    {0xFFFF, "static", "Fast", 210, 20, 15, 8, 0x50020000},
    {1102, "scrollbar", "", 125, 31, 100, 10, 0x50000000},
    {0xFFFF, "static", "Number of walkers", 125, 45, 100, 10, 0x50020000},
    {1103, "scrollbar", "", 125, 56, 100, 10, 0x50000000},
    {0xFFFF, "button", "Speed", 5, 75, 110, 45, 0x50000007},
    // The display settings beside the Speed area, drop-down lists with their
    // open height, then OK and Cancel under them.
    {0xFFFF, "static", "Picture size:", 120, 75, 110, 10, 0x50020000},
    {1110, "combobox", "", 120, 85, 110, 60, 0x50210003},
    {0xFFFF, "static", "Monitors:", 120, 101, 110, 10, 0x50020000},
    {1111, "combobox", "", 120, 111, 110, 60, 0x50210003},
    {1, "button", "OK", 120, 129, 50, 15, 0x50010000},
    {2, "button", "Cancel", 180, 129, 50, 15, 0x50010000},
};

}  // namespace

TEST(DialogTemplate, HeaderIsTheSettingsDialog) {
    TemplateReader r{FindModuleResource(2003, RT_DIALOG)};
    ASSERT_NE(r.bytes.data, nullptr);
    EXPECT_EQ(r.Dword(), 0x90C800C0u) << "style";
    EXPECT_EQ(r.Dword(), 0u) << "extended style";
    EXPECT_EQ(r.Word(), 22) << "control count";
    EXPECT_EQ(static_cast<int16_t>(r.Word()), 6);
    EXPECT_EQ(static_cast<int16_t>(r.Word()), 18);
    EXPECT_EQ(static_cast<int16_t>(r.Word()), 238);
    EXPECT_EQ(static_cast<int16_t>(r.Word()), 149);
    EXPECT_EQ(r.NameOrOrdinal(), "") << "no menu";
    EXPECT_EQ(r.NameOrOrdinal(), "") << "the default dialog class";
    EXPECT_EQ(r.Text(), "Screen Saver Properties");
    EXPECT_EQ(r.Word(), 8) << "font size";
    EXPECT_EQ(r.Text(), "MS Sans Serif");
    EXPECT_FALSE(r.failed);
}

TEST(DialogTemplate, ControlsAreInTemplateOrderWithTheirIdsKindsTextsAndPlaces) {
    TemplateReader r{FindModuleResource(2003, RT_DIALOG)};
    ASSERT_NE(r.bytes.data, nullptr);
    r.at = 18;
    r.NameOrOrdinal();
    r.NameOrOrdinal();
    r.Text();
    r.Word();
    r.Text();
    for (int i = 0; i < 22; ++i) {
        r.AlignDword();
        Control c{};
        c.style = r.Dword();
        const uint32_t extended = r.Dword();
        c.x = static_cast<int16_t>(r.Word());
        c.y = static_cast<int16_t>(r.Word());
        c.cx = static_cast<int16_t>(r.Word());
        c.cy = static_cast<int16_t>(r.Word());
        c.id = r.Word();
        c.kind = KindName(r.NameOrOrdinal());
        c.text = r.NameOrOrdinal();
        const uint16_t extra = r.Word();
        r.at += extra;
        ASSERT_FALSE(r.failed) << "control " << i << " lies inside the template";
        const Control& e = kControls[i];
        EXPECT_EQ(c.id, e.id) << "control " << i;
        EXPECT_EQ(c.kind, e.kind) << "control " << i;
        EXPECT_EQ(c.text, e.text) << "control " << i;
        EXPECT_EQ(c.style, e.style) << "control " << i;
        EXPECT_EQ(extended, 0u) << "control " << i;
        EXPECT_EQ(c.x, e.x) << "control " << i;
        EXPECT_EQ(c.y, e.y) << "control " << i;
        EXPECT_EQ(c.cx, e.cx) << "control " << i;
        EXPECT_EQ(c.cy, e.cy) << "control " << i;
    }
}

TEST(ProgramIcon, Icon100HasThe16To48PixelSizes) {
    HMODULE module = GetModuleHandleA(nullptr);
    for (int size : {16, 32, 48}) {
        HICON icon = static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(100), IMAGE_ICON, size, size, 0));
        ASSERT_NE(icon, nullptr) << size << " px";
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP bitmap{};
        ASSERT_TRUE(GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap));
        EXPECT_EQ(bitmap.bmWidth, size);
        if (info.hbmColor) DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
    const ResourceBytes group = FindModuleResource(100, RT_GROUP_ICON);
    ASSERT_GE(group.size, 6u);
    EXPECT_EQ(group.data[4] | group.data[5] << 8, 3) << "three images in the icon group";
}

TEST(VersionInformation, NamesTheProductAndItsVersion) {
    const ResourceBytes version = FindModuleResource(1, RT_VERSION);
    ASSERT_NE(version.data, nullptr);
    const std::wstring text(reinterpret_cast<const wchar_t*>(version.data), version.size / sizeof(wchar_t));
    const size_t name = text.find(L"ProductName");
    ASSERT_NE(name, std::wstring::npos);
    EXPECT_NE(text.find(L"Zarvo", name), std::wstring::npos);
    const size_t product = text.find(L"ProductVersion");
    ASSERT_NE(product, std::wstring::npos);
    EXPECT_NE(text.find(L"" ZARVO_VERSION, product), std::wstring::npos);
    // VS_FIXEDFILEINFO: the signature, then the file version's two words.
    for (size_t at = 0; at + 16 <= version.size; at += 4) {
        uint32_t words[4];
        memcpy(words, version.data + at, sizeof words);
        if (words[0] != 0xFEEF04BDu) continue;
        EXPECT_EQ(words[2], uint32_t{ZARVO_VERSION_MAJOR} << 16 | ZARVO_VERSION_MINOR) << "major.minor";
        EXPECT_EQ(words[3], uint32_t{ZARVO_VERSION_PATCH} << 16) << "patch.0";
        return;
    }
    ADD_FAILURE() << "no fixed file information";
}
