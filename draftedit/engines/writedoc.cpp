// The Write-document writer (see writedoc.h).
#include "draftedit/engines/writedoc.h"

#include "draftedit/engines/fileopen.h"
#include "draftedit/engines/textio.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <new>
#include <unistd.h>

namespace draftedit::engines {
namespace {

constexpr size_t kPage = 128;
// The text begins with a paragraph end of its own.
constexpr unsigned char kLeadingBytes[] = {0x0D, 0x00, 0x0A, 0x00};
constexpr const wchar_t* kFontName = L"ＭＳ 明朝";
constexpr uint8_t kFontFamily = 16;

// A 128-byte page filled by offset.
class Page {
public:
    Page() : mBytes(kPage, '\0') {}
    void u8(size_t at, uint8_t v) { mBytes.at(at) = static_cast<char>(v); }
    void u16(size_t at, uint16_t v) {
        u8(at, v & 0xFF);
        u8(at + 1, v >> 8);
    }
    void u32(size_t at, uint32_t v) {
        u16(at, v & 0xFFFF);
        u16(at + 2, v >> 16);
    }
    void bytes(size_t at, std::string_view b) {
        for (size_t i = 0; i < b.size(); ++i)
            u8(at + i, static_cast<uint8_t>(b[i]));
    }
    const std::string& str() const { return mBytes; }

private:
    std::string mBytes;
};

Page headerPage(uint32_t textBytes, uint16_t textPages) {
    const uint16_t n = textPages;
    Page p;
    p.u16(0, 0xBE31);
    p.u16(4, 0xAB00);
    p.u32(14, textBytes + kPage);
    p.u16(18, n + 2); // paragraph formats
    p.u16(20, n + 3); // footnote table (empty)
    p.u16(22, n + 3); // section properties
    p.u16(24, n + 4); // section table
    p.u16(26, n + 5); // page table (empty)
    p.u16(28, n + 5); // font table
    p.u16(96, n + 6); // pages in all
    return p;
}

Page characterFormatPage(uint32_t textBytes) {
    Page p;
    p.u32(0, kPage);
    p.u32(4, kPage + 4);
    p.u16(8, 0xFFFF);
    p.u32(10, textBytes + kPage);
    p.u16(14, 119);
    p.bytes(123, std::string_view("\x03\x01\x00\x14", 4));
    p.u8(127, 2);
    return p;
}

void paragraphFormat(Page& p, size_t at, uint8_t last) {
    p.bytes(at, std::string_view("\x11\x3C\x00\x1E\x00", 5));
    const uint16_t values[] = {1134, 1134, 0, 240, 0, 0};
    for (size_t i = 0; i < 6; ++i)
        p.u16(at + 5 + 2 * i, values[i]);
    p.u8(at + 17, last);
}

Page paragraphFormatPage(uint32_t textBytes) {
    Page p;
    p.u32(0, kPage);
    p.u32(4, kPage + 2);
    p.u16(8, 92);
    p.u32(10, kPage + 4);
    p.u16(14, 60);
    p.u32(16, textBytes + kPage);
    p.u16(20, 0xFFFF);
    p.u32(22, textBytes + kPage + 2);
    p.u16(26, 0xFFFF);
    paragraphFormat(p, 64, 6);
    paragraphFormat(p, 96, 7);
    p.u8(127, 4);
    return p;
}

// An A4 page in twips: height, width, first page number, top margin, text height, left
// margin, text width, header and footer positions.
Page sectionPropertyPage() {
    Page p;
    p.u8(0, 22);
    const uint16_t values[] = {0, 16836, 11910, 0xFFFF, 1701, 13428, 1134, 9639, 0, 1701, 15135};
    for (size_t i = 0; i < 11; ++i)
        p.u16(1 + 2 * i, values[i]);
    return p;
}

Page sectionTablePage(uint32_t textBytes, uint16_t textPages) {
    Page p;
    p.u16(0, 2);
    p.u32(4, textBytes);
    p.u32(10, static_cast<uint32_t>(textPages + 3) * kPage);
    p.u32(14, textBytes + 1);
    p.u32(20, 0xFFFFFFFF);
    return p;
}

Page fontTablePage() {
    static const std::string name = encodeCp932(kFontName).value_or("MS Mincho");
    Page p;
    p.u16(0, 1);
    // The record: the family byte and the name with its terminating zero.
    p.u16(2, static_cast<uint16_t>(name.size() + 2));
    p.u8(4, kFontFamily);
    p.bytes(5, name);
    return p;
}

} // namespace

std::string writeDocumentText(std::string_view fileBytes) {
    bool ascii = true;
    for (char c : fileBytes)
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii || !isValidUtf8(fileBytes)) return std::string(fileBytes);
    return encodeCp932(decodeText(fileBytes)).value_or(std::string(fileBytes));
}

std::string buildWriteDocument(std::string_view text) {
    const uint32_t textBytes = static_cast<uint32_t>(sizeof kLeadingBytes + text.size());
    const uint16_t textPages = static_cast<uint16_t>((textBytes + kPage - 1) / kPage);
    std::string doc = headerPage(textBytes, textPages).str();
    doc.append(reinterpret_cast<const char*>(kLeadingBytes), sizeof kLeadingBytes);
    doc.append(text);
    doc.append(static_cast<size_t>(textPages) * kPage - textBytes, '\0');
    doc += characterFormatPage(textBytes).str();
    doc += paragraphFormatPage(textBytes).str();
    doc += sectionPropertyPage().str();
    doc += sectionTablePage(textBytes, textPages).str();
    doc += fontTablePage().str();
    return doc;
}

namespace {

WriteDocResult convert(const std::string& inputPath, const std::string& outputPath) {
    std::optional<std::string> bytes = readFileBytes(inputPath);
    if (!bytes) return WriteDocResult::InputNotOpened;
    if (bytes->empty()) return WriteDocResult::InputEmpty;
    const std::string text = writeDocumentText(*bytes);
    // Page numbers are 16-bit: a text of more pages cannot be told in the header.
    if (sizeof kLeadingBytes + text.size() > size_t{0xFFF0} * kPage)
        return WriteDocResult::WriteFailed;
    const std::string doc = buildWriteDocument(text);
    const std::string partial = partialName(outputPath);
    std::unique_ptr<std::FILE, FileCloser> out(openFile(partial, "wb"));
    if (!out) return WriteDocResult::OutputNotOpened;
    const bool written = std::fwrite(doc.data(), 1, doc.size(), out.get()) == doc.size();
    const bool closed = std::fclose(out.release()) == 0;
    if (!written || !closed || std::rename(partial.c_str(), outputPath.c_str()) != 0) {
        ::unlink(partial.c_str());
        return WriteDocResult::WriteFailed;
    }
    return WriteDocResult::Ok;
}

} // namespace

WriteDocResult convertTextToWrite(const std::string& inputPath, const std::string& outputPath) {
    try {
        return convert(inputPath, outputPath);
    } catch (const std::bad_alloc&) {
        return WriteDocResult::WriteFailed; // nothing was written: the document is built first
    }
}

} // namespace draftedit::engines
