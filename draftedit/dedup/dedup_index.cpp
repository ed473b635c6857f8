// The search of the grouped procedure.
//
// Why it never misses a pair that can interact. Let C be the largest coordinate (or radius)
// of the run, eps = kLength and r = C * kRelativeRounding, which bounds the rounding of every
// subtraction, cross product and division below.
//
// Circles and arcs interact only with centres closer than eps in x and in y and radii closer
// than eps. Cells have the side 16 (eps + r); a record sits in the cell of its centre and
// radius, and the search visits every cell that meets [v - eps - r, v + eps + r] in each of the
// three values v (one or two per value, at most eight cells): a partner's value lies within eps
// of v and the rounding of the cell division stays below r, so its cell is visited. Centres and
// radii never change during a run (an arc that becomes a circle keeps both), so the cells stay
// right.
//
// Lines, by place. In every case of the comparison that has an effect the shorter line S has
// both ends within eps of the line through the longer one L, and the two spans on L's dominant
// axis u overlap once one is widened by eps (an end of one inside the other's span, or one span
// inside the other). Take u0 in S's span within eps of L's span and P the point of S at u0: P is
// within eps of the line through L (the strip is convex), hence within sqrt(2) eps in v of the
// point of that line at u0 (|slope| <= 1 on u), and that point is within sqrt(2) eps of L's
// segment (u0 is within eps of its span). So P, a point of S, lies within 2 sqrt(2) eps < 3 eps
// of L's segment. Each line is entered in every cell that its segment widened by the margin
// m = 4 eps + r meets, and the search walks every cell that the outer segment widened by m meets
// (forEachLineCell): P lies on one of the two segments and within m of the other, so the cell Z
// that holds P is among the cells of both.
//
// Lines, by direction. In Z a line of length at least kDirectionalLength = lmin is entered under
// its angle bucket and its offset: the distance of its supporting line from the centre z of Z,
// signed by its normal n (angles taken in [0, pi)). Both ends of S lie within eps of L's line,
// so when both lines are that long their angles differ by at most asin(2 eps / lmin), below
// the angle reach (pi (eps + r) / lmin, and more); the search looks in every bucket within
// that reach, across 0 and pi with the offset's sign turned. The offsets differ by
// |n_S.(P - z) - n_L.(P_L - z)| <= |n_S - n_L| |P - z| + |P - P_L| with P_L the point of L's line
// nearest P, i.e. by less than the angle reach times the cell's half diagonal plus 3 eps: the
// offset reach (with room for rounding), and the search looks in every offset bucket within it.
// A shorter line has no usable direction: it is entered as a speck, which every search of its
// group looks at, and its own search looks at every line of the cell, the directional ones
// being entered a second time without direction once a group has specks.
//
// Changes. A line that changes (a later record shortened to an end of another) is entered again
// as it now stands; its old entries only widen later searches. The outer record is searched
// again after it grows.
//
// Cost. The cell side of a group is at least four times the mean length of its lines, so the
// cells of all segments number a few per line whatever the lengths (a segment meets about
// length / side + 2 columns of one or two cells each). Within a cell, direction and offset
// single out the lines of one supporting line, so hatching, however dense, and short pieces
// beside long lines cost little.
#include "draftedit/dedup/dedup_index.h"

#include "draftedit/dedup/dedup_tolerance.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <limits>
#include <numbers>
#include <string>

namespace zel::dedup {

namespace {

std::uint64_t mix(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

std::uint64_t cellHash(std::uint32_t group, std::int64_t a, std::int64_t b, std::int64_t c = 0,
                       std::int64_t d = 0) {
    std::uint64_t h = mix(group);
    h = mix(h ^ static_cast<std::uint64_t>(a));
    h = mix(h ^ static_cast<std::uint64_t>(b));
    h = mix(h ^ static_cast<std::uint64_t>(c));
    return mix(h ^ static_cast<std::uint64_t>(d));
}

// The kinds of entry of a line in a cell besides its direction (angle buckets count from 0).
constexpr std::int64_t kSpeckEntry = -1; // a line without a usable direction
constexpr std::int64_t kPlainEntry = -2; // a directional line entered without its direction

// The cell of a value. The value and the side are finite and the quotient is far inside the
// range of int64 (the side is never below C * kRelativeRounding).
std::int64_t cellOf(double v, double side) {
    return static_cast<std::int64_t>(std::floor(v / side));
}

double largestCoordinate(const DupRun& run) {
    double c = 0;
    auto widen = [&c](const DupPoint& p) { c = std::max({c, std::abs(p.x), std::abs(p.y)}); };
    for (std::size_t k = 0; k < run.size(); ++k) {
        const DupItem& r = run.record(k);
        widen(r.start);
        widen(r.end);
        widen(r.centre);
        c = std::max(c, std::abs(r.radius));
    }
    return c;
}

} // namespace

// ---- Buckets ------------------------------------------------------------------------------------

void BucketTable::build(const std::vector<Entry>& entries) {
    std::uint64_t buckets = 1;
    while (buckets < entries.size())
        buckets <<= 1;
    mask_ = buckets - 1;
    offsets_.assign(buckets + 1, 0);
    for (const Entry& e : entries)
        ++offsets_[(e.hash & mask_) + 1];
    for (std::uint64_t b = 0; b < buckets; ++b)
        offsets_[b + 1] += offsets_[b];
    records_.resize(entries.size());
    std::vector<std::uint32_t> fill(offsets_.begin(), offsets_.end() - 1);
    for (const Entry& e : entries)
        records_[fill[e.hash & mask_]++] = e.record;
}

void BucketTable::add(std::uint64_t hash, std::uint32_t record) {
    added_[hash & mask_].push_back(record);
}

void BucketTable::collect(std::uint64_t hash, std::vector<std::uint32_t>& out) const {
    std::uint64_t b = hash & mask_;
    if (b + 1 < offsets_.size())
        out.insert(out.end(), records_.begin() + offsets_[b], records_.begin() + offsets_[b + 1]);
    if (added_.empty()) return;
    auto it = added_.find(b);
    if (it != added_.end()) out.insert(out.end(), it->second.begin(), it->second.end());
}

// ---- The index ----------------------------------------------------------------------------------

DupIndex::DupIndex(const DupRun& run) : run_(run) {
    assert(run.size() < std::numeric_limits<std::uint32_t>::max() && "records fit 32 bits");
    assignGroups();
    chooseCells();
    std::vector<BucketTable::Entry> lineEntries, roundEntries;
    lineEntries.reserve(3 * run.size());
    for (std::size_t k = 0; k < run.size(); ++k) {
        auto record = static_cast<std::uint32_t>(k);
        if (classOf(run.record(k).kind) == DupClass::Line) {
            forEachLineEntry(k, [&](std::uint64_t h) { lineEntries.push_back({h, record}); });
        } else {
            forEachRoundCell(k, 0.0, [&](std::uint64_t h) { roundEntries.push_back({h, record}); });
        }
    }
    lines_.build(lineEntries);
    rounds_.build(roundEntries);
}

// Dense group numbers: equal exactly when the attributes are (sameAttributes). Records mostly
// repeat a few spellings of a few names, so the group of a spelling is remembered and the names
// are upper-cased once per spelling.
void DupIndex::assignGroups() {
    std::unordered_map<std::wstring, std::uint32_t> bySpelling, byName;
    std::wstring spelling, name;
    auto append = [](std::wstring& key, const DupItem& r, const std::wstring& layer,
                     const std::wstring& linetype) {
        key += classOf(r.kind) == DupClass::Line ? L'L' : L'R';
        auto colour = static_cast<std::uint32_t>(r.colour);
        key += static_cast<wchar_t>(colour & 0xFFFF);
        key += static_cast<wchar_t>(colour >> 16);
        key += static_cast<wchar_t>(layer.size() & 0xFFFF);
        key += static_cast<wchar_t>(layer.size() >> 16);
        key += layer;
        key += linetype;
    };
    group_.resize(run_.size());
    for (std::size_t k = 0; k < run_.size(); ++k) {
        const DupItem& r = run_.record(k);
        spelling.clear();
        append(spelling, r, r.layer, r.linetype);
        auto known = bySpelling.find(spelling);
        if (known != bySpelling.end()) {
            group_[k] = known->second;
            continue;
        }
        name.clear();
        append(name, r, upperText(r.layer), upperText(r.linetype));
        auto [it, added] = byName.try_emplace(name, static_cast<std::uint32_t>(byName.size()));
        bySpelling.emplace(spelling, it->second);
        group_[k] = it->second;
    }
}

// Each group of lines has a grid of its own size (a layer of long outlines and one of short
// hatching lines each get cells to suit them). Angles are bucketed when the angle reach is
// small enough to be worth it (coordinates far beyond drawing sizes make it wide).
void DupIndex::chooseCells() {
    double rounding = largestCoordinate(run_) * tol::kRelativeRounding;
    lineMargin_ = 4 * tol::kLength + rounding;
    roundReach_ = tol::kLength + rounding;
    roundCell_ = 16 * roundReach_;
    angleReach_ = 1.5 * std::numbers::pi * (tol::kLength + rounding) / tol::kDirectionalLength;
    angleBuckets_ =
        static_cast<int>(std::min(4096.0, std::floor(std::numbers::pi / (4 * angleReach_))));
    if (angleBuckets_ < 8) angleBuckets_ = 0;
    angleWidth_ = angleBuckets_ > 0 ? std::numbers::pi / angleBuckets_ : 1.0;

    std::uint32_t groups = 0;
    for (std::uint32_t g : group_)
        groups = std::max(groups, g + 1);
    std::vector<double> total(groups, 0.0), count(groups, 0.0);
    grids_.assign(groups, LineGrid{});
    for (std::size_t k = 0; k < run_.size(); ++k) {
        const DupItem& r = run_.record(k);
        if (classOf(r.kind) != DupClass::Line) continue;
        total[group_[k]] += std::hypot(r.end.x - r.start.x, r.end.y - r.start.y);
        count[group_[k]] += 1;
        if (directionOf(r).usable) continue;
        grids_[group_[k]].plain = true;
        ++grids_[group_[k]].specks;
    }
    for (std::uint32_t g = 0; g < groups; ++g) {
        LineGrid& grid = grids_[g];
        grid.cell = 64 * lineMargin_;
        if (count[g] > 0) grid.cell = std::max(4 * total[g] / count[g], grid.cell);
        grid.offsetReach = angleReach_ * grid.cell + 3 * tol::kLength + 4 * rounding;
        grid.offsetWidth = 4 * grid.offsetReach;
    }
}

DupIndex::Direction DupIndex::directionOf(const DupItem& line) const {
    Direction d;
    double dx = line.end.x - line.start.x, dy = line.end.y - line.start.y;
    if (angleBuckets_ == 0 || std::hypot(dx, dy) < tol::kDirectionalLength) return d;
    d.usable = true;
    d.angle = std::atan2(dy, dx);
    if (d.angle < 0) d.angle += std::numbers::pi;
    if (d.angle >= std::numbers::pi) d.angle -= std::numbers::pi;
    d.nx = -std::sin(d.angle);
    d.ny = std::cos(d.angle);
    return d;
}

// The cells that the segment of a line widened by the margin meets: column by column along its
// dominant axis u, the rows that its v covers over the column widened by the margin. A point P
// within m of the segment is P = Q + d with Q on the segment and |d| <= m; in P's column c, u of
// Q lies in [c s - m, (c + 1) s + m], so v of Q lies between va and vb and v of P within m of
// them: P's row is visited. f(x, y) takes the cell's column and row.
template <typename F> void DupIndex::forEachLineCell(std::size_t k, F&& f) const {
    const DupItem& line = run_.record(k);
    const double s = grids_[group_[k]].cell, m = lineMargin_;
    bool xMajor = std::abs(line.end.x - line.start.x) >= std::abs(line.end.y - line.start.y);
    double pu = xMajor ? line.start.x : line.start.y, pv = xMajor ? line.start.y : line.start.x;
    double qu = xMajor ? line.end.x : line.end.y, qv = xMajor ? line.end.y : line.end.x;
    if (pu > qu) {
        std::swap(pu, qu);
        std::swap(pv, qv);
    }
    // v along the segment; a segment of no extent in u (both ends equal) covers v of both ends.
    auto vAt = [&](double u, double fallback) {
        return qu > pu ? pv + (qv - pv) * ((u - pu) / (qu - pu)) : fallback;
    };
    for (std::int64_t c = cellOf(pu - m, s), cLast = cellOf(qu + m, s); c <= cLast; ++c) {
        double a = std::clamp(static_cast<double>(c) * s - m, pu, qu);
        double b = std::clamp(static_cast<double>(c + 1) * s + m, pu, qu);
        double va = vAt(a, pv), vb = vAt(b, qv);
        for (std::int64_t r = cellOf(std::min(va, vb) - m, s),
                          rLast = cellOf(std::max(va, vb) + m, s);
             r <= rLast; ++r) {
            if (xMajor)
                f(c, r);
            else
                f(r, c);
        }
    }
}

// The entries of a line as it stands: in each of its cells, under its angle bucket and offset
// (and without direction when its group is plain), or as a speck.
template <typename F> void DupIndex::forEachLineEntry(std::size_t k, F&& f) const {
    const DupItem& line = run_.record(k);
    const std::uint32_t g = group_[k];
    const LineGrid& grid = grids_[g];
    Direction d = directionOf(line);
    auto bucket = static_cast<std::int64_t>(std::min(angleBuckets_ - 1.0, d.angle / angleWidth_));
    forEachLineCell(k, [&](std::int64_t x, std::int64_t y) {
        if (!d.usable) {
            f(cellHash(g, x, y, kSpeckEntry));
            return;
        }
        double zx = (static_cast<double>(x) + 0.5) * grid.cell;
        double zy = (static_cast<double>(y) + 0.5) * grid.cell;
        double offset = d.nx * (line.start.x - zx) + d.ny * (line.start.y - zy);
        f(cellHash(g, x, y, bucket, cellOf(offset, grid.offsetWidth)));
        if (grid.plain) f(cellHash(g, x, y, kPlainEntry));
    });
}

// The cell of a circle or arc (reach 0), or every cell within reach of its centre and radius.
template <typename F> void DupIndex::forEachRoundCell(std::size_t k, double reach, F&& f) const {
    const DupItem& item = run_.record(k);
    const std::uint32_t group = group_[k];
    const double s = roundCell_;
    const double x = item.centre.x, y = item.centre.y, rad = item.radius;
    for (std::int64_t a = cellOf(x - reach, s); a <= cellOf(x + reach, s); ++a)
        for (std::int64_t b = cellOf(y - reach, s); b <= cellOf(y + reach, s); ++b)
            for (std::int64_t c = cellOf(rad - reach, s); c <= cellOf(rad + reach, s); ++c)
                f(cellHash(group, a, b, c));
}

// A group's directional lines entered once more without direction, for the searches of specks.
void DupIndex::enterPlain(std::uint32_t group) {
    LineGrid& grid = grids_[group];
    if (grid.plain) return;
    grid.plain = true;
    for (std::size_t k = 0; k < run_.size(); ++k) {
        if (group_[k] != group || !run_.alive(k) || !directionOf(run_.record(k)).usable) continue;
        forEachLineCell(k, [&](std::int64_t x, std::int64_t y) {
            lines_.add(cellHash(group, x, y, kPlainEntry), static_cast<std::uint32_t>(k));
        });
    }
}

void DupIndex::lineCandidates(std::size_t i, std::vector<std::uint32_t>& out) {
    const DupItem& line = run_.record(i);
    const std::uint32_t g = group_[i];
    Direction d = directionOf(line);
    if (!d.usable) {
        enterPlain(g);
        forEachLineCell(i, [&](std::int64_t x, std::int64_t y) {
            lines_.collect(cellHash(g, x, y, kPlainEntry), out);
            lines_.collect(cellHash(g, x, y, kSpeckEntry), out);
        });
        return;
    }
    const LineGrid& grid = grids_[g];
    std::int64_t first = cellOf(d.angle - angleReach_, angleWidth_);
    std::int64_t last = cellOf(d.angle + angleReach_, angleWidth_);
    forEachLineCell(i, [&](std::int64_t x, std::int64_t y) {
        double zx = (static_cast<double>(x) + 0.5) * grid.cell;
        double zy = (static_cast<double>(y) + 0.5) * grid.cell;
        double offset = d.nx * (line.start.x - zx) + d.ny * (line.start.y - zy);
        for (std::int64_t b = first; b <= last; ++b) {
            // Across 0 or pi the partner's normal points the other way.
            bool turned = b < 0 || b >= angleBuckets_;
            std::int64_t bucket = b < 0                ? b + angleBuckets_
                                  : b >= angleBuckets_ ? b - angleBuckets_
                                                       : b;
            double o = turned ? -offset : offset;
            for (std::int64_t w = cellOf(o - grid.offsetReach, grid.offsetWidth),
                              wLast = cellOf(o + grid.offsetReach, grid.offsetWidth);
                 w <= wLast; ++w)
                lines_.collect(cellHash(g, x, y, bucket, w), out);
        }
        if (grid.specks > 0) lines_.collect(cellHash(g, x, y, kSpeckEntry), out);
    });
}

void DupIndex::candidates(std::size_t i, std::size_t after, std::vector<std::uint32_t>& out) {
    out.clear();
    if (classOf(run_.record(i).kind) == DupClass::Line)
        lineCandidates(i, out);
    else
        forEachRoundCell(i, roundReach_, [&](std::uint64_t h) { rounds_.collect(h, out); });
    std::uint32_t group = group_[i];
    auto unfit = [&](std::uint32_t k) {
        return k <= after || !run_.alive(k) || group_[k] != group;
    };
    out.erase(std::remove_if(out.begin(), out.end(), unfit), out.end());
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
}

// Circles and arcs keep their centre and radius, hence their cell.
void DupIndex::moved(std::size_t k) {
    if (classOf(run_.record(k).kind) != DupClass::Line) return;
    auto record = static_cast<std::uint32_t>(k);
    if (!directionOf(run_.record(k)).usable) ++grids_[group_[k]].specks;
    forEachLineEntry(k, [&](std::uint64_t h) { lines_.add(h, record); });
}

} // namespace zel::dedup
