// The command engine: lookup of typed names, the command line, acedCommandS / acedCmdS with
// pending commands, cancelling, CMDNAMES and LASTPROMPT.
#include "session_fixture.h"

#include "editor/cmdregistry.h"
#include "editor/selection.h"

namespace {

using zel::editor::CommandDef;
using zel::editor::CommandRegistry;

CommandDef def(const wchar_t* group, const wchar_t* global, const wchar_t* local, bool builtin) {
    CommandDef d;
    d.group = group;
    d.global = global;
    d.local = local;
    d.builtin = builtin;
    d.run = [] {};
    return d;
}

TEST(CommandRegistry, LookupByGlobalAndLocalNamesWithPrefixes) {
    CommandRegistry r;
    ASSERT_TRUE(r.add(def(L"ACAD", L"LINE", L"LINE", true)));
    ASSERT_TRUE(r.add(def(L"MOD", L"LINE", L"LINE", false))); // redefines LINE
    ASSERT_TRUE(r.add(def(L"MOD", L"ZEL_FOO", L"ZFOO", false)));
    EXPECT_FALSE(r.add(def(L"MOD", L"zel_foo", L"OTHER", false))) << "same global name twice";
    struct Case {
        const wchar_t* typed;
        const wchar_t* group;  // expected group, null for none
        const wchar_t* global; // expected global name
    } cases[] = {
        {L"line", L"MOD", L"LINE"},        {L".line", L"ACAD", L"LINE"},
        {L"._LINE", L"ACAD", L"LINE"},     {L"_.line", L"ACAD", L"LINE"},
        {L"_line", L"MOD", L"LINE"},       {L"zfoo", L"MOD", L"ZEL_FOO"},
        {L"_ZEL_FOO", L"MOD", L"ZEL_FOO"}, {L"zel_foo", L"MOD", L"ZEL_FOO"},
        {L"_ZFOO", nullptr, nullptr},      {L".ZFOO", nullptr, nullptr},
        {L"", nullptr, nullptr},           {L"._", nullptr, nullptr},
    };
    for (const Case& c : cases) {
        const CommandDef* d = r.find(c.typed);
        if (!c.group) {
            EXPECT_EQ(d, nullptr) << zel::core::wideToUtf8(c.typed);
            continue;
        }
        ASSERT_NE(d, nullptr) << zel::core::wideToUtf8(c.typed);
        EXPECT_EQ(d->group, c.group) << zel::core::wideToUtf8(c.typed);
        EXPECT_EQ(d->global, c.global) << zel::core::wideToUtf8(c.typed);
    }
    EXPECT_EQ(r.removeGroup(L"MOD"), 2);
    ASSERT_NE(r.find(L"line"), nullptr);
    EXPECT_EQ(r.find(L"line")->group, L"ACAD");
}

class EngineTest : public SessionTest {
protected:
    size_t lines() { return entities("LINE").size(); }
    AcGePoint3d lineEnd(size_t i) {
        AcDbLine* l = nullptr;
        EXPECT_EQ(acdbOpenObject(l, entities("LINE").at(i), AcDb::kForRead), Acad::eOk);
        AcGePoint3d p = l ? l->endPoint() : AcGePoint3d();
        if (l) l->close();
        return p;
    }
    int counter(const char* what) {
        if (!mReactor) {
            zel::commands::CommandReactor r;
            r.cancelled = [this](std::wstring_view n) { ++mCancelled[std::wstring(n)]; };
            r.ended = [this](std::wstring_view n) { ++mEnded[std::wstring(n)]; };
            mReactor = engine().addReactor(r);
        }
        return std::string(what) == "cancelled" ? mCancelled[L"LINE"] : mEnded[L"LINE"];
    }
    int mReactor = 0;
    std::map<std::wstring, int> mCancelled, mEnded;
};

TEST_F(EngineTest, CommandSLeavesACommandPendingAndTheNextCallFeedsIt) {
    counter("ended");
    std::wstring namesWhilePending, promptWhilePending;
    module(L"MODCMD", [&] {
        ed().print(L"\n距離 が大きすぎます");
        EXPECT_EQ(acedCommandS(RTSTR, L"._LINE", RTSTR, L"0,0", RTNONE), RTNORM);
        EXPECT_TRUE(engine().pending());
        namesWhilePending = var(L"CMDNAMES");
        promptWhilePending = var(L"LASTPROMPT");
        ads_point p = {10, 0, 0};
        EXPECT_EQ(acedCommandS(RTPOINT, p, RTNONE), RTNORM);
        EXPECT_TRUE(engine().pending());
        EXPECT_EQ(acedCommandS(RTSTR, L"20,5", RTSTR, L"", RTNONE), RTNORM);
        EXPECT_FALSE(engine().pending());
    });
    run("MODCMD\n");
    EXPECT_EQ(namesWhilePending, L"MODCMD'LINE");
    EXPECT_EQ(promptWhilePending.find(L"次の点"), std::wstring::npos)
        << "a pending command has not shown the prompt it waits at";
    EXPECT_EQ(lines(), 2u);
    EXPECT_EQ(lineEnd(1), AcGePoint3d(20, 5, 0));
    EXPECT_EQ(counter("ended"), 1);
    EXPECT_EQ(var(L"CMDNAMES"), L"");
}

TEST_F(EngineTest, EmptyCommandSOrTheEndOfTheModuleCommandCancelsThePendingCommand) {
    counter("cancelled");
    module(L"EMPTYCALL", [&] {
        acedCommandS(RTSTR, L"LINE", RTSTR, L"0,0", RTSTR, L"10,0", RTNONE);
        EXPECT_EQ(acedCommandS(RTNONE), RTNORM);
        EXPECT_FALSE(engine().pending());
    });
    module(L"LEAVES", [&] { acedCommandS(RTSTR, L"LINE", RTSTR, L"0,0", RTSTR, L"0,10", RTNONE); });
    run("EMPTYCALL\nLEAVES\n");
    EXPECT_FALSE(engine().pending());
    EXPECT_EQ(lines(), 2u) << "segments drawn before the cancel stay";
    EXPECT_EQ(counter("cancelled"), 2);
    EXPECT_TRUE(has("*キャンセル*"));
}

TEST_F(EngineTest, APostedCtrlCCancelsAPendingCommandAtOnce) {
    counter("cancelled");
    bool pendingAfterPost = true;
    double real = 0;
    module(L"POSTER", [&] {
        acedCommandS(RTSTR, L"LINE", RTSTR, L"0,0", RTSTR, L"10,0", RTNONE);
        ed().queue().post(L"\x03");
        pendingAfterPost = engine().pending();
        EXPECT_EQ(counter("cancelled"), 1);
        // the Ctrl-C is used up: typing posted next goes to the module's own input call
        ed().queue().post(L"2.5\n");
        EXPECT_EQ(acedGetReal(L"\n実数:", &real), RTNORM);
    });
    run("POSTER\n");
    EXPECT_FALSE(pendingAfterPost);
    EXPECT_EQ(lines(), 1u);
    EXPECT_EQ(real, 2.5);
}

TEST_F(EngineTest, CmdSLetsTheUserFinishAndReportsCancel) {
    int first = 0, second = 0;
    module(L"USERLINE", [&] {
        resbuf* rb = acutBuildList(RTSTR, L"LINE", RTSTR, L"0,0", RTSTR, L"10,0", 0);
        first = acedCmdS(rb);
        acutRelRb(rb);
    });
    module(L"USERESC", [&] {
        resbuf* rb = acutBuildList(RTSTR, L"CIRCLE", RTSTR, L"0,0", 0);
        second = acedCmdS(rb);
        acutRelRb(rb);
    });
    run("USERLINE 30,0 \"\"\nUSERESC !esc\n");
    EXPECT_EQ(first, RTNORM);
    EXPECT_EQ(second, RTCAN) << transcript();
    EXPECT_EQ(lines(), 2u);
    EXPECT_EQ(lineEnd(1), AcGePoint3d(30, 0, 0));
    EXPECT_TRUE(entities("CIRCLE").empty());
    EXPECT_FALSE(ed().queue().exhausted());
}

TEST_F(EngineTest, AModuleCommandIsOneUndoStepWithItsHostCommands) {
    module(L"TWO", [&] {
        acedCommandS(RTSTR, L"LINE", RTSTR, L"0,0", RTSTR, L"1,0", RTSTR, L"", RTNONE);
        acedCommandS(RTSTR, L"CIRCLE", RTSTR, L"0,0", RTSTR, L"5", RTNONE);
    });
    std::string before = dump();
    run("LINE 5,5 6,6 \"\"\nTWO\n");
    EXPECT_EQ(lines(), 2u);
    EXPECT_EQ(entities("CIRCLE").size(), 1u);
    run("U\n");
    EXPECT_EQ(lines(), 1u);
    EXPECT_TRUE(entities("CIRCLE").empty());
    EXPECT_TRUE(has("TWO"));
    run("U\n");
    EXPECT_EQ(dump(), before);
}

TEST_F(EngineTest, CommandLineRunsLispAndSystemVariablesAndRefusesUnknownNames) {
    run("(+ 1 2)\n(setq a \"x\")\nORTHOMODE 1\nCMDNAMES\nNOSUCHCMD\n");
    EXPECT_TRUE(has("\n3\n")) << transcript();
    EXPECT_TRUE(has("\n\"x\"")) << transcript();
    EXPECT_EQ(var(L"ORTHOMODE"), L"1");
    EXPECT_TRUE(has("CMDNAMES = \"CMDNAMES\" (読み込み専用)")) << transcript();
    EXPECT_TRUE(has("不明なコマンド \"NOSUCHCMD\" です。")) << transcript();
}

TEST_F(EngineTest, EnterRepeatsTheLastCommandAndBlanksSplitTyping) {
    run("POINT 1,1\n\"\" 2,2\n\"POINT 3,3\"\n");
    EXPECT_EQ(entities("POINT").size(), 3u);
}

TEST_F(EngineTest, TokensAreTypedInFullPrecision) {
    ads_point p = {0.1, 1.0 / 3.0, 0};
    ads_point q = {1e-7, -2.5, 0};
    module(L"PREC",
           [&] { acedCommandS(RTSTR, L"LINE", RTPOINT, p, RTPOINT, q, RTSTR, L"", RTNONE); });
    run("PREC\n");
    ASSERT_EQ(lines(), 1u);
    AcDbLine* l = nullptr;
    ASSERT_EQ(acdbOpenObject(l, entities("LINE")[0], AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(l->startPoint().y, 1.0 / 3.0);
    EXPECT_EQ(l->endPoint().x, 1e-7);
    l->close();
}

TEST_F(EngineTest, EntityNamesAndSetsInTokenListsAnswerSelectionPrompts) {
    run("LINE 0,0 10,0 \"\"\nLINE 0,5 10,5 \"\"\nCIRCLE 50,50 5\n");
    std::vector<AcDbObjectId> ids = entities();
    ASSERT_EQ(ids.size(), 3u);
    ads_name first, circle;
    ASSERT_EQ(acdbGetAdsName(first, ids[0]), Acad::eOk);
    ASSERT_EQ(acdbGetAdsName(circle, ids[2]), Acad::eOk);
    module(L"BYNAME", [&] {
        EXPECT_EQ(acedCommandS(RTSTR, L"ERASE", RTENAME, first, RTSTR, L"", RTNONE), RTNORM);
        ads_name set;
        zel::editor::newSelectionSet(ed(), {ids[2]}, set);
        ads_point base = {0, 0, 0}, to = {100, 0, 0};
        EXPECT_EQ(acedCommandS(RTSTR, L"MOVE", RTPICKS, set, RTSTR, L"", RTPOINT, base, RTPOINT, to,
                               RTNONE),
                  RTNORM);
        zel::editor::freeSelectionSet(ed(), set);
        EXPECT_FALSE(engine().pending());
    });
    run("BYNAME\n");
    EXPECT_EQ(entities("LINE").size(), 1u);
    AcDbCircle* c = nullptr;
    ASSERT_EQ(acdbOpenObject(c, ids[2], AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(c->center(), AcGePoint3d(150, 50, 0)) << transcript();
    c->close();
}

TEST_F(EngineTest, ABadTokenOrUnknownCommandInATokenListIsAnError) {
    module(L"BAD", [&] {
        EXPECT_EQ(acedCommandS(RTSTR, L"NOSUCH", RTSTR, L"0,0", RTNONE), RTERROR);
        resbuf* rb = acutBuildList(RTSTR, L"LINE", RTSHORT, 3, 0);
        rb->rbnext->restype = RTT; // no token has this type
        EXPECT_EQ(acedCmdS(rb), RTERROR);
        acutRelRb(rb);
    });
    run("BAD\n");
    EXPECT_FALSE(engine().pending());
    EXPECT_EQ(lines(), 0u);
}

} // namespace
