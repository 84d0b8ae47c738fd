// Row conversion and the rebuild of the summits table through the real driver.
#include "rebuild.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "csvreader.h"
#include "summitsdb.h"
#include "../support/tempfile.h"
#include "../support/testtime.h"

namespace {

const char *const kHeaderLine =
    "SummitCode,AssociationName,RegionName,SummitName,AltM,AltFt,GridRef1,GridRef2,Longitude,Latitude,Points,"
    "BonusPoints,ValidFrom,ValidTo,ActivationCount,ActivationDate,ActivationCall";

// A data line in the generator's layout.
std::string Line(const std::string &ref, const std::string &name, const std::string &from = "01/05/2010",
                 const std::string &to = "31/12/2099", const std::string &lat = "54.5", const std::string &lon = "-3.25") {
    return ref + ",Vornfell AA,Region AA," + name + ",500,1640," + lon + "," + lat + "," + lon + "," + lat +
           ",1,0," + from + "," + to + ",0,,";
}

ListHeader GeneratorHeader() {
    ListHeader header = {};
    header.Columns[ColumnName] = 3;
    header.Columns[ColumnCode] = 0;
    header.Columns[ColumnValidFrom] = 12;
    header.Columns[ColumnValidTo] = 13;
    header.Columns[ColumnLatitude] = 9;
    header.Columns[ColumnLongitude] = 8;
    header.MaxColumnIndex = 13;
    header.HeaderLineCount = 2;
    header.CsvDate = Day(2025, 3, 18);
    return header;
}

struct Converted {
    int result;
    SummitRow row;
    std::string err;
};

Converted Convert(const std::string &line) {
    std::string path = WriteTestFile("row.csv", line + "\n").string();
    FILE *file = fopen(path.c_str(), "rb");
    CsvReaderReset();
    EXPECT_NE(CsvReadLine(file), nullptr);
    ListHeader header = GeneratorHeader();
    Converted converted = {};
    testing::internal::CaptureStderr();
    converted.result = ConvertListRow(&header, 7, &converted.row);
    converted.err = testing::internal::GetCapturedStderr();
    CsvReaderReset();
    fclose(file);
    return converted;
}

std::string Html(const char *ref) { return std::string("WARNING: HTML removed from Summit Name (") + ref + ")\n"; }

TEST(ConvertListRow, CleansNamesWithOneWarningPerKindOfEntity) {
    struct Case {
        std::string name, stored, err;
    } cases[] = {
        {"Tarn o' the Vale", "Tarn o` the Vale", ""},
        {"Hob&#039;s Knott", "Hob`s Knott", Html("VA/AA-001")},
        {"\"Hag&#039,s Crag\"", "Hag`s Crag", Html("VA/AA-001")},
        {"\"Ca&ntilde;o &#039;Alto&#039;\"", "Ca~o `Alto`", Html("VA/AA-001") + Html("VA/AA-001")},
        {"Pe&ntilde;a &ntilde;", "Pe~a ~", Html("VA/AA-001")},
        {"\"Vorn, the Great\"", "Vorn, the Great", ""},
        {std::string(60, 'n'), std::string(50, 'n'), "WARNING: Summit Name cut to 50 characters (VA/AA-001)\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Converted converted = Convert(Line("VA/AA-001", c.name));
        ASSERT_EQ(converted.result, 1);
        EXPECT_STREQ(converted.row.Name, c.stored.c_str());
        EXPECT_EQ(converted.err, c.err);
    }
}

TEST(ConvertListRow, GivesEachValidityDateItsDay) {
    struct Case {
        const char *from, *to;
        UtcTime validFrom, validTo;
    } cases[] = {
        {"", "", Day(2002, 2, 2), Day(2037, 12, 31)},
        {"01/05/2010", "31/12/2099", Day(2010, 5, 1), Day(2037, 12, 31)},
        {"2010-05-01", "2011-6-30", Day(2010, 5, 1), Day(2011, 6, 30)},
        {"05-01-2010", "12-25-2020", Day(2010, 5, 1), Day(2020, 12, 25)},
        {"01/05/2010", "never", Day(2010, 5, 1), -1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.from) + " " + c.to);
        Converted converted = Convert(Line("VA/AA-001", "Tarn Fell", c.from, c.to));
        ASSERT_EQ(converted.result, 1);
        EXPECT_EQ(converted.row.ValidFrom, c.validFrom);
        EXPECT_EQ(converted.row.ValidTo, c.validTo);
        EXPECT_EQ(converted.err, "");
    }
}

TEST(ConvertListRow, SkipsOrMendsWhatTheTableCannotHold) {
    struct Case {
        const char *what;
        std::string line;
        int result;
        std::string err;
        float latitude;
    } cases[] = {
        {"21 fields", Line("VA/AA-001", "Tarn Fell") + ",extra,more,most,last", 1,
         "WARNING: Unexpected number of CSV columns found on line 7 (Summit VA/AA-001)!\n", 54.5f},
        {"too short", "VA/AA-001,Vornfell AA,Region AA,Tarn Fell,500", 0,
         "WARNING: Unexpected number of CSV columns found on line 7 (Summit VA/AA-001)!\n"
         "WARNING: Missing column(s) found on line 7 (Summit VA/AA-001)!\n", 0},
        {"empty line", "", 0,
         "WARNING: Unexpected number of CSV columns found on line 7 (Summit (null))!\n"
         "WARNING: Missing column(s) found on line 7 (Summit (null))!\n", 0},
        {"quote in reference", Line("VA/A'A-001", "Tarn Fell"), 0,
         "WARNING: Unusable Summit reference found on line 7 (Summit VA/A'A-001) - line skipped!\n", 0},
        {"16-character reference", Line("VA/AAAAAAAA-0001", "Tarn Fell"), 0,
         "WARNING: Unusable Summit reference found on line 7 (Summit VA/AAAAAAAA-0001) - line skipped!\n", 0},
        {"15-character reference", Line("VA/AAAAAAAA-001", "Tarn Fell"), 1, "", 54.5f},
        {"nan latitude", Line("VA/AA-001", "Tarn Fell", "", "", "nan"), 1,
         "WARNING: Unusable coordinates set to 0 (VA/AA-001)\n", 0},
        {"inf longitude", Line("VA/AA-001", "Tarn Fell", "", "", "54.5", "-inf"), 1,
         "WARNING: Unusable coordinates set to 0 (VA/AA-001)\n", 0},
        {"no number", Line("VA/AA-001", "Tarn Fell", "", "", "north"), 1, "", 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Converted converted = Convert(c.line);
        EXPECT_EQ(converted.result, c.result);
        EXPECT_EQ(converted.err, c.err);
        if (c.result == 1) {
            EXPECT_FLOAT_EQ(converted.row.Latitude, c.latitude);
        }
    }
}

// A database with one old summit and an old date, and a list to rebuild it from.
class Rebuild : public ::testing::Test {
protected:
    void SetUp() override {
        db = TestTempPath("rebuild.mdb").string();
        std::remove(db.c_str());
        ASSERT_EQ(DbCreate(db.c_str(), 0), 1);
        char date[12];
        ASSERT_EQ(DbDateLiteral(Day(2024, 1, 1), date, sizeof date), 1);
        ASSERT_EQ(DbUpdate("Info", (std::string("LastUpdate = '") + date + "'").c_str(), "Version = 1.1"), 1);
        ASSERT_EQ(DbInsert(kReferencesTable, "SummitRef, SummitName, ValidFrom, ValidTo, Latitude, Longitude",
                           ("'VO/LD-001', 'Old Fell', '" + std::string(date) + "', '" + date + "', 1, 2").c_str()),
                  1);
    }
    void TearDown() override {
        DbClose();
        CsvReaderReset();
    }

    // Runs the header check and the rebuild over the list's data lines.
    int Run(const std::string &dataLines) {
        return RunFile(WriteTestFile("list.csv", "VORN Summits List (Date=18/03/2025)\r\n" +
                                                     std::string(kHeaderLine) + "\r\n" + dataLines)
                           .string());
    }

    // The same over a whole list file; -2 when it cannot be opened.
    int RunFile(const std::string &path) {
        FILE *list = fopen(path.c_str(), "rb");
        EXPECT_NE(list, nullptr) << path;
        if (!list) return -2;
        CsvReaderReset();
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        ListHeader header;
        int result = CheckSummitsListHeader(list, Day(2024, 1, 1), 0, 0, &header);
        if (result == 1) result = RebuildReferences(list, &header, std::chrono::steady_clock::now());
        out = testing::internal::GetCapturedStdout();
        err = testing::internal::GetCapturedStderr();
        fclose(list);
        return result;
    }

    UtcTime InfoDate() { return DbGetInfoDate(db.c_str(), nullptr, 0); }
    bool Has(const char *ref) {
        SummitInfo info;
        return DbLookupSummit(ref, &info) == 1;
    }

    std::string db, out, err;
};

std::string Lines(int count) {
    std::string text;
    char ref[16];
    for (int i = 1; i <= count; ++i) {
        snprintf(ref, sizeof ref, "VA/%c%c-%03d", 'A' + i / 26000 % 26, 'A' + i / 1000 % 26, i % 1000);
        text += Line(ref, "Fell " + std::to_string(i)) + "\r\n";
    }
    return text;
}

// The stamp writes the list's date; a database that cannot take it gets a
// warning, and the run goes on.
TEST_F(Rebuild, StampInfoDateWritesTheListDateOrWarns) {
    ListHeader header;
    header.CsvDate = Day(2025, 3, 18);
    testing::internal::CaptureStderr();
    EXPECT_EQ(StampInfoDate(&header), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(InfoDate(), Day(2025, 3, 18));

    DbClose();
    testing::internal::CaptureStderr();
    EXPECT_EQ(StampInfoDate(&header), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "WARNING: Unable to configure DB version.\n");
}

TEST_F(Rebuild, ReplacesEveryRowAndStampsTheListDate) {
    ASSERT_EQ(Run(Line("VA/AA-001", "Hob&#039;s Knott", "", "2011-6-30", "54.5", "-3.25") + "\r\n" +
                  Line("VA/A'A-002", "Skipped") + "\r\n" + Line("VA/AA-003", "Tarn o' the Vale") + "\r\n"),
              1);
    EXPECT_EQ(DbCount(kReferencesTable, nullptr), 2);
    EXPECT_FALSE(Has("VO/LD-001"));
    EXPECT_FALSE(Has("VA/A'A-002"));
    SummitInfo info;
    ASSERT_EQ(DbLookupSummit("VA/AA-001", &info), 1);
    EXPECT_STREQ(info.Name, "Hob`s Knott");
    EXPECT_EQ(info.ValidFrom, Day(2002, 2, 2));
    EXPECT_EQ(info.ValidTo, Day(2011, 6, 30) + 86399);
    EXPECT_DOUBLE_EQ(info.Latitude, 54.5);
    EXPECT_DOUBLE_EQ(info.Longitude, -3.25);
    ASSERT_EQ(DbLookupSummit("va/aa-003", &info), 1);
    EXPECT_STREQ(info.Name, "Tarn o` the Vale");
    EXPECT_EQ(InfoDate(), Day(2025, 3, 18));
    // The figure depends on the host's speed; the line's form does not.
    const std::string head = "\n3 Summits Processed in ";
    const size_t at = out.rfind(head);
    ASSERT_NE(at, std::string::npos) << out;
    const std::string figure = out.substr(at + head.size());
    const size_t point = figure.find('.');
    EXPECT_TRUE(point != std::string::npos && point > 0 &&
                figure.find_first_not_of("0123456789") == point && isdigit((unsigned char)figure[point + 1]) &&
                figure.substr(point + 2) == " Secs\n")
        << out;
    EXPECT_NE(err.find("line 4 (Summit VA/A'A-002)"), std::string::npos) << err;
}

TEST_F(Rebuild, CountsProgressEveryThousandLines) {
    ASSERT_EQ(Run(Lines(999)), 1);
    EXPECT_EQ(out.find('\r'), std::string::npos);
    ASSERT_EQ(Run(Lines(2000)), 1);
    EXPECT_NE(out.find("Processing CSV\n1000     \r2000     \r2000 Summits Processed in "), std::string::npos) << out;
    EXPECT_EQ(DbCount(kReferencesTable, nullptr), 2000);
}

// Whatever stops the rebuild, the editor keeps the previous table and date.
TEST_F(Rebuild, KeepsThePreviousRowsAndDateWhenItFails) {
    struct Case {
        const char *what;
        std::string lines;
        std::string err;
    } cases[] = {
        {"same reference twice", Line("VA/AA-001", "One") + "\n" + Line("VA/AA-002", "Two") + "\n" +
                                     Line("VA/AA-001", "Again") + "\n",
         "ERROR: Unable to insert 'VA/AA-001' into the database\n"
         "Update process aborted - the database is unchanged.\n"},
        {"no usable rows", Line("VA/A'A-001", "One") + "\n",
         "WARNING: Unusable Summit reference found on line 3 (Summit VA/A'A-001) - line skipped!\n"
         "ERROR: The CSV holds no usable summits!\nUpdate process aborted - the database is unchanged.\n"},
        {"no rows at all", "", "ERROR: The CSV holds no usable summits!\nUpdate process aborted - the database is unchanged.\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Run(c.lines), -1);
        EXPECT_EQ(err, c.err);
        EXPECT_EQ(DbCount(kReferencesTable, nullptr), 1);
        EXPECT_TRUE(Has("VO/LD-001"));
        EXPECT_FALSE(Has("VA/AA-002"));
        EXPECT_EQ(InfoDate(), Day(2024, 1, 1));
    }
    // And the connection is back in auto-commit: a later rebuild lands.
    EXPECT_EQ(Run(Lines(3)), 1);
    DbClose();
    EXPECT_EQ(InfoDate(), Day(2025, 3, 18));
    EXPECT_EQ(DbCount(kReferencesTable, nullptr), 3);
}

// A transfer cut short ends inside the list's last line: such a list is a broken
// download and changes nothing; one that ends after a whole line is taken.
TEST_F(Rebuild, RefusesAListWhoseLastLineIsCutShort) {
    const std::string last = Line("VA/AB-004", "Cut Fell");
    const std::string cutInValidTo = last.substr(0, last.find("31/12/2099") + 4);
    const std::string incomplete = "ERROR: The CSV ends part way through line 6 - the download is incomplete\n"
                                   "Update process aborted - the database is unchanged.\n";
    struct Case {
        const char *what;
        std::string tail;   // after three whole lines
        bool taken;
    } const cases[] = {
        {"cut inside the last line's ValidTo", cutInValidTo, false},
        {"cut inside the ValidTo, then a line end", cutInValidTo + "\r\n", false},
        {"a whole last line without its line end", last, false},
        {"cut before the last line's line end", last + "\r", true},
        {"cut between lines", "", true},
        {"an empty line at the end", "\r\n", true},
        {"cut after a few fields", "VA/AB-004,Vornfell AA", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TearDown();
        SetUp();
        const int result = Run(Lines(3) + c.tail);
        if (c.taken) {
            EXPECT_EQ(result, 1) << err;
            EXPECT_EQ(InfoDate(), Day(2025, 3, 18));
            EXPECT_FALSE(Has("VO/LD-001"));
            continue;
        }
        EXPECT_EQ(result, -1);
        EXPECT_NE(err.find(incomplete), std::string::npos) << err;
        EXPECT_EQ(DbCount(kReferencesTable, nullptr), 1);
        EXPECT_TRUE(Has("VO/LD-001"));
        EXPECT_FALSE(Has("VA/AB-004"));
        EXPECT_EQ(InfoDate(), Day(2024, 1, 1));
    }
}

// A NUL byte in a line is dropped: the summit is stored whole and nothing of it
// becomes a summit of its own.
TEST_F(Rebuild, ANulByteLeavesItsLineOneSummit) {
    std::string withNul = Line("VA/AA-001", "Tarn Fell", "01/05/2010", "31/12/2099", "54.5");
    withNul.insert(withNul.find("Fell"), 1, '\0');
    withNul.insert(withNul.rfind("54.5") + 3, 1, '\0');
    ASSERT_EQ(Run(withNul + "\r\n" + Line("VA/AA-002", "Hob Knott") + "\r\n"), 1) << err;
    EXPECT_EQ(err, "");
    EXPECT_EQ(DbCount(kReferencesTable, nullptr), 2);
    SummitInfo info;
    ASSERT_EQ(DbLookupSummit("VA/AA-001", &info), 1);
    EXPECT_STREQ(info.Name, "Tarn Fell");
    EXPECT_DOUBLE_EQ(info.Latitude, 54.5);
    EXPECT_EQ(info.ValidTo, Day(2037, 12, 31) + 86399);
    EXPECT_TRUE(Has("VA/AA-002"));
}

// A list the reader cannot read to its end never replaces a whole one.
TEST_F(Rebuild, KeepsThePreviousRowsAndDateWhenTheListCannotBeReadToItsEnd) {
    if (!getenv("TARN_OOM_TEST")) GTEST_SKIP() << "needs a limited allocator";
    std::string path = TestTempPath("list.csv").string();
    {
        std::ofstream out(path, std::ios::binary);
        out << "VORN Summits List (Date=18/03/2025)\r\n" << kHeaderLine << "\r\n" << Lines(3);
        std::string chunk(1u << 20, 'x');   // a line longer than the allocator grants
        for (int i = 0; i < 20; ++i) out << chunk;
        out << "\r\n" << Line("VB/AA-001", "After") << "\r\n";
    }
    EXPECT_EQ(RunFile(path), -1);
    // The sanitizer reports its refusal on the same stream first.
    EXPECT_NE(err.find("ERROR: Unable to read the CSV file after line 5\n"
                       "Update process aborted - the database is unchanged.\n"),
              std::string::npos)
        << err;
    EXPECT_TRUE(Has("VO/LD-001"));
    EXPECT_FALSE(Has("VA/AA-001"));
    EXPECT_EQ(InfoDate(), Day(2024, 1, 1));
}

}  // namespace
