// The log loader: round trips through the writer, the older layouts and their
// questions, the error log line by line against a real summits database, the
// acceptance rule, list growth, and hostile files.
#include "logloader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "logwriter.h"
#include "qsolist.h"
#include "registry.h"
#include "settings.h"
#include "summitsdb.h"
#include "uihooks.h"
#include "../support/tempfile.h"
#include "../support/testregistry.h"
#include "../support/testtime.h"
#include "uihooks_double.h"

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

std::string ReadFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Every entry as "time|his call|band|mode|his summit|notes|my call|my summit|swl".
std::vector<std::string> Entries() {
    std::vector<std::string> out;
    for (QsoEntry *e = QsoListHead; e; e = e->next)
        out.push_back(std::to_string(e->qsoTime) + "|" + e->hisCall + "|" + e->band + "|" + e->mode + "|" +
                      e->hisSummit + "|" + e->notes + "|" + e->myCall + "|" + e->mySummit + "|" +
                      std::to_string(e->swl));
    return out;
}

const char kHeader[] =
    "Signature,Call (my call),Full Reference (my summit),Date,Time,Band,Mode,Call (his call),"
    "Full Reference (his summit),Notes\r\n";

int AddSummit(const char *ref, UtcTime from, UtcTime to) {
    char a[12], b[12];
    EXPECT_EQ(DbDateLiteral(from, a, sizeof a), 1);
    EXPECT_EQ(DbDateLiteral(to, b, sizeof b), 1);
    std::string values = "'"s + ref + "', 'Hill', '" + a + "', '" + b + "', 54.5, -3.0";
    return DbInsert("\"References\"", "SummitRef, SummitName, ValidFrom, ValidTo, Latitude, Longitude",
                    values.c_str());
}

class LogLoader : public ::testing::Test {
protected:
    void SetUp() override {
        FreeQsoList();
        LogModified = 0;
        EditorSettings = EditorSettingsRecord{};
        ResetUiRecord();
        TestDeleteKey(SettingsKey);
        TestCreateKey(SettingsKey);
        DbClose();
        fs::path data = TestTempPath("data");
        fs::create_directories(data);
        snprintf(EditorSettings.DataDirectory, sizeof EditorSettings.DataDirectory, "%s", data.string().c_str());
        errorLog = std::string(EditorSettings.DataDirectory) + "\\VORN_CSV_Err.log";
        fs::remove(errorLog);
    }
    void TearDown() override {
        FreeQsoList();
        DbClose();
        TestDeleteKey(SettingsKey);
    }
    // Summits valid through 2023 only (G/LD-001) and always (G/SP-002).
    void OpenDatabase() {
        fs::path db = TestTempPath("loader_refs.mdb");
        fs::remove(db);
        ASSERT_EQ(DbCreate(db.string().c_str(), 0), 1);
        ASSERT_EQ(AddSummit("G/LD-001", Day(2000, 1, 1), Day(2023, 12, 31) + 86399), 1);
        ASSERT_EQ(AddSummit("G/SP-002", Day(2000, 1, 1), Day(2099, 12, 31)), 1);
        DbAvailable = 1;
    }
    int Load(const std::string &name, const std::string &bytes) {
        std::string path = WriteTestFile(name, bytes).string();
        return LoadCsvLog(nullptr, path.c_str());
    }
    // The error log's numbered lines, without its two header lines.
    std::string ErrorLines() {
        std::string text = ReadFile(errorLog);
        size_t first = text.find("\r\n"), second = first == std::string::npos ? first : text.find("\r\n", first + 2);
        return second == std::string::npos ? "" : text.substr(second + 2);
    }
    std::string errorLog;
};

TEST_F(LogLoader, RoundTripsThroughTheWriter) {
    for (const char *name : {"trip.csv", "trip.TSV"}) {
        FreeQsoList();
        InsertQsoEntry(0, Day(2024, 3, 5) + 14 * 3600 + 7 * 60, "M0XYZ", "14MHz", "CW", "G/LD-001",
                       "said \"hi\", then\tleft", "G4ABC/P", "G/SP-002", 0);
        InsertQsoEntry(0, Day(2024, 3, 5) + 14 * 3600 + 8 * 60, "2E0AAA", "144MHz", "FM", "", "a,b", "G4ABC", "", 1);
        InsertQsoEntry(0, Day(2024, 3, 6), "F5ZZ", "2.3GHz", "SSB", "", "", "G4ABC", "", 0);
        if (std::string(name).find("TSV") != std::string::npos) strcpy(QsoListHead->notes, "a,b\tc");
        const std::vector<std::string> saved = Entries();
        std::string path = TestTempPath(name).string();
        ASSERT_EQ(WriteCsvLog(nullptr, path.c_str()), 1) << name;
        FreeQsoList();
        ASSERT_EQ(LoadCsvLog(nullptr, path.c_str()), 1) << name;
        EXPECT_EQ(Entries(), saved) << name;
        EXPECT_EQ(LogModified, 1);
        EXPECT_EQ(ui.statusMessages.back(), (std::pair<std::string, unsigned>{"Log opened (All Ok)", 5000}));
    }
    // Contacts of one minute come back the other way round: each loaded one
    // goes before those of its time already in the list.
    FreeQsoList();
    InsertQsoEntry(0, 60, "FIRST", "14MHz", "CW", "", "", "G4ABC", "", 0);
    InsertQsoEntry(0, 60, "SECOND", "14MHz", "CW", "", "", "G4ABC", "", 0);
    std::string path = TestTempPath("same.csv").string();
    ASSERT_EQ(WriteCsvLog(nullptr, path.c_str()), 1);
    FreeQsoList();
    ASSERT_EQ(LoadCsvLog(nullptr, path.c_str()), 1);
    EXPECT_STREQ(QsoListHead->hisCall, "FIRST");
}

TEST_F(LogLoader, EmptyAndHeaderOnlyFilesLoadEmpty) {
    for (const std::string &bytes : {""s, std::string(kHeader), "\xEF\xBB\xBF"s + kHeader + "\r\n\r\n"}) {
        ResetUiRecord();
        EXPECT_EQ(Load("empty.csv", bytes), 1);
        EXPECT_EQ(QsoListHead, nullptr);
        EXPECT_EQ(ui.statusMessages,
                  (decltype(ui.statusMessages){{"Checking CSV ...", 0}, {"Loading CSV ...", 0}, {"Log opened (All Ok)", 5000}}));
    }
}

TEST_F(LogLoader, DatesAndTimes) {
    struct Case {
        const char *date, *time;
        UtcTime t;
    } const cases[] = {
        {"03/05/10", "0930", Day(2010, 5, 3) + 9 * 3600 + 30 * 60},
        {"2010-05-03", "9:30:15", Day(2010, 5, 3) + 9 * 3600 + 30 * 60},
        {"1/1/37", "00:00", Day(2037, 1, 1)},
        {"1/1/99", "00:00", -1},   // 2099: beyond the 32-bit time
        {"1/1/110", "12:00", Day(2010, 1, 1) + 12 * 3600},
        {"31/12/2024", "23:59", Day(2024, 12, 31) + 23 * 3600 + 59 * 60},
        {"32/01/2024", "00:00", Day(2024, 2, 1)},   // not range-checked: rolls over
    };
    std::string file = kHeader;
    for (const Case &c : cases) file += "v2,G4ABC,,"s + c.date + "," + c.time + ",14MHz,CW," + c.date + ",,\r\n";
    for (int i = 0; i < 10; ++i) file += "v2,G4ABC,,01/01/2024,10:00,14MHz,CW,PAD,,\r\n";
    ui.answers = {7};
    ASSERT_EQ(Load("dates.csv", file), 1);
    for (const Case &c : cases) {
        bool found = false;
        for (QsoEntry *e = QsoListHead; e; e = e->next)
            if (strcmp(e->hisCall, std::string(c.date).substr(0, 12).c_str()) == 0) {
                EXPECT_EQ(e->qsoTime, c.t) << c.date << " " << c.time;
                found = true;
            }
        EXPECT_TRUE(found) << c.date;
    }
}

TEST_F(LogLoader, BandFromFrequency) {
    struct Case {
        const char *text, *band;
        float mhz;
    } const cases[] = {
        {"14.062", "14MHz", 14.062f}, {"14MHz", "14MHz", 14}, {"14mhz", "14MHz", 14}, {"7032kHz", "7MHz", 7.032f},
        {"2.3GHz", "2.3GHz", 2300},   {"5.7GHz", "5.6GHz", 5700}, {"20m", "Unknown", 20}, {"MICROWAVE", "VLF", 0},
        {"", "VLF", 0},               {"0.136", "VLF", 0.136f}, {"1", "1.8MHz", 1},   {"2.5", "Unknown", 2.5f},
        {"82000", "76GHz", 82000},    {"90000", "Unknown", 90000}, {"-3", "VLF", -3}, {"nan", "VLF", 0},
        {"inf", "VLF", 0},            {"0x10", "VLF", 0},       {" 1.3e3MHz", "1240MHz", 1300}, {"14.5e", "14MHz", 14.5f},
    };
    for (const Case &c : cases) {
        float mhz = -1;
        EXPECT_STREQ(BandFromFrequencyText(c.text, &mhz), c.band) << c.text;
        EXPECT_EQ(mhz, c.mhz) << c.text;
    }
    // The band as written differs: the notes get the frequency.
    ASSERT_EQ(Load("bands.csv", kHeader + "v2,G4ABC,,01/01/2024,10:00,14.062,CW,A,,hi\r\n"
                                          "v2,G4ABC,,01/01/2024,10:01,14mhz,CW,B,,\r\n"
                                          "v2,G4ABC,,01/01/2024,10:02,7032kHz,CW,C,,x\r\n"
                                          "v2,G4ABC,,01/01/2024,10:03,5.7GHz,CW,D,,\r\n"
                                          "v2,G4ABC,,01/01/2024,10:04,14MHz,CW,E,,\r\n"s),
              1);
    std::vector<std::string> notes;
    for (QsoEntry *e = QsoListHead; e; e = e->next) notes.push_back(std::string(e->band) + "|" + e->notes);
    // A band of the lists, in any case, is no frequency: it gets no token.
    EXPECT_EQ(notes, (std::vector<std::string>{"14MHz|hi QRG:14.062", "14MHz|", "7MHz|x QRG:7.032",
                                               "5.6GHz| QRG:5700.000", "14MHz|"}));
    EXPECT_EQ(EditorSettings.UserBandCount, 3);   // 14MHz, 7MHz, 5.6GHz
}

// A band field that names a band of the user's list or of the defaults stays
// as it is on every reload; only other texts are read as frequencies.
TEST_F(LogLoader, BandsOfTheListsAreKept) {
    strcpy(EditorSettings.UserBands[0], "20m");
    EditorSettings.UserBandCount = 1;
    struct Case {
        const char *field, *band, *notes;
    } const cases[] = {
        {"MICROWAVE", "MICROWAVE", "n"}, {"20M", "20m", "n"},     {"VLF", "VLF", "n"},
        {"Unknown", "Unknown", "n"},     {"24ghz", "24ghz", "n"}, {"17m", "Unknown", "n QRG:17.000"},
        {"", "", "n"},                   {"14.062", "14MHz", "n QRG:14.062"},
    };
    std::string file = kHeader;
    int minute = 0;
    for (const Case &c : cases)
        file += "v2,G4ABC,,01/01/2024,10:0"s + std::to_string(minute++) + "," + c.field + ",CW,A,,n\r\n";
    ASSERT_EQ(Load("bands.csv", file), 1);
    std::vector<std::string> expected;
    for (const Case &c : cases) expected.push_back(std::string(c.band) + "|" + c.notes);
    for (int load = 0; load < 3; ++load) {
        std::vector<std::string> got;
        for (QsoEntry *e = QsoListHead; e; e = e->next) got.push_back(std::string(e->band) + "|" + e->notes);
        EXPECT_EQ(got, expected) << "load " << load;
        std::string path = TestTempPath("bands.csv").string();
        ASSERT_EQ(WriteCsvLog(nullptr, path.c_str()), 1);
        FreeQsoList();
        ASSERT_EQ(LoadCsvLog(nullptr, path.c_str()), 1);
    }
}

// Whatever a field holds (typed, or read from an older file), a save and a
// load give it back: fields with the separator or double quotes are quoted.
TEST_F(LogLoader, SavedFieldsComeBackUnchanged) {
    strcpy(EditorSettings.UserBands[0], "2\tm");   // a band of the user's own
    EditorSettings.UserBandCount = 1;
    ASSERT_EQ(Load("quotes.csv", "\"v2\",\"G4,A\"\"BC\",\"'G/LD',001\",01/01/2024,10:00,\"14,MHz\",\"C\"\"W\","
                                 "\"A\"\"B\",\"G'X\",\"n,\"\"o\"\"\"\r\n"),
              1);
    InsertQsoEntry(0, Day(2024, 1, 2), "\"Q,1", "2\tm", "F,M", "\"G/X", "t\tab", "M\"E", "G/\tY", 1);
    InsertQsoEntry(0, Day(2024, 1, 3), "PLAIN", "14MHz", "CW", "G/LD-001", "no quotes", "G4ABC", "", 0);
    const std::vector<std::string> saved = Entries();
    for (const char *name : {"again.csv", "again.tsv"}) {
        std::string path = TestTempPath(name).string();
        ASSERT_EQ(WriteCsvLog(nullptr, path.c_str()), 1) << name;
        FreeQsoList();
        ResetUiRecord();
        ASSERT_EQ(LoadCsvLog(nullptr, path.c_str()), 1) << name;
        EXPECT_EQ(Entries(), saved) << name;
        EXPECT_EQ(ui.statusMessages.back(), (std::pair<std::string, unsigned>{"Log opened (All Ok)", 5000})) << name;
    }
    // A field without a separator or quote is written as it stands.
    EXPECT_NE(ReadFile(TestTempPath("again.csv").string())
                  .find("\r\nv2,G4ABC,,03/01/2024,00:00,14MHz,CW,PLAIN,G/LD-001,no quotes\r\n"),
              std::string::npos);
}

// A NUL byte is no text: it is dropped, and the line around it stays one line
// and one contact, whatever field it stands in.
TEST_F(LogLoader, ANulByteIsDroppedAndItsLineStaysOneContact) {
    // "~" stands for a NUL byte.
    auto nul = [](std::string text) {
        for (char &c : text)
            if (c == '~') c = '\0';
        return text;
    };
    const std::string a = "v2,G4ABC,,01/01/2024,10:00,14MHz,CW,A,,\r\n";
    const std::string b = "v2,G4ABC,,01/01/2024,10:01,14MHz,CW,B,,note";
    struct Case {
        const char *what;
        std::string file;
        std::vector<std::string> contacts;   // time|call|notes|my call
    } const cases[] = {
        {"a line that begins with NUL", kHeader + nul("~") + a, {"10:00|A||G4ABC"}},
        {"a NUL in the notes", kHeader + a + b + nul("~tail\r\n"), {"10:00|A||G4ABC", "10:01|B|notetail|G4ABC"}},
        {"NULs inside calls, a date and a time", kHeader + nul("v2,G4~ABC,,0~1/01/2024,10:0~2,14MHz,CW,C~D,,\r\n"),
         {"10:02|CD||G4ABC"}},
        {"NULs at the line ends", kHeader + nul("~~") + a + nul("~") + b + nul("\r\n~"),
         {"10:00|A||G4ABC", "10:01|B|note|G4ABC"}},
    };
    for (const Case &c : cases) {
        FreeQsoList();
        ResetUiRecord();
        fs::remove(errorLog);
        EXPECT_EQ(Load("zerobyte.csv", c.file), 1) << c.what;
        std::vector<std::string> contacts;
        for (QsoEntry *e = QsoListHead; e; e = e->next) {
            char time[8];
            snprintf(time, sizeof time, "%02d:%02d", static_cast<int>(e->qsoTime % 86400 / 3600),
                     static_cast<int>(e->qsoTime % 3600 / 60));
            contacts.push_back(std::string(time) + "|" + e->hisCall + "|" + e->notes + "|" + e->myCall);
        }
        EXPECT_EQ(contacts, c.contacts) << c.what;
        EXPECT_EQ(ui.statusMessages.back(), (std::pair<std::string, unsigned>{"Log opened (All Ok)", 5000}))
            << c.what;
        EXPECT_EQ(ErrorLines(), "") << c.what;
    }
}

// A line of the other layout is read in the layout of the file's first data
// line; its date is checked as it will be read, so a lost date is reported.
TEST_F(LogLoader, ALineOfTheOtherLayoutIsCheckedAsItIsRead) {
    const std::string v2 = "v2,G4ABC,,01/01/2024,10:00,14MHz,CW,A,,\r\n";
    const std::string older = "G4ABC,01/01/2024,1000,G/SP-002,2m,FM,M0XYZ,hi\r\n";
    struct Case {
        const char *what;
        std::string file;
        const char *errors;
    } const cases[] = {
        {"older line in a V2 file", v2 + older, "1: Invalid or unsupported Date/Time detected on line 2\r\n"},
        {"V2 line in an older file", older + v2, "1: Invalid Date/Time detected on line 2\r\n"},
    };
    for (const Case &c : cases) {
        FreeQsoList();
        ResetUiRecord();
        fs::remove(errorLog);
        ui.answers = {6};
        EXPECT_EQ(Load("mixed.csv", c.file), 0) << c.what;   // 2 lines allow no problem
        EXPECT_EQ(ErrorLines(), c.errors) << c.what;
    }
}

TEST_F(LogLoader, OlderLayouts) {
    struct Case {
        const char *what, *file;
        int answer;   // to the chaser question; 0: no question expected
        std::vector<std::string> entries;
    } const cases[] = {
        {"chaser by header", "MyCall,Date,Time,Summit,Band,Mode,Call,Notes\r\ng4abc,05/03/2024,1407,G/LD-001,2m,FM,M0XYZ,hi\r\n",
         0, {std::to_string(Day(2024, 3, 5) + 50820) + "|M0XYZ|2m|FM|G/LD-001|hi|G4ABC||0"}},
        {"activator by header", "Call used,Date,Time,Summit,Band,Mode,Call\r\ng4abc,05/03/2024,1407,G/LD-001,2m,FM,M0XYZ\r\n",
         0, {std::to_string(Day(2024, 3, 5) + 50820) + "|M0XYZ|2m|FM|||g4abc|G/LD-001|0"}},
        {"asked, chaser", "g4abc,05/03/2024,1407,G/LD-001,2m,FM,M0XYZ,n1,x,y\r\n", 6,
         {std::to_string(Day(2024, 3, 5) + 50820) + "|M0XYZ|2m|FM|G/LD-001|n1|G4ABC||0"}},
        {"asked, activator", "g4abc,05/03/2024,1407,G/LD-001,2m,FM,M0XYZ\r\n", 7,
         {std::to_string(Day(2024, 3, 5) + 50820) + "|M0XYZ|2m|FM|||g4abc|G/LD-001|0"}},
    };
    for (const Case &c : cases) {
        FreeQsoList();
        ResetUiRecord();
        strcpy(EditorSettings.MyCall[0], "G4ABC");
        EditorSettings.MyCallCount = 1;
        if (c.answer) ui.answers = {c.answer};
        ASSERT_EQ(Load("older.csv", c.file), 1) << c.what;
        EXPECT_EQ(Entries(), c.entries) << c.what;
        if (c.answer)
            EXPECT_EQ(ui.questions, std::vector<std::string>{"The program has detected that 'older.csv' is an older CSV log "
                                                             "file, but needs some assistance\n'Is this a Chaser Log' ?|36"})
                << c.what;
        else
            EXPECT_TRUE(ui.questions.empty()) << c.what;
    }
}

TEST_F(LogLoader, WrongFormat) {
    EXPECT_EQ(Load("wrong.csv", "a,b,c\r\nv2,G4ABC,,01/01/2024,10:00,14MHz,CW,A,,\r\n"), 0);
    EXPECT_EQ(QsoListHead, nullptr);
    EXPECT_EQ(ErrorLines(), "1: ERROR: Wrong Number of Parameters on line\r\n2: ERROR: Wrong CSV format\r\n");
    EXPECT_EQ(ui.statusMessages.back(), (std::pair<std::string, unsigned>{"ERROR: Wrong CSV format", 0}));
    EXPECT_EQ(ui.beeps, 1);
    EXPECT_TRUE(ui.questions.empty());
    EXPECT_TRUE(ui.programsOpened.empty());
}

TEST_F(LogLoader, ErrorLogAgainstTheDatabase) {
    OpenDatabase();
    const std::string file = "v2,G4ABC,G/LD-001,05/03/2024,10:00,14MHz,CW,A,G/XX-999,\r\n"   // line 1
                             "v2,G4ABC,X,05/03/2024,10:00,14MHz,CW,B,G/SP-002,\r\n"          // too short to check
                             "v2,G4ABC,,bad,10:00,14MHz,CW,C,G/LD-001,\r\n"                  // date error only
                             + std::string(kHeader) +                                        // line 4
                             "v2,G4ABC,G/NO-000,01/01/2023,10:00,14MHz,CW,D,G/LD-001,\r\n"   // own unknown
                             "v2,G4ABC,,01/01/2024,10:00,14MHz,CW,E,G/LD-001,\r\n";          // line 6, invalid
    std::string lines = file;
    for (int i = 0; i < 50; ++i) lines += "v2,G4ABC,,01/01/2024,10:00,14MHz,CW,F,G/SP-002,\r\n";
    ui.answers = {7};
    ASSERT_EQ(Load("checked.csv", lines), 1);
    EXPECT_EQ(ErrorLines(),
              "1: (Activated) Summit G/LD-001 may not be valid on 05/03/2024 (line 1)\r\n"
              "2: Unknown Summit G/XX-999 (line 1)\r\n"
              "3: Invalid or unsupported Date/Time detected on line 3\r\n"
              "4: Unknown (Activated) Summit G/NO-000 (line 5 - QSO 1)\r\n"
              "5: Summit G/LD-001 may not be valid on 01/01/2024 (line 6 - QSO 2)\r\n");
    std::string text = ReadFile(errorLog);
    EXPECT_EQ(text.find("Error Log started : "), 0u);
    EXPECT_NE(text.find(" UTC\r\nVORN Log '" + TestTempPath("checked.csv").string() + "'\r\n1: "), std::string::npos);
    EXPECT_EQ(ui.questions, std::vector<std::string>{"Warning: Problems were detected in the Log\ndo you want to "
                                                     "examine the error log '" + errorLog + "' now?\n|52"});
    EXPECT_TRUE(ui.programsOpened.empty());   // answered No
    EXPECT_EQ(ui.statusMessages.back(), (std::pair<std::string, unsigned>{"Log opened (but with suspect entries)", 15000}));
    EXPECT_EQ(QsoListHead->qsoTime, -1);   // the bad date sorts first

    // An older-layout line with an empty summit field is still looked up.
    FreeQsoList();
    ResetUiRecord();
    DbAvailable = 1;
    std::string older = "MyCall,Date,Time,Summit,Band,Mode,Call\r\n";
    for (int i = 0; i < 10; ++i) older += "G4ABC,01/01/2024,1000,G/SP-002,2m,FM,M0XYZ\r\n";
    older += "G4ABC,01/01/2024,1000,,2m,FM,M0XYZ\r\nG4ABC,01/01/2022,1000,'G/LD-001,2m,FM,M0XYZ\r\n";
    ui.answers = {6};
    ASSERT_EQ(Load("older.csv", older), 0);   // 13 lines allow one problem
    EXPECT_EQ(ErrorLines(), "1: Unknown Summit '' (line 12 - QSO 11)\r\n2: Unknown Summit ''G/LD-001' (line 13 - QSO 12)\r\n");
    EXPECT_EQ(ui.programsOpened, (decltype(ui.programsOpened){{errorLog, ""}}));
}

TEST_F(LogLoader, ProblemsAllowedPerTenLines) {
    struct Case {
        int lines, bad, loaded;
    } const cases[] = {{25, 2, 1}, {25, 3, 0}, {9, 1, 0}, {10, 1, 1}};
    for (const Case &c : cases) {
        FreeQsoList();
        ResetUiRecord();
        std::string file;
        for (int i = 0; i < c.lines; ++i)
            file += "v2,G4ABC,," + std::string(i < c.bad ? "x" : "01/01/2024") + ",10:00,14MHz,CW,A,,\r\n";
        ui.answers = {7};
        EXPECT_EQ(Load("count.csv", file), c.loaded) << c.lines << " " << c.bad;
        EXPECT_EQ(QsoListHead != nullptr, c.loaded == 1);
        ASSERT_EQ(ui.questions.size(), 1u);
        EXPECT_EQ(ui.questions[0].substr(0, 5), c.loaded ? "Warni" : "ERROR");
    }
}

TEST_F(LogLoader, ListsGrowUntilFull) {
    for (int i = 0; i < 19; ++i) snprintf(EditorSettings.MyCall[i], kMyCallSize, "CALL%d", i);
    EditorSettings.MyCallCount = 19;
    std::string file = kHeader;
    file += "v2,new1,,01/01/2024,10:00,14MHz,,A,,\r\n";
    file += "v2,NEW2,,01/01/2024,10:00,14MHz,,A,,\r\n";
    file += "v2,new2,,01/01/2024,10:00,14MHz,,A,,\r\n";
    file += "v2,call3,,01/01/2024,10:00,14MHz,,A,,\r\n";
    ASSERT_EQ(Load("lists.csv", file), 1);
    EXPECT_EQ(EditorSettings.MyCallCount, 20);
    EXPECT_STREQ(EditorSettings.MyCall[19], "new1");
    EXPECT_EQ(ui.messageBoxes, (std::vector<std::string>(2, "VORN CSV Log Editor|WARNING: More Callsigns used than "
                                                           "code supports|48")));
    EXPECT_EQ(ui.comboRefills, "CB");   // the callsign, then the band; the empty mode adds nothing
    EXPECT_EQ(EditorSettings.UserModeCount, 0);
    std::vector<std::string> calls;
    for (QsoEntry *e = QsoListHead; e; e = e->next) calls.push_back(e->myCall);
    EXPECT_EQ(calls, (std::vector<std::string>{"CALL3", "new2", "NEW2", "new1"}));
    TestStoredValue stored = TestReadValue(SettingsKey, "MyCall");
    EXPECT_EQ(stored.type, TARN_REG_MULTI_SZ);
    EXPECT_NE(stored.bytes.find("new1"), std::string::npos);
}

// Words of a header in the notes of a contact keep it a contact.
TEST_F(LogLoader, HeaderWordsInNotes) {
    std::string file = kHeader;
    file += "v2,G4ABC,,01/01/2024,10:00,14MHz,CW,A,,Version 2 of My Call\r\n";
    file += "V2SWL,G4ABC,,01/01/2024,10:01,14MHz,CW,B,,Signature MyCall\r\n";
    ASSERT_EQ(Load("words.csv", file), 1);
    EXPECT_EQ(Entries(), (std::vector<std::string>{
                             std::to_string(Day(2024, 1, 1) + 36000) + "|A|14MHz|CW||Version 2 of My Call|G4ABC||0",
                             std::to_string(Day(2024, 1, 1) + 36060) + "|B|14MHz|CW||Signature MyCall|G4ABC||1"}));
}

TEST_F(LogLoader, HostileFiles) {
    OpenDatabase();
    EditorSettings.RefChecking = 1;
    std::string garbage;
    for (int i = 0; i < 5000; ++i) garbage += static_cast<char>((i * 7919) % 256);
    const std::string quotes = "\"v2\",\"G4,A\"\"BC\",\"'G/LD',001\",\"01/01/2024\",\"10:00\",\"14,MHz\",\"C\"\"W\","
                               "\"A\"\"B\",\"G'X\",\"n,\"\"o\"\"\"\r\n";
    const std::string cases[] = {
        garbage,
        std::string(kHeader) + "v2," + std::string(1 << 20, 'x') + ",,01/01/2024,10:00,14MHz,CW,A,,\r\n",
        "\xEF\xBB\xBF" "v2,G4ABC,,01/01/2024,10:00,14MHz,CW,A,,\r\n",
        quotes,
        "v2\r\nv2,\r\n,,,,,,,\r\n",
        std::string("v2,G4ABC,,01/01/2024,10:00,14MHz,CW,A,,\0x\r\n", 44),
    };
    for (const std::string &bytes : cases) {
        FreeQsoList();
        ResetUiRecord();
        DbAvailable = 1;
        ui.answers = {7, 7, 7};
        int result = Load("hostile.csv", bytes);
        EXPECT_TRUE(result == 0 || result == 1);
        for (QsoEntry *e = QsoListHead; e; e = e->next) EXPECT_LE(strlen(e->notes), 128u);
    }
    FreeQsoList();
    ResetUiRecord();
    ASSERT_EQ(Load("bom.csv", cases[2]), 1);
    EXPECT_EQ(Entries().size(), 1u);
    FreeQsoList();
    ASSERT_EQ(Load("quotes.csv", quotes), 1);
    EXPECT_EQ(Entries(), (std::vector<std::string>{std::to_string(Day(2024, 1, 1) + 36000) +
                                                   "|A\"B|14MHz|C\"W|G'X|n,\"o\" QRG:14.000|G4,A\"BC|'G/LD',001|0"}));
}

TEST_F(LogLoader, OpenAndReadFailuresLoadNothing) {
    std::string missing = (TestTempPath("none") / "log.csv").string();
    EXPECT_EQ(LoadCsvLog(nullptr, missing.c_str()), 0);
    EXPECT_EQ(ui.statusMessages, (decltype(ui.statusMessages){{"Error: "s + strerror(ENOENT) + "\n", 0}}));
    EXPECT_EQ(ui.beeps, 1);
#ifndef _WIN32
    // A folder opens here but every read fails.
    ResetUiRecord();
    fs::create_directories(TestTempPath("folder.csv"));
    EXPECT_EQ(LoadCsvLog(nullptr, TestTempPath("folder.csv").string().c_str()), 0);
    EXPECT_EQ(ui.statusMessages.back(), (std::pair<std::string, unsigned>{"Error: "s + strerror(EIO) + "\n", 0}));
    EXPECT_EQ(QsoListHead, nullptr);
#endif
}

TEST_F(LogLoader, ErrorLogThatCannotBeCreated) {
    strcpy(EditorSettings.DataDirectory, (TestTempPath("nodir") / "deeper").string().c_str());
    ui.answers = {7};
    EXPECT_EQ(Load("bad.csv", "v2,G4ABC,,x,10:00,14MHz,CW,A,,\r\nv2,G4ABC,,x,10:00,14MHz,CW,A,,\r\n"), 0);
    ASSERT_EQ(ui.messageBoxes.size(), 2u);   // once per message
    EXPECT_EQ(ui.messageBoxes[0].find("VORN CSV Log Editor|ERROR: Unable to create Error Log '"), 0u);
    EXPECT_EQ(ErrorLogFile, nullptr);
}

}  // namespace
