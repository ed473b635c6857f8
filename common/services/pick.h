// Picking one curve at a time with a live highlight: the pick record a command keeps per
// entity it asks for, the geometric summary of the picked curve, the object-snap freeze while
// a pick is held, the draw-order guard, and the selection the suite's LISP code leaves for the
// next command in global symbols.
#pragma once

#include "arx/ads.h"
#include "arx/db.h"
#include "arx/ge.h"

#include <vector>

struct CurveRecord {
    unsigned kind = 0;   // 1 line, 2 circle, 4 arc, 8 construction line, 16 ray, 512 ellipse
    AcGePoint3d a;       // line start; centre; base point
    AcGePoint3d b;       // line end
    AcGeVector3d vector; // ellipse major axis; unit direction of construction lines and rays
    double radius = 0;
    double startAngle = 0, endAngle = 0;
    double la = 0, lb = 0, lc = 0; // a·x + b·y + c = 0 in the UCS
    bool lineComputed = false;
    bool closed = false;
    AcGeVector3d normal;
    double radiusRatio = 0;
};

struct PickRecord {
    unsigned accepted = 0; // accepted-kind mask
    short savedOsmode = 0; // OSMODE as it was when the pick froze it
    bool osmodeSaved = false;
    std::vector<AcDbObjectId> containers; // block references or dimensions holding the pick
    bool nested = false;
    bool highlighted = false;
    AcDbObjectId picked;
    AcDbObjectId held; // highlighted now; null when none
    bool wholeEntity = false;
    CurveRecord curve;
};

// Picks at the point (UCS) without prompting; an auxiliary line of that linetype and colour
// over another entity gives way to it. 0 when nothing is there; else 1, and the record holds
// the entity when its kind is accepted.
int SelectAndHilight(PickRecord& pick, const AcGePoint3d& point, const ACHAR* auxLinetype,
                     int auxColour);
void HighlightPick(PickRecord& pick, bool on);
bool CurveRecordFrom(CurveRecord& record, const AcDbEntity* e, double scale);
// The line a·x + b·y + c = 0 of a line, construction line or ray, in the UCS.
void LineCoefficients(CurveRecord& record, bool recompute, double& a, double& b, double& c);
void FreezeOsmode(bool on);

// SORTENTS with object selection and snap in draw order for the life of the object.
class CSortEnts {
public:
    CSortEnts();
    ~CSortEnts();
    CSortEnts(const CSortEnts&) = delete;
    CSortEnts& operator=(const CSortEnts&) = delete;

private:
    int mOld = -1;
};

// "ZelGlobalSs2002", "ZelGlobalPt2002", "ZelGlobalSw2002".
bool GlobalSelection(ads_name ss);
bool GlobalPoint(ads_point p);
bool GlobalSwitch(int bits);
void PruneGlobalSelection();
