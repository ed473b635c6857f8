// The editor of a session: the input queue, the transcript, the system variables of the session
// with the current drawing, the environment values, the status bar and the state the input
// functions share (what acedInitGet set up, the last keyword, typing not yet entered).
//
// The C-style API reaches the editor through one pointer, set by the application with
// setCurrentEditor; while an editor is current, acutPrintf writes into its transcript.
#pragma once

#include "core/resbuf.h"
#include "editor/cmdregistry.h"
#include "editor/env.h"
#include "editor/events.h"
#include "editor/keywords.h"
#include "editor/parse.h"
#include "editor/sysvars.h"
#include "editor/tempgraphics.h"
#include "editor/transcript.h"
#include "editor/ucs.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class AcDbDatabase;
class AcDbObjectId;

namespace zel::editor {

class SelectionState;

enum class InputKind { Point, Corner, Distance, Angle, Orient, String, Keyword, Integer, Real };

// What an input notice is about: an input request of the editor (of its InputKind), the
// pick of one entity (acedEntSel) or a selection ("オブジェクトを選択:", acedSSGet).
enum class InputTopic { Request, EntityPick, Selection };

// Told when an input call of the editor starts (begin: its prompt shows next) and when it has
// its answer; every begin is followed by the end of the same call, calls asked while one waits
// (the second point of a distance) nest inside it. Input-context reactors build on it.
struct InputNotice {
    InputKind kind = InputKind::Point; // requests (picks and selections say Point)
    int status = RTNORM;               // end: RTNORM, RTNONE, RTKWORD, RTCAN ...
    AcGePoint3d point;                 // end: the point given (UCS), for points and picks
    bool drag = false;                 // the point ends a drag (InputRequest::drag)
    bool clicked = false;              // end: the answer was a click, not typed
    bool begin = false;                // the call starts (else it has ended)
    InputTopic topic = InputTopic::Request;
    // What is asked (begin notices).
    std::wstring prompt;
    std::optional<AcGePoint3d> base; // UCS: the rubber band starts there
    int initBits = 0;                // acedInitGet bits
    std::wstring keywords;           // the keywords offered, blank-separated (local forms)
    std::wstring controls;           // selections: ":S" (single), ":E" (everything in the box)
    const resbuf* filter = nullptr;  // selections: the DXF filter list, if any
    // The answer (end notices): numbers, the text or keyword, the entities picked or selected.
    double real = 0;
    int integer = 0;
    std::wstring text;
    const std::vector<AcDbObjectId>* ids = nullptr;
};

struct StatusBar {
    std::wstring text;     // what the status bar shows; empty when it shows its usual content
    bool progress = false; // a progress meter is shown
    int minPos = 0, maxPos = 0, pos = 0;
};

class Editor {
public:
    // A point picked on screen (world coordinates) and the object-snap modes in force (OSMODE
    // bits, or those of a typed override); returns the point to use.
    using OsnapHook = std::function<AcGePoint3d(const AcGePoint3d& pick, int modes)>;
    // Evaluates a LISP expression typed at a prompt; null when it failed (it says why).
    using LispHook = std::function<core::RbPtr(std::wstring_view expression)>;
    // The cursor moved while input was awaited (drags follow it).
    using CursorHook = std::function<void(const AcGePoint3d& world)>;
    using InputObserver = std::function<void(const InputNotice&)>;
    // Called when an input request starts, before its prompt is shown: a host command run by
    // acedCommandS waits there for the tokens of the next call (its prompt is shown only when
    // something answers it).
    using InputGate = std::function<void(InputKind kind)>;
    // Runs a command typed with a leading "'" at a prompt (transparently) and says why not
    // when it cannot.
    using TransparentHook = std::function<void(std::wstring_view typed)>;
    // Told every cursor move while a drag waits for its point (UCS); false ends the drag.
    using DragSampler = std::function<bool(const AcGePoint3d& ucs)>;

    Editor();
    ~Editor();
    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;

    EventQueue& queue() { return mQueue; }
    Transcript& transcript() { return mTranscript; }
    // Vectors drawn on the screen outside the drawing (cleared by REDRAW, REGEN and ZOOM).
    TempGraphics& tempGraphics() { return mTempGraphics; }
    const Transcript& transcript() const { return mTranscript; }
    SysVars& vars() { return mVars; }
    const SysVars& vars() const { return mVars; }
    Environment& env() { return mEnv; }
    // The commands of the session (host commands and those of modules).
    CommandRegistry& commands() { return mCommands; }

    AcDbDatabase* database() const { return mDb; }
    void setDatabase(AcDbDatabase* db);
    // DWGNAME, DWGPREFIX and DWGTITLED of a drawing read from or saved to a file.
    void setDrawingPath(std::wstring_view path);
    // VIEWCTR and VIEWSIZE (ZOOM changes them).
    void setView(const AcGePoint3d& center, double height);

    // What the input functions read typed text and points with (units, ANGBASE, LASTPOINT ...).
    ParseContext parseContext() const;
    Ucs ucs() const { return Ucs::current(mVars); }
    void setLastPoint(const AcGePoint3d& ucsPoint);

    // acedInitGet: applies to the next input call, which takes it.
    void setInitGet(InitGet init) { mInitGet = std::move(init); }
    InitGet takeInitGet();
    // acedGetInput: the keyword (or arbitrary text) of the last RTKWORD.
    const std::wstring& lastKeyword() const { return mLastKeyword; }
    void setLastKeyword(std::wstring text) { mLastKeyword = std::move(text); }
    // Typing that was posted without its line end, waiting for the rest of the line.
    std::wstring& pendingTyping() { return mPendingTyping; }

    // A one-shot object-snap override typed before a point (OSMODE bits; 0 for NON), if any.
    std::optional<int>& osnapOverride() { return mOsnapOverride; }
    // The base point (UCS) of the input request being answered, if it has one: its rubber band
    // starts there and the object snap measures tangents and parallels from it. Requests set
    // it while they run (and give the outer request's back).
    const std::optional<AcGePoint3d>& inputBase() const { return mInputBase; }
    std::optional<AcGePoint3d> setInputBase(std::optional<AcGePoint3d> base) {
        return std::exchange(mInputBase, base);
    }

    // Messages, alerts and the status bar.
    void print(std::wstring_view text) { mTranscript.message(text); }
    void alert(std::wstring_view text) { mTranscript.alert(text); }
    const StatusBar& statusBar() const { return mStatus; }
    void setStatusText(std::wstring_view text);
    void setProgress(std::wstring_view label, int minPos, int maxPos);
    void setProgressPos(int pos);
    void restoreStatusBar();

    // True (once) when the user has asked to break a long operation: an Esc or a posted
    // Ctrl-C is the next input; it is taken.
    bool userBreak();

    OsnapHook setOsnapHook(OsnapHook hook);
    LispHook setLispHook(LispHook hook);
    CursorHook setCursorHook(CursorHook hook);
    InputGate setInputGate(InputGate gate);
    TransparentHook setTransparentHook(TransparentHook hook) {
        std::swap(hook, mTransparent);
        return hook;
    }
    const TransparentHook& transparentHook() const { return mTransparent; }
    const OsnapHook& osnapHook() const { return mOsnap; }
    const LispHook& lispHook() const { return mLisp; }
    const CursorHook& cursorHook() const { return mCursor; }
    DragSampler setDragSampler(DragSampler sampler) {
        return std::exchange(mDragSampler, std::move(sampler));
    }
    const DragSampler& dragSampler() const { return mDragSampler; }
    const InputGate& inputGate() const { return mGate; }
    int addInputObserver(InputObserver observer);
    void removeInputObserver(int id);
    void notifyInput(const InputNotice& notice);

    // Selection sets, the previous and PICKFIRST sets and the spatial index (selection.h).
    SelectionState& selection() { return *mSelection; }
    const SelectionState& selection() const { return *mSelection; }

private:
    EventQueue mQueue;
    Transcript mTranscript;
    TempGraphics mTempGraphics;
    SysVars mVars;
    Environment mEnv;
    CommandRegistry mCommands;
    AcDbDatabase* mDb = nullptr;
    StatusBar mStatus;
    InitGet mInitGet;
    std::wstring mLastKeyword;
    std::wstring mPendingTyping;
    std::optional<int> mOsnapOverride;
    std::optional<AcGePoint3d> mInputBase;
    OsnapHook mOsnap;
    LispHook mLisp;
    CursorHook mCursor;
    DragSampler mDragSampler;
    InputGate mGate;
    TransparentHook mTransparent;
    std::vector<std::pair<int, InputObserver>> mInputObservers;
    int mNextObserver = 1;
    std::chrono::steady_clock::time_point mStart;
    std::unique_ptr<SelectionState> mSelection;
};

// The editor the C-style API works with (null: the API answers RTERROR). Setting one also
// sends acutPrintf to the transcript of whichever editor is current; null gives it back to
// standard output.
Editor* currentEditor();
void setCurrentEditor(Editor* editor);

} // namespace zel::editor
