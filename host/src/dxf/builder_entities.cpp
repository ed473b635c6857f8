// Reading entities: each into its block (or model/paper space by its 67 flag), and the
// sequences POLYLINE VERTEX... SEQEND and INSERT ATTRIB... SEQEND into their first entity.
#include "arx/db.h"
#include "core/text.h"
#include "db/access.h"
#include "dxf/builder.h"

namespace zel::dxf {
namespace {

using db::Access;
using db::ObjectSlot;

// The list of sub-entities of an entity that has them (POLYLINE, INSERT); null for others.
ZelSubEntities* subEntitiesOf(AcDbObject* object) {
    if (auto* pl = AcDb2dPolyline::cast(object)) return &pl->subEntities();
    if (auto* ref = AcDbBlockReference::cast(object)) return &ref->subEntities();
    return nullptr;
}

// The sub-entity kind an entity takes: VERTEX for polylines, ATTRIB for block references.
const char* subKindOf(const AcDbObject* object) {
    if (AcDb2dPolyline::cast(object)) return "VERTEX";
    if (AcDbBlockReference::cast(object)) return "ATTRIB";
    return "";
}

} // namespace

bool DatabaseBuilder::entity(const std::string& section, const Record& r) {
    closeSequence();
    auto object = create(r.type, true, &r.groups);
    // A sequence of a kind the host keeps raw stays a run of entities, written back in order.
    mRawSequence =
        AcDbRawEntity::cast(object.get()) && (r.type == "POLYLINE" || r.type == "INSERT");
    AcDbHandle wanted = read(*object, r, 0);
    ObjectSlot* owner = mBlock;
    if (section != "BLOCKS")
        owner = spaceFor(static_cast<AcDbEntity*>(object.get())->isInPaperSpace());
    ObjectSlot* slot = place(std::move(object), wanted, owner->handle, r);
    auto& block = *static_cast<AcDbBlockTableRecord*>(owner->object.get());
    Access::entities(block).push_back(AcDbObjectId(slot));
    // The 67 flag follows the space the entity is in: the writer puts the entities of both
    // spaces in the ENTITIES section, where the flag tells them apart.
    if (auto* e = AcDbEntity::cast(slot->object.get())) {
        Space space = spaceOf(owner);
        if (space != Space::None) Access::setPaperSpace(*e, space == Space::Paper);
    }
    if (subEntitiesOf(slot->object.get())) {
        mParent = slot;
        mParentWhere = where(r);
        mSubIds.clear();
    }
    return true;
}

bool DatabaseBuilder::subEntity(const std::string& section, const Record& r) {
    bool isEnd = r.type == "SEQEND";
    if (!mParent || (!isEnd && r.type != subKindOf(mParent->object.get()))) {
        if (!mRawSequence)
            warn(where(r) + ": 0/" + r.type +
                 " does not follow an entity it can belong to; it is kept on its own");
        bool raw = mRawSequence;
        entity(section, r);
        mRawSequence = raw && !isEnd;
        return true;
    }
    auto object = create(r.type, true, &r.groups);
    AcDbHandle wanted = read(*object, r, 0);
    ObjectSlot* slot = place(std::move(object), wanted, mParent->handle, r);
    if (!isEnd) {
        mSubIds.push_back(AcDbObjectId(slot));
        return true;
    }
    subEntitiesOf(mParent->object.get())->set(std::move(mSubIds), AcDbObjectId(slot));
    mSubIds.clear();
    mParent = nullptr;
    return true;
}

// Ends the sequence of the entity read last. A polyline, or a block reference with
// attributes, whose SEQEND the file left out gets one.
void DatabaseBuilder::closeSequence() {
    if (!mParent) return;
    ObjectSlot* parent = mParent;
    mParent = nullptr;
    bool polyline = AcDb2dPolyline::cast(parent->object.get()) != nullptr;
    AcDbObjectId end;
    if (polyline || !mSubIds.empty()) {
        auto object = create("SEQEND", true);
        object->setOwnerHandle(parent->handle);
        ObjectSlot* slot = mImpl.add(std::move(object));
        slot->object->close();
        end = AcDbObjectId(slot);
        warn(mParentWhere + ": the sequence of this entity has no 0/SEQEND; one was added");
    }
    subEntitiesOf(parent->object.get())->set(std::move(mSubIds), end);
    mSubIds.clear();
}

void DatabaseBuilder::finish() {
    closeSequence();
}

} // namespace zel::dxf
