// Tolerances of ZEL_ARRAY.
#pragma once

namespace draftedit::arraytol {

// A number typed into a field of the dialog bar is a value only when its size is above this (or
// it is exactly 0, an empty field): the calculator's results below it are slips of the keyboard
// that would make counts of 0 or angles that never fill a circle.
inline constexpr double kEntryMinimum = 1e-8;

// The two points that give the spacings of a rectangular array must differ by more than this in
// each direction that holds more than one item, or the copies would fall on the originals.
inline constexpr double kPointDifference = 1e-6;

} // namespace draftedit::arraytol
