// The safe save against files Windows will not let it replace: a log held open
// by another program without sharing, a read-only log or backup, a folder in
// the log's place. Each failure is shown with the system's reason and the
// beep, and the old log and the old backup stay byte for byte as they were.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "logwriter.h"
#include "qsolist.h"
#include "settings.h"
#include "../editor/uihooks_double.h"
#include "../support/tempfile.h"
#include "../support/testregistry.h"
#include "../support/savereason.h"

namespace fs = std::filesystem;

namespace {

const char kOldLog[] = "Signature,old\r\nv2,,,01/01/1970,00:00,,,OLD,,\r\n";
const char kOldBackup[] = "older backup\r\n";

std::vector<std::string> Listing(const fs::path &dir) {
    std::vector<std::string> names;
    for (auto &entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class SafeSaveWin : public ::testing::Test {
protected:
    void SetUp() override {
        FreeQsoList();
        EditorSettings = EditorSettingsRecord{};
        ResetUiRecord();
        TestDeleteKey(SettingsKey);
        TestCreateKey(SettingsKey);
        InsertQsoEntry(0, 60, "NEW", "14MHz", "CW", "", "", "G4ABC", "", 0);
        LogModified = 1;
        dir = TestTempPath("safesave");
        ClearFolder();
        log = dir / "log.csv";
        bak = dir / "log.bak";
    }
    void TearDown() override {
        ClearFolder();
        FreeQsoList();
        TestDeleteKey(SettingsKey);
    }
    void ClearFolder() {
        std::error_code ignored;
        if (fs::exists(dir))
            for (auto &entry : fs::recursive_directory_iterator(dir))
                SetFileAttributesA(entry.path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
        fs::remove_all(dir, ignored);
        fs::create_directories(dir);
    }
    // The save failed, said why with the beep, and changed nothing on disk.
    void ExpectFailedAndUnchanged(const char *what, const std::vector<std::string> &before) {
        ASSERT_EQ(ui.statusMessages.size(), 1u) << what;
        EXPECT_NE(ReasonIn(ui.statusMessages[0].first), "") << what << ": " << ui.statusMessages[0].first;
        EXPECT_EQ(ui.statusMessages[0].second, 0u) << what;
        EXPECT_EQ(ui.beeps, 1) << what;
        EXPECT_EQ(Listing(dir), before) << what;
        EXPECT_EQ(LogModified, 1) << what;
        EXPECT_STREQ(EditorSettings.CurrentLogPath, "") << what;
    }
    fs::path dir, log, bak;
};

TEST_F(SafeSaveWin, ALogHeldOpenWithoutSharingIsNotReplaced) {
    for (int noBackup : {0, 1}) {
        ClearFolder();
        ResetUiRecord();
        EditorSettings.NoBackup = noBackup;
        WriteBytes(log, kOldLog);
        WriteBytes(bak, kOldBackup);
        const std::vector<std::string> before = Listing(dir);
        // Another program reads the log and lets others read it, nothing more.
        HANDLE held = CreateFileA(log.string().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        EXPECT_EQ(WriteCsvLog(nullptr, log.string().c_str()), 0) << noBackup;
        CloseHandle(held);
        ExpectFailedAndUnchanged(noBackup ? "held, no backup" : "held", before);
        EXPECT_EQ(ReadTestFile(log), kOldLog);
        EXPECT_EQ(ReadTestFile(bak), kOldBackup);
    }
}

TEST_F(SafeSaveWin, ReadOnlyFilesAndFoldersAreNotReplaced) {
    struct Case {
        const char *what;
        bool readOnlyLog, readOnlyBackup, folderLog;
    } const cases[] = {
        {"read-only log", true, false, false},
        {"read-only backup", false, true, false},
        {"a folder in the log's place", false, false, true},
    };
    for (const Case &c : cases) {
        ClearFolder();
        ResetUiRecord();
        if (c.folderLog)
            fs::create_directories(log / "inside");
        else
            WriteBytes(log, kOldLog);
        WriteBytes(bak, kOldBackup);
        if (c.readOnlyLog) SetFileAttributesA(log.string().c_str(), FILE_ATTRIBUTE_READONLY);
        if (c.readOnlyBackup) SetFileAttributesA(bak.string().c_str(), FILE_ATTRIBUTE_READONLY);
        const std::vector<std::string> before = Listing(dir);
        EXPECT_EQ(WriteCsvLog(nullptr, log.string().c_str()), 0) << c.what;
        ExpectFailedAndUnchanged(c.what, before);
        if (!c.folderLog) {
            EXPECT_EQ(ReadTestFile(log), kOldLog) << c.what;
        }
        EXPECT_EQ(ReadTestFile(bak), kOldBackup) << c.what;
    }

    // The export over a read-only file.
    ClearFolder();
    ResetUiRecord();
    fs::path out = dir / "out.csv";
    WriteBytes(out, kOldLog);
    SetFileAttributesA(out.string().c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(ExportCsv(out.string().c_str()), 0);
    ASSERT_EQ(ui.statusMessages.size(), 1u);
    EXPECT_NE(ReasonIn(ui.statusMessages[0].first), "") << ui.statusMessages[0].first;
    EXPECT_EQ(ui.beeps, 1);
    EXPECT_EQ(ReadTestFile(out), kOldLog);
    EXPECT_EQ(Listing(dir), std::vector<std::string>{"out.csv"});
}

}  // namespace
