// Boundaries and areas: a table of figures (islands, touching curves, open figures, points on
// curves) and seeded random arrangements of lines, arcs, circles and rectangles whose boundary
// areas are checked against a flood fill of a fine grid (the face holding the point, found
// without the arrangement). ZEL_PROPERTY_CASES sets the number of random cases.
#include "geom/area.h"
#include "geom/boundary.h"
#include "geom/bulge.h"
#include "geom/closest.h"
#include "geom/intersect.h"
#include "kernel_random.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>

namespace zel::geom {
namespace {

using testing::CurveRandom;

int caseCount(int byDefault) {
    const char* v = std::getenv("ZEL_PROPERTY_CASES");
    return v ? std::max(1, std::atoi(v)) : byDefault;
}

Polyline rectangle(Vec2 lo, Vec2 hi) {
    return {{{lo, 0}, {{hi.x, lo.y}, 0}, {hi, 0}, {{lo.x, hi.y}, 0}}, true};
}

double faceArea(const Boundary& b) {
    double a = loopArea(b.outer);
    for (const Loop& island : b.islands)
        a -= std::fabs(loopArea(island));
    return a;
}

TEST(KernelBoundary, Figures) {
    struct Case {
        const char* name;
        std::vector<Curve> curves;
        Vec2 point;
        BoundaryOptions options;
        BoundaryStatus status;
        double area; // of the face (outer less islands)
        size_t islands;
    };
    Polyline square = rectangle({0, 0}, {10, 10});
    BoundaryOptions noIslands{false, BoundaryRay::PlusX};
    const Case cases[] = {
        {"a square", {square}, {5, 5}, {}, BoundaryStatus::Found, 100, 0},
        {"a square of four lines",
         {Segment{{0, 0}, {10, 0}}, Segment{{10, 0}, {10, 10}}, Segment{{10, 10}, {0, 10}},
          Segment{{0, 10}, {0, 0}}},
         {2, 8},
         {},
         BoundaryStatus::Found,
         100,
         0},
        {"a circle island",
         {square, Circle{{5, 5}, 2}},
         {1, 1},
         {},
         BoundaryStatus::Found,
         100 - kPi * 4,
         1},
        {"inside the island",
         {square, Circle{{5, 5}, 2}},
         {5, 5},
         {},
         BoundaryStatus::Found,
         kPi * 4,
         0},
        {"islands off",
         {square, Circle{{5, 5}, 2}},
         {1, 1},
         noIslands,
         BoundaryStatus::Found,
         100,
         0},
        {"a nested island is not an island of the outer face",
         {square, Circle{{5, 5}, 3}, Circle{{5, 5}, 1}},
         {0.5, 0.5},
         {},
         BoundaryStatus::Found,
         100 - kPi * 9,
         1},
        {"a line across halves the square",
         {square, Segment{{-2, 5}, {12, 5}}},
         {5, 2},
         {},
         BoundaryStatus::Found,
         50,
         0},
        {"a dangling line inside is no boundary",
         {square, Segment{{5, 0}, {5, 6}}},
         {2, 2},
         {},
         BoundaryStatus::Found,
         100,
         0},
        {"a circle crossing the side",
         {square, Circle{{10, 5}, 2}},
         {5, 5},
         {},
         BoundaryStatus::Found,
         100 - kPi * 2,
         0},
        {"a circle touching the side from inside",
         {square, Circle{{8, 5}, 2}},
         {3, 5},
         {},
         BoundaryStatus::Found,
         100 - kPi * 4,
         0},
        {"three sides are open",
         {Segment{{0, 0}, {10, 0}}, Segment{{10, 0}, {10, 10}}, Segment{{10, 10}, {0, 10}}},
         {5, 5},
         {},
         BoundaryStatus::Open,
         0,
         0},
        {"outside everything", {square}, {20, 5}, {}, BoundaryStatus::NotInside, 0, 0},
        {"on a curve", {square}, {10, 5}, {}, BoundaryStatus::OnCurve, 0, 0},
        {"an ellipse",
         {Ellipse{{0, 0}, {4, 0}, 0.5, 0, kTwoPi}},
         {1, 0},
         {},
         BoundaryStatus::Found,
         kPi * 4 * 2,
         0},
        {"a slot of arcs and lines",
         {Polyline{{{{0, 0}, 0}, {{4, 0}, 1}, {{4, 2}, 0}, {{0, 2}, 1}}, true}},
         {2, 1},
         {},
         BoundaryStatus::Found,
         8 + kPi,
         0},
        {"far from the origin (vertex cells of large coordinates)",
         {rectangle({2e4, -3e4}, {2e4 + 10, -3e4 + 10}), Circle{{2e4 + 5, -3e4 + 5}, 2}},
         {2e4 + 1, -3e4 + 1},
         {},
         BoundaryStatus::Found,
         100 - kPi * 4,
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Boundary b = findBoundary(c.curves, c.point, c.options);
        ASSERT_EQ(int(b.status), int(c.status));
        if (c.status == BoundaryStatus::Open) {
            ASSERT_TRUE(b.opening);
            EXPECT_NEAR(b.opening->x, 0, 1e-9);
        }
        if (c.status != BoundaryStatus::Found) continue;
        EXPECT_NEAR(faceArea(b), c.area, 1e-6);
        EXPECT_EQ(b.islands.size(), c.islands);
        Polyline outline = loopPolyline(b.outer, 1e-7);
        EXPECT_NEAR(signedArea(outline), loopArea(b.outer), 1e-5);
    }
}

TEST(KernelBoundary, AreasOfCurves) {
    EXPECT_NEAR(*enclosedArea(Circle{{3, 3}, 2}), kPi * 4, 1e-12);
    EXPECT_NEAR(*enclosedArea(arcFromAngles({0, 0}, 1, 0, kPi)), kPi / 2, 1e-12);
    EXPECT_NEAR(*enclosedArea(Ellipse{{1, 1}, {0, 3}, 0.5, 0, kTwoPi}), kPi * 3 * 1.5, 1e-9);
    EXPECT_NEAR(*enclosedArea(rectangle({1, 1}, {4, 3})), 6, 1e-12);
    EXPECT_NEAR(*enclosedArea(Segment{{0, 0}, {5, 5}}), 0, 1e-12);
    EXPECT_FALSE(enclosedArea(Ray{{0, 0}, {1, 0}}));
    EXPECT_NEAR(*perimeter(rectangle({1, 1}, {4, 3}), false), 10, 1e-12);
    EXPECT_NEAR(*perimeter(Segment{{0, 0}, {3, 4}}, true), 10, 1e-12);
    std::vector<Vec2> tri{{0, 0}, {4, 0}, {0, 3}};
    EXPECT_NEAR(polygonArea(tri), 6, 1e-12);
    EXPECT_NEAR(polygonPerimeter(tri), 12, 1e-12);
}

// The face holding p found on a grid: cells touched by a curve are walls, the rest is filled
// from p's cell. The face's area lies between the filled cells' area and that plus the walls
// next to them; reaching the grid's edge means no closed face holds p.
class GridFace {
public:
    static constexpr int kCells = 256;
    static constexpr double kSide = 24; // the grid covers [-12, 12] squared

    explicit GridFace(const std::vector<Curve>& curves) : mWall(kCells * kCells, false) {
        for (const Curve& c : curves)
            paint(c);
    }

    struct Result {
        bool bounded = true;
        double low = 0, high = 0;
    };

    bool onWall(Vec2 p) const { return mWall[index(cellOf(p.x), cellOf(p.y))]; }

    Result fill(Vec2 p) const {
        Result r;
        std::vector<char> seen(mWall.size(), 0);
        std::deque<int> todo{index(cellOf(p.x), cellOf(p.y))};
        seen[todo.front()] = 1;
        int filled = 0, walls = 0;
        while (!todo.empty()) {
            int k = todo.front();
            todo.pop_front();
            if (mWall[k]) {
                ++walls;
                continue;
            }
            ++filled;
            int i = k % kCells, j = k / kCells;
            if (i == 0 || j == 0 || i == kCells - 1 || j == kCells - 1) r.bounded = false;
            for (auto [di, dj] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
                int ni = i + di, nj = j + dj;
                if (ni < 0 || nj < 0 || ni >= kCells || nj >= kCells) continue;
                int nk = index(ni, nj);
                if (!seen[nk]) seen[nk] = 1, todo.push_back(nk);
            }
        }
        double cell = (kSide / kCells) * (kSide / kCells);
        r.low = filled * cell;
        r.high = (filled + walls) * cell;
        return r;
    }

private:
    static int cellOf(double v) {
        return std::clamp(int(std::floor((v + kSide / 2) / kSide * kCells)), 0, kCells - 1);
    }
    static int index(int i, int j) { return j * kCells + i; }

    // Marks the cells along the curve, with the cells beside diagonal steps, so that walls
    // leave no gap between edge-adjacent cells.
    void paint(const Curve& c) {
        double step = kSide / kCells / 16;
        double len = length(c);
        int n = std::max(2, int(len / step));
        int pi = -1, pj = -1;
        for (int k = 0; k <= n; ++k) {
            Vec2 q = pointAt(c, paramAtLength(c, len * k / n));
            int i = cellOf(q.x), j = cellOf(q.y);
            mWall[index(i, j)] = true;
            if (pi >= 0 && pi != i && pj != j) {
                mWall[index(pi, j)] = true;
                mWall[index(i, pj)] = true;
            }
            pi = i, pj = j;
        }
    }

    std::vector<bool> mWall;
};

std::vector<Curve> randomArrangement(CurveRandom& rnd) {
    std::vector<Curve> curves;
    if (rnd.coin()) curves.push_back(rectangle({-10.5, -10.5}, {10.5, 10.5})); // a frame
    int count = rnd.integer(3, 9);
    for (int k = 0; k < count; ++k) {
        switch (rnd.integer(0, 3)) {
        case 0: {
            Vec2 a = rnd.point(10), b = rnd.point(10);
            if (dist(a, b) > 1) curves.push_back(Segment{a, b});
            break;
        }
        case 1:
            curves.push_back(arcFromAngles(rnd.point(5), rnd.real(1, 4), rnd.real(0, kTwoPi),
                                           rnd.real(0, kTwoPi)));
            break;
        case 2:
            curves.push_back(Circle{rnd.point(5), rnd.real(0.5, 4)});
            break;
        case 3: {
            Vec2 a = rnd.point(8), b = rnd.point(8);
            Vec2 lo{std::min(a.x, b.x), std::min(a.y, b.y)},
                hi{std::max(a.x, b.x), std::max(a.y, b.y)};
            if (hi.x - lo.x > 0.5 && hi.y - lo.y > 0.5) curves.push_back(rectangle(lo, hi));
            break;
        }
        }
    }
    return curves;
}

// Can the grid tell the faces apart? Not where curves pass closer than a few cells without
// meeting: walls of the grid close such gaps.
bool gridCanTell(const std::vector<Curve>& curves) {
    const double near = 3 * GridFace::kSide / GridFace::kCells;
    for (size_t i = 0; i < curves.size(); ++i) {
        if (!isClosed(curves[i]) && dist(startPoint(curves[i]), endPoint(curves[i])) < near)
            return false; // an arc all but closed
        for (size_t j = 0; j < curves.size(); ++j) {
            if (i == j) continue;
            if (!isClosed(curves[i])) {
                for (Vec2 e : {startPoint(curves[i]), endPoint(curves[i])}) {
                    double d = closest(curves[j], e).distance;
                    if (d > 1e-9 && d < near) return false;
                }
            }
            // Passing near each other away from where they cross.
            std::vector<Hit> hits = intersect(curves[i], curves[j]).hits;
            for (Vec2 q : testing::samples(curves[i], 200)) {
                bool byCrossing = std::any_of(hits.begin(), hits.end(), [&](const Hit& h) {
                    return dist(h.point, q) < 4 * near;
                });
                if (!byCrossing && closest(curves[j], q).distance < near) return false;
            }
        }
    }
    return true;
}

TEST(KernelBoundary, RandomFacesAgreeWithAFloodFill) {
    CurveRandom rnd(603);
    int n = caseCount(300), found = 0, open = 0;
    for (int i = 0; i < n; ++i) {
        std::vector<Curve> curves = randomArrangement(rnd);
        Vec2 p = rnd.point(7);
        if (!gridCanTell(curves)) continue;
        Boundary b = findBoundary(curves, p);
        if (b.status == BoundaryStatus::OnCurve) continue;
        GridFace faces(curves);
        if (faces.onWall(p)) continue; // too near a curve for the grid to tell
        GridFace::Result grid = faces.fill(p);
        SCOPED_TRACE("case " + std::to_string(i));
        if (b.status != BoundaryStatus::Found) {
            ++open;
            EXPECT_FALSE(grid.bounded) << "a closed face holds the point";
            continue;
        }
        ++found;
        EXPECT_TRUE(grid.bounded) << "the face found is not closed on the grid";
        double a = faceArea(b);
        double slack = GridFace::kSide * GridFace::kSide / GridFace::kCells / GridFace::kCells / 2;
        EXPECT_GE(a, grid.low - slack);
        EXPECT_LE(a, grid.high + slack);
        EXPECT_GT(loopArea(b.outer), 0);
        if (::testing::Test::HasFailure()) return;
    }
    EXPECT_GT(found, n / 8);
    EXPECT_GT(open, n / 20);
}

} // namespace
} // namespace zel::geom
