// The value type of each DXF group code (the same for files and entity data lists).
#pragma once

namespace zel::core {

enum class GroupType {
    String,   // text, names
    Real,     // floating point
    PointX,   // first coordinate of a point (x; y and z follow at code+10, code+20)
    Int16,
    Int32,
    Int64,
    Bool,     // 290..299, written as 0/1
    Handle,   // hexadecimal handle text (5, 105, 320..369, 390..399, 480, 1005)
    Binary,   // hexadecimal chunk (310..319, 1004)
};

constexpr GroupType groupType(int code) {
    if (code >= 10 && code <= 18) return GroupType::PointX;
    if (code >= 110 && code <= 112) return GroupType::PointX;
    if (code == 210) return GroupType::PointX;
    if (code >= 1010 && code <= 1013) return GroupType::PointX;
    if (code == 5 || code == 105) return GroupType::Handle;
    if (code >= 320 && code <= 369) return GroupType::Handle;
    if (code >= 390 && code <= 399) return GroupType::Handle;
    if (code == 480 || code == 481 || code == 1005) return GroupType::Handle;
    if ((code >= 310 && code <= 319) || code == 1004) return GroupType::Binary;
    if (code >= 290 && code <= 299) return GroupType::Bool;
    if ((code >= 10 && code <= 59) || (code >= 110 && code <= 149) ||
        (code >= 210 && code <= 239) || (code >= 460 && code <= 469) ||
        (code >= 1010 && code <= 1059))
        return GroupType::Real;
    if ((code >= 60 && code <= 79) || (code >= 170 && code <= 179) ||
        (code >= 270 && code <= 289) || (code >= 370 && code <= 389) ||
        (code >= 400 && code <= 409) || (code >= 1060 && code <= 1070))
        return GroupType::Int16;
    if ((code >= 90 && code <= 99) || (code >= 420 && code <= 429) ||
        (code >= 440 && code <= 449) || code == 1071)
        return GroupType::Int32;
    if (code >= 160 && code <= 169) return GroupType::Int64;
    return GroupType::String; // 0..9, 100..102, 300..309, 410..419, 430..439, 470..479, 999, 1000..1009
}

// Y and Z of a point follow at these codes; R12 files may leave out Z.
constexpr bool isPointY(int code, int xCode) { return code == xCode + 10; }
constexpr bool isPointZ(int code, int xCode) { return code == xCode + 20; }

} // namespace zel::core
