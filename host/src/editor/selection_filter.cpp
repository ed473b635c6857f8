// DXF filters of selections (see selection_filter.h).
#include "editor/selection_filter.h"

#include "core/groupcodes.h"
#include "core/text.h"
#include "core/wildcard.h"
#include "db/entlist.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace zel::editor {

namespace {

using Node = SelectionFilter::Node;
using core::GroupType;

// The value of a filter node as the entity lists hold it; false when its type does not fit
// the code.
// Group 0 travels as RTDXF0 in lists built with acutBuildList (0 ends their arguments).
int codeOf(const resbuf* rb) {
    return rb->restype == RTDXF0 ? 0 : rb->restype;
}

bool valueOf(const resbuf* rb, ZelGroupValue& v) {
    v.code = codeOf(rb);
    switch (core::groupType(v.code)) {
    case GroupType::String:
    case GroupType::Handle:
    case GroupType::Binary:
        if (!rb->resval.rstring) return false;
        v.text = rb->resval.rstring;
        return true;
    case GroupType::Real:
        v.real = rb->resval.rreal;
        return true;
    case GroupType::PointX:
        v.point = AcGePoint3d(rb->resval.rpoint[0], rb->resval.rpoint[1], rb->resval.rpoint[2]);
        return true;
    case GroupType::Int16:
    case GroupType::Bool:
        v.integer = rb->resval.rint;
        return true;
    case GroupType::Int32:
        v.integer = rb->resval.rlong;
        return true;
    case GroupType::Int64:
        v.integer = rb->resval.mnInt64;
        return true;
    }
    return false;
}

// The parts of "op" or "op,op,op" (one per coordinate of a point).
std::vector<std::wstring_view> operatorParts(std::wstring_view op) {
    std::vector<std::wstring_view> parts;
    for (size_t start = 0;;) {
        size_t comma = op.find(L',', start);
        parts.push_back(op.substr(start, comma == std::wstring_view::npos ? comma : comma - start));
        if (comma == std::wstring_view::npos) return parts;
        start = comma + 1;
    }
}

bool knownOperator(std::wstring_view op) {
    static const wchar_t* ops[] = {L"*",  L"=", L"!=", L"/=", L"<>", L"<",
                                   L"<=", L">", L">=", L"&",  L"&="};
    std::vector<std::wstring_view> parts = operatorParts(op);
    if (parts.size() != 1 && parts.size() != 3) return false;
    for (std::wstring_view part : parts)
        if (std::none_of(std::begin(ops), std::end(ops),
                         [&](const wchar_t* o) { return part == o; }))
            return false;
    return true;
}

class Parser {
public:
    Parser(const resbuf* rb, std::wstring& why) : mRb(rb), mWhy(why) {}

    std::optional<Node> all() {
        Node root;
        root.kind = Node::And;
        while (mRb) {
            std::optional<Node> n = operand();
            if (!n) return std::nullopt;
            root.children.push_back(std::move(*n));
        }
        return root;
    }

private:
    bool fail(std::wstring why) {
        mWhy = std::move(why);
        return false;
    }

    static std::optional<Node::Kind> opening(std::wstring_view t) {
        if (t == L"<AND") return Node::And;
        if (t == L"<OR") return Node::Or;
        if (t == L"<NOT") return Node::Not;
        if (t == L"<XOR") return Node::Xor;
        return std::nullopt;
    }
    static std::wstring closing(Node::Kind k) {
        switch (k) {
        case Node::And:
            return L"AND>";
        case Node::Or:
            return L"OR>";
        case Node::Not:
            return L"NOT>";
        case Node::Xor:
            return L"XOR>";
        case Node::Test:
        case Node::App:
            break;
        }
        return L"";
    }

    std::optional<Node> group(Node::Kind kind) {
        Node n;
        n.kind = kind;
        std::wstring end = closing(kind);
        for (;;) {
            if (!mRb) {
                fail(L"-4 " + end + L" がありません");
                return std::nullopt;
            }
            if (mRb->restype == -4 && mRb->resval.rstring &&
                core::toUpper(mRb->resval.rstring) == end) {
                mRb = mRb->rbnext;
                break;
            }
            std::optional<Node> child = operand();
            if (!child) return std::nullopt;
            n.children.push_back(std::move(*child));
        }
        size_t count = n.children.size();
        bool ok = kind == Node::Not ? count == 1 : kind == Node::Xor ? count == 2 : count >= 1;
        if (!ok) {
            fail(L"-4 " + end + L" の要素の数が正しくありません");
            return std::nullopt;
        }
        return n;
    }

    std::optional<Node> apps() {
        Node n;
        n.kind = Node::And;
        while (mRb && mRb->restype == 1001) {
            Node app;
            app.kind = Node::App;
            if (!valueOf(mRb, app.value)) break;
            n.children.push_back(std::move(app));
            mRb = mRb->rbnext;
        }
        if (n.children.empty()) {
            fail(L"-3 の後にアプリケーション名 (1001) がありません");
            return std::nullopt;
        }
        return n;
    }

    std::optional<Node> operand() {
        std::wstring op = L"=";
        if (mRb->restype == -4) {
            std::wstring t = mRb->resval.rstring ? core::toUpper(mRb->resval.rstring) : L"";
            mRb = mRb->rbnext;
            if (std::optional<Node::Kind> k = opening(t)) return group(*k);
            if (!knownOperator(t)) {
                fail(L"-4 の演算子 \"" + t + L"\" は使えません");
                return std::nullopt;
            }
            op = t;
            if (!mRb) {
                fail(L"-4 \"" + t + L"\" の後にグループがありません");
                return std::nullopt;
            }
        }
        if (mRb->restype == -3) {
            mRb = mRb->rbnext;
            return apps();
        }
        if (mRb->restype == 1001) return apps();
        Node n;
        n.kind = Node::Test;
        n.code = codeOf(mRb);
        n.op = op;
        if (!valueOf(mRb, n.value)) {
            fail(L"グループ " + std::to_wstring(n.code) + L" の値が正しくありません");
            return std::nullopt;
        }
        mRb = mRb->rbnext;
        return n;
    }

    const resbuf* mRb;
    std::wstring& mWhy;
};

bool compare(double a, double b, std::wstring_view op) {
    if (op == L"*") return true;
    if (op == L"=") return a == b;
    if (op == L"!=" || op == L"/=" || op == L"<>") return a != b;
    if (op == L"<") return a < b;
    if (op == L"<=") return a <= b;
    if (op == L">") return a > b;
    if (op == L">=") return a >= b;
    return false;
}

bool compareInt(int64_t a, int64_t b, std::wstring_view op) {
    if (op == L"&") return (a & b) != 0;
    if (op == L"&=") return (a & b) == b;
    return compare(double(a), double(b), op);
}

// One operator per coordinate ("<,>,*"), or one for all.
bool comparePoint(const AcGePoint3d& a, const AcGePoint3d& b, std::wstring_view op) {
    std::vector<std::wstring_view> ops = operatorParts(op);
    for (int i = 0; i < 3; ++i) {
        std::wstring_view o = ops.size() == 3 ? ops[size_t(i)] : op;
        double x = i == 0 ? a.x : i == 1 ? a.y : a.z, y = i == 0 ? b.x : i == 1 ? b.y : b.z;
        if (!compare(x, y, o)) return false;
    }
    return true;
}

bool passes(const ZelGroupValue& have, const Node& test) {
    switch (core::groupType(test.code)) {
    case GroupType::String:
    case GroupType::Handle:
    case GroupType::Binary: {
        if (test.op == L"*") return true;
        bool match = core::wildcardMatch(core::toUpper(have.text), core::toUpper(test.value.text));
        return test.op == L"=" ? match : !match;
    }
    case GroupType::Real:
        return compare(have.real, test.value.real, test.op);
    case GroupType::PointX:
        return comparePoint(have.point, test.value.point, test.op);
    case GroupType::Int16:
    case GroupType::Int32:
    case GroupType::Int64:
    case GroupType::Bool:
        return compareInt(have.integer, test.value.integer, test.op);
    }
    return false;
}

// The groups of an entity by code, with the type and the defaults of groups left out.
using Groups = std::multimap<int, ZelGroupValue>;

Groups groupsOf(const AcDbEntity& e) {
    Groups g;
    for (ZelGroupValue& v : db::dataListGroups(e))
        g.emplace(v.code, std::move(v));
    ZelGroupValue type;
    type.code = 0;
    type.text = core::utf8ToWide(std::string(e.dxfName()));
    g.emplace(0, type);
    auto fallback = [&](int code, auto set) {
        if (g.count(code)) return;
        ZelGroupValue v;
        v.code = code;
        set(v);
        g.emplace(code, v);
    };
    fallback(62, [](ZelGroupValue& v) { v.integer = 256; });
    fallback(6, [](ZelGroupValue& v) { v.text = L"BYLAYER"; });
    fallback(67, [](ZelGroupValue& v) { v.integer = 0; });
    return g;
}

bool evaluate(const Node& n, const AcDbEntity& e, const Groups& g) {
    switch (n.kind) {
    case Node::Test: {
        auto [lo, hi] = g.equal_range(n.code);
        for (auto it = lo; it != hi; ++it)
            if (passes(it->second, n)) return true;
        return false;
    }
    case Node::App:
        for (const AcDbXDataGroup& x : e.xDataGroups())
            if (core::wildcardMatch(core::toUpper(x.appName), core::toUpper(n.value.text)))
                return true;
        return false;
    case Node::And:
        for (const Node& c : n.children)
            if (!evaluate(c, e, g)) return false;
        return true;
    case Node::Or:
        for (const Node& c : n.children)
            if (evaluate(c, e, g)) return true;
        return false;
    case Node::Not:
        return !evaluate(n.children.front(), e, g);
    case Node::Xor:
        return evaluate(n.children[0], e, g) != evaluate(n.children[1], e, g);
    }
    return false;
}

} // namespace

std::optional<SelectionFilter> SelectionFilter::parse(const resbuf* list, std::wstring& why) {
    std::optional<Node> root = Parser(list, why).all();
    if (!root) return std::nullopt;
    SelectionFilter f;
    f.mRoot = std::move(*root);
    return f;
}

bool SelectionFilter::matches(const AcDbEntity& entity) const {
    if (mRoot.children.empty()) return true;
    return evaluate(mRoot, entity, groupsOf(entity));
}

} // namespace zel::editor
