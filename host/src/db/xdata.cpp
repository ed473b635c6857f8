// Extended data of objects as result-buffer lists. A list is a run of application groups:
// (1001 . "APP") followed by its values (codes 1000..1071); the -3 marker of entity data
// lists is not part of it. setXData replaces the data of each application in the list, and
// an application given without values loses its data. Every application must be in the
// APPID table (eRegappIdNotFound); the data of one object is limited to 16 KB.
#include "db/xdata.h"
#include "db/access.h"
#include "db/database_impl.h"
#include "db/rbgroups.h"

#include "core/text.h"

namespace {

constexpr size_t kXDataLimit = 16383; // bytes per object, as files of other programs allow

size_t groupSize(const ZelGroupValue& v) {
    switch (zel::core::rbKind(v.code)) {
    case zel::core::RbKind::Point:
        return 2 + 24;
    case zel::core::RbKind::Real:
    case zel::core::RbKind::Int64:
        return 2 + 8;
    case zel::core::RbKind::Long:
        return 2 + 4;
    case zel::core::RbKind::Short:
        return 2 + 2;
    case zel::core::RbKind::Binary:
        return 2 + 1 + v.text.size() / 2;
    case zel::core::RbKind::String:
        return 2 + 2 + (v.code == 1005 ? 8 : v.text.size());
    case zel::core::RbKind::Invalid:
    case zel::core::RbKind::None:
    case zel::core::RbKind::Name:
        return 2;
    }
    return 2;
}

size_t xdataSize(const std::vector<AcDbXDataGroup>& groups) {
    size_t n = 0;
    for (const AcDbXDataGroup& g : groups) {
        n += 2 + 2 + g.appName.size();
        for (const ZelGroupValue& v : g.values)
            n += groupSize(v);
    }
    return n;
}

bool registered(AcDbDatabase* db, const std::wstring& app) {
    if (!db) return true; // an object outside any drawing: checked when it is added
    auto* table = zel::db::peekAs<AcDbRegAppTable>(db->regAppTableId());
    return table && table->has(app.c_str());
}

// Checks one value of an application's data; braces are counted by the caller.
bool validValue(const ZelGroupValue& v, int& depth) {
    if (v.code < 1000 || v.code > 1071 || v.code == 1001) return false;
    if (v.code == 1002) {
        if (v.text == L"{")
            ++depth;
        else if (v.text == L"}")
            --depth;
        else
            return false;
        return depth >= 0;
    }
    if (v.code == 1004) return v.text.size() / 2 <= 127;
    return true;
}

// Parses the list into application groups; eInvalidInput for a malformed list.
Acad::ErrorStatus parseList(const resbuf* rb, std::vector<AcDbXDataGroup>& out) {
    for (; rb; rb = rb->rbnext) {
        ZelGroupValue v;
        std::wstring why;
        if (!zel::db::groupFromRb(*rb, v, why)) return Acad::eInvalidInput;
        if (v.code == 1001) {
            if (v.text.empty()) return Acad::eInvalidInput;
            out.push_back(AcDbXDataGroup{v.text, {}});
            continue;
        }
        if (out.empty()) return Acad::eInvalidInput; // values before any application
        out.back().values.push_back(std::move(v));
    }
    for (const AcDbXDataGroup& g : out) {
        int depth = 0;
        for (const ZelGroupValue& v : g.values)
            if (!validValue(v, depth)) return Acad::eInvalidInput;
        if (depth != 0) return Acad::eInvalidInput;
    }
    return Acad::eOk;
}

} // namespace

resbuf* AcDbObject::xData(const ACHAR* appName) const {
    zel::core::RbBuilder list;
    for (const AcDbXDataGroup& g : mXData) {
        if (appName && !zel::core::equalsNoCase(g.appName, appName)) continue;
        list.addString(1001, g.appName);
        for (const ZelGroupValue& v : g.values)
            zel::db::appendGroupRb(list, v, database());
    }
    return list.take().release();
}

namespace zel::db {

Acad::ErrorStatus mergeXData(const std::vector<AcDbXDataGroup>& current, const resbuf* list,
                             AcDbDatabase* db, std::vector<AcDbXDataGroup>& result) {
    std::vector<AcDbXDataGroup> given;
    if (Acad::ErrorStatus es = parseList(list, given); es != Acad::eOk) return es;
    result = current;
    for (AcDbXDataGroup& g : given) {
        if (!registered(db, g.appName)) return Acad::eRegappIdNotFound;
        auto same = [&](const AcDbXDataGroup& x) {
            return zel::core::equalsNoCase(x.appName, g.appName);
        };
        auto it = std::find_if(result.begin(), result.end(), same);
        if (g.values.empty()) {
            if (it != result.end()) result.erase(it);
        } else if (it != result.end()) {
            it->values = std::move(g.values);
        } else {
            result.push_back(std::move(g));
        }
    }
    return xdataSize(result) > kXDataLimit ? Acad::eXdataSizeExceeded : Acad::eOk;
}

} // namespace zel::db

Acad::ErrorStatus AcDbObject::setXData(const resbuf* xdata) {
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    AcDbDatabase* db = database() ? database() : zel::db::workingDatabase();
    std::vector<AcDbXDataGroup> result;
    Acad::ErrorStatus es = zel::db::mergeXData(mXData, xdata, db, result);
    if (es != Acad::eOk) return es;
    assertWriteEnabled();
    mXData = std::move(result);
    return Acad::eOk;
}
