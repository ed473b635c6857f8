// GROUP (-GROUP): named groups of entities kept in the drawing's group dictionary: create,
// add to, remove from, explode (the group goes, its entities stay) and rename.
#include "commands/ask.h"
#include "commands/engine.h"
#include "commands/hostcmds.h"
#include "commands/selecting.h"
#include "core/text.h"

namespace zel::commands {

namespace {

// The id of the named group; null (told) when there is none.
AcDbObjectId findGroup(Engine& e, const std::wstring& name, bool tell = true) {
    AcDbDictionary* dict = nullptr;
    AcDbObjectId id;
    if (e.database().getGroupDictionary(dict, AcDb::kForRead) == Acad::eOk) {
        if (dict->getAt(name.c_str(), id) != Acad::eOk) id = AcDbObjectId();
        dict->close();
    }
    if (id.isNull() && tell)
        e.editor().print(L"\nグループ " + inQuotes(name) + L" が見つかりません。");
    return id;
}

std::wstring askName(Ask& ask, std::wstring_view prompt) {
    return core::toUpper(core::trim(ask.string(prompt).text));
}

template <class Fn> void changeGroup(AcDbObjectId id, Fn fn) {
    AcDbGroup* group = nullptr;
    if (acdbOpenObject(group, id, AcDb::kForWrite) != Acad::eOk) return;
    fn(*group);
    group->close();
}

void createGroup(Engine& e, Ask& ask) {
    std::wstring name = askName(ask, L"グループ名を入力:");
    if (name.empty() || !AcDbSymbolTableRecord::isValidName(name))
        return e.editor().print(L"\nグループ名が無効です。");
    if (!findGroup(e, name, false).isNull())
        return e.editor().print(L"\nグループ " + inQuotes(name) + L" は既に存在します。");
    std::wstring description = ask.string(L"グループの説明を入力:", true).text;
    editor::EntityIds ids = selectForCommand(e);
    if (ids.empty()) return;
    auto group = std::make_unique<AcDbGroup>(description.c_str());
    AcDbDictionary* dict = nullptr;
    if (e.database().getGroupDictionary(dict, AcDb::kForWrite) != Acad::eOk) return;
    AcDbObjectId id;
    Acad::ErrorStatus es = dict->setAt(name.c_str(), group.get(), id);
    dict->close();
    if (es != Acad::eOk) return e.editor().print(L"\nグループを作成できません。");
    AcDbGroup* raw = group.release(); // the dictionary owns it now
    for (AcDbObjectId member : ids)
        raw->append(member);
    raw->close();
}

void addOrRemove(Engine& e, Ask& ask, bool adding) {
    std::wstring name = askName(ask, L"グループ名を入力:");
    AcDbObjectId id = findGroup(e, name);
    if (id.isNull()) return;
    editor::EntityIds ids = selectForCommand(e);
    changeGroup(id, [&](AcDbGroup& g) {
        for (AcDbObjectId member : ids)
            adding ? g.append(member) : g.remove(member);
    });
}

void explodeGroup(Engine& e, Ask& ask) {
    std::wstring name = askName(ask, L"分解するグループ名を入力:");
    if (findGroup(e, name).isNull()) return;
    AcDbDictionary* dict = nullptr;
    if (e.database().getGroupDictionary(dict, AcDb::kForWrite) != Acad::eOk) return;
    dict->remove(name.c_str());
    dict->close();
    e.editor().print(L"\nグループ " + inQuotes(name) + L" を分解しました。");
}

void renameGroup(Engine& e, Ask& ask) {
    std::wstring from = askName(ask, L"名前を変更するグループ名を入力:");
    if (findGroup(e, from).isNull()) return;
    std::wstring to = askName(ask, L"新しいグループ名を入力:");
    if (to.empty() || !AcDbSymbolTableRecord::isValidName(to))
        return e.editor().print(L"\nグループ名が無効です。");
    if (!findGroup(e, to, false).isNull())
        return e.editor().print(L"\nグループ " + inQuotes(to) + L" は既に存在します。");
    AcDbDictionary* dict = nullptr;
    if (e.database().getGroupDictionary(dict, AcDb::kForWrite) != Acad::eOk) return;
    dict->setName(from.c_str(), to.c_str());
    dict->close();
}

void groupCommand(Engine& e) {
    Ask ask(e.editor());
    Answer option =
        ask.keyword(L"オプションを入力 [追加(A)/削除(R)/分解(E)/名前変更(REN)/作成(C)] <作成>:",
                    L"Add Remove Explode REName Create");
    if (option.keyword(L"Add")) return addOrRemove(e, ask, true);
    if (option.keyword(L"Remove")) return addOrRemove(e, ask, false);
    if (option.keyword(L"Explode")) return explodeGroup(e, ask);
    if (option.keyword(L"REName")) return renameGroup(e, ask);
    createGroup(e, ask);
}

} // namespace

void registerGroupCommand(Engine& e) {
    addHostCommand(e, L"GROUP", groupCommand);
    addHostCommand(e, L"-GROUP", groupCommand);
}

} // namespace zel::commands
