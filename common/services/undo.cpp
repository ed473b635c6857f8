#include "common/services/undo.h"

#include "arx/ed.h"
#include "common/services/sysvar.h"

namespace {

constexpr int kUndoAuto = 4;
constexpr int kUndoGroupOpen = 8;

// CMDECHO off for the life of the object, then as it was.
class Silence {
public:
    Silence() : mEcho(IntVar(L"CMDECHO", 1)) { SetShortVar(L"CMDECHO", 0); }
    ~Silence() { SetShortVar(L"CMDECHO", mEcho); }
    Silence(const Silence&) = delete;
    Silence& operator=(const Silence&) = delete;

private:
    int mEcho;
};

void undo(const ACHAR* option) {
    acedCommandS(RTSTR, L"._UNDO", RTSTR, option, RTNONE);
}
void endPending() {
    acedCommandS(RTNONE);
}

void restartGroup() {
    int ctl = IntVar(L"UNDOCTL", 0);
    if (ctl & kUndoGroupOpen) undo(L"E");
    if (ctl & kUndoAuto) undo(L"BE");
}

void closeGroup() {
    endPending();
    undo(L"E");
}

} // namespace

void UndoRestartGroup() {
    restartGroup();
}

void UndoRestartGroupQuiet() {
    Silence quiet;
    restartGroup();
}

void UndoCloseGroup() {
    if (IntVar(L"UNDOCTL", 0) & kUndoGroupOpen) closeGroup();
}

void UndoCloseGroupQuiet() {
    if (!(IntVar(L"UNDOCTL", 0) & kUndoGroupOpen)) return;
    Silence quiet;
    closeGroup();
}

void UndoAutoOn(int& wasOn) {
    wasOn = 0;
    Silence quiet;
    if (IntVar(L"UNDOCTL", 0) & kUndoAuto) {
        wasOn = 1;
        return;
    }
    acedCommandS(RTSTR, L"._UNDO", RTSTR, L"A", RTSTR, L"ON", RTNONE);
}

void UndoAutoRestore(int wasOn) {
    if (wasOn) return;
    Silence quiet;
    acedCommandS(RTSTR, L"._UNDO", RTSTR, L"A", RTSTR, L"OF", RTNONE);
}

void UndoRollBack() {
    Silence quiet;
    if (IntVar(L"UNDOCTL", 0) & kUndoGroupOpen) undo(L"E");
    acedCommandS(RTSTR, L"U", RTNONE);
}

void CmdEchoSave(int& saved, int value) {
    saved = IntVar(L"CMDECHO", 1) != 0 ? 1 : 0;
    if (saved != (value != 0 ? 1 : 0)) SetShortVar(L"CMDECHO", value != 0 ? 1 : 0);
}

void CmdEchoRestore(int saved) {
    SetShortVar(L"CMDECHO", saved ? 1 : 0);
}
