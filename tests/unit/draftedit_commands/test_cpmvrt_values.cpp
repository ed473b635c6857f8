// The texts of the move, copy and rotate bar's angle fields: trailing zeros, the point kept for
// large magnitudes, what follows the digits, and the host's text in the drawing's units.
#include "app/session.h"
#include "arx/ed.h"
#include "draftedit/commands/cpmvrt_value.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using draftedit::cpmvrt::FieldValueText;
using draftedit::cpmvrt::TrimFieldNumber;

struct TrimCase {
    const wchar_t* text;
    double value;
    const wchar_t* trimmed;
};

constexpr TrimCase kTrimCases[] = {
    {L"90.0000000000000000", 90, L"90"},
    {L"1.5000000000000000", 1.5, L"1.5"},
    {L"10.0500", 10.05, L"10.05"},
    {L"100.000", 100, L"100"},
    {L"0.0000000000000000", 0, L"0"},
    {L"2.", 2, L"2"},
    {L"100", 100, L"100"},
    {L"-12.2500", -12.25, L"-12.25"},
    // Above 32768 the point stays with a digit after it.
    {L"32768.0000000000000000", 32768, L"32768"},
    {L"32768.5000000000000000", 32768.5, L"32768.5"},
    {L"32769.0000000000000000", 32769, L"32769.0"},
    {L"40000.2500000000000000", 40000.25, L"40000.25"},
    {L"50000.", 50000, L"50000.0"},
    // Negative values from a magnitude of 32768 on.
    {L"-32767.0000", -32767, L"-32767"},
    {L"-32768.0000", -32768, L"-32768.0"},
    {L"-40000.0000", -40000, L"-40000.0"},
    // What follows the digits is kept as it is.
    {L"9.0000000000000000E+01", 90, L"9E+01"},
    {L"1.0000E+10", 1e10, L"1.0E+10"},
    {L"3'-4.5000\"", 40.5, L"3'-4.5\""},
    {L"3'-4.0000\"", 40, L"3'-4\""},
};

TEST(CpmvrtFieldTexts, TrailingZerosAndThePointFollowTheRule) {
    for (const TrimCase& c : kTrimCases)
        EXPECT_EQ(TrimFieldNumber(c.text, c.value), c.trimmed) << std::wstring(c.text);
}

// The host writes the numbers in the drawing's units.
class CpmvrtFieldValues : public ::testing::Test {
protected:
    CpmvrtFieldValues() { s.makeCurrent(); }
    void setShort(const wchar_t* name, short value) {
        resbuf rb{};
        rb.restype = RTSHORT;
        rb.resval.rint = value;
        ASSERT_EQ(acedSetVar(name, &rb), RTNORM) << std::wstring(name);
    }
    zel::app::Session s;
};

struct ValueCase {
    double value;
    const wchar_t* text;
};

TEST_F(CpmvrtFieldValues, DecimalUnitsAtSixteenDigits) {
    setShort(L"LUNITS", 2);
    setShort(L"DIMZIN", 0);
    constexpr ValueCase kCases[] = {
        {90, L"90"},         {12.5, L"12.5"},
        {0, L"0"},           {1.0 / 3.0, L"0.3333333333333333"},
        {40000, L"40000.0"}, {-40000, L"-40000.0"},
        {-7.75, L"-7.75"},
    };
    for (const ValueCase& c : kCases)
        EXPECT_EQ(FieldValueText(c.value).value_or(L"<none>"), c.text) << c.value;
}

TEST_F(CpmvrtFieldValues, LongNumbersGiveUpDigitsToFitTheirRoom) {
    setShort(L"LUNITS", 2);
    setShort(L"DIMZIN", 0);
    std::optional<std::wstring> big = FieldValueText(1e20);
    ASSERT_TRUE(big.has_value()) << "fewer digits after the point make it fit";
    EXPECT_EQ(*big, L"100000000000000000000.0");
    EXPECT_LT(big->size(), draftedit::cpmvrt::kFieldTextRoom);
    EXPECT_FALSE(FieldValueText(1e40).has_value()) << "no room even without digits";
}

TEST_F(CpmvrtFieldValues, ScientificUnitsKeepTheirExponent) {
    setShort(L"LUNITS", 1);
    setShort(L"DIMZIN", 0);
    EXPECT_EQ(FieldValueText(90).value_or(L"<none>"), L"9E+01");
    EXPECT_EQ(FieldValueText(12.5).value_or(L"<none>"), L"1.25E+01");
}

} // namespace
