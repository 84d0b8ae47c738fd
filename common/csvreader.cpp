// The CSV line reader: the one reader's line, work and field buffers, which
// double as lines grow, and the splitting at commas and quotes. Portable: both
// programs and the native tests and fuzzer use this file unchanged.
#include "csvreader.h"

#include <cstdlib>
#include <cstring>

namespace {

struct CsvLineReader {
    char *line = nullptr;
    char *work = nullptr;   // copy of the line, cut into fields
    size_t lineCapacity = 0;
    char **fields = nullptr;
    size_t fieldCapacity = 0;
    int fieldCount = 0;
};

CsvLineReader reader;
int lastReadFailed = 0;
int lastLineEnded = 0;

char *Fail() {
    CsvReaderReset();
    lastReadFailed = 1;
    return nullptr;
}

bool GrowLine() {
    size_t capacity = reader.lineCapacity * 2;
    char *line = static_cast<char *>(realloc(reader.line, capacity));
    if (!line) return false;
    reader.line = line;
    char *work = static_cast<char *>(realloc(reader.work, capacity));
    if (!work) return false;
    reader.work = work;
    reader.lineCapacity = capacity;
    return true;
}

// Cuts the work copy into fields in place; false when the field array cannot grow.
bool SplitLine(size_t length) {
    memcpy(reader.work, reader.line, length + 1);
    char *p = reader.work;
    for (size_t j = 0;; ++j) {
        if (j >= reader.fieldCapacity) {
            size_t capacity = reader.fieldCapacity * 2;
            char **fields = static_cast<char **>(realloc(reader.fields, capacity * sizeof(char *)));
            if (!fields) return false;
            reader.fields = fields;
            reader.fieldCapacity = capacity;
        }
        char *end;
        if (*p == '"') {
            // Unescape in place: the write position never passes the read position.
            char *r = p + 1;
            char *w = p;
            while (*r) {
                if (*r == '"') {
                    if (r[1] == '"') {
                        *w++ = '"';
                        r += 2;
                        continue;
                    }
                    ++r;   // closing quote: the rest up to the comma is kept as it stands
                    while (*r && *r != ',') *w++ = *r++;
                    break;
                }
                *w++ = *r++;
            }
            end = r;
            *w = '\0';
        } else {
            end = p;
            while (*end && *end != ',') ++end;
        }
        char stop = *end;
        *end = '\0';
        reader.fields[j] = p;
        reader.fieldCount = static_cast<int>(j + 1);
        if (stop != ',') return true;
        p = end + 1;
    }
}

}  // namespace

char *CsvReadLine(FILE *stream) {
    lastReadFailed = 0;
    lastLineEnded = 0;
    if (!stream) return Fail();
    if (!reader.line) {
        reader.line = static_cast<char *>(malloc(1));
        reader.work = static_cast<char *>(malloc(1));
        reader.fields = static_cast<char **>(malloc(sizeof(char *)));
        if (!reader.line || !reader.work || !reader.fields) return Fail();
        reader.lineCapacity = 1;
        reader.fieldCapacity = 1;
    }

    size_t i = 0;
    bool ended = false;   // the input ended rather than a line end
    for (;;) {
        int c = getc(stream);
        if (c == EOF) {
            ended = true;
            break;
        }
        // A NUL byte is no text, and as part of a C string it would hide the
        // rest of the line: it is dropped, so the line stays one line.
        if (c == '\0') continue;
        if (c == '\n') break;
        if (c == '\r') {
            int next = getc(stream);
            if (next != '\n' && next != EOF) ungetc(next, stream);
            break;
        }
        if (i >= reader.lineCapacity - 1 && !GrowLine()) return Fail();
        reader.line[i++] = static_cast<char>(c);
    }
    if (ferror(stream)) {
        // A read error would otherwise pass for the end of a whole file.
        lastReadFailed = 1;
        reader.fieldCount = 0;
        return nullptr;
    }

    reader.line[i] = '\0';
    reader.fieldCount = 0;
    if (i == 0 && ended) return nullptr;
    lastLineEnded = ended ? 0 : 1;
    if (i == 0) return reader.line;
    if (!SplitLine(i)) return Fail();
    return reader.line;
}

char *CsvGetField(int index) {
    if (index < 0 || index >= reader.fieldCount) return nullptr;
    return reader.fields[index];
}

int CsvFieldCount(void) { return reader.fieldCount; }

int CsvLastReadFailed(void) { return lastReadFailed; }

int CsvLastLineEnded(void) { return lastLineEnded; }

void CsvReaderReset(void) {
    free(reader.line);
    free(reader.work);
    free(reader.fields);
    reader = CsvLineReader{};
    lastReadFailed = 0;
    lastLineEnded = 0;
}
