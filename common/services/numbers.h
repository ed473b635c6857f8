// Numbers and plane geometry of the commands: tolerance levels (10^-level, level 0 to 8),
// angles, local frames, UCS and world coordinates, and number texts.
#pragma once

#include "arx/ads.h"
#include "arx/ge.h"

// |value| < 10^-level; a level below 0 is 0, above 8 is 8.
bool IsZero(double value, int level);
bool IsNonNegative(double value, int level);
bool IsPositive(double value, int level);
bool IsNegative(double value, int level);
bool IsNonPositive(double value, int level);
// 0 for a value within 1e-8 of it.
double SnapZero(double value);
// The angle in [0, 2π) (a remainder within the tolerance of the level is 0).
double NormalizeAngle(double angle, int level);

// A point in the frame at base turned by angle, and back.
AcGePoint3d ToLocal(const AcGePoint3d& base, double angle, const AcGePoint3d& p);
AcGePoint3d FromLocal(const AcGePoint3d& base, double angle, const AcGePoint3d& q);

AcGePoint3d UcsToWcs(const AcGePoint3d& p);
AcGePoint3d WcsToUcs(const AcGePoint3d& p);
AcGeVector3d UcsToWcsVector(const AcGeVector3d& v);

// A plain decimal number: one sign before any digit or point, at most one point, digits
// (an empty text too).
bool IsNumberText(const ACHAR* text);
