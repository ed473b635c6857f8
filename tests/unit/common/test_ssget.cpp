// ZELADS_SSGET: a selection that the key "Z" or "X" ends as Enter would, reported with the set
// (or alone when nothing was selected); Esc gives nil and sets "ZelCancelFlag". Other keys are
// typed as usual, and the key filter goes when the selection ends.
#include "module_fixture.h"

#include "common/support/zelsupport.h"

namespace {

class SelectionKeys : public ModuleTest {
protected:
    SelectionKeys() {
        load("draftedit");
        run("LINE 0,0 100,0 \"\"\nLINE 0,10 100,10 \"\"\nLINE 0,20 100,20 \"\"\n");
    }
    // Runs (setq r (ZELADS_SSGET)) answered by the given script lines.
    void select(const std::string& answers) {
        queue(answers);
        eval("(setq r (ZELADS_SSGET))");
    }
};

TEST_F(SelectionKeys, ZAfterPickingGivesTheSetAndTheKey) {
    select("!pick 50,0\n!pick 50,10\n!key Z\n");
    EXPECT_EQ(eval("(type (car r))"), "PICKSET");
    EXPECT_EQ(eval("(sslength (car r))"), "2");
    EXPECT_EQ(eval("(cadr r)"), "\"Z\"");
    EXPECT_EQ(ZelGetLocInt(L"ZelCancelFlag", -1), 0);
}

TEST_F(SelectionKeys, LowerCaseXBeforeAnyPickGivesTheKeyAlone) {
    select("!key x\n");
    EXPECT_EQ(eval("r"), "\"X\"");
}

TEST_F(SelectionKeys, EnterGivesThePlainSet) {
    select("!pick 50,20\n\"\"\n");
    EXPECT_EQ(eval("(type r)"), "PICKSET");
    EXPECT_EQ(eval("(sslength r)"), "1");
}

TEST_F(SelectionKeys, EscGivesNilAndSetsTheCancelFlag) {
    select("!pick 50,20\n!esc\n");
    EXPECT_EQ(eval("r"), "nil");
    EXPECT_EQ(ZelGetLocInt(L"ZelCancelFlag", -1), 1);
    select("!key Z\n");
    EXPECT_EQ(ZelGetLocInt(L"ZelCancelFlag", -1), 0) << "each call starts with the flag clear";
}

TEST_F(SelectionKeys, TheFilterGoesWithTheSelection) {
    select("!key Z\n");
    queue("!key Z\n!enter\n");
    EXPECT_EQ(eval("(getstring)"), "\"Z\"") << "after the call a Z is plain typing again";
}

TEST_F(SelectionKeys, PickedEntitiesAreHighlightedWithHighlightOn) {
    run("(setvar \"HIGHLIGHT\" 1)\n");
    select("!pick 50,0\n\"\"\n");
    EXPECT_EQ(eval("(ZELADS_REDRAW)"), "nil") << "every highlight can be taken off again";
    EXPECT_EQ(eval("(sslength r)"), "1");
}

} // namespace
