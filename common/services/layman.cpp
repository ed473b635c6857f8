#include "common/services/layman.h"
#include "common/services/wtext.h"

#include "arx/dbmain.h"
#include "arx/dbsymtb.h"
#include "arx/ed.h"
#include "common/services/sysvar.h"
#include "common/support/zelsupport.h"

#include <cstdlib>
#include <cwchar>
#include <cwctype>
#include <memory>

namespace {

constexpr int kLineKindRows = 200;
constexpr int kRowWithoutColour = 4; // its colour is never made current
constexpr const ACHAR* kNotSet = L"*";

const ACHAR* const kLineKeys[] = {L"Par", L"Lin", L"Col", L"Fnm", L"Lay",
                                  L"Lln", L"Lcl", L"Lfn", L"Wat", L"Lwt"};
// The text-height table has no Lin, Fnm, Lln and Lfn.
constexpr bool kTextHeightHas[] = {true, false, true, false, true, false, true, false, true, true};

int toInt(const std::wstring& s) {
    return int(std::wcstol(s.c_str(), nullptr, 10));
}

std::wstring cmn(const std::wstring& key, const ACHAR* def) {
    std::wstring v;
    ZelGetCmnText(key.c_str(), v, def);
    return v;
}

// A variable's value as text (numbers in decimal), or nothing when it cannot be read.
bool varText(const ACHAR* var, std::wstring& out) {
    resbuf rb{};
    if (acedGetVar(var, &rb) != RTNORM) return false;
    if (rb.restype == RTSTR) {
        out = rb.resval.rstring ? rb.resval.rstring : L"";
        std::free(rb.resval.rstring);
        return true;
    }
    if (rb.restype == RTSHORT) out = std::to_wstring(rb.resval.rint);
    if (rb.restype == RTLONG) out = std::to_wstring(rb.resval.rlong);
    return rb.restype == RTSHORT || rb.restype == RTLONG;
}

AcDbDatabase* workingDb() {
    return acdbHostApplicationServices()->workingDatabase();
}

} // namespace

std::wstring NormalizeLineweight(const std::wstring& text) {
    std::wstring u = UpperText(text);
    if (u == L"BYLAYER") return L"-1";
    if (u == L"BYBLOCK") return L"-2";
    if (u == L"DEFAULT") return L"-3";
    if (text == kUnspecified) return text;
    std::wstring digits;
    for (wchar_t c : u)
        if (c != L'M') digits += c;
    double mm = std::wcstod(TrimBlanks(digits).c_str(), nullptr);
    return std::to_wstring(int(mm * 100 + 0.5));
}

int ColorFromText(const ACHAR* text) {
    std::wstring t = TrimBlanks(text ? text : L"");
    int n = toInt(t);
    if (n != 0) return n;
    if (t == L"0") return 0;
    static const std::pair<const wchar_t*, int> kNames[] = {
        {L"RED", 1},     {L"YELLOW", 2}, {L"GREEN", 3},     {L"CYAN", 4},    {L"BLUE", 5},
        {L"MAGENTA", 6}, {L"WHITE", 7},  {L"BYLAYER", 256}, {L"BYBLOCK", 0},
    };
    std::wstring u = UpperText(t);
    for (const auto& [name, index] : kNames)
        if (u == name) return index;
    return 0;
}

bool LinetypeIdByName(const ACHAR* name, AcDbObjectId& id) {
    AcDbDatabase* db = workingDb();
    AcDbLinetypeTable* table = nullptr;
    if (!db || !name || db->getLinetypeTable(table, AcDb::kForRead) != Acad::eOk) return false;
    bool found = table->getAt(name, id) == Acad::eOk;
    table->close();
    return found;
}

int LoadLinetypeFile(const ACHAR* name, const ACHAR* file) {
    std::wstring path = UpperText(file ? file : L"");
    if (path.size() < 4 || path.substr(path.size() - 4) != L".LIN") path += L".LIN";
    if (path.find(L'/') == std::wstring::npos && path.find(L'\\') == std::wstring::npos) {
        ACHAR found[256];
        if (acedFindFile(path.c_str(), found, 256) != RTNORM) return 0;
        path = found;
    }
    AcDbObjectId id;
    if (LinetypeIdByName(name, id)) return 1;
    AcDbDatabase* db = workingDb();
    return db && acdbLoadLineTypeFile(name, path.c_str(), db) == Acad::eOk ? 1 : 0;
}

CZelLayManager::CZelLayManager(int tableKind, int row) : mKind(tableKind), mRow(row) {
    if (row == -1 || !LoadEntry()) return;
    if (mKind != 1) LoadLinetypes(row);
    CreateLayer();
}

CZelLayManager::~CZelLayManager() {
    if (!mSavedLayer.empty() || !mSavedLinetype.empty() || !mSavedColour.empty() ||
        !mSavedWeight.empty())
        RestoreCurrent();
}

int CZelLayManager::rowBound() const {
    if (mKind != 1) return kLineKindRows;
    return ZelGetCmnInt(L"ZelTextHeight/ZelTextHeightLot", -1);
}

bool CZelLayManager::hasKey(Field f) const {
    return mKind != 1 || kTextHeightHas[f];
}

std::wstring CZelLayManager::key(Field f, int row) const {
    wchar_t buf[64];
    if (mKind == 1)
        std::swprintf(buf, 64, L"ZelTextHeight/%ls%02d", kLineKeys[f], row);
    else
        std::swprintf(buf, 64, L"ZelLineType/%ls%03d", kLineKeys[f], row);
    return buf;
}

int CZelLayManager::LoadEntry() {
    mSavedLayer.clear();
    mSavedLinetype.clear();
    mSavedColour.clear();
    mSavedWeight.clear();
    if (mRow < 0 || mRow >= rowBound()) return 0;
    for (int f = kPar; f <= kLfn; ++f) {
        mFields[f].clear();
        if (!hasKey(Field(f))) continue;
        std::wstring v = cmn(key(Field(f), mRow), kNotSet);
        if (v != kNotSet) mFields[f] = v;
    }
    for (Field f : {kWat, kLwt}) {
        mFields[f].clear();
        if (hasKey(f)) mFields[f] = NormalizeLineweight(cmn(key(f, mRow), L"DEFAULT"));
    }
    return 1;
}

int CZelLayManager::LoadLinetypes(int row) {
    auto pass = [&](Field nameKey, Field fileKey) -> int {
        std::wstring name = cmn(key(nameKey, row), kNotSet);
        if (name == kNotSet || name == kUnspecified) return -1;
        name = name.substr(0, name.find(L'\t'));
        std::wstring file = cmn(key(fileKey, row), kNotSet);
        if (file == kNotSet) return -1;
        return LoadLinetypeFile(name.c_str(), file.c_str());
    };
    int entity = pass(kLin, kFnm);
    if (entity == -1) return 0;
    std::wstring layer = cmn(key(kLay, row), kNotSet);
    if (layer == kNotSet || layer.empty()) return entity;
    return pass(kLln, kLfn) == 1 && entity == 1;
}

int CZelLayManager::CreateLayer() {
    mLayerReady = 0;
    const std::wstring& name = mFields[kLay];
    AcDbDatabase* db = workingDb();
    AcDbLayerTable* table = nullptr;
    if (name.empty() || !db || db->getLayerTable(table, AcDb::kForRead) != Acad::eOk) return 0;
    if (table->has(name.c_str())) {
        table->close();
        return mLayerReady = 1;
    }
    if (table->upgradeOpen() != Acad::eOk) {
        acutPrintf(L"\n[Zelｴﾗｰ]図面を書き込みﾓｰﾄﾞで開けません.");
        table->close();
        return 0;
    }
    auto record = std::make_unique<AcDbLayerTableRecord>();
    if (record->setName(name.c_str()) != Acad::eOk) {
        acutPrintf(L"\n[Zelｴﾗｰ]画層の作成に失敗しました(1).");
        table->close();
        return 0;
    }
    AcDbObjectId linetype;
    if (mKind != 1 && LinetypeIdByName(mFields[kLln].c_str(), linetype))
        record->setLinetypeObjectId(linetype);
    if (mKind == 1 && LinetypeIdByName(L"Continuous", linetype))
        record->setLinetypeObjectId(linetype);
    record->setColorIndex(int16_t(toInt(mFields[kLcl])));
    if (!mFields[kLwt].empty() && mFields[kLwt] != kUnspecified)
        record->setLineWeight(AcDb::LineWeight(toInt(mFields[kLwt])));
    if (table->add(record.get()) != Acad::eOk) {
        acutPrintf(L"\n[Zelｴﾗｰ]画層の作成に失敗しました(2).");
        table->close();
        return 0;
    }
    record.release()->close(); // the drawing owns it now
    table->close();
    return mLayerReady = 1;
}

int CZelLayManager::FindEntry(const ACHAR* name, int tableKind) const {
    int kind = tableKind != -1 ? tableKind : mKind;
    if (kind == -1 || !name) return -1;
    int rows = kind == 0 ? kLineKindRows : ZelGetCmnInt(L"ZelTextHeight/ZelTextHeightLot", -1);
    Field f = kPar;
    if (mKind != 1 && ZelGetCmnInt(L"ZelLineType/Use", 1) == 0) f = kLin;
    std::wstring wanted = UpperText(name);
    for (int row = 0; row < rows; ++row)
        if (UpperText(cmn(key(f, row), kNotSet)) == wanted) return row;
    return -1;
}

bool CZelLayManager::saveThenSet(const ACHAR* var, std::wstring& saved, const std::wstring& value) {
    std::wstring now;
    if (varText(var, now)) saved = now;
    return SetTextVar(var, value) == RTNORM;
}

int CZelLayManager::SetCurrent(int row) {
    int r = row == -1 ? mRow : row;
    if (r < 0) return 0;
    bool ok = true;
    bool colourAllowed = mRow != kRowWithoutColour;
    if (!mFields[kLay].empty()) {
        ok = saveThenSet(L"CLAYER", mSavedLayer, mFields[kLay]) && ok;
        ok = saveThenSet(L"CELTYPE", mSavedLinetype, mFields[kLin]) && ok;
        if (colourAllowed) ok = saveThenSet(L"CECOLOR", mSavedColour, mFields[kCol]) && ok;
    } else {
        mSavedLayer.clear();
        if (mFields[kLin] != kUnspecified)
            ok = saveThenSet(L"CELTYPE", mSavedLinetype, mFields[kLin]) && ok;
        if (toInt(mFields[kCol]) >= 0 && colourAllowed)
            ok = saveThenSet(L"CECOLOR", mSavedColour, mFields[kCol]) && ok;
    }
    int w = toInt(mFields[kWat]);
    if (UpperText(mFields[kWat]) != kUnspecified && w >= -3) {
        std::wstring now;
        if (varText(L"CELWEIGHT", now)) mSavedWeight = now;
        ok = SetShortVar(L"CELWEIGHT", w) == RTNORM && ok;
    }
    return ok ? 1 : 0;
}

int CZelLayManager::RestoreCurrent() {
    bool ok = true;
    if (!mSavedColour.empty()) ok = SetTextVar(L"CECOLOR", mSavedColour) == RTNORM && ok;
    if (!mSavedLinetype.empty()) ok = SetTextVar(L"CELTYPE", mSavedLinetype) == RTNORM && ok;
    if (!mSavedLayer.empty()) ok = SetTextVar(L"CLAYER", mSavedLayer) == RTNORM && ok;
    if (!mSavedWeight.empty()) ok = SetShortVar(L"CELWEIGHT", toInt(mSavedWeight)) == RTNORM && ok;
    return ok ? 1 : 0;
}

bool CZelLayManager::ApplyToEntity(AcDbEntity* e) const {
    if (!e) return false;
    Acad::ErrorStatus last = Acad::eOk;
    int c = ColorFromText(mFields[kCol].c_str());
    if (c != -1) last = e->setColorIndex(int16_t(c));
    if (!mFields[kLin].empty()) {
        AcDbObjectId id;
        last = LinetypeIdByName(mFields[kLin].c_str(), id) ? e->setLinetype(id)
                                                           : e->setLinetype(mFields[kLin].c_str());
    }
    if (!mFields[kLay].empty()) last = e->setLayer(mFields[kLay].c_str());
    if (!mFields[kWat].empty() && mFields[kWat] != kUnspecified)
        last = e->setLineWeight(AcDb::LineWeight(toInt(mFields[kWat])));
    return last == Acad::eOk;
}
