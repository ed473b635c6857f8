// The texts of the angle fields of the move, copy and rotate bar: numbers written in the
// current units with every digit the host gives, then cut back to what the number needs.
#pragma once

#include "arx/ads.h"

#include <optional>
#include <string>

namespace draftedit::cpmvrt {

// Values whose text keeps at least one digit after the point: above this, or at or below its
// negative.
inline constexpr double kKeepPointFrom = 32768.0;
// Digits the host is asked for, and the room the text has (terminating null included).
inline constexpr int kFieldPrecision = 16;
inline constexpr size_t kFieldTextRoom = 32;

// Trailing zeros after the decimal point are dropped, then the point when nothing follows it;
// for value above kKeepPointFrom, or at or below -kKeepPointFrom, the point stays with at
// least one digit after it. Anything after the digits (an exponent, an inch mark) is kept.
std::wstring TrimFieldNumber(const std::wstring& text, double value);

// The value in the current units at kFieldPrecision, trimmed; none when the host cannot write
// it in kFieldTextRoom characters even with fewer digits.
std::optional<std::wstring> FieldValueText(double value);

} // namespace draftedit::cpmvrt
