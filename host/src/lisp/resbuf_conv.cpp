// LISP values to resbuf lists and back (see resbuf_conv.h).
#include "lisp/resbuf_conv.h"

#include "core/text.h"
#include "lisp/error.h"
#include "lisp/interp.h"
#include "lisp/printer.h"

#include <limits>

namespace zel::lisp {

namespace {

using core::RbBuilder;
using core::RbKind;
using core::RbPtr;

constexpr int kGroupXdata = -3;
constexpr int kGroupAppName = 1001;
constexpr int kFirstXdataGroup = 1000;
constexpr int kLastXdataGroup = 1071;

[[noreturn]] void noResbufForm(const Value& v) {
    throwError(ErrorKind::BadArgumentType, toText(v));
}

void appendAtom(RbBuilder& b, const Value& v) {
    switch (v.kind()) {
    case Kind::Nil:
        b.addNone(RTNIL);
        return;
    case Kind::Int: {
        int32_t i = v.intValue();
        if (i >= std::numeric_limits<short>::min() && i <= std::numeric_limits<short>::max())
            b.addShort(RTSHORT, i);
        else
            b.addLong(RTLONG, i);
        return;
    }
    case Kind::Real:
        b.addReal(RTREAL, v.realValue());
        return;
    case Kind::Str:
        b.addString(RTSTR, v.stringValue());
        return;
    case Kind::Sym: {
        const std::wstring& name = v.symbolValue()->name;
        if (name == L"T")
            b.addNone(RTT);
        else if (name.empty())
            b.addNone(RTVOID);
        else
            b.addString(RTSTR, name);
        return;
    }
    case Kind::Ename:
        b.addName(RTENAME, v.as<NameObj>().name);
        return;
    case Kind::PickSet:
        b.addName(RTPICKS, v.as<NameObj>().name);
        return;
    case Kind::Cons:
    case Kind::File:
    case Kind::Subr:
    case Kind::USubr:
    case Kind::ExSubr:
        break;
    }
    noResbufForm(v);
}

// A proper list of two or three reals.
bool asPoint(const Value& list, ads_point p, int& type) {
    int n = 0;
    const Value* at = &list;
    for (; at->isCons() && n < 4; at = &at->cdr()) {
        if (!at->car().isReal()) return false;
        if (n < 3) p[n] = at->car().realValue();
        ++n;
    }
    if (!at->isNil() || n < 2 || n > 3) return false;
    if (n == 2) p[2] = 0.0;
    type = n == 2 ? RTPOINT : RT3DPOINT;
    return true;
}

void appendValue(RbBuilder& b, const Value& v, PointForm form) {
    std::vector<const Value*> open; // the rest of each list being written
    auto start = [&](const Value& x) {
        ads_point p;
        int type = 0;
        if (!x.isCons()) {
            appendAtom(b, x);
        } else if (form == PointForm::Compact && asPoint(x, p, type)) {
            b.addPoint(type, p);
        } else {
            b.addNone(RTLB);
            open.push_back(&x);
        }
    };
    start(v);
    while (!open.empty()) {
        const Value& rest = *open.back();
        if (rest.isNil()) {
            b.addNone(RTLE);
            open.pop_back();
        } else if (!rest.isCons()) {
            b.addNone(RTDOTE);
            appendAtom(b, rest);
            b.addNone(RTLE);
            open.pop_back();
        } else {
            open.back() = &rest.cdr();
            start(rest.car());
        }
    }
}

RbPtr finish(RbBuilder& b) {
    if (!b.ok()) throwError(ErrorKind::OutOfMemory);
    return b.take();
}

Value pointValue(const ads_real* p, int n) {
    std::vector<Value> items;
    for (int i = 0; i < n; ++i)
        items.push_back(Value::real(p[i]));
    return makeList(std::move(items));
}

Value int64Value(int64_t v) {
    if (v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max())
        return Value::integer(static_cast<int32_t>(v));
    return Value::real(static_cast<double>(v));
}

std::wstring hexBytes(const ads_binary& bin) {
    static const wchar_t kHex[] = L"0123456789ABCDEF";
    std::wstring s;
    for (short i = 0; bin.buf && i < bin.clen; ++i) {
        auto byte = static_cast<unsigned char>(bin.buf[i]);
        s += kHex[byte >> 4];
        s += kHex[byte & 0xF];
    }
    return s;
}

// The value of a DXF group node (without its code).
Value groupValue(Interpreter& in, const resbuf* rb) {
    const ads_u_val& v = rb->resval;
    switch (core::rbKind(rb->restype)) {
    case RbKind::Real:
        return Value::real(v.rreal);
    case RbKind::Point:
        return pointValue(v.rpoint, 3);
    case RbKind::Short:
        return Value::integer(v.rint);
    case RbKind::Long:
        return Value::integer(v.rlong);
    case RbKind::Int64:
        return int64Value(v.mnInt64);
    case RbKind::String:
        return Value::string(v.rstring ? v.rstring : L"");
    case RbKind::Name:
        return in.makeName(Kind::Ename, v.rlname);
    case RbKind::Binary:
        return Value::string(hexBytes(v.rbinary));
    case RbKind::Invalid:
    case RbKind::None:
        break;
    }
    return Value();
}

// (code . value), or (code x y z) for a point.
Value groupPair(Interpreter& in, const resbuf* rb) {
    Value value = groupValue(in, rb);
    return Value::cons(Value::integer(rb->restype), std::move(value));
}

// (-3 ("APP" (1000 . "x") ...) ...), consuming the extended data groups after the -3 node.
Value xdataValue(Interpreter& in, const resbuf*& rb) {
    std::vector<Value> apps;
    std::vector<Value> groups;
    Value app;
    auto closeApp = [&] {
        if (!app.isNil()) apps.push_back(Value::cons(app, makeList(std::move(groups))));
        groups.clear();
    };
    for (; rb && rb->restype >= kFirstXdataGroup && rb->restype <= kLastXdataGroup;
         rb = rb->rbnext) {
        if (rb->restype == kGroupAppName) {
            closeApp();
            app = groupValue(in, rb);
        } else {
            groups.push_back(groupPair(in, rb));
        }
    }
    closeApp();
    return Value::cons(Value::integer(kGroupXdata), makeList(std::move(apps)));
}

// A value node of the RT family (not a list delimiter).
Value atomValue(Interpreter& in, const resbuf* rb) {
    const ads_u_val& v = rb->resval;
    switch (rb->restype) {
    case RTREAL:
    case RTANG:
    case RTORINT:
        return Value::real(v.rreal);
    case RTPOINT:
        return pointValue(v.rpoint, 2);
    case RT3DPOINT:
        return pointValue(v.rpoint, 3);
    case RTSHORT:
        return Value::integer(v.rint);
    case RTLONG:
        return Value::integer(v.rlong);
    case RTINT64:
    case RTLONG_PTR:
        return int64Value(v.mnInt64);
    case RTSTR:
        return Value::string(v.rstring ? v.rstring : L"");
    case RTENAME:
        return in.makeName(Kind::Ename, v.rlname);
    case RTPICKS:
        return in.makeName(Kind::PickSet, v.rlname);
    case RTT:
        return in.t();
    case RTVOID:
        return Value::symbol(in.symbols().empty());
    }
    return Value(); // RTNIL, RTNONE and anything unknown
}

bool isValueNode(const resbuf* rb) {
    return rb && rb->restype != RTLB && rb->restype != RTLE && rb->restype != RTDOTE;
}

struct OpenList {
    std::vector<Value> items;
    bool dotted = false; // the next value is the tail
    Value tail;
};

} // namespace

RbPtr valueToResbuf(const Value& v, PointForm form) {
    RbBuilder b;
    appendValue(b, v, form);
    return finish(b);
}

RbPtr valuesToResbuf(std::span<const Value> values, PointForm form) {
    RbBuilder b;
    for (const Value& v : values)
        appendValue(b, v, form);
    return finish(b);
}

Value resbufToValue(Interpreter& in, const resbuf*& rb) {
    std::vector<OpenList> open;
    for (;;) {
        Value done;
        if (!rb) { // the chain ended inside a list: close what is open
            if (open.empty()) return Value();
            done = makeList(std::move(open.back().items), std::move(open.back().tail));
            open.pop_back();
        } else {
            const resbuf* node = rb;
            rb = rb->rbnext;
            if (node->restype == RTLB) {
                open.emplace_back();
                continue;
            }
            if (node->restype == RTLE || node->restype == RTDOTE) {
                if (open.empty()) continue; // a stray delimiter
                OpenList& top = open.back();
                bool tailFollows = node->restype == RTDOTE && isValueNode(rb) && rb->rbnext &&
                                   rb->rbnext->restype == RTLE;
                if (tailFollows) {
                    top.dotted = true;
                    continue;
                }
                if (node->restype == RTDOTE && !top.items.empty()) { // "RTLB a b RTDOTE"
                    top.tail = std::move(top.items.back());
                    top.items.pop_back();
                }
                done = makeList(std::move(top.items), std::move(top.tail));
                open.pop_back();
            } else if (node->restype == kGroupXdata) {
                const resbuf* at = node->rbnext;
                done = xdataValue(in, at);
                rb = at;
            } else if (node->restype < RTNONE) {
                done = groupPair(in, node);
            } else {
                done = atomValue(in, node);
            }
        }
        if (open.empty()) return done;
        OpenList& top = open.back();
        if (top.dotted)
            top.tail = std::move(done);
        else
            top.items.push_back(std::move(done));
    }
}

Value resbufListToValue(Interpreter& in, const resbuf* list) {
    std::vector<Value> items;
    const resbuf* rb = list;
    while (rb) {
        if (rb->restype == RTLE || rb->restype == RTDOTE) { // unbalanced: skip
            rb = rb->rbnext;
            continue;
        }
        items.push_back(resbufToValue(in, rb));
    }
    return makeList(std::move(items));
}

// ---- Entity data lists ---------------------------------------------------------------------

namespace {

[[noreturn]] void badGroup(const Value& group) {
    throwError(ErrorKind::BadArgumentValue, L"DXF グループ " + toText(group));
}

bool hexToBytes(const std::wstring& s, std::string& out) {
    if (s.size() % 2 != 0) return false;
    auto digit = [](wchar_t c) -> int {
        if (c >= L'0' && c <= L'9') return c - L'0';
        if (c >= L'A' && c <= L'F') return c - L'A' + 10;
        if (c >= L'a' && c <= L'f') return c - L'a' + 10;
        return -1;
    };
    for (size_t i = 0; i < s.size(); i += 2) {
        int hi = digit(s[i]), lo = digit(s[i + 1]);
        if (hi < 0 || lo < 0) return false;
        out += static_cast<char>(hi * 16 + lo);
    }
    return true;
}

void appendGroup(RbBuilder& b, const Value& group) {
    if (!group.isCons() || !group.car().isInt()) badGroup(group);
    int code = group.car().intValue();
    const Value& v = group.cdr();
    switch (core::rbKind(code)) {
    case RbKind::Point: {
        std::vector<Value> xyz = listItems(v);
        if (xyz.size() < 2 || xyz.size() > 3 || !isProperList(v)) badGroup(group);
        for (const Value& c : xyz)
            if (!c.isNumber()) badGroup(group);
        b.addPoint(code, xyz[0].number(), xyz[1].number(), xyz.size() == 3 ? xyz[2].number() : 0);
        return;
    }
    case RbKind::Real:
        if (!v.isNumber()) badGroup(group);
        b.addReal(code, v.number());
        return;
    case RbKind::Short:
        if (!v.isInt() || v.intValue() < std::numeric_limits<short>::min() ||
            v.intValue() > std::numeric_limits<short>::max())
            badGroup(group);
        b.addShort(code, v.intValue());
        return;
    case RbKind::Long:
        if (!v.isInt()) badGroup(group);
        b.addLong(code, v.intValue());
        return;
    case RbKind::Int64:
        if (!v.isInt()) badGroup(group);
        b.addInt64(code, v.intValue());
        return;
    case RbKind::String:
        if (!v.isString()) badGroup(group);
        b.addString(code, v.stringValue());
        return;
    case RbKind::Name:
        if (v.kind() != Kind::Ename && v.kind() != Kind::PickSet) badGroup(group);
        b.addName(code, v.as<NameObj>().name);
        return;
    case RbKind::Binary: {
        std::string bytes;
        if (!v.isString() || !hexToBytes(v.stringValue(), bytes)) badGroup(group);
        b.addBinary(code, bytes.data(), bytes.size());
        return;
    }
    case RbKind::Invalid:
    case RbKind::None:
        break;
    }
    badGroup(group);
}

void appendXdata(RbBuilder& b, const Value& group) {
    b.addNone(kGroupXdata);
    for (const Value& app : ListRange(group.cdr())) {
        if (!app.isCons() || !app.car().isString()) badGroup(group);
        b.addString(kGroupAppName, app.car().stringValue());
        for (const Value& g : ListRange(app.cdr())) {
            if (!g.isCons() || !g.car().isInt() || g.car().intValue() < kFirstXdataGroup ||
                g.car().intValue() > kLastXdataGroup)
                badGroup(group);
            appendGroup(b, g);
        }
    }
}

} // namespace

RbPtr entityListToResbuf(const Value& list) {
    if (!list.isCons()) throwError(ErrorKind::BadArgumentType, L"listp: " + toText(list));
    RbBuilder b;
    for (const Value& group : ListRange(list)) {
        if (group.isCons() && group.car().isInt() && group.car().intValue() == kGroupXdata)
            appendXdata(b, group);
        else
            appendGroup(b, group);
    }
    return finish(b);
}

} // namespace zel::lisp
