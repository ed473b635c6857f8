// A session made current, fed from script text, for the tests of documents, reactors, the
// command stack, module functions and the module loader.
#pragma once

#include "app/session.h"
#include "core/text.h"
#include "editor/script.h"

#include <gtest/gtest.h>

#include <string>

class AppTest : public ::testing::Test {
protected:
    AppTest() { s.makeCurrent(); }

    zel::editor::Editor& ed() { return s.editor(); }
    zel::app::DocManager& docs() { return s.documents(); }

    // Feeds script text and runs the command line until the input ends.
    void run(const std::string& script) {
        zel::editor::Script sc = zel::editor::parseScript(zel::core::utf8ToWide(script));
        ASSERT_TRUE(sc.ok()) << zel::core::wideToUtf8(sc.errors.front().text());
        zel::editor::enqueue(ed().queue(), sc);
        s.engine().run();
    }
    std::string transcript() { return zel::core::wideToUtf8(ed().transcript().text()); }
    bool has(const std::string& text) { return transcript().find(text) != std::string::npos; }
    // The text printed after the last call of mark().
    void mark() { mMark = transcript().size(); }
    std::string since() { return transcript().substr(std::min(mMark, transcript().size())); }
    // A LISP expression evaluated in the active document, as LISP prints its value ("" on error).
    std::string eval(const std::string& expr) {
        zel::lisp::EvalResult r = s.lisp().evalText(zel::core::utf8ToWide(expr));
        return r.ok ? zel::core::wideToUtf8(r.printed) : std::string();
    }

    zel::app::Session s;

private:
    size_t mMark = 0;
};
