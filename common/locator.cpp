// Maidenhead locators, great-circle distance and bearing, and the band table.
// Cells are counted in whole units of the finest cell, so every boundary lands
// in the same cell on every build. Portable, without state.
#include "locator.h"

#include <cmath>
#include <cstddef>

static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWX";

// The finest cell (extended subsquare) is 1/2880 degree of longitude by
// 1/5760 degree of latitude. Counting whole cells of that size once, and
// splitting the count with integer arithmetic, keeps exact cell boundaries
// in the right cell at every level.
static const double kLonUnitsPerDegree = 2880.0;
static const double kLatUnitsPerDegree = 5760.0;
static const int kUnitsPerField = 57600;       // 20 deg lon, 10 deg lat
static const int kUnitsPerSquare = 5760;       // 2 deg lon, 1 deg lat
static const int kUnitsPerSubsquare = 240;
static const int kUnitsPerExtSquare = 24;
static const int kUnitsAcross = 18 * kUnitsPerField;   // 360 deg lon, 180 deg lat

static const double kDegToRad = 0.017453292519943295;
static const double kPi = 3.141592653589793;

// Whole finest cells from the west or south edge. Only the edge itself (180
// east, 90 north) may reach kUnitsAcross, whatever the rounding just below it.
static int CellUnits(double offset, double unitsPerDegree, bool atEdge) {
    int units = static_cast<int>(std::floor(offset * unitsPerDegree));
    if (!atEdge && units >= kUnitsAcross) units = kUnitsAcross - 1;
    return units;
}

namespace {   // keeps the row type private to this file
struct BandRow {
    float keys[3];
    int keyCount;
    float lower;
    float upper;
};
}  // namespace

// Keys and edges stay float: callers hold frequencies as float, and 1.8f or
// 29.7f must match themselves exactly.
static const BandRow kBands[] = {
    {{1.8f}, 1, 1.8f, 2.0f},
    {{3.5f}, 1, 3.5f, 3.8f},
    {{5.0f}, 1, 5.0f, 6.0f},
    {{7.0f}, 1, 7.0f, 7.5f},
    {{10.0f}, 1, 10.1f, 10.2f},
    {{14.0f}, 1, 14.0f, 14.5f},
    {{18.0f}, 1, 18.068f, 18.2f},
    {{21.0f}, 1, 21.0f, 21.5f},
    {{24.0f}, 1, 24.8f, 25.0f},
    {{28.0f}, 1, 28.0f, 29.7f},
    {{50.0f}, 1, 50.0f, 54.0f},
    {{70.0f}, 1, 70.0f, 70.5f},
    {{144.0f, 145.0f, 146.0f}, 3, 144.0f, 148.0f},
    {{220.0f}, 1, 220.0f, 222.0f},
    {{430.0f, 432.0f, 433.0f}, 3, 420.0f, 440.0f},
    {{900.0f}, 1, 900.0f, 905.0f},
    {{1200.0f, 1240.0f, 1296.0f}, 3, 1200.0f, 1350.0f},
    {{2300.0f, 2302.0f, 2320.0f}, 3, 2300.0f, 2500.0f},
    {{3300.0f, 3400.0f}, 2, 3300.0f, 3500.0f},
    {{5600.0f, 5700.0f, 5800.0f}, 3, 5600.0f, 5900.0f},
    {{10000.0f, 10368.0f}, 2, 10000.0f, 11000.0f},
    {{24000.0f}, 1, 24000.0f, 24500.0f},
    {{47000.0f}, 1, 47000.0f, 47500.0f},
    {{76000.0f}, 1, 75000.0f, 82000.0f},
};

static bool IsLetter(char c) { return c >= 'A' && c <= 'X'; }
static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int LatLonToLocator(char *dst, double latitude, double longitude, int precision) {
    if (!dst) return 0;
    // Written as "inside" tests so NaN is refused too; infinities fail the range.
    if (!(latitude >= -90.0 && latitude <= 90.0)) return 0;
    if (!(longitude >= -180.0 && longitude <= 180.0)) return 0;

    const int ux = CellUnits(longitude + 180.0, kLonUnitsPerDegree, longitude == 180.0);
    const int uy = CellUnits(latitude + 90.0, kLatUnitsPerDegree, latitude == 90.0);

    char text[11];
    int n = 0;
    text[n++] = kLetters[ux / kUnitsPerField];
    text[n++] = kLetters[uy / kUnitsPerField];
    text[n++] = static_cast<char>('0' + ux / kUnitsPerSquare % 10);
    text[n++] = static_cast<char>('0' + uy / kUnitsPerSquare % 10);
    text[n++] = kLetters[ux / kUnitsPerSubsquare % 24];
    text[n++] = kLetters[uy / kUnitsPerSubsquare % 24];
    if (precision != 0) {
        text[n++] = static_cast<char>('0' + ux / kUnitsPerExtSquare % 10);
        text[n++] = static_cast<char>('0' + uy / kUnitsPerExtSquare % 10);
        if (precision == 2) {
            text[n++] = kLetters[ux % 24];
            text[n++] = kLetters[uy % 24];
        }
    }
    text[n] = '\0';

    for (int i = 0; i <= n; ++i) dst[i] = text[i];
    return 1;
}

int LocatorToLatLon(const char *locator, float *latitude, float *longitude) {
    if (!locator || !latitude || !longitude) return 0;
    // Count no further than one past the longest locator: longer texts are refused.
    size_t length = 0;
    while (length <= 10 && locator[length] != '\0') ++length;

    // A short locator is completed to a point inside its last pair's cell.
    const char *fill;
    switch (length) {
    case 4: fill = "LL55AA"; break;
    case 6: fill = "55AA"; break;
    case 8: fill = "LL"; break;
    case 10: fill = ""; break;
    default: return 0;
    }

    float p[10];
    for (size_t i = 0; i < 10; ++i) {
        const char c = i < length ? locator[i] : fill[i - length];
        const bool digitPosition = i == 2 || i == 3 || i == 6 || i == 7;
        if (digitPosition) {
            if (!IsDigit(c)) return 0;
            p[i] = static_cast<float>(c - '0');
        } else {
            if (!IsLetter(c)) return 0;
            p[i] = static_cast<float>(c - 'A');
        }
    }

    // Summed at double so the finest steps survive next to the 180 and 90 offsets.
    const double lon = p[0] * 20.0 + p[2] * 2.0 + p[4] / 12.0 + p[6] / 120.0 + p[8] / 2880.0 - 180.0;
    const double lat = p[1] * 10.0 + p[3] + p[5] / 24.0 + p[7] / 240.0 + p[9] / 5760.0 - 90.0;
    *longitude = static_cast<float>(lon);
    *latitude = static_cast<float>(lat);
    return 1;
}

// Each step is rounded to float on purpose: the figures shown to the user
// depend on it (one degree of latitude reads 111.18 km, not 111.19).
float GreatCircleDistance(float lat1, float lon1, float lat2, float lon2, const char *unit) {
    if (!unit) return 0;
    const double r = kDegToRad;
    const double dlon = (static_cast<double>(lon1) - lon2) * r;
    const float c = static_cast<float>(std::sin(lat1 * r) * std::sin(lat2 * r) +
                                       std::cos(lat1 * r) * std::cos(lat2 * r) * std::cos(dlon));
    const float degrees = static_cast<float>(std::acos(c) * 180.0 / kPi);   // float acos
    const float miles = static_cast<float>(degrees * 60.0 * 1.1515);

    // Only a one-letter unit counts: "Km" is miles.
    if (unit[0] == 'K' && unit[1] == '\0') return static_cast<float>(miles * 1.609344);
    if (unit[0] == 'N' && unit[1] == '\0') return static_cast<float>(miles * 0.8684);
    return miles;
}

int InitialBearing(float lat1, float lon1, float lat2, float lon2) {
    // A NaN or infinite position leaves no course (and a NaN course cannot become an int).
    if (!std::isfinite(lat1) || !std::isfinite(lon1) || !std::isfinite(lat2) || !std::isfinite(lon2)) return -1;
    const double r = kDegToRad;
    const double d = (static_cast<double>(lon2) - lon1) * r;
    const float y = static_cast<float>(std::sin(d) * std::cos(lat2 * r));
    const float x = static_cast<float>(std::cos(lat1 * r) * std::sin(lat2 * r) -
                                       std::sin(lat1 * r) * std::cos(lat2 * r) * std::cos(d));
    const float b = static_cast<float>(std::atan2(y, x) * 180.0 / kPi);   // float atan2
    // Cut toward zero first, so a course of -0.7 reads 0 rather than 359.
    return (static_cast<int>(b) + 360) % 360;
}

int IsFreqInBand(float band, float frequency) {
    for (const BandRow &row : kBands) {
        for (int k = 0; k < row.keyCount; ++k) {
            if (band == row.keys[k]) return row.lower <= frequency && frequency <= row.upper ? 1 : 0;
        }
    }
    return 0;
}
