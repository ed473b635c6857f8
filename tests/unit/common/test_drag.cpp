// The command-object base: what it sets up and gives back, the sampling rules of its drags,
// and its input services (object-snap strings, numbers for the calculator).
#include "module_fixture.h"

#include "arx/ed.h"
#include "common/drag/drag.h"
#include "common/drag/dragmodereactor.h"

#include <string>

namespace {

class CFuncPROBE : public CDrag {
public:
    static CDrag* s_instance;
    explicit CFuncPROBE(unsigned options) {
        setDialogName(L"CMDPROBE");
        init(&s_instance, options);
    }
    static int sampler(ads_point p, ads_matrix m) { return sampleThrough(s_instance, p, m); }
    void givePreview() { mPreview = acutBuildList(RTSHORT, 1, RTPOINT, kOrigin, RTPOINT, kEnd, 0); }
    bool hasPreview() const { return mPreview != nullptr; }

private:
    static constexpr ads_point kOrigin = {0, 0, 0};
    static constexpr ads_point kEnd = {10, 0, 0};
};
CDrag* CFuncPROBE::s_instance = nullptr;

class Drag : public ModuleTest {
protected:
    Drag() { load("zelgui"); }
    size_t countEntities() {
        ads_name ss;
        if (acedSSGet(L"X", nullptr, nullptr, nullptr, ss) != RTNORM) return 0;
        int32_t n = 0;
        acedSSLength(ss, &n);
        acedSSFree(ss);
        return size_t(n);
    }
    // Drags until a point is given or a drag ends early with too few samples, as commands do.
    int dragLoop(CDrag& cmd, ads_point pt, int& drags) {
        int rc = RTERROR;
        drags = 0;
        do {
            cmd.setSampleCounter(0);
            cmd.beginDrag(nullptr, 0);
            rc = cmd.drag(nullptr, L"\n点を指定 :", 0, CFuncPROBE::sampler, pt);
            cmd.endDrag();
            ++drags;
        } while (rc != RTNORM && cmd.sampleCounter() >= cmd.threshold());
        return rc;
    }
};

TEST_F(Drag, StartAndEndGiveBackWhatTheCommandChanged) {
    run("(setvar \"DRAGMODE\" 0)\n(setvar \"OSMODE\" 5)\n");
    size_t before = countEntities();
    {
        CFuncPROBE cmd(0x59 | 0x4);
        EXPECT_EQ(CFuncPROBE::s_instance, &cmd);
        EXPECT_EQ(var(L"DRAGMODE"), 2);
        EXPECT_EQ(var(L"OSMODE"), 0);
        EXPECT_EQ(countEntities(), before + 1) << "the marker point";
        std::string shown = bar();
        EXPECT_NE(shown.find("page CMDPROBE"), std::string::npos) << shown;
        EXPECT_NE(shown.find("command bar: COORD"), std::string::npos) << shown;
    }
    EXPECT_EQ(CFuncPROBE::s_instance, nullptr);
    EXPECT_EQ(var(L"DRAGMODE"), 0);
    EXPECT_EQ(var(L"OSMODE"), 5) << "object snap given back";
    EXPECT_EQ(countEntities(), before);
    std::string shown = bar();
    EXPECT_NE(shown.find("dialog bar: no page"), std::string::npos) << shown;
    EXPECT_NE(shown.find("command bar: DEFAULT"), std::string::npos) << shown;
}

TEST_F(Drag, ADragWithoutProgressEndsAfterFiveSamplesAndStartsAgain) {
    CFuncPROBE cmd(0);
    queue("!move 1,1\n!move 2,2\n!move 3,3\n!move 4,4\n!move 5,5\n!move 6,6\n!pick 7,8\n");
    ads_point pt;
    int drags = 0;
    EXPECT_EQ(dragLoop(cmd, pt, drags), RTNORM);
    EXPECT_EQ(drags, 2) << "the fifth sample ended the first drag";
    EXPECT_DOUBLE_EQ(pt[X], 7);
    EXPECT_DOUBLE_EQ(pt[Y], 8);
    EXPECT_TRUE(cmd.acceptedPoint().isEqualTo(AcGePoint3d(7, 8, 0)));
}

TEST_F(Drag, HoldingNeverEndsADragByCountingAndKeepsTheAcceptedPoint) {
    CFuncPROBE cmd(0);
    cmd.setHold(true);
    queue("!move 1,1\n!move 2,2\n!move 3,3\n!move 4,4\n!move 5,5\n!move 6,6\n!pick 7,8\n");
    ads_point pt;
    int drags = 0;
    EXPECT_EQ(dragLoop(cmd, pt, drags), RTNORM);
    EXPECT_EQ(drags, 1);
    EXPECT_TRUE(cmd.acceptedPoint().isEqualTo(AcGePoint3d::kOrigin)) << "held";
    EXPECT_TRUE(cmd.currentSample().isEqualTo(AcGePoint3d(7, 8, 0)));
}

TEST_F(Drag, EscEndsTheDragLoopAtOnce) {
    CFuncPROBE cmd(0);
    queue("!move 1,1\n!esc\n");
    ads_point pt;
    int drags = 0;
    EXPECT_EQ(dragLoop(cmd, pt, drags), RTCAN);
    EXPECT_EQ(drags, 1);
}

TEST(DragServices, ObjectSnapStrings) {
    struct Case {
        int osmode;
        const wchar_t* modes;
    };
    static const Case kCases[] = {
        {0, L"NON"},     {16384, L"NON"},
        {40000, L"NON"}, {3, L"END,MID"},
        {4096, L""},     {1 | 32 | 512, L"END,INT,NEA"},
        {2048, L"APP"},  {4095, L"END,MID,CEN,NOD,QUA,INT,INS,PER,TAN,NEA,QUI,APP"},
    };
    for (const Case& c : kCases)
        EXPECT_EQ(CDrag::osnapModes(c.osmode), c.modes) << c.osmode;
}

TEST(DragServices, IntegerLiteralsBecomeRealForTheCalculator) {
    struct Case {
        const wchar_t* in;
        const wchar_t* out;
    };
    static const Case kCases[] = {
        {L"12/5", L"12.0/5.0"},
        {L"0+1", L"0+1.0"},
        {L"1.5e+3", L"1.5e+3"},
        {L"2e-3*4", L"2e-3*4.0"},
        {L"sqrt(16)", L"sqrt(16.0)"},
        {L"00", L"00"},
        {L"", L""},
        {L"3.", L"3."},
        {L"x2", L"x2.0"},
    };
    for (const Case& c : kCases)
        EXPECT_EQ(CDrag::realLiterals(c.in), c.out) << zel::core::wideToUtf8(c.in);
}

TEST_F(Drag, NumbersTypedIntoTheBarAreEvaluatedInReals) {
    double v = -1;
    ACHAR out[32] = L"";
    EXPECT_EQ(CDrag::evalNumber(L"12/5", out, 32, v), 1);
    EXPECT_DOUBLE_EQ(v, 2.4) << "not integer division";
    EXPECT_EQ(std::wstring(out), L"2.4");
    mark();
    v = 7;
    EXPECT_EQ(CDrag::evalNumber(L"12/", out, 32, v), 0);
    EXPECT_EQ(since(), "\n式が間違っています");
    EXPECT_DOUBLE_EQ(v, 7) << "a wrong expression leaves the value";
}

TEST(DragModeWatcher, ViewCommandsAreKnownByTheirBareNames) {
    for (const wchar_t* name :
         {L"ZOOM", L"'zoom", L"_.REDRAW", L"RTPAN", L"C:ZELDDSELECT", L"zelrefobjsc", L"VIEW"})
        EXPECT_TRUE(CDragModeReactor::redrawsView(name)) << name;
    for (const wchar_t* name : {L"LINE", L"ZOOMX", L"", L"C:", L"REGENALL"})
        EXPECT_FALSE(CDragModeReactor::redrawsView(name)) << name;
}

TEST_F(Drag, TheWatcherTakesThePreviewAwayWhenTheViewOrDragModeChanges) {
    CFuncPROBE cmd(0x1000);
    cmd.givePreview();
    run("LINE 0,0 5,5 \"\"\n");
    EXPECT_TRUE(cmd.hasPreview()) << "other commands leave it";
    run("(setvar \"DRAGMODE\" 1)\n");
    EXPECT_FALSE(cmd.hasPreview());
    cmd.givePreview();
    run("ZOOM E\n");
    EXPECT_FALSE(cmd.hasPreview());
}

TEST_F(Drag, WithoutTheOptionNoWatcherIsThere) {
    CFuncPROBE cmd(0);
    cmd.givePreview();
    run("(setvar \"DRAGMODE\" 1)\n");
    EXPECT_TRUE(cmd.hasPreview());
}

} // namespace
