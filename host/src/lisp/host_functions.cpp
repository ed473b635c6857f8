// LISP functions answered by the host through the bridge: getvar setvar command (also
// command-s, vl-cmdf), the ssget family, the entity functions, initget and the getXXX family,
// entsel, alert.
#include "core/text.h"
#include "lisp/args.h"
#include "lisp/builtins.h"
#include "lisp/host_bridge.h"
#include "lisp/interp.h"
#include "lisp/printer.h"
#include "lisp/resbuf_conv.h"

namespace zel::lisp {

namespace {

using Args = std::span<const Value>;
using core::RbBuilder;
using core::RbPtr;

// The bridge function, or a "not available" error naming the LISP function.
template <class F> const F& need(const F& f, const wchar_t* lispName) {
    if (!f) throwError(ErrorKind::NotAvailable, lispName);
    return f;
}

void checkCancel(int rc) {
    if (rc == RTCAN) throwError(ErrorKind::Cancelled);
}

// A value as one token node: points become RTPOINT / RT3DPOINT whatever their numbers.
void appendToken(RbBuilder& b, const Value& v) {
    if (v.isCons() && arg::isPoint(v)) {
        arg::Point p = arg::point(v);
        b.addPoint(p.is3d ? RT3DPOINT : RTPOINT, p.x, p.y, p.z);
        return;
    }
    if (v.isNil()) {
        b.addNone(RTNONE);
        return;
    }
    b.append(valueToResbuf(v, PointForm::Compact));
}

RbPtr tokens(Args a) {
    RbBuilder b;
    for (const Value& v : a)
        appendToken(b, v);
    if (!b.ok()) throwError(ErrorKind::OutOfMemory);
    return b.take();
}

// ---- System variables and commands ---------------------------------------------------------

Value getvarFn(Interpreter& in, Args a) {
    const std::wstring& name = arg::string(a[0]);
    RbPtr v = need(in.host().getVar, L"GETVAR")(name);
    if (!v) return Value();
    const resbuf* rb = v.get();
    return resbufToValue(in, rb);
}

Value setvarFn(Interpreter& in, Args a) {
    const std::wstring& name = arg::string(a[0]);
    const auto& setVar = need(in.host().setVar, L"SETVAR");
    RbPtr v = tokens(a.subspan(1, 1));
    if (setVar(name, v.get()) != RTNORM)
        throwError(ErrorKind::HostRejected, core::lispString(name) + L" " + toText(a[1]));
    return a[1];
}

Value commandFn(Interpreter& in, Args a) {
    const auto& command = need(in.host().command, L"COMMAND");
    RbPtr list = tokens(a);
    checkCancel(command(list.get()));
    return Value();
}

// ---- Selection sets ------------------------------------------------------------------------

bool isPointList(const Value& v) {
    if (!v.isCons() || !isProperList(v)) return false;
    for (const Value& p : ListRange(v))
        if (!arg::isPoint(p)) return false;
    return true;
}

void setPoint(ads_point out, const Value& v) {
    arg::Point p = arg::point(v);
    out[0] = p.x;
    out[1] = p.y;
    out[2] = p.z;
}

Value ssgetFn(Interpreter& in, Args a) {
    const auto& ssget = need(in.host().ssget, L"SSGET");
    SsGetRequest r;
    size_t i = 0;
    if (!a.empty() && a[0].isString()) r.mode = a[i++].stringValue();
    for (; i < a.size(); ++i) {
        const Value& v = a[i];
        if (v.isNil()) continue;
        if (arg::isPoint(v) && r.pointCount < 2) {
            setPoint(r.pointCount++ == 0 ? r.pt1 : r.pt2, v);
        } else if (isPointList(v) && !r.pointList) {
            RbBuilder b;
            for (const Value& p : ListRange(v)) {
                arg::Point q = arg::point(p);
                b.addPoint(RT3DPOINT, q.x, q.y, q.z);
            }
            r.pointList = b.take();
        } else if (v.isCons() && !r.filter) {
            r.filter = entityListToResbuf(v);
        } else {
            arg::badType(L"ssget", v);
        }
    }
    ads_name ss = {0, 0};
    int rc = ssget(r, ss);
    checkCancel(rc);
    return rc == RTNORM ? in.makeName(Kind::PickSet, ss) : Value();
}

// (sssetfirst gripset [pickset]): the pick-first set of the next command (grips are not
// shown here); gives back its arguments.
Value sssetfirstFn(Interpreter& in, Args a) {
    const auto& setFirst = need(in.host().sssetfirst, L"SSSETFIRST");
    Value pick = a.size() > 1 ? a[1] : Value();
    int rc = pick.isNil() ? setFirst(nullptr) : setFirst(arg::pickset(pick).name);
    if (rc != RTNORM) return Value();
    return makeList({a[0], pick});
}

Value sslengthFn(Interpreter& in, Args a) {
    const NameObj& ss = arg::pickset(a[0]);
    int32_t n = 0;
    if (need(in.host().sslength, L"SSLENGTH")(ss.name, &n) != RTNORM) return Value();
    return Value::integer(n);
}

Value ssnameFn(Interpreter& in, Args a) {
    const NameObj& ss = arg::pickset(a[0]);
    int32_t index = arg::integer(a[1]);
    ads_name ent = {0, 0};
    if (need(in.host().ssname, L"SSNAME")(ss.name, index, ent) != RTNORM) return Value();
    return in.makeName(Kind::Ename, ent);
}

Value ssaddFn(Interpreter& in, Args a) {
    const auto& ssadd = need(in.host().ssadd, L"SSADD");
    const NameObj* ent = a.size() > 0 && !a[0].isNil() ? &arg::ename(a[0]) : nullptr;
    const NameObj* ss = a.size() > 1 && !a[1].isNil() ? &arg::pickset(a[1]) : nullptr;
    ads_name out = {0, 0};
    if (ssadd(ent ? ent->name : nullptr, ss ? ss->name : nullptr, out) != RTNORM) return Value();
    return ss ? a[1] : in.makeName(Kind::PickSet, out);
}

Value ssdelFn(Interpreter& in, Args a) {
    const NameObj& ent = arg::ename(a[0]);
    const NameObj& ss = arg::pickset(a[1]);
    if (need(in.host().ssdel, L"SSDEL")(ent.name, ss.name) != RTNORM) return Value();
    return a[1];
}

Value ssmembFn(Interpreter& in, Args a) {
    const NameObj& ent = arg::ename(a[0]);
    const NameObj& ss = arg::pickset(a[1]);
    if (need(in.host().ssmemb, L"SSMEMB")(ent.name, ss.name) != RTNORM) return Value();
    return a[0];
}

// ---- Entities ------------------------------------------------------------------------------

Value entgetFn(Interpreter& in, Args a) {
    const NameObj& ent = arg::ename(a[0]);
    RbPtr apps;
    if (a.size() > 1 && !a[1].isNil()) {
        RbBuilder b;
        for (const Value& app : ListRange(arg::list(a[1])))
            b.addString(RTSTR, arg::string(app));
        apps = b.take();
    }
    RbPtr data = need(in.host().entget, L"ENTGET")(ent.name, apps.get());
    return data ? resbufListToValue(in, data.get()) : Value();
}

Value entmodFn(Interpreter& in, Args a) {
    RbPtr data = entityListToResbuf(a[0]);
    return need(in.host().entmod, L"ENTMOD")(data.get()) == RTNORM ? a[0] : Value();
}

Value entmakeFn(Interpreter& in, Args a) {
    RbPtr data = a.empty() || a[0].isNil() ? RbPtr() : entityListToResbuf(a[0]);
    ads_name made = {0, 0};
    if (need(in.host().entmake, L"ENTMAKE")(data.get(), made) != RTNORM) return Value();
    return a.empty() ? Value() : a[0];
}

Value entdelFn(Interpreter& in, Args a) {
    const NameObj& ent = arg::ename(a[0]);
    return need(in.host().entdel, L"ENTDEL")(ent.name) == RTNORM ? a[0] : Value();
}

Value entupdFn(Interpreter& in, Args a) {
    const NameObj& ent = arg::ename(a[0]);
    return need(in.host().entupd, L"ENTUPD")(ent.name) == RTNORM ? a[0] : Value();
}

Value entlastFn(Interpreter& in, Args) {
    ads_name out = {0, 0};
    if (need(in.host().entlast, L"ENTLAST")(out) != RTNORM) return Value();
    return in.makeName(Kind::Ename, out);
}

Value entnextFn(Interpreter& in, Args a) {
    const NameObj* from = a.empty() || a[0].isNil() ? nullptr : &arg::ename(a[0]);
    ads_name out = {0, 0};
    if (need(in.host().entnext, L"ENTNEXT")(from ? from->name : nullptr, out) != RTNORM)
        return Value();
    return in.makeName(Kind::Ename, out);
}

Value handentFn(Interpreter& in, Args a) {
    const std::wstring& handle = arg::string(a[0]);
    ads_name out = {0, 0};
    if (need(in.host().handent, L"HANDENT")(handle, out) != RTNORM) return Value();
    return in.makeName(Kind::Ename, out);
}

// ---- User input ----------------------------------------------------------------------------

Value initgetFn(Interpreter& in, Args a) {
    const auto& initget = need(in.host().initget, L"INITGET");
    int bits = 0;
    std::wstring keywords;
    for (const Value& v : a) {
        if (v.isInt())
            bits = v.intValue();
        else
            keywords = arg::string(v);
    }
    initget(bits, keywords);
    return Value();
}

// Optional base point and prompt, in that order.
InputRequest request(InputKind kind, Args a) {
    InputRequest r;
    r.kind = kind;
    for (const Value& v : a) {
        if (v.isString()) {
            r.prompt = v.stringValue();
        } else if (!v.isNil()) {
            setPoint(r.base, v);
            r.hasBase = true;
        }
    }
    return r;
}

Value ask(Interpreter& in, InputRequest r, const wchar_t* lispName) {
    const auto& getInput = need(in.host().getInput, lispName);
    InputReply reply;
    int rc = getInput(r, reply);
    checkCancel(rc);
    if (rc == RTKWORD) return Value::string(reply.text);
    if (rc != RTNORM) return Value();
    switch (r.kind) {
    case InputKind::Point:
    case InputKind::Corner:
        return makeList({Value::real(reply.point[0]), Value::real(reply.point[1]),
                         Value::real(reply.point[2])});
    case InputKind::String:
    case InputKind::Kword:
        return Value::string(reply.text);
    case InputKind::Int:
        return Value::integer(reply.integer);
    case InputKind::Real:
    case InputKind::Dist:
    case InputKind::Angle:
    case InputKind::Orient:
        return Value::real(reply.real);
    }
    return Value();
}

Value getpointFn(Interpreter& in, Args a) {
    return ask(in, request(InputKind::Point, a), L"GETPOINT");
}
Value getcornerFn(Interpreter& in, Args a) {
    arg::point(a[0]);
    return ask(in, request(InputKind::Corner, a), L"GETCORNER");
}
Value getdistFn(Interpreter& in, Args a) {
    return ask(in, request(InputKind::Dist, a), L"GETDIST");
}
Value getangleFn(Interpreter& in, Args a) {
    return ask(in, request(InputKind::Angle, a), L"GETANGLE");
}
Value getorientFn(Interpreter& in, Args a) {
    return ask(in, request(InputKind::Orient, a), L"GETORIENT");
}

Value promptOnly(Interpreter& in, InputKind kind, Args a, const wchar_t* lispName) {
    InputRequest r;
    r.kind = kind;
    if (!a.empty()) r.prompt = arg::string(a[0]);
    return ask(in, std::move(r), lispName);
}

Value getintFn(Interpreter& in, Args a) {
    return promptOnly(in, InputKind::Int, a, L"GETINT");
}
Value getrealFn(Interpreter& in, Args a) {
    return promptOnly(in, InputKind::Real, a, L"GETREAL");
}
Value getkwordFn(Interpreter& in, Args a) {
    return promptOnly(in, InputKind::Kword, a, L"GETKWORD");
}

// (getstring [cr] [msg]): with two arguments the first allows spaces.
Value getstringFn(Interpreter& in, Args a) {
    InputRequest r;
    r.kind = InputKind::String;
    if (a.size() == 2) {
        r.allowSpaces = !a[0].isNil();
        r.prompt = arg::string(a[1]);
    } else if (a.size() == 1) {
        if (a[0].isString())
            r.prompt = a[0].stringValue();
        else
            r.allowSpaces = !a[0].isNil();
    }
    return ask(in, std::move(r), L"GETSTRING");
}

Value entselFn(Interpreter& in, Args a) {
    std::wstring prompt = a.empty() ? std::wstring() : arg::string(a[0]);
    ads_name ent = {0, 0};
    ads_point pt = {0, 0, 0};
    int rc = need(in.host().entsel, L"ENTSEL")(prompt, ent, pt);
    checkCancel(rc);
    if (rc != RTNORM) return Value();
    return makeList({in.makeName(Kind::Ename, ent),
                     makeList({Value::real(pt[0]), Value::real(pt[1]), Value::real(pt[2])})});
}

Value alertFn(Interpreter& in, Args a) {
    need(in.host().alert, L"ALERT")(arg::string(a[0]));
    return Value();
}

} // namespace

void registerHostBuiltins(Interpreter& in) {
    in.defineSubr(L"GETVAR", getvarFn, 1, 1);
    in.defineSubr(L"SETVAR", setvarFn, 2, 2);
    in.defineSubr(L"COMMAND", commandFn, 0, -1);
    in.defineSubr(L"COMMAND-S", commandFn, 0, -1);
    in.defineSubr(L"VL-CMDF", commandFn, 0, -1);
    in.defineSubr(L"SSGET", ssgetFn, 0, 4);
    in.defineSubr(L"SSLENGTH", sslengthFn, 1, 1);
    in.defineSubr(L"SSSETFIRST", sssetfirstFn, 1, 2);
    in.defineSubr(L"SSNAME", ssnameFn, 2, 2);
    in.defineSubr(L"SSADD", ssaddFn, 0, 2);
    in.defineSubr(L"SSDEL", ssdelFn, 2, 2);
    in.defineSubr(L"SSMEMB", ssmembFn, 2, 2);
    in.defineSubr(L"ENTGET", entgetFn, 1, 2);
    in.defineSubr(L"ENTMOD", entmodFn, 1, 1);
    in.defineSubr(L"ENTMAKE", entmakeFn, 0, 1);
    in.defineSubr(L"ENTDEL", entdelFn, 1, 1);
    in.defineSubr(L"ENTUPD", entupdFn, 1, 1);
    in.defineSubr(L"ENTLAST", entlastFn, 0, 0);
    in.defineSubr(L"ENTNEXT", entnextFn, 0, 1);
    in.defineSubr(L"HANDENT", handentFn, 1, 1);
    in.defineSubr(L"INITGET", initgetFn, 0, 2);
    in.defineSubr(L"GETPOINT", getpointFn, 0, 2);
    in.defineSubr(L"GETCORNER", getcornerFn, 1, 2);
    in.defineSubr(L"GETDIST", getdistFn, 0, 2);
    in.defineSubr(L"GETANGLE", getangleFn, 0, 2);
    in.defineSubr(L"GETORIENT", getorientFn, 0, 2);
    in.defineSubr(L"GETINT", getintFn, 0, 1);
    in.defineSubr(L"GETREAL", getrealFn, 0, 1);
    in.defineSubr(L"GETKWORD", getkwordFn, 0, 1);
    in.defineSubr(L"GETSTRING", getstringFn, 0, 2);
    in.defineSubr(L"ENTSEL", entselFn, 0, 1);
    in.defineSubr(L"ALERT", alertFn, 1, 1);
}

} // namespace zel::lisp
