#include "commands/undoctl.h"

#include "arx/db.h"
#include "db/database_impl.h"

namespace zel::commands {

namespace {

db::UndoJournal* journalOf(editor::Editor& ed) {
    AcDbDatabase* db = ed.database();
    return db ? &db->impl().journal() : nullptr;
}

constexpr int kOn = 1, kOne = 2, kAuto = 4, kGroup = 8;

// The first of the running commands ("ZEL_SCALE" of "ZEL_SCALE'UNDO").
std::wstring outermostCommand(editor::Editor& ed) {
    std::wstring names = ed.vars().string(L"CMDNAMES");
    return names.substr(0, names.find(L'\''));
}

} // namespace

void UndoControl::setCtl(int bits) {
    mEd.vars().setInternal(L"UNDOCTL", int64_t(bits));
}

void UndoControl::publish() {
    int bits = ctl() & ~kGroup;
    if (mGroupOpen) bits |= kGroup;
    setCtl(bits);
    mEd.vars().setInternal(L"UNDOMARKS", int64_t(mMarks.size()));
}

size_t UndoControl::steps() const {
    db::UndoJournal* j = journalOf(mEd);
    return j ? j->stepCount() : 0;
}

void UndoControl::beginCommand(std::wstring name) {
    ++mCommandDepth;
    db::UndoJournal* j = journalOf(mEd);
    if (!j || !enabled()) return;
    if ((ctl() & kOne) && !j->stepOpen()) j->clear();
    j->beginStep(std::move(name));
}

void UndoControl::endCommand() {
    if (mCommandDepth > 0) --mCommandDepth;
    db::UndoJournal* j = journalOf(mEd);
    if (j && j->stepOpen()) j->endStep();
}

// A group begun while commands run (a module command grouping its passes) is a step of its
// own, under the command's name: what the commands did before it stays in their step, and the
// group's step takes over their levels, so that a command that ends with its group still open
// leaves the group collecting what follows, as at the command line.
bool UndoControl::beginGroup() {
    db::UndoJournal* j = journalOf(mEd);
    if (!j || !enabled() || mGroupOpen) return false;
    std::wstring name = mCommandDepth > 0 ? outermostCommand(mEd) : std::wstring();
    if (name.empty()) name = L"GROUP";
    while (j->stepOpen())
        j->endStep();
    for (int level = 0; level <= mCommandDepth; ++level)
        j->beginStep(name);
    mGroupOpen = true;
    publish();
    return true;
}

bool UndoControl::endGroup() {
    db::UndoJournal* j = journalOf(mEd);
    if (!j || !mGroupOpen) return false;
    if (j->stepOpen()) j->endStep();
    // Ended by a running command, the step closes whole: the command's own changes after its
    // group are not recorded (its marker entities go without leaving a step behind), and the
    // host commands it runs afterwards are steps of their own.
    if (mCommandDepth > 0)
        while (j->stepOpen())
            j->endStep();
    mGroupOpen = false;
    publish();
    return true;
}

void UndoControl::mark() {
    if (!enabled()) return;
    if (mGroupOpen) endGroup();
    mMarks.push_back(steps());
    publish();
}

void UndoControl::dropMarksAbove(size_t count) {
    while (!mMarks.empty() && mMarks.back() > count)
        mMarks.pop_back();
}

std::wstring UndoControl::undoOne() {
    db::UndoJournal* j = journalOf(mEd);
    if (!j || j->stepCount() == 0) return {};
    mGroupOpen = false;
    std::wstring name = j->stepName(j->stepCount() - 1);
    if (j->undoStep() != Acad::eOk) return {};
    dropMarksAbove(j->stepCount());
    publish();
    return name.empty() ? L"*" : name;
}

bool UndoControl::backToMark() {
    if (mMarks.empty()) return false;
    size_t target = mMarks.back();
    while (steps() > target && !undoOne().empty()) {
    }
    if (!mMarks.empty() && mMarks.back() == target) mMarks.pop_back();
    publish();
    return true;
}

int UndoControl::undoAll() {
    int n = 0;
    while (!undoOne().empty())
        ++n;
    mMarks.clear();
    publish();
    return n;
}

void UndoControl::setMode(Mode mode) {
    db::UndoJournal* j = journalOf(mEd);
    int bits = ctl() & ~(kOn | kOne);
    switch (mode) {
    case Mode::All:
        bits |= kOn;
        break;
    case Mode::One:
        bits |= kOn | kOne;
        if (j) j->clear();
        break;
    case Mode::None:
        if (j) j->clear();
        mGroupOpen = false;
        break;
    }
    mMarks.clear();
    setCtl(bits);
    publish();
}

void UndoControl::setAuto(bool on) {
    setCtl(on ? (ctl() | kAuto) : (ctl() & ~kAuto));
}

void UndoControl::reset() {
    mGroupOpen = false;
    mMarks.clear();
    publish();
}

} // namespace zel::commands
