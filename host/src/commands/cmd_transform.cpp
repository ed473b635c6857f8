// ERASE, SELECT, MOVE, COPY, ROTATE, SCALE, MIRROR (MIRRTEXT).
#include "commands/ask.h"
#include "commands/entities.h"
#include "commands/hostcmds.h"
#include "commands/selecting.h"
#include "core/tolerance.h"

#include <cmath>

namespace zel::commands {

namespace {

void transformAll(const editor::EntityIds& ids, const AcGeMatrix3d& m) {
    for (AcDbObjectId id : ids)
        transformEntity(id, m);
}

void copyAll(Engine& e, const editor::EntityIds& ids, const AcGeMatrix3d& m) {
    for (AcDbObjectId id : ids)
        appendCopy(e.database(), id, m);
}

// The selection, or nothing (told) when the user selected nothing.
editor::EntityIds selection(Engine& e) {
    return selectForCommand(e);
}

void eraseCommand(Engine& e) {
    for (AcDbObjectId id : selection(e))
        eraseEntity(id);
}

void selectCommand(Engine& e) {
    selection(e); // the prompt makes the previous set
}

void moveCommand(Engine& e) {
    editor::EntityIds ids = selection(e);
    if (ids.empty()) return;
    Ask ask(e.editor());
    Answer base = ask.point(L"基点を指定:", {}, RSG_NONULL);
    Answer to =
        ask.dragging().point(L"目的点を指定 または <1 点目を移動距離として使用>:", base.point);
    AcGeVector3d d = to.none() ? base.point.asVector() : to.point - base.point;
    transformAll(ids, AcGeMatrix3d::translation(d));
}

void copyCommand(Engine& e) {
    editor::EntityIds ids = selection(e);
    if (ids.empty()) return;
    Ask ask(e.editor());
    Answer base = ask.point(L"基点を指定:", {}, RSG_NONULL);
    bool once = e.editor().vars().integer(L"COPYMODE") == 1;
    for (;;) {
        Answer to =
            ask.dragging().point(L"2 点目を指定 または [終了(E)] <終了>:", base.point, 0, L"Exit");
        if (to.none() || to.keyword(L"Exit")) return;
        copyAll(e, ids, AcGeMatrix3d::translation(to.point - base.point));
        if (once) return;
    }
}

void rotateCommand(Engine& e) {
    editor::EntityIds ids = selection(e);
    if (ids.empty()) return;
    Ask ask(e.editor());
    Answer base = ask.point(L"基点を指定:", {}, RSG_NONULL);
    Answer a = ask.dragging().angle(L"回転角度を指定 または [参照(R)]:", base.point, RSG_NONULL,
                                    L"Reference");
    double angle = a.real;
    if (a.keyword(L"Reference")) {
        Answer ref = ask.angle(L"参照角度を指定 <0>:");
        Answer to = ask.angle(L"新しい角度を指定:", base.point, RSG_NONULL);
        angle = to.real - (ref.none() ? 0.0 : ref.real);
    }
    transformAll(ids, AcGeMatrix3d::rotation(angle, AcGeVector3d(0, 0, 1), base.point));
}

void scaleCommand(Engine& e) {
    editor::EntityIds ids = selection(e);
    if (ids.empty()) return;
    Ask ask(e.editor());
    Answer base = ask.point(L"基点を指定:", {}, RSG_NONULL);
    int bits = RSG_NONULL | RSG_NOZERO | RSG_NONEG;
    Answer f =
        ask.dragging().distance(L"尺度を指定 または [参照(R)]:", base.point, bits, L"Reference");
    double factor = f.real;
    if (f.keyword(L"Reference")) {
        Answer ref = ask.distance(L"参照長さを指定 <1>:", {}, RSG_NOZERO | RSG_NONEG);
        Answer len = ask.distance(L"新しい長さを指定:", base.point, bits);
        factor = len.real / (ref.none() ? 1.0 : ref.real);
    }
    transformAll(ids, AcGeMatrix3d::scaling(factor, base.point));
}

// Texts keep reading left to right when MIRRTEXT is 0: only their position is mirrored.
AcGeMatrix3d mirrorFor(const AcDbEntity& ent, const AcGeMatrix3d& mirror, bool mirrtext) {
    const AcDbText* text = AcDbText::cast(&ent);
    if (mirrtext || !text) return mirror;
    AcGePoint3d p = text->position();
    AcGePoint3d q = p;
    q.transformBy(mirror);
    return AcGeMatrix3d::translation(q - p);
}

void mirrorCommand(Engine& e) {
    editor::EntityIds ids = selection(e);
    if (ids.empty()) return;
    Ask ask(e.editor());
    Answer p1 = ask.point(L"対称軸の 1 点目を指定:", {}, RSG_NONULL);
    Answer p2;
    for (;;) {
        p2 = ask.dragging().point(L"対称軸の 2 点目を指定:", p1.point, RSG_NONULL);
        if ((p2.point - p1.point).length() > tol::kPoint) break;
        e.editor().print(L"\n2 点が一致しています。");
    }
    Answer erase =
        ask.keyword(L"元のオブジェクトを消去しますか? [はい(Y)/いいえ(N)] <N>:", L"Yes No");
    AcGeMatrix3d m = AcGeMatrix3d::mirroring(p1.point, p2.point);
    bool mirrtext = e.editor().vars().integer(L"MIRRTEXT") != 0;
    for (AcDbObjectId id : ids) {
        AcDbEntity* ent = nullptr;
        if (acdbOpenAcDbEntity(ent, id, AcDb::kForRead) != Acad::eOk) continue;
        AcGeMatrix3d mm = mirrorFor(*ent, m, mirrtext);
        ent->close();
        copyAll(e, {id}, mm);
        if (erase.keyword(L"Yes")) eraseEntity(id);
    }
}

} // namespace

void registerModifyCommands(Engine& e) {
    addHostCommand(e, L"ERASE", eraseCommand);
    addHostCommand(e, L"SELECT", selectCommand);
    addHostCommand(e, L"MOVE", moveCommand);
    addHostCommand(e, L"COPY", copyCommand);
    addHostCommand(e, L"ROTATE", rotateCommand);
    addHostCommand(e, L"SCALE", scaleCommand);
    addHostCommand(e, L"MIRROR", mirrorCommand);
    registerChpropCommand(e);
}

} // namespace zel::commands
