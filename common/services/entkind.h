// Entity kinds as the commands' selection masks name them, and the test of a kind against a
// mask.
#pragma once

#include "arx/db.h"
#include "arx/dbents.h"

enum EntityKindBit : unsigned {
    kKindLine = 1,
    kKindCircle = 2,
    kKindArc = 4,
    kKindXline = 8,
    kKindRay = 16,
    kKindNested = 32,
    kKindText = 64,
    kKindPolyline = 128,
    kKindSpline = 256,
    kKindEllipse = 512,
    kKindLeader = 1024,
    kKindMText = 2048,
    kKindDimension = 0x1000,
    kKindDimension2 = 0x2000,
    kKindEllipticalArc = 0x4000,
};

// The kind bit of an entity (0 for kinds the masks do not name; dimensions count only
// through the dimension bits of a mask).
unsigned EntityKind(const AcDbEntity* e);
// Whether the entity passes the mask. An ellipse outside the mask passes as an elliptical
// arc when the mask has 0x4000 and the ellipse is not closed. strict: a mask without 32 and
// the dimension bits rejects everything; a mask with 32 accepts every named kind.
bool KindAccepted(const AcDbEntity* e, unsigned mask, bool strict = false);
