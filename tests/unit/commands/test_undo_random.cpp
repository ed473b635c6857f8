// Seeded random sessions: host commands (some cancelled half-way with Esc) followed by as
// many U must leave the drawing exactly as it was, and each command must be one undo step.
#include "session_fixture.h"

#include <random>
#include <sstream>

namespace {

class RandomScript {
public:
    explicit RandomScript(uint32_t seed) : mRng(seed) {}

    // One host command with all its input, as a script line; the drawing always has entities
    // left for "L" (last) to select.
    std::string command() {
        switch (pick(30)) {
        case 0:
            return "LINE " + pt() + " " + pt() + " " + pt() + " \"\"";
        case 1:
            return "LINE " + pt() + " " + pt() + " " + pt() + " C";
        case 2:
            return "LINE " + pt() + " " + pt() + " U " + pt() + " \"\"";
        case 3:
            return "PLINE " + pt() + " " + pt() + " A " + pt() + " L " + pt() + " \"\"";
        case 4:
            return "PLINE " + pt() + " " + pt() + " A " + pt() + " CL";
        case 5:
            return "CIRCLE " + pt() + " " + std::to_string(1 + pick(40));
        case 6:
            return "CIRCLE 3P " + pt() + " " + pt() + " " + pt();
        case 7:
            return "ARC " + pt() + " " + pt() + " " + pt();
        case 8:
            return "RECTANG " + corners();
        case 9:
            return "XLINE " + pt() + " " + pt() + " \"\"";
        case 10:
            return "RAY " + pt() + " " + pt() + " " + pt() + " \"\"";
        case 11:
            return "POINT " + pt();
        case 12:
            return "COLOR " + std::to_string(1 + pick(255));
        case 13:
            return "-LAYER M L" + std::to_string(pick(5)) + " \"\"";
        case 14:
            return pick(2) ? "UCS O " + pt() : "UCS W";
        case 15:
            return "MOVE L \"\" " + pt() + " " + pt();
        case 16:
            return "COPY L \"\" " + pt() + " " + pt() + " " + pt() + " \"\"";
        case 17:
            return "ROTATE L \"\" " + pt() + " " + std::to_string(pick(360));
        case 18:
            return "SCALE L \"\" " + pt() + " " + std::to_string(1 + pick(3));
        case 19:
            return "MIRROR L \"\" " + corners() + (pick(2) ? " Y" : " N");
        case 20:
            return "CHPROP L \"\" C " + std::to_string(1 + pick(255)) + " LA 0 \"\"";
        case 21:
            return "ERASE W -1000,-1000 1000,1000 R L \"\"";
        case 22:
            return rectangularArray();
        case 23:
            return "ARRAY L \"\" P " + pt() + " " + std::to_string(2 + pick(5)) + " \"\" " +
                   (pick(2) ? "Y" : "N");
        case 24:
            return "TEXT " + pt() + " " + std::to_string(1 + pick(5)) + " " +
                   std::to_string(pick(360)) + " T" + std::to_string(pick(100));
        case 25:
            return "ELLIPSE " + pt() + " " + pt() + " " + std::to_string(1 + pick(30));
        case 26:
            return "SPLINE " + pt() + " " + pt() + " " + pt() + " \"\" \"\" \"\"";
        case 27:
            return "INSERT B0 " + pt() + " " + std::to_string(1 + pick(3)) + " \"\" " +
                   std::to_string(pick(360));
        case 28:
            return "MTEXT " + corners() + " M" + std::to_string(pick(100)) + " \"\"";
        default:
            return cancelled();
        }
    }

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(mRng); }
    std::string pt() {
        return std::to_string(pick(201) - 100) + "," + std::to_string(pick(201) - 100);
    }
    std::string corners() {
        int x = pick(201) - 100, y = pick(201) - 100;
        return std::to_string(x) + "," + std::to_string(y) + " " +
               std::to_string(x + 1 + pick(50)) + "," + std::to_string(y + 1 + pick(50));
    }
    // Spacings are asked only for more than one row or column.
    std::string rectangularArray() {
        int rows = 1 + pick(3), columns = 1 + pick(3);
        std::string s = "ARRAY L \"\" R " + std::to_string(rows) + " " + std::to_string(columns);
        if (rows != 1) s += " " + std::to_string((pick(9) - 4) | 1);
        if (columns != 1) s += " " + std::to_string((pick(9) - 4) | 1);
        return s;
    }
    // A command cancelled with Esc part of the way through.
    std::string cancelled() {
        switch (pick(5)) {
        case 4:
            return "MOVE L \"\" " + pt() + " !esc";
        case 0:
            return "LINE " + pt() + " " + pt() + " !esc";
        case 1:
            return "CIRCLE " + pt() + " !esc";
        case 2:
            return "PLINE " + pt() + " " + pt() + " A " + pt() + " !esc";
        default:
            return "-LAYER M X" + std::to_string(pick(3)) + " !esc";
        }
    }
    std::mt19937 mRng;
};

class UndoRandom : public SessionTest, public ::testing::WithParamInterface<uint32_t> {};

TEST_P(UndoRandom, CommandsThenAsManyUndosRestoreTheDrawing) {
    constexpr int kCommands = 200;
    RandomScript gen(GetParam());
    run("LINE 0,0 10,10 \"\"\nBLOCK B0 0,0 L \"\"\nLINE 0,0 10,10 \"\"\nCIRCLE 5,5 3\n");
    size_t stepsBefore = engine().undo().steps();
    std::string before = dump();
    std::ostringstream script;
    for (int i = 0; i < kCommands; ++i)
        script << gen.command() << "\n";
    run(script.str());
    ASSERT_FALSE(ed().queue().exhausted()) << script.str();
    EXPECT_EQ(engine().undo().steps(), stepsBefore + kCommands) << "one undo step per command";
    EXPECT_NE(dump(), before);
    std::string text = transcript();
    size_t unknown = text.find("不明なコマンド");
    EXPECT_EQ(unknown, std::string::npos) << "a command took fewer tokens than it was given:\n"
                                          << text.substr(unknown < 600 ? 0 : unknown - 600, 700);
    std::string undo;
    for (int i = 0; i < kCommands; ++i)
        undo += "U\n";
    run(undo);
    EXPECT_EQ(dump(), before) << "seed " << GetParam();
    EXPECT_EQ(engine().undo().steps(), stepsBefore);
}

INSTANTIATE_TEST_SUITE_P(Seeds, UndoRandom, ::testing::Range(1u, 51u));

} // namespace
