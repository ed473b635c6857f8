// Documents: the document manager (open drawings, the current and the active one, locks,
// activation), its reactors, and AcApDataManager, a record per document kept by a module.
#pragma once

#include "acedinpt.h"
#include "db.h"
#include "rx.h"

#include <map>

namespace AcAp {
enum DocLockMode {
    kNone = 0x00,
    kAutoWrite = 0x01,
    kNotLocked = 0x02,
    kWrite = 0x04,
    kProtectedAutoWrite = 0x14,
    kRead = 0x20,
    kXWrite = 0x40,
};
} // namespace AcAp

// An open drawing.
class AcApDocument : public AcRxObject {
public:
    // The file it was read from or saved to; for a new drawing its title.
    virtual const ACHAR* fileName() const = 0;
    virtual const ACHAR* docTitle() const = 0;
    virtual AcDbDatabase* database() const = 0;
    virtual AcEdInputPointManager* inputPointManager() = 0;
    // The strongest lock held on it (kNotLocked when none).
    virtual AcAp::DocLockMode lockMode(bool bIncludeMyLocks = false) const = 0;
    virtual AcAp::DocLockMode myLockMode() const = 0;
    // True when no command runs in it.
    virtual bool isQuiescent() const = 0;

    static AcApDocument* cast(AcRxObject* o) { return dynamic_cast<AcApDocument*>(o); }
};

// Told about documents. The base class does nothing.
class AcApDocManagerReactor : public AcRxObject {
public:
    virtual void documentCreated(AcApDocument* pDocCreating) {}
    virtual void documentToBeDestroyed(AcApDocument* pDocToDestroy) {}
    virtual void documentDestroyed(const ACHAR* fileName) {}
    virtual void documentLockModeChanged(AcApDocument* pDoc, AcAp::DocLockMode myPreviousMode,
                                         AcAp::DocLockMode myCurrentMode,
                                         AcAp::DocLockMode currentMode,
                                         const ACHAR* pGlobalCmdName) {}
    virtual void documentBecameCurrent(AcApDocument* pDoc) {}
    virtual void documentToBeActivated(AcApDocument* pActivatingDoc) {}
    virtual void documentToBeDeactivated(AcApDocument* pDeActivatedDoc) {}
    virtual void documentActivationModified(bool bActivation) {}
    virtual void documentActivated(AcApDocument* pActivatedDoc) {}
};

class AcApDocumentIterator {
public:
    virtual ~AcApDocumentIterator() = default;
    virtual bool done() const = 0;
    virtual void step() = 0;
    virtual AcApDocument* document() = 0;
};

class AcApDocManager : public AcRxObject {
public:
    // The document API calls work on; the one the user works in.
    virtual AcApDocument* curDocument() const = 0;
    virtual AcApDocument* mdiActiveDocument() const = 0;
    // The document of a database, or null.
    virtual AcApDocument* document(const AcDbDatabase* pDb) const = 0;
    virtual int documentCount() const = 0;
    // A new iterator over the open documents; the caller deletes it.
    virtual AcApDocumentIterator* newAcApDocumentIterator() = 0;

    // Locks nest: each lockDocument needs its unlockDocument. A write lock is refused
    // (eLockViolation) while another document... holds none of it: locks are per document.
    virtual Acad::ErrorStatus lockDocument(AcApDocument* pDoc,
                                           AcAp::DocLockMode mode = AcAp::kWrite,
                                           const ACHAR* pGlobalCmdName = nullptr,
                                           const ACHAR* pLocalCmdName = nullptr,
                                           bool prompt = true) = 0;
    virtual Acad::ErrorStatus unlockDocument(AcApDocument* pDoc) = 0;

    // Makes a document current for API calls (and, with activate, the active one).
    virtual Acad::ErrorStatus setCurDocument(AcApDocument* pDoc,
                                             AcAp::DocLockMode mode = AcAp::kNone,
                                             bool activate = false) = 0;
    // Makes a document the one the user works in; refused (eInvalidInput) while activation
    // is disabled.
    virtual Acad::ErrorStatus activateDocument(AcApDocument* pAcTargetDocument,
                                               bool bPassScript = false) = 0;
    virtual Acad::ErrorStatus disableDocumentActivation() = 0;
    virtual Acad::ErrorStatus enableDocumentActivation() = 0;
    virtual bool isDocumentActivationEnabled() = 0;

    // Resources of the module: pushing and popping nest (kept for the modules' entry shape).
    virtual void pushResourceHandle(void* hNewResourceHandle) = 0;
    virtual void pushAcadResourceHandle() = 0;
    virtual void popResourceHandle() = 0;

    // Posts text to a document's command line, read as typed input (a character 3 cancels).
    virtual Acad::ErrorStatus sendStringToExecute(AcApDocument* pAcTargetDocument,
                                                  const ACHAR* pszExecute, bool bActivate = true,
                                                  bool bWrapUpInactiveDoc = false,
                                                  bool bEchoString = true) = 0;

    // New, opened and closed documents (the new one becomes active).
    virtual Acad::ErrorStatus appContextNewDocument(const ACHAR* pszTemplateName) = 0;
    virtual Acad::ErrorStatus appContextOpenDocument(const ACHAR* pszDrawingName) = 0;
    virtual Acad::ErrorStatus closeDocument(AcApDocument* pAcTargetDocument) = 0;

    virtual void addReactor(AcApDocManagerReactor* reactor) = 0;
    virtual void removeReactor(AcApDocManagerReactor* reactor) = 0;
};
AcApDocManager* acDocManagerPtr();
#define acDocManager acDocManagerPtr()

inline AcApDocument* curDoc() {
    AcApDocManager* m = acDocManagerPtr();
    return m ? m->curDocument() : nullptr;
}

// Text posted to the command line of the active document as typed input; a character 3 is a
// Ctrl-C that cancels what waits for input. RTERROR when no document is open.
int acedPostCommandText(const ACHAR* text);

// A record of type T per document, made on first use and erased when its document is about
// to be destroyed. The manager watches the document manager from its construction to its
// destruction.
template <class T> class AcApDataManager : public AcApDocManagerReactor {
public:
    AcApDataManager() {
        if (AcApDocManager* m = acDocManagerPtr()) m->addReactor(this);
    }
    ~AcApDataManager() override {
        if (AcApDocManager* m = acDocManagerPtr()) m->removeReactor(this);
    }
    AcApDataManager(const AcApDataManager&) = delete;
    AcApDataManager& operator=(const AcApDataManager&) = delete;

    void documentToBeDestroyed(AcApDocument* pDoc) override { mData.erase(pDoc); }

    T& docData(AcApDocument* pDoc) { return mData[pDoc]; }
    T& docData() { return docData(curDoc()); }
    // Records held now (for tests and checks).
    size_t size() const { return mData.size(); }

private:
    std::map<AcApDocument*, T> mData;
};
