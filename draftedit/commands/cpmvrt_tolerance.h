// Tolerances of the move, copy and rotate commands.
#pragma once

namespace draftedit::cpmvrt {

// The smallest angle (degrees) an angle field takes: a typed or measured angle at or below it
// (other than exactly 0) is read as no usable angle, since the host's rotation would be no
// visible turn and the field would show a number that means nothing to the user.
inline constexpr double kSmallestFieldAngle = 1e-8;

} // namespace draftedit::cpmvrt
