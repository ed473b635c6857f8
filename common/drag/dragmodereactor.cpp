#include "common/drag/dragmodereactor.h"

#include "common/drag/drag.h"
#include "common/services/wtext.h"

#include <string>

namespace {

constexpr const ACHAR* kViewCommands[] = {L"REDRAW", L"ZOOM",        L"RTZOOM",     L"RTPAN",
                                          L"VIEW",   L"ZELREFOBJSC", L"ZELDDSELECT"};

// The name without a leading transparent mark, underscore, dot or "C:".
std::wstring bareName(const ACHAR* cmdStr) {
    std::wstring name = UpperText(cmdStr ? cmdStr : L"");
    size_t from = name.find_first_not_of(L"'_.");
    name = from == std::wstring::npos ? std::wstring() : name.substr(from);
    if (name.rfind(L"C:", 0) == 0) name = name.substr(2);
    return name;
}

} // namespace

CDragModeReactor::CDragModeReactor(CDrag* command) : mCommand(command) {
    if (!acedEditor) return;
    acedEditor->addReactor(this);
    mAttached = true;
}

CDragModeReactor::~CDragModeReactor() {
    if (mAttached && acedEditor) acedEditor->removeReactor(this);
}

bool CDragModeReactor::redrawsView(const ACHAR* cmdStr) {
    std::wstring name = bareName(cmdStr);
    for (const ACHAR* view : kViewCommands)
        if (name == view) return true;
    return false;
}

void CDragModeReactor::sysVarChanged(const ACHAR* varName, Adesk::Boolean success) {
    if (success && mCommand && UpperText(varName ? varName : L"") == L"DRAGMODE")
        mCommand->erasePreview();
}

void CDragModeReactor::commandWillStart(const ACHAR* cmdStr) {
    if (mCommand && redrawsView(cmdStr)) mCommand->erasePreview();
}
