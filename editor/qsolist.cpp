// The QSO list: the time-ordered linked list of contacts with its id and time
// indexes, the comparison the log list sorts by, and the time formats of an
// entry. Portable; the log list view shows it (loglist.cpp).
#include "qsolist.h"

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <new>
#include <unordered_map>
#include <vector>

#include "settings.h"
#include "strutil.h"
#include "textnumber.h"
#include "loglist.h"

QsoEntry *QsoListHead = nullptr;
QsoEntry *QsoListTail = nullptr;
int LogModified = 0;

namespace {

// The last entry of every time in the list, by time: a new entry goes right
// after the last entry of the greatest earlier time (or becomes the head), so
// an insertion in any order costs log n. Kept up by every change made here;
// rebuilt from the links when unknown.
std::map<UtcTime, QsoEntry *> lastOfTime;
bool lastOfTimeKnown = true;

// Entries in list order and the position of the first entry of every id.
// Rebuilt on demand after any change to the list or to the ids.
std::vector<QsoEntry *> indexOrder;
std::unordered_map<int32_t, size_t> indexFirst;
bool indexValid = false;

// Differences of ids and times as a sign, which cannot overflow.
int Sign(int64_t difference) { return (difference > 0) - (difference < 0); }

void CopyCut(char *dst, const char *src, size_t limit) {
    if (!src) return;
    size_t n = strnlen(src, limit);
    memcpy(dst, src, n);
    dst[n] = '\0';
}

// The user's own spelling of text when one of the first count entries matches it.
template <size_t N>
const char *UserSpellingOf(const char *text, const char (*list)[N], int count, int slots) {
    if (!text) return text;
    if (count > slots) count = slots;
    for (int i = 0; i < count; ++i)
        if (StrCompareNoCase(text, list[i]) == 0) return list[i];
    return text;
}

QsoEntry *CreateEntry(int32_t id, UtcTime qsoTime, const char *hisCall, const char *band, const char *mode,
                      const char *hisSummit, const char *notes, const char *myCall, const char *mySummit, int swl) {
    QsoEntry *e = static_cast<QsoEntry *>(calloc(1, sizeof(QsoEntry)));
    if (!e) return nullptr;
    e->id = id;
    e->qsoTime = qsoTime;
    CopyCut(e->hisCall, hisCall, kQsoCallLen);
    CopyCut(e->band, UserSpellingOf(band, EditorSettings.UserBands, EditorSettings.UserBandCount, kUserBandSlots),
            kQsoBandLen);
    CopyCut(e->mode, UserSpellingOf(mode, EditorSettings.UserModes, EditorSettings.UserModeCount, kUserModeSlots),
            kQsoModeLen);
    CopyCut(e->hisSummit, hisSummit, kQsoRefLen);
    CopyCut(e->notes, notes, kQsoNotesLen);
    CopyCut(e->myCall, myCall, kQsoCallLen);
    CopyCut(e->mySummit, mySummit, kQsoRefLen);
    e->swl = static_cast<uint8_t>(swl);
    e->next = nullptr;
    return e;
}

bool RebuildLastOfTime() {
    lastOfTimeKnown = false;
    try {
        lastOfTime.clear();
        for (QsoEntry *e = QsoListHead; e; e = e->next) lastOfTime[e->qsoTime] = e;
    } catch (const std::bad_alloc &) {
        lastOfTime.clear();
        return false;
    }
    lastOfTimeKnown = true;
    return true;
}

// The entry the new time goes after, NULL for the head; false when the map
// cannot be had or does not fit the links (then the caller walks).
bool PlaceByMap(UtcTime qsoTime, QsoEntry **after) {
    if (!lastOfTimeKnown && !RebuildLastOfTime()) return false;
    auto it = lastOfTime.lower_bound(qsoTime);
    if (it == lastOfTime.begin()) {
        *after = nullptr;
        return QsoListHead->qsoTime >= qsoTime;
    }
    --it;
    QsoEntry *p = it->second;
    *after = p;
    return p->qsoTime == it->first && (!p->next || p->next->qsoTime >= qsoTime);
}

// Notes the new entry in the map: it stands first among its equals, so only a
// new time gets it as its last entry.
void RememberTime(QsoEntry *e) {
    if (!lastOfTimeKnown) return;
    try {
        lastOfTime.emplace(e->qsoTime, e);
    } catch (const std::bad_alloc &) {
        lastOfTime.clear();
        lastOfTimeKnown = false;
    }
}

bool RebuildIndex() {
    indexValid = false;
    try {
        indexOrder.clear();
        indexFirst.clear();
        for (QsoEntry *e = QsoListHead; e; e = e->next) {
            indexFirst.emplace(e->id, indexOrder.size());
            indexOrder.push_back(e);
        }
    } catch (const std::bad_alloc &) {
        indexOrder.clear();
        indexFirst.clear();
        return false;
    }
    indexValid = true;
    return true;
}

// The first entry with the id and its predecessor; through the index when it
// can be built, else by walking the list.
QsoEntry *Locate(int32_t id, QsoEntry **predecessor) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!indexValid && !RebuildIndex()) break;
        auto found = indexFirst.find(id);
        if (found == indexFirst.end()) break;   // unknown, or given to an entry outside
        size_t at = found->second;
        if (indexOrder[at]->id == id) {
            *predecessor = at ? indexOrder[at - 1] : nullptr;
            return indexOrder[at];
        }
        indexValid = false;   // an id was changed outside; read them afresh
    }
    QsoEntry *before = nullptr;
    for (QsoEntry *e = QsoListHead; e; before = e, e = e->next)
        if (e->id == id) {
            *predecessor = before;
            indexValid = false;   // the ids changed: read them afresh next time
            return e;
        }
    return nullptr;
}

void MakeOnlyEntry(QsoEntry *e) {
    QsoListHead = QsoListTail = e;
    lastOfTime.clear();
    lastOfTimeKnown = true;
    RememberTime(e);
    indexValid = false;
}

}  // namespace

QsoEntry *NewQsoEntry(int32_t id, UtcTime qsoTime, const char *hisCall, const char *band, const char *mode,
                      const char *hisSummit, const char *notes, const char *myCall, const char *mySummit, int swl) {
    QsoEntry *e = CreateEntry(id, qsoTime, hisCall, band, mode, hisSummit, notes, myCall, mySummit, swl);
    if (e) MakeOnlyEntry(e);
    return e;
}

QsoEntry *InsertQsoEntry(int32_t id, UtcTime qsoTime, const char *hisCall, const char *band, const char *mode,
                         const char *hisSummit, const char *notes, const char *myCall, const char *mySummit,
                         int swl) {
    if (!QsoListHead) return NewQsoEntry(id, qsoTime, hisCall, band, mode, hisSummit, notes, myCall, mySummit, swl);
    QsoEntry *e = CreateEntry(id, qsoTime, hisCall, band, mode, hisSummit, notes, myCall, mySummit, swl);
    if (!e) return nullptr;
    indexValid = false;
    QsoEntry *after = nullptr;
    if (!PlaceByMap(qsoTime, &after)) {
        // The map is out of reach: walk, and read it afresh next time.
        lastOfTimeKnown = false;
        after = nullptr;
        if (QsoListHead->qsoTime < qsoTime) {
            after = QsoListHead;
            while (after->next && after->next->qsoTime < qsoTime) after = after->next;
        }
    }
    if (after) {
        e->next = after->next;
        after->next = e;
    } else {
        e->next = QsoListHead;
        QsoListHead = e;
    }
    if (!e->next) QsoListTail = e;
    RememberTime(e);
    return e;
}

QsoEntry *NewQsoEntryIfEmpty(int32_t id, UtcTime qsoTime, const char *hisCall, const char *band, const char *mode,
                             const char *hisSummit, const char *notes, const char *myCall, const char *mySummit,
                             int swl) {
    if (QsoListHead) return nullptr;
    return NewQsoEntry(id, qsoTime, hisCall, band, mode, hisSummit, notes, myCall, mySummit, swl);
}

QsoEntry *FindQsoEntry(int32_t id, QsoEntry **predecessor) {
    QsoEntry *before = nullptr;
    QsoEntry *e = Locate(id, &before);
    if (e && predecessor) *predecessor = before;
    return e;
}

int DeleteQsoEntry(int32_t id) {
    if (!QsoListHead) return -1;
    QsoEntry *before = nullptr;
    QsoEntry *e = Locate(id, &before);
    if (!e) return -1;
    if (before)
        before->next = e->next;
    else
        QsoListHead = e->next;
    if (QsoListTail == e) QsoListTail = before;
    if (!QsoListHead) QsoListTail = nullptr;
    if (lastOfTimeKnown) {
        auto it = lastOfTime.find(e->qsoTime);
        if (it == lastOfTime.end())
            lastOfTimeKnown = false;   // a time changed outside: read them afresh
        else if (it->second == e) {
            if (before && before->qsoTime == e->qsoTime)
                it->second = before;
            else
                lastOfTime.erase(it);
        }
    }
    free(e);
    indexValid = false;
    LogModified = 1;
    return 0;
}

void FreeQsoList(void) {
    for (QsoEntry *e = QsoListHead; e;) {
        QsoEntry *next = e->next;
        free(e);
        e = next;
    }
    QsoListHead = QsoListTail = nullptr;
    lastOfTime.clear();
    lastOfTimeKnown = true;
    indexValid = false;
    indexOrder.clear();
    indexOrder.shrink_to_fit();
    indexFirst.clear();
    LogModified = 1;
}

void ClearQsoList(void) {
    if (QsoListHead) FreeQsoList();
}

void NumberQsoEntries(void) {
    int32_t n = 0;
    for (QsoEntry *e = QsoListHead; e; e = e->next) e->id = ++n;
    indexValid = false;
}

int CompareLogEntries(int32_t id1, int32_t id2, int column) {
    if (!QsoListHead) return 0;
    QsoEntry *unused = nullptr;
    const QsoEntry *a = Locate(id1, &unused);
    const QsoEntry *b = Locate(id2, &unused);
    if (!a || !b || column > 9) return 0;
    if (!SortAscending) {
        const QsoEntry *t = a;
        a = b;
        b = t;
    }
    switch (column) {
    case 0: return Sign(int64_t{a->id} - b->id);
    case 1:
    case 2: return Sign(int64_t{a->qsoTime} - b->qsoTime);
    case 3: return StrCompareNoCase(a->hisCall, b->hisCall);
    case 4: {
        float fa = static_cast<float>(ReadLeadingNumber(a->band)), fb = static_cast<float>(ReadLeadingNumber(b->band));
        float d = fa - fb;
        // Cut toward zero; huge or infinite texts give the ends of the range.
        if (!(d == d)) return 0;
        if (d >= 2147483647.0f) return 2147483647;
        if (d <= -2147483648.0f) return -2147483647 - 1;
        return static_cast<int>(d);
    }
    case 5: return StrCompareNoCase(a->mode, b->mode);
    case 6: return strcmp(a->hisSummit, b->hisSummit);
    case 7: return strcmp(a->notes, b->notes);
    case 8: return StrCompareNoCase(a->myCall, b->myCall);
    case 9: return strcmp(a->mySummit, b->mySummit);
    default: return 0;   // negative columns
    }
}

void FormatQsoTime(UtcTime t, const char *format, char *out, size_t outSize) {
    if (!outSize) return;
    out[0] = '\0';
    if (t < 0) return;
    // Days to civil date (proleptic Gregorian), from the era-based algorithm.
    int64_t days = t / 86400, seconds = t % 86400;
    int64_t z = days + 719468, era = z / 146097;
    int64_t doe = z - era * 146097;
    int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    int64_t mp = (5 * doy + 2) / 153;
    int64_t day = doy - (153 * mp + 2) / 5 + 1;
    int64_t month = mp < 10 ? mp + 3 : mp - 9;
    int64_t year = yoe + era * 400 + (month <= 2);
    struct tm tm = {};
    tm.tm_year = static_cast<int>(year - 1900);
    tm.tm_mon = static_cast<int>(month - 1);
    tm.tm_mday = static_cast<int>(day);
    tm.tm_hour = static_cast<int>(seconds / 3600);
    tm.tm_min = static_cast<int>(seconds / 60 % 60);
    tm.tm_sec = static_cast<int>(seconds % 60);
    if (strftime(out, outSize, format, &tm) == 0) out[0] = '\0';
}
