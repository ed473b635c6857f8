// Texts of LISP errors.
#include "lisp/error.h"

namespace zel::lisp {

LispError::LispError(ErrorKind kind, std::wstring message)
    : std::runtime_error("LISP error"), mKind(kind), mMessage(std::move(message)) {}

std::wstring errorText(ErrorKind kind) {
    switch (kind) {
    case ErrorKind::None:
        return L"";
    case ErrorKind::BadArgumentType:
        return L"引数のタイプが違います";
    case ErrorKind::BadArgumentValue:
        return L"引数の値が正しくありません";
    case ErrorKind::TooFewArguments:
        return L"引数が足りません";
    case ErrorKind::TooManyArguments:
        return L"引数が多すぎます";
    case ErrorKind::NoFunction:
        return L"関数が定義されていません";
    case ErrorKind::BadFunction:
        return L"関数ではありません";
    case ErrorKind::DivideByZero:
        return L"0 で割ろうとしました";
    case ErrorKind::Undefined:
        return L"この引数では関数の値が定義されません";
    case ErrorKind::Syntax:
        return L"式の書き方が正しくありません";
    case ErrorKind::Incomplete:
        return L"式が閉じていません";
    case ErrorKind::StackOverflow:
        return L"LISP のスタックがあふれました (入れ子または再帰が深すぎます)";
    case ErrorKind::StepLimit:
        return L"評価が長すぎるので中止しました";
    case ErrorKind::Cancelled:
        return L"関数はキャンセルされました";
    case ErrorKind::Quit:
        return L"quit / exit abort"; // LISP programs compare this text in their *error*
    case ErrorKind::NotAvailable:
        return L"この関数はこのホストでは使えません (not available)";
    case ErrorKind::HostRejected:
        return L"ホストが要求を受け付けませんでした";
    case ErrorKind::External:
        return L"外部関数がエラーを返しました";
    case ErrorKind::Protected:
        return L"保護されたシンボルには代入できません";
    case ErrorKind::File:
        return L"ファイルを使えません";
    case ErrorKind::OutOfMemory:
        return L"メモリーが足りません";
    }
    return L"";
}

std::wstring errorLine(const std::wstring& message) {
    return L"; エラー: " + message;
}

void throwError(ErrorKind kind, const std::wstring& detail) {
    std::wstring text = errorText(kind);
    if (!detail.empty()) text += L": " + detail;
    throw LispError(kind, std::move(text));
}

} // namespace zel::lisp
