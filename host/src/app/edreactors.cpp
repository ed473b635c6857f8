#include "app/edreactors.h"

#include <algorithm>

namespace zel::app {

void EditorReactors::addReactor(AcEditorReactor* reactor) {
    if (!reactor) return;
    mReactors.push_back(reactor);
    mOwners.push_back(mOwner ? mOwner() : nullptr);
}

void EditorReactors::removeReactor(AcEditorReactor* reactor) {
    auto it = std::find(mReactors.rbegin(), mReactors.rend(), reactor);
    if (it == mReactors.rend()) return;
    size_t at = size_t(std::next(it).base() - mReactors.begin());
    mReactors.erase(mReactors.begin() + ptrdiff_t(at));
    mOwners.erase(mOwners.begin() + ptrdiff_t(at));
}

size_t EditorReactors::dropOwnedBy(const void* owner) {
    size_t dropped = 0;
    for (size_t i = mReactors.size(); i-- > 0;) {
        if (mOwners[i] != owner) continue;
        mReactors.erase(mReactors.begin() + ptrdiff_t(i));
        mOwners.erase(mOwners.begin() + ptrdiff_t(i));
        ++dropped;
    }
    return dropped;
}

// Each entry is told once per time it was added; one removed meanwhile is not told.
template <class Fn> void EditorReactors::tell(Fn&& fn) {
    std::vector<AcEditorReactor*> snapshot = mReactors;
    for (size_t i = 0; i < snapshot.size(); ++i) {
        size_t before =
            size_t(std::count(snapshot.begin(), snapshot.begin() + ptrdiff_t(i), snapshot[i]));
        if (size_t(std::count(mReactors.begin(), mReactors.end(), snapshot[i])) <= before) continue;
        fn(snapshot[i]);
    }
}

void EditorReactors::commandWillStart(std::wstring_view name) {
    std::wstring n(name);
    tell([&](AcEditorReactor* r) { r->commandWillStart(n.c_str()); });
}

void EditorReactors::commandEnded(std::wstring_view name) {
    std::wstring n(name);
    tell([&](AcEditorReactor* r) { r->commandEnded(n.c_str()); });
}

void EditorReactors::commandCancelled(std::wstring_view name) {
    std::wstring n(name);
    tell([&](AcEditorReactor* r) { r->commandCancelled(n.c_str()); });
}

void EditorReactors::commandFailed(std::wstring_view name) {
    std::wstring n(name);
    tell([&](AcEditorReactor* r) { r->commandFailed(n.c_str()); });
}

void EditorReactors::lispWillStart(std::wstring_view text) {
    std::wstring t(text.substr(0, text.find(L'\n')));
    tell([&](AcEditorReactor* r) { r->lispWillStart(t.c_str()); });
}

void EditorReactors::lispEnded(bool ok) {
    tell([&](AcEditorReactor* r) {
        if (ok)
            r->lispEnded();
        else
            r->lispCancelled();
    });
}

void EditorReactors::sysVarChanged(std::wstring_view name) {
    std::wstring n(name);
    tell([&](AcEditorReactor* r) { r->sysVarChanged(n.c_str(), true); });
}

void EditorReactors::beginDwgOpen(const std::wstring& path) {
    tell([&](AcEditorReactor* r) { r->beginDwgOpen(path.c_str()); });
}

void EditorReactors::endDwgOpen(const std::wstring& path, AcDbDatabase* db) {
    tell([&](AcEditorReactor* r) { r->endDwgOpen(path.c_str(), db); });
}

void EditorReactors::beginSave(AcDbDatabase* db, const std::wstring& path) {
    tell([&](AcEditorReactor* r) { r->beginSave(db, path.c_str()); });
}

void EditorReactors::saveComplete(AcDbDatabase* db, const std::wstring& path) {
    tell([&](AcEditorReactor* r) { r->saveComplete(db, path.c_str()); });
}

void EditorReactors::beginClose(AcDbDatabase* db) {
    tell([&](AcEditorReactor* r) { r->beginClose(db); });
}

} // namespace zel::app
