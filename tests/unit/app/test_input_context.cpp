// Input-context reactors hear every input call twice: when it starts (with its prompt, base
// point and acedInitGet options) and when it has its answer. Each begin is followed by the end
// of the same kind of call, nested calls inside it; Esc ends a call with RTCAN; the points of
// the drags of MOVE and the like come as drag sequences.
#include "app_fixture.h"

#include "arx/acdocman.h"
#include "arx/aced.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string utf8(const ACHAR* s) {
    return s ? zel::core::wideToUtf8(s) : std::string("-");
}

std::string statusName(Acad::PromptStatus s) {
    switch (s) {
    case Acad::eNormal:
        return "RTNORM";
    case Acad::eNone:
        return "RTNONE";
    case Acad::eCancel:
        return "RTCAN";
    case Acad::eKeyword:
        return "RTKWORD";
    case Acad::eError:
        return "RTERROR";
    case Acad::eRejected:
        return "RTREJ";
    case Acad::eFailed:
        return "RTFAIL";
    }
    return "?";
}

std::string number(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", v);
    return buf;
}

std::string pointText(const AcGePoint3d& p) {
    return number(p.x) + "," + number(p.y);
}

// One call as the reactor heard it.
struct Call {
    std::string what;   // "point", "distance", "string", "entsel", "ssget", "drag" ...
    bool begin = false; // else the end
    std::string prompt; // begin
    std::string base;   // begin: the base point, "-" without one
    int flags = 0;      // begin
    std::string keywords;
    std::string status; // end
    std::string value;  // end: the answer as text
};

struct Recorder : AcEdInputContextReactor {
    std::vector<Call> calls;

    void begin(const char* what, const ACHAR* prompt, const AcGePoint3d* base = nullptr,
               int flags = 0, const ACHAR* keywords = nullptr) {
        calls.push_back({what, true, utf8(prompt), base ? pointText(*base) : "-", flags,
                         utf8(keywords), "", ""});
    }
    void end(const char* what, Acad::PromptStatus s, std::string value) {
        calls.push_back({what, false, "", "", 0, "", statusName(s), std::move(value)});
    }

    void beginGetPoint(const AcGePoint3d* p, const ACHAR* prompt, int f, const ACHAR* k) override {
        begin("point", prompt, p, f, k);
    }
    void endGetPoint(Acad::PromptStatus s, const AcGePoint3d& p, const ACHAR*& k) override {
        end("point", s, k ? utf8(k) : pointText(p));
    }
    void beginGetDistance(const AcGePoint3d* p, const ACHAR* prompt, int f,
                          const ACHAR* k) override {
        begin("distance", prompt, p, f, k);
    }
    void endGetDistance(Acad::PromptStatus s, double& d, const ACHAR*&) override {
        end("distance", s, number(d));
    }
    void beginGetAngle(const AcGePoint3d* p, const ACHAR* prompt, int f, const ACHAR* k) override {
        begin("angle", prompt, p, f, k);
    }
    void endGetAngle(Acad::PromptStatus s, double& a, const ACHAR*&) override {
        end("angle", s, number(a));
    }
    void beginGetString(const ACHAR* prompt, int f) override {
        begin("string", prompt, nullptr, f);
    }
    void endGetString(Acad::PromptStatus s, ACHAR* text) override { end("string", s, utf8(text)); }
    void beginGetKeyword(const ACHAR* prompt, int f, const ACHAR* k) override {
        begin("keyword", prompt, nullptr, f, k);
    }
    void endGetKeyword(Acad::PromptStatus s, const ACHAR*& k) override {
        end("keyword", s, utf8(k));
    }
    void beginGetInteger(const int*, const ACHAR* prompt, int f, const ACHAR* k) override {
        begin("integer", prompt, nullptr, f, k);
    }
    void endGetInteger(Acad::PromptStatus s, int& v, const ACHAR*&) override {
        end("integer", s, std::to_string(v));
    }
    void beginGetReal(const double*, const ACHAR* prompt, int f, const ACHAR* k) override {
        begin("real", prompt, nullptr, f, k);
    }
    void endGetReal(Acad::PromptStatus s, double& v, const ACHAR*&) override {
        end("real", s, number(v));
    }
    void beginEntsel(const ACHAR* prompt, int f, const ACHAR* k) override {
        begin("entsel", prompt, nullptr, f, k);
    }
    void endEntsel(Acad::PromptStatus s, const AcDbObjectId& id, const AcGePoint3d& p,
                   const ACHAR*) override {
        end("entsel", s, id.isNull() ? "none" : pointText(p));
    }
    void beginSSGet(const ACHAR* prompt, int f, const ACHAR* k, const ACHAR* controls,
                    const std::vector<AcGePoint3d>&, const resbuf* mask) override {
        begin("ssget", prompt, nullptr, f, k);
        calls.back().value = utf8(controls) + (mask ? " filtered" : "");
    }
    void endSSGet(Acad::PromptStatus s, const AcDbObjectIdArray& ss) override {
        end("ssget", s, std::to_string(ss.size()));
    }
    void beginDragSequence(const ACHAR* prompt) override { begin("drag", prompt); }
    void endDragSequence(Acad::PromptStatus s, AcGePoint3d& p, AcGeVector3d&) override {
        end("drag", s, pointText(p));
    }

    // "begin point" / "end point RTNORM 5,5": the shape of the sequence.
    std::vector<std::string> shape() const {
        std::vector<std::string> out;
        for (const Call& c : calls)
            out.push_back(c.begin ? "begin " + c.what : "end " + c.what + " " + c.status);
        return out;
    }
};

// Every begin is closed by an end of the same kind, nested properly; an end never comes first.
std::string unbalanced(const std::vector<Call>& calls) {
    std::vector<std::string> open;
    for (size_t i = 0; i < calls.size(); ++i) {
        if (calls[i].begin) {
            open.push_back(calls[i].what);
            continue;
        }
        if (open.empty()) return "end without begin at " + std::to_string(i);
        if (open.back() != calls[i].what)
            return "end " + calls[i].what + " closes begin " + open.back();
        open.pop_back();
    }
    return open.empty() ? "" : "begin " + open.back() + " never ended";
}

class InputContext : public AppTest {
protected:
    InputContext() { manager()->addInputContextReactor(&log); }
    ~InputContext() override { manager()->removeInputContextReactor(&log); }
    AcEdInputPointManager* manager() { return curDoc()->inputPointManager(); }
    Recorder log;
};

using Shape = std::vector<std::string>;

struct LispCase {
    const char* what;
    const char* script;
    Shape shape;
    const char* prompt; // of the first begin
    const char* value;  // of the last end
};

TEST_F(InputContext, EachInputFunctionBeginsThenEnds) {
    const LispCase cases[] = {
        {"getpoint",
         "(getpoint \"\\nPoint: \")\n3,4\n",
         {"begin point", "end point RTNORM"},
         "\nPoint: ",
         "3,4"},
        {"getpoint with a base",
         "(getpoint '(1 1) \"From: \")\n4,5\n",
         {"begin point", "end point RTNORM"},
         "From: ",
         "4,5"},
        {"getdist typed",
         "(getdist \"Dist: \")\n7.5\n",
         {"begin distance", "end distance RTNORM"},
         "Dist: ",
         "7.5"},
        {"getdist by two points (the second point nests)",
         "(getdist \"Dist: \")\n0,0\n3,4\n",
         {"begin distance", "begin point", "end point RTNORM", "end distance RTNORM"},
         "Dist: ",
         "5"},
        {"getangle",
         "(getangle \"Angle: \")\n90\n",
         {"begin angle", "end angle RTNORM"},
         "Angle: ",
         "1.5708"},
        {"getstring",
         "(getstring \"Name: \")\nabc\n",
         {"begin string", "end string RTNORM"},
         "Name: ",
         "abc"},
        {"getint",
         "(getint \"Count: \")\n12\n",
         {"begin integer", "end integer RTNORM"},
         "Count: ",
         "12"},
        {"getreal",
         "(getreal \"Factor: \")\n2.5\n",
         {"begin real", "end real RTNORM"},
         "Factor: ",
         "2.5"},
        {"getkword",
         "(initget \"Yes No\")\n(getkword \"Sure? \")\nN\n",
         {"begin keyword", "end keyword RTNORM"},
         "Sure? ",
         "No"},
        {"getpoint answered with Enter",
         "(getpoint \"P: \")\n\n",
         {"begin point", "end point RTNONE"},
         "P: ",
         "0,0"},
        {"getpoint answered with a keyword",
         "(initget \"Undo\")\n(getpoint \"P: \")\nU\n",
         {"begin point", "end point RTKWORD"},
         "P: ",
         "Undo"},
    };
    for (const LispCase& c : cases) {
        log.calls.clear();
        run(c.script);
        EXPECT_EQ(log.shape(), c.shape) << c.what << "\n" << transcript();
        ASSERT_FALSE(log.calls.empty()) << c.what;
        EXPECT_EQ(log.calls.front().prompt, c.prompt) << c.what;
        EXPECT_EQ(log.calls.back().value, c.value) << c.what;
        EXPECT_EQ(unbalanced(log.calls), "") << c.what;
    }
}

TEST_F(InputContext, BeginsCarryTheBasePointAndTheOptions) {
    run("(initget 1 \"Undo Close\")\n(getpoint '(1 2) \"Next: \")\n5,5\n");
    ASSERT_EQ(log.calls.size(), 2u);
    const Call& b = log.calls.front();
    EXPECT_EQ(b.base, "1,2");
    EXPECT_EQ(b.flags, 1);
    EXPECT_EQ(b.keywords, "Undo Close");
    log.calls.clear();
    run("(getpoint \"Any: \")\n5,5\n");
    ASSERT_FALSE(log.calls.empty());
    EXPECT_EQ(log.calls.front().base, "-") << "no base, no base point";
    EXPECT_EQ(log.calls.front().keywords, "-") << "no keywords, none passed";
    EXPECT_EQ(log.calls.front().flags, 0) << "the options of an initget apply once";
}

TEST_F(InputContext, EscEndsTheCallItBeganWithCancel) {
    const std::pair<const char*, Shape> cases[] = {
        {"(getpoint \"P: \")\n!esc\n", {"begin point", "end point RTCAN"}},
        {"(getdist \"D: \")\n0,0\n!esc\n",
         {"begin distance", "begin point", "end point RTCAN", "end distance RTCAN"}},
        {"(getstring \"S: \")\n!esc\n", {"begin string", "end string RTCAN"}},
        {"(entsel)\n!esc\n", {"begin entsel", "end entsel RTCAN"}},
        {"(ssget)\n!esc\n", {"begin ssget", "end ssget RTCAN"}},
        {"LINE\n!esc\n", {"begin point", "end point RTCAN"}},
    };
    for (const auto& [script, shape] : cases) {
        log.calls.clear();
        run(script);
        EXPECT_EQ(log.shape(), shape) << script << "\n" << transcript();
        EXPECT_EQ(unbalanced(log.calls), "") << script;
    }
}

TEST_F(InputContext, EntityPicksAndSelections) {
    run("LINE 0,0 10,0 \"\"\nLINE 0,5 10,5 \"\"\n");
    log.calls.clear();
    run("(entsel \"\\nPick: \")\n!pick 5,0\n");
    EXPECT_EQ(log.shape(), (Shape{"begin entsel", "end entsel RTNORM"})) << transcript();
    ASSERT_EQ(log.calls.size(), 2u);
    EXPECT_EQ(log.calls[0].prompt, "\nPick: ");
    EXPECT_EQ(log.calls[1].value, "5,0");
    log.calls.clear();
    run("(entsel)\n!pick 50,50\n");
    EXPECT_EQ(log.shape(), (Shape{"begin entsel", "end entsel RTERROR"})) << "a pick on nothing";
    ASSERT_EQ(log.calls.size(), 2u);
    EXPECT_EQ(log.calls[1].value, "none");
    log.calls.clear();
    // A window inside the selection: its corners are points asked inside the selection.
    run("(ssget)\nW\n-1,-1\n11,6\n\n");
    EXPECT_EQ(log.shape(), (Shape{"begin ssget", "begin point", "end point RTNORM", "begin point",
                                  "end point RTNORM", "end ssget RTNORM"}))
        << transcript();
    ASSERT_FALSE(log.calls.empty());
    EXPECT_EQ(log.calls.back().value, "2");
    log.calls.clear();
    run("(ssget \":S\" '((0 . \"LINE\")))\n!pick 5,5\n");
    ASSERT_EQ(log.calls.size(), 2u) << transcript();
    EXPECT_EQ(log.calls[0].value, ":S filtered");
    EXPECT_EQ(log.calls[1].value, "1");
    log.calls.clear();
    run("ERASE\n!pick 5,5\n\n");
    EXPECT_EQ(log.shape(), (Shape{"begin ssget", "end ssget RTNORM"}))
        << "the selections of host commands are told too";
}

TEST_F(InputContext, TheDragsOfEditingCommandsAreDragSequences) {
    run("LINE 0,0 10,0 \"\"\n");
    log.calls.clear();
    run("MOVE L \"\" 0,0 5,5\n");
    EXPECT_EQ(log.shape(), (Shape{"begin ssget", "end ssget RTNORM", "begin point",
                                  "end point RTNORM", "begin drag", "end drag RTNORM"}))
        << transcript();
    ASSERT_EQ(log.calls.size(), 6u);
    EXPECT_EQ(log.calls[2].base, "-") << "the base point has no base";
    EXPECT_NE(log.calls[4].prompt.find("目的点"), std::string::npos) << log.calls[4].prompt;
    EXPECT_EQ(log.calls[5].value, "5,5");
    // ROTATE's angle and SCALE's factor are drags too.
    const std::pair<const char*, const char*> drags[] = {
        {"ROTATE L \"\" 0,0 90\n", "ROTATE"},
        {"SCALE L \"\" 0,0 2\n", "SCALE"},
        {"COPY L \"\" 0,0 1,1 \"\"\n", "COPY"},
        {"MIRROR L \"\" 0,0 0,9 N\n", "MIRROR"},
    };
    for (const auto& [script, what] : drags) {
        log.calls.clear();
        run(script);
        Shape s = log.shape();
        EXPECT_NE(std::find(s.begin(), s.end(), "begin drag"), s.end()) << what;
        EXPECT_NE(std::find(s.begin(), s.end(), "end drag RTNORM"), s.end()) << what;
        EXPECT_EQ(unbalanced(log.calls), "") << what;
    }
    log.calls.clear();
    run("MOVE L \"\" 0,0\n!esc\n");
    ASSERT_GE(log.calls.size(), 2u);
    EXPECT_EQ(log.shape().back(), "end drag RTCAN") << "Esc during the drag ends it cancelled";
}

// Every prompt shown is announced before it shows, and every call announced is answered.
TEST_F(InputContext, TheAnnouncedPromptsAreTheOnesShown) {
    run("CIRCLE 0,0 5\nLINE 0,0 3,3 6,0 \"\"\n");
    ASSERT_GE(log.calls.size(), 10u) << transcript();
    EXPECT_EQ(unbalanced(log.calls), "") << transcript();
    size_t shownFrom = 0;
    for (const Call& c : log.calls) {
        if (!c.begin) continue;
        std::string p = c.prompt;
        while (!p.empty() && p.front() == '\n')
            p.erase(0, 1);
        size_t at = transcript().find(p, shownFrom);
        ASSERT_NE(at, std::string::npos) << c.what << " " << p;
        shownFrom = at + 1; // in the order announced
    }
}

} // namespace
