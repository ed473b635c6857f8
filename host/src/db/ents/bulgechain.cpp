#include "db/ents/bulgechain.h"

#include "core/tolerance.h"

#include <algorithm>
#include <cassert>
#include <cmath>

namespace zel::db::curve {

namespace {

constexpr double kTwoPi = 2 * M_PI;

AcGePoint2d onCircle(const AcGePoint2d& c, double r, double angle) {
    return {c.x + r * std::cos(angle), c.y + r * std::sin(angle)};
}

// True when angle lies within the sweep that starts at start (sweep signed).
bool angleInSweep(double angle, double start, double sweep) {
    double d = sweep >= 0 ? angle - start : start - angle;
    d = std::fmod(d, kTwoPi);
    if (d < 0) d += kTwoPi;
    return d <= std::fabs(sweep);
}

} // namespace

SegmentKind BulgeSegment::kind() const {
    double chord = a.distanceTo(b);
    if (chord <= tol::kPoint) return SegmentKind::Coincident;
    // An arc whose sagitta is below the point tolerance is drawn as its chord.
    if (std::fabs(bulge) * chord / 2 <= tol::kPoint) return SegmentKind::Line;
    return SegmentKind::Arc;
}

ArcOfBulge BulgeSegment::arc() const {
    assert(kind() == SegmentKind::Arc && "arc() of a straight or empty segment");
    AcGeVector2d chord = b - a;
    double d = chord.length();
    AcGeVector2d left(-chord.y / d, chord.x / d);
    AcGePoint2d mid(a.x + chord.x / 2, a.y + chord.y / 2);
    double offset = d * (1 - bulge * bulge) / (4 * bulge);
    ArcOfBulge arc;
    arc.center = mid + left * offset;
    arc.radius = d * (1 + bulge * bulge) / (4 * std::fabs(bulge));
    arc.startAngle = (a - arc.center).angle();
    arc.sweep = 4 * std::atan(bulge);
    return arc;
}

double BulgeSegment::length() const {
    switch (kind()) {
    case SegmentKind::Coincident:
        return 0;
    case SegmentKind::Line:
        return a.distanceTo(b);
    case SegmentKind::Arc: {
        ArcOfBulge c = arc();
        return c.radius * std::fabs(c.sweep);
    }
    }
    return 0;
}

AcGePoint2d BulgeSegment::pointAt(double t) const {
    switch (kind()) {
    case SegmentKind::Coincident:
        return a;
    case SegmentKind::Line:
        return a + (b - a) * t;
    case SegmentKind::Arc: {
        if (t >= 1) return b; // exact end points, whatever the rounding of the arc
        if (t <= 0) return a;
        ArcOfBulge c = arc();
        return onCircle(c.center, c.radius, c.startAngle + t * c.sweep);
    }
    }
    return a;
}

AcGeVector2d BulgeSegment::derivAt(double t) const {
    switch (kind()) {
    case SegmentKind::Coincident:
        return {0, 0};
    case SegmentKind::Line:
        return b - a;
    case SegmentKind::Arc: {
        ArcOfBulge c = arc();
        double angle = c.startAngle + t * c.sweep;
        return AcGeVector2d(-std::sin(angle), std::cos(angle)) * (c.radius * c.sweep);
    }
    }
    return {0, 0};
}

double BulgeSegment::closestT(const AcGePoint2d& q) const {
    switch (kind()) {
    case SegmentKind::Coincident:
        return 0;
    case SegmentKind::Line: {
        AcGeVector2d d = b - a;
        double t = (q - a).dotProduct(d) / d.dotProduct(d);
        return std::clamp(t, 0.0, 1.0);
    }
    case SegmentKind::Arc: {
        ArcOfBulge c = arc();
        AcGeVector2d fromCenter = q - c.center;
        if (fromCenter.length() > tol::kPoint) {
            double angle = fromCenter.angle();
            if (angleInSweep(angle, c.startAngle, c.sweep)) {
                double d = c.sweep >= 0 ? angle - c.startAngle : c.startAngle - angle;
                d = std::fmod(d, kTwoPi);
                if (d < 0) d += kTwoPi;
                return std::clamp(d / std::fabs(c.sweep), 0.0, 1.0);
            }
        }
        return q.distanceTo(a) <= q.distanceTo(b) ? 0.0 : 1.0;
    }
    }
    return 0;
}

double BulgeSegment::capArea() const {
    if (kind() != SegmentKind::Arc) return 0;
    ArcOfBulge c = arc();
    return c.radius * c.radius / 2 * (c.sweep - std::sin(c.sweep));
}

void BulgeSegment::addToExtents(AcGePoint2d& mn, AcGePoint2d& mx) const {
    auto add = [&](const AcGePoint2d& p) {
        mn.x = std::min(mn.x, p.x), mn.y = std::min(mn.y, p.y);
        mx.x = std::max(mx.x, p.x), mx.y = std::max(mx.y, p.y);
    };
    add(a);
    add(b);
    if (kind() != SegmentKind::Arc) return;
    ArcOfBulge c = arc();
    for (int quadrant = 0; quadrant < 4; ++quadrant) {
        double angle = quadrant * M_PI / 2;
        if (angleInSweep(angle, c.startAngle, c.sweep)) add(onCircle(c.center, c.radius, angle));
    }
}

BulgeChain::BulgeChain(std::vector<BulgeVertex> vertices, bool closed)
    : mVertices(std::move(vertices)), mClosed(closed) {
    int n = int(mVertices.size());
    mSegmentCount = n < 2 ? 0 : (mClosed ? n : n - 1);
    double total = 0;
    mCumulative.reserve(mSegmentCount);
    for (int i = 0; i < mSegmentCount; ++i) {
        total += segment(i).length();
        mCumulative.push_back(total);
    }
}

BulgeSegment BulgeChain::segment(int i) const {
    assert(i >= 0 && i < mSegmentCount && "segment index out of range");
    const BulgeVertex& from = mVertices[i];
    const BulgeVertex& to = mVertices[(i + 1) % mVertices.size()];
    return {from.point, to.point, from.bulge};
}

bool BulgeChain::isParamValid(double param) const {
    if (mVertices.empty()) return false;
    return param >= -tol::kParam && param <= endParam() + tol::kParam;
}

void BulgeChain::locate(double param, int& index, double& t) const {
    double p = std::clamp(param, 0.0, endParam());
    index = std::min(int(std::floor(p)), mSegmentCount - 1);
    t = p - index;
}

bool BulgeChain::pointAt(double param, AcGePoint2d& point) const {
    if (!isParamValid(param)) return false;
    if (mSegmentCount == 0) {
        point = mVertices.front().point;
        return true;
    }
    int i;
    double t;
    locate(param, i, t);
    point = segment(i).pointAt(t);
    return true;
}

bool BulgeChain::derivAt(double param, AcGeVector2d& deriv) const {
    if (!isParamValid(param)) return false;
    if (mSegmentCount == 0) {
        deriv = {0, 0};
        return true;
    }
    int i;
    double t;
    locate(param, i, t);
    deriv = segment(i).derivAt(t);
    return true;
}

bool BulgeChain::distAt(double param, double& dist) const {
    if (!isParamValid(param)) return false;
    if (mSegmentCount == 0) {
        dist = 0;
        return true;
    }
    int i;
    double t;
    locate(param, i, t);
    double before = i == 0 ? 0 : mCumulative[i - 1];
    dist = before + t * (mCumulative[i] - before);
    return true;
}

bool BulgeChain::paramAtDist(double dist, double& param) const {
    if (mVertices.empty()) return false;
    if (dist < -tol::kPoint || dist > length() + tol::kPoint) return false;
    if (mSegmentCount == 0 || dist <= 0) {
        param = 0;
        return true;
    }
    auto it = std::lower_bound(mCumulative.begin(), mCumulative.end(), dist);
    int i = std::min(int(it - mCumulative.begin()), mSegmentCount - 1);
    double before = i == 0 ? 0 : mCumulative[i - 1];
    double segLength = mCumulative[i] - before;
    double t = segLength > 0 ? (dist - before) / segLength : 0;
    param = i + std::clamp(t, 0.0, 1.0);
    return true;
}

bool BulgeChain::closestParam(const AcGePoint2d& q, double& param, AcGePoint2d& closest) const {
    if (mVertices.empty()) return false;
    param = 0;
    closest = mVertices.front().point;
    double best = q.distanceTo(closest);
    for (int i = 0; i < mSegmentCount; ++i) {
        BulgeSegment s = segment(i);
        double t = s.closestT(q);
        AcGePoint2d p = s.pointAt(t);
        double d = q.distanceTo(p);
        if (d < best) {
            best = d, param = i + t, closest = p;
        }
    }
    return true;
}

double BulgeChain::signedArea() const {
    int n = vertexCount();
    if (n < 2) return 0;
    double twice = 0;
    double caps = 0;
    for (int i = 0; i < n; ++i) {
        const AcGePoint2d& p = mVertices[i].point;
        const AcGePoint2d& q = mVertices[(i + 1) % n].point;
        twice += p.x * q.y - q.x * p.y;
        if (i < mSegmentCount) caps += segment(i).capArea();
    }
    return twice / 2 + caps;
}

bool BulgeChain::extents(AcGePoint2d& mn, AcGePoint2d& mx) const {
    if (mVertices.empty()) return false;
    mn = mx = mVertices.front().point;
    for (const BulgeVertex& v : mVertices)
        BulgeSegment{v.point, v.point, 0}.addToExtents(mn, mx);
    for (int i = 0; i < mSegmentCount; ++i)
        segment(i).addToExtents(mn, mx);
    return true;
}

} // namespace zel::db::curve
