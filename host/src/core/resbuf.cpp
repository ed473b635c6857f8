// Result-buffer lists: acutNewRb, acutRelRb, acutBuildList and the helpers of resbuf.h.
#include "core/resbuf.h"

#include "core/groupcodes.h"

#include <cmath>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace zel::core {

namespace {

RbKind rtKind(int restype) {
    switch (restype) {
    case RTNONE:
    case RTVOID:
    case RTLB:
    case RTLE:
    case RTDOTE:
    case RTNIL:
    case RTT:
        return RbKind::None;
    case RTREAL:
    case RTANG:
    case RTORINT:
        return RbKind::Real;
    case RTPOINT:
    case RT3DPOINT:
        return RbKind::Point;
    case RTSHORT:
        return RbKind::Short;
    case RTLONG:
        return RbKind::Long;
    case RTLONG_PTR:
    case RTINT64:
        return RbKind::Int64;
    case RTSTR:
    case RTDXF0:
        return RbKind::String;
    case RTENAME:
    case RTPICKS:
        return RbKind::Name;
    }
    return RbKind::Invalid;
}

RbKind groupKind(int code) {
    if (code == -1 || code == -2) return RbKind::Name;
    if (code == -3) return RbKind::None;
    if (code == -4) return RbKind::String;
    if (code < 0 || code > 1071) return RbKind::Invalid;
    switch (groupType(code)) {
    case GroupType::String:
        return RbKind::String;
    case GroupType::Real:
        return RbKind::Real;
    case GroupType::PointX:
        return RbKind::Point;
    case GroupType::Int16:
    case GroupType::Bool:
        return RbKind::Short;
    case GroupType::Int32:
        return RbKind::Long;
    case GroupType::Int64:
        return RbKind::Int64;
    case GroupType::Binary:
        return RbKind::Binary;
    case GroupType::Handle:
        break;
    }
    // Pointer groups name objects; the others (5, 105, 320..329, 1005) keep handle text.
    bool pointer =
        (code >= 330 && code <= 369) || (code >= 390 && code <= 399) || code == 480 || code == 481;
    return pointer ? RbKind::Name : RbKind::String;
}

void releaseValue(resbuf* rb) {
    switch (rbKind(rb->restype)) {
    case RbKind::String:
        std::free(rb->resval.rstring);
        break;
    case RbKind::Binary:
        std::free(rb->resval.rbinary.buf);
        break;
    case RbKind::Invalid:
    case RbKind::None:
    case RbKind::Real:
    case RbKind::Point:
    case RbKind::Short:
    case RbKind::Long:
    case RbKind::Int64:
    case RbKind::Name:
        break;
    }
}

bool near(double a, double b, double tolerance) {
    return a == b || std::fabs(a - b) <= tolerance;
}

bool stringsEqual(const ACHAR* a, const ACHAR* b) {
    return std::wcscmp(a ? a : L"", b ? b : L"") == 0;
}

// Reads the value of one acutBuildList pair into rb; false for a missing pointer argument.
bool readValue(resbuf* rb, RbKind kind, va_list& args) {
    switch (kind) {
    case RbKind::Invalid:
        return false;
    case RbKind::None:
        return true;
    case RbKind::Real:
        rb->resval.rreal = va_arg(args, double);
        return true;
    case RbKind::Short:
        rb->resval.rint = static_cast<short>(va_arg(args, int));
        return true;
    case RbKind::Long:
        rb->resval.rlong = va_arg(args, int32_t);
        return true;
    case RbKind::Int64:
        rb->resval.mnInt64 = va_arg(args, int64_t);
        return true;
    case RbKind::Point: {
        const ads_real* p = va_arg(args, const ads_real*);
        if (!p) return false;
        std::memcpy(rb->resval.rpoint, p, sizeof(ads_point));
        return true;
    }
    case RbKind::Name: {
        const int64_t* n = va_arg(args, const int64_t*);
        if (!n) return false;
        rb->resval.rlname[0] = n[0];
        rb->resval.rlname[1] = n[1];
        return true;
    }
    case RbKind::String: {
        const ACHAR* s = va_arg(args, const ACHAR*);
        return rbSetString(rb, s ? s : L"");
    }
    case RbKind::Binary: {
        const ads_binary* b = va_arg(args, const ads_binary*);
        if (!b || b->clen < 0 || (b->clen > 0 && !b->buf)) return false;
        return rbSetBinary(rb, b->buf, static_cast<size_t>(b->clen));
    }
    }
    return false;
}

} // namespace

RbKind rbKind(int restype) {
    if (restype >= RTNONE) return rtKind(restype);
    return groupKind(restype);
}

ACHAR* rbDupString(std::wstring_view text) {
    auto* s = static_cast<ACHAR*>(std::malloc((text.size() + 1) * sizeof(ACHAR)));
    if (!s) return nullptr;
    std::wmemcpy(s, text.data(), text.size());
    s[text.size()] = 0;
    return s;
}

bool rbSetString(resbuf* rb, std::wstring_view text) {
    ACHAR* s = rbDupString(text);
    if (!s) return false;
    std::free(rb->resval.rstring);
    rb->resval.rstring = s;
    return true;
}

bool rbSetBinary(resbuf* rb, const void* data, size_t size) {
    if (size > 0x7FFF) return false; // ads_binary counts bytes in a short
    char* buf = static_cast<char*>(std::malloc(size > 0 ? size : 1));
    if (!buf) return false;
    if (size > 0) std::memcpy(buf, data, size);
    std::free(rb->resval.rbinary.buf);
    rb->resval.rbinary.buf = buf;
    rb->resval.rbinary.clen = static_cast<short>(size);
    return true;
}

resbuf* rbCopyNode(const resbuf* rb) {
    resbuf* copy = acutNewRb(rb->restype);
    if (!copy) return nullptr;
    RbKind kind = rbKind(rb->restype);
    bool ok = true;
    if (kind == RbKind::String) {
        ok = rbSetString(copy, rb->resval.rstring ? rb->resval.rstring : L"");
    } else if (kind == RbKind::Binary) {
        ok = rbSetBinary(copy, rb->resval.rbinary.buf,
                         static_cast<size_t>(std::max<short>(rb->resval.rbinary.clen, 0)));
    } else {
        copy->resval = rb->resval;
    }
    if (!ok) {
        acutRelRb(copy);
        return nullptr;
    }
    return copy;
}

RbPtr rbCopy(const resbuf* list) {
    RbPtr head;
    resbuf* tail = nullptr;
    for (const resbuf* rb = list; rb; rb = rb->rbnext) {
        resbuf* copy = rbCopyNode(rb);
        if (!copy) return nullptr;
        if (tail)
            tail->rbnext = copy;
        else
            head.reset(copy);
        tail = copy;
    }
    return head;
}

bool rbNodeEqual(const resbuf* a, const resbuf* b, double tolerance) {
    if (a->restype != b->restype) return false;
    const ads_u_val& x = a->resval;
    const ads_u_val& y = b->resval;
    switch (rbKind(a->restype)) {
    case RbKind::Invalid:
    case RbKind::None:
        return true;
    case RbKind::Real:
        return near(x.rreal, y.rreal, tolerance);
    case RbKind::Point:
        return near(x.rpoint[0], y.rpoint[0], tolerance) &&
               near(x.rpoint[1], y.rpoint[1], tolerance) &&
               near(x.rpoint[2], y.rpoint[2], tolerance);
    case RbKind::Short:
        return x.rint == y.rint;
    case RbKind::Long:
        return x.rlong == y.rlong;
    case RbKind::Int64:
        return x.mnInt64 == y.mnInt64;
    case RbKind::String:
        return stringsEqual(x.rstring, y.rstring);
    case RbKind::Name:
        return x.rlname[0] == y.rlname[0] && x.rlname[1] == y.rlname[1];
    case RbKind::Binary:
        return x.rbinary.clen == y.rbinary.clen &&
               (x.rbinary.clen <= 0 || std::memcmp(x.rbinary.buf, y.rbinary.buf,
                                                   static_cast<size_t>(x.rbinary.clen)) == 0);
    }
    return false;
}

bool rbEqual(const resbuf* a, const resbuf* b, double tolerance) {
    for (; a && b; a = a->rbnext, b = b->rbnext) {
        if (!rbNodeEqual(a, b, tolerance)) return false;
    }
    return !a && !b;
}

size_t rbLength(const resbuf* list) {
    size_t n = 0;
    for (; list; list = list->rbnext)
        ++n;
    return n;
}

const resbuf* rbFind(const resbuf* list, int restype) {
    for (; list; list = list->rbnext) {
        if (list->restype == restype) return list;
    }
    return nullptr;
}

resbuf* rbLast(resbuf* list) {
    while (list && list->rbnext)
        list = list->rbnext;
    return list;
}

resbuf* RbBuilder::node(int restype, RbKind kind) {
    if (!mOk) return nullptr;
    if (restype == RTDXF0) restype = 0;
    if (rbKind(restype) != kind) {
        mOk = false;
        return nullptr;
    }
    resbuf* rb = acutNewRb(restype);
    if (!rb) {
        mOk = false;
        return nullptr;
    }
    if (mTail)
        mTail->rbnext = rb;
    else
        mHead.reset(rb);
    mTail = rb;
    return rb;
}

RbBuilder& RbBuilder::addNone(int restype) {
    node(restype, RbKind::None);
    return *this;
}

RbBuilder& RbBuilder::addReal(int restype, double v) {
    if (resbuf* rb = node(restype, RbKind::Real)) rb->resval.rreal = v;
    return *this;
}

RbBuilder& RbBuilder::addPoint(int restype, const ads_point p) {
    return addPoint(restype, p[0], p[1], p[2]);
}

RbBuilder& RbBuilder::addPoint(int restype, double x, double y, double z) {
    if (resbuf* rb = node(restype, RbKind::Point)) {
        rb->resval.rpoint[0] = x;
        rb->resval.rpoint[1] = y;
        rb->resval.rpoint[2] = z;
    }
    return *this;
}

RbBuilder& RbBuilder::addShort(int restype, int v) {
    if (resbuf* rb = node(restype, RbKind::Short)) rb->resval.rint = static_cast<short>(v);
    return *this;
}

RbBuilder& RbBuilder::addLong(int restype, int32_t v) {
    if (resbuf* rb = node(restype, RbKind::Long)) rb->resval.rlong = v;
    return *this;
}

RbBuilder& RbBuilder::addInt64(int restype, int64_t v) {
    if (resbuf* rb = node(restype, RbKind::Int64)) rb->resval.mnInt64 = v;
    return *this;
}

RbBuilder& RbBuilder::addString(int restype, std::wstring_view v) {
    resbuf* rb = node(restype, RbKind::String);
    if (rb && !rbSetString(rb, v)) mOk = false;
    return *this;
}

RbBuilder& RbBuilder::addName(int restype, const ads_name v) {
    if (resbuf* rb = node(restype, RbKind::Name)) {
        rb->resval.rlname[0] = v[0];
        rb->resval.rlname[1] = v[1];
    }
    return *this;
}

RbBuilder& RbBuilder::addBinary(int restype, const void* data, size_t size) {
    resbuf* rb = node(restype, RbKind::Binary);
    if (rb && !rbSetBinary(rb, data, size)) mOk = false;
    return *this;
}

RbBuilder& RbBuilder::append(RbPtr list) {
    if (!list) return *this;
    resbuf* last = rbLast(list.get());
    if (mTail)
        mTail->rbnext = list.release();
    else
        mHead = std::move(list);
    mTail = last;
    return *this;
}

RbPtr RbBuilder::take() {
    mTail = nullptr;
    if (!mOk) {
        mHead.reset();
        mOk = true;
        return nullptr;
    }
    return std::move(mHead);
}

} // namespace zel::core

using zel::core::RbKind;

struct resbuf* acutNewRb(int v) {
    if (v < -32768 || v > 32767) return nullptr;
    auto* rb = static_cast<resbuf*>(std::calloc(1, sizeof(resbuf)));
    if (rb) rb->restype = static_cast<short>(v);
    return rb;
}

int acutRelRb(struct resbuf* rb) {
    while (rb) {
        resbuf* next = rb->rbnext;
        zel::core::releaseValue(rb);
        std::free(rb);
        rb = next;
    }
    return RTNORM;
}

// Pairs of (type, value) up to a 0 type; RTDXF0 makes a group 0 node. Returns null, and
// keeps nothing, for a type that is not a result type or a missing pointer value.
struct resbuf* acutBuildList(int rtype, ...) {
    va_list args;
    va_start(args, rtype);
    zel::core::RbPtr head;
    resbuf* tail = nullptr;
    bool ok = true;
    for (int type = rtype; type != 0 && ok; type = va_arg(args, int)) {
        RbKind kind = zel::core::rbKind(type);
        resbuf* rb = kind == RbKind::Invalid ? nullptr : acutNewRb(type == RTDXF0 ? 0 : type);
        ok = rb != nullptr;
        if (!rb) break;
        if (tail)
            tail->rbnext = rb;
        else
            head.reset(rb);
        tail = rb;
        ok = zel::core::readValue(rb, kind, args);
    }
    va_end(args);
    return ok ? head.release() : nullptr;
}
