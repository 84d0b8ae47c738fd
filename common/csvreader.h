// CSV line reader: one line of any length at a time, split at commas with
// double-quote quoting. One reader per program, used from one thread.
#pragma once

#include <cstdio>

// The line just read, without its line end (CR, LF or CRLF) and without any
// NUL byte in it (dropped, so that no text of the line is hidden behind one);
// NULL at end of input or on failure (see CsvLastReadFailed). The text and the
// fields stay valid until the next read or reset; the caller never frees them.
char *CsvReadLine(FILE *stream);

// Field i of the last line, NULL when i is negative or not below the field count.
char *CsvGetField(int index);

// Number of fields of the last line read (0 for an empty line).
int CsvFieldCount(void);

// 1 when the last NULL from CsvReadLine was a failure (memory exhausted or a
// read error) rather than the end of input, so a cut-short file is never taken
// for a whole one; 0 otherwise.
int CsvLastReadFailed(void);

// 1 when the last line read ended with a line end; 0 when the input ended
// inside it (a last line without its line end), or when no line was read.
int CsvLastLineEnded(void);

// Frees everything the reader holds; the next read starts afresh.
void CsvReaderReset(void);
