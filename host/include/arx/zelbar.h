// The host's side of the dialog bar. What the user does on the dialog bar and in its text panel
// (in a script: !bar text 3 "5", !bar tile 4, !panel type "C5", !panel enter, !panel pick 4 0)
// reaches the handler that the dialog-bar companion installs, at once, while whatever waits for
// input on the command line keeps waiting. Without a handler the host only notes the event.
#pragma once

#include "ads.h"

enum ZelBarEventKind {
    kZelBarText = 0,    // field `id` edited to `text`
    kZelBarTile = 1,    // tile `id` pressed
    kZelPanelType = 2,  // `text` typed into the text panel
    kZelPanelEnter = 3, // Enter in the text panel
    // The panel's lists (`id` the list, `index` its line, counted from 0):
    kZelPanelPick = 4,   // line chosen
    kZelPanelInsert = 5, // line chosen to go in at the caret of the panel's text
    kZelPanelDelete = 6, // line to be deleted from the history
    kZelPanelAdd = 7,    // the panel's text to be added to the history
    kZelPanelEsc = 8,    // Esc in the text panel
};

struct ZelBarEvent {
    ZelBarEventKind kind;
    int id;
    const ACHAR* text; // never null
    int index;         // the line of a list (kZelPanelPick, kZelPanelInsert, kZelPanelDelete)
};

// Returns whether the bar took the event (else the host notes it in the transcript).
typedef bool (*ZelBarEventHandler)(const ZelBarEvent* event);

// Installs the handler (null removes it) and gives back the one it replaces. A handler goes
// when the module that installed it is unloaded.
ZelBarEventHandler zelSetBarEventHandler(ZelBarEventHandler handler);
