// zarvo-render's command line: what it writes, and the status and message of
// each kind of mistake.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#ifndef ZARVO_RENDER
#error "ZARVO_RENDER names the renderer program"
#endif

namespace {

struct RenderRun {
    int status;
    std::string errors;
};

std::string TempPath(const char* name) {
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir != nullptr && dir[0] != '\0' ? dir : "/tmp") + "/zarvo-render-test-" +
           std::to_string(getpid()) + "-" + name;
}

RenderRun Render(const std::string& arguments) {
    const std::string errors = TempPath("stderr");
    const std::string command = std::string(ZARVO_RENDER) + " " + arguments + " >/dev/null 2>" + errors;
    const int raw = std::system(command.c_str());
    std::ifstream in(errors);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::remove(errors.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, text};
}

// Width and height from a PNG's IHDR; 0, 0 when it is no PNG.
std::pair<uint32_t, uint32_t> PngSize(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> head(24);
    if (!in.read(reinterpret_cast<char*>(head.data()), 24) || head[1] != 'P' || head[12] != 'I') return {0, 0};
    auto be = [&](int at) { return uint32_t{head[at]} << 24 | head[at + 1] << 16 | head[at + 2] << 8 | head[at + 3]; };
    return {be(16), be(20)};
}

TEST(RenderCommandLineTest, WritesTheClientAreaAndEveryTick) {
    const std::string out = TempPath("out.png");
    const std::string pattern = TempPath("tick-%03d.png");
    const RenderRun run = Render("--size 800x600 --seed 9 --ticks 3 --settings /dev/null --out " + out);
    EXPECT_EQ(run.status, 2) << "an empty settings file is refused: " << run.errors;

    const RenderRun good =
        Render("--size 800x600 --seed 9 --ticks 3 --picture-size fill --out " + out + " --out-pattern " + pattern);
    ASSERT_EQ(good.status, 0) << good.errors;
    EXPECT_EQ(PngSize(out), std::make_pair(800u, 600u));
    for (int tick = 1; tick <= 3; ++tick) {
        char name[32];
        std::snprintf(name, sizeof name, "tick-%03d.png", tick);
        EXPECT_EQ(PngSize(TempPath(name)), std::make_pair(800u, 600u)) << name;
        std::remove(TempPath(name).c_str());
    }
    std::remove(out.c_str());
}

// The six settings by name, clamped as zarvo clamps them, draw what a
// settings record holding the same values draws.
TEST(RenderCommandLineTest, SettingsByNameDrawAsTheStoredRecord) {
    // Circle speed as the defaults; a record this short leaves the rest at
    // the defaults, so the stored settings of the machine play no part.
    std::vector<unsigned char> bytes = {20, 0, 0, 0, 150, 0, 0, 0, 100, 0, 0, 0};
    const std::string defaults = TempPath("defaults"), record = TempPath("record");
    std::ofstream(defaults, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), 12);
    bytes.insert(bytes.end(), {30, 0, 0, 0, 125, 0, 0, 0, 125, 0, 0, 0});  // circle walkers 125
    std::ofstream(record, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), 24);
    const std::string fromRecord = TempPath("record.png"), byName = TempPath("name.png");
    ASSERT_EQ(Render("--size 640x480 --seed 4 --ticks 5 --settings " + record + " --out " + fromRecord).status, 0);
    const RenderRun clamped =
        Render("--size=640x480 -seed 4 --ticks=5 --circle-walkers=999 --settings " + defaults + " --out " + byName);
    ASSERT_EQ(clamped.status, 0) << clamped.errors;
    EXPECT_EQ(clamped.errors, "zarvo-render: --circle-walkers 999 is outside 30 to 125; using 125\n");
    std::ifstream a(fromRecord, std::ios::binary), b(byName, std::ios::binary);
    const std::string first((std::istreambuf_iterator<char>(a)), std::istreambuf_iterator<char>());
    const std::string second((std::istreambuf_iterator<char>(b)), std::istreambuf_iterator<char>());
    EXPECT_FALSE(first.empty());
    EXPECT_TRUE(first == second) << "--circle-walkers 999, clamped to 125, drew another picture";
    for (const std::string& path : {defaults, record, fromRecord, byName}) std::remove(path.c_str());
}

TEST(RenderCommandLineTest, MistakesAreNamedWithAStatusOfTwo) {
    struct Case {
        const char* arguments;
        const char* named;
    };
    const Case cases[] = {
        {"--size 10 --out x.png", "--size"},
        {"--size 0x480 --out x.png", "--size needs WIDTHxHEIGHT, each from 1 to 8192, got \"0x480\""},
        {"--size 640x480x2 --out x.png", "--size"},
        {"--seed -1 --out x.png", "--seed"},
        {"--seed 4294967296 --out x.png", "--seed"},
        {"--ticks 12abc --out x.png", "--ticks"},
        {"--ticks 1000001 --out x.png", "--ticks needs a whole number from 0 to 1000000"},
        {"--out-pattern f-%s.png", "--out-pattern"},
        {"--out-pattern f-%d-%d.png", "--out-pattern"},
        {"--frobnicate 1 --out x.png", "unknown option"},
        {"--out", "--out is missing its value"},
        {"--out --ticks 1", "--out is missing its value (\"--ticks\" after it is an option)"},
        {"--ticks 0 --out t.gif", "--out writes a PNG file (--gif writes a GIF), but \"t.gif\" ends in .gif"},
        {"--ticks 0 --out-pattern f-%d.gif", "but \"f-%d.gif\" ends in .gif"},
        {"--ticks 0 --gif dir.v2/t.png", "--gif writes an animated GIF (--out writes a PNG), but"},
        {"--ticks 1", "nothing to write"},
        {"--settings /nonexistent/zarvo --out x.png", "cannot be opened"},
        {"--size 600x600 --out x.png", "--size 600x600 is too narrow: the scene needs a picture at least 640"},
        {"--size 320x240 --out x.png", "--screen-width"},
        {"--picture-size stretched --out x.png", "--picture-size"},
        {"--picture-size Fill --out x.png", "--picture-size"},
        {"--scale-down=1 --out x.png", "--scale-down takes no value"},
        {"--seed 99999999999999999999 --out x.png", "--seed needs a whole number from 0 to 4294967295"},
        {"--seed=4294967296 --out x.png", "--seed needs a whole number from 0 to 4294967295"},
        {"-size 8193x10 --out x.png", "each from 1 to 8192"},
        {"--circle-walkers many --out x.png", "--circle-walkers needs a whole number"},
        {"--picture-size fill --size 600x600 --out x.png", "at least 640 pixels wide"},
    };
    for (const Case& c : cases) {
        const RenderRun run = Render(c.arguments);
        EXPECT_EQ(run.status, 2) << c.arguments;
        EXPECT_NE(run.errors.find(c.named), std::string::npos)
            << c.arguments << ": expected a message naming '" << c.named << "', got: " << run.errors;
    }
    EXPECT_EQ(Render("--help").status, 0);
    const std::string help = TempPath("help.txt");
    ASSERT_EQ(std::system((std::string(ZARVO_RENDER) + " --help > " + help).c_str()), 0);
    std::ifstream lines(help);
    int count = 0;
    for (std::string line; std::getline(lines, line); ++count) EXPECT_LE(line.size(), 80u) << line;
    EXPECT_GT(count, 20) << "the help lists every option";
    std::remove(help.c_str());
}

// Every failed write names the file and the reason, with a status of 1.
TEST(RenderCommandLineTest, FailedWritesSayWhy) {
    struct Case {
        const char* arguments;
        const char* said;
    };
    const Case cases[] = {
        {"--ticks 0 --out /nonexistent-zarvo/x.png", "cannot write '/nonexistent-zarvo/x.png': No such file"},
        {"--ticks 1 --gif /nonexistent-zarvo/x.gif", "cannot write '/nonexistent-zarvo/x.gif': No such file"},
        {"--ticks 2 --out-pattern /nonexistent-zarvo/%d.png", "cannot write '/nonexistent-zarvo/1.png': No such"},
        {"--ticks 0 --out /dev/full", "cannot write '/dev/full': No space left on device"},
        {"--ticks 1 --gif /dev/full", "cannot write '/dev/full': No space left on device"},
    };
    for (const Case& c : cases) {
        const RenderRun run = Render(std::string("--size 640x480 ") + c.arguments);
        EXPECT_EQ(run.status, 1) << c.arguments;
        EXPECT_NE(run.errors.find(c.said), std::string::npos) << c.arguments << ": " << run.errors;
    }
}

}  // namespace
