// COLOR, SETVAR, a system variable's name typed as a command, and -LAYER.
#include "commands/ask.h"
#include "commands/engine.h"
#include "commands/hostcmds.h"
#include "core/text.h"
#include "editor/parse.h"
#include "editor/sysvars.h"

#include <vector>

namespace zel::commands {

namespace {

std::wstring valueText(const editor::VarValue& v, const core::UnitSettings& units) {
    if (const int64_t* i = std::get_if<int64_t>(&v)) return std::to_wstring(*i);
    if (const double* d = std::get_if<double>(&v)) return core::toWString(*d);
    if (const std::wstring* s = std::get_if<std::wstring>(&v)) return L"\"" + *s + L"\"";
    return editor::pointText(std::get<AcGePoint3d>(v), units);
}

// The typed text as a value of the variable's type; nullopt when it is not one.
std::optional<editor::VarValue> parseValue(const editor::SysVarDef& def, const std::wstring& t,
                                           const editor::ParseContext& ctx) {
    switch (def.type) {
    case editor::VarType::Int16:
    case editor::VarType::Int32:
        if (auto n = core::parseInt64(t)) return editor::VarValue(*n);
        return std::nullopt;
    case editor::VarType::Real:
        if (auto d = editor::parseDistanceText(t, ctx)) return editor::VarValue(*d);
        return std::nullopt;
    case editor::VarType::String:
        return editor::VarValue(t == L"." ? std::wstring() : t);
    case editor::VarType::Point2d:
    case editor::VarType::Point3d:
        if (auto p = editor::parsePoint(t, ctx)) return editor::VarValue(*p);
        return std::nullopt;
    }
    return std::nullopt;
}

const wchar_t* refusal(editor::SetStatus s) {
    switch (s) {
    case editor::SetStatus::OutOfRange:
        return L"\n値が範囲外です。";
    case editor::SetStatus::ReadOnly:
        return L"\n読み込み専用です。";
    case editor::SetStatus::Ok:
    case editor::SetStatus::Unknown:
    case editor::SetStatus::WrongType:
    case editor::SetStatus::NoDrawing:
    case editor::SetStatus::Refused:
        break;
    }
    return L"\n無効な値です。";
}

void colorCommand(Engine& e) {
    Ask ask(e.editor());
    for (;;) {
        std::wstring current = e.editor().vars().string(L"CECOLOR");
        Answer a = ask.string(L"新しいオブジェクトの色を入力 <" + current + L">:");
        if (a.text.empty()) return;
        if (e.editor().vars().set(L"CECOLOR", a.text) == editor::SetStatus::Ok) return;
        e.editor().print(
            L"\n色は BYLAYER、BYBLOCK、色名、または 0 から 256 の番号で指定してください。");
    }
}

void setvarCommand(Engine& e) {
    Ask ask(e.editor());
    for (;;) {
        Answer a = ask.string(L"変数名を入力:");
        if (a.text.empty()) return;
        if (editor::findSysVar(core::toUpper(a.text)))
            return sysvarCommand(e, core::toUpper(a.text));
        e.editor().print(L"\nそのような変数名はありません。");
    }
}

// ---- -LAYER -----------------------------------------------------------------------------------

std::vector<std::wstring> nameList(const std::wstring& text) {
    std::vector<std::wstring> out;
    size_t at = 0;
    while (at <= text.size()) {
        size_t comma = text.find(L',', at);
        std::wstring n =
            core::trim(text.substr(at, comma == std::wstring::npos ? comma : comma - at));
        if (!n.empty()) out.push_back(n);
        if (comma == std::wstring::npos) break;
        at = comma + 1;
    }
    return out;
}

AcDbObjectId findLayer(AcDbDatabase& db, const std::wstring& name) {
    AcDbLayerTable* table = nullptr;
    if (db.getLayerTable(table) != Acad::eOk) return {};
    AcDbObjectId id;
    table->getAt(name.c_str(), id);
    table->close();
    return id;
}

AcDbObjectId makeLayer(Engine& e, const std::wstring& name) {
    if (AcDbObjectId id = findLayer(e.database(), name); !id.isNull()) return id;
    AcDbLayerTable* table = nullptr;
    if (e.database().getLayerTable(table, AcDb::kForWrite) != Acad::eOk) return {};
    auto rec = std::make_unique<AcDbLayerTableRecord>();
    AcDbObjectId id;
    Acad::ErrorStatus es = rec->setName(name.c_str());
    if (es == Acad::eOk) es = table->add(id, rec.get());
    table->close();
    if (es != Acad::eOk) {
        e.editor().print(L"\n画層名 \"" + name + L"\" は無効です。");
        return {};
    }
    rec.release()->close(); // the database owns it now
    return id;
}

// Applies fn to each layer named in the list ("*" for every layer).
template <class Fn> void eachLayer(Engine& e, const std::wstring& list, Fn fn) {
    AcDbLayerTable* table = nullptr;
    if (e.database().getLayerTable(table) != Acad::eOk) return;
    std::vector<AcDbObjectId> ids = table->recordIds();
    table->close();
    std::vector<std::wstring> names = nameList(list);
    for (AcDbObjectId id : ids) {
        AcDbLayerTableRecord* rec = nullptr;
        if (acdbOpenObject(rec, id, AcDb::kForWrite) != Acad::eOk) continue;
        std::wstring n = core::toUpper(rec->getName());
        bool wanted = false;
        for (const auto& w : names)
            wanted = wanted || w == L"*" || core::toUpper(w) == n;
        if (wanted) fn(*rec);
        rec->close();
    }
}

void layerOption(Engine& e, Ask& ask, const Answer& a) {
    editor::SysVars& vars = e.editor().vars();
    if (a.keyword(L"Make") || a.keyword(L"Set")) {
        Answer n = ask.string(
            a.keyword(L"Make") ? L"作成する画層名を入力:" : L"現在にする画層名を入力:", true);
        if (n.text.empty()) return;
        if (a.keyword(L"Make") && makeLayer(e, n.text).isNull()) return;
        if (vars.set(L"CLAYER", n.text) != editor::SetStatus::Ok)
            e.editor().print(L"\n画層 \"" + n.text + L"\" が見つかりません。");
        return;
    }
    if (a.keyword(L"New")) {
        Answer n = ask.string(L"新規画層の名前のリストを入力:", true);
        for (const auto& name : nameList(n.text))
            makeLayer(e, name);
        return;
    }
    std::optional<int16_t> color;
    if (a.keyword(L"Color")) {
        Answer c = ask.integer(L"色番号を入力 (1-255):", RSG_NONULL | RSG_NOZERO | RSG_NONEG);
        if (c.integer > 255) return e.editor().print(L"\n色番号は 1 から 255 です。");
        color = int16_t(c.integer);
    }
    Answer n = ask.string(L"画層名のリストを入力 <" + vars.string(L"CLAYER") + L">:", true);
    std::wstring list = n.text.empty() ? vars.string(L"CLAYER") : n.text;
    eachLayer(e, list, [&](AcDbLayerTableRecord& rec) {
        if (color) rec.setColorIndex(*color);
        if (a.keyword(L"ON") || a.keyword(L"OFf")) rec.setIsOff(a.keyword(L"OFf"));
        if (a.keyword(L"Freeze") || a.keyword(L"Thaw")) rec.setIsFrozen(a.keyword(L"Freeze"));
        if (a.keyword(L"LOck") || a.keyword(L"Unlock")) rec.setIsLocked(a.keyword(L"LOck"));
    });
}

void layerCommand(Engine& e) {
    Ask ask(e.editor());
    for (;;) {
        Answer a = ask.keyword(L"オプションを入力 [作成(M)/設定(S)/新規作成(N)/オン(ON)/オフ(OFF)/"
                               L"色(C)/フリーズ(F)/フリーズ解除(T)/ロック(LO)/ロック解除(U)]:",
                               L"Make Set New ON OFf Color Freeze Thaw LOck Unlock");
        if (a.none()) return;
        layerOption(e, ask, a);
    }
}

} // namespace

void sysvarCommand(Engine& e, std::wstring_view name) {
    const editor::SysVarDef* def = editor::findSysVar(name);
    if (!def) return;
    editor::SysVars& vars = e.editor().vars();
    editor::ParseContext ctx = e.editor().parseContext();
    std::wstring current = valueText(*vars.get(def->name), ctx.units);
    if (def->readOnly) {
        e.editor().print(L"\n" + std::wstring(def->name) + L" = " + current + L" (読み込み専用)");
        return;
    }
    Ask ask(e.editor());
    for (;;) {
        Answer a = ask.string(std::wstring(def->name) + L" の新しい値を入力 <" + current + L">:",
                              def->type == editor::VarType::String);
        if (a.text.empty()) return;
        std::optional<editor::VarValue> v = parseValue(*def, a.text, ctx);
        editor::SetStatus s = v ? vars.set(def->name, *v) : editor::SetStatus::WrongType;
        if (s == editor::SetStatus::Ok) return;
        e.editor().print(refusal(s));
    }
}

void registerSettingCommands(Engine& e) {
    addHostCommand(e, L"COLOR", colorCommand);
    addHostCommand(e, L"SETVAR", setvarCommand);
    addHostCommand(e, L"-LAYER", layerCommand);
}

} // namespace zel::commands
