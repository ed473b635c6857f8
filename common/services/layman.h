// A row of the drafting line-kind table (table kind 0, rows 0 to 199) or of the text-height
// table (kind 1) as a command uses it: read from the common settings, its linetypes loaded
// from their files, its layer made, the drawing's current layer, linetype, colour and
// lineweight switched to it for one edit (and put back by the destructor), or its properties
// stamped on an entity.
#pragma once

#include "arx/db.h"
#include "arx/dbents.h"

#include <string>

// "(無指定)": the field does not set its property.
inline constexpr const ACHAR* kUnspecified = L"(無指定)";

class CZelLayManager {
public:
    enum Field { kPar, kLin, kCol, kFnm, kLay, kLln, kLcl, kLfn, kWat, kLwt, kFieldCount };

    CZelLayManager(int tableKind, int row);
    virtual ~CZelLayManager();
    CZelLayManager(const CZelLayManager&) = delete;
    CZelLayManager& operator=(const CZelLayManager&) = delete;

    int LoadEntry();
    int LoadLinetypes(int row);
    int CreateLayer();
    // The first row whose name (or linetype, see "ZelLineType/Use") is name; -1 when none.
    int FindEntry(const ACHAR* name, int tableKind = -1) const;
    int SetCurrent(int row = -1);
    int RestoreCurrent();
    bool ApplyToEntity(AcDbEntity* entity) const;

    void setRow(int row) { mRow = row; }
    int row() const { return mRow; }
    int tableKind() const { return mKind; }
    bool layerReady() const { return mLayerReady != 0; }
    const std::wstring& field(Field f) const { return mFields[f]; }

private:
    int rowBound() const;
    bool hasKey(Field f) const;
    std::wstring key(Field f, int row) const;
    bool saveThenSet(const ACHAR* var, std::wstring& saved, const std::wstring& value);

    int mLayerReady = 0;
    int mKind = 0;
    int mRow = -1;
    std::wstring mFields[kFieldCount];
    std::wstring mSavedLayer, mSavedLinetype, mSavedColour, mSavedWeight;
};

// A colour number, or a colour name ("RED" 1 ... "WHITE" 7, "BYLAYER" 256, "BYBLOCK" 0).
int ColorFromText(const ACHAR* text);
// Loads the linetype from the file (".LIN" added; a name without a folder is looked for on the
// support path); 1 when the drawing has the linetype afterwards.
int LoadLinetypeFile(const ACHAR* name, const ACHAR* file);
bool LinetypeIdByName(const ACHAR* name, AcDbObjectId& id);
// "BYLAYER" -1, "BYBLOCK" -2, "DEFAULT" -3, "(無指定)" as it is, else millimetres × 100.
std::wstring NormalizeLineweight(const std::wstring& text);
