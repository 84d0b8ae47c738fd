// The summits list: where it may come from, when it is fetched again, its
// dates and its title and header lines.
#pragma once

#include <cstdio>
#include <ctime>

#include "utctime.h"

constexpr int kRequiredColumnCount = 6;
// In this order: "SummitName", "SummitCode", "ValidFrom", "ValidTo", "Latitude", "Longitude".
extern const char *const RequiredColumns[kRequiredColumnCount];
enum { ColumnName, ColumnCode, ColumnValidFrom, ColumnValidTo, ColumnLatitude, ColumnLongitude };

// What the title and header lines told.
struct ListHeader {
    int Columns[kRequiredColumnCount];   // field positions, -1 until found
    int MaxColumnIndex;
    int FieldCount;                     // fields of the header line, as many as a whole data line has
    int HeaderLineCount;                // lines read up to and including the header
    UtcTime CsvDate;                    // the build date, -1 until read
    char CsvDateText[15];               // as the title writes it; "Unknown" until read
    int NeedsUpdate;
};

// 1 when url may go into curl's command line: http://, https:// or file:, and
// no quote, blank or control character anywhere.
int DownloadUrlIsSafe(const char *url);

// 1 when the list at path must be fetched: it is missing, force is set, or it
// is more than a day older than now.
int ListNeedsDownload(const char *path, int force, time_t now);

// A list date: day/month/year, year-month-day (four-digit year first) or
// month-day-year, normalised as MakeUtcTime does; -1 when none fits or the
// day lies outside 32-bit time.
UtcTime ParseListDate(const char *text);

// The build date of the title line: day/month/year or year-month-day only.
UtcTime ParseBuildDate(const char *text);

// Reads the title line's first field up to the header line and decides on the
// rebuild. dbDate is the database's date (-1 unknown), needsUpdate 1 for a
// database just created. Prints the run's messages. 1: rebuild, the list then
// stands after the header line; 0: no update needed; -1: abort.
int CheckSummitsListHeader(FILE *list, UtcTime dbDate, int needsUpdate, int force, ListHeader *header);

// The list's last data lines as they are read, to tell a list cut short in
// transfer: its last line has no line end after it, or fewer fields than the
// header's. Starts as {}.
struct ListEnd {
    int LastLine;      // data line number of the last line with fields, 0 none yet
    int LastFields;    // its field count
    int LastUnended;   // 1 when the last line read had no line end
};

// Notes the data line just read (CsvReadLine), the rowCount-th after the header.
void NoteListLine(ListEnd *end, int rowCount);

// After the last of rowCount data lines: 1, after the error message on
// standard error, when the list could not be read to its end or was cut short;
// 0 when it ends with a whole line.
int ReportBrokenListEnd(const ListHeader *header, const ListEnd *end, int rowCount);

// Reads the data lines after the header to the end only to tell whether the
// list is whole: 1 whole; -1 cut short or unreadable (messages printed).
int CheckListEnd(FILE *list, const ListHeader *header);
