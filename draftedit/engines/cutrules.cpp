// Intersection rules of the block-trim and divide engines (see cutrules.h).
#include "draftedit/engines/cutrules.h"

#include "draftedit/engines/tolerances.h"

#include <cmath>
#include <numbers>

namespace draftedit::engines {
namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
constexpr double kEps = tol::kEngineZero;

bool near(double a, double b) {
    return std::fabs(a - b) < kEps;
}

double snapZero(double v) {
    return near(v, 0) ? 0 : v;
}

// An angle in [0, 2π) from an atan2 result.
double positiveAngle(double a) {
    return a < 0 ? a + kTwoPi : a;
}

} // namespace

double snapTo(double v, double target) {
    return near(v, target) ? target : v;
}

Pt pointAt(Pt p1, Pt p2, double t) {
    return {p1.x + t * (p2.x - p1.x), p1.y + t * (p2.y - p1.y)};
}

std::optional<double> lineCutsLine(Pt p1, Pt p2, Pt q1, Pt q2) {
    const double d = (q1.y - q2.y) * (p2.x - p1.x) - (p2.y - p1.y) * (q1.x - q2.x);
    if (std::fabs(d) < kEps) return std::nullopt;
    const double t = ((q1.x - p1.x) * (q1.y - q2.y) - (q1.y - p1.y) * (q1.x - q2.x)) / d;
    double s = ((p1.y - p2.y) * (q1.x - p1.x) + (q1.y - p1.y) * (p2.x - p1.x)) / d;
    s = snapTo(snapTo(s, 0), 1);
    const bool insideTarget = std::fabs(t) >= kEps && std::fabs(1 - t) >= kEps && t > 0 && t < 1;
    if (!insideTarget || s < 0 || s > 1) return std::nullopt;
    return t;
}

std::vector<double> lineCutsArc(Pt p1, Pt p2, const ArcData& arc,
                                bool (*onArc)(Pt, const ArcData&)) {
    std::vector<double> cuts;
    const double dx = p1.x - p2.x, dy = p1.y - p2.y;
    const double len2 = dx * dx + dy * dy;
    if (!(len2 > 0)) return cuts;
    const double ex = p1.x - arc.centre.x, ey = p1.y - arc.centre.y;
    const double k = ex * dx + ey * dy;
    double disc = k * k - (ex * ex + ey * ey - arc.radius * arc.radius) * len2;
    disc = snapZero(disc);
    if (!(disc >= 0)) return cuts;
    const double root = std::sqrt(disc);
    const double t1 = snapTo(snapTo((k + root) / len2, 0), 1);
    const double t2 = snapTo(snapTo((k - root) / len2, 0), 1);
    auto accepted = [&](double t) { return t >= 0 && t <= 1 && onArc(pointAt(p1, p2, t), arc); };
    if (accepted(t1)) cuts.push_back(t1);
    if (std::fabs(t2 - t1) > kEps && accepted(t2)) cuts.push_back(t2);
    return cuts;
}

bool onArcBlockTrim(Pt p, const ArcData& arc) {
    if (near(arc.start, 0) && near(arc.end, kTwoPi)) return true;
    const double vx = p.x - arc.centre.x, vy = p.y - arc.centre.y;
    const double e = snapZero(std::sin(arc.end) * vx - std::cos(arc.end) * vy);
    const double f = snapZero(std::cos(arc.start) * vy - std::sin(arc.start) * vx);
    if (std::sin(arc.end - arc.start) >= 0) return e >= 0 && f >= 0;
    return e >= 0 || f >= 0;
}

bool isFullCircleDivide(const ArcData& arc) {
    return arc.start == 0 && near(arc.end, kTwoPi);
}

bool onArcDivide(Pt p, const ArcData& arc) {
    if (isFullCircleDivide(arc)) return true;
    const double vx = p.x - arc.centre.x, vy = p.y - arc.centre.y;
    const double sx = std::cos(arc.start), sy = std::sin(arc.start);
    const double angle = positiveAngle(std::atan2(sx * vy - sy * vx, sx * vx + sy * vy));
    const double span = arc.end - arc.start;
    const double sweep = positiveAngle(std::atan2(std::sin(span), std::cos(span)));
    return sweep >= angle;
}

} // namespace draftedit::engines

#include "draftedit/engines/section.h"
#include "draftedit/engines/textio.h"

#include <cstdio>
#include <new>

namespace draftedit::engines {

void appendPoint(std::string& out, Pt p, const char* format) {
    char buf[512];
    std::snprintf(buf, sizeof buf, format, p.x);
    out += buf;
    std::snprintf(buf, sizeof buf, format, p.y);
    out += buf;
}

const char* cutFailureText(CutStatus status) {
    switch (status) {
    case CutStatus::NoMemory:
        return kNoMemoryText;
    case CutStatus::InputMissing:
        return kNoInputText;
    case CutStatus::TooManyCuts:
        return kTooManyCutsText;
    case CutStatus::Written:
    case CutStatus::OutputNotOpened:
        return "";
    }
    return "";
}

CutStatus
runCutEngine(const std::string& inputPath, const std::string& outputPath,
             const std::function<std::optional<std::string>(const std::string&)>& answerOf) {
    CutStatus status = CutStatus::Written;
    std::string answer;
    try {
        std::optional<std::string> content = readFileBytes(inputPath);
        if (!content) {
            status = CutStatus::InputMissing;
        } else if (std::optional<std::string> a = answerOf(*content)) {
            answer = std::move(*a);
        } else {
            status = CutStatus::TooManyCuts;
        }
    } catch (const std::bad_alloc&) {
        status = CutStatus::NoMemory;
    }
    const std::string_view text = status == CutStatus::Written
                                      ? std::string_view(answer)
                                      : std::string_view(cutFailureText(status));
    if (!writeWholeFile(outputPath, text)) return CutStatus::OutputNotOpened;
    return status;
}

} // namespace draftedit::engines
