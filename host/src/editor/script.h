// Scripts (.zsc): the user's input written down, one event after another. The same syntax is
// typed at the shell's command line.
//
//   ; comment, also '#' (neither counts inside quotes)
//   LINE 0,0 100,0 ""      plain tokens, separated by blanks, are typed one by one, each
//                          followed by Enter; "" or an empty line is a bare Enter
//   "a b"                  quotes keep blanks in a token (\" and \\ inside quotes)
//   (setq a (+ 1 2))       a LISP expression runs to its balancing ')' (across blanks and
//                          lines) and is one token
//   LINE 0,0 100,0 ␣       a line that ends in a blank (and has no comment) adds a bare Enter,
//                          as in the scripts of other CAD programs
//   !bar text N "v"   !bar tile N   !pick x,y[,z]   !move x,y[,z]   !esc   !enter   !rclick
//   !key K   !msgbox yes|no|ok|cancel
//   !panel type "…" | enter | add | esc       typing, Enter, "add to the history", Esc in the
//                                            dialog bar's text panel
//   !panel pick L N | insert L N | delete L N line N (from 0) of the panel's list L chosen,
//                                            inserted at the caret, deleted from the history
//   !dialog check ID on|off | text ID "…" | select ID N | press ID
//
// A script is read whole before anything runs: a malformed one gives every error with its
// line number and nothing of it is used.
#pragma once

#include "editor/events.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace zel::editor {

struct ScriptError {
    int line = 0;
    std::wstring message;
    // "line 3: !pick: expected a point x,y[,z], found "a""
    std::wstring text() const;
};

struct Script {
    std::vector<Event> events;
    std::vector<ScriptError> errors;
    bool ok() const { return errors.empty(); }
};

// Line numbers start at firstLine (a shell passes the number of the line typed).
Script parseScript(std::wstring_view text, int firstLine = 1);
// Reads a file (UTF-8, or CP932 when it is not valid UTF-8); a file that cannot be read is
// one error at line 0.
Script loadScript(const std::filesystem::path& path);

// Appends the events of a script to a queue in order.
void enqueue(EventQueue& queue, const Script& script);

} // namespace zel::editor
