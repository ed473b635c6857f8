// CIRCLE (centre and radius or diameter, 2P, 3P) and ARC (three points, start-centre-end,
// centre-start-end).
#include "commands/ask.h"
#include "commands/engine.h"
#include "commands/entities.h"
#include "commands/hostcmds.h"
#include "core/tolerance.h"

#include <cmath>
#include <optional>

namespace zel::commands {

namespace {

// The centre of the circle through three points; nullopt when they are in line.
std::optional<AcGePoint3d> circumcentre(const AcGePoint3d& a, const AcGePoint3d& b,
                                        const AcGePoint3d& c) {
    double bx = b.x - a.x, by = b.y - a.y, cx = c.x - a.x, cy = c.y - a.y;
    double d = 2 * (bx * cy - by * cx);
    double scale = std::max({bx * bx + by * by, cx * cx + cy * cy, 1.0});
    if (std::abs(d) <= tol::kParallel * scale) return std::nullopt;
    double b2 = bx * bx + by * by, c2 = cx * cx + cy * cy;
    return AcGePoint3d(a.x + (cy * b2 - by * c2) / d, a.y + (bx * c2 - cx * b2) / d, a.z);
}

double angleOf(const AcGePoint3d& centre, const AcGePoint3d& p) {
    return std::atan2(p.y - centre.y, p.x - centre.x);
}

void addCircle(Engine& e, const AcGePoint3d& centre, double radius) {
    appendEntity(e.database(), std::make_unique<AcDbCircle>(centre, AcGeVector3d(0, 0, 1), radius));
}

void addArc(Engine& e, const AcGePoint3d& centre, double radius, double start, double end) {
    appendEntity(e.database(), std::make_unique<AcDbArc>(centre, radius, start, end));
}

void inLine(Engine& e) {
    e.editor().print(L"\n3 点が一直線上にあります。");
}

void circleCommand(Engine& e) {
    Ask ask(e.editor());
    Answer a =
        ask.point(L"円の中心点を指定 または [3点(3P)/2点(2P)]:", {}, RSG_NONULL, L"3P,3P 2P,2P");
    if (a.keyword(L"2P")) {
        Answer p1 = ask.point(L"円の直径の 1 点目を指定:", {}, RSG_NONULL);
        Answer p2 = ask.point(L"円の直径の 2 点目を指定:", p1.point, RSG_NONULL);
        double r = (p2.point - p1.point).length() / 2;
        if (r <= tol::kPoint) return e.editor().print(L"\n2 点が一致しています。");
        return addCircle(e, p1.point + (p2.point - p1.point) / 2, r);
    }
    if (a.keyword(L"3P")) {
        Answer p1 = ask.point(L"円周上の 1 点目を指定:", {}, RSG_NONULL);
        Answer p2 = ask.point(L"円周上の 2 点目を指定:", p1.point, RSG_NONULL);
        Answer p3 = ask.point(L"円周上の 3 点目を指定:", p2.point, RSG_NONULL);
        std::optional<AcGePoint3d> c = circumcentre(p1.point, p2.point, p3.point);
        if (!c) return inLine(e);
        return addCircle(e, *c, (p1.point - *c).length());
    }
    Answer r = ask.distance(L"円の半径を指定 または [直径(D)]:", a.point,
                            RSG_NONULL | RSG_NOZERO | RSG_NONEG, L"Diameter");
    if (r.keyword(L"Diameter")) {
        Answer d = ask.distance(L"円の直径を指定:", a.point, RSG_NONULL | RSG_NOZERO | RSG_NONEG);
        return addCircle(e, a.point, d.real / 2);
    }
    addCircle(e, a.point, r.real);
}

// Counter-clockwise from start to end about the centre.
void arcFromCentre(Engine& e, Ask& ask, const AcGePoint3d& c, const AcGePoint3d& start) {
    double r = (start - c).length();
    if (r <= tol::kPoint) return e.editor().print(L"\n中心点と始点が一致しています。");
    Answer end = ask.point(L"円弧の終点を指定:", c, RSG_NONULL);
    addArc(e, c, r, angleOf(c, start), angleOf(c, end.point));
}

void arcCommand(Engine& e) {
    Ask ask(e.editor());
    Answer a = ask.point(L"円弧の始点を指定 または [中心(C)]:", {}, RSG_NONULL, L"Center");
    if (a.keyword(L"Center")) {
        Answer c = ask.point(L"円弧の中心点を指定:", {}, RSG_NONULL);
        Answer s = ask.point(L"円弧の始点を指定:", c.point, RSG_NONULL);
        return arcFromCentre(e, ask, c.point, s.point);
    }
    Answer b = ask.point(L"円弧の 2 点目を指定 または [中心(C)]:", a.point, RSG_NONULL, L"Center");
    if (b.keyword(L"Center")) {
        Answer c = ask.point(L"円弧の中心点を指定:", a.point, RSG_NONULL);
        return arcFromCentre(e, ask, c.point, a.point);
    }
    Answer end = ask.point(L"円弧の終点を指定:", b.point, RSG_NONULL);
    std::optional<AcGePoint3d> c = circumcentre(a.point, b.point, end.point);
    if (!c) return inLine(e);
    double r = (a.point - *c).length();
    // counter-clockwise when the second point lies to the left of the chord start -> end
    AcGeVector3d chord = end.point - a.point, toMid = b.point - a.point;
    bool ccw = chord.x * toMid.y - chord.y * toMid.x < 0;
    double s = angleOf(*c, a.point), t = angleOf(*c, end.point);
    if (ccw)
        addArc(e, *c, r, s, t);
    else
        addArc(e, *c, r, t, s);
}

} // namespace

void registerCircleCommands(Engine& e) {
    addHostCommand(e, L"CIRCLE", circleCommand);
    addHostCommand(e, L"ARC", arcCommand);
}

} // namespace zel::commands
