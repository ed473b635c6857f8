// The host's proportional font model. The host draws no glyphs; it sizes text with this
// model: a half-width character is as wide as the text height times the width factor, a
// full-width (East Asian wide) character twice that; a character box stands on the baseline
// and is as high as the text height (no descent). Special codes of single-line text
// (%%d, %%p, %%c, %%%, %%nnn) count as one character, %%u, %%o and %%k as none.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zel::db::font {

// Width of a half-width character as a fraction of the text height (before the width factor).
inline constexpr double kHalfWidthAdvance = 1.0;
// Distance between the baselines of lines of multi-line text, as a fraction of the height
// (at line spacing factor 1).
inline constexpr double kLineSpacing = 5.0 / 3.0;

bool isFullWidth(wchar_t c);
// Advance of a character in units of the text height.
double advance(wchar_t c);
// The characters of single-line text as drawn (special %% codes replaced).
std::wstring displayText(std::wstring_view text);
// Width of single-line text at height 1 and width factor 1.
double textWidth(std::wstring_view text);

// The plain text of multi-line text contents: format codes removed, "\P" a line break,
// stacked fractions as "num/den", special %% codes replaced.
std::wstring plainMText(std::wstring_view contents);
// Lines of plain text wrapped at a width (in units of the text height; 0: no wrapping).
std::vector<std::wstring> wrapLines(std::wstring_view plain, double width);

} // namespace zel::db::font
