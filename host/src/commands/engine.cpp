#include "commands/engine.h"

#include "commands/osnap.h"

#include "commands/ask.h"
#include "commands/hostcmds.h"
#include "core/text.h"
#include "editor/messages.h"
#include "editor/reply.h"
#include "editor/sysvars.h"

#include <algorithm>
#include <cassert>
#include <exception>
#include <utility>

namespace zel::commands {

namespace {

Engine* gEngine = nullptr;

using editor::Event;
using editor::EventKind;

bool isToken(const Event& e) {
    return e.line == kTokenLine;
}

// Takes the first queued event (posted typing is not looked at) when it is a token.
std::optional<Event> takeToken(editor::EventQueue& q) {
    std::deque<Event> queued = q.swapQueued({});
    std::optional<Event> token;
    if (!queued.empty() && isToken(queued.front())) {
        token = std::move(queued.front());
        queued.pop_front();
    }
    q.swapQueued(std::move(queued));
    return token;
}

} // namespace

Engine* currentEngine() {
    return gEngine;
}

void setCurrentEngine(Engine* engine) {
    gEngine = engine;
}

Engine::Engine(editor::Editor& ed) : mEd(ed), mUndo(ed) {
    mEd.setInputGate([this](editor::InputKind) {
        if (inPending() && mEd.queue().empty()) waitForTokens();
    });
    mEd.setTransparentHook([this](std::wstring_view typed) { transparent(typed); });
    installObjectSnap(*this);
    // A Ctrl-C posted while a command is pending cancels it at once (and is used up).
    mEd.queue().setPostObserver([this](editor::EventQueue& q) {
        if (!mPending || inPending()) return;
        const Event* front = q.peek();
        if (!front || front->kind != EventKind::CtrlC) return;
        q.take();
        cancelPending();
    });
}

Engine::~Engine() {
    cancelPending();
    mEd.setInputGate(nullptr);
    mEd.setTransparentHook(nullptr);
    mEd.setOsnapHook(nullptr);
    mEd.queue().setPostObserver(nullptr);
    if (gEngine == this) gEngine = nullptr;
}

AcDbDatabase& Engine::database() {
    assert(mEd.database() && "the engine runs without a drawing");
    return *mEd.database();
}

int Engine::addReactor(CommandReactor reactor) {
    int id = mNextReactor++;
    mReactors.emplace_back(id, std::move(reactor));
    return id;
}

void Engine::removeReactor(int id) {
    std::erase_if(mReactors, [id](const auto& r) { return r.first == id; });
}

void Engine::notify(std::function<void(std::wstring_view)> CommandReactor::*which,
                    std::wstring_view name) {
    auto copy = mReactors; // a reactor may remove itself
    for (auto& [id, r] : copy) {
        if (r.*which) (r.*which)(name);
    }
}

std::wstring Engine::cmdNames() const {
    std::wstring s;
    for (const auto& n : mNames)
        s += (s.empty() ? L"" : L"'") + n;
    return s;
}

void Engine::publishNames() {
    mEd.vars().setInternal(L"CMDNAMES", cmdNames());
}

// ---- the command line -------------------------------------------------------------------

void Engine::run() {
    while (step()) {
    }
}

bool Engine::step() {
    editor::Transcript& t = mEd.transcript();
    if (mEd.queue().exhausted()) return false; // a command wanted input that was not there
    t.prompt(L"\nコマンド:");
    if (!mEd.queue().peek()) return false;
    editor::Editor::LispHook hook = mEd.setLispHook(nullptr); // "(" is evaluated here and printed
    editor::Reply r = editor::readReply(mEd, true);
    mEd.setLispHook(std::move(hook));
    switch (r.kind) {
    case editor::Reply::End:
        return false;
    case editor::Reply::Cancel:
    case editor::Reply::Stopped: // no drag waits at the command prompt
        t.input(editor::text(editor::Msg::Cancel));
        return true;
    case editor::Reply::Retry:
        t.input(r.typed);
        return true;
    case editor::Reply::Point:
        t.input(editor::pointText(r.point, mEd.parseContext().units));
        return true;
    case editor::Reply::Text:
        break;
    }
    t.input(r.typed);
    commandLineText(r.text);
    return true;
}

void Engine::commandLineText(const std::wstring& typed) {
    std::wstring text = core::trim(typed);
    if (text.empty()) {
        if (!mLastCommand.empty()) runCommand(mLastCommand);
        return;
    }
    if (text.front() == L'(') {
        if (!mLisp) {
            mEd.print(L"\nLISP は使用できません。");
            return;
        }
        if (std::optional<std::wstring> value = mLisp(text)) mEd.print(L"\n" + *value);
        return;
    }
    size_t blank = text.find(L' ');
    if (blank != std::wstring::npos) {
        mEd.queue().pushFront(Event::typed(core::trim(text.substr(blank + 1))));
        text.erase(blank);
    }
    if (dispatch(text) != RTERROR) mLastCommand = text;
}

int Engine::runCommand(std::wstring_view typed) {
    return dispatch(std::wstring(typed));
}

int Engine::dispatch(const std::wstring& token) {
    editor::CommandName name = editor::parseCommandName(token);
    if (const editor::CommandDef* def = mEd.commands().find(name)) {
        editor::CommandDef copy = *def; // the registry may change while it runs
        return execute(copy);
    }
    if (const editor::SysVarDef* var = editor::findSysVar(name.name)) {
        editor::CommandDef def;
        def.global = def.local = std::wstring(var->name);
        def.flags =
            var->store == editor::VarStore::Drawing ? editor::kCmdModal : editor::kCmdNoUndo;
        std::wstring varName(var->name);
        def.run = [this, varName] { sysvarCommand(*this, varName); };
        return execute(def);
    }
    mEd.print(L"\n不明なコマンド \"" + core::toUpper(token) + L"\" です。");
    return RTERROR;
}

void Engine::transparent(std::wstring_view typed) {
    editor::CommandName name = editor::parseCommandName(typed);
    const editor::CommandDef* def = mEd.commands().find(name);
    if (def && (def->flags & editor::kCmdTransparent) != 0) {
        editor::CommandDef copy = *def;
        execute(copy);
    } else if (!def && editor::findSysVar(name.name)) {
        dispatch(name.name);
    } else if (def) {
        mEd.print(L"\n** " + def->global + L" は透過的に使用できません **");
    } else {
        mEd.print(L"\n不明なコマンド \"" + name.name + L"\" です。");
    }
    mEd.print(L"\n" + cmdNames() + L" を再開します。");
}

int Engine::execute(const editor::CommandDef& def) {
    bool caller = !inPending();
    if (caller) ++mDepth;
    bool wrap = (def.flags & editor::kCmdNoUndo) == 0;
    if (wrap) mUndo.beginCommand(def.global);
    mNames.push_back(def.global);
    publishNames();
    notify(&CommandReactor::willStart, def.global);
    int status = RTNORM;
    try {
        def.run();
    } catch (const Cancelled&) {
        status = RTCAN;
    } catch (const std::exception& e) {
        status = RTERROR;
        mEd.print(L"\n" + core::utf8ToWide(e.what()));
    }
    auto it = std::find(mNames.rbegin(), mNames.rend(), def.global);
    if (it != mNames.rend()) mNames.erase(std::next(it).base());
    publishNames();
    if (wrap) mUndo.endCommand();
    notify(status == RTNORM  ? &CommandReactor::ended
           : status == RTCAN ? &CommandReactor::cancelled
                             : &CommandReactor::failed,
           def.global);
    if (caller) {
        --mDepth;
        if (mPending && mDepth < mPendingOwner) cancelPending();
    }
    return status;
}

// ---- token lists --------------------------------------------------------------------------

void Engine::waitForTokens() {
    assert(inPending());
    mPending->yield();
}

int Engine::runTokenCommands(bool tokensOnly) {
    editor::EventQueue& q = mEd.queue();
    auto dropTokens = [&] {
        while (!q.empty() && q.peek() && isToken(*q.peek()))
            q.take();
    };
    int status = RTNORM;
    for (;;) {
        if (mPending) {
            if (!mPending->resume()) return status; // waits for the next call's tokens
            status = mPendingStatus;
            mPending.reset();
            if (status == RTCAN) {
                dropTokens();
                return status;
            }
        }
        std::optional<Event> next = takeToken(q);
        if (!next) return status;
        Event e = std::move(*next);
        if (e.kind == EventKind::Enter) continue; // an Enter between commands
        std::wstring typed = e.kind == EventKind::Text ? e.text : std::wstring();
        editor::CommandName name = editor::parseCommandName(typed);
        const editor::CommandDef* found = mEd.commands().find(name);
        if (!found && !editor::findSysVar(name.name)) {
            mEd.print(L"\n不明なコマンド \"" + core::toUpper(typed) + L"\" です。");
            dropTokens();
            return RTERROR;
        }
        if (!tokensOnly) {
            status = dispatch(typed);
            if (status != RTNORM) {
                dropTokens();
                return status;
            }
            continue;
        }
        mPendingOwner = mDepth;
        mPending = std::make_unique<Fiber>([this, typed] { mPendingStatus = dispatch(typed); });
    }
}

int Engine::commandS(const resbuf* tokens) {
    if (inPending()) return RTERROR;
    std::optional<std::deque<Event>> events = tokenEvents(tokens, mEd, mSelectionTokens);
    if (!events) return RTERROR;
    if (events->empty()) {
        cancelPending();
        return RTNORM;
    }
    editor::EventQueue& q = mEd.queue();
    std::deque<Event> saved = q.swapQueued(std::move(*events));
    editor::EventQueue::Feeder feeder = q.setFeeder([this](editor::EventQueue& queue) {
        if (!inPending()) return false;
        waitForTokens();
        return !queue.empty();
    });
    bool wasTokensOnly = std::exchange(mTokensOnly, true);
    int status = runTokenCommands(true);
    mTokensOnly = wasTokensOnly;
    q.setFeeder(std::move(feeder));
    q.swapQueued(std::move(saved));
    return status;
}

int Engine::cmdS(const resbuf* tokens) {
    if (inPending()) return RTERROR;
    std::optional<std::deque<Event>> events = tokenEvents(tokens, mEd, mSelectionTokens);
    if (!events) return RTERROR;
    cancelPending();
    for (auto it = events->rbegin(); it != events->rend(); ++it)
        mEd.queue().pushFront(*it);
    return runTokenCommands(false);
}

editor::SelectionTokenSource Engine::selectionTokens() {
    return [this]() -> std::optional<editor::SelectionToken> {
        editor::EventQueue& q = mEd.queue();
        if (q.empty()) return std::nullopt;
        const Event* e = q.peek();
        if (!e || !isToken(*e) || e->code != kSelectionTokenCode) return std::nullopt;
        size_t index = size_t(e->id);
        q.take();
        if (index >= mSelectionTokens.size()) return std::nullopt;
        return mSelectionTokens[index];
    };
}

void Engine::cancelPending() {
    if (!mPending || inPending()) return;
    editor::EventQueue& q = mEd.queue();
    editor::EventQueue::Feeder feeder = q.setFeeder([](editor::EventQueue&) { return false; });
    bool done = false;
    for (int tries = 0; tries < 8 && !done; ++tries) {
        std::deque<Event> esc;
        esc.push_back(Event::esc(kTokenLine));
        std::deque<Event> saved = q.swapQueued(std::move(esc));
        done = mPending->resume();
        q.swapQueued(std::move(saved));
    }
    assert(done && "a pending command does not end on Esc");
    q.setFeeder(std::move(feeder));
    if (done) mPending.reset();
}

} // namespace zel::commands
