// The summits database VORN_REFS.MDB: one ODBC connection per process, the
// statements both programs issue, and the summit lookup. Results: 1 success,
// 0 failure, -1 where noted; nothing here shows a message.
#pragma once

#include <cstddef>

#include "utctime.h"

// The database's file name in its folder, and the summits table's name as
// statements write it, in its double quotes.
constexpr char kSummitsDbFileName[] = "VORN_REFS.MDB";
constexpr char kReferencesTable[] = "\"References\"";

// One looked-up summit; the caller provides the record.
struct SummitInfo {
    char Ref[13];         // SummitRef, at most 12 characters
    char Name[51];        // SummitName, at most 48 characters
    UtcTime ValidFrom;    // start of the first valid day, -1 when the date does not convert
    UtcTime ValidTo;      // last second of the last valid day, 2147483647 when it does not convert
    double Longitude;
    double Latitude;
};

// 1 when the file can be opened for reading, else 0.
int FileExists(const char *path);

// Connects to the existing file at path; mode 0 read-write, 1 read-only. While
// a connection is open this answers 1 at once and keeps the first mode. A
// failed open leaves nothing open.
int DbOpen(const char *path, int mode);

// Closes the connection, if any. Always 1.
int DbClose(void);

// Creates a new database file with both tables and the information row; the
// file must not exist yet. It is built as "~" + its file name in the same
// folder and takes its own name only when complete, so a failed or interrupted
// creation leaves nothing under that name (a failure removes the building
// file too). With closeAfter 0 the new database stays open read-write. An
// open connection is closed first.
int DbCreate(const char *path, int closeAfter);

// The fragments go into the statements unchanged: callers quote text values,
// write the table name "References" with its double quotes and build their own
// conditions. 1 when the statement ran; 0 when it failed, would not fit
// (4095 characters), or nothing is open.
int DbInsert(const char *table, const char *columns, const char *values);
int DbUpdate(const char *table, const char *assignments, const char *condition);
int DbDelete(const char *table, const char *condition);

// Rows of table matching condition (NULL for all); 0 on any failure, also when
// the statement would not fit (255 characters).
int DbCount(const char *table, const char *condition);

// Opens path in mode (the connection stays open) and returns LastUpdate of the
// Info row whose Version is 1.1, or -1. dateText (room for 11 characters)
// receives the user's short date of the last Info row read, compatible or not.
UtcTime DbGetInfoDate(const char *path, char *dateText, int mode);

// 1 found and info filled; 0 not found or failure, info untouched; -1 for a
// NULL info. A reference longer than 15 characters, or holding a quote or a
// control character, is never found. Past kLookupsBeforeTable lookups on one
// connection the answers come from the whole table, read once.
int DbLookupSummit(const char *ref, SummitInfo *info);
constexpr int kLookupsBeforeTable = 5000;

// Writes every diagnostic record of an ODBC handle (SQLHANDLE, SQL_HANDLE_*
// type) to standard error; returns the code that ended the walk.
int DbPrintDiagnostics(const char *label, void *handle, int handleType);

// The date of t as a literal the database's driver reads back as that day,
// for the text between the quotes of a DATETIME value: the user's short date
// for the Access driver, yyyy-mm-dd for the SQLite stand-in. 0 when it does
// not fit in outSize (which 12 always holds), out then empty.
int DbDateLiteral(UtcTime t, char *out, size_t outSize);

// Groups the statements that follow into one transaction (auto-commit off), so
// a rebuild of the summits table lands whole or not at all. 0 when nothing is
// open or the driver cannot; auto-commit then stays on.
int DbBeginTransaction(void);

// Commits (commit non-zero) or rolls back the transaction and turns auto-commit
// back on. 1 when the commit or roll-back succeeded; 0 otherwise, after a
// roll-back of what was pending.
int DbEndTransaction(int commit);

// One prepared INSERT into "References" for a rebuild of many rows: the
// statement is parsed once and each row only binds its values. The dates are
// literals as DbDateLiteral writes them. Prepare returns 1 when ready; Insert
// 1 when the row went in (0 also when nothing is prepared); Finish frees the
// statement (DbClose does too).
int DbPrepareSummitInsert(void);
int DbInsertSummit(const char *ref, const char *name, const char *validFrom, const char *validTo, double latitude,
                   double longitude);
void DbFinishSummitInsert(void);
