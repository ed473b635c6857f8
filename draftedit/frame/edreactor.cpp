#include "draftedit/frame/edreactor.h"

#include "arx/rxregsvc.h"
#include "common/frame/docdata.h"

CfuncEdReactor::CfuncEdReactor(bool autoAttach) {
    if (autoAttach) attach();
}

CfuncEdReactor::~CfuncEdReactor() {
    if (mAttached) detach();
}

AcEditor* CfuncEdReactor::editor() const {
    AcRxDictionary* registry = acrxSysRegistry();
    return registry ? AcEditor::cast(registry->at(ACAD_EDITOR_OBJ)) : nullptr;
}

void CfuncEdReactor::attach() {
    if (mAttached) return;
    AcEditor* ed = editor();
    if (!ed) return;
    ed->addReactor(this);
    mAttached = 1;
}

void CfuncEdReactor::detach() {
    if (!mAttached) return;
    if (AcEditor* ed = editor()) ed->removeReactor(this);
    mAttached = 0;
}

void CfuncEdReactor::commandCancelled(const ACHAR*) {
    docData().noteCancelled();
}
