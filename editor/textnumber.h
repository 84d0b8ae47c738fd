// Reading the number a text begins with.
#pragma once

// The decimal number at the start of text as atof reads it (blanks, a sign,
// digits with an optional point, an optional exponent), 0 when there is none.
// Only decimal forms count, so "nan", "inf" and "0x10" read the same on every
// C library (0, 0 and 0).
double ReadLeadingNumber(const char *text);
