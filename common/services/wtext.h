// Small text operations of the services: upper case, comparison without case, blanks trimmed.
#pragma once

#include <string>

std::wstring UpperText(std::wstring s);
bool SameNoCase(const std::wstring& a, const std::wstring& b);
// Without the blanks and tabs at both ends.
std::wstring TrimBlanks(const std::wstring& s);
