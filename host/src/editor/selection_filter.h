// DXF filters of selections: a list of groups every selected entity must pass (all of them).
//
// A group tests the entity's groups of the same code (any one of them passing is enough):
// texts by wild-card pattern (wcmatch patterns, case ignored), numbers and points by equality
// or by the relational operator of a preceding (-4 . "op"): "*" "=" "!=" "/=" "<>" "<" "<="
// ">" ">=" "&" (some bit in common) "&=" (all the bits of the value); points take one operator
// per coordinate ("<,<,*"). (-4 . "<AND") ... (-4 . "AND>"), "<OR" "OR>", "<NOT" (one operand)
// "NOT>", "<XOR" (two operands) "XOR>" group tests. (-3 (1001 . app) ...) or (1001 . app)
// asks for extended data of the application. Groups an entity's list leaves out take their
// defaults: colour 62 256 (ByLayer), linetype 6 "BYLAYER", space 67 0.
#pragma once

#include "arx/db.h"

#include <optional>
#include <string>
#include <vector>

namespace zel::editor {

class SelectionFilter {
public:
    // nullopt, with why, for a malformed list (groups not closed, an operator unknown, a
    // value of the wrong type).
    static std::optional<SelectionFilter> parse(const resbuf* list, std::wstring& why);
    bool matches(const AcDbEntity& entity) const;

    struct Node {
        enum Kind { Test, App, And, Or, Not, Xor } kind = And;
        int code = 0;
        std::wstring op; // relational operator of a test ("=" by default)
        ZelGroupValue value;
        std::vector<Node> children;
    };

private:
    Node mRoot;
};

} // namespace zel::editor
