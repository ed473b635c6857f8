// The outline measurements on selection sets of a drawing: the element set, extents, the
// enclosing circle and the gap search.
#include "draftedit/lisp/outline.h"
#include "lisp_fixture.h"

#include <cmath>
#include <numbers>

namespace {

struct SetHolder {
    ads_name ss{};
    bool held = false;
    ~SetHolder() {
        if (held) acedSSFree(ss);
    }
};

std::vector<double> values(resbuf* rb) {
    std::vector<double> v;
    for (const resbuf* r = rb; r; r = r->rbnext) {
        if (r->restype == RT3DPOINT) {
            v.push_back(r->resval.rpoint[X]);
            v.push_back(r->resval.rpoint[Y]);
            v.push_back(r->resval.rpoint[Z]);
        } else if (r->restype == RTREAL) {
            v.push_back(r->resval.rreal);
        }
    }
    acutRelRb(rb);
    return v;
}

} // namespace

TEST_F(DrafteditLisp, ElementSetExtentsAndEnclosingCircle) {
    // A 20 × 10 rectangle as a polyline, a circle and a line.
    run("PLINE 0,0 20,0 20,10 0,10 C\nCIRCLE 40,5 5\nLINE 50,0 50,10 \"\"\n");
    SetHolder all, elements;
    ASSERT_EQ(acedSSGet(L"X", nullptr, nullptr, nullptr, all.ss), RTNORM);
    all.held = true;
    ASSERT_EQ(draftedit::makeElementSet(all.ss, elements.ss), RTNORM);
    elements.held = true;
    int32_t n = 0;
    acedSSLength(elements.ss, &n);
    EXPECT_EQ(n, 6) << "four pieces of the polyline, the circle and the line";
    EXPECT_EQ(eval("(ssget \"X\" '((0 . \"LWPOLYLINE\")))"), "nil") << "the polyline was exploded";
    std::vector<double> x = values(draftedit::outlineExtents(elements.ss, 0, 1));
    ASSERT_EQ(x.size(), 5u);
    EXPECT_NEAR(x[0], 25, 1e-12);
    EXPECT_NEAR(x[1], 5, 1e-12);
    EXPECT_NEAR(x[3], 50, 1e-12);
    EXPECT_NEAR(x[4], 10, 1e-12);
    x = values(draftedit::outlineExtents(elements.ss, std::numbers::pi / 2, 10));
    EXPECT_NEAR(x[3], 1, 1e-12) << "turned a quarter and divided by the factor";
    EXPECT_NEAR(x[4], 5, 1e-12);
    std::vector<double> c = values(draftedit::outlineEnclosingCircle(elements.ss, 1));
    ASSERT_EQ(c.size(), 4u);
    EXPECT_NEAR(c[0], 25, 1e-9);
    EXPECT_NEAR(c[1], 5, 1e-9);
    EXPECT_NEAR(c[3], std::hypot(25, 5), 1e-9);
    EXPECT_EQ(draftedit::outlineExtents(nullptr, 0, 1), nullptr);
}

TEST_F(DrafteditLisp, EnclosingCircleFailuresAreTold) {
    run("LINE 3,3 3,3 \"\"\n");
    SetHolder all;
    if (acedSSGet(L"X", nullptr, nullptr, nullptr, all.ss) != RTNORM)
        GTEST_SKIP() << "no zero line";
    all.held = true;
    mark();
    EXPECT_EQ(draftedit::outlineEnclosingCircle(all.ss, 1), nullptr);
    EXPECT_NE(since().find(" ZelAds_getmmxp Error[-5] \n"), std::string::npos) << since();
}

TEST_F(DrafteditLisp, GapSearchFindsEndsThatNearlyMeet) {
    run("LINE 0,0 10,0 \"\"\nLINE 10.005,0 10.005,5 \"\"\nLINE 10.005,5 0,5 \"\"\n");
    SetHolder all;
    ASSERT_EQ(acedSSGet(L"X", nullptr, nullptr, nullptr, all.ss), RTNORM);
    all.held = true;
    int count = -1;
    std::vector<double> g = values(draftedit::outlineGaps(all.ss, 1e-8, 1e-2, count));
    EXPECT_EQ(count, 1);
    ASSERT_EQ(g.size(), 3u);
    EXPECT_NEAR(g[0], 10, 1e-12) << "the end of the line selected first";
}
