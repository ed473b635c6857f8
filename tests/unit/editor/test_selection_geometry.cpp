// Window, crossing, polygon and fence selection of every entity kind, through the index of the
// drawing: each kind is made alone in the drawing and tried with a box around it (window and
// crossing find it), a box over part of it (crossing only), a box inside its extents that
// misses its curve (neither: the test looks at the curve, not the box) and a box far off.
#include "editor/selection_query.h"
#include "editor/selection_state.h"
#include "selection_fixture.h"

#include <functional>

using namespace zel::editor;
using zel::geom::Box2;
using zel::geom::Vec2;

namespace {

struct KindCase {
    const char* name;
    std::function<AcDbEntity*(SelectionTest&)> make;
    Box2 around;  // holds the whole entity
    Box2 partial; // holds part of it
    Box2 inside;  // within its extents, away from what it draws
};

Box2 box(double x0, double y0, double x1, double y1) {
    return Box2::of({x0, y0}, {x1, y1});
}

Polygon corners(const Box2& b) {
    return {b.lo, {b.hi.x, b.lo.y}, b.hi, {b.lo.x, b.hi.y}};
}

// A polyline: a half circle below the chord (0,0)-(10,0) (bulge 1 turns counter-clockwise),
// then straight up to (10,10).
AcDbEntity* bulgedPolyline() {
    auto* p = new AcDbPolyline();
    p->addVertexAt(0, AcGePoint2d(0, 0), 1.0);
    p->addVertexAt(1, AcGePoint2d(10, 0));
    p->addVertexAt(2, AcGePoint2d(10, 10));
    return p;
}

// A cubic through (0,0) and (30,0) whose control polygon reaches y = +-10 while the curve
// stays within |y| < 3: positive for x < 15, negative after.
AcDbEntity* spline() {
    std::vector<AcGePoint3d> pts = {{0, 0, 0}, {10, 10, 0}, {20, -10, 0}, {30, 0, 0}};
    return new AcDbSpline(3, false, false, false, pts, {0, 0, 0, 0, 1, 1, 1, 1}, {});
}

const std::vector<KindCase>& kindCases() {
    static const std::vector<KindCase> cases = {
        {"line",
         [](SelectionTest&) {
             return new AcDbLine({0, 0, 0}, {10, 10, 0});
         },
         box(-1, -1, 11, 11), box(5, 5, 20, 20), box(6, 0, 10, 3)},
        {"arc",
         [](SelectionTest&) {
             return new AcDbArc({0, 0, 0}, 10, 0, M_PI / 2);
         },
         box(-1, -1, 11, 11), box(8, -1, 12, 3), box(1, 1, 5, 5)},
        {"arc below the plane (normal -z)",
         [](SelectionTest&) {
             // seen from below: the quarter from 0 to 90 degrees lies at x <= 0, y >= 0
             return new AcDbArc({0, 0, 0}, {0, 0, -1}, 10, 0, M_PI / 2);
         },
         box(-11, -1, 1, 11), box(-12, -1, -8, 3), box(-5, 1, -1, 5)},
        {"circle",
         [](SelectionTest&) {
             return new AcDbCircle({0, 0, 0}, {0, 0, 1}, 10);
         },
         box(-11, -11, 11, 11), box(9, -1, 12, 1), box(-3, -3, 3, 3)},
        {"ellipse",
         [](SelectionTest&) {
             return new AcDbEllipse({0, 0, 0}, {0, 0, 1}, {10, 0, 0}, 0.5);
         },
         box(-11, -6, 11, 6), box(9, -1, 12, 1), box(-2, -2, 2, 2)},
        {"elliptical arc (upper half)",
         [](SelectionTest&) {
             return new AcDbEllipse({0, 0, 0}, {0, 0, 1}, {10, 0, 0}, 0.5, 0, M_PI);
         },
         box(-11, -1, 11, 6), box(-1, 4, 1, 6), box(-3, -4, 3, -1)},
        {"polyline with a bulge", [](SelectionTest&) { return bulgedPolyline(); },
         box(-1, -6, 11, 11), box(4, -6, 6, -4), box(4, 1, 6, 4)},
        {"spline", [](SelectionTest&) { return spline(); }, box(-1, -3, 31, 3), box(-1, -1, 1, 1),
         box(3, -2.5, 5, -1)},
        {"text",
         [](SelectionTest&) {
             return new AcDbText({0, 0, 0}, L"ABC", AcDbObjectId::kNull, 2.5);
         },
         box(-1, -1, 60, 10), box(-1, -1, 1, 1), Box2{}},
        {"insert of a circle, scaled by 2",
         [](SelectionTest& t) {
             AcDbObjectId b = t.block(L"RING");
             t.circle(0, 0, 5, b);
             auto* r = new AcDbBlockReference({100, 0, 0}, b);
             r->setScaleFactors(AcGeScale3d(2, 2, 2));
             return r;
         },
         box(89, -11, 111, 11), box(109, -1, 112, 1), box(97, -3, 103, 3)},
        {"point",
         [](SelectionTest&) {
             return new AcDbPoint({3, 4, 0});
         },
         box(2, 3, 4, 5), Box2{}, Box2{}},
    };
    return cases;
}

class SelectionGeometry : public SelectionTest, public ::testing::WithParamInterface<size_t> {
protected:
    bool found(AcDbObjectId id, const EntityIds& ids) {
        return std::find(ids.begin(), ids.end(), id) != ids.end();
    }
    // Window, crossing, window polygon and crossing polygon over a box (the polygons must agree
    // with the boxes they trace).
    std::pair<bool, bool> tryBox(AcDbObjectId id, const Box2& b) {
        SelectionQuery q(db, &ed.selection().index(db));
        bool w = found(id, q.box(b, Area::Window)), c = found(id, q.box(b, Area::Crossing));
        EXPECT_EQ(found(id, q.polygon(corners(b), Area::Window)), w) << "window polygon";
        EXPECT_EQ(found(id, q.polygon(corners(b), Area::Crossing)), c) << "crossing polygon";
        return {w, c};
    }
};

TEST_P(SelectionGeometry, WindowAndCrossingOfEveryKind) {
    const KindCase& k = kindCases()[GetParam()];
    SCOPED_TRACE(k.name);
    AcDbObjectId id = add(k.make(*this));
    EXPECT_EQ(tryBox(id, k.around), std::make_pair(true, true)) << "box around";
    if (!k.partial.isEmpty()) {
        EXPECT_EQ(tryBox(id, k.partial), std::make_pair(false, true)) << "box over part";
    }
    if (!k.inside.isEmpty()) {
        EXPECT_EQ(tryBox(id, k.inside), std::make_pair(false, false)) << "box inside, off it";
    }
    EXPECT_EQ(tryBox(id, box(1000, 1000, 1010, 1010)), std::make_pair(false, false)) << "far";
    // Erased, it is found by nothing; brought back, by the box around again.
    erase(id);
    EXPECT_EQ(tryBox(id, k.around), std::make_pair(false, false)) << "erased";
    modify<AcDbEntity>(id, [](AcDbEntity& e) { e.erase(false); });
    EXPECT_EQ(tryBox(id, k.around), std::make_pair(true, true)) << "unerased";
}

INSTANTIATE_TEST_SUITE_P(Kinds, SelectionGeometry, ::testing::Range(size_t(0), kindCases().size()));

// Fences through the shapes of the geometry cases' simplest kinds.
TEST(SelectionFence, CrossesCurvesNotTheirBoxes) {
    struct Case {
        const char* name;
        Shape shape;
        std::vector<Vec2> fence;
        bool crosses;
    };
    Shape circle{{zel::geom::Circle{{0, 0}, 10}}, {}};
    Shape segment{{zel::geom::Segment{{0, 0}, {10, 10}}}, {}};
    Shape point{{}, {{5, 5}}};
    const Case cases[] = {
        {"circle crossed", circle, {{-20, 0}, {0, 0}}, true},
        {"fence inside the circle", circle, {{-2, 0}, {2, 0}}, false},
        {"fence bent round the circle", circle, {{-20, -20}, {20, -20}, {20, 20}}, false},
        {"segment crossed by the second leg", segment, {{20, 0}, {20, 5}, {0, 5}}, true},
        {"segment touched at its end", segment, {{10, 10}, {20, 10}}, true},
        {"segment missed", segment, {{1, 0}, {10, 9}}, false},
        {"point on the fence", point, {{0, 5}, {10, 5}}, true},
        {"point off the fence", point, {{0, 6}, {10, 6}}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(crossesFence(c.shape, c.fence), c.crosses) << c.name;
}

// A window polygon that is not convex: a U shape around the middle of a line does not hold it.
TEST(SelectionPolygon, ConcavePolygonsFollowTheirCorners) {
    Polygon u = {{0, 0}, {30, 0}, {30, 30}, {20, 30}, {20, 10}, {10, 10}, {10, 30}, {0, 30}};
    Shape leftArm{{zel::geom::Segment{{2, 15}, {8, 25}}}, {}};
    Shape bridge{{zel::geom::Segment{{5, 20}, {25, 20}}}, {}};
    Shape gap{{zel::geom::Segment{{12, 15}, {18, 25}}}, {}};
    EXPECT_TRUE(insidePolygon(leftArm, u));
    EXPECT_FALSE(insidePolygon(bridge, u));
    EXPECT_TRUE(touchesPolygon(bridge, u));
    EXPECT_FALSE(touchesPolygon(gap, u));
    EXPECT_FALSE(insidePolygon(leftArm, {{0, 0}, {30, 0}})) << "fewer than three corners";
}

} // namespace
