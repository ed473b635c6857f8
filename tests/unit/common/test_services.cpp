// The drafting services: tolerance levels and angles, number texts, scale texts, and the rows
// of the line-kind table made current and put back.
#include "module_fixture.h"

#include "common/services/hoststate.h"
#include "common/services/layman.h"
#include "common/services/numbers.h"
#include "common/services/scale.h"
#include "common/services/undo.h"
#include "common/support/zelsupport.h"

#include <dlfcn.h>

#include <cmath>
#include <numbers>

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

TEST(Numbers, ToleranceLevelsAreClampedToZeroAndEight) {
    EXPECT_TRUE(IsZero(0.5, -3)) << "level 0: tolerance 1";
    EXPECT_TRUE(IsZero(1e-9, 12)) << "level 8";
    EXPECT_FALSE(IsZero(2e-8, 12));
    EXPECT_TRUE(IsNonNegative(-1e-9, 8));
    EXPECT_FALSE(IsNegative(-1e-9, 8));
    EXPECT_TRUE(IsNegative(-1e-3, 8));
    EXPECT_FALSE(IsPositive(1e-9, 8));
    EXPECT_EQ(SnapZero(5e-9), 0.0);
    EXPECT_EQ(SnapZero(5e-8), 5e-8);
}

TEST(Numbers, AnglesAreBroughtIntoOneTurn) {
    EXPECT_DOUBLE_EQ(NormalizeAngle(-0.5, 8), kTwoPi - 0.5);
    EXPECT_DOUBLE_EQ(NormalizeAngle(kTwoPi - 1e-10, 8), kTwoPi - 1e-10) << "not 0";
    EXPECT_DOUBLE_EQ(NormalizeAngle(3 * kTwoPi + 1, 8), 1);
    EXPECT_EQ(NormalizeAngle(kTwoPi, 8), 0);
    AcGePoint3d base(10, 5, 0), p(12, 7, 0);
    AcGePoint3d local = ToLocal(base, std::numbers::pi / 4, p);
    EXPECT_NEAR(local.x, std::sqrt(8.0), 1e-12);
    EXPECT_NEAR(local.y, 0, 1e-12);
    EXPECT_TRUE(FromLocal(base, std::numbers::pi / 4, local).isEqualTo(p));
}

TEST(Numbers, NumberTexts) {
    for (const wchar_t* yes : {L"-1.5", L"+.5", L"12", L"", L"0."})
        EXPECT_TRUE(IsNumberText(yes)) << yes;
    for (const wchar_t* no : {L"1-2", L"1.2.3", L"1e5", L"--1", L"1 ", L"+-1"})
        EXPECT_FALSE(IsNumberText(no)) << no;
}

class Services : public ModuleTest {};

TEST_F(Services, ScaleTextsWithEitherSeparator) {
    double n = 0, d = 0;
    EXPECT_EQ(ParseScale(L"1:50", n, d), 1);
    EXPECT_EQ(n, 1);
    EXPECT_EQ(d, 50);
    ZelSetCmnText(L"ZelScSym", L":");
    EXPECT_EQ(ParseScale(L"1/50", n, d), 1) << "the other separator is found too";
    EXPECT_EQ(d, 50);
    ZelSetCmnText(L"ZelScSym", L"/");
    EXPECT_EQ(ParseScale(L"5", n, d), 0);
    EXPECT_EQ(ParseScale(L"0/5", n, d), 0);
    EXPECT_EQ(ParseScale(L" dwgscale ", n, d), 2);
    EXPECT_EQ(FormatScale(0.5), L"1/2");
    EXPECT_EQ(FormatScale(1.25), L"1.25/1");
    EXPECT_EQ(FormatScale(0.02), L"1/50");
    EXPECT_EQ(FormatScale(1.0), L"1/1");
    EXPECT_DOUBLE_EQ(ScaleFactorOf(L"1/4"), 0.25);
}

TEST_F(Services, TheScaleRatioFollowsTheDrawingScale) {
    run("(setvar \"DIMSCALE\" 50)\n");
    ZelSetLocText(L"ZelCurSc", L"1/10");
    EXPECT_DOUBLE_EQ(ScaleRatio(), 5);
    ZelSetLocText(L"ZelCurSc", L"DwgScale");
    EXPECT_DOUBLE_EQ(ScaleRatio(), 1);
    EXPECT_DOUBLE_EQ(ScaleFactorOf(L"DwgScale"), 1.0 / 50);
}

TEST_F(Services, UndoRestartWithAutoOnOnlyOpensAGroup) {
    run("UNDO A ON\n");
    ASSERT_EQ(var(L"UNDOCTL") & 12, 4);
    mark();
    UndoRestartGroup();
    EXPECT_EQ(var(L"UNDOCTL") & 8, 8) << "a group is open";
    UndoCloseGroup();
    EXPECT_EQ(var(L"UNDOCTL") & 8, 0);
}

TEST_F(Services, ColoursFromTextAndLineweights) {
    EXPECT_EQ(ColorFromText(L"blue"), 5);
    EXPECT_EQ(ColorFromText(L"  12 "), 12);
    EXPECT_EQ(ColorFromText(L"bylayer"), 256);
    EXPECT_EQ(ColorFromText(L""), 0);
    EXPECT_EQ(ColorFromText(L"0"), 0);
    EXPECT_EQ(NormalizeLineweight(L"BYBLOCK"), L"-2");
    EXPECT_EQ(NormalizeLineweight(L"1.4MM"), L"140");
    EXPECT_EQ(NormalizeLineweight(L"0.35mm"), L"35");
    EXPECT_EQ(NormalizeLineweight(L"(無指定)"), L"(無指定)");
}

TEST_F(Services, ARowIsMadeCurrentForAnEditAndPutBack) {
    // Row 3 of the line-kind table: its layer, its linetype from a file on the support path.
    ZelSetCmnText(L"ZelLineType/Lin003", L"HIDL\tかくれ線");
    ZelSetCmnText(L"ZelLineType/Fnm003", L"zelcad");
    ZelSetCmnText(L"ZelLineType/Lay003", L"かくれ線");
    ZelSetCmnText(L"ZelLineType/Lln003", L"HIDL");
    ZelSetCmnText(L"ZelLineType/Lfn003", L"zelcad");
    ZelSetCmnText(L"ZelLineType/Col003", L"2");
    ZelSetCmnText(L"ZelLineType/Lcl003", L"2");
    ZelSetCmnText(L"ZelLineType/Wat003", L"0.35mm");
    run("(setvar \"CELWEIGHT\" -1)\n");
    {
        CZelLayManager row(0, 3);
        EXPECT_TRUE(row.layerReady());
        AcDbObjectId id;
        EXPECT_TRUE(LinetypeIdByName(L"HIDL", id)) << "loaded from ZELCAD.LIN";
        EXPECT_EQ(row.SetCurrent(), 0) << "CELTYPE refuses the name with its description";
        EXPECT_EQ(eval("(getvar \"CLAYER\")"), "\"かくれ線\"");
        EXPECT_EQ(eval("(getvar \"CECOLOR\")"), "\"2\"");
        EXPECT_EQ(var(L"CELWEIGHT"), 35);
    }
    EXPECT_EQ(eval("(getvar \"CLAYER\")"), "\"0\"");
    EXPECT_EQ(eval("(getvar \"CECOLOR\")"), "\"BYLAYER\"");
    EXPECT_EQ(var(L"CELWEIGHT"), -1);
}

TEST_F(Services, TheShippedHiddenLineRowMakesEveryPropertyCurrent) {
    {
        CZelLayManager row(0, 3);
        EXPECT_TRUE(row.layerReady());
        EXPECT_EQ(row.SetCurrent(), 1);
        EXPECT_EQ(eval("(getvar \"CELTYPE\")"), "\"HIDL\"");
        EXPECT_EQ(eval("(getvar \"CLAYER\")"), "\"かくれ線\"");
        EXPECT_EQ(var(L"CELWEIGHT"), -1) << "BYLAYER";
    }
    EXPECT_EQ(eval("(getvar \"CELTYPE\")"), "\"ByLayer\"");
}

TEST_F(Services, RowsOutOfRangeSetAndRestoreNothing) {
    run("-LAYER M work \"\"\n");
    {
        CZelLayManager row(0, 200);
        EXPECT_EQ(row.LoadEntry(), 0);
        EXPECT_FALSE(row.layerReady());
        run("-LAYER S 0 \"\"\n");
    }
    EXPECT_EQ(eval("(getvar \"CLAYER\")"), "\"0\"") << "nothing saved, nothing put back";
    CZelLayManager text(1, 6);
    EXPECT_EQ(text.LoadEntry(), 0) << "the default text-height table has rows 0 to 5";
    CZelLayManager first(1, 0);
    EXPECT_EQ(first.LoadEntry(), 1);
}

TEST_F(Services, ARowWithoutLayerStaysOnTheCurrentOne) {
    ZelSetCmnText(L"ZelLineType/Lin010", L"CONTINUOUS");
    ZelSetCmnText(L"ZelLineType/Col010", L"5");
    ZelSetCmnText(L"ZelLineType/Lay010", L"");
    run("-LAYER M work \"\"\n");
    {
        CZelLayManager row(0, 10);
        row.SetCurrent();
        EXPECT_EQ(eval("(getvar \"CECOLOR\")"), "\"5\"");
        run("-LAYER S 0 \"\"\n");
    }
    EXPECT_EQ(eval("(getvar \"CLAYER\")"), "\"0\"") << "CLAYER was not saved, so not put back";
}

// The same row with the settings library out of reach: the store yields its defaults, so the
// row loads with no layer, linetype or colour, and only the default lineweight is used for the
// edit and put back after it.
class ServicesWithoutSettings : public ModuleTest {
protected:
    ServicesWithoutSettings() { ::unsetenv("ZELCAD_MODULE_PATH"); }
};

TEST_F(ServicesWithoutSettings, ARowUsesTheDefaultsWhenTheLibraryIsMissing) {
    if (void* h = dlopen("zeldll.so", RTLD_NOW | RTLD_NOLOAD)) {
        dlclose(h);
        GTEST_SKIP() << "the settings library is resident in this process";
    }
    run("-LAYER M work \"\"\n(setvar \"CELWEIGHT\" 25)\n(setvar \"CECOLOR\" \"3\")\n");
    mark();
    {
        CZelLayManager row(0, 3);
        EXPECT_EQ(row.LoadEntry(), 1) << "line-kind rows load with nothing to apply";
        EXPECT_TRUE(row.field(CZelLayManager::kLay).empty());
        EXPECT_EQ(row.field(CZelLayManager::kWat), L"-3") << "the lineweight default";
        row.SetCurrent();
        EXPECT_EQ(eval("(getvar \"CLAYER\")"), "\"work\"");
        EXPECT_EQ(eval("(getvar \"CECOLOR\")"), "\"3\"");
        EXPECT_EQ(var(L"CELWEIGHT"), -3) << "the default lineweight for the edit";
    }
    EXPECT_EQ(eval("(getvar \"CLAYER\")"), "\"work\"");
    EXPECT_EQ(var(L"CELWEIGHT"), 25);
    EXPECT_NE(since().find("cannot found zeldll.so."), std::string::npos) << since();
    CZelLayManager text(1, 0);
    EXPECT_EQ(text.LoadEntry(), 0) << "no text-height rows without the store";
}

} // namespace
