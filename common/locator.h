// Maidenhead locators, great-circle distance and bearing, and the band test.
// Pure functions: no state, no globals. A NULL pointer argument gives the
// function's failure result (0) and writes nothing.
#pragma once

// Writes the locator of the position to dst (at least 11 characters): 6
// characters for precision 0, 10 for precision 2, 8 for any other value.
// Returns 1, or 0 with dst untouched when the position is out of range or
// not finite, or dst is NULL. Latitude 90 and longitude 180 use the field letter S.
int LatLonToLocator(char *dst, double latitude, double longitude, int precision);

// Reads a locator of 4, 6, 8 or 10 upper-case characters. A short locator
// stands for a point near the middle of its square (4), the middle of its
// subsquare (6) or near the middle of its extended square (8); a full one for
// the south-west corner of its cell. Returns 1 and writes both out-values, or
// 0 and writes neither (also for a NULL locator or out-value).
int LocatorToLatLon(const char *locator, float *latitude, float *longitude);

// Spherical law of cosines. unit "K" gives kilometres, "N" nautical miles,
// anything else statute miles; a NULL unit gives 0.
float GreatCircleDistance(float lat1, float lon1, float lat2, float lon2, const char *unit);

// Initial course from the first position to the second, whole degrees 0..359
// (0 north, 90 east), cut toward zero before it is brought into range; -1
// when a position is not a finite number, so no course can be given.
int InitialBearing(float lat1, float lon1, float lat2, float lon2);

// 1 when band is the nominal frequency (MHz) of an amateur band and frequency
// lies within that band's edges, edges included; 0 otherwise.
int IsFreqInBand(float band, float frequency);
