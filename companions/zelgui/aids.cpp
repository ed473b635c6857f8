#include "companions/zelgui/aids.h"

#include "common/services/sysvar.h"
#include "common/services/wtext.h"
#include "common/support/zelsupport.h"
#include "companions/zelgui/functions.h"

namespace zelgui {

namespace {

constexpr int kDefaultOsmode = 0;
constexpr int kDefaultDragmode = 2;

bool named(const ACHAR* name, const ACHAR* wanted) {
    return name && UpperText(name) == wanted;
}

} // namespace

void AidsWatch::start() {
    bar().osmode = IntVar(L"OSMODE", kDefaultOsmode);
    bar().dragmode = IntVar(L"DRAGMODE", kDefaultDragmode);
    if (mWatching || !acedEditor) return;
    acedEditor->addReactor(this);
    mWatching = true;
}

void AidsWatch::stop() {
    if (!mWatching) return;
    if (acedEditor) acedEditor->removeReactor(this);
    mWatching = false;
}

void AidsWatch::sysVarChanged(const ACHAR* varName, Adesk::Boolean success) {
    if (!success) return;
    if (named(varName, L"OSMODE") && ZelGetLocInt(L"FreezeOsMode", 0) != 1)
        bar().osmode = IntVar(L"OSMODE", kDefaultOsmode);
    if (named(varName, L"DRAGMODE") && ZelGetLocInt(L"FreezeDragMode", 0) != 1)
        bar().dragmode = IntVar(L"DRAGMODE", kDefaultDragmode);
}

void restoreOsmode() {
    if (IntVar(L"OSMODE", kDefaultOsmode) != bar().osmode) SetShortVar(L"OSMODE", bar().osmode);
}

void restoreDragmode() {
    if (IntVar(L"DRAGMODE", kDefaultDragmode) != bar().dragmode)
        SetShortVar(L"DRAGMODE", bar().dragmode);
}

} // namespace zelgui
