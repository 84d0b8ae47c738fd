// The ADIF 3.0.4 export: one record a contact, with what its notes and the
// summits database add. Portable; the file is written through safefile and the
// viewer started through the window edges of uihooks.h.
#include "adifexport.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unordered_map>

#include "locator.h"
#include "qsolist.h"
#include "registry.h"
#include "safefile.h"
#include "settings.h"
#include "textnumber.h"
#include "strutil.h"
#include "summitsdb.h"
#include "uihooks.h"

namespace {

bool SameNoCase(const char *a, const char *b) { return StrCompareNoCase(a, b) == 0; }

bool BeginsNoCase(const char *text, const char *prefix) {
    size_t n = strlen(prefix);
    for (size_t i = 0; i < n; ++i) {
        char a = text[i], b = prefix[i];
        if (a >= 'a' && a <= 'z') a = static_cast<char>(a - 'a' + 'A');
        if (b >= 'a' && b <= 'z') b = static_cast<char>(b - 'a' + 'A');
        if (a != b) return false;
    }
    return true;
}

char *NewText(const char *text) {
    size_t n = strlen(text) + 1;
    char *copy = static_cast<char *>(malloc(n));
    if (copy) memcpy(copy, text, n);
    return copy;
}

// Copies text into a working value of the given capacity, cut to fit.
template <size_t N>
void SetValue(char (&value)[N], const char *text, size_t limit = N - 1) {
    size_t n = strnlen(text, limit < N - 1 ? limit : N - 1);
    memcpy(value, text, n);
    value[n] = '\0';
}

void Tag(std::string *record, const char *name, const char *value) {
    char head[48];
    snprintf(head, sizeof head, "<%s:%d>", name, static_cast<int>(strlen(value)));
    *record += head;
    *record += value;
    *record += '\n';
}

bool HasNumberAfterFirst(const char *token) {
    int number;
    return sscanf(token + 1, "%d", &number) == 1;
}

struct RecordValues {
    char mode[9] = "";
    char received[12] = "";
    char sent[12] = "";
    char locator[16] = "";
    char myLocator[16] = "";
    char name[64] = "";
    char qth[64] = "";
    char comment[128] = "";
    float frequency = 0;
};

void ReadToken(RecordValues *v, const char *token) {
    const size_t length = strlen(token);
    if ((token[0] == 'R' || token[0] == 'r') && length > 2 && HasNumberAfterFirst(token)) {
        SetValue(v->received, token + 1);
    } else if ((token[0] == 'S' || token[0] == 's') && length > 2 && HasNumberAfterFirst(token)) {
        if (!SameNoCase(token, "S2S")) SetValue(v->sent, token + 1);
    } else if (strncmp(token, "R:", 2) == 0 && length > 3) {
        SetValue(v->received, token + 2);
    } else if (strncmp(token, "S:", 2) == 0 && length > 3) {
        SetValue(v->sent, token + 2);
    } else if (strncmp(token, "QRG:", 4) == 0 && length > 4) {
        // Beyond a float's range (1e39) the frequency would read "inf": dropped like 0.
        float frequency = static_cast<float>(ReadLeadingNumber(token + 4));
        if (std::isfinite(frequency) && frequency > 0) v->frequency = frequency;
    } else if (strncmp(token, "Name:", 5) == 0 && length > 5) {
        SetValue(v->name, token + 5);
    } else if (strncmp(token, "Mode:", 5) == 0 && length > 5) {
        SetValue(v->mode, token + 5, 8);
    } else if (strncmp(token, "QTH:", 4) == 0 && length > 4) {
        SetValue(v->qth, token + 4);
    } else if (strncmp(token, "QRA:", 4) == 0 && length > 4) {
        SetValue(v->locator, token + 4);
    } else if (strncmp(token, "%QRA%", 5) == 0 && length > 5) {
        SetValue(v->locator, token + 5, strcspn(token + 5, "%"));
    } else if (strncmp(token, "MyQRA:", 6) == 0 && length > 6) {
        SetValue(v->myLocator, token + 6);
    } else {
        // The comment keeps what fits of its words, cut at its capacity.
        size_t used = strlen(v->comment), room = sizeof v->comment - 1 - used;
        std::string word = std::string(token) + " ";
        SetValue(v->comment, (std::string(v->comment) + word.substr(0, room)).c_str());
    }
}

// The frequency a band text names: "144MHz" 144, "2.3GHz" 2300, "136kHz" 0.136.
float BandTextFrequency(const char *band) {
    float number = static_cast<float>(ReadLeadingNumber(band));
    if (StrFindNoCase(band, "kHz")) return number / 1000.0f;
    if (StrFindNoCase(band, "MHz")) return number;
    if (StrFindNoCase(band, "GHz")) return number * 1000.0f;
    return 0;
}

// Summit positions looked up once per export: ref -> found, latitude, longitude.
struct KnownSummit {
    int found;
    double latitude, longitude;
};
using SummitCache = std::unordered_map<std::string, KnownSummit>;

void SummitSide(std::string *record, SummitCache *cache, const char *tokenLocator, const char *summit,
                const char *gridTag, const char *refTag) {
    if (tokenLocator[0]) {
        Tag(record, gridTag, tokenLocator);
        return;
    }
    if (!summit[0]) return;
    Tag(record, refTag, summit);
    if (!DbAvailable) return;
    auto known = cache->find(summit);
    if (known == cache->end()) {
        SummitInfo *info = static_cast<SummitInfo *>(malloc(sizeof(SummitInfo)));
        if (!info) {
            ShowMessageBox("ERROR: Out of Memory", kProgramName, kMessageBoxIconError);
            return;
        }
        KnownSummit found{DbLookupSummit(summit, info) == 1 ? 1 : 0, 0, 0};
        if (found.found) {
            found.latitude = info->Latitude;
            found.longitude = info->Longitude;
        }
        free(info);
        known = cache->emplace(summit, found).first;
    }
    char locator[16] = "";
    if (known->second.found && LatLonToLocator(locator, known->second.latitude, known->second.longitude, 0) == 1)
        Tag(record, gridTag, locator);
}

void DefaultReportTag(std::string *record, const char *name, const char *report, const char *mode) {
    if (report[0]) {
        Tag(record, name, report);
        return;
    }
    char *fallback = GetDefaultReport(mode);
    Tag(record, name, fallback ? fallback : "");
    free(fallback);
}

void ComposeRecord(std::string *record, const QsoEntry *e, const char *operatorText, SummitCache *cache) {
    RecordValues v;
    char date[16], time[16];
    FormatQsoTime(e->qsoTime, "%Y%m%d", date, sizeof date);
    FormatQsoTime(e->qsoTime, "%H%M", time, sizeof time);
    record->clear();
    Tag(record, "STATION_CALLSIGN", e->myCall);
    Tag(record, "OPERATOR", operatorText);
    Tag(record, "QSO_DATE", date);
    Tag(record, "TIME_ON", time);
    Tag(record, "CALL", e->hisCall);

    if (strlen(e->notes) > 2) {
        char **tokens = nullptr;
        int count = SplitString(e->notes, " ", &tokens);
        for (int i = 0; i < count; ++i) ReadToken(&v, tokens[i]);
        for (int i = 0; i < count; ++i) free(tokens[i]);
        free(tokens);
    }
    if (!v.mode[0]) SetValue(v.mode, e->mode);
    Tag(record, "MODE", v.mode);

    float frequency = v.frequency > 0 ? v.frequency : BandTextFrequency(e->band);
    if (char *band = FrequencyToBand(frequency)) {
        Tag(record, "BAND", band);
        free(band);
    }
    if (v.frequency > 0) {
        char text[32];
        snprintf(text, sizeof text, "%.4f", static_cast<double>(v.frequency));
        Tag(record, "FREQ", text);
    }
    if (v.name[0]) Tag(record, "NAME", v.name);
    DefaultReportTag(record, "RST_RCVD", v.received, v.mode);
    DefaultReportTag(record, "RST_SENT", v.sent, v.mode);
    SummitSide(record, cache, v.locator, e->hisSummit, "GRIDSQUARE", "VORN_REF");
    SummitSide(record, cache, v.myLocator, e->mySummit, "MY_GRIDSQUARE", "MY_VORN_REF");
    if (v.comment[0]) Tag(record, "COMMENT", v.comment);
    *record += "<EOR>\n\n";
}

// ADIF_Operator as stored now, else the first own callsign without its suffix.
// The whole field is offered: a stored text that fills the reader's room without
// a terminator reads as missing, so the longest operator needs its spare byte.
void ReadOperator(char (&text)[kAdifOperatorSize]) {
    memset(text, 0, sizeof text);
    int size = static_cast<int>(sizeof text);
    RegReadString(TARN_HKEY_CURRENT_USER, SettingsKey, "ADIF_Operator", text, &size);
    if (size <= 0) memset(text, 0, sizeof text);
    if (text[0]) return;
    if (EditorSettings.MyCallCount > 0) {
        const char *call = EditorSettings.MyCall[0];
        SetValue(text, call, strcspn(call, "/"));
    }
}

}  // namespace

int ExportAdif(const char *path) {
    char version[64] = "Unknown";
    ProgramFileVersion(version, sizeof version);
    SafeFile out;
    if (!SafeFileBegin(&out, path)) {
        std::string text = std::string("Error: ") + strerror(errno) + "\n";
        ShowStatusMessage(text.c_str(), 0);
        ErrorBeep();
        return 0;
    }
    char header[256];
    snprintf(header, sizeof header,
             "Exported by %s\n<ADIF_VER:5>3.0.4\n<PROGRAMID:%d>%s\n<PROGRAMVERSION:%d>%s\n<EOH>\n\n", kProgramName,
             static_cast<int>(strlen(kProgramName)), kProgramName, static_cast<int>(strlen(version)), version);
    int good = SafeFileWrite(&out, header, strlen(header));
    char operatorText[kAdifOperatorSize];
    ReadOperator(operatorText);
    SummitCache cache;
    std::string record;
    for (const QsoEntry *e = QsoListHead; good && e; e = e->next) {
        ComposeRecord(&record, e, operatorText, &cache);
        good = SafeFileWrite(&out, record.data(), record.size());
    }
    if (!good) {
        SafeFileAbandon(&out);
        return 0;
    }
    if (!SafeFileClose(&out) || !SafeFileCommit(&out)) return 0;
    if (EditorSettings.ADIF_Editor[0]) {
        std::string quoted = std::string("\"") + path + "\"";
        OpenWithProgram(EditorSettings.ADIF_Editor, quoted.c_str());
    }
    return 1;
}

char *FrequencyToBand(float f) {
    // Names of ADIF 3.0.4's band enumeration, which importers check: 900 MHz is its "33cm".
    struct Range {
        float low, high;
        const char *band;
    };
    static const Range ranges[] = {
        {75000.0f, 82000.0f, "4mm"}, {47000.0f, 47500.0f, "6mm"}, {24000.0f, 24500.0f, "1.25cm"},
        {10000.0f, 11000.0f, "3cm"}, {5600.0f, 5900.0f, "6cm"},   {3300.0f, 3500.0f, "9cm"},
        {2300.0f, 2500.0f, "13cm"},  {1200.0f, 1350.0f, "23cm"},  {900.0f, 905.0f, "33cm"},
        {420.0f, 440.0f, "70cm"},    {220.0f, 222.0f, "1.25m"},   {144.0f, 148.0f, "2m"},
        {70.0f, 70.5f, "4m"},        {50.0f, 54.0f, "6m"},        {28.0f, 29.7f, "10m"},
        {24.0f, 24.0f, "12m"},       {24.8f, 25.0f, "12m"},       {21.0f, 21.5f, "15m"},
        {18.0f, 18.0f, "17m"},       {18.068f, 18.2f, "17m"},     {14.0f, 14.5f, "20m"},
        {10.0f, 10.0f, "30m"},       {10.1f, 10.2f, "30m"},       {7.0f, 7.5f, "40m"},
        {5.0f, 6.0f, "60m"},         {3.5f, 3.8f, "80m"},         {1.8f, 2.0f, "160m"},
    };
    for (const Range &r : ranges)
        if (f >= r.low && f <= r.high) return NewText(r.band);
    return NewText("");
}

char *GetDefaultReport(const char *mode) {
    bool digital = SameNoCase(mode, "DV") || SameNoCase(mode, "DATA") || SameNoCase(mode, "RTTY") ||
                   BeginsNoCase(mode, "CW") || BeginsNoCase(mode, "PSK");
    return NewText(digital ? "599" : "59");
}

float GetBandDefaultFrequency(float f, const char *mode) {
    struct Range {
        float low, high, usual, fm;
    };
    static const Range ranges[] = {
        {5.0f, 5.5f, 5.102f, 5.102f},       {10.0f, 10.2f, 10.1f, 10.1f},       {18.0f, 18.2f, 18.068f, 18.068f},
        {24.0f, 24.99f, 24.89f, 24.89f},    {28.0f, 29.7f, 28.0f, 29.0f},       {50.0f, 54.0f, 50.0f, 51.0f},
        {144.0f, 148.0f, 144.0f, 145.0f},   {420.0f, 440.0f, 432.0f, 433.0f},   {1200.0f, 1350.0f, 1296.0f, 1297.0f},
        {10000.0f, 11000.0f, 10368.0f, 10368.0f},
    };
    bool fm = mode && SameNoCase(mode, "FM");
    for (const Range &r : ranges)
        if (f >= r.low && f <= r.high) return fm ? r.fm : r.usual;
    return f;
}
