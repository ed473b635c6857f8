// A session of the program: the editor and command engine, the open documents (each with its
// drawing and LISP interpreter), and what modules talk to: the system registry, the command
// stack, the editor's reactors and the module loader. zelcad run and zelcad shell drive one;
// the one made current is what the C-style API works with.
//
// With the system variable SDI at 1 (the default) NEW and OPEN replace the drawing of the
// active document; at 0 they open another document and make it active. CLOSE closes the
// active document (the last one closed leaves a new empty drawing).
#pragma once

#include "app/bar_events.h"
#include "app/cmdstack.h"
#include "app/documents.h"
#include "app/edreactors.h"
#include "app/modules.h"
#include "app/sysregistry.h"
#include "app/winmsg_filters.h"
#include "arx/db.h"
#include "commands/engine.h"
#include "editor/editor.h"
#include "lisp/external.h"
#include "lisp/interp.h"

#include <memory>
#include <string>
#include <vector>

namespace zel::app {

class Session {
public:
    // A new drawing.
    Session();
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    editor::Editor& editor() { return *mEditor; }
    commands::Engine& engine() { return *mEngine; }
    // Of the active document.
    lisp::Interpreter& lisp() { return mDocs->active()->lisp(); }
    AcDbDatabase& database() { return *mDocs->active()->database(); }

    DocManager& documents() { return *mDocs; }
    ModuleLoader& modules() { return *mModules; }
    CommandStack& commandStack() { return *mCommands; }
    EditorReactors& editorReactors() { return mReactors; }
    SystemRegistry& registry() { return mRegistry; }
    BarEvents& barEvents() { return mBar; }
    WinMsgFilters& winMsgFilters() { return mWinMsg; }

    // Makes this session the one the C-style API works with (and acutPrintf writes to).
    void makeCurrent();

    // The active document's drawing: an empty text on success, else the message (the drawing
    // is then unchanged). open and newDrawing follow SDI.
    std::wstring open(const std::wstring& path);
    std::wstring save(const std::wstring& path);
    std::wstring newDrawing();
    std::wstring close();
    const std::wstring& path() const { return mDocs->active()->path(); }

    // A LISP function of a module (acedDefun) being called: its code and the call (for
    // acedGetFunCode, acedGetArgs and the acedRet family). Null outside such calls.
    struct ModuleCall {
        short code;
        lisp::ExternalCall* call;
    };
    const ModuleCall* moduleCall() const { return mCalls.empty() ? nullptr : &mCalls.back(); }
    // Runs the function of code that module defined, for LISP; RSRSLT or RSERR.
    int callModuleFunction(const Module* module, short code, lisp::ExternalCall& call);

private:
    std::unique_ptr<lisp::Interpreter> makeLisp();
    void activated(Document& doc);
    void forget(const Module& module);
    void wireEngine();
    void wireReactors();
    bool singleDocument() const;
    InputPointManager::PointContext pointContext(const editor::InputNotice& n, Document& doc);
    std::wstring replaceOrAdd(std::unique_ptr<AcDbDatabase> db, const std::wstring& path);

    std::unique_ptr<editor::Editor> mEditor;
    std::unique_ptr<commands::Engine> mEngine;
    SystemRegistry mRegistry;
    EditorReactors mReactors;
    BarEvents mBar;
    WinMsgFilters mWinMsg;
    std::unique_ptr<DocManager> mDocs;
    std::unique_ptr<CommandStack> mCommands;
    std::unique_ptr<ModuleLoader> mModules;
    std::vector<ModuleCall> mCalls;
    int mEngineReactor = 0;
    int mVarObserver = 0;
    int mInputObserver = 0;
};

// The session the C-style API works with (null when none).
Session* currentSession();

// ARXLOAD, ARXUNLOAD (and CAL, registered with them).
void registerModuleCommands(Session& s);
void registerCalCommand(Session& s);

} // namespace zel::app
