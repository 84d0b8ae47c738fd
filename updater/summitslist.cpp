// The summits list: where it may be fetched from and when, its date forms, and
// the check of its title and header lines that decides on a rebuild. Portable;
// the download itself is Tarnsync's (tarnsync_win.cpp), the rebuild rebuild.cpp's.
#include "summitslist.h"

#include <cctype>
#include <climits>
#include <cstdint>
#include <cstring>
#include <sys/stat.h>

#include "csvreader.h"

const char *const RequiredColumns[kRequiredColumnCount] = {"SummitName", "SummitCode", "ValidFrom",
                                                           "ValidTo",    "Latitude",   "Longitude"};

namespace {

// "%4d-%d-%d" alone also reads "12-25-2025" as the year 12.
bool StartsWithFourDigits(const char *text) {
    while (*text == ' ' || *text == '\t') ++text;
    for (int i = 0; i < 4; ++i)
        if (!isdigit(static_cast<unsigned char>(text[i]))) return false;
    return !isdigit(static_cast<unsigned char>(text[4]));
}

// A decimal integer as "%d" reads it (white space, a sign, digits), taking at
// most width characters when width is non-zero. A number beyond an int fails:
// sscanf would leave its value undefined.
bool ScanNumber(const char **text, int width, int *out) {
    const char *p = *text;
    while (isspace(static_cast<unsigned char>(*p))) ++p;
    int used = 0;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p++ == '-';
        ++used;
    }
    int64_t value = 0;
    int digits = 0;
    for (; (width == 0 || used < width) && isdigit(static_cast<unsigned char>(*p)); ++p, ++used, ++digits) {
        value = value * 10 + (*p - '0');
        if (value > static_cast<int64_t>(INT_MAX) + 1) return false;
    }
    if (negative) value = -value;
    if (digits == 0 || value < INT_MIN || value > INT_MAX) return false;
    *out = static_cast<int>(value);
    *text = p;
    return true;
}

// Three numbers with a separator between them, as "%d/%d/%4d" (firstWidth 0) or
// "%4d-%d-%d" (firstWidth 4) reads them.
bool ScanDate(const char *text, char separator, int firstWidth, int *a, int *b, int *c) {
    return ScanNumber(&text, firstWidth, a) && *text++ == separator && ScanNumber(&text, 0, b) &&
           *text++ == separator && ScanNumber(&text, firstWidth ? 0 : 4, c);
}

UtcTime ParseDate(const char *text, bool monthFirst) {
    if (!text) return -1;
    int a = 0, b = 0, c = 0;
    if (ScanDate(text, '/', 0, &a, &b, &c)) return UtcDayStart(c, b, a);
    if (StartsWithFourDigits(text) && ScanDate(text, '-', 4, &a, &b, &c)) return UtcDayStart(a, b, c);
    if (monthFirst && ScanDate(text, '-', 0, &a, &b, &c)) return UtcDayStart(c, a, b);
    return -1;
}

}  // namespace

int DownloadUrlIsSafe(const char *url) {
    if (!url) return 0;
    if (strncmp(url, "http://", 7) != 0 && strncmp(url, "https://", 8) != 0 && strncmp(url, "file:", 5) != 0) return 0;
    for (const unsigned char *c = reinterpret_cast<const unsigned char *>(url); *c; ++c)
        if (*c <= ' ' || *c == 0x7f || *c == '"' || *c == '\'') return 0;
    return 1;
}

int ListNeedsDownload(const char *path, int force, time_t now) {
    struct stat status;
    if (force || stat(path, &status) != 0) return 1;
    return difftime(now, status.st_mtime) > 86400.0 ? 1 : 0;
}

UtcTime ParseListDate(const char *text) { return ParseDate(text, true); }

UtcTime ParseBuildDate(const char *text) { return ParseDate(text, false); }

int CheckSummitsListHeader(FILE *list, UtcTime dbDate, int needsUpdate, int force, ListHeader *header) {
    for (int &column : header->Columns) column = -1;
    header->MaxColumnIndex = -1;
    header->FieldCount = 0;
    header->HeaderLineCount = 0;
    header->CsvDate = -1;
    strcpy(header->CsvDateText, "Unknown");
    header->NeedsUpdate = needsUpdate;
    printf("Checking CSV\n");
    bool headerFound = false;
    while (!headerFound && CsvReadLine(list)) {
        ++header->HeaderLineCount;
        if (CsvFieldCount() == 0) continue;
        const char *first = CsvGetField(0);
        if (strstr(first, "VORN Summits List")) {
            char scanned[15];
            if (sscanf(first, "%*s %*s %*s (Date=%14[^)]", scanned) == 1) strcpy(header->CsvDateText, scanned);
            UtcTime date = ParseBuildDate(header->CsvDateText);
            if (date != -1) header->CsvDate = date;
            if (header->CsvDate > dbDate) header->NeedsUpdate = 1;
            continue;
        }
        if (!strstr(first, "SummitCode")) continue;
        int fields = CsvFieldCount();
        if (fields < 17 || fields > 19) {
            fputs("ERROR: Wrong number of columns found in CSV!\n", stderr);
            fputs("Update aborted\n", stderr);
            return -1;
        }
        header->FieldCount = fields;
        for (int i = 0; i < fields; ++i)
            for (int c = 0; c < kRequiredColumnCount; ++c)
                if (strcmp(CsvGetField(i), RequiredColumns[c]) == 0) {
                    header->Columns[c] = i;
                    if (i > header->MaxColumnIndex) header->MaxColumnIndex = i;
                }
        headerFound = true;
    }
    bool columnsFound = headerFound;
    for (int column : header->Columns)
        if (column < 0) columnsFound = false;
    if (!columnsFound || header->CsvDate == -1) {
        if (header->CsvDate == -1)
            fputs("ERROR: The CSV does not have Date of build!\n", stderr);
        else if (!headerFound && CsvLastReadFailed())
            fputs("ERROR: Unable to read the CSV file\n", stderr);
        else
            fputs("ERROR: The CSV is missing required Column(s) !\n", stderr);
        fputs("Update process aborted\n", stderr);
        return -1;
    }
    if (!header->NeedsUpdate && !force) {
        printf("The database does not require updating at this time.\n");
        return 0;
    }
    return 1;
}

void NoteListLine(ListEnd *end, int rowCount) {
    end->LastUnended = CsvLastLineEnded() ? 0 : 1;
    if (CsvFieldCount() == 0) return;
    end->LastLine = rowCount;
    end->LastFields = CsvFieldCount();
}

int ReportBrokenListEnd(const ListHeader *header, const ListEnd *end, int rowCount) {
    if (CsvLastReadFailed()) {
        fprintf(stderr, "ERROR: Unable to read the CSV file after line %d\n", header->HeaderLineCount + rowCount);
        return 1;
    }
    if (!end->LastUnended && (end->LastLine == 0 || end->LastFields >= header->FieldCount)) return 0;
    fprintf(stderr, "ERROR: The CSV ends part way through line %d - the download is incomplete\n",
            header->HeaderLineCount + end->LastLine);
    return 1;
}

int CheckListEnd(FILE *list, const ListHeader *header) {
    ListEnd end = {};
    int rowCount = 0;
    while (CsvReadLine(list)) NoteListLine(&end, ++rowCount);
    return ReportBrokenListEnd(header, &end, rowCount) ? -1 : 1;
}
