// The command-line grammar the Linux programs share, on a table of its own:
// dash forms, values after '=' or as the next argument, flags, the six
// settings clamped, names up to and past the longest one read, and numbers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/option_grammar.h"

namespace {

// What the test table's handlers saw: the last value of each option.
struct Seen {
    std::string value;
    std::string longest;
    int flag = 0;
};

int TakeValue(void* target, const char* value, char*, size_t) {
    static_cast<Seen*>(target)->value = value;
    return 1;
}
int TakeLongest(void* target, const char* value, char*, size_t) {
    static_cast<Seen*>(target)->longest = value;
    return 1;
}
int TakeFlag(void* target, const char*, char*, size_t) {
    static_cast<Seen*>(target)->flag = 1;
    return 1;
}
int RefuseValue(void*, const char* value, char* error, size_t errorSize) {
    std::snprintf(error, errorSize, "--picky refuses \"%s\"", value);
    return 0;
}

// 31 characters: the longest name the grammar reads; a row with a longer
// one is never matched.
constexpr char kLongest[] = "a-name-of-thirty-one-characters";
static_assert(sizeof kLongest == 32);
constexpr char kTooLong[] = "a-name-of-thirty-two-characters!";
static_assert(sizeof kTooLong == 33);

const CommandOption kOptions[] = {
    {"value", "TEXT", TakeValue, "a value"},
    {"flag", nullptr, TakeFlag, "a flag"},
    {"picky", "TEXT", RefuseValue, "refuses every value"},
    {kLongest, "TEXT", TakeLongest, "the longest name"},
    {kTooLong, "TEXT", TakeValue, "a name too long to be read"},
};

struct Case {
    std::vector<std::string> args;
    int ok;
    std::string expected;  // what the handlers saw, or the message; empty: not compared
};

std::string Outcome(const Case& c) {
    std::vector<char*> argv = {const_cast<char*>("program")};
    for (const std::string& arg : c.args) argv.push_back(const_cast<char*>(arg.c_str()));
    Seen seen;
    GivenSettings settings{};
    char error[200];
    const int ok = ParseCommandLine(int(argv.size()), argv.data(), kOptions, sizeof kOptions / sizeof kOptions[0],
                                    &seen, &settings, error, sizeof error);
    if (!ok) return std::string("refused: ") + error;
    std::string out = "value=" + seen.value + " longest=" + seen.longest + " flag=" + std::to_string(seen.flag);
    for (int i = 0; i < kSettingCount; ++i) {
        if (settings.given[i]) {
            out += " " + std::string(SettingOptionOf(i).name) + "=" + std::to_string(settings.value[i]) +
                   (settings.clamped[i] ? "(clamped from " + std::string(settings.text[i]) + ")" : "");
        }
    }
    return out;
}

TEST(OptionGrammarTest, EveryArgumentIsReadOrRefusedByName) {
    const std::string longest = kLongest;
    const Case cases[] = {
        {{}, 1, "value= longest= flag=0"},
        {{"--value=a=b", "-flag"}, 1, "value=a=b longest= flag=1"},
        {{"-value", "x", "--value", "-y"}, 0, "refused: --value is missing its value (\"-y\" after it is an option)"},
        {{"-value", "x", "--value", "-7"}, 1, "value=-7 longest= flag=0"},
        {{"--value="}, 1, "value= longest= flag=0"},
        {{"--circle-speed=5", "-seat-shuffle", "601"},
         1,
         "value= longest= flag=0 circle-speed=20(clamped from 5) seat-shuffle=600(clamped from 601)"},
        {{"--redraw-speed", "-99999999999999999999"},
         1,
         "value= longest= flag=0 redraw-speed=0(clamped from -99999999999999999999)"},
        {{"--walkway-walkers=77"}, 1, "value= longest= flag=0 walkway-walkers=77"},
        {{"--redraw-speed=+4"}, 0, "refused: --redraw-speed needs a whole number, got \"+4\""},
        {{"--redraw-speed", ""}, 0, "refused: --redraw-speed needs a whole number, got \"\""},
        {{"--value"}, 0, "refused: --value is missing its value"},
        {{"--circle-speed"}, 0, "refused: --circle-speed is missing its value"},
        {{"--flag=1"}, 0, "refused: --flag takes no value, got \"--flag=1\""},
        {{"--picky=x"}, 0, "refused: --picky refuses \"x\""},
        {{"--Value=x"}, 0, "refused: unknown option \"--Value=x\""},
        {{"---value=x"}, 0, "refused: unknown option \"---value=x\""},
        {{"--=x"}, 0, "refused: unknown option \"--=x\""},
        {{"--"}, 0, "refused: unknown option \"--\""},
        {{"-"}, 0, "refused: unexpected argument \"-\""},
        {{"value"}, 0, "refused: unexpected argument \"value\""},
        {{""}, 0, "refused: unexpected argument \"\""},
        {{"--flag", "stray"}, 0, "refused: unexpected argument \"stray\""},
        // Names of 31, 32 and 33 characters: the longest is read, longer
        // ones are refused whole, with or without a value after '='.
        {{"--" + longest + "=v"}, 1, "value= longest=v flag=0"},
        {{"-" + longest, "w"}, 1, "value= longest=w flag=0"},
        {{"--" + longest + "x=v"}, 0, "refused: unknown option \"--a-name-of-thirty-one-charactersx=v\""},
        {{std::string("--") + kTooLong + "=v"}, 0, "refused: unknown option \"--a-name-of-thirty-two-characters!=v\""},
        {{"--" + longest + "x"}, 0, "refused: unknown option \"--a-name-of-thirty-one-charactersx\""},
        {{"--" + longest + "xy"}, 0, "refused: unknown option \"--a-name-of-thirty-one-charactersxy\""},
        {{"--" + std::string(32, 'c')}, 0, "refused: unknown option \"--" + std::string(32, 'c') + "\""},
        {{"--" + std::string(4000, 'n') + "=1"}, 0, ""},
    };
    for (const Case& c : cases) {
        std::string args;
        for (const std::string& arg : c.args) args += " [" + arg.substr(0, 40) + "]";
        const std::string got = Outcome(c);
        EXPECT_EQ(got.rfind(c.ok ? "value=" : "refused: ", 0), 0u) << args << ": " << got;
        if (!c.expected.empty()) {
            EXPECT_EQ(got, c.expected) << args;
        }
    }
}

TEST(OptionGrammarTest, WholeNumbersAndRanges) {
    struct NumberCase {
        const char* text;
        int ok;
        long long value;
    } cases[] = {
        {"0", 1, 0},
        {"-0", 1, 0},
        {"0042", 1, 42},
        {"-17", 1, -17},
        {"9223372036854775807", 1, 9223372036854775807LL},
        {"99999999999999999999", 1, 9223372036854775807LL},
        {"-99999999999999999999", 1, -9223372036854775807LL - 1},
        {"", 0, 0},
        {"-", 0, 0},
        {"+5", 0, 0},
        {" 5", 0, 0},
        {"5 ", 0, 0},
        {"5x", 0, 0},
        {"--5", 0, 0},
        {"0x10", 0, 0},
        {"1e3", 0, 0},
        {"- 5", 0, 0},
    };
    for (const NumberCase& c : cases) {
        long long value = 12345;
        EXPECT_EQ(ParseWholeNumber(c.text, &value), c.ok) << "\"" << c.text << "\"";
        EXPECT_EQ(value, c.ok ? c.value : 12345) << "\"" << c.text << "\"";
    }
    long long value = 0;
    EXPECT_EQ(ParseWholeNumber(nullptr, &value), 0);
    char error[100];
    EXPECT_EQ(ParseNumberOption("ticks", "10", 1, 10, &value, error, sizeof error), 1);
    EXPECT_EQ(value, 10);
    EXPECT_EQ(ParseNumberOption("ticks", "11", 1, 10, &value, error, sizeof error), 0);
    EXPECT_STREQ(error, "--ticks needs a whole number from 1 to 10, got \"11\"");
    EXPECT_EQ(ParseNumberOption("ticks", "0", 1, 10, &value, error, sizeof error), 0);
    EXPECT_EQ(value, 10) << "a refused value is not stored";
}

}  // namespace
