// A session of the program: one drawing with its editor, LISP interpreter and command engine,
// wired together (the LISP reaches the editor through its host bridge; the engine opens and
// saves drawings through the session). zelcad run and zelcad shell drive one.
#pragma once

#include "arx/db.h"
#include "commands/engine.h"
#include "editor/editor.h"
#include "lisp/interp.h"

#include <memory>
#include <string>

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
    lisp::Interpreter& lisp() { return *mLisp; }
    AcDbDatabase& database() { return *mDb; }

    // Makes this session the one the C-style API works with (and acutPrintf writes to).
    void makeCurrent();

    // Documents: an empty text on success, else the message (the drawing is then unchanged).
    std::wstring open(const std::wstring& path);
    std::wstring save(const std::wstring& path);
    std::wstring newDrawing();
    const std::wstring& path() const { return mPath; }

private:
    void setDrawing(std::unique_ptr<AcDbDatabase> db);
    void wireLisp();

    std::unique_ptr<AcDbDatabase> mDb;
    std::unique_ptr<editor::Editor> mEditor;
    std::unique_ptr<lisp::Interpreter> mLisp;
    std::unique_ptr<commands::Engine> mEngine;
    std::wstring mPath;
};

} // namespace zel::app
