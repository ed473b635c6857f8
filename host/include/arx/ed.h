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

// What acedGrRead gives (in *type; result holds the value).
enum {
    kGrReadKey = 2,        // a key, or a character posted to the command line: RTSHORT code
                           // (a line end, Enter and the Enter of a script line give 13)
    kGrReadPick = 3,       // a left click: RT3DPOINT (UCS, no object snap)
    kGrReadTrack = 5,      // the cursor moved (only with bit 1 of track): RT3DPOINT (UCS)
    kGrReadRightClick = 25 // a right click: RTSHORT 0
};
// The next input event without a prompt: typed text comes one character at a time. track bit 1
// reports cursor moves. Esc, a posted Ctrl-C or the end of the input give RTCAN. Events of the
// dialog bar and its panels are handled on the way (their callbacks and posts run) and are not
// reported.
int acedGrRead(int track, int* type, struct resbuf* result);

// The status bar: a label with a progress meter from nMinPos to nMaxPos (both 0: the label
// alone), its position, and back to its usual content.
int acedSetStatusBarProgressMeter(const ACHAR* pszLabel, int nMinPos, int nMaxPos);
int acedSetStatusBarProgressMeterPos(int nPos);
void acedRestoreStatusBar();

// System variables. acedGetVar fills the node's type and value (a string is allocated; the
// caller frees it). acedSetVar refuses unknown and read-only variables, values of the wrong
// type and values out of range with RTERROR.
int acedGetVar(const ACHAR* sym, struct resbuf* result);

// Temporary vectors on the screen, outside the drawing, gone at the next redraw. acedGrVecs
// takes a list of colours (RTSHORT, for the vectors after it) and pairs of points (the ends of
// one vector), transformed by mat when given. A negative colour (or highlight) draws in
// inverting ink: the same vector drawn so twice is gone again.
// Drags from the selection set ss (shown moved by the sampler's matrix; here nothing is drawn):
// scnf is asked about every cursor position (UCS) and ends the drag by answering RTERROR
// (acedDragGen then answers RTERROR). A point given ends it with RTNORM and the point in
// result; Enter gives RTNONE, Esc RTCAN, a keyword of acedInitGet RTKWORD.
int acedDragGen(const ads_name ss, const ACHAR* prompt, int cursor,
                int (*scnf)(ads_point pt, ads_matrix mt), ads_point result);
// The point snapped with the object-snap modes ("END,MID,..."); RTERROR when nothing is found.
int acedOsnap(const ads_point pt, const ACHAR* mode, ads_point result);
// A point (or with disp a displacement) from one coordinate system to another: RTSHORT 0
// world, 1 UCS, 2 display, 3 paper-space display; RTENAME an entity's own system; RT3DPOINT the
// system of the plane with that normal.
int acedTrans(const ads_point pt, const struct resbuf* from, const struct resbuf* to, int disp,
              ads_point result);

int acedGrDraw(const ads_point from, const ads_point to, int colour, int highlight);
int acedGrVecs(const struct resbuf* vlist, ads_matrix mat);
int acedSetVar(const ACHAR* sym, const struct resbuf* val);

// Environment values of the session. acedGetEnv: RTERROR when the name is unknown or the
// buffer too small.
// A file by name: as given, then in the drawing's folder and the support folders (the ACAD
// environment value, the ZELCAD_SUPPORT variable). RTERROR when not found or too long for len.
int acedFindFile(const ACHAR* fname, ACHAR* result, size_t len);
template <size_t N> int acedFindFile(const ACHAR* fname, ACHAR (&result)[N]) {
    return acedFindFile(fname, result, N);
}
int acedGetEnv(const ACHAR* sym, ACHAR* var, size_t len);
int acedSetEnv(const ACHAR* sym, const ACHAR* val);
template <size_t N> int acedGetEnv(const ACHAR* sym, ACHAR (&var)[N]) {
    return acedGetEnv(sym, var, N);
}

// Host commands from token lists (see the host commands' contract). acedCommandS takes its
// tokens as pairs of a type and a value (RTSTR text, RTSHORT int, RTLONG int32_t, RTREAL
// double, RTPOINT/RT3DPOINT a point), ended by RTNONE or 0; it never waits for the user: a
// command whose tokens run out is left pending for the next call, and a call without tokens
// cancels it. acedCmdS lets the user finish the command; RTCAN when it was cancelled.
int acedCommandS(int rtype, ...);
int acedCommandSList(const struct resbuf* rb);
int acedCmdS(const struct resbuf* rb, bool forFutureUse = false, void* forFutureUse2 = nullptr);

// Selection sets (the caller frees every set it gets with acedSSFree).
//
// acedSSGet modes: null or "" the "オブジェクトを選択:" prompt; "W" and "C" windows from pt1
// to pt2 (ads_point); "F", "WP", "CP" a fence or polygon through the points of pt1 (a resbuf
// list of RTPOINT / RT3DPOINT nodes); "L" the last entity; "P" the previous set; "X" every
// entity of the drawing; "I" the PICKFIRST set; ":S" one selection at the prompt; ":E" a pick
// takes everything in the pick box; ":L" leaves out entities on locked layers; a leading "_"
// is ignored and modifiers combine ("_:S:E"). A null mode with pt1 picks at that point.
// filter: a DXF filter list (null: none). RTNORM with a new set when something was
// selected; RTERROR when nothing was (or for bad arguments), RTCAN when the user cancelled.
int acedSSGet(const ACHAR* str, const void* pt1, const void* pt2, const struct resbuf* filter,
              ads_name ss);
int acedSSFree(const ads_name sname);
int acedSSLength(const ads_name sname, int32_t* len);
// The entity at index i (from 0); RTERROR past the end.
int acedSSName(const ads_name ss, int32_t i, ads_name entres);
// Both null: a new empty set; ss null: a new set of ename; else ename is added to ss (result
// names ss).
int acedSSAdd(const ads_name ename, const ads_name sname, ads_name result);
// RTERROR when ename is not in the set.
int acedSSDel(const ads_name ename, const ads_name ss);
// RTNORM when ename is in the set, else RTERROR.
int acedSSMemb(const ads_name ename, const ads_name ss);
// The PICKFIRST set (entities selected before a command): set from a set (null clears it);
// got as a new set in an RTPICKS node of pset (null when there is none; gset is always null).
int acedSSSetFirst(const ads_name pset, const ads_name unused);
int acedSSGetFirst(struct resbuf** gset, struct resbuf** pset);

// One entity picked by the user: its name and the point picked (UCS). RTERROR when the pick
// found nothing (ERRNO 7), RTNONE on Enter, RTCAN on Esc, RTKWORD for a keyword of
// acedInitGet.
int acedEntSel(const ACHAR* str, ads_name entres, ads_point ptres);
// A pick into block references and dimensions: the innermost entity, the transform from its
// block to the world (translation in the last column) and the references holding it,
// innermost first, as RTENAME nodes (null when not nested; the caller frees the list). With
// pickflag non-zero ptres is the pick point (UCS) and no prompt is shown.
int acedNEntSelP(const ACHAR* str, ads_name entres, ads_point ptres, int pickflag,
                 ads_matrix xformres, struct resbuf** refstkres);
