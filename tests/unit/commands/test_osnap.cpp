// Running object snap: which point each mode offers for the object under the aperture, that
// other modes win over the nearest point, that nothing is taken without an object under the
// aperture, and clicks at point prompts snapped by
// OSMODE and by a one-time override while object selection is never snapped.
#include "commands/osnap.h"
#include "session_fixture.h"

#include <cmath>

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

class ObjectSnapSession : public SessionTest {};

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
