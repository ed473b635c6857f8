// ZEL_MOVE, ZEL_COPY, ZEL_ROTATEM and ZEL_ROTATEC: move, copy, rotate, or rotate a copy of,
// selections of objects through the host's own commands, with the dialog bar's page CMDCOPY.
#pragma once

namespace draftedit {

void moveCommand();
void copyCommand();
void rotateMovingCommand();
void rotateCopyingCommand();

} // namespace draftedit
