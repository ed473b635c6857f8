#include "db/undo.h"

#include "db/access.h"
#include "db/database_impl.h"

#include <cassert>

namespace zel::db {

void UndoJournal::beginStep(std::wstring name) {
    if (mDepth++ > 0) return;
    Step step;
    step.name = std::move(name);
    step.serial = ++mSerial;
    step.handseed = mDb.handseed();
    mSteps.push_back(std::move(step));
}

void UndoJournal::endStep() {
    assert(mDepth > 0 && "endStep without beginStep");
    if (mDepth > 0) --mDepth;
}

void UndoJournal::clear() {
    mSteps.clear();
    mDepth = 0;
}

Acad::ErrorStatus UndoJournal::undoStep() {
    mDepth = 0;
    if (mSteps.empty()) return Acad::eNotApplicable;
    Acad::ErrorStatus open = Acad::eOk;
    mDb.forEachSlot([&](ObjectSlot& s) {
        if (s.alive && s.writer) open = Acad::eWasOpenForWrite;
        if (s.alive && s.readers > 0 && open == Acad::eOk) open = Acad::eWasOpenForRead;
    });
    if (open != Acad::eOk) return open;
    Step step = std::move(mSteps.back());
    mSteps.pop_back();
    for (auto it = step.records.rbegin(); it != step.records.rend(); ++it)
        std::visit([this](auto& r) { undo(r); }, *it);
    mDb.setHandseed(step.handseed);
    return Acad::eOk;
}

// ---- recording --------------------------------------------------------------------------

void UndoJournal::objectAdded(ObjectSlot* slot) {
    mDb.touched(slot);
    if (!recording()) return;
    slot->recordedStep = mSteps.back().serial; // a new object needs no snapshot
    mSteps.back().records.push_back(Added{slot});
}

void UndoJournal::beforeChange(ObjectSlot* slot) {
    mDb.touched(slot);
    if (!recording() || !slot->alive) return;
    Step& step = mSteps.back();
    if (slot->recordedStep == step.serial) return;
    slot->recordedStep = step.serial;
    step.records.push_back(Snapshot{slot, slot->object->cloneState()});
}

void UndoJournal::erasedChanged(ObjectSlot* slot, bool previous) {
    mDb.touched(slot);
    if (recording()) mSteps.back().records.push_back(Erased{slot, previous});
}

void UndoJournal::listAppended(ObjectSlot* owner) {
    mDb.touched(owner);
    if (recording()) mSteps.back().records.push_back(ListAppend{owner});
}

void UndoJournal::listReplaced(ObjectSlot* owner, std::vector<AcDbObjectId> previous) {
    mDb.touched(owner);
    if (recording()) mSteps.back().records.push_back(ListReplace{owner, std::move(previous)});
}

void UndoJournal::headerChanged(std::wstring_view name, long index,
                                std::optional<std::vector<ZelGroupValue>> previous) {
    if (!recording()) return;
    mSteps.back().records.push_back(Header{std::wstring(name), index, std::move(previous)});
}

void UndoJournal::sectionsChanged(std::vector<RawSection> previous) {
    if (recording()) mSteps.back().records.push_back(Sections{std::move(previous)});
}

// ---- playing back -----------------------------------------------------------------------

namespace {

std::vector<AcDbObjectId>* entityList(ObjectSlot* s) {
    auto* btr = AcDbBlockTableRecord::cast(s->object.get());
    return btr ? &Access::entities(*btr) : nullptr;
}

} // namespace

void UndoJournal::undo(Added& r) {
    mDb.touched(r.slot);
    mDb.kill(r.slot);
}

void UndoJournal::undo(Snapshot& r) {
    mDb.touched(r.slot);
    ObjectSlot* s = r.slot;
    std::unique_ptr<AcDbObject> current = std::move(s->object);
    s->object = std::move(r.state);
    s->object->attach(s);
    // The entity list of a block record is journaled apart from its state.
    std::vector<AcDbObjectId>* now = entityList(s);
    auto* before = AcDbBlockTableRecord::cast(current.get());
    if (now && before) *now = std::move(Access::entities(*before));
}

void UndoJournal::undo(Erased& r) {
    mDb.touched(r.slot);
    r.slot->erased = r.previous;
}

void UndoJournal::undo(ListAppend& r) {
    mDb.touched(r.owner);
    std::vector<AcDbObjectId>* list = entityList(r.owner);
    assert(list && !list->empty() && "an entity list append is undone on its block record");
    if (list && !list->empty()) list->pop_back();
}

void UndoJournal::undo(ListReplace& r) {
    mDb.touched(r.owner);
    std::vector<AcDbObjectId>* list = entityList(r.owner);
    assert(list && "an entity list is restored on its block record");
    if (list) *list = std::move(r.previous);
}

void UndoJournal::undo(Header& r) {
    HeaderVars& header = mDb.headerForRestore();
    if (!r.previous) {
        header.erase(r.name);
        return;
    }
    if (header.indexOf(r.name) >= 0) {
        header.set(r.name, std::move(*r.previous));
        return;
    }
    header.insertAt(size_t(r.index), HeaderVars::Entry{r.name, std::move(*r.previous)});
}

void UndoJournal::undo(Sections& r) {
    mDb.sectionsForRestore() = std::move(r.previous);
}

} // namespace zel::db
