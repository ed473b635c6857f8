// Extents at an angle (see extents.h).
#include "draftedit/engines/extents.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace draftedit::engines {
namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
constexpr double kQuarter = std::numbers::pi / 2;

Pt turned(Pt p, double angle) {
    const double c = std::cos(angle), s = std::sin(angle);
    return {p.x * c - p.y * s, p.x * s + p.y * c};
}

class Box {
public:
    void add(Pt p) {
        if (!mAny) {
            mMin = mMax = p;
            mAny = true;
            return;
        }
        mMin = {std::min(mMin.x, p.x), std::min(mMin.y, p.y)};
        mMax = {std::max(mMax.x, p.x), std::max(mMax.y, p.y)};
    }
    bool any() const { return mAny; }
    Pt min() const { return mMin; }
    Pt max() const { return mMax; }

private:
    bool mAny = false;
    Pt mMin, mMax;
};

Pt onCircle(Pt centre, double radius, double angle) {
    return {centre.x + radius * std::cos(angle), centre.y + radius * std::sin(angle)};
}

void addArc(Box& box, const OutlineElement& e, double phi) {
    const Pt centre = turned(e.centre, -phi);
    double end = e.end;
    if (e.start > end) end += kTwoPi;
    const double from = e.start - phi, to = end - phi;
    box.add(onCircle(centre, e.radius, from));
    box.add(onCircle(centre, e.radius, to));
    const double sweep = to - from;
    if (!std::isfinite(from) || !(sweep >= 0 && sweep <= kTwoPi)) return;
    // Every quadrant direction strictly inside the sweep, counted from the start brought into
    // one turn (the quadrant points do not depend on the turn).
    const double base = std::fmod(from, kTwoPi);
    for (double k = std::floor(base / kQuarter) + 1; k * kQuarter < base + sweep; ++k)
        if (k * kQuarter > base) box.add(onCircle(centre, e.radius, k * kQuarter));
}

} // namespace

std::optional<Extents> extentsAtAngle(std::span<const OutlineElement> elements, double phi) {
    Box box;
    for (const OutlineElement& e : elements) {
        switch (e.kind) {
        case OutlineElement::Kind::Line:
            box.add(turned(e.p1, -phi));
            box.add(turned(e.p2, -phi));
            break;
        case OutlineElement::Kind::Circle: {
            const Pt c = turned(e.centre, -phi);
            const double r = e.radius;
            for (Pt d : {Pt{r, 0}, Pt{0, r}, Pt{-r, 0}, Pt{0, -r}})
                box.add({c.x + d.x, c.y + d.y});
            break;
        }
        case OutlineElement::Kind::Arc:
            addArc(box, e, phi);
            break;
        }
    }
    if (!box.any()) return std::nullopt;
    const Pt lo = box.min(), hi = box.max();
    Extents x;
    x.middle = turned({(lo.x + hi.x) / 2, (lo.y + hi.y) / 2}, phi);
    x.width = hi.x - lo.x;
    x.height = hi.y - lo.y;
    return x;
}

} // namespace draftedit::engines
