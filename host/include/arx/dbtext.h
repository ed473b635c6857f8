// Text: single-line TEXT, attribute definitions (ATTDEF) and attributes (ATTRIB), and MTEXT.
// Included by db.h.
#pragma once

#include "db.h"
#include "dbents.h"

#include <string>
#include <vector>

namespace zel::db {
template <class T> struct KindSchema;
}

namespace AcDb {
enum TextHorzMode {
    kTextLeft = 0,
    kTextCenter = 1,
    kTextRight = 2,
    kTextAlign = 3,
    kTextMid = 4,
    kTextFit = 5
};
enum TextVertMode { kTextBase = 0, kTextBottom = 1, kTextVertMid = 2, kTextTop = 3 };
// The fifteen justifications: a horizontal and a vertical mode together.
enum TextAlignment {
    kTextAlignmentLeft = 0,
    kTextAlignmentCenter = 1,
    kTextAlignmentRight = 2,
    kTextAlignmentAligned = 3,
    kTextAlignmentMiddle = 4,
    kTextAlignmentFit = 5,
    kTextAlignmentTopLeft = 6,
    kTextAlignmentTopCenter = 7,
    kTextAlignmentTopRight = 8,
    kTextAlignmentMiddleLeft = 9,
    kTextAlignmentMiddleCenter = 10,
    kTextAlignmentMiddleRight = 11,
    kTextAlignmentBottomLeft = 12,
    kTextAlignmentBottomCenter = 13,
    kTextAlignmentBottomRight = 14,
};
} // namespace AcDb

// TEXT. The position (10) is the start of the baseline; for every alignment but left/base the
// alignment point (11) is where the text is anchored and adjustAlignment computes the position.
// Geometry answers come from the host's proportional font model (see textBox).
class AcDbText : public AcDbEntity {
public:
    ZEL_DECLARE_KIND(AcDbText)
    AcDbText() = default;
    AcDbText(const AcGePoint3d& position, const ACHAR* text,
             AcDbObjectId style = AcDbObjectId::kNull, double height = 0, double rotation = 0);

    AcGePoint3d position() const; // world
    Acad::ErrorStatus setPosition(const AcGePoint3d& p);
    AcGePoint3d alignmentPoint() const; // world
    Acad::ErrorStatus setAlignmentPoint(const AcGePoint3d& p);
    bool isDefaultAlignment() const { return mHorizontal == 0 && mVertical == 0; }
    AcGeVector3d normal() const { return mNormal; }
    Acad::ErrorStatus setNormal(const AcGeVector3d& n);
    double thickness() const { return mThickness; }
    Acad::ErrorStatus setThickness(double t);
    double oblique() const { return mOblique; } // radians
    Acad::ErrorStatus setOblique(double angle);
    double rotation() const { return mRotation; } // radians
    Acad::ErrorStatus setRotation(double angle);
    double height() const { return mHeight; }
    Acad::ErrorStatus setHeight(double h); // eInvalidInput unless > 0
    double widthFactor() const { return mWidthFactor; }
    Acad::ErrorStatus setWidthFactor(double f);                   // eInvalidInput unless > 0
    bool isMirroredInX() const { return (mGeneration & 2) != 0; } // backwards
    Acad::ErrorStatus mirrorInX(bool on);
    bool isMirroredInY() const { return (mGeneration & 4) != 0; } // upside down
    Acad::ErrorStatus mirrorInY(bool on);
    AcDb::TextHorzMode horizontalMode() const { return AcDb::TextHorzMode(mHorizontal); }
    Acad::ErrorStatus setHorizontalMode(AcDb::TextHorzMode mode);
    AcDb::TextVertMode verticalMode() const { return AcDb::TextVertMode(mVertical); }
    Acad::ErrorStatus setVerticalMode(AcDb::TextVertMode mode);
    AcDb::TextAlignment justification() const;
    Acad::ErrorStatus setJustification(AcDb::TextAlignment alignment);

    // A copy of the text the caller frees with delete[] (as the C-style API has it).
    ACHAR* textString() const;
    const ACHAR* textStringConst() const { return mText.c_str(); }
    const std::wstring& textW() const { return mText; }
    Acad::ErrorStatus setTextString(const ACHAR* text);
    // The STYLE record by name in the entity's database (null when not in one or not found).
    AcDbObjectId textStyle() const;
    Acad::ErrorStatus setTextStyle(AcDbObjectId style);
    const ACHAR* textStyleName() const { return mStyle.c_str(); }
    Acad::ErrorStatus setTextStyleName(const ACHAR* name);

    // Moves the position so that the text stands at its alignment point (fit and aligned
    // texts take their width factor or height from the two points).
    Acad::ErrorStatus adjustAlignment(const AcDbDatabase* db = nullptr);
    // The four corners of the text box in world coordinates: bottom left, bottom right,
    // top right, top left (font model of the host).
    void boxCorners(AcGePoint3d corners[4]) const;

    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
    // Positions transform exactly; height and rotation follow the transformed text frame; a
    // mirror makes the text backwards (geometry kept; commands undo it when MIRRTEXT is 0).
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;

protected:
    template <class T> friend struct zel::db::KindSchema;
    // Takes every text property of another text (not the entity properties).
    void copyTextProperties(const AcDbText& other);
    double mThickness = 0;
    AcGePoint3d mPosition; // plane coordinates (OCS), as the file holds it
    double mHeight = 0;
    std::wstring mText;
    double mRotation = 0;
    double mWidthFactor = 1;
    double mOblique = 0;
    std::wstring mStyle = L"Standard";
    int16_t mGeneration = 0; // 2 backwards, 4 upside down
    int16_t mHorizontal = 0;
    int16_t mVertical = 0;
    AcGePoint3d mAlignmentPoint;     // plane coordinates
    bool mHasAlignmentPoint = false; // 11 given (kept for files that write it always)
    AcGeVector3d mNormal = AcGeVector3d::kZAxis;
};

// Data of the attribute subclass shared by ATTDEF and ATTRIB.
struct ZelAttributeData {
    std::wstring tag;
    int16_t flags = 0; // 1 invisible, 2 constant, 4 verify, 8 preset
    int16_t fieldLength = 0;
    int16_t version = 0;
    bool hasVersion = false; // 280 before the tag (files of 2010 and later)
    bool lockPosition = false;
    bool hasLock = false; // 280 after the flags
    // Groups from "101 Embedded Object" on (the MTEXT of multi-line attributes), kept as read.
    std::vector<ZelGroupValue> embedded;
    bool tagRead = false;    // while reading: the tag came (tells the two 280 groups apart)
    bool inEmbedded = false; // while reading: inside the embedded object
};

// ATTDEF: a text of a block definition that becomes an attribute of each reference.
class AcDbAttributeDefinition : public AcDbText {
public:
    ZEL_DECLARE_KIND(AcDbAttributeDefinition)
    AcDbAttributeDefinition() = default;
    AcDbAttributeDefinition(const AcGePoint3d& position, const ACHAR* text, const ACHAR* tag,
                            const ACHAR* prompt, AcDbObjectId style = AcDbObjectId::kNull);

    ACHAR* tag() const;    // copy freed with delete[]
    ACHAR* prompt() const; // copy freed with delete[]
    const ACHAR* tagConst() const { return mAttr.tag.c_str(); }
    const ACHAR* promptConst() const { return mPrompt.c_str(); }
    Acad::ErrorStatus setTag(const ACHAR* tag); // no spaces; eInvalidInput for an empty tag
    Acad::ErrorStatus setPrompt(const ACHAR* prompt);
    bool isInvisible() const { return (mAttr.flags & 1) != 0; }
    bool isConstant() const { return (mAttr.flags & 2) != 0; }
    bool isVerifiable() const { return (mAttr.flags & 4) != 0; }
    bool isPreset() const { return (mAttr.flags & 8) != 0; }
    Acad::ErrorStatus setInvisible(bool on);
    Acad::ErrorStatus setConstant(bool on);
    Acad::ErrorStatus setVerifiable(bool on);
    Acad::ErrorStatus setPreset(bool on);
    int16_t fieldLength() const { return mAttr.fieldLength; }
    Acad::ErrorStatus setFieldLength(int16_t n);
    bool lockPositionInBlock() const { return mAttr.lockPosition; }
    Acad::ErrorStatus setLockPositionInBlock(bool on);
    const ZelAttributeData& attributeData() const { return mAttr; }

private:
    template <class T> friend struct zel::db::KindSchema;
    std::wstring mPrompt;
    ZelAttributeData mAttr;
};

// ATTRIB: an attribute of a block reference (owned by the INSERT, ended by its SEQEND).
class AcDbAttribute : public AcDbText {
public:
    ZEL_DECLARE_KIND(AcDbAttribute)
    AcDbAttribute() = default;
    AcDbAttribute(const AcGePoint3d& position, const ACHAR* text, const ACHAR* tag,
                  AcDbObjectId style = AcDbObjectId::kNull);

    ACHAR* tag() const; // copy freed with delete[]
    const ACHAR* tagConst() const { return mAttr.tag.c_str(); }
    Acad::ErrorStatus setTag(const ACHAR* tag);
    bool isInvisible() const { return (mAttr.flags & 1) != 0; }
    bool isConstant() const { return (mAttr.flags & 2) != 0; }
    bool isVerifiable() const { return (mAttr.flags & 4) != 0; }
    bool isPreset() const { return (mAttr.flags & 8) != 0; }
    Acad::ErrorStatus setInvisible(bool on);
    int16_t fieldLength() const { return mAttr.fieldLength; }
    Acad::ErrorStatus setFieldLength(int16_t n);
    bool lockPositionInBlock() const { return mAttr.lockPosition; }
    // Takes the text properties, tag and flags of a definition placed by a block transform.
    Acad::ErrorStatus setAttributeFromBlock(const AcDbAttributeDefinition* def,
                                            const AcGeMatrix3d& blockTransform);
    const ZelAttributeData& attributeData() const { return mAttr; }

private:
    template <class T> friend struct zel::db::KindSchema;
    ZelAttributeData mAttr;
};

// MTEXT: paragraphs of formatted text in a box anchored at its location.
class AcDbMText : public AcDbEntity {
public:
    ZEL_DECLARE_KIND(AcDbMText)
    enum AttachmentPoint {
        kTopLeft = 1,
        kTopCenter = 2,
        kTopRight = 3,
        kMiddleLeft = 4,
        kMiddleCenter = 5,
        kMiddleRight = 6,
        kBottomLeft = 7,
        kBottomCenter = 8,
        kBottomRight = 9,
    };
    enum FlowDirection { kLtoR = 1, kRtoL = 2, kTtoB = 3, kBtoT = 4, kByStyle = 5 };

    AcGePoint3d location() const { return mLocation; }
    Acad::ErrorStatus setLocation(const AcGePoint3d& p);
    AcGeVector3d normal() const { return mNormal; }
    Acad::ErrorStatus setNormal(const AcGeVector3d& n);
    // The x axis of the text in world coordinates (from the rotation when none is stored).
    AcGeVector3d direction() const;
    Acad::ErrorStatus setDirection(const AcGeVector3d& dir);
    double rotation() const; // radians, about the normal from the plane's x axis
    Acad::ErrorStatus setRotation(double angle);
    double width() const { return mWidth; } // reference width (0: no wrapping)
    Acad::ErrorStatus setWidth(double w);
    double textHeight() const { return mHeight; }
    Acad::ErrorStatus setTextHeight(double h); // eInvalidInput unless > 0
    AttachmentPoint attachment() const { return AttachmentPoint(mAttachment); }
    Acad::ErrorStatus setAttachment(AttachmentPoint a);
    // Changes the attachment keeping the text where it is (moves the location).
    Acad::ErrorStatus setAttachmentMovingLocation(AttachmentPoint a);
    FlowDirection flowDirection() const { return FlowDirection(mFlow); }
    Acad::ErrorStatus setFlowDirection(FlowDirection d);
    int16_t lineSpacingStyle() const { return mLineSpacingStyle; }
    double lineSpacingFactor() const { return mLineSpacingFactor; }
    Acad::ErrorStatus setLineSpacingFactor(double f); // 0.25 .. 4
    AcDbObjectId textStyle() const;
    Acad::ErrorStatus setTextStyle(AcDbObjectId style);
    const ACHAR* textStyleName() const { return mStyle.c_str(); }
    Acad::ErrorStatus setTextStyleName(const ACHAR* name);

    // The contents with their inline format codes; a copy freed with delete[].
    ACHAR* contents() const;
    const std::wstring& contentsW() const { return mContents; }
    Acad::ErrorStatus setContents(const ACHAR* text);
    // The contents without format codes ("\P" becomes a line break); freed with delete[].
    ACHAR* text() const;
    std::wstring plainText() const;

    // Size of the text by the host's font model (lines of the plain text, wrapped at the
    // reference width when there is one).
    double actualWidth() const;
    double actualHeight() const;
    // The corners of the text box in world coordinates: top left, top right, bottom left,
    // bottom right.
    Acad::ErrorStatus getBoundingPoints(std::vector<AcGePoint3d>& points) const;

    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;

private:
    template <class T> friend struct zel::db::KindSchema;
    // Text frame: origin at the location, x along the direction, y up in the plane.
    void frame(AcGeVector3d& x, AcGeVector3d& y) const;
    AcGePoint3d mLocation;
    double mHeight = 2.5;
    double mWidth = 0;
    double mDefinedHeight = 0; // 46
    int16_t mAttachment = kTopLeft;
    int16_t mFlow = kLtoR;
    std::wstring mContents;
    std::wstring mPendingChunks; // while reading: the 3 groups before the 1 group
    std::wstring mStyle = L"Standard";
    AcGeVector3d mNormal = AcGeVector3d::kZAxis;
    AcGeVector3d mDirection; // 11, world; zero when the rotation gives the direction
    bool mHasDirection = false;
    double mRotation = 0; // 50
    bool mHasRotation = false;
    int16_t mLineSpacingStyle = 1;
    double mLineSpacingFactor = 1;
    // While reading: inside the column groups (75 on) or the embedded object (101 on), which
    // are kept as read.
    bool mReadingColumns = false;
    bool mReadingEmbedded = false;
};
