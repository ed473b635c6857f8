// The LISP functions the host answers: without a host they fail plainly; with a host (a
// small fake here) their arguments and results cross as the bridge describes.
#include "core/resbuf.h"
#include "lisp/host_bridge.h"
#include "lisp_test.h"

#include <map>
#include <stdexcept>

using namespace zel::lisp;
using namespace zel::lisp::test;
using zel::core::RbBuilder;
using zel::core::RbPtr;
using zel::core::rbToLisp;

TEST(LispHost, UnwiredHostFunctionsSayNotAvailable) {
    const wchar_t* calls[] = {
        L"(getvar \"OSMODE\")",
        L"(setvar \"OSMODE\" 0)",
        L"(command \"LINE\")",
        L"(ssget)",
        L"(ssadd)",
        L"(entlast)",
        L"(entnext)",
        L"(handent \"1F\")",
        L"(initget 1)",
        L"(getpoint)",
        L"(getstring T \"x\")",
        L"(getint)",
        L"(getreal)",
        L"(getdist)",
        L"(getangle)",
        L"(getorient)",
        L"(getkword)",
        L"(getcorner '(0 0))",
        L"(entsel)",
        L"(findfile \"a.lin\")",
        L"(alert \"x\")",
        L"(read-line)",
        L"(entmake '((0 . \"LINE\")))",
    };
    for (const wchar_t* call : calls) {
        Lisp lisp;
        EXPECT_EQ(lisp.eval(call), L"!NotAvailable") << narrow(call);
        EXPECT_NE(lisp.out.find(L"not available"), std::wstring::npos) << narrow(call);
    }
}

namespace {

// A host with a few variables, one drawing of entities 1..3 and a selection of them.
struct FakeHost {
    std::map<std::wstring, int> vars{{L"OSMODE", 33}, {L"CMDECHO", 1}};
    std::vector<std::wstring> commands;
    SsGetRequest lastSsget;
    InputRequest lastInput;
    int inputAnswer = RTNORM;
    RbPtr lastEntmod;

    std::shared_ptr<HostBridge> bridge() {
        auto b = std::make_shared<HostBridge>();
        b->getVar = [this](std::wstring_view name) -> RbPtr {
            auto it = vars.find(std::wstring(name));
            if (it == vars.end()) return nullptr;
            return RbBuilder().addShort(RTSHORT, it->second).take();
        };
        b->setVar = [this](std::wstring_view name, const resbuf* v) {
            if (!vars.count(std::wstring(name)) || !v || v->restype != RTSHORT ||
                v->resval.rint < 0)
                return RTERROR;
            vars[std::wstring(name)] = v->resval.rint;
            return RTNORM;
        };
        b->command = [this](const resbuf* tokens) {
            commands.push_back(rbToLisp(tokens));
            return tokens && tokens->restype == RTSTR &&
                           std::wstring(tokens->resval.rstring) == L"ESC"
                       ? RTCAN
                       : RTNORM;
        };
        b->ssget = [this](const SsGetRequest& r, ads_name out) {
            lastSsget.mode = r.mode;
            lastSsget.pointCount = r.pointCount;
            ads_point_set(r.pt1, lastSsget.pt1);
            ads_point_set(r.pt2, lastSsget.pt2);
            lastSsget.pointList = zel::core::rbCopy(r.pointList.get());
            lastSsget.filter = zel::core::rbCopy(r.filter.get());
            out[0] = 100;
            out[1] = 0;
            return r.mode && *r.mode == L"NONE" ? RTERROR : RTNORM;
        };
        b->sslength = [](const ads_name, int32_t* n) {
            *n = 3;
            return RTNORM;
        };
        b->ssname = [](const ads_name, int32_t i, ads_name ent) {
            if (i < 0 || i > 2) return RTERROR;
            ent[0] = i + 1;
            ent[1] = 0;
            return RTNORM;
        };
        b->entget = [](const ads_name ent, const resbuf*) -> RbPtr {
            if (ent[0] < 1 || ent[0] > 3) return nullptr;
            return RbBuilder()
                .addName(-1, ent)
                .addString(0, L"LINE")
                .addString(8, L"0")
                .addPoint(10, 0, 0, 0)
                .addPoint(11, 10, 0, 0)
                .take();
        };
        b->entmod = [this](const resbuf* data) {
            lastEntmod = zel::core::rbCopy(data);
            return RTNORM;
        };
        b->entlast = [](ads_name out) {
            out[0] = 3;
            out[1] = 0;
            return RTNORM;
        };
        b->entnext = [](const ads_name from, ads_name out) {
            int64_t next = from ? from[0] + 1 : 1;
            if (next > 3) return RTERROR;
            out[0] = next;
            out[1] = 0;
            return RTNORM;
        };
        b->getInput = [this](const InputRequest& r, InputReply& reply) {
            lastInput = r;
            reply.point[0] = 5;
            reply.point[1] = 6;
            reply.point[2] = 0;
            reply.integer = 12;
            reply.real = 2.5;
            reply.text = inputAnswer == RTKWORD ? L"Undo" : L"typed";
            return inputAnswer;
        };
        return b;
    }
};

} // namespace

TEST(LispHost, SystemVariables) {
    Lisp lisp;
    FakeHost host;
    lisp.in.setHostBridge(host.bridge());
    runTable(lisp, {
                       {L"(getvar \"OSMODE\")", L"33"},
                       {L"(getvar \"NOSUCHVAR\")", L"nil"},
                       {L"(setvar \"OSMODE\" 0)", L"0"},
                       {L"(getvar \"OSMODE\")", L"0"},
                       {L"(setvar \"OSMODE\" -1)", L"!HostRejected"},
                       {L"(setvar \"OSMODE\" \"x\")", L"!HostRejected"},
                       {L"(getvar 1)", L"!BadArgumentType"},
                   });
    EXPECT_NE(lisp.out.find(L"\"OSMODE\" -1"), std::wstring::npos);
}

TEST(LispHost, CommandTokens) {
    Lisp lisp;
    FakeHost host;
    lisp.in.setHostBridge(host.bridge());
    EXPECT_EQ(lisp.eval(L"(command \"_.LINE\" '(0 0) '(10 0 0) \"\")"), L"nil");
    EXPECT_EQ(lisp.eval(L"(command \"CIRCLE\" '(1 1) 2.5 nil)"), L"nil");
    EXPECT_EQ(lisp.eval(L"(command)"), L"nil");
    EXPECT_EQ(lisp.eval(L"(command \"ESC\")"), L"!Cancelled");
    ASSERT_EQ(host.commands.size(), 4u);
    EXPECT_EQ(host.commands[0], L"(\"_.LINE\" (0.0 0.0) (10.0 0.0 0.0) \"\")");
    EXPECT_EQ(host.commands[1], L"(\"CIRCLE\" (1.0 1.0) 2.5)");
    EXPECT_EQ(host.commands[2], L"nil");
}

TEST(LispHost, SelectionSetFunctions) {
    Lisp lisp;
    FakeHost host;
    lisp.in.setHostBridge(host.bridge());
    EXPECT_EQ(lisp.eval(L"(setq ss (ssget \"W\" '(0 0) '(10 10)))"), L"<Selection set: 64>");
    EXPECT_EQ(*host.lastSsget.mode, L"W");
    EXPECT_EQ(host.lastSsget.pointCount, 2);
    EXPECT_EQ(host.lastSsget.pt2[0], 10);
    EXPECT_EQ(lisp.eval(L"(ssget \"X\" '((0 . \"LINE\") (8 . \"0\")))"), L"<Selection set: 64>");
    EXPECT_EQ(rbToLisp(host.lastSsget.filter.get()), L"((0 . \"LINE\") (8 . \"0\"))");
    lisp.eval(L"(ssget \"F\" '((0 0) (5 5) (10 0)))");
    EXPECT_EQ(zel::core::rbLength(host.lastSsget.pointList.get()), 3u);
    lisp.eval(L"(ssget '(2 3))");
    EXPECT_FALSE(host.lastSsget.mode.has_value());
    EXPECT_EQ(host.lastSsget.pointCount, 1);
    EXPECT_EQ(lisp.eval(L"(ssget \"NONE\")"), L"nil");
    EXPECT_EQ(lisp.eval(L"(ssget \"W\" 5)"), L"!BadArgumentType");
    EXPECT_EQ(lisp.eval(L"(sslength ss)"), L"3");
    EXPECT_EQ(lisp.eval(L"(ssname ss 0)"), L"<Entity name: 1>");
    EXPECT_EQ(lisp.eval(L"(ssname ss 5)"), L"nil");
    EXPECT_EQ(lisp.eval(L"(sslength 1)"), L"!BadArgumentType");
    EXPECT_EQ(lisp.eval(L"(type ss)"), L"PICKSET");
}

TEST(LispHost, EntityFunctions) {
    Lisp lisp;
    FakeHost host;
    lisp.in.setHostBridge(host.bridge());
    EXPECT_EQ(lisp.eval(L"(setq e (entnext))"), L"<Entity name: 1>");
    EXPECT_EQ(lisp.eval(L"(entnext (entnext e))"), L"<Entity name: 3>");
    EXPECT_EQ(lisp.eval(L"(entnext (entlast))"), L"nil");
    EXPECT_EQ(lisp.eval(L"(setq ed (entget e))"),
              L"((-1 . <Entity name: 1>) (0 . \"LINE\") (8 . \"0\") (10 0.0 0.0 0.0) "
              L"(11 10.0 0.0 0.0))");
    EXPECT_EQ(lisp.eval(L"(cdr (assoc 0 ed))"), L"\"LINE\"");
    EXPECT_EQ(lisp.eval(L"(type (cdr (assoc -1 ed)))"), L"ENAME");
    EXPECT_EQ(lisp.eval(L"(entmod (subst '(8 . \"寸法\") (assoc 8 ed) ed))"),
              L"((-1 . <Entity name: 1>) (0 . \"LINE\") (8 . \"寸法\") (10 0.0 0.0 0.0) "
              L"(11 10.0 0.0 0.0))");
    EXPECT_EQ(rbToLisp(host.lastEntmod.get()),
              L"((-1 . <Entity name: 1>) (0 . \"LINE\") (8 . \"寸法\") (10 0.0 0.0 0.0) "
              L"(11 10.0 0.0 0.0))");
    EXPECT_EQ(lisp.eval(L"(entmod '((10 . \"bad\")))"), L"!BadArgumentValue");
    EXPECT_EQ(lisp.eval(L"(entget \"e\")"), L"!BadArgumentType");
}

TEST(LispHost, InputFunctions) {
    Lisp lisp;
    FakeHost host;
    lisp.in.setHostBridge(host.bridge());
    EXPECT_EQ(lisp.eval(L"(getpoint \"\\n点を指示:\")"), L"(5.0 6.0 0.0)");
    EXPECT_EQ(host.lastInput.prompt, L"\n点を指示:");
    EXPECT_FALSE(host.lastInput.hasBase);
    EXPECT_EQ(lisp.eval(L"(getpoint '(1 2) \"next\")"), L"(5.0 6.0 0.0)");
    EXPECT_TRUE(host.lastInput.hasBase);
    EXPECT_EQ(host.lastInput.base[1], 2);
    EXPECT_EQ(lisp.eval(L"(getint \"n\")"), L"12");
    EXPECT_EQ(lisp.eval(L"(getreal)"), L"2.5");
    EXPECT_EQ(lisp.eval(L"(getdist '(0 0))"), L"2.5");
    EXPECT_EQ(lisp.eval(L"(getstring T \"name\")"), L"\"typed\"");
    EXPECT_TRUE(host.lastInput.allowSpaces);
    EXPECT_EQ(lisp.eval(L"(getstring \"name\")"), L"\"typed\"");
    EXPECT_FALSE(host.lastInput.allowSpaces);
    host.inputAnswer = RTKWORD;
    EXPECT_EQ(lisp.eval(L"(getpoint)"), L"\"Undo\"");
    host.inputAnswer = RTNONE;
    EXPECT_EQ(lisp.eval(L"(getpoint)"), L"nil");
    host.inputAnswer = RTCAN;
    EXPECT_EQ(lisp.eval(L"(getpoint)"), L"!Cancelled");
    EXPECT_EQ(lisp.eval(L"(getint 5)"), L"!BadArgumentType");
}

TEST(LispHost, ThrowingCallbackEndsTheEvaluationWithAnError) {
    Lisp lisp;
    auto bridge = std::make_shared<HostBridge>();
    bridge->getVar = [](std::wstring_view) -> RbPtr { throw std::runtime_error("db closed"); };
    lisp.in.setHostBridge(bridge);
    lisp.eval(L"(setq before 1)");
    lisp.eval(L"(defun f (before) (getvar \"X\"))");
    EXPECT_EQ(lisp.eval(L"(f 2)"), L"!HostRejected");
    EXPECT_NE(lisp.out.find(L"db closed"), std::wstring::npos);
    EXPECT_EQ(lisp.eval(L"before"), L"1");
}
