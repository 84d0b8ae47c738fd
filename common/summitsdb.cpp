// The summits database over ODBC: the one connection, the statements both
// programs issue, the prepared lookup and insert, and the creation of a new
// file, for the Access driver and for the SQLite stand-in alike. What else
// differs by platform (dates, the installer, paths) is summitsdb_platform_*.cpp.
#include "summitsdb.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "odbc_types.h"
#include "scoped_win.h"
#include "summitsdb_platform.h"

namespace {

SQLHENV DbEnvironment = SQL_NULL_HENV;
SQLHDBC DbConnection = SQL_NULL_HDBC;
SQLHSTMT DbSummitInsert = SQL_NULL_HSTMT;   // prepared by DbPrepareSummitInsert
// The summit lookup, prepared once per connection: a log load or export asks it
// for every contact, and parsing the statement each time costs more than the query.
SQLHSTMT DbSummitLookup = SQL_NULL_HSTMT;
char LookupRef[16];
SQLLEN LookupRefLength = 0;

// After many lookups on one connection (a long log being loaded or exported)
// the whole table is read once and searched in memory. Reading the 180,000
// summits costs as much as about 22,000 single lookups natively and 29,000
// under Wine (the SQLite stand-in), yet the switch comes at 5,000: a log over
// a few thousand summits, however long, never pays for the read (the callers
// look each summit up once), and one over many summits pays for only a few
// thousand single lookups before it. Any write or close forgets the table.
int LookupsSinceChange = 0;
bool SummitTableTried = false;
// The table: the summits in the order read, and their whole folded references
// in sorted order, each with the summit's place; of equal references the
// later row comes last.
struct SummitKey {
    char key[16];
    uint32_t row;
};
std::vector<SummitInfo> SummitTable;
std::vector<SummitKey> SummitKeys;

bool KeyBefore(const SummitKey &a, const SummitKey &b) { return strcmp(a.key, b.key) < 0; }
bool KeyAndRowBefore(const SummitKey &a, const SummitKey &b) {
    int order = strcmp(a.key, b.key);
    return order < 0 || (order == 0 && a.row < b.row);
}

void ForgetSummitTable() {
    LookupsSinceChange = 0;
    SummitTableTried = false;
    std::vector<SummitInfo>().swap(SummitTable);
    std::vector<SummitKey>().swap(SummitKeys);
}

// The letter case the table compares without (its text columns fold A-Z only).
void FoldReference(char *key) {
    for (char *c = key; *c; ++c) {
        if (*c >= 'a' && *c <= 'z') *c = static_cast<char>(*c - 'a' + 'A');
    }
}
// Its bound values: reference, name and the two date literals, then the coordinates.
constexpr size_t kSummitTextSize = 260;
char SummitTexts[4][kSummitTextSize];
SQLLEN SummitTextLengths[4];
double SummitNumbers[2];

// Everything that differs between the Access driver and the SQLite stand-in.
struct DbEngine {
    const char *driver;
    const char *connectFormat;   // %s: the file's path as the driver wants it
    const char *createInfo;
    const char *createReferences;
    // SQLite: we create the empty file, the driver runs on the host (the Linux
    // path under Wine), dates are ISO, and a non-database file and read-only
    // mode are enforced by statements of ours.
    bool sqlite;
};

const DbEngine kAccessEngine = {
    "Microsoft Access Driver (*.mdb)",
    "Driver={Microsoft Access Driver (*.mdb)};DBQ=%s",
    "CREATE TABLE Info ( Description VARCHAR(100), Version DOUBLE, LastUpdate DATETIME, "
    "Copyright VARCHAR(200), URL VARCHAR(100) )",
    "CREATE TABLE \"References\" ( SummitRef VARCHAR(15) PRIMARY KEY, SummitName VARCHAR(50), "
    "ValidFrom DATETIME, ValidTo DATETIME, Longitude DOUBLE, Latitude DOUBLE )",
    false,
};

// Access compares text without regard to case and refuses text longer than its
// column; SQLite does neither unless told. NoCreat: a missing file is an error.
const DbEngine kSqliteEngine = {
    "SQLite3",
    "Driver={SQLite3};Database=%s;NoCreat=1",
    "CREATE TABLE Info ( Description VARCHAR(100) COLLATE NOCASE CHECK (length(Description) <= 100), "
    "Version DOUBLE, LastUpdate DATETIME, "
    "Copyright VARCHAR(200) COLLATE NOCASE CHECK (length(Copyright) <= 200), "
    "URL VARCHAR(100) COLLATE NOCASE CHECK (length(URL) <= 100) )",
    "CREATE TABLE \"References\" ( SummitRef VARCHAR(15) COLLATE NOCASE PRIMARY KEY CHECK (length(SummitRef) <= 15), "
    "SummitName VARCHAR(50) COLLATE NOCASE CHECK (length(SummitName) <= 50), "
    "ValidFrom DATETIME, ValidTo DATETIME, Longitude DOUBLE, Latitude DOUBLE )",
    true,
};

constexpr char kInfoDescription[] = "Vornfell - Summit Information Database";
constexpr char kInfoCopyright[] = "Copyright (C) 2025 Brindlecote";
constexpr char kInfoUrl[] = "https://www.brindlecote.example/soft_info.php?AppName=tarnlog";

bool Succeeded(SQLRETURN result) { return result == SQL_SUCCESS || result == SQL_SUCCESS_WITH_INFO; }

// snprintf's result: did the whole text fit?
bool Fits(int length, size_t size) { return length >= 0 && static_cast<size_t>(length) < size; }

bool IsOpen() { return DbEnvironment != SQL_NULL_HENV && DbConnection != SQL_NULL_HDBC; }

// A statement on the open connection, freed on every path out of the function
// that holds it; empty when none could be had.
ScopedStatement NewStatement() {
    ScopedStatement statement;
    if (!Succeeded(SQLAllocHandle(SQL_HANDLE_STMT, DbConnection, statement.Out()))) statement.Detach();
    return statement;
}

SQLRETURN Execute(const ScopedStatement &statement, const char *sql) {
    return SQLExecDirect(statement.Get(), reinterpret_cast<SQLCHAR *>(const_cast<char *>(sql)), SQL_NTS);
}

// 1 when the statement ran on the open connection.
int ExecuteStatement(const char *sql) {
    ForgetSummitTable();
    ScopedStatement statement = NewStatement();
    if (!statement) return 0;
    return Succeeded(Execute(statement, sql)) ? 1 : 0;
}

bool DriverInstalled(const char *driver) {
    ScopedOdbcEnvironment environment;
    if (!Succeeded(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, environment.Out()))) {
        environment.Detach();
        return false;
    }
    bool found = false;
    if (Succeeded(
            SQLSetEnvAttr(environment.Get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0))) {
        SQLCHAR name[256];
        SQLCHAR attributes[16];   // not needed; a cut list is fine
        SQLSMALLINT nameLength = 0, attributesLength = 0;
        SQLUSMALLINT direction = SQL_FETCH_FIRST;
        while (!found && Succeeded(SQLDrivers(environment.Get(), direction, name, sizeof name, &nameLength, attributes,
                                              sizeof attributes, &attributesLength))) {
            found = strcmp(reinterpret_cast<const char *>(name), driver) == 0;
            direction = SQL_FETCH_NEXT;
        }
    }
    return found;
}

// The Access driver where it is installed (Windows), else the SQLite stand-in;
// settled once per process.
const DbEngine &Engine() {
    static const DbEngine *chosen = nullptr;
    if (!chosen) chosen = DriverInstalled(kAccessEngine.driver) ? &kAccessEngine : &kSqliteEngine;
    return *chosen;
}

int ConnectionString(const DbEngine &engine, const char *path, char *out, size_t outSize) {
    char hostPath[1024];
    if (engine.sqlite) {
        if (!DbPlatformHostPath(path, hostPath, sizeof hostPath)) return 0;
        path = hostPath;
    }
    return Fits(snprintf(out, outSize, engine.connectFormat, path), outSize) ? 1 : 0;
}

// The step after the driver has connected, for the stand-in: the SQLite driver
// connects to any file, and ignores the access mode.
int FinishConnect(const DbEngine &engine, int mode) {
    if (!engine.sqlite) return 1;
    if (!ExecuteStatement("SELECT COUNT(*) FROM sqlite_master")) return 0;
    if (mode != SQL_MODE_READ_WRITE && !ExecuteStatement("PRAGMA query_only = 1")) return 0;
    return 1;
}

int CreateEmptyFile(const DbEngine &engine, const char *path) {
    if (!engine.sqlite) return DbPlatformCreateDatabase(engine.driver, path);
    // A zero-byte file is an empty SQLite database; never overwrite one that exists.
    if (FileExists(path)) return 0;
    FILE *file = fopen(path, "wb");
    if (!file) return 0;
    return fclose(file) == 0 ? 1 : 0;
}

// A new database is built under this name beside its own and renamed only when
// its tables and information row exist, so an interrupted creation never leaves
// a half-made file under the real name: "~" before the file name, the extension
// kept for the Access driver.
constexpr size_t kBuildingPathSize = 1024;
int BuildingName(const char *path, char *out, size_t outSize) {
    const char *name = path;
    for (const char *c = path; *c; ++c)
        if (*c == '\\' || *c == '/' || *c == ':') name = c + 1;
    if (!*name) return 0;
    const int folder = static_cast<int>(name - path);
    return Fits(snprintf(out, outSize, "%.*s~%s", folder, path, name), outSize) ? 1 : 0;
}

int IsoDate(UtcTime t, char *out, size_t outSize) {
    int year, month, day;
    UtcDateOf(t, &year, &month, &day);
    if (Fits(snprintf(out, outSize, "%04d-%02d-%02d", year, month, day), outSize)) return 1;
    out[0] = '\0';
    return 0;
}

// A timestamp column as UtcTime; NULL, a text that is no date, or a failed
// read gives -1 (the SQLite driver reports an unreadable date as NULL).
UtcTime ReadTimestamp(SQLHSTMT statement, SQLUSMALLINT column) {
    SQL_TIMESTAMP_STRUCT timestamp;
    memset(&timestamp, 0, sizeof timestamp);
    SQLLEN indicator = SQL_NULL_DATA;
    if (!Succeeded(SQLGetData(statement, column, SQL_C_TYPE_TIMESTAMP, &timestamp, sizeof timestamp, &indicator)) ||
        indicator == SQL_NULL_DATA)
        return -1;
    return SqlTimestampToUnix(&timestamp);
}

// A double column; NULL or a failed read gives 0.
double ReadDouble(SQLHSTMT statement, SQLUSMALLINT column) {
    double value = 0;
    SQLLEN indicator = SQL_NULL_DATA;
    if (!Succeeded(SQLGetData(statement, column, SQL_C_DOUBLE, &value, sizeof value, &indicator)) ||
        indicator == SQL_NULL_DATA)
        return 0;
    return value;
}

// At most count characters of text (cut at its first NUL) into out, count + 1 bytes.
void CopyCut(const char *text, char *out, size_t count) {
    size_t length = strnlen(text, count);
    memcpy(out, text, length);
    out[length] = '\0';
}

// At most count characters of a text column into out (count + 1 bytes); NULL
// or a failed read gives an empty text.
void ReadText(SQLHSTMT statement, SQLUSMALLINT column, char *out, size_t count) {
    char buffer[1024];
    SQLLEN indicator = SQL_NULL_DATA;
    if (!Succeeded(SQLGetData(statement, column, SQL_C_CHAR, buffer, sizeof buffer, &indicator)) ||
        indicator == SQL_NULL_DATA)
        buffer[0] = '\0';
    buffer[sizeof buffer - 1] = '\0';
    CopyCut(buffer, out, count);
}

// A reference that can only be a summit goes into the statement as it is;
// anything else could end its quotes or overrun the column.
bool IsPlainReference(const char *ref) {
    if (!ref) return false;
    size_t length = 0;
    for (; ref[length]; ++length) {
        unsigned char c = static_cast<unsigned char>(ref[length]);
        if (length >= 15 || c == '\'' || c < 0x20 || c == 0x7f) return false;
    }
    return true;
}


// A summit's row as the lookups deliver it: the reference cut to 12 and the
// name to 48 characters, valid-to moved to the last second of its day.
void MakeSummit(const char *ref, const char *name, UtcTime validFrom, UtcTime validTo, double latitude,
                double longitude, SummitInfo *found) {
    CopyCut(ref, found->Ref, sizeof found->Ref - 1);
    CopyCut(name, found->Name, 48);
    found->ValidFrom = validFrom;
    // The last second of a day in January 2038 lies beyond 32 bits.
    int64_t lastSecond = static_cast<int64_t>(validTo) + 86399;
    found->ValidTo = validTo == -1 || lastSecond > INT32_MAX ? INT32_MAX : static_cast<UtcTime>(lastSecond);
    found->Latitude = latitude;
    found->Longitude = longitude;
}

constexpr char kSelectSummits[] =
    "SELECT SummitRef, SummitName, ValidFrom, ValidTo, Latitude, Longitude FROM \"References\"";

// The row the statement stands on, read column by column.
void ReadSummitRow(SQLHSTMT statement, SummitInfo *found) {
    char ref[16], name[49];
    ReadText(statement, 1, ref, sizeof ref - 1);
    ReadText(statement, 2, name, sizeof name - 1);
    UtcTime validFrom = ReadTimestamp(statement, 3);
    UtcTime validTo = ReadTimestamp(statement, 4);
    MakeSummit(ref, name, validFrom, validTo, ReadDouble(statement, 5), ReadDouble(statement, 6), found);
}

// The whole table is fetched into bound buffers, column by column, this many
// rows at a time: a call per block instead of seven per row. The text buffers
// hold more than the lookups keep, so the cut is always ours.
constexpr SQLULEN kRowsPerFetch = 512;
struct SummitBlock {
    char ref[kRowsPerFetch][64];
    char name[kRowsPerFetch][256];
    SQL_TIMESTAMP_STRUCT validFrom[kRowsPerFetch], validTo[kRowsPerFetch];
    double latitude[kRowsPerFetch], longitude[kRowsPerFetch];
    SQLLEN indicators[6][kRowsPerFetch];
    SQLUSMALLINT status[kRowsPerFetch];
    SQLULEN fetched;
};

bool BindSummitBlock(SQLHSTMT statement, SummitBlock &block) {
    struct Column {
        SQLSMALLINT type;
        SQLPOINTER buffer;
        SQLLEN size;
    };
    const Column columns[6] = {
        {SQL_C_CHAR, block.ref, sizeof block.ref[0]},
        {SQL_C_CHAR, block.name, sizeof block.name[0]},
        {SQL_C_TYPE_TIMESTAMP, block.validFrom, sizeof block.validFrom[0]},
        {SQL_C_TYPE_TIMESTAMP, block.validTo, sizeof block.validTo[0]},
        {SQL_C_DOUBLE, block.latitude, sizeof block.latitude[0]},
        {SQL_C_DOUBLE, block.longitude, sizeof block.longitude[0]},
    };
    for (SQLUSMALLINT i = 0; i < 6; ++i)
        if (!Succeeded(SQLBindCol(statement, static_cast<SQLUSMALLINT>(i + 1), columns[i].type, columns[i].buffer,
                                  columns[i].size, block.indicators[i])))
            return false;
    return true;
}

// Asks for kRowsPerFetch rows per fetch; a driver that refuses, or would
// choose another size above it, gets one, and then each successful fetch is
// one row.
bool AskForBlocks(SQLHSTMT statement, SummitBlock &block) {
    SQLULEN size = 0;
    if (Succeeded(SQLSetStmtAttr(statement, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(kRowsPerFetch), 0)) &&
        Succeeded(SQLGetStmtAttr(statement, SQL_ATTR_ROW_ARRAY_SIZE, &size, 0, nullptr)) && size >= 1 &&
        size <= kRowsPerFetch && Succeeded(SQLSetStmtAttr(statement, SQL_ATTR_ROWS_FETCHED_PTR, &block.fetched, 0)) &&
        Succeeded(SQLSetStmtAttr(statement, SQL_ATTR_ROW_STATUS_PTR, block.status, 0)))
        return true;
    SQLSetStmtAttr(statement, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(1)), 0);
    SQLSetStmtAttr(statement, SQL_ATTR_ROWS_FETCHED_PTR, nullptr, 0);
    SQLSetStmtAttr(statement, SQL_ATTR_ROW_STATUS_PTR, nullptr, 0);
    return false;
}

// A bound column's value as the single lookup reads it: NULL is an empty text, -1 or 0.
const char *BoundText(const SummitBlock &block, int column, const char *text, SQLULEN row) {
    return block.indicators[column][row] == SQL_NULL_DATA ? "" : text;
}
double BoundDouble(const SummitBlock &block, int column, double value, SQLULEN row) {
    return block.indicators[column][row] == SQL_NULL_DATA ? 0 : value;
}

// A date column of the table: summits share few dates, so a date is converted
// only when it differs from the row before's.
struct DateColumn {
    SQL_TIMESTAMP_STRUCT last;
    UtcTime value = -1;
    bool known = false;
};
UtcTime BoundTimestamp(const SummitBlock &block, int column, const SQL_TIMESTAMP_STRUCT &timestamp, SQLULEN row,
                       DateColumn &before) {
    if (block.indicators[column][row] == SQL_NULL_DATA) return -1;
    if (!before.known || memcmp(&before.last, &timestamp, sizeof timestamp) != 0) {
        before.last = timestamp;
        before.value = SqlTimestampToUnix(&timestamp);
        before.known = true;
    }
    return before.value;
}

// Reads every summit, keyed by its whole folded reference; false leaves the
// table empty and the lookups go on one statement each. Any row the driver
// could not deliver whole gives up the table too: the single lookups then
// answer as they always do.
bool LoadSummitTable() try {
    SummitTableTried = true;
    ScopedStatement statement = NewStatement();
    if (!statement) return false;
    std::unique_ptr<SummitBlock> block(new SummitBlock);
    if (!BindSummitBlock(statement.Get(), *block)) return false;
    const bool blocks = AskForBlocks(statement.Get(), *block);
    if (Execute(statement, kSelectSummits) != SQL_SUCCESS) return false;
    std::vector<SummitInfo> table;
    std::vector<SummitKey> keys;
    DateColumn validFrom, validTo;
    for (;;) {
        SQLRETURN fetched = SQLFetch(statement.Get());
        if (fetched == SQL_ERROR) return false;
        if (!Succeeded(fetched)) break;
        const SQLULEN rows = blocks ? block->fetched : 1;
        for (SQLULEN row = 0; row < rows; ++row) {
            if (blocks && block->status[row] != SQL_ROW_SUCCESS && block->status[row] != SQL_ROW_SUCCESS_WITH_INFO)
                return false;
            const char *ref = BoundText(*block, 0, block->ref[row], row);
            SummitKey &key = keys.emplace_back();
            CopyCut(ref, key.key, sizeof key.key - 1);
            FoldReference(key.key);
            key.row = static_cast<uint32_t>(table.size());
            SummitInfo &info = table.emplace_back();
            memset(&info, 0, sizeof info);
            MakeSummit(ref, BoundText(*block, 1, block->name[row], row),
                       BoundTimestamp(*block, 2, block->validFrom[row], row, validFrom),
                       BoundTimestamp(*block, 3, block->validTo[row], row, validTo),
                       BoundDouble(*block, 4, block->latitude[row], row),
                       BoundDouble(*block, 5, block->longitude[row], row), &info);
        }
    }
    // A table written in the order of its references needs no sort.
    if (!std::is_sorted(keys.begin(), keys.end(), KeyBefore)) std::sort(keys.begin(), keys.end(), KeyAndRowBefore);
    SummitTable = std::move(table);
    SummitKeys = std::move(keys);
    return true;
} catch (const std::bad_alloc &) {
    // Too little memory for the whole table: the single lookups still work.
    return false;
}

// Of two rows for one reference the later wins, as with the single lookup.
int LookupInTable(const char *ref, SummitInfo *info) {
    SummitKey key;
    CopyCut(ref, key.key, sizeof key.key - 1);
    FoldReference(key.key);
    auto last = std::upper_bound(SummitKeys.begin(), SummitKeys.end(), key, KeyBefore);
    if (last == SummitKeys.begin() || strcmp((last - 1)->key, key.key) != 0) return 0;
    *info = SummitTable[(last - 1)->row];
    return 1;
}

}  // namespace

int FileExists(const char *path) {
    if (!path) return 0;
    FILE *file = fopen(path, "r");
    if (!file) return 0;
    fclose(file);
    return 1;
}

int DbOpen(const char *path, int mode) {
    if (!FileExists(path)) return 0;
    if (IsOpen()) return 1;
    const DbEngine &engine = Engine();
    char connect[1028];
    if (!ConnectionString(engine, path, connect, sizeof connect)) return 0;

    // A failure at any step closes what was allocated, so the next open starts afresh.
    if (!Succeeded(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &DbEnvironment))) {
        DbEnvironment = SQL_NULL_HENV;
        return 0;
    }
    if (!Succeeded(SQLSetEnvAttr(DbEnvironment, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0)) ||
        !Succeeded(SQLAllocHandle(SQL_HANDLE_DBC, DbEnvironment, &DbConnection))) {
        DbConnection = SQL_NULL_HDBC;
        DbClose();
        return 0;
    }
    SQLCHAR completed[1024];
    SQLSMALLINT completedLength = 0;
    bool connected = false;
    if (Succeeded(SQLSetConnectAttr(DbConnection, SQL_ATTR_LOGIN_TIMEOUT, reinterpret_cast<SQLPOINTER>(5), SQL_IS_INTEGER)) &&
        Succeeded(SQLSetConnectAttr(DbConnection, SQL_ATTR_ACCESS_MODE,
                                    reinterpret_cast<SQLPOINTER>(static_cast<intptr_t>(mode)), SQL_IS_INTEGER)) &&
        Succeeded(SQLSetConnectAttr(DbConnection, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON),
                                    SQL_IS_INTEGER))) {
        connected = Succeeded(SQLDriverConnect(DbConnection, nullptr, reinterpret_cast<SQLCHAR *>(connect), SQL_NTS,
                                               completed, sizeof completed, &completedLength, SQL_DRIVER_COMPLETE));
    }
    if (!connected) {
        // Never connected: DbClose's disconnect then fails harmlessly.
        DbClose();
        return 0;
    }
    if (!FinishConnect(engine, mode)) {
        DbClose();
        return 0;
    }
    return 1;
}

static void FreeSummitLookup() {
    if (DbSummitLookup != SQL_NULL_HSTMT) SQLFreeHandle(SQL_HANDLE_STMT, DbSummitLookup);
    DbSummitLookup = SQL_NULL_HSTMT;
}

int DbClose(void) {
    ForgetSummitTable();
    DbFinishSummitInsert();
    FreeSummitLookup();
    if (DbConnection != SQL_NULL_HDBC) {
        SQLDisconnect(DbConnection);
        SQLFreeHandle(SQL_HANDLE_DBC, DbConnection);
        DbConnection = SQL_NULL_HDBC;
    }
    if (DbEnvironment != SQL_NULL_HENV) {
        SQLFreeHandle(SQL_HANDLE_ENV, DbEnvironment);
        DbEnvironment = SQL_NULL_HENV;
    }
    return 1;
}

// Opens the empty file at path read-write and gives it both tables and the
// information row; the connection stays open for the caller to close.
static int MakeTables(const DbEngine &engine, const char *path) {
    if (!DbOpen(path, SQL_MODE_READ_WRITE)) return 0;
    // Freed before the caller closes the connection.
    ScopedStatement statement = NewStatement();
    if (!statement) return 0;
    if (!Succeeded(Execute(statement, engine.createInfo))) return 0;
    if (!Succeeded(Execute(statement, engine.createReferences))) return 0;
    char date[12];
    if (!DbDateLiteral(0, date, sizeof date)) return 0;
    char values[512];
    if (!Fits(snprintf(values, sizeof values, "'%s', %2.1f, '%s', '%s', '%s'", kInfoDescription, 1.1, date,
                       kInfoCopyright, kInfoUrl),
              sizeof values))
        return 0;
    return DbInsert("Info", "Description, Version, LastUpdate, Copyright, URL", values);
}

int DbCreate(const char *path, int closeAfter) {
    if (!path) return 0;
    if (DbConnection != SQL_NULL_HDBC) DbClose();
    // Never replaces a file; the rename refuses one that appears meanwhile too.
    if (FileExists(path)) return 0;
    char building[kBuildingPathSize];
    if (!BuildingName(path, building, sizeof building)) return 0;
    const DbEngine &engine = Engine();
    // A file under that name is what an interrupted creation left: never a database to keep.
    DbPlatformRemoveFile(building);
    const bool made = CreateEmptyFile(engine, building) && MakeTables(engine, building);
    // Closed before the rename: the drivers hold the file (and Access its lock file) while connected.
    DbClose();
    if (!made || !DbPlatformRenameNew(building, path)) {
        DbPlatformRemoveFile(building);
        return 0;
    }
    if (!closeAfter) return DbOpen(path, SQL_MODE_READ_WRITE);
    return 1;
}

// The statements built from callers' fragments: run only when the whole text
// (length, as snprintf gave it) fitted in sql.
constexpr size_t kStatementSize = 4096;
static int ExecuteIfWhole(const char (&sql)[kStatementSize], int length) {
    return Fits(length, sizeof sql) ? ExecuteStatement(sql) : 0;
}

int DbInsert(const char *table, const char *columns, const char *values) {
    if (!IsOpen() || !table || !columns || !values) return 0;
    char sql[kStatementSize];
    return ExecuteIfWhole(sql,
                          snprintf(sql, sizeof sql, "INSERT INTO %s ( %s ) VALUES ( %s )", table, columns, values));
}

int DbUpdate(const char *table, const char *assignments, const char *condition) {
    if (!IsOpen() || !table || !assignments || !condition) return 0;
    char sql[kStatementSize];
    return ExecuteIfWhole(sql, snprintf(sql, sizeof sql, "UPDATE %s SET %s WHERE %s", table, assignments, condition));
}

int DbDelete(const char *table, const char *condition) {
    if (!IsOpen() || !table || !condition) return 0;
    char sql[kStatementSize];
    return ExecuteIfWhole(sql, snprintf(sql, sizeof sql, "DELETE FROM %s WHERE %s", table, condition));
}

int DbCount(const char *table, const char *condition) {
    if (!IsOpen() || !table) return 0;
    char sql[256];
    int length = condition ? snprintf(sql, sizeof sql, "SELECT COUNT(*) FROM %s WHERE %s", table, condition)
                           : snprintf(sql, sizeof sql, "SELECT COUNT(*) FROM %s", table);
    if (!Fits(length, sizeof sql)) return 0;
    ScopedStatement statement = NewStatement();
    if (!statement) return 0;
    if (!Succeeded(Execute(statement, sql)) || !Succeeded(SQLFetch(statement.Get()))) return 0;
    SQLINTEGER count = 0;
    SQLLEN indicator = SQL_NULL_DATA;
    if (!Succeeded(SQLGetData(statement.Get(), 1, SQL_C_LONG, &count, sizeof count, &indicator)) ||
        indicator == SQL_NULL_DATA)
        return 0;
    return static_cast<int>(count);
}

UtcTime DbGetInfoDate(const char *path, char *dateText, int mode) {
    if (!DbOpen(path, mode)) return -1;
    ScopedStatement statement = NewStatement();
    if (!statement) return -1;
    if (Execute(statement, "SELECT Version, LastUpdate FROM Info WHERE 1") != SQL_SUCCESS) return -1;
    UtcTime result = -1;
    for (;;) {
        SQLRETURN fetched = SQLFetch(statement.Get());
        if (fetched == SQL_ERROR) return -1;
        if (!Succeeded(fetched)) return result;
        double version = 0;
        SQLLEN indicator = SQL_NULL_DATA;
        bool hasVersion = Succeeded(
                              SQLGetData(statement.Get(), 1, SQL_C_DOUBLE, &version, sizeof version, &indicator)) &&
                          indicator != SQL_NULL_DATA;
        UtcTime t = ReadTimestamp(statement.Get(), 2);
        if (dateText) DbPlatformShortDate(t, dateText, 11);
        if (hasVersion && version == 1.1) result = t;
    }
}

int DbLookupSummit(const char *ref, SummitInfo *info) {
    if (!info) return -1;
    if (!IsOpen() || !IsPlainReference(ref)) return 0;
    if (!SummitTable.empty()) return LookupInTable(ref, info);
    if (++LookupsSinceChange > kLookupsBeforeTable && !SummitTableTried && LoadSummitTable())
        return LookupInTable(ref, info);
    if (DbSummitLookup == SQL_NULL_HSTMT) {
        if (!Succeeded(SQLAllocHandle(SQL_HANDLE_STMT, DbConnection, &DbSummitLookup))) {
            DbSummitLookup = SQL_NULL_HSTMT;
            return 0;
        }
        static const char sql[] =
            "SELECT SummitRef, SummitName, ValidFrom, ValidTo, Latitude, Longitude FROM \"References\" WHERE SummitRef = ?";
        if (!Succeeded(SQLPrepare(DbSummitLookup, reinterpret_cast<SQLCHAR *>(const_cast<char *>(sql)), SQL_NTS)) ||
            !Succeeded(SQLBindParameter(DbSummitLookup, 1, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR,
                                        sizeof LookupRef - 1, 0, LookupRef, sizeof LookupRef, &LookupRefLength))) {
            FreeSummitLookup();
            return 0;
        }
    }
    // IsPlainReference has bounded it to the column's 15 characters.
    strcpy(LookupRef, ref);
    LookupRefLength = SQL_NTS;
    if (SQLExecute(DbSummitLookup) != SQL_SUCCESS) {
        SQLFreeStmt(DbSummitLookup, SQL_CLOSE);
        return 0;
    }
    // Filled aside, so that a failure never leaves the caller's record half written.
    SummitInfo found;
    memset(&found, 0, sizeof found);
    int isFound = 0;
    for (;;) {
        SQLRETURN fetched = SQLFetch(DbSummitLookup);
        if (fetched == SQL_ERROR) {
            isFound = 0;
            break;
        }
        if (!Succeeded(fetched)) break;
        ReadSummitRow(DbSummitLookup, &found);
        isFound = 1;
    }
    SQLFreeStmt(DbSummitLookup, SQL_CLOSE);
    if (isFound) *info = found;
    return isFound;
}

int DbPrintDiagnostics(const char *label, void *handle, int handleType) {
    fprintf(stderr, "\nThe driver reported the following diagnostics whilst running %s\n\n", label ? label : "");
    for (SQLSMALLINT record = 1;; ++record) {
        SQLCHAR state[6];
        SQLINTEGER nativeError = 0;
        SQLCHAR message[256];
        SQLSMALLINT length = 0;
        SQLRETURN result = SQLGetDiagRec(static_cast<SQLSMALLINT>(handleType), handle, record, state, &nativeError,
                                         message, sizeof message, &length);
        if (!Succeeded(result)) return result;
        fprintf(stderr, "%s:%ld:%ld:%s\n", reinterpret_cast<const char *>(state), static_cast<long>(record),
                static_cast<long>(nativeError), reinterpret_cast<const char *>(message));
    }
}

int DbDateLiteral(UtcTime t, char *out, size_t outSize) {
    if (!out || outSize == 0) return 0;
    if (Engine().sqlite) return IsoDate(t, out, outSize);
    return DbPlatformShortDate(t, out, outSize);
}

int DbBeginTransaction(void) {
    if (!IsOpen()) return 0;
    return Succeeded(SQLSetConnectAttr(DbConnection, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF),
                                       SQL_IS_INTEGER))
               ? 1
               : 0;
}

int DbEndTransaction(int commit) {
    ForgetSummitTable();
    if (!IsOpen()) return 0;
    bool ended = Succeeded(SQLEndTran(SQL_HANDLE_DBC, DbConnection, commit ? SQL_COMMIT : SQL_ROLLBACK));
    // Turning auto-commit on commits what is pending: after a failed end, roll back first.
    if (!ended) SQLEndTran(SQL_HANDLE_DBC, DbConnection, SQL_ROLLBACK);
    SQLSetConnectAttr(DbConnection, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), SQL_IS_INTEGER);
    return ended ? 1 : 0;
}

int DbPrepareSummitInsert(void) {
    DbFinishSummitInsert();
    if (!IsOpen()) return 0;
    if (!Succeeded(SQLAllocHandle(SQL_HANDLE_STMT, DbConnection, &DbSummitInsert))) {
        DbSummitInsert = SQL_NULL_HSTMT;
        return 0;
    }
    static const char sql[] =
        "INSERT INTO \"References\" ( SummitRef, SummitName, ValidFrom, ValidTo, Latitude, Longitude ) "
        "VALUES ( ?, ?, ?, ?, ?, ? )";
    bool ready = Succeeded(SQLPrepare(DbSummitInsert, reinterpret_cast<SQLCHAR *>(const_cast<char *>(sql)), SQL_NTS));
    // Bound once to buffers of our own: each row only copies its values in.
    for (SQLUSMALLINT i = 0; ready && i < 4; ++i)
        ready = Succeeded(SQLBindParameter(DbSummitInsert, static_cast<SQLUSMALLINT>(i + 1), SQL_PARAM_INPUT,
                                           SQL_C_CHAR, SQL_VARCHAR, kSummitTextSize - 1, 0, SummitTexts[i],
                                           kSummitTextSize, &SummitTextLengths[i]));
    for (SQLUSMALLINT i = 0; ready && i < 2; ++i)
        ready = Succeeded(SQLBindParameter(DbSummitInsert, static_cast<SQLUSMALLINT>(i + 5), SQL_PARAM_INPUT,
                                           SQL_C_DOUBLE, SQL_DOUBLE, 0, 0, &SummitNumbers[i], 0, nullptr));
    if (!ready) DbFinishSummitInsert();
    return ready ? 1 : 0;
}

int DbInsertSummit(const char *ref, const char *name, const char *validFrom, const char *validTo, double latitude,
                   double longitude) {
    ForgetSummitTable();
    if (DbSummitInsert == SQL_NULL_HSTMT || !ref || !name || !validFrom || !validTo) return 0;
    const char *texts[] = {ref, name, validFrom, validTo};
    for (int i = 0; i < 4; ++i) {
        size_t length = strlen(texts[i]);
        if (length >= kSummitTextSize) return 0;
        memcpy(SummitTexts[i], texts[i], length + 1);
        SummitTextLengths[i] = static_cast<SQLLEN>(length);
    }
    SummitNumbers[0] = latitude;
    SummitNumbers[1] = longitude;
    // An INSERT leaves no cursor to close.
    return Succeeded(SQLExecute(DbSummitInsert)) ? 1 : 0;
}

void DbFinishSummitInsert(void) {
    if (DbSummitInsert != SQL_NULL_HSTMT) SQLFreeHandle(SQL_HANDLE_STMT, DbSummitInsert);
    DbSummitInsert = SQL_NULL_HSTMT;
}
