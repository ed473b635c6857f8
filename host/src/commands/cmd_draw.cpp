// LINE, XLINE, RAY, POINT, RECTANG.
#include "commands/ask.h"
#include "commands/engine.h"
#include "commands/entities.h"
#include "commands/hostcmds.h"
#include "core/tolerance.h"

#include <cmath>
#include <vector>

namespace zel::commands {

namespace {

AcDbObjectId addLine(Engine& e, const AcGePoint3d& a, const AcGePoint3d& b) {
    return appendEntity(e.database(), std::make_unique<AcDbLine>(a, b));
}

// LINE: segments from point to point until Enter; "U" takes back the last segment, "C" closes
// back to the first point (after two segments). Segments drawn stay when the user cancels.
void lineCommand(Engine& e) {
    Ask ask(e.editor());
    Answer first = ask.point(L"1 点目を指定:", {}, RSG_NONULL);
    std::vector<AcGePoint3d> pts{first.point};
    std::vector<AcDbObjectId> made;
    for (;;) {
        bool canClose = made.size() >= 2;
        Answer a = canClose
                       ? ask.point(L"次の点を指定 または [閉じる(C)/元に戻す(U)]:", pts.back(), 0,
                                   L"Close Undo")
                       : ask.point(L"次の点を指定 または [元に戻す(U)]:", pts.back(), 0, L"Undo");
        if (a.none()) return;
        if (a.keyword(L"Close")) {
            addLine(e, pts.back(), pts.front());
            return;
        }
        if (a.keyword(L"Undo")) {
            if (made.empty()) {
                e.editor().print(L"\nこれ以上元に戻せません。");
                continue;
            }
            eraseEntity(made.back());
            made.pop_back();
            pts.pop_back();
            continue;
        }
        made.push_back(addLine(e, pts.back(), a.point));
        pts.push_back(a.point);
    }
}

void pointCommand(Engine& e) {
    Ask ask(e.editor());
    Answer a = ask.point(L"点を指定:", {}, RSG_NONULL);
    appendEntity(e.database(), std::make_unique<AcDbPoint>(a.point));
}

template <class T> void addInfinite(Engine& e, const AcGePoint3d& base, const AcGeVector3d& dir) {
    auto ent = std::make_unique<T>();
    ent->setBasePoint(base);
    ent->setUnitDir(dir);
    appendEntity(e.database(), std::move(ent));
}

// Through points from one base until Enter; points on the base are refused.
template <class T> void throughPoints(Engine& e, Ask& ask, const AcGePoint3d& base) {
    for (;;) {
        Answer a = ask.point(L"通過点を指定:", base);
        if (a.none()) return;
        AcGeVector3d dir = a.point - base;
        if (dir.length() <= tol::kPoint) {
            e.editor().print(L"\n点が基点と一致しています。");
            continue;
        }
        addInfinite<T>(e, base, dir.normal());
    }
}

// XLINE: through two points, or horizontal / vertical through each point given.
void xlineCommand(Engine& e) {
    Ask ask(e.editor());
    Answer a = ask.point(L"点を指定 または [水平(H)/垂直(V)]:", {}, RSG_NONULL, L"Hor Ver");
    if (a.keyword(L"Hor") || a.keyword(L"Ver")) {
        AcGeVector3d dir = a.keyword(L"Hor") ? AcGeVector3d(1, 0, 0) : AcGeVector3d(0, 1, 0);
        for (;;) {
            Answer p = ask.point(L"通過点を指定:");
            if (p.none()) return;
            addInfinite<AcDbXline>(e, p.point, dir);
        }
    }
    throughPoints<AcDbXline>(e, ask, a.point);
}

void rayCommand(Engine& e) {
    Ask ask(e.editor());
    Answer a = ask.point(L"始点を指定:", {}, RSG_NONULL);
    throughPoints<AcDbRay>(e, ask, a.point);
}

// RECTANG: a closed light polyline from two opposite corners.
void rectangCommand(Engine& e) {
    Ask ask(e.editor());
    Answer a = ask.point(L"一方のコーナーを指定:", {}, RSG_NONULL);
    Answer b;
    for (;;) {
        b = ask.point(L"もう一方のコーナーを指定:", a.point, RSG_NONULL);
        if (std::abs(b.point.x - a.point.x) > tol::kPoint &&
            std::abs(b.point.y - a.point.y) > tol::kPoint)
            break;
        e.editor().print(L"\n長方形の幅と高さは 0 より大きくなければなりません。");
    }
    auto pl = std::make_unique<AcDbPolyline>(4);
    pl->addVertexAt(0, AcGePoint2d(a.point.x, a.point.y));
    pl->addVertexAt(1, AcGePoint2d(b.point.x, a.point.y));
    pl->addVertexAt(2, AcGePoint2d(b.point.x, b.point.y));
    pl->addVertexAt(3, AcGePoint2d(a.point.x, b.point.y));
    pl->setClosed(true);
    appendEntity(e.database(), std::move(pl));
}

} // namespace

void registerDrawCommands(Engine& e) {
    addHostCommand(e, L"LINE", lineCommand);
    addHostCommand(e, L"POINT", pointCommand);
    addHostCommand(e, L"XLINE", xlineCommand);
    addHostCommand(e, L"RAY", rayCommand);
    addHostCommand(e, L"RECTANG", rectangCommand);
}

} // namespace zel::commands
