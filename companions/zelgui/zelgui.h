// What a command module and the dialog bar exchange besides the LISP functions: the two
// callbacks a command hands over (as RTLONG_PTR arguments of Zelads_FpText and Zelads_FpTile).
#pragma once

#include "arx/ads.h"

// A text field of the bar was edited: its key and the new text.
typedef void (*ZelBarTextCallback)(int key, const ACHAR* text);
// A tile of the bar was pressed.
typedef void (*ZelBarTileCallback)(int key);
