// Section properties and centroid of a profile of segments and arcs (see section.h).
#include "draftedit/engines/section.h"

#include "draftedit/engines/arcsegment.h"
#include "draftedit/engines/fileopen.h"
#include "draftedit/engines/textio.h"
#include "draftedit/engines/tolerances.h"

#include <cmath>
#include <cstdio>
#include <memory>
#include <new>
#include <numbers>
#include <optional>

namespace draftedit::engines {
namespace {

constexpr int kValuesPerSegment = 5;
constexpr double kDegreesPerRadian = 57.29577951308232;
// Directions computed as 180 degrees are brought back to 0.
constexpr double kHalfTurnDegrees = 179.999999;

bool isZero(double v) {
    return std::fabs(v) < tol::kEngineZero;
}

// The piece of the profile an arc adds beyond its chord, in drawing axes: signed area
// (negative for a clockwise arc), its centroid and its second moments about the origin.
struct ArcPiece {
    double area = 0, cx = 0, cy = 0;
    double ixx = 0, iyy = 0, ixy = 0; // ∫y², ∫x², ∫xy
};

ArcPiece arcPiece(double x1, double y1, double x2, double y2, double bulge) {
    const double dx = x2 - x1, dy = y2 - y1;
    const double chord = std::hypot(dx, dy);
    const double theta = 4 * std::atan(bulge);
    if (!(chord > 0)) return {};
    const ChordSegment seg = circularSegment(chord, std::fabs(theta));
    const double sign = theta < 0 ? -1 : 1;
    const double ex = dx / chord, ey = dy / chord;
    // Towards the arc: right of the chord for a counter-clockwise arc, left for a clockwise one.
    const double nx = sign * ey, ny = -sign * ex;
    const double mx = (x1 + x2) / 2, my = (y1 + y2) / 2;
    ArcPiece p;
    p.area = sign * seg.area;
    const double offset = seg.area > 0 ? seg.momentAcross / seg.area : 0;
    p.cx = mx + nx * offset;
    p.cy = my + ny * offset;
    const double a = seg.area, m = seg.momentAcross, along = seg.inertiaAlong,
                 across = seg.inertiaAcross;
    p.iyy = sign * (a * mx * mx + 2 * mx * nx * m + ex * ex * along + nx * nx * across);
    p.ixx = sign * (a * my * my + 2 * my * ny * m + ey * ey * along + ny * ny * across);
    p.ixy = sign * (a * mx * my + (mx * ny + my * nx) * m + ex * ey * along + nx * ny * across);
    return p;
}

bool hasArc(const Segment& s) {
    return std::fabs(s.bulge) > tol::kEngineZero;
}

double rootOrZero(double v) {
    return v > 0 ? std::sqrt(v) : 0;
}

} // namespace

std::vector<Segment> parseSegments(std::string_view content) {
    std::vector<Segment> segments;
    double values[kValuesPerSegment] = {};
    int filled = 0;
    for (const std::wstring& line : splitLines(decodeText(content))) {
        values[filled++] = parseLeadingNumber(line);
        if (filled < kValuesPerSegment) continue;
        segments.push_back({values[0], values[1], values[2], values[3], values[4]});
        filled = 0;
    }
    return segments;
}

Centroid computeCentroid(std::span<const Segment> segments) {
    // Sums of the pieces' signed areas and first moments; the centroid is their quotient at
    // the end, so a partial sum of zero area on the way does no harm.
    double area = 0, momentX = 0, momentY = 0;
    for (const Segment& s : segments) {
        const double triangle = (s.x1 * s.y2 - s.y1 * s.x2) / 2;
        area += triangle;
        momentX += triangle * (s.x1 + s.x2) / 3;
        momentY += triangle * (s.y1 + s.y2) / 3;
        if (!hasArc(s)) continue;
        const ArcPiece arc = arcPiece(s.x1, s.y1, s.x2, s.y2, s.bulge);
        area += arc.area;
        momentX += arc.area * arc.cx;
        momentY += arc.area * arc.cy;
    }
    Centroid c;
    if (area != 0) {
        c.gx = momentX / area;
        c.gy = momentY / area;
    }
    c.area = std::fabs(area);
    return c;
}

SectionProperties computeSectionProperties(std::span<const Segment> segments) {
    const Centroid g = computeCentroid(segments);
    SectionProperties p;
    p.gx = g.gx;
    p.gy = g.gy;
    p.area = g.area;
    double ix = 0, iy = 0, ixy = 0;
    for (const Segment& s : segments) {
        const double x1 = s.x1 - g.gx, y1 = s.y1 - g.gy, x2 = s.x2 - g.gx, y2 = s.y2 - g.gy;
        if (isZero(x2 - x1) && isZero(y2 - y1)) continue;
        const double cross = x1 * y2 - y1 * x2;
        ix += cross * (y1 * y1 + y1 * y2 + y2 * y2) / 12;
        iy += cross * (x1 * x1 + x1 * x2 + x2 * x2) / 12;
        ixy += cross * (2 * x1 * y1 + x1 * y2 + x2 * y1 + 2 * x2 * y2) / 24;
        if (!hasArc(s)) continue;
        const ArcPiece arc = arcPiece(x1, y1, x2, y2, s.bulge);
        ix += arc.ixx;
        iy += arc.iyy;
        ixy += arc.ixy;
    }
    if (ix < 0) {
        ix = -ix;
        iy = -iy;
        ixy = -ixy;
    }
    if (isZero(ixy)) ixy = 0;
    p.ix = ix;
    p.iy = iy;
    p.ixy = ixy;
    p.ip = ix + iy;
    const double spread = std::sqrt((ix - iy) * (ix - iy) + 4 * ixy * ixy);
    p.i1 = (ix + iy + spread) / 2;
    p.i2 = (ix + iy - spread) / 2;
    if (p.area > 0) {
        p.kx = rootOrZero(ix / p.area);
        p.ky = rootOrZero(iy / p.area);
        p.k1 = rootOrZero(p.i1 / p.area);
        p.k2 = rootOrZero(p.i2 / p.area);
    }
    if (std::fabs(ixy) <= tol::kEngineZero && std::fabs(iy - ix) <= tol::kEngineZero) {
        p.theta = 0;
    } else {
        const double alpha = std::atan2(2 * ixy, iy - ix);
        p.theta = (alpha / 2 + std::numbers::pi / 2) * kDegreesPerRadian;
        if (p.theta > kHalfTurnDegrees) p.theta -= 180;
    }
    return p;
}

namespace {

std::string formatValues(const char* format, std::initializer_list<double> values) {
    std::string out;
    for (double v : values) {
        char buf[512];
        std::snprintf(buf, sizeof buf, format, v);
        out += buf;
    }
    return out;
}

} // namespace

std::string formatCentroid(const Centroid& c) {
    return formatValues("%.12f\n", {c.gx, c.gy, c.area});
}

std::string formatSectionProperties(const SectionProperties& p) {
    return formatValues("%15.6f\n", {p.gx, p.area, p.gy, p.ix, p.i1, p.iy, p.i2, p.ip, p.ixy, p.kx,
                                     p.k1, p.ky, p.k2, p.theta});
}

bool writeWholeFile(const std::string& path, std::string_view text) {
    std::unique_ptr<std::FILE, FileCloser> f(openFile(path, "w"));
    if (!f) return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), f.get()) == text.size();
    return std::fclose(f.release()) == 0 && written;
}

EngineStatus runEngine(EngineKind kind, const std::string& inputPath,
                       const std::string& outputPath) {
    const char* failure = nullptr;
    std::string answer;
    try {
        std::optional<std::string> content = readFileBytes(inputPath);
        if (!content) {
            failure = kNoInputText;
        } else {
            std::vector<Segment> segments = parseSegments(*content);
            answer = kind == EngineKind::Centroid
                         ? formatCentroid(computeCentroid(segments))
                         : formatSectionProperties(computeSectionProperties(segments));
        }
    } catch (const std::bad_alloc&) {
        failure = kNoMemoryText;
    }
    if (!writeWholeFile(outputPath, failure ? std::string_view(failure) : answer))
        return EngineStatus::OutputNotOpened;
    if (!failure) return EngineStatus::Written;
    return failure == kNoInputText ? EngineStatus::InputMissing : EngineStatus::NoMemory;
}

} // namespace draftedit::engines
