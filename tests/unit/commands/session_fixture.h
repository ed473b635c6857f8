// A session (drawing, editor, LISP, command engine) made current, fed from script text, for
// the tests of the command engine and the host commands.
#pragma once

#include "app/session.h"
#include "arx/db.h"
#include "arx/dbents.h"
#include "arx/ed.h"
#include "commands/entities.h"
#include "core/text.h"
#include "db/dump.h"
#include "editor/cmdregistry.h"
#include "editor/script.h"
#include "geom/vec2.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

class SessionTest : public ::testing::Test {
protected:
    SessionTest() { s.makeCurrent(); }

    zel::editor::Editor& ed() { return s.editor(); }
    zel::commands::Engine& engine() { return s.engine(); }

    // Appends the events of script text to the input.
    void feed(const std::string& script) {
        zel::editor::Script sc = zel::editor::parseScript(zel::core::utf8ToWide(script));
        ASSERT_TRUE(sc.ok()) << zel::core::wideToUtf8(sc.errors.front().text());
        zel::editor::enqueue(ed().queue(), sc);
    }
    // Feeds script text and runs the command line until the input ends.
    void run(const std::string& script) {
        feed(script);
        engine().run();
    }

    // Registers a command of a module under test (group TEST) that runs fn.
    void module(const wchar_t* name, std::function<void()> fn) {
        zel::editor::CommandDef d;
        d.group = L"TEST";
        d.global = name;
        d.run = std::move(fn);
        ASSERT_TRUE(ed().commands().add(std::move(d)));
    }

    // An entity appended to model space with the drawing's current properties.
    AcDbObjectId add(std::unique_ptr<AcDbEntity> e) {
        return zel::commands::appendEntity(s.database(), std::move(e));
    }
    AcDbObjectId addLine(zel::geom::Vec2 a, zel::geom::Vec2 b) {
        return add(std::make_unique<AcDbLine>(AcGePoint3d(a.x, a.y, 0), AcGePoint3d(b.x, b.y, 0)));
    }

    std::string transcript() { return zel::core::wideToUtf8(ed().transcript().text()); }
    std::string dump() { return zel::db::canonicalDump(s.database()); }
    bool has(const std::string& text) { return transcript().find(text) != std::string::npos; }

    // The entities of model space of one DXF type, in draw order.
    std::vector<AcDbObjectId> entities(const char* dxfName = nullptr);

    std::wstring var(const wchar_t* name) {
        std::optional<zel::editor::VarValue> v = ed().vars().get(name);
        if (!v) return L"?";
        if (auto* s = std::get_if<std::wstring>(&*v)) return *s;
        if (auto* i = std::get_if<int64_t>(&*v)) return std::to_wstring(*i);
        if (auto* d = std::get_if<double>(&*v)) return std::to_wstring(*d);
        return L"point";
    }

    zel::app::Session s;
};

inline std::vector<AcDbObjectId> SessionTest::entities(const char* dxfName) {
    std::vector<AcDbObjectId> out;
    AcDbBlockTableRecord* space = nullptr;
    if (acdbOpenObject(space, s.database().modelSpaceId(), AcDb::kForRead) != Acad::eOk) return out;
    AcDbBlockTableRecordIterator* raw = nullptr;
    space->newIterator(raw);
    std::unique_ptr<AcDbBlockTableRecordIterator> it(raw);
    for (; it && !it->done(); it->step()) {
        AcDbEntity* e = nullptr;
        if (it->getEntity(e, AcDb::kForRead) != Acad::eOk) continue;
        if (!dxfName || e->dxfName() == dxfName) out.push_back(e->objectId());
        e->close();
    }
    space->close();
    return out;
}
