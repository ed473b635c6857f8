// TRIM with every object as a cutting edge in a drawing of 200,000 random lines: one pick of
// the whole command (selection of the edges by Enter, the pick, the trim, its undo step), and
// the search for the cuts around a pick through the spatial index against, as the baseline in
// the same run, trying every entity of the drawing as an edge. Target: a pick under 5 ms.
// EXTEND the same way, every object a boundary: one pick of the command, and the search for
// the nearest crossing ahead of an end through the index against trying every boundary.
//
// bench_trim [LINES] [benchmark flags]
#include "app/session.h"
#include "commands/curve_entities.h"
#include "commands/entities.h"
#include "commands/trim_edges.h"
#include "editor/script.h"
#include "editor/selection_state.h"
#include "geom/cutting.h"
#include "reporter.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <sstream>
#include <string>

namespace {

using zel::geom::Curve;
using zel::geom::Vec2;

// Lines up to 20 units long spread evenly over a square sheet; on average each line is
// crossed a few times (the sheet's side grows with the square root of the count).
constexpr double kLinesPerSquareUnit = 0.01;

struct Drawing {
    int lines = 200000;
    double side = 0;
    std::unique_ptr<zel::app::Session> session;
    std::vector<AcDbObjectId> ids;
    double buildSeconds = 0;
};

Drawing& drawing() {
    static Drawing d;
    return d;
}

void build(Drawing& d) {
    auto t0 = std::chrono::steady_clock::now();
    d.session = std::make_unique<zel::app::Session>();
    d.session->makeCurrent();
    d.side = std::sqrt(d.lines / kLinesPerSquareUnit);
    std::mt19937 rng(2025);
    std::uniform_real_distribution<double> coord(0, d.side), step(-10, 10);
    for (int i = 0; i < d.lines; ++i) {
        AcGePoint3d p(coord(rng), coord(rng), 0);
        auto line = std::make_unique<AcDbLine>(p, p + AcGeVector3d(step(rng), step(rng), 0));
        d.ids.push_back(zel::commands::appendEntity(d.session->database(), std::move(line)));
    }
    zel::editor::Editor& ed = d.session->editor();
    ed.selection().index(d.session->database()).size(); // builds the tree
    d.buildSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// A line of the drawing still there and a parameter along it, at random.
struct Pick {
    AcDbObjectId id;
    Curve curve;
    double t = 0;
};

Pick randomPick(Drawing& d, std::mt19937& rng) {
    for (;;) {
        AcDbObjectId id = d.ids[rng() % d.ids.size()];
        std::optional<Curve> c = zel::commands::curveOfId(id);
        if (!c) continue;
        double t = std::uniform_real_distribution<double>(0, zel::geom::length(*c))(rng);
        return {id, *c, t};
    }
}

void BM_TrimCommandOnePick(benchmark::State& state) {
    Drawing& d = drawing();
    std::mt19937 rng(11);
    zel::commands::Engine& engine = d.session->engine();
    zel::editor::Editor& ed = d.session->editor();
    for (auto _ : state) {
        state.PauseTiming();
        Pick p = randomPick(d, rng);
        Vec2 at = zel::geom::pointAt(p.curve, p.t);
        std::wostringstream script;
        script.precision(17);
        script << L"TRIM \"\" " << at.x << L"," << at.y << L" \"\"\n";
        zel::editor::enqueue(ed.queue(), zel::editor::parseScript(script.str()));
        ed.transcript().clear();
        state.ResumeTiming();
        engine.run();
    }
}

void cuts(benchmark::State& state, bool indexed) {
    Drawing& d = drawing();
    std::mt19937 rng(12);
    zel::commands::EdgeSet all;
    size_t found = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Pick p = randomPick(d, rng);
        state.ResumeTiming();
        std::vector<double> c =
            indexed ? zel::commands::cutParams(d.session->engine(), all, p.id, p.curve, p.t, false)
                    : zel::commands::cutParamsScan(d.session->engine(), p.id, p.curve, false);
        auto pieces = zel::geom::trimAt(p.curve, p.t, c);
        found += pieces ? 1 : 0;
        benchmark::DoNotOptimize(pieces);
    }
    state.counters["trimmed/pick"] = double(found) / double(state.iterations());
}

// EXTEND picked near a random end of a random line (the end that moves), with every object
// a boundary: the whole command as for TRIM.
void BM_ExtendCommandOnePick(benchmark::State& state) {
    Drawing& d = drawing();
    std::mt19937 rng(13);
    zel::commands::Engine& engine = d.session->engine();
    zel::editor::Editor& ed = d.session->editor();
    size_t extended = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Pick p = randomPick(d, rng);
        double len = zel::geom::length(p.curve);
        Vec2 at = zel::geom::pointAt(p.curve, rng() % 2 ? 0.05 * len : 0.95 * len);
        std::wostringstream script;
        script.precision(17);
        script << L"EXTEND \"\" " << at.x << L"," << at.y << L" \"\"\n";
        zel::editor::enqueue(ed.queue(), zel::editor::parseScript(script.str()));
        ed.transcript().clear();
        state.ResumeTiming();
        engine.run();
        state.PauseTiming();
        std::optional<Curve> after = zel::commands::curveOfId(p.id);
        extended += after && zel::geom::length(*after) > len ? 1 : 0;
        state.ResumeTiming();
    }
    state.counters["extended/pick"] = double(extended) / double(state.iterations());
}

// The nearest boundary crossing ahead of a random end: through the index, against trying
// every entity of the drawing as a boundary.
void crossings(benchmark::State& state, bool indexed) {
    Drawing& d = drawing();
    std::mt19937 rng(14);
    zel::commands::EdgeSet all;
    size_t found = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Pick p = randomPick(d, rng);
        bool atStart = rng() % 2 == 0;
        std::optional<zel::geom::CurveEnd> end = zel::geom::curveEnd(p.curve, atStart);
        state.ResumeTiming();
        std::optional<zel::geom::Crossing> x;
        if (indexed) {
            x = zel::commands::boundaryCrossing(d.session->engine(), all, p.id, *end, false);
        } else {
            auto bounds = zel::commands::boundaryCurves(d.session->engine(), all, p.id);
            x = zel::geom::nearestCrossingAhead(*end, bounds, false);
        }
        found += x ? 1 : 0;
        benchmark::DoNotOptimize(x);
    }
    state.counters["extended/pick"] = double(found) / double(state.iterations());
}

void BM_CrossingIndexed(benchmark::State& s) {
    crossings(s, true);
}
void BM_CrossingScan(benchmark::State& s) {
    crossings(s, false);
}

void BM_CutsIndexed(benchmark::State& s) {
    cuts(s, true);
}
void BM_CutsScan(benchmark::State& s) {
    cuts(s, false);
}

BENCHMARK(BM_TrimCommandOnePick)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CutsIndexed)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CutsScan)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ExtendCommandOnePick)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CrossingIndexed)->Unit(benchmark::kMicrosecond);
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
    std::printf("%d lines made and indexed in %.2f s\n", d.lines, d.buildSeconds);
    zel::bench::SecondsReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto& t = reporter.seconds;
    double pickMs = t["BM_TrimCommandOnePick"] * 1e3;
    double ratio = t["BM_CutsIndexed"] > 0 ? t["BM_CutsScan"] / t["BM_CutsIndexed"] : 0.0;
    std::printf("TRIM, one pick with every object an edge: %.3f ms (target < 5 ms: %s)\n", pickMs,
                pickMs < 5 ? "met" : "MISSED");
    std::printf("cuts around a pick: indexed %.4f ms, every edge tried %.2f ms (scan / index = "
                "%.0f)\n",
                t["BM_CutsIndexed"] * 1e3, t["BM_CutsScan"] * 1e3, ratio);
    double extendMs = t["BM_ExtendCommandOnePick"] * 1e3;
    double extendRatio =
        t["BM_CrossingIndexed"] > 0 ? t["BM_CrossingScan"] / t["BM_CrossingIndexed"] : 0.0;
    std::printf("EXTEND, one pick with every object a boundary: %.3f ms (as TRIM, < 5 ms: %s)\n",
                extendMs, extendMs < 5 ? "met" : "MISSED");
    std::printf("crossing ahead of an end: indexed %.4f ms, every boundary tried %.2f ms (scan / "
                "index = %.0f)\n",
                t["BM_CrossingIndexed"] * 1e3, t["BM_CrossingScan"] * 1e3, extendRatio);
    benchmark::Shutdown();
    d.session.reset(); // before the statics of the host go
    return 0;
}
