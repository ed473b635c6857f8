// Running object snap: which point each mode offers for the object under the aperture, that
// other modes win over the nearest point, that nothing is taken without an object under the
// aperture, the snaps that measure from a base point (tangent, parallel) or follow extensions
// (apparent intersection, extension), and clicks at point prompts snapped by OSMODE and by a
// one-time override while object selection is never snapped.
#include "commands/osnap.h"
#include "session_fixture.h"

#include <cmath>
#include <random>

namespace {

using zel::commands::snapPoint;
using zel::commands::SnapScene;
using zel::geom::Arc;
using zel::geom::Circle;
using zel::geom::Segment;
using zel::geom::Vec2;
namespace cmd = zel::commands;

// A line from 0,0 to 10,0, a line from 5,-5 to 5,5 crossing it, a circle of radius 2 round
// 20,0, a quarter arc of radius 3 round 0,20 (from 0 to 90 degrees), a point at 30,30.
SnapScene scene() {
    SnapScene s;
    s.curves = {Segment{{0, 0}, {10, 0}}, Segment{{5, -5}, {5, 5}}, Circle{{20, 0}, 2},
                zel::geom::arcFromAngles({0, 20}, 3, 0, M_PI / 2)};
    s.nodes = {{30, 30}};
    s.insertions = {{40, 40}};
    return s;
}

struct SnapCase {
    const char* what;
    int modes;
    Vec2 pick;
    std::optional<Vec2> expected;
};

TEST(ObjectSnap, EachModeOffersItsPoint) {
    const SnapCase cases[] = {
        {"end of the first line", cmd::kSnapEnd, {9.5, 0.4}, Vec2{10, 0}},
        {"middle of the first line", cmd::kSnapMid, {5.6, 0.3}, Vec2{5, 0}},
        {"centre of the circle", cmd::kSnapCen, {21, 1}, Vec2{20, 0}},
        {"centre of the arc", cmd::kSnapCen, {2, 22}, Vec2{0, 20}},
        {"quadrant of the circle", cmd::kSnapQuad, {21.8, 0.5}, Vec2{22, 0}},
        {"quadrant of the arc (in its range)", cmd::kSnapQuad, {0.4, 22.8}, Vec2{0, 23}},
        {"no quadrant of the arc out of its range", cmd::kSnapQuad, {-3, 20.2}, std::nullopt},
        {"intersection of the lines", cmd::kSnapInt, {5.5, 0.5}, Vec2{5, 0}},
        {"node", cmd::kSnapNode, {30.5, 30.5}, Vec2{30, 30}},
        {"insertion point", cmd::kSnapIns, {40.5, 39.5}, Vec2{40, 40}},
        {"nearest on the first line", cmd::kSnapNear, {2, 0.5}, Vec2{2, 0}},
        {"end wins over nearest", cmd::kSnapEnd | cmd::kSnapNear, {0.5, 0.2}, Vec2{0, 0}},
        {"the nearer end of the line aimed at", cmd::kSnapEnd, {3, 0.2}, Vec2{0, 0}},
        {"no object under the aperture", cmd::kSnapEnd, {2.5, 3}, std::nullopt},
        {"no modes", 0, {9.9, 0}, std::nullopt},
    };
    for (const SnapCase& c : cases) {
        std::optional<Vec2> got = snapPoint(scene(), c.pick, c.modes, 1.0, std::nullopt);
        ASSERT_EQ(got.has_value(), c.expected.has_value()) << c.what;
        if (!got) continue;
        EXPECT_NEAR(got->x, c.expected->x, 1e-9) << c.what;
        EXPECT_NEAR(got->y, c.expected->y, 1e-9) << c.what;
    }
}

TEST(ObjectSnap, PerpendicularFromTheLastPoint) {
    std::optional<Vec2> got = snapPoint(scene(), {7.3, 0.6}, cmd::kSnapPer, 1.0, Vec2{7, 8});
    ASSERT_TRUE(got);
    EXPECT_NEAR(got->x, 7, 1e-9);
    EXPECT_NEAR(got->y, 0, 1e-9);
    EXPECT_FALSE(snapPoint(scene(), {7.3, 0.6}, cmd::kSnapPer, 1.0, std::nullopt))
        << "no last point, no perpendicular";
}

// ---- modes on scenes of their own ------------------------------------------------------------

struct ModeCase {
    const char* what;
    std::vector<zel::geom::Curve> curves;
    int modes;
    Vec2 pick;
    std::optional<Vec2> from;
    std::optional<Vec2> expected;
};

void checkCases(const std::vector<ModeCase>& cases, double aperture) {
    for (const ModeCase& c : cases) {
        SnapScene scene;
        scene.curves = c.curves;
        std::optional<Vec2> got = snapPoint(scene, c.pick, c.modes, aperture, c.from);
        ASSERT_EQ(got.has_value(), c.expected.has_value())
            << c.what
            << (got ? " got " + std::to_string(got->x) + "," + std::to_string(got->y)
                    : std::string(" got nothing"));
        if (!got) continue;
        EXPECT_NEAR(got->x, c.expected->x, 1e-9) << c.what;
        EXPECT_NEAR(got->y, c.expected->y, 1e-9) << c.what;
    }
}

double deg(double d) {
    return d * M_PI / 180;
}

// From 10,0 a circle of radius 5 round the origin is touched at 60 degrees either side.
TEST(ObjectSnap, Tangent) {
    const double h = 5 * std::sqrt(3.0) / 2;
    const Circle circle{{0, 0}, 5};
    const auto arc = zel::geom::arcFromAngles({0, 0}, 5, deg(-10), deg(90));
    const Vec2 base{10, 0};
    const Vec2 onArcNearZero{5.05 * std::cos(deg(-5)), 5.05 * std::sin(deg(-5))};
    checkCases(
        {
            {"circle: the tangent point nearer the pick (above)",
             {circle},
             cmd::kSnapTan,
             {3, 4.5},
             base,
             Vec2{2.5, h}},
            {"circle: the tangent point nearer the pick (below)",
             {circle},
             cmd::kSnapTan,
             {3, -4.5},
             base,
             Vec2{2.5, -h}},
            {"circle: the nearer one, even far round the circle",
             {circle},
             cmd::kSnapTan,
             onArcNearZero,
             base,
             Vec2{2.5, -h}},
            {"arc: only the tangent point on the arc",
             {arc},
             cmd::kSnapTan,
             onArcNearZero,
             base,
             Vec2{2.5, h}},
            {"arc holding neither tangent point",
             {zel::geom::arcFromAngles({0, 0}, 5, deg(120), deg(240))},
             cmd::kSnapTan,
             {-5.2, 0},
             base,
             std::nullopt},
            {"base inside the circle", {circle}, cmd::kSnapTan, {3, 4.5}, Vec2{1, 1}, std::nullopt},
            {"base on the circle", {circle}, cmd::kSnapTan, {3, 4.5}, Vec2{5, 0}, std::nullopt},
            {"no base point", {circle}, cmd::kSnapTan, {3, 4.5}, std::nullopt, std::nullopt},
            {"circle not under the aperture", {circle}, cmd::kSnapTan, {3, 8}, base, std::nullopt},
            {"ellipse (the unit circle stretched)",
             {zel::geom::Ellipse{{0, 0}, {10, 0}, 0.5}},
             cmd::kSnapTan,
             {5.5, 4},
             Vec2{20, 0},
             Vec2{5, h}},
            {"a line has no tangent point",
             {Segment{{0, 0}, {0, 10}}},
             cmd::kSnapTan,
             {0.2, 5},
             base,
             std::nullopt},
            {"tangent wins over nearest",
             {circle},
             cmd::kSnapTan | cmd::kSnapNear,
             {3, 4.5},
             base,
             Vec2{2.5, h}},
        },
        1.0);
}

TEST(ObjectSnap, ApparentIntersection) {
    const Segment across{{0, 0}, {10, 0}};
    checkCases(
        {
            {"two lines that do not touch, both under the aperture",
             {across, Segment{{11, 1}, {11, 10}}},
             cmd::kSnapApp,
             {10.5, 0.5},
             std::nullopt,
             Vec2{11, 0}},
            {"the corner two lines would make, neither under the aperture",
             {Segment{{0, 0}, {8, 0}}, Segment{{10, 2}, {10, 10}}},
             cmd::kSnapApp,
             {10.3, 0.2},
             std::nullopt,
             Vec2{10, 0}},
            {"a corner far from the pick is not taken for lines not aimed at",
             {Segment{{0, 0}, {8, 0}}, Segment{{10, 2}, {10, 10}}},
             cmd::kSnapApp,
             {10.3, 4},
             std::nullopt,
             std::nullopt},
            {"where extensions not aimed at meet far from the pick",
             {Segment{{0, 0}, {8, 0}}, Segment{{14, 1}, {20, 1.3}}},
             cmd::kSnapApp,
             {10.2, 0.5},
             std::nullopt,
             std::nullopt},
            {"lines that cross: their intersection",
             {across, Segment{{5, -5}, {5, 5}}},
             cmd::kSnapApp,
             {5.5, 0.5},
             std::nullopt,
             Vec2{5, 0}},
            {"parallel lines meet nowhere",
             {across, Segment{{0, 1}, {10, 1}}},
             cmd::kSnapApp,
             {5, 0.5},
             std::nullopt,
             std::nullopt},
            {"a line's extension and a circle",
             {Segment{{0, 0}, {5, 0}}, Circle{{10, 0}, 2}},
             cmd::kSnapApp,
             {7.8, 0.3},
             std::nullopt,
             Vec2{8, 0}},
            {"the plain intersection snap does not extend",
             {across, Segment{{11, 1}, {11, 10}}},
             cmd::kSnapInt,
             {10.5, 0.5},
             std::nullopt,
             std::nullopt},
        },
        1.0);
}

TEST(ObjectSnap, Extension) {
    const Segment line{{0, 0}, {10, 0}};
    const auto arc = zel::geom::arcFromAngles({0, 0}, 5, 0, deg(90));
    const zel::geom::Polyline corner{{{{0, 0}, 0}, {{10, 0}, 0}, {{10, 10}, 0}}};
    checkCases(
        {
            {"past the end of a line", {line}, cmd::kSnapExt, {14, 0.5}, std::nullopt, Vec2{14, 0}},
            {"before the start of a line",
             {line},
             cmd::kSnapExt,
             {-3, -0.4},
             std::nullopt,
             Vec2{-3, 0}},
            {"over the line itself: no extension",
             {line},
             cmd::kSnapExt,
             {5, 0.5},
             std::nullopt,
             std::nullopt},
            {"away from the extension path",
             {line},
             cmd::kSnapExt,
             {14, 3},
             std::nullopt,
             std::nullopt},
            {"past the end of an arc",
             {arc},
             cmd::kSnapExt,
             {5.2 * std::cos(deg(120)), 5.2 * std::sin(deg(120))},
             std::nullopt,
             Vec2{5 * std::cos(deg(120)), 5 * std::sin(deg(120))}},
            {"before the start of an arc",
             {arc},
             cmd::kSnapExt,
             {4.6 * std::cos(deg(-30)), 4.6 * std::sin(deg(-30))},
             std::nullopt,
             Vec2{5 * std::cos(deg(-30)), 5 * std::sin(deg(-30))}},
            {"a circle has no ends",
             {Circle{{0, 0}, 5}},
             cmd::kSnapExt,
             {5.2, 0},
             std::nullopt,
             std::nullopt},
            {"past the last vertex of a polyline",
             {corner},
             cmd::kSnapExt,
             {10.4, 14},
             std::nullopt,
             Vec2{10, 14}},
            {"not past an inner vertex of a polyline",
             {corner},
             cmd::kSnapExt,
             {14, 0.3},
             std::nullopt,
             std::nullopt},
            {"past the end of a ray's base",
             {zel::geom::Ray{{0, 0}, {1, 0}}},
             cmd::kSnapExt,
             {-4, 0.2},
             std::nullopt,
             Vec2{-4, 0}},
        },
        1.0);
}

// A line at 30 degrees through the origin and the parallel to it through 0,10.
TEST(ObjectSnap, Parallel) {
    const Vec2 dir{std::cos(deg(30)), std::sin(deg(30))};
    const Segment line{{0, 0}, dir * 10};
    const Vec2 onLine = dir * 9;
    const Vec2 base{0, 10};
    checkCases(
        {
            {"the point of the parallel through the base nearest the pick",
             {line},
             cmd::kSnapPar,
             onLine + Vec2{0.1, -0.1},
             base,
             // the base lies 5 along the direction, the pick 9 + 0.1 (cos 30 - sin 30)
             base + dir * (4 + 0.1 * (dir.x - dir.y))},
            {"no base point", {line}, cmd::kSnapPar, onLine, std::nullopt, std::nullopt},
            {"a circle gives no direction",
             {Circle{{0, 0}, 5}},
             cmd::kSnapPar,
             {5.1, 0},
             base,
             std::nullopt},
            {"a construction line",
             {zel::geom::XLine{{0, 0}, {0, 1}}},
             cmd::kSnapPar,
             {0.3, 4},
             Vec2{7, 1},
             Vec2{7, 4}},
        },
        1.0);
}

// Random circles, bases outside them and picks near them: the tangent snap gives a point of
// the circle where the line from the base touches it, the one of the two nearer the pick.
TEST(ObjectSnap, RandomTangentsTouchTheCircle) {
    std::mt19937 rng(77031);
    auto real = [&](double lo, double hi) { return std::uniform_real_distribution(lo, hi)(rng); };
    for (int i = 0; i < 2000; ++i) {
        Vec2 centre{real(-50, 50), real(-50, 50)};
        double r = real(0.5, 10);
        double away = r * real(1.05, 6), baseAngle = real(0, 2 * M_PI);
        Vec2 base = centre + Vec2{std::cos(baseAngle), std::sin(baseAngle)} * away;
        double pickAngle = real(0, 2 * M_PI);
        Vec2 pick = centre + Vec2{std::cos(pickAngle), std::sin(pickAngle)} * (r + real(-0.3, 0.3));
        SnapScene scene;
        scene.curves = {Circle{centre, r}};
        std::optional<Vec2> p = snapPoint(scene, pick, cmd::kSnapTan, 0.5, base);
        ASSERT_TRUE(p) << i;
        EXPECT_NEAR(zel::geom::dot(*p - base, *p - centre), 0, 1e-9 * away * r) << i;
        EXPECT_NEAR(zel::geom::dist(*p, centre), r, 1e-9 * r) << i;
        // The other tangent point is the mirror image in the line from the centre to the base.
        Vec2 axis = zel::geom::unit(base - centre);
        Vec2 v = *p - centre;
        Vec2 other = centre + axis * (2 * zel::geom::dot(v, axis)) - v;
        EXPECT_LE(zel::geom::dist(*p, pick), zel::geom::dist(other, pick) + 1e-9) << i;
    }
}

class ObjectSnapSession : public SessionTest {
protected:
    // The end points of the last line drawn.
    std::pair<Vec2, Vec2> lastLine() {
        std::vector<AcDbObjectId> lines = entities("LINE");
        EXPECT_FALSE(lines.empty());
        if (lines.empty()) return {};
        AcDbLine* l = nullptr;
        if (acdbOpenObject(l, lines.back(), AcDb::kForRead) != Acad::eOk) return {};
        std::pair<Vec2, Vec2> out{{l->startPoint().x, l->startPoint().y},
                                  {l->endPoint().x, l->endPoint().y}};
        l->close();
        return out;
    }
    void expectNear(Vec2 got, Vec2 expected, const char* what) {
        EXPECT_NEAR(got.x, expected.x, 1e-9) << what << "\n" << transcript();
        EXPECT_NEAR(got.y, expected.y, 1e-9) << what << "\n" << transcript();
    }
};

// TAN typed before a point, and OSMODE 256 on clicks: the line from 10,0 ends where it touches
// the circle of radius 5 round the origin, on the side of the click.
TEST_F(ObjectSnapSession, TangentByOverrideAndByOsmode) {
    const double h = 5 * std::sqrt(3.0) / 2;
    run("CIRCLE 0,0 5\n");
    run("LINE 10,0\nTAN\n!pick 2.6,4.6\n\"\"\n");
    expectNear(lastLine().second, {2.5, h}, "TAN typed");
    run("(setvar \"OSMODE\" 256)\n");
    run("LINE 10,0\n!pick 2.6,-4.6\n\"\"\n");
    expectNear(lastLine().second, {2.5, -h}, "OSMODE 256");
    run("LINE 0,0\n!pick 2.6,-4.6\n\"\"\n");
    expectNear(lastLine().second, {2.6, -4.6}, "from inside the circle: the click as it is");
    run("(setvar \"OSMODE\" 0)\n");
    run("LINE 10,0\n_tangent\n!pick 2.6,-4.6\n\"\"\n");
    expectNear(lastLine().second, {2.5, -h}, "the global spelling");
}

TEST_F(ObjectSnapSession, ExtensionApparentAndParallelByOverride) {
    run("(setvar \"OSMODE\" 0)\nLINE 0,0 10,0 \"\"\nLINE 12,2 12,20 \"\"\n");
    run("LINE\nEXT\n!pick 16,0.5\n16,-10\n\"\"\n");
    expectNear(lastLine().first, {16, 0}, "EXT");
    run("LINE\nAPPINT\n!pick 11.8,0.2\n12,-10\n\"\"\n");
    expectNear(lastLine().first, {12, 0}, "APPINT");
    run("LINE\nAPP\n!pick 11.2,0.7\n12,-10\n\"\"\n");
    expectNear(lastLine().first, {12, 0}, "APP");
    run("LINE 0,30\nPAR\n!pick 12.3,9\n\"\"\n");
    expectNear(lastLine().second, {0, 9}, "PAR to the vertical line, from 0,30");
}

// The extension snap follows end points the user acquired; clicks acquire none, so OSMODE's
// extension bit leaves clicks near an extension alone.
TEST_F(ObjectSnapSession, RunningExtensionLeavesClicksAlone) {
    run("(setvar \"OSMODE\" 4096)\nLINE 0,0 10,0 \"\"\n");
    run("LINE\n!pick 16,0.5\n16,10\n\"\"\n");
    expectNear(lastLine().first, {16, 0.5}, "running EXT");
}

TEST_F(ObjectSnapSession, AcedOsnapTakesTheNewModes) {
    run("CIRCLE 0,0 5\n");
    run("LINE 10,0 20,0 \"\"\n"); // LASTPOINT 20,0: tangents from there
    ads_point in{2.2, 4.9, 0}, out;
    ASSERT_EQ(acedOsnap(in, L"TAN", out), RTNORM);
    EXPECT_NEAR(out[X] * 20 - 25, 0, 1e-9) << "cos of the tangent angle is 5 / 20";
    EXPECT_NEAR(out[X] * out[X] + out[Y] * out[Y], 25, 1e-9);
    ads_point far{40, 40, 0};
    EXPECT_EQ(acedOsnap(far, L"TAN,APP,EXT,PAR", out), RTERROR) << "nothing there";
}

// Object selection is never snapped: a click near the end of one line and on another selects
// the one under the pick box.
TEST_F(ObjectSnapSession, ObjectSelectionIsNotSnapped) {
    run("LINE 0,0 100,0 \"\"\nLINE 100,2 100,50 \"\"\n");
    run("ERASE\n!pick 99,0\n\"\"\n");
    EXPECT_EQ(entities("LINE").size(), 1u);
    EXPECT_NE(dump().find("10=(100,2,0)"), std::string::npos) << "the line picked went";
}

TEST_F(ObjectSnapSession, ClicksAtPointPromptsSnapAndSelectionsDoNot) {
    run("LINE 0,0 100,0 \"\"\n");
    // The default OSMODE has the end snap: a click near the end starts the next line there.
    run("LINE\n!pick 99.5,0.5\n50,50\n\"\"\n");
    EXPECT_NE(dump().find("10=(100,0,0) 11=(50,50,0)"), std::string::npos) << dump();
    // OSMODE 0: the click is taken as it is; END typed before it snaps once.
    run("(setvar \"OSMODE\" 0)\n");
    run("LINE\n!pick 0.5,0.5\n0,50\n\"\"\n");
    EXPECT_NE(dump().find("10=(0.5,0.5,0) 11=(0,50,0)"), std::string::npos) << dump();
    run("LINE\nEND\n!pick 99.5,-0.5\n0,-50\n\"\"\n");
    EXPECT_NE(dump().find("10=(100,0,0) 11=(0,-50,0)"), std::string::npos) << dump();
}

} // namespace
