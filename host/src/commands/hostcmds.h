// The host commands: each file registers its own with the engine's registry.
#pragma once

#include <string_view>

namespace zel::commands {

class Engine;

void registerHostCommands(Engine& engine);
// Registers one host command (group "ACAD", reached with ".") running fn.
void addHostCommand(Engine& engine, const wchar_t* name, void (*fn)(Engine&), int flags = 0);

void registerUndoCommands(Engine& engine);    // UNDO, U
void registerDrawCommands(Engine& engine);    // LINE, XLINE, RAY, POINT, RECTANG
void registerPlineCommand(Engine& engine);    // PLINE
void registerCircleCommands(Engine& engine);  // CIRCLE, ARC
void registerSettingCommands(Engine& engine); // COLOR, SETVAR, -LAYER
void registerViewCommands(Engine& engine);    // ZOOM, REGEN, REDRAW, GRAPHSCR, UCS
void registerFileCommands(Engine& engine);    // NEW, OPEN, SAVE, SAVEAS, CLOSE
void registerModifyCommands(Engine& engine);  // ERASE, SELECT, MOVE, COPY, ROTATE, SCALE, MIRROR
void registerChpropCommand(Engine& engine);   // CHPROP
void registerArrayCommand(Engine& engine);    // ARRAY
void registerBlockCommands(Engine& engine);   // BLOCK, INSERT, PURGE
void registerTextCommands(Engine& engine);    // TEXT, MTEXT, -STYLE
void registerCurveCommands(Engine& engine);   // ELLIPSE, SPLINE
void registerGroupCommand(Engine& engine);    // GROUP
void registerLinetypeCommand(Engine& engine); // -LINETYPE
void registerBreakCommand(Engine& engine);    // BREAK
void registerTrimCommands(Engine& engine);    // TRIM, EXTEND
void registerLengthenCommand(Engine& engine); // LENGTHEN
void registerStretchCommand(Engine& engine);  // STRETCH
void registerExplodeCommand(Engine& engine);  // EXPLODE
void registerPeditCommand(Engine& engine);    // PEDIT
void registerFilletCommand(Engine& engine);   // FILLET
void registerChamferCommand(Engine& engine);  // CHAMFER
void registerOffsetCommand(Engine& engine);   // OFFSET
void registerBoundaryCommand(Engine& engine); // -BOUNDARY, BOUNDARY
void registerAreaCommand(Engine& engine);     // AREA

// A system variable's name typed as a command: shows the value and asks for a new one
// (read-only variables only show it).
void sysvarCommand(Engine& engine, std::wstring_view name);

} // namespace zel::commands
