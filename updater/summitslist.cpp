#include "summitslist.h"

#include <cctype>
#include <cstring>
#include <sys/stat.h>

#include "csvreader.h"

const char *const RequiredColumns[RequiredColumnCount] = {"SummitName", "SummitCode", "ValidFrom",
                                                          "ValidTo",    "Latitude",   "Longitude"};

namespace {

UtcTime DayTime(int year, int month, int day) {
    struct tm tm;
    memset(&tm, 0, sizeof tm);
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    return MakeUtcTime(&tm);
}

// "%4d-%d-%d" alone also reads "12-25-2025" as the year 12.
bool StartsWithFourDigits(const char *text) {
    while (*text == ' ' || *text == '\t') ++text;
    for (int i = 0; i < 4; ++i)
        if (!isdigit(static_cast<unsigned char>(text[i]))) return false;
    return !isdigit(static_cast<unsigned char>(text[4]));
}

UtcTime ParseDate(const char *text, bool monthFirst) {
    if (!text) return -1;
    int a = 0, b = 0, c = 0;
    if (sscanf(text, "%d/%d/%4d", &a, &b, &c) == 3) return DayTime(c, b, a);
    if (StartsWithFourDigits(text) && sscanf(text, "%4d-%d-%d", &a, &b, &c) == 3) return DayTime(a, b, c);
    if (monthFirst && sscanf(text, "%d-%d-%4d", &a, &b, &c) == 3) return DayTime(c, a, b);
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
        for (int i = 0; i < fields; ++i)
            for (int c = 0; c < RequiredColumnCount; ++c)
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
