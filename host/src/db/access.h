// The host's access to the private state of API classes (one friend for all of them).
#pragma once

#include "arx/db.h"

namespace zel::db {

struct Access {
    static std::vector<AcDbXDataGroup>& xdata(AcDbObject& o) { return o.mXData; }
    static std::vector<AcDbObjectId>& entities(AcDbBlockTableRecord& r) { return r.mEntities; }
    static std::vector<AcDbObjectId>& records(AcDbSymbolTable& t) { return t.mRecords; }
    static AcDbHandle& blockBegin(AcDbBlockTableRecord& r) { return r.mBegin; }
    static AcDbHandle& blockEnd(AcDbBlockTableRecord& r) { return r.mEnd; }
    static AcDbBlockBegin::Data& blockData(AcDbBlockBegin& b) { return b.mData; }
    static std::vector<AcDbDictionary::Entry>& entries(AcDbDictionary& d) { return d.mEntries; }
    static std::vector<AcDbHandle>& groupEntities(AcDbGroup& g) { return g.mEntities; }
    static std::vector<ZelGroupValue>& xrecordData(AcDbXrecord& x) { return x.mData; }
    static void setBlockData(AcDbBlockTableRecord& r, const AcDbBlockBegin::Data& d) {
        r.mOrigin = d.origin;
        r.mBlockFlags = d.flags;
        r.mPathName = d.pathName;
        r.mComments = d.comments;
    }
    static AcDbHandle& layoutHandle(AcDbBlockTableRecord& r) { return r.mLayout; }
    static std::vector<ZelDashElement>& dashes(AcDbLinetypeTableRecord& r) { return r.mDashes; }
    static double& patternLength(AcDbLinetypeTableRecord& r) { return r.mPatternLength; }
    static std::vector<ZelGroupValue>& dimVars(AcDbDimStyleTableRecord& r) { return r.mVars; }
    static bool& xrecordMergeRead(AcDbXrecord& x) { return x.mMergeRead; }
    static int16_t& xrecordMerge(AcDbXrecord& x) { return x.mMergeStyle; }
    static void setName(AcDbSymbolTableRecord& r, const wchar_t* name) { r.mName = name; }
    static void setComments(AcDbLinetypeTableRecord& r, const wchar_t* text) { r.mComments = text; }
    static void viewport(AcDbViewportTableRecord& r, const AcGePoint3d& center, double height,
                         double aspect) {
        r.mCenter = center;
        r.mHeight = height;
        r.mAspect = aspect;
    }
    static void markPropertiesSet(AcDbEntity& e) { e.mPropertiesSet = 0x1f; }
    // Marks the properties an entity data list gave (by their group codes).
    static void markGivenProperties(AcDbEntity& e, const std::vector<ZelGroupValue>& groups) {
        for (const ZelGroupValue& v : groups) {
            e.mPropertiesSet |= v.code == 8     ? AcDbEntity::kLayerSet
                                : v.code == 6   ? AcDbEntity::kLinetypeSet
                                : v.code == 62  ? AcDbEntity::kColorSet
                                : v.code == 370 ? AcDbEntity::kWeightSet
                                : v.code == 48  ? AcDbEntity::kScaleSet
                                                : 0;
        }
    }
    static void setPaperSpace(AcDbEntity& e, bool paper) { e.mPaperSpace = paper; }
};

} // namespace zel::db
