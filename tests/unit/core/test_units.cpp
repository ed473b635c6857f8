// Distances and angles to text and back (rtos/angtos/distof/angtof) and the point functions.
#include "arx/ads.h"
#include "core/text.h"
#include "core/units.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace zel::core;

namespace {

constexpr double kDeg = M_PI / 180;

struct DistanceCase {
    double value;
    int mode, prec, dimzin, unitmode;
    const char* text;
};

struct AngleCase {
    double degrees;
    int mode, prec, dimzin, unitmode;
    const char* text;
};

std::string distance(const DistanceCase& c) {
    auto s = formatDistance(c.value, c.mode, c.prec, c.dimzin, c.unitmode);
    return s ? wideToUtf8(*s) : "<none>";
}

std::string angle(const AngleCase& c) {
    auto s = formatAngle(c.degrees * kDeg, c.mode, c.prec, c.dimzin, c.unitmode);
    return s ? wideToUtf8(*s) : "<none>";
}

// Restores the default unit settings when a test that installs a provider ends.
struct ProviderGuard {
    ~ProviderGuard() { setUnitSettingsProvider(nullptr); }
};

} // namespace

TEST(Rtos, ScientificAndDecimal) {
    const DistanceCase cases[] = {
        {17.5, 1, 4, 0, 0, "1.7500E+01"},
        {17.5, 2, 2, 0, 0, "17.50"},
        {17.5, 1, 4, 8, 0, "1.75E+01"},
        {0, 1, 4, 0, 0, "0.0000E+00"},
        {9.99999, 1, 2, 0, 0, "1.00E+01"},
        {0.00123, 1, 3, 0, 0, "1.230E-03"},
        {-17.5, 1, 2, 0, 0, "-1.75E+01"},
        {1e-100, 1, 1, 0, 0, "1.0E-100"},
        {20, 1, 0, 0, 0, "2E+01"},
        {20, 1, 3, 8, 0, "2E+01"},
        {0.5, 2, 4, 0, 0, "0.5000"},
        {0.5, 2, 4, 4, 0, ".5000"},
        {12.5, 2, 4, 8, 0, "12.5"},
        {0.5, 2, 4, 12, 0, ".5"},
        {2, 2, 3, 8, 0, "2"},
        {0, 2, 4, 12, 0, "0"},
        {-0.5, 2, 2, 4, 0, "-.50"},
        {-0.00001, 2, 4, 0, 0, "0.0000"},
        {-0.0, 2, 2, 0, 0, "0.00"},
        {2.675, 2, 2, 0, 0, "2.68"},
        {0.5, 2, 0, 0, 0, "1"},
        {2.5, 2, 0, 0, 0, "3"},
        {9.9999, 2, 2, 0, 0, "10.00"},
        {1234567.891, 2, 1, 0, 0, "1234567.9"},
        {1e20, 2, 0, 0, 0, "100000000000000000000"},
        {0.1 + 0.2, 2, 16, 0, 0, "0.3000000000000000"},
    };
    for (const DistanceCase& c : cases)
        EXPECT_EQ(distance(c), c.text) << c.value << " " << c.mode;
}

TEST(Rtos, EngineeringFeetAndDecimalInches) {
    const DistanceCase cases[] = {
        {17.5, 3, 2, 0, 0, "1'-5.50\""}, {17.5, 3, 2, 0, 1, "1'5.50\""},
        {12, 3, 2, 0, 0, "1'"},          {12, 3, 2, 1, 0, "1'-0.00\""},
        {12, 3, 2, 2, 0, "1'"},          {12, 3, 2, 3, 0, "1'-0.00\""},
        {5.5, 3, 2, 0, 0, "5.50\""},     {5.5, 3, 2, 1, 0, "0'-5.50\""},
        {5.5, 3, 2, 2, 0, "0'-5.50\""},  {5.5, 3, 2, 3, 0, "5.50\""},
        {11.999, 3, 2, 0, 0, "1'"},      {0, 3, 2, 0, 0, "0.00\""},
        {0, 3, 2, 1, 0, "0'-0.00\""},    {-17.5, 3, 2, 0, 0, "-1'-5.50\""},
        {17.5, 3, 4, 8, 0, "1'-5.5\""},  {12.25, 3, 2, 4, 0, "1'-.25\""},
        {-0.001, 3, 2, 0, 0, "0.00\""},  {150, 3, 0, 0, 0, "12'-6\""},
    };
    for (const DistanceCase& c : cases)
        EXPECT_EQ(distance(c), c.text) << c.value << " dimzin " << c.dimzin;
}

TEST(Rtos, ArchitecturalAndFractional) {
    const DistanceCase cases[] = {
        {17.5, 4, 2, 0, 0, "1'-5 1/2\""},
        {17.5, 4, 2, 0, 1, "1'5-1/2\""},
        {12.5, 4, 4, 0, 0, "1'-0 1/2\""},
        {0.5, 4, 4, 0, 0, "1/2\""},
        {0.5, 4, 4, 1, 0, "0'-0 1/2\""},
        {24, 4, 4, 0, 0, "2'"},
        {24, 4, 4, 1, 0, "2'-0\""},
        {24, 4, 4, 3, 0, "2'-0\""},
        {6, 4, 4, 2, 0, "0'-6\""},
        {17.53, 4, 0, 0, 0, "1'-6\""},
        {17.53, 4, 4, 0, 0, "1'-5 1/2\""},
        {11.99, 4, 2, 0, 0, "1'"},
        {-17.5, 4, 2, 0, 0, "-1'-5 1/2\""},
        {17.375, 4, 3, 0, 0, "1'-5 3/8\""},
        {0, 4, 4, 0, 0, "0\""},
        {-0.001, 4, 4, 0, 0, "0\""},
        {17.5, 5, 2, 0, 0, "17 1/2"},
        {17.5, 5, 2, 0, 1, "17-1/2"},
        {0.25, 5, 2, 0, 0, "1/4"},
        {3, 5, 4, 0, 0, "3"},
        {0.1, 5, 2, 0, 0, "0"},
        {-0.1, 5, 2, 0, 0, "0"},
        {2.9999, 5, 8, 0, 0, "3"},
        {-17.5, 5, 2, 0, 0, "-17 1/2"},
        {1.0 / 256, 5, 8, 0, 0, "1/256"},
        {1.0 / 256, 5, 12, 0, 0, "1/256"},
        {0.3125, 5, 4, 0, 0, "5/16"},
        {0.3125, 5, 3, 0, 0, "3/8"},
    };
    for (const DistanceCase& c : cases)
        EXPECT_EQ(distance(c), c.text) << c.value << " mode " << c.mode << " prec " << c.prec;
}

TEST(Rtos, BadModesAndValues) {
    const DistanceCase cases[] = {
        {1, 0, 2, 0, 0, "<none>"},   {1, 6, 2, 0, 0, "<none>"},
        {1, 2, -2, 0, 0, "<none>"},  {1, 2, kMaxUnitPrecision + 1, 0, 0, "<none>"},
        {NAN, 2, 2, 0, 0, "<none>"}, {INFINITY, 4, 2, 0, 0, "<none>"},
    };
    for (const DistanceCase& c : cases)
        EXPECT_EQ(distance(c), c.text);
}

TEST(Angtos, EveryMode) {
    const AngleCase cases[] = {
        {45, 0, 4, 0, 0, "45.0000"},
        {-45, 0, 4, 0, 0, "315.0000"},
        {-45, 4, 0, 0, 0, "S 45d E"},
        {180, 0, 0, 0, 0, "180"},
        {180, 1, 4, 0, 0, "180d0'0\""},
        {180, 3, 4, 0, 0, "3.1416r"},
        {180, 4, 2, 0, 0, "W"},
        {45, 2, 4, 0, 0, "50.0000g"},
        {45.5, 1, 4, 0, 0, "45d30'0\""},
        {45.25, 1, 2, 0, 0, "45d15'"},
        {45.25, 1, 0, 0, 0, "45d"},
        {45.123456, 1, 6, 0, 0, "45d7'24.44\""},
        {45.123456, 1, 8, 0, 0, "45d7'24.4416\""},
        {10.0 + 1.0 / 3600 / 20, 1, 5, 0, 0, "10d0'0.1\""},
        {359.9999999, 1, 4, 0, 0, "0d0'0\""},
        {359.99999, 0, 2, 0, 0, "0.00"},
        {399.99999 * 0.9, 2, 2, 0, 0, "0.00g"},
        {720 + 30, 0, 1, 0, 0, "30.0"},
        {45, 4, 4, 0, 0, "N 45d0'0\" E"},
        {45, 4, 4, 0, 1, "N45d0'0\"E"},
        {120, 4, 0, 0, 0, "N 30d W"},
        {240, 4, 0, 0, 0, "S 30d W"},
        {300, 4, 0, 0, 0, "S 30d E"},
        {90, 4, 4, 0, 0, "N"},
        {0, 4, 4, 0, 0, "E"},
        {270, 4, 4, 0, 0, "S"},
        {89.99999999, 4, 4, 0, 0, "N"},
        {10.5, 4, 2, 0, 0, "N 79d30' E"},
        {45, 0, 4, 8, 0, "45"},
        {22.5, 0, 4, 8, 0, "22.5"},
        {0, 3, 2, 0, 0, "0.00r"},
        {0.5 / kDeg, 3, 4, 12, 0, ".5r"},
        {45, 5, 0, 0, 0, "<none>"},
        {45, -1, 0, 0, 0, "<none>"},
        {45, 0, -1, 0, 0, "<none>"},
        {NAN, 0, 0, 0, 0, "<none>"},
    };
    for (const AngleCase& c : cases)
        EXPECT_EQ(angle(c), c.text) << c.degrees << " mode " << c.mode << " prec " << c.prec;
}

TEST(Distof, ReadsTheFormsOfEachMode) {
    struct Case {
        const wchar_t* text;
        int mode;
        std::optional<double> value;
    } cases[] = {
        {L"1.7500E+01", 1, 17.5},
        {L"17.50", 2, 17.5},
        {L".5", 2, 0.5},
        {L"-3", 2, -3.0},
        {L" 2 ", 2, 2.0},
        {L"1'-5.50\"", 3, 17.5},
        {L"1'5.50\"", 3, 17.5},
        {L"1'-5 1/2\"", 4, 17.5},
        {L"1'5-1/2\"", 4, 17.5},
        {L"1'", 4, 12.0},
        {L"5.5\"", 4, 5.5},
        {L"5.5", 3, 5.5},
        {L"0'-0 1/2\"", 4, 0.5},
        {L"-1'-5 1/2\"", 4, -17.5},
        {L"1.5'", 3, 18.0},
        {L"17 1/2", 5, 17.5},
        {L"17-1/2", 5, 17.5},
        {L"1/2", 5, 0.5},
        {L"-17 1/2", 5, -17.5},
        {L"17", 5, 17.0},
        {L"1/2\"", 4, 0.5},
        {L"abc", 2, {}},
        {L"", 2, {}},
        {L"17 1/2", 2, {}},
        {L"1'-5\"", 2, {}},
        {L"1/0", 5, {}},
        {L"1.5 1/2", 5, {}},
        {L"1'-x", 4, {}},
        {L"--5", 2, {}},
        {L"1/-2", 5, {}},
        {L"5", 0, {}},
        {L"5", 6, {}},
        {L"'5\"", 4, {}},
        {L"\"", 4, {}},
        {L"1 2", 2, {}},
        {L"1''", 4, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseDistance(c.text, c.mode), c.value) << wideToUtf8(c.text) << " " << c.mode;
}

TEST(Angtof, ReadsEveryForm) {
    struct Case {
        const wchar_t* text;
        int mode;
        std::optional<double> degrees;
    } cases[] = {
        {L"45", 0, 45.0},
        {L"45d30'", 1, 45.5},
        {L"45d30'0\"", 1, 45.5},
        {L"45d30'36\"", 0, 45.51},
        {L"45\u00b030'", 1, 45.5},
        {L"50g", 0, 45.0},
        {L"50", 2, 45.0},
        {L"50.0000g", 2, 45.0},
        {L"N 45d E", 4, 45.0},
        {L"N45dE", 4, 45.0},
        {L"n 45d0'0\" e", 4, 45.0},
        {L"S 45d E", 4, 315.0},
        {L"N 30d W", 4, 120.0},
        {L"S 30 W", 4, 240.0},
        {L"W", 4, 180.0},
        {L"N", 0, 90.0},
        {L"-45", 0, 315.0},
        {L"405", 0, 45.0},
        {L"360", 0, 0.0},
        {L"abc", 0, {}},
        {L"45x", 0, {}},
        {L"N 95d E", 4, {}},
        {L"N 45d", 4, {}},
        {L"45", 5, {}},
        {L"", 0, {}},
        {L"45d-3'", 1, {}},
        {L"d", 1, {}},
    };
    for (const Case& c : cases) {
        auto v = parseAngle(c.text, c.mode);
        ASSERT_EQ(v.has_value(), c.degrees.has_value()) << wideToUtf8(c.text);
        if (v) {
            EXPECT_NEAR(*v, *c.degrees * kDeg, 1e-12) << wideToUtf8(c.text);
        }
    }
    EXPECT_NEAR(*parseAngle(L"45.0000", 3), std::fmod(45.0, 2 * M_PI), 1e-12);
    EXPECT_NEAR(*parseAngle(L"0.7854r", 0), 0.7854, 1e-12);
}

TEST(UnitsRoundTrip, TextReadsBackWithinOneStepOfThePrecision) {
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> len(-5000, 5000);
    std::uniform_real_distribution<double> ang(-10, 10);
    for (int i = 0; i < 400; ++i) {
        double v = len(rng);
        for (int mode = 1; mode <= 5; ++mode) {
            int prec = mode >= 4 ? 8 : 6;
            double step = mode >= 4 ? 1.0 / 256 : std::pow(10.0, -prec);
            double tol = mode == 1 ? std::fabs(v) * step : step / 2;
            auto text = formatDistance(v, mode, prec, i % 16, i % 2);
            ASSERT_TRUE(text);
            auto back = parseDistance(*text, mode);
            ASSERT_TRUE(back) << wideToUtf8(*text);
            EXPECT_NEAR(*back, v, tol * (1 + 1e-9)) << wideToUtf8(*text);
        }
        double a = ang(rng);
        double norm = std::fmod(std::fmod(a, 2 * M_PI) + 2 * M_PI, 2 * M_PI);
        for (int mode = 0; mode <= 4; ++mode) {
            auto text = formatAngle(a, mode, 8, 0, i % 2);
            ASSERT_TRUE(text);
            auto back = parseAngle(*text, mode);
            ASSERT_TRUE(back) << wideToUtf8(*text);
            double diff = std::remainder(*back - norm, 2 * M_PI);
            EXPECT_NEAR(diff, 0, 1e-7) << wideToUtf8(*text);
        }
    }
}

TEST(UnitsApi, RToSUsesTheDrawingSettingsAndNeverWritesHalf) {
    ProviderGuard guard;
    ACHAR buf[32];
    ASSERT_EQ(acdbRToS(17.5, -1, -1, buf), RTNORM);
    EXPECT_STREQ(buf, L"17.5000"); // defaults: LUNITS 2, LUPREC 4
    setUnitSettingsProvider([] {
        UnitSettings s;
        s.lunits = 4;
        s.luprec = 2;
        s.dimzin = 1;
        s.aunits = 1;
        s.auprec = 4;
        return s;
    });
    ASSERT_EQ(acdbRToS(17.5, -1, -1, buf), RTNORM);
    EXPECT_STREQ(buf, L"1'-5 1/2\"");
    ASSERT_EQ(acdbRToS(6, 3, -1, buf), RTNORM);
    EXPECT_STREQ(buf, L"0'-6.00\"");
    ASSERT_EQ(acdbAngToS(M_PI / 4, -1, -1, buf), RTNORM);
    EXPECT_STREQ(buf, L"45d0'0\"");
    ASSERT_EQ(acdbAngToS(M_PI / 4, 0, 2, buf), RTNORM);
    EXPECT_STREQ(buf, L"45.00");

    ACHAR small[5];
    std::wmemset(small, L'#', 5);
    EXPECT_EQ(acdbRToS(17.5, 2, 4, small, 5), RTERROR); // "17.5000" needs 8
    EXPECT_EQ(small[0], L'#');
    EXPECT_EQ(acdbRToS(1.5, 2, 2, small, 5), RTNORM); // "1.50" and the terminator fit
    EXPECT_STREQ(small, L"1.50");
    EXPECT_EQ(acdbRToS(1, 9, 2, buf), RTERROR);
    EXPECT_EQ(acdbAngToS(1, 7, 2, buf), RTERROR);
    EXPECT_EQ(acdbRToS(1, 2, 2, nullptr, 0), RTERROR);

    setUnitSettingsProvider([]() -> UnitSettings { throw std::runtime_error("no drawing"); });
    ASSERT_EQ(acdbRToS(2, -1, -1, buf), RTNORM); // a failing provider falls back to defaults
    EXPECT_STREQ(buf, L"2.0000");
}

TEST(UnitsApi, DisToFAndAngToF) {
    ProviderGuard guard;
    ads_real v = -1;
    EXPECT_EQ(acdbDisToF(L"17.5", -1, &v), RTNORM);
    EXPECT_EQ(v, 17.5);
    EXPECT_EQ(acdbDisToF(L"1'-5 1/2\"", 4, &v), RTNORM);
    EXPECT_EQ(v, 17.5);
    v = -1;
    EXPECT_EQ(acdbDisToF(L"1'-5 1/2\"", 2, &v), RTERROR);
    EXPECT_EQ(v, -1); // untouched on error
    EXPECT_EQ(acdbDisToF(nullptr, 2, &v), RTERROR);
    EXPECT_EQ(acdbDisToF(L"1", 2, nullptr), RTERROR);
    EXPECT_EQ(acdbAngToF(L"90", -1, &v), RTNORM);
    EXPECT_NEAR(v, M_PI / 2, 1e-15);
    EXPECT_EQ(acdbAngToF(L"100", 2, &v), RTNORM);
    EXPECT_NEAR(v, M_PI / 2, 1e-15);
    EXPECT_EQ(acdbAngToF(L"x", 0, &v), RTERROR);
}

TEST(PointFunctions, AngleDistancePolar) {
    ads_point o = {1, 1, 5}, east = {3, 1, 5}, north = {1, 4, 0}, sw = {0, 0, 5};
    EXPECT_DOUBLE_EQ(acutAngle(o, east), 0);
    EXPECT_DOUBLE_EQ(acutAngle(o, north), M_PI / 2);
    EXPECT_DOUBLE_EQ(acutAngle(o, sw), 5 * M_PI / 4); // always in [0, 2pi)
    EXPECT_DOUBLE_EQ(acutAngle(o, o), 0);
    EXPECT_DOUBLE_EQ(acutDistance(o, east), 2);
    EXPECT_DOUBLE_EQ(acutDistance(o, north), std::sqrt(9.0 + 25.0)); // z counts
    ads_point r;
    acutPolar(o, M_PI / 2, 3, r);
    EXPECT_NEAR(r[X], 1, 1e-15);
    EXPECT_DOUBLE_EQ(r[Y], 4);
    EXPECT_DOUBLE_EQ(r[Z], 5);
    acutPolar(o, M_PI, 1, o); // in place
    EXPECT_DOUBLE_EQ(o[X], 0);
    EXPECT_NEAR(o[Y], 1, 1e-15);
}
