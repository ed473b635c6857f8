// Undo as the user drives it: one journal step per command, UNDO groups (UNDOCTL bit 8 while
// open), marks (UNDOMARKS), Back, U, and the UNDOCTL bits 1 (undo on), 2 (one step only) and
// 4 (Auto). The steps themselves are the database journal's.
#pragma once

#include "editor/editor.h"

#include <string>
#include <vector>

namespace zel::commands {

class UndoControl {
public:
    explicit UndoControl(editor::Editor& ed) : mEd(ed) {}

    // Around every command that changes the drawing.
    void beginCommand(std::wstring name);
    void endCommand();

    // UNDO BEgin / End; false when there was nothing to do (no group open for End).
    bool beginGroup();
    bool endGroup();
    bool groupOpen() const { return mGroupOpen; }
    void mark();
    size_t marks() const { return mMarks.size(); }
    // Undoes the last step (the open group as a whole); the name of what was undone, or an
    // empty text when there was nothing.
    std::wstring undoOne();
    // Back to the last mark; false when there is none (nothing undone then).
    bool backToMark();
    // Undoes everything; the number of steps undone.
    int undoAll();
    size_t steps() const;

    // UNDO Control: All (on), None (off, the journal forgotten), One (a single step).
    enum class Mode { All, None, One };
    void setMode(Mode mode);
    void setAuto(bool on);
    bool enabled() const { return (ctl() & 1) != 0; }

    // A new or other drawing: groups and marks are forgotten.
    void reset();

private:
    int ctl() const { return int(mEd.vars().integer(L"UNDOCTL")); }
    void setCtl(int bits);
    void publish();
    void dropMarksAbove(size_t count);

    editor::Editor& mEd;
    bool mGroupOpen = false;
    std::vector<size_t> mMarks; // journal step counts at each mark
    int mCommandDepth = 0;
};

} // namespace zel::commands
