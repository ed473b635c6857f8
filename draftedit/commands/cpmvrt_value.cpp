#include "draftedit/commands/cpmvrt_value.h"

namespace draftedit::cpmvrt {

namespace {

bool isDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

bool keepsPoint(double value) {
    return value > kKeepPointFrom || value <= -kKeepPointFrom;
}

} // namespace

std::wstring TrimFieldNumber(const std::wstring& text, double value) {
    size_t point = text.find(L'.');
    if (point == std::wstring::npos) return text;
    size_t end = point + 1;
    while (end < text.size() && isDigit(text[end]))
        ++end;
    size_t last = end;
    while (last > point + 1 && text[last - 1] == L'0')
        --last;
    std::wstring digits = text.substr(point + 1, last - point - 1);
    if (digits.empty() && keepsPoint(value)) digits = L"0";
    std::wstring out = text.substr(0, point);
    if (!digits.empty()) out += L"." + digits;
    return out + text.substr(end);
}

std::optional<std::wstring> FieldValueText(double value) {
    ACHAR buf[kFieldTextRoom] = L"";
    for (int precision = kFieldPrecision; precision >= 0; --precision) {
        if (acdbRToS(value, -1, precision, buf, kFieldTextRoom) == RTNORM)
            return TrimFieldNumber(buf, value);
    }
    return std::nullopt;
}

} // namespace draftedit::cpmvrt
