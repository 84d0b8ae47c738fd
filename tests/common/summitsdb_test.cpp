// Real database files through the real driver manager and driver: unixODBC
// natively, Wine's odbc32 forwarding to the host's unixODBC under Wine.
#include "summitsdb.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "odbc_types.h"
#include "summitsdb_platform.h"
#include "../support/tempfile.h"
#include "../support/testtime.h"

namespace {

const char *const kRefs = "\"References\"";
const char *const kSummitColumns = "SummitRef, SummitName, ValidFrom, ValidTo, Latitude, Longitude";


// A quoted DATETIME value for a statement.
std::string DateValue(int year, int month, int day) {
    char text[12];
    EXPECT_EQ(DbDateLiteral(Day(year, month, day), text, sizeof text), 1);
    return std::string("'") + text + "'";
}

std::string ShortDate(UtcTime t) {
    char text[11];
    DbPlatformShortDate(t, text, sizeof text);
    return text;
}

int InsertSummit(const std::string &ref, const std::string &name, const std::string &from, const std::string &to,
                 const char *latitude = "51.5", const char *longitude = "-1.25") {
    std::string values = "'" + ref + "', '" + name + "', " + from + ", " + to + ", " + latitude + ", " + longitude;
    return DbInsert(kRefs, kSummitColumns, values.c_str());
}

// head + blanks + tail, so long that the whole statement (prefix + condition)
// has exactly statementLength characters.
std::string Padded(size_t statementLength, const std::string &prefix, const std::string &head, const std::string &tail) {
    return head + std::string(statementLength - prefix.size() - head.size() - tail.size(), ' ') + tail;
}

// The name a new database is built under before it takes its own: "~" before the file name.
std::filesystem::path BuildingPath(const std::string &path) {
    std::filesystem::path p(path);
    std::string name = "~";
    name += p.filename().string();   // appended, not "~" + ..., which GCC 12's -Wrestrict misreads
    return p.parent_path() / name;
}

class SummitsDb : public ::testing::Test {
protected:
    void SetUp() override { DbClose(); }
    void TearDown() override { DbClose(); }

    // A path of this test's own in the process's temp folder.
    std::string Path(const char *suffix = ".MDB") {
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        return TestTempPath(name + suffix).string();
    }

    // A new database, left open read-write, with three summits.
    std::string NewDatabase() {
        std::string path = Path();
        EXPECT_EQ(DbCreate(path.c_str(), 0), 1);
        EXPECT_EQ(InsertSummit("AB/CD-001", "Hill", DateValue(2002, 2, 2), DateValue(2020, 12, 31), "52.5", "-3.75"), 1);
        EXPECT_EQ(InsertSummit("AB/CD-002", "Moor", DateValue(2010, 5, 3), DateValue(2037, 12, 31)), 1);
        EXPECT_EQ(InsertSummit("EF/GH-010", "Fell", DateValue(2002, 2, 2), DateValue(2037, 12, 31)), 1);
        return path;
    }
};

TEST_F(SummitsDb, FileExistsForReadableFilesOnly) {
    std::string present = WriteTestFile("present.txt", "x").string();
    EXPECT_EQ(FileExists(present.c_str()), 1);
    EXPECT_EQ(FileExists(Path(".missing").c_str()), 0);
    EXPECT_EQ(FileExists(nullptr), 0);
}

TEST_F(SummitsDb, CreateMakesBothTablesAndTheInfoRow) {
    std::string path = Path();
    ASSERT_EQ(DbCreate(path.c_str(), 1), 1);
    EXPECT_EQ(FileExists(path.c_str()), 1);
    EXPECT_EQ(DbCount("Info", nullptr), 0) << "closed after creation";

    ASSERT_EQ(DbOpen(path.c_str(), 1), 1);
    EXPECT_EQ(DbCount(kRefs, nullptr), 0);
    EXPECT_EQ(DbCount("Info", nullptr), 1);
    EXPECT_EQ(DbCount("Info", "Version = 1.1"), 1);
    EXPECT_EQ(DbCount("Info", "Description = 'Vornfell - Summit Information Database'"), 1);
    EXPECT_EQ(DbCount("Info", "URL LIKE 'https://%/soft_info.php?AppName=tarnlog'"), 1);
    EXPECT_EQ(DbCount("Info", "Copyright LIKE '%Brindlecote%'"), 1);

    char dateText[11] = "";
    EXPECT_EQ(DbGetInfoDate(path.c_str(), dateText, 1), 0) << "LastUpdate is 1970-01-01";
    EXPECT_EQ(dateText, ShortDate(0));
    EXPECT_FALSE(std::filesystem::exists(BuildingPath(path))) << "built under another name, then renamed";
}

// A creation that fails once the empty file exists, or was cut off earlier,
// leaves nothing under the real name that a later run would call incompatible.
TEST_F(SummitsDb, CreateNamesTheFileOnlyWhenItIsComplete) {
    namespace fs = std::filesystem;
    for (int closeAfter : {0, 1}) {
        SCOPED_TRACE(closeAfter);
        const std::string path = Path(closeAfter ? ".closed.MDB" : ".open.MDB");
        const fs::path building = BuildingPath(path);

        // The stand-in's driver cannot write its journal: the tables are never made.
        fs::path journal = building;
        journal += "-journal";
        fs::create_directories(journal);
        EXPECT_EQ(DbCreate(path.c_str(), closeAfter), 0);
        EXPECT_FALSE(fs::exists(path));
        EXPECT_FALSE(fs::exists(building)) << "a failure removes what it built";
        EXPECT_EQ(DbCount("Info", nullptr), 0) << "nothing stays open";
        fs::remove(journal);

        // What an interrupted creation left under the building name is replaced.
        WriteBytes(building, "half a database");
        ASSERT_EQ(DbCreate(path.c_str(), closeAfter), 1);
        EXPECT_FALSE(fs::exists(building));
        if (!closeAfter)
            EXPECT_EQ(InsertSummit("AB/CD-001", "Hill", DateValue(2002, 2, 2), DateValue(2020, 12, 31)), 1)
                << "left open read-write";
        else
            EXPECT_EQ(DbCount("Info", nullptr), 0) << "closed after creation";
        DbClose();
        char dateText[11] = "";
        EXPECT_EQ(DbGetInfoDate(path.c_str(), dateText, 1), 0) << "compatible";
        DbClose();
    }
}

TEST_F(SummitsDb, CreateClosesTheOldConnectionAndKeepsTheNewOneWritable) {
    std::string first = Path(".first.MDB");
    ASSERT_EQ(DbCreate(first.c_str(), 1), 1);
    ASSERT_EQ(DbOpen(first.c_str(), 1), 1);

    std::string second = Path(".second.MDB");
    ASSERT_EQ(DbCreate(second.c_str(), 0), 1);
    EXPECT_EQ(InsertSummit("AB/CD-001", "Hill", DateValue(2002, 2, 2), DateValue(2020, 12, 31)), 1);
    EXPECT_EQ(DbCount(kRefs, nullptr), 1);

    DbClose();
    ASSERT_EQ(DbOpen(first.c_str(), 1), 1);
    EXPECT_EQ(DbCount(kRefs, nullptr), 0) << "the row went into the new file";
}

TEST_F(SummitsDb, CreateNeverOverwritesAFile) {
    std::string path = WriteTestFile("precious.MDB", "keep me").string();
    EXPECT_EQ(DbCreate(path.c_str(), 0), 0);
    EXPECT_EQ(ReadTestFile(path), "keep me");
    EXPECT_EQ(DbCount("Info", nullptr), 0);

    std::string nowhere = (TestTempDir() / "no such folder" / "VORN_REFS.MDB").string();
    EXPECT_EQ(DbCreate(nowhere.c_str(), 0), 0);
    EXPECT_EQ(FileExists(nowhere.c_str()), 0);
}

TEST_F(SummitsDb, AFailedOpenLeavesNothingOpen) {
    std::string missing = Path(".missing");
    EXPECT_EQ(DbOpen(missing.c_str(), 0), 0);
    EXPECT_EQ(FileExists(missing.c_str()), 0) << "opening never creates the file";

    // The driver may accept the connection, but this is no database.
    std::string junk = WriteTestFile("junk.MDB", std::string(4096, 'j')).string();
    EXPECT_EQ(DbOpen(junk.c_str(), 0), 0);
    EXPECT_EQ(DbCount("Info", nullptr), 0);

    std::string path = Path();
    ASSERT_EQ(DbCreate(path.c_str(), 1), 1);
    EXPECT_EQ(DbOpen(junk.c_str(), 1), 0);
    ASSERT_EQ(DbOpen(path.c_str(), 1), 1) << "a failed open must not look open";
    EXPECT_EQ(DbCount("Info", nullptr), 1);
}

TEST_F(SummitsDb, ReadOnlyRefusesEveryWrite) {
    std::string path = NewDatabase();
    DbClose();
    ASSERT_EQ(DbOpen(path.c_str(), 1), 1);
    EXPECT_EQ(InsertSummit("AB/CD-003", "Tor", DateValue(2002, 2, 2), DateValue(2020, 12, 31)), 0);
    EXPECT_EQ(DbUpdate(kRefs, "SummitName = 'Changed'", "1"), 0);
    EXPECT_EQ(DbDelete(kRefs, "1"), 0);
    EXPECT_EQ(DbCount(kRefs, nullptr), 3);
    EXPECT_EQ(DbCount(kRefs, "SummitName = 'Changed'"), 0);
    SummitInfo info;
    EXPECT_EQ(DbLookupSummit("AB/CD-001", &info), 1);
}

TEST_F(SummitsDb, ASecondOpenKeepsTheFirstMode) {
    std::string path = NewDatabase();
    struct Case {
        int first, second;
        int writes;
    };
    const Case cases[] = {{1, 0, 0}, {0, 1, 1}};
    int n = 0;
    for (const Case &c : cases) {
        DbClose();
        ASSERT_EQ(DbOpen(path.c_str(), c.first), 1);
        EXPECT_EQ(DbOpen(path.c_str(), c.second), 1);
        std::string ref = "XY/ZZ-00" + std::to_string(++n);
        EXPECT_EQ(InsertSummit(ref, "Knoll", DateValue(2002, 2, 2), DateValue(2020, 12, 31)), c.writes)
            << "first " << c.first << ", then " << c.second;
    }
}

TEST_F(SummitsDb, CloseTwiceThenEveryStatementFails) {
    std::string path = NewDatabase();
    EXPECT_EQ(DbClose(), 1);
    EXPECT_EQ(DbClose(), 1);
    EXPECT_EQ(InsertSummit("AB/CD-003", "Tor", DateValue(2002, 2, 2), DateValue(2020, 12, 31)), 0);
    EXPECT_EQ(DbUpdate(kRefs, "SummitName = 'Changed'", "1"), 0);
    EXPECT_EQ(DbDelete(kRefs, "1"), 0);
    EXPECT_EQ(DbCount(kRefs, nullptr), 0);
    SummitInfo info;
    memset(&info, 0x5a, sizeof info);
    EXPECT_EQ(DbLookupSummit("AB/CD-001", &info), 0);
    EXPECT_EQ(DbLookupSummit("AB/CD-001", nullptr), -1);

    ASSERT_EQ(DbOpen(path.c_str(), 1), 1);
    EXPECT_EQ(DbCount(kRefs, nullptr), 3) << "nothing was written while closed";
}

TEST_F(SummitsDb, StatementsChangeAndCountRows) {
    NewDatabase();
    EXPECT_EQ(DbCount(kRefs, nullptr), 3);
    EXPECT_EQ(DbCount(kRefs, "ValidTo > '2030-01-01'"), 2);
    EXPECT_EQ(DbUpdate(kRefs, "SummitName = 'Big Hill', Latitude = 10.5", "SummitRef = 'AB/CD-001'"), 1);
    EXPECT_EQ(DbCount(kRefs, "SummitName = 'Big Hill' AND Latitude = 10.5"), 1);
    EXPECT_EQ(DbDelete(kRefs, "SummitRef = 'AB/CD-002'"), 1);
    EXPECT_EQ(DbCount(kRefs, nullptr), 2);
    EXPECT_EQ(DbDelete(kRefs, "1"), 1);
    EXPECT_EQ(DbCount(kRefs, nullptr), 0);
}

TEST_F(SummitsDb, FailingStatementsAnswerZero) {
    NewDatabase();
    EXPECT_EQ(InsertSummit("ab/cd-001", "Again", "NULL", "NULL"), 0) << "the key ignores letter case";
    EXPECT_EQ(InsertSummit("AB/CD-0012345678", "Long", "NULL", "NULL"), 0) << "16 characters in a 15-character key";
    EXPECT_EQ(InsertSummit("AB/CD-009", std::string(51, 'n'), "NULL", "NULL"), 0) << "51 characters in 50";
    EXPECT_EQ(DbInsert(kRefs, "NoSuchColumn", "1"), 0);
    EXPECT_EQ(DbUpdate(kRefs, "SummitName = ", "1"), 0);
    EXPECT_EQ(DbDelete("Missing", "1"), 0);
    EXPECT_EQ(DbInsert(nullptr, kSummitColumns, "1"), 0);
    EXPECT_EQ(DbCount(kRefs, "NoSuchColumn = 1"), 0);
    EXPECT_EQ(DbCount("Missing", nullptr), 0);
    EXPECT_EQ(DbCount(kRefs, nullptr), 3);
}

// A statement cut at its buffer could lose the end of its condition and so hit
// more rows than meant: one that does not fit must not run at all.
TEST_F(SummitsDb, StatementsThatWouldNotFitDoNotRun) {
    NewDatabase();
    const std::string narrow = " AND SummitRef = 'AB/CD-001'";
    struct Case {
        size_t length;
        int result;
    };
    // Too long first: they must leave all three rows.
    const Case cases[] = {{6000, 0}, {4096, 0}, {4095, 1}};

    const std::string countPrefix = std::string("SELECT COUNT(*) FROM ") + kRefs + " WHERE ";
    const Case counts[] = {{400, 0}, {256, 0}, {255, 1}};
    for (const Case &c : counts)
        EXPECT_EQ(DbCount(kRefs, Padded(c.length, countPrefix, "1 = 1", narrow).c_str()), c.result) << c.length;

    const std::string updatePrefix = std::string("UPDATE ") + kRefs + " SET SummitName = 'Renamed' WHERE ";
    for (const Case &c : cases) {
        EXPECT_EQ(DbUpdate(kRefs, "SummitName = 'Renamed'", Padded(c.length, updatePrefix, "1 = 1", narrow).c_str()),
                  c.result)
            << c.length;
        EXPECT_EQ(DbCount(kRefs, "SummitName = 'Renamed'"), c.result) << c.length;
    }

    const std::string insertPrefix = std::string("INSERT INTO ") + kRefs + " ( SummitRef, SummitName ) VALUES ( ";
    for (const Case &c : cases) {
        std::string values = Padded(c.length, insertPrefix, "'ZZ/ZZ-001', 'Added'", " )");
        values.resize(values.size() - 2);   // the closing parenthesis is the statement's own
        EXPECT_EQ(DbInsert(kRefs, "SummitRef, SummitName", values.c_str()), c.result) << c.length;
        EXPECT_EQ(DbCount(kRefs, "SummitRef = 'ZZ/ZZ-001'"), c.result) << c.length;
    }
    EXPECT_EQ(DbDelete(kRefs, "SummitRef = 'ZZ/ZZ-001'"), 1);

    const std::string deletePrefix = std::string("DELETE FROM ") + kRefs + " WHERE ";
    for (const Case &c : cases) {
        EXPECT_EQ(DbDelete(kRefs, Padded(c.length, deletePrefix, "1 = 1", narrow).c_str()), c.result) << c.length;
        EXPECT_EQ(DbCount(kRefs, nullptr), 3 - c.result) << c.length;
    }
}

TEST_F(SummitsDb, InfoDateOfTheCompatibleRow) {
    std::string path = NewDatabase();
    ASSERT_EQ(DbUpdate("Info", ("LastUpdate = " + DateValue(2024, 3, 18)).c_str(), "Version = 1.1"), 1);
    DbClose();
    char dateText[11] = "";
    EXPECT_EQ(DbGetInfoDate(path.c_str(), dateText, 1), Day(2024, 3, 18));
    EXPECT_EQ(dateText, ShortDate(Day(2024, 3, 18)));
#ifndef _WIN32
    EXPECT_STREQ(dateText, "2024-03-18");
#endif
}

TEST_F(SummitsDb, InfoDateOfAnIncompatibleRowIsMinusOneButShown) {
    std::string path = NewDatabase();
    ASSERT_EQ(DbUpdate("Info", ("Version = 1.0, LastUpdate = " + DateValue(2019, 7, 4)).c_str(), "1"), 1);
    char dateText[11] = "";
    EXPECT_EQ(DbGetInfoDate(path.c_str(), dateText, 0), -1);
    EXPECT_EQ(dateText, ShortDate(Day(2019, 7, 4)));

    // A compatible row gives the result; the last row read gives the text.
    std::string values = "'Old', 1.1, " + DateValue(2021, 1, 2) + ", 'c', 'u'";
    ASSERT_EQ(DbInsert("Info", "Description, Version, LastUpdate, Copyright, URL", values.c_str()), 1);
    values = "'Older', 0.9, " + DateValue(2018, 8, 9) + ", 'c', 'u'";
    ASSERT_EQ(DbInsert("Info", "Description, Version, LastUpdate, Copyright, URL", values.c_str()), 1);
    EXPECT_EQ(DbGetInfoDate(path.c_str(), dateText, 0), Day(2021, 1, 2));
    EXPECT_EQ(dateText, ShortDate(Day(2018, 8, 9)));

    // A compatible row without a date has no date.
    ASSERT_EQ(DbDelete("Info", "Version <> 1.1"), 1);
    ASSERT_EQ(DbUpdate("Info", "LastUpdate = NULL", "1"), 1);
    EXPECT_EQ(DbGetInfoDate(path.c_str(), dateText, 0), -1);
}

TEST_F(SummitsDb, InfoDateFailures) {
    char dateText[11] = "keep";
    EXPECT_EQ(DbGetInfoDate(Path(".missing").c_str(), dateText, 1), -1);
    EXPECT_STREQ(dateText, "keep");
    EXPECT_EQ(FileExists(Path(".missing").c_str()), 0);

    // An empty file is an empty database here: no Info table.
    std::string empty = WriteTestFile("empty.MDB", "").string();
    EXPECT_EQ(DbGetInfoDate(empty.c_str(), dateText, 1), -1);
    EXPECT_STREQ(dateText, "keep");
}

TEST_F(SummitsDb, InfoDateLeavesTheConnectionOpenInItsMode) {
    std::string path = NewDatabase();
    DbClose();
    char dateText[11];
    const int modes[] = {1, 0};
    int n = 0;
    for (int mode : modes) {
        DbClose();
        EXPECT_EQ(DbGetInfoDate(path.c_str(), dateText, mode), 0);
        std::string ref = "XY/ZZ-00" + std::to_string(++n);
        EXPECT_EQ(InsertSummit(ref, "Knoll", DateValue(2002, 2, 2), DateValue(2020, 12, 31)), mode == 0 ? 1 : 0)
            << "mode " << mode;
    }
}

TEST_F(SummitsDb, LookupFillsTheRecord) {
    NewDatabase();
    const char *const spellings[] = {"AB/CD-001", "ab/cd-001", "Ab/Cd-001"};
    for (const char *ref : spellings) {
        SummitInfo info;
        memset(&info, 0x5a, sizeof info);
        ASSERT_EQ(DbLookupSummit(ref, &info), 1) << ref;
        EXPECT_STREQ(info.Ref, "AB/CD-001") << "as stored";
        EXPECT_STREQ(info.Name, "Hill");
        EXPECT_EQ(info.ValidFrom, Day(2002, 2, 2));
        EXPECT_EQ(info.ValidTo, Day(2020, 12, 31) + 86399) << "the last second of the day";
        EXPECT_EQ(info.Latitude, 52.5);
        EXPECT_EQ(info.Longitude, -3.75);
    }
}

TEST_F(SummitsDb, LookupCutsToTheRecordsLimits) {
    NewDatabase();
    const std::string name50 = "Allt a Mhuilinn Beag Cnoc na Gaoithe Sgurr nan Clo";
    ASSERT_EQ(name50.size(), 50u);
    ASSERT_EQ(InsertSummit("LONGPREFIX/X-01", name50, "NULL", "NULL"), 1);
    SummitInfo info;
    ASSERT_EQ(DbLookupSummit("LONGPREFIX/X-01", &info), 1);
    EXPECT_EQ(std::string(info.Ref), "LONGPREFIX/X");
    EXPECT_EQ(std::string(info.Name), name50.substr(0, 48));
}

TEST_F(SummitsDb, LookupOfDatesAndEmptyColumns) {
    NewDatabase();
    struct Case {
        const char *ref;
        std::string from, to;
        UtcTime validFrom, validTo;
    };
    const Case cases[] = {
        {"T/D-01", DateValue(2038, 1, 18), DateValue(2038, 1, 18), Day(2038, 1, 18), Day(2038, 1, 18) + 86399},
        // 2038-01-19 23:59:59 lies beyond 32 bits: the largest time stands for it.
        {"T/D-02", DateValue(1970, 1, 1), DateValue(2038, 1, 19), 0, INT32_MAX},
        {"T/D-03", "NULL", "NULL", -1, INT32_MAX},
        {"T/D-04", "'not a date'", "'31/12/2020'", -1, INT32_MAX},
    };
    for (const Case &c : cases) {
        ASSERT_EQ(InsertSummit(c.ref, "Dated", c.from, c.to), 1) << c.ref;
        SummitInfo info;
        ASSERT_EQ(DbLookupSummit(c.ref, &info), 1) << c.ref;
        EXPECT_EQ(info.ValidFrom, c.validFrom) << c.ref;
        EXPECT_EQ(info.ValidTo, c.validTo) << c.ref;
    }

    ASSERT_EQ(DbInsert(kRefs, "SummitRef", "'T/N-01'"), 1);
    SummitInfo info;
    memset(&info, 0x5a, sizeof info);
    ASSERT_EQ(DbLookupSummit("T/N-01", &info), 1);
    EXPECT_STREQ(info.Name, "");
    EXPECT_EQ(info.ValidFrom, -1);
    EXPECT_EQ(info.ValidTo, INT32_MAX);
    EXPECT_EQ(info.Latitude, 0.0);
    EXPECT_EQ(info.Longitude, 0.0);
}

TEST_F(SummitsDb, LookupOfAnythingElseFindsNothingAndTouchesNothing) {
    NewDatabase();
    const std::string hostile[] = {
        "AB/CD-003",
        "",
        "X' OR '1'='1",
        "AB/CD-001' --",
        "AB'CD-001",
        std::string(2000, 'A'),
        "AB/CD-0010000000",  // 16 characters: longer than the column
        "AB/CD-001\n",
        "AB/CD\t001",
    };
    for (const std::string &ref : hostile) {
        SummitInfo info, before;
        memset(&info, 0x5a, sizeof info);
        before = info;
        EXPECT_EQ(DbLookupSummit(ref.c_str(), &info), 0) << "[" << ref << "]";
        EXPECT_EQ(memcmp(&info, &before, sizeof info), 0) << "[" << ref << "]";
    }
    SummitInfo info;
    EXPECT_EQ(DbLookupSummit(nullptr, &info), 0);
    EXPECT_EQ(DbLookupSummit("AB/CD-001", nullptr), -1);
}

// A long log asks for thousands of summits: past some number of lookups the
// answers come from the whole table read at once, and must not differ.
TEST_F(SummitsDb, ManyLookupsAnswerAsSingleOnes) {
    NewDatabase();
    ASSERT_EQ(InsertSummit("LONGPREFIX/X-01", std::string(50, 'n'), "NULL", DateValue(2038, 1, 19)), 1);
    ASSERT_EQ(InsertSummit("T/D-01", "Dated", DateValue(2038, 1, 18), "'not a date'"), 1);
    // More rows than the table's read takes at once, written out of order, a
    // few to each date.
    std::vector<std::string> refs = {"AB/CD-001",    "ab/cd-002", "Ef/Gh-010", "LONGPREFIX/X-01", "longprefix/x-01",
                                     "LONGPREFIX/X", "T/D-01",    "AB/CD-003", "AB/CD-00",        "",
                                     "X' OR '1'='1", "blk/b-0511", "BLK/B-1100"};
    ASSERT_EQ(DbPrepareSummitInsert(), 1);
    for (int n = 1099; n >= 0; --n) {
        char ref[16], name[16], from[12], to[12];
        snprintf(ref, sizeof ref, "BLK/%c-%04d", 'A' + n % 3, n);
        snprintf(name, sizeof name, "Row %d", n);
        ASSERT_EQ(DbDateLiteral(Day(2002, 1, 1 + n / 3), from, sizeof from), 1);
        ASSERT_EQ(DbDateLiteral(Day(2030, 1, 1 + n / 5), to, sizeof to), 1);
        ASSERT_EQ(DbInsertSummit(ref, name, from, to, n * 0.01, -n * 0.02), 1) << ref;
        refs.push_back(ref);
    }
    DbFinishSummitInsert();
    struct Answer {
        int result;
        SummitInfo info;
    };
    auto answers = [&] {
        std::vector<Answer> all;
        for (const std::string &ref : refs) {
            Answer a;
            memset(&a.info, 0x5a, sizeof a.info);
            a.result = DbLookupSummit(ref.c_str(), &a.info);
            all.push_back(a);
        }
        return all;
    };
    std::vector<Answer> single = answers();
    SummitInfo info;
    for (int i = 0; i < kLookupsBeforeTable + 1; ++i) DbLookupSummit("ZZ/ZZ-999", &info);
    std::vector<Answer> fromTable = answers();
    for (size_t i = 0; i < single.size(); ++i) {
        EXPECT_EQ(fromTable[i].result, single[i].result) << refs[i];
        EXPECT_EQ(memcmp(&fromTable[i].info, &single[i].info, sizeof(SummitInfo)), 0) << refs[i];
    }

    // A write is seen by the next lookup.
    ASSERT_EQ(InsertSummit("NEW/ONE-001", "New", DateValue(2002, 2, 2), DateValue(2037, 12, 31)), 1);
    EXPECT_EQ(DbLookupSummit("new/one-001", &info), 1);
    for (int i = 0; i < kLookupsBeforeTable + 1; ++i) DbLookupSummit("ZZ/ZZ-999", &info);
    ASSERT_EQ(DbDelete(kRefs, "SummitRef = 'AB/CD-001'"), 1);
    EXPECT_EQ(DbLookupSummit("AB/CD-001", &info), 0);
    EXPECT_EQ(DbLookupSummit("AB/CD-002", &info), 1);
}

TEST_F(SummitsDb, DateLiteralsAreIsoForTheStandIn) {
    struct Case {
        UtcTime t;
        const char *text;
    };
    const Case cases[] = {
        {0, "1970-01-01"},
        {Day(2020, 12, 31) + 86399, "2020-12-31"},
        {-1, "1969-12-31"},
        {INT32_MAX, "2038-01-19"},
    };
    for (const Case &c : cases) {
        char text[12];
        EXPECT_EQ(DbDateLiteral(c.t, text, sizeof text), 1) << c.t;
        EXPECT_STREQ(text, c.text) << c.t;
    }
    char small[10] = "keep";
    EXPECT_EQ(DbDateLiteral(0, small, sizeof small), 0);
    EXPECT_STREQ(small, "");
}

TEST_F(SummitsDb, DiagnosticsOfAFailedConnection) {
    SQLHENV env = SQL_NULL_HENV;
    SQLHDBC dbc = SQL_NULL_HDBC;
    ASSERT_TRUE(SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env)));
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    ASSERT_TRUE(SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc)));
    SQLCHAR connect[] = "Driver={No Such Driver};Database=x";
    SQLSMALLINT length = 0;
    EXPECT_EQ(SQLDriverConnect(dbc, nullptr, connect, SQL_NTS, nullptr, 0, &length, SQL_DRIVER_NOPROMPT), SQL_ERROR);

    testing::internal::CaptureStderr();
    int result = DbPrintDiagnostics("the test connection", dbc, SQL_HANDLE_DBC);
    std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(result, SQL_NO_DATA);
    const std::string header = "\nThe driver reported the following diagnostics whilst running the test connection\n\n";
    ASSERT_EQ(printed.compare(0, header.size(), header), 0) << printed;
    // state:record:native:message, starting at record 1.
    std::string first = printed.substr(header.size());
    ASSERT_GT(first.size(), 8u) << printed;
    EXPECT_EQ(first.substr(5, 3), ":1:") << printed;
    EXPECT_NE(first.find("No Such Driver"), std::string::npos) << printed;
    EXPECT_EQ(first.back(), '\n') << printed;

    testing::internal::CaptureStderr();
    result = DbPrintDiagnostics("nothing", env, SQL_HANDLE_ENV);
    printed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(result, SQL_NO_DATA);
    EXPECT_EQ(printed, "\nThe driver reported the following diagnostics whilst running nothing\n\n");

    SQLFreeHandle(SQL_HANDLE_DBC, dbc);
    SQLFreeHandle(SQL_HANDLE_ENV, env);
}

}  // namespace
