// MTEXT: formatted paragraphs in a box anchored at the location; sizes from the font model.
#include "arx/db.h"
#include "core/tolerance.h"
#include "db/ents/entcommon.h"
#include "db/ents/fontmodel.h"
#include "db/ents/kinds.h"

#include <cmath>

namespace ents = zel::db::ents;
namespace font = zel::db::font;

ZEL_DEFINE_MEMBERS(AcDbMText, AcDbEntity)

Acad::ErrorStatus AcDbMText::setLocation(const AcGePoint3d& p) {
    assertWriteEnabled();
    mLocation = p;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbMText::setNormal(const AcGeVector3d& n) {
    if (n.isZeroLength()) return Acad::eInvalidInput;
    assertWriteEnabled();
    mNormal = n.normal();
    return Acad::eOk;
}

AcGeVector3d AcDbMText::direction() const {
    if (!mDirection.isZeroLength()) return mDirection.normal();
    return ents::directionInPlane(mNormal, mRotation);
}

Acad::ErrorStatus AcDbMText::setDirection(const AcGeVector3d& dir) {
    if (dir.isZeroLength()) return Acad::eInvalidInput;
    assertWriteEnabled();
    mDirection = dir.normal();
    mRotation = 0;
    return Acad::eOk;
}

double AcDbMText::rotation() const {
    return ents::angleInPlane(mNormal, direction());
}

Acad::ErrorStatus AcDbMText::setRotation(double angle) {
    if (!std::isfinite(angle)) return Acad::eInvalidInput;
    assertWriteEnabled();
    mRotation = angle;
    mDirection = AcGeVector3d();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbMText::setWidth(double w) {
    if (!(w >= 0)) return Acad::eInvalidInput;
    assertWriteEnabled();
    mWidth = w;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbMText::setTextHeight(double h) {
    if (!(h > 0) || !std::isfinite(h)) return Acad::eInvalidInput;
    assertWriteEnabled();
    mHeight = h;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbMText::setAttachment(AttachmentPoint a) {
    if (a < kTopLeft || a > kBottomRight) return Acad::eInvalidInput;
    assertWriteEnabled();
    mAttachment = int16_t(a);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbMText::setAttachmentMovingLocation(AttachmentPoint a) {
    if (a < kTopLeft || a > kBottomRight) return Acad::eInvalidInput;
    std::vector<AcGePoint3d> before;
    getBoundingPoints(before);
    assertWriteEnabled();
    mAttachment = int16_t(a);
    std::vector<AcGePoint3d> after;
    getBoundingPoints(after);
    mLocation += before[0] - after[0]; // the top left corner stays where it was
    return Acad::eOk;
}

Acad::ErrorStatus AcDbMText::setFlowDirection(FlowDirection d) {
    if (d < kLtoR || d > kByStyle) return Acad::eInvalidInput;
    assertWriteEnabled();
    mFlow = int16_t(d);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbMText::setLineSpacingFactor(double f) {
    // The range the line spacing factor of multi-line text may take.
    constexpr double kMinSpacing = 0.25, kMaxSpacing = 4.0;
    if (!(f >= kMinSpacing && f <= kMaxSpacing)) return Acad::eInvalidInput;
    assertWriteEnabled();
    mLineSpacingFactor = f;
    return Acad::eOk;
}

AcDbObjectId AcDbMText::textStyle() const {
    return ents::textStyleByName(database(), mStyle);
}

Acad::ErrorStatus AcDbMText::setTextStyle(AcDbObjectId style) {
    std::wstring name = ents::recordName(style);
    if (name.empty()) return Acad::eInvalidInput;
    assertWriteEnabled();
    mStyle = name;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbMText::setTextStyleName(const ACHAR* name) {
    if (!name || !*name) return Acad::eInvalidInput;
    assertWriteEnabled();
    mStyle = name;
    return Acad::eOk;
}

ACHAR* AcDbMText::contents() const {
    return ents::copyText(mContents);
}

Acad::ErrorStatus AcDbMText::setContents(const ACHAR* text) {
    if (!text) return Acad::eInvalidInput;
    assertWriteEnabled();
    mContents = text;
    return Acad::eOk;
}

ACHAR* AcDbMText::text() const {
    return ents::copyText(plainText());
}

std::wstring AcDbMText::plainText() const {
    return font::plainMText(mContents);
}

// ---- geometry -----------------------------------------------------------------------------

namespace {

std::vector<std::wstring> linesOf(const AcDbMText& m) {
    return font::wrapLines(m.plainText(), m.width() / m.textHeight());
}

} // namespace

double AcDbMText::actualWidth() const {
    double widest = 0;
    for (const std::wstring& line : linesOf(*this))
        widest = std::max(widest, font::textWidth(line));
    return widest * mHeight;
}

double AcDbMText::actualHeight() const {
    size_t n = linesOf(*this).size();
    return mHeight + double(n - 1) * mHeight * font::kLineSpacing * mLineSpacingFactor;
}

void AcDbMText::frame(AcGeVector3d& x, AcGeVector3d& y) const {
    x = direction();
    y = mNormal.normal().crossProduct(x).normal();
}

Acad::ErrorStatus AcDbMText::getBoundingPoints(std::vector<AcGePoint3d>& points) const {
    AcGeVector3d x, y;
    frame(x, y);
    double w = actualWidth(), h = actualHeight();
    int column = (mAttachment - 1) % 3, row = (mAttachment - 1) / 3;
    AcGePoint3d topLeft = mLocation - x * (column * w / 2) + y * (row * h / 2);
    points = {topLeft, topLeft + x * w, topLeft - y * h, topLeft - y * h + x * w};
    return Acad::eOk;
}

Acad::ErrorStatus AcDbMText::getGeomExtents(AcDbExtents& extents) const {
    std::vector<AcGePoint3d> corners;
    getBoundingPoints(corners);
    extents = AcDbExtents();
    for (const AcGePoint3d& p : corners)
        extents.addPoint(p);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbMText::transformBy(const AcGeMatrix3d& xform) {
    ents::PlanarTransform t = ents::planarTransform(xform, mNormal);
    if (!t.uniform) return Acad::eCannotScaleNonUniformly;
    AcGeVector3d dir = xform * direction();
    assertWriteEnabled();
    mLocation = xform * mLocation;
    mNormal = t.normal;
    // The text stays readable: its direction follows the transform, its up side the normal.
    mDirection = dir.normal();
    mRotation = 0;
    mHeight *= t.scale;
    mWidth *= t.scale;
    mDefinedHeight *= t.scale;
    return Acad::eOk;
}

// ---- schema --------------------------------------------------------------------------------

namespace zel::db {

template <> struct KindSchema<AcDbMText> {
    static constexpr int kSubclass = 1; // AcDbEntity, then AcDbMText
    // Text of a 3 group: the contents are written in chunks of this many characters.
    static constexpr size_t kChunk = 250;

    static AcDbMText& self(AcDbObject& o) { return static_cast<AcDbMText&>(o); }

    static bool isColumnCode(int16_t code) {
        return code == 75 || code == 76 || code == 78 || code == 79 || code == 48 || code == 49 ||
               code == 50;
    }

    static bool read(AcDbObject& o, const ZelGroupValue& v) {
        AcDbMText& m = self(o);
        if (m.mReadingEmbedded || v.code == 101) {
            m.mReadingEmbedded = true;
            o.unknownGroups().push_back({kSubclass, v});
            return true;
        }
        if (v.code == 75) m.mReadingColumns = true;
        if (m.mReadingColumns && isColumnCode(v.code)) {
            o.unknownGroups().push_back({kSubclass, v});
            return true;
        }
        m.mReadingColumns = false;
        if (v.code == 3) {
            m.mPendingChunks += v.text;
            return true;
        }
        if (v.code == 1) {
            m.mContents.clear();
            m.mContents.reserve(m.mPendingChunks.size() + v.text.size());
            m.mContents.append(m.mPendingChunks).append(v.text);
            std::wstring().swap(m.mPendingChunks); // its room goes too
            return true;
        }
        return false;
    }

    static void write(const AcDbObject& o, const GroupSink& sink) {
        const AcDbMText& m = static_cast<const AcDbMText&>(o);
        const std::wstring& text = m.mContents;
        size_t at = 0;
        while (text.size() - at > kChunk) {
            sink(ents::textGroup(3, text.substr(at, kChunk)));
            at += kChunk;
        }
        sink(ents::textGroup(1, text.substr(at)));
    }

    static void finish(AcDbObject& o) {
        AcDbMText& m = self(o);
        if (!m.mPendingChunks.empty()) m.mContents = m.mPendingChunks; // 3 groups without a 1
        std::wstring().swap(m.mPendingChunks);
        m.mReadingColumns = m.mReadingEmbedded = false;
    }

    static bool validAttachment(const ZelGroupValue& v) { return v.integer >= 1 && v.integer <= 9; }
    static bool validFlow(const ZelGroupValue& v) { return v.integer >= 1 && v.integer <= 5; }

    static const ObjectSchema& get() {
        using M = AcDbMText;
        static const ObjectSchema s{
            "MTEXT", true,
            ents::entitySubclasses(
                {{"AcDbMText",
                  {{10, FieldKind::Point3, ZEL_FIELD(M, mLocation)},
                   {40, FieldKind::Real, ZEL_FIELD(M, mHeight), kAlways, 0, L"", validPositive},
                   {41, FieldKind::Real, ZEL_FIELD(M, mWidth), kAlways, 0, L"", validNonNegative},
                   {46, FieldKind::Real, ZEL_FIELD(M, mDefinedHeight), kSkipDefault},
                   {71, FieldKind::Int16, ZEL_FIELD(M, mAttachment), kAlways, 0, L"",
                    validAttachment},
                   {72, FieldKind::Int16, ZEL_FIELD(M, mFlow), kAlways, 0, L"", validFlow},
                   {7, FieldKind::String, ZEL_FIELD(M, mStyle), kSkipDefault, 0, L"Standard",
                    validName},
                   {210, FieldKind::Vector3, ZEL_FIELD(M, mNormal), kSkipDefault, 1.0, L"",
                    validNonZeroVector},
                   {11, FieldKind::Vector3, ZEL_FIELD(M, mDirection), kSkipDefault},
                   {50, FieldKind::Angle, ZEL_FIELD(M, mRotation), kSkipDefault},
                   {73, FieldKind::Int16, ZEL_FIELD(M, mLineSpacingStyle)},
                   {44, FieldKind::Real, ZEL_FIELD(M, mLineSpacingFactor), kAlways, 0, L"",
                    validPositive}},
                  {read, write, finish, nullptr}}}),
            createKind<AcDbMText>};
        return s;
    }
};

} // namespace zel::db

const zel::db::ObjectSchema& AcDbMText::kindSchema() {
    return zel::db::KindSchema<AcDbMText>::get();
}

namespace zel::db::ents {
const ObjectSchema& mtextSchema() {
    return KindSchema<AcDbMText>::get();
}
} // namespace zel::db::ents
