// ZEL_SCALE: selected objects scaled about a base point by a factor, or by a reference length
// and a new length, entered beforehand on the dialog bar (typed, or measured between two
// points); the host's SCALE does the work, one undo group per scaling, until the selection is
// cancelled.
#pragma once

namespace draftedit {

// The entry procedure.
void scaleCommand();

} // namespace draftedit
