// LISP functions of modules (acedDefun and its family) and calls into LISP (acedInvoke,
// acedGetSym, acedPutSym), over the current document of the current session.
#include "app/session.h"
#include "arx/aced.h"
#include "core/resbuf.h"
#include "core/text.h"

using zel::app::Document;
using zel::app::Session;

namespace {

// Runs fn with the session and its current document; RTERROR when there is none (or the host
// failed inside: no exception reaches the caller's C code).
template <class Fn> int withDocument(Fn&& fn) {
    Session* s = zel::app::currentSession();
    Document* d = s ? s->documents().current() : nullptr;
    if (!d) return RTERROR;
    try {
        return fn(*s, *d);
    } catch (...) {
        return RTERROR;
    }
}

// Sets the value of the module function being called; RTERROR outside such a call.
template <class Fn> int withResult(Fn&& fn) {
    Session* s = zel::app::currentSession();
    const Session::ModuleCall* call = s ? s->moduleCall() : nullptr;
    if (!call) return RTERROR;
    fn(call->call->result);
    return RTNORM;
}

} // namespace

int acedDefun(const ACHAR* sname, short funcno) {
    return withDocument([&](Session& s, Document& d) -> int {
        if (!sname || !*sname || funcno < 0) return RTERROR;
        const zel::app::Module* module = s.modules().current();
        bool ok = d.lisp().externals().define(sname, [&s, module, funcno](auto& call) {
            return s.callModuleFunction(module, funcno, call);
        });
        if (!ok) return RTERROR;
        d.moduleFunctions()[zel::core::toUpper(sname)] = {module, funcno};
        return RTNORM;
    });
}

int acedUndef(const ACHAR* sname, short funcno) {
    return withDocument([&](Session& s, Document& d) -> int {
        if (!sname) return RTERROR;
        std::wstring name = zel::core::toUpper(sname);
        auto it = d.moduleFunctions().find(name);
        if (it == d.moduleFunctions().end() || it->second.code != funcno ||
            it->second.module != s.modules().current())
            return RTERROR;
        d.moduleFunctions().erase(it);
        d.lisp().externals().undefine(name);
        return RTNORM;
    });
}

int acedRegFunc(int (*fhdl)(), short fcode) {
    Session* s = zel::app::currentSession();
    if (!s || fcode < 0) return RTERROR;
    s->modules().setSubr(s->modules().current(), fcode, fhdl);
    return RTNORM;
}

int acedGetFunCode() {
    Session* s = zel::app::currentSession();
    const Session::ModuleCall* call = s ? s->moduleCall() : nullptr;
    return call ? int(call->code) : int(RTERROR);
}

struct resbuf* acedGetArgs() {
    Session* s = zel::app::currentSession();
    const Session::ModuleCall* call = s ? s->moduleCall() : nullptr;
    if (!call) return nullptr;
    return zel::core::rbCopy(call->call->args).release();
}

int acedRetInt(int ival) {
    return withResult([&](auto& r) { r.setInt(ival); });
}

int acedRetReal(ads_real rval) {
    return withResult([&](auto& r) { r.setReal(rval); });
}

int acedRetStr(const ACHAR* s) {
    return withResult([&](auto& r) { r.setString(s ? s : L""); });
}

int acedRetPoint(const ads_point pt) {
    if (!pt) return RTERROR;
    return withResult([&](auto& r) { r.setPoint(pt); });
}

int acedRetName(const ads_name aname, int type) {
    if (!aname || (type != RTENAME && type != RTPICKS)) return RTERROR;
    return withResult([&](auto& r) { r.setName(aname, type); });
}

int acedRetNil() {
    return withResult([](auto& r) { r.setNil(); });
}

int acedRetT() {
    return withResult([](auto& r) { r.setT(); });
}

int acedRetVoid() {
    return withResult([](auto& r) { r.setVoid(); });
}

int acedRetList(const struct resbuf* rbuf) {
    return withResult([&](auto& r) { r.setList(rbuf); });
}

int acedRetVal(const struct resbuf* rbuf) {
    if (!rbuf) return RTERROR;
    return withResult([&](auto& r) { r.setValue(rbuf); });
}

int acedInvoke(const struct resbuf* args, struct resbuf** result) {
    if (result) *result = nullptr;
    return withDocument(
        [&](Session&, Document& d) -> int { return d.lisp().invoke(args, result); });
}

int acedGetSym(const ACHAR* sname, struct resbuf** value) {
    if (value) *value = nullptr;
    return withDocument([&](Session&, Document& d) -> int {
        return sname ? d.lisp().getSym(sname, value) : RTERROR;
    });
}

int acedPutSym(const ACHAR* sname, struct resbuf* value) {
    return withDocument([&](Session&, Document& d) -> int {
        return sname ? d.lisp().putSym(sname, value) : RTERROR;
    });
}
