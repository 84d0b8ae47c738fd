// The ADIF export: a small log byte for byte against a file written by hand,
// the note tokens, bands, reports and operator by table, and the failures.
#include "adifexport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "qsolist.h"
#include "registry.h"
#include "settings.h"
#include "summitsdb.h"
#include "../support/tempfile.h"
#include "../support/testregistry.h"
#include "../support/testtime.h"
#include "uihooks.h"
#include "uihooks_double.h"

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#endif

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

fs::path Golden(const char *name) { return fs::path(__FILE__).parent_path() / "golden" / name; }

int AddSummit(const char *ref, const char *latitude, const char *longitude) {
    char from[12], to[12];
    EXPECT_EQ(DbDateLiteral(Day(2000, 1, 1), from, sizeof from), 1);
    EXPECT_EQ(DbDateLiteral(Day(2099, 12, 31), to, sizeof to), 1);
    std::string values = "'"s + ref + "', 'Hill', '" + from + "', '" + to + "', " + latitude + ", " + longitude;
    return DbInsert("\"References\"", "SummitRef, SummitName, ValidFrom, ValidTo, Latitude, Longitude",
                    values.c_str());
}

class AdifExport : public ::testing::Test {
protected:
    void SetUp() override {
        FreeQsoList();
        EditorSettings = EditorSettingsRecord{};
        strcpy(EditorSettings.MyCall[0], "G4ABC/P");
        EditorSettings.MyCallCount = 1;
        ResetUiRecord();
        ui.programVersion = "1.2.3.4";
        TestDeleteKey(SettingsKey);
        TestCreateKey(SettingsKey);
        DbClose();
    }
    void TearDown() override {
        FreeQsoList();
        DbClose();
        TestDeleteKey(SettingsKey);
    }
    // Two summits in a fresh database, which stays open.
    void OpenDatabase() {
        fs::path db = TestTempPath("adif_refs.mdb");
        fs::remove(db);
        ASSERT_EQ(DbCreate(db.string().c_str(), 0), 1);
        ASSERT_EQ(AddSummit("G/LD-001", "54.5", "-3.0"), 1);
        ASSERT_EQ(AddSummit("G/SP-002", "51.0", "-1.0"), 1);
        DbAvailable = 1;
    }
    // The record of a single entry, without the header, as the file holds it
    // but with plain line feeds.
    std::string RecordOf(const char *notes, const char *band = "14MHz", const char *mode = "SSB",
                         const char *hisSummit = "", const char *mySummit = "") {
        FreeQsoList();
        InsertQsoEntry(0, Day(2024, 1, 2), "M0XYZ", band, mode, hisSummit, notes, "G4ABC", mySummit, 0);
        fs::path path = TestTempPath("record.adi");
        EXPECT_EQ(ExportAdif(path.string().c_str()), 1);
        std::string text = ReadTestFile(path), plain;
        for (size_t i = 0; i < text.size(); ++i)
            if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) plain += text[i];
        size_t start = plain.find("<EOH>\n\n");
        return start == std::string::npos ? plain : plain.substr(start + 7);
    }
};

TEST_F(AdifExport, SmallLogMatchesTheGoldenFile) {
    OpenDatabase();
    strcpy(EditorSettings.ADIF_Editor, "viewer.exe");
    InsertQsoEntry(0, Day(2024, 3, 5) + 14 * 3600 + 7 * 60, "M0XYZ", "14MHz", "CW", "G/LD-001",
                   "R57 S55 QRG:14.062 Name:Ann tnx", "G4ABC/P", "G/SP-002", 0);
    InsertQsoEntry(0, Day(2024, 3, 6) + 9 * 3600 + 30 * 60, "F5ZZ", "2.3GHz", "ssb", "F/AB-123",
                   "QRA:IO91 s2s MyQRA:JN18ab R5 R: QRG:abc Mode:RTTY", "G4ABC", "", 0);
    InsertQsoEntry(0, -1, "DL1XX", "VLF", "FM", "F/AB-123", "ok", "", "G/LD-001", 0);
    fs::path path = TestTempPath("small.adi");
    const std::string p = path.string();
    ASSERT_EQ(ExportAdif(p.c_str()), 1);
    EXPECT_EQ(ReadTestFile(path), ReadTestFile(Golden("small.adi")));
    EXPECT_EQ(ui.programsOpened, (decltype(ui.programsOpened){{"viewer.exe", "\"" + p + "\""}}));
    EXPECT_TRUE(ui.statusMessages.empty());
}

TEST_F(AdifExport, NoteTokens) {
    struct Case {
        const char *notes, *band, *mode, *tags;
    } const cases[] = {
        {"R57 S55 QRG:14.062 Name:Ann tnx", "7MHz", "SSB",
         "<MODE:3>SSB\n<BAND:3>20m\n<FREQ:7>14.0620\n<NAME:3>Ann\n<RST_RCVD:2>57\n<RST_SENT:2>55\n"
         "<COMMENT:4>tnx \n"},
        {"ok", "7MHz", "CW", "<MODE:2>CW\n<BAND:3>40m\n<RST_RCVD:3>599\n<RST_SENT:3>599\n"},
        {"S2S s2S R5 R: S: QRG:0 QRG:abc", "7MHz", "SSB",
         "<MODE:3>SSB\n<BAND:3>40m\n<RST_RCVD:2>59\n<RST_SENT:2>59\n<COMMENT:9>R5 R: S: \n"},
        {"r-3x s+4 R:5/9 S:44 QTH:Leeds", "", "psk31",
         "<MODE:5>psk31\n<BAND:0>\n<RST_RCVD:3>5/9\n<RST_SENT:2>44\n"},   // the later token wins
        {"R:59 R:57 QRG:29.7", "2m", "FM", "<MODE:2>FM\n<BAND:3>10m\n<FREQ:7>29.7000\n<RST_RCVD:2>57\n<RST_SENT:2>59\n"},
        {"QRG:18.2 Mode:DATA_LONGER", "", "SSB",
         "<MODE:8>DATA_LON\n<BAND:3>17m\n<FREQ:7>18.2000\n<RST_RCVD:2>59\n<RST_SENT:2>59\n"},
        {"QRG:24.8 Mode:rtty", "", "SSB", "<MODE:4>rtty\n<BAND:3>12m\n<FREQ:7>24.8000\n<RST_RCVD:3>599\n<RST_SENT:3>599\n"},
        {"%QRA%IO91wm%x QRA: Name: qra:x", "", "DV",
         "<MODE:2>DV\n<BAND:0>\n<RST_RCVD:3>599\n<RST_SENT:3>599\n<GRIDSQUARE:6>IO91wm\n"
         "<COMMENT:17>QRA: Name: qra:x \n"},
        {"  spaced   words  ", "", "SSB", "<MODE:3>SSB\n<BAND:0>\n<RST_RCVD:2>59\n<RST_SENT:2>59\n<COMMENT:13>spaced words \n"},
        // Beyond a float's range the number is no frequency: dropped like QRG:0, the band text decides.
        {"QRG:1e39 QRG:-7 QRG:1e400", "7MHz", "CW", "<MODE:2>CW\n<BAND:3>40m\n<RST_RCVD:3>599\n<RST_SENT:3>599\n"},
        {"QRG:14.06 QRG:1e39", "7MHz", "CW",
         "<MODE:2>CW\n<BAND:3>20m\n<FREQ:7>14.0600\n<RST_RCVD:3>599\n<RST_SENT:3>599\n"},
        {"QRG:903", "", "FM", "<MODE:2>FM\n<BAND:4>33cm\n<FREQ:8>903.0000\n<RST_RCVD:2>59\n<RST_SENT:2>59\n"},
    };
    for (const Case &c : cases) {
        std::string record = RecordOf(c.notes, c.band, c.mode);
        size_t from = record.find("<MODE:"), to = record.find("<EOR>");
        ASSERT_NE(from, std::string::npos) << c.notes;
        EXPECT_EQ(record.substr(from, to - from), c.tags) << c.notes;
    }
}

TEST_F(AdifExport, LongValuesAreCut) {
    const std::string name(100, 'n');
    std::string record = RecordOf(("Name:" + name).c_str());
    EXPECT_NE(record.find("<NAME:63>" + name.substr(0, 63) + "\n"), std::string::npos);
    // 43 two-character words make 128 characters of notes and 129 of comment.
    std::string words = "ab";
    for (int i = 1; i < 43; ++i) words += " ab";
    ASSERT_EQ(words.size(), 128u);
    record = RecordOf(words.c_str());
    EXPECT_NE(record.find("<COMMENT:127>" + words.substr(0, 127) + "\n<EOR>"), std::string::npos) << record;
}

TEST_F(AdifExport, BandFromTheBandText) {
    struct Case {
        const char *band, *tag;
    } const cases[] = {
        {"2.3GHz", "<BAND:4>13cm\n"}, {"1.8MHz", "<BAND:4>160m\n"}, {"10MHz", "<BAND:3>30m\n"},
        {"18MHz", "<BAND:3>17m\n"},   {"24MHz", "<BAND:3>12m\n"},   {"VLF", "<BAND:0>\n"},
        {"MICROWAVE", "<BAND:0>\n"},  {"136kHz", "<BAND:0>\n"},     {"432mhz", "<BAND:4>70cm\n"},
        {"10ghz", "<BAND:3>3cm\n"},  {"900MHz", "<BAND:4>33cm\n"},
    };
    for (const Case &c : cases) {
        std::string record = RecordOf("", c.band);
        EXPECT_NE(record.find(c.tag), std::string::npos) << c.band << "\n" << record;
        EXPECT_EQ(record.find("<FREQ:"), std::string::npos) << c.band;
    }
}

TEST_F(AdifExport, FrequencyToBandTable) {
    struct Case {
        float mhz;
        const char *band;
    } const cases[] = {
        {75000, "4mm"}, {82000, "4mm"},  {47250, "6mm"},   {24000, "1.25cm"}, {10368, "3cm"},   {5760, "6cm"},
        {3400, "9cm"},  {2320, "13cm"},  {1296, "23cm"},   {902, "33cm"},     {432, "70cm"},    {221, "1.25m"},
        {144, "2m"},    {148, "2m"},     {70.2f, "4m"},    {50, "6m"},        {29.7f, "10m"},   {24, "12m"},
        {24.8f, "12m"}, {24.5f, ""},     {21.2f, "15m"},   {18, "17m"},       {18.068f, "17m"}, {18.03f, ""},
        {14.5f, "20m"}, {10, "30m"},     {10.1f, "30m"},   {10.05f, ""},      {7, "40m"},       {5.3f, "60m"},
        {3.8f, "80m"},  {1.8f, "160m"},  {2, "160m"},      {0, ""},           {-5, ""},         {148.01f, ""},
    };
    for (const Case &c : cases) {
        char *band = FrequencyToBand(c.mhz);
        ASSERT_NE(band, nullptr);
        EXPECT_STREQ(band, c.band) << c.mhz;
        free(band);
    }
}

TEST_F(AdifExport, DefaultReports) {
    struct Case {
        const char *mode, *report;
    } const cases[] = {
        {"CW", "599"},  {"cw-r", "599"}, {"psk31", "599"}, {"DV", "599"}, {"data", "599"}, {"Rtty", "599"},
        {"SSB", "59"},  {"FM", "59"},    {"", "59"},       {"DVX", "59"}, {"C", "59"},     {"FT8", "59"},
    };
    for (const Case &c : cases) {
        char *report = GetDefaultReport(c.mode);
        ASSERT_NE(report, nullptr);
        EXPECT_STREQ(report, c.report) << c.mode;
        free(report);
    }
}

TEST_F(AdifExport, BandDefaultFrequencies) {
    struct Case {
        float mhz;
        const char *mode;
        float usual;
    } const cases[] = {
        {5.3f, "SSB", 5.102f},  {10.15f, "CW", 10.1f},   {18.1f, "", 18.068f},  {24.99f, "SSB", 24.89f},
        {29.7f, "SSB", 28},     {29.7f, "fm", 29},       {52, "FM", 51},        {145.5f, "SSB", 144},
        {430, "FM", 433},       {430, "SSB", 432},       {1300, "FM", 1297},    {10400, "FM", 10368},
        {7.1f, "SSB", 7.1f},    {24.995f, "SSB", 24.995f},
    };
    for (const Case &c : cases) EXPECT_EQ(GetBandDefaultFrequency(c.mhz, c.mode), c.usual) << c.mhz << c.mode;
}

TEST_F(AdifExport, Operator) {
    struct Case {
        const char *stored;   // nullptr: no value
        const char *firstCall;
        const char *tag;
    } const cases[] = {
        {"M1OPS", "G4ABC/P", "<OPERATOR:5>M1OPS\n"},
        {nullptr, "G4ABC/P", "<OPERATOR:5>G4ABC\n"},
        {"", "EI/G4ABC/P", "<OPERATOR:2>EI\n"},
        {"ABCDEFGHIJKL", "G4ABC", "<OPERATOR:12>ABCDEFGHIJKL\n"},   // the longest the configuration allows
        {"ABCDEFGHIJKLM", "G4ABC", "<OPERATOR:5>G4ABC\n"},   // longer than 12 reads as empty
        {nullptr, nullptr, "<OPERATOR:0>\n"},
    };
    for (const Case &c : cases) {
        TestDeleteKey(SettingsKey);
        TestCreateKey(SettingsKey);
        if (c.stored) SaveSettingText("ADIF_Operator", c.stored);
        EditorSettings.MyCallCount = c.firstCall ? 1 : 0;
        strcpy(EditorSettings.MyCall[0], c.firstCall ? c.firstCall : "");
        EXPECT_NE(RecordOf("").find(c.tag), std::string::npos) << (c.stored ? c.stored : "(none)");
    }
}

TEST_F(AdifExport, SummitsWithoutTheDatabase) {
    std::string record = RecordOf("", "14MHz", "SSB", "G/LD-001", "G/SP-002");
    EXPECT_NE(record.find("<VORN_REF:8>G/LD-001\n<MY_VORN_REF:8>G/SP-002\n<EOR>"), std::string::npos) << record;
    // A token locator replaces the reference and the lookup on its own side only.
    OpenDatabase();
    record = RecordOf("QRA:IO91", "14MHz", "SSB", "G/LD-001", "G/SP-002");
    EXPECT_NE(record.find("<GRIDSQUARE:4>IO91\n<MY_VORN_REF:8>G/SP-002\n<MY_GRIDSQUARE:6>IO91MA\n<EOR>"),
              std::string::npos)
        << record;
    EXPECT_EQ(record.find("<VORN_REF"), std::string::npos);
}

TEST_F(AdifExport, Failures) {
    strcpy(EditorSettings.ADIF_Editor, "viewer.exe");
    InsertQsoEntry(0, 0, "M0XYZ", "", "", "", "", "", "", 0);
    fs::path nowhere = TestTempPath("adif_missing") / "x.adi";
    EXPECT_EQ(ExportAdif(nowhere.string().c_str()), 0);
    EXPECT_EQ(ui.statusMessages, (decltype(ui.statusMessages){{"Error: "s + strerror(ENOENT) + "\n", 0}}));
    EXPECT_EQ(ui.beeps, 1);
    EXPECT_TRUE(ui.programsOpened.empty());

    ui.programVersion.clear();
    EditorSettings.ADIF_Editor[0] = '\0';
    fs::path path = TestTempPath("noviewer.adi");
    ASSERT_EQ(ExportAdif(path.string().c_str()), 1);
    EXPECT_NE(ReadTestFile(path).find("<PROGRAMVERSION:7>Unknown\r\n<EOH>\r\n\r\n"), std::string::npos);
    EXPECT_TRUE(ui.programsOpened.empty());
}

#ifndef _WIN32
TEST_F(AdifExport, AFullDiskFailsAndKeepsTheOldFile) {
    strcpy(EditorSettings.ADIF_Editor, "viewer.exe");
    for (int i = 0; i < 2000; ++i) InsertQsoEntry(0, i * 60, "M0XYZ", "14MHz", "CW", "", "R57", "G4ABC", "", 0);
    fs::path path = WriteTestFile("full.adi", "old export\r\n");
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved;
    limit.rlim_cur = 64 * 1024;
    setrlimit(RLIMIT_FSIZE, &limit);
    int result = ExportAdif(path.string().c_str());
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadTestFile(path), "old export\r\n");
    EXPECT_FALSE(fs::exists(path.string() + ".~tmp"));
    EXPECT_TRUE(ui.programsOpened.empty());
}
#endif

}  // namespace
