// Corners of offset polylines where the offset segments part (OFFSETGAPTYPE): extended,
// rounded about the vertex, or chamfered by a line at the distance from it. Areas of a
// square's offsets by hand; random polylines are in the offset loop tests.
#include "geom/bulge.h"
#include "geom/closest.h"
#include "geom/offset.h"

#include <gtest/gtest.h>

namespace zel::geom {
namespace {

Polyline square(double side) {
    return {{{{0, 0}, 0}, {{side, 0}, 0}, {{side, side}, 0}, {{0, side}, 0}}, true};
}

TEST(KernelOffsetGap, SquareAreasByHand) {
    const double d = 10, h = d * (std::sqrt(2.0) - 1); // corner cut of the chamfer
    struct Case {
        const char* name;
        OffsetGap gap;
        double outward, inward;
        size_t vertices;
    } cases[] = {
        {"extended", OffsetGap::Extend, 120 * 120, 80 * 80, 4},
        {"rounded", OffsetGap::Fillet, 10000 + 4000 + kPi * 100, 80 * 80, 8},
        {"chamfered", OffsetGap::Chamfer, 120 * 120 - 4 * h * h, 80 * 80, 8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // The square runs counter-clockwise: its right is outside.
        auto out = offset(square(100), -d, 1e-9, nullptr, c.gap);
        ASSERT_TRUE(out);
        const auto& p = std::get<Polyline>(*out);
        EXPECT_EQ(p.vertices.size(), c.vertices);
        EXPECT_NEAR(std::fabs(signedArea(p)), c.outward, 1e-9);
        auto in = offset(square(100), d, 1e-9, nullptr, c.gap); // inside corners meet
        ASSERT_TRUE(in);
        EXPECT_NEAR(std::fabs(signedArea(std::get<Polyline>(*in))), c.inward, 1e-9);
    }
}

// Each chamfer line of the square's offset lies at the distance from its corner.
TEST(KernelOffsetGap, ChamferLinesTouchTheCornerCircle) {
    auto out = offset(square(100), -10, 1e-9, nullptr, OffsetGap::Chamfer);
    ASSERT_TRUE(out);
    const auto& p = std::get<Polyline>(*out);
    Polyline source = square(100);
    for (int s = 0; s < segmentCount(p); ++s) {
        PolySegment seg = segmentOf(p, s);
        Curve line = curveOf(seg);
        double nearest = 1e300;
        for (const BulgeVertex& v : source.vertices)
            nearest = std::min(nearest, closest(line, v.point).distance);
        EXPECT_NEAR(nearest, 10, 1e-9) << "segment " << s;
    }
}

} // namespace
} // namespace zel::geom
