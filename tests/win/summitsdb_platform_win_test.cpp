// The summits database's Windows edge: the user's short date, Wine's host
// paths and the ODBC installer.
#include "summitsdb_platform.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "../support/tempfile.h"
#include "../support/testtime.h"

namespace {

bool EndsWith(const std::string &text, const std::string &tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Changes the user's short-date format for the whole Wine prefix, so it runs
// only in its own registration, under a lock the date-reading tests share (TARN_USER_DATE_FORMAT_TEST).
TEST(DbPlatformShortDate, FallsBackToIsoWhenTheUserFormIsTooLong) {
    if (!getenv("TARN_USER_DATE_FORMAT_TEST")) GTEST_SKIP() << "changes a setting of the whole prefix";
    char saved[80];
    ASSERT_GT(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, saved, sizeof saved), 0);
    ASSERT_TRUE(SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, "dddd, d MMMM yyyy"));
    struct Restore {
        const char *format;
        ~Restore() { SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, format); }
    } restore{saved};

    char text[64];
    memset(text, '#', sizeof text);
    EXPECT_EQ(DbPlatformShortDate(Day(2020, 12, 31), text, 11), 1);
    EXPECT_STREQ(text, "2020-12-31");
    EXPECT_EQ(DbPlatformShortDate(Day(2020, 12, 31), text, sizeof text), 1);
    EXPECT_STREQ(text, "Thursday, 31 December 2020") << "the user's form where it fits";
}

TEST(DbPlatformShortDate, NoRoomGivesAnEmptyText) {
    char text[6];
    memset(text, '#', sizeof text);
    EXPECT_EQ(DbPlatformShortDate(Day(2020, 12, 31), text, sizeof text), 0);
    EXPECT_STREQ(text, "");
    char wide[32];
    EXPECT_EQ(DbPlatformShortDate(Day(2020, 12, 31), wide, sizeof wide), 1);
    EXPECT_NE(std::string(wide).find("2020"), std::string::npos) << wide;
}

TEST(DbPlatformHostPath, WinePathsBecomeLinuxPaths) {
    char out[1024];
    ASSERT_EQ(DbPlatformHostPath("Z:\\tmp\\VORN_REFS.MDB", out, sizeof out), 1);
    EXPECT_STREQ(out, "/tmp/VORN_REFS.MDB");
    ASSERT_EQ(DbPlatformHostPath("C:\\windows\\system32\\kernel32.dll", out, sizeof out), 1);
    EXPECT_EQ(out[0], '/') << out;
    EXPECT_TRUE(EndsWith(out, "/windows/system32/kernel32.dll")) << out;

    char small[8] = "keep";
    EXPECT_EQ(DbPlatformHostPath("Z:\\tmp\\VORN_REFS.MDB", small, sizeof small), 0);
    EXPECT_EQ(DbPlatformHostPath("C:\\no such folder\\deeper\\VORN_REFS.MDB", out, sizeof out), 0);
}

TEST(DbPlatformCreateDatabase, FailsWithoutTheDriver) {
    std::string path = TestTempPath("VORN_REFS.MDB").string();
    EXPECT_EQ(DbPlatformCreateDatabase("Microsoft Access Driver (*.mdb)", path.c_str()), 0);
    EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
