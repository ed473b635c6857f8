// The input functions of the editor (acedGetPoint and its family are thin calls of these).
//
// A request shows its prompt, then reads the user's answer from the queue: typed text (with
// posted typing and keys assembled into lines), clicks, Esc. A bad answer gets a message and
// the prompt again, as on the original platform; Esc or a posted Ctrl-C gives RTCAN, Enter
// gives RTNONE unless acedInitGet bit 1 refuses it. Each prompt is echoed with the answer that
// took it; accepted points become LASTPOINT. A typed LISP expression is evaluated first and
// its value taken as the answer.
#pragma once

#include "editor/editor.h"

#include <optional>
#include <string>

namespace zel::editor {

struct InputRequest {
    InputKind kind = InputKind::Point;
    std::wstring prompt;
    std::optional<AcGePoint3d> base; // UCS; rubber band / distance and angle from it
    InitGet init;
    bool spaces = false; // strings: blanks belong to the text (cronly)
    bool drag = false;   // points: the point ends a drag (input-context reactors are told so)
};

struct InputResult {
    int status = RTNONE; // RTNORM, RTNONE, RTKWORD, RTCAN
    AcGePoint3d point;   // points (UCS)
    double real = 0;     // distances, angles (radians), reals
    int integer = 0;
    std::wstring text; // strings, the keyword (global form), arbitrary input
};

InputResult requestInput(Editor& editor, const InputRequest& request);

// OSMODE bits of a typed object-snap override ("NON" 0, "END" 1, "_MID" 2 ...), or nullopt.
std::optional<int> osnapOverrideOf(std::wstring_view text);

// A point as the transcript shows it: coordinates in the current linear units.
std::wstring pointText(const AcGePoint3d& p, const core::UnitSettings& units);

} // namespace zel::editor
