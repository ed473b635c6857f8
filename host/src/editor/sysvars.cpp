#include "editor/sysvars.h"

#include "core/resbuf.h"
#include "db/database_impl.h"

#include "arx/db.h"

#include <cassert>
#include <cmath>
#include <cstring>

namespace zel::editor {

namespace {

bool isInteger(VarType t) {
    return t == VarType::Int16 || t == VarType::Int32;
}
[[maybe_unused]] bool isPoint(VarType t) { // used by an assert only
    return t == VarType::Point2d || t == VarType::Point3d;
}

bool inRange(const SysVarDef& def, const VarValue& v) {
    if (!def.hasRange()) return true;
    double x =
        std::holds_alternative<int64_t>(v) ? double(std::get<int64_t>(v)) : std::get<double>(v);
    return x >= def.lo && x <= def.hi;
}

// The header value of a generic drawing variable.
ZelGroupValue groupValue(const SysVarDef& def, const VarValue& v) {
    ZelGroupValue g;
    g.code = def.code;
    if (std::holds_alternative<int64_t>(v))
        g.integer = std::get<int64_t>(v);
    else if (std::holds_alternative<double>(v))
        g.real = std::get<double>(v);
    else if (std::holds_alternative<std::wstring>(v))
        g.text = std::get<std::wstring>(v);
    else
        g.point = std::get<AcGePoint3d>(v);
    if (def.type == VarType::Point2d) {
        g.point.z = 0;
        g.flat = true;
    }
    return g;
}

} // namespace

std::optional<VarValue> coerce(VarType type, const VarValue& value) {
    if (isInteger(type)) {
        if (!std::holds_alternative<int64_t>(value)) return std::nullopt;
        int64_t n = std::get<int64_t>(value);
        bool fits = type == VarType::Int16 ? n >= INT16_MIN && n <= INT16_MAX
                                           : n >= INT32_MIN && n <= INT32_MAX;
        return fits ? std::optional<VarValue>(value) : std::nullopt;
    }
    if (type == VarType::Real) {
        double x = 0;
        if (std::holds_alternative<double>(value))
            x = std::get<double>(value);
        else if (std::holds_alternative<int64_t>(value))
            x = double(std::get<int64_t>(value));
        else
            return std::nullopt;
        return std::isfinite(x) ? std::optional<VarValue>(x) : std::nullopt;
    }
    if (type == VarType::String) {
        if (!std::holds_alternative<std::wstring>(value)) return std::nullopt;
        return value;
    }
    assert(isPoint(type) && "every variable type is handled");
    if (!std::holds_alternative<AcGePoint3d>(value)) return std::nullopt;
    AcGePoint3d pt = std::get<AcGePoint3d>(value);
    if (!std::isfinite(pt.x) || !std::isfinite(pt.y) || !std::isfinite(pt.z)) return std::nullopt;
    if (type == VarType::Point2d) pt.z = 0;
    return pt;
}

std::optional<VarValue> valueOf(const resbuf& rb) {
    switch (rb.restype) {
    case RTSHORT:
        return int64_t(rb.resval.rint);
    case RTLONG:
        return int64_t(rb.resval.rlong);
    case RTREAL:
    case RTANG:
    case RTORINT:
        return rb.resval.rreal;
    case RTSTR:
        if (!rb.resval.rstring) return std::nullopt;
        return std::wstring(rb.resval.rstring);
    case RTPOINT:
        return AcGePoint3d(rb.resval.rpoint[X], rb.resval.rpoint[Y], 0);
    case RT3DPOINT:
        return AcGePoint3d(rb.resval.rpoint[X], rb.resval.rpoint[Y], rb.resval.rpoint[Z]);
    default:
        return std::nullopt;
    }
}

// ---- SysVars ------------------------------------------------------------------------------

VarValue SysVars::readDrawing(const SysVarDef& def) const {
    if (!mDb) return def.dflt;
    if (def.db) return def.db->get(*mDb);
    const db::HeaderVars& h = mDb->impl().header();
    switch (def.type) {
    case VarType::Int16:
    case VarType::Int32:
        return h.integer(def.header, std::get<int64_t>(def.dflt));
    case VarType::Real:
        return h.real(def.header, std::get<double>(def.dflt));
    case VarType::String:
        return h.text(def.header, std::get<std::wstring>(def.dflt));
    case VarType::Point2d: {
        AcGePoint3d pt = h.point(def.header, std::get<AcGePoint3d>(def.dflt));
        pt.z = 0;
        return pt;
    }
    case VarType::Point3d:
        return h.point(def.header, std::get<AcGePoint3d>(def.dflt));
    }
    return def.dflt;
}

bool SysVars::writeDrawing(const SysVarDef& def, const VarValue& value) {
    assert(mDb && "drawing variables are written only with a drawing");
    if (def.db) return def.db->set(*mDb, value);
    mDb->impl().setHeader(def.header, {groupValue(def, value)});
    return true;
}

std::optional<VarValue> SysVars::get(std::wstring_view name) const {
    const SysVarDef* def = findSysVar(name);
    if (!def) return std::nullopt;
    if (def->store == VarStore::Drawing) return readDrawing(*def);
    auto provider = mProviders.find(def->name);
    if (provider != mProviders.end()) return provider->second();
    auto it = mSession.find(def->name);
    return it == mSession.end() ? def->dflt : it->second;
}

SetStatus SysVars::store(const SysVarDef& def, const VarValue& value) {
    std::optional<VarValue> v = coerce(def.type, value);
    if (!v) return SetStatus::WrongType;
    if (!inRange(def, *v) || (def.accepts && !def.accepts(*v))) return SetStatus::OutOfRange;
    if (def.store == VarStore::Drawing) {
        if (!mDb) return SetStatus::NoDrawing;
        if (!writeDrawing(def, *v)) return SetStatus::Refused;
    } else {
        mSession.insert_or_assign(std::wstring(def.name), std::move(*v));
    }
    notify(def.name);
    return SetStatus::Ok;
}

SetStatus SysVars::set(std::wstring_view name, const VarValue& value) {
    const SysVarDef* def = findSysVar(name);
    if (!def) return SetStatus::Unknown;
    if (def->readOnly) return SetStatus::ReadOnly;
    return store(*def, value);
}

SetStatus SysVars::setInternal(std::wstring_view name, const VarValue& value) {
    const SysVarDef* def = findSysVar(name);
    if (!def) return SetStatus::Unknown;
    return store(*def, value);
}

int64_t SysVars::integer(std::wstring_view name) const {
    std::optional<VarValue> v = get(name);
    assert(v && std::holds_alternative<int64_t>(*v) && "an integer variable");
    return v && std::holds_alternative<int64_t>(*v) ? std::get<int64_t>(*v) : 0;
}

double SysVars::real(std::wstring_view name) const {
    std::optional<VarValue> v = get(name);
    assert(v && std::holds_alternative<double>(*v) && "a real variable");
    return v && std::holds_alternative<double>(*v) ? std::get<double>(*v) : 0.0;
}

std::wstring SysVars::string(std::wstring_view name) const {
    std::optional<VarValue> v = get(name);
    assert(v && std::holds_alternative<std::wstring>(*v) && "a string variable");
    return v && std::holds_alternative<std::wstring>(*v) ? std::get<std::wstring>(*v)
                                                         : std::wstring();
}

AcGePoint3d SysVars::point(std::wstring_view name) const {
    std::optional<VarValue> v = get(name);
    assert(v && std::holds_alternative<AcGePoint3d>(*v) && "a point variable");
    return v && std::holds_alternative<AcGePoint3d>(*v) ? std::get<AcGePoint3d>(*v) : AcGePoint3d();
}

int SysVars::getRb(std::wstring_view name, resbuf* result) const {
    const SysVarDef* def = findSysVar(name);
    if (!def || !result) return RTERROR;
    std::optional<VarValue> v = get(name);
    if (!v) return RTERROR;
    switch (def->type) {
    case VarType::Int16:
        result->resval.rint = static_cast<short>(std::get<int64_t>(*v));
        break;
    case VarType::Int32:
        result->resval.rlong = static_cast<int32_t>(std::get<int64_t>(*v));
        break;
    case VarType::Real:
        result->resval.rreal = std::get<double>(*v);
        break;
    case VarType::String: {
        ACHAR* s = core::rbDupString(std::get<std::wstring>(*v));
        if (!s) return RTERROR;
        result->resval.rstring = s;
        break;
    }
    case VarType::Point2d:
    case VarType::Point3d: {
        const AcGePoint3d& pt = std::get<AcGePoint3d>(*v);
        result->resval.rpoint[X] = pt.x;
        result->resval.rpoint[Y] = pt.y;
        result->resval.rpoint[Z] = def->type == VarType::Point2d ? 0.0 : pt.z;
        break;
    }
    }
    result->restype = static_cast<short>(resultType(def->type));
    return RTNORM;
}

int SysVars::setRb(std::wstring_view name, const resbuf* value) {
    if (!value) return RTERROR;
    std::optional<VarValue> v = valueOf(*value);
    if (!v) return RTERROR;
    return set(name, *v) == SetStatus::Ok ? RTNORM : RTERROR;
}

void SysVars::setProvider(std::wstring_view name, Provider provider) {
    const SysVarDef* def = findSysVar(name);
    assert(def && def->store == VarStore::Session && "providers serve session variables");
    if (!def) return;
    if (provider)
        mProviders.insert_or_assign(std::wstring(def->name), std::move(provider));
    else
        mProviders.erase(std::wstring(def->name));
}

int SysVars::addObserver(Observer observer) {
    int id = mNextObserver++;
    mObservers.emplace_back(id, std::move(observer));
    return id;
}

void SysVars::removeObserver(int id) {
    std::erase_if(mObservers, [id](const auto& o) { return o.first == id; });
}

void SysVars::notify(std::wstring_view name) {
    auto observers = mObservers; // an observer may add or remove observers
    for (const auto& [id, fn] : observers)
        fn(name);
}

} // namespace zel::editor
