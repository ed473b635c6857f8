// ACIS save-file text of planar regions. Written: version 7.0 records as files of drawings
// carry them (every record "type $attribute id $-1 data #"): body, lump, shell, one face per
// outer loop on a plane-surface, a loop per boundary, and per piece a coedge, an edge, its
// straight-curve or ellipse-curve, and the vertex and point where it starts. Read: the same
// records of versions 4.0 and later (with or without the id field and the pointer after it),
// from any writer, when the body is one plane of such faces.
#include "db/ents/region_sat.h"

#include "core/tolerance.h"
#include "db/ents/entcommon.h"
#include "db/region_curves.h"
#include "geom/vec2.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <map>

namespace zel::db::sat {

namespace {

constexpr int kVersion = 700;
constexpr const char* kProduct = "zelcad";
constexpr const char* kModeler = "ACIS 7.0 NT";
constexpr const char* kDate = "Thu Jan 01 00:00:00 1970"; // fixed, so that saves compare
constexpr const char* kEnd = "End-of-ACIS-data";
constexpr size_t kGroupChars = 255; // text of one 1 or 3 group

// ---- writing ----------------------------------------------------------------------------------

// Significant digits of the numbers written: far finer than the modeler's resolution, and
// coarse enough that the last bits of a computation, which vary between machines, do not
// show (a point computed as 39.999999999999993 is written 40).
constexpr int kDigits = 15;

std::string number(double v) {
    if (!std::isfinite(v)) v = 0;
    char buf[32];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, kDigits);
    std::string s = ec == std::errc() ? std::string(buf, end) : "0";
    return s == "-0" ? "0" : s;
}

std::string counted(const std::string& s) {
    return "@" + std::to_string(s.size()) + " " + s;
}

std::string ref(int index) {
    return "$" + std::to_string(index);
}

std::string xyz(const AcGePoint3d& p) {
    return number(p.x) + " " + number(p.y) + " " + number(p.z);
}
std::string xyz(const AcGeVector3d& v) {
    return number(v.x) + " " + number(v.y) + " " + number(v.z);
}

// The record of one entity: type, no attribute, no id, no history pointer, then the data.
std::string record(const char* type, const std::string& data) {
    return std::string(type) + " $-1 -1 $-1 " + data + " #";
}

// An angle moved by whole turns into (-pi, pi].
double nearZero(double a) {
    double r = std::remainder(a, geom::kTwoPi);
    return r <= -geom::kPi ? r + geom::kTwoPi : r;
}

// Indices of the records of one loop.
struct LoopRecords {
    int loop = 0;
    int first = 0; // coedge, edge, curve, vertex, point of piece k at first + 5 k ...
    static constexpr int kPerPiece = 5;
    int coedge(int k) const { return first + kPerPiece * k; }
    int edge(int k) const { return coedge(k) + 1; }
    int curve(int k) const { return coedge(k) + 2; }
    int vertex(int k) const { return coedge(k) + 3; }
    int point(int k) const { return coedge(k) + 4; }
};

class Writer {
public:
    explicit Writer(const Planar& r) : mR(r), mFrame{r.normal, r.elevation} {}

    std::vector<std::string> lines() {
        std::vector<std::vector<int>> faces = regionFaces(mR.loops);
        std::vector<std::string> out{std::to_string(kVersion) + " 0 1 0",
                                     counted(kProduct) + " " + counted(kModeler) + " " +
                                         counted(kDate),
                                     "1 9.9999999999999995e-07 1e-10"};
        assign(faces);
        out.push_back(record("body", ref(1) + " $-1 $-1"));
        out.push_back(record("lump", "$-1 " + ref(2) + " " + ref(0)));
        out.push_back(record("shell", "$-1 $-1 " + ref(mFaces.front()) + " $-1 " + ref(1)));
        for (size_t f = 0; f < faces.size(); ++f)
            face(out, faces, f);
        out.push_back(kEnd);
        return out;
    }

private:
    // Record numbers: body 0, lump 1, shell 2, then per face its face and surface records and
    // per loop its loop record and five per piece.
    void assign(const std::vector<std::vector<int>>& faces) {
        int next = 3;
        for (const std::vector<int>& f : faces) {
            mFaces.push_back(next);
            next += 2;
            for (int l : f) {
                LoopRecords r{next, next + 1};
                mLoops[l] = r;
                next += 1 + LoopRecords::kPerPiece * int(mR.loops[l].edges.size());
            }
        }
    }

    void face(std::vector<std::string>& out, const std::vector<std::vector<int>>& faces, size_t f) {
        int self = mFaces[f];
        std::string next = f + 1 < faces.size() ? ref(mFaces[f + 1]) : "$-1";
        out.push_back(record("face", next + " " + ref(mLoops[faces[f].front()].loop) + " " +
                                         ref(2) + " $-1 " + ref(self + 1) + " forward double out"));
        AcGePoint3d origin = mFrame.point(AcGePoint2d());
        AcGeVector3d u = mFrame.vector(AcGeVector2d(1, 0));
        out.push_back(record("plane-surface", xyz(origin) + " " + xyz(mR.normal) + " " + xyz(u) +
                                                  " forward_v I I I I"));
        for (size_t i = 0; i < faces[f].size(); ++i) {
            std::string nextLoop =
                i + 1 < faces[f].size() ? ref(mLoops[faces[f][i + 1]].loop) : "$-1";
            loop(out, faces[f][i], nextLoop, self);
        }
    }

    void loop(std::vector<std::string>& out, int l, const std::string& nextLoop, int faceRecord) {
        const LoopRecords& r = mLoops[l];
        const std::vector<ZelRegionEdge>& edges = mR.loops[l].edges;
        int n = int(edges.size());
        out.push_back(record("loop", nextLoop + " " + ref(r.coedge(0)) + " " + ref(faceRecord)));
        for (int k = 0; k < n; ++k) {
            int next = (k + 1) % n, prev = (k + n - 1) % n;
            out.push_back(record("coedge", ref(r.coedge(next)) + " " + ref(r.coedge(prev)) +
                                               " $-1 " + ref(r.edge(k)) + " forward " +
                                               ref(r.loop) + " $-1"));
            piece(out, edges[k], r, k, next);
            out.push_back(record("vertex", ref(r.edge(k)) + " " + ref(r.point(k))));
            out.push_back(record("point", xyz(mFrame.point(edges[k].startPoint()))));
        }
    }

    // The edge and curve records of piece k (its end is the vertex of piece `next`).
    void piece(std::vector<std::string>& out, const ZelRegionEdge& e, const LoopRecords& r, int k,
               int next) {
        double t0 = 0, t1 = 0;
        std::string curve;
        if (e.type == ZelRegionEdge::kLine) {
            AcGePoint3d a = mFrame.point(e.start), b = mFrame.point(e.end);
            t1 = a.distanceTo(b);
            curve = record("straight-curve", xyz(a) + " " + xyz((b - a).normal()) + " I I");
        } else {
            // A clockwise piece runs counter-clockwise about the opposite normal, where its
            // parameters are the negated ones.
            bool ccw = e.sweep > 0;
            t0 = nearZero(ccw ? e.startParam : -e.startParam);
            t1 = t0 + std::fabs(e.sweep);
            AcGeVector3d n = ccw ? mR.normal : -mR.normal;
            curve = record("ellipse-curve", xyz(mFrame.point(e.center)) + " " + xyz(n) + " " +
                                                xyz(mFrame.vector(e.majorAxis)) + " " +
                                                number(e.ratio) + " I I");
        }
        out.push_back(record("edge", ref(r.vertex(k)) + " " + number(t0) + " " +
                                         ref(r.vertex(next)) + " " + number(t1) + " " +
                                         ref(r.coedge(k)) + " " + ref(r.curve(k)) +
                                         " forward @7 unknown"));
        out.push_back(curve);
    }

    const Planar& mR;
    ents::PlaneFrame mFrame;
    std::vector<int> mFaces;
    std::map<int, LoopRecords> mLoops;
};

// ---- reading ----------------------------------------------------------------------------------

struct Record {
    std::string type;
    std::vector<std::string> fields; // after the attribute, id and history fields
};

bool isPointer(const std::string& t) {
    return t.size() > 1 && t[0] == '$';
}

struct Failure {
    std::string why;
};

int pointer(const std::string& t) {
    if (!isPointer(t)) throw Failure{"expected a record reference, found '" + t + "'"};
    int v = 0;
    auto [p, ec] = std::from_chars(t.data() + 1, t.data() + t.size(), v);
    if (ec != std::errc() || p != t.data() + t.size()) throw Failure{"bad reference '" + t + "'"};
    return v;
}

double real(const std::string& t) {
    double v = 0;
    auto [p, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
    if (ec != std::errc() || p != t.data() + t.size() || !std::isfinite(v))
        throw Failure{"expected a number, found '" + t + "'"};
    return v;
}

// Whitespace-separated tokens; "@n text" counted strings are one token.
std::vector<std::string> tokens(std::string_view s) {
    std::vector<std::string> out;
    size_t i = 0;
    auto space = [](char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; };
    while (i < s.size()) {
        if (space(s[i])) {
            ++i;
            continue;
        }
        size_t j = i;
        while (j < s.size() && !space(s[j]))
            ++j;
        std::string t(s.substr(i, j - i));
        if (t.size() > 1 && t[0] == '@') {
            size_t n = 0;
            auto [p, ec] = std::from_chars(t.data() + 1, t.data() + t.size(), n);
            if (ec == std::errc() && p == t.data() + t.size() && j + 1 + n <= s.size()) {
                out.push_back(std::string(s.substr(j + 1, n)));
                i = j + 1 + n;
                continue;
            }
        }
        out.push_back(std::move(t));
        i = j;
    }
    return out;
}

struct Document {
    int version = 0;
    std::vector<Record> records;
};

bool isIndexToken(const std::string& t) {
    return t.size() > 1 && t[0] == '-' && std::isdigit(static_cast<unsigned char>(t[1]));
}

// The records after the three header lines, their leading fields (attribute, id, history)
// taken off as the body record shows them.
Document parse(std::string_view text) {
    Document d;
    size_t at = 0;
    std::vector<std::string> header;
    for (int line = 0; line < 3; ++line) {
        size_t nl = text.find('\n', at);
        if (nl == std::string_view::npos) throw Failure{"the header is cut short"};
        header.emplace_back(text.substr(at, nl - at));
        at = nl + 1;
    }
    std::vector<std::string> first = tokens(header[0]);
    if (first.empty()) throw Failure{"no version in the header"};
    d.version = int(real(first[0]));
    if (d.version < 400) throw Failure{"version " + first[0] + " is not read"};
    std::vector<std::vector<std::string>> raw;
    std::vector<std::string> current;
    for (std::string& t : tokens(text.substr(at))) {
        if (current.empty() && (t.starts_with("End-of-") || t.starts_with("Begin-of-"))) break;
        bool ends = !t.empty() && t.back() == '#';
        if (ends) t.pop_back();
        if (!t.empty()) current.push_back(std::move(t));
        if (!ends) continue;
        if (!current.empty() && isIndexToken(current.front())) current.erase(current.begin());
        raw.push_back(std::move(current));
        current.clear();
    }
    if (raw.empty() || raw.front().empty() || raw.front().front() != "body")
        throw Failure{"the first record is not a body"};
    // Leading fields: the attribute; from 7.0 the id; and, in files that have it, one more
    // reference before the body's lump, wire and transform.
    size_t lead = 1;
    if (d.version >= kVersion) lead = raw.front().size() >= 7 ? 3 : 2;
    for (std::vector<std::string>& r : raw) {
        if (r.empty()) throw Failure{"an empty record"};
        Record rec{r.front(), {}};
        if (r.size() > lead) rec.fields.assign(r.begin() + 1 + std::ptrdiff_t(lead), r.end());
        d.records.push_back(std::move(rec));
    }
    return d;
}

class Reader {
public:
    explicit Reader(const Document& d) : mD(d) {}

    Planar read() {
        const Record& body = at(0, "body");
        need(body, 3);
        if (pointer(body.fields[2]) >= 0) throw Failure{"the body has a transform"};
        if (pointer(body.fields[1]) >= 0) throw Failure{"the body has wires"};
        for (int lump = pointer(body.fields[0]); lump >= 0;) {
            const Record& l = at(lump, "lump");
            need(l, 2);
            for (int shell = pointer(l.fields[1]); shell >= 0;) {
                const Record& s = at(shell, "shell");
                need(s, 4);
                if (pointer(s.fields[1]) >= 0 || pointer(s.fields[3]) >= 0)
                    throw Failure{"a shell has subshells or wires"};
                for (int f = pointer(s.fields[2]); f >= 0;)
                    f = face(f);
                shell = pointer(s.fields[0]);
            }
            lump = pointer(l.fields[0]);
        }
        if (!mHasPlane || mOut.loops.empty()) throw Failure{"no faces"};
        return mOut;
    }

private:
    const Record& at(int index, const char* type) const {
        if (index < 0 || size_t(index) >= mD.records.size())
            throw Failure{"reference $" + std::to_string(index) + " out of range"};
        const Record& r = mD.records[size_t(index)];
        if (r.type != type)
            throw Failure{"expected a " + std::string(type) + " record, found '" + r.type + "'"};
        return r;
    }

    static void need(const Record& r, size_t n) {
        if (r.fields.size() < n) throw Failure{"a " + r.type + " record is cut short"};
    }

    AcGePoint3d point3(const std::vector<std::string>& f, size_t i) const {
        return AcGePoint3d(real(f.at(i)), real(f.at(i + 1)), real(f.at(i + 2)));
    }
    AcGeVector3d vector3(const std::vector<std::string>& f, size_t i) const {
        return AcGeVector3d(real(f.at(i)), real(f.at(i + 1)), real(f.at(i + 2)));
    }

    // Takes the face's plane (every face must lie in the first one) and its loops; gives the
    // next face.
    int face(int index) {
        const Record& f = at(index, "face");
        need(f, 6);
        if (pointer(f.fields[3]) >= 0) throw Failure{"a face has a subshell"};
        const Record& surface = mD.records.at(size_t(pointer(f.fields[4])));
        if (surface.type != "plane-surface") throw Failure{"a face on a " + surface.type};
        need(surface, 9);
        AcGePoint3d root = point3(surface.fields, 0);
        AcGeVector3d n = vector3(surface.fields, 3);
        if (n.isZeroLength()) throw Failure{"a plane without a normal"};
        n = n.normal();
        if (f.fields[5] == "reversed" || f.fields[5] == "1") n = -n;
        takePlane(root, n);
        for (int l = pointer(f.fields[1]); l >= 0;)
            l = loop(l);
        return pointer(f.fields[0]);
    }

    void takePlane(const AcGePoint3d& root, const AcGeVector3d& n) {
        if (!mHasPlane) {
            mHasPlane = true;
            mOut.normal = n;
            mOut.elevation = ents::worldToPlane(n, root).z;
            return;
        }
        // Faces facing the other way lie in the same plane with their loops turned over: only
        // faces of one plane and one side are read.
        double size = std::max(1.0, AcGeVector3d(root.x, root.y, root.z).length());
        if (!n.isEqualTo(mOut.normal) ||
            std::fabs(ents::worldToPlane(n, root).z - mOut.elevation) > tol::kJoinGap * size)
            throw Failure{"faces in different planes"};
    }

    AcGePoint2d inPlane(const AcGePoint3d& p) const {
        AcGePoint3d q = ents::worldToPlane(mOut.normal, p);
        return AcGePoint2d(q.x, q.y);
    }
    AcGeVector2d inPlane(const AcGeVector3d& v) const {
        AcGeVector3d q = ents::worldToPlane(mOut.normal, v);
        return AcGeVector2d(q.x, q.y);
    }

    int loop(int index) {
        const Record& l = at(index, "loop");
        need(l, 3);
        ZelRegionLoop out;
        int first = pointer(l.fields[1]);
        int c = first;
        for (size_t guard = 0; c >= 0; ++guard) {
            if (guard > mD.records.size()) throw Failure{"a loop of coedges that never closes"};
            const Record& coedge = at(c, "coedge");
            need(coedge, 6);
            out.edges.push_back(piece(coedge));
            c = pointer(coedge.fields[0]);
            if (c == first) break;
        }
        mOut.loops.push_back(std::move(out));
        return pointer(l.fields[0]);
    }

    AcGePoint3d vertexPoint(int index) const {
        const Record& v = at(index, "vertex");
        need(v, 2);
        const Record& p = at(pointer(v.fields[1]), "point");
        need(p, 3);
        return point3(p.fields, 0);
    }

    ZelRegionEdge piece(const Record& coedge) {
        const Record& edge = at(pointer(coedge.fields[3]), "edge");
        // start vertex [start param] end vertex [end param] coedge curve sense ...
        bool params = edge.fields.size() > 1 && !isPointer(edge.fields[1]);
        size_t end = params ? 2 : 1; // the end vertex
        size_t own = params ? 4 : 2; // the coedge, then the curve and the sense
        need(edge, own + 3);
        int v0 = pointer(edge.fields[0]), v1 = pointer(edge.fields[end]);
        const std::string& curveRef = edge.fields[own + 1];
        const std::string& sense = edge.fields[own + 2];
        bool edgeForward = sense != "reversed" && sense != "1";
        bool coedgeForward = coedge.fields[4] != "reversed" && coedge.fields[4] != "1";
        AcGePoint3d a = vertexPoint(v0), b = vertexPoint(v1);
        if (!coedgeForward) std::swap(a, b);
        bool alongCurve = edgeForward == coedgeForward;
        const Record& curve = mD.records.at(size_t(pointer(curveRef)));
        if (curve.type == "straight-curve") return ZelRegionEdge::line(inPlane(a), inPlane(b));
        if (curve.type != "ellipse-curve") throw Failure{"an edge on a " + curve.type};
        need(curve, 10);
        return arc(curve, a, b, v0 == v1, alongCurve);
    }

    ZelRegionEdge arc(const Record& curve, const AcGePoint3d& a, const AcGePoint3d& b, bool full,
                      bool alongCurve) {
        AcGePoint3d c = point3(curve.fields, 0);
        AcGeVector3d n = vector3(curve.fields, 3), major = vector3(curve.fields, 6);
        double ratio = real(curve.fields[9]);
        if (n.isZeroLength() || major.isZeroLength() || !(ratio > 0 && ratio <= 1 + tol::kParam))
            throw Failure{"an ellipse-curve of unusual shape"};
        AcGeVector3d minor = n.normal().crossProduct(major) * ratio;
        auto param = [&](const AcGePoint3d& p) {
            AcGeVector3d d = p - c;
            return std::atan2(d.dotProduct(minor) / minor.lengthSqrd(),
                              d.dotProduct(major) / major.lengthSqrd());
        };
        double t0 = param(a), t1 = param(b);
        double sweep = full ? geom::kTwoPi : geom::wrapAngle(t1 - t0, 0);
        if (sweep <= tol::kAngle) sweep = geom::kTwoPi;
        if (!alongCurve) {
            sweep = full ? geom::kTwoPi : geom::wrapAngle(t0 - t1, 0);
            if (sweep <= tol::kAngle) sweep = geom::kTwoPi;
            sweep = -sweep;
        }
        AcGeVector2d major2 = inPlane(major), minor2 = inPlane(minor);
        if (major2.crossProduct(minor2) < 0) t0 = -t0, sweep = -sweep; // seen from behind
        return ZelRegionEdge::ellipticArc(inPlane(c), major2, std::min(ratio, 1.0), t0, sweep);
    }

    const Document& mD;
    Planar mOut;
    bool mHasPlane = false;
};

} // namespace

std::vector<std::string> write(const Planar& region) {
    return Writer(region).lines();
}

std::optional<Planar> read(std::string_view text, std::string* why) {
    try {
        Document d = parse(text);
        return Reader(d).read();
    } catch (const Failure& f) {
        if (why) *why = f.why;
    } catch (const std::out_of_range&) {
        if (why) *why = "a record is cut short or a reference is out of range";
    }
    return std::nullopt;
}

std::wstring encodeLine(std::string_view line) {
    std::wstring out;
    out.reserve(line.size());
    for (char ch : line) {
        auto c = static_cast<unsigned char>(ch);
        wchar_t e = c > ' ' && c < 127 ? wchar_t(159 - c) : wchar_t(c);
        out += e;
        if (e == L'^') out += L' ';
    }
    return out;
}

std::string decodeLine(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        wchar_t c = text[i];
        if (c == L'^' && i + 1 < text.size() && text[i + 1] == L' ') ++i;
        out += c > L' ' && c < 127 ? char(159 - c) : char(c);
    }
    return out;
}

std::vector<ZelGroupValue> fileGroups(const std::vector<std::string>& lines) {
    std::vector<ZelGroupValue> out;
    for (const std::string& line : lines) {
        std::wstring text = encodeLine(line);
        int16_t code = 1;
        size_t at = 0;
        do {
            size_t n = std::min(kGroupChars, text.size() - at);
            // A caret and the space that escapes it stay in one group.
            if (at + n < text.size() && n > 1 && text[at + n - 1] == L'^') --n;
            out.push_back(ents::textGroup(code, text.substr(at, n)));
            code = 3;
            at += n;
        } while (at < text.size());
    }
    return out;
}

std::string textOfGroups(const std::vector<ZelGroupValue>& groups) {
    std::wstring line;
    std::string out;
    bool any = false;
    auto flush = [&] {
        if (any) out += decodeLine(line) + "\n";
        line.clear();
    };
    for (const ZelGroupValue& g : groups) {
        if (g.code == 1) {
            flush();
            any = true;
        }
        line += g.text;
    }
    flush();
    return out;
}

} // namespace zel::db::sat
