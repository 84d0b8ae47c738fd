// Saving the log as V2 CSV or TSV with its backup, and the plain CSV export.
// Portable; every file goes through safefile, so a failed save keeps the old one.
#include "logwriter.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "qsolist.h"
#include "safefile.h"
#include "settings.h"
#include "strutil.h"
#include "summitsdb.h"
#include "uihooks.h"

namespace {

const char kHeader[] =
    "Signature,Call (my call),Full Reference (my summit),Date,Time,Band,Mode,Call (his call),"
    "Full Reference (his summit),Notes\n";

// The extension of the path's last component, from its last dot; empty when none.
std::string FileExtension(const std::string &path) {
    size_t nameStart = path.find_last_of("\\/");
    nameStart = nameStart == std::string::npos ? 0 : nameStart + 1;
    size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot < nameStart) return {};
    return path.substr(dot);
}

bool SameNoCase(const std::string &a, const char *b) { return StrCompareNoCase(a.c_str(), b) == 0; }

char SeparatorFor(const std::string &path) { return SameNoCase(FileExtension(path), ".tsv") ? '\t' : ','; }

// The path with its .csv or .tsv extension replaced by .bak; false for any other name.
bool BackupPathFor(const std::string &path, std::string *backup) {
    std::string ext = FileExtension(path);
    if (!SameNoCase(ext, ".csv") && !SameNoCase(ext, ".tsv")) return false;
    *backup = path.substr(0, path.size() - ext.size()) + ".bak";
    return true;
}

// A field that holds a double quote has every quote doubled and is enclosed in
// quotes; one that holds the separator (or a comma: notes have always been
// quoted for it) or a line break is enclosed unchanged; any other is written as
// it stands. A reload then finds the same fields, whatever was typed or read.
void AppendField(std::string *line, const char *text, char sep, bool quoteCommas) {
    if (strchr(text, '"')) {
        *line += '"';
        for (const char *c = text; *c; ++c) {
            if (*c == '"') *line += '"';
            *line += *c;
        }
        *line += '"';
    } else if (strchr(text, sep) || (quoteCommas && strchr(text, ',')) || strpbrk(text, "\r\n")) {
        *line += '"';
        *line += text;
        *line += '"';
    } else {
        *line += text;
    }
}

// One record; the save trims the calls and references of the entry itself.
void ComposeRecord(std::string *line, QsoEntry *e, char sep, bool save) {
    char date[16], time[16];
    FormatQsoTime(e->qsoTime, "%d/%m/%Y", date, sizeof date);
    FormatQsoTime(e->qsoTime, "%H:%M", time, sizeof time);
    const char *fields[9] = {
        save && e->swl ? "v2swl" : "v2",
        save ? StrTrim(e->myCall) : e->myCall,
        save ? StrTrim(e->mySummit) : e->mySummit,
        date,
        time,
        e->band,
        e->mode,
        save ? StrTrim(e->hisCall) : e->hisCall,
        save ? StrTrim(e->hisSummit) : e->hisSummit,
    };
    line->clear();
    for (const char *field : fields) {
        AppendField(line, field, sep, false);
        *line += sep;
    }
    AppendField(line, e->notes, sep, true);
    *line += '\n';
}

void ShowOpenError(int error) {
    std::string text = std::string("Error: ") + strerror(error) + "\n";
    ShowStatusMessage(text.c_str(), 0);
    ErrorBeep();
}

// Header and records into the open temporary file, closed afterwards. 1 or 0.
int WriteLog(SafeFile *out, char sep, bool save) {
    std::string header = kHeader;
    if (sep != ',')
        for (char &c : header)
            if (c == ',') c = sep;
    int good = SafeFileWrite(out, header.data(), header.size());
    std::string line;
    line.reserve(1024);
    for (QsoEntry *e = QsoListHead; good && e; e = e->next) {
        ComposeRecord(&line, e, sep, save);
        good = SafeFileWrite(out, line.data(), line.size());
    }
    if (!good) {
        SafeFileAbandon(out);
        return 0;
    }
    return SafeFileClose(out);
}

// The backup's failure, with the system's reason when there is one.
void ShowBackupError(const std::string &reason) {
    std::string text = "ERROR: Unable to backup Log";
    if (!reason.empty()) text += " (" + reason + ")";
    ShowStatusMessage(text.c_str(), 0);
    ErrorBeep();
}

}  // namespace

int WriteCsvLog(void *owner, const char *path) {
    (void)owner;
    if (!path || !*path) return 0;
    std::string target = path;
    char sep = SeparatorFor(target);
    std::string backup;
    bool keepBackup = FileExists(path) && !EditorSettings.NoBackup;
    if (keepBackup && !BackupPathFor(target, &backup)) {
        ShowBackupError("");
        return 0;
    }
    SafeFile out;
    if (!SafeFileBegin(&out, path)) {
        ShowOpenError(errno);
        return 0;
    }
    if (!WriteLog(&out, sep, true)) return 0;
    // The copy of the current file waits beside the backup until the new log is
    // in place, so that on any failure the old log and the old backup are
    // exactly as they were.
    SafeFile bak;
    if (keepBackup && !SafeCopyBegin(path, backup.c_str(), &bak)) {
        SafeFileAbandon(&out);
        ShowBackupError(bak.reason);
        return 0;
    }
    if (!SafeFileCommit(&out)) {
        if (keepBackup) SafeFileAbandon(&bak);
        return 0;
    }
    if (keepBackup) {
        char reason[256] = "";
        if (!MoveFileReplacing(bak.temp.c_str(), backup.c_str(), reason, sizeof reason)) {
            // The copy holds the previous log: put it back in place of the new one
            // (should even that fail, the copy stays beside the backup).
            char ignored[256];
            MoveFileReplacing(bak.temp.c_str(), path, ignored, sizeof ignored);
            ShowBackupError(reason);
            return 0;
        }
    }

    LogModified = 0;
    if (strcmp(EditorSettings.CurrentLogPath, path) != 0) {
        snprintf(EditorSettings.CurrentLogPath, sizeof EditorSettings.CurrentLogPath, "%s", path);
    }
    SetLogFileName(path);
    SaveSettingText("LastCSVLog", path);
    PromoteRecentLog(path);
    return 1;
}

int ExportCsv(const char *path) {
    if (!path) return 0;
    SafeFile out;
    if (!SafeFileBegin(&out, path)) {
        ShowOpenError(errno);
        return 0;
    }
    if (!WriteLog(&out, SeparatorFor(path), false)) return 0;
    return SafeFileCommit(&out);
}
