// The intersection rules shared by the block-trim and divide engines: where a target line is
// cut by a cutting line or by a circular arc, with the engines' snapping of near-end values.
#pragma once

#include <functional>
#include <optional>
#include <vector>

namespace draftedit::engines {

struct Pt {
    double x = 0, y = 0;
};

// A circular arc: centre, radius, start and end angle (radians, counter-clockwise).
struct ArcData {
    Pt centre;
    double radius = 0, start = 0, end = 0;
};

// The parameter t (P = (1 - t)·P1 + t·P2) where the cutter Q1-Q2 crosses the target P1-P2
// strictly inside the target and between the cutter's ends; nullopt when parallel or missed.
std::optional<double> lineCutsLine(Pt p1, Pt p2, Pt q1, Pt q2);

// The roots t in [0, 1] (each snapped to 0 or 1 when that close) where the line P1-P2 meets
// the arc's circle and onArc accepts the point; a second root is kept only when it differs
// from the first.
std::vector<double> lineCutsArc(Pt p1, Pt p2, const ArcData& arc,
                                bool (*onArc)(Pt, const ArcData&));

Pt pointAt(Pt p1, Pt p2, double t);

// On-arc tests. The block-trim test: both half-planes of the start and end directions (one of
// them for an arc wider than a half turn); a start at 0 with an end at 2π is the full circle.
bool onArcBlockTrim(Pt p, const ArcData& arc);
// The divide test: the point's angle from the start direction is not beyond the sweep; an
// arc with start exactly 0 and end at 2π is the full circle.
bool onArcDivide(Pt p, const ArcData& arc);
bool isFullCircleDivide(const ArcData& arc);

double snapTo(double v, double target);

} // namespace draftedit::engines

#include <string>

namespace draftedit::engines {

// A target collects at most this many cuts; the next one ends the engine with the failure text.
inline constexpr int kMaxCutsPerTarget = 99;
inline constexpr const char* kTooManyCutsText =
    "一要素上の交点数が多過ぎます。(最大１００ポイント)";

enum class CutStatus {
    Written,         // the answer is in the output file
    NoMemory,        // the output file holds the no-memory text
    InputMissing,    // the output file holds the no-input text
    TooManyCuts,     // the output file holds kTooManyCutsText
    OutputNotOpened, // nothing written
};

// Appends the x and then the y of a point, each with the printf format (which ends the line).
void appendPoint(std::string& out, Pt p, const char* format);

// The failure text of a status (empty for Written and OutputNotOpened).
const char* cutFailureText(CutStatus status);

// One run of a cutting engine: the input file's content turned into the answer (nullopt: too
// many cuts), written into the output file, or the failure text alone (no input, no memory,
// too many cuts).
CutStatus
runCutEngine(const std::string& inputPath, const std::string& outputPath,
             const std::function<std::optional<std::string>(const std::string&)>& answerOf);

} // namespace draftedit::engines
