// Loading a log: the checking pass that writes the error log, then the loading
// pass into the QSO list, for the V2 layout and the two older ones. Portable;
// what it shows the user goes through the window edges of uihooks.h.
#include "logloader.h"

#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <unordered_map>
#include <vector>

#include "csvreader.h"
#include "qsolist.h"
#include "settings.h"
#include "strutil.h"
#include "textnumber.h"
#include "summitsdb.h"
#include "uihooks.h"

char ErrorLogPath[260] = "";
FILE *ErrorLogFile = nullptr;
int ErrorLogCounter = 1;

namespace {

bool SameNoCase(const char *a, const char *b) { return StrCompareNoCase(a, b) == 0; }

bool EndsWithTsv(const char *path) {
    const char *name = path;
    for (const char *c = path; *c; ++c)
        if (*c == '\\' || *c == '/') name = c + 1;
    const char *dot = strrchr(name, '.');
    return dot && SameNoCase(dot, ".tsv");
}

const char *FileNameOf(const char *path) {
    const char *name = path;
    for (const char *c = path; *c; ++c)
        if (*c == '\\' || *c == '/') name = c + 1;
    return name;
}

std::string Cut(const char *text, size_t limit) { return std::string(text, strnlen(text, limit)); }

// Writes text with every LF as CR LF, as a text-mode stream would on Windows.
void WriteCrLf(FILE *f, const char *text) {
    for (const char *c = text; *c; ++c) {
        if (*c == '\n') fputc('\r', f);
        fputc(*c, f);
    }
}

// One line split into fields: by the CSV reader, or at tabs with the same
// quoting for a TSV file.
struct Line {
    std::string raw;
    std::vector<std::string> fields;
    const char *Field(size_t i) const { return i < fields.size() ? fields[i].c_str() : ""; }
};

void SplitTabs(const std::string &raw, std::vector<std::string> *fields) {
    size_t p = 0;
    for (;;) {
        std::string field;
        if (p < raw.size() && raw[p] == '"') {
            size_t r = p + 1;
            while (r < raw.size()) {
                if (raw[r] == '"') {
                    if (r + 1 < raw.size() && raw[r + 1] == '"') {
                        field += '"';
                        r += 2;
                        continue;
                    }
                    ++r;
                    while (r < raw.size() && raw[r] != '\t') field += raw[r++];
                    break;
                }
                field += raw[r++];
            }
            p = r;
        } else {
            size_t end = raw.find('\t', p);
            if (end == std::string::npos) end = raw.size();
            field = raw.substr(p, end - p);
            p = end;
        }
        fields->push_back(std::move(field));
        if (p >= raw.size()) return;
        ++p;   // the tab
        if (p == raw.size()) {
            fields->emplace_back();
            return;
        }
    }
}

// Reads the next line; false at the end or on failure (CsvLastReadFailed
// tells which). A UTF-8 byte order mark before the first line is dropped;
// empty lines are passed over.
bool NextLine(FILE *file, bool tabs, bool *first, Line *line) {
    for (;;) {
        char *text = CsvReadLine(file);
        if (!text) return false;
        bool bom = *first && strncmp(text, "\xEF\xBB\xBF", 3) == 0;
        *first = false;
        line->raw = bom ? text + 3 : text;
        if (line->raw.empty()) continue;
        line->fields.clear();
        if (tabs || bom) {
            if (tabs)
                SplitTabs(line->raw, &line->fields);
            else {
                int count = CsvFieldCount();
                for (int i = 0; i < count; ++i) line->fields.emplace_back(CsvGetField(i));
                line->fields[0].erase(0, 3);
            }
        } else {
            int count = CsvFieldCount();
            for (int i = 0; i < count; ++i) line->fields.emplace_back(CsvGetField(i));
        }
        return true;
    }
}

bool IsV2Signature(const char *field) { return SameNoCase(field, "v2") || SameNoCase(field, "v2swl"); }

// 0 no header, 1 plain header, 2 chaser, 3 activator. A line that opens with
// a V2 signature is a contact, whatever its notes say.
int HeaderKind(const Line &line) {
    if (IsV2Signature(line.Field(0))) return 0;
    const std::string &r = line.raw;
    if (r.find("Signature") != std::string::npos || r.find("Version") != std::string::npos) return 1;
    if (r.find("MyCall") != std::string::npos || r.find("My Call") != std::string::npos) return 2;
    if (r.find("Call used") != std::string::npos) return 3;
    return 0;
}

bool HasHeaderWord(const Line &line) {
    if (IsV2Signature(line.Field(0))) return false;
    static const char *const words[] = {"Signature", "Version", "MyCall", "My Call", "Call used"};
    for (const char *w : words)
        if (line.raw.find(w) != std::string::npos) return true;
    return false;
}

UtcTime ParseDateTime(const char *date, const char *time) {
    int hour = 0, minute = 0;
    if (sscanf(time, "%2d:%2d", &hour, &minute) != 2 && sscanf(time, "%2d%2d", &hour, &minute) != 2) return -1;
    int day = 0, month = 0, year = 0;
    if (sscanf(date, "%d/%d/%d", &day, &month, &year) != 3 && sscanf(date, "%d-%d-%d", &year, &month, &day) != 3)
        return -1;
    // Two-digit years are this century's; from 100 to 1900 they count from 1900.
    if (month == INT_MIN) return -1;   // no month before it; the year is out of range anyway
    struct tm tm = {};
    tm.tm_year = year <= 99 ? year + 100 : year > 1900 ? year - 1900 : year;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    return MakeUtcTime(&tm);
}

struct KnownSummit {
    int found;
    UtcTime validFrom, validTo;
};

struct Check {
    const char *path;
    int lines = 0;
    int headerLine = 0;
    int layout = 0;   // 0 unset, 1 older, 2 V2
    int logKind = 0;  // 0 unset, 1 chaser, 2 activator
    int dateErrors = 0;
    int summitErrors = 0;
    bool wrongFormat = false;
    std::unordered_map<std::string, KnownSummit> summits;   // lookups of this load
};

void Log(const Check &c, const char *format, ...) __attribute__((format(printf, 2, 3)));
void Log(const Check &c, const char *format, ...) {
    char message[255];
    va_list args;
    va_start(args, format);
    vsnprintf(message, sizeof message, format, args);
    va_end(args);
    WriteErrorLog(message, c.path);
}

// Looks the summit up once per load. false when the record could not be had.
bool LookUp(Check *c, const char *ref, KnownSummit *out) {
    auto known = c->summits.find(ref);
    if (known != c->summits.end()) {
        *out = known->second;
        return true;
    }
    SummitInfo *info = static_cast<SummitInfo *>(malloc(sizeof(SummitInfo)));
    if (!info) {
        ShowMessageBox("ERROR: Out of Memory", kProgramName, kMessageBoxIconError);
        return false;
    }
    KnownSummit summit{DbLookupSummit(ref, info) == 1 ? 1 : 0, 0, 0};
    if (summit.found) {
        summit.validFrom = info->ValidFrom;
        summit.validTo = info->ValidTo;
    }
    free(info);
    c->summits.emplace(ref, summit);
    *out = summit;
    return true;
}

// kind: 0 V2 own summit, 1 V2 chased summit, 2 older layout.
void CheckSummit(Check *c, const char *ref, const char *dateField, UtcTime t, int kind) {
    KnownSummit s;
    if (!LookUp(c, ref, &s)) return;
    if (s.found && (t == -1 || (s.validFrom <= t && t <= s.validTo))) return;
    ++c->summitErrors;
    static const char *const invalid[3] = {"(Activated) Summit %s may not be valid on %s",
                                           "Summit %s may not be valid on %s", "Summit '%s' may not be valid on %s"};
    static const char *const unknown[3] = {"Unknown (Activated) Summit %s", "Unknown Summit %s",
                                           "Unknown Summit '%s'"};
    char what[255];
    if (s.found)
        snprintf(what, sizeof what, invalid[kind], ref, dateField);
    else
        snprintf(what, sizeof what, unknown[kind], ref);
    if (c->headerLine)
        Log(*c, "%s (line %d - QSO %d)\n", what, c->lines, c->lines - c->headerLine);
    else
        Log(*c, "%s (line %d)\n", what, c->lines);
}

void CheckLine(Check *c, const Line &line) {
    ++c->lines;
    int header = HeaderKind(line);
    if (header) {
        c->headerLine = c->lines;
        if (header == 2) c->logKind = 1;
        if (header == 3) c->logKind = 2;
        return;
    }
    const bool checking = DbAvailable && EditorSettings.RefChecking;
    const bool v2 = IsV2Signature(line.Field(0));
    if (!v2 && (line.fields.size() < 7 || line.fields.size() > 10)) {
        Log(*c, "ERROR: Wrong Number of Parameters on line\n");
        c->wrongFormat = true;
        return;
    }
    if (!c->layout) c->layout = v2 ? 2 : 1;
    // The date and the summits as the load will read them: in the layout of the
    // file's first data line, whatever this line's own signature. A line of the
    // other layout thus has its problems counted and logged, rather than being
    // loaded with a lost date and no word.
    if (c->layout == 2) {
        UtcTime t = ParseDateTime(line.Field(3), line.Field(4));
        if (t == -1) {
            ++c->dateErrors;
            Log(*c, "Invalid or unsupported Date/Time detected on line %d\n", c->lines);
        }
        if (checking) {
            if (strlen(line.Field(2)) >= 2) CheckSummit(c, line.Field(2), line.Field(3), t, 0);
            if (strlen(line.Field(8)) >= 2) CheckSummit(c, line.Field(8), line.Field(3), t, 1);
        }
        return;
    }
    UtcTime t = ParseDateTime(line.Field(1), line.Field(2));
    if (t == -1) {
        ++c->dateErrors;
        Log(*c, "Invalid Date/Time detected on line %d\n", c->lines);
    }
    if (checking) CheckSummit(c, line.Field(3), line.Field(1), t, 2);
}

struct UserList {
    char *slots;
    int slotSize;
    int *count;
    int capacity;
    void (*refill)(void);
    void (*save)(void);
    const char *warning;
};

// The list's spelling of value; an unknown value joins the list while there is room.
std::string LookUpOrAdd(const UserList &list, std::string value) {
    if (value.empty()) return value;
    int count = *list.count < list.capacity ? *list.count : list.capacity;
    for (int i = 0; i < count; ++i) {
        const char *entry = list.slots + i * list.slotSize;
        if (SameNoCase(entry, value.c_str())) return entry;
    }
    if (*list.count >= list.capacity) {
        ShowMessageBox(list.warning, kProgramName, kMessageBoxIconWarning);
        return value;
    }
    char *slot = list.slots + *list.count * list.slotSize;
    memset(slot, 0, static_cast<size_t>(list.slotSize));
    memcpy(slot, value.data(), value.size() < static_cast<size_t>(list.slotSize - 1) ? value.size()
                                                                                      : static_cast<size_t>(list.slotSize - 1));
    ++*list.count;
    list.refill();
    list.save();
    return value;
}

UserList MyCallList() {
    return {&EditorSettings.MyCall[0][0], kMyCallSize, &EditorSettings.MyCallCount, kMyCallSlots, RefillMyCallCombo,
            SaveMyCall, "WARNING: More Callsigns used than code supports"};
}
UserList BandList() {
    return {&EditorSettings.UserBands[0][0], kUserBandSize, &EditorSettings.UserBandCount, kUserBandSlots,
            RefillBandCombo, SaveUserBands, "WARNING: More Bands used than code supports"};
}
UserList ModeList() {
    return {&EditorSettings.UserModes[0][0], kUserModeSize, &EditorSettings.UserModeCount, kUserModeSlots,
            RefillModeCombo, SaveUserModes, "WARNING: More Modes used than code supports"};
}

// The loader's own band names by frequency in MHz, first match wins.
struct LoaderBand {
    float low, high;
    const char *name;
};
const LoaderBand kLoaderBands[] = {
    {75000.0f, 82000.0f, "76GHz"}, {47000.0f, 47500.0f, "47GHz"}, {24000.0f, 24500.0f, "24GHz"},
    {10000.0f, 11000.0f, "10GHz"}, {5600.0f, 5900.0f, "5.6GHz"},  {3300.0f, 3500.0f, "3.4GHz"},
    {2300.0f, 2500.0f, "2.3GHz"},  {1200.0f, 1350.0f, "1240MHz"}, {900.0f, 905.0f, "900MHz"},
    {420.0f, 440.0f, "432MHz"},    {220.0f, 222.0f, "220MHz"},    {144.0f, 148.0f, "144MHz"},
    {70.0f, 71.0f, "70MHz"},       {50.0f, 54.0f, "50MHz"},       {28.0f, 30.0f, "28MHz"},
    {24.0f, 25.0f, "24MHz"},       {21.0f, 22.0f, "21MHz"},       {18.0f, 19.0f, "18MHz"},
    {14.0f, 15.0f, "14MHz"},       {10.0f, 11.0f, "10MHz"},       {7.0f, 8.0f, "7MHz"},
    {5.0f, 6.0f, "5MHz"},          {3.0f, 4.0f, "3.5MHz"},        {1.0f, 2.0f, "1.8MHz"},
};

// A band the user or the program already names, which a load keeps as it
// stands: were it read as a frequency, a saved "MICROWAVE" or "20m" would come
// back as another band with a " QRG:" token added on every reload. The names
// the frequency table gives are kept too, so "Unknown" stays put even when the
// user's list is full. An empty field has no frequency to read and stays empty
// (an older log's contact without a band is saved so).
bool IsKnownBandName(const char *text) {
    if (!*text) return true;
    const int count = EditorSettings.UserBandCount < kUserBandSlots ? EditorSettings.UserBandCount : kUserBandSlots;
    for (int i = 0; i < count; ++i)
        if (SameNoCase(text, EditorSettings.UserBands[i])) return true;
    for (const auto &band : DefaultBands)
        if (band[0] && SameNoCase(text, band)) return true;
    for (const LoaderBand &band : kLoaderBands)
        if (SameNoCase(text, band.name)) return true;
    return SameNoCase(text, "VLF") || SameNoCase(text, "Unknown");
}

// Adds the line's entry. false when memory ran out.
bool LoadLine(const Line &line, int layout, int logKind) {
    QsoEntry *e;
    if (layout == 2) {
        int swl = SameNoCase(line.Field(0), "v2swl") ? 1 : 0;
        UtcTime t = ParseDateTime(line.Field(3), line.Field(4));
        std::string myCall = LookUpOrAdd(MyCallList(), Cut(line.Field(1), kQsoCallLen));
        std::string notes = line.Field(9);
        std::string written = Cut(line.Field(5), kQsoBandLen);
        float mhz = 0;
        const char *name = written.c_str();
        if (!IsKnownBandName(line.Field(5))) name = BandFromFrequencyText(line.Field(5), &mhz);
        if (written != name) {
            char qrg[64];
            snprintf(qrg, sizeof qrg, " QRG:%.3f", static_cast<double>(mhz));
            notes += qrg;
        }
        std::string band = LookUpOrAdd(BandList(), name);
        std::string mode = LookUpOrAdd(ModeList(), Cut(line.Field(6), kQsoModeLen));
        e = InsertQsoEntry(0, t, line.Field(7), band.c_str(), mode.c_str(), line.Field(8), notes.c_str(),
                           myCall.c_str(), line.Field(2), swl);
    } else {
        UtcTime t = ParseDateTime(line.Field(1), line.Field(2));
        std::string myCall = LookUpOrAdd(MyCallList(), Cut(line.Field(0), kQsoCallLen));
        std::string band = LookUpOrAdd(BandList(), Cut(line.Field(4), kQsoBandLen));
        std::string mode = LookUpOrAdd(ModeList(), Cut(line.Field(5), kQsoModeLen));
        const char *notes = line.fields.size() >= 8 ? line.Field(7) : "";
        if (logKind == 2)
            e = InsertQsoEntry(0, t, line.Field(6), band.c_str(), mode.c_str(), "", notes, line.Field(0),
                               line.Field(3), 0);
        else
            e = InsertQsoEntry(0, t, line.Field(6), band.c_str(), mode.c_str(), line.Field(3), notes, myCall.c_str(),
                               "", 0);
    }
    if (!e) return false;
    LogModified = 1;
    return true;
}

void ShowFailure(int error) {
    std::string text = std::string("Error: ") + strerror(error) + "\n";
    ShowStatusMessage(text.c_str(), 0);
    ErrorBeep();
}

void CloseErrorLog() {
    if (ErrorLogFile) fclose(ErrorLogFile);
    ErrorLogFile = nullptr;
}

}  // namespace

void WriteErrorLog(const char *message, const char *logPath) {
    const std::string where = std::string(EditorSettings.DataDirectory) + "\\VORN_CSV_Err.log";
    snprintf(ErrorLogPath, sizeof ErrorLogPath, "%s", where.c_str());   // cut to the field
    if (!ErrorLogFile) {
        ErrorLogCounter = 1;
        ErrorLogFile = fopen(ErrorLogPath, "wb");
        if (!ErrorLogFile) {
            char text[600];
            snprintf(text, sizeof text, "ERROR: Unable to create Error Log '%s' (%s)\n", ErrorLogPath,
                     strerror(errno));
            ShowMessageBox(text, kProgramName, kMessageBoxIconError);
            return;
        }
        char stamp[32];
        FormatQsoTime(static_cast<UtcTime>(time(nullptr)), "%d/%m/%Y %H:%M:%S", stamp, sizeof stamp);
        char line[255];
        snprintf(line, sizeof line, "Error Log started : %s UTC\n", stamp);
        WriteCrLf(ErrorLogFile, line);
        snprintf(line, sizeof line, "VORN Log '%s'\n", logPath);
        if (!strchr(line, '\n')) line[sizeof line - 2] = '\n';   // a long path is cut, the line still ends
        WriteCrLf(ErrorLogFile, line);
    }
    char line[255];
    snprintf(line, sizeof line, "%d: %s", ErrorLogCounter, message);
    if (!strchr(line, '\n') && strchr(message, '\n')) line[sizeof line - 2] = '\n';
    WriteCrLf(ErrorLogFile, line);
    ++ErrorLogCounter;
}

int LoadCsvLog(void *owner, const char *path) {
    (void)owner;
    FILE *file = path ? fopen(path, "rb") : nullptr;
    if (!file) {
        ShowFailure(path ? errno : ENOENT);
        return 0;
    }
    const bool tabs = EndsWithTsv(path);
    ShowStatusMessage("Checking CSV ...", 0);

    Check c;
    c.path = path;
    CloseErrorLog();
    Line line;
    bool first = true;
    while (!c.wrongFormat && NextLine(file, tabs, &first, &line)) CheckLine(&c, line);
    bool readFailed = !c.wrongFormat && CsvLastReadFailed();
    CsvReaderReset();
    if (readFailed) {
        CloseErrorLog();
        fclose(file);
        ShowFailure(EIO);
        return 0;
    }
    if (c.wrongFormat) {
        WriteErrorLog("ERROR: Wrong CSV format\n", path);
        CloseErrorLog();
        ErrorBeep();
        ShowStatusMessage("ERROR: Wrong CSV format", 0);
        fclose(file);
        return 0;
    }
    CloseErrorLog();

    const int problems = c.dateErrors + c.summitErrors;
    char question[700];
    if (problems > c.lines / 10) {
        snprintf(question, sizeof question,
                 "ERROR: Too many problems detected in this file (are you sure it is a VORN CSV log?)\n"
                 "do you want to examine the error log '%s' now?",
                 ErrorLogPath);
        if (ShowEditorMessage(question, kMessageBoxYesNo | kMessageBoxIconWarning) != kAnswerNo)
            OpenWithProgram(ErrorLogPath, nullptr);
        fclose(file);
        return 0;
    }
    if (problems > 0) {
        snprintf(question, sizeof question,
                 "Warning: Problems were detected in the Log\ndo you want to examine the error log '%s' now?\n",
                 ErrorLogPath);
        if (ShowEditorMessage(question, kMessageBoxYesNo | kMessageBoxIconWarning) != kAnswerNo)
            OpenWithProgram(ErrorLogPath, nullptr);
    }
    if (c.layout == 1 && c.logKind == 0) {
        snprintf(question, sizeof question,
                 "The program has detected that '%s' is an older CSV log file, but needs some assistance\n"
                 "'Is this a Chaser Log' ?",
                 FileNameOf(path));
        c.logKind = ShowEditorMessage(question, kMessageBoxYesNo | kMessageBoxIconQuestion) == kAnswerNo ? 2 : 1;
    }

    rewind(file);
    ShowStatusMessage("Loading CSV ...", 0);
    const bool wasEmpty = QsoListHead == nullptr;
    const int wasModified = LogModified;
    first = true;
    bool good = true;
    while (good && NextLine(file, tabs, &first, &line))
        if (!HasHeaderWord(line)) good = LoadLine(line, c.layout, c.logKind);
    int error = !good ? ENOMEM : CsvLastReadFailed() ? EIO : 0;
    CsvReaderReset();
    fclose(file);
    if (error) {
        // A part of a log must never pass for the whole: nothing stays loaded.
        if (wasEmpty) {
            ClearQsoList();
            LogModified = wasModified;
        }
        ShowFailure(error);
        return 0;
    }
    if (problems)
        ShowStatusMessage("Log opened (but with suspect entries)", 15000);
    else
        ShowStatusMessage("Log opened (All Ok)", 5000);
    return 1;
}

const char *BandFromFrequencyText(const char *text, float *mhz) {
    float number = static_cast<float>(ReadLeadingNumber(text));
    float f = strstr(text, "kHz")   ? number / 1000.0f
              : strstr(text, "MHz") ? number
              : strstr(text, "GHz") ? number * 1000.0f
                                    : number;
    *mhz = f;
    for (const LoaderBand &r : kLoaderBands)
        if (f >= r.low && f <= r.high) return r.name;
    if (static_cast<double>(f) < 1.8) return "VLF";
    return "Unknown";
}
