// acedGrRead: the input events one at a time, typed lines taken apart into characters, posted
// text first, cursor moves only when tracking, cancels and the end of the input.
#include "editor_fixture.h"

#include "editor/sysvars.h"

#include <string>
#include <vector>

namespace {

class GrRead : public EditorTest {
protected:
    // What acedGrRead gives, as "key 65", "pick 3,4", "track 1,2", "right", "cancel".
    std::string next(int track = 0) {
        int type = -1;
        resbuf rb{};
        int rc = acedGrRead(track, &type, &rb);
        if (rc == RTCAN) return "cancel";
        if (rc != RTNORM) return "rc " + std::to_string(rc);
        auto point = [&] {
            return std::to_string(int(rb.resval.rpoint[X])) + "," +
                   std::to_string(int(rb.resval.rpoint[Y]));
        };
        switch (type) {
        case kGrReadKey:
            return rb.restype == RTSHORT ? "key " + std::to_string(rb.resval.rint) : "bad key";
        case kGrReadPick:
            return rb.restype == RT3DPOINT ? "pick " + point() : "bad pick";
        case kGrReadTrack:
            return rb.restype == RT3DPOINT ? "track " + point() : "bad track";
        case kGrReadRightClick:
            return "right";
        }
        return "type " + std::to_string(type);
    }
    std::vector<std::string> all(int track, size_t n) {
        std::vector<std::string> out;
        for (size_t i = 0; i < n; ++i)
            out.push_back(next(track));
        return out;
    }
};

TEST_F(GrRead, EventsBecomeKeysPointsAndCancels) {
    struct Case {
        const char* script;
        int track;
        std::vector<std::string> expected;
    };
    const Case kCases[] = {
        {"AB", 0, {"key 65", "key 66", "key 13"}},
        {"\"\"", 0, {"key 13"}},
        {"!enter !key z", 0, {"key 13", "key 122"}},
        {"!pick 3,4", 0, {"pick 3,4"}},
        {"!move 1,2 !pick 5,6", 0, {"pick 5,6"}},
        {"!move 1,2 !pick 5,6", 1, {"track 1,2", "pick 5,6"}},
        {"!rclick !esc", 0, {"right", "cancel"}},
        {"!bar tile 4 Q", 0, {"key 81", "key 13"}}, // nobody takes the bar's press
    };
    for (const Case& c : kCases) {
        ed.queue().clear();
        feed(c.script);
        EXPECT_EQ(all(c.track, c.expected.size()), c.expected) << c.script;
        EXPECT_TRUE(ed.queue().empty()) << c.script;
    }
    EXPECT_EQ(count("!bar tile 4"), 1) << "the press is noted";
}

TEST_F(GrRead, PostedTextComesFirstAndCtrlCCancels) {
    feed("A");
    ed.queue().post(L"x\n");
    EXPECT_EQ(all(0, 4), (std::vector<std::string>{"key 120", "key 13", "key 65", "key 13"}));
    feed("B");
    ed.queue().post(L"y\003z");
    EXPECT_EQ(all(0, 3), (std::vector<std::string>{"key 121", "cancel", "key 122"}));
    EXPECT_EQ(all(0, 2), (std::vector<std::string>{"key 66", "key 13"}));
}

TEST_F(GrRead, TheEndOfTheInputCancelsAndBadArgumentsAreRefused) {
    EXPECT_EQ(next(), "cancel");
    EXPECT_TRUE(ed.queue().exhausted());
    int type = 0;
    resbuf rb{};
    EXPECT_EQ(acedGrRead(0, nullptr, &rb), RTERROR);
    EXPECT_EQ(acedGrRead(0, &type, nullptr), RTERROR);
}

TEST_F(GrRead, PointsAreInTheCurrentUcs) {
    ASSERT_EQ(ed.vars().setInternal(L"UCSORG", AcGePoint3d(10, 20, 0)), zel::editor::SetStatus::Ok);
    feed("!pick 13,24 !move 11,21");
    EXPECT_EQ(all(1, 2), (std::vector<std::string>{"pick 3,4", "track 1,1"}));
}

} // namespace
