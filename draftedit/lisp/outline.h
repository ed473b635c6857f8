// The outline measurements of the section-property command on selection sets: the element
// set made from the picked outlines, extents at an angle, the smallest enclosing circle and
// the gap search. Geometry is read with acdbEntGet and taken into the UCS with acedTrans.
#pragma once

#include "arx/adslib.h"

namespace draftedit {

// A new selection set of lines, arcs and circles: those among the outlines as they are,
// the pieces of every other outline exploded with "_.EXPLODE". RTNORM, or RTERROR when no set
// could be made.
int makeElementSet(const ads_name outlines, ads_name result);

// (middle as a 3-D point, width, height) of the set's lines, arcs and circles in the UCS
// turned by angle (radians), points and radii divided by factor; null when nothing was
// measured. The caller frees the list.
resbuf* outlineExtents(const ads_name set, double angle, double factor);

// (centre as a 3-D point, radius) of the smallest circle enclosing the set's lines, arcs and
// circles; null after a message on the command line when there is no such circle.
resbuf* outlineEnclosingCircle(const ads_name set, double factor);

// The end points of lines and arcs of the set that lie between lower and upper (both
// included) from a later end point, as 3-D points (null for none); count gets how many.
resbuf* outlineGaps(const ads_name set, double lower, double upper, int& count);

} // namespace draftedit
