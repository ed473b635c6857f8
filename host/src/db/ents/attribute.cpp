// ATTDEF and ATTRIB: texts with a tag; the attribute subclass is read by position (its two
// 280 groups mean the version before the tag and the locked position after the flags) and
// keeps the embedded MTEXT of newer files as read.
#include "arx/db.h"
#include "db/ents/entcommon.h"
#include "db/ents/kinds.h"
#include "db/ents/textfields.h"

#include <cwctype>

namespace ents = zel::db::ents;

ZEL_DEFINE_MEMBERS(AcDbAttributeDefinition, AcDbText)
ZEL_DEFINE_MEMBERS(AcDbAttribute, AcDbText)

namespace {

bool validTag(const ACHAR* tag) {
    if (!tag || !*tag) return false;
    for (const ACHAR* c = tag; *c; ++c)
        if (std::iswspace(*c)) return false;
    return true;
}

Acad::ErrorStatus setFlag(AcDbObject& o, int16_t& flags, int16_t bit, bool on) {
    o.assertWriteEnabled();
    flags = int16_t(on ? (flags | bit) : (flags & ~bit));
    return Acad::eOk;
}

} // namespace

// ---- ATTDEF ----------------------------------------------------------------------------------

AcDbAttributeDefinition::AcDbAttributeDefinition(const AcGePoint3d& position, const ACHAR* text,
                                                 const ACHAR* tag, const ACHAR* prompt,
                                                 AcDbObjectId style)
    : AcDbText(position, text, style), mPrompt(prompt ? prompt : L"") {
    mAttr.tag = tag ? tag : L"";
}

ACHAR* AcDbAttributeDefinition::tag() const {
    return ents::copyText(mAttr.tag);
}
ACHAR* AcDbAttributeDefinition::prompt() const {
    return ents::copyText(mPrompt);
}

Acad::ErrorStatus AcDbAttributeDefinition::setTag(const ACHAR* tag) {
    if (!validTag(tag)) return Acad::eInvalidInput;
    assertWriteEnabled();
    mAttr.tag = tag;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbAttributeDefinition::setPrompt(const ACHAR* prompt) {
    if (!prompt) return Acad::eInvalidInput;
    assertWriteEnabled();
    mPrompt = prompt;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbAttributeDefinition::setInvisible(bool on) {
    return setFlag(*this, mAttr.flags, 1, on);
}
Acad::ErrorStatus AcDbAttributeDefinition::setConstant(bool on) {
    return setFlag(*this, mAttr.flags, 2, on);
}
Acad::ErrorStatus AcDbAttributeDefinition::setVerifiable(bool on) {
    return setFlag(*this, mAttr.flags, 4, on);
}
Acad::ErrorStatus AcDbAttributeDefinition::setPreset(bool on) {
    return setFlag(*this, mAttr.flags, 8, on);
}

Acad::ErrorStatus AcDbAttributeDefinition::setFieldLength(int16_t n) {
    if (n < 0) return Acad::eInvalidInput;
    assertWriteEnabled();
    mAttr.fieldLength = n;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbAttributeDefinition::setLockPositionInBlock(bool on) {
    assertWriteEnabled();
    mAttr.lockPosition = on;
    return Acad::eOk;
}

// ---- ATTRIB ----------------------------------------------------------------------------------

AcDbAttribute::AcDbAttribute(const AcGePoint3d& position, const ACHAR* text, const ACHAR* tag,
                             AcDbObjectId style)
    : AcDbText(position, text, style) {
    mAttr.tag = tag ? tag : L"";
}

ACHAR* AcDbAttribute::tag() const {
    return ents::copyText(mAttr.tag);
}

Acad::ErrorStatus AcDbAttribute::setTag(const ACHAR* tag) {
    if (!validTag(tag)) return Acad::eInvalidInput;
    assertWriteEnabled();
    mAttr.tag = tag;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbAttribute::setInvisible(bool on) {
    return setFlag(*this, mAttr.flags, 1, on);
}

Acad::ErrorStatus AcDbAttribute::setFieldLength(int16_t n) {
    if (n < 0) return Acad::eInvalidInput;
    assertWriteEnabled();
    mAttr.fieldLength = n;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbAttribute::setAttributeFromBlock(const AcDbAttributeDefinition* def,
                                                       const AcGeMatrix3d& blockTransform) {
    if (!def) return Acad::eNullEntityPointer;
    assertWriteEnabled();
    // The text part of the definition, placed by the block transform.
    copyTextProperties(*def);
    setPropertiesFrom(*def);
    mAttr = def->attributeData();
    mAttr.embedded.clear();
    mAttr.flags = int16_t(mAttr.flags & ~2); // an attribute of a reference is not constant
    return AcDbText::transformBy(blockTransform);
}

// ---- schema --------------------------------------------------------------------------------

namespace zel::db {

// Reads and writes the attribute subclass; Def tells ATTDEF (with its prompt) from ATTRIB.
template <class Kind, bool Def> struct AttributeCodec {
    static constexpr int kSubclass = 2; // AcDbEntity, AcDbText, then this one

    static bool read(AcDbObject& o, const ZelGroupValue& v, ZelAttributeData& a,
                     std::wstring* prompt, int16_t& vertical) {
        if (a.inEmbedded || v.code == 101) {
            a.inEmbedded = true;
            o.unknownGroups().push_back({kSubclass, v});
            return true;
        }
        switch (v.code) {
        case 280:
            if (!a.tagRead) {
                a.version = int16_t(v.integer);
                a.hasVersion = true;
            } else {
                a.lockPosition = v.integer != 0;
                a.hasLock = true;
            }
            return true;
        case 2:
            a.tag = v.text;
            a.tagRead = true;
            return true;
        case 3:
            if (!prompt) return false;
            *prompt = v.text;
            return true;
        case 70:
            a.flags = int16_t(v.integer);
            return true;
        case 73:
            a.fieldLength = int16_t(v.integer);
            return true;
        case 74:
            vertical = int16_t(v.integer);
            return true;
        default:
            return false;
        }
    }

    static void write(const ZelAttributeData& a, const std::wstring* prompt, int16_t vertical,
                      const GroupSink& sink) {
        if (a.hasVersion) sink(ents::intGroup(280, a.version));
        if (prompt) sink(ents::textGroup(3, *prompt));
        sink(ents::textGroup(2, a.tag));
        sink(ents::intGroup(70, a.flags));
        if (a.fieldLength != 0) sink(ents::intGroup(73, a.fieldLength));
        if (vertical != 0) sink(ents::intGroup(74, vertical));
        if (a.hasLock || a.lockPosition) sink(ents::intGroup(280, a.lockPosition ? 1 : 0));
    }
};

template <> struct KindSchema<AcDbAttributeDefinition> {
    using C = AttributeCodec<AcDbAttributeDefinition, true>;
    static bool read(AcDbObject& o, const ZelGroupValue& v) {
        auto& d = static_cast<AcDbAttributeDefinition&>(o);
        return C::read(o, v, d.mAttr, &d.mPrompt, d.mVertical);
    }
    static void write(const AcDbObject& o, const GroupSink& sink) {
        const auto& d = static_cast<const AcDbAttributeDefinition&>(o);
        C::write(d.mAttr, &d.mPrompt, d.mVertical, sink);
    }
    static void finish(AcDbObject& o) {
        auto& d = static_cast<AcDbAttributeDefinition&>(o);
        d.mAttr.tagRead = d.mAttr.inEmbedded = false;
    }
    static const ObjectSchema& get() {
        static const ObjectSchema s{
            "ATTDEF", true,
            ents::entitySubclasses(
                {KindSchema<AcDbText>::textSubclass(),
                 {"AcDbAttributeDefinition", {}, {read, write, finish, nullptr}}}),
            createKind<AcDbAttributeDefinition>};
        return s;
    }
};

template <> struct KindSchema<AcDbAttribute> {
    using C = AttributeCodec<AcDbAttribute, false>;
    static bool read(AcDbObject& o, const ZelGroupValue& v) {
        auto& a = static_cast<AcDbAttribute&>(o);
        return C::read(o, v, a.mAttr, nullptr, a.mVertical);
    }
    static void write(const AcDbObject& o, const GroupSink& sink) {
        const auto& a = static_cast<const AcDbAttribute&>(o);
        C::write(a.mAttr, nullptr, a.mVertical, sink);
    }
    static void finish(AcDbObject& o) {
        auto& a = static_cast<AcDbAttribute&>(o);
        a.mAttr.tagRead = a.mAttr.inEmbedded = false;
    }
    static const ObjectSchema& get() {
        static const ObjectSchema s{
            "ATTRIB", true,
            ents::entitySubclasses({KindSchema<AcDbText>::textSubclass(),
                                    {"AcDbAttribute", {}, {read, write, finish, nullptr}}}),
            createKind<AcDbAttribute>};
        return s;
    }
};

} // namespace zel::db

const zel::db::ObjectSchema& AcDbAttributeDefinition::kindSchema() {
    return zel::db::KindSchema<AcDbAttributeDefinition>::get();
}

const zel::db::ObjectSchema& AcDbAttribute::kindSchema() {
    return zel::db::KindSchema<AcDbAttribute>::get();
}

namespace zel::db::ents {
const ObjectSchema& attributeDefinitionSchema() {
    return KindSchema<AcDbAttributeDefinition>::get();
}
const ObjectSchema& attributeSchema() {
    return KindSchema<AcDbAttribute>::get();
}
} // namespace zel::db::ents
