// The rebuild of the summits table from the list: the row conversion, the
// rebuild itself and the stamp of the list's date on the database.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdio>

#include "summitslist.h"
#include "utctime.h"

// One data line made ready for its row.
struct SummitRow {
    char Ref[16];          // at most 15 characters, no quote or control character
    char Name[260];        // cleaned, at most 50 characters
    UtcTime ValidFrom;     // -1 when the text fits no date form
    UtcTime ValidTo;
    float Latitude;        // 0 for a text that is no finite number
    float Longitude;
};

// Makes the name safe for the statement, in place: "'" and the HTML
// apostrophes become "`", "&ntilde;" becomes "~"; one warning naming ref per
// kind of entity. 1 done; 0 out of memory, the name then unchanged.
int CleanSummitName(const char *ref, char *name, size_t capacity);

// Converts the current line of the CSV reader (the list's data line number
// lineNumber). Warnings on standard error. 1: row filled; 0: line skipped;
// -1: out of memory.
int ConvertListRow(const ListHeader *header, int lineNumber, SummitRow *row);

// Writes the list's build date into the Info row (LastUpdate of Version 1.1).
// 1 written; 0 after a warning on standard error, the run then goes on.
int StampInfoDate(const ListHeader *header);

// Empties "References", inserts every data line after the header and stamps
// the list's build date (StampInfoDate), all in one transaction where the
// driver allows: on any failure the previous rows and date stay. Without
// transactions the date is reset first, so a broken rebuild is done again by
// the next run. A list whose last line is cut short (no line end after it, or
// fewer fields than the header's) is a broken download and changes nothing.
// 1 done (summary printed); -1 abort (messages printed).
int RebuildReferences(FILE *list, const ListHeader *header, std::chrono::steady_clock::time_point startTime);
