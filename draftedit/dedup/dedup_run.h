// The state of one removal run and the comparison of one pair of records, shared by both
// procedures (dedup_pairwise.cpp, dedup_grouped.cpp): they differ only in which pairs they hand
// to compare() and never in what a comparison does.
#pragma once

#include "draftedit/dedup/dedup.h"

#include <cstddef>
#include <string>
#include <vector>

namespace zel::dedup {

// What one comparison did to the pair.
struct PairOutcome {
    bool iErased = false;  // the outer record was erased: its comparisons end
    bool jErased = false;  // the later record was erased
    bool iChanged = false; // the outer record changed (grew, or became a circle)
    bool jChanged = false; // the later record changed (was shortened)
    bool any() const { return iErased || jErased || iChanged || jChanged; }
};

// Lines compare with lines, circles and arcs with circles and arcs.
enum class DupClass { Line, Round };
DupClass classOf(DupKind kind);

// Upper case of ASCII, Latin-1, Greek, Cyrillic and full-width Latin letters (as the host
// compares table names).
wchar_t upperChar(wchar_t c);
bool equalsNoCase(const std::wstring& a, const std::wstring& b);
std::wstring upperText(const std::wstring& text);

// Same line type and layer (case-insensitive), same colour and same class of kind.
bool sameAttributes(const DupItem& a, const DupItem& b);

// Whether a record takes part in a run with these options.
bool takesPart(const DupItem& item, DupOptions options);

class DupRun {
public:
    DupRun(std::vector<DupItem> records, DupOptions options, DupEditor& editor);

    // Compares record i with the later record j of the same attributes and class. A pair that
    // cannot interact (not collinear, other centre or radius, apart along their line) returns
    // an empty outcome having read nothing but the two records and changed nothing.
    PairOutcome compare(std::size_t i, std::size_t j);

    std::size_t size() const { return records_.size(); }
    const DupItem& record(std::size_t k) const { return records_[k]; }
    bool alive(std::size_t k) const { return alive_[k] != 0; }
    std::size_t aliveCount() const { return aliveCount_; }
    const DupCounters& counters() const { return counters_; }
    // The records not erased, moved out at the end of the run.
    std::vector<DupItem> takeRemaining();

private:
    PairOutcome compareLines(std::size_t i, std::size_t j);
    PairOutcome compareRound(std::size_t i, std::size_t j);
    PairOutcome compareArcs(std::size_t i, std::size_t j);
    PairOutcome lineOverhang(std::size_t i, std::size_t j, int axis, bool jStartInside,
                             bool hiSide);
    PairOutcome arcPastEnd(std::size_t i, std::size_t j);
    PairOutcome arcRoundToStart(std::size_t i, std::size_t j, double f);
    PairOutcome arcBeforeStart(std::size_t i, std::size_t j, double f);

    // Edits: each updates the record and the counters only when the editor succeeded.
    bool eraseRecord(std::size_t k);
    bool setLine(std::size_t k, const DupPoint& start, const DupPoint& end);
    bool setArc(std::size_t k, double startAngle, double endAngle);
    bool absorb(std::size_t i, std::size_t j); // j erased into i, i counted merged
    void markTrimmed(std::size_t k);
    void markMerged(std::size_t k);

    std::vector<DupItem> records_;
    std::vector<char> alive_;
    std::size_t aliveCount_ = 0;
    DupOptions options_;
    DupEditor& editor_;
    DupCounters counters_;
};

// The two procedures over a prepared run; each returns true when the user broke it off.
bool runPairwise(DupRun& run, DupMonitor& monitor);
bool runGrouped(DupRun& run, DupMonitor& monitor);

} // namespace zel::dedup
