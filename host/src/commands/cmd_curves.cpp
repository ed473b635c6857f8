// ELLIPSE (by axis ends or centre, elliptical arcs by angles) and SPLINE (through fit points,
// open or closed, with end tangents).
#include "commands/ask.h"
#include "commands/engine.h"
#include "commands/entities.h"
#include "commands/hostcmds.h"
#include "core/tolerance.h"

#include <cmath>

namespace zel::commands {

namespace {

// ---- ELLIPSE ----------------------------------------------------------------------------

struct EllipseAxes {
    AcGePoint3d center;
    AcGeVector3d major; // centre to the end of the first axis
    double other = 0;   // half length of the other axis
};

// Another point that is not the first one (asked again when it is).
AcGePoint3d askDistinct(Engine& e, Ask& ask, std::wstring_view prompt, const AcGePoint3d& from) {
    for (;;) {
        AcGePoint3d p = ask.point(prompt, from, RSG_NONULL).point;
        if (p.distanceTo(from) > tol::kPoint) return p;
        e.editor().print(L"\n2 点が一致しています。");
    }
}

double askOtherAxis(Engine& e, Ask& ask, const EllipseAxes& axes) {
    double major = axes.major.length();
    for (;;) {
        Answer a = ask.distance(L"もう一方の軸の距離を指定 または [回転(R)]:", axes.center,
                                RSG_NONULL | RSG_NOZERO | RSG_NONEG, L"Rotation");
        if (a.keyword(L"Rotation")) {
            Answer r = ask.angle(L"長軸周りの回転角度を指定:", axes.center, RSG_NONULL);
            double c = std::cos(r.real);
            if (std::fabs(c) > tol::kParallel && std::fabs(c) <= 1) return major * std::fabs(c);
            e.editor().print(L"\n回転角度が無効です。");
            continue;
        }
        return a.real;
    }
}

// The axes from the ends of the first axis (its first end given).
EllipseAxes axesFromEnd(Engine& e, Ask& ask, const AcGePoint3d& a) {
    EllipseAxes axes;
    AcGePoint3d b = askDistinct(e, ask, L"軸の 2 点目を指定:", a);
    axes.center = a + (b - a) / 2;
    axes.major = b - axes.center;
    axes.other = askOtherAxis(e, ask, axes);
    return axes;
}

EllipseAxes axesFromCenter(Engine& e, Ask& ask) {
    EllipseAxes axes;
    axes.center = ask.point(L"楕円の中心を指定:", {}, RSG_NONULL).point;
    axes.major = askDistinct(e, ask, L"軸の端点を指定:", axes.center) - axes.center;
    axes.other = askOtherAxis(e, ask, axes);
    return axes;
}

// The ellipse with its major axis the longer of the two (the ratio at most 1).
std::unique_ptr<AcDbEllipse> makeEllipse(const EllipseAxes& axes) {
    AcGeVector3d normal(0, 0, 1);
    AcGeVector3d major = axes.major;
    double ratio = axes.other / major.length();
    if (ratio > 1) {
        major = normal.crossProduct(major).normal() * axes.other;
        ratio = 1 / ratio;
    }
    return std::make_unique<AcDbEllipse>(axes.center, normal, major, ratio);
}

void ellipseCommand(Engine& e) {
    Ask ask(e.editor());
    Answer first = ask.point(L"楕円の軸の 1 点目を指定 または [円弧(A)/中心(C)]:", {}, RSG_NONULL,
                             L"Arc Center");
    bool arc = first.keyword(L"Arc");
    if (arc) {
        first =
            ask.point(L"楕円弧の軸の 1 点目を指定 または [中心(C)]:", {}, RSG_NONULL, L"Center");
    }
    EllipseAxes axes = first.ok() ? axesFromEnd(e, ask, first.point) : axesFromCenter(e, ask);
    std::unique_ptr<AcDbEllipse> ellipse = makeEllipse(axes);
    if (arc) {
        // Angles are typed from the first axis; the ellipse counts them from its major axis.
        double offset = std::atan2(axes.major.y, axes.major.x) -
                        std::atan2(ellipse->majorAxis().y, ellipse->majorAxis().x);
        double start = ask.angle(L"始点の角度を指定:", axes.center, RSG_NONULL).real;
        double end = ask.angle(L"終点の角度を指定:", axes.center, RSG_NONULL).real;
        double ratio = ellipse->radiusRatio();
        auto param = [&](double a) {
            double t = a + offset;
            return std::atan2(std::sin(t) / ratio, std::cos(t)); // angle to parameter
        };
        ellipse->set(ellipse->center(), ellipse->normal(), ellipse->majorAxis(), ratio,
                     param(start), param(end));
    }
    appendEntity(e.database(), std::move(ellipse));
}

// ---- SPLINE -----------------------------------------------------------------------------

void splineCommand(Engine& e) {
    Ask ask(e.editor());
    std::vector<AcGePoint3d> points;
    points.push_back(ask.point(L"1 点目を指定:", {}, RSG_NONULL).point);
    points.push_back(askDistinct(e, ask, L"次の点を入力:", points.back()));
    bool closed = false;
    for (;;) {
        Answer a =
            ask.point(L"次の点を指定 または [閉じる(C)] <接線>:", points.back(), 0, L"Close");
        if (a.none()) break;
        if (a.keyword(L"Close")) {
            closed = true;
            break;
        }
        if (a.point.distanceTo(points.back()) <= tol::kPoint) continue; // a repeated point
        points.push_back(a.point);
    }
    std::unique_ptr<AcDbSpline> spline;
    if (closed) {
        points.push_back(points.front());
        spline = std::make_unique<AcDbSpline>(points);
    } else {
        Answer s = ask.point(L"始点の接線を指定:", points.front());
        Answer t = ask.point(L"終点の接線を指定:", points.back());
        AcGeVector3d start = s.ok() ? (s.point - points.front()) : AcGeVector3d();
        AcGeVector3d end = t.ok() ? (t.point - points.back()) : AcGeVector3d();
        if (start.length() > tol::kVectorLength) start.normalize();
        if (end.length() > tol::kVectorLength) end.normalize();
        spline = std::make_unique<AcDbSpline>(points, start, end);
    }
    appendEntity(e.database(), std::move(spline));
}

} // namespace

void registerCurveCommands(Engine& e) {
    addHostCommand(e, L"ELLIPSE", ellipseCommand);
    addHostCommand(e, L"SPLINE", splineCommand);
}

} // namespace zel::commands
