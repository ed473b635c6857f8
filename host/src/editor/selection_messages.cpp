#include "editor/selection_messages.h"

namespace zel::editor {

std::wstring_view text(SelMsg m) {
    switch (m) {
    case SelMsg::Prompt:
        return L"オブジェクトを選択:";
    case SelMsg::RemovePrompt:
        return L"オブジェクトを除外:";
    case SelMsg::OtherCorner:
        return L"もう一方のコーナーを指定:";
    case SelMsg::FirstCorner:
        return L"1 つ目のコーナーを指定:";
    case SelMsg::FirstFence:
        return L"1 点目のフェンス点を指定:";
    case SelMsg::NextFence:
        return L"次のフェンス点を指定 または [元に戻す(U)]:";
    case SelMsg::FirstPolygon:
        return L"1 点目のポリゴン点を指定:";
    case SelMsg::NextPolygon:
        return L"次のポリゴン点を指定 または [元に戻す(U)]:";
    case SelMsg::NothingFound:
        return L"オブジェクトが見つかりません。";
    case SelMsg::NoPrevious:
        return L"前回の選択セットがありません。";
    case SelMsg::NoLast:
        return L"図面にオブジェクトがありません。";
    case SelMsg::Invalid:
        return L"*無効な選択です*";
    case SelMsg::InvalidHelp:
        return L"点 または Window/Last/Crossing/ALL/Fence/WPolygon/CPolygon/Add/Remove/"
               L"Previous/Undo が必要です";
    case SelMsg::NothingToUndo:
        return L"元に戻す選択がありません。";
    case SelMsg::PolygonTooFew:
        return L"ポリゴンには 3 点以上が必要です。";
    case SelMsg::SelectEntity:
        return L"オブジェクトを選択:";
    }
    return L"";
}

std::wstring foundText(size_t found, size_t duplicates, size_t total, bool removing, bool first) {
    std::wstring t = std::to_wstring(found) + (removing ? L" 個を除外" : L" 個を検出");
    if (duplicates > 0) t += L" (" + std::to_wstring(duplicates) + L" 個重複)";
    if (!first || removing) t += L"、合計 " + std::to_wstring(total) + L" 個";
    return t;
}

std::wstring lockedText(size_t count) {
    return std::to_wstring(count) + L" 個はロックされた画層上にあります。";
}

std::wstring filteredText(size_t count) {
    return std::to_wstring(count) + L" 個がフィルタで除外されました。";
}

} // namespace zel::editor
