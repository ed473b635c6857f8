// ARRAY fed by token lists as the drafting commands send them (every answer given, counts as
// 16-bit integers, angles as reals, lower-case answers): what it makes, and that an array it
// refuses ends the command as failed, so that acedCmdS tells the caller.
#include "session_fixture.h"

#include "editor/cmdregistry.h"

#include <cmath>
#include <functional>

namespace {

class ArrayTokens : public SessionTest {
protected:
    ArrayTokens() {
        zel::editor::CommandDef d;
        d.group = L"TEST";
        d.global = L"SENDARRAY";
        d.run = [this] {
            resbuf* rb = mTokens();
            mResult = acedCmdS(rb);
            acutRelRb(rb);
        };
        ed().commands().add(std::move(d));
    }

    std::vector<AcGePoint3d> centres() {
        std::vector<AcGePoint3d> out;
        for (AcDbObjectId id : entities("CIRCLE")) {
            AcDbCircle* c = nullptr;
            if (acdbOpenObject(c, id, AcDb::kForRead) != Acad::eOk) continue;
            out.push_back(c->center());
            c->close();
        }
        return out;
    }

    std::function<resbuf*()> mTokens;
    int mResult = 0;
};

ads_point kCentre = {100, 50, 0};
// Centres of the copies are computed by rotations: equal to a few units of the last place.
constexpr AcGeTol kCentreTol(1e-9, 1e-9);

resbuf* polar(resbuf* answers) {
    resbuf* head = acutBuildList(RTSTR, L"ARRAY", RTSTR, L"L", RTSTR, L"", RTSTR, L"P", RTSTR,
                                 L"NON", RTPOINT, kCentre, 0);
    resbuf* tail = head;
    while (tail->rbnext)
        tail = tail->rbnext;
    tail->rbnext = answers;
    return head;
}

TEST_F(ArrayTokens, TheFormsTheDraftingCommandsSend) {
    struct Case {
        const char* name;
        std::function<resbuf*()> tokens;
        int result;
        size_t circles;
        AcGePoint3d last; // centre of the last circle
    } cases[] = {
        {"an empty count with the fill angle and the angle between items",
         [] {
             return polar(acutBuildList(RTSTR, L"", RTREAL, 180.0, RTREAL, 45.0, RTSTR, L"y", 0));
         },
         RTNORM, 5, AcGePoint3d(100, 100, 0)},
        {"a negative fill angle counts clockwise from an empty count",
         [] {
             return polar(acutBuildList(RTSTR, L"", RTREAL, -90.0, RTREAL, 30.0, RTSTR, L"n", 0));
         },
         RTNORM, 4, AcGePoint3d(50, 50, 0)},
        {"a count with a fill angle of 0 takes the angle between items",
         [] { return polar(acutBuildList(RTSHORT, 3, RTREAL, 0.0, RTREAL, 60.0, RTSTR, L"n", 0)); },
         RTNORM, 3, AcGePoint3d(100 + 50 * std::sqrt(3.0) / 2, 75, 0)},
        {"a count with the fill angle, lower-case answer",
         [] { return polar(acutBuildList(RTSHORT, 4, RTREAL, 360.0, RTSTR, L"y", 0)); }, RTNORM, 4,
         AcGePoint3d(50, 50, 0)},
        {"one row of four columns takes the column spacing alone",
         [] {
             return acutBuildList(RTSTR, L"ARRAY", RTSTR, L"L", RTSTR, L"", RTSTR, L"R", RTSHORT, 1,
                                  RTSHORT, 4, RTREAL, 15.0, 0);
         },
         RTNORM, 4, AcGePoint3d(145, 0, 0)},
        {"too many items fail",
         [] {
             return acutBuildList(RTSTR, L"ARRAY", RTSTR, L"L", RTSTR, L"", RTSTR, L"R", RTSHORT,
                                  400, RTSHORT, 300, RTREAL, 10.0, RTREAL, 10.0, 0);
         },
         RTERROR, 1, AcGePoint3d(100, 0, 0)},
        {"neither a count nor a fill angle fails",
         [] { return polar(acutBuildList(RTSTR, L"", RTREAL, 0.0, RTREAL, 30.0, RTSTR, L"y", 0)); },
         RTERROR, 1, AcGePoint3d(100, 0, 0)},
    };
    for (const Case& c : cases) {
        run("ERASE ALL \"\"\nCIRCLE 100,0 5\n");
        mTokens = c.tokens;
        mResult = 0;
        run("SENDARRAY\n");
        EXPECT_EQ(mResult, c.result) << c.name << "\n" << transcript();
        std::vector<AcGePoint3d> got = centres();
        ASSERT_EQ(got.size(), c.circles) << c.name;
        EXPECT_TRUE(got.back().isEqualTo(c.last, kCentreTol))
            << c.name << ": " << got.back().x << "," << got.back().y;
    }
    EXPECT_TRUE(has("\n項目が多すぎます。")) << "a refusal is told";
    EXPECT_TRUE(has("\n項目数と角度の両方が 0 にはできません。"));
}

} // namespace
