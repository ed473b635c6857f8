#include "plot/svg.h"

#include "arx/dbregion.h"
#include "core/text.h"
#include "db/database_impl.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace zel::plot {

namespace {

// Lineweight of entities that say "default" (LWDEFAULT of a new drawing), in millimetres.
constexpr double kDefaultWeightMm = 0.25;
// Samples along a curve that is neither straight nor made of polyline segments.
constexpr int kCurveSamples = 96;
// Samples per polyline segment (straight segments are drawn with their two ends).
constexpr int kSegmentSamples = 16;
// Block nesting deeper than this is a cycle in a damaged drawing: not drawn further.
constexpr int kMaxNesting = 32;

// ---- colours ----------------------------------------------------------------------------

std::string hex(int r, int g, int b) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02x%02x%02x", r & 255, g & 255, b & 255);
    return buf;
}

// The AutoCAD colour index as RGB: the nine named colours, 24 hues in 5 shades with a paler
// variant each, and six greys. Colour 7 is drawn black (the picture has a white background).
std::string aciColour(int aci) {
    static const char* named[] = {"#000000", "#ff0000", "#ffff00", "#00ff00", "#00ffff",
                                  "#0000ff", "#ff00ff", "#000000", "#808080", "#c0c0c0"};
    if (aci >= 0 && aci <= 9) return named[aci];
    if (aci >= 250 && aci <= 255) {
        int grey = 51 + (aci - 250) * 41;
        return hex(grey, grey, grey);
    }
    if (aci < 10 || aci > 249) return named[7];
    double hue = (aci - 10) / 10 * 15.0;
    static const double shade[] = {1.0, 0.8, 0.6, 0.5, 0.3};
    double v = shade[(aci % 10) / 2];
    double s = (aci % 2) ? 0.5 : 1.0;
    auto channel = [&](double n) {
        double k = std::fmod(n + hue / 60, 6);
        return int(std::lround(255 * v * (1 - s * std::max(0.0, std::min({k, 4 - k, 1.0})))));
    };
    return hex(channel(5), channel(3), channel(1));
}

// ---- styles -----------------------------------------------------------------------------

struct Inherited {
    int colour = 7;
    int weight = -3; // hundredths of a millimetre; -3 default
    std::wstring linetype = L"CONTINUOUS";
};

const AcDbLayerTableRecord* layerOf(const AcDbDatabase& db, const AcDbEntity& ent) {
    return db::peekAs<AcDbLayerTableRecord>(ent.layerId());
}

struct Stroke {
    std::string colour;
    double width = kDefaultWeightMm;
    std::string dashes; // stroke-dasharray, empty for a solid line
};

std::string dashArray(const AcDbDatabase& db, const std::wstring& name, double scale) {
    AcDbLinetypeTable* table = nullptr;
    std::string out;
    if (const_cast<AcDbDatabase&>(db).getLinetypeTable(table, AcDb::kForRead) != Acad::eOk)
        return out;
    AcDbLinetypeTableRecord* r = nullptr;
    if (table->getAt(name.c_str(), r, AcDb::kForRead) == Acad::eOk) {
        for (const ZelDashElement& d : r->dashes()) {
            std::ostringstream s;
            s << (out.empty() ? "" : ",") << std::max(std::fabs(d.length) * scale, 0.0);
            out += s.str();
        }
        r->close();
    }
    table->close();
    return out;
}

Stroke strokeOf(const AcDbDatabase& db, const AcDbEntity& ent, const Inherited& block) {
    const AcDbLayerTableRecord* layer = layerOf(db, ent);
    Stroke s;
    int colour = ent.colorIndex();
    if (colour == 256) colour = layer ? layer->colorIndex() : 7;
    if (colour == 0) colour = block.colour;
    s.colour = ent.trueColor() >= 0
                   ? hex(ent.trueColor() >> 16, ent.trueColor() >> 8, ent.trueColor())
                   : aciColour(colour);
    int weight = ent.lineWeight();
    if (weight == -1) weight = layer ? layer->lineWeight() : -3;
    if (weight == -2) weight = block.weight;
    s.width = weight >= 0 ? std::max(weight / 100.0, 0.05) : kDefaultWeightMm;
    std::wstring ltype = core::toUpper(ent.linetype());
    if (ltype == L"BYLAYER") ltype = layer ? core::toUpper(layer->linetypeName()) : L"CONTINUOUS";
    if (ltype == L"BYBLOCK") ltype = block.linetype;
    if (ltype != L"CONTINUOUS") s.dashes = dashArray(db, ltype, db.ltscale() * ent.linetypeScale());
    return s;
}

// ---- output -----------------------------------------------------------------------------

class SvgWriter {
public:
    explicit SvgWriter(const AcDbDatabase& db) : mDb(db) {}

    std::string run() {
        const auto* space = db::peekAs<AcDbBlockTableRecord>(mDb.modelSpaceId());
        if (space) drawBlock(*space, AcGeMatrix3d(), Inherited(), 0);
        return document();
    }

private:
    void drawBlock(const AcDbBlockTableRecord& block, const AcGeMatrix3d& m, const Inherited& in,
                   int depth) {
        if (depth > kMaxNesting) return;
        for (AcDbObjectId id : block.entityIds()) {
            const auto* ent = db::peekAs<AcDbEntity>(id);
            if (ent && !id.isErased() && ent->visibility()) drawEntity(*ent, m, in, depth);
        }
    }

    void drawEntity(const AcDbEntity& ent, const AcGeMatrix3d& m, const Inherited& in, int depth) {
        const AcDbLayerTableRecord* layer = layerOf(mDb, ent);
        if (layer && (layer->isOff() || layer->isFrozen())) return;
        Stroke s = strokeOf(mDb, ent, in);
        if (auto* ref = AcDbBlockReference::cast(&ent)) return drawReference(*ref, m, in, s, depth);
        if (auto* dim = AcDbDimension::cast(&ent)) {
            const auto* block = db::peekAs<AcDbBlockTableRecord>(dim->dimBlockId());
            if (block) drawBlock(*block, m, inheritedFrom(ent, s, in), depth + 1);
            return;
        }
        if (auto* text = AcDbText::cast(&ent)) return drawText(*text, m, s);
        if (auto* mtext = AcDbMText::cast(&ent)) return drawMText(*mtext, m, s);
        if (auto* point = AcDbPoint::cast(&ent)) return drawPoint(point->position(), m, s);
        if (auto* solid = AcDbFourPointEntity::cast(&ent)) return drawSolid(*solid, m, s);
        if (AcDbXline::cast(&ent)) return; // unbounded: no place in a picture of the extents
        if (auto* region = AcDbRegion::cast(&ent)) return drawRegion(*region, m, s);
        if (auto* curve = AcDbCurve::cast(&ent)) drawCurve(*curve, m, s);
    }

    Inherited inheritedFrom(const AcDbEntity& ent, const Stroke& s, const Inherited& in) {
        Inherited out = in;
        const AcDbLayerTableRecord* layer = layerOf(mDb, ent);
        int colour = ent.colorIndex();
        out.colour = colour == 256 ? (layer ? layer->colorIndex() : 7)
                     : colour == 0 ? in.colour
                                   : colour;
        out.weight = int(std::lround(s.width * 100));
        std::wstring ltype = core::toUpper(ent.linetype());
        if (ltype != L"BYBLOCK" && ltype != L"BYLAYER") out.linetype = ltype;
        return out;
    }

    void drawReference(const AcDbBlockReference& ref, const AcGeMatrix3d& m, const Inherited& in,
                       const Stroke& s, int depth) {
        const auto* block = db::peekAs<AcDbBlockTableRecord>(ref.blockTableRecord());
        if (block)
            drawBlock(*block, m * ref.blockTransform(), inheritedFrom(ref, s, in), depth + 1);
        for (AcDbObjectId id : ref.attributeIds()) {
            const auto* att = db::peekAs<AcDbAttribute>(id);
            if (att && !id.isErased() && att->visibility())
                drawText(*att, m, strokeOf(mDb, *att, in));
        }
    }

    void drawCurve(const AcDbCurve& curve, const AcGeMatrix3d& m, const Stroke& s) {
        double t0 = 0, t1 = 0;
        if (curve.getStartParam(t0) != Acad::eOk || curve.getEndParam(t1) != Acad::eOk) return;
        int steps = kCurveSamples;
        if (AcDbLine::cast(&curve)) steps = 1;
        if (AcDbPolyline::cast(&curve) || AcDb2dPolyline::cast(&curve))
            steps = std::max(1, int(std::ceil(t1 - t0)) * kSegmentSamples);
        std::vector<AcGePoint3d> pts;
        for (int i = 0; i <= steps; ++i) {
            AcGePoint3d p;
            if (curve.getPointAtParam(t0 + (t1 - t0) * i / steps, p) == Acad::eOk)
                pts.push_back(m * p);
        }
        polyline(pts, s, curve.isClosed() && !AcDbPolyline::cast(&curve));
    }

    // The loops of a region (a region whose data is not understood draws nothing).
    void drawRegion(const AcDbRegion& region, const AcGeMatrix3d& m, const Stroke& s) {
        std::vector<std::unique_ptr<AcDbEntity>> pieces;
        if (region.explode(pieces) != Acad::eOk) return;
        for (const auto& piece : pieces)
            if (auto* curve = AcDbCurve::cast(piece.get())) drawCurve(*curve, m, s);
    }

    void drawSolid(const AcDbFourPointEntity& solid, const AcGeMatrix3d& m, const Stroke& s) {
        AcGePoint3d p[4];
        for (uint16_t i = 0; i < 4; ++i) {
            solid.getPointAt(i, p[i]);
            p[i] = m * p[i];
        }
        // SOLID corners come in the order 1 2 4 3 around the outline.
        std::vector<AcGePoint3d> outline = {p[0], p[1], p[3], p[2]};
        mBody << "<polygon points=\"" << points(outline) << "\" fill=\"" << s.colour
              << "\" stroke=\"none\"/>\n";
        extend(outline);
    }

    void drawPoint(const AcGePoint3d& at, const AcGeMatrix3d& m, const Stroke& s) {
        AcGePoint3d p = m * at;
        mBody << "<circle cx=\"" << num(p.x) << "\" cy=\"" << num(-p.y) << "\" r=\"" << num(s.width)
              << "\" fill=\"" << s.colour << "\"/>\n";
        extend({p});
    }

    void drawText(const AcDbText& text, const AcGeMatrix3d& m, const Stroke& s) {
        AcGePoint3d corners[4];
        text.boxCorners(corners);
        for (AcGePoint3d& c : corners)
            c = m * c;
        AcGeVector3d along = corners[1] - corners[0], up = corners[3] - corners[0];
        textLine(corners[0], along, up.length(), text.textW(), "start", s);
        extend({corners[0], corners[1], corners[2], corners[3]});
    }

    void drawMText(const AcDbMText& mtext, const AcGeMatrix3d& m, const Stroke& s) {
        std::unique_ptr<ACHAR[]> plain(mtext.text());
        std::wstring all = plain ? plain.get() : L"";
        std::vector<std::wstring> lines;
        std::wstringstream in(all);
        for (std::wstring line; std::getline(in, line);)
            lines.push_back(line);
        if (lines.empty()) return;
        double h = mtext.textHeight(), gap = h * 5 / 3 * mtext.lineSpacingFactor();
        int a = int(mtext.attachment()) - 1; // 0..8: rows top, middle, bottom; columns l, c, r
        const char* anchor = a % 3 == 0 ? "start" : a % 3 == 1 ? "middle" : "end";
        double block = h + gap * double(lines.size() - 1);
        double firstBaseline = a / 3 == 0 ? h : a / 3 == 1 ? h - block / 2 : h - block;
        AcGeVector3d x = mtext.direction().normal(), y = mtext.normal().crossProduct(x).normal();
        for (size_t i = 0; i < lines.size(); ++i) {
            AcGePoint3d base = mtext.location() - y * (firstBaseline + gap * double(i));
            AcGePoint3d from = m * base, to = m * (base + x);
            double scale = (m * (base + y) - from).length();
            textLine(from, to - from, h * scale, lines[i], anchor, s);
            extend({from, m * (base + y * h)});
        }
    }

    void textLine(const AcGePoint3d& at, const AcGeVector3d& along, double height,
                  const std::wstring& text, const char* anchor, const Stroke& s) {
        double deg = -std::atan2(along.y, along.x) * 180 / M_PI;
        mBody << "<text x=\"" << num(at.x) << "\" y=\"" << num(-at.y) << "\" font-size=\""
              << num(height) << "\" text-anchor=\"" << anchor << "\" fill=\"" << s.colour << "\"";
        if (std::fabs(deg) > 1e-9) // a rotation too small to see is left out
            mBody << " transform=\"rotate(" << num(deg) << " " << num(at.x) << " " << num(-at.y)
                  << ")\"";
        mBody << ">" << escaped(core::wideToUtf8(text)) << "</text>\n";
    }

    void polyline(const std::vector<AcGePoint3d>& pts, const Stroke& s, bool closed) {
        if (pts.size() < 2) return;
        mBody << "<" << (closed ? "polygon" : "polyline") << " points=\"" << points(pts)
              << "\" fill=\"none\" stroke=\"" << s.colour << "\" stroke-width=\"" << num(s.width)
              << "\"";
        if (!s.dashes.empty()) mBody << " stroke-dasharray=\"" << s.dashes << "\"";
        mBody << "/>\n";
        extend(pts);
    }

    static std::string num(double v) {
        std::ostringstream s;
        s.precision(10);
        s << (std::fabs(v) < 1e-12 ? 0.0 : v);
        return s.str();
    }

    static std::string points(const std::vector<AcGePoint3d>& pts) {
        std::string out;
        for (const AcGePoint3d& p : pts) {
            if (!out.empty()) out += ' ';
            out += num(p.x); // appended piece by piece: GCC 12 warns falsely on concatenation
            out += ',';
            out += num(-p.y);
        }
        return out;
    }

    static std::string escaped(const std::string& text) {
        std::string out;
        for (char c : text) {
            if (c == '<')
                out += "&lt;";
            else if (c == '>')
                out += "&gt;";
            else if (c == '&')
                out += "&amp;";
            else
                out += c;
        }
        return out;
    }

    void extend(const std::vector<AcGePoint3d>& pts) {
        for (const AcGePoint3d& p : pts) {
            mMin.x = std::min(mMin.x, p.x), mMin.y = std::min(mMin.y, p.y);
            mMax.x = std::max(mMax.x, p.x), mMax.y = std::max(mMax.y, p.y);
        }
    }

    std::string document() const {
        AcGePoint3d lo = mMin, hi = mMax;
        if (lo.x > hi.x) lo = AcGePoint3d(0, 0, 0), hi = AcGePoint3d(100, 100, 0); // nothing drawn
        double margin = std::max({hi.x - lo.x, hi.y - lo.y, 1.0}) * 0.02;
        double w = hi.x - lo.x + 2 * margin, h = hi.y - lo.y + 2 * margin;
        std::ostringstream out;
        out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            << "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"" << num(lo.x - margin) << " "
            << num(-hi.y - margin) << " " << num(w) << " " << num(h) << "\" width=\"" << num(w)
            << "mm\" height=\"" << num(h) << "mm\" stroke-linecap=\"round\" "
            << "font-family=\"sans-serif\">\n"
            << "<rect x=\"" << num(lo.x - margin) << "\" y=\"" << num(-hi.y - margin)
            << "\" width=\"" << num(w) << "\" height=\"" << num(h) << "\" fill=\"white\"/>\n"
            << mBody.str() << "</svg>\n";
        return out.str();
    }

    const AcDbDatabase& mDb;
    std::ostringstream mBody;
    AcGePoint3d mMin{1e300, 1e300, 0}, mMax{-1e300, -1e300, 0};
};

} // namespace

std::string modelSpaceSvg(const AcDbDatabase& db) {
    return SvgWriter(db).run();
}

std::string writeSvg(const AcDbDatabase& db, const std::string& path) {
    std::string svg = modelSpaceSvg(db);
    std::string temp = path + ".part";
    {
        std::ofstream out(temp, std::ios::binary);
        out << svg;
        if (!out.flush()) return "cannot write " + path;
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        return "cannot write " + path;
    }
    return {};
}

} // namespace zel::plot
