// The texts the editor shows on its own: answers to bad input and its own prompts. They are
// kept here, in one table, so that the wording stays consistent and can be changed in one place.
#pragma once

#include <string_view>

namespace zel::editor {

enum class Msg {
    InvalidPoint,    // a point was asked and the text is none
    PointRequired,   // a point was asked and Enter is refused
    PointOrKeyword,  // a point or one of the keywords was asked
    DistanceOrPoint, // a distance or a second point (a base point was given)
    DistanceOrTwoPoints,
    AngleOrPoint, // an angle or a second point (a base point was given)
    AngleOrTwoPoints,
    IntegerRequired,
    IntegerRange, // an integer beyond 16 bits
    RealRequired,
    NonZero,
    Positive, // zero allowed
    PositiveNonZero,
    InvalidKeyword,
    Ambiguous,
    OutsideLimits,
    SecondPoint, // prompt for the second point of a distance or angle
    Cancel,      // echoed when input is cancelled
};

std::wstring_view text(Msg m);

} // namespace zel::editor
