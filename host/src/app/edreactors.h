// The editor of the runtime API (AcEditor): its reactors, told about the commands the engine
// runs, LISP typed at the command line, changed system variables and drawing files.
#pragma once

#include "arx/aced.h"

#include <functional>
#include <string>
#include <vector>

namespace zel::app {

class EditorReactors : public AcEditor {
public:
    void addReactor(AcEditorReactor* reactor) override;
    void removeReactor(AcEditorReactor* reactor) override;
    size_t count() const { return mReactors.size(); }
    // Forgets the reactors a module added (the module is going away); how many they were.
    size_t dropOwnedBy(const void* owner);
    void setOwnerSource(std::function<const void*()> owner) { mOwner = std::move(owner); }

    void commandWillStart(std::wstring_view name);
    void commandEnded(std::wstring_view name);
    void commandCancelled(std::wstring_view name);
    void commandFailed(std::wstring_view name);
    void lispWillStart(std::wstring_view text);
    void lispEnded(bool ok);
    void sysVarChanged(std::wstring_view name);
    void beginDwgOpen(const std::wstring& path);
    void endDwgOpen(const std::wstring& path, AcDbDatabase* db);
    void beginSave(AcDbDatabase* db, const std::wstring& path);
    void saveComplete(AcDbDatabase* db, const std::wstring& path);
    void beginClose(AcDbDatabase* db);

private:
    template <class Fn> void tell(Fn&& fn);
    std::vector<AcEditorReactor*> mReactors; // a reactor added twice is here twice
    std::vector<const void*> mOwners;        // the module that added each
    std::function<const void*()> mOwner;
};

} // namespace zel::app
