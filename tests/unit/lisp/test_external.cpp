// External functions (acedDefun), calls into LISP from C++ (acedInvoke) and the symbol
// interface (acedGetSym / acedPutSym).
#include "core/resbuf.h"
#include "lisp/external.h"
#include "lisp/host_bridge.h"
#include "lisp_test.h"

#include <stdexcept>

using namespace zel::lisp;
using namespace zel::lisp::test;
using zel::core::RbBuilder;
using zel::core::RbPtr;
using zel::core::rbToLisp;

namespace {

// The restypes of a chain, in order.
std::vector<int> types(const resbuf* rb) {
    std::vector<int> t;
    for (; rb; rb = rb->rbnext)
        t.push_back(rb->restype);
    return t;
}

} // namespace

TEST(LispExternal, ArgumentsArriveAsResbufsTheWayTheApiPassesThem) {
    Lisp lisp;
    RbPtr seen;
    lisp.in.externals().define(L"zeltest", [&](ExternalCall& call) {
        seen = zel::core::rbCopy(call.args);
        return RSRSLT;
    });
    lisp.eval(L"(zeltest 1 2.5 \"s\" '(1.0 2.0) '(1.0 2.0 3.0) '(1 2) nil T 70000 '(a . 2))");
    ASSERT_TRUE(seen);
    std::vector<int> expected = {RTSHORT, RTREAL,  RTSTR,  RTPOINT, RT3DPOINT, RTLB,
                                 RTSHORT, RTSHORT, RTLE,   RTNIL,   RTT,       RTLONG,
                                 RTLB,    RTSTR,   RTDOTE, RTSHORT, RTLE};
    EXPECT_EQ(types(seen.get()), expected);
    EXPECT_EQ(rbToLisp(seen.get()),
              L"(1 2.5 \"s\" (1.0 2.0) (1.0 2.0 3.0) (1 2) nil T 70000 (\"A\" . 2))");
    EXPECT_EQ(lisp.eval(L"(zeltest)"), L"nil"); // nothing returned is nil
    EXPECT_EQ(seen, nullptr);
}

TEST(LispExternal, ReturnFormsBecomeLispValues) {
    struct Row {
        const wchar_t* name;
        std::function<void(ExternalReturn&)> set;
        const wchar_t* printed;
    };
    ads_point p = {1, 2, 3};
    ads_name ss = {0x2a, 1};
    std::vector<Row> rows = {
        {L"r-int", [](ExternalReturn& r) { r.setInt(7); }, L"7"},
        {L"r-real", [](ExternalReturn& r) { r.setReal(2.5); }, L"2.5"},
        {L"r-str", [](ExternalReturn& r) { r.setString(L"寸法"); }, L"\"寸法\""},
        {L"r-point", [&](ExternalReturn& r) { r.setPoint(p); }, L"(1.0 2.0 3.0)"},
        {L"r-t", [](ExternalReturn& r) { r.setT(); }, L"T"},
        {L"r-nil", [](ExternalReturn& r) { r.setNil(); }, L"nil"},
        {L"r-void", [](ExternalReturn& r) { r.setVoid(); }, L""},
        {L"r-ss", [&](ExternalReturn& r) { r.setName(ss, RTPICKS); }, L"<Selection set: 2a>"},
        {L"r-ent", [&](ExternalReturn& r) { r.setName(ss, RTENAME); }, L"<Entity name: 2a>"},
        {L"r-list",
         [](ExternalReturn& r) {
             RbPtr l = RbBuilder()
                           .addString(RTSTR, L"a")
                           .addNone(RTLB)
                           .addShort(RTSHORT, 1)
                           .addReal(RTREAL, 2)
                           .addNone(RTLE)
                           .addNone(RTT)
                           .take();
             r.setList(l.get());
         },
         L"(\"a\" (1 2.0) T)"},
        {L"r-dotted",
         [](ExternalReturn& r) {
             RbPtr l = RbBuilder()
                           .addNone(RTLB)
                           .addShort(RTSHORT, 8)
                           .addNone(RTDOTE)
                           .addString(RTSTR, L"0")
                           .addNone(RTLE)
                           .take();
             r.setValue(l.get());
         },
         L"(8 . \"0\")"},
        {L"r-empty-list", [](ExternalReturn& r) { r.setList(nullptr); }, L"nil"},
    };
    Lisp lisp;
    for (const Row& row : rows) {
        auto set = row.set;
        lisp.in.externals().define(row.name, [set](ExternalCall& call) {
            set(call.result);
            return RSRSLT;
        });
        EXPECT_EQ(lisp.eval(L"(" + std::wstring(row.name) + L")"), std::wstring(row.printed))
            << narrow(row.name);
    }
    EXPECT_EQ(lisp.eval(L"(type r-int)"), L"EXRXSUBR");
    EXPECT_EQ(lisp.eval(L"r-int"), L"#<EXRXSUBR R-INT>");
}

TEST(LispExternal, FailuresBecomeLispErrorsAndNeverEscape) {
    Lisp lisp;
    lisp.in.externals().define(L"ZELADS_FAIL", [](ExternalCall&) { return RSERR; });
    lisp.in.externals().define(
        L"zel-throw", [](ExternalCall&) -> int { throw std::runtime_error("module bug"); });
    EXPECT_EQ(lisp.eval(L"(zelads_fail 1)"), L"!External");
    EXPECT_EQ(lisp.out, L"\n; エラー: 外部関数がエラーを返しました: ZELADS_FAIL");
    EXPECT_EQ(lisp.eval(L"(zel-throw)"), L"!External");
    EXPECT_EQ(lisp.in.externals().current(), nullptr);
    // A value that has no resbuf form cannot be passed.
    lisp.in.externals().define(L"zel-ok", [](ExternalCall&) { return RSRSLT; });
    EXPECT_EQ(lisp.eval(L"(zel-ok car)"), L"!BadArgumentType");
}

TEST(LispExternal, CurrentCallIsVisibleOnlyDuringTheCall) {
    Lisp lisp;
    ExternalRegistry& reg = lisp.in.externals();
    std::wstring nameSeen;
    reg.define(L"Zelads_Probe", [&](ExternalCall& call) {
        ExternalCall* cur = lisp.in.externals().current();
        nameSeen = cur ? cur->name : L"none";
        if (cur) cur->result.setString(rbToLisp(cur->args));
        return RSRSLT;
    });
    EXPECT_EQ(lisp.eval(L"(ZELADS_PROBE \"a\" 2)"), L"\"(\\\"a\\\" 2)\"");
    EXPECT_EQ(nameSeen, L"ZELADS_PROBE");
    EXPECT_EQ(reg.current(), nullptr);
}

TEST(LispExternal, DefineUndefineAndRedefine) {
    Lisp lisp;
    ExternalRegistry& reg = lisp.in.externals();
    EXPECT_FALSE(reg.define(L"", [](ExternalCall&) { return RSRSLT; }));
    EXPECT_TRUE(reg.define(L"zelads_x", [](ExternalCall& c) {
        c.result.setInt(1);
        return RSRSLT;
    }));
    EXPECT_TRUE(reg.contains(L"ZELADS_X"));
    EXPECT_EQ(lisp.eval(L"(zelads_x)"), L"1");
    EXPECT_TRUE(reg.define(L"ZELADS_X", [](ExternalCall& c) {
        c.result.setInt(2);
        return RSRSLT;
    }));
    EXPECT_EQ(lisp.eval(L"(zelads_x)"), L"2");
    EXPECT_TRUE(reg.undefine(L"Zelads_X"));
    EXPECT_FALSE(reg.undefine(L"Zelads_X"));
    EXPECT_EQ(lisp.eval(L"(zelads_x)"), L"!NoFunction");
    // A function value kept in a variable fails plainly once its function is gone.
    reg.define(L"zelads_y", [](ExternalCall&) { return RSRSLT; });
    lisp.eval(L"(setq keep zelads_y)");
    reg.undefine(L"zelads_y");
    EXPECT_EQ(lisp.eval(L"(keep)"), L"!NoFunction");
}

TEST(LispInvoke, CallsLispAndExternalFunctionsByName) {
    Lisp lisp;
    lisp.eval(L"(defun add2 (a b) (+ a b))");
    lisp.eval(L"(defun pt () '(1.0 2.0 3.0))");
    lisp.eval(L"(defun ints () '(1 2))");
    lisp.eval(L"(defun nothing () nil)");
    lisp.eval(L"(defun silent () (princ))");
    lisp.in.externals().define(L"Zelads_Grav", [](ExternalCall& c) {
        c.result.setReal(static_cast<double>(zel::core::rbLength(c.args)));
        return RSRSLT;
    });
    struct Row {
        RbPtr args;
        const wchar_t* result;
    };
    std::vector<Row> rows;
    rows.push_back(
        {RbBuilder().addString(RTSTR, L"ADD2").addShort(RTSHORT, 1).addLong(RTLONG, 2).take(),
         L"(3)"});
    rows.push_back({RbBuilder().addString(RTSTR, L"pt").take(), L"((1.0 2.0 3.0))"});
    rows.push_back({RbBuilder().addString(RTSTR, L"ints").take(), L"((1 2))"});
    rows.push_back({RbBuilder().addString(RTSTR, L"nothing").take(), L"nil"});
    rows.push_back({RbBuilder().addString(RTSTR, L"silent").take(), L"nil"});
    rows.push_back({RbBuilder()
                        .addString(RTSTR, L"Zelads_Grav")
                        .addString(RTSTR, L"in")
                        .addString(RTSTR, L"out")
                        .take(),
                    L"(2.0)"});
    rows.push_back({RbBuilder()
                        .addString(RTSTR, L"strcat")
                        .addString(RTSTR, L"a")
                        .addString(RTSTR, L"b")
                        .take(),
                    L"(\"ab\")"});
    for (const Row& row : rows) {
        resbuf* out = nullptr;
        EXPECT_EQ(lisp.in.invoke(row.args.get(), &out), RTNORM) << narrow(row.result);
        RbPtr owned(out);
        EXPECT_EQ(rbToLisp(out), std::wstring(row.result));
    }
    // The point comes back as one RT3DPOINT node, (princ) as RTVOID.
    resbuf* out = nullptr;
    RbPtr args = RbBuilder().addString(RTSTR, L"pt").take();
    lisp.in.invoke(args.get(), &out);
    RbPtr owned(out);
    EXPECT_EQ(types(out), std::vector<int>{RT3DPOINT});
    args = RbBuilder().addString(RTSTR, L"silent").take();
    lisp.in.invoke(args.get(), &out);
    owned.reset(out);
    EXPECT_EQ(types(out), std::vector<int>{RTVOID});
}

TEST(LispInvoke, FailuresGiveRtError) {
    Lisp lisp;
    lisp.eval(L"(defun boom () (car 1))");
    resbuf* out = reinterpret_cast<resbuf*>(1);
    RbPtr unknown = RbBuilder().addString(RTSTR, L"ZelScAddCmbList").addShort(RTSHORT, 1).take();
    EXPECT_EQ(lisp.in.invoke(unknown.get(), &out), RTERROR);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(lisp.out, L""); // an unknown function is the caller's to report
    RbPtr boom = RbBuilder().addString(RTSTR, L"boom").take();
    EXPECT_EQ(lisp.in.invoke(boom.get(), &out), RTERROR);
    EXPECT_EQ(lisp.out, L"\n; エラー: 引数のタイプが違います: consp: 1");
    RbPtr notName = RbBuilder().addShort(RTSHORT, 1).take();
    EXPECT_EQ(lisp.in.invoke(notName.get(), &out), RTERROR);
    EXPECT_EQ(lisp.in.invoke(nullptr, &out), RTERROR);
    RbPtr wrongCount = RbBuilder().addString(RTSTR, L"boom").addShort(RTSHORT, 1).take();
    EXPECT_EQ(lisp.in.invoke(wrongCount.get(), &out), RTERROR);
}

TEST(LispInvoke, ExternalFunctionMayCallBackIntoLisp) {
    Lisp lisp;
    lisp.eval(L"(defun twice (x) (* 2 x))");
    lisp.in.externals().define(L"outer", [&](ExternalCall& call) {
        RbPtr args = RbBuilder().addString(RTSTR, L"twice").take();
        resbuf* tail = zel::core::rbCopy(call.args).release();
        args->rbnext = tail;
        resbuf* out = nullptr;
        int rc = lisp.in.invoke(args.get(), &out);
        RbPtr owned(out);
        if (rc != RTNORM) return RSERR;
        call.result.setValue(out);
        return RSRSLT;
    });
    EXPECT_EQ(lisp.eval(L"(outer 21)"), L"42");
    EXPECT_EQ(lisp.eval(L"(outer \"x\")"), L"!External");
}

TEST(LispSymbols, GetSymAndPutSymAsTheModulesUseThem) {
    Lisp lisp;
    RbPtr sw = RbBuilder().addShort(RTSHORT, 5).take();
    EXPECT_EQ(lisp.in.putSym(L"ZelGlobalSw2002", sw.get()), RTNORM);
    EXPECT_EQ(lisp.eval(L"zelglobalsw2002"), L"5");
    lisp.eval(L"(setq ZelGlobalPt2002 '(10.0 20.0 0.0) other '(1 2) s \"x\")");
    resbuf* v = nullptr;
    EXPECT_EQ(lisp.in.getSym(L"ZelGlobalPt2002", &v), RTNORM);
    RbPtr owned(v);
    EXPECT_EQ(types(v), std::vector<int>{RT3DPOINT});
    EXPECT_EQ(lisp.in.getSym(L"other", &v), RTNORM);
    owned.reset(v);
    EXPECT_EQ(types(v), (std::vector<int>{RTLB, RTSHORT, RTSHORT, RTLE}));
    EXPECT_EQ(lisp.in.getSym(L"never-set", &v), RTNORM);
    EXPECT_EQ(v, nullptr);
    EXPECT_EQ(lisp.in.getSym(L"car", &v), RTERROR); // a function has no resbuf form
    EXPECT_EQ(lisp.in.getSym(L"", &v), RTERROR);
    RbPtr list =
        RbBuilder().addNone(RTLB).addShort(RTSHORT, 1).addString(RTSTR, L"a").addNone(RTLE).take();
    EXPECT_EQ(lisp.in.putSym(L"lst", list.get()), RTNORM);
    EXPECT_EQ(lisp.eval(L"lst"), L"(1 \"a\")");
    RbPtr several = RbBuilder().addShort(RTSHORT, 1).addShort(RTSHORT, 2).take();
    EXPECT_EQ(lisp.in.putSym(L"two", several.get()), RTNORM);
    EXPECT_EQ(lisp.eval(L"two"), L"(1 2)");
    EXPECT_EQ(lisp.in.putSym(L"lst", nullptr), RTNORM);
    EXPECT_EQ(lisp.eval(L"lst"), L"nil");
    EXPECT_EQ(lisp.in.putSym(L"T", sw.get()), RTERROR);
    EXPECT_EQ(lisp.eval(L"T"), L"T");
}

TEST(LispSymbols, SelectionSetsKeepOneIdentityAndAreReleasedOnce) {
    Lisp lisp;
    auto bridge = std::make_shared<HostBridge>();
    std::vector<int64_t> released;
    bridge->ssRelease = [&](const ads_name n) { released.push_back(n[0]); };
    lisp.in.setHostBridge(bridge);
    ads_name seven = {7, 1};
    RbPtr ss = RbBuilder().addName(RTPICKS, seven).take();
    lisp.in.putSym(L"a", ss.get());
    lisp.in.putSym(L"b", ss.get());
    EXPECT_EQ(lisp.eval(L"(eq a b)"), L"T");
    EXPECT_EQ(lisp.eval(L"a"), L"<Selection set: 7>");
    lisp.eval(L"(setq a nil)");
    EXPECT_TRUE(released.empty());
    lisp.eval(L"(setq b nil)");
    EXPECT_EQ(released, std::vector<int64_t>{7});
}
