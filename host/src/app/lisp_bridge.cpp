#include "app/lisp_bridge.h"

#include "arx/db.h"
#include "arx/ed.h"

#include <string>

namespace zel::app {

namespace {

// The points of "F", "WP" and "CP" come as a list; the others as pt1 and pt2.
int ssget(const lisp::SsGetRequest& r, ads_name out) {
    const wchar_t* mode = r.mode ? r.mode->c_str() : nullptr;
    std::wstring upper = r.mode ? *r.mode : L"";
    for (wchar_t& c : upper)
        c = wchar_t(towupper(c));
    if (!upper.empty() && upper[0] == L'_') upper.erase(0, 1);
    bool listMode = upper == L"F" || upper == L"WP" || upper == L"CP";
    if (listMode) return acedSSGet(mode, r.pointList.get(), nullptr, r.filter.get(), out);
    const void* p1 = r.pointCount > 0 ? r.pt1 : nullptr;
    const void* p2 = r.pointCount > 1 ? r.pt2 : nullptr;
    return acedSSGet(mode, p1, p2, r.filter.get(), out);
}

} // namespace

void connectDrawingFunctions(lisp::HostBridge& b) {
    b.ssget = ssget;
    b.sslength = [](const ads_name ss, int32_t* n) { return acedSSLength(ss, n); };
    b.sssetfirst = [](const ads_name pickset) { return acedSSSetFirst(pickset, nullptr); };
    b.ssname = [](const ads_name ss, int32_t i, ads_name e) { return acedSSName(ss, i, e); };
    b.ssadd = [](const ads_name e, const ads_name ss, ads_name out) {
        return acedSSAdd(e, ss, out);
    };
    b.ssdel = [](const ads_name e, const ads_name ss) { return acedSSDel(e, ss); };
    b.ssmemb = [](const ads_name e, const ads_name ss) { return acedSSMemb(e, ss); };
    b.ssRelease = [](const ads_name ss) { acedSSFree(ss); };
    b.entget = [](const ads_name e, const resbuf* apps) {
        return core::RbPtr(apps ? acdbEntGetX(e, apps) : acdbEntGet(e));
    };
    b.entmod = [](const resbuf* data) { return acdbEntMod(data); };
    b.entmake = [](const resbuf* data, ads_name made) {
        int rc = acdbEntMake(data);
        if (rc == RTNORM) acdbEntLast(made);
        return rc;
    };
    b.entdel = [](const ads_name e) { return acdbEntDel(e); };
    b.entupd = [](const ads_name e) { return acdbEntUpd(e); };
    b.entlast = [](ads_name out) { return acdbEntLast(out); };
    b.entnext = [](const ads_name from, ads_name out) { return acdbEntNext(from, out); };
    b.handent = [](std::wstring_view h, ads_name out) {
        return acdbHandEnt(std::wstring(h).c_str(), out);
    };
    b.findfile = [](std::wstring_view name) -> std::optional<std::wstring> {
        ACHAR found[4096];
        if (acedFindFile(std::wstring(name).c_str(), found) != RTNORM) return std::nullopt;
        return std::wstring(found);
    };
    b.entsel = [](std::wstring_view prompt, ads_name ent, ads_point picked) {
        std::wstring p(prompt);
        return acedEntSel(p.empty() ? nullptr : p.c_str(), ent, picked);
    };
}

} // namespace zel::app
