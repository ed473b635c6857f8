// The block-trim and divide engines: the documented cases, the limit of cuts per target,
// the failure texts and random crossings against an independent intersection.
#include "draftedit/engines/blktrm.h"
#include "draftedit/engines/divide.h"
#include "engine_files.h"

#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <numbers>
#include <random>
#include <sstream>

using namespace draftedit::engines;

namespace {

constexpr double kPi = std::numbers::pi;

std::string lines(std::initializer_list<std::string> items) {
    std::string out;
    for (const std::string& s : items)
        out += s + "\r\n";
    return out;
}

std::string num(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", v);
    return buf;
}

std::string divideLine(bool cuts, double x1, double y1, double x2, double y2) {
    return lines({cuts ? "U" : "T", "L", num(x1), num(y1), num(x2), num(y2)});
}

std::string divideArc(bool cuts, double cx, double cy, double r, double a, double b) {
    return lines({cuts ? "U" : "T", num(cx), num(cy), num(r), num(a), num(b)});
}

std::string e15(double x, double y) {
    char buf[128];
    std::snprintf(buf, sizeof buf, "%16.15e\n%16.15e\n", x, y);
    return buf;
}

std::string runDivideText(const std::string& input) {
    return divideAnswer(parseDivide(input)).value_or("<too many>");
}

// Points of an answer, grouped per target (an empty line ends a target).
std::vector<std::vector<double>> answerGroups(const std::string& text) {
    std::vector<std::vector<double>> groups(1);
    std::istringstream in(text.substr(1));
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty())
            groups.emplace_back();
        else
            groups.back().push_back(std::stod(line));
    }
    groups.pop_back();
    return groups;
}

void expectGroups(const std::string& text, const std::vector<std::vector<double>>& expected) {
    const auto groups = answerGroups(text);
    ASSERT_EQ(groups.size(), expected.size()) << text;
    for (size_t g = 0; g < groups.size(); ++g) {
        ASSERT_EQ(groups[g].size(), expected[g].size()) << "target " << g << "\n" << text;
        for (size_t i = 0; i < groups[g].size(); ++i)
            EXPECT_NEAR(groups[g][i], expected[g][i], 1e-12) << "target " << g << " value " << i;
    }
}

} // namespace

TEST(DivideEngine, DocumentedCases) {
    const std::string cross = divideLine(true, 0, 0, 2, 2) + divideLine(true, 0, 2, 2, 0);
    EXPECT_EQ(runDivideText(cross), "\n" + e15(1, 1) + "\n" + e15(1, 1) + "\n");
    const std::string targetsOnly = divideLine(false, 0, 0, 2, 2) + divideLine(false, 0, 2, 2, 0);
    EXPECT_EQ(runDivideText(targetsOnly), "\n\n\n");
    // Two full circles touching, side by side and one above the other: the touching point
    // is a cut of each, also where it falls on a circle's seam at angle 0.
    const double full = 2 * kPi;
    expectGroups(
        runDivideText(divideArc(true, 0, 0, 1, 0, full) + divideArc(true, 0, 2, 1, 0, full)),
        {{0, 1}, {0, 1}});
    expectGroups(
        runDivideText(divideArc(true, 0, 0, 1, 0, full) + divideArc(true, 2, 0, 1, 0, full)),
        {{1, 0}, {1, 0}});
    // Two crossing circles: two cuts each, by descending angle from the start.
    const double h = std::sqrt(3) / 2;
    expectGroups(
        runDivideText(divideArc(true, 0, 0, 1, 0, full) + divideArc(true, 1, 0, 1, 0, full)),
        {{0.5, -h, 0.5, h}, {0.5, -h, 0.5, h}});
}

TEST(DivideEngine, CutsAtEndsAreNotWritten) {
    // The cutter ends on the target's end; an arc cut at its start and at its end.
    EXPECT_EQ(runDivideText(divideLine(true, 0, 0, 2, 0) + divideLine(true, 2, -1, 2, 1)),
              "\n\n" + e15(2, 0) + "\n");
    const std::string arc = divideArc(false, 0, 0, 1, 0, kPi / 2);
    EXPECT_EQ(runDivideText(arc + divideLine(true, 0, 0, 2, 0)), "\n\n\n");
    EXPECT_EQ(runDivideText(arc + divideLine(true, 0, 0, 0, 2)), "\n\n\n");
    // A line through the middle of a quarter arc cuts it once, at 45 degrees.
    expectGroups(runDivideText(arc + divideLine(true, 0, 0, 2, 2)),
                 {{std::cos(kPi / 4), std::sin(kPi / 4)}, {}});
}

TEST(DivideEngine, CutsAreSortedDescending) {
    std::string input = divideLine(false, 0, 0, 10, 0);
    for (double x : {3.0, 7.0, 5.0})
        input += divideLine(true, x, -1, x, 1);
    const auto groups = answerGroups(runDivideText(input));
    ASSERT_EQ(groups.size(), 4u);
    EXPECT_EQ(groups[0], (std::vector<double>{7, 0, 5, 0, 3, 0}));
}

TEST(CutEngines, LimitOfCutsPerTarget) {
    for (int cuts : {99, 100}) {
        std::string divide = divideLine(false, 0, 0, 1000, 0);
        std::string blk = lines({"T", "0", "0", "1000", "0", "E"});
        for (int i = 1; i <= cuts; ++i) {
            divide += divideLine(true, i, -1, i, 1);
            blk += lines({"L", num(i), "-1", num(i), "1"});
        }
        SCOPED_TRACE(cuts);
        EXPECT_EQ(divideAnswer(parseDivide(divide)).has_value(), cuts == 99);
        EXPECT_EQ(blockTrimAnswer(parseBlockTrim(blk)).has_value(), cuts == 99);
        if (cuts == 99) {
            EXPECT_EQ(answerGroups(*blockTrimAnswer(parseBlockTrim(blk)))[0].size(), 198u);
        }
    }
}

TEST(BlockTrimEngine, TargetsCutByLinesAndArcs) {
    const std::string input = lines({"T",
                                     "0",
                                     "0",
                                     "10",
                                     "0", // cut by all three
                                     "T",
                                     "0",
                                     "5",
                                     "10",
                                     "5", // no cut
                                     "E", // end of targets
                                     "L",
                                     "4",
                                     "-1",
                                     "4",
                                     "1", // line at x = 4
                                     "7",
                                     "0",
                                     "2",
                                     "0",
                                     "3.14159265358979", // upper half circle
                                     "7",
                                     "0",
                                     "1",
                                     "3.14159265358979",
                                     "6.28318530717959"});
    // The upper half circle of radius 2 touches the target at x = 5 and 9 (its ends); the
    // lower half of radius 1 meets it at x = 8 and 6, found in that order.
    EXPECT_EQ(blockTrimAnswer(parseBlockTrim(input)),
              "\n4.000000\n0.000000\n9.000000\n0.000000\n5.000000\n0.000000\n"
              "8.000000\n0.000000\n6.000000\n0.000000\n\n\n");
    EXPECT_EQ(blockTrimAnswer(parseBlockTrim(lines({"T", "0", "0", "1"}))), "\n")
        << "incomplete target dropped";
    EXPECT_EQ(blockTrimAnswer(parseBlockTrim("")), "\n");
}

TEST(CutEngines, FilesAndFailureTexts) {
    TempFolder dir;
    writeFile(dir.path("in.txt"), divideLine(true, 0, 0, 2, 2) + divideLine(true, 0, 2, 2, 0));
    EXPECT_EQ(runDivide(dir.path("in.txt"), dir.path("out.txt")), CutStatus::Written);
    EXPECT_EQ(readFile(dir.path("out.txt")), "\n" + e15(1, 1) + "\n" + e15(1, 1) + "\n");
    EXPECT_EQ(runDivide(dir.path("none.txt"), dir.path("out.txt")), CutStatus::InputMissing);
    EXPECT_EQ(readFile(dir.path("out.txt")), "読込みファイルがありません。");
    EXPECT_EQ(runBlockTrim(dir.path("none.txt"), dir.path("out.txt")), CutStatus::InputMissing);
    EXPECT_EQ(runBlockTrim(dir.path("in.txt"), dir.path("missing folder/out.txt")),
              CutStatus::OutputNotOpened);
    std::string many = lines({"T", "0", "0", "1000", "0", "E"});
    for (int i = 1; i <= 100; ++i)
        many += lines({"L", num(i), "-1", num(i), "1"});
    writeFile(dir.path("many.txt"), many);
    EXPECT_EQ(runBlockTrim(dir.path("many.txt"), dir.path("out.txt")), CutStatus::TooManyCuts);
    EXPECT_EQ(readFile(dir.path("out.txt")), "一要素上の交点数が多過ぎます。(最大１００ポイント)");
}

TEST(CutEngines, RandomCrossingsAgreeWithAnIndependentIntersection) {
    std::mt19937 rng(14);
    std::uniform_real_distribution<double> coord(-50, 50);
    int crossings = 0;
    for (int trial = 0; trial < 2000; ++trial) {
        const double ax = coord(rng), ay = coord(rng), bx = coord(rng), by = coord(rng);
        const double cx = coord(rng), cy = coord(rng), dx = coord(rng), dy = coord(rng);
        // Independent: solve A + t(B - A) = C + s(D - C) by Cramer's rule.
        const double det = (bx - ax) * (cy - dy) - (by - ay) * (cx - dx);
        const double t = ((cx - ax) * (cy - dy) - (cy - ay) * (cx - dx)) / det;
        const double s = ((bx - ax) * (cy - ay) - (by - ay) * (cx - ax)) / det;
        const bool crosses = t > 1e-6 && t < 1 - 1e-6 && s > 1e-6 && s < 1 - 1e-6;
        const auto groups = answerGroups(
            runDivideText(divideLine(false, ax, ay, bx, by) + divideLine(true, cx, cy, dx, dy)));
        ASSERT_EQ(groups.size(), 2u);
        if (std::fabs(t - 0.5) > 0.5 - 1e-5 || std::fabs(s - 0.5) > 0.5 - 1e-5) continue;
        ASSERT_EQ(groups[0].size(), crosses ? 2u : 0u) << trial;
        if (!crosses) continue;
        ++crossings;
        EXPECT_NEAR(groups[0][0], ax + t * (bx - ax), 1e-9);
        EXPECT_NEAR(groups[0][1], ay + t * (by - ay), 1e-9);
    }
    EXPECT_GT(crossings, 200);
}

TEST(CutEngines, GarbageInputNeverBreaksTheEngines) {
    const std::string inputs[] = {
        "",
        "E",
        std::string(5000, 'x'),
        lines({"U", "nan", "inf", "-inf", "1e999", "0"}),
        lines({"U", "L", "1e308", "-1e308", "1e308", "1e308", "U", "0", "0", "1e308", "1e308",
               "-1e308"}),
        lines({"T", "0", "0", "0", "0", "E", "0", "0", "0", "0", "0"}),
        std::string("\x82\xa0\xff\n\n\n\n\n\n", 10),
    };
    for (const std::string& in : inputs) {
        EXPECT_TRUE(divideAnswer(parseDivide(in)).has_value());
        EXPECT_TRUE(blockTrimAnswer(parseBlockTrim(in)).has_value());
    }
}
