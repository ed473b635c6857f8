// The grouped procedure against the pairwise one on seeded random drawings: the same edits in
// the same order, the same records at the end, the same counters and progress.
//
// Size: the drawing with every option has 20,000 records, the others 5,000 (the pairwise
// procedure is quadratic; under the sanitizers 20,000 records take it several seconds).
// ZEL_DEDUP_RECORDS=N gives every drawing N records.
#include "dedup_fixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <random>

using namespace dedup_test;

namespace {

int recordsPerDrawing(int byDefault) {
    const char* v = std::getenv("ZEL_DEDUP_RECORDS");
    int n = v ? std::atoi(v) : 0;
    return n > 0 ? n : byDefault;
}

// A drawing of pieces of a few supporting lines and circles, in a few attribute groups (some
// differing only in the case of a name), with duplicates, contained pieces, overlaps, pieces
// meeting end to end, arcs closing circles and coordinates near the tolerance.
class Drawing {
public:
    explicit Drawing(unsigned seed) : rng_(seed) {}

    std::vector<DupItem> make(int n) {
        makeBases(n);
        std::vector<DupItem> items;
        items.reserve(n);
        while (static_cast<int>(items.size()) < n) {
            double pick = uniform(0, 1);
            if (pick < 0.12 && !items.empty()) {
                items.push_back(copyOf(items[rng_() % items.size()]));
            } else if (pick < 0.6) {
                items.push_back(linePiece());
            } else {
                items.push_back(roundPiece());
            }
            items.back().id = static_cast<EntityKey>(items.size());
        }
        return items;
    }

private:
    struct BaseLine {
        double x, y, dx, dy; // a point and a unit direction
    };
    struct BaseCircle {
        double x, y, r;
    };

    double uniform(double a, double b) {
        return std::uniform_real_distribution<double>(a, b)(rng_);
    }
    int below(int n) { return static_cast<int>(rng_() % static_cast<unsigned>(n)); }

    // Offsets at and around the tolerance.
    double nearTolerance() {
        const double offsets[] = {0,      0,       0,       0,        3e-7, -3e-7,
                                  9.9e-7, -9.9e-7, 1.01e-6, -1.01e-6, 2e-6};
        return offsets[below(std::size(offsets))];
    }

    void makeBases(int n) {
        int lines = std::max(4, n / 60), circles = std::max(4, n / 80);
        for (int k = 0; k < lines; ++k) {
            double angle;
            switch (below(4)) {
            case 0:
                angle = 0;
                break;
            case 1:
                angle = kPi / 2;
                break;
            case 2:
                angle = kPi / 4;
                break;
            default:
                angle = uniform(0, kPi);
                break;
            }
            baseLines_.push_back(
                {uniform(-5000, 5000), uniform(-5000, 5000), std::cos(angle), std::sin(angle)});
        }
        for (int k = 0; k < circles; ++k)
            baseCircles_.push_back({uniform(-5000, 5000), uniform(-5000, 5000), uniform(1, 50)});
    }

    void attributes(DupItem& r) {
        const wchar_t* layers[] = {L"0", L"0", L"Dim", L"DIM", L"Hidden"};
        const wchar_t* linetypes[] = {L"CONTINUOUS", L"CONTINUOUS", L"Center", L"CENTER"};
        const int colours[] = {7, 7, 1, 256};
        r.layer = layers[below(std::size(layers))];
        r.linetype = linetypes[below(std::size(linetypes))];
        r.colour = colours[below(std::size(colours))];
    }

    // Positions along a base line on a coarse grid of 0.5, so that pieces share ends, with
    // now and then a step near the tolerance.
    double along() { return below(80) * 0.5 + (below(4) == 0 ? nearTolerance() : 0.0); }

    DupItem linePiece() {
        const BaseLine& b = baseLines_[below(static_cast<int>(baseLines_.size()))];
        // Mostly pieces between grid positions; now and then slivers (too short to have a
        // direction for the search) and short pieces whose ends' offsets tilt them.
        double t0 = along(), t1 = along();
        int shape = below(10);
        if (shape == 0) t1 = t0 + uniform(1e-6, 3e-6);
        if (shape == 1) t1 = t0 + uniform(0.01, 0.05);
        double side0 = nearTolerance(), side1 = nearTolerance();
        DupItem r;
        r.kind = DupKind::Line;
        attributes(r);
        r.start = {b.x + t0 * b.dx - side0 * b.dy, b.y + t0 * b.dy + side0 * b.dx, 0};
        r.end = {b.x + t1 * b.dx - side1 * b.dy, b.y + t1 * b.dy + side1 * b.dx, 0};
        return r;
    }

    // Angles on a grid of 15 degrees (arcs meet and close circles), now and then near the
    // tolerance or a hair short of 2pi.
    double angle() {
        double a = below(24) * kPi / 12;
        switch (below(8)) {
        case 0:
            return a + nearTolerance() * 50; // about kAngle
        case 1:
            return a == 0 ? 2 * kPi - 1e-7 : a;
        default:
            return a;
        }
    }

    DupItem roundPiece() {
        const BaseCircle& b = baseCircles_[below(static_cast<int>(baseCircles_.size()))];
        DupItem r;
        attributes(r);
        r.centre = {b.x + nearTolerance(), b.y + nearTolerance(), 0};
        r.radius = b.r + nearTolerance();
        if (below(8) == 0) {
            r.kind = DupKind::Circle;
            r.endAngle = 2 * kPi;
            return r;
        }
        r.kind = DupKind::Arc;
        r.startAngle = angle();
        r.endAngle = angle();
        if (r.endAngle == r.startAngle) r.endAngle += kPi / 3;
        return r;
    }

    // An exact copy, a reversed line, or a copy moved by a near-tolerance step.
    DupItem copyOf(const DupItem& r) {
        DupItem c = r;
        switch (below(3)) {
        case 0:
            break;
        case 1:
            if (c.kind == DupKind::Line) std::swap(c.start, c.end);
            break;
        default:
            c.start.x += nearTolerance();
            c.end.y += nearTolerance();
            c.centre.x += nearTolerance();
            break;
        }
        return c;
    }

    std::mt19937 rng_;
    std::vector<BaseLine> baseLines_;
    std::vector<BaseCircle> baseCircles_;
};

void expectSameRuns(const BothRuns& b) {
    ASSERT_EQ(b.groupedEdits.edits.size(), b.pairwiseEdits.edits.size());
    for (std::size_t k = 0; k < b.groupedEdits.edits.size(); ++k)
        ASSERT_EQ(b.groupedEdits.edits[k], b.pairwiseEdits.edits[k]) << "edit " << k;
    EXPECT_TRUE(b.groupedEdits.refused == b.pairwiseEdits.refused);
    EXPECT_EQ(b.grouped.counters, b.pairwise.counters);
    EXPECT_EQ(b.grouped.result, b.pairwise.result);
    EXPECT_EQ(b.grouped.interrupted, b.pairwise.interrupted);
    EXPECT_TRUE(b.grouped.remaining == b.pairwise.remaining);
    EXPECT_TRUE(b.groupedMonitor.steps == b.pairwiseMonitor.steps);
}

} // namespace

TEST(DedupEquivalence, RandomDrawingsGiveTheSameEdits) {
    struct Row {
        unsigned seed, options;
        int records;
    } rows[] = {
        {3, 0xFF, 20000},
        {1, DupOptions::kDefault, 5000},
        {2, DupOptions::kDefault | DupOptions::Merge, 5000},
        {4, DupOptions::ExactLines | DupOptions::ExactCircles | DupOptions::ExactArcs, 5000},
    };
    for (const Row& row : rows) {
        const int n = recordsPerDrawing(row.records);
        SCOPED_TRACE(testing::Message() << "seed " << row.seed << " options " << row.options);
        std::vector<DupItem> items = Drawing(row.seed).make(n);
        // A few entities cannot be opened.
        std::set<EntityKey> locked;
        for (EntityKey k = row.seed; k <= items.size(); k += 97)
            locked.insert(k);
        BothRuns b;
        auto t0 = std::chrono::steady_clock::now();
        runBoth(b, items, DupOptions(row.options), locked);
        double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        expectSameRuns(b);
        // The drawing exercises every rule it is meant to, and entities that cannot be opened.
        EXPECT_FALSE(b.groupedEdits.refused.empty());
        const DupCounters& c = b.grouped.counters;
        EXPECT_GT(c[DupCounter::DeletedLines], n / 100);
        EXPECT_GT(c[DupCounter::DeletedArcs], n / 100);
        if (row.options & DupOptions::Merge) {
            EXPECT_GT(c[DupCounter::MergedLines], 0);
            EXPECT_GT(c[DupCounter::MergedArcs], 0);
            EXPECT_GT(c[DupCounter::MergedCircles], 0);
        } else if (row.options & DupOptions::PartialLines) {
            EXPECT_GT(c[DupCounter::TrimmedLines], 0);
            EXPECT_GT(c[DupCounter::TrimmedArcs], 0);
        }
        std::printf("seed %u: %d records, %zu edits, both procedures %.2f s\n", row.seed, n,
                    b.groupedEdits.edits.size(), seconds);
    }
}

// A break at any point keeps the work done: the edits so far are those of the full run.
TEST(DedupEquivalence, UserBreakKeepsTheWorkDone) {
    std::vector<DupItem> items = Drawing(7).make(3000);
    DupOptions options(DupOptions::kDefault | DupOptions::Merge);
    BothRuns full;
    runBoth(full, items, options);
    std::mt19937 rng(8);
    for (int round = 0; round < 4; ++round) {
        int breakAfter = static_cast<int>(rng() % 2500);
        SCOPED_TRACE(breakAfter);
        BothRuns b;
        runBoth(b, items, options, {}, breakAfter);
        expectSameRuns(b);
        EXPECT_TRUE(b.grouped.interrupted);
        const auto& edits = b.groupedEdits.edits;
        ASSERT_LT(edits.size(), full.groupedEdits.edits.size());
        EXPECT_TRUE(std::equal(edits.begin(), edits.end(), full.groupedEdits.edits.begin()));
    }
}

// Many small drawings under random option words (any of the 256).
TEST(DedupEquivalence, ManySmallDrawingsUnderEveryKindOfOptions) {
    std::mt19937 rng(99);
    for (unsigned seed = 100; seed < 140; ++seed) {
        unsigned options = rng() & 0xFF;
        SCOPED_TRACE(testing::Message() << "seed " << seed << " options " << options);
        std::vector<DupItem> items = Drawing(seed).make(1500);
        BothRuns b;
        runBoth(b, items, DupOptions(options), {seed, seed + 40, seed + 400});
        expectSameRuns(b);
    }
}
