// Block references: INSERT (AcDbBlockReference) with its ATTRIB sub-entities, and the
// arrayed form (AcDbMInsertBlock, rows and columns). Included by db.h.
#pragma once

#include "db.h"
#include "dbents.h"
#include "dbpoly.h"
#include "dbtext.h"
#include "geextra.h"

#include <string>
#include <vector>

namespace zel::db {
template <class T> struct KindSchema;
}

class AcDbBlockReference : public AcDbEntity {
public:
    ZEL_DECLARE_KIND(AcDbBlockReference)
    AcDbBlockReference() = default;
    AcDbBlockReference(const AcGePoint3d& position, AcDbObjectId blockTableRecord);

    // The block record of the block name in the database of the reference (null when the
    // reference is in no database or the block is not found).
    AcDbObjectId blockTableRecord() const;
    Acad::ErrorStatus setBlockTableRecord(AcDbObjectId id);
    // The name of the block (kept as read for blocks not in the database).
    const ACHAR* blockName() const { return mBlockName.c_str(); }
    Acad::ErrorStatus setBlockName(const ACHAR* name);
    AcGePoint3d position() const; // world
    Acad::ErrorStatus setPosition(const AcGePoint3d& p);
    AcGeScale3d scaleFactors() const { return mScale; }
    Acad::ErrorStatus setScaleFactors(const AcGeScale3d& scale); // no factor may be 0
    double rotation() const { return mRotation; }
    Acad::ErrorStatus setRotation(double angle);
    AcGeVector3d normal() const { return mNormal; }
    Acad::ErrorStatus setNormal(const AcGeVector3d& n);
    // Block coordinates (less the block's base point) to world coordinates.
    AcGeMatrix3d blockTransform() const;
    // Sets position, scales, rotation and normal from a transform made of those parts;
    // eInvalidInput for a shear.
    Acad::ErrorStatus setBlockTransform(const AcGeMatrix3d& xform);

    // Attributes: appended ones are owned by the reference (see ZelSubEntities).
    Acad::ErrorStatus appendAttribute(AcDbAttribute* attribute);
    Acad::ErrorStatus appendAttribute(AcDbObjectId& id, AcDbAttribute* attribute);
    const std::vector<AcDbObjectId>& attributeIds() const { return mSub.ids(); }
    AcDbObjectId sequenceEndId() const { return mSub.sequenceEnd(); }
    std::vector<AcDbObjectId> subEntityIds() const override { return mSub.all(); }
    void subEntitiesJoinDatabase() override;
    ZelSubEntities& subEntities() { return mSub; }
    const ZelSubEntities& subEntities() const { return mSub; }

    // The extents of the block's entities placed by the block transform (an empty block:
    // the position).
    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
    // Composes the transform with the block transform; the attributes move along.
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;

protected:
    template <class T> friend struct zel::db::KindSchema;
    // The block's base point (origin of its BLOCK), or the origin when unknown.
    AcGePoint3d blockBasePoint() const;
    int16_t mAttributesFollow = 0; // 66
    std::wstring mBlockName;
    AcGePoint3d mPosition; // plane coordinates (OCS), as the file holds it
    AcGeScale3d mScale;
    double mRotation = 0;
    AcGeVector3d mNormal = AcGeVector3d::kZAxis;
    int16_t mColumns = 1, mRows = 1;
    double mColumnSpacing = 0, mRowSpacing = 0;
    ZelSubEntities mSub;
};

// INSERT with rows and columns: copies of the block spaced in the rotated frame.
class AcDbMInsertBlock : public AcDbBlockReference {
public:
    ZEL_DECLARE_KIND(AcDbMInsertBlock)
    AcDbMInsertBlock() = default;
    AcDbMInsertBlock(const AcGePoint3d& position, AcDbObjectId blockTableRecord, int16_t columns,
                     int16_t rows, double columnSpacing, double rowSpacing);
    int16_t columns() const { return mColumns; }
    int16_t rows() const { return mRows; }
    double columnSpacing() const { return mColumnSpacing; }
    double rowSpacing() const { return mRowSpacing; }
    Acad::ErrorStatus setColumns(int16_t n); // at least 1
    Acad::ErrorStatus setRows(int16_t n);
    Acad::ErrorStatus setColumnSpacing(double d);
    Acad::ErrorStatus setRowSpacing(double d);
    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;
};
