// Sub-entities of complex entities (VERTEX, ATTRIB), their SEQEND, and the VERTEX and
// SEQEND kinds.
#include "arx/db.h"
#include "db/database_impl.h"
#include "db/ents/entcommon.h"
#include "db/ents/kinds.h"

#include <cmath>
#include <cstring>

namespace ents = zel::db::ents;

// ---- ZelSubEntities -----------------------------------------------------------------------

ZelSubEntities::ZelSubEntities(const ZelSubEntities& other)
    : mIds(other.mIds), mSequenceEnd(other.mSequenceEnd) {
    for (const auto& e : other.mPending)
        mPending.emplace_back(static_cast<AcDbEntity*>(e->cloneState().release()));
}

ZelSubEntities& ZelSubEntities::operator=(const ZelSubEntities& other) {
    if (this != &other) *this = ZelSubEntities(other);
    return *this;
}

ZelSubEntities::~ZelSubEntities() = default;

std::vector<AcDbObjectId> ZelSubEntities::all() const {
    std::vector<AcDbObjectId> out = mIds;
    if (!mSequenceEnd.isNull()) out.push_back(mSequenceEnd);
    return out;
}

void ZelSubEntities::set(std::vector<AcDbObjectId> ids, AcDbObjectId sequenceEnd) {
    mIds = std::move(ids);
    mSequenceEnd = sequenceEnd;
}

namespace {

// Adds an entity owned by owner to the owner's database; it stays open for write.
Acad::ErrorStatus addOwned(AcDbEntity& owner, std::unique_ptr<AcDbEntity> entity,
                           AcDbObjectId& id) {
    AcDbDatabase* db = owner.database();
    AcDbEntity* raw = entity.get();
    Acad::ErrorStatus es = db->addAcDbObject(id, entity.release());
    if (es != Acad::eOk) return es;
    raw->setOwnerId(owner.objectId());
    return Acad::eOk;
}

} // namespace

Acad::ErrorStatus ZelSubEntities::append(AcDbEntity& owner, std::unique_ptr<AcDbEntity> entity,
                                         AcDbObjectId* id) {
    if (!entity) return Acad::eNullEntityPointer;
    if (!entity->objectId().isNull()) return Acad::eAlreadyInDb;
    owner.assertWriteEnabled();
    entity->setPropertiesFrom(owner);
    if (!owner.database()) {
        mPending.push_back(std::move(entity));
        return Acad::eOk;
    }
    if (mSequenceEnd.isNull()) {
        AcDbObjectId end;
        auto seqend = std::make_unique<AcDbSequenceEnd>();
        seqend->setPropertiesFrom(owner);
        AcDbSequenceEnd* raw = seqend.get();
        if (Acad::ErrorStatus es = addOwned(owner, std::move(seqend), end); es != Acad::eOk)
            return es;
        raw->close();
        mSequenceEnd = end;
    }
    AcDbObjectId newId;
    if (Acad::ErrorStatus es = addOwned(owner, std::move(entity), newId); es != Acad::eOk)
        return es;
    mIds.push_back(newId);
    if (id) *id = newId;
    return Acad::eOk;
}

std::vector<std::unique_ptr<AcDbEntity>> ZelSubEntities::takePending() {
    std::vector<std::unique_ptr<AcDbEntity>> out = std::move(mPending);
    mPending.clear();
    if (!out.empty() || mSequenceEnd.isNull()) {
        auto seqend = std::make_unique<AcDbSequenceEnd>();
        if (!out.empty()) seqend->setPropertiesFrom(*out.front());
        out.push_back(std::move(seqend));
    }
    return out;
}

namespace zel::db::ents {

// Called by the database once a complex entity is in it: its kept sub-entities and a SEQEND
// become objects owned by it.
void addPendingSubEntities(AcDbEntity& owner, ZelSubEntities& list) {
    if (!owner.database() || list.pending().empty()) return;
    std::vector<std::unique_ptr<AcDbEntity>> pending = list.takePending();
    std::vector<AcDbObjectId> ids = list.ids();
    AcDbObjectId end = list.sequenceEnd();
    for (size_t i = 0; i < pending.size(); ++i) {
        bool isEnd = i + 1 == pending.size();
        AcDbEntity* raw = pending[i].get();
        AcDbObjectId id;
        if (addOwned(owner, std::move(pending[i]), id) != Acad::eOk) continue;
        raw->close();
        if (isEnd)
            end = id;
        else
            ids.push_back(id);
    }
    list.set(std::move(ids), end);
}

} // namespace zel::db::ents

// ---- VERTEX ----------------------------------------------------------------------------------

ZEL_DEFINE_MEMBERS(AcDb2dVertex, AcDbEntity)

AcDb2dVertex::AcDb2dVertex(const AcGePoint3d& position, double bulge, double startWidth,
                           double endWidth, double tangent, int32_t vertexIdentifier)
    : mPosition(position), mStartWidth(startWidth), mEndWidth(endWidth), mBulge(bulge),
      mTangent(tangent), mVertexId(vertexIdentifier) {}

std::unique_ptr<AcDb2dVertex> AcDb2dVertex::withFlags(int16_t flags) {
    auto v = std::make_unique<AcDb2dVertex>();
    v->mFlags = flags;
    return v;
}

AcDb::Vertex2dType AcDb2dVertex::vertexType() const {
    if (mFlags & 16) return AcDb::k2dSplineCtlVertex;
    if (mFlags & 8) return AcDb::k2dSplineFitVertex;
    if (mFlags & 1) return AcDb::k2dCurveFitVertex;
    return AcDb::k2dVertex;
}

Acad::ErrorStatus AcDb2dVertex::setPosition(const AcGePoint3d& position) {
    assertWriteEnabled();
    mPosition = position;
    return Acad::eOk;
}

Acad::ErrorStatus AcDb2dVertex::setBulge(double bulge) {
    if (!std::isfinite(bulge)) return Acad::eInvalidInput;
    assertWriteEnabled();
    mBulge = bulge;
    return Acad::eOk;
}

Acad::ErrorStatus AcDb2dVertex::setStartWidth(double w) {
    if (!(w >= 0)) return Acad::eInvalidInput;
    assertWriteEnabled();
    mStartWidth = w;
    return Acad::eOk;
}

Acad::ErrorStatus AcDb2dVertex::setEndWidth(double w) {
    if (!(w >= 0)) return Acad::eInvalidInput;
    assertWriteEnabled();
    mEndWidth = w;
    return Acad::eOk;
}

Acad::ErrorStatus AcDb2dVertex::setTangent(double angle) {
    assertWriteEnabled();
    mTangent = angle;
    return Acad::eOk;
}

Acad::ErrorStatus AcDb2dVertex::useTangent() {
    assertWriteEnabled();
    mFlags = int16_t(mFlags | 2);
    return Acad::eOk;
}

Acad::ErrorStatus AcDb2dVertex::ignoreTangent() {
    assertWriteEnabled();
    mFlags = int16_t(mFlags & ~2);
    return Acad::eOk;
}

namespace zel::db {

template <> struct KindSchema<AcDb2dVertex> {
    enum Variant { k2d, k3d, kMesh, kFaceVertex, kFace, kVariantCount };

    static Variant variantOf(int16_t flags) {
        if ((flags & 128) && (flags & 64)) return kFaceVertex;
        if (flags & 128) return kFace;
        if (flags & 64) return kMesh;
        if (flags & 32) return k3d;
        return k2d;
    }

    static std::vector<FieldDesc> fields() {
        using V = AcDb2dVertex;
        return {
            {10, FieldKind::Point3, ZEL_FIELD(V, mPosition)},
            {40, FieldKind::Real, ZEL_FIELD(V, mStartWidth), kSkipDefault, 0, L"",
             validNonNegative},
            {41, FieldKind::Real, ZEL_FIELD(V, mEndWidth), kSkipDefault, 0, L"", validNonNegative},
            {42, FieldKind::Real, ZEL_FIELD(V, mBulge), kSkipDefault},
            {70, FieldKind::Int16, ZEL_FIELD(V, mFlags)},
            {50, FieldKind::Angle, ZEL_FIELD(V, mTangent), kSkipDefault},
            {71, FieldKind::Int16, ZEL_FIELD(V, mFace1), kSkipDefault},
            {72, FieldKind::Int16, ZEL_FIELD(V, mFace2), kSkipDefault},
            {73, FieldKind::Int16, ZEL_FIELD(V, mFace3), kSkipDefault},
            {74, FieldKind::Int16, ZEL_FIELD(V, mFace4), kSkipDefault},
            {91, FieldKind::Int32, ZEL_FIELD(V, mVertexId), kSkipDefault},
        };
    }

    template <int16_t Flags> static std::unique_ptr<AcDbObject> create() {
        return AcDb2dVertex::withFlags(Flags);
    }

    static ObjectSchema make(const char* marker, std::unique_ptr<AcDbObject> (*create)(),
                             bool withVertexMarker) {
        std::vector<SubclassSchema> own;
        if (withVertexMarker) own.push_back({"AcDbVertex", {}, {}});
        own.push_back({marker, fields(), {}});
        ObjectSchema s{"VERTEX", true, ents::entitySubclasses(std::move(own)), create};
        s.variant = ents::vertexVariant;
        return s;
    }

    static const ObjectSchema& get(Variant v) {
        static const ObjectSchema schemas[kVariantCount] = {
            make("AcDb2dVertex", create<0>, true),
            make("AcDb3dPolylineVertex", create<32>, true),
            make("AcDbPolygonMeshVertex", create<64>, true),
            make("AcDbPolyFaceMeshVertex", create<192>, true),
            make("AcDbFaceRecord", create<128>, false),
        };
        return schemas[v];
    }
};

} // namespace zel::db

const zel::db::ObjectSchema& AcDb2dVertex::schema() const {
    using S = zel::db::KindSchema<AcDb2dVertex>;
    return S::get(S::variantOf(mFlags));
}

// ---- SEQEND ----------------------------------------------------------------------------------

ZEL_DEFINE_MEMBERS(AcDbSequenceEnd, AcDbEntity)

const zel::db::ObjectSchema& AcDbSequenceEnd::kindSchema() {
    return zel::db::ents::sequenceEndSchema();
}

namespace zel::db::ents {

const ObjectSchema& vertexSchema(int16_t vertexFlags) {
    using S = KindSchema<AcDb2dVertex>;
    return S::get(S::variantOf(vertexFlags));
}

const ObjectSchema& sequenceEndSchema() {
    static const ObjectSchema s{"SEQEND", true, entitySubclasses({}), createKind<AcDbSequenceEnd>};
    return s;
}

const ObjectSchema* vertexVariant(const std::vector<ZelGroupValue>& groups) {
    using S = KindSchema<AcDb2dVertex>;
    static const wchar_t* const markers[] = {L"AcDb2dVertex", L"AcDb3dPolylineVertex",
                                             L"AcDbPolygonMeshVertex", L"AcDbPolyFaceMeshVertex",
                                             L"AcDbFaceRecord"};
    int16_t flags = 0;
    for (const ZelGroupValue& g : groups) {
        if (g.code == 70) flags = int16_t(g.integer);
        if (g.code != 100) continue;
        for (int i = 0; i < S::kVariantCount; ++i)
            if (g.text == markers[i]) return &S::get(S::Variant(i));
    }
    return &S::get(S::variantOf(flags));
}

} // namespace zel::db::ents
