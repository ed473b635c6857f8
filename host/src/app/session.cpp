#include "app/session.h"

#include "app/lisp_bridge.h"
#include "commands/hostcmds.h"
#include "core/text.h"
#include "dxf/dxf.h"
#include "editor/input.h"
#include "editor/selection_query.h"
#include "editor/selection_state.h"
#include "lisp/host_bridge.h"
#include "lisp/resbuf_conv.h"

#include <algorithm>
#include <cassert>

namespace zel::app {

namespace {

Session* gCurrent = nullptr;

editor::InputKind inputKindOf(lisp::InputKind k) {
    switch (k) {
    case lisp::InputKind::Point:
        return editor::InputKind::Point;
    case lisp::InputKind::Corner:
        return editor::InputKind::Corner;
    case lisp::InputKind::String:
        return editor::InputKind::String;
    case lisp::InputKind::Int:
        return editor::InputKind::Integer;
    case lisp::InputKind::Real:
        return editor::InputKind::Real;
    case lisp::InputKind::Dist:
        return editor::InputKind::Distance;
    case lisp::InputKind::Angle:
        return editor::InputKind::Angle;
    case lisp::InputKind::Orient:
        return editor::InputKind::Orient;
    case lisp::InputKind::Kword:
        return editor::InputKind::Keyword;
    }
    return editor::InputKind::String;
}

std::shared_ptr<lisp::HostBridge> makeBridge(editor::Editor* ed, commands::Engine* engine) {
    auto bridge = std::make_shared<lisp::HostBridge>();
    bridge->getVar = [ed](std::wstring_view name) -> core::RbPtr {
        core::RbPtr node(acutNewRb(RTNONE));
        if (ed->vars().getRb(name, node.get()) != RTNORM) return nullptr;
        return node;
    };
    bridge->setVar = [ed](std::wstring_view name, const resbuf* v) {
        return ed->vars().setRb(name, v);
    };
    bridge->command = [engine](const resbuf* tokens) { return engine->cmdS(tokens); };
    bridge->initget = [ed](int bits, std::wstring_view keywords) {
        editor::InitGet init;
        init.bits = bits;
        if (!keywords.empty()) {
            std::optional<editor::KeywordList> list = editor::parseKeywords(keywords);
            if (!list) return RTERROR;
            init.keywords = std::move(*list);
        }
        ed->setInitGet(std::move(init));
        return RTNORM;
    };
    bridge->getInput = [ed](const lisp::InputRequest& req, lisp::InputReply& reply) {
        editor::InputRequest r;
        r.kind = inputKindOf(req.kind);
        r.prompt = req.prompt;
        if (req.hasBase) r.base = AcGePoint3d(req.base[0], req.base[1], req.base[2]);
        r.init = ed->takeInitGet();
        r.spaces = req.allowSpaces;
        editor::InputResult res = editor::requestInput(*ed, r);
        reply.point[0] = res.point.x;
        reply.point[1] = res.point.y;
        reply.point[2] = res.point.z;
        reply.real = res.real;
        reply.integer = res.integer;
        reply.text = res.text;
        return res.status;
    };
    bridge->alert = [ed](std::wstring_view text) { ed->alert(text); };
    bridge->cancelRequested = [ed] { return ed->userBreak(); };
    connectDrawingFunctions(*bridge);
    return bridge;
}

} // namespace

Session* currentSession() {
    return gCurrent;
}

Session::Session() : mEditor(std::make_unique<editor::Editor>()) {
    mEngine = std::make_unique<commands::Engine>(*mEditor);
    commands::registerHostCommands(*mEngine);
    DocumentServices services;
    services.makeLisp = [this] { return makeLisp(); };
    services.activated = [this](Document& d) { activated(d); };
    services.opened = [this](Document& d) {
        if (mModules) mModules->documentOpened(d);
    };
    services.closing = [this](Document& d) {
        mReactors.beginClose(d.database());
        if (mModules) mModules->documentClosing(d);
    };
    services.post = [this](Document&, std::wstring_view text) { mEditor->queue().post(text); };
    mDocs = std::make_unique<DocManager>(std::move(services));
    mCommands = std::make_unique<CommandStack>(*mEditor, [this](const void* m, AcRxFunctionPtr fn) {
        mModules->runAs(static_cast<const Module*>(m), [fn] { fn(); });
    });
    ModuleLoader::Services ms;
    ms.docs = mDocs.get();
    ms.print = [this](std::wstring_view text) { mEditor->print(text); };
    ms.forget = [this](const Module& m) { forget(m); };
    mModules = std::make_unique<ModuleLoader>(std::move(ms));
    auto owner = [this]() -> const void* { return mModules->current(); };
    mDocs->setOwnerSource(owner);
    mCommands->setOwnerSource(owner);
    mReactors.setOwnerSource(owner);
    mRegistry.atPut(ACRX_COMMAND_DOCK, mCommands.get());
    mRegistry.atPut(ACAD_EDITOR_OBJ, &mReactors);
    mRegistry.atPut(ACRX_DYNAMIC_LINKER, mModules.get());
    wireEngine();
    wireReactors();
    mEditor->queue().setSideHandler(
        [this](const editor::Event& e) { return mBar.deliver(e) || mWinMsg.deliver(e); });
    mDocs->add(std::make_unique<AcDbDatabase>(), {});
    registerModuleCommands(*this);
}

Session::~Session() {
    mModules->quitAll(); // modules go while everything they use is still there
    mEngine->removeReactor(mEngineReactor);
    mEditor->vars().removeObserver(mVarObserver);
    mEditor->removeInputObserver(mInputObserver);
    mEngine.reset(); // a pending command ends before the editor goes
    if (editor::currentEditor() == mEditor.get()) editor::setCurrentEditor(nullptr);
    if (commands::currentEngine() == nullptr || commands::currentEngine() == mEngine.get())
        commands::setCurrentEngine(nullptr);
    for (auto& d : mDocs->all()) {
        if (acdbHostApplicationServices()->workingDatabase() == d->database())
            acdbHostApplicationServices()->setWorkingDatabase(nullptr);
    }
    mEditor->setDatabase(nullptr);
    if (gCurrent == this) gCurrent = nullptr;
}

void Session::makeCurrent() {
    gCurrent = this;
    editor::setCurrentEditor(mEditor.get());
    commands::setCurrentEngine(mEngine.get());
    acdbHostApplicationServices()->setWorkingDatabase(mDocs->current()->database());
}

std::unique_ptr<lisp::Interpreter> Session::makeLisp() {
    auto in = std::make_unique<lisp::Interpreter>();
    in->setHostBridge(makeBridge(mEditor.get(), mEngine.get()));
    editor::Editor* ed = mEditor.get();
    in->setOutput([ed](std::wstring_view text) { ed->print(text); });
    return in;
}

void Session::activated(Document& doc) {
    mEditor->setDatabase(doc.database());
    // The selections of the drawing left behind do not apply here, and the spatial index is
    // made for this drawing now, so that it never outlives the drawing it was made for.
    editor::SelectionState& sel = mEditor->selection();
    sel.previous().clear();
    sel.pickfirst().clear();
    sel.index(*doc.database());
    if (doc.path().empty()) {
        mEditor->vars().setInternal(L"DWGTITLED", int64_t(0));
        mEditor->vars().setInternal(L"DWGNAME", std::wstring(doc.docTitle()));
    } else {
        mEditor->setDrawingPath(doc.path());
    }
    if (gCurrent == this) acdbHostApplicationServices()->setWorkingDatabase(doc.database());
    mEngine->undo().reset();
}

void Session::wireEngine() {
    commands::DocumentHooks& docs = mEngine->documents();
    docs.newDrawing = [this] { return newDrawing(); };
    docs.open = [this](const std::wstring& p) { return open(p); };
    docs.save = [this](const std::wstring& p) { return save(p); };
    docs.close = [this] { return close(); };
    docs.currentPath = [this] { return path(); };
    mEngine->setLispEval([this](std::wstring_view text) -> std::optional<std::wstring> {
        mReactors.lispWillStart(text);
        lisp::EvalResult r = lisp().evalText(text);
        mReactors.lispEnded(r.ok);
        if (!r.ok) return std::nullopt;
        return r.printed;
    });
    mEditor->setLispHook([this](std::wstring_view text) -> core::RbPtr {
        lisp::EvalResult r = lisp().evalText(text);
        if (!r.ok) return nullptr;
        try {
            core::RbPtr rb = lisp::valueToResbuf(r.value, lisp::PointForm::Compact);
            return rb ? std::move(rb) : core::RbPtr(acutNewRb(RTNIL));
        } catch (...) {
            return nullptr;
        }
    });
}

void Session::wireReactors() {
    // The document a command started in is told when it ends, even if another is active then.
    auto docs = std::make_shared<std::vector<Document*>>();
    auto started = [this, docs](std::wstring_view name) {
        Document* d = mDocs->active();
        docs->push_back(d);
        if (d) d->commandStarted();
        mReactors.commandWillStart(name);
    };
    auto over = [this, docs] {
        if (docs->empty()) return;
        Document* d = docs->back();
        docs->pop_back();
        if (mDocs->find(d)) d->commandEnded();
    };
    commands::CommandReactor r;
    r.willStart = started;
    r.ended = [this, over](std::wstring_view n) {
        over();
        mReactors.commandEnded(n);
    };
    r.cancelled = [this, over](std::wstring_view n) {
        over();
        mReactors.commandCancelled(n);
    };
    r.failed = [this, over](std::wstring_view n) {
        over();
        mReactors.commandFailed(n);
    };
    mEngineReactor = mEngine->addReactor(std::move(r));
    mVarObserver =
        mEditor->vars().addObserver([this](std::wstring_view n) { mReactors.sysVarChanged(n); });
    mInputObserver = mEditor->addInputObserver([this](const editor::InputNotice& n) {
        Document* d = mDocs->active();
        if (!d) return;
        editor::InputNotice world = n; // reactors and monitors get world points
        world.point = mEditor->ucs().toWorld(n.point);
        if (n.base) world.base = mEditor->ucs().toWorld(*n.base);
        d->points().tell(world, *d, pointContext(n, *d));
    });
}

InputPointManager::PointContext Session::pointContext(const editor::InputNotice& n, Document& doc) {
    InputPointManager::PointContext c;
    c.lastPoint = mEditor->vars().point(L"LASTPOINT");
    if (!n.clicked || n.status != RTNORM || !doc.points().hasMonitors()) return c;
    AcGePoint3d world = mEditor->ucs().toWorld(n.point);
    editor::SelectionQuery query(*doc.database(), &mEditor->selection().index(*doc.database()));
    c.picked = query.pick(geom::Vec2(world.x, world.y), editor::pickAperture(*mEditor));
    if (mEditor->vars().integer(L"OSMODE") != 0) {
        // APERTURE pixels at the scale of the view, as the pick box is measured.
        const editor::SysVars& v = mEditor->vars();
        double perPixel = v.real(L"VIEWSIZE") / std::max(1.0, v.point(L"SCREENSIZE").y);
        c.keyPoints =
            query.pick(geom::Vec2(world.x, world.y), double(v.integer(L"APERTURE")) * perPixel);
    }
    return c;
}

bool Session::singleDocument() const {
    return mEditor->vars().integer(L"SDI") != 0;
}

std::wstring Session::replaceOrAdd(std::unique_ptr<AcDbDatabase> db, const std::wstring& path) {
    Document* old = mDocs->active();
    mDocs->add(std::move(db), path);
    if (singleDocument() && old) mDocs->close(*old);
    return {};
}

std::wstring Session::open(const std::wstring& path) {
    mReactors.beginDwgOpen(path);
    dxf::ReadResult r = dxf::readDxf(core::wideToUtf8(path));
    if (!r.ok()) return core::utf8ToWide(r.error);
    AcDbDatabase* db = r.database.get();
    replaceOrAdd(std::move(r.database), path);
    mReactors.endDwgOpen(path, db);
    return {};
}

std::wstring Session::newDrawing() {
    return replaceOrAdd(std::make_unique<AcDbDatabase>(), {});
}

std::wstring Session::save(const std::wstring& path) {
    Document& doc = *mDocs->active();
    mReactors.beginSave(doc.database(), path);
    std::wstring problem = mDocs->save(doc, path);
    if (!problem.empty()) return problem;
    mEditor->setDrawingPath(path);
    mReactors.saveComplete(doc.database(), path);
    return {};
}

std::wstring Session::close() {
    mDocs->close(*mDocs->active());
    return {};
}

void Session::forget(const Module& module) {
    mCommands->dropOwnedBy(&module);
    mBar.dropOwnedBy(&module);
    mWinMsg.dropOwnedBy(&module);
    mReactors.dropOwnedBy(&module);
    mDocs->dropReactorsOwnedBy(&module);
    for (auto& doc : mDocs->all()) {
        auto& fns = doc->moduleFunctions();
        for (auto it = fns.begin(); it != fns.end();) {
            if (it->second.module != &module) {
                ++it;
                continue;
            }
            doc->lisp().externals().undefine(it->first);
            it = fns.erase(it);
        }
    }
}

int Session::callModuleFunction(const Module* module, short code, lisp::ExternalCall& call) {
    struct Frame {
        std::vector<ModuleCall>& calls;
        ~Frame() { calls.pop_back(); }
    } frame{mCalls};
    mCalls.push_back({code, &call});
    if (ModuleLoader::SubrFn fn = mModules->subr(module, code)) {
        int rc = RSERR;
        mModules->runAs(module, [&] { rc = fn(); });
        return rc;
    }
    if (!module) return RSERR; // the host's own function without a procedure
    return mModules->send(*module, AcRx::kInvkSubrMsg) == AcRx::kRetOK ? RSRSLT : RSERR;
}

} // namespace zel::app
