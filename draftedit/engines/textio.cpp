// Text files and paths of the engines (see textio.h).
#include "draftedit/engines/textio.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <iconv.h>
#include <memory>

namespace draftedit::engines {
namespace {

constexpr wchar_t kReplacement = 0xFFFD;
constexpr wchar_t kCtrlZ = 0x1A;

bool isScalarValue(uint32_t c) {
    return c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF);
}

void appendUtf8(std::string& out, uint32_t c) {
    if (!isScalarValue(c)) c = kReplacement;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Length of the well-formed UTF-8 sequence at bytes[i], or 0 when it is ill-formed; the code
// point goes to cp.
size_t utf8Sequence(std::string_view bytes, size_t i, uint32_t& cp) {
    const auto b0 = static_cast<unsigned char>(bytes[i]);
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    }
    size_t len = b0 >= 0xF0 ? 4 : b0 >= 0xE0 ? 3 : b0 >= 0xC2 ? 2 : 0;
    if (len == 0 || b0 > 0xF4 || i + len > bytes.size()) return 0;
    cp = b0 & (0x7F >> len);
    for (size_t k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(bytes[i + k]);
        if ((b & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    const uint32_t minimum[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < minimum[len] || !isScalarValue(cp)) return 0;
    return len;
}

// One iconv conversion of a whole buffer; nullopt when a byte sequence or character has no
// form in the target encoding.
std::optional<std::string> convert(const char* to, const char* from, std::string_view in) {
    iconv_t h = iconv_open(to, from);
    if (h == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::unique_ptr<void, int (*)(iconv_t)> guard(h, iconv_close);
    std::string out(in.size() * 4 + 16, '\0');
    std::string src(in);
    char* inp = src.data();
    size_t inLeft = src.size();
    char* outp = out.data();
    size_t outLeft = out.size();
    if (iconv(h, &inp, &inLeft, &outp, &outLeft) == static_cast<size_t>(-1)) return std::nullopt;
    if (iconv(h, nullptr, nullptr, &outp, &outLeft) == static_cast<size_t>(-1)) return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

// UTF-32LE bytes to a wide string.
std::wstring fromUtf32(std::string_view utf32) {
    std::wstring out(utf32.size() / 4, L'\0');
    for (size_t k = 0; k < out.size(); ++k) {
        uint32_t c = 0;
        std::memcpy(&c, utf32.data() + 4 * k, 4);
        out[k] = static_cast<wchar_t>(c);
    }
    return out;
}

} // namespace

std::string toUtf8(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t c : text)
        appendUtf8(out, static_cast<uint32_t>(c));
    return out;
}

bool isValidUtf8(std::string_view bytes) {
    uint32_t cp = 0;
    for (size_t i = 0; i < bytes.size();) {
        size_t len = utf8Sequence(bytes, i, cp);
        if (len == 0) return false;
        i += len;
    }
    return true;
}

std::wstring decodeCp932(std::string_view bytes) {
    if (std::optional<std::string> whole = convert("UTF-32LE", "CP932", bytes))
        return fromUtf32(*whole);
    // Some bytes are not CP932: decode character by character, each bad one as U+FFFD.
    iconv_t h = iconv_open("UTF-32LE", "CP932");
    if (h == reinterpret_cast<iconv_t>(-1)) return std::wstring(bytes.size(), kReplacement);
    std::unique_ptr<void, int (*)(iconv_t)> guard(h, iconv_close);
    std::wstring out;
    size_t i = 0;
    while (i < bytes.size()) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        const size_t len = lead && i + 1 < bytes.size() ? 2 : 1;
        char in[2] = {bytes[i], len == 2 ? bytes[i + 1] : '\0'};
        char utf32[8];
        char* inp = in;
        char* outp = utf32;
        size_t inLeft = len, outLeft = sizeof utf32;
        iconv(h, nullptr, nullptr, nullptr, nullptr);
        const bool ok = iconv(h, &inp, &inLeft, &outp, &outLeft) != static_cast<size_t>(-1) &&
                        sizeof utf32 - outLeft == 4;
        out += ok ? fromUtf32(std::string_view(utf32, 4)) : std::wstring(1, kReplacement);
        i += len;
    }
    return out;
}

std::wstring decodeText(std::string_view bytes) {
    if (!isValidUtf8(bytes)) return decodeCp932(bytes);
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    std::wstring out;
    out.reserve(bytes.size());
    uint32_t cp = 0;
    for (size_t i = 0; i < bytes.size();) {
        i += utf8Sequence(bytes, i, cp);
        out += static_cast<wchar_t>(cp);
    }
    return out;
}

std::optional<std::string> encodeCp932(std::wstring_view text) {
    return convert("CP932", "UTF-8", toUtf8(text));
}

std::optional<std::string> readFileBytes(const std::string& path) {
    std::unique_ptr<std::FILE, FileCloser> f(std::fopen(path.c_str(), "rb"));
    if (!f) return std::nullopt;
    std::string bytes;
    char block[65536];
    size_t got = 0;
    while ((got = std::fread(block, 1, sizeof block, f.get())) > 0)
        bytes.append(block, got);
    if (std::ferror(f.get())) return std::nullopt;
    return bytes;
}

std::vector<std::wstring> splitLines(std::wstring_view text) {
    if (size_t z = text.find(kCtrlZ); z != std::wstring_view::npos) text = text.substr(0, z);
    std::vector<std::wstring> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring_view::npos) end = text.size();
        std::wstring_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == L'\r') line.remove_suffix(1);
        lines.emplace_back(line);
        start = end + 1;
    }
    return lines;
}

double parseLeadingNumber(std::wstring_view line) {
    size_t i = 0;
    while (i < line.size() && (line[i] == L' ' || (line[i] >= L'\t' && line[i] <= L'\r')))
        ++i;
    bool negative = false;
    if (i < line.size() && (line[i] == L'+' || line[i] == L'-')) negative = line[i++] == L'-';
    // The number can only be made of ASCII characters; the first other one ends it.
    std::string ascii;
    for (; i < line.size() && line[i] > 0 && line[i] < 0x80; ++i) {
        const wchar_t c = line[i];
        const bool exponentSign = (c == L'+' || c == L'-') && !ascii.empty() &&
                                  (ascii.back() == 'e' || ascii.back() == 'E');
        const bool numberChar =
            (c >= L'0' && c <= L'9') || c == L'.' || c == L'e' || c == L'E' || exponentSign;
        if (!numberChar) break;
        ascii += static_cast<char>(c);
    }
    double value = 0;
    auto [end, ec] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value,
                                     std::chars_format::general);
    (void)end;
    if (ec != std::errc() || !std::isfinite(value)) return 0;
    return negative ? -value : value;
}

} // namespace draftedit::engines
