// The grouped procedure: the pairwise procedure's comparisons that can have an effect, and only
// those, in the pairwise procedure's order.
//
// Why the results are the pairwise procedure's, edit for edit. The pairwise procedure takes the
// records still in its list in list order; the list is the selection order with the erased
// records taken out, so its record k is the k-th live record and all records before it have had
// their turn. Each record i is compared with every later live record j in list order until i
// is erased. A comparison changes nothing, calls no editor and reads nothing but the two
// records when the records cannot interact (other attributes, not collinear, apart along their
// line, other centre or radius). Leaving such comparisons out therefore changes nothing, as
// long as every comparison that can have an effect is still made, on the records as they then
// stand, in the same order. That is what this loop does:
//  - Outer records are taken in selection order, skipping the erased ones: the same sequence as
//    the pairwise list, and k (live records before i) and the live count are its index and size,
//    so progress and the user break fall between the same records.
//  - The later records of one outer record are taken in increasing index: list order.
//  - The candidates are all live later records of the group that can interact with the outer
//    record as it stands (dedup_index.cpp). Records change during a run, and the order of the
//    run is global, not per group: a later record shortened by one outer record meets the
//    following outer records at its new place (it is entered in the index there at once); an
//    outer record that grows, or becomes a circle, meets the rest of its later records as it now
//    stands (it is searched again, keeping only records after the one that changed it); an
//    erased record is never a candidate again. Records are changed by nothing but comparisons,
//    each of which touches only its own two records, so by induction over the comparisons made
//    both procedures see the same records at every comparison and make the same edits in the
//    same order, and the counters, changed only by edits, agree after each of them.
//  - Groups never meet (the comparison of records of different attributes has no effect), so
//    taking the outer records in one global order rather than group after group changes only the
//    interleaving of edits of different groups, and even that is kept.
#include "draftedit/dedup/dedup_index.h"
#include "draftedit/dedup/dedup_run.h"

#include <cstdint>
#include <vector>

namespace zel::dedup {

namespace {

// The comparisons of outer record i; true when i was erased.
bool outerRound(DupRun& run, DupIndex& index, std::size_t i, std::vector<std::uint32_t>& later) {
    index.candidates(i, i, later);
    std::size_t pos = 0;
    while (pos < later.size()) {
        std::size_t j = later[pos++];
        PairOutcome o = run.compare(i, j);
        if (o.iErased) return true;
        if (o.jChanged) index.moved(j);
        if (o.iChanged) {
            index.candidates(i, j, later);
            pos = 0;
        }
    }
    return false;
}

} // namespace

bool runGrouped(DupRun& run, DupMonitor& monitor) {
    DupIndex index(run);
    std::vector<std::uint32_t> later;
    int k = 0;
    for (std::size_t i = 0; i < run.size(); ++i) {
        if (!run.alive(i)) continue;
        monitor.progress(k, static_cast<int>(run.aliveCount()));
        if (!outerRound(run, index, i, later)) ++k;
        if (monitor.userBreak()) return true;
    }
    return false;
}

} // namespace zel::dedup
