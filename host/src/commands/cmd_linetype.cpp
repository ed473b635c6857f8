// -LINETYPE: load linetypes from a linetype (.lin) file, create one from a typed pattern, make
// one current. Linetypes with texts or shapes in them keep those elements.
#include "commands/ask.h"
#include "commands/engine.h"
#include "commands/hostcmds.h"
#include "core/text.h"
#include "core/wildcard.h"
#include "db/linfile.h"

#include <cmath>
#include <fstream>
#include <sstream>

namespace zel::commands {

namespace {

void loadLinetypes(Engine& e, Ask& ask) {
    std::wstring names = core::trim(ask.string(L"ロードする線種を入力:", true).text);
    if (names.empty()) return;
    std::wstring path = core::trim(ask.string(L"線種ファイルを指定:", true).text);
    db::LinFile file = db::readLinFile(core::wideToUtf8(path), &e.database());
    if (!file.opened)
        return e.editor().print(L"\n線種ファイル " + inQuotes(path) + L" を開けません。");
    int loaded = 0;
    for (const db::LinDefinition& def : file.definitions) {
        if (!core::wildcardMatch(core::toUpper(def.name), core::toUpper(names))) continue;
        if (!db::storeLinetype(e.database(), def)) continue;
        ++loaded;
        e.editor().print(L"\n線種 " + inQuotes(def.name) + L" をロードしました。");
    }
    for (const std::wstring& name : file.unreadable)
        if (core::wildcardMatch(core::toUpper(name), core::toUpper(names)))
            e.editor().print(L"\n線種 " + inQuotes(name) + L" のパターンを読み込めません。");
    if (loaded == 0) e.editor().print(L"\n該当する線種が見つかりません。");
}

void createLinetype(Engine& e, Ask& ask) {
    db::LinDefinition def;
    def.name = core::trim(ask.string(L"作成する線種の名前を入力:").text);
    if (!AcDbSymbolTableRecord::isValidName(def.name))
        return e.editor().print(L"\n名前が無効です。");
    def.description = ask.string(L"説明文を入力:", true).text;
    std::wstring pattern = core::trim(ask.string(L"線種パターンを入力 (次の行):", true).text);
    if (!pattern.starts_with(L"A,") && !pattern.starts_with(L"a,")) pattern = L"A," + pattern;
    if (!db::parseLinPattern(pattern, &e.database(), def.elements))
        return e.editor().print(L"\n線種パターンが無効です。");
    if (!db::storeLinetype(e.database(), def)) e.editor().print(L"\n線種を作成できません。");
}

void setLinetype(Engine& e, Ask& ask) {
    std::wstring name = core::trim(ask.string(L"現在の線種を指定 <ByLayer>:").text);
    if (name.empty()) name = L"ByLayer";
    AcDbLinetypeTable* table = nullptr;
    if (e.database().getLinetypeTable(table, AcDb::kForRead) != Acad::eOk) return;
    AcDbObjectId id;
    Acad::ErrorStatus es = table->getAt(name.c_str(), id);
    table->close();
    if (es != Acad::eOk)
        return e.editor().print(L"\n線種 " + inQuotes(name) + L" が見つかりません。");
    e.database().setCeltype(id);
}

void linetypeCommand(Engine& e) {
    Ask ask(e.editor());
    for (;;) {
        Answer a =
            ask.keyword(L"オプションを入力 [作成(C)/ロード(L)/現在(S)]:", L"Create Load Set");
        if (a.none()) return;
        if (a.keyword(L"Create")) createLinetype(e, ask);
        if (a.keyword(L"Load")) loadLinetypes(e, ask);
        if (a.keyword(L"Set")) setLinetype(e, ask);
    }
}

} // namespace

void registerLinetypeCommand(Engine& e) {
    addHostCommand(e, L"-LINETYPE", linetypeCommand);
}

} // namespace zel::commands
