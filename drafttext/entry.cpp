// The text module's entry: at initialisation its commands are registered in the group
// ZEL_DLL_COMMANDS4 (local names without prefix); at unload and at the end they go again.
#include "arx/rxregsvc.h"
#include "common/frame/appmessages.h"
#include "drafttext/commands.h"

namespace {

bool gRegistered = false;

std::wstring group() {
    return zelframe::groupName(drafttext::kCommandPrefix, drafttext::kModuleNumber);
}

void initApp(void* appId) {
    acrxDynamicLinker->unlockApplication(appId);
    acrxDynamicLinker->registerAppMDIAware(appId);
    zelframe::registerCommands(group(), drafttext::kCommandPrefix, false, drafttext::commandTable(),
                               drafttext::kFlags);
    drafttext::gEvenSpacingAvailable = 1;
    gRegistered = true;
}

void unloadApp() {
    if (!gRegistered) return;
    gRegistered = false;
    zelframe::removeCommands(group());
}

} // namespace

// Also the entry of ZEL_INITTEXT.
ZEL_ARX_EXPORT void dll_zel_InitFunc() {
    drafttext::gInitTextRequested = true;
}

ZEL_ARX_EXPORT int acrxGetApiVersion() {
    return kZelArxApiVersion;
}

ZEL_ARX_EXPORT AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode msg, void* appId) {
    static const zelframe::AppMessageHandlers kHandlers{initApp, unloadApp, nullptr, nullptr};
    return zelframe::dispatchAppMessage(msg, appId, kHandlers);
}
