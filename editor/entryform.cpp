// The contact entry form of the main window and the edit dialog: reading and
// checking a contact, storing it, clearing the form, the combo boxes, the
// summit info texts and the minute roll-over of the time picker.
#include "entryform.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "locator.h"
#include "msgdialog_win.h"
#include "qsolist.h"
#include "resource.h"
#include "settings.h"
#include "statusbar.h"
#include "strutil.h"
#include "summitsdb.h"
#include "textnumber.h"

float HomeLatitude = 0, HomeLongitude = 0;
char LastTimeText[8] = "";

namespace {

// The entries a combo offers: the user's list when it has any, else the defaults.
struct ComboSource {
    const char *entries;   // slots of slotSize characters
    int slotSize;
    int count;
    bool skipEmpty;        // the defaults leave unused slots empty
};

// A stored count is trusted no further than the list's slots.
int Capped(int count, int slots) { return count < slots ? count : slots; }

void FillCombo(HWND dialog, int id, const ComboSource &source, const char *select, const char *tip) {
    HWND combo = GetDlgItem(dialog, id);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    int selected = 0;
    for (int slot = 0, position = 0; slot < source.count; ++slot) {
        const char *entry = source.entries + slot * source.slotSize;
        if (source.skipEmpty && !entry[0]) continue;
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
        // The same case rule as the log's own spelling of bands and modes.
        if (select && StrCompareNoCase(entry, select) == 0) selected = position;
        ++position;
    }
    SendMessageA(combo, CB_SETCURSEL, selected, 0);
    if (EditorSettings.UseToolTips) AddToolTip(id, dialog, "", tip);
}

// A summit reference needs at least this many characters.
constexpr size_t kMinSummitLen = 8;
// More than this many characters make a callsign, and make notes worth examining.
constexpr size_t kMinCallLen = 2;
constexpr size_t kMinNotesLen = 2;

constexpr unsigned kFailureMs = 5000;
constexpr unsigned kWarningMs = 8000;
constexpr unsigned kLoggedMs = 2000;
constexpr DWORD kTokenPauseMs = 2000;

// The form's texts, each in a buffer one larger than its field's limit.
struct FormTexts {
    UtcTime qsoTime;
    char hisSummit[kQsoRefLen + 1];
    char band[kQsoBandLen + 1];
    char mode[kQsoModeLen + 1];
    char myCall[kQsoCallLen + 1];
    char hisCall[kQsoCallLen + 1];
    char mySummit[kQsoRefLen + 1];
    char notes[kQsoNotesLen + 1];
};

template <size_t N>
void ReadField(HWND dialog, int id, char (&text)[N]) {
    text[0] = '\0';
    GetDlgItemTextA(dialog, id, text, static_cast<int>(N));
    text[N - 1] = '\0';
}

void ReadForm(HWND dialog, FormTexts &form) {
    form.qsoTime = ReadFormQsoTime(dialog);
    ReadField(dialog, IDC_HIS_SUMMIT, form.hisSummit);
    ReadField(dialog, IDC_BAND, form.band);
    ReadField(dialog, IDC_MODE, form.mode);
    ReadField(dialog, IDC_MY_CALL, form.myCall);
    ReadField(dialog, IDC_HIS_CALL, form.hisCall);
    ReadField(dialog, IDC_MY_SUMMIT, form.mySummit);
    ReadField(dialog, IDC_NOTES, form.notes);
}

void ShowOutOfMemoryOver(HWND dialog) { MessageBoxA(dialog, "ERROR: Out of Memory", kProgramName, MB_ICONERROR); }

// A failed check: its text, the beep and, for a field at fault, the focus.
int Fail(HWND dialog, const char *text, int focusId) {
    ShowStatusMessage(text, kFailureMs);
    ErrorBeep();
    if (focusId) SetFocus(GetDlgItem(dialog, focusId));
    return 0;
}

// A date and time that a log cannot hold (past 2038-01-19 03:14:07 UTC, or
// before 1970), named as the user reads dates.
int FailUnstorableTime(HWND dialog) {
    SYSTEMTIME date = {}, clock = {};
    SendDlgItemMessageA(dialog, IDC_QSO_DATE, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&date));
    SendDlgItemMessageA(dialog, IDC_QSO_TIME, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&clock));
    date.wHour = clock.wHour;
    date.wMinute = clock.wMinute;
    date.wSecond = 0;
    char day[32] = "", time[16] = "";
    if (!GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &date, nullptr, day, sizeof day))
        snprintf(day, sizeof day, "%04u-%02u-%02u", date.wYear, date.wMonth, date.wDay);
    snprintf(time, sizeof time, "%02u:%02u", date.wHour, date.wMinute);
    char text[128];
    snprintf(text, sizeof text, "QSO date %s %s cannot be logged: a log holds 1970-01-01 to 2038-01-19 03:14 UTC", day,
             time);
    return Fail(dialog, text, IDC_QSO_DATE);
}

// One summit field: long enough, and with checking on, known and valid at the
// contact's time (both ends of its validity included).
int CheckSummit(HWND dialog, const char *ref, UtcTime qsoTime, int fieldId, const char *tooShort) {
    if (strlen(ref) < kMinSummitLen) return Fail(dialog, tooShort, fieldId);
    if (!EditorSettings.RefChecking || DbAvailable != 1) return 1;
    auto *info = static_cast<SummitInfo *>(malloc(sizeof(SummitInfo)));
    if (!info) {
        // Without a record the database test is skipped, not failed.
        ShowOutOfMemoryOver(dialog);
        return 1;
    }
    int result = 1;
    if (DbLookupSummit(ref, info) != 1)
        result = Fail(dialog, "Invalid Summit reference", fieldId);
    else if (qsoTime < info->ValidFrom || qsoTime > info->ValidTo)
        result = Fail(dialog, "Summit Not valid on QSO date", fieldId);
    free(info);
    return result;
}

// The frequency in MHz that a band's name stands for: its leading number in
// the unit it names, 0 without a unit.
float BandFrequency(const char *band) {
    const float number = static_cast<float>(ReadLeadingNumber(band));
    if (strstr(band, "kHz")) return number / 1000.0f;
    if (strstr(band, "MHz")) return number;
    if (strstr(band, "GHz")) return number * 1000.0f;
    return 0.0f;
}

// The note tokens: a warning for each token whose only colon ends it, and the
// last usable "QRG:" value checked against the band.
int CheckNotes(HWND dialog, const char *notes, const char *band) {
    if (strlen(notes) <= kMinNotesLen) return 1;
    char **tokens = nullptr;
    const int count = SplitString(notes, " ", &tokens);
    if (count == 0) return 1;
    float qrg = -1.0f;
    for (int i = 0; i < count; ++i) {
        const char *token = tokens[i];
        const char *colon = strchr(token, ':');
        if (colon && colon[1] == '\0') {
            // Room for the longest token the notes can hold, so it is never cut here.
            char warning[sizeof "Token '' should have a value" + kQsoNotesLen];
            snprintf(warning, sizeof warning, "Token '%s' should have a value", token);
            ShowStatusMessage(warning, kWarningMs);
            ErrorBeep();
            Sleep(kTokenPauseMs);
        }
        if (strncmp(token, "QRG:", 4) == 0 && token[4] != '\0') {
            const float value = static_cast<float>(ReadLeadingNumber(token + 4));
            if (value >= 0.0f) qrg = value;
        }
    }
    for (int i = 0; i < count; ++i) free(tokens[i]);
    free(tokens);

    if (qrg == 0.0f) return Fail(dialog, "QRG is not valid", 0);
    if (qrg < 0.0f) return 1;
    const float bandMhz = BandFrequency(band);
    if (bandMhz == 0.0f || !IsFreqInBand(bandMhz, qrg)) return Fail(dialog, "QRG does not match Band", 0);
    return 1;
}

// The new contact's form after it was stored: the options decide what goes.
void ResetForm(HWND dialog, bool clearSummit, bool clearSwl) {
    if (clearSummit) SetDlgItemTextA(dialog, IDC_HIS_SUMMIT, "");
    if (EditorSettings.ResetBandOnEntry) {
        SendDlgItemMessageA(dialog, IDC_BAND, CB_SETCURSEL, 0, 0);
        SendDlgItemMessageA(dialog, IDC_MODE, CB_SETCURSEL, 0, 0);
    }
    SetDlgItemTextA(dialog, IDC_HIS_CALL, "");
    SetDlgItemTextA(dialog, IDC_NOTES, "");
    if (clearSwl) CheckDlgButton(dialog, IDC_SWL, BST_UNCHECKED);
    SetFocus(GetDlgItem(dialog, EditorSettings.AutoTime ? IDC_HIS_CALL : IDC_QSO_TIME));
}

// Info texts: a name of 48 characters, a locator of 10, a distance and a bearing.
constexpr size_t kInfoTextSize = 128;

// Looks ref up into a new record: 1 found, 0 not found, -1 when no record
// could be allocated (the box shown). The caller frees *info.
int LookUp(HWND dialog, const char *ref, SummitInfo **info) {
    *info = static_cast<SummitInfo *>(malloc(sizeof(SummitInfo)));
    if (!*info) {
        ShowOutOfMemoryOver(dialog);
        return -1;
    }
    return DbLookupSummit(ref, *info) == 1 ? 1 : 0;
}

void HomeFromMyLocator() {
    if (EditorSettings.MyLocator[0]) LocatorToLatLon(EditorSettings.MyLocator, &HomeLatitude, &HomeLongitude);
}

// The hour and minute of a "14:05" text; 0 when it lacks either part.
int ReadHourMinute(const char *text, int *hour, int *minute) {
    char **parts = nullptr;
    const int count = SplitString(text, ":", &parts);
    if (count >= 2) {
        *hour = atoi(parts[0]);
        *minute = atoi(parts[1]);
    }
    for (int i = 0; i < count; ++i) free(parts[i]);
    free(parts);
    return count >= 2;
}

// Set while the roll-over itself sets the picker, so the change it causes is
// not taken for the user's.
bool RollingOver = false;

}  // namespace

void LimitQsoDate(HWND dialog) {
    // Whole days: the picker compares its time of day with the bounds too.
    SYSTEMTIME range[2] = {};
    range[0].wYear = 1970;
    range[0].wMonth = 1;
    range[0].wDay = 1;
    range[1].wYear = 2038;
    range[1].wMonth = 1;
    range[1].wDay = 19;
    range[1].wHour = 23;
    range[1].wMinute = 59;
    range[1].wSecond = 59;
    SendDlgItemMessageA(dialog, IDC_QSO_DATE, DTM_SETRANGE, GDTR_MIN | GDTR_MAX, reinterpret_cast<LPARAM>(range));
}

UtcTime ReadFormQsoTime(HWND dialog) {
    SYSTEMTIME date = {}, clock = {};
    SendDlgItemMessageA(dialog, IDC_QSO_DATE, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&date));
    SendDlgItemMessageA(dialog, IDC_QSO_TIME, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&clock));
    struct tm fields = {};
    fields.tm_year = date.wYear - 1900;
    fields.tm_mon = date.wMonth - 1;
    fields.tm_mday = date.wDay;
    fields.tm_hour = clock.wHour;
    fields.tm_min = clock.wMinute;
    return MakeUtcTime(&fields);
}

int ValidateEntryForm(HWND dialog) {
    FormTexts form;
    ReadForm(dialog, form);
    if (strlen(form.hisCall) <= kMinCallLen) return Fail(dialog, "Callsign too short", IDC_HIS_CALL);
    if (form.qsoTime == -1) return FailUnstorableTime(dialog);
    if (form.hisSummit[0] &&
        !CheckSummit(dialog, form.hisSummit, form.qsoTime, IDC_HIS_SUMMIT, "Chased Summit reference too short"))
        return 0;
    if (form.mySummit[0] &&
        !CheckSummit(dialog, form.mySummit, form.qsoTime, IDC_MY_SUMMIT, "My Summit reference too short"))
        return 0;
    if (!form.hisSummit[0] && !form.mySummit[0]) return Fail(dialog, "At least one Summit reference is required", 0);
    return CheckNotes(dialog, form.notes, form.band);
}

int LogContact(HWND dialog, int update) {
    FormTexts form;
    ReadForm(dialog, form);
    const int swl = IsDlgButtonChecked(dialog, IDC_SWL) == BST_CHECKED;
    if (!InsertQsoEntry(0, form.qsoTime, form.hisCall, form.band, form.mode, form.hisSummit, form.notes, form.myCall,
                        form.mySummit, swl)) {
        ShowStatusMessage("ERROR: Failed to Log QSO", kWarningMs);
        Beep(600, 300);
        return 0;
    }
    LogModified = 1;
    ResetForm(dialog, EditorSettings.ClearRefOnEntry, EditorSettings.ClearSWLOnEntry);
    ShowStatusMessage(update ? "QSO Updated" : "QSO Logged", kLoggedMs);
    return 1;
}

void ClearEntryForm(HWND dialog) { ResetForm(dialog, true, false); }

void ShowHisSummitInfo(HWND dialog) {
    char ref[kQsoRefLen + 1];
    ReadField(dialog, IDC_HIS_SUMMIT, ref);
    char text[kInfoTextSize] = "";
    if (strlen(ref) >= kMinSummitLen) {
        SummitInfo *info = nullptr;
        if (LookUp(dialog, ref, &info) == 1) {
            char locator[11] = "";
            LatLonToLocator(locator, info->Latitude, info->Longitude, EditorSettings.ExtendQRA);
            if (HomeLatitude != 0 && HomeLongitude != 0) {
                const float latitude = static_cast<float>(info->Latitude);
                const float longitude = static_cast<float>(info->Longitude);
                const int bearing = InitialBearing(HomeLatitude, HomeLongitude, latitude, longitude) +
                                    EditorSettings.BearingOffset;
                const bool miles = EditorSettings.ShowDistanceAsMiles != 0;
                const float distance =
                    GreatCircleDistance(HomeLatitude, HomeLongitude, latitude, longitude, miles ? "M" : "K");
                snprintf(text, sizeof text, miles ? "%s [%s] (%.1fmi %03ddeg)" : "%s [%s] (%.1fkm %03ddeg)",
                         info->Name, locator, static_cast<double>(distance), bearing);
            } else {
                snprintf(text, sizeof text, "%s [%s]", info->Name, locator);
            }
        }
        free(info);
    }
    SetDlgItemTextA(dialog, IDC_HIS_SUMMIT_INFO, text);
}

void ShowMySummitInfo(HWND dialog) {
    char ref[kQsoRefLen + 1];
    ReadField(dialog, IDC_MY_SUMMIT, ref);
    char text[kInfoTextSize] = "";
    if (strlen(ref) < kMinSummitLen) {
        HomeFromMyLocator();
    } else {
        SummitInfo *info = nullptr;
        const int found = LookUp(dialog, ref, &info);
        if (found < 0) {
            SetDlgItemTextA(dialog, IDC_HIS_SUMMIT_INFO, "");
            return;
        }
        if (found) {
            char locator[11] = "";
            LatLonToLocator(locator, info->Latitude, info->Longitude, EditorSettings.ExtendQRA);
            // Home is where the shown locator points, not the summit's exact spot.
            if (!LocatorToLatLon(locator, &HomeLatitude, &HomeLongitude)) HomeFromMyLocator();
            snprintf(text, sizeof text, "%s [%s]", info->Name, locator);
        } else {
            HomeFromMyLocator();
        }
        free(info);
    }
    SetDlgItemTextA(dialog, IDC_MY_SUMMIT_INFO, text);
    ShowHisSummitInfo(dialog);
}

void RollQsoTimeMinute(HWND dialog, const NMHDR *notification) {
    if (!notification) return;
    if (notification->code == static_cast<UINT>(NM_SETFOCUS)) {
        ReadField(dialog, IDC_QSO_TIME, LastTimeText);
        return;
    }
    if (notification->code != static_cast<UINT>(DTN_DATETIMECHANGE) || RollingOver) return;
    char now[sizeof LastTimeText];
    ReadField(dialog, IDC_QSO_TIME, now);
    int oldHour = 0, oldMinute = 0, newHour = 0, newMinute = 0;
    // Before the picker ever had the focus there is no earlier time to roll from.
    const bool known = ReadHourMinute(LastTimeText, &oldHour, &oldMinute) && ReadHourMinute(now, &newHour, &newMinute);
    int hour = -1, minute = 0;
    if (known && oldMinute == 59 && newMinute == 0) {
        hour = oldHour + 1 == 24 ? 0 : oldHour + 1;
        minute = 0;
    } else if (known && oldMinute == 0 && newMinute == 59) {
        hour = oldHour - 1 == -1 ? 23 : oldHour - 1;
        minute = 59;
    }
    if (hour < 0) {
        snprintf(LastTimeText, sizeof LastTimeText, "%s", now);
        return;
    }
    // Stored before the picker is set: a notification that setting causes then
    // sees the new time as the old one and cannot roll on.
    snprintf(LastTimeText, sizeof LastTimeText, "%02d:%02d", hour, minute);
    SYSTEMTIME time = {};
    SendDlgItemMessageA(dialog, IDC_QSO_DATE, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time));
    time.wHour = static_cast<WORD>(hour);
    time.wMinute = static_cast<WORD>(minute);
    time.wSecond = 0;
    time.wMilliseconds = 0;
    RollingOver = true;
    SendDlgItemMessageA(dialog, IDC_QSO_TIME, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
    RollingOver = false;
}

void FillBandCombo(HWND dialog, const char *select) {
    const ComboSource source = EditorSettings.UserBandCount > 0
        ? ComboSource{&EditorSettings.UserBands[0][0], kUserBandSize,
                      Capped(EditorSettings.UserBandCount, kUserBandSlots), false}
        : ComboSource{&DefaultBands[0][0], kUserBandSize, kUserBandSlots, true};
    FillCombo(dialog, IDC_BAND, source, select, "Select operating band");
}

void FillModeCombo(HWND dialog, const char *select) {
    const ComboSource source = EditorSettings.UserModeCount > 0
        ? ComboSource{&EditorSettings.UserModes[0][0], kUserModeSize,
                      Capped(EditorSettings.UserModeCount, kUserModeSlots), false}
        : ComboSource{&DefaultModes[0][0], kUserModeSize, kUserModeSlots, true};
    FillCombo(dialog, IDC_MODE, source, select, "Select operating mode");
}

void FillMyCallCombo(HWND dialog, const char *select) {
    static const char noCall[kMyCallSize] = "NOCALL";
    const ComboSource source = EditorSettings.MyCallCount > 0
        ? ComboSource{&EditorSettings.MyCall[0][0], kMyCallSize,
                      Capped(EditorSettings.MyCallCount, kMyCallSlots), false}
        : ComboSource{noCall, kMyCallSize, 1, false};
    FillCombo(dialog, IDC_MY_CALL, source, select, "Select your callsign");
}
