#include "editor/parse.h"

#include "core/text.h"

#include <cmath>
#include <vector>

namespace zel::editor {

namespace {

constexpr double kTwoPi = 2.0 * M_PI;

// Splits "a,b,c" into its parts (empty parts kept, so "1,,2" fails later).
std::vector<std::wstring_view> splitCommas(std::wstring_view text) {
    std::vector<std::wstring_view> parts;
    for (;;) {
        size_t comma = text.find(L',');
        parts.push_back(text.substr(0, comma));
        if (comma == std::wstring_view::npos) return parts;
        text.remove_prefix(comma + 1);
    }
}

// "x,y" or "x,y,z" in linear units.
std::optional<std::vector<double>> coordinates(std::wstring_view text, const ParseContext& ctx) {
    std::vector<std::wstring_view> parts = splitCommas(text);
    if (parts.size() < 2 || parts.size() > 3) return std::nullopt;
    std::vector<double> v;
    for (std::wstring_view part : parts) {
        std::optional<double> d = parseDistanceText(part, ctx);
        if (!d) return std::nullopt;
        v.push_back(*d);
    }
    return v;
}

// "dist<angle": the offset it stands for.
std::optional<AcGeVector3d> polar(std::wstring_view text, const ParseContext& ctx) {
    size_t lt = text.find(L'<');
    if (lt == std::wstring_view::npos || text.find(L'<', lt + 1) != std::wstring_view::npos)
        return std::nullopt;
    std::optional<double> dist = parseDistanceText(text.substr(0, lt), ctx);
    std::optional<double> angle = parseAngleText(text.substr(lt + 1), ctx);
    if (!dist || !angle) return std::nullopt;
    double dir = directionOfTypedAngle(*angle, ctx);
    return AcGeVector3d(*dist * std::cos(dir), *dist * std::sin(dir), 0.0);
}

} // namespace

double normalizeAngle(double radians) {
    double a = std::fmod(radians, kTwoPi);
    if (a < 0) a += kTwoPi;
    return a >= kTwoPi ? 0.0 : a; // -tiny + 2pi may round up to 2pi
}

double directionOfTypedAngle(double typed, const ParseContext& ctx) {
    return normalizeAngle(ctx.angbase + (ctx.clockwise ? -typed : typed));
}

std::optional<double> parseDistanceText(std::wstring_view text, const ParseContext& ctx) {
    return core::parseDistance(text, ctx.units.lunits);
}

std::optional<double> parseAngleText(std::wstring_view text, const ParseContext& ctx) {
    return core::parseAngle(text, ctx.units.aunits);
}

std::optional<AcGePoint3d> parsePoint(std::wstring_view text, const ParseContext& ctx) {
    std::wstring t = core::trim(text);
    if (t.empty()) return std::nullopt;
    bool relative = t[0] == L'@';
    std::wstring_view body = t;
    if (relative || t[0] == L'#') body.remove_prefix(1);
    if (relative && core::trim(body).empty()) return ctx.lastPoint;
    if (body.find(L'<') != std::wstring_view::npos) {
        std::optional<AcGeVector3d> offset = polar(body, ctx);
        if (!offset) return std::nullopt;
        AcGePoint3d from = relative ? ctx.lastPoint : AcGePoint3d(0, 0, ctx.elevation);
        return from + *offset;
    }
    std::optional<std::vector<double>> v = coordinates(body, ctx);
    if (!v) return std::nullopt;
    double z = v->size() > 2 ? (*v)[2] : 0.0;
    if (relative) return ctx.lastPoint + AcGeVector3d((*v)[0], (*v)[1], z);
    return AcGePoint3d((*v)[0], (*v)[1], v->size() > 2 ? z : ctx.elevation);
}

} // namespace zel::editor
