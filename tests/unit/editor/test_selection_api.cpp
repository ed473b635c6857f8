// The selection functions of the C-style API: acedSSGet's modes, the set functions, PICKFIRST,
// acedEntSel and the nested picks of acedNEntSelP.
#include "core/resbuf.h"
#include "selection_fixture.h"

#include <cmath>

using namespace zel::editor;
using zel::core::RbPtr;

namespace {

constexpr double kNear = 1e-9; // a transform applied to a point, in drawing units

class SelectionApi : public SelectionTest {
protected:
    void SetUp() override {
        a = line(0, 0, 10, 0);
        b = line(5, 5, 30, 5);
        c = circle(50, 0, 2);
    }
    // The entities acedSSGet selects (the set freed); empty when it returned rc != RTNORM.
    EntityIds ssget(const wchar_t* mode, const void* p1 = nullptr, const void* p2 = nullptr,
                    const resbuf* filter = nullptr, int* rc = nullptr) {
        ads_name ss;
        int status = acedSSGet(mode, p1, p2, filter, ss);
        if (rc) *rc = status;
        if (status != RTNORM) return {};
        EntityIds ids = idsOf(ss);
        EXPECT_EQ(acedSSFree(ss), RTNORM);
        return ids;
    }
    AcDbObjectId a, b, c;
};

TEST_F(SelectionApi, ModesWithPoints) {
    ads_point lo = {-1, -3, 0}, hi = {20, 10, 0}, far = {60, 10, 0};
    EXPECT_EQ(ssget(L"W", lo, hi), EntityIds{a});
    EXPECT_EQ(ssget(L"_W", lo, far), (EntityIds{c, b, a}));
    EXPECT_EQ(ssget(L"C", hi, lo), (EntityIds{b, a}));
    ads_point f0 = {8, -2, 0}, f1 = {8, 20, 0};
    RbPtr fence(acutBuildList(RTPOINT, f0, RTPOINT, f1, 0));
    EXPECT_EQ(ssget(L"F", fence.get()), (EntityIds{b, a}));
    ads_point s0 = {-1, -1, 0}, s1 = {11, -1, 0}, s2 = {11, 1, 0}, s3 = {-1, 1, 0};
    RbPtr square(acutBuildList(RT3DPOINT, s0, RT3DPOINT, s1, RT3DPOINT, s2, RT3DPOINT, s3, 0));
    EXPECT_EQ(ssget(L"WP", square.get()), EntityIds{a});
    EXPECT_EQ(ssget(L"CP", square.get()), EntityIds{a});
    ads_point on = {5, 0.2, 0};
    EXPECT_EQ(ssget(nullptr, on), EntityIds{a}) << "a point alone picks";
}

TEST_F(SelectionApi, ModesWithoutPoints) {
    EXPECT_EQ(ssget(L"X"), (EntityIds{a, b, c}));
    EXPECT_EQ(ssget(L"L"), EntityIds{c});
    EXPECT_EQ(ssget(L"P"), EntityIds{c}) << "the last selection became the previous set";
    int rc = 0;
    EXPECT_EQ(ssget(L"I", nullptr, nullptr, nullptr, &rc), EntityIds{});
    EXPECT_EQ(rc, RTERROR) << "no PICKFIRST set";
}

TEST_F(SelectionApi, BadModesAndArguments) {
    const wchar_t* bad[] = {L"Q", L"WW", L":Z", L"W"}; // W without its points
    for (const wchar_t* m : bad) {
        int rc = 0;
        ssget(m, nullptr, nullptr, nullptr, &rc);
        EXPECT_EQ(rc, RTERROR) << zel::core::wideToUtf8(m);
    }
    ads_point p0 = {0, 0, 0}, p1 = {1, 1, 0};
    RbPtr two(acutBuildList(RTPOINT, p0, RTPOINT, p1, 0));
    int rc = 0;
    ssget(L"CP", two.get(), nullptr, nullptr, &rc);
    EXPECT_EQ(rc, RTERROR) << "a polygon needs three points";
    RbPtr words(acutBuildList(RTSTR, L"0,0", RTSTR, L"1,1", 0));
    ssget(L"F", words.get(), nullptr, nullptr, &rc);
    EXPECT_EQ(rc, RTERROR) << "a list of texts is no fence";
}

TEST_F(SelectionApi, PromptModes) {
    feed("!pick 5,0 !pick 50,2 \"\"");
    EXPECT_EQ(ssget(nullptr), (EntityIds{a, c}));
    feed("!pick 50,2 !pick 5,0");
    EXPECT_EQ(ssget(L"_:S"), EntityIds{c});
    ed.queue().clear();
    AcDbObjectId over = line(0, 0, 10, 0);
    feed("!pick 5,0");
    EXPECT_EQ(ssget(L"_:S:E"), (EntityIds{over, a}));
    feed("!esc");
    int rc = 0;
    ssget(nullptr, nullptr, nullptr, nullptr, &rc);
    EXPECT_EQ(rc, RTCAN);
    feed("\"\"");
    ssget(nullptr, nullptr, nullptr, nullptr, &rc);
    EXPECT_EQ(rc, RTERROR) << "nothing selected";
}

TEST_F(SelectionApi, LockedLayersOnlyWithL) {
    layer(L"LOCKED", true);
    modify<AcDbEntity>(b, [](AcDbEntity& e) { e.setLayer(L"LOCKED"); });
    EXPECT_EQ(ssget(L"X"), (EntityIds{a, b, c}));
    EXPECT_EQ(ssget(L"X:L"), (EntityIds{a, c}));
}

TEST_F(SelectionApi, SetFunctions) {
    ads_name ea, eb, ec, ss, out;
    nameOf(a, ea);
    nameOf(b, eb);
    nameOf(c, ec);
    ASSERT_EQ(acedSSAdd(nullptr, nullptr, ss), RTNORM);
    int32_t n = -1;
    EXPECT_EQ(acedSSLength(ss, &n), RTNORM);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(acedSSAdd(ea, ss, out), RTNORM);
    EXPECT_TRUE(ads_name_equal(out, ss));
    EXPECT_EQ(acedSSAdd(eb, ss, out), RTNORM);
    EXPECT_EQ(acedSSAdd(ea, ss, out), RTNORM) << "adding a member again is no change";
    EXPECT_EQ(idsOf(ss), (EntityIds{a, b}));
    EXPECT_EQ(acedSSMemb(eb, ss), RTNORM);
    EXPECT_EQ(acedSSMemb(ec, ss), RTERROR);
    EXPECT_EQ(acedSSDel(ea, ss), RTNORM);
    EXPECT_EQ(acedSSDel(ea, ss), RTERROR);
    EXPECT_EQ(idsOf(ss), EntityIds{b});
    ads_name e;
    EXPECT_EQ(acedSSName(ss, 1, e), RTERROR);
    EXPECT_EQ(acedSSName(ss, -1, e), RTERROR);
    ads_name one;
    ASSERT_EQ(acedSSAdd(ec, nullptr, one), RTNORM);
    EXPECT_EQ(idsOf(one), EntityIds{c});
    EXPECT_EQ(liveSelectionSets(ed), 2u);
    EXPECT_EQ(acedSSFree(one), RTNORM);
    EXPECT_EQ(acedSSFree(ss), RTNORM);
    EXPECT_EQ(acedSSFree(ss), RTERROR) << "freed once";
    EXPECT_EQ(acedSSLength(ss, &n), RTERROR) << "a freed set's name finds nothing";
    ads_name garbage = {12345, 678};
    EXPECT_EQ(acedSSAdd(garbage, nullptr, one), RTERROR) << "not an entity";
}

TEST_F(SelectionApi, PickfirstSet) {
    ads_name ss;
    ASSERT_EQ(acedSSGet(L"X", nullptr, nullptr, nullptr, ss), RTNORM);
    EXPECT_EQ(acedSSSetFirst(ss, nullptr), RTNORM);
    EXPECT_EQ(acedSSFree(ss), RTNORM);
    EXPECT_EQ(ssget(L"I"), (EntityIds{a, b, c}));
    ASSERT_EQ(setShort(L"PICKFIRST", 0), RTNORM);
    EXPECT_EQ(ssget(L"I"), EntityIds{}) << "PICKFIRST off";
    ASSERT_EQ(setShort(L"PICKFIRST", 1), RTNORM);
    resbuf *grips = nullptr, *picked = nullptr;
    ASSERT_EQ(acedSSGetFirst(&grips, &picked), RTNORM);
    EXPECT_EQ(grips, nullptr);
    ASSERT_NE(picked, nullptr);
    EXPECT_EQ(picked->restype, RTPICKS);
    EXPECT_EQ(idsOf(picked->resval.rlname), (EntityIds{a, b, c}));
    EXPECT_EQ(acedSSFree(picked->resval.rlname), RTNORM);
    acutRelRb(picked);
    EXPECT_EQ(acedSSSetFirst(nullptr, nullptr), RTNORM);
    ASSERT_EQ(acedSSGetFirst(nullptr, &picked), RTNORM);
    EXPECT_EQ(picked, nullptr);
}

TEST_F(SelectionApi, EntSel) {
    feed("!pick 5,0.3");
    ads_name e;
    ads_point p;
    ASSERT_EQ(acedEntSel(L"\n選択:", e, p), RTNORM);
    AcDbObjectId id;
    ASSERT_EQ(acdbGetObjectId(id, e), Acad::eOk);
    EXPECT_EQ(id, a);
    EXPECT_DOUBLE_EQ(p[Y], 0.3);
    feed("!pick 5,3");
    EXPECT_EQ(acedEntSel(nullptr, e, p), RTERROR);
    EXPECT_EQ(ed.vars().integer(L"ERRNO"), 7);
}

// A block "INNER" holding a circle of radius 1 at (5,0); a block "OUTER" holding a line and a
// reference to INNER at (10,0) turned a quarter turn; OUTER referenced at (100,100) scaled 2.
class NestedPicks : public SelectionTest {
protected:
    void SetUp() override {
        AcDbObjectId inner = block(L"INNER");
        innerCircle = circle(5, 0, 1, inner);
        AcDbObjectId outer = block(L"OUTER");
        outerLine = line(0, 0, 4, 0, outer);
        auto* r = new AcDbBlockReference({10, 0, 0}, inner);
        r->setRotation(M_PI / 2);
        innerRef = add(r, outer);
        auto* top = new AcDbBlockReference({100, 100, 0}, outer);
        top->setScaleFactors(AcGeScale3d(2, 2, 2));
        outerRef = add(top);
        plain = line(0, 0, 10, 0);
    }
    // acedNEntSelP at a point given (no prompt).
    int pick(double x, double y, AcDbObjectId& id, ads_matrix m, std::vector<AcDbObjectId>& refs) {
        ads_name e;
        ads_point p = {x, y, 0};
        resbuf* stack = nullptr;
        int rc = acedNEntSelP(nullptr, e, p, 1, m, &stack);
        if (rc == RTNORM) {
            EXPECT_EQ(acdbGetObjectId(id, e), Acad::eOk);
        }
        refs.clear();
        for (resbuf* rb = stack; rb; rb = rb->rbnext) {
            AcDbObjectId r;
            EXPECT_EQ(rb->restype, RTENAME);
            EXPECT_EQ(acdbGetObjectId(r, rb->resval.rlname), Acad::eOk);
            refs.push_back(r);
        }
        acutRelRb(stack);
        return rc;
    }
    AcDbObjectId innerCircle, outerLine, innerRef, outerRef, plain;
};

TEST_F(NestedPicks, InnermostEntityWithItsTransformAndContainers) {
    // The inner circle's centre (5,0) is at (10,5) in OUTER, at (120,110) in the world; its
    // radius 2 there. A pick on its rim at (122,110).
    AcDbObjectId id;
    ads_matrix m;
    std::vector<AcDbObjectId> refs;
    ASSERT_EQ(pick(122, 110, id, m, refs), RTNORM);
    EXPECT_EQ(id, innerCircle);
    EXPECT_EQ(refs, (std::vector<AcDbObjectId>{innerRef, outerRef}));
    // The matrix takes the circle's centre to the world.
    double x = m[0][0] * 5 + m[0][1] * 0 + m[0][3], y = m[1][0] * 5 + m[1][1] * 0 + m[1][3];
    EXPECT_NEAR(x, 120, kNear);
    EXPECT_NEAR(y, 110, kNear);

    ASSERT_EQ(pick(104, 100.3, id, m, refs), RTNORM);
    EXPECT_EQ(id, outerLine);
    EXPECT_EQ(refs, std::vector<AcDbObjectId>{outerRef});

    ASSERT_EQ(pick(5, 0, id, m, refs), RTNORM);
    EXPECT_EQ(id, plain);
    EXPECT_TRUE(refs.empty());
    EXPECT_DOUBLE_EQ(m[0][3], 0);

    EXPECT_EQ(pick(120, 110, id, m, refs), RTERROR) << "the circle's centre is empty";
    EXPECT_EQ(ed.vars().integer(L"ERRNO"), 7);
}

} // namespace
