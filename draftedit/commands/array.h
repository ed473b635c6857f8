// ZEL_ARRAY: rectangular, diagonal and polar arrays of a selection, in six variants chosen on
// the dialog bar, made by the host's classic ARRAY command inside one undo group.
#pragma once

namespace draftedit {

// The entry procedure: one array per run; the slot of the command object is cleared after.
void arrayCommand();
// Module storage back to its state at load: entries -1, items rotated, values not kept.
void resetArrayMemory();

} // namespace draftedit
