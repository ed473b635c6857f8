// The host's printf-style formatter over wide strings, and where acutPrintf writes.
//
// Conversions: d i u x X o c s f F e E g G a A p % with flags (- + space 0 #), width,
// precision (both may be '*'), and length modifiers hh h l ll z j t L (also I, I32, I64).
// The result is the one C's swprintf gives for the same arguments, except that
//   "%s" and "%ls" take a wide string (const wchar_t*), "%hs" and "%S" a narrow UTF-8 one,
//   "%c" and "%lc" take a wide character, "%hc" a narrow (ASCII) one,
//   a null string prints "(null)", and "%n" writes nothing.
// A malformed directive is copied to the output as it stands.
#pragma once

#include <cstdarg>
#include <functional>
#include <string>
#include <string_view>

namespace zel::core {

std::wstring vformat(const wchar_t* fmt, va_list args);
std::wstring format(const wchar_t* fmt, ...);

using OutputSink = std::function<void(std::wstring_view)>;

// Where acutPrintf writes; an empty function restores the default (stdout, as UTF-8).
// Returns the sink that was installed before.
OutputSink setOutputSink(OutputSink sink);
// Writes text to the current sink.
void writeOutput(std::wstring_view text);

} // namespace zel::core
