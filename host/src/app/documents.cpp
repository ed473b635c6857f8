// Documents, their input-point managers and the document manager.
#include "app/documents.h"

#include "app/notify.h"
#include "core/text.h"
#include "dxf/dxf.h"

#include <algorithm>
#include <cassert>
#include <filesystem>

namespace zel::app {

namespace {

template <class T> bool listed(const std::vector<T*>& list, const T* item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

template <class T> void unlist(std::vector<T*>& list, const T* item) {
    auto it = std::find(list.begin(), list.end(), item);
    if (it != list.end()) list.erase(it);
}

// How strong a lock is, for the lock mode a document reports.
int strength(AcAp::DocLockMode m) {
    switch (m) {
    case AcAp::kXWrite:
        return 5;
    case AcAp::kWrite:
    case AcAp::kProtectedAutoWrite:
        return 4;
    case AcAp::kAutoWrite:
        return 3;
    case AcAp::kRead:
        return 2;
    case AcAp::kNone:
    case AcAp::kNotLocked:
        return 0;
    }
    return 0;
}

bool validLockMode(AcAp::DocLockMode m) {
    return m == AcAp::kAutoWrite || m == AcAp::kWrite || m == AcAp::kProtectedAutoWrite ||
           m == AcAp::kRead || m == AcAp::kXWrite;
}

class DocumentIterator : public AcApDocumentIterator {
public:
    explicit DocumentIterator(std::vector<Document*> docs) : mDocs(std::move(docs)) {}
    bool done() const override { return mAt >= mDocs.size(); }
    void step() override { ++mAt; }
    AcApDocument* document() override { return done() ? nullptr : mDocs[mAt]; }

private:
    std::vector<Document*> mDocs;
    size_t mAt = 0;
};

} // namespace

// ---- input-point manager ------------------------------------------------------------------

Acad::ErrorStatus InputPointManager::addPointMonitor(AcEdInputPointMonitor* monitor) {
    if (!monitor) return Acad::eInvalidInput;
    if (listed(mMonitors, monitor)) return Acad::eDuplicateKey;
    mMonitors.push_back(monitor);
    mOwners.emplace_back(monitor, mOwner ? mOwner() : nullptr);
    return Acad::eOk;
}

Acad::ErrorStatus InputPointManager::removePointMonitor(AcEdInputPointMonitor* monitor) {
    if (!listed(mMonitors, monitor)) return Acad::eKeyNotFound;
    unlist(mMonitors, monitor);
    std::erase_if(mOwners, [&](auto& o) { return o.first == monitor; });
    return Acad::eOk;
}

Acad::ErrorStatus InputPointManager::addInputContextReactor(AcEdInputContextReactor* reactor) {
    if (!reactor) return Acad::eInvalidInput;
    if (listed(mReactors, reactor)) return Acad::eDuplicateKey;
    mReactors.push_back(reactor);
    mOwners.emplace_back(reactor, mOwner ? mOwner() : nullptr);
    return Acad::eOk;
}

Acad::ErrorStatus InputPointManager::removeInputContextReactor(AcEdInputContextReactor* reactor) {
    if (!listed(mReactors, reactor)) return Acad::eKeyNotFound;
    unlist(mReactors, reactor);
    std::erase_if(mOwners, [&](auto& o) { return o.first == reactor; });
    return Acad::eOk;
}

void InputPointManager::dropOwnedBy(const void* owner) {
    for (auto& [listener, module] : mOwners) {
        if (module != owner) continue;
        std::erase(mMonitors, static_cast<const AcEdInputPointMonitor*>(listener));
        std::erase(mReactors, static_cast<const AcEdInputContextReactor*>(listener));
    }
    std::erase_if(mOwners, [&](auto& o) { return o.second == owner; });
}

namespace {

const ACHAR* textOrNull(const std::wstring& text) {
    return text.empty() ? nullptr : text.c_str();
}

// The begin notice of an input call as the reactor's begin function for it.
void tellBegin(AcEdInputContextReactor& r, const editor::InputNotice& n) {
    const AcGePoint3d* base = n.base ? &*n.base : nullptr;
    const ACHAR* prompt = n.prompt.c_str();
    const ACHAR* keywords = textOrNull(n.keywords);
    int bits = n.initBits;
    switch (n.topic) {
    case editor::InputTopic::EntityPick:
        r.beginEntsel(prompt, bits, keywords);
        return;
    case editor::InputTopic::Selection:
        r.beginSSGet(prompt, bits, keywords, textOrNull(n.controls), {}, n.filter);
        return;
    case editor::InputTopic::Request:
        break;
    }
    if (n.drag) {
        r.beginDragSequence(prompt);
        return;
    }
    switch (n.kind) {
    case editor::InputKind::Point:
    case editor::InputKind::Corner:
        r.beginGetPoint(base, prompt, bits, keywords);
        return;
    case editor::InputKind::Distance:
        r.beginGetDistance(base, prompt, bits, keywords);
        return;
    case editor::InputKind::Angle:
        r.beginGetAngle(base, prompt, bits, keywords);
        return;
    case editor::InputKind::Orient:
        r.beginGetOrientation(base, prompt, bits, keywords);
        return;
    case editor::InputKind::String:
        r.beginGetString(prompt, bits);
        return;
    case editor::InputKind::Keyword:
        r.beginGetKeyword(prompt, bits, keywords);
        return;
    case editor::InputKind::Integer:
        r.beginGetInteger(nullptr, prompt, bits, keywords);
        return;
    case editor::InputKind::Real:
        r.beginGetReal(nullptr, prompt, bits, keywords);
        return;
    }
}

// The end notice of a request of the editor as the reactor's end function for it. Each
// reactor gets its own copies of the values it may change.
void tellRequestEnd(AcEdInputContextReactor& r, const editor::InputNotice& n) {
    auto status = static_cast<Acad::PromptStatus>(n.status);
    const ACHAR* keyword = n.status == RTKWORD ? n.text.c_str() : nullptr;
    AcGePoint3d point = n.point;
    double real = n.real;
    if (n.drag) {
        AcGeVector3d vec;
        r.endDragSequence(status, point, vec);
        return;
    }
    switch (n.kind) {
    case editor::InputKind::Point:
    case editor::InputKind::Corner:
        r.endGetPoint(status, point, keyword);
        return;
    case editor::InputKind::Distance:
        r.endGetDistance(status, real, keyword);
        return;
    case editor::InputKind::Angle:
        r.endGetAngle(status, real, keyword);
        return;
    case editor::InputKind::Orient:
        r.endGetOrientation(status, real, keyword);
        return;
    case editor::InputKind::String: {
        std::wstring text = n.status == RTNORM ? n.text : std::wstring();
        r.endGetString(status, text.data());
        return;
    }
    case editor::InputKind::Keyword: {
        const ACHAR* word = n.status == RTNORM || n.status == RTKWORD ? n.text.c_str() : nullptr;
        r.endGetKeyword(status, word);
        return;
    }
    case editor::InputKind::Integer: {
        int value = n.integer;
        r.endGetInteger(status, value, keyword);
        return;
    }
    case editor::InputKind::Real:
        r.endGetReal(status, real, keyword);
        return;
    }
}

void tellEnd(AcEdInputContextReactor& r, const editor::InputNotice& n) {
    auto status = static_cast<Acad::PromptStatus>(n.status);
    static const AcDbObjectIdArray kNone;
    const AcDbObjectIdArray& ids = n.ids ? *n.ids : kNone;
    switch (n.topic) {
    case editor::InputTopic::EntityPick:
        r.endEntsel(status, ids.empty() ? AcDbObjectId() : ids.front(), n.point,
                    n.status == RTKWORD ? n.text.c_str() : nullptr);
        return;
    case editor::InputTopic::Selection:
        r.endSSGet(status, ids);
        return;
    case editor::InputTopic::Request:
        tellRequestEnd(r, n);
        return;
    }
}

bool givesPoint(const editor::InputNotice& n) {
    return !n.begin && n.topic == editor::InputTopic::Request && n.status == RTNORM &&
           (n.kind == editor::InputKind::Point || n.kind == editor::InputKind::Corner);
}

} // namespace

void InputPointManager::tell(const editor::InputNotice& notice, Document& doc,
                             const PointContext& context) {
    tellEach(mReactors, [&](AcEdInputContextReactor* r) {
        if (notice.begin)
            tellBegin(*r, notice);
        else
            tellEnd(*r, notice);
    });
    if (givesPoint(notice)) tellMonitors(notice, doc, context);
}

void InputPointManager::tellMonitors(const editor::InputNotice& notice, Document& doc,
                                     const PointContext& context) {
    AcEdInputPoint input;
    input.mDocument = &doc;
    input.mHistory = notice.clicked ? int(Acad::eUsedPickBox) : int(Acad::eNotDigitizer);
    if (!notice.clicked) input.mHistory |= Acad::eFromKeyboard;
    if (!context.keyPoints.empty()) input.mHistory |= Acad::eOsnapped | Acad::eUsedOsnapBox;
    input.mLastPoint = context.lastPoint;
    input.mRawPoint = input.mComputedPoint = notice.point;
    input.mPickedEntities = context.picked;
    input.mKeyPointEntities = context.keyPoints;
    tellEach(mMonitors, [&](AcEdInputPointMonitor* m) {
        AcEdInputPointMonitorResult out;
        m->monitorInputPoint(input, out);
    });
}

// ---- document -------------------------------------------------------------------------------

Document::Document(std::unique_ptr<AcDbDatabase> db, std::unique_ptr<lisp::Interpreter> lisp,
                   std::wstring path, std::wstring title)
    : mDb(std::move(db)), mLisp(std::move(lisp)), mPath(std::move(path)), mTitle(std::move(title)) {
    assert(mDb && mLisp && "a document needs its database and its LISP");
    if (!mPath.empty()) setPath(mPath);
}

Document::~Document() = default;

const ACHAR* Document::fileName() const {
    return mPath.empty() ? mTitle.c_str() : mPath.c_str();
}

void Document::setPath(std::wstring path) {
    mPath = std::move(path);
    mTitle = std::filesystem::path(mPath).filename().wstring();
}

AcAp::DocLockMode Document::lockMode(bool) const {
    AcAp::DocLockMode best = AcAp::kNotLocked;
    for (AcAp::DocLockMode m : mLocks) {
        if (strength(m) > strength(best)) best = m;
    }
    return best;
}

Acad::ErrorStatus Document::lock(AcAp::DocLockMode mode) {
    if (!validLockMode(mode)) return Acad::eInvalidInput;
    bool exclusiveHeld = std::find(mLocks.begin(), mLocks.end(), AcAp::kXWrite) != mLocks.end();
    if (exclusiveHeld || (mode == AcAp::kXWrite && !mLocks.empty())) return Acad::eLockViolation;
    mLocks.push_back(mode);
    return Acad::eOk;
}

Acad::ErrorStatus Document::unlock() {
    if (mLocks.empty()) return Acad::eNotApplicable;
    mLocks.pop_back();
    return Acad::eOk;
}

// ---- document manager -------------------------------------------------------------------------

DocManager::DocManager(DocumentServices services) : mServices(std::move(services)) {
    assert(mServices.makeLisp && "documents need a LISP maker");
}

DocManager::~DocManager() {
    mActive = mCurrent = nullptr;
    mDocs.clear();
}

std::wstring DocManager::nextTitle() {
    return L"Drawing" + std::to_wstring(++mUntitled) + L".dwg";
}

Document& DocManager::add(std::unique_ptr<AcDbDatabase> db, std::wstring path) {
    std::wstring title = path.empty() ? nextTitle() : std::wstring();
    auto doc = std::make_unique<Document>(std::move(db), mServices.makeLisp(), std::move(path),
                                          std::move(title));
    doc->points().setOwnerSource(mOwner);
    Document& d = *doc;
    mDocs.push_back(std::move(doc));
    tellEach(mReactors, [&](AcApDocManagerReactor* r) { r->documentCreated(&d); });
    makeActive(d);
    if (mServices.opened) mServices.opened(d);
    return d;
}

std::wstring DocManager::openFile(const std::wstring& path) {
    dxf::ReadResult r = dxf::readDxf(core::wideToUtf8(path));
    if (!r.ok()) return core::utf8ToWide(r.error);
    add(std::move(r.database), path);
    return {};
}

std::wstring DocManager::save(Document& doc, const std::wstring& path) {
    dxf::SaveResult r = dxf::writeDxf(*doc.database(), core::wideToUtf8(path));
    if (!r.ok) return core::utf8ToWide(r.error);
    doc.setPath(path);
    return {};
}

void DocManager::close(Document& doc) {
    assert(find(&doc) && "closing a document of another manager");
    if (mServices.closing) mServices.closing(doc);
    tellEach(mReactors, [&](AcApDocManagerReactor* r) { r->documentToBeDestroyed(&doc); });
    std::wstring name = doc.fileName();
    auto it = std::find_if(mDocs.begin(), mDocs.end(), [&](auto& d) { return d.get() == &doc; });
    std::unique_ptr<Document> gone = std::move(*it);
    size_t index = size_t(it - mDocs.begin());
    mDocs.erase(it);
    bool wasActive = mActive == gone.get();
    if (mCurrent == gone.get()) mCurrent = nullptr;
    if (wasActive) mActive = nullptr;
    if (mDocs.empty()) {
        add(std::make_unique<AcDbDatabase>(), {});
    } else if (wasActive) {
        makeActive(*mDocs[std::min(index, mDocs.size() - 1)]);
    } else if (!mCurrent) {
        mCurrent = mActive;
    }
    gone.reset(); // after the editor left its database
    tellEach(mReactors, [&](AcApDocManagerReactor* r) { r->documentDestroyed(name.c_str()); });
}

Document* DocManager::find(const AcApDocument* doc) const {
    for (auto& d : mDocs) {
        if (d.get() == doc) return d.get();
    }
    return nullptr;
}

void DocManager::withCurrent(Document& doc, const std::function<void()>& fn) {
    Document* before = mCurrent;
    mCurrent = &doc;
    acdbHostApplicationServices()->setWorkingDatabase(doc.database());
    fn();
    if (!find(before)) before = mActive; // closed meanwhile
    mCurrent = before;
    if (before) acdbHostApplicationServices()->setWorkingDatabase(before->database());
}

void DocManager::makeActive(Document& doc) {
    if (mActive == &doc) {
        mCurrent = &doc;
        return;
    }
    Document* previous = mActive;
    tellEach(mReactors, [&](AcApDocManagerReactor* r) { r->documentToBeActivated(&doc); });
    if (previous)
        tellEach(mReactors,
                 [&](AcApDocManagerReactor* r) { r->documentToBeDeactivated(previous); });
    mActive = mCurrent = &doc;
    if (mServices.activated) mServices.activated(doc);
    tellEach(mReactors, [&](AcApDocManagerReactor* r) { r->documentBecameCurrent(&doc); });
    tellEach(mReactors, [&](AcApDocManagerReactor* r) { r->documentActivated(&doc); });
}

AcApDocument* DocManager::document(const AcDbDatabase* db) const {
    for (auto& d : mDocs) {
        if (d->database() == db) return d.get();
    }
    return nullptr;
}

AcApDocumentIterator* DocManager::newAcApDocumentIterator() {
    std::vector<Document*> docs;
    for (auto& d : mDocs)
        docs.push_back(d.get());
    return new DocumentIterator(std::move(docs)); // the caller deletes it (C-style API)
}

Acad::ErrorStatus DocManager::lockDocument(AcApDocument* doc, AcAp::DocLockMode mode,
                                           const ACHAR* globalCmdName, const ACHAR*, bool) {
    Document* d = find(doc);
    if (!d) return Acad::eInvalidInput;
    AcAp::DocLockMode before = d->lockMode();
    Acad::ErrorStatus es = d->lock(mode);
    if (es != Acad::eOk) return es;
    tellEach(mReactors, [&](AcApDocManagerReactor* r) {
        r->documentLockModeChanged(d, before, d->lockMode(), d->lockMode(),
                                   globalCmdName ? globalCmdName : L"");
    });
    return Acad::eOk;
}

Acad::ErrorStatus DocManager::unlockDocument(AcApDocument* doc) {
    Document* d = find(doc);
    if (!d) return Acad::eInvalidInput;
    AcAp::DocLockMode before = d->lockMode();
    Acad::ErrorStatus es = d->unlock();
    if (es != Acad::eOk) return es;
    tellEach(mReactors, [&](AcApDocManagerReactor* r) {
        r->documentLockModeChanged(d, before, d->lockMode(), d->lockMode(), L"");
    });
    return Acad::eOk;
}

Acad::ErrorStatus DocManager::setCurDocument(AcApDocument* doc, AcAp::DocLockMode mode,
                                             bool activate) {
    Document* d = find(doc);
    if (!d) return Acad::eInvalidInput;
    if (activate) {
        Acad::ErrorStatus es = activateDocument(d, false);
        if (es != Acad::eOk) return es;
    }
    mCurrent = d;
    acdbHostApplicationServices()->setWorkingDatabase(d->database());
    if (mode != AcAp::kNone) return lockDocument(d, mode, nullptr, nullptr, false);
    return Acad::eOk;
}

Acad::ErrorStatus DocManager::activateDocument(AcApDocument* doc, bool) {
    Document* d = find(doc);
    if (!d) return Acad::eInvalidInput;
    if (!mActivationEnabled && d != mActive) return Acad::eInvalidInput;
    makeActive(*d);
    return Acad::eOk;
}

Acad::ErrorStatus DocManager::disableDocumentActivation() {
    if (!mActivationEnabled) return Acad::eOk;
    mActivationEnabled = false;
    tellEach(mReactors, [](AcApDocManagerReactor* r) { r->documentActivationModified(false); });
    return Acad::eOk;
}

Acad::ErrorStatus DocManager::enableDocumentActivation() {
    if (mActivationEnabled) return Acad::eOk;
    mActivationEnabled = true;
    tellEach(mReactors, [](AcApDocManagerReactor* r) { r->documentActivationModified(true); });
    return Acad::eOk;
}

void DocManager::popResourceHandle() {
    if (!mResources.empty()) mResources.pop_back();
}

Acad::ErrorStatus DocManager::sendStringToExecute(AcApDocument* doc, const ACHAR* text,
                                                  bool activate, bool, bool) {
    Document* d = find(doc);
    if (!d || !text) return Acad::eInvalidInput;
    if (activate && d != mActive) {
        Acad::ErrorStatus es = activateDocument(d, false);
        if (es != Acad::eOk) return es;
    }
    if (mServices.post) mServices.post(*d, text);
    return Acad::eOk;
}

Acad::ErrorStatus DocManager::appContextNewDocument(const ACHAR*) {
    if (!mActivationEnabled) return Acad::eInvalidInput;
    add(std::make_unique<AcDbDatabase>(), {});
    return Acad::eOk;
}

Acad::ErrorStatus DocManager::appContextOpenDocument(const ACHAR* drawingName) {
    if (!drawingName || !mActivationEnabled) return Acad::eInvalidInput;
    return openFile(drawingName).empty() ? Acad::eOk : Acad::eFileNotFound;
}

Acad::ErrorStatus DocManager::closeDocument(AcApDocument* doc) {
    Document* d = find(doc);
    if (!d) return Acad::eInvalidInput;
    if (!d->isQuiescent()) return Acad::eNotApplicable; // a command runs in it
    close(*d);
    return Acad::eOk;
}

void DocManager::addReactor(AcApDocManagerReactor* reactor) {
    if (!reactor || listed(mReactors, reactor)) return;
    mReactors.push_back(reactor);
    mOwners.emplace_back(reactor, mOwner ? mOwner() : nullptr);
}

void DocManager::removeReactor(AcApDocManagerReactor* reactor) {
    unlist(mReactors, reactor);
    std::erase_if(mOwners, [&](auto& o) { return o.first == reactor; });
}

void DocManager::dropReactorsOwnedBy(const void* owner) {
    for (auto& [reactor, module] : mOwners) {
        if (module == owner) unlist(mReactors, reactor);
    }
    std::erase_if(mOwners, [&](auto& o) { return o.second == owner; });
    for (auto& d : mDocs)
        d->points().dropOwnedBy(owner);
}

} // namespace zel::app
