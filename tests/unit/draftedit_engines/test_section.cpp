// The section-property and centroid engines: the documented profiles, random profiles with
// arcs against an independent integration along the boundary, shallow arcs, untrusted input
// files and the failure texts.
#include "draftedit/engines/section.h"
#include "engine_files.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <numbers>
#include <random>
#include <sstream>
#include <vector>

using namespace draftedit::engines;

namespace {

constexpr double kPi = std::numbers::pi;

std::string inputText(const std::vector<Segment>& segs) {
    std::string out;
    char buf[64];
    for (const Segment& s : segs) {
        for (double v : {s.x1, s.y1, s.x2, s.y2, s.bulge}) {
            std::snprintf(buf, sizeof buf, "%.15f\r\n", v);
            out += buf;
        }
    }
    return out;
}

std::vector<Segment> polygon(const std::vector<std::pair<double, double>>& pts,
                             const std::vector<double>& bulges = {}) {
    std::vector<Segment> segs;
    for (size_t i = 0; i < pts.size(); ++i) {
        const auto& a = pts[i];
        const auto& b = pts[(i + 1) % pts.size()];
        segs.push_back({a.first, a.second, b.first, b.second, bulges.empty() ? 0 : bulges[i]});
    }
    return segs;
}

std::vector<double> parseOutput(const std::string& text) {
    std::vector<double> v;
    std::istringstream in(text);
    double x;
    while (in >> x)
        v.push_back(x);
    return v;
}

// ---- Independent computation: boundary integrals by Gauss quadrature ----------------------
//
// Green's theorem gives every area integral as a line integral along the boundary:
// A = ∮x dy, ∫x dA = ∮x²/2 dy, ∫y dA = -∮y²/2 dx, ∫x² dA = ∮x³/3 dy, ∫y² dA = -∮y³/3 dx,
// ∫xy dA = ∮x²y/2 dy. Arcs are walked by angle about their centre (found from the bulge by
// the radius formula r = c(1 + b²)/(4|b|)), in many small pieces.
struct Moments {
    double a = 0, sx = 0, sy = 0, xx = 0, yy = 0, xy = 0;
};

void integrateCurve(Moments& m, auto point, auto derivative, double t0, double t1) {
    static const double nodes[] = {-0.9061798459386640, -0.5384693101056831, 0.0,
                                   0.5384693101056831, 0.9061798459386640};
    static const double weights[] = {0.2369268850561891, 0.4786286704993665, 0.5688888888888889,
                                     0.4786286704993665, 0.2369268850561891};
    const int pieces = 64;
    for (int p = 0; p < pieces; ++p) {
        const double a = t0 + (t1 - t0) * p / pieces, b = t0 + (t1 - t0) * (p + 1) / pieces;
        for (int k = 0; k < 5; ++k) {
            const double t = (a + b) / 2 + (b - a) / 2 * nodes[k], w = (b - a) / 2 * weights[k];
            auto [x, y] = point(t);
            auto [dx, dy] = derivative(t);
            m.a += w * x * dy;
            m.sx += w * x * x / 2 * dy;
            m.sy -= w * y * y / 2 * dx;
            m.xx += w * x * x * x / 3 * dy;
            m.yy -= w * y * y * y / 3 * dx;
            m.xy += w * x * x * y / 2 * dy;
        }
    }
}

Moments boundaryMoments(const std::vector<Segment>& segs) {
    Moments m;
    for (const Segment& s : segs) {
        const double dx = s.x2 - s.x1, dy = s.y2 - s.y1, c = std::hypot(dx, dy);
        if (std::fabs(s.bulge) <= 1e-6) {
            integrateCurve(
                m,
                [&](double t) {
                    return std::pair{s.x1 + t * dx, s.y1 + t * dy};
                },
                [&](double) {
                    return std::pair{dx, dy};
                },
                0, 1);
            continue;
        }
        const double b = s.bulge, r = c * (1 + b * b) / (4 * std::fabs(b));
        // Centre: from the chord's midpoint along the left normal by the signed apothem.
        const double apothem = c * (1 - b * b) / (4 * b);
        const double cx = (s.x1 + s.x2) / 2 - dy / c * apothem,
                     cy = (s.y1 + s.y2) / 2 + dx / c * apothem;
        const double a0 = std::atan2(s.y1 - cy, s.x1 - cx), sweep = 4 * std::atan(b);
        integrateCurve(
            m,
            [&](double t) {
                return std::pair{cx + r * std::cos(t), cy + r * std::sin(t)};
            },
            [&](double t) {
                return std::pair{-r * std::sin(t), r * std::cos(t)};
            },
            a0, a0 + sweep);
    }
    return m;
}

SectionProperties reference(const std::vector<Segment>& segs) {
    Moments m = boundaryMoments(segs);
    SectionProperties p;
    p.area = std::fabs(m.a);
    p.gx = m.sx / m.a;
    p.gy = m.sy / m.a;
    double sign = m.a < 0 ? -1 : 1;
    p.ix = sign * (m.yy - m.a * p.gy * p.gy);
    p.iy = sign * (m.xx - m.a * p.gx * p.gx);
    p.ixy = sign * (m.xy - m.a * p.gx * p.gy);
    p.ip = p.ix + p.iy;
    const double spread = std::sqrt((p.ix - p.iy) * (p.ix - p.iy) + 4 * p.ixy * p.ixy);
    p.i1 = (p.ip + spread) / 2;
    p.i2 = (p.ip - spread) / 2;
    return p;
}

// A convex polygon inscribed in a circle, its edges bulging outwards by up to 0.4 or inwards
// by up to 0.05: a simple profile (arcs of neighbouring edges leave a vertex at less than
// the angle between the edges), some of whose arcs are very shallow.
std::vector<Segment> randomProfile(std::mt19937& rng) {
    std::uniform_real_distribution<double> unit(0, 1);
    const int n = 3 + static_cast<int>(unit(rng) * 10);
    const double cx = (unit(rng) - 0.5) * 200, cy = (unit(rng) - 0.5) * 200;
    const double radius = 5 + 45 * unit(rng);
    std::vector<std::pair<double, double>> pts;
    std::vector<double> bulges;
    for (int i = 0; i < n; ++i) {
        const double angle = 2 * kPi * (i + 0.2 + 0.6 * unit(rng)) / n;
        pts.push_back({cx + radius * std::cos(angle), cy + radius * std::sin(angle)});
        double b = unit(rng) < 0.7 ? 0.4 * unit(rng) : -0.05 * unit(rng);
        if (unit(rng) < 0.15) b = (unit(rng) - 0.5) * 2e-3; // shallow arcs
        if (unit(rng) < 0.2) b = 0;
        bulges.push_back(b);
    }
    if (unit(rng) < 0.5) { // run clockwise
        std::reverse(pts.begin(), pts.end());
        std::rotate(pts.begin(), pts.end() - 1, pts.end());
        std::reverse(bulges.begin(), bulges.end());
        for (double& b : bulges)
            b = -b;
    }
    return polygon(pts, bulges);
}

void expectRelative(double actual, double expected, double scale, const char* what) {
    EXPECT_LE(std::fabs(actual - expected), 1e-9 * scale)
        << what << " " << actual << " vs " << expected;
}

} // namespace

TEST(SectionEngine, DocumentedProfiles) {
    const auto square = polygon({{0, 0}, {1, 0}, {1, 1}, {0, 1}});
    const auto clockwise = polygon({{0, 0}, {0, 1}, {1, 1}, {1, 0}});
    for (const auto& segs : {square, clockwise}) {
        SectionProperties p = computeSectionProperties(segs);
        EXPECT_NEAR(p.gx, 0.5, 1e-15);
        EXPECT_NEAR(p.gy, 0.5, 1e-15);
        EXPECT_NEAR(p.area, 1, 1e-15);
        EXPECT_NEAR(p.ix, 1.0 / 12, 1e-15);
        EXPECT_NEAR(p.iy, 1.0 / 12, 1e-15);
        EXPECT_EQ(p.ixy, 0);
        EXPECT_NEAR(p.i1, 1.0 / 12, 1e-15);
        EXPECT_NEAR(p.i2, 1.0 / 12, 1e-15);
        EXPECT_NEAR(p.kx, std::sqrt(1.0 / 12), 1e-15);
        EXPECT_EQ(p.theta, 0);
    }
    // A circle of radius 3 as two half circles (bulge 1 each).
    SectionProperties c = computeSectionProperties({{{3, 0, -3, 0, 1}, {-3, 0, 3, 0, 1}}});
    EXPECT_NEAR(c.area, kPi * 9, 1e-12);
    EXPECT_NEAR(c.ix, kPi * 81 / 4, 1e-11);
    EXPECT_NEAR(c.iy, kPi * 81 / 4, 1e-11);
    EXPECT_NEAR(c.gx, 0, 1e-14);
    // Wide and tall rectangles.
    SectionProperties wide = computeSectionProperties(polygon({{0, 0}, {2, 0}, {2, 1}, {0, 1}}));
    EXPECT_LT(wide.ix, wide.iy);
    EXPECT_NEAR(wide.theta, 90, 1e-12);
    SectionProperties tall = computeSectionProperties(polygon({{0, 0}, {1, 0}, {1, 2}, {0, 2}}));
    EXPECT_EQ(tall.theta, 0);
}

TEST(SectionEngine, DegenerateSegmentsAddNothing) {
    auto square = polygon({{0, 0}, {1, 0}, {1, 1}, {0, 1}});
    const SectionProperties plain = computeSectionProperties(square);
    square.insert(square.begin() + 2, Segment{1, 0.5, 1 + 4e-7, 0.5 + 4e-7, 0.7});
    const SectionProperties withPoint = computeSectionProperties(square);
    EXPECT_NEAR(withPoint.ix, plain.ix, 1e-12);
    EXPECT_NEAR(withPoint.iy, plain.iy, 1e-12);
}

TEST(SectionEngine, RandomProfilesWithArcsAgreeWithBoundaryIntegrals) {
    std::mt19937 rng(8);
    for (int trial = 0; trial < 300; ++trial) {
        const std::vector<Segment> segs = randomProfile(rng);
        const SectionProperties p = computeSectionProperties(segs);
        const SectionProperties r = reference(segs);
        SCOPED_TRACE(trial);
        const double size = std::sqrt(r.area);
        expectRelative(p.area, r.area, r.area, "A");
        expectRelative(p.gx, r.gx, std::fabs(r.gx) + size, "Gx");
        expectRelative(p.gy, r.gy, std::fabs(r.gy) + size, "Gy");
        expectRelative(p.ix, r.ix, r.ip, "Ix");
        expectRelative(p.iy, r.iy, r.ip, "Iy");
        expectRelative(p.ixy, r.ixy, r.ip, "Ixy");
        expectRelative(p.i1, r.i1, r.ip, "I1");
        expectRelative(p.i2, r.i2, r.ip, "I2");
        expectRelative(p.kx, std::sqrt(r.ix / r.area), size, "kx");
        expectRelative(p.k2, std::sqrt(r.i2 / r.area), size, "k2");
        EXPECT_GT(p.i2, 0);
        const Centroid g = computeCentroid(segs);
        expectRelative(g.area, r.area, r.area, "centroid A");
        expectRelative(g.gx, r.gx, std::fabs(r.gx) + size, "centroid Gx");
    }
}

TEST(SectionEngine, ShallowArcsKeepTheirPrecision) {
    // A rectangle whose bottom edge bulges by a tiny to a moderate amount: closed forms of the
    // arc's segment lose digits as the bulge goes to zero; the values must not.
    for (double b : {2e-6, 1e-5, 1e-4, 1e-3, 0.05, 0.2}) {
        auto segs = polygon({{0, 0}, {10, 0}, {10, 5}, {0, 5}}, {b, 0, 0, 0});
        const SectionProperties p = computeSectionProperties(segs);
        const SectionProperties r = reference(segs);
        SCOPED_TRACE(b);
        expectRelative(p.area, r.area, r.area, "A");
        expectRelative(p.gy, r.gy, 5, "Gy");
        expectRelative(p.ix, r.ix, r.ip, "Ix");
        expectRelative(p.iy, r.iy, r.ip, "Iy");
    }
}

TEST(SectionEngine, PartialSumsOfZeroAreaDoNotSpoilTheCentroid) {
    // The pieces of this triangle about the origin are +2, -2, -2: a running mean would
    // divide by the zero area after the second piece.
    const auto triangle = polygon({{2, 0}, {0, 2}, {2, 2}});
    const Centroid c = computeCentroid(triangle);
    EXPECT_NEAR(c.area, 2, 1e-15);
    EXPECT_NEAR(c.gx, 4.0 / 3, 1e-15);
    EXPECT_NEAR(c.gy, 4.0 / 3, 1e-15);
    const SectionProperties p = computeSectionProperties(triangle);
    EXPECT_NEAR(p.ix, 2.0 * 8 / 36, 1e-14) << "b h³ / 36 of a right triangle";
}

TEST(SectionEngine, InputFilesAreReadFiveValuesPerSegment) {
    const auto square = polygon({{0, 0}, {1, 0}, {1, 1}, {0, 1}});
    const std::string base = inputText(square);
    EXPECT_EQ(parseSegments(base).size(), 4u);
    // An incomplete last group, the Ctrl-Z line, text and blank lines.
    const struct {
        std::string extra;
        size_t segments;
    } cases[] = {{"1.0\r\n2.0\r\n", 4},
                 {"\x1A", 4},
                 {"7\r\n\x1A\r\n", 4},
                 {"", 4},
                 {"abc\r\n\r\nnan\r\ninf\r\n1e999\r\n", 5}};
    for (const auto& c : cases) {
        std::vector<Segment> segs = parseSegments(base + c.extra);
        ASSERT_EQ(segs.size(), c.segments) << c.extra;
        if (c.segments == 5) {
            EXPECT_EQ(segs[4].x1, 0) << "text is 0";
            EXPECT_EQ(segs[4].x2, 0) << "NaN is 0";
            EXPECT_EQ(segs[4].bulge, 0) << "overflow is 0";
        }
        EXPECT_EQ(formatSectionProperties(computeSectionProperties(segs)),
                  formatSectionProperties(computeSectionProperties(square)));
    }
    // Plain LF line ends and leading blanks read the same.
    EXPECT_EQ(parseSegments("  1\n2\n3\n4\n0.5\n")[0].bulge, 0.5);
}

TEST(SectionEngine, WritesFourteenOrThreeValues) {
    TempFolder dir;
    writeFile(dir.path("inrt.dat"), inputText(polygon({{0, 0}, {2, 0}, {2, 1}, {0, 1}})) + "\x1A");
    ASSERT_EQ(runEngine(EngineKind::SectionProperties, dir.path("inrt.dat"), dir.path("inrt.ret")),
              EngineStatus::Written);
    const std::string text = readFile(dir.path("inrt.ret"));
    std::vector<double> v = parseOutput(text);
    ASSERT_EQ(v.size(), 14u);
    EXPECT_EQ(text.substr(0, 16), "       1.000000\n");
    const double expected[] = {1,
                               2,
                               0.5,
                               1.0 / 6,
                               2.0 / 3,
                               2.0 / 3,
                               1.0 / 6,
                               5.0 / 6,
                               0,
                               std::sqrt(1.0 / 12),
                               std::sqrt(1.0 / 3),
                               std::sqrt(1.0 / 3),
                               std::sqrt(1.0 / 12),
                               90};
    for (int i = 0; i < 14; ++i)
        EXPECT_NEAR(v[i], expected[i], 1e-6) << i;
    ASSERT_EQ(runEngine(EngineKind::Centroid, dir.path("inrt.dat"), dir.path("grav.ret")),
              EngineStatus::Written);
    EXPECT_EQ(readFile(dir.path("grav.ret")), "1.000000000000\n0.500000000000\n2.000000000000\n");
}

TEST(SectionEngine, FailuresAreToldInTheOutputFile) {
    TempFolder dir;
    EXPECT_EQ(runEngine(EngineKind::SectionProperties, dir.path("missing.dat"), dir.path("o.ret")),
              EngineStatus::InputMissing);
    EXPECT_EQ(readFile(dir.path("o.ret")), "読込みファイルがありません。");
    writeFile(dir.path("in.dat"), "1\n");
    EXPECT_EQ(runEngine(EngineKind::Centroid, dir.path("in.dat"), dir.path("no folder/o.ret")),
              EngineStatus::OutputNotOpened);
    EXPECT_FALSE(std::filesystem::exists(dir.path("no folder")));
}

TEST(SectionEngine, UntrustedFilesGiveWellDefinedResults) {
    TempFolder dir;
    const std::string inputs[] = {
        "",
        std::string(100000, '9') + "\n1\n2\n3\n4\n",
        "1e308\n1e308\n-1e308\n1e308\n1e300\n",
        "nan\nnan\nnan\nnan\nnan\n",
        std::string("\xff\xfe\x00\x01\x82", 5),
        "0\n0\n0\n0\n1e300\n0\n0\n0\n0\n-1e300\n",
    };
    for (const std::string& in : inputs) {
        writeFile(dir.path("in.dat"), in);
        ASSERT_EQ(runEngine(EngineKind::SectionProperties, dir.path("in.dat"), dir.path("o.ret")),
                  EngineStatus::Written);
        const std::string out = readFile(dir.path("o.ret"));
        EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 14) << out;
    }
    writeFile(dir.path("in.dat"), "");
    runEngine(EngineKind::SectionProperties, dir.path("in.dat"), dir.path("o.ret"));
    EXPECT_EQ(parseOutput(readFile(dir.path("o.ret"))), std::vector<double>(14, 0.0))
        << "no segment: every value 0";
}
