// The dialog-bar companion: its LISP functions in every drawing, the user's edits and presses
// passed to the running command's callbacks, and ZELBAR, which shows the bar as it stands.
#include "arx/aced.h"
#include "arx/rxregsvc.h"
#include "arx/zelbar.h"
#include "common/frame/appmessages.h"
#include "companions/zelgui/aids.h"
#include "companions/zelgui/functions.h"

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
        acutPrintf(L"\nダイアログバー: テキストパネルはまだ使えません");
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
