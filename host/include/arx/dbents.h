// Entities: the common base, curves, and the entity kinds. Included by db.h.
#pragma once

// A colour as the entity properties use it: an index (0 ByBlock, 256 ByLayer, 1..255).
class AcCmColor {
public:
    AcCmColor() = default;
    explicit AcCmColor(int16_t index) : mIndex(index) {}
    int16_t colorIndex() const { return mIndex; }
    Acad::ErrorStatus setColorIndex(int16_t index);
    bool isByLayer() const { return mIndex == 256; }
    bool isByBlock() const { return mIndex == 0; }
    void setByLayer() { mIndex = 256; }
    void setByBlock() { mIndex = 0; }
    bool operator==(const AcCmColor& o) const = default;

private:
    int16_t mIndex = 256;
};

class AcDbEntity : public AcDbObject {
public:
    ZEL_DECLARE_MEMBERS(AcDbEntity)
    AcDbEntity();
    // The "AcDbEntity" subclass of every entity's schema (the common properties).
    static const zel::db::SubclassSchema& commonSchema();

    // Common properties (the "AcDbEntity" subclass of every entity).
    const ACHAR* layer() const { return mLayer.c_str(); }
    AcDbObjectId layerId() const;
    Acad::ErrorStatus setLayer(const ACHAR* name);
    Acad::ErrorStatus setLayer(AcDbObjectId layerId);
    const ACHAR* linetype() const { return mLinetype.c_str(); }
    AcDbObjectId linetypeId() const;
    Acad::ErrorStatus setLinetype(const ACHAR* name);
    Acad::ErrorStatus setLinetype(AcDbObjectId linetypeId);
    int16_t colorIndex() const { return mColor; } // 0 ByBlock, 256 ByLayer, 1..255
    Acad::ErrorStatus setColorIndex(int16_t color);
    AcCmColor color() const { return AcCmColor(mColor); }
    Acad::ErrorStatus setColor(const AcCmColor& color) { return setColorIndex(color.colorIndex()); }
    AcDb::LineWeight lineWeight() const { return AcDb::LineWeight(mLineWeight); }
    Acad::ErrorStatus setLineWeight(AcDb::LineWeight w);
    double linetypeScale() const { return mLinetypeScale; }
    Acad::ErrorStatus setLinetypeScale(double s);
    bool visibility() const { return !mInvisible; } // true: visible
    Acad::ErrorStatus setVisibility(bool visible);
    bool isInPaperSpace() const { return mPaperSpace; }
    int32_t trueColor() const { return mTrueColor; } // 0xRRGGBB, or -1 when none
    // Sets every common property from another entity (layer, colour, linetype, weight, scale,
    // visibility), as pieces made from a source keep its properties.
    void setPropertiesFrom(const AcDbEntity& other);
    // Gives every property not set explicitly the current value of the database (CLAYER,
    // CELTYPE, CECOLOR, CELWEIGHT, CELTSCALE); appending an entity does this.
    void setDatabaseDefaults(AcDbDatabase* db = nullptr);
    AcDbObjectId blockId() const { return ownerId(); }
    // Entities owned by this one that follow it in a walk with acdbEntNext: the VERTEX and
    // SEQEND of a POLYLINE, the ATTRIBs and SEQEND of an INSERT.
    virtual std::vector<AcDbObjectId> subEntityIds() const { return {}; }
    // Called by the database right after it added this entity to a block: a complex entity
    // adds the sub-entities it was given before (VERTEX, ATTRIB) and its SEQEND.
    virtual void subEntitiesJoinDatabase() {}

    // Geometry queries every entity answers.
    virtual Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const;
    virtual Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform);
    // Display highlight (kept by the database for the session, not saved).
    Acad::ErrorStatus highlight() const;
    Acad::ErrorStatus unhighlight() const;
    bool isHighlighted() const;

private:
    friend struct zel::db::Access;
    enum PropertyBits : uint8_t {
        kLayerSet = 1,
        kLinetypeSet = 2,
        kColorSet = 4,
        kWeightSet = 8,
        kScaleSet = 16
    };
    uint8_t mPropertiesSet = 0; // properties given explicitly (not from database defaults)
    std::wstring mLayer = L"0";
    std::wstring mLinetype = L"BYLAYER";
    int16_t mColor = 256;
    int16_t mLineWeight = -1;
    double mLinetypeScale = 1.0;
    bool mInvisible = false;
    bool mPaperSpace = false;
    int32_t mTrueColor = -1;
    std::wstring mColorName;
    int32_t mTransparency = 0;
    AcDbHandle mMaterial;
    AcDbHandle mPlotStyle;
    int16_t mShadowMode = 0;
};

// Curves: parameters run along the curve; distances are arc lengths from the start.
class AcDbCurve : public AcDbEntity {
public:
    ZEL_DECLARE_MEMBERS(AcDbCurve)
    virtual bool isClosed() const { return false; }
    virtual bool isPeriodic() const { return false; }
    virtual Acad::ErrorStatus getStartParam(double& param) const;
    virtual Acad::ErrorStatus getEndParam(double& param) const;
    virtual Acad::ErrorStatus getStartPoint(AcGePoint3d& point) const;
    virtual Acad::ErrorStatus getEndPoint(AcGePoint3d& point) const;
    virtual Acad::ErrorStatus getPointAtParam(double param, AcGePoint3d& point) const;
    virtual Acad::ErrorStatus getParamAtPoint(const AcGePoint3d& point, double& param) const;
    virtual Acad::ErrorStatus getDistAtParam(double param, double& dist) const;
    virtual Acad::ErrorStatus getParamAtDist(double dist, double& param) const;
    virtual Acad::ErrorStatus getDistAtPoint(const AcGePoint3d& point, double& dist) const;
    virtual Acad::ErrorStatus getPointAtDist(double dist, AcGePoint3d& point) const;
    virtual Acad::ErrorStatus getFirstDeriv(double param, AcGeVector3d& deriv) const;
    virtual Acad::ErrorStatus getClosestPointTo(const AcGePoint3d& given, AcGePoint3d& closest,
                                                bool extend = false) const;
    virtual Acad::ErrorStatus getArea(double& area) const;
    // Total length (the distance at the end parameter).
    Acad::ErrorStatus getLength(double& length) const;
};

#include "dbents_simple.h"
