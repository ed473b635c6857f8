// UNDO (number, Auto, Control, BEgin, End, Mark, Back) and U.
#include "commands/ask.h"
#include "commands/engine.h"
#include "commands/hostcmds.h"

namespace zel::commands {

namespace {

void printUndone(Engine& e, const std::wstring& name) {
    e.editor().print(L"\n" + (name == L"GROUP" ? std::wstring(L"グループ") : name));
}

// Undoes up to n steps, telling each; false when there was nothing to undo.
bool undoSteps(Engine& e, int n) {
    int done = 0;
    for (; done < n; ++done) {
        std::wstring name = e.undo().undoOne();
        if (name.empty()) break;
        printUndone(e, name);
    }
    if (done == 0) e.editor().print(L"\n元に戻す操作はありません。");
    return done > 0;
}

bool disabled(Engine& e) {
    if (e.undo().enabled()) return false;
    e.editor().print(L"\n元に戻す機能は無効です。");
    return true;
}

void uCommand(Engine& e) {
    if (disabled(e)) return;
    undoSteps(e, 1);
}

void autoOption(Engine& e, Ask& ask) {
    Answer a = ask.keyword(L"[オン(ON)/オフ(OFF)] <オン>:", L"ON OFf");
    e.undo().setAuto(!a.keyword(L"OFf"));
}

void controlOption(Engine& e, Ask& ask) {
    Answer a = ask.keyword(L"[すべて(A)/なし(N)/1 つ(O)] <すべて>:", L"All None One");
    if (a.keyword(L"None"))
        e.undo().setMode(UndoControl::Mode::None);
    else if (a.keyword(L"One"))
        e.undo().setMode(UndoControl::Mode::One);
    else
        e.undo().setMode(UndoControl::Mode::All);
}

void backOption(Engine& e, Ask& ask) {
    if (e.undo().backToMark()) {
        e.editor().print(L"\nマーク に到達しました。");
        return;
    }
    Answer a = ask.keyword(L"すべてを元に戻しますか? [はい(Y)/いいえ(N)] <Y>:", L"Yes No");
    if (a.keyword(L"No")) return;
    if (e.undo().undoAll() == 0)
        e.editor().print(L"\n元に戻す操作はありません。");
    else
        e.editor().print(L"\nすべて元に戻しました。");
}

void undoCommand(Engine& e) {
    Ask ask(e.editor());
    if (!e.undo().enabled()) {
        Answer a = ask.keyword(L"[コントロール(C)]:", L"Control");
        if (a.keyword(L"Control")) controlOption(e, ask);
        return;
    }
    Answer a = ask.integer(L"元に戻す操作の数を入力 または "
                           L"[自動(A)/コントロール(C)/開始(BE)/終了(E)/マーク(M)/後退(B)] <1>:",
                           RSG_NOZERO | RSG_NONEG, L"Auto Control BEgin End Mark Back");
    if (a.none() || a.ok()) {
        undoSteps(e, a.none() ? 1 : a.integer);
    } else if (a.keyword(L"Auto")) {
        autoOption(e, ask);
    } else if (a.keyword(L"Control")) {
        controlOption(e, ask);
    } else if (a.keyword(L"BEgin")) {
        e.undo().endGroup();
        e.undo().beginGroup();
    } else if (a.keyword(L"End")) {
        e.undo().endGroup();
    } else if (a.keyword(L"Mark")) {
        e.undo().mark();
    } else if (a.keyword(L"Back")) {
        backOption(e, ask);
    }
}

} // namespace

void registerUndoCommands(Engine& e) {
    addHostCommand(e, L"UNDO", undoCommand, editor::kCmdNoUndo);
    addHostCommand(e, L"U", uCommand, editor::kCmdNoUndo);
}

} // namespace zel::commands
