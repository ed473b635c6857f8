// zelcad run SCRIPT [DRAWING] [-o OUT.dxf] [--svg OUT.svg] / zelcad shell [DRAWING]
#include "cli.h"
#include "lineinput.h"

#include "app/session.h"
#include "app/startup.h"
#include "core/text.h"
#include "editor/script.h"
#include "plot/svg.h"

#include <iostream>
#include <string>

namespace zel::app {
namespace {

struct RunArgs {
    std::string script, drawing, out, svg;
};

std::optional<RunArgs> runArgs(const std::vector<std::string>& args, FILE* err) {
    RunArgs r;
    std::vector<std::string> plain;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o") {
            if (i + 1 >= args.size()) break;
            r.out = args[++i];
        } else if (args[i] == "--svg") {
            if (i + 1 >= args.size()) break;
            r.svg = args[++i];
        } else if (!args[i].empty() && args[i][0] == '-') {
            std::fprintf(err, "zelcad run: unknown option '%s'\n", args[i].c_str());
            return std::nullopt;
        } else {
            plain.push_back(args[i]);
        }
    }
    if (plain.empty() || plain.size() > 2 ||
        (!args.empty() && (args.back() == "-o" || args.back() == "--svg"))) {
        std::fputs("usage: zelcad run SCRIPT [DRAWING] [-o OUT.dxf] [--svg OUT.svg]\n", err);
        return std::nullopt;
    }
    r.script = plain[0];
    if (plain.size() == 2) r.drawing = plain[1];
    return r;
}

void writeText(FILE* out, const std::wstring& text) {
    std::string s = core::wideToUtf8(text);
    std::fwrite(s.data(), 1, s.size(), out);
}

// Opens the drawing of the command line, if any; false (told) when it cannot be read.
bool openGiven(Session& s, const std::string& drawing, FILE* err) {
    if (drawing.empty()) return true;
    std::wstring problem = s.open(core::utf8ToWide(drawing));
    if (problem.empty()) return true;
    std::fprintf(err, "zelcad: %s\n", core::wideToUtf8(problem).c_str());
    return false;
}

// Loads the modules of the startup list (a module that cannot be loaded is told and left
// out), then those of --load; false (told) when one of these cannot be loaded.
bool loadModules(Session& s, FILE* err) {
    for (const std::wstring& problem : loadStartupModules(s))
        std::fprintf(err, "zelcad: at start: %s\n", core::wideToUtf8(problem).c_str());
    for (const std::string& name : modulesToLoad()) {
        std::wstring problem = s.modules().load(core::utf8ToWide(name));
        if (problem.empty()) continue;
        std::fprintf(err, "zelcad: %s\n", core::wideToUtf8(problem).c_str());
        return false;
    }
    return true;
}

} // namespace

int cmdRun(const std::vector<std::string>& args, FILE* out, FILE* err) {
    std::optional<RunArgs> a = runArgs(args, err);
    if (!a) return kExitUsage;
    editor::Script script = editor::loadScript(a->script);
    if (!script.ok()) {
        for (const auto& e : script.errors)
            std::fprintf(err, "zelcad: %s: %s\n", a->script.c_str(),
                         core::wideToUtf8(e.text()).c_str());
        return kExitFailed;
    }
    Session s;
    s.makeCurrent();
    if (!openGiven(s, a->drawing, err)) return kExitFailed;
    if (!loadModules(s, err)) return kExitFailed;
    editor::enqueue(s.editor().queue(), script);
    s.engine().run();
    s.modules().quitAll(); // what modules say when they go belongs to the transcript
    writeText(out, s.editor().transcript().text());
    std::fputc('\n', out);
    if (s.editor().queue().exhausted()) {
        std::fprintf(err, "zelcad: the script ended while input was still wanted: %s\n",
                     core::wideToUtf8(s.editor().vars().string(L"LASTPROMPT")).c_str());
        return kExitFailed;
    }
    if (!a->out.empty()) {
        std::wstring problem = s.save(core::utf8ToWide(a->out));
        if (!problem.empty()) {
            std::fprintf(err, "zelcad: %s\n", core::wideToUtf8(problem).c_str());
            return kExitFailed;
        }
    }
    if (!a->svg.empty()) {
        std::string problem = plot::writeSvg(s.database(), a->svg);
        if (!problem.empty()) {
            std::fprintf(err, "zelcad: %s\n", problem.c_str());
            return kExitFailed;
        }
    }
    return kExitOk;
}

int cmdShell(const std::vector<std::string>& args, FILE* out, FILE* err) {
    if (args.size() > 1) {
        std::fputs("usage: zelcad shell [DRAWING]\n", err);
        return kExitUsage;
    }
    Session s;
    s.makeCurrent();
    if (!openGiven(s, args.empty() ? std::string() : args[0], err)) return kExitFailed;
    if (!loadModules(s, err)) return kExitFailed;
    // The terminal already shows what the user typed: the echo of a line's first answer is
    // left out, and so is the line break that would follow it.
    bool typedShown = false, skipBreak = false;
    s.editor().transcript().setListener(
        [&](const editor::TranscriptEntry& entry, std::wstring_view rendered) {
            if (entry.kind == editor::EntryKind::Input && typedShown) {
                typedShown = false;
                skipBreak = true;
                return;
            }
            std::wstring text(rendered);
            if (skipBreak && !text.empty() && text.front() == L'\n') text.erase(0, 1);
            skipBreak = skipBreak && text.empty();
            writeText(out, text);
            std::fflush(out);
        });
    int lineNo = 0;
    std::vector<std::string> history;
    LineInput input;
    s.editor().queue().setFeeder([&](editor::EventQueue& q) {
        std::fputc(' ', out);
        std::fflush(out);
        std::string line;
        if (!input.next(line)) return false;
        ++lineNo;
        typedShown = true;
        if (line == "!!" && !history.empty()) line = history.back();
        if (!line.empty()) history.push_back(line);
        input.remember(line);
        editor::Script sc = editor::parseScript(core::utf8ToWide(line), lineNo);
        if (!sc.ok()) {
            for (const auto& e : sc.errors)
                std::fprintf(err, "%s\n", core::wideToUtf8(e.text()).c_str());
            q.push(editor::Event::esc(lineNo)); // the prompt asks again
            return true;
        }
        if (sc.events.empty()) sc.events.push_back(editor::Event::enter(lineNo));
        editor::enqueue(q, sc);
        return true;
    });
    s.engine().run();
    s.modules().quitAll(); // while the transcript still shows what they say
    std::fputc('\n', out);
    return kExitOk;
}

} // namespace zel::app
