// The list's address check, age test, dates and title and header lines.
#include "summitslist.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utime.h>

#include "csvreader.h"
#include "../support/tempfile.h"
#include "../support/testtime.h"

namespace {

TEST(DownloadUrlIsSafe, TakesOnlyPlainHttpHttpsAndFileAddresses) {
    struct Case {
        const char *url;
        int expected;
    } cases[] = {
        {"https://maps.vornfell.example/summitslist.csv", 1},
        {"http://127.0.0.1:8000/files/summitslist.csv", 1},
        {"file:///Z:/tmp/list.csv", 1},
        {"ftp://host/list.csv", 0},
        {"HTTPS://host/list.csv", 0},
        {"https://host/a\" --output \"C:\\Windows\\x", 0},
        {"https://host/a'b", 0},
        {"https://host/a b", 0},
        {"https://host/a\tb", 0},
        {"https://host/a\nb", 0},
        {"", 0},
        {nullptr, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.url ? c.url : "(null)");
        EXPECT_EQ(DownloadUrlIsSafe(c.url), c.expected);
    }
}

TEST(ListNeedsDownload, WhenMissingForcedOrOlderThanADay) {
    std::string path = WriteTestFile("age.csv", "x").string();
    const time_t now = 1742339077;
    struct Case {
        long age;
        int force, expected;
    } cases[] = {{86400, 0, 0}, {86401, 0, 1}, {0, 0, 0}, {0, 1, 1}, {86400, 1, 1}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.age);
        struct utimbuf times = {static_cast<time_t>(now - c.age), static_cast<time_t>(now - c.age)};
        ASSERT_EQ(utime(path.c_str(), &times), 0);
        EXPECT_EQ(ListNeedsDownload(path.c_str(), c.force, now), c.expected);
    }
    EXPECT_EQ(ListNeedsDownload(TestTempPath("missing.csv").string().c_str(), 0, now), 1);
}

TEST(ParseListDate, ReadsThreeFormsAndYearFirstOnlyForFourDigits) {
    struct Case {
        const char *text;
        UtcTime expected;
    } cases[] = {
        {"18/03/2025", Day(2025, 3, 18)},
        {"2025-03-18", Day(2025, 3, 18)},
        {"2025-3-8", Day(2025, 3, 8)},
        {"12-25-2025", Day(2025, 12, 25)},   // month-day-year
        {"3-8-2025", Day(2025, 3, 8)},
        {"8/3/2025", Day(2025, 3, 8)},
        {"31/12/2037", Day(2037, 12, 31)},
        {"32/01/2020", Day(2020, 2, 1)},     // normalised like every other date
        {"", -1},
        {"tomorrow", -1},
        {"18.03.2025", -1},
        {"01/01/1969", -1},
        {"31/12/2099", -1},
        // Numbers beyond an int, or fields that would overflow, fail instead of wrapping.
        {"1/2147483648/1", -1},
        {"1/-2147483648/2000", -1},
        {"1/2147483647/2000", -1},
        {"2147483647/1/2000", -1},
        {"99999999999999999999/1/2000", -1},
        {"2000-2147483648-1", -1},
        {"2000-1-2147483648", -1},
        {"2147483648-1-2000", -1},
        {" 18/ 3/ 2025", Day(2025, 3, 18)},  // blanks before each number, as "%d" skips them
        {"18/03/20251", Day(2025, 3, 18)},   // the year takes four characters at most
        {"+18/-1/2025", Day(2024, 11, 18)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParseListDate(c.text), c.expected);
    }
    EXPECT_EQ(ParseListDate(nullptr), -1);
}

TEST(ParseBuildDate, ReadsDayFirstAndYearFirstOnly) {
    EXPECT_EQ(ParseBuildDate("18/03/2025"), Day(2025, 3, 18));
    EXPECT_EQ(ParseBuildDate("2025-03-18"), Day(2025, 3, 18));
    EXPECT_EQ(ParseBuildDate("03-18-2025"), -1);
    EXPECT_EQ(ParseBuildDate("1/2147483648/1"), -1);   // the longest title date, its month beyond an int
}

const std::string kHeader =
    "SummitCode,AssociationName,RegionName,SummitName,AltM,AltFt,GridRef1,GridRef2,Longitude,Latitude,Points,"
    "BonusPoints,ValidFrom,ValidTo,ActivationCount,ActivationDate,ActivationCall\r\n";
const std::string kTitle = "VORN Summits List (Date=18/03/2025)\r\n";
const std::string kRow = "VA/AA-001,Vornfell AA,Region AA,Tarn Fell,500,1640,1.0,2.0,1.0,2.0,1,0,01/01/2010,,0,,\r\n";

struct Checked {
    int result;
    ListHeader header;
    std::string out, err, nextLine;
};

Checked Check(const std::string &text, UtcTime dbDate = -1, int needsUpdate = 0, int force = 0) {
    std::string path = WriteTestFile("header.csv", text).string();
    FILE *list = fopen(path.c_str(), "rb");
    EXPECT_NE(list, nullptr);
    Checked checked;
    CsvReaderReset();
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    checked.result = CheckSummitsListHeader(list, dbDate, needsUpdate, force, &checked.header);
    checked.out = testing::internal::GetCapturedStdout();
    checked.err = testing::internal::GetCapturedStderr();
    const char *next = CsvReadLine(list);
    checked.nextLine = next ? next : "(end)";
    CsvReaderReset();
    fclose(list);
    return checked;
}

const std::string kNoDate = "ERROR: The CSV does not have Date of build!\nUpdate process aborted\n";
const std::string kNoColumns = "ERROR: The CSV is missing required Column(s) !\nUpdate process aborted\n";
const std::string kWrongCount = "ERROR: Wrong number of columns found in CSV!\nUpdate aborted\n";

std::string HeaderWithFields(int count) {
    std::string line = "SummitCode,SummitName,ValidFrom,ValidTo,Latitude,Longitude";
    for (int i = 6; i < count; ++i) line += ",Extra" + std::to_string(i);
    return line + "\n";
}

TEST(CheckSummitsListHeader, AcceptsOrRefusesTheListAsItsLinesSay) {
    struct Case {
        const char *what;
        std::string text;
        int result;
        std::string err;
    } cases[] = {
        {"plain list", kTitle + kHeader + kRow, 1, ""},
        {"lines before and between", "junk\n\n" + kTitle + "more,junk\n" + kHeader + kRow, 1, ""},
        {"year-month-day title", "VORN Summits List (Date=2025-03-18)\n" + kHeader + kRow, 1, ""},
        {"title after header", kHeader + kTitle + kRow, -1, kNoDate},
        {"no title", kHeader + kRow, -1, kNoDate},
        {"month-day-year title", "VORN Summits List (Date=03-18-2025)\n" + kHeader, -1, kNoDate},
        {"overlong title date", "VORN Summits List (Date=18/03/2025xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx)\n" + kHeader,
         1, ""},
        {"no header", kTitle + kRow, -1, kNoColumns},
        {"16 fields", kTitle + HeaderWithFields(16), -1, kWrongCount},
        {"17 fields", kTitle + HeaderWithFields(17), 1, ""},
        {"19 fields", kTitle + HeaderWithFields(19), 1, ""},
        {"20 fields", kTitle + HeaderWithFields(20), -1, kWrongCount},
        {"other letter case", kTitle + "SummitCode,summitname,ValidFrom,ValidTo,Latitude,Longitude" +
                                  std::string(11, ',') + "\n", -1, kNoColumns},
        {"empty file", "", -1, kNoDate},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Checked checked = Check(c.text);
        EXPECT_EQ(checked.result, c.result);
        EXPECT_EQ(checked.err, c.err);
        EXPECT_EQ(checked.out.substr(0, 13), "Checking CSV\n");
    }
}

TEST(CheckSummitsListHeader, FindsTheColumnsAndStopsAfterTheHeader) {
    Checked checked = Check("x\n" + kTitle + kHeader + kRow);
    ASSERT_EQ(checked.result, 1);
    EXPECT_EQ(checked.header.HeaderLineCount, 3);
    EXPECT_EQ(checked.header.CsvDate, Day(2025, 3, 18));
    EXPECT_STREQ(checked.header.CsvDateText, "18/03/2025");
    EXPECT_EQ(checked.header.Columns[ColumnName], 3);
    EXPECT_EQ(checked.header.Columns[ColumnCode], 0);
    EXPECT_EQ(checked.header.Columns[ColumnValidFrom], 12);
    EXPECT_EQ(checked.header.Columns[ColumnValidTo], 13);
    EXPECT_EQ(checked.header.Columns[ColumnLatitude], 9);
    EXPECT_EQ(checked.header.Columns[ColumnLongitude], 8);
    EXPECT_EQ(checked.header.MaxColumnIndex, 13);
    EXPECT_EQ(checked.nextLine, kRow.substr(0, kRow.size() - 2));

    // A name given twice counts at its later place.
    Checked twice = Check(kTitle + "SummitCode,SummitName,ValidFrom,ValidTo,Latitude,Longitude,SummitName" +
                          std::string(10, ',') + "\n");
    EXPECT_EQ(twice.header.Columns[ColumnName], 6);
    EXPECT_EQ(twice.header.MaxColumnIndex, 6);
}

TEST(CheckSummitsListHeader, RebuildsOnlyForALaterListANewDatabaseOrForce) {
    struct Case {
        UtcTime dbDate;
        int needsUpdate, force, result;
    } cases[] = {
        {Day(2025, 3, 18), 0, 0, 0},   // same day: no update
        {Day(2025, 3, 17), 0, 0, 1},
        {Day(2025, 3, 19), 0, 0, 0},
        {-1, 0, 0, 1},
        {Day(2025, 3, 18), 1, 0, 1},   // database just created
        {Day(2025, 3, 18), 0, 1, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.dbDate);
        Checked checked = Check(kTitle + kHeader + kRow, c.dbDate, c.needsUpdate, c.force);
        EXPECT_EQ(checked.result, c.result);
        EXPECT_EQ(checked.out, c.result == 0 ? "Checking CSV\nThe database does not require updating at this time.\n"
                                             : "Checking CSV\n");
    }
}

// A list that needs no rebuild is still read to its end when it was just
// downloaded: one cut short in transfer is a failed download all the same.
TEST(CheckListEnd, TellsAWholeListFromOneCutShort) {
    const std::string cut = kRow.substr(0, kRow.find("01/01/2010") + 4);
    struct Case {
        const char *what;
        std::string data;   // after the header line (the list's third line)
        int result;
        std::string err;
    } cases[] = {
        {"whole", kRow + kRow, 1, ""},
        {"no data lines", "", 1, ""},
        {"an empty line at the end", kRow + "\r\n", 1, ""},
        {"last line without its line end", kRow + kRow.substr(0, kRow.size() - 2), -1,
         "ERROR: The CSV ends part way through line 4 - the download is incomplete\n"},
        {"last line short of fields", kRow + cut + "\r\n", -1,
         "ERROR: The CSV ends part way through line 4 - the download is incomplete\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        std::string path = WriteTestFile("end.csv", kTitle + kHeader + c.data).string();
        FILE *list = fopen(path.c_str(), "rb");
        ASSERT_NE(list, nullptr);
        CsvReaderReset();
        ListHeader header;
        testing::internal::CaptureStdout();
        ASSERT_EQ(CheckSummitsListHeader(list, Day(2025, 3, 18), 0, 0, &header), 0);
        testing::internal::GetCapturedStdout();
        testing::internal::CaptureStderr();
        EXPECT_EQ(CheckListEnd(list, &header), c.result);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.err);
        CsvReaderReset();
        fclose(list);
    }
}

}  // namespace
