// Wild-card matching as wcmatch does it (LISP and the selection filters share it): # a digit,
// @ a letter, . a character that is neither, ? any character, * any run, [abc] [a-z] [~abc]
// one of (or none of) a set, ` escapes the next character, a leading ~ negates a pattern, and
// commas separate alternatives. Case-sensitive.
#pragma once

#include <string_view>

namespace zel::core {

bool wildcardMatch(std::wstring_view text, std::wstring_view pattern);

} // namespace zel::core
