// Text of the host: wide strings (wchar_t holds a whole code point here), their conversion to
// and from UTF-8 and the code pages a DXF file may name, DXF "\U+XXXX" escapes, names compared
// without case, and number parsing that never throws.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zel::core {

// Stands for a byte sequence that is not text or a character that could not be decoded.
inline constexpr wchar_t kReplacementChar = 0xFFFD;

// ---- UTF-8 ----------------------------------------------------------------------------------

bool isValidUtf8(std::string_view bytes);
// Each maximal ill-formed subsequence becomes one U+FFFD (the practice Unicode recommends).
std::wstring utf8ToWide(std::string_view bytes);
// Surrogates and values beyond U+10FFFF in the input become U+FFFD.
std::string wideToUtf8(std::wstring_view text);

// ---- Code pages ($DWGCODEPAGE) -----------------------------------------------------------------

enum class CodePage {
    Utf8,
    Ansi874,
    Ansi932,
    Ansi936,
    Ansi949,
    Ansi950,
    Ansi1250,
    Ansi1251,
    Ansi1252,
    Ansi1253,
    Ansi1254,
    Ansi1255,
    Ansi1256,
    Ansi1257,
    Ansi1258,
};

// "ANSI_932" (any case), "UTF-8"/"UTF8"; nullopt for a name the host does not know.
std::optional<CodePage> codePageFromName(std::string_view name);
// The DXF name: "ANSI_932", "UTF-8".
std::string_view codePageName(CodePage cp);

// What encode writes for a character the code page lacks.
enum class Unmappable {
    Question,  // '?'
    DxfEscape, // "\U+XXXX" (a character beyond the BMP as two escaped surrogates)
};

// Bytes that are not valid in the code page become U+FFFD; decoding never fails.
std::wstring decode(std::string_view bytes, CodePage cp);
std::string encode(std::wstring_view text, CodePage cp, Unmappable mode = Unmappable::Question);

inline std::wstring cp932ToWide(std::string_view bytes) {
    return decode(bytes, CodePage::Ansi932);
}
inline std::string wideToCp932(std::wstring_view text, Unmappable mode = Unmappable::Question) {
    return encode(text, CodePage::Ansi932, mode);
}

// Text files: UTF-8 when the bytes are valid UTF-8 (a leading BOM is dropped), else CP932.
std::wstring decodeTextFile(std::string_view bytes);

// Replaces "\U+XXXX" (four hex digits) by the character, joining escaped surrogate pairs, and
// "\M+nXXXX" (a double-byte character of code page n: 1 = 932, 2 = 950, 3 = 949, 5 = 936).
// Anything else, including a malformed escape, is kept as it is.
std::wstring decodeDxfEscapes(std::wstring_view text);

// ---- Names --------------------------------------------------------------------------------------

// Upper/lower case of ASCII, Latin-1, Greek, Cyrillic and full-width Latin letters.
wchar_t toUpperChar(wchar_t c);
wchar_t toLowerChar(wchar_t c);
std::wstring toUpper(std::wstring_view text);
std::wstring toLower(std::wstring_view text);
bool equalsNoCase(std::wstring_view a, std::wstring_view b);
// Negative, zero or positive like wcscmp, after upper-casing both.
int compareNoCase(std::wstring_view a, std::wstring_view b);

// Ordering for maps keyed by names ("Layer1" and "LAYER1" are the same key).
struct NoCaseLess {
    using is_transparent = void;
    bool operator()(std::wstring_view a, std::wstring_view b) const {
        return compareNoCase(a, b) < 0;
    }
};

std::wstring trim(std::wstring_view text);

// ---- Numbers ------------------------------------------------------------------------------------

// The whole text (surrounding blanks allowed) must be the number; nullopt otherwise, and for
// values out of range or not finite. Decimal point only ('.'), optional sign and exponent.
std::optional<double> parseDouble(std::wstring_view text);
std::optional<int> parseInt(std::wstring_view text);
std::optional<int64_t> parseInt64(std::wstring_view text);

// Shortest text that reads back as the same double ("0.1", "1e+300", "-2").
std::wstring toWString(double value);
std::wstring toWString(int64_t value);
inline std::wstring toWString(int value) {
    return toWString(static_cast<int64_t>(value));
}

// Narrow ASCII to wide (every byte above 0x7F becomes U+FFFD), for messages built in code.
std::wstring asciiToWide(std::string_view text);

} // namespace zel::core
