// External functions: the registry and the acedRet... results.
#include "lisp/external.h"

#include "core/text.h"
#include "lisp/interp.h"

namespace zel::lisp {

using core::RbBuilder;
using core::RbPtr;

void ExternalReturn::setList(const resbuf* list) {
    mData = core::rbCopy(list);
    mForm = mData ? Form::List : Form::Value; // an empty list is nil
}

void ExternalReturn::setValue(const resbuf* node) {
    mData = core::rbCopy(node);
    mForm = Form::Value;
}

void ExternalReturn::setOne(RbBuilder& b) {
    mData = b.take();
    mForm = Form::Value;
}

void ExternalReturn::setNil() {
    mData.reset();
    mForm = Form::Value;
}

void ExternalReturn::setT() {
    RbBuilder b;
    b.addNone(RTT);
    setOne(b);
}

void ExternalReturn::setVoid() {
    mData.reset();
    mForm = Form::Void;
}

void ExternalReturn::setInt(int32_t v) {
    RbBuilder b;
    b.addLong(RTLONG, v);
    setOne(b);
}

void ExternalReturn::setReal(double v) {
    RbBuilder b;
    b.addReal(RTREAL, v);
    setOne(b);
}

void ExternalReturn::setString(std::wstring_view s) {
    RbBuilder b;
    b.addString(RTSTR, s);
    setOne(b);
}

void ExternalReturn::setPoint(const ads_point p) {
    RbBuilder b;
    b.addPoint(RT3DPOINT, p);
    setOne(b);
}

void ExternalReturn::setName(const ads_name n, int type) {
    RbBuilder b;
    b.addName(type == RTPICKS ? RTPICKS : RTENAME, n);
    setOne(b);
}

bool ExternalRegistry::define(std::wstring_view name, ExternalFunction fn) {
    if (name.empty() || !fn) return false;
    std::wstring key = core::toUpper(name);
    mFunctions[key] = std::move(fn);
    mIn.symbols().intern(key)->value =
        Value::object(Kind::ExSubr, std::make_shared<ExternalObj>(key));
    return true;
}

bool ExternalRegistry::undefine(std::wstring_view name) {
    std::wstring key = core::toUpper(name);
    auto it = mFunctions.find(key);
    if (it == mFunctions.end()) return false;
    mFunctions.erase(it);
    Symbol* sym = mIn.symbols().find(key);
    if (sym && sym->value.kind() == Kind::ExSubr && sym->value.as<ExternalObj>().name == key)
        sym->value = Value();
    return true;
}

bool ExternalRegistry::contains(std::wstring_view name) const {
    return mFunctions.count(core::toUpper(name)) != 0;
}

const ExternalFunction* ExternalRegistry::find(std::wstring_view name) const {
    auto it = mFunctions.find(core::toUpper(name));
    return it == mFunctions.end() ? nullptr : &it->second;
}

} // namespace zel::lisp
