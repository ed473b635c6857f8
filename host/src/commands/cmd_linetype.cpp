// -LINETYPE: load linetypes from a linetype (.lin) file, create one from a typed pattern, make
// one current. Patterns are the simple kind (dashes, gaps and dots); linetypes with shapes or
// texts in them are told and skipped.
#include "commands/ask.h"
#include "commands/engine.h"
#include "commands/hostcmds.h"
#include "core/text.h"
#include "core/wildcard.h"

#include <cmath>
#include <fstream>
#include <sstream>

namespace zel::commands {

namespace {

struct LinetypeDef {
    std::wstring name, description;
    std::vector<double> dashes;
};

// "A,12.7,-6.35,0,-6.35": the dashes after the alignment letter; false for complex elements
// or text that is not a number.
bool parsePattern(const std::wstring& line, std::vector<double>& dashes) {
    std::wstringstream in(line);
    std::wstring item;
    if (!std::getline(in, item, L',') || core::toUpper(core::trim(item)) != L"A") return false;
    while (std::getline(in, item, L',')) {
        item = core::trim(item);
        if (item.empty() || item[0] == L'[') return false;
        try {
            size_t used = 0;
            dashes.push_back(std::stod(item, &used));
            if (used != item.size()) return false;
        } catch (const std::exception&) {
            return false;
        }
    }
    return !dashes.empty();
}

// Every definition of a .lin file (comments ";;" skipped); names of those that cannot be read
// go to `skipped`.
std::vector<LinetypeDef> readLinFile(const std::string& path, std::vector<std::wstring>& skipped,
                                     bool& opened) {
    std::ifstream file(path, std::ios::binary);
    opened = bool(file);
    std::stringstream bytes;
    bytes << file.rdbuf();
    std::wstringstream text(core::decodeTextFile(bytes.str()));
    std::vector<LinetypeDef> defs;
    std::wstring line;
    while (std::getline(text, line)) {
        line = core::trim(line);
        if (line.empty() || line.starts_with(L";")) continue;
        if (line[0] == L'*') {
            size_t comma = line.find(L',');
            defs.push_back({core::trim(line.substr(1, comma - 1)),
                            comma == std::wstring::npos ? L"" : line.substr(comma + 1),
                            {}});
            continue;
        }
        if (defs.empty() || !defs.back().dashes.empty()) continue;
        if (!parsePattern(line, defs.back().dashes)) {
            skipped.push_back(defs.back().name);
            defs.pop_back();
        }
    }
    std::erase_if(defs, [](const LinetypeDef& d) { return d.dashes.empty(); });
    return defs;
}

// Adds the linetype, or replaces the pattern of the one of that name.
bool storeLinetype(AcDbDatabase& db, const LinetypeDef& def) {
    AcDbLinetypeTable* table = nullptr;
    if (db.getLinetypeTable(table, AcDb::kForWrite) != Acad::eOk) return false;
    AcDbLinetypeTableRecord* record = nullptr;
    bool existing = table->getAt(def.name.c_str(), record, AcDb::kForWrite) == Acad::eOk;
    std::unique_ptr<AcDbLinetypeTableRecord> fresh;
    if (!existing) {
        fresh = std::make_unique<AcDbLinetypeTableRecord>();
        record = fresh.get();
        if (record->setName(def.name.c_str()) != Acad::eOk) {
            table->close();
            return false;
        }
    }
    std::vector<ZelDashElement> dashes;
    double total = 0;
    for (double d : def.dashes) {
        dashes.push_back(ZelDashElement{});
        dashes.back().length = d;
        total += std::fabs(d);
    }
    record->setComments(def.description.c_str());
    record->setDashes(std::move(dashes));
    record->setPatternLength(total);
    bool ok = existing || table->add(record) == Acad::eOk;
    table->close();
    if (ok && fresh) fresh.release(); // the database owns it now
    if (ok) record->close();
    return ok;
}

void loadLinetypes(Engine& e, Ask& ask) {
    std::wstring names = core::trim(ask.string(L"ロードする線種を入力:", true).text);
    if (names.empty()) return;
    std::wstring path = core::trim(ask.string(L"線種ファイルを指定:", true).text);
    std::vector<std::wstring> skipped;
    bool opened = false;
    std::vector<LinetypeDef> defs = readLinFile(core::wideToUtf8(path), skipped, opened);
    if (!opened) return e.editor().print(L"\n線種ファイル " + inQuotes(path) + L" を開けません。");
    int loaded = 0;
    for (const LinetypeDef& def : defs) {
        if (!core::wildcardMatch(core::toUpper(def.name), core::toUpper(names))) continue;
        if (!storeLinetype(e.database(), def)) continue;
        ++loaded;
        e.editor().print(L"\n線種 " + inQuotes(def.name) + L" をロードしました。");
    }
    for (const std::wstring& name : skipped)
        if (core::wildcardMatch(core::toUpper(name), core::toUpper(names)))
            e.editor().print(L"\n線種 " + inQuotes(name) +
                             L" は図形や文字を含むため読み込めません。");
    if (loaded == 0) e.editor().print(L"\n該当する線種が見つかりません。");
}

void createLinetype(Engine& e, Ask& ask) {
    LinetypeDef def;
    def.name = core::trim(ask.string(L"作成する線種の名前を入力:").text);
    if (!AcDbSymbolTableRecord::isValidName(def.name))
        return e.editor().print(L"\n名前が無効です。");
    def.description = ask.string(L"説明文を入力:", true).text;
    std::wstring pattern = core::trim(ask.string(L"線種パターンを入力 (次の行):", true).text);
    if (!pattern.starts_with(L"A,") && !pattern.starts_with(L"a,")) pattern = L"A," + pattern;
    if (!parsePattern(pattern, def.dashes)) return e.editor().print(L"\n線種パターンが無効です。");
    if (!storeLinetype(e.database(), def)) e.editor().print(L"\n線種を作成できません。");
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
