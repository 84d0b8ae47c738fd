// The log writer and the plain export, byte for byte, and the safe save: a
// failed save leaves the old file and its backup as they were.
#include "logwriter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "qsolist.h"
#include "settings.h"
#include "../support/tempfile.h"
#include "../support/testregistry.h"
#include "../support/testtime.h"
#include "uihooks_double.h"
#include "../support/savereason.h"

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#endif

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

// A folder of its own for each test, so leftovers of one cannot pass another.
fs::path Folder(const char *name) {
    fs::path dir = TestTempPath(name);
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

std::vector<std::string> Listing(const fs::path &dir) {
    std::vector<std::string> names;
    for (auto &entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

const char kHeaderCsv[] =
    "Signature,Call (my call),Full Reference (my summit),Date,Time,Band,Mode,Call (his call),"
    "Full Reference (his summit),Notes\r\n";

class LogWriter : public ::testing::Test {
protected:
    void SetUp() override {
        FreeQsoList();
        LogModified = 1;
        EditorSettings = EditorSettingsRecord{};
        ResetUiRecord();
        TestDeleteKey(SettingsKey);
        TestCreateKey(SettingsKey);
    }
    void TearDown() override {
        FreeQsoList();
        TestDeleteKey(SettingsKey);
    }
    // Blanks around the calls and references, every quoting case, an SWL
    // entry and one without a readable time.
    void AddFixture() {
        InsertQsoEntry(0, Day(2024, 3, 5) + 14 * 3600 + 7 * 60, "M0XYZ  ", "144MHz", "FM", "G/SP-002",
                       "said \"hi\" there", "G4ABC ", " G/LD-001", 0);
        InsertQsoEntry(0, -1, "2E0AAA", "7MHz", "SSB", "", "a,b", "", "", 1);
        InsertQsoEntry(0, Day(2024, 3, 6), "F5ZZ", "14MHz ", "CW", " ", "plain", "", "", 0);
    }
};

TEST_F(LogWriter, SaveWritesTheLayoutAndTrimsTheEntries) {
    AddFixture();
    fs::path path = Folder("save") / "log.csv";
    ASSERT_EQ(WriteCsvLog(nullptr, path.string().c_str()), 1);
    EXPECT_EQ(ReadTestFile(path), kHeaderCsv +
                                  "v2swl,,,,,7MHz,SSB,2E0AAA,,\"a,b\"\r\n"
                                  "v2,G4ABC,G/LD-001,05/03/2024,14:07,144MHz,FM,M0XYZ,G/SP-002,"
                                  "\"said \"\"hi\"\" there\"\r\n"
                                  "v2,,,06/03/2024,00:00,14MHz ,CW,F5ZZ,,plain\r\n"s);
    QsoEntry *e = QsoListHead->next;
    EXPECT_STREQ(e->myCall, "G4ABC");
    EXPECT_STREQ(e->mySummit, " G/LD-001");   // leading blanks stay in the entry
    EXPECT_STREQ(e->hisCall, "M0XYZ");
    EXPECT_STREQ(e->next->band, "14MHz ");
    EXPECT_TRUE(ui.statusMessages.empty());
    EXPECT_EQ(Listing(path.parent_path()), std::vector<std::string>{"log.csv"});
}

TEST_F(LogWriter, ExportWritesTheFieldsAsStored) {
    AddFixture();
    fs::path path = Folder("export") / "out.csv";
    ASSERT_EQ(ExportCsv(path.string().c_str()), 1);
    EXPECT_EQ(ReadTestFile(path), kHeaderCsv +
                                  "v2,,,,,7MHz,SSB,2E0AAA,,\"a,b\"\r\n"
                                  "v2,G4ABC , G/LD-001,05/03/2024,14:07,144MHz,FM,M0XYZ  ,G/SP-002,"
                                  "\"said \"\"hi\"\" there\"\r\n"
                                  "v2,,,06/03/2024,00:00,14MHz ,CW,F5ZZ, ,plain\r\n"s);
    EXPECT_STREQ(QsoListHead->next->myCall, "G4ABC ");
    EXPECT_EQ(LogModified, 1);
    EXPECT_STREQ(EditorSettings.CurrentLogPath, "");
    EXPECT_TRUE(ui.logFileNames.empty());
    EXPECT_EQ(TestReadValue(SettingsKey, "LastCSVLog").type, 0);
}

TEST_F(LogWriter, TabsForATsvFileName) {
    InsertQsoEntry(0, 0, "A,B", "2m", "FM", "", "x,y", "", "", 0);
    fs::path dir = Folder("tabs");
    const char *const names[] = {"log.tsv", "LOG.TSV", "log.Tsv"};
    for (const char *name : names) {
        fs::path path = dir / name;
        ASSERT_EQ(ExportCsv(path.string().c_str()), 1) << name;
        EXPECT_EQ(ReadTestFile(path),
                  "Signature\tCall (my call)\tFull Reference (my summit)\tDate\tTime\tBand\tMode\t"
                  "Call (his call)\tFull Reference (his summit)\tNotes\r\n"
                  "v2\t\t\t01/01/1970\t00:00\t2m\tFM\tA,B\t\t\"x,y\"\r\n")
            << name;
    }
    // A .tsv folder name does not make tabs.
    fs::create_directories(dir / "x.tsv");
    fs::path inFolder = dir / "x.tsv" / "log.csv";
    ASSERT_EQ(WriteCsvLog(nullptr, inFolder.string().c_str()), 1);
    EXPECT_EQ(ReadTestFile(inFolder).substr(0, strlen(kHeaderCsv)), kHeaderCsv);
}

TEST_F(LogWriter, SaveMakesTheFileTheCurrentLog) {
    strcpy(EditorSettings.RecentLogs[0], "older.csv");
    EditorSettings.RecentLogCount = 1;
    fs::path path = Folder("current") / "empty.csv";
    const std::string p = path.string();
    ASSERT_EQ(WriteCsvLog(nullptr, p.c_str()), 1);   // an empty list: the header alone
    EXPECT_EQ(ReadTestFile(path), kHeaderCsv);
    EXPECT_EQ(LogModified, 0);
    EXPECT_EQ(EditorSettings.CurrentLogPath, p);
    EXPECT_EQ(ui.logFileNames, std::vector<std::string>{p});
    EXPECT_EQ(TestReadValue(SettingsKey, "LastCSVLog"), Stored(TARN_REG_SZ, p));
    EXPECT_EQ(EditorSettings.RecentLogs[0], p);
    EXPECT_STREQ(EditorSettings.RecentLogs[1], "older.csv");
    EXPECT_TRUE(ui.statusMessages.empty());
}

// Saving over an existing file keeps the old one as its backup.
TEST_F(LogWriter, BackupNames) {
    struct Case {
        const char *folder, *name, *backup;
    } const cases[] = {
        {"b1", "my.csv", "my.bak"},
        {"b2", "LOG.CSV", "LOG.bak"},
        {"b3", "log.TSV", "log.bak"},
        {"b4.csv", "my.csv", "my.bak"},   // the file name's extension, not the folder's
        {"b5", "my.csv.csv", "my.csv.bak"},
    };
    InsertQsoEntry(0, 60, "NEW", "", "", "", "", "", "", 0);
    for (const Case &c : cases) {
        fs::path dir = Folder(c.folder);
        fs::path path = dir / c.name;
        WriteTestFile((fs::path(c.folder) / c.name).string(), "old log\r\n");
        WriteTestFile((fs::path(c.folder) / c.backup).string(), "older backup\r\n");
        ASSERT_EQ(WriteCsvLog(nullptr, path.string().c_str()), 1) << c.name;
        EXPECT_EQ(ReadTestFile(dir / c.backup), "old log\r\n") << c.name;
        EXPECT_NE(ReadTestFile(path).find("NEW"), std::string::npos) << c.name;
        EXPECT_EQ(Listing(dir).size(), 2u) << c.name;
    }
}

TEST_F(LogWriter, NoBackupNameRefusesToOverwrite) {
    fs::path dir = Folder("nobak");
    fs::path path = WriteTestFile("nobak/log.txt", "old log\r\n");
    InsertQsoEntry(0, 60, "NEW", "", "", "", "", "", "", 0);
    EXPECT_EQ(WriteCsvLog(nullptr, path.string().c_str()), 0);
    EXPECT_EQ(ReadTestFile(path), "old log\r\n");
    EXPECT_EQ(ui.statusMessages, (decltype(ui.statusMessages){{"ERROR: Unable to backup Log", 0}}));
    EXPECT_EQ(ui.beeps, 1);
    EXPECT_EQ(LogModified, 1);
    EXPECT_EQ(Listing(dir), std::vector<std::string>{"log.txt"});

    // Backups off, or a file that is not there yet: saved without one.
    EditorSettings.NoBackup = 1;
    EXPECT_EQ(WriteCsvLog(nullptr, path.string().c_str()), 1);
    EXPECT_NE(ReadTestFile(path).find("NEW"), std::string::npos);
    EditorSettings.NoBackup = 0;
    fs::path fresh = dir / "fresh.txt";
    EXPECT_EQ(WriteCsvLog(nullptr, fresh.string().c_str()), 1);
    EXPECT_EQ(Listing(dir), (std::vector<std::string>{"fresh.txt", "log.txt"}));
}

// Callsigns, references, band and mode that hold the separator, a double quote
// or a line break are quoted as the notes are; other fields are written bare.
TEST_F(LogWriter, FieldsAreQuotedWhenTheyHoldTheSeparatorOrAQuote) {
    InsertQsoEntry(0, 0, "A,B", "\"2m", "F\tM", "G/\"X\"", "n\to", "C\"D", "R,1", 0);
    fs::path dir = Folder("quoting");
    ASSERT_EQ(ExportCsv((dir / "out.csv").string().c_str()), 1);
    EXPECT_EQ(ReadTestFile(dir / "out.csv"),
              kHeaderCsv + "v2,\"C\"\"D\",\"R,1\",01/01/1970,00:00,\"\"\"2m\",F\tM,\"A,B\",\"G/\"\"X\"\"\",n\to\r\n"s);
    ASSERT_EQ(ExportCsv((dir / "out.tsv").string().c_str()), 1);
    EXPECT_EQ(ReadTestFile(dir / "out.tsv").substr(ReadTestFile(dir / "out.tsv").find("\r\n") + 2),
              "v2\t\"C\"\"D\"\tR,1\t01/01/1970\t00:00\t\"\"\"2m\"\t\"F\tM\"\tA,B\t\"G/\"\"X\"\"\"\t\"n\to\"\r\n");
}

TEST_F(LogWriter, OpenFailures) {
    fs::path nowhere = Folder("open") / "missing" / "log.csv";
    EXPECT_EQ(WriteCsvLog(nullptr, nowhere.string().c_str()), 0);
    EXPECT_EQ(ExportCsv(nowhere.string().c_str()), 0);
    EXPECT_EQ(ExportCsv(""), 0);
    ASSERT_EQ(ui.statusMessages.size(), 3u);
    for (auto &[text, ms] : ui.statusMessages) {
        EXPECT_EQ(text, "Error: "s + strerror(ENOENT) + "\n");
        EXPECT_EQ(ms, 0u);
    }
    EXPECT_EQ(ui.beeps, 3);
    // An empty path is no save at all.
    EXPECT_EQ(WriteCsvLog(nullptr, ""), 0);
    EXPECT_EQ(ui.statusMessages.size(), 3u);
    EXPECT_EQ(LogModified, 1);
}

// A save or export whose last step fails says why, with the beep, and leaves
// the old log and the old backup byte for byte as they were.
TEST_F(LogWriter, AFailedSwapIsShownAndChangesNothing) {
    InsertQsoEntry(0, 60, "NEW", "", "", "", "", "", "", 0);
    const std::string oldLog = std::string(kHeaderCsv) + "v2,,,01/01/1970,00:00,,,OLD,,\r\n";
    struct Case {
        const char *what;
        bool logIsFolder, backupIsFolder;
        int noBackup;
    } const cases[] = {
        {"a folder in the log's place", true, false, 1},
        {"a folder in the log's place, with a backup", true, false, 0},
        {"a folder in the backup's place", false, true, 0},
    };
    for (const Case &c : cases) {
        ResetUiRecord();
        LogModified = 1;
        EditorSettings.NoBackup = c.noBackup;
        fs::path dir = Folder("swap");
        fs::path log = dir / "log.csv", bak = dir / "log.bak";
        if (c.logIsFolder)
            fs::create_directories(log / "inside");
        else
            WriteBytes(log, oldLog);
        if (c.backupIsFolder)
            fs::create_directories(bak / "inside");
        else
            WriteBytes(bak, "older backup\r\n");
        const std::vector<std::string> before = Listing(dir);

        EXPECT_EQ(WriteCsvLog(nullptr, log.string().c_str()), 0) << c.what;
        ASSERT_EQ(ui.statusMessages.size(), 1u) << c.what;
        EXPECT_EQ(ui.statusMessages[0].second, 0u) << c.what;
        EXPECT_NE(ReasonIn(ui.statusMessages[0].first), "") << c.what << ": " << ui.statusMessages[0].first;
#ifndef _WIN32
        EXPECT_EQ(ReasonIn(ui.statusMessages[0].first), strerror(EISDIR)) << c.what;
#endif
        EXPECT_EQ(ui.beeps, 1) << c.what;
        EXPECT_EQ(Listing(dir), before) << c.what;
        if (!c.logIsFolder) {
            EXPECT_EQ(ReadTestFile(log), oldLog) << c.what;
        }
        if (!c.backupIsFolder) {
            EXPECT_EQ(ReadTestFile(bak), "older backup\r\n") << c.what;
        }
        EXPECT_EQ(LogModified, 1) << c.what;
        EXPECT_STREQ(EditorSettings.CurrentLogPath, "") << c.what;
    }

    // The export, to a folder's name.
    ResetUiRecord();
    fs::path dir = Folder("swapexport");
    fs::create_directories(dir / "out.csv" / "inside");
    EXPECT_EQ(ExportCsv((dir / "out.csv").string().c_str()), 0);
    ASSERT_EQ(ui.statusMessages.size(), 1u);
    EXPECT_NE(ReasonIn(ui.statusMessages[0].first), "") << ui.statusMessages[0].first;
    EXPECT_EQ(ui.beeps, 1);
    EXPECT_EQ(Listing(dir), std::vector<std::string>{"out.csv"});
}

#ifndef _WIN32
// A full disk, made by a file size limit: every write past it fails.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        oldHandler_ = signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit saved_{};
    void (*oldHandler_)(int) = nullptr;
};

TEST_F(LogWriter, AFullDiskLeavesTheOldFileAndBackup) {
    fs::path dir = Folder("full");
    const std::string oldLog = std::string(kHeaderCsv) + "v2,,,01/01/1970,00:00,,,OLD,,\r\n";
    fs::path path = WriteTestFile("full/log.csv", oldLog);
    WriteTestFile("full/log.bak", "older backup\r\n");
    for (int i = 0; i < 2000; ++i) InsertQsoEntry(0, i * 60, "NEWCALL", "2m", "FM", "", "notes", "", "", 0);
    {
        FileSizeLimit limit(64 * 1024);
        EXPECT_EQ(WriteCsvLog(nullptr, path.string().c_str()), 0);
        EXPECT_EQ(WriteCsvLog(nullptr, path.string().c_str()), 0);   // the next autosave
        EXPECT_EQ(ExportCsv((dir / "export.csv").string().c_str()), 0);
    }
    // Each of the three failures says why, with the beep.
    ASSERT_EQ(ui.statusMessages.size(), 3u);
    for (auto &[text, ms] : ui.statusMessages) EXPECT_EQ(text, "Error: "s + strerror(EFBIG) + "\n");
    EXPECT_EQ(ui.beeps, 3);
    EXPECT_EQ(ReadTestFile(path), oldLog);
    EXPECT_EQ(ReadTestFile(dir / "log.bak"), "older backup\r\n");
    EXPECT_EQ(Listing(dir), (std::vector<std::string>{"log.bak", "log.csv"}));
    EXPECT_EQ(LogModified, 1);
    EXPECT_STREQ(EditorSettings.CurrentLogPath, "");

    // The backup itself cannot be written: the save stops before the swap.
    WriteTestFile("full/log.csv", std::string(100 * 1024, 'x'));
    EditorSettings.NoBackup = 0;
    FreeQsoList();
    InsertQsoEntry(0, 0, "SMALL", "", "", "", "", "", "", 0);
    {
        FileSizeLimit limit(64 * 1024);
        EXPECT_EQ(WriteCsvLog(nullptr, path.string().c_str()), 0);
    }
    EXPECT_EQ(ReadTestFile(path), std::string(100 * 1024, 'x'));
    EXPECT_EQ(ReadTestFile(dir / "log.bak"), "older backup\r\n");
    EXPECT_EQ(ui.statusMessages.back().first, "ERROR: Unable to backup Log ("s + strerror(EFBIG) + ")");
    EXPECT_EQ(Listing(dir), (std::vector<std::string>{"log.bak", "log.csv"}));
}
#endif

}  // namespace
