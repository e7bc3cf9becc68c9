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

TEST(RenderCommandLineTest, MistakesAreNamedWithAStatusOfTwo) {
    struct Case { const char* arguments; const char* named; };
    const Case cases[] = {
        {"--size 10 --out x.png", "--size"},
        {"--size 0x480 --out x.png", "--size"},
        {"--size 640x480x2 --out x.png", "--size"},
        {"--seed -1 --out x.png", "--seed"},
        {"--seed 4294967296 --out x.png", "--seed"},
        {"--ticks 12abc --out x.png", "--ticks"},
        {"--out-pattern f-%s.png", "--out-pattern"},
        {"--out-pattern f-%d-%d.png", "--out-pattern"},
        {"--frobnicate 1 --out x.png", "unknown option"},
        {"--out", "needs a value"},
        {"--ticks 1", "nothing to write"},
        {"--settings /nonexistent/zarvo --out x.png", "cannot open"},
        {"--size 600x600 --out x.png", "does not run"},
        {"--picture-size stretched --out x.png", "--picture-size"},
        {"--picture-size Fill --out x.png", "--picture-size"},
        {"--picture-size fill --size 600x600 --out x.png", "does not run"},
    };
    for (const Case& c : cases) {
        const RenderRun run = Render(c.arguments);
        EXPECT_EQ(run.status, 2) << c.arguments;
        EXPECT_NE(run.errors.find(c.named), std::string::npos)
            << c.arguments << ": expected a message naming '" << c.named << "', got: " << run.errors;
    }
    EXPECT_EQ(Render("--help").status, 0);
    const RenderRun unwritable = Render("--size 640x480 --ticks 1 --gif /nonexistent/dir/x.gif");
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_NE(unwritable.errors.find("cannot write"), std::string::npos) << unwritable.errors;
}

}  // namespace
