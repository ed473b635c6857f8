// The rules of duplicate removal case by case: each case runs through both procedures, which
// must make exactly the edits listed and end with the counters listed.
#include "dedup_fixture.h"

#include <gtest/gtest.h>

#include <initializer_list>

using namespace dedup_test;

namespace {

constexpr unsigned O0 = DupOptions::ExactLines, O1 = DupOptions::ExactCircles,
                   O2 = DupOptions::ExactArcs, O3 = DupOptions::PartialLines,
                   O4 = DupOptions::PartialCircles, O5 = DupOptions::PartialArcs,
                   O6 = DupOptions::Merge;

Edit erased(EntityKey k) {
    return {Edit::Erase, k, {}, {}, 0, 0};
}
Edit lineTo(EntityKey k, double x1, double y1, double x2, double y2) {
    return {Edit::SetLine, k, {x1, y1, 0}, {x2, y2, 0}, 0, 0};
}
Edit arcTo(EntityKey k, double sDeg, double eDeg) {
    return {Edit::SetArc, k, {}, {}, sDeg * kPi / 180, eDeg * kPi / 180};
}
Edit toCircle(EntityKey k) {
    return {Edit::ToCircle, k, {}, {}, 0, 0};
}

// Deleted lines, circles, arcs; trimmed lines, arcs; merged lines, circles, arcs.
DupCounters counts(std::initializer_list<int> v) {
    DupCounters c;
    int k = 0;
    for (int x : v)
        c.values[k++] = x;
    return c;
}

struct Case {
    const char* name;
    unsigned options;
    std::vector<DupItem> items;
    std::vector<Edit> edits;
    DupCounters counters;
    std::set<EntityKey> locked = {};
};

bool nearEdit(const Edit& a, const Edit& b) {
    auto near = [](double x, double y) { return std::abs(x - y) < 1e-9; };
    return a.op == b.op && a.key == b.key && near(a.a.x, b.a.x) && near(a.a.y, b.a.y) &&
           near(a.b.x, b.b.x) && near(a.b.y, b.b.y) && near(a.s, b.s) && near(a.e, b.e);
}

void check(const Case& c) {
    SCOPED_TRACE(c.name);
    BothRuns b;
    runBoth(b, c.items, DupOptions(c.options), c.locked);
    ASSERT_EQ(b.groupedEdits.edits, b.pairwiseEdits.edits);
    EXPECT_EQ(b.groupedEdits.refused, b.pairwiseEdits.refused);
    EXPECT_EQ(b.groupedEdits.refused.empty(), c.locked.empty());
    EXPECT_EQ(b.grouped.counters, b.pairwise.counters);
    EXPECT_EQ(b.grouped.remaining, b.pairwise.remaining);
    EXPECT_EQ(b.groupedMonitor.steps, b.pairwiseMonitor.steps);
    const std::vector<Edit>& got = b.groupedEdits.edits;
    ASSERT_EQ(got.size(), c.edits.size());
    for (std::size_t k = 0; k < got.size(); ++k)
        EXPECT_TRUE(nearEdit(got[k], c.edits[k])) << "edit " << k << ": " << got[k];
    EXPECT_EQ(b.grouped.counters, c.counters);
    EXPECT_EQ(b.grouped.result, c.counters.total());
}

} // namespace

TEST(DedupLines, CaseTable) {
    const Case cases[] = {
        {"identical lines, exact option: the later one goes",
         O0,
         {line(1, 0, 0, 10, 0), line(2, 0, 0, 10, 0)},
         {erased(2)},
         counts({1, 0, 0, 0, 0, 0, 0, 0})},
        {"identical but reversed",
         O0,
         {line(1, 0, 0, 10, 0), line(2, 10, 0, 0, 0)},
         {erased(2)},
         counts({1, 0, 0, 0, 0, 0, 0, 0})},
        {"three identical lines: the first stays",
         O0,
         {line(1, 0, 0, 10, 0), line(2, 0, 0, 10, 0), line(3, 10, 0, 0, 0)},
         {erased(2), erased(3)},
         counts({2, 0, 0, 0, 0, 0, 0, 0})},
        {"short line inside a long one: kept with the exact option alone",
         O0,
         {line(1, 0, 0, 10, 0), line(2, 2, 0, 5, 0)},
         {},
         counts({0, 0, 0, 0, 0, 0, 0, 0})},
        {"short line inside a long one: erased with the partial option",
         O3,
         {line(1, 0, 0, 10, 0), line(2, 2, 0, 5, 0)},
         {erased(2)},
         counts({1, 0, 0, 0, 0, 0, 0, 0})},
        {"short line first, inside a later long one: the short one goes",
         O3,
         {line(1, 2, 0, 5, 0), line(2, 0, 0, 10, 0)},
         {erased(1)},
         counts({1, 0, 0, 0, 0, 0, 0, 0})},
        {"short line first sharing an end with the long one",
         O3,
         {line(1, 0, 0, 5, 0), line(2, 0, 0, 10, 0)},
         {erased(1)},
         counts({1, 0, 0, 0, 0, 0, 0, 0})},
        {"overlap: the later line starts where the earlier one ends",
         O3,
         {line(1, 0, 0, 10, 0), line(2, 5, 0, 15, 0)},
         {lineTo(2, 10, 0, 15, 0)},
         counts({0, 0, 0, 1, 0, 0, 0, 0})},
        {"overlap at the low end, later line reversed",
         O3,
         {line(1, 0, 0, 10, 0), line(2, 5, 0, -5, 0)},
         {lineTo(2, 0, 0, -5, 0)},
         counts({0, 0, 0, 1, 0, 0, 0, 0})},
        {"overlap merged: the earlier line grows over both",
         O3 | O6,
         {line(1, 0, 0, 10, 0), line(2, 5, 0, 15, 0)},
         {lineTo(1, 0, 0, 15, 0), erased(2)},
         counts({1, 0, 0, 0, 0, 1, 0, 0})},
        {"overlap merged at the start end of i",
         O3 | O6,
         {line(1, 10, 0, 0, 0), line(2, 5, 0, 15, 0)},
         {lineTo(1, 15, 0, 0, 0), erased(2)},
         counts({1, 0, 0, 0, 0, 1, 0, 0})},
        {"overlap with the exact option alone: nothing",
         O0,
         {line(1, 0, 0, 10, 0), line(2, 5, 0, 15, 0)},
         {},
         counts({0, 0, 0, 0, 0, 0, 0, 0})},
        {"lines meeting end to end are left alone",
         O3,
         {line(1, 0, 0, 10, 0), line(2, 10, 0, 20, 0)},
         {},
         counts({0, 0, 0, 0, 0, 0, 0, 0})},
        {"lines meeting end to end are merged with the merge option",
         O3 | O6,
         {line(1, 0, 0, 10, 0), line(2, 10, 0, 20, 0)},
         {lineTo(1, 0, 0, 20, 0), erased(2)},
         counts({1, 0, 0, 0, 0, 1, 0, 0})},
        {"collinear lines apart",
         O3 | O6,
         {line(1, 0, 0, 10, 0), line(2, 11, 0, 20, 0)},
         {},
         counts({0, 0, 0, 0, 0, 0, 0, 0})},
        {"vertical overlap compares on y",
         O3,
         {line(1, 0, 0, 0, 10), line(2, 0, 5, 0, 15)},
         {lineTo(2, 0, 10, 0, 15)},
         counts({0, 0, 0, 1, 0, 0, 0, 0})},
        {"diagonal overlap",
         O3,
         {line(1, 0, 0, 10, 10), line(2, 5, 5, 15, 15)},
         {lineTo(2, 10, 10, 15, 15)},
         counts({0, 0, 0, 1, 0, 0, 0, 0})},
        {"parallel within the tolerance is the same line",
         O0,
         {line(1, 0, 0, 10, 0), line(2, 0, 5e-7, 10, 5e-7)},
         {erased(2)},
         counts({1, 0, 0, 0, 0, 0, 0, 0})},
        {"parallel beyond the tolerance is another line",
         O0 | O3,
         {line(1, 0, 0, 10, 0), line(2, 0, 2e-6, 10, 2e-6)},
         {},
         counts({0, 0, 0, 0, 0, 0, 0, 0})},
        {"end slack: an end 0.5e-6 beyond the other line still lies within it",
         O3,
         {line(1, 0, 0, 10, 0), line(2, 2, 0, 10.0000005, 0)},
         {erased(2)},
         counts({1, 0, 0, 0, 0, 0, 0, 0})},
        {"lengths equal within the tolerance for the exact option",
         O0,
         {line(1, 0, 0, 10, 0), line(2, 0, 0, 10.0000005, 0)},
         {erased(2)},
         counts({1, 0, 0, 0, 0, 0, 0, 0})},
        {"lines too short in x and y take no part",
         O0 | O3,
         {line(1, 0, 0, 5e-7, 5e-7), line(2, 0, 0, 5e-7, 5e-7)},
         {},
         counts({0, 0, 0, 0, 0, 0, 0, 0})},
        {"chain: i grows over the third line, the second was passed already",
         O3 | O6,
         {line(1, 0, 0, 10, 0), line(2, 20, 0, 30, 0), line(3, 8, 0, 22, 0)},
         {lineTo(1, 0, 0, 22, 0), erased(3)},
         counts({1, 0, 0, 0, 0, 1, 0, 0})},
        {"chain in the other order: i grows twice",
         O3 | O6,
         {line(1, 0, 0, 10, 0), line(2, 8, 0, 22, 0), line(3, 20, 0, 30, 0)},
         {lineTo(1, 0, 0, 22, 0), erased(2), lineTo(1, 0, 0, 30, 0), erased(3)},
         counts({2, 0, 0, 0, 0, 1, 0, 0})},
        {"a trimmed line erased later leaves the trimmed count",
         O3,
         {line(1, 0, 0, 10, 0), line(2, 5, 0, 15, 0), line(3, 8, 0, 20, 0)},
         {lineTo(2, 10, 0, 15, 0), lineTo(3, 10, 0, 20, 0), erased(2)},
         counts({1, 0, 0, 1, 0, 0, 0, 0})},
        {"a line trimmed twice counts once",
         O3,
         {line(1, 0, 0, 10, 0), line(2, 20, 0, 30, 0), line(3, 5, 0, 25, 0)},
         {lineTo(3, 10, 0, 25, 0), lineTo(3, 10, 0, 20, 0)},
         counts({0, 0, 0, 1, 0, 0, 0, 0})},
    };
    for (const Case& c : cases)
        check(c);
}

TEST(DedupLines, AttributesSeparateLines) {
    const Case cases[] = {
        {"other layer", O0, {line(1, 0, 0, 10, 0, L"A"), line(2, 0, 0, 10, 0, L"B")}, {}, {}},
        {"layer names differ in case only",
         O0,
         {line(1, 0, 0, 10, 0, L"Ｂａｓｅ"), line(2, 0, 0, 10, 0, L"ＢＡＳＥ")},
         {erased(2)},
         counts({1, 0, 0, 0, 0, 0, 0, 0})},
        {"other colour",
         O0,
         {line(1, 0, 0, 10, 0, L"0", 1), line(2, 0, 0, 10, 0, L"0", 2)},
         {},
         {}},
        {"other line type",
         O0,
         {line(1, 0, 0, 10, 0, L"0", 7, L"HIDDEN"), line(2, 0, 0, 10, 0, L"0", 7, L"CENTER")},
         {},
         {}},
        {"line type names differ in case only",
         O0,
         {line(1, 0, 0, 10, 0, L"0", 7, L"Hidden"), line(2, 0, 0, 10, 0, L"0", 7, L"HIDDEN")},
         {erased(2)},
         counts({1, 0, 0, 0, 0, 0, 0, 0})},
        {"a circle and an arc on other layers",
         O1 | O2,
         {circle(1, 0, 0, 5, L"A"), arc(2, 0, 0, 5, 0, 90, L"B")},
         {},
         {}},
    };
    for (const Case& c : cases)
        check(c);
}

TEST(DedupRound, CaseTable) {
    const Case cases[] = {
        {"identical circles",
         O1,
         {circle(1, 0, 0, 5), circle(2, 0, 0, 5)},
         {erased(2)},
         counts({0, 1, 0, 0, 0, 0, 0, 0})},
        {"circles of another radius", O1, {circle(1, 0, 0, 5), circle(2, 0, 0, 5.00001)}, {}, {}},
        {"circles with centres 2e-6 apart",
         O1,
         {circle(1, 0, 0, 5), circle(2, 2e-6, 0, 5)},
         {},
         {}},
        {"circles with centres 0.5e-6 apart",
         O1,
         {circle(1, 0, 0, 5), circle(2, 5e-7, 5e-7, 5)},
         {erased(2)},
         counts({0, 1, 0, 0, 0, 0, 0, 0})},
        {"arc on an earlier circle, exact arcs",
         O1 | O2,
         {circle(1, 0, 0, 5), arc(2, 0, 0, 5, 10, 80)},
         {erased(2)},
         counts({0, 0, 1, 0, 0, 0, 0, 0})},
        {"arc on a later circle: the arc goes",
         O1 | O2,
         {arc(1, 0, 0, 5, 10, 80), circle(2, 0, 0, 5)},
         {erased(1)},
         counts({0, 0, 1, 0, 0, 0, 0, 0})},
        {"arc on a circle, partial arcs",
         O1 | O5,
         {circle(1, 0, 0, 5), arc(2, 0, 0, 5, 10, 80)},
         {erased(2)},
         counts({0, 0, 1, 0, 0, 0, 0, 0})},
        {"identical arcs, exact arcs",
         O2,
         {arc(1, 0, 0, 5, 10, 80), arc(2, 0, 0, 5, 10, 80)},
         {erased(2)},
         counts({0, 0, 1, 0, 0, 0, 0, 0})},
        {"arc inside an arc, exact arcs alone: nothing",
         O2,
         {arc(1, 0, 0, 5, 0, 90), arc(2, 0, 0, 5, 10, 80)},
         {},
         {}},
        {"arc inside an arc, partial arcs",
         O5,
         {arc(1, 0, 0, 5, 0, 90), arc(2, 0, 0, 5, 10, 80)},
         {erased(2)},
         counts({0, 0, 1, 0, 0, 0, 0, 0})},
        {"arc running past the end: its start moves to the end",
         O5,
         {arc(1, 0, 0, 5, 0, 90), arc(2, 0, 0, 5, 45, 135)},
         {arcTo(2, 90, 135)},
         counts({0, 0, 0, 0, 1, 0, 0, 0})},
        {"arc running past the end, merged",
         O5 | O6,
         {arc(1, 0, 0, 5, 0, 90), arc(2, 0, 0, 5, 45, 135)},
         {arcTo(1, 0, 135), erased(2)},
         counts({0, 0, 1, 0, 0, 0, 0, 1})},
        {"arcs meeting end to start are left alone",
         O5,
         {arc(1, 0, 0, 5, 0, 90), arc(2, 0, 0, 5, 90, 180)},
         {},
         {}},
        {"arcs meeting end to start are merged",
         O5 | O6,
         {arc(1, 0, 0, 5, 0, 90), arc(2, 0, 0, 5, 90, 180)},
         {arcTo(1, 0, 180), erased(2)},
         counts({0, 0, 1, 0, 0, 0, 0, 1})},
        {"arc starting before i and ending in it: its end moves to the start",
         O5,
         {arc(1, 0, 0, 5, 90, 180), arc(2, 0, 0, 5, 45, 135)},
         {arcTo(2, 45, 90)},
         counts({0, 0, 0, 0, 1, 0, 0, 0})},
        {"arc starting before i, merged",
         O5 | O6,
         {arc(1, 0, 0, 5, 90, 180), arc(2, 0, 0, 5, 45, 135)},
         {arcTo(1, 45, 180), erased(2)},
         counts({0, 0, 1, 0, 0, 0, 0, 1})},
        {"a later arc covering i: i goes",
         O5,
         {arc(1, 0, 0, 5, 90, 180), arc(2, 0, 0, 5, 45, 270)},
         {erased(1)},
         counts({0, 0, 1, 0, 0, 0, 0, 0})},
        {"arcs across the zero angle",
         O5,
         {arc(1, 0, 0, 5, 300, 60), arc(2, 0, 0, 5, 30, 90)},
         {arcTo(2, 60, 90)},
         counts({0, 0, 0, 0, 1, 0, 0, 0})},
        {"overlapping arcs closing the circle: j becomes the rest of the circle",
         O5,
         {arc(1, 0, 0, 5, 0, 200), arc(2, 0, 0, 5, 180, 20)},
         {arcTo(2, 200, 0)},
         counts({0, 0, 0, 0, 1, 0, 0, 0})},
        {"two arcs making a whole circle become one circle",
         O5 | O6,
         {arc(1, 0, 0, 5, 0, 180), arc(2, 0, 0, 5, 180, 360)},
         {toCircle(1), erased(2)},
         counts({0, 0, 2, 0, 0, 0, 1, 0})},
        {"two arcs making a whole circle, without merging: nothing",
         O5,
         {arc(1, 0, 0, 5, 0, 180), arc(2, 0, 0, 5, 180, 360)},
         {},
         {}},
        {"overlapping arcs closing the circle, merged",
         O5 | O6,
         {arc(1, 0, 0, 5, 0, 200), arc(2, 0, 0, 5, 180, 20)},
         {toCircle(1), erased(2)},
         counts({0, 0, 2, 0, 0, 0, 1, 0})},
        {"the new circle meets a later circle as a circle",
         O1 | O5 | O6,
         {arc(1, 0, 0, 5, 0, 200), arc(2, 0, 0, 5, 180, 20), circle(3, 0, 0, 5)},
         {toCircle(1), erased(2), erased(3)},
         counts({0, 1, 2, 0, 0, 0, 1, 0})},
        {"a merged arc erased by a later circle leaves the merged count",
         O1 | O2 | O5 | O6,
         {arc(1, 0, 0, 5, 0, 90), arc(2, 0, 0, 5, 45, 135), circle(3, 0, 0, 5)},
         {arcTo(1, 0, 135), erased(2), erased(1)},
         counts({0, 0, 2, 0, 0, 0, 0, 0})},
        {"a trimmed arc erased later leaves the trimmed count",
         O5,
         {arc(1, 0, 0, 5, 0, 90), arc(2, 0, 0, 5, 80, 200), arc(3, 0, 0, 5, 45, 135)},
         {arcTo(2, 90, 200), arcTo(3, 90, 135), erased(3)},
         counts({0, 0, 1, 0, 1, 0, 0, 0})},
        {"arcs on another radius or layer",
         O2 | O5,
         {arc(1, 0, 0, 5, 0, 90), arc(2, 0, 0, 6, 0, 90), arc(3, 0, 0, 5, 0, 90, L"X")},
         {},
         {}},
    };
    for (const Case& c : cases)
        check(c);
}

// An entity that cannot be opened keeps its record, and nothing that depended on the change
// happens; the counters count only what was done.
TEST(DedupOpenFailure, CaseTable) {
    const Case cases[] = {
        {"erase refused", O0, {line(1, 0, 0, 10, 0), line(2, 0, 0, 10, 0)}, {}, {}, {2}},
        {"trim refused", O3, {line(1, 0, 0, 10, 0), line(2, 5, 0, 15, 0)}, {}, {}, {2}},
        {"growing refused: the later line is not erased either",
         O3 | O6,
         {line(1, 0, 0, 10, 0), line(2, 5, 0, 15, 0)},
         {},
         {},
         {1}},
        {"grown but the later line refused: not counted as merged",
         O3 | O6,
         {line(1, 0, 0, 10, 0), line(2, 5, 0, 15, 0)},
         {lineTo(1, 0, 0, 15, 0)},
         {},
         {2}},
        {"the arc to become a circle refused: nothing happens",
         O5 | O6,
         {arc(1, 0, 0, 5, 0, 200), arc(2, 0, 0, 5, 180, 20)},
         {},
         {},
         {1}},
        {"an outer record that cannot be erased goes on comparing",
         O3,
         {line(1, 2, 0, 5, 0), line(2, 0, 0, 10, 0), line(3, 2, 0, 5, 0)},
         {erased(3)},
         counts({1, 0, 0, 0, 0, 0, 0, 0}),
         {1}},
    };
    for (const Case& c : cases)
        check(c);
}

TEST(DedupOpenFailure, RefusedRecordsStayAsTheyWere) {
    BothRuns b;
    runBoth(b, {line(1, 0, 0, 10, 0), line(2, 5, 0, 15, 0)}, DupOptions(O3 | O6), {2});
    ASSERT_EQ(b.grouped.remaining.size(), 2u);
    EXPECT_EQ(b.grouped.remaining[0].end, (DupPoint{15, 0, 0})); // grown
    EXPECT_FALSE(b.grouped.remaining[0].merged);
    EXPECT_EQ(b.grouped.remaining[1].start, (DupPoint{5, 0, 0})); // untouched
}

// Faults of the command's earlier rules that are mended here.
TEST(DedupMended, CaseTable) {
    const Case cases[] = {
        // Tested either way round on the outer record's own axis, a line shorter than a few
        // tolerances "contained" a long line crossing it at right angles (and erased it).
        {"a speck on a crossing line is the one erased",
         O3,
         {line(1, 0, 0, 1.1e-6, 0), line(2, 5.5e-7, -50, 5.5e-7, 50)},
         {erased(1)},
         counts({1, 0, 0, 0, 0, 0, 0, 0})},
        {"a speck on the line of a far-away line leaves it alone",
         O3 | O6,
         {line(1, 0, 0, 1.1e-6, 0), line(2, 5.5e-7, 0.5, 5.5e-7, 100)},
         {},
         {}},
        // Two circles were erased as "arcs" with the arc options when the circle option was off.
        {"two circles without the circle option",
         O2 | O4 | O5,
         {circle(1, 0, 0, 5), circle(2, 0, 0, 5)},
         {},
         {}},
        // An arc ending a hair before 2pi closes the circle on an arc starting at 0, as it does
        // at any other angle.
        {"arc ending just short of 360 degrees on an arc from 0",
         O5,
         {arc(1, 0, 0, 5, 0, 180), arc(2, 0, 0, 5, 90, 360 - 1e-4)},
         {arcTo(2, 180, 0)},
         counts({0, 0, 0, 0, 1, 0, 0, 0})},
        {"the same pair turned by 10 degrees",
         O5,
         {arc(1, 0, 0, 5, 10, 190), arc(2, 0, 0, 5, 100, 10 - 1e-4)},
         {arcTo(2, 190, 10)},
         counts({0, 0, 0, 0, 1, 0, 0, 0})},
    };
    for (const Case& c : cases)
        check(c);
}

TEST(DedupRun, EmptySelectionAndPreprocessing) {
    RecordingEditor editor;
    RecordingMonitor monitor;
    DupResult none = removeDuplicates({}, 0, DupOptions(), editor, monitor);
    EXPECT_EQ(none.result, -1);
    EXPECT_TRUE(monitor.steps.empty());

    DupResult texts = removeDuplicates({}, 3, DupOptions(), editor, monitor); // no lines etc.
    EXPECT_EQ(texts.result, 0);
    EXPECT_TRUE(monitor.preprocessed.empty());

    std::vector<DupItem> items;
    for (int k = 0; k < 501; ++k)
        items.push_back(line(k + 1, 0, k, 10, k));
    removeDuplicates(items, 500, DupOptions(), editor, monitor);
    EXPECT_TRUE(monitor.preprocessed.empty());
    removeDuplicates(items, 501, DupOptions(), editor, monitor);
    EXPECT_EQ(monitor.preprocessed, std::vector<int>{501});
}

TEST(DedupRun, OptionsDecideWhichRecordsTakePart) {
    struct Row {
        unsigned options;
        bool line, circle, arc;
    } rows[] = {
        {O0, true, false, false},
        {O3, true, false, false},
        {O1, false, true, false},
        {O4, false, true, false},
        {O2, false, false, true},
        {O5, false, false, true},
        {O6 | DupOptions::ShowResult, false, false, false},
    };
    for (const Row& r : rows) {
        DupOptions o(r.options);
        EXPECT_EQ(o.qualifies(DupKind::Line), r.line) << r.options;
        EXPECT_EQ(o.qualifies(DupKind::Circle), r.circle) << r.options;
        EXPECT_EQ(o.qualifies(DupKind::Arc), r.arc) << r.options;
        EXPECT_EQ(o.anyRemoval(), r.line || r.circle || r.arc) << r.options;
    }
}

TEST(DedupRun, OptionsWordInTheSettings) {
    struct Row {
        const wchar_t* text;
        unsigned bits;
    } rows[] = {{L"47", 47}, {L"0", 0},   {L"255", 255}, {L"", 47},     {L"256", 47},
                {L"-1", 47}, {L"4x", 47}, {L" 47", 47},  {L"1000", 47}, {L"0071", 47}};
    for (const Row& r : rows)
        EXPECT_EQ(DupOptions::fromSetting(r.text).bits(), r.bits);
    EXPECT_EQ(DupOptions().bits(), 47u);
    EXPECT_EQ(DupOptions(200).toSetting(), L"200");
    EXPECT_EQ(std::wstring(kDDupModeKey), L"DDupMode");
}

TEST(DedupRun, NonFiniteRecordsTakeNoPart) {
    double nan = std::nan("");
    BothRuns b;
    runBoth(b,
            {line(1, 0, 0, nan, 0), line(2, 0, 0, nan, 0), circle(3, 0, 0, INFINITY),
             circle(4, 0, 0, INFINITY), line(5, 0, 0, 1e150, 1e150), line(6, 0, 0, 1e150, 1e150)},
            DupOptions(O0 | O1 | O3));
    EXPECT_EQ(b.groupedEdits.edits, b.pairwiseEdits.edits);
    ASSERT_EQ(b.grouped.remaining.size(), 1u);
    EXPECT_EQ(b.grouped.remaining[0].id, 5u);
    EXPECT_EQ(b.grouped.result, 1);
}

TEST(DedupListing, TextsOfARun) {
    DupResult r;
    r.counters = counts({3, 0, 1, 2, 0, 0, 1, 0});
    std::wstring expected = L"削除された線分\u3000\t ... 3\n"
                            L"削除された円\u3000\u3000\t ... 0\n"
                            L"削除された円弧\u3000\t ... 1\n"
                            L"トリムされた線分\t ... 2\n"
                            L"トリムされた円弧\t ... 0\n"
                            L"一本化された線分\t ... 0\n"
                            L"一本化された円\u3000\t ... 1\n"
                            L"一本化された円弧\t ... 0\n";
    EXPECT_EQ(dupListing(r), expected);
    r.interrupted = true;
    EXPECT_EQ(dupListing(r), expected + L"\n処理を中断しました");
    EXPECT_EQ(dupProgressText(3, 120), L"処理中.....\u3000\u30003/120");
}

// Progress names the record's index among those still in the run and their number; a break
// stops between records and keeps what was done.
TEST(DedupRun, ProgressAndUserBreak) {
    std::vector<DupItem> items = {line(1, 2, 0, 5, 0),  line(2, 0, 0, 10, 0), line(3, 0, 0, 10, 0),
                                  line(4, 0, 5, 10, 5), line(5, 0, 5, 10, 5), line(6, 0, 9, 10, 9)};
    BothRuns full;
    runBoth(full, items, DupOptions(O0 | O3));
    using Steps = std::vector<std::pair<int, int>>;
    EXPECT_EQ(full.groupedMonitor.steps, (Steps{{0, 6}, {0, 5}, {1, 4}, {2, 3}}));
    EXPECT_EQ(full.groupedMonitor.steps, full.pairwiseMonitor.steps);
    EXPECT_FALSE(full.grouped.interrupted);
    EXPECT_EQ(full.grouped.result, 3);

    for (int breakAfter = 0; breakAfter < 4; ++breakAfter) {
        SCOPED_TRACE(breakAfter);
        BothRuns b;
        runBoth(b, items, DupOptions(O0 | O3), {}, breakAfter);
        EXPECT_TRUE(b.grouped.interrupted);
        EXPECT_TRUE(b.pairwise.interrupted);
        EXPECT_EQ(b.groupedEdits.edits, b.pairwiseEdits.edits);
        EXPECT_EQ(b.grouped.counters, b.pairwise.counters);
        EXPECT_EQ(b.groupedMonitor.steps.size(), static_cast<std::size_t>(breakAfter + 1));
        // The edits made are the first edits of the full run, each applied.
        ASSERT_LE(b.groupedEdits.edits.size(), full.groupedEdits.edits.size());
        EXPECT_TRUE(std::equal(b.groupedEdits.edits.begin(), b.groupedEdits.edits.end(),
                               full.groupedEdits.edits.begin()));
        EXPECT_EQ(b.grouped.result, static_cast<int>(b.groupedEdits.edits.size()));
        EXPECT_EQ(b.grouped.remaining.size(), items.size() - b.groupedEdits.edits.size());
        EXPECT_NE(dupListing(b.grouped).find(kDupInterrupted), std::wstring::npos);
    }
}

// Zero is a cell boundary of every cell size and 0 and pi are the ends of the range of line
// angles: pairs within the tolerance on either side must still meet in the grouped search, and
// so must lines too short to have a direction.
TEST(DedupGrouped, PairsAcrossBucketBoundaries) {
    const Case cases[] = {
        {"parallel lines either side of y = 0",
         O0,
         {line(1, 3, -4e-7, 9, -4e-7), line(2, 3, 4e-7, 9, 4e-7)},
         {erased(2)},
         counts({1, 0, 0, 0, 0, 0, 0, 0})},
        {"parallel lines either side of x = 0",
         O0,
         {line(1, -4e-7, 3, -4e-7, 9), line(2, 4e-7, 9, 4e-7, 3)},
         {erased(2)},
         counts({1, 0, 0, 0, 0, 0, 0, 0})},
        {"lines meeting across x = 0",
         O3 | O6,
         {line(1, -8, 0, -5e-7, 0), line(2, 4e-7, 0, 8, 0)},
         {lineTo(1, -8, 0, 8, 0), erased(2)},
         counts({1, 0, 0, 0, 0, 1, 0, 0})},
        {"a long line and a piece beside it across y = 0",
         O3,
         {line(1, -5000, 4e-7, 5000, 4e-7), line(2, 10, -4e-7, 20, -4e-7)},
         {erased(2)},
         counts({1, 0, 0, 0, 0, 0, 0, 0})},
        // Angles are taken in [0, pi): these two lie either side of 0 and pi.
        {"lines tilted either way from the x axis",
         O3,
         {line(1, 0, 0, 100, 1e-8), line(2, 10, 3e-7, 90, 3e-7 - 1e-8)},
         {erased(2)},
         counts({1, 0, 0, 0, 0, 0, 0, 0})},
        {"the same, drawn in the other direction",
         O3,
         {line(1, 100, 1e-8, 0, 0), line(2, 10, 3e-7, 90, 3e-7 - 1e-8)},
         {erased(2)},
         counts({1, 0, 0, 0, 0, 0, 0, 0})},
        {"lines tilted either way from the y axis",
         O3,
         {line(1, 0, 0, 1e-8, 100), line(2, -3e-7, 10, -3e-7 - 1e-8, 90)},
         {erased(2)},
         counts({1, 0, 0, 0, 0, 0, 0, 0})},
        // Lines too short for their direction to count are found by place alone.
        {"slivers on a line",
         O3,
         {line(1, 0, 0, 10, 0), line(2, 10.001, 0, 10.003, 0), line(3, 5, 0, 10.005, 0),
          line(4, 10.002, 0, 10.004, 0)},
         {lineTo(3, 10, 0, 10.005, 0), erased(2), erased(4)},
         counts({2, 0, 0, 1, 0, 0, 0, 0})},
        {"a line shortened to a sliver then meets the later lines",
         O3,
         {line(1, 0, 0, 10, 0), line(2, 5, 0, 10.005, 0), line(3, 10.001, 0, 10.02, 0)},
         {lineTo(2, 10, 0, 10.005, 0), lineTo(3, 10.005, 0, 10.02, 0)},
         counts({0, 0, 0, 2, 0, 0, 0, 0})},
        {"circles either side of the origin",
         O1,
         {circle(1, -4e-7, -4e-7, 5), circle(2, 4e-7, 4e-7, 5)},
         {erased(2)},
         counts({0, 1, 0, 0, 0, 0, 0, 0})},
        {"arcs either side of x = 0",
         O5,
         {arc(1, -4e-7, 7, 5, 0, 90), arc(2, 4e-7, 7, 5, 10, 60)},
         {erased(2)},
         counts({0, 0, 1, 0, 0, 0, 0, 0})},
    };
    for (const Case& c : cases)
        check(c);
}
