// What host commands ask the user, on top of the editor's input functions: a cancelled
// answer (Esc, a posted Ctrl-C, input that ran out) ends the command by throwing Cancelled,
// which the engine catches. Points come back in world coordinates; prompts are given without
// the leading line break (each prompt starts a line of its own).
#pragma once

#include "arx/ed.h"
#include "editor/editor.h"
#include "editor/input.h"

#include <optional>
#include <string>
#include <string_view>

namespace zel::commands {

// The user cancelled the command.
struct Cancelled {};

// One answer: status RTNORM (value), RTNONE (Enter) or RTKWORD (keyword: its global form).
struct Answer {
    int status = RTNONE;
    AcGePoint3d point; // world
    double real = 0;
    int integer = 0;
    std::wstring text;
    bool ok() const { return status == RTNORM; }
    bool none() const { return status == RTNONE; }
    // A keyword answer (RTKWORD from a value prompt, RTNORM from a keyword prompt).
    bool keyword(std::wstring_view global) const {
        return (status == RTKWORD || status == RTNORM) && text == global;
    }
};

// A distance or an angle (radians) as the current unit settings show them in prompts.
std::wstring distanceText(double value);
std::wstring angleText(double radians);
// A name as messages show it: in double quotes.
inline std::wstring inQuotes(std::wstring_view name) {
    return L"\"" + std::wstring(name) + L"\"";
}

class Ask {
public:
    explicit Ask(editor::Editor& ed) : mEd(ed) {}

    // base in world coordinates (rubber band from it; distances and angles measured from it).
    Answer point(std::wstring_view prompt, std::optional<AcGePoint3d> base = {}, int bits = 0,
                 std::wstring_view keywords = {});
    Answer distance(std::wstring_view prompt, std::optional<AcGePoint3d> base = {}, int bits = 0,
                    std::wstring_view keywords = {});
    // Radians counted from ANGBASE (as acedGetAngle).
    Answer angle(std::wstring_view prompt, std::optional<AcGePoint3d> base = {}, int bits = 0,
                 std::wstring_view keywords = {});
    Answer keyword(std::wstring_view prompt, std::wstring_view keywords, int bits = 0);
    Answer integer(std::wstring_view prompt, int bits = 0, std::wstring_view keywords = {});
    Answer real(std::wstring_view prompt, int bits = 0, std::wstring_view keywords = {});
    Answer string(std::wstring_view prompt, bool spaces = false);

    // The next answer ends a drag (the second point of MOVE, the angle of ROTATE ...): the
    // input-context reactors are told with beginDragSequence and endDragSequence instead of
    // the begin and end of the input call.
    Ask& dragging() {
        mDrag = true;
        return *this;
    }

    editor::Editor& editor() { return mEd; }

private:
    Answer ask(editor::InputKind kind, std::wstring_view prompt, std::optional<AcGePoint3d> base,
               int bits, std::wstring_view keywords, bool spaces = false);
    editor::Editor& mEd;
    bool mDrag = false;
};

} // namespace zel::commands
