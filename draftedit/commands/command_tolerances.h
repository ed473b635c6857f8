// Named tolerances of the module's modify commands that take lengths from the user. Each has
// the reason for its value; no other numeric tolerance literal belongs in these commands.
#pragma once

namespace draftedit::cmdtol {

// A length typed into the dialog bar or measured between two points counts only when it is
// above this: drawing coordinates carry about eight meaningful decimals, so anything smaller
// is no length at all (and a scale reference of it would divide by noise).
inline constexpr double kLengthZero = 1e-8;

} // namespace draftedit::cmdtol
