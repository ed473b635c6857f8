// Picks and crossing windows in a drawing of 1,000,000 lines, through the spatial index of the
// editor and, as the baseline in the same run, by a scan of every entity (what selection costs
// without the index). Targets: a pick under 1 ms, a crossing window selecting 10,000 lines
// under 20 ms. The ratios scan / index are printed at the end.
//
// bench_selection [LINES] [benchmark flags]
#include "editor/selection_query.h"
#include "editor/selection_state.h"
#include "reporter.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>

namespace {

using zel::editor::Area;
using zel::editor::Candidates;
using zel::editor::EntityIds;
using zel::editor::SelectionQuery;
using zel::geom::Box2;
using zel::geom::Vec2;

// The drawing: lines up to 20 units long spread evenly over a square sheet sized so that a
// square window of side kWindow, crossing, selects about kWindowLines of them.
constexpr double kWindow = 1000;
constexpr double kWindowLines = 10000;

struct Drawing {
    int lines = 1000000;
    double side = 0;
    std::unique_ptr<AcDbDatabase> db;
    std::unique_ptr<zel::editor::Editor> editor;
    double buildSeconds = 0, indexSeconds = 0;
    size_t windowCount = 0;
};

Drawing& drawing() {
    static Drawing d;
    return d;
}

void build(Drawing& d) {
    using Clock = std::chrono::steady_clock;
    auto t0 = Clock::now();
    d.side = kWindow * std::sqrt(d.lines / kWindowLines);
    d.db = std::make_unique<AcDbDatabase>();
    d.editor = std::make_unique<zel::editor::Editor>();
    d.editor->setDatabase(d.db.get());
    AcDbBlockTableRecord* space = nullptr;
    acdbOpenObject(space, d.db->modelSpaceId(), AcDb::kForWrite);
    std::mt19937 rng(2024);
    std::uniform_real_distribution<double> coord(0, d.side), step(-10, 10);
    for (int i = 0; i < d.lines; ++i) {
        AcGePoint3d p(coord(rng), coord(rng), 0);
        auto* line = new AcDbLine(p, p + AcGeVector3d(step(rng), step(rng), 0));
        space->appendAcDbEntity(line);
        line->close();
    }
    space->close();
    d.buildSeconds = std::chrono::duration<double>(Clock::now() - t0).count();
    t0 = Clock::now();
    zel::editor::EntityIndex& index = d.editor->selection().index(*d.db);
    index.size();               // builds the tree
    index.rank(AcDbObjectId()); // and the draw order
    d.indexSeconds = std::chrono::duration<double>(Clock::now() - t0).count();
}

SelectionQuery query(Drawing& d, Candidates how) {
    return SelectionQuery(*d.db, &d.editor->selection().index(*d.db), how);
}

// Picks at random points of the sheet with the pick box of the default view.
void pick(benchmark::State& state, Candidates how) {
    Drawing& d = drawing();
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> coord(0, d.side);
    double aperture = zel::editor::pickAperture(*d.editor);
    size_t found = 0;
    for (auto _ : state) {
        Vec2 p{coord(rng), coord(rng)};
        EntityIds ids = query(d, how).pick(p, aperture);
        found += ids.size();
        benchmark::DoNotOptimize(ids.data());
    }
    state.counters["found/pick"] = double(found) / double(state.iterations());
}

// A crossing window of side kWindow in the middle of the sheet.
void crossing(benchmark::State& state, Candidates how) {
    Drawing& d = drawing();
    Vec2 c{d.side / 2, d.side / 2};
    Box2 window = Box2::of(c, c).expanded(kWindow / 2);
    size_t found = 0;
    for (auto _ : state) {
        EntityIds ids = query(d, how).box(window, Area::Crossing);
        found = ids.size();
        benchmark::DoNotOptimize(ids.data());
    }
    state.counters["selected"] = double(found);
    d.windowCount = found;
}

void BM_PickIndexed(benchmark::State& s) {
    pick(s, Candidates::Indexed);
}
void BM_PickScan(benchmark::State& s) {
    pick(s, Candidates::Scan);
}
void BM_CrossingIndexed(benchmark::State& s) {
    crossing(s, Candidates::Indexed);
}
void BM_CrossingScan(benchmark::State& s) {
    crossing(s, Candidates::Scan);
}

BENCHMARK(BM_PickIndexed)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PickScan)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_CrossingIndexed)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CrossingScan)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv) {
    Drawing& d = drawing();
    if (argc > 1 && argv[1][0] != '-') {
        d.lines = std::max(1000, std::atoi(argv[1]));
        --argc, ++argv;
    }
    benchmark::Initialize(&argc, argv);
    build(d);
    std::printf("%d lines made in %.2f s; index and draw order built in %.2f s\n", d.lines,
                d.buildSeconds, d.indexSeconds);
    zel::bench::SecondsReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto& t = reporter.seconds;
    auto ratio = [&](const char* scan, const char* indexed) {
        return t.count(scan) && t.count(indexed) && t[indexed] > 0 ? t[scan] / t[indexed] : 0.0;
    };
    double pickMs = t["BM_PickIndexed"] * 1e3, windowMs = t["BM_CrossingIndexed"] * 1e3;
    std::printf("pick: %.4f ms (target < 1 ms: %s); scan / index = %.0f\n", pickMs,
                pickMs < 1 ? "met" : "MISSED", ratio("BM_PickScan", "BM_PickIndexed"));
    std::printf("crossing window selecting %zu lines: %.2f ms (target < 20 ms: %s); "
                "scan / index = %.1f\n",
                d.windowCount, windowMs, windowMs < 20 ? "met" : "MISSED",
                ratio("BM_CrossingScan", "BM_CrossingIndexed"));
    benchmark::Shutdown();
    return 0;
}
