// zarvo's --geometry: exactly WxH or WxH+X+Y, each number in its range;
// what X11's own parser would also take (another 'x', '=', signs, numbers
// that wrap) is refused.
#include <gtest/gtest.h>

#include <vector>

#include "app/geometry.h"

namespace {

TEST(WindowGeometryTest, TakesWhatTheHelpOffersAndNothingElse) {
    struct Case {
        const char* text;
        int ok;
        WindowGeometry expected;
    } cases[] = {
        {"640x480", 1, {640, 480, 0, 0, 0}},
        {"1x1", 1, {1, 1, 0, 0, 0}},
        {"8192x8192", 1, {8192, 8192, 0, 0, 0}},
        {"0640x0480", 1, {640, 480, 0, 0, 0}},
        {"800x600+10+20", 1, {800, 600, 10, 20, 1}},
        {"800x600+0+0", 1, {800, 600, 0, 0, 1}},
        {"1x1+32767+32767", 1, {1, 1, 32767, 32767, 1}},
        {"=640x480", 0, {}},
        {"640X480", 0, {}},
        {"4294967297x1", 0, {}},
        {"1x4294967297", 0, {}},
        {"99999999999999999999x1", 0, {}},
        {"8193x1", 0, {}},
        {"1x8193", 0, {}},
        {"0x480", 0, {}},
        {"640x0", 0, {}},
        {"640x480-10-20", 0, {}},
        {"640x480+-10+20", 0, {}},
        {"640x480+10-20", 0, {}},
        {"640x480+32768+0", 0, {}},
        {"640x480+0+4294967296", 0, {}},
        {"640x480+10", 0, {}},
        {"640x480+10+", 0, {}},
        {"640x480++10+20", 0, {}},
        {"640x480+10+20+", 0, {}},
        {"+10+20", 0, {}},
        {"-640x480", 0, {}},
        {"+640x480", 0, {}},
        {"640x+480", 0, {}},
        {"640x480x2", 0, {}},
        {"640", 0, {}},
        {"640x", 0, {}},
        {"x480", 0, {}},
        {"x", 0, {}},
        {"", 0, {}},
        {" 640x480", 0, {}},
        {"640x480 ", 0, {}},
        {"640 x480", 0, {}},
        {"640x480\n", 0, {}},
        {"0x10x480", 0, {}},
    };
    for (const Case& c : cases) {
        WindowGeometry got = {-1, -1, -1, -1, -1};
        EXPECT_EQ(ParseWindowGeometry(c.text, &got), c.ok) << "\"" << c.text << "\"";
        const WindowGeometry& e = c.ok ? c.expected : WindowGeometry{-1, -1, -1, -1, -1};
        EXPECT_EQ((std::vector<int>{got.width, got.height, got.x, got.y, got.positionGiven}),
                  (std::vector<int>{e.width, e.height, e.x, e.y, e.positionGiven}))
            << "\"" << c.text << "\"" << (c.ok ? "" : " is refused and changes nothing");
    }
    WindowGeometry untouched = {7, 7, 7, 7, 7};
    EXPECT_EQ(ParseWindowGeometry(nullptr, &untouched), 0);
    EXPECT_EQ(untouched.width, 7);
}

}  // namespace
