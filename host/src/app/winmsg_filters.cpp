#include "app/winmsg_filters.h"

#include "app/session.h"

#include <algorithm>

namespace zel::app {

bool WinMsgFilters::add(AcedFilterWinMsgFn fn, const void* owner) {
    if (!fn) return false;
    auto same = [fn](const Entry& e) { return e.fn == fn; };
    if (std::any_of(mFilters.begin(), mFilters.end(), same)) return false;
    mFilters.push_back({fn, owner});
    return true;
}

bool WinMsgFilters::remove(AcedFilterWinMsgFn fn) {
    auto same = [fn](const Entry& e) { return e.fn == fn; };
    auto it = std::find_if(mFilters.begin(), mFilters.end(), same);
    if (it == mFilters.end()) return false;
    mFilters.erase(it);
    return true;
}

void WinMsgFilters::dropOwnedBy(const void* owner) {
    std::erase_if(mFilters, [owner](const Entry& e) { return e.owner == owner; });
}

bool WinMsgFilters::deliver(const editor::Event& e) {
    if (e.kind != editor::EventKind::Key || mFilters.empty()) return false;
    MSG msg{nullptr, WM_CHAR, static_cast<WPARAM>(e.code), 0, 0};
    // A filter may register or remove filters: offer the key to those registered now.
    std::vector<Entry> filters = mFilters;
    for (const Entry& f : filters)
        if (f.fn(&msg)) return true;
    return false;
}

} // namespace zel::app

bool acedRegisterFilterWinMsg(const AcedFilterWinMsgFn pfn) {
    zel::app::Session* s = zel::app::currentSession();
    if (!s) return false;
    return s->winMsgFilters().add(pfn, s->modules().current());
}

bool acedRemoveFilterWinMsg(const AcedFilterWinMsgFn pfn) {
    zel::app::Session* s = zel::app::currentSession();
    if (!s) return false;
    return s->winMsgFilters().remove(pfn);
}
