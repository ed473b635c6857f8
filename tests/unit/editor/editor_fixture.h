// A current editor on a new drawing, fed from script text, for the tests of the editor layer.
#pragma once

#include "arx/db.h"
#include "arx/ed.h"
#include "core/text.h"
#include "editor/editor.h"
#include "editor/script.h"

#include <gtest/gtest.h>

#include <string>

class EditorTest : public ::testing::Test {
protected:
    EditorTest() {
        ed.setDatabase(&db);
        zel::editor::setCurrentEditor(&ed);
    }
    ~EditorTest() override { zel::editor::setCurrentEditor(nullptr); }

    // Appends the events of script text to the input.
    void feed(const char* script) {
        zel::editor::Script s = zel::editor::parseScript(zel::core::utf8ToWide(script));
        ASSERT_TRUE(s.ok()) << zel::core::wideToUtf8(s.errors.front().text());
        zel::editor::enqueue(ed.queue(), s);
    }

    std::string transcript() const { return zel::core::wideToUtf8(ed.transcript().text()); }

    // Counts how often a text occurs in the transcript.
    int count(const char* text) const {
        std::string t = transcript(), what = text;
        int n = 0;
        for (size_t at = t.find(what); at != std::string::npos; at = t.find(what, at + 1))
            ++n;
        return n;
    }

    // acedSetVar with one value.
    int setShort(const wchar_t* name, int v) {
        resbuf rb{};
        rb.restype = RTSHORT;
        rb.resval.rint = static_cast<short>(v);
        return acedSetVar(name, &rb);
    }
    int setReal(const wchar_t* name, double v) {
        resbuf rb{};
        rb.restype = RTREAL;
        rb.resval.rreal = v;
        return acedSetVar(name, &rb);
    }
    int setString(const wchar_t* name, const wchar_t* v) {
        resbuf rb{};
        rb.restype = RTSTR;
        rb.resval.rstring = const_cast<wchar_t*>(v);
        return acedSetVar(name, &rb);
    }

    AcDbDatabase db;
    zel::editor::Editor ed;
};
