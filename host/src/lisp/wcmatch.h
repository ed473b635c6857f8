// Wild-card matching of wcmatch: the host's one matcher, in core (selection filters use it
// too).
#pragma once

#include "core/wildcard.h"

namespace zel::lisp {

using core::wildcardMatch;

} // namespace zel::lisp
