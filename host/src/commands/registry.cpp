#include "commands/engine.h"
#include "commands/hostcmds.h"

namespace zel::commands {

void addHostCommand(Engine& e, const wchar_t* name, void (*fn)(Engine&), int flags) {
    editor::CommandDef def;
    def.group = L"ACAD";
    def.global = name;
    def.builtin = true;
    def.flags = flags;
    def.run = [&e, fn] { fn(e); };
    e.editor().commands().add(std::move(def));
}

void registerHostCommands(Engine& e) {
    registerUndoCommands(e);
    registerDrawCommands(e);
    registerPlineCommand(e);
    registerCircleCommands(e);
    registerSettingCommands(e);
    registerViewCommands(e);
    registerFileCommands(e);
    registerModifyCommands(e);
    registerArrayCommand(e);
    registerBlockCommands(e);
    registerTextCommands(e);
    registerCurveCommands(e);
    registerGroupCommand(e);
    registerLinetypeCommand(e);
    registerBreakCommand(e);
    registerTrimCommands(e);
    registerLengthenCommand(e);
    registerStretchCommand(e);
    registerExplodeCommand(e);
    registerPeditCommand(e);
    registerFilletCommand(e);
    registerChamferCommand(e);
    registerOffsetCommand(e);
    registerBoundaryCommand(e);
    registerAreaCommand(e);
}

} // namespace zel::commands
