// The command-line tail: program path removal, switch letters and window handles.
#include <gtest/gtest.h>

#include <cstring>

#include "windows/windows_host.h"

namespace {

RunMode ModeOf(const char* tail) { return ParseSaverCommandLine(tail).mode; }

TEST(CommandLineTail, DropsAnUnquotedProgramPathAndTheBlanksAfterIt) {
    EXPECT_STREQ(CommandLineTail("C:\\WINDOWS\\Zarvo.scr /s"), "/s");
    EXPECT_STREQ(CommandLineTail("Zarvo.scr \t\x01 /p 12"), "/p 12");
    EXPECT_STREQ(CommandLineTail("Zarvo.scr"), "");
    EXPECT_STREQ(CommandLineTail(""), "");
}

TEST(CommandLineTail, DropsAQuotedProgramPathThatHoldsBlanks) {
    EXPECT_STREQ(CommandLineTail("\"C:\\My Savers\\Zarvo.scr\" /c:123"), "/c:123");
    EXPECT_STREQ(CommandLineTail("\"C:\\x.scr\"/s"), "/s");
    EXPECT_STREQ(CommandLineTail("\"C:\\x.scr\"   "), "");
}

TEST(CommandLineTail, TakesTheRestOfTheLineAsPathWhenTheQuoteIsNotClosed) {
    EXPECT_STREQ(CommandLineTail("\"C:\\x.scr /s"), "");
}

TEST(CommandLineTail, KeepsBytesAbove127InThePathAndBlanksInsideTheTail) {
    EXPECT_STREQ(CommandLineTail("C:\\Z\xe4rvo.scr /p  7"), "/p  7");
    EXPECT_STREQ(CommandLineTail("Zarvo.scr  //s x"), "//s x");
}

TEST(CommandLineGrammar, EmptyTailOpensTheDialogWithoutOwner) {
    EXPECT_EQ(ModeOf(""), kModeConfigureNoOwner);
    EXPECT_EQ(ModeOf(nullptr), kModeConfigureNoOwner);
    EXPECT_EQ(ModeOf("  -/ "), kModeConfigureNoOwner);
}

TEST(CommandLineGrammar, ConfigureTailsIgnoreWhatFollowsTheLetter) {
    for (const char* tail : {"/c", "-C", "c:1234", "/c 1234", "C\t?"}) {
        EXPECT_EQ(ModeOf(tail), kModeConfigure) << "tail '" << tail << "'";
    }
}

TEST(CommandLineGrammar, FullScreenTails) {
    for (const char* tail : {"/s", "-s", "S", "/-/S", "//s", "  //s", "/sx", "s 12"}) {
        EXPECT_EQ(ModeOf(tail), kModeFullScreen) << "tail '" << tail << "'";
    }
}

TEST(CommandLineGrammar, PreviewTailsCarryTheTextAfterTheLetterAndItsSpaces) {
    struct Case {
        const char* tail;
        const char* rest;
    } cases[] = {
        {"/p 1234", "1234"}, {"/p1234", "1234"}, {"-P   1234", "1234"}, {"/l 1234", "1234"},
        {"/p", ""},          {"/p 0", "0"},      {"/p abc", "abc"},     {"/p\t1234", "\t1234"},
    };
    for (const Case& c : cases) {
        CommandLineRequest request = ParseSaverCommandLine(c.tail);
        EXPECT_EQ(request.mode, kModePreview) << "tail '" << c.tail << "'";
        EXPECT_STREQ(request.rest, c.rest) << "tail '" << c.tail << "'";
    }
}

TEST(CommandLineGrammar, ChangePasswordTailsCarryTheTextAfterTheLetter) {
    CommandLineRequest request = ParseSaverCommandLine("/a 1234");
    EXPECT_EQ(request.mode, kModeChangePassword);
    EXPECT_STREQ(request.rest, "1234");
    request = ParseSaverCommandLine("A");
    EXPECT_EQ(request.mode, kModeChangePassword);
    EXPECT_STREQ(request.rest, "");
}

TEST(CommandLineGrammar, EveryOtherFirstByteIsRefused) {
    for (const char* tail : {"/x", "1", "?", "/\ts", "\ts", "x/s", "/\x80s", "\xffS", "/\x01s"}) {
        EXPECT_EQ(ModeOf(tail), kModeInvalid) << "tail '" << tail << "'";
    }
}

TEST(CommandLineGrammar, OnlyTheFirstLetterCounts) {
    EXPECT_EQ(ModeOf("/s /c"), kModeFullScreen);
    EXPECT_EQ(ModeOf("/c /s"), kModeConfigure);
    EXPECT_EQ(ModeOf("/x /s"), kModeInvalid);
}

TEST(ParseWindowHandle, ReadsLeadingDecimalDigitsOnly) {
    EXPECT_EQ(ParseWindowHandle("1234"), 1234u);
    EXPECT_EQ(ParseWindowHandle("1234abc 5"), 1234u);
    EXPECT_EQ(ParseWindowHandle("007"), 7u);
    EXPECT_EQ(ParseWindowHandle(""), 0u);
    EXPECT_EQ(ParseWindowHandle("abc"), 0u);
    EXPECT_EQ(ParseWindowHandle(" 12"), 0u) << "no leading blanks are skipped";
    EXPECT_EQ(ParseWindowHandle("\t12"), 0u);
    EXPECT_EQ(ParseWindowHandle("-12"), 0u) << "no sign";
    EXPECT_EQ(ParseWindowHandle("0x1F"), 0u) << "no hexadecimal";
    EXPECT_EQ(ParseWindowHandle(nullptr), 0u);
}

TEST(ParseWindowHandle, WrapsAt32Bits) {
    EXPECT_EQ(ParseWindowHandle("4294967295"), 4294967295u);
    EXPECT_EQ(ParseWindowHandle("4294967296"), 0u);
    EXPECT_EQ(ParseWindowHandle("4294967297"), 1u);
    EXPECT_EQ(ParseWindowHandle("99999999999999999999"), 1661992959u);
}

TEST(ParseWindowHandle, SurvivesVeryLongDigitRuns) {
    char digits[4097];
    std::memset(digits, '9', sizeof digits - 1);
    digits[sizeof digits - 1] = 0;
    uint32_t expected = 0;
    for (size_t i = 0; i + 1 < sizeof digits; ++i) expected = expected * 10u + 9u;
    EXPECT_EQ(ParseWindowHandle(digits), expected);
}

#ifdef _WIN32
TEST(WindowFromHandleText, WidensThe32BitHandleBySignExtension) {
    EXPECT_EQ(reinterpret_cast<intptr_t>(WindowFromHandleText("2147483647")), intptr_t{INT32_MAX});
    EXPECT_EQ(reinterpret_cast<intptr_t>(WindowFromHandleText("2147483648")), intptr_t{INT32_MIN});
    EXPECT_EQ(reinterpret_cast<intptr_t>(WindowFromHandleText("4294967295")), intptr_t{-1});
}
#endif

}  // namespace
