#include "app/bar_events.h"

#include "app/session.h"

#include <optional>

namespace zel::app {

namespace {

std::optional<ZelBarEventKind> barKind(editor::EventKind kind) {
    using editor::EventKind;
    switch (kind) {
    case EventKind::BarText:
        return kZelBarText;
    case EventKind::BarTile:
        return kZelBarTile;
    case EventKind::PanelType:
        return kZelPanelType;
    case EventKind::PanelEnter:
        return kZelPanelEnter;
    case EventKind::PanelPick:
        return kZelPanelPick;
    case EventKind::PanelInsert:
        return kZelPanelInsert;
    case EventKind::PanelDelete:
        return kZelPanelDelete;
    case EventKind::PanelAdd:
        return kZelPanelAdd;
    case EventKind::PanelEsc:
        return kZelPanelEsc;
    case EventKind::Text:
    case EventKind::Enter:
    case EventKind::Click:
    case EventKind::Move:
    case EventKind::Esc:
    case EventKind::RightClick:
    case EventKind::Key:
    case EventKind::Chars:
    case EventKind::CtrlC:
    case EventKind::DialogCheck:
    case EventKind::DialogText:
    case EventKind::DialogSelect:
    case EventKind::DialogPress:
    case EventKind::MsgBox:
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace

ZelBarEventHandler BarEvents::install(ZelBarEventHandler handler, const void* owner) {
    ZelBarEventHandler previous = mHandler;
    mHandler = handler;
    mOwner = handler ? owner : nullptr;
    return previous;
}

void BarEvents::dropOwnedBy(const void* owner) {
    if (mHandler && mOwner == owner) install(nullptr, nullptr);
}

bool BarEvents::deliver(const editor::Event& e) {
    std::optional<ZelBarEventKind> kind = barKind(e.kind);
    if (!kind || !mHandler) return false;
    ZelBarEvent event{*kind, e.id, e.text.c_str(), e.code};
    return mHandler(&event);
}

} // namespace zel::app

ZelBarEventHandler zelSetBarEventHandler(ZelBarEventHandler handler) {
    zel::app::Session* s = zel::app::currentSession();
    if (!s) return nullptr;
    return s->barEvents().install(handler, s->modules().current());
}
