// Helpers of the duplicate-removal tests: records made in one line, an editor that keeps every
// edit it is asked for (and refuses the entities it is told to), a monitor that keeps progress.
#pragma once

#include "draftedit/dedup/dedup.h"

#include <cmath>
#include <numbers>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace dedup_test {

using namespace zel::dedup;

inline constexpr double kPi = std::numbers::pi;

inline DupItem line(EntityKey id, double x1, double y1, double x2, double y2,
                    const std::wstring& layer = L"0", int colour = 7,
                    const std::wstring& linetype = L"CONTINUOUS") {
    DupItem r;
    r.kind = DupKind::Line;
    r.id = id;
    r.layer = layer;
    r.linetype = linetype;
    r.colour = colour;
    r.start = {x1, y1, 0};
    r.end = {x2, y2, 0};
    return r;
}

inline DupItem circle(EntityKey id, double cx, double cy, double radius,
                      const std::wstring& layer = L"0", int colour = 7,
                      const std::wstring& linetype = L"CONTINUOUS") {
    DupItem r;
    r.kind = DupKind::Circle;
    r.id = id;
    r.layer = layer;
    r.linetype = linetype;
    r.colour = colour;
    r.centre = {cx, cy, 0};
    r.radius = radius;
    r.startAngle = 0;
    r.endAngle = 2 * kPi;
    return r;
}

// An arc with angles given in degrees.
inline DupItem arc(EntityKey id, double cx, double cy, double radius, double startDeg,
                   double endDeg, const std::wstring& layer = L"0", int colour = 7,
                   const std::wstring& linetype = L"CONTINUOUS") {
    DupItem r = circle(id, cx, cy, radius, layer, colour, linetype);
    r.kind = DupKind::Arc;
    r.startAngle = startDeg * kPi / 180;
    r.endAngle = endDeg * kPi / 180;
    return r;
}

struct Edit {
    enum Op { Erase, SetLine, SetArc, ToCircle } op;
    EntityKey key = 0;
    DupPoint a, b;       // line ends
    double s = 0, e = 0; // arc angles
    bool operator==(const Edit&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Edit& e) {
    const char* names[] = {"erase", "setLine", "setArc", "toCircle"};
    os << names[e.op] << " #" << e.key;
    if (e.op == Edit::SetLine)
        os << " (" << e.a.x << "," << e.a.y << ")-(" << e.b.x << "," << e.b.y << ")";
    if (e.op == Edit::SetArc) os << " " << e.s * 180 / kPi << ".." << e.e * 180 / kPi;
    return os;
}

// Keeps the edits; entities whose keys are in `locked` cannot be opened (the attempts are kept
// apart, in order).
class RecordingEditor : public DupEditor {
public:
    bool erase(const DupItem& item) override {
        if (refuse(item, Edit::Erase)) return false;
        edits.push_back({Edit::Erase, item.id, {}, {}, 0, 0});
        return true;
    }
    bool setLineEnds(const DupItem& l, const DupPoint& s, const DupPoint& e) override {
        if (refuse(l, Edit::SetLine)) return false;
        edits.push_back({Edit::SetLine, l.id, s, e, 0, 0});
        return true;
    }
    bool setArcAngles(const DupItem& a, double s, double e) override {
        if (refuse(a, Edit::SetArc)) return false;
        edits.push_back({Edit::SetArc, a.id, {}, {}, s, e});
        return true;
    }
    std::optional<EntityKey> replaceArcByCircle(const DupItem& a) override {
        if (refuse(a, Edit::ToCircle)) return std::nullopt;
        edits.push_back({Edit::ToCircle, a.id, {}, {}, 0, 0});
        return nextKey++;
    }
    bool refuse(const DupItem& item, Edit::Op op) {
        if (!locked.count(item.id)) return false;
        refused.push_back({op, item.id, {}, {}, 0, 0});
        return true;
    }
    std::vector<Edit> edits, refused;
    std::set<EntityKey> locked;
    EntityKey nextKey = 1000000;
};

// Keeps the progress calls; breaks after `breakAfter` polls (never when negative).
class RecordingMonitor : public DupMonitor {
public:
    void preprocessing(int selected) override { preprocessed.push_back(selected); }
    void progress(int k, int n) override { steps.push_back({k, n}); }
    bool userBreak() override { return breakAfter >= 0 && ++polls > breakAfter; }
    std::vector<int> preprocessed;
    std::vector<std::pair<int, int>> steps;
    int breakAfter = -1;
    int polls = 0;
};

// A run of both procedures over the same records must agree; the grouped one's result.
struct BothRuns {
    DupResult pairwise, grouped;
    RecordingEditor pairwiseEdits, groupedEdits;
    RecordingMonitor pairwiseMonitor, groupedMonitor;
};

inline void runBoth(BothRuns& b, const std::vector<DupItem>& items, DupOptions options,
                    const std::set<EntityKey>& locked = {}, int breakAfter = -1) {
    b.pairwiseEdits.locked = b.groupedEdits.locked = locked;
    b.pairwiseMonitor.breakAfter = b.groupedMonitor.breakAfter = breakAfter;
    int selected = static_cast<int>(items.size());
    b.pairwise = removeDuplicates(items, selected, options, b.pairwiseEdits, b.pairwiseMonitor,
                                  DupProcedure::Pairwise);
    b.grouped = removeDuplicates(items, selected, options, b.groupedEdits, b.groupedMonitor,
                                 DupProcedure::Grouped);
}

} // namespace dedup_test
