// ZEL_DELDUP: duplicate removal over a selection (or the pick-first set) of lines, circles
// and arcs, with its options dialog and result listing.
#pragma once

namespace draftedit {

// The entry procedure: unlocks the locked layers for the command and locks them again after.
void deldupCommand();

} // namespace draftedit
