// The utilities that need the platform: a file's version resource and the
// console keyboard. Apart from strutil.h so that portable modules never see them.
#pragma once

#include <cstddef>

// Reads a value from the version resource of the file at path: with name NULL
// the fixed file version as "a.b.c.d", else the named string of the first
// translation ("FileVersion", "ProductVersion", ...). The value is cut to
// outSize bytes and terminated; returns the characters written. On any failure,
// or outSize 0, returns 0 and leaves out untouched.
int GetFileVersionString(char *out, size_t outSize, const char *path, const char *name);

// Pauses for the given seconds in 50 ms steps; a key press ends the pause early
// (and prints "Ok" unless it was a prefix code). 0 returns at once.
void WaitSecondsOrKey(float seconds);
