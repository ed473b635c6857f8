// The runtime API's entry points over the current session: the system registry, the document
// manager, the command stack, the editor, the dynamic linker and posting to the command line.
#include "app/session.h"
#include "arx/acdocman.h"

AcRxDictionary* acrxSysRegistry() {
    zel::app::Session* s = zel::app::currentSession();
    return s ? &s->registry() : nullptr;
}

AcApDocManager* acDocManagerPtr() {
    zel::app::Session* s = zel::app::currentSession();
    return s ? &s->documents() : nullptr;
}

AcEdCommandStack* acedRegCmdsPtr() {
    AcRxDictionary* reg = acrxSysRegistry();
    return reg ? AcEdCommandStack::cast(reg->at(ACRX_COMMAND_DOCK)) : nullptr;
}

AcEditor* acedEditorPtr() {
    AcRxDictionary* reg = acrxSysRegistry();
    return reg ? AcEditor::cast(reg->at(ACAD_EDITOR_OBJ)) : nullptr;
}

AcRxDynamicLinker* acrxDynamicLinkerPtr() {
    AcRxDictionary* reg = acrxSysRegistry();
    return reg ? AcRxDynamicLinker::cast(reg->at(ACRX_DYNAMIC_LINKER)) : nullptr;
}

int acedPostCommandText(const ACHAR* text) {
    zel::app::Session* s = zel::app::currentSession();
    if (!s || !text) return RTERROR;
    s->editor().queue().post(text);
    return RTNORM;
}
