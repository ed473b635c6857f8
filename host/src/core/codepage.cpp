// Code pages of DXF files through the C library's iconv, and DXF text escapes (see text.h).
#include "core/text.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <memory>

namespace zel::core {

namespace {

struct CodePageInfo {
    CodePage cp;
    std::string_view dxfName;
    const char* iconvName;
};

constexpr CodePageInfo kCodePages[] = {
    {CodePage::Utf8, "UTF-8", "UTF-8"},          {CodePage::Ansi874, "ANSI_874", "CP874"},
    {CodePage::Ansi932, "ANSI_932", "CP932"},    {CodePage::Ansi936, "ANSI_936", "CP936"},
    {CodePage::Ansi949, "ANSI_949", "CP949"},    {CodePage::Ansi950, "ANSI_950", "CP950"},
    {CodePage::Ansi1250, "ANSI_1250", "CP1250"}, {CodePage::Ansi1251, "ANSI_1251", "CP1251"},
    {CodePage::Ansi1252, "ANSI_1252", "CP1252"}, {CodePage::Ansi1253, "ANSI_1253", "CP1253"},
    {CodePage::Ansi1254, "ANSI_1254", "CP1254"}, {CodePage::Ansi1255, "ANSI_1255", "CP1255"},
    {CodePage::Ansi1256, "ANSI_1256", "CP1256"}, {CodePage::Ansi1257, "ANSI_1257", "CP1257"},
    {CodePage::Ansi1258, "ANSI_1258", "CP1258"},
};
constexpr size_t kCodePageCount = std::size(kCodePages);

const CodePageInfo& info(CodePage cp) {
    for (const CodePageInfo& i : kCodePages) {
        if (i.cp == cp) return i;
    }
    return kCodePages[0];
}

size_t indexOf(CodePage cp) {
    return static_cast<size_t>(&info(cp) - kCodePages);
}

const iconv_t kBadIconv = reinterpret_cast<iconv_t>(-1);

struct IconvCloser {
    void operator()(void* h) const {
        if (h != kBadIconv) iconv_close(h);
    }
};
using IconvHandle = std::unique_ptr<void, IconvCloser>;

// Opened once per thread and code page (iconv_open reads tables from disk), reset per use.
// Returns nullptr when the C library lacks the code page.
iconv_t converter(CodePage cp, bool toWide) {
    thread_local std::array<IconvHandle, kCodePageCount * 2> cache;
    IconvHandle& slot = cache[indexOf(cp) * 2 + (toWide ? 1 : 0)];
    if (!slot) {
        const char* name = info(cp).iconvName;
        slot.reset(toWide ? iconv_open("WCHAR_T", name) : iconv_open(name, "WCHAR_T"));
    }
    if (slot.get() == kBadIconv) return nullptr;
    iconv(slot.get(), nullptr, nullptr, nullptr, nullptr);
    return slot.get();
}

bool isAscii(std::string_view bytes) {
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

bool isAscii(std::wstring_view text) {
    for (wchar_t c : text) {
        if (c < 0 || c >= 0x80) return false;
    }
    return true;
}

// Appends what a stateful converter still holds (CP1255 and CP1258 keep back the last
// character in case a combining mark follows it) and resets it.
void flushDecoder(iconv_t h, std::wstring& out) {
    wchar_t buf[8];
    char* outPtr = reinterpret_cast<char*>(buf);
    size_t outLeft = sizeof buf;
    iconv(h, nullptr, nullptr, &outPtr, &outLeft);
    out.append(buf, static_cast<size_t>(reinterpret_cast<wchar_t*>(outPtr) - buf));
}

std::wstring decodeIconv(iconv_t h, std::string_view bytes) {
    std::wstring out;
    out.reserve(bytes.size());
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    wchar_t buf[256];
    while (inLeft > 0) {
        char* outPtr = reinterpret_cast<char*>(buf);
        size_t outLeft = sizeof buf;
        size_t r = iconv(h, &in, &inLeft, &outPtr, &outLeft);
        int err = errno;
        out.append(buf, static_cast<size_t>(reinterpret_cast<wchar_t*>(outPtr) - buf));
        if (r != static_cast<size_t>(-1) || err == E2BIG) continue;
        flushDecoder(h, out);
        out += kReplacementChar;
        if (err == EINVAL) break; // truncated multi-byte character at the end
        ++in;                     // EILSEQ: skip the byte that cannot start a character
        --inLeft;
    }
    flushDecoder(h, out);
    return out;
}

void appendEscape(std::string& out, char32_t c) {
    static const char kHex[] = "0123456789ABCDEF";
    auto one = [&](unsigned v) {
        out += "\\U+";
        for (int shift = 12; shift >= 0; shift -= 4)
            out += kHex[(v >> shift) & 0xF];
    };
    if (c >= 0x10000 && c <= 0x10FFFF) {
        c -= 0x10000;
        one(0xD800 + static_cast<unsigned>(c >> 10));
        one(0xDC00 + static_cast<unsigned>(c & 0x3FF));
        return;
    }
    one(c <= 0xFFFF ? static_cast<unsigned>(c) : 0xFFFD);
}

void flushEncoder(iconv_t h, std::string& out) {
    char buf[16];
    char* outPtr = buf;
    size_t outLeft = sizeof buf;
    iconv(h, nullptr, nullptr, &outPtr, &outLeft);
    out.append(buf, static_cast<size_t>(outPtr - buf));
}

std::string encodeIconv(iconv_t h, std::wstring_view text, Unmappable mode) {
    std::string out;
    out.reserve(text.size() * 2);
    char* in = reinterpret_cast<char*>(const_cast<wchar_t*>(text.data()));
    size_t inLeft = text.size() * sizeof(wchar_t);
    char buf[512];
    while (inLeft > 0) {
        char* outPtr = buf;
        size_t outLeft = sizeof buf;
        size_t r = iconv(h, &in, &inLeft, &outPtr, &outLeft);
        int err = errno;
        out.append(buf, static_cast<size_t>(outPtr - buf));
        if (r != static_cast<size_t>(-1) || err == E2BIG) continue;
        if (inLeft < sizeof(wchar_t)) break;
        wchar_t c;
        std::memcpy(&c, in, sizeof c);
        flushEncoder(h, out);
        if (mode == Unmappable::DxfEscape)
            appendEscape(out, static_cast<char32_t>(c));
        else
            out += '?';
        in += sizeof(wchar_t);
        inLeft -= sizeof(wchar_t);
    }
    flushEncoder(h, out);
    return out;
}

int hexValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    return -1;
}

// Four hex digits at text[pos]; -1 when they are not there.
long hex4(std::wstring_view text, size_t pos) {
    if (pos + 4 > text.size()) return -1;
    long v = 0;
    for (size_t i = pos; i < pos + 4; ++i) {
        int d = hexValue(text[i]);
        if (d < 0) return -1;
        v = v * 16 + d;
    }
    return v;
}

std::optional<CodePage> mifCodePage(wchar_t digit) {
    switch (digit) {
    case L'1':
        return CodePage::Ansi932;
    case L'2':
        return CodePage::Ansi950;
    case L'3':
        return CodePage::Ansi949;
    case L'5':
        return CodePage::Ansi936;
    }
    return std::nullopt;
}

// "\U+XXXX" at text[i] (with a following low surrogate escape when XXXX is a high one).
// Returns the number of characters consumed, 0 when there is no such escape.
size_t unicodeEscape(std::wstring_view text, size_t i, std::wstring& out) {
    if (text.substr(i, 3) != L"\\U+") return 0;
    long v = hex4(text, i + 3);
    if (v < 0) return 0;
    if (v >= 0xD800 && v <= 0xDBFF && text.substr(i + 7, 3) == L"\\U+") {
        long lo = hex4(text, i + 10);
        if (lo >= 0xDC00 && lo <= 0xDFFF) {
            out += static_cast<wchar_t>(0x10000 + ((v - 0xD800) << 10) + (lo - 0xDC00));
            return 14;
        }
    }
    bool surrogate = v >= 0xD800 && v <= 0xDFFF;
    out += surrogate ? kReplacementChar : static_cast<wchar_t>(v);
    return 7;
}

// "\M+nXXXX" at text[i]: XXXX are the two bytes of a character of code page n.
size_t multiByteEscape(std::wstring_view text, size_t i, std::wstring& out) {
    if (text.substr(i, 3) != L"\\M+" || i + 3 >= text.size()) return 0;
    auto cp = mifCodePage(text[i + 3]);
    long v = hex4(text, i + 4);
    if (!cp || v < 0) return 0;
    char bytes[2] = {static_cast<char>(v >> 8), static_cast<char>(v & 0xFF)};
    out += decode(std::string_view(bytes, 2), *cp);
    return 8;
}

} // namespace

std::optional<CodePage> codePageFromName(std::string_view name) {
    auto upper = [](std::string_view s) {
        std::string u(s);
        for (char& c : u) {
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        }
        return u;
    };
    std::string n = upper(name);
    if (n == "UTF8") return CodePage::Utf8;
    for (const CodePageInfo& i : kCodePages) {
        if (n == i.dxfName) return i.cp;
    }
    return std::nullopt;
}

std::string_view codePageName(CodePage cp) {
    return info(cp).dxfName;
}

std::wstring decode(std::string_view bytes, CodePage cp) {
    if (cp == CodePage::Utf8) return utf8ToWide(bytes);
    if (isAscii(bytes)) return std::wstring(bytes.begin(), bytes.end());
    iconv_t h = converter(cp, true);
    if (!h) return asciiToWide(bytes);
    return decodeIconv(h, bytes);
}

std::string encode(std::wstring_view text, CodePage cp, Unmappable mode) {
    if (cp == CodePage::Utf8) return wideToUtf8(text);
    if (isAscii(text)) return std::string(text.begin(), text.end());
    iconv_t h = converter(cp, false);
    if (!h) {
        std::string out;
        for (wchar_t c : text) {
            if (c >= 0 && c < 0x80)
                out += static_cast<char>(c);
            else if (mode == Unmappable::DxfEscape)
                appendEscape(out, static_cast<char32_t>(c));
            else
                out += '?';
        }
        return out;
    }
    return encodeIconv(h, text, mode);
}

std::wstring decodeDxfEscapes(std::wstring_view text) {
    if (text.find(L'\\') == std::wstring_view::npos) return std::wstring(text);
    std::wstring out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] == L'\\') {
            size_t used = unicodeEscape(text, i, out);
            if (used == 0) used = multiByteEscape(text, i, out);
            if (used > 0) {
                i += used;
                continue;
            }
        }
        out += text[i++];
    }
    return out;
}

} // namespace zel::core
