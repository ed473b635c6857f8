#include "common/services/hoststate.h"
#include "common/services/wtext.h"

#include "arx/dbads.h"
#include "arx/dbents.h"
#include "arx/dbmain.h"
#include "arx/dbsymtb.h"
#include "arx/ed.h"
#include "common/services/sysvar.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cwchar>
#include <cwctype>

namespace {

bool highlightOne(const ads_name ent, bool on) {
    AcDbObjectId id;
    if (acdbGetObjectId(id, ent) != Acad::eOk) return false;
    AcDbEntity* e = nullptr;
    if (acdbOpenAcDbEntity(e, id, AcDb::kForRead) != Acad::eOk || !e) return false;
    if (on)
        e->highlight();
    else
        e->unhighlight();
    e->close();
    return true;
}

} // namespace

int GetSysVar(const ACHAR* name, resbuf* result) {
    int rc = acedGetVar(name, result);
    if (rc != RTNORM) return rc;
    if (UpperText(name) != L"CECOLOR") return RTNORM;
    if (result->restype != RTSTR || !result->resval.rstring) return RTNORM;
    static const wchar_t* const kNames[] = {L"RED",  L"YELLOW",  L"GREEN", L"CYAN",
                                            L"BLUE", L"MAGENTA", L"WHITE"};
    std::wstring value = UpperText(result->resval.rstring);
    for (int i = 0; i < 7; ++i) {
        if (value != kNames[i]) continue;
        std::free(result->resval.rstring);
        result->resval.rstring = wcsdup(std::to_wstring(i + 1).c_str());
        break;
    }
    return RTNORM;
}

void SetOsmode(int bits) {
    SetShortVar(L"OSMODE", bits);
}

int HighlightSet(const ads_name ss, bool on) {
    if (IntVar(L"HIGHLIGHT", 0) < 1 && on) return 0;
    int32_t n = 0;
    if (acedSSLength(ss, &n) != RTNORM || n < 1) return 0;
    int count = 0;
    for (int32_t i = 0; i < n; ++i) {
        ads_name ent;
        if (acedSSName(ss, i, ent) != RTNORM) break;
        if (on && IntVar(L"HIGHLIGHT", 0) <= 0) continue;
        if (highlightOne(ent, on)) ++count;
    }
    return count;
}

int HighlightEntity(const ads_name ent, bool on) {
    if (IntVar(L"HIGHLIGHT", 0) < 1 && on) return 0;
    return highlightOne(ent, on) ? 1 : 0;
}

bool LastEntity(ads_name ent) {
    ads_name at;
    if (acdbEntLast(at) != RTNORM) return false;
    ads_name next;
    while (acdbEntNext(at, next) == RTNORM) {
        at[0] = next[0];
        at[1] = next[1];
    }
    ent[0] = at[0];
    ent[1] = at[1];
    return true;
}

const resbuf* FindGroup(const resbuf* list, int code) {
    for (const resbuf* rb = list; rb; rb = rb->rbnext)
        if (rb->restype == code) return rb;
    return nullptr;
}

int RealToText(double value, int units, int precision, ACHAR* buf, size_t size) {
    int old = IntVar(L"DIMZIN", 8);
    if (old != 8) SetShortVar(L"DIMZIN", 8);
    int rc = acdbRToS(value, units, precision, buf, size);
    if (old != 8) SetShortVar(L"DIMZIN", old);
    return rc;
}

// Nothing waits to be drawn: the host draws as it changes.
void PumpMessages(int) {}

int ContrastGrey() {
    constexpr int kLightGrey = (188 << 16) | (188 << 8) | 188;
    constexpr int kDarkGrey = (51 << 16) | (51 << 8) | 51;
    ACHAR text[4000] = L"";
    long rgb = 0;
    if (acedGetEnv(L"Background", text, 4000) == RTNORM) rgb = std::wcstol(text, nullptr, 10);
    int r = int(rgb & 0xFF), g = int((rgb >> 8) & 0xFF), b = int((rgb >> 16) & 0xFF);
    int mx = std::max({r, g, b}), mn = std::min({r, g, b});
    double lightness = ((mx + mn) * 240.0 + 255) / (2 * 255); // 0 .. 240, as the HLS model
    int k = int(std::lround(std::floor(lightness) * 100 / 240)) - 27;
    return k >= 0 ? kLightGrey : kDarkGrey;
}

void LockLayers(const std::vector<AcDbObjectId>& layers) {
    for (const AcDbObjectId& id : layers) {
        AcDbLayerTableRecord* rec = nullptr;
        if (acdbOpenObject(rec, id, AcDb::kForWrite) != Acad::eOk || !rec) continue;
        rec->setIsLocked(true);
        rec->close();
    }
}

void UnlockAllLayers(std::vector<AcDbObjectId>& layers) {
    AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    AcDbLayerTable* table = nullptr;
    if (!db || db->getSymbolTable(table, AcDb::kForRead) != Acad::eOk || !table) return;
    std::vector<AcDbObjectId> ids = table->recordIds();
    table->close();
    size_t first = layers.size();
    for (const AcDbObjectId& id : ids) {
        AcDbLayerTableRecord* rec = nullptr;
        if (acdbOpenObject(rec, id, AcDb::kForRead) != Acad::eOk || !rec) continue;
        if (rec->isLocked()) layers.push_back(id);
        rec->close();
    }
    for (size_t i = first; i < layers.size(); ++i) {
        AcDbLayerTableRecord* rec = nullptr;
        if (acdbOpenObject(rec, layers[i], AcDb::kForWrite) != Acad::eOk || !rec) continue;
        rec->setIsLocked(false);
        rec->close();
    }
}

bool SelectionUnion(const ads_name first, const ads_name second, ads_name result) {
    bool made = false;
    auto addAll = [&](const ads_name ss) {
        int32_t n = 0;
        if ((!ss[0] && !ss[1]) || acedSSLength(ss, &n) != RTNORM) return;
        for (int32_t i = 0; i < n; ++i) {
            ads_name ent;
            if (acedSSName(ss, i, ent) != RTNORM) continue;
            if (acedSSAdd(ent, made ? result : nullptr, result) == RTNORM) made = true;
        }
    };
    addAll(first);
    addAll(second);
    return made;
}

void AddSelectionIds(const ads_name ss, std::vector<AcDbObjectId>& ids) {
    int32_t n = 0;
    if (acedSSLength(ss, &n) != RTNORM) return;
    for (int32_t i = 0; i < n; ++i) {
        ads_name ent;
        AcDbObjectId id;
        if (acedSSName(ss, i, ent) == RTNORM && acdbGetObjectId(id, ent) == Acad::eOk)
            ids.push_back(id);
    }
}

bool XdataValue(const resbuf* list, const ACHAR* key, std::wstring& value) {
    for (const resbuf* rb = list; rb; rb = rb->rbnext) {
        if (rb->restype != 1000 || !rb->resval.rstring || std::wcscmp(rb->resval.rstring, key))
            continue;
        const resbuf* item = rb->rbnext;
        if (!item) {
            value.clear();
            return true;
        }
        wchar_t buf[64];
        if (item->restype == 1070) {
            std::swprintf(buf, 64, L"%d", item->resval.rint);
            value = buf;
        } else if (item->restype == 1040) {
            std::swprintf(buf, 64, L"%.3f", item->resval.rreal);
            value = buf;
        } else {
            bool text = item->restype == 1000 || item->restype == 1003 || item->restype == 1005;
            value = text && item->resval.rstring ? item->resval.rstring : L"";
        }
        return true;
    }
    return false;
}

AcDbObjectId HandleToId(const ACHAR* handle) {
    ads_name ent;
    AcDbObjectId id;
    if (acdbHandEnt(handle, ent) != RTNORM || acdbGetObjectId(id, ent) != Acad::eOk) return {};
    return id.isErased() ? AcDbObjectId() : id;
}
