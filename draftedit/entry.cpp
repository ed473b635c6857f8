// The drafting edit module's entry. At initialisation its commands are registered in the group
// ZEL_DLL_COMMANDS3 and its editor reactor is attached; every drawing opened gets the module's
// LISP functions; at unload and at the end of the program everything goes again.
#include "arx/rxregsvc.h"
#include "common/frame/appmessages.h"
#include "common/frame/docdata.h"
#include "draftedit/commands/array.h"
#include "draftedit/frame/commands.h"
#include "draftedit/frame/edreactor.h"
#include "draftedit/lisp/functions.h"

#include <memory>
#include <string>

namespace {

bool gRegistered = false;
std::unique_ptr<CfuncEdReactor> gReactor;

std::wstring group() {
    return zelframe::groupName(draftedit::kCommandPrefix, draftedit::kModuleNumber);
}

std::wstring lispName(const ACHAR* name) {
    return std::wstring(draftedit::kLispPrefix) + name;
}

void initApp(void* appId) {
    acrxDynamicLinker->unlockApplication(appId);
    acrxDynamicLinker->registerAppMDIAware(appId);
    startDocData();
    draftedit::resetArrayMemory();
    zelframe::registerCommands(group(), draftedit::kCommandPrefix, true, draftedit::commandTable(),
                               zelframe::kCommandFlags);
    if (!gReactor) {
        // Attached on construction, then added to the editor once more: it is told twice,
        // which changes nothing, and taken away once at unload (its destructor takes the rest).
        gReactor = std::make_unique<CfuncEdReactor>(true);
        if (AcEditor* ed = gReactor->editor()) ed->addReactor(gReactor.get());
    }
    gRegistered = true;
}

void unloadApp() {
    if (!gRegistered) return;
    gRegistered = false;
    zelframe::removeCommands(group());
    if (gReactor) {
        if (AcEditor* ed = gReactor->editor()) ed->removeReactor(gReactor.get());
        gReactor.reset();
    }
    endDocData();
}

// RTNORM when all thirteen are defined; RTERROR at the first refusal.
int registerLispFunctions() {
    short code = 0;
    for (const draftedit::LispFunction& f : draftedit::lispFunctions()) {
        std::wstring name = lispName(f.name);
        if (acedDefun(name.c_str(), code) != RTNORM) return RTERROR;
        if (acedRegFunc(f.handler, code) != RTNORM) return RTERROR;
        ++code;
    }
    return RTNORM;
}

void defineFunctions() {
    registerLispFunctions();
}

void undefineFunctions() {
    short code = 0;
    for (const draftedit::LispFunction& f : draftedit::lispFunctions())
        acedUndef(lispName(f.name).c_str(), code++);
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
