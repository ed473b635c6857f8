// System variables over result buffers: defaults, read-only and type refusals, ranges, the
// drawing's header through the database (with undo), observers; environment values, alerts
// and the status bar.
#include "db/database_impl.h"
#include "editor_fixture.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <unistd.h>

using namespace zel::editor;
using zel::core::wideToUtf8;

namespace {

class SysVarTest : public EditorTest {
protected:
    // The value of a variable as LISP would print it: 5, 2.5, "text", (1.0 2.0 0.0).
    std::string lisp(const wchar_t* name) {
        resbuf rb{};
        if (acedGetVar(name, &rb) != RTNORM) return "<error>";
        std::string s = wideToUtf8(zel::core::rbToLisp(&rb));
        if (rb.restype == RTSTR) free(rb.resval.rstring);
        return s.substr(1, s.size() - 2); // the one value of the list "(...)"
    }
    int restype(const wchar_t* name) {
        resbuf rb{};
        if (acedGetVar(name, &rb) != RTNORM) return 0;
        if (rb.restype == RTSTR) free(rb.resval.rstring);
        return rb.restype;
    }
};

TEST_F(SysVarTest, EveryVariableTheModulesAndCommandsUseExists) {
    const wchar_t* names[] = {
        L"ACADVER",   L"AREA",       L"AUNITS",     L"AUPREC",        L"ANGBASE",     L"ANGDIR",
        L"APERTURE",  L"CECOLOR",    L"CELTYPE",    L"CELWEIGHT",     L"CHAMFERA",    L"CHAMFERB",
        L"CLAYER",    L"CMDACTIVE",  L"CMDECHO",    L"CMDNAMES",      L"COPYMODE",    L"CTAB",
        L"DIMZIN",    L"DWGNAME",    L"DWGPREFIX",  L"EDGEMODE",      L"ERRNO",       L"FILLETRAD",
        L"HPBOUND",   L"HIGHLIGHT",  L"LASTPOINT",  L"LASTPROMPT",    L"LTSCALE",     L"LUNITS",
        L"LUPREC",    L"MIRRTEXT",   L"OFFSETDIST", L"OFFSETGAPTYPE", L"ORTHOMODE",   L"OSMODE",
        L"PDMODE",    L"PDSIZE",     L"PERIMETER",  L"PICKADD",       L"PICKAUTO",    L"PICKBOX",
        L"PICKFIRST", L"PLINETYPE",  L"PLINEWID",   L"SCREENSIZE",    L"SNAPMODE",    L"TEMPPREFIX",
        L"TEXTSIZE",  L"TEXTSTYLE",  L"TRIMMODE",   L"UCSORG",        L"UCSXDIR",     L"UCSYDIR",
        L"UNDOCTL",   L"UNDOMARKS",  L"VIEWCTR",    L"VIEWSIZE",      L"DRAGMODE",    L"DYNMODE",
        L"GRIDMODE",  L"OSNAPCOORD", L"BLIPMODE",   L"EXPERT",        L"FILEDIA",     L"CMDDIA",
        L"ATTREQ",    L"ATTDIA",     L"DELOBJ",     L"SNAPANG",       L"TILEMODE",    L"USERI1",
        L"USERI5",    L"USERR1",     L"USERR5",     L"USERS1",        L"USERS5",      L"DIMSCALE",
        L"DIMLFAC",   L"LIMMAX",     L"SORTENTS",   L"REFEDITNAME",   L"BLOCKEDITOR",
    };
    for (const wchar_t* n : names) {
        const SysVarDef* def = findSysVar(n);
        ASSERT_TRUE(def) << wideToUtf8(n);
        EXPECT_EQ(restype(n), resultType(def->type)) << wideToUtf8(n);
        // the default has the variable's own type
        EXPECT_TRUE(coerce(def->type, def->dflt)) << wideToUtf8(n);
    }
    EXPECT_TRUE(findSysVar(L"osmode")); // names without case
    EXPECT_FALSE(findSysVar(L"NOSUCHVAR"));
    resbuf rb{};
    EXPECT_EQ(acedGetVar(L"NOSUCHVAR", &rb), RTERROR);
}

TEST_F(SysVarTest, DefaultsOfANewDrawing) {
    const std::pair<const wchar_t*, const char*> cases[] = {
        {L"OSMODE", "4133"},
        {L"PICKBOX", "3"},
        {L"APERTURE", "10"},
        {L"CMDECHO", "1"},
        {L"UNDOCTL", "5"},
        {L"UNDOMARKS", "0"},
        {L"LUNITS", "2"},
        {L"LUPREC", "4"},
        {L"AUNITS", "0"},
        {L"CLAYER", "\"0\""},
        {L"CECOLOR", "\"BYLAYER\""},
        {L"CELTYPE", "\"ByLayer\""},
        {L"CELWEIGHT", "-1"},
        {L"TEXTSTYLE", "\"Standard\""},
        {L"TEXTSIZE", "2.5"},
        {L"LIMMAX", "(420.0 297.0)"},
        {L"LASTPOINT", "(0.0 0.0 0.0)"},
        {L"TRIMMODE", "1"},
        {L"EDGEMODE", "0"},
        {L"FILLETRAD", "0.0"},
        {L"OFFSETDIST", "-1.0"},
        {L"PICKFIRST", "1"},
        {L"PICKADD", "2"},
        {L"HIGHLIGHT", "1"},
        {L"DRAGMODE", "2"},
        {L"PLINETYPE", "2"},
        {L"MIRRTEXT", "0"},
        {L"CTAB", "\"Model\""},
        {L"HPBOUND", "1"},
        {L"SORTENTS", "127"},
        {L"DIMSCALE", "1.0"},
        {L"UCSXDIR", "(1.0 0.0 0.0)"},
        {L"CMDNAMES", "\"\""},
        {L"DWGNAME", "\"Drawing1.dwg\""},
        {L"DWGTITLED", "0"},
        {L"ERRNO", "0"},
    };
    for (const auto& [name, expected] : cases)
        EXPECT_EQ(lisp(name), expected) << wideToUtf8(name);
    std::string temp = lisp(L"TEMPPREFIX");
    EXPECT_EQ(temp.substr(temp.size() - 2), "/\""); // a folder ends in its separator
}

TEST_F(SysVarTest, ReadOnlyVariablesAreRefusedUnchanged) {
    for (const SysVarDef& def : sysVarTable()) {
        if (!def.readOnly) continue;
        std::string name = wideToUtf8(std::wstring(def.name));
        std::string before = lisp(std::wstring(def.name).c_str());
        resbuf rb{};
        ASSERT_EQ(acedGetVar(std::wstring(def.name).c_str(), &rb), RTNORM) << name;
        EXPECT_EQ(acedSetVar(std::wstring(def.name).c_str(), &rb), RTERROR) << name;
        if (rb.restype == RTSTR) free(rb.resval.rstring);
        if (def.name != L"MILLISECS") {
            EXPECT_EQ(lisp(std::wstring(def.name).c_str()), before);
        }
    }
    // the host itself keeps them up to date
    EXPECT_EQ(ed.vars().setInternal(L"CMDNAMES", std::wstring(L"LINE")), SetStatus::Ok);
    EXPECT_EQ(lisp(L"CMDNAMES"), "\"LINE\"");
}

struct SetCase {
    const wchar_t* name;
    resbuf value;
    int result;
    const char* after; // the value read back
};

resbuf rbShort(int v) {
    resbuf rb{};
    rb.restype = RTSHORT;
    rb.resval.rint = short(v);
    return rb;
}
resbuf rbLong(int v) {
    resbuf rb{};
    rb.restype = RTLONG;
    rb.resval.rlong = v;
    return rb;
}
resbuf rbReal(double v) {
    resbuf rb{};
    rb.restype = RTREAL;
    rb.resval.rreal = v;
    return rb;
}
resbuf rbString(const wchar_t* v) {
    resbuf rb{};
    rb.restype = RTSTR;
    rb.resval.rstring = const_cast<wchar_t*>(v);
    return rb;
}
resbuf rbPoint(int type, double x, double y, double z) {
    resbuf rb{};
    rb.restype = short(type);
    rb.resval.rpoint[X] = x;
    rb.resval.rpoint[Y] = y;
    rb.resval.rpoint[Z] = z;
    return rb;
}

TEST_F(SysVarTest, TypesAndRanges) {
    const SetCase cases[] = {
        {L"OSMODE", rbShort(0), RTNORM, "0"},
        {L"OSMODE", rbLong(512), RTNORM, "512"},    // a 32-bit integer that fits
        {L"OSMODE", rbLong(70000), RTERROR, "512"}, // beyond 16 bits
        {L"OSMODE", rbString(L"1"), RTERROR, "512"},
        {L"OSMODE", rbReal(1), RTERROR, "512"},
        {L"OSMODE", rbShort(-1), RTERROR, "512"},
        {L"FILLETRAD", rbShort(5), RTNORM, "5.0"}, // integers widen to reals
        {L"FILLETRAD", rbReal(2.5), RTNORM, "2.5"},
        {L"FILLETRAD", rbReal(-1), RTERROR, "2.5"},
        {L"FILLETRAD", rbReal(INFINITY), RTERROR, "2.5"},
        {L"FILLETRAD", rbString(L"3"), RTERROR, "2.5"},
        {L"CLAYER", rbShort(0), RTERROR, "\"0\""},
        {L"CLAYER", rbString(L"nope"), RTERROR, "\"0\""},
        {L"CLAYER", rbString(L"0"), RTNORM, "\"0\""},
        {L"LUNITS", rbShort(9), RTERROR, "2"},
        {L"LUNITS", rbShort(4), RTNORM, "4"},
        {L"PICKBOX", rbShort(51), RTERROR, "3"},
        {L"CELWEIGHT", rbShort(7), RTERROR, "-1"}, // not a lineweight
        {L"CELWEIGHT", rbShort(35), RTNORM, "35"},
        {L"CECOLOR", rbString(L"red"), RTNORM, "\"1\""},
        {L"CECOLOR", rbString(L"ByBlock"), RTNORM, "\"BYBLOCK\""},
        {L"CECOLOR", rbString(L"42"), RTNORM, "\"42\""},
        {L"CECOLOR", rbString(L"purple"), RTERROR, "\"42\""},
        {L"CECOLOR", rbString(L"300"), RTERROR, "\"42\""},
        {L"CELTYPE", rbString(L"continuous"), RTNORM, "\"Continuous\""},
        {L"CELTYPE", rbString(L"DASHED"), RTERROR, "\"Continuous\""},
        {L"CTAB", rbString(L"Layout1"), RTERROR, "\"Model\""},
        {L"LASTPOINT", rbPoint(RTPOINT, 1, 2, 9), RTNORM, "(1.0 2.0 0.0)"},
        {L"LASTPOINT", rbPoint(RT3DPOINT, 1, 2, 3), RTNORM, "(1.0 2.0 3.0)"},
        {L"LIMMAX", rbPoint(RT3DPOINT, 841, 594, 7), RTNORM, "(841.0 594.0)"},
        {L"USERS1", rbString(L"メモ"), RTNORM, "\"メモ\""},
        {L"USERS1", rbShort(1), RTERROR, "\"メモ\""},
        {L"ERRNO", rbShort(7), RTNORM, "7"},
    };
    for (const SetCase& c : cases) {
        EXPECT_EQ(acedSetVar(c.name, &c.value), c.result) << wideToUtf8(c.name);
        EXPECT_EQ(lisp(c.name), c.after) << wideToUtf8(c.name);
    }
    EXPECT_EQ(acedSetVar(L"NOSUCHVAR", &cases[0].value), RTERROR);
    EXPECT_EQ(acedSetVar(L"OSMODE", nullptr), RTERROR);
    EXPECT_EQ(acedSetVar(nullptr, &cases[0].value), RTERROR);
}

TEST_F(SysVarTest, DrawingVariablesLiveInTheHeader) {
    ASSERT_EQ(setReal(L"FILLETRAD", 5), RTNORM);
    EXPECT_EQ(db.filletrad(), 5);
    ASSERT_EQ(db.setFilletrad(7), Acad::eOk);
    EXPECT_EQ(lisp(L"FILLETRAD"), "7.0");

    ASSERT_EQ(setShort(L"ORTHOMODE", 1), RTNORM);
    const auto* ortho = db.impl().header().find(L"$ORTHOMODE");
    ASSERT_TRUE(ortho && ortho->size() == 1);
    EXPECT_EQ((*ortho)[0].code, 70);
    EXPECT_EQ((*ortho)[0].integer, 1);

    ASSERT_EQ(setReal(L"USERR2", 1.25), RTNORM);
    EXPECT_EQ(db.impl().header().real(L"$USERR2", 0), 1.25);

    resbuf lim = rbPoint(RTPOINT, 594, 420, 0);
    ASSERT_EQ(acedSetVar(L"LIMMAX", &lim), RTNORM);
    const auto* limmax = db.impl().header().find(L"$LIMMAX");
    ASSERT_TRUE(limmax && limmax->size() == 1);
    EXPECT_TRUE((*limmax)[0].flat); // a 2-D point of the header
    EXPECT_EQ(db.limmax(), AcGePoint2d(594, 420));

    ASSERT_EQ(setString(L"CLAYER", L"0"), RTNORM);
    ASSERT_EQ(setShort(L"LUNITS", 3), RTNORM);
    EXPECT_EQ(db.lunits(), 3);

    // another drawing has its own header
    AcDbDatabase other;
    ed.setDatabase(&other);
    EXPECT_EQ(lisp(L"FILLETRAD"), "0.0");
    EXPECT_EQ(lisp(L"ORTHOMODE"), "0");
    ed.setDatabase(&db);
    EXPECT_EQ(lisp(L"ORTHOMODE"), "1");
}

TEST_F(SysVarTest, HeaderChangesAreUndone) {
    zel::db::UndoJournal& journal = db.impl().journal();
    journal.beginStep(L"SETVAR");
    ASSERT_EQ(setReal(L"CHAMFERA", 3), RTNORM);
    ASSERT_EQ(setShort(L"USERI1", 42), RTNORM);
    journal.endStep();
    EXPECT_EQ(lisp(L"CHAMFERA"), "3.0");
    ASSERT_EQ(journal.undoStep(), Acad::eOk);
    EXPECT_EQ(lisp(L"CHAMFERA"), "0.0");
    EXPECT_EQ(lisp(L"USERI1"), "0");
}

TEST_F(SysVarTest, WithoutADrawingDrawingVariablesReadTheirDefaults) {
    ed.setDatabase(nullptr);
    EXPECT_EQ(lisp(L"TEXTSIZE"), "2.5");
    EXPECT_EQ(lisp(L"CLAYER"), "\"0\"");
    EXPECT_EQ(ed.vars().set(L"TEXTSIZE", 5.0), SetStatus::NoDrawing);
    EXPECT_EQ(ed.vars().set(L"CMDECHO", int64_t(0)), SetStatus::Ok); // session variables work
}

TEST_F(SysVarTest, ObserversHearEveryChange) {
    std::vector<std::wstring> heard;
    int id = ed.vars().addObserver([&](std::wstring_view n) { heard.emplace_back(n); });
    setShort(L"cmdecho", 0);
    setShort(L"CMDECHO", 5);     // out of range: no change
    setString(L"ACADVER", L"x"); // read-only: no change
    setReal(L"FILLETRAD", 1);
    ed.vars().setInternal(L"AREA", 12.5);
    ed.vars().removeObserver(id);
    setShort(L"CMDECHO", 1);
    EXPECT_EQ(heard, (std::vector<std::wstring>{L"CMDECHO", L"FILLETRAD", L"AREA"}));
}

// Random sequences of sets: a variable always holds the last value it accepted, and only
// values of its type and range are accepted.
TEST_F(SysVarTest, RandomSetsKeepTheLastAcceptedValue) {
    std::mt19937 rng(99);
    std::vector<const SysVarDef*> ints;
    for (const SysVarDef& d : sysVarTable())
        if (!d.readOnly && d.type == VarType::Int16 && d.hasRange() && !d.accepts)
            ints.push_back(&d);
    ASSERT_GT(ints.size(), 20u);
    std::uniform_int_distribution<int> value(-40000, 40000), small(-5, 10);
    for (int i = 0; i < 2000; ++i) {
        const SysVarDef& d = *ints[rng() % ints.size()];
        std::wstring name(d.name);
        int64_t before = ed.vars().integer(name);
        int v = rng() % 3 == 0 ? value(rng) : small(rng);
        bool valid = v >= d.lo && v <= d.hi;
        resbuf rb = rbLong(v);
        ASSERT_EQ(acedSetVar(name.c_str(), &rb), valid ? RTNORM : RTERROR) << wideToUtf8(name);
        EXPECT_EQ(ed.vars().integer(name), valid ? v : before);
    }
}

TEST_F(SysVarTest, LastPromptFollowsTheCommandLine) {
    acutPrintf(L"\n距離 が大きすぎます");
    EXPECT_EQ(lisp(L"LASTPROMPT"), "\"距離 が大きすぎます\"");
    acedAlert(L"警告です");
    acedSetStatusBarProgressMeter(L"処理中", 0, 0);
    EXPECT_EQ(lisp(L"LASTPROMPT"), "\"距離 が大きすぎます\""); // not the command line
    acedPrompt(L"\n次 :");
    EXPECT_EQ(lisp(L"LASTPROMPT"), "\"次 :\"");
}

TEST_F(SysVarTest, FindFileLooksInTheSupportFolders) {
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / ("zel_findfile_" + std::to_string(::getpid()));
    fs::create_directories(dir / "support");
    std::ofstream(dir / "support" / "office.lin") << "*CENTER,c\nA,12,-3\n";
    ACHAR found[512];
    EXPECT_EQ(acedFindFile(L"office.lin", found), RTERROR) << "not in a folder searched yet";
    ASSERT_EQ(acedSetEnv(L"ACAD", (L"/no/such;" + (dir / "support").wstring()).c_str()), RTNORM);
    ASSERT_EQ(acedFindFile(L"office.lin", found), RTNORM);
    EXPECT_EQ(fs::path(found), dir / "support" / "office.lin");
    std::wstring absolute = (dir / "support" / "office.lin").wstring();
    ASSERT_EQ(acedFindFile(absolute.c_str(), found), RTNORM) << "a full path is taken as it is";
    ACHAR tiny[4];
    EXPECT_EQ(acedFindFile(L"office.lin", tiny), RTERROR) << "the answer does not fit";
    EXPECT_EQ(acedFindFile(L"", found), RTERROR);
    EXPECT_EQ(acedFindFile(L"support", found), RTERROR) << "folders are not files";
    fs::remove_all(dir);
}

TEST_F(SysVarTest, EnvironmentValues) {
    ::setenv("ZELCAD_ENV_Background", "123456", 1);
    Editor fresh;
    ::unsetenv("ZELCAD_ENV_Background");
    setCurrentEditor(&fresh);
    ACHAR buf[32];
    ASSERT_EQ(acedGetEnv(L"background", buf), RTNORM);
    EXPECT_EQ(std::wstring(buf), L"123456");
    ASSERT_EQ(acedGetEnv(L"TempDirectory", buf), RTNORM); // a default of the session
    EXPECT_EQ(acedGetEnv(L"NoSuchValue", buf), RTERROR);
    ASSERT_EQ(acedSetEnv(L"MyKey", L"値"), RTNORM);
    ASSERT_EQ(acedGetEnv(L"MYKEY", buf), RTNORM);
    EXPECT_EQ(std::wstring(buf), L"値");
    ACHAR tiny[3];
    EXPECT_EQ(acedGetEnv(L"background", tiny), RTERROR);
    EXPECT_EQ(acedSetEnv(L"", L"x"), RTERROR);
    setCurrentEditor(&ed);
    EXPECT_EQ(acedGetEnv(L"MyKey", buf), RTERROR); // each session has its own values
}

TEST_F(SysVarTest, AlertsAndTheStatusBar) {
    EXPECT_EQ(acedAlert(L"図形が選択されていません。"), RTNORM);
    EXPECT_EQ(acedSetStatusBarProgressMeter(L"処理中", 0, 10), 0);
    EXPECT_EQ(acedSetStatusBarProgressMeterPos(4), 0);
    EXPECT_TRUE(ed.statusBar().progress);
    EXPECT_EQ(ed.statusBar().pos, 4);
    EXPECT_EQ(ed.statusBar().text, L"処理中");
    acedRestoreStatusBar();
    EXPECT_EQ(ed.statusBar().text, L"");
    EXPECT_EQ(acedSetStatusBarProgressMeterPos(5), -1); // no meter
    EXPECT_EQ(acedSetStatusBarProgressMeter(L"x", 5, 1), -1);
    std::vector<EntryKind> kinds;
    for (const TranscriptEntry& e : ed.transcript().entries())
        kinds.push_back(e.kind);
    EXPECT_EQ(kinds,
              (std::vector<EntryKind>{EntryKind::Alert, EntryKind::Status, EntryKind::Status}));
    EXPECT_EQ(transcript(),
              "[アラート] 図形が選択されていません。\n[ステータス] 処理中\n[ステータス]");
}

} // namespace
