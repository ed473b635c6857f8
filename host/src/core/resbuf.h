// Result-buffer lists for host code: which member of the value union a result type uses,
// owning pointers, deep copies, comparison, a builder, and printing as LISP prints a list.
//
// Memory: nodes, strings and binary chunks are allocated with malloc and released with free
// by acutRelRb, so a string from wcsdup may be put into a node and freed with the list.
#pragma once

#include "arx/ads.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace zel::core {

// The member of resbuf::resval a result type (RT code or DXF group code) uses.
enum class RbKind {
    Invalid, // not a result type
    None,    // no value: RTNONE RTVOID RTLB RTLE RTDOTE RTNIL RTT, group -3
    Real,    // rreal: RTREAL RTANG RTORINT, real groups
    Point,   // rpoint: RTPOINT RT3DPOINT, point groups (10..18, 110..112, 210, 1010..1013)
    Short,   // rint: RTSHORT, 16-bit and boolean groups
    Long,    // rlong: RTLONG, 32-bit groups
    Int64,   // mnInt64 (mnLongPtr): RTINT64 RTLONG_PTR, groups 160..169
    String,  // rstring: RTSTR, text and handle groups (0..9, 100..102, 5, 105, 320..329, ...), -4
    Name,    // rlname: RTENAME RTPICKS, groups -1 -2, 330..369, 390..399, 480 481
    Binary,  // rbinary: groups 310..319, 1004
};

RbKind rbKind(int restype);

struct RbDeleter {
    void operator()(resbuf* rb) const noexcept { acutRelRb(rb); }
};
using RbPtr = std::unique_ptr<resbuf, RbDeleter>;

// A malloc'd copy of text for resbuf::resval.rstring (nullptr when memory runs out).
ACHAR* rbDupString(std::wstring_view text);
// Replaces the string of a String node (freeing the old one). False when memory runs out.
bool rbSetString(resbuf* rb, std::wstring_view text);
// Replaces the chunk of a Binary node.
bool rbSetBinary(resbuf* rb, const void* data, size_t size);

// Deep copy of one node (its rbnext is null), of a whole list. Null when memory runs out.
resbuf* rbCopyNode(const resbuf* rb);
RbPtr rbCopy(const resbuf* list);

// Same types and values node by node; reals and points compare within tolerance.
bool rbNodeEqual(const resbuf* a, const resbuf* b, double tolerance = 0.0);
bool rbEqual(const resbuf* a, const resbuf* b, double tolerance = 0.0);

size_t rbLength(const resbuf* list);
const resbuf* rbFind(const resbuf* list, int restype);
resbuf* rbLast(resbuf* list);

// Appends nodes to a list it owns: builder.add(RTSTR, L"x").add(10, pt) ... then take().
class RbBuilder {
public:
    RbBuilder& addNone(int restype);
    RbBuilder& addReal(int restype, double v);
    RbBuilder& addPoint(int restype, const ads_point p);
    RbBuilder& addPoint(int restype, double x, double y, double z = 0.0);
    RbBuilder& addShort(int restype, int v);
    RbBuilder& addLong(int restype, int32_t v);
    RbBuilder& addInt64(int restype, int64_t v);
    RbBuilder& addString(int restype, std::wstring_view v);
    RbBuilder& addName(int restype, const ads_name v);
    RbBuilder& addBinary(int restype, const void* data, size_t size);
    // Appends a list (taking it over).
    RbBuilder& append(RbPtr list);
    // False once a node could not be made (a wrong kind for its restype, or no memory);
    // take() then returns null.
    bool ok() const { return mOk; }
    RbPtr take();

private:
    resbuf* node(int restype, RbKind kind);
    RbPtr mHead;
    resbuf* mTail = nullptr;
    bool mOk = true;
};

// ---- Printing as LISP prints ---------------------------------------------------------------

// 6 significant digits, always a decimal point: 1.0 2.4 0.333333 1.0e+15 -2.5e-07.
std::wstring lispReal(double v);
// In double quotes; " \ and control characters escaped as LISP reads them back.
std::wstring lispString(std::wstring_view s);
// The whole chain as one LISP list: RT values as atoms, RTLB/RTLE/RTDOTE as nesting and dots,
// DXF groups as (code . value) or (code x y z); "nil" for an empty chain.
std::wstring rbToLisp(const resbuf* list);

} // namespace zel::core
