// UNDO groups inside a running command: each group is a step of its own (under the command's
// name), what the command does before the first group stays in the command's step, and a host
// command it runs after a group is a step of its own; at the command line groups work as
// before.
#include "session_fixture.h"

#include "arx/dbads.h"
#include "editor/cmdregistry.h"

namespace {

class UndoGroups : public SessionTest {
protected:
    static void undo(const wchar_t* option) { acedCommandS(RTSTR, L"UNDO", RTSTR, option, RTNONE); }
    static void circle(const wchar_t* centre) {
        acedCommandS(RTSTR, L"CIRCLE", RTSTR, centre, RTSTR, L"5", RTNONE);
    }
    size_t circles() { return entities("CIRCLE").size(); }
    size_t points() { return entities("POINT").size(); }
    int undoctl() { return std::stoi(zel::core::wideToUtf8(var(L"UNDOCTL"))); }
};

// A command that makes a point, then two circles each in a group of its own, then (after the
// last group) a point again: four steps, undone one by one.
TEST_F(UndoGroups, EachGroupOfACommandIsUndoneOnItsOwn) {
    module(L"PASSES", [] {
        acedCommandS(RTSTR, L"POINT", RTSTR, L"100,100", RTNONE);
        for (const wchar_t* centre : {L"0,0", L"20,0"}) {
            undo(L"BE");
            circle(centre);
            undo(L"E");
        }
        acedCommandS(RTSTR, L"POINT", RTSTR, L"200,200", RTNONE);
    });
    std::string before = dump();
    run("PASSES\n");
    ASSERT_EQ(circles(), 2u);
    ASSERT_EQ(points(), 2u);
    EXPECT_EQ(undoctl() & 8, 0) << "no group is left open";
    struct Step {
        size_t circles, points;
    } after[] = {{2, 1}, {1, 1}, {0, 1}, {0, 0}};
    for (const Step& s : after) {
        run("U\n");
        EXPECT_EQ(circles(), s.circles) << transcript();
        EXPECT_EQ(points(), s.points) << transcript();
    }
    EXPECT_TRUE(has("\nPASSES\n")) << "the steps carry the command's name: " << transcript();
    EXPECT_EQ(dump(), before);
}

// A helper entity made before the groups and deleted after them (as commands do with their
// drag markers) does not come back when the groups are undone.
TEST_F(UndoGroups, AnEntityMadeBeforeTheGroupsAndDeletedAfterThemStaysGone) {
    module(L"MARKED", [] {
        ads_point at = {50, 50, 0};
        resbuf* data = acutBuildList(RTDXF0, L"POINT", 10, at, 0);
        acdbEntMake(data);
        acutRelRb(data);
        ads_name marker;
        acdbEntLast(marker);
        undo(L"BE");
        circle(L"0,0");
        undo(L"E");
        acdbEntDel(marker);
    });
    std::string before = dump();
    run("MARKED\n");
    ASSERT_EQ(circles(), 1u);
    ASSERT_EQ(points(), 0u);
    run("U\n");
    EXPECT_EQ(circles(), 0u) << transcript();
    EXPECT_EQ(points(), 0u) << "the marker stays deleted: " << transcript();
    run("U\n");
    EXPECT_EQ(points(), 0u) << transcript();
    EXPECT_EQ(dump(), before);
}

TEST_F(UndoGroups, AGroupAtTheCommandLineStillCollectsWholeCommands) {
    std::string before = dump();
    run("UNDO BE\nCIRCLE 0,0 5\nCIRCLE 20,0 5\nUNDO E\nCIRCLE 40,0 5\n");
    ASSERT_EQ(circles(), 3u);
    run("U\n");
    EXPECT_EQ(circles(), 2u);
    run("U\n");
    EXPECT_EQ(circles(), 0u);
    EXPECT_TRUE(has("グループ")) << transcript();
    EXPECT_EQ(dump(), before);
}

// A command that opens a group and ends without closing it leaves the group open: the
// commands after it go into the same step until UNDO E.
TEST_F(UndoGroups, AGroupLeftOpenByACommandCollectsWhatFollows) {
    module(L"OPENS", [] {
        undo(L"BE");
        circle(L"0,0");
    });
    run("OPENS\nCIRCLE 20,0 5\nUNDO E\n");
    ASSERT_EQ(circles(), 2u);
    EXPECT_EQ(undoctl() & 8, 0);
    run("U\n");
    EXPECT_EQ(circles(), 0u) << transcript();
}

} // namespace
