// What the selection functions of an editor keep between calls: the selection sets handed out
// as ads_name values, the previous and PICKFIRST sets, and the spatial index of the drawing.
#pragma once

#include "editor/selection.h"
#include "editor/selection_index.h"

#include <cstdint>
#include <map>
#include <memory>

namespace zel::editor {

// Selection sets named by { serial, tag of their owner }; serials are never reused, so a
// freed set's name finds nothing.
class SelectionSets {
public:
    explicit SelectionSets(int64_t tag) : mTag(tag) {}
    void create(EntityIds ids, ads_name out);
    EntityIds* find(const ads_name ss);
    bool free(const ads_name ss);
    size_t live() const { return mSets.size(); }

private:
    std::map<int64_t, EntityIds> mSets;
    int64_t mTag;
    int64_t mNext = 1;
};

class SelectionState {
public:
    SelectionState();
    SelectionSets& sets() { return mSets; }
    const SelectionSets& sets() const { return mSets; }
    EntityIds& previous() { return mPrevious; }
    EntityIds& pickfirst() { return mPickfirst; }
    // The index of this drawing (made, or made again for another drawing, when asked).
    EntityIndex& index(AcDbDatabase& db);

private:
    SelectionSets mSets;
    EntityIds mPrevious;
    EntityIds mPickfirst;
    std::unique_ptr<EntityIndex> mIndex;
};

// Ids of entities that are still in the drawing and not erased, in their order.
EntityIds liveIds(const EntityIds& ids);

} // namespace zel::editor
