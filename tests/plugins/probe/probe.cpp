// A small module for the tests of the module loader. It registers the group "ZELPROBE" with
// commands, an editor reactor, LISP functions per drawing and a record per document, and
// tells every application message it gets, with the current drawing's title, on the command
// line ("\nprobe: ...") and, when ZELPROBE_LOG names a file, in that file (the messages at the
// end of the program come after the transcript is printed).
#include "arx/acdocman.h"
#include "arx/adslib.h"
#include "arx/rxregsvc.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const ACHAR* kGroup = L"ZELPROBE";

void tell(const std::wstring& what) {
    std::wstring line = L"probe: " + what;
    acutPrintf(L"\n%s", line.c_str());
    if (const char* path = std::getenv("ZELPROBE_LOG")) {
        if (FILE* f = std::fopen(path, "a")) {
            std::fprintf(f, "%ls\n", line.c_str());
            std::fclose(f);
        }
    }
}

std::wstring docTitle() {
    AcApDocument* d = curDoc();
    return d ? d->docTitle() : L"-";
}

struct DocRecord {
    int commands = 0;
};
AcApDataManager<DocRecord>* gDocData = nullptr;

class ProbeReactor : public AcEditorReactor {
public:
    void commandCancelled(const ACHAR* cmd) override { tell(std::wstring(L"cancelled ") + cmd); }
    void commandEnded(const ACHAR* cmd) override {
        if (std::wstring(cmd).rfind(L"PROBE", 0) == 0) tell(std::wstring(L"ended ") + cmd);
    }
};
ProbeReactor* gReactor = nullptr;

// Counts the points given and posts a text when it has target of them.
class PointCounter : public AcEdInputContextReactor {
public:
    int count = 0, target = 0;
    std::wstring text;
    void endGetPoint(Acad::PromptStatus status, const AcGePoint3d&, const ACHAR*&) override {
        if (status != Acad::eNormal) return;
        if (++count == target) acedPostCommandText(text.c_str());
    }
};

bool gRegistered = false;

// PROBE: a point, then tells it and how many PROBE commands ran in this drawing.
void probeCommand() {
    DocRecord& rec = gDocData->docData();
    ++rec.commands;
    ads_point p;
    int rc = acedGetPoint(nullptr, L"\n点を指定:", p);
    if (rc != RTNORM) return tell(L"point " + std::to_wstring(rc));
    wchar_t buf[128];
    std::swprintf(buf, 128, L"point %g,%g run %d in %ls", p[0], p[1], rec.commands,
                  docTitle().c_str());
    tell(buf);
}

// PROBEPICK: how many entities the PICKFIRST set holds when the command starts.
void pickCommand() {
    resbuf* pset = nullptr;
    acedSSGetFirst(nullptr, &pset);
    int32_t n = 0;
    if (pset) acedSSLength(pset->resval.rlname, &n);
    if (pset) acedSSFree(pset->resval.rlname);
    acutRelRb(pset);
    tell(L"pickfirst " + std::to_wstring(n));
}

// PROBECOUNT: arms a counter that posts "C" after two points, then asks for three points
// with the keyword C; the third prompt is answered by the post.
void countCommand() {
    PointCounter counter;
    counter.target = 2;
    counter.text = L"C\n";
    AcEdInputPointManager* m = curDoc()->inputPointManager();
    m->addInputContextReactor(&counter);
    for (int i = 0; i < 3; ++i) {
        acedInitGet(0, L"C");
        ads_point p;
        int rc = acedGetPoint(nullptr, L"\n点 または [C]:", p);
        if (rc == RTKWORD) {
            tell(L"keyword after " + std::to_wstring(counter.count));
            break;
        }
        if (rc != RTNORM) break;
    }
    m->removeInputContextReactor(&counter);
}

// PROBECANCEL: posts a Ctrl-C, then asks for a point; the post cancels the prompt.
void cancelCommand() {
    acedPostCommandText(L"\003");
    ads_point p;
    tell(L"after ctrl-c " + std::to_wstring(acedGetPoint(nullptr, L"\n点を指定:", p)));
}

// PROBETHROW: fails with an exception the host must stop.
void throwCommand() {
    throw 42;
}

int addFunction() {
    resbuf* args = acedGetArgs();
    int sum = 0;
    for (resbuf* rb = args; rb; rb = rb->rbnext) {
        if (rb->restype == RTSHORT) sum += rb->resval.rint;
        if (rb->restype == RTLONG) sum += rb->resval.rlong;
    }
    acutRelRb(args);
    acedRetInt(sum);
    return RSRSLT;
}

void registerCommands() {
    AcEdCommandStack* stack = AcEdCommandStack::cast(acrxSysRegistry()->at(ACRX_COMMAND_DOCK));
    stack->addCommand(kGroup, L"PROBE", L"PB", ACRX_CMD_USEPICKSET, probeCommand);
    stack->addCommand(kGroup, L"PROBEPICK", L"PBP", ACRX_CMD_USEPICKSET, pickCommand);
    stack->addCommand(kGroup, L"PROBEPICKREDRAW", L"PBR", ACRX_CMD_USEPICKSET | ACRX_CMD_REDRAW,
                      pickCommand);
    stack->addCommand(kGroup, L"PROBEPICKMODAL", L"PBM", ACRX_CMD_MODAL, pickCommand);
    stack->addCommand(kGroup, L"PROBECOUNT", L"PBC", ACRX_CMD_MODAL, countCommand);
    stack->addCommand(kGroup, L"PROBECANCEL", L"PBX", ACRX_CMD_MODAL, cancelCommand);
    stack->addCommand(kGroup, L"PROBETHROW", L"PBT", ACRX_CMD_MODAL, throwCommand);
    if (!gReactor) {
        gReactor = new ProbeReactor;
        AcEditor::cast(acrxSysRegistry()->at(ACAD_EDITOR_OBJ))->addReactor(gReactor);
    }
    if (!gDocData) gDocData = new AcApDataManager<DocRecord>;
}

void removeCommands() {
    if (!gRegistered) return tell(L"nothing to remove");
    gRegistered = false;
    AcEdCommandStack::cast(acrxSysRegistry()->at(ACRX_COMMAND_DOCK))->removeGroup(kGroup);
    AcEditor::cast(acrxSysRegistry()->at(ACAD_EDITOR_OBJ))->removeReactor(gReactor);
    delete gReactor;
    gReactor = nullptr;
    delete gDocData;
    gDocData = nullptr;
}

void defineFunctions() {
    int a = acedDefun(L"PROBE-ADD", 0);
    if (a == RTNORM) a = acedRegFunc(addFunction, 0);
    int b = acedDefun(L"PROBE-CODE", 1); // answered through kInvkSubrMsg
    tell(L"defun " + std::to_wstring(a == RTNORM && b == RTNORM));
}

void undefineFunctions() {
    int a = acedUndef(L"PROBE-ADD", 0);
    int b = acedUndef(L"PROBE-CODE", 1);
    tell(L"undef " + std::to_wstring(a == RTNORM && b == RTNORM));
}

} // namespace

ZEL_ARX_EXPORT int acrxGetApiVersion() {
    return kZelArxApiVersion;
}

ZEL_ARX_EXPORT AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode msg, void* appId) {
    switch (msg) {
    case AcRx::kInitAppMsg:
        tell(L"init");
        if (std::getenv("ZELPROBE_FAIL_INIT")) return AcRx::kRetError;
        if (!std::getenv("ZELPROBE_STAY_LOCKED")) acrxDynamicLinker->unlockApplication(appId);
        acrxDynamicLinker->registerAppMDIAware(appId);
        registerCommands();
        gRegistered = true;
        break;
    case AcRx::kUnloadAppMsg:
        tell(L"unload");
        removeCommands();
        break;
    case AcRx::kQuitMsg:
        tell(L"quit");
        removeCommands();
        break;
    case AcRx::kLoadDwgMsg:
        tell(L"load drawing " + docTitle());
        defineFunctions();
        break;
    case AcRx::kUnloadDwgMsg:
        tell(L"unload drawing " + docTitle());
        undefineFunctions();
        break;
    case AcRx::kInvkSubrMsg:
        if (acedGetFunCode() == 1) acedRetInt(acedGetFunCode() + 100);
        break;
    default:
        break;
    }
    return AcRx::kRetOK;
}
