// The pairwise procedure: every record, in order, against every later record still in the
// list. Quadratic; kept as the reference against which the grouped procedure is tested.
#include "draftedit/dedup/dedup_run.h"

#include <cstddef>
#include <numeric>
#include <vector>

namespace zel::dedup {

// The list holds the indices of the records still in the run. A later record that is erased
// leaves the list and the record that moves into its place is compared next; an outer record
// that is erased ends its comparisons and the record that moves to its index is processed next.
bool runPairwise(DupRun& run, DupMonitor& monitor) {
    std::vector<std::size_t> list(run.size());
    std::iota(list.begin(), list.end(), std::size_t{0});
    std::size_t k = 0;
    while (k < list.size()) {
        monitor.progress(static_cast<int>(k), static_cast<int>(list.size()));
        std::size_t i = list[k];
        bool outerErased = false;
        std::size_t p = k + 1;
        while (p < list.size()) {
            std::size_t j = list[p];
            if (!sameAttributes(run.record(i), run.record(j))) {
                ++p;
                continue;
            }
            PairOutcome o = run.compare(i, j);
            if (o.jErased)
                list.erase(list.begin() + static_cast<std::ptrdiff_t>(p));
            else
                ++p;
            if (o.iErased) {
                outerErased = true;
                break;
            }
        }
        if (outerErased)
            list.erase(list.begin() + static_cast<std::ptrdiff_t>(k));
        else
            ++k;
        if (monitor.userBreak()) return true;
    }
    return false;
}

} // namespace zel::dedup
