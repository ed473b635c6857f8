#include "commands/ask.h"
#include "core/units.h"

#include <cassert>
#include <utility>

namespace zel::commands {

std::wstring distanceText(double v) {
    core::UnitSettings u = core::currentUnitSettings();
    return core::formatDistance(v, u.lunits, u.luprec, u.dimzin, u.unitmode).value_or(L"?");
}

std::wstring angleText(double v) {
    core::UnitSettings u = core::currentUnitSettings();
    return core::formatAngle(v, u.aunits, u.auprec, u.dimzin, u.unitmode).value_or(L"?");
}

Answer Ask::ask(editor::InputKind kind, std::wstring_view prompt, std::optional<AcGePoint3d> base,
                int bits, std::wstring_view keywords, bool spaces) {
    editor::Ucs ucs = mEd.ucs();
    editor::InputRequest req;
    req.kind = kind;
    req.prompt = L"\n" + std::wstring(prompt);
    if (base) req.base = ucs.toUcs(*base);
    req.init.bits = bits;
    if (!keywords.empty()) {
        std::optional<editor::KeywordList> list = editor::parseKeywords(keywords);
        assert(list && "a host command's keyword list is malformed");
        if (list) req.init.keywords = std::move(*list);
    }
    req.spaces = spaces;
    req.drag = std::exchange(mDrag, false);
    editor::InputResult r = editor::requestInput(mEd, req);
    if (r.status == RTCAN) throw Cancelled{};
    Answer a;
    a.status = r.status;
    a.point = ucs.toWorld(r.point);
    a.real = r.real;
    a.integer = r.integer;
    a.text = std::move(r.text);
    return a;
}

Answer Ask::point(std::wstring_view prompt, std::optional<AcGePoint3d> base, int bits,
                  std::wstring_view keywords) {
    return ask(editor::InputKind::Point, prompt, base, bits, keywords);
}

Answer Ask::distance(std::wstring_view prompt, std::optional<AcGePoint3d> base, int bits,
                     std::wstring_view keywords) {
    return ask(editor::InputKind::Distance, prompt, base, bits, keywords);
}

Answer Ask::angle(std::wstring_view prompt, std::optional<AcGePoint3d> base, int bits,
                  std::wstring_view keywords) {
    return ask(editor::InputKind::Angle, prompt, base, bits, keywords);
}

Answer Ask::keyword(std::wstring_view prompt, std::wstring_view keywords, int bits) {
    return ask(editor::InputKind::Keyword, prompt, std::nullopt, bits, keywords);
}

Answer Ask::integer(std::wstring_view prompt, int bits, std::wstring_view keywords) {
    return ask(editor::InputKind::Integer, prompt, std::nullopt, bits, keywords);
}

Answer Ask::real(std::wstring_view prompt, int bits, std::wstring_view keywords) {
    return ask(editor::InputKind::Real, prompt, std::nullopt, bits, keywords);
}

Answer Ask::string(std::wstring_view prompt, bool spaces) {
    return ask(editor::InputKind::String, prompt, std::nullopt, 0, {}, spaces);
}

} // namespace zel::commands
