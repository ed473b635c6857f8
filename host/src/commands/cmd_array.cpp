// ARRAY (classic): rectangular arrays along the current UCS, polar arrays around a centre.
#include "commands/ask.h"
#include "commands/entities.h"
#include "commands/hostcmds.h"
#include "commands/selecting.h"
#include "core/text.h"
#include "core/tolerance.h"

#include <cmath>
#include <stdexcept>

namespace zel::commands {

namespace {

// Classic ARRAY refuses arrays larger than this many items (rows × columns or polar count).
constexpr int kMaxItems = 100000;

constexpr const wchar_t* kTooManyItems = L"項目が多すぎます。";
constexpr const wchar_t* kNothingToCount = L"項目数と角度の両方が 0 にはできません。";

// An array the answers cannot make: the command ends with the message as failed (the engine
// prints it), so that a caller of acedCmdS learns that nothing was made.
[[noreturn]] void refuse(const wchar_t* message) {
    throw std::runtime_error(core::wideToUtf8(message));
}

void copyAll(Engine& e, const editor::EntityIds& ids, const AcGeMatrix3d& m) {
    for (AcDbObjectId id : ids)
        appendCopy(e.database(), id, m);
}

// A count of at least one; asks again above the limit.
int askCount(Ask& ask, std::wstring_view prompt) {
    for (;;) {
        Answer a = ask.integer(prompt, RSG_NOZERO | RSG_NONEG);
        int n = a.none() ? 1 : a.integer;
        if (n <= kMaxItems) return n;
        ask.editor().print(L"\n値は 1 から 100000 までの整数でなければなりません。");
    }
}

// A spacing of 0 is allowed: it puts the copies in place (commands copy a selection that way).
double askSpacing(Ask& ask, std::wstring_view prompt) {
    return ask.distance(prompt, {}, RSG_NONULL).real;
}

void rectangularArray(Engine& e, const editor::EntityIds& ids, Ask& ask) {
    int rows = askCount(ask, L"行の数を入力 (---) <1>:");
    int columns = askCount(ask, L"列の数を入力 (|||) <1>:");
    if (int64_t(rows) * columns > kMaxItems) refuse(kTooManyItems);
    double rowSpacing = rows != 1 ? askSpacing(ask, L"行の間隔を入力 (---):") : 0;
    double columnSpacing = columns != 1 ? askSpacing(ask, L"列の間隔を指定 (|||):") : 0;
    editor::Ucs ucs = e.editor().ucs();
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            if (r == 0 && c == 0) continue; // the original stays where it is
            AcGeVector3d d = ucs.xAxis * (c * columnSpacing) + ucs.yAxis * (r * rowSpacing);
            copyAll(e, ids, AcGeMatrix3d::translation(d));
        }
    }
}

// The point of an entity that travels round the circle when the items are not rotated.
AcGePoint3d referencePoint(AcDbObjectId id) {
    AcDbEntity* ent = nullptr;
    if (acdbOpenAcDbEntity(ent, id, AcDb::kForRead) != Acad::eOk) return {};
    AcGePoint3d p;
    if (auto* c = AcDbCircle::cast(ent)) {
        p = c->center();
    } else if (auto* a = AcDbArc::cast(ent)) {
        p = a->center();
    } else if (auto* el = AcDbEllipse::cast(ent)) {
        p = el->center();
    } else if (auto* t = AcDbText::cast(ent)) {
        p = t->position();
    } else if (auto* b = AcDbBlockReference::cast(ent)) {
        p = b->position();
    } else if (auto* curve = AcDbCurve::cast(ent)) {
        curve->getStartPoint(p);
    } else {
        AcDbExtents ext;
        if (ent->getGeomExtents(ext) == Acad::eOk) p = ext.minPoint();
    }
    ent->close();
    return p;
}

struct PolarPlan {
    int count = 0;   // items, the original included
    double step = 0; // radians between neighbours (sign gives the direction)
};

// Count, fill angle and angle between items, as the classic prompts combine them.
void planPolar(Ask& ask, PolarPlan& plan) {
    Answer n = ask.integer(L"項目数を入力:", RSG_NOZERO | RSG_NONEG);
    Answer fill = ask.real(L"角度を指定 (+=反時計回り, -=時計回り) <360>:");
    double fillDeg = fill.none() ? 360.0 : fill.real;
    bool full = std::fabs(std::fabs(fillDeg) - 360.0) < tol::kTypedDegrees;
    if (n.none() || std::fabs(fillDeg) < tol::kTypedDegrees) {
        double between = ask.real(L"項目間の角度を指定:", RSG_NONULL | RSG_NOZERO).real;
        if (n.none()) {
            if (std::fabs(fillDeg) < tol::kTypedDegrees) refuse(kNothingToCount);
            plan.count =
                int(std::floor(std::fabs(fillDeg / between) + tol::kTypedDegrees)) + (full ? 0 : 1);
            plan.step = std::copysign(std::fabs(between), fillDeg) * M_PI / 180;
        } else {
            plan.count = n.integer;
            plan.step = between * M_PI / 180;
        }
    } else {
        plan.count = n.integer;
        int gaps = full ? plan.count : plan.count - 1;
        plan.step = gaps > 0 ? fillDeg / gaps * M_PI / 180 : 0;
    }
    if (plan.count > kMaxItems) refuse(kTooManyItems);
}

void polarArray(Engine& e, const editor::EntityIds& ids, Ask& ask) {
    AcGePoint3d center = ask.point(L"配列複写の中心点を指定:", {}, RSG_NONULL).point;
    PolarPlan plan;
    planPolar(ask, plan);
    Answer rotate = ask.keyword(
        L"配列複写されたオブジェクトを回転しますか? [はい(Y)/いいえ(N)] <Y>:", L"Yes No");
    bool rotating = !rotate.keyword(L"No");
    AcGeVector3d axis = e.editor().ucs().zAxis();
    for (int i = 1; i < plan.count; ++i) {
        AcGeMatrix3d turn = AcGeMatrix3d::rotation(plan.step * i, axis, center);
        for (AcDbObjectId id : ids) {
            if (rotating) {
                appendCopy(e.database(), id, turn);
                continue;
            }
            AcGePoint3d from = referencePoint(id);
            AcGePoint3d to = from;
            to.transformBy(turn);
            appendCopy(e.database(), id, AcGeMatrix3d::translation(to - from));
        }
    }
}

void arrayCommand(Engine& e) {
    editor::EntityIds ids = selectForCommand(e);
    if (ids.empty()) return;
    Ask ask(e.editor());
    Answer kind =
        ask.keyword(L"配列複写のタイプを入力 [矩形状(R)/円形状(P)] <R>:", L"Rectangular Polar");
    if (kind.keyword(L"Polar")) {
        polarArray(e, ids, ask);
        return;
    }
    rectangularArray(e, ids, ask);
}

} // namespace

void registerArrayCommand(Engine& e) {
    addHostCommand(e, L"ARRAY", arrayCommand);
}

} // namespace zel::commands
