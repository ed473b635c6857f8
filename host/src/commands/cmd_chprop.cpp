// CHPROP: colour, layer, linetype, linetype scale and lineweight of the selected entities.
#include "commands/ask.h"
#include "commands/hostcmds.h"
#include "commands/selecting.h"
#include "core/text.h"

#include <functional>

namespace zel::commands {

namespace {

std::optional<int16_t> colorIndex(const std::wstring& typed) {
    static const std::pair<const wchar_t*, int16_t> names[] = {
        {L"BYLAYER", 256}, {L"BYBLOCK", 0}, {L"RED", 1},     {L"YELLOW", 2}, {L"GREEN", 3},
        {L"CYAN", 4},      {L"BLUE", 5},    {L"MAGENTA", 6}, {L"WHITE", 7},
    };
    std::wstring t = core::toUpper(core::trim(typed));
    for (const auto& [name, index] : names)
        if (t == name) return index;
    std::optional<int64_t> n = core::parseInt64(t);
    if (n && *n >= 0 && *n <= 256) return int16_t(*n);
    return std::nullopt;
}

std::optional<AcDb::LineWeight> lineWeight(const std::wstring& typed) {
    std::wstring t = core::toUpper(core::trim(typed));
    if (t == L"BYLAYER") return AcDb::LineWeight(-1);
    if (t == L"BYBLOCK") return AcDb::LineWeight(-2);
    if (t == L"DEFAULT" || t == L"既定") return AcDb::LineWeight(-3);
    std::optional<double> mm = core::parseDouble(t);
    if (!mm || *mm < 0) return std::nullopt;
    return AcDb::LineWeight(int(*mm * 100 + 0.5));
}

bool hasLayer(AcDbDatabase& db, const std::wstring& name) {
    AcDbLayerTable* table = nullptr;
    if (db.getLayerTable(table) != Acad::eOk) return false;
    bool found = table->has(name.c_str());
    table->close();
    return found;
}

using Change = std::function<Acad::ErrorStatus(AcDbEntity&)>;

// Applies a change to each entity; false when the entities refused it.
bool applyChange(const editor::EntityIds& ids, const Change& change) {
    bool ok = true;
    for (AcDbObjectId id : ids) {
        AcDbEntity* ent = nullptr;
        if (acdbOpenAcDbEntity(ent, id, AcDb::kForWrite) != Acad::eOk) continue;
        ok = change(*ent) == Acad::eOk && ok;
        ent->close();
    }
    return ok;
}

// The change an option asks for; nullopt when the answer was not usable (told).
std::optional<Change> askChange(Engine& e, Ask& ask, const Answer& option) {
    if (option.keyword(L"Color")) {
        Answer a = ask.string(L"新しい色を入力 <BYLAYER>:");
        std::optional<int16_t> c = colorIndex(a.text.empty() ? L"BYLAYER" : a.text);
        if (c) return Change([c](AcDbEntity& x) { return x.setColorIndex(*c); });
    } else if (option.keyword(L"LAyer")) {
        Answer a = ask.string(L"新しい画層名を入力:", true);
        std::wstring name = a.text;
        if (!name.empty() && !hasLayer(e.database(), name)) {
            e.editor().print(L"\n画層 \"" + name + L"\" が見つかりません。");
            return std::nullopt;
        }
        if (!name.empty())
            return Change([name](AcDbEntity& x) { return x.setLayer(name.c_str()); });
    } else if (option.keyword(L"LType")) {
        Answer a = ask.string(L"新しい線種名を入力 <ByLayer>:", true);
        std::wstring name = a.text.empty() ? L"ByLayer" : a.text;
        return Change([name](AcDbEntity& x) { return x.setLinetype(name.c_str()); });
    } else if (option.keyword(L"ltScale")) {
        Answer a = ask.real(L"新しい線種尺度を入力 <1>:", RSG_NOZERO | RSG_NONEG);
        double s = a.none() ? 1.0 : a.real;
        return Change([s](AcDbEntity& x) { return x.setLinetypeScale(s); });
    } else if (option.keyword(L"LWeight")) {
        Answer a = ask.string(L"新しい線の太さを入力 <BYLAYER>:");
        std::optional<AcDb::LineWeight> w = lineWeight(a.text.empty() ? L"BYLAYER" : a.text);
        if (w) return Change([w](AcDbEntity& x) { return x.setLineWeight(*w); });
    }
    e.editor().print(L"\n無効な値です。");
    return std::nullopt;
}

void chpropCommand(Engine& e) {
    editor::EntityIds ids = selectForCommand(e);
    if (ids.empty()) return;
    Ask ask(e.editor());
    for (;;) {
        Answer a = ask.keyword(L"変更するプロパティを入力 "
                               L"[色(C)/画層(LA)/線種(LT)/線種尺度(S)/線の太さ(LW)]:",
                               L"Color LAyer LType ltScale LWeight");
        if (a.none()) return;
        std::optional<Change> change = askChange(e, ask, a);
        if (change && !applyChange(ids, *change))
            e.editor().print(L"\n変更できないオブジェクトがあります。");
    }
}

} // namespace

void registerChpropCommand(Engine& e) {
    addHostCommand(e, L"CHPROP", chpropCommand);
}

} // namespace zel::commands
