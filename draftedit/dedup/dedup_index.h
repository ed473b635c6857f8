// The search of the grouped procedure: for a record, the later records of the run that can
// interact with it. Records of one group share line type, layer (both case-insensitive), colour
// and class; within a group, lines are found through the cells of a grid that their segments
// pass through and, within a cell, by the angle and offset of their supporting line; circles
// and arcs through cells of centre and radius. The search may return more than can interact
// (the comparison sorts them out) but never less; see dedup_index.cpp.
#pragma once

#include "draftedit/dedup/dedup_run.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace zel::dedup {

// Records by 64-bit cell hash: built at once (counting sort into buckets), then open to
// additions. Cells whose hashes share a bucket share a list, which only widens a search.
class BucketTable {
public:
    struct Entry {
        std::uint64_t hash;
        std::uint32_t record;
    };
    void build(const std::vector<Entry>& entries);
    void add(std::uint64_t hash, std::uint32_t record);
    // Appends the records of the bucket of `hash` to out.
    void collect(std::uint64_t hash, std::vector<std::uint32_t>& out) const;

private:
    std::uint64_t mask_ = 0;
    std::vector<std::uint32_t> offsets_; // bucket b holds records_[offsets_[b] .. offsets_[b+1])
    std::vector<std::uint32_t> records_;
    std::unordered_map<std::uint64_t, std::vector<std::uint32_t>> added_; // by bucket
};

class DupIndex {
public:
    explicit DupIndex(const DupRun& run);
    // The live records after `after` (> after) of the group of record i that can interact with
    // it as it stands now, in increasing order.
    void candidates(std::size_t i, std::size_t after, std::vector<std::uint32_t>& out);
    // Record k has changed (a line was shortened): it is found from its new place as well.
    void moved(std::size_t k);

private:
    // The grid of one group of lines.
    struct LineGrid {
        double cell = 1;        // side of a cell
        double offsetReach = 0; // offsets of partners differ by less than this
        double offsetWidth = 1; // width of an offset bucket
        bool plain = false;     // directional lines are entered without direction as well
        std::size_t specks = 0; // lines without a usable direction entered so far
    };
    // The direction of a line for the search: its angle in [0, pi) and unit normal.
    struct Direction {
        bool usable = false; // long enough for its angle to bound its partners' angles
        double angle = 0, nx = 0, ny = 0;
    };

    template <typename F> void forEachLineCell(std::size_t k, F&& f) const;
    template <typename F> void forEachRoundCell(std::size_t k, double reach, F&& f) const;
    template <typename F> void forEachLineEntry(std::size_t k, F&& f) const;
    void assignGroups();
    void chooseCells();
    Direction directionOf(const DupItem& line) const;
    void lineCandidates(std::size_t i, std::vector<std::uint32_t>& out);
    void enterPlain(std::uint32_t group);

    const DupRun& run_;
    std::vector<std::uint32_t> group_;
    std::vector<LineGrid> grids_; // by group
    BucketTable lines_, rounds_;
    double lineMargin_ = 0; // segments are widened by this
    int angleBuckets_ = 0;  // buckets of line angles over [0, pi); 0: angles are not used
    double angleWidth_ = 1; // width of an angle bucket
    double angleReach_ = 0; // angles of directional partners differ by less than this
    double roundCell_ = 1;  // side of a centre and radius cell
    double roundReach_ = 0; // centres and radii are looked for this far off
};

} // namespace zel::dedup
