// The editor's side of the C-style API: user input (points, distances, angles, keywords,
// numbers, texts), prompts, system variables, environment values, alerts and the status bar.
//
// Result codes: RTNORM when answered; RTNONE when the user pressed Enter (unless acedInitGet
// bit 1 refuses it); RTKWORD when a keyword (or, with bit 128, any other text) was typed —
// acedGetInput then gives it; RTCAN when the user cancelled; RTERROR for bad arguments or when
// no editor is running. Points are in the current UCS.
#pragma once

#include "ads.h"

#include <cstddef>

// Bits of acedInitGet.
enum {
    RSG_NONULL = 0x01, // Enter is refused
    RSG_NOZERO = 0x02, // zero is refused
    RSG_NONEG = 0x04,  // negative values are refused
    RSG_NOLIM = 0x08,  // no limits check
    RSG_DASH = 0x20,   // dashed rubber band
    RSG_2D = 0x40,     // distances in the XY plane
    RSG_OTHER = 0x80,  // arbitrary input is returned as RTKWORD
};

// Sets up the next input call: its bits and keywords ("Undo eXit" or "Undo Exit _ Undo Exit").
// RTERROR for a malformed keyword list (the call then has no keywords).
int acedInitGet(int val, const ACHAR* kwl);

// pt is a base point (rubber band from it) or null.
int acedGetPoint(const ads_point pt, const ACHAR* prompt, ads_point result);
// The other corner of a rectangle from pt (which must be given).
int acedGetCorner(const ads_point pt, const ACHAR* prompt, ads_point result);
// A distance typed in the current units, or measured from pt (or between two points).
int acedGetDist(const ads_point pt, const ACHAR* prompt, ads_real* result);
// An angle in radians counted from ANGBASE, counter-clockwise.
int acedGetAngle(const ads_point pt, const ACHAR* prompt, ads_real* result);
// An angle in radians from the x axis, counter-clockwise (ANGBASE and ANGDIR apply to typing).
int acedGetOrient(const ads_point pt, const ACHAR* prompt, ads_real* result);
int acedGetInt(const ACHAR* prompt, int* result);
int acedGetReal(const ACHAR* prompt, ads_real* result);
// cronly non-zero: blanks belong to the text (only Enter ends it). A text that does not fit
// the buffer is cut and RTINPUTTRUNCATED returned.
int acedGetString(int cronly, const ACHAR* prompt, ACHAR* result, size_t bufsize);
// RTNORM with the keyword (its global form), RTNONE on Enter.
int acedGetKword(const ACHAR* prompt, ACHAR* result, size_t bufsize);
// The keyword or arbitrary text of the last input call that returned RTKWORD.
int acedGetInput(ACHAR* str, size_t bufsize);
template <size_t N> int acedGetString(int cronly, const ACHAR* prompt, ACHAR (&result)[N]) {
    return acedGetString(cronly, prompt, result, N);
}
template <size_t N> int acedGetKword(const ACHAR* prompt, ACHAR (&result)[N]) {
    return acedGetKword(prompt, result, N);
}
template <size_t N> int acedGetInput(ACHAR (&str)[N]) {
    return acedGetInput(str, N);
}

// Shows a text on the command line (it becomes LASTPROMPT).
int acedPrompt(const ACHAR* str);
// 1 when the user asked to break a long operation (Esc or a posted Ctrl-C), else 0.
int acedUsrBrk();
// A modal alert (the transcript shows it marked as an alert).
int acedAlert(const ACHAR* str);

// The status bar: a label with a progress meter from nMinPos to nMaxPos (both 0: the label
// alone), its position, and back to its usual content.
int acedSetStatusBarProgressMeter(const ACHAR* pszLabel, int nMinPos, int nMaxPos);
int acedSetStatusBarProgressMeterPos(int nPos);
void acedRestoreStatusBar();

// System variables. acedGetVar fills the node's type and value (a string is allocated; the
// caller frees it). acedSetVar refuses unknown and read-only variables, values of the wrong
// type and values out of range with RTERROR.
int acedGetVar(const ACHAR* sym, struct resbuf* result);
int acedSetVar(const ACHAR* sym, const struct resbuf* val);

// Environment values of the session. acedGetEnv: RTERROR when the name is unknown or the
// buffer too small.
int acedGetEnv(const ACHAR* sym, ACHAR* var, size_t len);
int acedSetEnv(const ACHAR* sym, const ACHAR* val);
template <size_t N> int acedGetEnv(const ACHAR* sym, ACHAR (&var)[N]) {
    return acedGetEnv(sym, var, N);
}
