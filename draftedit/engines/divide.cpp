// The divide engine (see divide.h).
#include "draftedit/engines/divide.h"

#include "draftedit/engines/textio.h"
#include "draftedit/engines/tolerances.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>

namespace draftedit::engines {
namespace {

constexpr size_t kRecordLines = 6;
constexpr double kTwoPi = 2 * std::numbers::pi;
constexpr double kEps = tol::kEngineZero;

bool near(double a, double b) {
    return std::fabs(a - b) < kEps;
}

// An angle brought into [0, 2π).
double normalAngle(double a) {
    a = std::fmod(a, kTwoPi);
    return a < 0 ? a + kTwoPi : a;
}

// Cut parameters of a target line.
void lineTargetCuts(const DivideElement& target, const DivideElement& cutter,
                    std::vector<double>& cuts) {
    if (cutter.isLine) {
        if (std::optional<double> t = lineCutsLine(target.q1, target.q2, cutter.q1, cutter.q2))
            cuts.push_back(*t);
        return;
    }
    for (double t : lineCutsArc(target.q1, target.q2, cutter.arc, onArcDivide))
        cuts.push_back(t);
}

// Angles from the start of a target arc where another arc's circle meets it on both arcs.
void arcArcCuts(const ArcData& arc, const ArcData& other, std::vector<double>& angles) {
    const double r = arc.radius, r2 = other.radius;
    if (!(r > 0) || !(r2 > 0)) return;
    const double cx = other.centre.x - arc.centre.x, cy = other.centre.y - arc.centre.y;
    double d = std::hypot(cx, cy);
    if (!(d > kEps)) return;
    double theta = std::atan2(cy, cx);
    if (theta < 0) theta += kTwoPi;
    d = snapTo(d, r + r2);
    d = snapTo(d, std::fabs(r - r2));
    if (d < std::fabs(r - r2) || d > r + r2) return;
    double c = (d * d + r * r - r2 * r2) / (2 * r * d);
    c = std::clamp(snapTo(snapTo(c, 1), -1), -1.0, 1.0);
    const double h = std::sqrt(1 - c * c);
    auto pointAtAngle = [&](double across) {
        const double lx = c * r, ly = across * r;
        return Pt{arc.centre.x + lx * std::cos(theta) - ly * std::sin(theta),
                  arc.centre.y + lx * std::sin(theta) + ly * std::cos(theta)};
    };
    const Pt first = pointAtAngle(h);
    if (onArcDivide(first, arc) && onArcDivide(first, other))
        angles.push_back(normalAngle(std::acos(c) + theta - arc.start));
    const Pt second = pointAtAngle(-h);
    if (std::fabs(h) > kEps && onArcDivide(second, arc) && onArcDivide(second, other))
        angles.push_back(normalAngle(theta - std::acos(c) - arc.start));
}

// Angles from the start of a target arc.
void arcTargetCuts(const DivideElement& target, const DivideElement& cutter,
                   std::vector<double>& angles) {
    const ArcData& arc = target.arc;
    if (!cutter.isLine) return arcArcCuts(arc, cutter.arc, angles);
    for (double t : lineCutsArc(cutter.q1, cutter.q2, arc, onArcDivide)) {
        const Pt p = pointAt(cutter.q1, cutter.q2, t);
        angles.push_back(
            normalAngle(std::atan2(p.y - arc.centre.y, p.x - arc.centre.x) - arc.start));
    }
}

void writeLineCuts(const DivideElement& target, std::vector<double> cuts, std::string& out) {
    std::sort(cuts.begin(), cuts.end(), std::greater<>());
    for (double t : cuts)
        if (!near(t, 0) && !near(t, 1))
            appendPoint(out, pointAt(target.q1, target.q2, t), "%16.15e\n");
}

void writeArcCuts(const ArcData& arc, std::vector<double> angles, std::string& out) {
    std::sort(angles.begin(), angles.end(), std::greater<>());
    // A full circle has no ends: a cut at its seam is a cut like any other.
    const bool ends = !isFullCircleDivide(arc);
    for (double phi : angles) {
        if (ends && (near(phi, 0) || near(phi, kTwoPi) || near(phi, arc.end - arc.start))) continue;
        const double a = phi + arc.start;
        appendPoint(
            out, {arc.centre.x + arc.radius * std::cos(a), arc.centre.y + arc.radius * std::sin(a)},
            "%16.15e\n");
    }
}

} // namespace

std::vector<DivideElement> parseDivide(std::string_view content) {
    const std::vector<std::wstring> lines = splitLines(decodeText(content));
    auto number = [&](size_t i) { return parseLeadingNumber(lines[i]); };
    std::vector<DivideElement> elements;
    for (size_t i = 0; i + kRecordLines <= lines.size(); i += kRecordLines) {
        DivideElement e;
        e.cuts = !lines[i].empty() && lines[i].front() == L'U';
        e.isLine = !lines[i + 1].empty() && lines[i + 1].front() == L'L';
        if (e.isLine) {
            e.q1 = {number(i + 2), number(i + 3)};
            e.q2 = {number(i + 4), number(i + 5)};
        } else {
            e.arc = {{number(i + 1), number(i + 2)}, number(i + 3), number(i + 4), number(i + 5)};
        }
        elements.push_back(e);
    }
    return elements;
}

std::optional<std::string> divideAnswer(const std::vector<DivideElement>& elements) {
    std::string out = "\n";
    for (size_t i = 0; i < elements.size(); ++i) {
        const DivideElement& target = elements[i];
        std::vector<double> cuts;
        for (size_t j = 0; j < elements.size(); ++j) {
            if (j == i || !elements[j].cuts) continue;
            if (target.isLine)
                lineTargetCuts(target, elements[j], cuts);
            else
                arcTargetCuts(target, elements[j], cuts);
            if (cuts.size() > static_cast<size_t>(kMaxCutsPerTarget)) return std::nullopt;
        }
        if (target.isLine)
            writeLineCuts(target, std::move(cuts), out);
        else
            writeArcCuts(target.arc, std::move(cuts), out);
        out += "\n";
    }
    return out;
}

CutStatus runDivide(const std::string& inputPath, const std::string& outputPath) {
    return runCutEngine(inputPath, outputPath, [](const std::string& content) {
        return divideAnswer(parseDivide(content));
    });
}

} // namespace draftedit::engines
