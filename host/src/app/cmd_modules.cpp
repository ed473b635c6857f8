// ARXLOAD and ARXUNLOAD: loading and unloading modules by name at the command line.
#include "app/session.h"
#include "commands/ask.h"
#include "commands/engine.h"

namespace zel::app {

namespace {

void addCommand(Session& s, const wchar_t* name, std::function<void()> run) {
    editor::CommandDef def;
    def.group = L"ACAD";
    def.global = name;
    def.builtin = true;
    def.flags = editor::kCmdNoUndo;
    def.run = std::move(run);
    s.editor().commands().add(std::move(def));
}

std::wstring askName(Session& s, const wchar_t* prompt) {
    commands::Ask ask(s.editor());
    commands::Answer a = ask.string(prompt, true);
    return a.text;
}

void arxload(Session& s) {
    std::wstring name = askName(s, L"ロードするモジュールのファイル名を入力:");
    if (name.empty()) return;
    std::wstring problem = s.modules().load(name);
    if (problem.empty())
        s.editor().print(L"\n" + s.modules().loaded().back()->name + L" をロードしました。");
    else
        s.editor().print(L"\n" + problem);
}

void arxunload(Session& s) {
    std::wstring name = askName(s, L"アンロードするモジュール名を入力:");
    if (name.empty()) return;
    std::wstring problem = s.modules().unload(name);
    if (problem.empty())
        s.editor().print(L"\n" + name + L" をアンロードしました。");
    else
        s.editor().print(L"\n" + problem);
}

} // namespace

void registerModuleCommands(Session& s) {
    addCommand(s, L"ARXLOAD", [&s] { arxload(s); });
    addCommand(s, L"ARXUNLOAD", [&s] { arxunload(s); });
    registerCalCommand(s);
}

} // namespace zel::app
