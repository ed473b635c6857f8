// The spatial index against a brute-force scan: box and point queries, removals, nearest ids,
// packed and grown trees, unbounded boxes.
#include "geom/spatial_index.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <set>

namespace zel::geom {
namespace {

struct Item {
    int id;
    Box2 box;
};

class Boxes {
public:
    explicit Boxes(unsigned seed) : mRng(seed) {}
    double real(double lo, double hi) {
        return std::uniform_real_distribution<double>(lo, hi)(mRng);
    }
    Box2 box(double world = 1000, double size = 10) {
        Vec2 p{real(-world, world), real(-world, world)};
        return Box2::of(p, p + Vec2{real(0, size), real(0, size)});
    }
    // Now and then a box without end (a ray or a construction line) or a point.
    Box2 mixedBox() {
        double pick = real(0, 1);
        if (pick < 0.02) return {{-kInf, real(-100, 100)}, {kInf, real(100, 200)}};
        if (pick < 0.05) {
            Vec2 p{real(-1000, 1000), real(-1000, 1000)};
            return Box2::of(p, p);
        }
        return box();
    }

private:
    std::mt19937 mRng;
};

std::set<int> bruteQuery(const std::vector<Item>& items, const Box2& area) {
    std::set<int> out;
    for (const Item& it : items) {
        if (it.box.overlaps(area)) out.insert(it.id);
    }
    return out;
}

std::set<int> asSet(const std::vector<int>& ids) {
    return {ids.begin(), ids.end()};
}

TEST(KernelSpatial, QueriesMatchAScan) {
    Boxes rnd(81);
    for (bool packed : {false, true}) {
        std::vector<Item> items;
        for (int i = 0; i < 5000; ++i) {
            items.push_back({i, rnd.mixedBox()});
        }
        SpatialIndex<int> index;
        if (packed) {
            std::vector<std::pair<int, Box2>> list;
            for (const Item& it : items) {
                list.emplace_back(it.id, it.box);
            }
            index.build(list);
        } else {
            for (const Item& it : items) {
                index.insert(it.id, it.box);
            }
        }
        EXPECT_EQ(index.size(), items.size());
        for (int q = 0; q < 300; ++q) {
            Box2 area = q % 3 == 0 ? rnd.box(1100, 300) : rnd.box(1100, 5);
            EXPECT_EQ(asSet(index.query(area)), bruteQuery(items, area)) << "packed " << packed;
            Vec2 p{rnd.real(-1000, 1000), rnd.real(-1000, 1000)};
            EXPECT_EQ(asSet(index.query(p)), bruteQuery(items, Box2::of(p, p)));
        }
    }
}

TEST(KernelSpatial, RemovalsMatchAScan) {
    Boxes rnd(82);
    std::vector<Item> items;
    SpatialIndex<int> index;
    for (int i = 0; i < 4000; ++i) {
        items.push_back({i, rnd.mixedBox()});
        index.insert(i, items.back().box);
    }
    EXPECT_FALSE(index.remove(99999, items[0].box));
    EXPECT_FALSE(index.remove(1, items[2].box)); // an id with another box is not there
    std::vector<Item> kept;
    for (const Item& it : items) {
        if (it.id % 3 == 0) {
            EXPECT_TRUE(index.remove(it.id, it.box)) << it.id;
        } else {
            kept.push_back(it);
        }
    }
    EXPECT_EQ(index.size(), kept.size());
    for (int q = 0; q < 300; ++q) {
        Box2 area = rnd.box(1100, 200);
        EXPECT_EQ(asSet(index.query(area)), bruteQuery(kept, area));
    }
    // Emptied completely and filled again.
    for (const Item& it : kept) {
        EXPECT_TRUE(index.remove(it.id, it.box));
    }
    EXPECT_TRUE(index.empty());
    EXPECT_TRUE(index.query(Box2{{-kInf, -kInf}, {kInf, kInf}}).empty());
    index.insert(7, Box2::of({0, 0}, {1, 1}));
    EXPECT_EQ(index.query(Vec2{0.5, 0.5}), std::vector<int>{7});
}

// Distance from p to a segment: the "exact" distance of an id in the nearest-id test.
double segmentDistance(Vec2 a, Vec2 b, Vec2 p) {
    Vec2 d = b - a;
    double t = std::clamp(dot(p - a, d) / dot(d, d), 0.0, 1.0);
    return dist(a + d * t, p);
}

TEST(KernelSpatial, NearestMatchesAScan) {
    Boxes rnd(83);
    std::vector<std::pair<Vec2, Vec2>> segments;
    SpatialIndex<int> index;
    for (int i = 0; i < 3000; ++i) {
        Box2 b = rnd.box(1000, 30);
        Vec2 a = b.lo, c = rnd.real(0, 1) < 0.5 ? b.hi : Vec2{b.lo.x, b.hi.y};
        segments.emplace_back(a, c);
        index.insert(i, Box2::of(a, c));
    }
    auto exact = [&](Vec2 p) {
        return [&segments, p](const int& id) {
            return segmentDistance(segments[id].first, segments[id].second, p);
        };
    };
    for (int q = 0; q < 300; ++q) {
        Vec2 p{rnd.real(-1100, 1100), rnd.real(-1100, 1100)};
        auto found = index.nearest(p, exact(p));
        ASSERT_TRUE(found);
        double best = kInf;
        for (size_t i = 0; i < segments.size(); ++i) {
            best = std::min(best, exact(p)(int(i)));
        }
        EXPECT_DOUBLE_EQ(exact(p)(*found), best);
        EXPECT_FALSE(index.nearest(p, exact(p), best * 0.999));
        // Without an exact distance the nearest box wins.
        auto byBox = index.nearest(p);
        ASSERT_TRUE(byBox);
        double nearestBox = kInf;
        for (const auto& s : segments) {
            nearestBox = std::min(nearestBox, Box2::of(s.first, s.second).distanceTo(p));
        }
        EXPECT_DOUBLE_EQ(Box2::of(segments[*byBox].first, segments[*byBox].second).distanceTo(p),
                         nearestBox);
    }
    EXPECT_FALSE(SpatialIndex<int>().nearest({0, 0}));
}

TEST(KernelSpatial, ManyBoxesAnswerPointQueriesQuickly) {
    Boxes rnd(84);
    std::vector<std::pair<int, Box2>> list;
    for (int i = 0; i < 200000; ++i) {
        list.emplace_back(i, rnd.box(10000, 5));
    }
    SpatialIndex<int> index;
    index.build(list);
    std::vector<Vec2> points;
    for (int q = 0; q < 20000; ++q) {
        points.push_back({rnd.real(-10000, 10000), rnd.real(-10000, 10000)});
    }
    size_t hits = 0;
    auto start = std::chrono::steady_clock::now();
    for (Vec2 p : points) {
        hits += index.query(p).size();
    }
    double each = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() /
                  points.size();
    // A scan of 200 000 boxes takes milliseconds even unoptimised; the tree must be far quicker.
    EXPECT_LT(each, 200e-6) << "seconds per point query";
    RecordProperty("point_query_us", std::to_string(each * 1e6));
    for (int q = 0; q < 50; ++q) {
        Box2 area = Box2::of(points[q], points[q]);
        std::set<int> brute;
        for (const auto& [id, box] : list) {
            if (box.overlaps(area)) brute.insert(id);
        }
        EXPECT_EQ(asSet(index.query(area)), brute);
    }
    EXPECT_GT(hits, 0u);
}

} // namespace
} // namespace zel::geom
