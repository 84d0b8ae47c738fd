// Maidenhead locators both ways, cell boundaries, distances, bearings and the
// band table.
#include "locator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

// The result of LatLonToLocator, or "<refused>" when it returns 0.
std::string Locator(double latitude, double longitude, int precision) {
    char dst[16];
    memset(dst, '#', sizeof dst);
    if (!LatLonToLocator(dst, latitude, longitude, precision)) return "<refused>";
    return std::string(dst);
}

struct EncodeCase {
    double latitude;
    double longitude;
    int precision;
    const char *expected;
};

TEST(LatLonToLocator, PrecisionChoosesTheLength) {
    const EncodeCase cases[] = {
        {0, 0, 0, "JJ00AA"},
        {0, 0, 1, "JJ00AA00"},
        {0, 0, 2, "JJ00AA00AA"},
        {0, 0, 5, "JJ00AA00"},   // any value but 0 and 2 gives 8 characters
        {0, 0, 3, "JJ00AA00"},
        {0, 0, -1, "JJ00AA00"},
        {0, 0, -2, "JJ00AA00"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(Locator(c.latitude, c.longitude, c.precision), c.expected) << "precision " << c.precision;
    }
}

TEST(LatLonToLocator, KnownPositions) {
    const EncodeCase cases[] = {
        {51.507, -0.1275, 0, "IO91WM"},
        {-33.8688, 151.2093, 0, "QF56OD"},
        {40.7128, -74.0060, 0, "FN20XR"},
        {-54.8, -68.3, 0, "FD55UE"},
        {64.1466, -21.9426, 2, "HP94AD65VE"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(Locator(c.latitude, c.longitude, c.precision), c.expected)
            << c.latitude << ", " << c.longitude;
    }
}

TEST(LatLonToLocator, NorthAndEastEdgesUseFieldS) {
    const EncodeCase cases[] = {
        {90, 180, 0, "SS00AA"},
        {90, 180, 2, "SS00AA00AA"},
        {90, 0, 0, "JS00AA"},
        {0, 180, 0, "SJ00AA"},
        {-90, -180, 2, "AA00AA00AA"},
        // Just inside the edges is still field R, in the last cell of every level.
        {std::nextafter(90.0, 0.0), std::nextafter(180.0, 0.0), 2, "RR99XX99XX"},
        {89.99999, 179.99999, 2, "RR99XX99XX"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(Locator(c.latitude, c.longitude, c.precision), c.expected)
            << c.latitude << ", " << c.longitude;
    }
}

// A position exactly on a cell boundary belongs to the cell north or east of
// it, at every level. Stepwise fractions put 2.0 east in square 0.
TEST(LatLonToLocator, ExactBoundariesStartTheNextCell) {
    const EncodeCase cases[] = {
        {0, 2.0, 0, "JJ10AA"},
        {1.0, 0, 0, "JJ01AA"},
        {1.0, 2.0, 2, "JJ11AA00AA"},
        {-1.0, -2.0, 2, "II99AA00AA"},
        {10.0, 20.0, 0, "KK00AA"},
        {37.0, 14.0, 2, "JM77AA00AA"},
        {-37.0, -14.0, 2, "IF33AA00AA"},
        {0.125, 0.25, 0, "JJ00DD"},              // subsquare 3 of 24
        {0.5, 0.5, 2, "JJ00GM00AA"},
        {0.0625, 0.125, 2, "JJ00BB55AA"},        // extended square 5 of subsquare 1
        {0.0078125, 0.015625, 2, "JJ00AA11VV"},  // extended subsquare 21 of extended square 1
        {-0.0078125, -0.015625, 2, "II99XX88DD"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(Locator(c.latitude, c.longitude, c.precision), c.expected)
            << c.latitude << ", " << c.longitude;
    }
}

TEST(LatLonToLocator, JustBelowABoundaryStaysInTheLastCell) {
    const EncodeCase cases[] = {
        {0, 2.0 - 1e-9, 2, "JJ00XA90XA"},
        {1.0 - 1e-9, 0, 2, "JJ00AX09AX"},
        {-1e-9, -1e-9, 2, "II99XX99XX"},
        {10.0 - 1e-9, 20.0 - 1e-9, 0, "JJ99XX"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(Locator(c.latitude, c.longitude, c.precision), c.expected)
            << c.latitude << ", " << c.longitude;
    }
}

TEST(LatLonToLocator, RefusedPositionsLeaveTheBufferAlone) {
    const struct {
        double latitude;
        double longitude;
    } cases[] = {
        {90.0001, 0},   {-90.0001, 0}, {0, -180.5},  {0, 180.0001}, {kNaN, 0},    {0, kNaN},
        {kInf, 0},      {-kInf, 0},    {0, kInf},    {0, -kInf},    {kNaN, kNaN},
    };
    for (const auto &c : cases) {
        for (int precision = 0; precision <= 2; ++precision) {
            char dst[16];
            memset(dst, '#', sizeof dst);
            EXPECT_EQ(LatLonToLocator(dst, c.latitude, c.longitude, precision), 0)
                << c.latitude << ", " << c.longitude;
            for (char ch : dst) EXPECT_EQ(ch, '#');
        }
    }
}

TEST(LatLonToLocator, ShorterPrecisionsArePrefixesAndTerminated) {
    const double positions[][2] = {
        {51.507, -0.1275}, {-33.8688, 151.2093}, {89.9, -179.9}, {-12.3456, 98.7654}};
    for (const auto &p : positions) {
        char dst[16];
        memset(dst, '#', sizeof dst);
        ASSERT_EQ(LatLonToLocator(dst, p[0], p[1], 2), 1);
        const std::string full(dst);
        ASSERT_EQ(full.size(), 10u);
        EXPECT_EQ(dst[11], '#');   // nothing written past the terminator
        EXPECT_EQ(Locator(p[0], p[1], 1), full.substr(0, 8));
        EXPECT_EQ(Locator(p[0], p[1], 0), full.substr(0, 6));
    }
}

// Every decoded position stays inside the finest cell that was encoded: the
// corner lies at most one cell south-west of the original.
TEST(LatLonToLocator, DecodesBackIntoTheSameCell) {
    const double positions[][2] = {{51.507, -0.1275}, {-33.8688, 151.2093}, {0.3, 0.7},
                                   {-89.99, 179.99}, {45.678, -123.456}, {12.0001, -0.0001}};
    for (const auto &p : positions) {
        char dst[16];
        ASSERT_EQ(LatLonToLocator(dst, p[0], p[1], 2), 1);
        float latitude = 0, longitude = 0;
        ASSERT_EQ(LocatorToLatLon(dst, &latitude, &longitude), 1) << dst;
        EXPECT_LE(latitude, p[0] + 1e-5) << dst;
        EXPECT_GT(latitude, p[0] - 1.0 / 5760 - 1e-5) << dst;
        EXPECT_LE(longitude, p[1] + 2e-5) << dst;
        EXPECT_GT(longitude, p[1] - 1.0 / 2880 - 2e-5) << dst;
    }
}

struct DecodeCase {
    const char *locator;
    double latitude;
    double longitude;
};

TEST(LocatorToLatLon, ShortLocatorsStandForAPointInsideTheirCell) {
    const DecodeCase cases[] = {
        {"JJ00AA", 5.0 / 240, 5.0 / 120},                                 // middle of the subsquare
        {"JJ00", 11.0 / 24 + 5.0 / 240, 11.0 / 12 + 5.0 / 120},
        {"JJ00AA00", 11.0 / 5760, 11.0 / 2880},
        {"JJ00AA00AA", 0, 0},
        {"AA00AA00AA", -90, -180},
        {"SS00AA00AA", 90, 180},
        {"RR99XX99XX", 170 + 9 + 23.0 / 24 + 9.0 / 240 + 23.0 / 5760 - 90,
         340 + 18 + 23.0 / 12 + 9.0 / 120 + 23.0 / 2880 - 180},
        {"IO91WM", 140 + 1 + 12.0 / 24 + 5.0 / 240 - 90, 160 + 18 + 22.0 / 12 + 5.0 / 120 - 180},
        {"QF56OD", 50 + 6 + 3.0 / 24 + 5.0 / 240 - 90, 320 + 10 + 14.0 / 12 + 5.0 / 120 - 180},
        {"JJ00AA00AB", 1.0 / 5760, 0},
        {"JJ00AA00BA", 0, 1.0 / 2880},
    };
    for (const auto &c : cases) {
        float latitude = -1000, longitude = -1000;
        ASSERT_EQ(LocatorToLatLon(c.locator, &latitude, &longitude), 1) << c.locator;
        // Equal to the float nearest the exact value: summing in float would
        // lose the small steps next to the 180 and 90 offsets.
        EXPECT_FLOAT_EQ(latitude, static_cast<float>(c.latitude)) << c.locator;
        EXPECT_FLOAT_EQ(longitude, static_cast<float>(c.longitude)) << c.locator;
    }
}

TEST(LocatorToLatLon, SubsquareAndSquareMiddlesToSevenDigits) {
    float latitude = 0, longitude = 0;
    ASSERT_EQ(LocatorToLatLon("JJ00AA", &latitude, &longitude), 1);
    EXPECT_NEAR(latitude, 0.0208333, 1e-7);
    EXPECT_NEAR(longitude, 0.0416667, 1e-7);
    ASSERT_EQ(LocatorToLatLon("JJ00", &latitude, &longitude), 1);
    EXPECT_NEAR(latitude, 0.4791667, 1e-7);
    EXPECT_NEAR(longitude, 0.9583333, 1e-7);
}

TEST(LocatorToLatLon, InvalidLocatorsWriteNothing) {
    const char *const cases[] = {
        "", "J", "JJ", "JJ0", "JJ00A", "JJ00AA0", "JJ00AA00A",
        "jj00aa", "Jj00AA", "JJ00aA", "JJ00AA00aa",
        "JJ0-AA", "JY00AA", "YJ00AA", "JJ00AY", "JJ00AA00AY", "JJ00AA00YA",
        "@J00AA", "J[00AA", "JJ/0AA", "JJ0:AA", "JJ 0AA", " JJ00AA",
        "0J00AA", "JJA0AA", "JJ00A0", "JJ00AAA0", "JJ00AA0A", "JJ00AA0000",
        "JJ00AA00AA0", "JJ00AA00AAA", "JJ00AA00AA00",   // longer than 10 characters
        "JJ00\xC1""A",
    };
    for (const char *locator : cases) {
        float latitude = 12.5f, longitude = -34.25f;
        EXPECT_EQ(LocatorToLatLon(locator, &latitude, &longitude), 0) << '"' << locator << '"';
        EXPECT_EQ(latitude, 12.5f) << locator;
        EXPECT_EQ(longitude, -34.25f) << locator;
    }
}

TEST(LocatorToLatLon, LeavesTheLocatorUnchanged) {
    char locator[] = "JN58TD";
    float latitude, longitude;
    ASSERT_EQ(LocatorToLatLon(locator, &latitude, &longitude), 1);
    EXPECT_STREQ(locator, "JN58TD");
}

// Locator to position and back: the short forms decode to a point well inside
// their cell, so they come back unchanged (4 characters gain the middle
// subsquare "LL"); a full locator decodes to its cell's south-west corner, so
// half a cell north-east of that encodes to the same 10 characters.
TEST(LocatorToLatLon, RoundTripsThroughLatLonToLocator) {
    const char *const locators[] = {
        "JJ00", "AA00", "RR99", "IO91", "QF56", "AB12", "RA09",
        "JJ00AA", "AA00AA", "RR99XX", "IO91WM", "QF56OD", "FN31PR", "KP20LE", "GG66RS", "CM87UX",
        "JJ00AA00", "AA00AA00", "RR99XX99", "JN58TD12", "PM95VQ37", "BL11BH16", "DE07XA90",
        "JJ00AA00AA", "AA00AA00AA", "RR99XX99XX", "JN58TD12KQ", "PM95VQ37FE", "GG66RS00XX", "EH41MB52WA",
    };
    for (const char *locator : locators) {
        float latitude = 0, longitude = 0;
        ASSERT_EQ(LocatorToLatLon(locator, &latitude, &longitude), 1) << locator;
        const size_t length = strlen(locator);
        std::string expected = locator;
        std::string got;
        if (length == 10) {
            got = Locator(latitude + 0.5 / 5760, longitude + 0.5 / 2880, 2);
        } else if (length == 8) {
            got = Locator(latitude, longitude, 1);
        } else {
            got = Locator(latitude, longitude, 0);
            if (length == 4) expected += "LL";
        }
        EXPECT_EQ(got, expected) << locator;
    }
}

struct DistanceCase {
    float lat1, lon1, lat2, lon2;
};

TEST(GreatCircleDistance, SamePositionIsZeroInEveryUnit) {
    const DistanceCase cases[] = {
        {0, 0, 0, 0}, {51.5f, -0.1f, 51.5f, -0.1f}, {-33.87f, 151.21f, -33.87f, 151.21f},
        {89.9f, 179.9f, 89.9f, 179.9f}, {-90, -180, -90, -180},
    };
    const char *const units[] = {"K", "N", "M", ""};
    for (const auto &c : cases) {
        for (const char *unit : units) {
            EXPECT_EQ(GreatCircleDistance(c.lat1, c.lon1, c.lat2, c.lon2, unit), 0.0f)
                << c.lat1 << ", " << c.lon1 << " unit " << unit;
        }
    }
}

// One degree is 60 nautical miles of 1.1515 statute miles, less the float
// rounding of the cosine near 1, which the two-decimal figures show.
TEST(GreatCircleDistance, OneDegreeOfLatitudeToTwoDecimals) {
    const DistanceCase cases[] = {
        {0, 0, 1, 0}, {1, 0, 0, 0}, {50, 10, 51, 10}, {-33, 151, -32, 151}, {-1, -120, 0, -120}, {0, 0, 0, 1},
    };
    const struct {
        const char *unit;
        double expected;
    } units[] = {
        {"M", 69.09}, {"K", 111.18}, {"N", 59.99},
        // Only exactly "K" and "N" choose another unit.
        {"Km", 69.09}, {"k", 69.09}, {"n", 69.09}, {"NM", 69.09}, {"", 69.09}, {"X", 69.09},
    };
    for (const auto &c : cases) {
        for (const auto &u : units) {
            EXPECT_NEAR(GreatCircleDistance(c.lat1, c.lon1, c.lat2, c.lon2, u.unit), u.expected, 0.005)
                << c.lat1 << ", " << c.lon1 << " to " << c.lat2 << ", " << c.lon2 << " unit " << u.unit;
        }
    }
}

TEST(GreatCircleDistance, LongDistancesBothWays) {
    const struct {
        DistanceCase positions;
        double miles;   // arc in degrees x 60 x 1.1515
    } cases[] = {
        {{0, 0, 0, 90}, 90 * 69.09},
        {{0, 0, 90, 0}, 90 * 69.09},
        {{0, 0, 0, 180}, 180 * 69.09},   // antipodes: the cosine is -1
        {{0, -90, 0, 90}, 180 * 69.09},
        {{45, 10, -45, 10}, 90 * 69.09},
    };
    for (const auto &c : cases) {
        const DistanceCase &p = c.positions;
        EXPECT_NEAR(GreatCircleDistance(p.lat1, p.lon1, p.lat2, p.lon2, "M"), c.miles, 0.01);
        EXPECT_NEAR(GreatCircleDistance(p.lat2, p.lon2, p.lat1, p.lon1, "M"), c.miles, 0.01);
        EXPECT_NEAR(GreatCircleDistance(p.lat1, p.lon1, p.lat2, p.lon2, "K"), c.miles * 1.609344, 0.01);
        EXPECT_NEAR(GreatCircleDistance(p.lat1, p.lon1, p.lat2, p.lon2, "N"), c.miles * 0.8684, 0.01);
    }
}

TEST(InitialBearing, CardinalAndDiagonalCourses) {
    const struct {
        DistanceCase positions;
        int expected;
    } cases[] = {
        {{0, 0, 0, -10}, 270}, {{0, 0, 10, 0}, 0},     {{0, 0, 0, 10}, 90},
        {{0, 0, -10, 0}, 180}, {{0, 0, 10, 10}, 44},   // atan(cos 10 deg) = 44.56
        {{0, 0, -10, -10}, 225},                         // -135.44 cut toward zero
        {{50, 10, 40, 10}, 180}, {{-20, 30, 20, 30}, 0}, {{10, 179, 10, -179}, 89},
    };
    for (const auto &c : cases) {
        const DistanceCase &p = c.positions;
        EXPECT_EQ(InitialBearing(p.lat1, p.lon1, p.lat2, p.lon2), c.expected)
            << p.lat1 << ", " << p.lon1 << " to " << p.lat2 << ", " << p.lon2;
    }
}

// The course is cut toward zero before it is brought into 0..359: east of north
// it rounds down, west of north (negative courses) it rounds up, and a course
// just west of north reads 0, never 359.
TEST(InitialBearing, CoursesAreCutTowardZero) {
    const struct {
        double course;
        int expected;
    } cases[] = {
        {-0.7, 0},   {359.3, 0},  {0.7, 0},     {-90.7, 270}, {269.3, 270}, {89.7, 89},
        {90.3, 90},  {179.3, 179}, {-179.3, 181}, {180.7, 181}, {45.5, 45},   {225.5, 226},
        {-45.5, 315}, {314.5, 315},
    };
    const double r = 3.141592653589793 / 180;
    const double arc = 10 * r;
    for (const auto &c : cases) {
        // Destination 10 degrees along the course from 0, 0.
        const double theta = c.course * r;
        const float lat2 = static_cast<float>(std::asin(std::sin(arc) * std::cos(theta)) / r);
        const float lon2 = static_cast<float>(std::atan2(std::sin(theta) * std::sin(arc), std::cos(arc)) / r);
        EXPECT_EQ(InitialBearing(0, 0, lat2, lon2), c.expected) << "course " << c.course;
    }
}

TEST(InitialBearing, AlwaysInRange) {
    for (int lat = -80; lat <= 80; lat += 40) {
        for (int lon = -180; lon <= 180; lon += 30) {
            const int b = InitialBearing(12.5f, -7.25f, static_cast<float>(lat), static_cast<float>(lon));
            EXPECT_GE(b, 0);
            EXPECT_LE(b, 359);
        }
    }
}

// Hostile arguments give each function's failure result and write nothing.
TEST(LocatorFunctions, NullArgumentsAndNonFinitePositionsFail) {
    EXPECT_EQ(LatLonToLocator(nullptr, 0, 0, 0), 0);
    EXPECT_EQ(LatLonToLocator(nullptr, 51.5, -0.1, 2), 0);

    float latitude = 12.5f, longitude = -34.25f;
    EXPECT_EQ(LocatorToLatLon(nullptr, &latitude, &longitude), 0);
    EXPECT_EQ(LocatorToLatLon("JJ00AA", nullptr, &longitude), 0);
    EXPECT_EQ(LocatorToLatLon("JJ00AA", &latitude, nullptr), 0);
    EXPECT_EQ(latitude, 12.5f);
    EXPECT_EQ(longitude, -34.25f);

    EXPECT_EQ(GreatCircleDistance(0, 0, 1, 0, nullptr), 0.0f);

    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const DistanceCase bearings[] = {
        {nan, 0, 10, 0}, {0, nan, 10, 0}, {0, 0, nan, 0}, {0, 0, 10, nan}, {nan, nan, nan, nan},
        {inf, 0, 10, 0}, {0, -inf, 10, 0}, {0, 0, -inf, 0}, {0, 0, 10, inf},
    };
    for (const auto &p : bearings) {
        EXPECT_EQ(InitialBearing(p.lat1, p.lon1, p.lat2, p.lon2), -1)
            << p.lat1 << ", " << p.lon1 << " to " << p.lat2 << ", " << p.lon2;
    }
}

struct BandCase {
    float band;
    float frequency;
    int expected;
};

TEST(IsFreqInBand, EdgesAndNeighbours) {
    const BandCase cases[] = {
        {28, 29.7f, 1},    {28, 28, 1},       {1.8f, 1.85f, 1},  {1.8f, 1.8f, 1}, {18, 18.2f, 1},
        {24, 24.8f, 1},    {10, 10.0f, 0},    {145, 144.3f, 1},  {432, 439.99f, 1}, {12, 12, 0},
        {1296, 1350.5f, 0},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(IsFreqInBand(c.band, c.frequency), c.expected) << c.band << " " << c.frequency;
    }
}

// Every key of every band admits both edges and nothing just outside them,
// all compared as floats.
TEST(IsFreqInBand, EveryBandAndEdge) {
    const struct {
        float keys[3];
        float lower, upper;
    } rows[] = {
        {{1.8f}, 1.8f, 2},
        {{3.5f}, 3.5f, 3.8f},
        {{5}, 5, 6},
        {{7}, 7, 7.5f},
        {{10}, 10.1f, 10.2f},
        {{14}, 14, 14.5f},
        {{18}, 18.068f, 18.2f},
        {{21}, 21, 21.5f},
        {{24}, 24.8f, 25},
        {{28}, 28, 29.7f},
        {{50}, 50, 54},
        {{70}, 70, 70.5f},
        {{144, 145, 146}, 144, 148},
        {{220}, 220, 222},
        {{430, 432, 433}, 420, 440},
        {{900}, 900, 905},
        {{1200, 1240, 1296}, 1200, 1350},
        {{2300, 2302, 2320}, 2300, 2500},
        {{3300, 3400}, 3300, 3500},
        {{5600, 5700, 5800}, 5600, 5900},
        {{10000, 10368}, 10000, 11000},
        {{24000}, 24000, 24500},
        {{47000}, 47000, 47500},
        {{76000}, 75000, 82000},
    };
    const float inf = std::numeric_limits<float>::infinity();
    for (const auto &row : rows) {
        for (float key : row.keys) {
            if (key == 0) continue;
            EXPECT_EQ(IsFreqInBand(key, row.lower), 1) << key;
            EXPECT_EQ(IsFreqInBand(key, row.upper), 1) << key;
            EXPECT_EQ(IsFreqInBand(key, (row.lower + row.upper) / 2), 1) << key;
            EXPECT_EQ(IsFreqInBand(key, std::nextafter(row.lower, 0.0f)), 0) << key;
            EXPECT_EQ(IsFreqInBand(key, std::nextafter(row.upper, inf)), 0) << key;
            EXPECT_EQ(IsFreqInBand(key, std::numeric_limits<float>::quiet_NaN()), 0) << key;
        }
    }
}

TEST(IsFreqInBand, ValuesThatAreNotKeys) {
    // In some band's range, but not a band's nominal value: always false.
    const BandCase cases[] = {
        {1.85f, 1.85f, 0}, {2, 1.9f, 0},       {10.1f, 10.1f, 0}, {18.068f, 18.1f, 0}, {147, 147, 0},
        {420, 430, 0},     {440, 430, 0},      {1350, 1300, 0},   {75000, 76000, 0},   {0, 0, 0},
        {-28, 28, 0},      {std::nextafter(28.0f, 0.0f), 28, 0},  {std::nextafter(144.0f, 200.0f), 145, 0},
        {std::numeric_limits<float>::quiet_NaN(), 14.1f, 0},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(IsFreqInBand(c.band, c.frequency), c.expected) << c.band << " " << c.frequency;
    }
}

TEST(IsFreqInBand, KeysOnlySelectTheirOwnRow) {
    // A frequency of another band is refused, even a neighbouring one.
    const BandCase cases[] = {
        {14, 7.1f, 0}, {7, 14.1f, 0}, {144, 432.1f, 0}, {432, 144.3f, 0}, {10, 10368, 0}, {10368, 10.15f, 0},
        {24, 24000, 0}, {24000, 24.9f, 0}, {5, 5700, 0},  {5700, 5.5f, 0},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(IsFreqInBand(c.band, c.frequency), c.expected) << c.band << " " << c.frequency;
    }
}

}  // namespace
