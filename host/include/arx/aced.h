// The editor's side of the runtime API: the command stack that modules register their
// commands in, the editor with its reactors, and the LISP functions of modules.
#pragma once

#include "db.h"
#include "rx.h"

// Command flags of addCommand.
enum {
    ACRX_CMD_MODAL = 0x0,
    ACRX_CMD_TRANSPARENT = 0x1, // may run inside another command
    ACRX_CMD_USEPICKSET = 0x2,  // the PICKFIRST set is kept for the command
    ACRX_CMD_REDRAW = 0x4,      // the PICKFIRST set is kept and the highlight cleared after it
    ACRX_CMD_NOPERSPECTIVE = 0x8,
    ACRX_CMD_NOMULTIPLE = 0x10,
    ACRX_CMD_NOTILEMODE = 0x20,
    ACRX_CMD_NOPAPERSPACE = 0x40,
    ACRX_CMD_UNDEFINED = 0x100,
    ACRX_CMD_INPROGRESS = 0x200,
    ACRX_CMD_NOHISTORY = 0x8000,
    ACRX_CMD_NOUNDOMARKER = 0x10000,
};

using AcRxFunctionPtr = void (*)();
class AcEdUIContext;

// A registered command.
class AcEdCommand : public AcRxObject {
public:
    virtual const ACHAR* globalName() const = 0;
    virtual const ACHAR* localName() const = 0;
    virtual const ACHAR* groupName() const = 0;
    virtual int32_t commandFlags() const = 0;
    virtual AcRxFunctionPtr functionAddr() const = 0;
    virtual int functionCode() const = 0;
};

// The commands of modules, in groups. Found in the system registry under ACRX_COMMAND_DOCK.
class AcEdCommandStack : public AcRxObject {
public:
    // eDuplicateKey when the group already has a command of either name, eInvalidInput for an
    // empty name or no function. A command registered later hides one of the same name in an
    // earlier group.
    virtual Acad::ErrorStatus addCommand(const ACHAR* cmdGroupName, const ACHAR* cmdGlobalName,
                                         const ACHAR* cmdLocalName, int32_t commandFlags,
                                         AcRxFunctionPtr functionAddr,
                                         AcEdUIContext* UIContext = nullptr, int fcode = -1,
                                         void* hResourceHandle = nullptr,
                                         AcEdCommand** cmdPtrRet = nullptr) = 0;
    // eKeyNotFound when the group or command does not exist.
    virtual Acad::ErrorStatus removeCmd(const ACHAR* cmdGroupName, const ACHAR* cmdGlobalName) = 0;
    virtual Acad::ErrorStatus removeGroup(const ACHAR* groupName) = 0;
    // Null when no command has that name (global or local).
    virtual AcEdCommand* lookupGlobalCmd(const ACHAR* cmdName) = 0;
    virtual AcEdCommand* lookupLocalCmd(const ACHAR* cmdName) = 0;

    static AcEdCommandStack* cast(AcRxObject* o) { return dynamic_cast<AcEdCommandStack*>(o); }
};
AcEdCommandStack* acedRegCmdsPtr();
#define acedRegCmds acedRegCmdsPtr()

// Told about commands, LISP evaluations, system variables and drawing files. Every
// notification is called on the main thread; the base class does nothing.
class AcEditorReactor : public AcRxObject {
public:
    virtual void commandWillStart(const ACHAR* cmdStr) {}
    virtual void commandEnded(const ACHAR* cmdStr) {}
    virtual void commandCancelled(const ACHAR* cmdStr) {}
    virtual void commandFailed(const ACHAR* cmdStr) {}
    virtual void lispWillStart(const ACHAR* firstLine) {}
    virtual void lispEnded() {}
    virtual void lispCancelled() {}
    virtual void sysVarChanged(const ACHAR* varName, Adesk::Boolean success) {}
    virtual void beginDwgOpen(const ACHAR* filename) {}
    virtual void endDwgOpen(const ACHAR* filename, AcDbDatabase* pDb) {}
    virtual void beginSave(AcDbDatabase* pDb, const ACHAR* pIntendedName) {}
    virtual void saveComplete(AcDbDatabase* pDb, const ACHAR* pActualName) {}
    virtual void beginClose(AcDbDatabase* pDb) {}
};

// The editor: its reactors. Found in the system registry under ACAD_EDITOR_OBJ.
class AcEditor : public AcRxObject {
public:
    // Adding a reactor twice makes it be told twice; removing takes one of them away.
    virtual void addReactor(AcEditorReactor* reactor) = 0;
    virtual void removeReactor(AcEditorReactor* reactor) = 0;

    static AcEditor* cast(AcRxObject* o) { return dynamic_cast<AcEditor*>(o); }
};
AcEditor* acedEditorPtr();
#define acedEditor acedEditorPtr()

// ---- LISP functions of modules ---------------------------------------------------------------
//
// acedDefun defines a LISP function in the current document, with a function code the module
// chooses. When LISP calls it, the procedure given with acedRegFunc for that code runs; a
// function without one is called through acrxEntryPoint with kInvkSubrMsg, where
// acedGetFunCode tells which. The procedure takes its arguments with acedGetArgs and gives
// its value with one of the acedRet calls (nothing: nil), then answers RSRSLT, or RSERR to
// make the LISP call fail. Each document has its own functions: define them at kLoadDwgMsg.

int acedDefun(const ACHAR* sname, short funcno);
int acedUndef(const ACHAR* sname, short funcno);
int acedRegFunc(int (*fhdl)(), short fcode);
// The code of the function LISP is calling, or RTERROR outside such a call.
int acedGetFunCode();
// The arguments of the call (a copy: the caller frees it with acutRelRb; null for none).
struct resbuf* acedGetArgs();

int acedRetInt(int ival);
int acedRetReal(ads_real rval);
int acedRetStr(const ACHAR* s);
int acedRetPoint(const ads_point pt);
int acedRetName(const ads_name aname, int type);
int acedRetNil();
int acedRetT();
int acedRetVoid();
int acedRetList(const struct resbuf* rbuf);
int acedRetVal(const struct resbuf* rbuf);

// Calls a LISP function of the current document: args starts with its name (RTSTR). The value
// comes back as a list the caller frees (null for nil). RTERROR when it is unknown or failed.
int acedInvoke(const struct resbuf* args, struct resbuf** result);
// A symbol's value (null for nil; the caller frees it), and a new value.
int acedGetSym(const ACHAR* sname, struct resbuf** value);
int acedPutSym(const ACHAR* sname, struct resbuf* value);
