// The comparison of one pair of records: the rules of duplicate removal for lines (exact
// duplicates, pieces inside, overlaps trimmed or merged) and for circles and arcs.
#include "draftedit/dedup/dedup_run.h"

#include "draftedit/dedup/dedup_tolerance.h"

#include <cassert>
#include <cmath>
#include <numbers>
#include <utility>

namespace zel::dedup {

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

// ---- Counters by kind -------------------------------------------------------------------------

DupCounter deletedCounter(DupKind kind) {
    switch (kind) {
    case DupKind::Line:
        return DupCounter::DeletedLines;
    case DupKind::Circle:
        return DupCounter::DeletedCircles;
    case DupKind::Arc:
        return DupCounter::DeletedArcs;
    }
    assert(!"unknown record kind");
    return DupCounter::DeletedLines;
}

DupCounter mergedCounter(DupKind kind) {
    switch (kind) {
    case DupKind::Line:
        return DupCounter::MergedLines;
    case DupKind::Circle:
        return DupCounter::MergedCircles;
    case DupKind::Arc:
        return DupCounter::MergedArcs;
    }
    assert(!"unknown record kind");
    return DupCounter::MergedLines;
}

DupCounter trimmedCounter(DupKind kind) {
    switch (kind) {
    case DupKind::Line:
        return DupCounter::TrimmedLines;
    case DupKind::Arc:
        return DupCounter::TrimmedArcs;
    case DupKind::Circle:
        break;
    }
    assert(!"a circle is never trimmed");
    return DupCounter::TrimmedArcs;
}

// ---- Plane geometry of the records --------------------------------------------------------------

double length2d(const DupItem& line) {
    return std::hypot(line.end.x - line.start.x, line.end.y - line.start.y);
}

// Within kLength of the infinite line through `line` (which is not degenerate).
bool onLineOf(const DupPoint& p, const DupItem& line, double lineLength) {
    double dx = line.end.x - line.start.x, dy = line.end.y - line.start.y;
    double cross = dx * (p.y - line.start.y) - dy * (p.x - line.start.x);
    return std::abs(cross) <= tol::kLength * lineLength;
}

double coord(const DupPoint& p, int axis) {
    return axis == 0 ? p.x : p.y;
}

// The axis along which a line extends more: 0 for x when |dx| > |dy|, else 1 for y.
int dominantAxis(const DupItem& line) {
    return std::abs(line.end.x - line.start.x) > std::abs(line.end.y - line.start.y) ? 0 : 1;
}

struct Span {
    double lo, hi;
    bool holds(double v) const { return v >= lo - tol::kLength && v <= hi + tol::kLength; }
};

Span spanOf(const DupItem& line, int axis) {
    double a = coord(line.start, axis), b = coord(line.end, axis);
    return {std::min(a, b), std::max(a, b)};
}

bool samePoint2d(const DupPoint& a, const DupPoint& b) {
    return std::hypot(a.x - b.x, a.y - b.y) < tol::kLength;
}

bool sameCircle(const DupItem& a, const DupItem& b) {
    return std::abs(a.centre.x - b.centre.x) < tol::kLength &&
           std::abs(a.centre.y - b.centre.y) < tol::kLength &&
           std::abs(a.radius - b.radius) < tol::kLength;
}

// An angle of one arc relative to an angle of another, in [0, 2pi): differences below kAngle,
// either way round the circle, are zero.
double relativeAngle(double difference) {
    double d = std::fmod(difference, kTwoPi);
    if (d < 0) d += kTwoPi;
    return (d < tol::kAngle || d > kTwoPi - tol::kAngle) ? 0.0 : d;
}

// The sweep of an arc, in [0, 2pi].
double sweepOf(const DupItem& arc) {
    double d = arc.endAngle - arc.startAngle;
    if (d > kTwoPi || d < -kTwoPi) d = std::fmod(d, kTwoPi);
    if (std::abs(d) < tol::kAngle) return 0.0;
    return d < 0 ? d + kTwoPi : d;
}

PairOutcome erasedJ() {
    PairOutcome o;
    o.jErased = true;
    return o;
}

PairOutcome erasedI() {
    PairOutcome o;
    o.iErased = true;
    return o;
}

PairOutcome changedJ() {
    PairOutcome o;
    o.jChanged = true;
    return o;
}

bool finite(const DupPoint& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

} // namespace

// ---- Attributes ---------------------------------------------------------------------------------

DupClass classOf(DupKind kind) {
    switch (kind) {
    case DupKind::Line:
        return DupClass::Line;
    case DupKind::Circle:
    case DupKind::Arc:
        return DupClass::Round;
    }
    assert(!"unknown record kind");
    return DupClass::Line;
}

namespace {

// Letters whose cases lie a fixed distance apart within one block.
struct CaseRange {
    wchar_t lowerFirst, lowerLast;
    int offset; // upper = lower - offset
    wchar_t except;
};

constexpr CaseRange kCaseRanges[] = {
    {L'a', L'z', 0x20, 0},          {0x00E0, 0x00FE, 0x20, 0x00F7}, // Latin-1 (÷ is no letter)
    {0x03B1, 0x03C9, 0x20, 0x03C2}, // Greek (final sigma has no capital of its own)
    {0x0430, 0x044F, 0x20, 0},      // Cyrillic а..я
    {0x0450, 0x045F, 0x50, 0},      // Cyrillic ѐ..џ
    {0xFF41, 0xFF5A, 0x20, 0},      // full-width ａ..ｚ
};

} // namespace

wchar_t upperChar(wchar_t c) {
    for (const CaseRange& r : kCaseRanges) {
        if (c >= r.lowerFirst && c <= r.lowerLast && c != r.except)
            return static_cast<wchar_t>(c - r.offset);
    }
    return c;
}

bool equalsNoCase(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t k = 0; k < a.size(); ++k) {
        if (upperChar(a[k]) != upperChar(b[k])) return false;
    }
    return true;
}

std::wstring upperText(const std::wstring& text) {
    std::wstring out(text);
    for (wchar_t& c : out)
        c = upperChar(c);
    return out;
}

bool sameAttributes(const DupItem& a, const DupItem& b) {
    return classOf(a.kind) == classOf(b.kind) && a.colour == b.colour &&
           equalsNoCase(a.layer, b.layer) && equalsNoCase(a.linetype, b.linetype);
}

bool takesPart(const DupItem& item, DupOptions options) {
    if (!options.qualifies(item.kind)) return false;
    switch (item.kind) {
    case DupKind::Line:
        if (!finite(item.start) || !finite(item.end)) return false;
        return std::abs(item.end.x - item.start.x) > tol::kLength ||
               std::abs(item.end.y - item.start.y) > tol::kLength;
    case DupKind::Circle:
    case DupKind::Arc:
        return finite(item.centre) && std::isfinite(item.radius) &&
               std::isfinite(item.startAngle) && std::isfinite(item.endAngle);
    }
    assert(!"unknown record kind");
    return false;
}

// ---- The run ------------------------------------------------------------------------------------

DupRun::DupRun(std::vector<DupItem> records, DupOptions options, DupEditor& editor)
    : records_(std::move(records)), alive_(records_.size(), 1), aliveCount_(records_.size()),
      options_(options), editor_(editor) {}

std::vector<DupItem> DupRun::takeRemaining() {
    std::size_t kept = 0;
    for (std::size_t k = 0; k < records_.size(); ++k) {
        if (!alive_[k]) continue;
        if (kept != k) records_[kept] = std::move(records_[k]);
        ++kept;
    }
    records_.resize(kept);
    std::vector<DupItem> out = std::move(records_);
    records_.clear();
    alive_.clear();
    aliveCount_ = 0;
    return out;
}

PairOutcome DupRun::compare(std::size_t i, std::size_t j) {
    assert(i < j && alive_[i] && alive_[j] && "compare takes a live record and a later one");
    assert(classOf(records_[i].kind) == classOf(records_[j].kind) && "one class of kind");
    return classOf(records_[i].kind) == DupClass::Line ? compareLines(i, j) : compareRound(i, j);
}

// Lines. The pair is collinear when both ends of the shorter line lie within kLength of the
// line through the longer one, and positions along it are compared on the axis along which the
// longer one extends more. (Testing either line against the other, on the outer record's own
// axis, lets a line shorter than a few kLength "contain" lines that merely pass near it, even
// at right angles or far away along its line, and erase them.)
PairOutcome DupRun::compareLines(std::size_t i, std::size_t j) {
    const DupItem& a = records_[i];
    const DupItem& b = records_[j];
    double lengthA = length2d(a), lengthB = length2d(b);
    bool bLonger = lengthB > lengthA;
    const DupItem& longer = bLonger ? b : a;
    const DupItem& shorter = bLonger ? a : b;
    double longerLength = bLonger ? lengthB : lengthA;
    if (!onLineOf(shorter.start, longer, longerLength) ||
        !onLineOf(shorter.end, longer, longerLength))
        return {};
    int axis = dominantAxis(longer);
    Span spanA = spanOf(a, axis), spanB = spanOf(b, axis);
    bool startIn = spanA.holds(coord(b.start, axis));
    bool endIn = spanA.holds(coord(b.end, axis));
    bool partial = options_.has(DupOptions::PartialLines);
    if (startIn && endIn) {
        bool sameLength = std::abs(lengthA - lengthB) < tol::kLength;
        if (!partial && !(options_.has(DupOptions::ExactLines) && sameLength)) return {};
        return eraseRecord(j) ? erasedJ() : PairOutcome{};
    }
    if (!partial) return {};
    if (spanB.holds(coord(a.start, axis)) && spanB.holds(coord(a.end, axis)))
        return eraseRecord(i) ? erasedI() : PairOutcome{};
    if (!startIn && !endIn) return {}; // both ends beyond the same end of i: apart
    double outer = coord(startIn ? b.end : b.start, axis);
    return lineOverhang(i, j, axis, startIn, outer > spanA.hi);
}

// One end of j lies within i, the other beyond the end E of i on the high side of the axis
// (hiSide) or the low side.
PairOutcome DupRun::lineOverhang(std::size_t i, std::size_t j, int axis, bool jStartInside,
                                 bool hiSide) {
    const DupItem& a = records_[i];
    const DupItem& b = records_[j];
    bool startIsHi = coord(a.start, axis) >= coord(a.end, axis);
    bool eIsStart = hiSide == startIsHi;
    DupPoint e = eIsStart ? a.start : a.end;
    DupPoint inner = jStartInside ? b.start : b.end;
    DupPoint outer = jStartInside ? b.end : b.start;
    if (!options_.has(DupOptions::Merge)) {
        if (samePoint2d(inner, e)) return {};
        bool done = jStartInside ? setLine(j, e, b.end) : setLine(j, b.start, e);
        if (!done) return {};
        markTrimmed(j);
        return changedJ();
    }
    bool grown = eIsStart ? setLine(i, outer, a.end) : setLine(i, a.start, outer);
    if (!grown) return {};
    PairOutcome o;
    o.iChanged = true;
    o.jErased = absorb(i, j);
    return o;
}

// Circles and arcs of one centre and radius.
PairOutcome DupRun::compareRound(std::size_t i, std::size_t j) {
    const DupItem& a = records_[i];
    const DupItem& b = records_[j];
    if (!sameCircle(a, b)) return {};
    bool circleA = a.kind == DupKind::Circle, circleB = b.kind == DupKind::Circle;
    // Two circles are the business of the circle option alone (and count as circles).
    if (circleA && circleB) {
        if (!options_.has(DupOptions::ExactCircles)) return {};
        return eraseRecord(j) ? erasedJ() : PairOutcome{};
    }
    if (!options_.has(DupOptions::ExactArcs) && !options_.has(DupOptions::PartialArcs)) return {};
    if (circleB) return eraseRecord(i) ? erasedI() : PairOutcome{}; // the arc i lies on circle j
    if (circleA) return eraseRecord(j) ? erasedJ() : PairOutcome{};
    return compareArcs(i, j);
}

// Two arcs: s, e the starts and ends of j relative to those of i, w the sweep of i, f the end of
// j relative to the start of i.
PairOutcome DupRun::compareArcs(std::size_t i, std::size_t j) {
    const DupItem& a = records_[i];
    const DupItem& b = records_[j];
    double s = relativeAngle(b.startAngle - a.startAngle);
    double e = relativeAngle(b.endAngle - a.endAngle);
    double w = sweepOf(a);
    double f = relativeAngle(b.endAngle - a.startAngle);
    if (s == 0 && e == 0) return eraseRecord(j) ? erasedJ() : PairOutcome{};
    if (!options_.has(DupOptions::PartialArcs)) return {};
    if (s <= w) { // j starts within i
        if (s < f && f <= w) return eraseRecord(j) ? erasedJ() : PairOutcome{};
        if (f > w && f < kTwoPi - tol::kAngle) return arcPastEnd(i, j);
        if (f < s) return arcRoundToStart(i, j, f);
        return {};
    }
    if (f > w && f < s) return eraseRecord(i) ? erasedI() : PairOutcome{}; // j covers i
    if (f <= w) return arcBeforeStart(i, j, f);
    return {}; // j lies in the gap of i
}

// j starts within i and ends past the end of i, short of closing the circle.
PairOutcome DupRun::arcPastEnd(std::size_t i, std::size_t j) {
    const DupItem& a = records_[i];
    const DupItem& b = records_[j];
    if (!options_.has(DupOptions::Merge)) {
        if (relativeAngle(b.startAngle - a.endAngle) == 0) return {};
        if (!setArc(j, a.endAngle, b.endAngle)) return {};
        markTrimmed(j);
        return changedJ();
    }
    if (!setArc(i, a.startAngle, b.endAngle)) return {};
    PairOutcome o;
    o.iChanged = true;
    o.jErased = absorb(i, j);
    return o;
}

// j starts within i and runs on past the start of i: together they close the circle.
PairOutcome DupRun::arcRoundToStart(std::size_t i, std::size_t j, double f) {
    const DupItem& a = records_[i];
    const DupItem& b = records_[j];
    if (!options_.has(DupOptions::Merge)) {
        if (relativeAngle(b.startAngle - a.endAngle) == 0 && f == 0) return {};
        if (!setArc(j, a.endAngle, a.startAngle)) return {};
        markTrimmed(j);
        return changedJ();
    }
    std::optional<EntityKey> circle = editor_.replaceArcByCircle(a);
    if (!circle) return {};
    DupItem& r = records_[i];
    // The arc is gone (counted deleted, and no longer trimmed or merged); the circle merged.
    ++counters_[DupCounter::DeletedArcs];
    if (r.trimmed) --counters_[DupCounter::TrimmedArcs];
    if (r.merged) --counters_[DupCounter::MergedArcs];
    r.kind = DupKind::Circle;
    r.id = *circle;
    r.startAngle = 0;
    r.endAngle = kTwoPi;
    r.trimmed = r.merged = false;
    markMerged(i);
    PairOutcome o;
    o.iChanged = true;
    o.jErased = eraseRecord(j);
    return o;
}

// j starts outside i and ends within it.
PairOutcome DupRun::arcBeforeStart(std::size_t i, std::size_t j, double f) {
    const DupItem& a = records_[i];
    const DupItem& b = records_[j];
    if (!options_.has(DupOptions::Merge)) {
        if (f == 0) return {}; // j already ends at the start of i
        if (!setArc(j, b.startAngle, a.startAngle)) return {};
        markTrimmed(j);
        return changedJ();
    }
    if (!setArc(i, b.startAngle, a.endAngle)) return {};
    PairOutcome o;
    o.iChanged = true;
    o.jErased = absorb(i, j);
    return o;
}

// ---- Edits --------------------------------------------------------------------------------------

// An erased record leaves the counts of trimmed and merged entities it was in.
bool DupRun::eraseRecord(std::size_t k) {
    DupItem& r = records_[k];
    if (!editor_.erase(r)) return false;
    alive_[k] = 0;
    --aliveCount_;
    ++counters_[deletedCounter(r.kind)];
    if (r.trimmed) --counters_[trimmedCounter(r.kind)];
    if (r.merged) --counters_[mergedCounter(r.kind)];
    return true;
}

bool DupRun::setLine(std::size_t k, const DupPoint& start, const DupPoint& end) {
    DupItem& r = records_[k];
    if (!editor_.setLineEnds(r, start, end)) return false;
    r.start = start;
    r.end = end;
    return true;
}

bool DupRun::setArc(std::size_t k, double startAngle, double endAngle) {
    DupItem& r = records_[k];
    if (!editor_.setArcAngles(r, startAngle, endAngle)) return false;
    r.startAngle = startAngle;
    r.endAngle = endAngle;
    return true;
}

// j is erased into i. A merged j would leave its merge count (eraseRecord) and i take one up
// unless it has one: the merge passes to i. (A later record is never merged when it is
// compared, as only the outer record of a comparison grows; the rule holds all the same.)
bool DupRun::absorb(std::size_t i, std::size_t j) {
    if (!eraseRecord(j)) return false;
    markMerged(i);
    return true;
}

void DupRun::markTrimmed(std::size_t k) {
    DupItem& r = records_[k];
    if (r.trimmed) return;
    r.trimmed = true;
    ++counters_[trimmedCounter(r.kind)];
}

void DupRun::markMerged(std::size_t k) {
    DupItem& r = records_[k];
    if (r.merged) return;
    r.merged = true;
    ++counters_[mergedCounter(r.kind)];
}

} // namespace zel::dedup
