// Patterns of linetype files: dashes, dots and gaps, texts and shapes kept with the dash before
// them, and what is not a pattern.
#include "db/linfile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

using zel::db::parseLinPattern;

TEST(LinPattern, SimplePatternsGiveTheirDashes) {
    struct Case {
        const wchar_t* line;
        std::vector<double> dashes;
    };
    static const Case kCases[] = {
        {L"A,12.7,-6.35", {12.7, -6.35}},
        {L"a, .5 , -.25, 0, -.25", {0.5, -0.25, 0, -0.25}},
        {L"A,0,-1.5", {0, -1.5}},
    };
    for (const Case& c : kCases) {
        std::vector<ZelDashElement> out;
        ASSERT_TRUE(parseLinPattern(c.line, nullptr, out)) << c.line;
        ASSERT_EQ(out.size(), c.dashes.size());
        for (size_t i = 0; i < out.size(); ++i)
            EXPECT_DOUBLE_EQ(out[i].length, c.dashes[i]);
    }
}

TEST(LinPattern, TextsAndShapesStayWithTheDashBeforeThem) {
    std::vector<ZelDashElement> out;
    ASSERT_TRUE(parseLinPattern(
        L"A,12.7,-5.08,[\"GAS\",STANDARD,S=2.54,R=90,X=-2.54,Y=-1.27],-6.35", nullptr, out));
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[1].complexType, 2);
    EXPECT_EQ(out[1].text, L"GAS");
    EXPECT_DOUBLE_EQ(out[1].scale, 2.54);
    EXPECT_NEAR(out[1].rotation, std::numbers::pi / 2, 1e-12);
    EXPECT_DOUBLE_EQ(out[1].xOffset, -2.54);
    EXPECT_DOUBLE_EQ(out[1].yOffset, -1.27);
    EXPECT_EQ(out[2].complexType, 0);
    out.clear();
    ASSERT_TRUE(
        parseLinPattern(L"A,.25,-.1,[BOX,ltypeshp.shx,x=-.1,s=.1,a=0],-.1,1", nullptr, out));
    EXPECT_EQ(out[1].complexType, 4 | 1) << "a shape with an absolute rotation";
}

TEST(LinPattern, WhatIsNotAPatternIsRefused) {
    static const wchar_t* const kBad[] = {
        L"B,1,-1",
        L"A",
        L"A,1,x",
        L"A,[\"T\",STANDARD]",
        L"A,1,[\"T\",STANDARD,Q=1]",
        L"A,1,[\"T\"]",
        L"A,1,,2",
        L"A,1,[\"T\",STANDARD",
    };
    for (const wchar_t* line : kBad) {
        std::vector<ZelDashElement> out;
        EXPECT_FALSE(parseLinPattern(line, nullptr, out)) << line;
    }
}

} // namespace
