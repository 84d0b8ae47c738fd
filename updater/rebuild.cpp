// The rebuild of the summits table from the summits list: each data line
// converted into a row (name cleaned, dates read, coordinates checked) and
// inserted, then the database stamped with the list's date. Portable, so the
// native tests run it against the SQLite stand-in; Tarnsync calls it as a stage.
#include "rebuild.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "csvreader.h"
#include "strutil.h"
#include "summitsdb.h"

namespace {

constexpr char kReferencesColumns[] = "SummitRef, SummitName, ValidFrom, ValidTo, Latitude, Longitude";
constexpr size_t kNameColumnWidth = 50;

// Copies field (NULL as empty) into a buffer of capacity bytes, cut to fit.
void CopyField(const char *field, char *out, size_t capacity) {
    size_t length = field ? strnlen(field, capacity - 1) : 0;
    if (length) memcpy(out, field, length);
    out[length] = '\0';
}

const char *Shown(const char *text) { return text ? text : "(null)"; }

// Replaces every search in name; false only when memory ran out.
bool ReplaceInName(char *name, size_t capacity, const char *search, const char *replacement) {
    char *replaced = StrReplaceAll(name, search, replacement);
    if (!replaced) return false;
    CopyField(replaced, name, capacity);
    free(replaced);
    return true;
}

bool PlainReference(const char *ref) {
    size_t length = strlen(ref);
    if (length == 0 || length > 15) return false;
    for (const unsigned char *c = reinterpret_cast<const unsigned char *>(ref); *c; ++c)
        if (*c < 0x20 || *c == 0x7f || *c == '\'') return false;
    return true;
}

float ReadCoordinate(const char *text, bool *usable) {
    float value = 0;
    if (sscanf(text, "%f", &value) != 1) return 0;   // no number reads as 0, as always
    if (!std::isfinite(value)) {
        *usable = false;
        return 0;
    }
    return value;
}

// The coordinate as the statement's "%f" text gives it (six decimals).
double SixDecimals(float value) {
    char text[64];
    snprintf(text, sizeof text, "%f", static_cast<double>(value));
    return strtod(text, nullptr);
}

// Through the prepared statement when there is one, else as a statement of its own.
int InsertRow(const SummitRow &row, bool prepared) {
    char from[12], to[12];
    if (!DbDateLiteral(row.ValidFrom, from, sizeof from) || !DbDateLiteral(row.ValidTo, to, sizeof to)) return 0;
    if (prepared)
        return DbInsertSummit(row.Ref, row.Name, from, to, SixDecimals(row.Latitude), SixDecimals(row.Longitude));
    char values[512];
    int length = snprintf(values, sizeof values, "'%s', '%s', '%s', '%s', %f, %f", row.Ref, row.Name, from, to,
                          static_cast<double>(row.Latitude), static_cast<double>(row.Longitude));
    if (length < 0 || static_cast<size_t>(length) >= sizeof values) return 0;
    return DbInsert(kReferencesTable, kReferencesColumns, values);
}

// The Info row's date; 1 when written.
int WriteInfoDate(UtcTime date) {
    char literal[12];
    if (!DbDateLiteral(date, literal, sizeof literal)) return 0;
    char assignment[64];
    snprintf(assignment, sizeof assignment, "%s = '%s'", "LastUpdate", literal);
    return DbUpdate("Info", assignment, "Version = 1.1");
}

}  // namespace

int StampInfoDate(const ListHeader *header) {
    if (WriteInfoDate(header->CsvDate)) return 1;
    fputs("WARNING: Unable to configure DB version.\n", stderr);
    return 0;
}

int CleanSummitName(const char *ref, char *name, size_t capacity) {
    struct Entity {
        const char *search, *replacement;
    };
    static const Entity entities[] = {{"&ntilde;", "~"}, {"&#039;", "`"}, {"&#039,", "`"}};
    if (!strpbrk(name, "'&")) return 1;   // nearly every name: nothing to clean
    char original[260];
    CopyField(name, original, sizeof original);
    bool ok = !strchr(name, '\'') || ReplaceInName(name, capacity, "'", "`");
    for (const Entity &entity : entities) {
        if (!ok || !strstr(name, entity.search)) continue;
        fprintf(stderr, "WARNING: HTML removed from Summit Name (%s)\n", ref);
        ok = ReplaceInName(name, capacity, entity.search, entity.replacement);
    }
    if (!ok) CopyField(original, name, capacity);
    return ok ? 1 : 0;
}

int ConvertListRow(const ListHeader *header, int lineNumber, SummitRow *row) {
    int fields = CsvFieldCount();
    const char *code = CsvGetField(header->Columns[ColumnCode]);
    if (fields < 17 || fields > 20)
        fprintf(stderr, "WARNING: Unexpected number of CSV columns found on line %d (Summit %s)!\n", lineNumber,
                Shown(code));
    if (header->MaxColumnIndex >= fields) {
        fprintf(stderr, "WARNING: Missing column(s) found on line %d (Summit %s)!\n", lineNumber, Shown(code));
        return 0;
    }
    // A reference the table cannot hold, or one that would break the statement.
    if (!PlainReference(code)) {
        fprintf(stderr, "WARNING: Unusable Summit reference found on line %d (Summit %s) - line skipped!\n",
                lineNumber, code);
        return 0;
    }
    CopyField(code, row->Ref, sizeof row->Ref);
    CopyField(CsvGetField(header->Columns[ColumnName]), row->Name, sizeof row->Name);
    char from[12], to[12], latitude[20], longitude[20];
    CopyField(CsvGetField(header->Columns[ColumnValidFrom]), from, sizeof from);
    CopyField(CsvGetField(header->Columns[ColumnValidTo]), to, sizeof to);
    CopyField(CsvGetField(header->Columns[ColumnLatitude]), latitude, sizeof latitude);
    CopyField(CsvGetField(header->Columns[ColumnLongitude]), longitude, sizeof longitude);

    if (!CleanSummitName(row->Ref, row->Name, sizeof row->Name)) return -1;
    if (strlen(row->Name) > kNameColumnWidth) {
        row->Name[kNameColumnWidth] = '\0';
        fprintf(stderr, "WARNING: Summit Name cut to %d characters (%s)\n", static_cast<int>(kNameColumnWidth),
                row->Ref);
    }
    if (!from[0]) strcpy(from, "02/02/2002");
    if (!to[0] || strcasecmp(to, "31/12/2099") == 0) strcpy(to, "31/12/2037");
    row->ValidFrom = ParseListDate(from);
    row->ValidTo = ParseListDate(to);

    bool usable = true;
    row->Latitude = ReadCoordinate(latitude, &usable);
    row->Longitude = ReadCoordinate(longitude, &usable);
    if (!usable) {
        row->Latitude = row->Longitude = 0;
        fprintf(stderr, "WARNING: Unusable coordinates set to 0 (%s)\n", row->Ref);
    }
    return 1;
}

int RebuildReferences(FILE *list, const ListHeader *header, std::chrono::steady_clock::time_point startTime) {
    printf("Processing CSV\n");
    bool transaction = DbBeginTransaction() == 1;
    // Without a transaction the old date must not outlive a broken rebuild.
    if (!transaction) WriteInfoDate(0);
    const char *abortText = transaction ? "Update process aborted - the database is unchanged.\n"
                                        : "Update process aborted - the database is incomplete.\n";
    bool prepared = DbPrepareSummitInsert() == 1;
    auto abort = [&]() {
        DbFinishSummitInsert();
        if (transaction) DbEndTransaction(0);
        fputs(abortText, stderr);
        return -1;
    };

    if (DbCount(kReferencesTable, nullptr) > 0 && !DbDelete(kReferencesTable, "1")) {
        DbFinishSummitInsert();
        if (transaction) DbEndTransaction(0);
        fputs("ERROR: Unable to update the database - have you closed the Editor ?\n", stderr);
        return -1;
    }
    int rowCount = 0, inserted = 0;
    ListEnd end = {};
    while (CsvReadLine(list)) {
        ++rowCount;
        NoteListLine(&end, rowCount);
        if (rowCount % 1000 == 0) printf("%d     \r", rowCount);
        SummitRow row;
        int converted = ConvertListRow(header, header->HeaderLineCount + rowCount, &row);
        if (converted < 0) {
            fputs("ERROR: Out of Memory\n", stderr);
            return abort();
        }
        if (converted == 0) continue;
        if (!InsertRow(row, prepared)) {
            fprintf(stderr, "ERROR: Unable to insert '%s' into the database\n", row.Ref);
            return abort();
        }
        ++inserted;
    }
    // A cut-short or empty list must never replace a whole one.
    if (ReportBrokenListEnd(header, &end, rowCount)) return abort();
    if (inserted == 0) {
        fputs("ERROR: The CSV holds no usable summits!\n", stderr);
        return abort();
    }
    DbFinishSummitInsert();
    StampInfoDate(header);
    if (transaction && !DbEndTransaction(1)) {
        fputs("ERROR: Unable to update the database - have you closed the Editor ?\n", stderr);
        fputs(abortText, stderr);
        return -1;
    }
    long milliseconds = static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - startTime).count());
    printf("%d Summits Processed in %.1f Secs\n", rowCount, static_cast<double>(static_cast<float>(milliseconds) / 1000.0f));
    CsvReaderReset();
    return 1;
}
