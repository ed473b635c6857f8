#include "db/header.h"

#include "core/text.h"

#include <map>

namespace zel::db {

namespace {

std::wstring key(std::wstring_view name) {
    return core::toUpper(name);
}

} // namespace

long HeaderVars::indexOf(std::wstring_view name) const {
    auto it = mIndex.find(key(name));
    return it == mIndex.end() ? -1 : long(it->second);
}

const std::vector<ZelGroupValue>* HeaderVars::find(std::wstring_view name) const {
    long i = indexOf(name);
    return i < 0 ? nullptr : &mEntries[size_t(i)].values;
}

void HeaderVars::set(std::wstring_view name, std::vector<ZelGroupValue> values) {
    long i = indexOf(name);
    if (i >= 0) {
        mEntries[size_t(i)].values = std::move(values);
        return;
    }
    mIndex[key(name)] = mEntries.size();
    mEntries.push_back(Entry{std::wstring(name), std::move(values)});
}

long HeaderVars::erase(std::wstring_view name) {
    long i = indexOf(name);
    if (i < 0) return -1;
    mEntries.erase(mEntries.begin() + i);
    reindex();
    return i;
}

void HeaderVars::insertAt(size_t index, Entry entry) {
    if (index > mEntries.size()) index = mEntries.size();
    mEntries.insert(mEntries.begin() + long(index), std::move(entry));
    reindex();
}

void HeaderVars::clear() {
    mEntries.clear();
    mIndex.clear();
}

void HeaderVars::reindex() {
    mIndex.clear();
    for (size_t i = 0; i < mEntries.size(); ++i)
        mIndex[key(mEntries[i].name)] = i;
}

double HeaderVars::real(std::wstring_view name, double dflt) const {
    const auto* v = find(name);
    return v && !v->empty() ? v->front().real : dflt;
}

int64_t HeaderVars::integer(std::wstring_view name, int64_t dflt) const {
    const auto* v = find(name);
    return v && !v->empty() ? v->front().integer : dflt;
}

std::wstring HeaderVars::text(std::wstring_view name, std::wstring_view dflt) const {
    const auto* v = find(name);
    return v && !v->empty() ? v->front().text : std::wstring(dflt);
}

AcGePoint3d HeaderVars::point(std::wstring_view name, const AcGePoint3d& dflt) const {
    const auto* v = find(name);
    return v && !v->empty() ? v->front().point : dflt;
}

int16_t headerVariableCode(std::wstring_view name) {
    static const std::map<std::wstring, int16_t, std::less<>> codes = {
        {L"$ACADVER", 1},     {L"$DWGCODEPAGE", 3}, {L"$INSBASE", 10},   {L"$EXTMIN", 10},
        {L"$EXTMAX", 10},     {L"$LIMMIN", 10},     {L"$LIMMAX", 10},    {L"$ORTHOMODE", 70},
        {L"$LTSCALE", 40},    {L"$TEXTSIZE", 40},   {L"$TEXTSTYLE", 7},  {L"$CLAYER", 8},
        {L"$CELTYPE", 6},     {L"$CECOLOR", 62},    {L"$CELTSCALE", 40}, {L"$CELWEIGHT", 370},
        {L"$DIMSTYLE", 2},    {L"$DIMZIN", 70},     {L"$LUNITS", 70},    {L"$LUPREC", 70},
        {L"$AUNITS", 70},     {L"$AUPREC", 70},     {L"$INSUNITS", 70},  {L"$MEASUREMENT", 70},
        {L"$PDMODE", 70},     {L"$PDSIZE", 40},     {L"$FILLETRAD", 40}, {L"$CHAMFERA", 40},
        {L"$CHAMFERB", 40},   {L"$MIRRTEXT", 70},   {L"$PLINETYPE", 70}, {L"$PLINEWID", 40},
        {L"$PLINEGEN", 70},   {L"$ANGBASE", 50},    {L"$ANGDIR", 70},    {L"$HANDSEED", 5},
        {L"$UNITMODE", 70},   {L"$DIMSCALE", 40},   {L"$DIMASZ", 40},    {L"$DIMTXT", 40},
        {L"$FILLMODE", 70},   {L"$ATTMODE", 70},    {L"$TILEMODE", 70},  {L"$PSLTSCALE", 70},
        {L"$LWDISPLAY", 290}, {L"$SPLINESEGS", 70}, {L"$OSMODE", 70},    {L"$ELEVATION", 40},
        {L"$THICKNESS", 40},  {L"$DIMDEC", 70},     {L"$DIMADEC", 70},   {L"$DIMLUNIT", 70},
    };
    auto it = codes.find(core::toUpper(name));
    return it == codes.end() ? 0 : it->second;
}

} // namespace zel::db
