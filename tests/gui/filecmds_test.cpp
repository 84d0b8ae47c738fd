// The file commands on the real main window: every question answered each
// way, the platform's file dialogs confirmed with a typed name or cancelled,
// and after each step the files on disk, LastCSVLog and RecentLogs, the status
// texts and the list rows.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "appstate.h"
#include "filecmds.h"
#include "gui/harness.h"
#include "loglist_win.h"
#include "logwriter.h"
#include "qsolist.h"
#include "resource.h"
#include "settings.h"
#include "statusbar.h"
#include "strutil.h"
#include "support/tempfile.h"

namespace {

const char kUnsaved[] = "WARNING: The Log has not been saved !!\n\nDo you want to save it now?";
const char kClearAnyway[] = "ERROR: Unable to save the log\n\nDo you want to clear the log anyway?\n";
const char kCloseLogAnyway[] = "ERROR: Unable to save the log\n\nDo you want to close the log anyway?\n";
const char kQuitAnyway[] = "ERROR: Unable to save the log\n\nDo you want to close VORN CSV Log Editor anyway?\n";
const char kIncomplete[] = "WARNING: Incomplete log entry detected !\n\nLog it now?";
const char kNothingToSave[] =
    "Sorry: There is nothing in the Log to save.\n\nIf you want enable saving of empty Logs refer to the "
    "documentation (F1).";
const char kNothingToExport[] = "Sorry: There is nothing in the Log to export.\n";


Answer Yes() { return Answer{Press::Button, IDYES}; }
Answer No() { return Answer{Press::Button, IDNO}; }
Answer Cancel() { return Answer{Press::Button, IDCANCEL}; }
Answer Escape() { return Answer{Press::Escape}; }
Answer CancelDialog() { return Answer{Press::Button, IDCANCEL}; }

std::string RegValue(const char *name) {
    char data[2048] = "";
    DWORD size = sizeof data, type = 0;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return "<missing>";
    const LONG result = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE *>(data), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) return "<missing>";
    return std::string(data, size);
}

std::vector<std::string> StoredRecentLogs() {
    const std::string data = RegValue("RecentLogs");
    std::vector<std::string> logs;
    if (data == "<missing>") return logs;
    for (size_t start = 0; start < data.size();) {
        const size_t end = data.find('\0', start);
        if (end == start || end == std::string::npos) break;
        logs.push_back(data.substr(start, end - start));
        start = end + 1;
    }
    return logs;
}

std::string Win(const std::filesystem::path &path) { return path.string(); }

// The status part as read, without the blanks that pad it.
std::string StatusText(int part) {
    std::string text = StatusPartText(part);
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

class FileCommands : public ::testing::Test {
protected:
    void SetUp() override {
        Fresh();
        ASSERT_NE(window, nullptr);
        dir = TestTempPath(::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    void TearDown() override {
        for (const auto &entry : std::filesystem::directory_iterator(dir))
            SetFileAttributesA(entry.path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
        ResetEditorState();
    }

    // A clean start with the settings key in place, as the program makes it at start.
    void Fresh() {
        ResetEditorState();
        HKEY key = nullptr;
        RegCreateKeyA(HKEY_CURRENT_USER, SettingsKey, &key);
        RegCloseKey(key);
        EditorSettings.RefChecking = 0;
        window = OpenMainWindowHost();
    }
    // Three contacts, unsaved.
    void FillLog() {
        InsertQsoEntry(0, 1700000000, "QX1AAA", "20m", "CW", "QX/AB-001", "first", "QX9ME", "", 0);
        InsertQsoEntry(0, 1700000600, "QX2BBB", "40m", "SSB", "QX/AB-002", "second", "QX9ME", "", 1);
        InsertQsoEntry(0, 1700001200, "QX3CCC", "2m", "FM", "QX/AB-003", "third", "QX9ME", "", 0);
        LogModified = 1;
        RefreshLogList(window);
    }
    // The log written to name and made the open log.
    std::string SavedLog(const char *name) {
        const std::string path = Win(dir / name);
        EXPECT_EQ(WriteCsvLog(nullptr, path.c_str()), 1);
        return path;
    }
    size_t Rows() const { return ListRows(GetDlgItem(window, IDC_LOG_LIST)).size(); }
    std::vector<std::string> Questions() {
        std::vector<std::string> texts;
        for (const auto &seen : TakeSeenModals()) {
            EXPECT_FALSE(seen.unexpected) << seen.caption << ": " << seen.text;
            texts.push_back(seen.fileDialog ? "[" + seen.caption + "]" : seen.text);
        }
        return texts;
    }

    HWND window = nullptr;
    std::filesystem::path dir;
};

TEST_F(FileCommands, SaveAsProposesTheOperatorAndDateInTheDataFolder) {
    SYSTEMTIME now;
    GetSystemTime(&now);
    char date[16];
    snprintf(date, sizeof date, "_%04d-%02d-%02d", now.wYear, now.wMonth, now.wDay);
    struct Case {
        const char *adifOperator;   // nullptr: no value stored
        std::vector<const char *> myCalls;
        const char *proposedName;
    } cases[] = {
        {"QX5OP", {"QX9ME"}, "QX5OP"},
        {"QX1ABC/P", {"QX9ME"}, "QX1ABC"},
        {nullptr, {"QX9ME/M", "QX8YOU"}, "QX9ME"},
        {"", {}, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.proposedName);
        Fresh();
        FillLog();
        snprintf(EditorSettings.DataDirectory, sizeof EditorSettings.DataDirectory, "%s", Win(dir).c_str());
        if (c.adifOperator) SaveSettingText("ADIF_Operator", c.adifOperator);
        for (const char *call : c.myCalls) strcpy(EditorSettings.MyCall[EditorSettings.MyCallCount++], call);

        AnswerModals({CancelDialog()});
        EXPECT_EQ(SaveLog(window, 1), 0);
        const auto seen = TakeSeenModals();
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_TRUE(seen[0].fileDialog);
        EXPECT_EQ(seen[0].caption, "Save Log to:");
        EXPECT_EQ(seen[0].fileName, std::string(c.proposedName) + date + ".csv");
        EXPECT_EQ(StrCompareNoCase(seen[0].folder.c_str(), Win(dir).c_str()), 0) << seen[0].folder;
        EXPECT_EQ(seen[0].fileTypes, (std::vector<std::string>{"Comma Separated Values (*.csv)"}));
        EXPECT_EQ(LogModified, 1);
        EXPECT_TRUE(std::filesystem::is_empty(dir));
        EXPECT_EQ(RegValue("LastCSVLog"), "<missing>");
    }
}

TEST_F(FileCommands, SaveAsWritesTheTypedNameAndMakesItTheLog) {
    FillLog();
    const std::string path = Win(dir / "mylog");   // the default extension is added
    AnswerModals({TypeAndPress(path)});
    EXPECT_EQ(SaveLog(window, 1), 1);
    EXPECT_EQ(Questions(), (std::vector<std::string>{"[Save Log to:]"}));
    const std::string written = path + ".csv";
    EXPECT_TRUE(std::filesystem::exists(written));
    EXPECT_EQ(EditorSettings.CurrentLogPath, written);
    EXPECT_EQ(LogModified, 0);
    EXPECT_EQ(RegValue("LastCSVLog"), written);
    EXPECT_EQ(StoredRecentLogs(), (std::vector<std::string>{written}));
    EXPECT_EQ(StatusText(SBP_LOG_FILE), "mylog.csv");
    EXPECT_EQ(Rows(), 3u);

    // Save again: at once to the same file, no dialog.
    InsertQsoEntry(0, 1700002000, "QX4DDD", "20m", "CW", "QX/AB-004", "", "QX9ME", "", 0);
    LogModified = 1;
    EXPECT_EQ(SaveLog(window, 0), 1);
    EXPECT_TRUE(TakeSeenModals().empty());
    EXPECT_NE(ReadTestFile(written).find("QX4DDD"), std::string::npos);
}

TEST_F(FileCommands, EmptyLogIsSavedOnlyWhenAllowed) {
    AnswerModals({Answer{Press::Button, IDOK}});
    EXPECT_EQ(SaveLog(window, 1), 0);
    auto seen = TakeSeenModals();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, "VORN CSV Log Editor");
    EXPECT_EQ(seen[0].text, kNothingToSave);
    EXPECT_EQ(seen[0].buttons, (std::vector<int>{IDOK}));
    EXPECT_TRUE(seen[0].iconShown);

    EditorSettings.AllowEmptySave = 1;
    const std::string path = Win(dir / "empty.csv");
    AnswerModals({TypeAndPress(path)});
    EXPECT_EQ(SaveLog(window, 1), 1);
    EXPECT_EQ(Questions(), (std::vector<std::string>{"[Save Log to:]"}));
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(RegValue("LastCSVLog"), path);
}

// New log and Close log, for each way through the unsaved-log question.
TEST_F(FileCommands, ResetLogFollowsTheAnswers) {
    struct Case {
        const char *name;
        bool modified;
        bool hasFile;
        std::vector<Answer> answers;
        std::vector<std::string> asked;
        int result;
        bool savedFirst;   // the log file holds the fourth contact afterwards
    } cases[] = {
        {"clean", false, true, {}, {}, 1, false},
        {"no", true, true, {No()}, {kUnsaved}, 1, false},
        {"yes", true, true, {Yes()}, {kUnsaved}, 1, true},
        {"escape saves too", true, true, {Escape()}, {kUnsaved}, 1, true},
        {"yes unnamed, dialog cancelled, keep", true, false, {Yes(), CancelDialog(), No()},
         {kUnsaved, "[Save Log to:]", kClearAnyway}, 0, false},
        {"yes unnamed, dialog cancelled, clear anyway", true, false, {Yes(), CancelDialog(), Yes()},
         {kUnsaved, "[Save Log to:]", kClearAnyway}, 1, false},
        {"yes unnamed, escape at anyway", true, false, {Yes(), CancelDialog(), Escape()},
         {kUnsaved, "[Save Log to:]", kClearAnyway}, 0, false},
    };
    for (int isNew : {1, 0}) {
        for (const Case &c : cases) {
            SCOPED_TRACE(std::string(c.name) + (isNew ? " (new)" : " (close)"));
            Fresh();
            FillLog();
            std::string path;
            if (c.hasFile) path = SavedLog("log.csv");
            InsertQsoEntry(0, 1700003000, "QX4DDD", "20m", "CW", "QX/AB-004", "", "QX9ME", "", 0);
            RefreshLogList(window);
            LogModified = c.modified;
            TakeSeenModals();
            AnswerModals(c.answers);
            EXPECT_EQ(ResetLog(window, isNew), c.result);
            EXPECT_EQ(Questions(), c.asked);
            if (c.result) {
                EXPECT_EQ(QsoListHead, nullptr);
                EXPECT_EQ(Rows(), 0u);
                EXPECT_STREQ(EditorSettings.CurrentLogPath, "");
                EXPECT_EQ(LogModified, 0);
                EXPECT_EQ(RegValue("LastCSVLog"), std::string(1, '\0'));
                EXPECT_EQ(StatusText(SBP_MESSAGE), isNew ? "New (empty) log created" : "Log closed");
            } else {
                EXPECT_EQ(Rows(), 4u);
                EXPECT_EQ(LogModified, 1);
                EXPECT_STREQ(EditorSettings.CurrentLogPath, path.c_str());
            }
            if (c.hasFile) {
                EXPECT_EQ(ReadTestFile(path).find("QX4DDD") != std::string::npos, c.savedFirst);
                EXPECT_EQ(StoredRecentLogs(), (std::vector<std::string>{path}));
            }
        }
    }
}

// A save that fails is never silent: the anyway question follows, and the old
// file and its backup stay as they were.
TEST_F(FileCommands, FailedSaveAsksAndKeepsTheFiles) {
    FillLog();
    const std::string path = SavedLog("log.csv");
    InsertQsoEntry(0, 1700003000, "QX4DDD", "20m", "CW", "QX/AB-004", "", "QX9ME", "", 0);
    ASSERT_EQ(WriteCsvLog(nullptr, path.c_str()), 1);   // now log.bak exists too
    const std::string backup = Win(dir / "log.bak");
    ASSERT_TRUE(std::filesystem::exists(backup));
    InsertQsoEntry(0, 1700004000, "QX5EEE", "20m", "CW", "QX/AB-005", "", "QX9ME", "", 0);
    LogModified = 1;
    RefreshLogList(window);
    const std::string oldLog = ReadTestFile(path), oldBackup = ReadTestFile(backup);
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));

    AnswerModals({Yes(), No()});
    EXPECT_EQ(ResetLog(window, 1), 0);
    EXPECT_EQ(Questions(), (std::vector<std::string>{kUnsaved, kClearAnyway}));
    EXPECT_EQ(ReadTestFile(path), oldLog);
    EXPECT_EQ(ReadTestFile(backup), oldBackup);
    EXPECT_EQ(Rows(), 5u);
    EXPECT_EQ(LogModified, 1);

    AnswerModals({Yes(), No()});
    EXPECT_EQ(OpenLog(window), 0);
    EXPECT_EQ(Questions(), (std::vector<std::string>{kUnsaved, kCloseLogAnyway}));
    EXPECT_EQ(ReadTestFile(path), oldLog);
    EXPECT_EQ(ReadTestFile(backup), oldBackup);
    EXPECT_EQ(Rows(), 5u);
    EXPECT_STREQ(EditorSettings.CurrentLogPath, path.c_str());
}

TEST_F(FileCommands, OpenEmptiesTheLogThenLoadsTheChosenFile) {
    FillLog();
    const std::string first = SavedLog("first.csv");
    const std::string second = SavedLog("second.csv");
    const std::string third = SavedLog("third.csv");   // recent: third, second, first
    snprintf(EditorSettings.DataDirectory, sizeof EditorSettings.DataDirectory, "%s", Win(dir).c_str());

    // Cancel: the old log is gone for good.
    AnswerModals({CancelDialog()});
    EXPECT_EQ(OpenLog(window), 0);
    auto seen = TakeSeenModals();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, "Open existing Log file");
    EXPECT_EQ(seen[0].fileName, "*.csv");
    EXPECT_EQ(StrCompareNoCase(seen[0].folder.c_str(), Win(dir).c_str()), 0) << seen[0].folder;
    EXPECT_EQ(QsoListHead, nullptr);
    EXPECT_EQ(Rows(), 0u);
    EXPECT_STREQ(EditorSettings.CurrentLogPath, "");
    EXPECT_EQ(LogModified, 0);
    EXPECT_EQ(RegValue("LastCSVLog"), std::string(1, '\0'));

    // A path already in the recent list changes places with the first.
    AnswerModals({TypeAndPress(first)});
    EXPECT_EQ(OpenLog(window), 1);
    EXPECT_EQ(Questions(), (std::vector<std::string>{"[Open existing Log file]"}));
    RefreshLogList(window);
    EXPECT_EQ(Rows(), 3u);
    EXPECT_STREQ(EditorSettings.CurrentLogPath, first.c_str());
    EXPECT_EQ(LogModified, 0);
    EXPECT_EQ(RegValue("LastCSVLog"), first);
    EXPECT_EQ(StoredRecentLogs(), (std::vector<std::string>{first, second, third}));
    EXPECT_EQ(StatusText(SBP_LOG_FILE), "first.csv");

    // Unsaved changes: No discards them, and a file that does not load leaves the log empty.
    InsertQsoEntry(0, 1700003000, "QX4DDD", "20m", "CW", "QX/AB-004", "", "QX9ME", "", 0);
    LogModified = 1;
    const std::string bad = Win(dir / "bad.csv");
    WriteBytes(bad, "this is no log\r\n");
    AnswerModals({No(), TypeAndPress(bad), Answer{Press::Button, IDOK}, Answer{Press::Button, IDOK}});
    EXPECT_EQ(OpenLog(window), 0);
    TakeSeenModals();
    EXPECT_EQ(QsoListHead, nullptr);
    EXPECT_STREQ(EditorSettings.CurrentLogPath, "");
    EXPECT_EQ(RegValue("LastCSVLog"), std::string(1, '\0'));
    EXPECT_EQ(ReadTestFile(first).find("QX4DDD"), std::string::npos);
    EXPECT_EQ(StoredRecentLogs(), (std::vector<std::string>{first, second, third}));
}

TEST_F(FileCommands, ExportKindFollowsTheChosenExtension) {
    FillLog();
    std::filesystem::create_directories(dir / "x.adi");
    struct Case {
        std::filesystem::path name;
        const char *marks;   // what only that kind holds
    } cases[] = {
        {"log.ADI", "<EOH>"},
        {"log.adif", "<EOH>"},
        {"log.TSV", "v2\t"},
        {"log.csv", "v2,"},
        {std::filesystem::path("x.adi") / "log.csv", "v2,"},
    };
    const std::string log = SavedLog("main.csv");
    LogModified = 1;
    for (const Case &c : cases) {
        const std::string path = Win(dir / c.name);
        SCOPED_TRACE(path);
        AnswerModals({TypeAndPress(path)});
        EXPECT_EQ(ExportLog(window), 1);
        const auto seen = TakeSeenModals();
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].caption, "Export Log to:");
        EXPECT_EQ(seen[0].fileName, "main.adi");
        EXPECT_EQ(seen[0].fileTypes, (std::vector<std::string>{"Amateur Data Interchange Format (*.adi)",
                                                                "Comma Separated Values (*.csv)",
                                                                "Tab Separated Values (*.tsv)"}));
        const std::string written = ReadTestFile(path);
        EXPECT_NE(written.find(c.marks), std::string::npos) << written.substr(0, 40);
        // An export is no save.
        EXPECT_STREQ(EditorSettings.CurrentLogPath, log.c_str());
        EXPECT_EQ(LogModified, 1);
        EXPECT_EQ(RegValue("LastCSVLog"), log);
        EXPECT_EQ(StoredRecentLogs(), (std::vector<std::string>{log}));
    }
}

TEST_F(FileCommands, ExportOfAnEmptyOrUnnamedLog) {
    AnswerModals({Answer{Press::Button, IDOK}});
    EXPECT_EQ(ExportLog(window), 0);
    EXPECT_EQ(Questions(), (std::vector<std::string>{kNothingToExport}));

    // Without a log file the proposal is empty; Cancel writes nothing.
    Fresh();
    FillLog();
    AnswerModals({CancelDialog()});
    EXPECT_EQ(ExportLog(window), 0);
    const auto seen = TakeSeenModals();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].fileName, "");
}

// An export onto the open log's own file would replace the log by another
// layout without a backup: it is refused, whatever the case of the name.
TEST_F(FileCommands, ExportRefusesTheOpenLogsOwnFile) {
    FillLog();
    const std::string log = Win(dir / "main.csv");
    snprintf(EditorSettings.CurrentLogPath, sizeof EditorSettings.CurrentLogPath, "%s", log.c_str());
    std::string upper = log;
    for (char &ch : upper) ch = static_cast<char>(toupper(static_cast<unsigned char>(ch)));
    AnswerModals({TypeAndPress(upper), Answer{Press::Button, IDOK}});
    EXPECT_EQ(ExportLog(window), 0);
    const auto seen = TakeSeenModals();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].caption, "Export Log to:");
    EXPECT_EQ(seen[1].caption, "VORN CSV Log Editor");
    EXPECT_NE(seen[1].text.find("cannot replace the open log"), std::string::npos) << seen[1].text;
    EXPECT_TRUE(std::filesystem::is_empty(dir));
    EXPECT_EQ(LogModified, 1);
}

// The close request, for each way through its questions.
TEST_F(FileCommands, CloseFollowsTheAnswers) {
    enum Form { Empty, CallOnly, Both };
    struct Case {
        const char *name;
        Form form;
        bool modified;
        bool readOnly;   // the log file cannot be written
        std::vector<Answer> answers;
        std::vector<std::string> asked;
        bool closed;
        bool saved;      // the file holds the form's or the fourth contact
        size_t entries;
    } cases[] = {
        {"clean", Empty, false, false, {}, {}, true, false, 3},
        {"call only", CallOnly, false, false, {}, {}, true, false, 3},
        {"entry cancel", Both, false, false, {Cancel()}, {kIncomplete}, false, false, 3},
        {"entry escape", Both, false, false, {Escape()}, {kIncomplete}, false, false, 3},
        {"entry no", Both, false, false, {No()}, {kIncomplete}, true, false, 3},
        {"entry yes, autosaved", Both, false, false, {Yes()}, {kIncomplete}, true, true, 4},
        {"entry yes, save fails, discard", Both, false, true, {Yes(), No()}, {kIncomplete, kUnsaved}, true, false, 4},
        {"unsaved yes", Empty, true, false, {Yes()}, {kUnsaved}, true, true, 4},
        {"unsaved no", Empty, true, false, {No()}, {kUnsaved}, true, false, 4},
        {"unsaved cancel", Empty, true, false, {Cancel()}, {kUnsaved}, false, false, 4},
        {"unsaved close box", Empty, true, false, {Answer{Press::CloseBox}}, {kUnsaved}, false, false, 4},
        {"save fails, stay", Empty, true, true, {Yes(), No()}, {kUnsaved, kQuitAnyway}, false, false, 4},
        {"save fails, quit", Empty, true, true, {Yes(), Yes()}, {kUnsaved, kQuitAnyway}, true, false, 4},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Fresh();
        FillLog();
        const std::string path = SavedLog("log.csv");
        if (c.modified) {
            InsertQsoEntry(0, 1700003000, "QX4DDD", "20m", "CW", "QX/AB-004", "", "QX9ME", "", 0);
            LogModified = 1;
        }
        RefreshLogList(window);
        if (c.form != Empty) SetDlgItemTextA(window, IDC_HIS_CALL, "QX7FORM");
        if (c.form == Both) SetDlgItemTextA(window, IDC_HIS_SUMMIT, "QX/AB-007");
        SetFileAttributesA(path.c_str(), c.readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
        const std::string before = ReadTestFile(path);
        TakeSeenModals();
        AnswerModals(c.answers);
        CloseMainWindow(window);
        EXPECT_EQ(Questions(), c.asked);
        EXPECT_EQ(IsWindow(window) == FALSE, c.closed);
        size_t entries = 0;
        for (QsoEntry *e = QsoListHead; e; e = e->next) ++entries;
        EXPECT_EQ(entries, c.entries);
        const std::string after = ReadTestFile(path);
        EXPECT_EQ(after.find(c.form == Both ? "QX7FORM" : "QX4DDD") != std::string::npos, c.saved);
        if (!c.saved) {
            EXPECT_EQ(after, before);
        }
        if (!c.closed) {
            EXPECT_EQ(Rows(), c.entries);
            if (c.form == Both) {
                EXPECT_EQ(ControlText(window, IDC_HIS_CALL), "QX7FORM");
            }
        } else {
            EXPECT_NE(RegValue("LogColumnSize"), "<missing>");
        }
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

}  // namespace
