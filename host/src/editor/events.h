// The editor's input: one queue of user events (typed lines, clicks, keys, dialog-bar and
// dialog actions ...). Scripts and the shell append to it; text posted to the command line by a
// module goes in front of everything else. Events meant for the dialog bar, its text panels
// and dialogs are handed at once to a registered handler (its callbacks run) while whoever
// reads input keeps waiting.
#pragma once

#include "arx/ge.h"

#include <cstddef>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace zel::editor {

enum class EventKind {
    Text,         // a line typed, then Enter (text)
    Enter,        // a bare Enter
    Click,        // left click at a world point (point)
    Move,         // cursor moved to a world point (point)
    Esc,          // Esc pressed
    RightClick,   // right click (Enter at a prompt)
    Key,          // one key typed (code)
    Chars,        // characters posted to the command line, without their line end (text)
    CtrlC,        // a posted Ctrl-C: cancels what waits for input
    BarText,      // dialog-bar field edited (id = field, text)
    BarTile,      // dialog-bar tile pressed (id = tile)
    PanelType,    // typing into the dialog bar's text panel (text)
    PanelEnter,   // Enter in the text panel
    PanelPick,    // text panel: line (code) of list (id) chosen
    PanelInsert,  // text panel: line (code) of list (id) inserted at the caret
    PanelAdd,     // text panel: its text added to the history
    PanelDelete,  // text panel: line (code) of list (id) deleted from the history
    PanelEsc,     // Esc in the text panel
    DialogCheck,  // modal dialog: check box (id) switched on or off (code 1/0)
    DialogText,   // modal dialog: edit control (id) given a text
    DialogSelect, // modal dialog: list or combo (id) item (code) selected
    DialogPress,  // modal dialog: button (id) pressed
    MsgBox,       // answer to a message box (answer)
};

enum class MsgBoxAnswer { Yes, No, Ok, Cancel };

struct Event {
    EventKind kind = EventKind::Enter;
    std::wstring text;
    AcGePoint3d point;
    int id = 0;
    int code = 0;
    MsgBoxAnswer answer = MsgBoxAnswer::Ok;
    bool posted = false; // came from a post to the command line
    int line = 0;        // script line it was read from (0: not from a script)

    static Event typed(std::wstring text, int line = 0);
    static Event enter(int line = 0);
    static Event click(const AcGePoint3d& p, int line = 0);
    static Event move(const AcGePoint3d& p, int line = 0);
    static Event esc(int line = 0);
    static Event rightClick(int line = 0);
    static Event key(wchar_t c, int line = 0);
    static Event barText(int field, std::wstring text, int line = 0);
    static Event barTile(int tile, int line = 0);
    static Event panelType(std::wstring text, int line = 0);
    static Event panelEnter(int line = 0);
    static Event panelPick(int list, int index, int line = 0);
    static Event panelInsert(int list, int index, int line = 0);
    static Event panelAdd(int line = 0);
    static Event panelDelete(int list, int index, int line = 0);
    static Event panelEsc(int line = 0);
    static Event dialogCheck(int control, bool on, int line = 0);
    static Event dialogText(int control, std::wstring text, int line = 0);
    static Event dialogSelect(int control, int index, int line = 0);
    static Event dialogPress(int control, int line = 0);
    static Event msgBox(MsgBoxAnswer answer, int line = 0);

    bool operator==(const Event& o) const = default;
};

// Events that belong to the dialog bar, its panels, modal dialogs and message boxes rather
// than to the command line.
bool isSideEvent(EventKind kind);
// "!bar tile 4", "10,0" ...: the event as a script would write it (for messages and tests).
std::wstring describe(const Event& e);

class EventQueue {
public:
    // Handles a side event at once; returns false when it did not want it (the reader then
    // sees it and decides).
    using SideHandler = std::function<bool(const Event&)>;
    // Called when the queue is empty and someone wants an event: it may push more (the shell
    // reads a line) and returns false at the end of input.
    using Feeder = std::function<bool(EventQueue&)>;

    void push(Event e);
    void pushFront(Event e);
    // Text posted to the command line: read before anything queued, in the order of posting.
    // Each character 3 (Ctrl-C) becomes a CtrlC event; the characters between are typing
    // (line ends in them act as Enter).
    void post(std::wstring_view text);
    // Puts typing that a reader did not use back in front of the posted events.
    void unreadPosted(Event e);

    // Replaces the queued (not posted) events and gives the previous ones back: the command
    // engine runs a token list against a queue of its own.
    std::deque<Event> swapQueued(std::deque<Event> events) {
        std::swap(events, mQueued);
        return events;
    }

    bool empty() const { return mPosted.empty() && mQueued.empty(); }
    size_t size() const { return mPosted.size() + mQueued.size(); }
    // The next event without taking it (asks the feeder when empty).
    const Event* peek();
    // Takes the next event as it is (asks the feeder when empty); nullopt at the end of input.
    std::optional<Event> take();
    // Takes the next event for a reader: side events and single keys are first offered to the
    // side handler and skipped when it takes them.
    std::optional<Event> next();
    void clear();

    SideHandler setSideHandler(SideHandler handler);
    Feeder setFeeder(Feeder feeder);
    // Told after every post (the command engine cancels a pending command on a posted Ctrl-C).
    using PostObserver = std::function<void(EventQueue&)>;
    PostObserver setPostObserver(PostObserver observer) {
        std::swap(observer, mPostObserver);
        return observer;
    }
    // Set once a reader asked for input that was not there (the script ran out).
    bool exhausted() const { return mExhausted; }
    void resetExhausted() { mExhausted = false; }

private:
    bool refill();
    std::deque<Event> mPosted;
    std::deque<Event> mQueued;
    SideHandler mSide;
    PostObserver mPostObserver;
    Feeder mFeeder;
    bool mExhausted = false;
};

} // namespace zel::editor
