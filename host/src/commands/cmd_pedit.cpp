// PEDIT: a polyline (a line or an arc is turned into one first, on "Y") is closed, opened or
// joined with the lines, arcs and open polylines whose ends meet its ends (within the join
// gap), repeatedly at either end; the joined sources are erased and the result closes when
// the chain comes back to its start. New polylines follow PLINETYPE: 0 makes a 2-D polyline
// with VERTEX entities, otherwise a light polyline.
#include "commands/ask.h"
#include "commands/curve_entities.h"
#include "commands/entities.h"
#include "commands/hostcmds.h"
#include "commands/picks.h"
#include "commands/selecting.h"
#include "core/tolerance.h"
#include "db/database_impl.h"
#include "geom/join.h"

namespace zel::commands {

namespace {

using geom::Curve;

bool isPolylineEntity(const AcDbEntity& e) {
    return AcDbPolyline::cast(&e) || AcDb2dPolyline::cast(&e);
}

// The polyline to edit; nullopt when the user ended the command.
std::optional<AcDbObjectId> pickPolyline(Engine& e) {
    for (;;) {
        CurvePick pick = pickCurve(e, L"ポリラインを選択:");
        if (pick.kind == CurvePick::Enter) return std::nullopt;
        if (pick.kind == CurvePick::Entity) return pick.id;
        e.editor().print(L"\nオブジェクトが見つかりません。");
    }
}

// A line or arc made into a polyline of the kind PLINETYPE asks for, in its place.
std::optional<AcDbObjectId> convert(Engine& e, AcDbObjectId id) {
    auto* src = db::peekAs<AcDbEntity>(id);
    std::optional<Curve> c = curveOfId(id);
    std::optional<geom::Polyline> pl = c ? geom::asPolyline(*c) : std::nullopt;
    if (!src || !pl) return std::nullopt;
    if (e.editor().vars().integer(L"PLINETYPE") != 0) {
        auto light = std::make_unique<AcDbPolyline>();
        std::unique_ptr<AcDbEntity> made = entityOfCurve(*pl, *light);
        copyPieceProperties(*made, *src);
        if (!replaceEntity(id, std::move(made))) return std::nullopt;
        return id;
    }
    AcDb2dPolyline kind;
    std::unique_ptr<AcDbEntity> made = entityOfCurve(*pl, kind);
    copyPieceProperties(*made, *src);
    AcDbObjectId newId = appendEntity(e.database(), std::move(made));
    if (newId.isNull()) return std::nullopt;
    eraseEntity(id);
    return newId;
}

// The polyline to edit, a line or arc converted when the user agrees.
std::optional<AcDbObjectId> polylineToEdit(Engine& e, AcDbObjectId id) {
    auto* ent = db::peekAs<AcDbEntity>(id);
    if (ent && isPolylineEntity(*ent)) return id;
    if (!ent || !(AcDbLine::cast(ent) || AcDbArc::cast(ent))) {
        e.editor().print(L"\nこのオブジェクトはポリラインに変換できません。");
        return std::nullopt;
    }
    e.editor().print(L"\n選択したオブジェクトはポリラインではありません。");
    Answer a =
        Ask(e.editor()).keyword(L"ポリラインに変換しますか? [はい(Y)/いいえ(N)] <Y>:", L"Yes No");
    if (a.keyword(L"No")) return std::nullopt;
    return convert(e, id);
}

void setClosed(Engine& e, AcDbObjectId id, bool closed) {
    std::optional<Curve> c = curveOfId(id);
    if (!c) return;
    auto pl = std::get<geom::Polyline>(*c);
    pl.closed = closed;
    replaceByPieces(e, id, {pl});
}

void join(Engine& e, AcDbObjectId id) {
    std::optional<Curve> c = curveOfId(id);
    if (!c || std::get<geom::Polyline>(*c).closed) {
        e.editor().print(c ? L"\n閉じたポリラインには結合できません。"
                           : L"\nこのポリラインには結合できません。");
        selectForCommand(e); // the selection is read all the same
        return;
    }
    std::vector<AcDbObjectId> ids;
    std::vector<Curve> curves;
    for (AcDbObjectId other : selectForCommand(e)) {
        std::optional<Curve> oc = other == id ? std::nullopt : curveOfId(other);
        if (!oc || !geom::asPolyline(*oc)) continue;
        ids.push_back(other);
        curves.push_back(std::move(*oc));
    }
    geom::JoinResult r = geom::joinChain(std::get<geom::Polyline>(*c), curves, tol::kJoinGap);
    if (r.segmentsAdded > 0 && replaceByPieces(e, id, {r.polyline}).empty()) return;
    for (size_t i : r.used)
        eraseEntity(ids[i]);
    e.editor().print(L"\n" + std::to_wstring(r.segmentsAdded) +
                     L" 個のセグメントがポリラインに追加されました。");
}

bool isClosedPolyline(AcDbObjectId id) {
    auto* ent = db::peekAs<AcDbCurve>(id);
    return ent && ent->isClosed();
}

void editLoop(Engine& e, AcDbObjectId id) {
    Ask ask(e.editor());
    for (;;) {
        bool closed = isClosedPolyline(id);
        Answer a = ask.keyword(
            closed ? L"オプションを入力 [開く(O)/結合(J)/幅(W)/頂点編集(E)/フィット(F)/"
                     L"スプライン(S)/カーブ解除(D)/線種生成(L)/元に戻す(U)]:"
                   : L"オプションを入力 [閉じる(C)/結合(J)/幅(W)/頂点編集(E)/フィット(F)/"
                     L"スプライン(S)/カーブ解除(D)/線種生成(L)/元に戻す(U)]:",
            L"Close Open Join Width Edit Fit Spline Decurve Ltype Undo eXit");
        if (a.none() || a.keyword(L"eXit")) return;
        if (a.keyword(L"Close") || a.keyword(L"Open")) {
            setClosed(e, id, a.keyword(L"Close"));
        } else if (a.keyword(L"Join")) {
            join(e, id);
        } else {
            e.editor().print(L"\nこのオプションはまだ使用できません。");
        }
    }
}

void peditCommand(Engine& e) {
    std::optional<AcDbObjectId> picked = pickPolyline(e);
    if (!picked) return;
    std::optional<AcDbObjectId> id = polylineToEdit(e, *picked);
    if (!id) return;
    editLoop(e, *id);
}

} // namespace

void registerPeditCommand(Engine& e) {
    addHostCommand(e, L"PEDIT", peditCommand);
}

} // namespace zel::commands
