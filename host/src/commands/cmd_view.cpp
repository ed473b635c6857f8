// ZOOM, REGEN, REDRAW, GRAPHSCR (the view is notional: VIEWCTR and VIEWSIZE) and UCS.
#include "commands/ask.h"
#include "commands/engine.h"
#include "commands/hostcmds.h"
#include "core/text.h"
#include "core/tolerance.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace zel::commands {

namespace {

// The extents of model space; nullopt when it has nothing with extents.
std::optional<AcDbExtents> drawingExtents(AcDbDatabase& db) {
    AcDbBlockTableRecord* space = nullptr;
    if (acdbOpenObject(space, db.currentSpaceId(), AcDb::kForRead) != Acad::eOk) return {};
    AcDbBlockTableRecordIterator* raw = nullptr;
    std::optional<AcDbExtents> ext;
    if (space->newIterator(raw) == Acad::eOk) {
        std::unique_ptr<AcDbBlockTableRecordIterator> it(raw);
        for (; !it->done(); it->step()) {
            AcDbEntity* ent = nullptr;
            if (it->getEntity(ent, AcDb::kForRead) != Acad::eOk) continue;
            AcDbExtents e;
            if (ent->getGeomExtents(e) == Acad::eOk) {
                if (!ext)
                    ext = e;
                else
                    ext->addExt(e);
            }
            ent->close();
        }
    }
    space->close();
    return ext;
}

void setView(Engine& e, const AcGePoint3d& center, double height) {
    if (!(height > tol::kPoint) || !std::isfinite(height)) return;
    editor::SysVars& v = e.editor().vars();
    e.viewHistory().push_back({v.point(L"VIEWCTR"), v.real(L"VIEWSIZE")});
    e.editor().setView(center, height);
    e.editor().tempGraphics().clear();
}

// The height that shows a window of w by h on the notional screen.
double heightFor(Engine& e, double w, double h) {
    AcGePoint3d screen = e.editor().vars().point(L"SCREENSIZE");
    double aspect = screen.y > 0 ? screen.x / screen.y : 1.0;
    return std::max(h, w / aspect);
}

void zoomWindow(Engine& e, const AcGePoint3d& a, const AcGePoint3d& b) {
    AcGePoint3d c((a.x + b.x) / 2, (a.y + b.y) / 2, 0);
    setView(e, c, heightFor(e, std::abs(b.x - a.x), std::abs(b.y - a.y)));
}

void zoomExtents(Engine& e, bool withLimits) {
    std::optional<AcDbExtents> ext = drawingExtents(e.database());
    AcGePoint3d lo, hi;
    if (ext) {
        lo = ext->minPoint();
        hi = ext->maxPoint();
    }
    if (withLimits || !ext) {
        AcGePoint3d lmin = e.editor().vars().point(L"LIMMIN"),
                    lmax = e.editor().vars().point(L"LIMMAX");
        lo = ext ? AcGePoint3d(std::min(lo.x, lmin.x), std::min(lo.y, lmin.y), 0) : lmin;
        hi = ext ? AcGePoint3d(std::max(hi.x, lmax.x), std::max(hi.y, lmax.y), 0) : lmax;
    }
    double h = heightFor(e, hi.x - lo.x, hi.y - lo.y);
    setView(e, AcGePoint3d((lo.x + hi.x) / 2, (lo.y + hi.y) / 2, 0), h > 0 ? h : 1.0);
}

void zoomPrevious(Engine& e) {
    if (e.viewHistory().empty()) return e.editor().print(L"\n前の画面はありません。");
    Engine::View v = e.viewHistory().back();
    e.viewHistory().pop_back();
    e.editor().setView(v.center, v.height);
}

// A scale factor typed as "2", "0.5x" or "2XP": nullopt when the text is none.
std::optional<double> zoomFactor(std::wstring text, bool& relative) {
    text = core::toUpper(core::trim(text));
    relative = false;
    if (text.ends_with(L"XP"))
        text.resize(text.size() - 2);
    else if (text.ends_with(L"X")) {
        relative = true;
        text.pop_back();
    }
    std::optional<double> f = core::parseDouble(text);
    if (!f || !(*f > 0)) return std::nullopt;
    return f;
}

void zoomCommand(Engine& e) {
    Ask ask(e.editor());
    Answer a = ask.point(L"ウィンドウの隅を指定、倍率を入力 (nX または nXP)、または "
                         L"[全体(A)/中心(C)/オブジェクト範囲(E)/前画面(P)/ウィンドウ(W)]:",
                         {}, RSG_NONULL | RSG_OTHER, L"All Center Extents Previous Window");
    editor::SysVars& v = e.editor().vars();
    if (a.ok()) {
        Answer b = ask.point(L"もう一方のコーナーを指定:", a.point, RSG_NONULL);
        return zoomWindow(e, a.point, b.point);
    }
    if (a.keyword(L"All") || a.keyword(L"Extents")) return zoomExtents(e, a.keyword(L"All"));
    if (a.keyword(L"Previous")) return zoomPrevious(e);
    if (a.keyword(L"Window")) {
        Answer p = ask.point(L"1 つ目のコーナーを指定:", {}, RSG_NONULL);
        Answer q = ask.point(L"もう一方のコーナーを指定:", p.point, RSG_NONULL);
        return zoomWindow(e, p.point, q.point);
    }
    if (a.keyword(L"Center")) {
        Answer c = ask.point(L"中心点を指定:", {}, RSG_NONULL);
        Answer h =
            ask.distance(L"倍率または高さを入力 <" + core::toWString(v.real(L"VIEWSIZE")) + L">:",
                         {}, RSG_NOZERO | RSG_NONEG);
        return setView(e, c.point, h.none() ? v.real(L"VIEWSIZE") : h.real);
    }
    bool relative = false;
    std::optional<double> f = zoomFactor(a.text, relative);
    if (!f) return e.editor().print(L"\n点または選択肢のキーワードが必要です。");
    double size = v.real(L"VIEWSIZE");
    setView(e, v.point(L"VIEWCTR"), size / *f);
}

// The screen is drawn anew: temporary vectors are gone.
void refresh(Engine& e) {
    e.editor().tempGraphics().clear();
}

// ---- UCS --------------------------------------------------------------------------------------

void setUcs(Engine& e, const editor::Ucs& u, bool remember) {
    editor::SysVars& v = e.editor().vars();
    if (remember) e.ucsHistory().push_back(e.editor().ucs());
    v.setInternal(L"UCSORG", u.origin);
    v.setInternal(L"UCSXDIR", AcGePoint3d(u.xAxis.x, u.xAxis.y, u.xAxis.z));
    v.setInternal(L"UCSYDIR", AcGePoint3d(u.yAxis.x, u.yAxis.y, u.yAxis.z));
}

void ucsCommand(Engine& e) {
    Ask ask(e.editor());
    Answer a =
        ask.keyword(L"[原点(O)/Z/前(P)/ワールド(W)] <ワールド>:", L"Origin Z Previous World");
    editor::Ucs u = e.editor().ucs();
    if (a.none() || a.keyword(L"World")) return setUcs(e, editor::Ucs{}, true);
    if (a.keyword(L"Previous")) {
        if (e.ucsHistory().empty()) return e.editor().print(L"\n前の UCS はありません。");
        editor::Ucs prev = e.ucsHistory().back();
        e.ucsHistory().pop_back();
        return setUcs(e, prev, false);
    }
    if (a.keyword(L"Origin")) {
        Answer p = ask.point(L"新しい原点を指定 <0,0,0>:");
        u.origin = p.none() ? u.origin : p.point;
        return setUcs(e, u, true);
    }
    Answer r = ask.angle(L"Z 軸回りの回転角度を指定 <90>:");
    double angle = r.none() ? M_PI / 2 : r.real;
    AcGeVector3d x = u.xAxis, y = u.yAxis;
    u.xAxis = x * std::cos(angle) + y * std::sin(angle);
    u.yAxis = y * std::cos(angle) - x * std::sin(angle);
    setUcs(e, u, true);
}

} // namespace

void registerViewCommands(Engine& e) {
    addHostCommand(e, L"ZOOM", zoomCommand, editor::kCmdTransparent);
    addHostCommand(e, L"REGEN", refresh, editor::kCmdNoUndo);
    addHostCommand(e, L"REDRAW", refresh, editor::kCmdNoUndo | editor::kCmdTransparent);
    addHostCommand(e, L"GRAPHSCR", refresh, editor::kCmdNoUndo | editor::kCmdTransparent);
    addHostCommand(e, L"UCS", ucsCommand);
}

} // namespace zel::commands
