// The host's side of the dialog bar. What the user does on the dialog bar and in its text panel
// (in a script: !bar text 3 "5", !bar tile 4, !panel type "C5", !panel enter) reaches the
// handler that the dialog-bar companion installs, at once, while whatever waits for input on
// the command line keeps waiting. Without a handler the host only notes the event.
#pragma once

#include "ads.h"

enum ZelBarEventKind {
    kZelBarText = 0,    // field `id` edited to `text`
    kZelBarTile = 1,    // tile `id` pressed
    kZelPanelType = 2,  // `text` typed into the text panel
    kZelPanelEnter = 3, // Enter in the text panel
};

struct ZelBarEvent {
    ZelBarEventKind kind;
    int id;
    const ACHAR* text; // never null
};

// Returns whether the bar took the event (else the host notes it in the transcript).
typedef bool (*ZelBarEventHandler)(const ZelBarEvent* event);

// Installs the handler (null removes it) and gives back the one it replaces. A handler goes
// when the module that installed it is unloaded.
ZelBarEventHandler zelSetBarEventHandler(ZelBarEventHandler handler);
