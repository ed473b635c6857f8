// TEXT (one line of text with its justification, style, height and angle), MTEXT (a
// multiline text in a box, its lines typed one by one) and -STYLE (text styles).
#include "commands/ask.h"
#include "commands/engine.h"
#include "commands/entities.h"
#include "commands/hostcmds.h"
#include "core/text.h"
#include "core/tolerance.h"
#include "db/database_impl.h"

#include <cmath>

namespace zel::commands {

namespace {

// ---- justification ----------------------------------------------------------------------

struct Justification {
    const wchar_t* keyword;
    AcDb::TextAlignment alignment;
    const wchar_t* pointPrompt;
};

constexpr Justification kJustifications[] = {
    {L"Left", AcDb::kTextAlignmentLeft, L"文字列の始点を指定:"},
    {L"Center", AcDb::kTextAlignmentCenter, L"文字列の中心点を指定:"},
    {L"Right", AcDb::kTextAlignmentRight, L"文字列ベースラインの右端点を指定:"},
    {L"Align", AcDb::kTextAlignmentAligned, nullptr},
    {L"Middle", AcDb::kTextAlignmentMiddle, L"文字列の中央点を指定:"},
    {L"Fit", AcDb::kTextAlignmentFit, nullptr},
    {L"TL", AcDb::kTextAlignmentTopLeft, L"文字列の左上点を指定:"},
    {L"TC", AcDb::kTextAlignmentTopCenter, L"文字列の上中心点を指定:"},
    {L"TR", AcDb::kTextAlignmentTopRight, L"文字列の右上点を指定:"},
    {L"ML", AcDb::kTextAlignmentMiddleLeft, L"文字列の左中央点を指定:"},
    {L"MC", AcDb::kTextAlignmentMiddleCenter, L"文字列の中央点を指定:"},
    {L"MR", AcDb::kTextAlignmentMiddleRight, L"文字列の右中央点を指定:"},
    {L"BL", AcDb::kTextAlignmentBottomLeft, L"文字列の左下点を指定:"},
    {L"BC", AcDb::kTextAlignmentBottomCenter, L"文字列の下中心点を指定:"},
    {L"BR", AcDb::kTextAlignmentBottomRight, L"文字列の右下点を指定:"},
};

const Justification& justificationOf(const std::wstring& keyword) {
    for (const Justification& j : kJustifications)
        if (keyword == j.keyword) return j;
    return kJustifications[0];
}

const Justification& askJustification(Ask& ask) {
    Answer a =
        ask.keyword(L"オプションを入力 [左寄せ(L)/中心(C)/右寄せ(R)/両端揃え(A)/中央(M)/"
                    L"フィット(F)/左上(TL)/上中心(TC)/右上(TR)/左中央(ML)/中央(MC)/"
                    L"右中央(MR)/左下(BL)/下中心(BC)/右下(BR)]:",
                    L"Left Center Right Align Middle Fit TL TC TR ML MC MR BL BC BR", RSG_NONULL);
    return justificationOf(a.text);
}

// ---- styles -----------------------------------------------------------------------------

AcDbObjectId findStyle(AcDbDatabase& db, const std::wstring& name) {
    AcDbTextStyleTable* table = nullptr;
    if (db.getTextStyleTable(table, AcDb::kForRead) != Acad::eOk) return {};
    AcDbObjectId id;
    if (table->getAt(name.c_str(), id) != Acad::eOk) id = AcDbObjectId();
    table->close();
    return id;
}

std::wstring styleName(AcDbObjectId id) {
    const auto* r = db::peekAs<AcDbTextStyleTableRecord>(id);
    return r ? r->name() : std::wstring(L"Standard");
}

// The height the style fixes (0: asked each time).
double fixedHeight(AcDbObjectId style) {
    const auto* r = db::peekAs<AcDbTextStyleTableRecord>(style);
    return r ? r->textSize() : 0;
}

// "S" at the first prompt: another existing style becomes current.
void askStyle(Engine& e, Ask& ask) {
    AcDbDatabase& db = e.database();
    for (;;) {
        std::wstring current = styleName(db.textstyle());
        Answer a = ask.string(L"スタイル名を入力 <" + current + L">:");
        std::wstring name = core::trim(a.text);
        if (name.empty()) return;
        AcDbObjectId id = findStyle(db, name);
        if (!id.isNull()) {
            db.setTextstyle(id);
            return;
        }
        e.editor().print(L"\n文字スタイル \"" + name + L"\" が見つかりません。");
    }
}

// ---- TEXT -------------------------------------------------------------------------------

struct TextPlan {
    const Justification* just = &kJustifications[0];
    AcGePoint3d first, second; // the point; Align and Fit: both ends of the baseline
    double height = 0, angle = 0;
};

double askHeight(Engine& e, Ask& ask, const AcGePoint3d& from) {
    double current = e.database().textsize();
    Answer h =
        ask.distance(L"高さを指定 <" + distanceText(current) + L">:", from, RSG_NOZERO | RSG_NONEG);
    if (h.none()) return current;
    e.database().setTextsize(h.real);
    return h.real;
}

void askPlacement(Engine& e, Ask& ask, TextPlan& plan) {
    for (;;) {
        Answer a =
            ask.point(L"文字列の始点を指定 または [位置合わせオプション(J)/文字スタイル変更(S)]:",
                      {}, RSG_NONULL, L"Justify Style");
        if (a.ok()) {
            plan.first = a.point;
            return;
        }
        if (a.keyword(L"Style")) askStyle(e, ask);
        if (!a.keyword(L"Justify")) continue;
        plan.just = &askJustification(ask);
        if (plan.just->pointPrompt) {
            plan.first = ask.point(plan.just->pointPrompt, {}, RSG_NONULL).point;
            return;
        }
        plan.first = ask.point(L"文字列ベースラインの最初の端点を指定:", {}, RSG_NONULL).point;
        for (;;) {
            plan.second =
                ask.point(L"文字列ベースラインの 2 番目の端点を指定:", plan.first, RSG_NONULL)
                    .point;
            if (plan.first.distanceTo(plan.second) > tol::kPoint) return;
            e.editor().print(L"\n2 点が一致しています。");
        }
    }
}

bool twoPointJustification(const TextPlan& plan) {
    return plan.just->alignment == AcDb::kTextAlignmentAligned ||
           plan.just->alignment == AcDb::kTextAlignmentFit;
}

std::unique_ptr<AcDbText> makeText(Engine& e, const TextPlan& plan, const std::wstring& text) {
    auto t = std::make_unique<AcDbText>();
    t->setDatabaseDefaults(&e.database());
    t->setTextStyle(e.database().textstyle());
    t->setHeight(plan.height);
    t->setRotation(plan.angle);
    t->setTextString(text.c_str());
    t->setJustification(plan.just->alignment);
    bool left = plan.just->alignment == AcDb::kTextAlignmentLeft;
    t->setPosition(plan.first);
    if (!left) t->setAlignmentPoint(twoPointJustification(plan) ? plan.second : plan.first);
    if (!left && twoPointJustification(plan)) t->setPosition(plan.first);
    t->adjustAlignment(&e.database());
    return t;
}

void textCommand(Engine& e) {
    Ask ask(e.editor());
    TextPlan plan;
    askPlacement(e, ask, plan);
    double fixed = fixedHeight(e.database().textstyle());
    bool aligned = plan.just->alignment == AcDb::kTextAlignmentAligned;
    if (fixed > 0) {
        plan.height = fixed;
    } else if (!aligned) {
        plan.height = askHeight(e, ask, plan.first);
    } else {
        plan.height = e.database().textsize(); // aligned: the text's length decides
    }
    if (twoPointJustification(plan)) {
        AcGeVector3d along = plan.second - plan.first;
        plan.angle = std::atan2(along.y, along.x);
    } else {
        Answer a = ask.angle(L"文字列の角度を指定 <0>:", plan.first);
        plan.angle = a.none() ? 0.0 : a.real;
    }
    std::wstring text = ask.string(L"文字列を入力:", true).text;
    if (text.empty()) return; // nothing typed: no text
    appendEntity(e.database(), makeText(e, plan, text));
}

// ---- MTEXT ------------------------------------------------------------------------------

void mtextCommand(Engine& e) {
    Ask ask(e.editor());
    AcGePoint3d corner = ask.point(L"最初のコーナーを指定:", {}, RSG_NONULL).point;
    double height = e.database().textsize();
    AcGePoint3d opposite;
    for (;;) {
        Answer a = ask.point(L"もう一方のコーナーを指定 または [高さ(H)/幅(W)]:", corner,
                             RSG_NONULL, L"Height Width");
        if (a.ok()) {
            opposite = a.point;
            break;
        }
        if (a.keyword(L"Height")) height = askHeight(e, ask, corner);
        if (a.keyword(L"Width")) {
            double w = ask.distance(L"幅を指定:", corner, RSG_NONULL | RSG_NONEG).real;
            opposite = corner + AcGeVector3d(w, 0, 0);
            break;
        }
    }
    std::wstring contents;
    for (;;) {
        std::wstring line = ask.string(L"文字列を入力:", true).text;
        if (line.empty()) break;
        if (!contents.empty()) contents += L"\\P";
        contents += line;
    }
    if (contents.empty()) return;
    auto m = std::make_unique<AcDbMText>();
    m->setDatabaseDefaults(&e.database());
    m->setTextStyle(e.database().textstyle());
    m->setTextHeight(height);
    m->setLocation(AcGePoint3d(std::min(corner.x, opposite.x), std::max(corner.y, opposite.y), 0));
    m->setWidth(std::fabs(opposite.x - corner.x));
    m->setContents(contents.c_str());
    appendEntity(e.database(), std::move(m));
}

// ---- -STYLE -----------------------------------------------------------------------------

AcDbObjectId styleToEdit(Engine& e, const std::wstring& name) {
    AcDbObjectId id = findStyle(e.database(), name);
    if (!id.isNull()) return id;
    AcDbTextStyleTable* table = nullptr;
    if (e.database().getTextStyleTable(table, AcDb::kForWrite) != Acad::eOk) return {};
    auto record = std::make_unique<AcDbTextStyleTableRecord>();
    Acad::ErrorStatus es = record->setName(name.c_str());
    if (es == Acad::eOk) es = table->add(id, record.get());
    table->close();
    if (es != Acad::eOk) return {};
    record.release()->close(); // the database owns it
    return id;
}

void styleCommand(Engine& e) {
    Ask ask(e.editor());
    std::wstring current = styleName(e.database().textstyle());
    std::wstring name = core::trim(ask.string(L"文字スタイル名を入力 <" + current + L">:").text);
    if (name.empty()) name = current;
    if (!AcDbSymbolTableRecord::isValidName(name)) return e.editor().print(L"\n名前が無効です。");
    AcDbObjectId id = styleToEdit(e, name);
    if (id.isNull()) return e.editor().print(L"\n文字スタイルを作成できません。");
    AcDbTextStyleTableRecord* r = nullptr;
    if (acdbOpenObject(r, id, AcDb::kForRead) != Acad::eOk) return;
    std::wstring font = r->fileName();
    double size = r->textSize(), width = r->xScale(), oblique = r->obliquingAngle();
    r->close();
    Answer f = ask.string(L"フォント ファイル名を指定 <" + font + L">:", true);
    Answer h = ask.real(L"文字の高さを指定 <" + distanceText(size) + L">:", RSG_NONEG);
    Answer w = ask.real(L"幅係数を指定 <" + distanceText(width) + L">:", RSG_NOZERO | RSG_NONEG);
    Answer o = ask.angle(L"傾斜角度を指定 <" + angleText(oblique) + L">:");
    if (acdbOpenObject(r, id, AcDb::kForWrite) != Acad::eOk) return;
    if (!f.text.empty()) r->setFileName(core::trim(f.text).c_str());
    if (h.ok()) r->setTextSize(h.real);
    if (w.ok()) r->setXScale(w.real);
    if (o.ok()) r->setObliquingAngle(o.real);
    r->close();
    e.database().setTextstyle(id);
    e.editor().print(L"\n\"" + name + L"\" が現在の文字スタイルです。");
}

} // namespace

void registerTextCommands(Engine& e) {
    addHostCommand(e, L"TEXT", textCommand);
    addHostCommand(e, L"-TEXT", textCommand);
    addHostCommand(e, L"MTEXT", mtextCommand);
    addHostCommand(e, L"-MTEXT", mtextCommand);
    addHostCommand(e, L"-STYLE", styleCommand);
}

} // namespace zel::commands
