// Polylines: the light polyline (LWPOLYLINE), the 2-D polyline (POLYLINE) with its VERTEX
// sub-entities, and the SEQEND that closes every sequence of sub-entities. Included by db.h.
#pragma once

#include "db.h"
#include "dbents.h"
#include "geextra.h"

#include <memory>
#include <vector>

namespace zel::db {
template <class T> struct KindSchema;
}

// A kind whose schema follows its state (the flavours of POLYLINE and VERTEX).
#define ZEL_DECLARE_VARIANT_KIND(CLASS)                                                            \
    ZEL_DECLARE_MEMBERS(CLASS)                                                                     \
    const zel::db::ObjectSchema& schema() const override;                                          \
    std::unique_ptr<AcDbObject> cloneState() const override {                                      \
        return std::make_unique<CLASS>(*this);                                                     \
    }

namespace AcDb {
enum Poly2dType {
    k2dSimplePoly = 0,
    k2dFitCurvePoly = 1,
    k2dQuadSplinePoly = 2,
    k2dCubicSplinePoly = 3
};
enum Vertex2dType {
    k2dVertex = 0,
    k2dSplineCtlVertex = 1,
    k2dSplineFitVertex = 2,
    k2dCurveFitVertex = 3,
};
} // namespace AcDb

// The sub-entities of a complex entity (the VERTEXes of a POLYLINE, the ATTRIBs of an INSERT)
// and the SEQEND that ends them. Each is an object of the database owned by the complex
// entity; before the owner is in a database they are kept here and added with it.
class ZelSubEntities {
public:
    ZelSubEntities() = default;
    ZelSubEntities(const ZelSubEntities& other);
    ZelSubEntities& operator=(const ZelSubEntities& other);
    ZelSubEntities(ZelSubEntities&&) = default;
    ZelSubEntities& operator=(ZelSubEntities&&) = default;
    ~ZelSubEntities();

    const std::vector<AcDbObjectId>& ids() const { return mIds; }
    AcDbObjectId sequenceEnd() const { return mSequenceEnd; }
    // The sub-entities then the SEQEND (when there is one).
    std::vector<AcDbObjectId> all() const;
    void set(std::vector<AcDbObjectId> ids, AcDbObjectId sequenceEnd);
    // Appends a sub-entity of owner: added to the owner's database (and left open for write
    // when the caller wants it) or kept until the owner joins one.
    Acad::ErrorStatus append(AcDbEntity& owner, std::unique_ptr<AcDbEntity> entity,
                             AcDbObjectId* id);
    // The kept sub-entities, then a new SEQEND; the list is empty afterwards.
    std::vector<std::unique_ptr<AcDbEntity>> takePending();
    const std::vector<std::unique_ptr<AcDbEntity>>& pending() const { return mPending; }
    bool empty() const { return mIds.empty() && mPending.empty(); }

private:
    std::vector<AcDbObjectId> mIds;
    AcDbObjectId mSequenceEnd;
    std::vector<std::unique_ptr<AcDbEntity>> mPending;
};

// LWPOLYLINE: vertices in the plane of the normal at an elevation, with bulges and widths.
// Parameter i is vertex i; along a segment the parameter grows with the arc length.
class AcDbPolyline : public AcDbCurve {
public:
    ZEL_DECLARE_KIND(AcDbPolyline)
    enum SegType { kLine, kArc, kCoincident, kPoint, kEmpty };

    AcDbPolyline() = default;
    explicit AcDbPolyline(unsigned int numVerts) { mVertices.reserve(numVerts); }

    unsigned int numVerts() const { return unsigned(mVertices.size()); }
    // Inserts a vertex before index (index == numVerts() appends). Widths below zero take
    // the constant width.
    Acad::ErrorStatus addVertexAt(unsigned int index, const AcGePoint2d& pt, double bulge = 0.,
                                  double startWidth = -1., double endWidth = -1.,
                                  int32_t vertexIdentifier = 0);
    Acad::ErrorStatus removeVertexAt(unsigned int index);
    // Clears the vertices; with reuse, keeps the first numVerts of them.
    Acad::ErrorStatus reset(bool reuse, unsigned int numVerts);

    Acad::ErrorStatus getPointAt(unsigned int index, AcGePoint2d& pt) const; // plane coordinates
    Acad::ErrorStatus getPointAt(unsigned int index, AcGePoint3d& pt) const; // world
    Acad::ErrorStatus setPointAt(unsigned int index, const AcGePoint2d& pt);
    Acad::ErrorStatus getBulgeAt(unsigned int index, double& bulge) const;
    Acad::ErrorStatus setBulgeAt(unsigned int index, double bulge);
    Acad::ErrorStatus getWidthsAt(unsigned int index, double& startWidth, double& endWidth) const;
    Acad::ErrorStatus setWidthsAt(unsigned int index, double startWidth, double endWidth);
    Acad::ErrorStatus getVertexIdentifierAt(unsigned int index, int32_t& id) const;
    // The constant width (43); eInvalidInput when the vertices have different widths.
    Acad::ErrorStatus getConstantWidth(double& width) const;
    Acad::ErrorStatus setConstantWidth(double width);
    bool hasWidth() const;
    bool hasBulges() const;
    bool isOnlyLines() const { return !hasBulges(); }

    SegType segType(unsigned int index) const;
    Acad::ErrorStatus getLineSegAt(unsigned int index, AcGeLineSeg2d& seg) const;
    Acad::ErrorStatus getLineSegAt(unsigned int index, AcGeLineSeg3d& seg) const;
    Acad::ErrorStatus getArcSegAt(unsigned int index, AcGeCircArc2d& arc) const;
    Acad::ErrorStatus getArcSegAt(unsigned int index, AcGeCircArc3d& arc) const;

    bool isClosed() const override { return (mFlags & 1) != 0; }
    void setClosed(bool closed);
    bool hasPlinegen() const { return (mFlags & 128) != 0; }
    void setPlinegen(bool on);
    double elevation() const { return mElevation; }
    void setElevation(double elevation);
    double thickness() const { return mThickness; }
    Acad::ErrorStatus setThickness(double thickness);
    AcGeVector3d normal() const { return mNormal; }
    Acad::ErrorStatus setNormal(const AcGeVector3d& normal);

    // Curve queries (world coordinates).
    Acad::ErrorStatus getStartParam(double& param) const override;
    Acad::ErrorStatus getEndParam(double& param) const override;
    Acad::ErrorStatus getStartPoint(AcGePoint3d& point) const override;
    Acad::ErrorStatus getEndPoint(AcGePoint3d& point) const override;
    Acad::ErrorStatus getPointAtParam(double param, AcGePoint3d& point) const override;
    Acad::ErrorStatus getParamAtPoint(const AcGePoint3d& point, double& param) const override;
    Acad::ErrorStatus getDistAtParam(double param, double& dist) const override;
    Acad::ErrorStatus getParamAtDist(double dist, double& param) const override;
    Acad::ErrorStatus getDistAtPoint(const AcGePoint3d& point, double& dist) const override;
    Acad::ErrorStatus getPointAtDist(double dist, AcGePoint3d& point) const override;
    Acad::ErrorStatus getFirstDeriv(double param, AcGeVector3d& deriv) const override;
    Acad::ErrorStatus getClosestPointTo(const AcGePoint3d& given, AcGePoint3d& closest,
                                        bool extend = false) const override;
    // Area of the polyline taken as closed, positive when its vertices turn counter-clockwise
    // about the normal.
    Acad::ErrorStatus getArea(double& area) const override;
    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
    // Non-uniform scaling is refused (arcs would become ellipses); mirrors reverse bulges.
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;

    struct Vertex {
        AcGePoint2d point;
        double startWidth = 0;
        double endWidth = 0;
        double bulge = 0;
        int32_t id = 0; // vertex identifier (91), 0 when none
        bool operator==(const Vertex&) const = default;
    };
    const std::vector<Vertex>& vertices() const { return mVertices; }

private:
    template <class T> friend struct zel::db::KindSchema;
    int16_t mFlags = 0;        // 1 closed, 128 linetype generation
    double mConstantWidth = 0; // 43
    bool mHasConstantWidth = false;
    double mElevation = 0;
    double mThickness = 0;
    AcGeVector3d mNormal = AcGeVector3d::kZAxis;
    std::vector<Vertex> mVertices;
    int32_t mDeclaredCount = 0; // 90 as read, checked when reading ends
};

class AcDb2dVertex;
class AcDbSequenceEnd;

// POLYLINE: a 2-D polyline made of VERTEX sub-entities closed by a SEQEND, each an object of
// the database owned by the polyline. 3-D polylines and meshes are kept as the same class
// with their flags (only their 2-D geometry is modelled); they read and write unchanged.
class AcDb2dPolyline : public AcDbCurve {
public:
    ZEL_DECLARE_VARIANT_KIND(AcDb2dPolyline)
    enum Flavour { k2d, k3d, kPolygonMesh, kPolyFaceMesh };

    AcDb2dPolyline() = default;
    // A polyline of another flavour (kept with its flags).
    static std::unique_ptr<AcDb2dPolyline> withFlavour(Flavour flavour);
    // Vertices at the given points (plane coordinates; z is ignored), with the bulges when
    // given (one per point).
    AcDb2dPolyline(AcDb::Poly2dType type, const std::vector<AcGePoint3d>& vertices,
                   double elevation = 0, bool closed = false, double defStartWidth = 0,
                   double defEndWidth = 0, const std::vector<double>* bulges = nullptr);

    Flavour flavour() const;
    AcDb::Poly2dType polyType() const;
    Acad::ErrorStatus setPolyType(AcDb::Poly2dType type);
    bool isClosed() const override { return (mFlags & 1) != 0; }
    Acad::ErrorStatus makeClosed();
    Acad::ErrorStatus makeOpen();
    int16_t polylineFlags() const { return mFlags; }
    bool isLinetypeGenerationOn() const { return (mFlags & 128) != 0; }
    Acad::ErrorStatus setLinetypeGenerationOn();
    Acad::ErrorStatus setLinetypeGenerationOff();
    double defaultStartWidth() const { return mDefaultStartWidth; }
    double defaultEndWidth() const { return mDefaultEndWidth; }
    Acad::ErrorStatus setDefaultStartWidth(double w);
    Acad::ErrorStatus setDefaultEndWidth(double w);
    double elevation() const { return mElevation.z; }
    Acad::ErrorStatus setElevation(double elevation);
    double thickness() const { return mThickness; }
    Acad::ErrorStatus setThickness(double thickness);
    AcGeVector3d normal() const { return mNormal; }
    Acad::ErrorStatus setNormal(const AcGeVector3d& normal);

    // Appends a vertex; the polyline takes it. In a database the vertex becomes an object of
    // its own (open for write: it must be open for write); otherwise it is kept until the
    // polyline is added to a database (see subObjectsToAdd).
    Acad::ErrorStatus appendVertex(AcDb2dVertex* vertex);
    Acad::ErrorStatus appendVertex(AcDbObjectId& vertexId, AcDb2dVertex* vertex);
    // Ids of the vertices in order (empty before the polyline is in a database).
    const std::vector<AcDbObjectId>& vertexIds() const { return mSub.ids(); }
    AcDbObjectId sequenceEndId() const { return mSub.sequenceEnd(); }
    // The vertices then the SEQEND, as acdbEntNext walks them.
    std::vector<AcDbObjectId> subEntityIds() const override { return mSub.all(); }
    void subEntitiesJoinDatabase() override;
    ZelSubEntities& subEntities() { return mSub; }
    const ZelSubEntities& subEntities() const { return mSub; }

    // The vertex data as a bulge chain: plane coordinates, bulges, widths. Vertices of 3-D
    // polylines and meshes count with their x and y.
    struct VertexData {
        AcGePoint3d position;
        double bulge = 0;
        double startWidth = 0, endWidth = 0;
    };
    std::vector<VertexData> vertexData() const;
    // World position of a vertex of this polyline.
    AcGePoint3d vertexPosition(const AcDb2dVertex& vertex) const;

    Acad::ErrorStatus getStartParam(double& param) const override;
    Acad::ErrorStatus getEndParam(double& param) const override;
    Acad::ErrorStatus getStartPoint(AcGePoint3d& point) const override;
    Acad::ErrorStatus getEndPoint(AcGePoint3d& point) const override;
    Acad::ErrorStatus getPointAtParam(double param, AcGePoint3d& point) const override;
    Acad::ErrorStatus getParamAtPoint(const AcGePoint3d& point, double& param) const override;
    Acad::ErrorStatus getDistAtParam(double param, double& dist) const override;
    Acad::ErrorStatus getParamAtDist(double dist, double& param) const override;
    Acad::ErrorStatus getDistAtPoint(const AcGePoint3d& point, double& dist) const override;
    Acad::ErrorStatus getPointAtDist(double dist, AcGePoint3d& point) const override;
    Acad::ErrorStatus getFirstDeriv(double param, AcGeVector3d& deriv) const override;
    Acad::ErrorStatus getClosestPointTo(const AcGePoint3d& given, AcGePoint3d& closest,
                                        bool extend = false) const override;
    Acad::ErrorStatus getArea(double& area) const override;
    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
    // Moves the vertices too (they must be writable: in a database they are opened here).
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;

private:
    template <class T> friend struct zel::db::KindSchema;
    int16_t mFlags = 0; // 1 closed, 2 curve fit, 4 spline fit, 8 3-D, 16 mesh, 64 polyface, 128
    int16_t mHasVerticesFollow = 1; // 66 (obsolete, always 1 when written)
    AcGePoint3d mElevation;         // 10: only z is meaningful
    double mThickness = 0;
    double mDefaultStartWidth = 0, mDefaultEndWidth = 0;
    int16_t mMeshM = 0, mMeshN = 0, mSmoothM = 0, mSmoothN = 0; // 71 72 73 74
    int16_t mCurveType = 0;                                     // 75
    AcGeVector3d mNormal = AcGeVector3d::kZAxis;
    ZelSubEntities mSub;
};

// VERTEX of a POLYLINE. The flavour follows the flags (32 3-D, 64 mesh, 128 face record).
class AcDb2dVertex : public AcDbEntity {
public:
    ZEL_DECLARE_VARIANT_KIND(AcDb2dVertex)
    AcDb2dVertex() = default;
    // A vertex of another flavour (flags 32 3-D, 64 mesh, 128 face record).
    static std::unique_ptr<AcDb2dVertex> withFlags(int16_t flags);
    explicit AcDb2dVertex(const AcGePoint3d& position, double bulge = 0, double startWidth = 0,
                          double endWidth = 0, double tangent = 0, int32_t vertexIdentifier = 0);

    AcDb::Vertex2dType vertexType() const;
    AcGePoint3d position() const { return mPosition; } // plane coordinates, z = elevation
    Acad::ErrorStatus setPosition(const AcGePoint3d& position);
    double bulge() const { return mBulge; }
    Acad::ErrorStatus setBulge(double bulge);
    double startWidth() const { return mStartWidth; }
    double endWidth() const { return mEndWidth; }
    Acad::ErrorStatus setStartWidth(double w);
    Acad::ErrorStatus setEndWidth(double w);
    bool isTangentUsed() const { return (mFlags & 2) != 0; }
    double tangent() const { return mTangent; }
    Acad::ErrorStatus setTangent(double angle);
    Acad::ErrorStatus useTangent();
    Acad::ErrorStatus ignoreTangent();
    int32_t vertexIdentifier() const { return mVertexId; }
    int16_t vertexFlags() const { return mFlags; }
    // Used by the owning polyline only (its plane and elevation).
    void setPositionRaw(const AcGePoint3d& p) { mPosition = p; }
    void setBulgeRaw(double b) { mBulge = b; }
    void setWidthsRaw(double s, double e) { mStartWidth = s, mEndWidth = e; }

private:
    template <class T> friend struct zel::db::KindSchema;
    AcGePoint3d mPosition;
    double mStartWidth = 0, mEndWidth = 0, mBulge = 0;
    int16_t mFlags = 0; // 1 extra, 2 tangent, 8 spline, 16 frame, 32 3-D, 64 mesh, 128 face
    double mTangent = 0;
    int16_t mFace1 = 0, mFace2 = 0, mFace3 = 0, mFace4 = 0; // 71..74 of meshes and faces
    int32_t mVertexId = 0;
};

// SEQEND: the end of the sub-entities of a POLYLINE or INSERT.
class AcDbSequenceEnd : public AcDbEntity {
public:
    ZEL_DECLARE_KIND(AcDbSequenceEnd)
};
