#include "app/session.h"

#include "commands/hostcmds.h"
#include "core/text.h"
#include "dxf/dxf.h"
#include "editor/input.h"
#include "app/lisp_bridge.h"
#include "lisp/host_bridge.h"
#include "lisp/resbuf_conv.h"

namespace zel::app {

namespace {

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

} // namespace

Session::Session()
    : mDb(std::make_unique<AcDbDatabase>()), mEditor(std::make_unique<editor::Editor>()),
      mLisp(std::make_unique<lisp::Interpreter>()) {
    mEditor->setDatabase(mDb.get());
    mEngine = std::make_unique<commands::Engine>(*mEditor);
    commands::registerHostCommands(*mEngine);
    commands::DocumentHooks& docs = mEngine->documents();
    docs.newDrawing = [this] { return newDrawing(); };
    docs.open = [this](const std::wstring& p) { return open(p); };
    docs.save = [this](const std::wstring& p) { return save(p); };
    docs.close = [this] { return newDrawing(); };
    docs.currentPath = [this] { return mPath; };
    wireLisp();
}

Session::~Session() {
    mEngine.reset(); // a pending command ends before the editor goes
    if (editor::currentEditor() == mEditor.get()) editor::setCurrentEditor(nullptr);
    if (commands::currentEngine() == nullptr || commands::currentEngine() == mEngine.get())
        commands::setCurrentEngine(nullptr);
    if (acdbHostApplicationServices()->workingDatabase() == mDb.get())
        acdbHostApplicationServices()->setWorkingDatabase(nullptr);
}

void Session::makeCurrent() {
    editor::setCurrentEditor(mEditor.get());
    commands::setCurrentEngine(mEngine.get());
    acdbHostApplicationServices()->setWorkingDatabase(mDb.get());
}

void Session::setDrawing(std::unique_ptr<AcDbDatabase> db) {
    mEditor->setDatabase(db.get());
    if (acdbHostApplicationServices()->workingDatabase() == mDb.get())
        acdbHostApplicationServices()->setWorkingDatabase(db.get());
    mDb = std::move(db);
}

std::wstring Session::newDrawing() {
    setDrawing(std::make_unique<AcDbDatabase>());
    mPath.clear();
    mEditor->vars().setInternal(L"DWGTITLED", int64_t(0));
    return {};
}

std::wstring Session::open(const std::wstring& path) {
    dxf::ReadResult r = dxf::readDxf(core::wideToUtf8(path));
    if (!r.ok()) return core::utf8ToWide(r.error);
    setDrawing(std::move(r.database));
    mPath = path;
    mEditor->setDrawingPath(path);
    return {};
}

std::wstring Session::save(const std::wstring& path) {
    dxf::SaveResult r = dxf::writeDxf(*mDb, core::wideToUtf8(path));
    if (!r.ok) return core::utf8ToWide(r.error);
    mPath = path;
    mEditor->setDrawingPath(path);
    return {};
}

void Session::wireLisp() {
    auto bridge = std::make_shared<lisp::HostBridge>();
    editor::Editor* ed = mEditor.get();
    commands::Engine* engine = mEngine.get();
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
    mLisp->setHostBridge(bridge);
    mLisp->setOutput([ed](std::wstring_view text) { ed->print(text); });
    lisp::Interpreter* interp = mLisp.get();
    mEngine->setLispEval([interp](std::wstring_view text) -> std::optional<std::wstring> {
        lisp::EvalResult r = interp->evalText(text);
        if (!r.ok) return std::nullopt;
        return r.printed;
    });
    mEditor->setLispHook([interp](std::wstring_view text) -> core::RbPtr {
        lisp::EvalResult r = interp->evalText(text);
        if (!r.ok) return nullptr;
        try {
            core::RbPtr rb = lisp::valueToResbuf(r.value, lisp::PointForm::Compact);
            return rb ? std::move(rb) : core::RbPtr(acutNewRb(RTNIL));
        } catch (...) {
            return nullptr;
        }
    });
}

} // namespace zel::app
