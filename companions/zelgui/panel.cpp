#include "companions/zelgui/panel.h"

namespace zelgui {

namespace {

std::wstring number(size_t n) {
    return std::to_wstring(n);
}

} // namespace

bool TextPanelActions::waiting() {
    return mLink.setting(kNotifyKey) == L"1";
}

PanelOutcome TextPanelActions::post(PanelCode code, const std::wstring& arg1,
                                    const std::wstring& arg2) {
    Field* text = mBar.panelField();
    mLink.setSetting(kTextKey, text ? text->text : std::wstring());
    mLink.setSetting(kArg1Key, arg1);
    mLink.setSetting(kArg2Key, arg2);
    mLink.setSetting(kCmdKey, std::to_wstring(code)); // last: the command reads it first
    mLink.post(L"\n");
    return PanelOutcome::Posted;
}

PanelOutcome TextPanelActions::call(int item, const std::wstring& text) {
    return mBar.tellText(item, text) == Outcome::Delivered ? PanelOutcome::Called
                                                           : PanelOutcome::TextOnly;
}

PanelOutcome TextPanelActions::type(const std::wstring& text) {
    if (!mBar.panelField()) return PanelOutcome::NoPanel;
    if (!mBar.panelTyping()) return PanelOutcome::NotTyping;
    Field& field = *mBar.panelField();
    field.replaceSelection(text);
    if (waiting()) return post(kPanelTyped, number(field.caret()));
    return call(mBar.page()->panel->item, field.text);
}

PanelOutcome TextPanelActions::enter() {
    if (!mBar.panelField()) return PanelOutcome::NoPanel;
    if (!mBar.panelTyping()) return PanelOutcome::NotTyping;
    const Field& field = *mBar.panelField();
    if (int item = mBar.page()->panel->enterItem) return call(item, field.text);
    if (waiting()) return post(kPanelEnter, number(field.caret()));
    return PanelOutcome::NotWaiting;
}

std::optional<PanelOutcome> TextPanelActions::refuseLine(int list, int index, Combo*& combo) {
    if (!mBar.panelField()) return PanelOutcome::NoPanel;
    auto found = mBar.page()->combos.find(std::to_wstring(list));
    if (found == mBar.page()->combos.end()) return PanelOutcome::NoList;
    combo = &found->second;
    if (!combo->enabled || !combo->shown) return PanelOutcome::ListOff;
    if (index < 0 || size_t(index) >= combo->items.size()) return PanelOutcome::NoLine;
    return std::nullopt;
}

PanelOutcome TextPanelActions::choose(int list, int index, bool insert) {
    Combo* combo = nullptr;
    if (std::optional<PanelOutcome> no = refuseLine(list, index, combo)) return *no;
    if (insert && !combo->history) return PanelOutcome::NotHistory;
    std::wstring chosen = combo->items[size_t(index)];
    combo->selected = index;
    int item = combo->item ? combo->item : list;
    if (!combo->history) {
        combo->text = chosen;
        auto own = mBar.page()->fields.find(std::to_wstring(item));
        if (own != mBar.page()->fields.end()) own->second.text = chosen;
        return call(item, chosen);
    }
    if (waiting())
        return post(insert ? kPanelInsertLine : kPanelChooseLine, chosen, number(size_t(index)));
    return call(item, chosen);
}

PanelOutcome TextPanelActions::remove(int list, int index) {
    Combo* combo = nullptr;
    if (std::optional<PanelOutcome> no = refuseLine(list, index, combo)) return *no;
    if (!combo->history) return PanelOutcome::NotHistory;
    if (!waiting()) return PanelOutcome::NotWaiting;
    return post(kPanelDeleteLine, combo->items[size_t(index)], number(size_t(index)));
}

PanelOutcome TextPanelActions::add() {
    if (!mBar.panelField()) return PanelOutcome::NoPanel;
    if (!waiting()) return PanelOutcome::NotWaiting;
    return post(kPanelAddLine, L"");
}

PanelOutcome TextPanelActions::esc() {
    if (!mBar.panelField()) return PanelOutcome::NoPanel;
    if (!waiting()) return PanelOutcome::NotWaiting;
    return post(kPanelCancel, L"");
}

} // namespace zelgui
