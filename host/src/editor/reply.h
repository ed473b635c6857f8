// One answer of the user at a prompt, assembled from the events of the queue: a line of typed
// text (script tokens, posted characters, keys), a point (a click, object snaps applied, or the
// point value of a LISP expression), or a cancel.
#pragma once

#include "editor/editor.h"

#include <string>

namespace zel::editor {

struct Reply {
    enum Kind {
        Text,    // a typed line (possibly empty: Enter)
        Point,   // a point in UCS coordinates
        Cancel,  // Esc or a posted Ctrl-C
        End,     // the input ran out
        Retry,   // a LISP expression that failed (it said why); ask again
        Stopped, // the drag's sampler ended the drag
    } kind = Text;
    std::wstring text;  // the text of the answer (a LISP expression's value as text)
    std::wstring typed; // what the user typed, as it is echoed
    AcGePoint3d point;
    bool clicked = false;
};

// Reads the next answer; with spaces a blank in posted typing belongs to the text instead of
// ending it.
Reply readReply(Editor& editor, bool spaces);

} // namespace zel::editor
