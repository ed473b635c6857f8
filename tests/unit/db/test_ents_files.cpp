// The complex kinds of drawings written by other programs (tests/fixtures/external): every
// entity is read into its kind and written back. Nothing the file says is lost (a group left
// out of the output is one whose absence reads the same), writing what was read is stable,
// and the groups of HATCH come back exactly in file order.
#include "test_ents_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <set>

using namespace zel::test;

namespace {

const std::set<std::string> kKinds = {"LWPOLYLINE", "POLYLINE", "VERTEX", "SEQEND", "SPLINE",
                                      "TEXT",       "ATTDEF",   "ATTRIB", "MTEXT",  "INSERT",
                                      "DIMENSION",  "LEADER",   "HATCH"};

// Kinds whose groups come back exactly as the file had them.
const std::set<std::string> kExact = {"HATCH", "SEQEND"};

// The groups of a record as our writer gives them back: without the handle (objects outside a
// database have none).
Groups withoutHandle(const Groups& gs) {
    Groups out;
    for (const ZelGroupValue& g : gs)
        if (g.code != 5) out.push_back(g);
    return out;
}

bool close(double a, double b) {
    return a == b || std::fabs(a - b) <= 1e-12 * std::max(std::fabs(a), std::fabs(b));
}

// Equal values; reals may differ in the last bits (angles go through radians).
bool sameValue(const ZelGroupValue& a, const ZelGroupValue& b) {
    return a.code == b.code && a.integer == b.integer && a.text == b.text &&
           close(a.real, b.real) && close(a.point.x, b.point.x) && close(a.point.y, b.point.y) &&
           close(a.point.z, b.point.z);
}

bool sameValues(const Groups& a, const Groups& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (!sameValue(a[i], b[i])) return false;
    return true;
}

// Groups of the file missing from the output, each matched once.
std::vector<size_t> missing(const Groups& file, const Groups& written) {
    std::vector<bool> used(written.size(), false);
    std::vector<size_t> out;
    for (size_t i = 0; i < file.size(); ++i) {
        bool found = false;
        for (size_t j = 0; j < written.size() && !found; ++j) {
            if (used[j] || !sameValue(file[i], written[j])) continue;
            used[j] = found = true;
        }
        if (!found) out.push_back(i);
    }
    return out;
}

struct Problem {
    std::string file, type, what;
};

// The text of MTEXT is cut into 3 groups and a last 1 group wherever the writer chose: the
// groups compare as one text.
Groups joinedText(const std::string& type, const Groups& gs) {
    if (type != "MTEXT") return gs;
    Groups out;
    std::wstring text;
    for (const ZelGroupValue& g : gs) {
        if (g.code == 3) {
            text += g.text;
            continue;
        }
        if (g.code == 1 && !text.empty()) {
            ZelGroupValue joined = g;
            joined.text = text + g.text;
            text.clear();
            out.push_back(joined);
            continue;
        }
        out.push_back(g);
    }
    return out;
}

void checkRecord(const std::string& file, const DxfRecord& r, std::vector<Problem>& problems) {
    Groups fileGroups = joinedText(r.type, withoutHandle(r.groups));
    std::unique_ptr<AcDbObject> o = readObject(r.type, r.groups);
    Groups written = joinedText(r.type, groupsOf(*o));
    Groups again = joinedText(r.type, groupsOf(*readObject(r.type, groupsOf(*o))));
    if (!sameValues(written, again))
        problems.push_back(
            {file, r.type, "not stable:\n" + describe(written) + "\n" + describe(again)});
    bool marked = false; // files of release 12 have no subclass markers; ours always do
    for (const ZelGroupValue& g : fileGroups)
        marked = marked || g.code == 100;
    if (marked && kExact.count(r.type) && !sameValues(fileGroups, written))
        problems.push_back(
            {file, r.type,
             "not in file order:\n" + describe(fileGroups) + "\n" + describe(written)});
    for (size_t i : missing(fileGroups, written)) {
        // Any group of the same value may be the one the output left out.
        bool harmless = false;
        for (size_t j = 0; j < fileGroups.size() && !harmless; ++j) {
            if (!sameValue(fileGroups[j], fileGroups[i])) continue;
            Groups without = fileGroups;
            without.erase(without.begin() + long(j));
            harmless =
                sameValues(joinedText(r.type, groupsOf(*readObject(r.type, without))), written);
        }
        if (!harmless)
            problems.push_back({file, r.type,
                                "lost " + describe(fileGroups[i]) + " of\n" + describe(fileGroups) +
                                    "\n" + describe(written)});
    }
}

TEST(EntityFiles, NothingOfTheFileIsLostAndHatchesKeepTheirOrder) {
    std::map<std::string, int> counts;
    std::vector<Problem> problems;
    for (const auto& entry : std::filesystem::directory_iterator(ZEL_DRAWINGS_DIR)) {
        std::string ext = entry.path().extension().string();
        if (ext != ".dxf" && ext != ".DXF") continue;
        for (const DxfRecord& r : readDxfRecords(entry.path().string())) {
            if (!kKinds.count(r.type) || r.damaged) continue;
            ++counts[r.type];
            checkRecord(entry.path().filename().string(), r, problems);
        }
    }
    // The drawings hold these kinds; a missing one means the fixtures were not found.
    for (const char* kind : {"LWPOLYLINE", "POLYLINE", "VERTEX", "HATCH", "MTEXT", "TEXT", "ATTDEF",
                             "ATTRIB", "INSERT", "DIMENSION", "SPLINE"})
        EXPECT_GT(counts[kind], 0) << kind;
    for (const Problem& p : problems)
        ADD_FAILURE() << p.file << " " << p.type << " " << p.what;
}

} // namespace
