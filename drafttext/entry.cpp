// The text module's entry: at initialisation its commands are registered in the group
// ZEL_DLL_COMMANDS4 (local names without prefix); at unload and at the end they go again.
#include "arx/rxregsvc.h"
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
    switch (msg) {
    case AcRx::kInitAppMsg:
        initApp(appId);
        break;
    case AcRx::kUnloadAppMsg:
    case AcRx::kQuitMsg:
        unloadApp();
        break;
    case AcRx::kNullMsg:
    case AcRx::kLoadDwgMsg:
    case AcRx::kUnloadDwgMsg:
    case AcRx::kInvkSubrMsg:
    case AcRx::kCfgMsg:
    case AcRx::kEndMsg:
    case AcRx::kSaveMsg:
        break;
    }
    return AcRx::kRetOK;
}
