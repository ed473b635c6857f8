// Text of DXF files: bytes of the file to wide strings and back.
// Files before AC1021 (2007) are in the code page of $DWGCODEPAGE and write characters the
// code page lacks as "\U+XXXX"; files from AC1021 on are UTF-8.
// Control characters are written in caret form ("^J" is a line feed, "^I" a tab, "^ " a
// caret). The drawing keeps texts as the file has them, carets included — another program's
// "abc^adef" must come back as it was — and decodeCarets gives the characters they stand for
// when a text is shown or measured.
#pragma once

#include "core/text.h"

#include <optional>
#include <string>
#include <string_view>

namespace zel::dxf {

class TextDecoder {
public:
    TextDecoder() = default; // UTF-8 without escapes
    // From the header values; an unknown code page reads as ANSI_1252.
    static TextDecoder forFile(std::string_view acadVersion, std::string_view dwgCodePage);

    std::wstring decode(std::string_view raw) const;
    void decode(std::string_view raw, std::wstring& out) const;
    bool isUtf8() const { return mUtf8; }
    // True once a text could not be decoded cleanly (invalid UTF-8, unmapped bytes).
    bool hadErrors() const { return mErrors; }

private:
    bool mUtf8 = true;
    bool mUnicodeEscapes = false; // "\U+XXXX"
    core::CodePage mCodePage = core::CodePage::Ansi1252;
    mutable bool mErrors = false;
};

// Appends text as UTF-8; control characters (which would break the line structure) in caret
// form; invalid characters become U+FFFD.
void appendDxfText(std::string& out, std::wstring_view text);

void appendUtf8(std::string& out, char32_t c);
// The characters a text in caret form stands for: "^J" -> line feed, "^I" -> tab, "^ " ->
// caret; a caret before anything else stays as it is.
void decodeCarets(std::wstring& text);
// The code page of a $DWGCODEPAGE name, including the DOS names of old files.
std::optional<core::CodePage> dxfCodePage(std::string_view name);

} // namespace zel::dxf
