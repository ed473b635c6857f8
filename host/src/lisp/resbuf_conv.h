// LISP values to resbuf lists and back, as acedInvoke, acedGetArgs, acedRetList,
// acedGetSym/acedPutSym and the entity functions need them.
//
// To resbufs: nil RTNIL, T RTT, integers RTSHORT (16-bit range) or RTLONG, reals RTREAL,
// strings RTSTR, other symbols RTSTR (their name), the value of (princ) RTVOID, entity names
// RTENAME, selection sets RTPICKS, lists RTLB ... RTLE with RTDOTE before a dotted tail. With
// PointForm::Compact a list of two or three reals becomes one RTPOINT or RT3DPOINT node, as
// arguments and results of external functions are passed.
//
// From resbufs: the reverse; RTPOINT and RT3DPOINT become lists of reals, RTINT64 an integer
// when it fits (a real otherwise), and DXF group nodes become (code . value) pairs, points
// (code x y z), extended data (-3 ("APP" (1000 . "x") ...)): an entity data list.
#pragma once

#include "core/resbuf.h"
#include "lisp/value.h"

#include <span>

namespace zel::lisp {

class Interpreter;

enum class PointForm { Compact, Lists };

// Throws LispError (bad argument type) for a value that has no resbuf form (a function, a
// file).
core::RbPtr valueToResbuf(const Value& v, PointForm form);
core::RbPtr valuesToResbuf(std::span<const Value> values, PointForm form);

// One value from rb, advancing rb past it (past the RTLE of a list).
Value resbufToValue(Interpreter& in, const resbuf*& rb);
// Every value of the chain as one LISP list.
Value resbufListToValue(Interpreter& in, const resbuf* list);

// An entity data list ((0 . "LINE") (10 1.0 2.0 0.0) ... (-3 ("APP" (1000 . "x")))) as DXF
// group nodes for entmod / entmake. Throws LispError for an element that is not a group of
// the right type.
core::RbPtr entityListToResbuf(const Value& list);

} // namespace zel::lisp
