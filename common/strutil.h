// Small text utilities both programs carry. Every function is free of state;
// new texts and arrays are heap blocks the caller frees with free(). The ones
// that need the platform are declared in strutil_win.h.
#pragma once

#include <cstddef>

// A new copy of source with every occurrence of search replaced, scanning on
// after each inserted replacement (so a replacement holding the search text is
// not replaced again). A NULL or empty search, or a NULL replacement, gives a
// plain copy. NULL when memory runs out or source is NULL.
char *StrReplaceAll(const char *source, const char *search, const char *replacement);

// Cuts source into tokens as strtok would (runs of delimiters separate, none at
// either end, no empty tokens) without touching strtok's hidden state. Stores a
// new array of new tokens through out and returns their number; with no token
// or on any failure returns 0 and stores NULL. The caller frees every token,
// then the array.
int SplitString(const char *source, const char *delimiters, char ***out);

// Where search first occurs in text, ignoring case; an empty search matches at
// the start. NULL when there is no match.
const char *StrFindNoCase(const char *text, const char *search);

// Compares two texts as strcmp does, but ignoring the case of letters
// (negative, 0 or positive); NULL counts as the empty text.
int StrCompareNoCase(const char *a, const char *b);

// Cuts trailing white space in place (blank, tab, LF, VT, FF, CR only) and
// returns the first character that is not white space, inside text.
char *StrTrim(char *text);

// Writes count with a unit into out (cut to outSize bytes, always terminated
// when outSize > 0): up to 1024 as whole bytes ("512 B"); larger counts divided
// by 1024 until at most 1024, one decimal more per step ("1.5 kB", "3.00 MB"),
// stopping at YB. Returns out.
char *FormatByteSize(double count, char *out, size_t outSize);
