// The entry of a command whose command object is not part of this build yet: it says so on the
// command line and changes nothing.
#pragma once

#include "arx/ads.h"

namespace zelframe {

void sayNotBuilt(const ACHAR* commandName);

// An entry procedure for the command of that name.
template <const ACHAR* const* Name> void notBuiltEntry() {
    sayNotBuilt(*Name);
}

} // namespace zelframe
