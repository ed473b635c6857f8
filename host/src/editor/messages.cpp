#include "editor/messages.h"

namespace zel::editor {

std::wstring_view text(Msg m) {
    switch (m) {
    case Msg::InvalidPoint:
        return L"点が無効です。";
    case Msg::PointRequired:
        return L"点が必要です。";
    case Msg::PointOrKeyword:
        return L"点または オプション キーワードが必要です。";
    case Msg::DistanceOrPoint:
        return L"数値の距離または 2 点目が必要です。";
    case Msg::DistanceOrTwoPoints:
        return L"数値の距離または 2 点が必要です。";
    case Msg::AngleOrPoint:
        return L"数値の角度または 2 点目が必要です。";
    case Msg::AngleOrTwoPoints:
        return L"数値の角度または 2 点が必要です。";
    case Msg::IntegerRequired:
        return L"整数値が必要です。";
    case Msg::IntegerRange:
        return L"-32768 から 32767 までの整数が必要です。";
    case Msg::RealRequired:
        return L"数値が必要です。";
    case Msg::NonZero:
        return L"値は 0 以外でなければなりません。";
    case Msg::Positive:
        return L"値は正でなければなりません。";
    case Msg::PositiveNonZero:
        return L"値は 0 より大きくなければなりません。";
    case Msg::InvalidKeyword:
        return L"オプション キーワードが無効です。";
    case Msg::Ambiguous:
        return L"あいまいな応答です。もう一度入力してください。";
    case Msg::OutsideLimits:
        return L"**図面範囲外です";
    case Msg::SecondPoint:
        return L"2 点目を指定 :";
    case Msg::Cancel:
        return L"*キャンセル*";
    }
    return L"";
}

} // namespace zel::editor
