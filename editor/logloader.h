// Reading a VORN CSV log into the QSO list: the V2 layout the writer saves
// (tab-separated for a .tsv file name) and the older chaser and activator
// layouts. A first pass checks every line (dates, summits against the
// database) and reports problems as numbered lines of the error log; a second
// pass loads the accepted file, growing the user's callsign, band and mode
// lists as it goes.
#pragma once

#include <cstdio>

// The error log of the last load with problems, and the open file and the
// next message number while a check runs (NULL outside one).
extern char ErrorLogPath[260];
extern FILE *ErrorLogFile;
extern int ErrorLogCounter;

// Loads the file at path into the list, which the caller has emptied. 1 when
// loaded; 0 when the file cannot be opened or read, has the wrong format, or
// holds too many problems, and then no entry is added. The caller sets the
// current log and the clean state. owner is unused.
int LoadCsvLog(void *owner, const char *path);

// Appends "n: message" to the error log (DataDirectory + "\VORN_CSV_Err.log"),
// creating it with its two header lines on the first message of a check.
void WriteErrorLog(const char *message, const char *logPath);

// The band name the loader gives a V2 band field: its frequency (a number with
// an optional kHz, MHz or GHz; MHz without) named by the loader's own table,
// "VLF" below 1 MHz, "Unknown" in the gaps. The frequency goes to *mhz.
const char *BandFromFrequencyText(const char *text, float *mhz);
