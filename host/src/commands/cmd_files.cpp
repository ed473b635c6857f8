// NEW, OPEN, SAVE, SAVEAS, CLOSE: the application does the work through the engine's
// document hooks; a failure is told and changes nothing.
#include "commands/ask.h"
#include "commands/engine.h"
#include "commands/hostcmds.h"

namespace zel::commands {

namespace {

// Runs a hook; false (after telling why) when it is missing or failed.
template <class Fn, class... Args> bool call(Engine& e, const Fn& hook, Args&&... args) {
    if (!hook) {
        e.editor().print(L"\nこのセッションでは図面ファイルを扱えません。");
        return false;
    }
    std::wstring problem = hook(std::forward<Args>(args)...);
    if (problem.empty()) return true;
    e.editor().print(L"\n" + problem);
    return false;
}

std::wstring currentPath(Engine& e) {
    return e.documents().currentPath ? e.documents().currentPath() : std::wstring();
}

void newCommand(Engine& e) {
    if (call(e, e.documents().newDrawing)) e.undo().reset();
}

void openCommand(Engine& e) {
    Ask ask(e.editor());
    Answer a = ask.string(L"開く図面ファイル名を入力:", true);
    if (a.text.empty()) return;
    if (call(e, e.documents().open, a.text)) e.undo().reset();
}

void saveTo(Engine& e, bool askAlways) {
    std::wstring path = currentPath(e);
    if (askAlways || path.empty()) {
        Ask ask(e.editor());
        Answer a = ask.string(L"図面ファイル名を入力" +
                                  (path.empty() ? std::wstring(L":") : L" <" + path + L">:"),
                              true);
        if (!a.text.empty()) path = a.text;
    }
    if (path.empty()) return e.editor().print(L"\nファイル名が必要です。");
    call(e, e.documents().save, path);
}

void saveCommand(Engine& e) {
    saveTo(e, true);
}

void qsaveCommand(Engine& e) {
    saveTo(e, false);
}

void closeCommand(Engine& e) {
    if (call(e, e.documents().close)) e.undo().reset();
}

} // namespace

void registerFileCommands(Engine& e) {
    addHostCommand(e, L"NEW", newCommand, editor::kCmdNoUndo);
    addHostCommand(e, L"OPEN", openCommand, editor::kCmdNoUndo);
    addHostCommand(e, L"SAVE", saveCommand, editor::kCmdNoUndo);
    addHostCommand(e, L"SAVEAS", saveCommand, editor::kCmdNoUndo);
    addHostCommand(e, L"QSAVE", qsaveCommand, editor::kCmdNoUndo);
    addHostCommand(e, L"CLOSE", closeCommand, editor::kCmdNoUndo);
}

} // namespace zel::commands
