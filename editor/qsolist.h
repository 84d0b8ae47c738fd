// The open log in memory: one singly linked list of contacts in ascending
// order of time. Entries are linked, unlinked and freed only through these
// functions. An id index and an index of the last entry of every time keep
// loads (in any order), finds and sorts fast on long logs; both follow every
// change made here, so callers see only the list.
#pragma once

#include <cstddef>
#include <cstdint>

#include "utctime.h"

// Text limits in characters; every array has room for its terminator.
constexpr int kQsoCallLen = 12;
constexpr int kQsoBandLen = 12;
constexpr int kQsoModeLen = 8;
constexpr int kQsoRefLen = 12;
constexpr int kQsoNotesLen = 128;

struct QsoEntry {
    int32_t id;
    UtcTime qsoTime;   // -1 when a loaded date or time could not be read
    char hisCall[kQsoCallLen + 1];
    char band[kQsoBandLen + 1];
    char mode[kQsoModeLen + 1];
    char hisSummit[kQsoRefLen + 1];
    char notes[kQsoNotesLen + 1];
    char myCall[kQsoCallLen + 1];
    char mySummit[kQsoRefLen + 1];
    uint8_t swl;
    QsoEntry *next;
};

// Head (earliest) and tail; both NULL for an empty log.
extern QsoEntry *QsoListHead;
extern QsoEntry *QsoListTail;
// 1 while the list holds unsaved changes.
extern int LogModified;

// Creates an entry (texts cut to their limits; band and mode take the spelling
// of the matching UserBands / UserModes entry, ignoring case) as the only
// element of an empty list. NULL when memory runs out.
QsoEntry *NewQsoEntry(int32_t id, UtcTime qsoTime, const char *hisCall, const char *band, const char *mode,
                      const char *hisSummit, const char *notes, const char *myCall, const char *mySummit, int swl);

// As NewQsoEntry on an empty list; otherwise inserts in time order, before
// every entry of the same time. NULL when memory runs out (list unchanged).
// Leaves LogModified alone.
QsoEntry *InsertQsoEntry(int32_t id, UtcTime qsoTime, const char *hisCall, const char *band, const char *mode,
                         const char *hisSummit, const char *notes, const char *myCall, const char *mySummit,
                         int swl);

// NewQsoEntry when the list is empty, else NULL and nothing changes.
QsoEntry *NewQsoEntryIfEmpty(int32_t id, UtcTime qsoTime, const char *hisCall, const char *band, const char *mode,
                             const char *hisSummit, const char *notes, const char *myCall, const char *mySummit,
                             int swl);

// The first entry with the id, or NULL. When found and predecessor is given, it
// receives the entry before it (NULL for the head); otherwise it is untouched.
QsoEntry *FindQsoEntry(int32_t id, QsoEntry **predecessor);

// Unlinks and frees the first entry with the id, sets LogModified and returns
// 0; -1 and nothing changes when no entry has it.
int DeleteQsoEntry(int32_t id);

// Frees every entry and sets LogModified, even for an empty list.
void FreeQsoList(void);

// FreeQsoList unless the list is empty.
void ClearQsoList(void);

// Gives the entries the ids 1..n in list order (the log list's line numbers).
void NumberQsoEntries(void);

// The log list's sort comparison of the entries with id1 and id2 by column
// 0..10, turned round unless SortAscending (loglist.h); 0 when either id is
// unknown and for column 10.
int CompareLogEntries(int32_t id1, int32_t id2, int column);

// Formats t as UTC calendar fields with strftime's numeric conversions (%Y %m
// %d %H %M %S) into out; a time before 1970 (-1: unreadable) gives the empty
// text. The same on every build, whatever the C library's gmtime does.
void FormatQsoTime(UtcTime t, const char *format, char *out, size_t outSize);
