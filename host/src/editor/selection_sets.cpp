// Selection sets, the previous and PICKFIRST sets of an editor.
#include "db/database_impl.h"
#include "editor/selection_state.h"

namespace zel::editor {

void SelectionSets::create(EntityIds ids, ads_name out) {
    int64_t serial = mNext++;
    mSets.emplace(serial, std::move(ids));
    out[0] = serial;
    out[1] = mTag;
}

EntityIds* SelectionSets::find(const ads_name ss) {
    if (!ss || ss[1] != mTag) return nullptr;
    auto it = mSets.find(ss[0]);
    return it == mSets.end() ? nullptr : &it->second;
}

bool SelectionSets::free(const ads_name ss) {
    if (!find(ss)) return false;
    mSets.erase(ss[0]);
    return true;
}

namespace {
// Selection-set names carry "SSET" in their high bytes and the address of their owner below:
// unique among the editors alive, and unlike the tags of entity names.
int64_t tagOf(const void* owner) {
    return int64_t(0x5353455400000000LL ^ int64_t(reinterpret_cast<uintptr_t>(owner)));
}
} // namespace

SelectionState::SelectionState() : mSets(tagOf(this)) {}

EntityIndex& SelectionState::index(AcDbDatabase& db) {
    if (!mIndex || mIndex->database() != &db) mIndex = std::make_unique<EntityIndex>(db);
    return *mIndex;
}

EntityIds liveIds(const EntityIds& ids) {
    EntityIds out;
    for (AcDbObjectId id : ids) {
        db::ObjectSlot* s = id.slot();
        if (s && s->alive && !s->erased) out.push_back(id);
    }
    return out;
}

EntityIds previousSelection(Editor& editor) {
    return liveIds(editor.selection().previous());
}

void setPreviousSelection(Editor& editor, EntityIds ids) {
    editor.selection().previous() = std::move(ids);
}

EntityIds pickfirstSelection(Editor& editor) {
    return liveIds(editor.selection().pickfirst());
}

void setPickfirstSelection(Editor& editor, EntityIds ids) {
    editor.selection().pickfirst() = std::move(ids);
}

void newSelectionSet(Editor& editor, EntityIds ids, ads_name out) {
    editor.selection().sets().create(std::move(ids), out);
}

const EntityIds* selectionSetIds(Editor& editor, const ads_name ss) {
    return editor.selection().sets().find(ss);
}

bool freeSelectionSet(Editor& editor, const ads_name ss) {
    return editor.selection().sets().free(ss);
}

size_t liveSelectionSets(const Editor& editor) {
    return editor.selection().sets().live();
}

} // namespace zel::editor
