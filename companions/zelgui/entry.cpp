// The dialog-bar companion: its LISP functions in every drawing, the user's edits and presses
// passed to the running command's callbacks, the text panel's posts to a waiting command, and
// ZELBAR, which shows the bar as it stands.
#include "arx/aced.h"
#include "arx/rxregsvc.h"
#include "arx/zelbar.h"
#include "common/frame/appmessages.h"
#include "common/support/zelsupport.h"
#include "companions/zelgui/aids.h"
#include "companions/zelgui/functions.h"
#include "companions/zelgui/panel.h"

#include <cassert>
#include <string>

namespace {

const ACHAR* kGroup = L"ZELGUI";
bool gRegistered = false;
zelgui::AidsWatch gAids;

// What the user is told when an edit or a press reached no command.
void tell(zelgui::Outcome outcome, const wchar_t* what, int key) {
    using zelgui::Outcome;
    switch (outcome) {
    case Outcome::Disabled:
        acutPrintf(L"\nダイアログバー: %s %d は使用できません", what, key);
        return;
    case Outcome::NoPage:
        acutPrintf(L"\nダイアログバー: 表示中のページがありません");
        return;
    case Outcome::Delivered:
    case Outcome::NoCallback:
    case Outcome::Masked:
        return;
    }
}

// The text panel's link: the per-document settings of the support library and the command line.
class StoreLink : public zelgui::PanelLink {
public:
    std::wstring setting(const wchar_t* key) override {
        std::wstring value;
        ZelGetLocText(key, value, L"");
        return value;
    }
    void setSetting(const wchar_t* key, const std::wstring& value) override {
        ZelSetLocText(key, value.c_str());
    }
    void post(const wchar_t* text) override { acedPostCommandText(text); }
};

// What the user is told when an action on the text panel reached nothing.
void tellPanel(zelgui::PanelOutcome outcome, const ZelBarEvent& e) {
    using zelgui::PanelOutcome;
    switch (outcome) {
    case PanelOutcome::NoPanel:
        acutPrintf(L"\nダイアログバー: テキストパネルのあるページが表示されていません");
        return;
    case PanelOutcome::NotTyping:
        acutPrintf(L"\nダイアログバー: テキストパネルは文字を入力できる状態ではありません");
        return;
    case PanelOutcome::NoList:
        acutPrintf(L"\nダイアログバー: リスト %d はありません", e.id);
        return;
    case PanelOutcome::ListOff:
        acutPrintf(L"\nダイアログバー: リスト %d は使用できません", e.id);
        return;
    case PanelOutcome::NoLine: {
        const zelgui::Combo& c = zelgui::bar().combo(std::to_wstring(e.id));
        acutPrintf(L"\nダイアログバー: リスト %d に %d 番の行はありません (%d 行)", e.id, e.index,
                   static_cast<int>(c.items.size()));
        return;
    }
    case PanelOutcome::NotHistory:
        acutPrintf(L"\nダイアログバー: リスト %d は履歴ではありません", e.id);
        return;
    case PanelOutcome::NotWaiting:
        acutPrintf(L"\nダイアログバー: テキストパネルの入力を待つコマンドがありません");
        return;
    case PanelOutcome::Posted:
    case PanelOutcome::Called:
    case PanelOutcome::TextOnly:
        return;
    }
}

zelgui::PanelOutcome onPanel(const ZelBarEvent& e) {
    StoreLink link;
    zelgui::TextPanelActions panel(zelgui::bar(), link);
    switch (e.kind) {
    case kZelPanelType:
        return panel.type(e.text);
    case kZelPanelEnter:
        return panel.enter();
    case kZelPanelPick:
        return panel.choose(e.id, e.index, false);
    case kZelPanelInsert:
        return panel.choose(e.id, e.index, true);
    case kZelPanelDelete:
        return panel.remove(e.id, e.index);
    case kZelPanelAdd:
        return panel.add();
    case kZelPanelEsc:
        return panel.esc();
    case kZelBarText:
    case kZelBarTile:
        break;
    }
    assert(false && "only the text panel's events come here");
    return zelgui::PanelOutcome::NoPanel;
}

bool onBarEvent(const ZelBarEvent* e) {
    using zelgui::Outcome;
    switch (e->kind) {
    case kZelBarText:
        tell(zelgui::bar().edit(e->id, e->text), L"項目", e->id);
        return true;
    case kZelBarTile:
        tell(zelgui::bar().press(e->id), L"ボタン", e->id);
        return true;
    case kZelPanelType:
    case kZelPanelEnter:
    case kZelPanelPick:
    case kZelPanelInsert:
    case kZelPanelDelete:
    case kZelPanelAdd:
    case kZelPanelEsc:
        tellPanel(onPanel(*e), *e);
        return true;
    }
    return false;
}

void showBar() {
    std::wstring text = zelgui::bar().describe();
    acutPrintf(L"\n%s", text.c_str());
}

void initApp(void* appId) {
    acrxDynamicLinker->unlockApplication(appId);
    acrxDynamicLinker->registerAppMDIAware(appId);
    zelgui::bar() = zelgui::DialogBar{}; // a bar loaded again starts empty
    acedRegCmds->addCommand(kGroup, L"ZELBAR", L"ZELBAR", ACRX_CMD_TRANSPARENT, showBar);
    zelSetBarEventHandler(onBarEvent);
    gAids.start();
    gRegistered = true;
}

void unloadApp() {
    if (!gRegistered) return;
    gRegistered = false;
    acedRegCmds->removeGroup(kGroup);
    zelSetBarEventHandler(nullptr);
    gAids.stop();
}

void defineFunctions() {
    short code = 0;
    for (const zelgui::BarFunction& f : zelgui::barFunctions()) {
        if (acedDefun(f.name, code) != RTNORM || acedRegFunc(f.handler, code) != RTNORM) return;
        ++code;
    }
}

void undefineFunctions() {
    short code = 0;
    for (const zelgui::BarFunction& f : zelgui::barFunctions())
        acedUndef(f.name, code++);
}

} // namespace

ZEL_ARX_EXPORT int acrxGetApiVersion() {
    return kZelArxApiVersion;
}

ZEL_ARX_EXPORT AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode msg, void* appId) {
    static const zelframe::AppMessageHandlers kHandlers{initApp, unloadApp, defineFunctions,
                                                        undefineFunctions};
    return zelframe::dispatchAppMessage(msg, appId, kHandlers);
}
