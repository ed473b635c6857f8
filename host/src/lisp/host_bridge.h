// What the LISP asks of its host: system variables, commands, selection sets, entities, user
// input, files. The host (the editor and the document) fills this table when it wires the
// interpreter in; a function left empty makes its LISP functions fail with a plain
// "not available" error.
//
// Everything crosses as result codes and resbuf lists: the LISP converts its values, and the
// host answers as its C-style API does. A resbuf list given to a callback belongs to the
// caller; a list returned (RbPtr) belongs to the LISP. A callback that throws ends the LISP
// evaluation with an error (the exception does not leave the interpreter).
#pragma once

#include "arx/ads.h"
#include "core/resbuf.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace zel::lisp {

// (ssget [mode] [pt1 [pt2]] [point-list] [filter-list]) taken apart.
struct SsGetRequest {
    std::optional<std::wstring> mode; // "W" "C" "X" "F" "WP" "CP" "L" "P" "I" "_:S" ...
    int pointCount = 0;               // 0, 1 or 2 points given
    ads_point pt1 = {0, 0, 0};
    ads_point pt2 = {0, 0, 0};
    core::RbPtr pointList; // RT3DPOINT nodes for "F", "WP", "CP"
    core::RbPtr filter;    // the filter as a DXF group list
};

// The input functions of the getXXX family.
enum class InputKind { Point, Corner, String, Int, Real, Dist, Angle, Orient, Kword };

struct InputRequest {
    InputKind kind = InputKind::String;
    std::wstring prompt;
    bool hasBase = false; // getpoint, getcorner, getdist, getangle, getorient
    ads_point base = {0, 0, 0};
    bool allowSpaces = false; // getstring with its first argument true
};

// RTNORM with the value, RTKWORD with the keyword in text, RTNONE for a bare Enter, RTCAN
// when cancelled, RTERROR on failure.
struct InputReply {
    ads_point point = {0, 0, 0};
    double real = 0;
    int32_t integer = 0;
    std::wstring text;
};

struct HostBridge {
    // System variables: the value as one node (null: no such variable); RTNORM or RTERROR.
    std::function<core::RbPtr(std::wstring_view name)> getVar;
    std::function<int(std::wstring_view name, const resbuf* value)> setVar;

    // (command ...) with its arguments as tokens (RTSTR, RTSHORT, RTREAL, RTPOINT, RT3DPOINT,
    // RTENAME, RTPICKS, RTNONE for nil). RTNORM, RTCAN (the LISP then fails as cancelled) or
    // RTERROR.
    std::function<int(const resbuf* tokens)> command;

    // Selection sets.
    std::function<int(const SsGetRequest& request, ads_name out)> ssget;
    std::function<int(const ads_name ss, int32_t* length)> sslength;
    std::function<int(const ads_name ss, int32_t index, ads_name ent)> ssname;
    // ent or ss may be null: (ssadd) makes an empty set, (ssadd ent) a set of one.
    std::function<int(const ads_name ent, const ads_name ss, ads_name out)> ssadd;
    std::function<int(const ads_name ent, const ads_name ss)> ssdel;
    std::function<int(const ads_name ent, const ads_name ss)> ssmemb; // RTNORM when a member
    // The pick-first set the next command finds (null: none).
    std::function<int(const ads_name pickset)> sssetfirst;
    // Called when LISP drops the last reference to a selection set it holds (also while the
    // interpreter is destroyed).
    std::function<void(const ads_name ss)> ssRelease;

    // Entities. entget's apps is the list of application names (RTSTR) or null.
    std::function<core::RbPtr(const ads_name ent, const resbuf* apps)> entget;
    std::function<int(const resbuf* data)> entmod;
    std::function<int(const resbuf* data, ads_name made)> entmake;
    std::function<int(const ads_name ent)> entdel;
    std::function<int(const ads_name ent)> entupd;
    std::function<int(ads_name out)> entlast;
    // from null: the first entity of the drawing.
    std::function<int(const ads_name from, ads_name out)> entnext;
    std::function<int(std::wstring_view handle, ads_name out)> handent;

    // User input: initget (bits and keywords for the next input), the getXXX family, entsel.
    std::function<int(int bits, std::wstring_view keywords)> initget;
    std::function<int(const InputRequest& request, InputReply& reply)> getInput;
    std::function<int(std::wstring_view prompt, ads_name ent, ads_point picked)> entsel;

    // Files and messages.
    std::function<std::optional<std::wstring>(std::wstring_view name)> findfile;
    std::function<void(std::wstring_view text)> alert;

    // Polled during long evaluations: true ends the evaluation as cancelled (Esc).
    std::function<bool()> cancelRequested;
};

} // namespace zel::lisp
