// ZEL_MIRRORM and ZEL_MIRRORC: objects mirrored about an axis picked as a line, construction
// line or ray, or given by two points; the host's MIRROR does the work, the source objects
// are erased (MIRRORM) or kept (MIRRORC), and MIRRTEXT is offered on the dialog bar.
#pragma once

namespace draftedit {

// The entry procedures: the same command object, erasing or keeping the source objects.
void mirrorMoveCommand();
void mirrorCopyCommand();

} // namespace draftedit
