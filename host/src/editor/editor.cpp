#include "editor/editor.h"

#include "core/format.h"
#include "editor/selection_state.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <utility>

namespace zel::editor {

namespace {

Editor* gCurrent = nullptr; // the one pointer the C-style API reaches the editor by

std::wstring withSlash(std::wstring dir) {
    if (dir.empty() || dir.back() != L'/') dir += L'/';
    return dir;
}

std::wstring tempFolder() {
    const char* tmp = std::getenv("TMPDIR");
    return withSlash(core::utf8ToWide(tmp && *tmp ? tmp : "/tmp"));
}

std::wstring workingFolder() {
    std::error_code ec;
    std::filesystem::path cwd = std::filesystem::current_path(ec);
    return withSlash(ec ? std::wstring(L"/") : core::utf8ToWide(cwd.string()));
}

} // namespace

Editor::Editor()
    : mStart(std::chrono::steady_clock::now()), mSelection(std::make_unique<SelectionState>()) {
    mEnv.seedFromProcess();
    std::wstring temp = tempFolder();
    mVars.setInternal(L"TEMPPREFIX", temp);
    mVars.setInternal(L"DWGPREFIX", workingFolder());
    if (!mEnv.get(L"TempDirectory")) mEnv.set(L"TempDirectory", temp.substr(0, temp.size() - 1));
    mVars.setProvider(L"LASTPROMPT", [this] { return VarValue(mTranscript.lastLine()); });
    mVars.setProvider(L"MILLISECS", [this] {
        auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - mStart);
        return VarValue(int64_t(ms.count() & 0x7fffffff));
    });
}

Editor::~Editor() {
    if (gCurrent == this) setCurrentEditor(nullptr);
}

void Editor::setDatabase(AcDbDatabase* db) {
    mDb = db;
    mVars.setDatabase(db);
}

void Editor::setDrawingPath(std::wstring_view path) {
    size_t slash = path.find_last_of(L'/');
    std::wstring name(slash == std::wstring_view::npos ? path : path.substr(slash + 1));
    std::wstring folder = slash == std::wstring_view::npos
                              ? workingFolder()
                              : std::wstring(path.substr(0, slash + 1));
    mVars.setInternal(L"DWGNAME", name);
    mVars.setInternal(L"DWGPREFIX", folder);
    mVars.setInternal(L"DWGTITLED", int64_t(1));
}

void Editor::setView(const AcGePoint3d& center, double height) {
    mVars.setInternal(L"VIEWCTR", center);
    mVars.setInternal(L"VIEWSIZE", height);
}

ParseContext Editor::parseContext() const {
    ParseContext c;
    c.units.lunits = int(mVars.integer(L"LUNITS"));
    c.units.luprec = int(mVars.integer(L"LUPREC"));
    c.units.aunits = int(mVars.integer(L"AUNITS"));
    c.units.auprec = int(mVars.integer(L"AUPREC"));
    c.units.dimzin = int(mVars.integer(L"DIMZIN"));
    c.units.unitmode = int(mVars.integer(L"UNITMODE"));
    c.angbase = mVars.real(L"ANGBASE");
    c.clockwise = mVars.integer(L"ANGDIR") != 0;
    c.lastPoint = mVars.point(L"LASTPOINT");
    c.elevation = mVars.real(L"ELEVATION");
    return c;
}

void Editor::setLastPoint(const AcGePoint3d& ucsPoint) {
    mVars.setInternal(L"LASTPOINT", ucsPoint);
}

InitGet Editor::takeInitGet() {
    return std::exchange(mInitGet, InitGet{});
}

void Editor::setStatusText(std::wstring_view text) {
    mStatus = StatusBar{std::wstring(text)};
    mTranscript.status(text);
}

void Editor::setProgress(std::wstring_view label, int minPos, int maxPos) {
    mStatus = StatusBar{std::wstring(label), true, minPos, maxPos, minPos};
    mTranscript.status(label);
}

void Editor::setProgressPos(int pos) {
    if (mStatus.progress) mStatus.pos = pos;
}

void Editor::restoreStatusBar() {
    bool shown = !mStatus.text.empty() || mStatus.progress;
    mStatus = StatusBar{};
    if (shown) mTranscript.status(L"");
}

bool Editor::userBreak() {
    if (mQueue.empty()) return false; // never waits for input
    const Event* e = mQueue.peek();
    if (!e || (e->kind != EventKind::Esc && e->kind != EventKind::CtrlC)) return false;
    mQueue.take();
    mPendingTyping.clear();
    return true;
}

Editor::OsnapHook Editor::setOsnapHook(OsnapHook hook) {
    return std::exchange(mOsnap, std::move(hook));
}
Editor::LispHook Editor::setLispHook(LispHook hook) {
    return std::exchange(mLisp, std::move(hook));
}
Editor::CursorHook Editor::setCursorHook(CursorHook hook) {
    return std::exchange(mCursor, std::move(hook));
}

Editor::InputGate Editor::setInputGate(InputGate gate) {
    return std::exchange(mGate, std::move(gate));
}

int Editor::addInputObserver(InputObserver observer) {
    int id = mNextObserver++;
    mInputObservers.emplace_back(id, std::move(observer));
    return id;
}

void Editor::removeInputObserver(int id) {
    std::erase_if(mInputObservers, [id](const auto& o) { return o.first == id; });
}

void Editor::notifyInput(const InputNotice& notice) {
    auto observers = mInputObservers; // an observer may add or remove observers
    for (const auto& [id, fn] : observers)
        fn(notice);
}

Editor* currentEditor() {
    return gCurrent;
}

void setCurrentEditor(Editor* editor) {
    gCurrent = editor;
    if (!editor) {
        core::setOutputSink({});
        return;
    }
    core::setOutputSink([](std::wstring_view text) {
        if (Editor* e = currentEditor()) {
            e->print(text);
            return;
        }
        std::string bytes = core::wideToUtf8(text); // (the sink is reset with the editor)
        std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    });
}

} // namespace zel::editor
