// A spatial index over ids with bounding boxes: an R-tree (nodes of up to 16 entries, split
// along the axis of greater spread) that can also be packed in one go from a list (sort-tile-
// recursive). Boxes with infinite sides (rays, construction lines) are kept in a plain list
// beside the tree. Id needs copying and ==.
#pragma once

#include "geom/vec2.h"

#include <cassert>
#include <functional>
#include <optional>
#include <queue>
#include <utility>
#include <vector>

namespace zel::geom {

template <class Id> class SpatialIndex {
public:
    // The distance from a point to an id's object; the box distance stands in when none is given.
    using DistanceFn = std::function<double(const Id&)>;

    size_t size() const { return mSize; }
    bool empty() const { return mSize == 0; }
    void clear() { *this = SpatialIndex(); }

    void insert(const Id& id, const Box2& box);
    // Removes id, stored with this box; false when it is not there.
    bool remove(const Id& id, const Box2& box);
    // Replaces the contents by the items, packed for fast queries.
    void build(std::vector<std::pair<Id, Box2>> items);

    // Calls f(id, box) for every item whose box overlaps area.
    template <class F> void visit(const Box2& area, F&& f) const;
    std::vector<Id> query(const Box2& area) const;
    std::vector<Id> query(Vec2 p) const { return query(Box2::of(p, p)); }

    // The id nearest to p (by `distance`, else by box), none farther than maxDistance.
    std::optional<Id> nearest(Vec2 p, const DistanceFn& distance = nullptr,
                              double maxDistance = kInf) const;

private:
    static constexpr size_t kMaxEntries = 16;

    struct Node {
        Box2 box;
        int parent = -1;
        bool leaf = true;
        std::vector<int> children;              // internal nodes
        std::vector<std::pair<Box2, Id>> items; // leaves
    };

    std::vector<Node> mNodes;
    std::vector<int> mFree;
    std::vector<std::pair<Box2, Id>> mUnbounded;
    int mRoot = -1;
    size_t mSize = 0;

    static double area(const Box2& b) { return b.width() * b.height(); }
    static Box2 merged(Box2 a, const Box2& b) { return a.add(b); }

    int newNode(bool leaf, int parent);
    size_t entryCount(int n) const {
        return mNodes[n].leaf ? mNodes[n].items.size() : mNodes[n].children.size();
    }
    void recomputeBox(int n);
    int chooseLeaf(const Box2& box) const;
    void split(int n);
    int findLeaf(int n, const Id& id, const Box2& box) const;
    void condense(int n);
    std::vector<int> packLevel(std::vector<int> nodes);
};

template <class Id> int SpatialIndex<Id>::newNode(bool leaf, int parent) {
    int n;
    if (!mFree.empty()) {
        n = mFree.back();
        mFree.pop_back();
        mNodes[n] = Node{};
    } else {
        n = int(mNodes.size());
        mNodes.emplace_back();
    }
    mNodes[n].leaf = leaf;
    mNodes[n].parent = parent;
    return n;
}

template <class Id> void SpatialIndex<Id>::recomputeBox(int n) {
    Node& node = mNodes[n];
    node.box = Box2{};
    for (const auto& item : node.items) {
        node.box.add(item.first);
    }
    for (int c : node.children) {
        node.box.add(mNodes[c].box);
    }
}

template <class Id> int SpatialIndex<Id>::chooseLeaf(const Box2& box) const {
    int n = mRoot;
    while (!mNodes[n].leaf) {
        int best = -1;
        double bestGrowth = kInf, bestArea = kInf;
        for (int c : mNodes[n].children) {
            double a = area(mNodes[c].box);
            double growth = area(merged(mNodes[c].box, box)) - a;
            if (growth < bestGrowth || (growth == bestGrowth && a < bestArea)) {
                best = c, bestGrowth = growth, bestArea = a;
            }
        }
        n = best;
    }
    return n;
}

template <class Id> void SpatialIndex<Id>::split(int n) {
    bool leaf = mNodes[n].leaf;
    int m = newNode(leaf, mNodes[n].parent);
    Node& node = mNodes[n];
    Node& other = mNodes[m];
    // Split at the median along the axis on which the entries' centres spread more.
    auto boxOf = [&](size_t i) {
        return leaf ? node.items[i].first : mNodes[node.children[i]].box;
    };
    size_t count = entryCount(n);
    Box2 centres;
    for (size_t i = 0; i < count; ++i) {
        centres.add(boxOf(i).center());
    }
    bool alongX = centres.width() >= centres.height();
    auto key = [alongX](const Box2& b) { return alongX ? b.center().x : b.center().y; };
    if (leaf) {
        std::sort(node.items.begin(), node.items.end(),
                  [&](const auto& a, const auto& b) { return key(a.first) < key(b.first); });
        other.items.assign(node.items.begin() + count / 2, node.items.end());
        node.items.resize(count / 2);
    } else {
        std::sort(node.children.begin(), node.children.end(),
                  [&](int a, int b) { return key(mNodes[a].box) < key(mNodes[b].box); });
        other.children.assign(node.children.begin() + count / 2, node.children.end());
        node.children.resize(count / 2);
        for (int c : other.children) {
            mNodes[c].parent = m;
        }
    }
    recomputeBox(n);
    recomputeBox(m);
    int parent = mNodes[n].parent;
    if (parent < 0) {
        int root = newNode(false, -1);
        mNodes[root].children = {n, m};
        mNodes[n].parent = mNodes[m].parent = root;
        recomputeBox(root);
        mRoot = root;
        return;
    }
    mNodes[parent].children.push_back(m);
    if (mNodes[parent].children.size() > kMaxEntries) split(parent);
}

template <class Id> void SpatialIndex<Id>::insert(const Id& id, const Box2& box) {
    assert(!box.isEmpty() && "SpatialIndex::insert: an empty box");
    ++mSize;
    if (!box.isFinite()) {
        mUnbounded.emplace_back(box, id);
        return;
    }
    if (mRoot < 0) mRoot = newNode(true, -1);
    int n = chooseLeaf(box);
    mNodes[n].items.emplace_back(box, id);
    for (int p = n; p >= 0; p = mNodes[p].parent) {
        mNodes[p].box.add(box);
    }
    if (mNodes[n].items.size() > kMaxEntries) split(n);
}

template <class Id> int SpatialIndex<Id>::findLeaf(int n, const Id& id, const Box2& box) const {
    const Node& node = mNodes[n];
    if (!node.box.contains(box)) return -1;
    if (node.leaf) {
        for (const auto& item : node.items) {
            if (item.second == id && item.first == box) return n;
        }
        return -1;
    }
    for (int c : node.children) {
        if (int found = findLeaf(c, id, box); found >= 0) return found;
    }
    return -1;
}

// After a removal from n: drop nodes left empty, shrink boxes up to the root, and let a root
// with a single child give way to it.
template <class Id> void SpatialIndex<Id>::condense(int n) {
    while (n >= 0) {
        int parent = mNodes[n].parent;
        if (entryCount(n) == 0 && parent >= 0) {
            auto& siblings = mNodes[parent].children;
            siblings.erase(std::find(siblings.begin(), siblings.end(), n));
            mFree.push_back(n);
        } else {
            recomputeBox(n);
        }
        n = parent;
    }
    while (!mNodes[mRoot].leaf && mNodes[mRoot].children.size() == 1) {
        int child = mNodes[mRoot].children.front();
        mFree.push_back(mRoot);
        mRoot = child;
        mNodes[mRoot].parent = -1;
    }
    if (mNodes[mRoot].children.empty()) mNodes[mRoot].leaf = true;
}

template <class Id> bool SpatialIndex<Id>::remove(const Id& id, const Box2& box) {
    if (!box.isFinite()) {
        auto it = std::find_if(mUnbounded.begin(), mUnbounded.end(),
                               [&](const auto& item) { return item.second == id; });
        if (it == mUnbounded.end()) return false;
        mUnbounded.erase(it);
        --mSize;
        return true;
    }
    int leaf = mRoot < 0 ? -1 : findLeaf(mRoot, id, box);
    if (leaf < 0) return false;
    auto& items = mNodes[leaf].items;
    items.erase(std::find_if(items.begin(), items.end(), [&](const auto& item) {
        return item.second == id && item.first == box;
    }));
    --mSize;
    condense(leaf);
    return true;
}

// One level of sort-tile-recursive packing: the nodes grouped into parents of up to
// kMaxEntries, by vertical slices then by y within a slice.
template <class Id> std::vector<int> SpatialIndex<Id>::packLevel(std::vector<int> nodes) {
    auto cx = [&](int n) { return mNodes[n].box.center().x; };
    auto cy = [&](int n) { return mNodes[n].box.center().y; };
    std::sort(nodes.begin(), nodes.end(), [&](int a, int b) { return cx(a) < cx(b); });
    size_t parents = (nodes.size() + kMaxEntries - 1) / kMaxEntries;
    size_t slices = size_t(std::ceil(std::sqrt(double(parents))));
    size_t perSlice = slices * kMaxEntries;
    std::vector<int> out;
    for (size_t s = 0; s < nodes.size(); s += perSlice) {
        auto end = nodes.begin() + std::min(nodes.size(), s + perSlice);
        std::sort(nodes.begin() + s, end, [&](int a, int b) { return cy(a) < cy(b); });
        for (auto it = nodes.begin() + s; it < end;
             it += std::min<ptrdiff_t>(kMaxEntries, end - it)) {
            int parent = newNode(false, -1);
            auto last = it + std::min<ptrdiff_t>(kMaxEntries, end - it);
            mNodes[parent].children.assign(it, last);
            for (auto c = it; c < last; ++c) {
                mNodes[*c].parent = parent;
            }
            recomputeBox(parent);
            out.push_back(parent);
        }
    }
    return out;
}

template <class Id> void SpatialIndex<Id>::build(std::vector<std::pair<Id, Box2>> items) {
    clear();
    std::vector<int> level;
    std::vector<std::pair<Box2, Id>> bounded;
    for (auto& [id, box] : items) {
        if (box.isEmpty()) continue;
        ++mSize;
        (box.isFinite() ? bounded : mUnbounded).emplace_back(box, std::move(id));
    }
    // Leaves: the items sorted like nodes of one level below.
    auto cx = [](const auto& it) { return it.first.center().x; };
    auto cy = [](const auto& it) { return it.first.center().y; };
    std::sort(bounded.begin(), bounded.end(), [&](auto& a, auto& b) { return cx(a) < cx(b); });
    size_t leaves = (bounded.size() + kMaxEntries - 1) / kMaxEntries;
    size_t perSlice = size_t(std::ceil(std::sqrt(double(leaves)))) * kMaxEntries;
    for (size_t s = 0; s < bounded.size(); s += perSlice) {
        size_t end = std::min(bounded.size(), s + perSlice);
        std::sort(bounded.begin() + s, bounded.begin() + end,
                  [&](auto& a, auto& b) { return cy(a) < cy(b); });
        for (size_t i = s; i < end; i += kMaxEntries) {
            int leaf = newNode(true, -1);
            mNodes[leaf].items.assign(bounded.begin() + i,
                                      bounded.begin() + std::min(end, i + kMaxEntries));
            recomputeBox(leaf);
            level.push_back(leaf);
        }
    }
    while (level.size() > 1) {
        level = packLevel(std::move(level));
    }
    mRoot = level.empty() ? -1 : level.front();
}

template <class Id> template <class F> void SpatialIndex<Id>::visit(const Box2& area, F&& f) const {
    for (const auto& [box, id] : mUnbounded) {
        if (box.overlaps(area)) f(id, box);
    }
    if (mRoot < 0) return;
    std::vector<int> stack{mRoot};
    while (!stack.empty()) {
        const Node& node = mNodes[stack.back()];
        stack.pop_back();
        if (!node.box.overlaps(area)) continue;
        for (const auto& [box, id] : node.items) {
            if (box.overlaps(area)) f(id, box);
        }
        stack.insert(stack.end(), node.children.begin(), node.children.end());
    }
}

template <class Id> std::vector<Id> SpatialIndex<Id>::query(const Box2& area) const {
    std::vector<Id> out;
    visit(area, [&](const Id& id, const Box2&) { out.push_back(id); });
    return out;
}

template <class Id>
std::optional<Id> SpatialIndex<Id>::nearest(Vec2 p, const DistanceFn& distance,
                                            double maxDistance) const {
    // Best-first search: boxes give lower bounds; an item's own distance is computed when it
    // comes first and it is put back with it, so the first exact item popped is the nearest.
    struct Entry {
        double key;
        int node; // a node, or -1 for an item
        const std::pair<Box2, Id>* item;
        bool exact;
        bool operator>(const Entry& o) const { return key > o.key; }
    };
    std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> queue;
    auto pushItem = [&](const std::pair<Box2, Id>& item) {
        double d = item.first.distanceTo(p);
        if (d <= maxDistance) queue.push({d, -1, &item, !distance});
    };
    for (const auto& item : mUnbounded) {
        pushItem(item);
    }
    if (mRoot >= 0) queue.push({mNodes[mRoot].box.distanceTo(p), mRoot, nullptr, false});
    while (!queue.empty()) {
        Entry e = queue.top();
        queue.pop();
        if (e.key > maxDistance) break;
        if (e.item && e.exact) return e.item->second;
        if (e.item) {
            queue.push({distance(e.item->second), -1, e.item, true});
            continue;
        }
        const Node& node = mNodes[e.node];
        for (const auto& item : node.items) {
            pushItem(item);
        }
        for (int c : node.children) {
            queue.push({mNodes[c].box.distanceTo(p), c, nullptr, false});
        }
    }
    return std::nullopt;
}

} // namespace zel::geom
