// The open drawings of the program. Each document has its database, its own LISP interpreter
// (symbols and the functions modules define for it), its locks and its input-point manager.
// The document manager keeps them, the active one (the user works in it; the editor shows
// its drawing) and the current one (API calls work on it; the active one unless the host or a
// module chose another for a while), and tells its reactors about every change.
#pragma once

#include "arx/acdocman.h"
#include "editor/editor.h"
#include "lisp/interp.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace zel::app {

class Document;

// The monitors and input-context reactors of one document, fed with the editor's input: the
// reactors hear every input call begin and end, the monitors every point given.
class InputPointManager : public AcEdInputPointManager {
public:
    Acad::ErrorStatus addPointMonitor(AcEdInputPointMonitor* monitor) override;
    Acad::ErrorStatus removePointMonitor(AcEdInputPointMonitor* monitor) override;
    Acad::ErrorStatus addInputContextReactor(AcEdInputContextReactor* reactor) override;
    Acad::ErrorStatus removeInputContextReactor(AcEdInputContextReactor* reactor) override;

    // What the host found around a point the user gave.
    struct PointContext {
        AcGePoint3d lastPoint;       // LASTPOINT before the input
        AcDbObjectIdArray picked;    // entities in the pick box of a click
        AcDbObjectIdArray keyPoints; // entities in the aperture while object snap is on
    };
    // An input call of the editor has started or ended (points in world coordinates).
    void tell(const editor::InputNotice& notice, Document& doc, const PointContext& context);
    bool hasMonitors() const { return !mMonitors.empty(); }
    size_t monitorCount() const { return mMonitors.size(); }
    size_t reactorCount() const { return mReactors.size(); }
    // Forgets the listeners a module added (the module is going away).
    void dropOwnedBy(const void* owner);
    void setOwnerSource(std::function<const void*()> owner) { mOwner = std::move(owner); }

private:
    void tellMonitors(const editor::InputNotice& notice, Document& doc,
                      const PointContext& context);

    std::vector<AcEdInputPointMonitor*> mMonitors;
    std::vector<AcEdInputContextReactor*> mReactors;
    std::vector<std::pair<const void*, const void*>> mOwners; // listener, module
    std::function<const void*()> mOwner;
};

class Document : public AcApDocument {
public:
    Document(std::unique_ptr<AcDbDatabase> db, std::unique_ptr<lisp::Interpreter> lisp,
             std::wstring path, std::wstring title);
    ~Document() override;

    const ACHAR* fileName() const override;
    const ACHAR* docTitle() const override { return mTitle.c_str(); }
    AcDbDatabase* database() const override { return mDb.get(); }
    AcEdInputPointManager* inputPointManager() override { return &mPoints; }
    AcAp::DocLockMode lockMode(bool includeMyLocks = false) const override;
    AcAp::DocLockMode myLockMode() const override { return lockMode(true); }
    bool isQuiescent() const override { return mCommandDepth == 0; }

    lisp::Interpreter& lisp() { return *mLisp; }
    InputPointManager& points() { return mPoints; }
    const std::wstring& path() const { return mPath; }
    void setPath(std::wstring path);

    // Locks nest; a kXWrite lock excludes every other.
    Acad::ErrorStatus lock(AcAp::DocLockMode mode);
    Acad::ErrorStatus unlock();
    size_t lockCount() const { return mLocks.size(); }

    // LISP functions modules defined here (acedDefun): upper-case name, module, code.
    struct ModuleFunction {
        const void* module;
        short code;
    };
    std::map<std::wstring, ModuleFunction>& moduleFunctions() { return mModuleFunctions; }

    void commandStarted() { ++mCommandDepth; }
    void commandEnded() { --mCommandDepth; }

private:
    std::unique_ptr<AcDbDatabase> mDb;
    std::unique_ptr<lisp::Interpreter> mLisp;
    std::wstring mPath, mTitle;
    std::vector<AcAp::DocLockMode> mLocks;
    InputPointManager mPoints;
    std::map<std::wstring, ModuleFunction> mModuleFunctions;
    int mCommandDepth = 0;
};

// What the document manager asks of the program around it.
struct DocumentServices {
    std::function<std::unique_ptr<lisp::Interpreter>()> makeLisp;
    std::function<void(Document&)> activated;               // the editor now works on this document
    std::function<void(Document&)> opened;                  // a new document is open and active
    std::function<void(Document&)> closing;                 // a document is about to close
    std::function<void(Document&, std::wstring_view)> post; // typing posted to its command line
};

class DocManager : public AcApDocManager {
public:
    explicit DocManager(DocumentServices services);
    ~DocManager() override;
    DocManager(const DocManager&) = delete;
    DocManager& operator=(const DocManager&) = delete;

    // A document for a drawing (read or new); it becomes active and current.
    Document& add(std::unique_ptr<AcDbDatabase> db, std::wstring path);
    // Reads a drawing into a new document; an empty text, or why it could not.
    std::wstring openFile(const std::wstring& path);
    // Closes a document (its reactors and modules are told first). The last document closed
    // leaves a new empty one, so that the program always has a drawing.
    void close(Document& doc);
    // Writes the drawing; an empty text, or why it could not (the file is then unchanged).
    std::wstring save(Document& doc, const std::wstring& path);

    Document* active() const { return mActive; }
    Document* current() const { return mCurrent; }
    const std::vector<std::unique_ptr<Document>>& all() const { return mDocs; }
    Document* find(const AcApDocument* doc) const;
    // Runs fn with doc current for the API, then gives the previous current document back.
    void withCurrent(Document& doc, const std::function<void()>& fn);

    // AcApDocManager
    AcApDocument* curDocument() const override { return mCurrent; }
    AcApDocument* mdiActiveDocument() const override { return mActive; }
    AcApDocument* document(const AcDbDatabase* db) const override;
    int documentCount() const override { return int(mDocs.size()); }
    AcApDocumentIterator* newAcApDocumentIterator() override;
    Acad::ErrorStatus lockDocument(AcApDocument* doc, AcAp::DocLockMode mode,
                                   const ACHAR* globalCmdName, const ACHAR* localCmdName,
                                   bool prompt) override;
    Acad::ErrorStatus unlockDocument(AcApDocument* doc) override;
    Acad::ErrorStatus setCurDocument(AcApDocument* doc, AcAp::DocLockMode mode,
                                     bool activate) override;
    Acad::ErrorStatus activateDocument(AcApDocument* doc, bool passScript) override;
    Acad::ErrorStatus disableDocumentActivation() override;
    Acad::ErrorStatus enableDocumentActivation() override;
    bool isDocumentActivationEnabled() override { return mActivationEnabled; }
    void pushResourceHandle(void* handle) override { mResources.push_back(handle); }
    void pushAcadResourceHandle() override { mResources.push_back(nullptr); }
    void popResourceHandle() override;
    size_t resourceDepth() const { return mResources.size(); }
    Acad::ErrorStatus sendStringToExecute(AcApDocument* doc, const ACHAR* text, bool activate,
                                          bool wrapUpInactiveDoc, bool echoString) override;
    Acad::ErrorStatus appContextNewDocument(const ACHAR* templateName) override;
    Acad::ErrorStatus appContextOpenDocument(const ACHAR* drawingName) override;
    Acad::ErrorStatus closeDocument(AcApDocument* doc) override;
    void addReactor(AcApDocManagerReactor* reactor) override;
    void removeReactor(AcApDocManagerReactor* reactor) override;

    size_t reactorCount() const { return mReactors.size(); }
    void dropReactorsOwnedBy(const void* owner);
    void setOwnerSource(std::function<const void*()> owner) { mOwner = std::move(owner); }

private:
    void makeActive(Document& doc);
    std::wstring nextTitle();

    DocumentServices mServices;
    std::vector<std::unique_ptr<Document>> mDocs;
    Document* mActive = nullptr;
    Document* mCurrent = nullptr;
    bool mActivationEnabled = true;
    std::vector<void*> mResources;
    std::vector<AcApDocManagerReactor*> mReactors;
    std::vector<std::pair<AcApDocManagerReactor*, const void*>> mOwners;
    std::function<const void*()> mOwner;
    int mUntitled = 0;
};

} // namespace zel::app
