// The circular segment between a chord and its arc: area and moments in the chord's own
// frame, computed so that shallow arcs (bulges near zero) keep full precision.
#pragma once

namespace draftedit::engines {

// Frame: s along the chord measured from its midpoint, v across it measured from the chord
// towards the arc. The segment is symmetric in s, so its first moment in s and its product
// moment vanish.
struct ChordSegment {
    double area = 0;          // ∫ dA
    double momentAcross = 0;  // ∫ v dA
    double inertiaAlong = 0;  // ∫ s² dA
    double inertiaAcross = 0; // ∫ v² dA
};

// The segment of a chord of length chord whose arc has the included angle theta, 0 < theta
// < 2π (theta is the absolute value of four times the bulge's arc tangent).
ChordSegment circularSegment(double chord, double theta);

} // namespace draftedit::engines
