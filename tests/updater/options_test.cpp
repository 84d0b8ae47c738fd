// The command line and the elevation decision.
#include "options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Parsed {
    int goOn;
    UpdaterOptions options;
    std::string out, err;
};

Parsed Parse(std::vector<std::string> words) {
    words.insert(words.begin(), "Tarnsync.exe");
    std::vector<char *> argv;
    for (std::string &word : words) argv.push_back(word.data());
    Parsed parsed;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    parsed.goOn = ParseUpdaterOptions(static_cast<int>(argv.size()), argv.data(), &parsed.options);
    parsed.out = testing::internal::GetCapturedStdout();
    parsed.err = testing::internal::GetCapturedStderr();
    return parsed;
}

std::string Unknown(const std::string &word) { return "\nUnknown argument '" + word + "' ignored.\n\n"; }

constexpr char kAsUserWarning[] =
    "\nWARNING: Allowing the program to run without Administrator rights is\n"
    "not recommended as Windows may re-map the location of certain files, which\n"
    "could lead to unexpected results.\n\n";

TEST(ParseUpdaterOptions, SetsWhatEachArgumentSaysInOrder) {
    struct Case {
        std::vector<std::string> words;
        int goOn, pause, force, now, asUser;
        std::string err;
    } cases[] = {
        {{}, 1, 20, 0, 0, 0, ""},
        {{"/a", "/n"}, 1, 0, 1, 0, 0, ""},
        {{"-ALWAYS-UPDATE", "/NoPause"}, 1, 0, 1, 0, 0, ""},
        {{"/UPDATE-NOW"}, 1, 3, 1, 1, 0, ""},
        {{"/update-now", "/n"}, 1, 0, 1, 1, 0, ""},
        {{"/n", "/update-now"}, 1, 3, 1, 1, 0, ""},
        {{"update-now"}, 1, 20, 0, 0, 0, Unknown("update-now")},
        {{"/x", "--a"}, 1, 20, 0, 0, 0, Unknown("/x") + Unknown("--a")},
        {{"/u"}, 1, 20, 0, 0, 1, ""},
        {{"/V"}, 0, 20, 0, 0, 0, ""},
        {{"-version", "/bogus"}, 0, 20, 0, 0, 0, ""},
        {{"word", "/v"}, 0, 20, 0, 0, 0, Unknown("word")},
        {{"/a", "/v", "/n"}, 0, 20, 1, 0, 0, ""},
    };
    for (const Case &c : cases) {
        std::string shown;
        for (const std::string &w : c.words) shown += w + " ";
        SCOPED_TRACE(shown);
        Parsed parsed = Parse(c.words);
        EXPECT_EQ(parsed.goOn, c.goOn);
        EXPECT_EQ(parsed.options.PauseSeconds, c.pause);
        EXPECT_EQ(parsed.options.ForceUpdate, c.force);
        EXPECT_EQ(parsed.options.UpdateNow, c.now);
        EXPECT_EQ(parsed.options.AllowAsUser, c.asUser);
        EXPECT_EQ(parsed.err, c.err);
    }
}

TEST(ParseUpdaterOptions, WarnsOnStandardOutputEachTimeAllowAsUserIsGiven) {
    Parsed parsed = Parse({"/u", "-allow-as-user"});
    EXPECT_EQ(parsed.out, std::string(kAsUserWarning) + kAsUserWarning);
    EXPECT_EQ(parsed.err, "");
}

// Recording stand-ins for the system tests, so the order of the calls shows.
std::string calls;
int answers[3];
int Vista() { calls += "V"; return answers[0]; }
int Uac() { calls += "U"; return answers[1]; }
int Admin() { calls += "A"; return answers[2]; }

TEST(RestartNeeded, OnlyForAProtectedFolderWithUacAndNoAdministrator) {
    struct Case {
        int vista, uac, admin;
        const char *folder;
        int expected;
        const char *calls;
    } cases[] = {
        {1, 1, 0, "C:\\Program Files\\Tarnlog", 1, "VUA"},
        {1, 1, 0, "C:\\WINDOWS\\Tarnlog", 1, "VUA"},
        {1, 1, 0, "C:\\windows\\Tarnlog", 0, "VUA"},      // exact letter case only
        {1, 1, 0, "C:\\program files\\Tarnlog", 0, "VUA"},
        {1, 1, 0, "D:\\Radio", 0, "VUA"},
        {1, 1, 1, "C:\\Program Files\\Tarnlog", 0, "VUA"},
        {1, 0, 0, "C:\\Program Files\\Tarnlog", 0, "VU"},
        {0, 1, 0, "C:\\Program Files\\Tarnlog", 0, "V"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.folder);
        calls.clear();
        answers[0] = c.vista;
        answers[1] = c.uac;
        answers[2] = c.admin;
        EXPECT_EQ(RestartNeeded(Vista, Uac, Admin, c.folder, "C:\\WINDOWS"), c.expected);
        EXPECT_EQ(calls, c.calls);
    }
    answers[0] = answers[1] = 1;
    answers[2] = 0;
    // A Windows folder that could not be found must not match every path.
    EXPECT_EQ(RestartNeeded(Vista, Uac, Admin, "D:\\Radio", ""), 0);
}

TEST(BuildRestartArguments, QuotesArgumentsWithBlanksAndRefusesWhatDoesNotFit) {
    std::string a = "/a", b = "C:\\My Logs", c = "-n";
    char *argv[] = {nullptr, a.data(), b.data(), c.data()};
    char out[1024];
    ASSERT_EQ(BuildRestartArguments(4, argv, out, sizeof out), 1);
    EXPECT_STREQ(out, "/a \"C:\\My Logs\" -n");
    ASSERT_EQ(BuildRestartArguments(1, argv, out, sizeof out), 1);
    EXPECT_STREQ(out, "");

    std::string longWord(1023, 'x');
    char *fits[] = {nullptr, longWord.data()};
    EXPECT_EQ(BuildRestartArguments(2, fits, out, sizeof out), 1);
    std::string tooLong(1024, 'x');
    char *overflow[] = {nullptr, tooLong.data()};
    EXPECT_EQ(BuildRestartArguments(2, overflow, out, sizeof out), 0);
    EXPECT_STREQ(out, "");
}

}  // namespace
