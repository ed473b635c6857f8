// Distances and angles as text in the unit modes of a drawing, and back.
//
// Linear modes (LUNITS): 1 scientific "1.7500E+01", 2 decimal "17.5000", 3 engineering
// "1'-5.50\"", 4 architectural "1'-5 1/2\"", 5 fractional "17 1/2". Precision (LUPREC) is the
// number of decimals, or for modes 4 and 5 the denominator 2^precision (at most 256).
// Angular modes (AUNITS): 0 degrees "45.0000", 1 degrees/minutes/seconds "45d30'0\"", 2 grads
// "50.0000g", 3 radians "0.7854r", 4 surveyor's "N 45d0'0\" E". For modes 1 and 4 the
// precision (AUPREC) 0 shows degrees, 1-2 minutes, 3-4 seconds, 5-8 decimals of seconds.
// DIMZIN: 0-3 choose whether zero feet / zero inches show (0 suppresses zero feet and
// precisely zero inches, 1 shows both, 2 shows zero feet only, 3 zero inches only); bit 4
// drops the leading zero of decimals (0.5 -> .5), bit 8 trailing zeros (1.500 -> 1.5).
// UNITMODE 1 writes feet and inches as they are typed: "1'5-1/2\"", "17-1/2", "N45dE".
// Values are rounded half away from zero on their shortest decimal form (2.675 -> 2.68), and a
// value that rounds to zero has no sign.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace zel::core {

struct UnitSettings {
    int lunits = 2;
    int luprec = 4;
    int aunits = 0;
    int auprec = 0;
    int dimzin = 0;
    int unitmode = 0;
};

// The settings of the current drawing; an empty function restores the defaults above.
void setUnitSettingsProvider(std::function<UnitSettings()> provider);
UnitSettings currentUnitSettings();

// The highest precision accepted (decimals); fractions stop at 1/256 whatever is asked.
inline constexpr int kMaxUnitPrecision = 16;

// nullopt for a mode or precision out of range, or a value that is not finite.
std::optional<std::wstring> formatDistance(double value, int lunits, int luprec, int dimzin,
                                           int unitmode = 0);
// The angle is first brought into [0, 2pi).
std::optional<std::wstring> formatAngle(double radians, int aunits, int auprec, int dimzin,
                                        int unitmode = 0);

// Text in the forms formatDistance writes (and as typed: "1'5-1/2\"", "17-1/2", ".5").
// Modes 1 and 2 read decimal and scientific numbers, 5 adds fractions, 3 and 4 add feet and
// inches. nullopt when the text is not a distance of the mode.
std::optional<double> parseDistance(std::wstring_view text, int lunits);
// Radians in [0, 2pi). A plain number is in the mode's unit; "45d30'15\"", "50g", "1.2r" and
// surveyor's "N 45d E" are read in any mode.
std::optional<double> parseAngle(std::wstring_view text, int aunits);

// Decimal text of |value| rounded half away from zero at `decimals` places ("17.50").
std::string roundedDecimal(double value, int decimals);

} // namespace zel::core
