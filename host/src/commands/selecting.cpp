#include "commands/selecting.h"

#include "commands/ask.h"

namespace zel::commands {

editor::EntityIds selectForCommand(Engine& e) {
    editor::SelectRequest req;
    req.initial = editor::pickfirstSelection(e.editor());
    req.tokens = e.selectionTokens();
    editor::SelectResult r = editor::selectObjects(e.editor(), req);
    editor::setPickfirstSelection(e.editor(), {});
    if (r.status == RTCAN) throw Cancelled{};
    return r.ids;
}

} // namespace zel::commands
