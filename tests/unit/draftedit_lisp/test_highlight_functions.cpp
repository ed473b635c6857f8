// ZELADS_REDRAW, ZELADS_SSREDRAWADD and ZELADS_GETBOX called from LISP: highlighting by mode,
// only with HIGHLIGHT 1, the union of two sets, and a box dragged to its second corner.
#include "lisp_fixture.h"

#include "arx/dbads.h"
#include "arx/ed.h"
#include "db/slot.h"

namespace {

class Highlight : public DrafteditLisp {
protected:
    Highlight() { run("(setvar \"HIGHLIGHT\" 1)\nLINE 0,0 10,0 \"\"\nLINE 0,5 10,5 \"\"\n"); }
    bool shown(const char* which) {
        ads_name ent;
        if (std::string(which) == "first")
            acdbEntNext(nullptr, ent);
        else
            acdbEntLast(ent);
        AcDbObjectId id;
        acdbGetObjectId(id, ent);
        AcDbEntity* en = nullptr;
        if (acdbOpenAcDbEntity(en, id, AcDb::kForRead) != Acad::eOk) return false;
        bool on = en->slot()->highlighted;
        en->close();
        return on;
    }
    void queue(const std::string& script) {
        zel::editor::Script sc = zel::editor::parseScript(zel::core::utf8ToWide(script));
        ASSERT_TRUE(sc.ok());
        zel::editor::enqueue(ed().queue(), sc);
    }
};

TEST_F(Highlight, RedrawHighlightsByModeAndOnlyWithHighlightOn) {
    EXPECT_EQ(eval("(ZELADS_REDRAW (entlast) 3)"), "nil");
    EXPECT_TRUE(shown("last"));
    EXPECT_EQ(eval("(ZELADS_REDRAW (entlast))"), "nil");
    EXPECT_FALSE(shown("last")) << "mode 4 when none is given";
    eval("(ZELADS_REDRAW (entlast) 3)");
    eval("(ZELADS_REDRAW (entnext) 3)");
    EXPECT_EQ(eval("(ZELADS_REDRAW)"), "nil");
    EXPECT_FALSE(shown("last"));
    EXPECT_FALSE(shown("first")) << "without arguments every entity loses its highlight";
    run("(setvar \"HIGHLIGHT\" 0)\n");
    eval("(ZELADS_REDRAW (entlast) 3)");
    EXPECT_FALSE(shown("last"));
}

TEST_F(Highlight, SetsAreJoinedAndHighlightedByMode) {
    EXPECT_EQ(eval("(sslength (ZELADS_SSREDRAWADD (ssget \"L\") (ssadd (entnext)) 3))"), "2");
    EXPECT_TRUE(shown("first"));
    EXPECT_TRUE(shown("last"));
    EXPECT_EQ(eval("(sslength (ZELADS_SSREDRAWADD (ssget \"L\") nil 4))"), "1");
    EXPECT_FALSE(shown("last"));
    EXPECT_EQ(eval("(getvar \"HIGHLIGHT\")"), "1") << "put back after the joining";
}

TEST_F(Highlight, ABoxIsDraggedToItsSecondCorner) {
    queue("!move 3,3\n!move 6,4\n!pick 10,20\n");
    EXPECT_EQ(eval("(ZELADS_GETBOX '(0.0 0.0 0.0) \"反対側のコーナー :\")"), "(10.0 20.0 0.0)");
    EXPECT_NE(transcript().find("反対側のコーナー :"), std::string::npos);
    EXPECT_TRUE(ed().tempGraphics().vectors().empty()) << "the box goes with the drag";
    queue("!move 3,3\n!esc\n");
    EXPECT_EQ(eval("(ZELADS_GETBOX '(0.0 0.0 0.0))"), "nil");
    mark();
    EXPECT_EQ(eval("(ZELADS_GETBOX)"), "nil");
    EXPECT_EQ(since(), "\nZELｴﾗｰ (Zelads_getbox) : 引き数が足りません.");
}

} // namespace
