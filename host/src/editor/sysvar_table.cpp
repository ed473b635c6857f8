// The system variables the host knows: type, where they live, default, range.
// Defaults are those of the original platform for a metric drawing; the drawing variables
// that the database models take the database's own defaults.
#include "core/text.h"
#include "db/database_impl.h"
#include "editor/sysvars.h"

#include "arx/db.h"

#include <algorithm>
#include <limits>
#include <unordered_map>

namespace zel::editor {

namespace {

int64_t asInt(const VarValue& v) {
    return std::get<int64_t>(v);
}
double asReal(const VarValue& v) {
    return std::get<double>(v);
}
const std::wstring& asText(const VarValue& v) {
    return std::get<std::wstring>(v);
}

bool ok(Acad::ErrorStatus es) {
    return es == Acad::eOk;
}

// ---- symbol-table records by name ------------------------------------------------------

std::wstring recordName(AcDbObjectId id) {
    auto* rec = db::peekAs<AcDbSymbolTableRecord>(id);
    return rec ? rec->name() : std::wstring();
}

AcDbObjectId recordByName(AcDbObjectId tableId, const std::wstring& name) {
    auto* table = db::peekAs<AcDbSymbolTable>(tableId);
    AcDbObjectId id;
    if (table) table->getAt(name.c_str(), id);
    return id;
}

const DbAccess kClayer{[](const AcDbDatabase& d) -> VarValue { return recordName(d.clayer()); },
                       [](AcDbDatabase& d, const VarValue& v) {
                           AcDbObjectId id = recordByName(d.layerTableId(), asText(v));
                           return !id.isNull() && ok(d.setClayer(id));
                       }};

const DbAccess kCeltype{[](const AcDbDatabase& d) -> VarValue { return recordName(d.celtype()); },
                        [](AcDbDatabase& d, const VarValue& v) {
                            AcDbObjectId id = recordByName(d.linetypeTableId(), asText(v));
                            return !id.isNull() && ok(d.setCeltype(id));
                        }};

const DbAccess kTextstyle{
    [](const AcDbDatabase& d) -> VarValue { return recordName(d.textstyle()); },
    [](AcDbDatabase& d, const VarValue& v) {
        AcDbObjectId id = recordByName(d.textStyleTableId(), asText(v));
        return !id.isNull() && ok(d.setTextstyle(id));
    }};

const DbAccess kDimstyle{[](const AcDbDatabase& d) -> VarValue { return recordName(d.dimstyle()); },
                         [](AcDbDatabase&, const VarValue&) { return false; }};

// ---- colours: "BYLAYER", "BYBLOCK", "1" ... "255", and the seven names --------------------

std::optional<int> colorIndexOf(const std::wstring& text) {
    static const std::pair<const wchar_t*, int> names[] = {
        {L"BYLAYER", 256}, {L"BYBLOCK", 0}, {L"RED", 1},     {L"YELLOW", 2}, {L"GREEN", 3},
        {L"CYAN", 4},      {L"BLUE", 5},    {L"MAGENTA", 6}, {L"WHITE", 7},
    };
    std::wstring t = core::toUpper(core::trim(text));
    for (const auto& [name, index] : names)
        if (t == name) return index;
    std::optional<int> n = core::parseInt(t);
    if (n && *n >= 0 && *n <= 256) return *n;
    return std::nullopt;
}

std::wstring colorText(int index) {
    if (index == 256) return L"BYLAYER";
    if (index == 0) return L"BYBLOCK";
    return core::toWString(index);
}

bool acceptsColor(const VarValue& v) {
    return colorIndexOf(asText(v)).has_value();
}

const DbAccess kCecolor{
    [](const AcDbDatabase& d) -> VarValue { return colorText(d.cecolor().colorIndex()); },
    [](AcDbDatabase& d, const VarValue& v) {
        std::optional<int> index = colorIndexOf(asText(v));
        return index && ok(d.setCecolor(AcCmColor(static_cast<int16_t>(*index))));
    }};

// ---- lineweights ----------------------------------------------------------------------------

bool acceptsLineweight(const VarValue& v) {
    static const int valid[] = {-3, -2, -1, 0,  5,  9,  13,  15,  18,  20,  25,  30,  35, 40,
                                50, 53, 60, 70, 80, 90, 100, 106, 120, 140, 158, 200, 211};
    int64_t w = asInt(v);
    return std::find(std::begin(valid), std::end(valid), w) != std::end(valid);
}

const DbAccess kCelweight{[](const AcDbDatabase& d) -> VarValue { return int64_t(d.celweight()); },
                          [](AcDbDatabase& d, const VarValue& v) {
                              return ok(d.setCelweight(static_cast<AcDb::LineWeight>(asInt(v))));
                          }};

bool acceptsModelTab(const VarValue& v) {
    return core::equalsNoCase(asText(v), L"Model");
}

// ---- header variables with typed calls -----------------------------------------------------

#define ZEL_INT16_ACCESS(NAME, GET, SET)                                                           \
    const DbAccess NAME{[](const AcDbDatabase& d) -> VarValue { return int64_t(d.GET()); },        \
                        [](AcDbDatabase& d, const VarValue& v) {                                   \
                            return ok(d.SET(static_cast<int16_t>(asInt(v))));                      \
                        }};
#define ZEL_BOOL_ACCESS(NAME, GET, SET)                                                            \
    const DbAccess NAME{                                                                           \
        [](const AcDbDatabase& d) -> VarValue { return int64_t(d.GET() ? 1 : 0); },                \
        [](AcDbDatabase& d, const VarValue& v) { return ok(d.SET(asInt(v) != 0)); }};
#define ZEL_REAL_ACCESS(NAME, GET, SET)                                                            \
    const DbAccess NAME{[](const AcDbDatabase& d) -> VarValue { return d.GET(); },                 \
                        [](AcDbDatabase& d, const VarValue& v) { return ok(d.SET(asReal(v))); }};

ZEL_INT16_ACCESS(kLunits, lunits, setLunits)
ZEL_INT16_ACCESS(kLuprec, luprec, setLuprec)
ZEL_INT16_ACCESS(kAunits, aunits, setAunits)
ZEL_INT16_ACCESS(kAuprec, auprec, setAuprec)
ZEL_INT16_ACCESS(kDimzin, dimzin, setDimzin)
ZEL_INT16_ACCESS(kInsunits, insunits, setInsunits)
ZEL_INT16_ACCESS(kPdmode, pdmode, setPdmode)
ZEL_INT16_ACCESS(kPlinetype, plinetype, setPlinetype)
ZEL_BOOL_ACCESS(kAngdir, angdir, setAngdir)
ZEL_BOOL_ACCESS(kMirrtext, mirrtext, setMirrtext)
ZEL_REAL_ACCESS(kAngbase, angbase, setAngbase)
ZEL_REAL_ACCESS(kCeltscale, celtscale, setCeltscale)
ZEL_REAL_ACCESS(kLtscale, ltscale, setLtscale)
ZEL_REAL_ACCESS(kTextsize, textsize, setTextsize)
ZEL_REAL_ACCESS(kPdsize, pdsize, setPdsize)
ZEL_REAL_ACCESS(kPlinewid, plinewid, setPlinewid)
ZEL_REAL_ACCESS(kFilletrad, filletrad, setFilletrad)
ZEL_REAL_ACCESS(kChamfera, chamfera, setChamfera)
ZEL_REAL_ACCESS(kChamferb, chamferb, setChamferb)

const DbAccess kInsbase{
    [](const AcDbDatabase& d) -> VarValue { return d.insbase(); },
    [](AcDbDatabase& d, const VarValue& v) { return ok(d.setInsbase(std::get<AcGePoint3d>(v))); }};
const DbAccess kExtmin{[](const AcDbDatabase& d) -> VarValue { return d.extmin(); },
                       [](AcDbDatabase&, const VarValue&) { return false; }};
const DbAccess kExtmax{[](const AcDbDatabase& d) -> VarValue { return d.extmax(); },
                       [](AcDbDatabase&, const VarValue&) { return false; }};

#undef ZEL_INT16_ACCESS
#undef ZEL_BOOL_ACCESS
#undef ZEL_REAL_ACCESS

// ---- the table ----------------------------------------------------------------------------

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr VarType I16 = VarType::Int16;
constexpr VarType I32 = VarType::Int32;
constexpr VarType REAL = VarType::Real;
constexpr VarType STR = VarType::String;
constexpr VarType P2 = VarType::Point2d;
constexpr VarType P3 = VarType::Point3d;
constexpr VarStore DWG = VarStore::Drawing;
constexpr VarStore SES = VarStore::Session;
constexpr bool RO = true;
constexpr bool RW = false;

VarValue i(int64_t v) {
    return v;
}
VarValue r(double v) {
    return v;
}
VarValue s(const wchar_t* v) {
    return std::wstring(v);
}
VarValue p(double x, double y, double z = 0) {
    return AcGePoint3d(x, y, z);
}

// A session variable.
SysVarDef ses(std::wstring_view name, VarType t, bool ro, VarValue d, double lo = 1,
              double hi = 0) {
    return SysVarDef{name, t, SES, ro, std::move(d), lo, hi};
}
// A drawing variable kept in the header under "$NAME" with a group code.
SysVarDef hdr(std::wstring_view name, std::wstring_view header, int16_t code, VarType t, bool ro,
              VarValue d, double lo = 1, double hi = 0) {
    return SysVarDef{name, t, DWG, ro, std::move(d), lo, hi, header, code};
}
// A drawing variable the database reads and writes with typed calls.
SysVarDef typed(std::wstring_view name, const DbAccess& a, VarType t, bool ro, VarValue d,
                double lo = 1, double hi = 0) {
    SysVarDef def{name, t, DWG, ro, std::move(d), lo, hi};
    def.db = &a;
    return def;
}
SysVarDef withCheck(SysVarDef def, bool (*accepts)(const VarValue&)) {
    def.accepts = accepts;
    return def;
}

std::vector<SysVarDef> buildTable() {
    std::vector<SysVarDef> t = {
        ses(L"ACADVER", STR, RO, s(L"20.1s (zelcad)")),
        typed(L"ANGBASE", kAngbase, REAL, RW, r(0)),
        typed(L"ANGDIR", kAngdir, I16, RW, i(0), 0, 1),
        ses(L"APERTURE", I16, RW, i(10), 1, 50),
        ses(L"AREA", REAL, RO, r(0)),
        ses(L"ATTDIA", I16, RW, i(0), 0, 1),
        ses(L"ATTREQ", I16, RW, i(1), 0, 1),
        typed(L"AUNITS", kAunits, I16, RW, i(0), 0, 4),
        typed(L"AUPREC", kAuprec, I16, RW, i(0), 0, 8),
        ses(L"BLIPMODE", I16, RW, i(0), 0, 1),
        ses(L"BLOCKEDITOR", I16, RO, i(0)),
        withCheck(typed(L"CECOLOR", kCecolor, STR, RW, s(L"BYLAYER")), acceptsColor),
        typed(L"CELTSCALE", kCeltscale, REAL, RW, r(1), 0, kInf),
        typed(L"CELTYPE", kCeltype, STR, RW, s(L"ByLayer")),
        withCheck(typed(L"CELWEIGHT", kCelweight, I16, RW, i(-1)), acceptsLineweight),
        typed(L"CHAMFERA", kChamfera, REAL, RW, r(0), 0, kInf),
        typed(L"CHAMFERB", kChamferb, REAL, RW, r(0), 0, kInf),
        hdr(L"CHAMFERC", L"$CHAMFERC", 40, REAL, RW, r(0), 0, kInf),
        hdr(L"CHAMFERD", L"$CHAMFERD", 40, REAL, RW, r(0)),
        ses(L"CHAMMODE", I16, RW, i(0), 0, 1),
        typed(L"CLAYER", kClayer, STR, RW, s(L"0")),
        ses(L"CMDACTIVE", I16, RO, i(0)),
        ses(L"CMDDIA", I16, RW, i(1), 0, 1),
        ses(L"CMDECHO", I16, RW, i(1), 0, 1),
        ses(L"CMDNAMES", STR, RO, s(L"")),
        ses(L"COPYMODE", I16, RW, i(0), 0, 1),
        withCheck(ses(L"CTAB", STR, RW, s(L"Model")), acceptsModelTab),
        ses(L"DELOBJ", I16, RW, i(3), -3, 3),
        hdr(L"DIMLFAC", L"$DIMLFAC", 40, REAL, RW, r(1)),
        hdr(L"DIMSCALE", L"$DIMSCALE", 40, REAL, RW, r(1), 0, kInf),
        typed(L"DIMSTYLE", kDimstyle, STR, RO, s(L"Standard")),
        typed(L"DIMZIN", kDimzin, I16, RW, i(8), 0, 15),
        ses(L"DRAGMODE", I16, RW, i(2), 0, 2),
        ses(L"DWGNAME", STR, RO, s(L"Drawing1.dwg")),
        ses(L"DWGPREFIX", STR, RO, s(L"")),
        ses(L"DWGTITLED", I16, RO, i(0)),
        ses(L"DYNMODE", I16, RW, i(3), -3, 3),
        ses(L"EDGEMODE", I16, RW, i(0), 0, 1),
        hdr(L"ELEVATION", L"$ELEVATION", 40, REAL, RW, r(0)),
        ses(L"ERRNO", I16, RW, i(0)),
        ses(L"EXPERT", I16, RW, i(0), 0, 5),
        typed(L"EXTMAX", kExtmax, P3, RO, p(-1e20, -1e20, -1e20)),
        typed(L"EXTMIN", kExtmin, P3, RO, p(1e20, 1e20, 1e20)),
        ses(L"FILEDIA", I16, RW, i(1), 0, 1),
        typed(L"FILLETRAD", kFilletrad, REAL, RW, r(0), 0, kInf),
        ses(L"GRIDMODE", I16, RW, i(0), 0, 1),
        ses(L"HIGHLIGHT", I16, RW, i(1), 0, 1),
        ses(L"HPBOUND", I16, RW, i(1), 0, 1),
        typed(L"INSBASE", kInsbase, P3, RW, p(0, 0)),
        typed(L"INSUNITS", kInsunits, I16, RW, i(4), 0, 24),
        ses(L"LASTPOINT", P3, RW, p(0, 0)),
        ses(L"LASTPROMPT", STR, RO, s(L"")),
        hdr(L"LIMCHECK", L"$LIMCHECK", 70, I16, RW, i(0), 0, 1),
        hdr(L"LIMMAX", L"$LIMMAX", 10, P2, RW, p(420, 297)),
        hdr(L"LIMMIN", L"$LIMMIN", 10, P2, RW, p(0, 0)),
        typed(L"LTSCALE", kLtscale, REAL, RW, r(1), 0, kInf),
        typed(L"LUNITS", kLunits, I16, RW, i(2), 1, 5),
        typed(L"LUPREC", kLuprec, I16, RW, i(4), 0, 8),
        ses(L"MILLISECS", I32, RO, i(0)),
        typed(L"MIRRTEXT", kMirrtext, I16, RW, i(0), 0, 1),
        ses(L"OFFSETDIST", REAL, RW, r(-1)),
        ses(L"OFFSETGAPTYPE", I16, RW, i(0), 0, 2),
        hdr(L"ORTHOMODE", L"$ORTHOMODE", 70, I16, RW, i(0), 0, 1),
        ses(L"OSMODE", I16, RW, i(4133), 0, 32767),
        ses(L"OSNAPCOORD", I16, RW, i(2), 0, 2),
        typed(L"PDMODE", kPdmode, I16, RW, i(0), 0, 100),
        typed(L"PDSIZE", kPdsize, REAL, RW, r(0)),
        ses(L"PERIMETER", REAL, RO, r(0)),
        ses(L"PICKADD", I16, RW, i(2), 0, 2),
        ses(L"PICKAUTO", I16, RW, i(5), 0, 7),
        ses(L"PICKBOX", I16, RW, i(3), 0, 50),
        ses(L"PICKFIRST", I16, RW, i(1), 0, 1),
        typed(L"PLINETYPE", kPlinetype, I16, RW, i(2), 0, 2),
        typed(L"PLINEWID", kPlinewid, REAL, RW, r(0), 0, kInf),
        ses(L"REFEDITNAME", STR, RO, s(L"")),
        ses(L"SCREENSIZE", P2, RO, p(1920, 1080)),
        ses(L"SDI", I16, RW, i(1), 0, 1),
        ses(L"SNAPANG", REAL, RW, r(0)),
        ses(L"SNAPMODE", I16, RW, i(0), 0, 1),
        hdr(L"SORTENTS", L"$SORTENTS", 280, I16, RW, i(127), 0, 127),
        ses(L"TEMPPREFIX", STR, RO, s(L"")),
        typed(L"TEXTSIZE", kTextsize, REAL, RW, r(2.5), 0, kInf),
        typed(L"TEXTSTYLE", kTextstyle, STR, RW, s(L"Standard")),
        hdr(L"TILEMODE", L"$TILEMODE", 70, I16, RW, i(1), 0, 1),
        ses(L"TRIMMODE", I16, RW, i(1), 0, 2),
        hdr(L"UCSORG", L"$UCSORG", 10, P3, RO, p(0, 0)),
        hdr(L"UCSXDIR", L"$UCSXDIR", 10, P3, RO, p(1, 0)),
        hdr(L"UCSYDIR", L"$UCSYDIR", 10, P3, RO, p(0, 1)),
        ses(L"UNDOCTL", I16, RO, i(5)),
        ses(L"UNDOMARKS", I16, RO, i(0)),
        hdr(L"UNITMODE", L"$UNITMODE", 70, I16, RW, i(0), 0, 1),
        ses(L"VIEWCTR", P3, RO, p(210, 148.5)),
        ses(L"VIEWSIZE", REAL, RO, r(297)),
    };
    static const wchar_t* const userNames[5][3] = {
        {L"USERI1", L"USERR1", L"USERS1"}, {L"USERI2", L"USERR2", L"USERS2"},
        {L"USERI3", L"USERR3", L"USERS3"}, {L"USERI4", L"USERR4", L"USERS4"},
        {L"USERI5", L"USERR5", L"USERS5"},
    };
    static const wchar_t* const userHeaders[5][2] = {
        {L"$USERI1", L"$USERR1"}, {L"$USERI2", L"$USERR2"}, {L"$USERI3", L"$USERR3"},
        {L"$USERI4", L"$USERR4"}, {L"$USERI5", L"$USERR5"},
    };
    for (int k = 0; k < 5; ++k) {
        t.push_back(hdr(userNames[k][0], userHeaders[k][0], 70, I16, RW, i(0)));
        t.push_back(hdr(userNames[k][1], userHeaders[k][1], 40, REAL, RW, r(0)));
        t.push_back(ses(userNames[k][2], STR, RW, s(L"")));
    }
    std::sort(t.begin(), t.end(),
              [](const SysVarDef& a, const SysVarDef& b) { return a.name < b.name; });
    return t;
}

} // namespace

const std::vector<SysVarDef>& sysVarTable() {
    static const std::vector<SysVarDef> table = buildTable();
    return table;
}

const SysVarDef* findSysVar(std::wstring_view name) {
    static const std::unordered_map<std::wstring, const SysVarDef*> index = [] {
        std::unordered_map<std::wstring, const SysVarDef*> m;
        for (const SysVarDef& d : sysVarTable())
            m.emplace(std::wstring(d.name), &d);
        return m;
    }();
    auto it = index.find(core::toUpper(name));
    return it == index.end() ? nullptr : it->second;
}

int resultType(VarType type) {
    switch (type) {
    case VarType::Int16:
        return RTSHORT;
    case VarType::Int32:
        return RTLONG;
    case VarType::Real:
        return RTREAL;
    case VarType::String:
        return RTSTR;
    case VarType::Point2d:
        return RTPOINT;
    case VarType::Point3d:
        return RT3DPOINT;
    }
    return RTNONE;
}

} // namespace zel::editor
