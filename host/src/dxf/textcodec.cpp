#include "dxf/textcodec.h"

#include "core/text.h"

#include <algorithm>
#include <cstring>

namespace zel::dxf {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool isAsciiOnly(std::string_view s) {
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

// A caret followed by one of these stands for a control character (or, with a space, for
// the caret itself).
bool isCaretTarget(wchar_t c) { return (c >= 0x40 && c <= 0x5f) || c == L' '; }

// Written in caret form ("^J").
bool isControl(wchar_t c) { return c >= 0 && c < 0x20; }

} // namespace

std::optional<core::CodePage> dxfCodePage(std::string_view name) {
    if (auto cp = core::codePageFromName(name)) return cp;
    // Old files name DOS code pages; the Windows page of the same script is the nearest.
    std::string upper;
    for (char c : name) upper += char(c >= 'a' && c <= 'z' ? c - 32 : c);
    if (upper == "DOS932") return core::CodePage::Ansi932;
    if (upper == "DOS936" || upper == "GB2312") return core::CodePage::Ansi936;
    if (upper == "DOS949" || upper == "JOHAB" || upper == "KSC5601") return core::CodePage::Ansi949;
    if (upper == "DOS950" || upper == "BIG5") return core::CodePage::Ansi950;
    if (upper == "DOS866") return core::CodePage::Ansi1251;
    return std::nullopt;
}

TextDecoder TextDecoder::forFile(std::string_view acadVersion, std::string_view dwgCodePage) {
    TextDecoder d;
    // Version strings are "AC1009" ... "AC1032"; they compare as text.
    bool unicodeFile = acadVersion.size() == 6 && acadVersion >= "AC1021";
    d.mUtf8 = unicodeFile;
    d.mUnicodeEscapes = !unicodeFile;
    d.mCodePage = dxfCodePage(dwgCodePage).value_or(core::CodePage::Ansi1252);
    return d;
}

std::wstring TextDecoder::decode(std::string_view raw) const {
    std::wstring out;
    decode(raw, out);
    return out;
}

void TextDecoder::decode(std::string_view raw, std::wstring& out) const {
    out.clear();
    if (isAsciiOnly(raw)) {
        out.assign(raw.begin(), raw.end());
    } else {
        out = core::decode(raw, mUtf8 ? core::CodePage::Utf8 : mCodePage);
        if (out.find(core::kReplacementChar) != std::wstring::npos) mErrors = true;
    }
    if (mUnicodeEscapes && out.find(L'\\') != std::wstring::npos) out = core::decodeDxfEscapes(out);
}

void appendUtf8(std::string& out, char32_t c) {
    if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) c = kReplacement;
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

void decodeCarets(std::wstring& text) {
    size_t w = 0;
    for (size_t r = 0; r < text.size(); ++r, ++w) {
        wchar_t c = text[r];
        if (c == L'^' && r + 1 < text.size() && isCaretTarget(text[r + 1])) {
            wchar_t next = text[++r];
            c = next == L' ' ? L'^' : wchar_t(next - 0x40);
        }
        text[w] = c;
    }
    text.resize(w);
}

void appendDxfText(std::string& out, std::wstring_view text) {
    for (wchar_t c : text) {
        if (c >= 0x20 && c < 0x80) {
            out += char(c);
        } else if (isControl(c)) {
            out += '^';
            out += char(c + 0x40);
        } else {
            appendUtf8(out, c < 0 ? kReplacement : char32_t(c));
        }
    }
}

} // namespace zel::dxf
