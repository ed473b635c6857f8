// The command engine of a session: the command line (a typed name runs a command, "(" runs
// LISP and prints its value, a system variable's name asks for its new value), the running of
// commands (one undo step each, CMDNAMES, reactors, cancel) and acedCommandS / acedCmdS.
//
// acedCmdS puts its tokens in front of the user's input: when they run out, the command reads
// on from the user until it ends. acedCommandS runs a command on tokens alone: when they run
// out before it ends, the command waits in its own execution context (a Fiber) without showing
// its prompt, and the next acedCommandS feeds it; one without tokens cancels it, and so does
// the end of the command that started it.
#pragma once

#include "commands/fiber.h"
#include "commands/undoctl.h"
#include "editor/editor.h"
#include "editor/selection.h"

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zel::commands {

// What the engine tells about the commands it runs (the application's editor reactors).
struct CommandReactor {
    std::function<void(std::wstring_view name)> willStart;
    std::function<void(std::wstring_view name)> ended;
    std::function<void(std::wstring_view name)> cancelled;
    std::function<void(std::wstring_view name)> failed;
};

// Documents: the application fills these (NEW, OPEN, CLOSE, SAVE). Each returns an empty text
// on success, or the message to show.
struct DocumentHooks {
    std::function<std::wstring()> newDrawing;
    std::function<std::wstring(const std::wstring& path)> open;
    std::function<std::wstring(const std::wstring& path)> save;
    std::function<std::wstring()> close;
    std::function<std::wstring()> currentPath; // empty for a drawing never saved
};

class Engine {
public:
    // Evaluates a LISP expression typed at the command line; the value as LISP prints it, or
    // nullopt when it failed (it said why).
    using LispEval = std::function<std::optional<std::wstring>(std::wstring_view expression)>;

    explicit Engine(editor::Editor& ed);
    ~Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    editor::Editor& editor() { return mEd; }
    AcDbDatabase& database();
    UndoControl& undo() { return mUndo; }
    DocumentHooks& documents() { return mDocs; }
    void setLispEval(LispEval eval) { mLisp = std::move(eval); }
    int addReactor(CommandReactor reactor);
    void removeReactor(int id);

    // The command line: reads and runs one item from the input; false at the end of input.
    bool step();
    // Runs the command line until the input ends.
    void run();

    // Runs a command by its typed name ("LINE", "._line", a system variable's name) with its
    // input from the queue. RTNORM, RTCAN when cancelled, RTERROR for an unknown name.
    int runCommand(std::wstring_view typed);

    // acedCommandS / acedCmdS over a token list (RTSTR, RTSHORT, RTLONG, RTREAL, RTPOINT,
    // RT3DPOINT, RTNONE for Enter).
    int commandS(const resbuf* tokens);
    int cmdS(const resbuf* tokens);
    bool pending() const { return mPending != nullptr; }
    // Ends a pending command as cancelled.
    void cancelPending();

    // Entity names and selection sets of the token list the running command reads (for its
    // selection prompts).
    editor::SelectionTokenSource selectionTokens();

    // What ZOOM Previous and UCS Previous go back to.
    struct View {
        AcGePoint3d center;
        double height = 0;
    };
    std::vector<View>& viewHistory() { return mViews; }
    std::vector<editor::Ucs>& ucsHistory() { return mUcsHistory; }

    // The names of the running commands ("MYCMD'LINE").
    std::wstring cmdNames() const;

private:
    int execute(const editor::CommandDef& def);
    void transparent(std::wstring_view typed);
    int dispatch(const std::wstring& token);
    void commandLineText(const std::wstring& text);
    void notify(std::function<void(std::wstring_view)> CommandReactor::*which,
                std::wstring_view name);
    void publishNames();
    bool inPending() const { return mPending && mPending->inside(); }
    void waitForTokens();
    int runTokenCommands(bool tokensOnly);

    editor::Editor& mEd;
    UndoControl mUndo;
    DocumentHooks mDocs;
    LispEval mLisp;
    std::vector<std::pair<int, CommandReactor>> mReactors;
    int mNextReactor = 1;
    std::vector<std::wstring> mNames; // running commands, outermost first
    std::unique_ptr<Fiber> mPending;
    int mPendingStatus = RTNORM;
    int mPendingOwner = 0; // the depth of commands when it was started
    int mDepth = 0;        // commands running on the caller's side
    bool mTokensOnly = false;
    std::wstring mLastCommand;
    std::vector<editor::SelectionToken> mSelectionTokens; // by Event::id of their events
    std::vector<View> mViews;
    std::vector<editor::Ucs> mUcsHistory;
};

// The engine the C-style API (acedCommandS, acedCmdS) works with.
Engine* currentEngine();
void setCurrentEngine(Engine* engine);

// Events a token list stands for (marked as tokens): a text is typed, "" or RTNONE is Enter,
// numbers and points are typed in full precision; entity names, (entity point) lists and
// selection sets become selection tokens (kept in store, the event's id is the index). nullopt
// for a token of another kind or a name that is not an entity or a live set.
std::optional<std::deque<editor::Event>> tokenEvents(const resbuf* tokens, editor::Editor& ed,
                                                     std::vector<editor::SelectionToken>& store);
constexpr int kTokenLine = -1;         // Event::line of a token
constexpr int kSelectionTokenCode = 1; // Event::code of a selection token

} // namespace zel::commands
