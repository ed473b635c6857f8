// The input queue (posting, side events, the feeder) and how the transcript lays out what the
// user sees.
#include "core/format.h"
#include "core/text.h"
#include "editor/editor.h"
#include "editor/events.h"
#include "editor/transcript.h"

#include <gtest/gtest.h>

using namespace zel::editor;
using zel::core::wideToUtf8;

namespace {

std::vector<std::wstring> drain(EventQueue& q) {
    std::vector<std::wstring> out;
    while (auto e = q.next())
        out.push_back(describe(*e));
    return out;
}

TEST(EventQueue, PostsComeFirstInTheOrderPosted) {
    EventQueue q;
    q.push(Event::typed(L"queued"));
    q.post(L"one\n");
    q.post(L"a\x03"
           L"b\x03");
    q.post(std::wstring(L"two\0ignored", 11));
    EXPECT_EQ(drain(q),
              (std::vector<std::wstring>{L"(posted) \"one\n\"", L"(posted) \"a\"",
                                         L"(posted) Ctrl-C", L"(posted) \"b\"", L"(posted) Ctrl-C",
                                         L"(posted) \"two\"", L"queued"}));
    EXPECT_TRUE(q.exhausted());
}

TEST(EventQueue, SideEventsGoToTheHandlerUnlessItDeclines) {
    EventQueue q;
    std::vector<std::wstring> handled;
    q.setSideHandler([&](const Event& e) {
        if (e.kind == EventKind::MsgBox) return false; // not for the dialog bar
        handled.push_back(describe(e));
        return true;
    });
    q.push(Event::barText(3, L"5"));
    q.push(Event::typed(L"x"));
    q.push(Event::panelType(L"C5"));
    q.push(Event::dialogCheck(1003, true));
    q.push(Event::msgBox(MsgBoxAnswer::Yes));
    EXPECT_EQ(drain(q), (std::vector<std::wstring>{L"x", L"!msgbox yes"}));
    EXPECT_EQ(handled, (std::vector<std::wstring>{L"!bar text 3 \"5\"", L"!panel type \"C5\"",
                                                  L"!dialog check 1003 on"}));
}

TEST(EventQueue, TheFeederRefillsAnEmptyQueue) {
    EventQueue q;
    int lines = 0;
    q.setFeeder([&](EventQueue& queue) {
        if (lines == 2) return false;
        queue.push(Event::typed(L"line" + zel::core::toWString(++lines)));
        return true;
    });
    ASSERT_NE(q.peek(), nullptr);
    EXPECT_EQ(q.peek()->text, L"line1");
    EXPECT_EQ(drain(q), (std::vector<std::wstring>{L"line1", L"line2"}));
    EXPECT_TRUE(q.exhausted());
}

TEST(EventQueue, UnreadTypingGoesBeforeOtherPosts) {
    EventQueue q;
    q.post(L"later");
    Event rest;
    rest.kind = EventKind::Chars;
    rest.text = L"rest";
    q.unreadPosted(rest);
    EXPECT_EQ(drain(q), (std::vector<std::wstring>{L"(posted) \"rest\"", L"(posted) \"later\""}));
}

TEST(Transcript, LinesOfTheCommandLine) {
    Transcript t;
    t.prompt(L"\nコマンド:");
    t.input(L"LINE");
    t.prompt(L"1 点目を指定 :"); // no "\n": the Enter of the answer ended the line
    t.input(L"NON", false);
    t.input(L"0,0");
    t.message(L"\n線分を作成しました");
    t.message(L" (1 本)");
    t.input(L""); // a bare Enter
    t.prompt(L"再表示 :", true);
    t.alert(L"注意");
    t.message(L"続き");
    EXPECT_EQ(wideToUtf8(t.text()),
              "\nコマンド: LINE\n1 点目を指定 : NON 0,0\n線分を作成しました (1 本)"
              "\n再表示 :\n[アラート] 注意\n続き");
    EXPECT_EQ(wideToUtf8(t.lastLine()), "続き");
    ASSERT_EQ(t.entries().size(), 11u);
    EXPECT_EQ(t.entries()[4], (TranscriptEntry{EntryKind::Input, L"0,0"}));
}

TEST(Transcript, LastLineSkipsEmptyLinesAndCarriageReturns) {
    Transcript t;
    t.message(L"\nabc\n");
    EXPECT_EQ(wideToUtf8(t.lastLine()), "abc");
    t.message(L"xyz\rq");
    EXPECT_EQ(wideToUtf8(t.lastLine()), "q");
    size_t mark = t.mark();
    t.message(L"\n次");
    EXPECT_EQ(wideToUtf8(t.since(mark)), "\n次");
    t.clear();
    EXPECT_EQ(t.lastLine(), L"");
    EXPECT_TRUE(t.entries().empty());
}

TEST(Transcript, TheListenerSeesWhatEachEntryAdded) {
    Transcript t;
    std::wstring seen;
    t.setListener([&](const TranscriptEntry&, std::wstring_view rendered) { seen += rendered; });
    t.prompt(L"\n点 :");
    t.input(L"1,1");
    t.message(L"完了");
    t.status(L"処理中");
    EXPECT_EQ(seen, t.text());
}

TEST(Transcript, AcutPrintfWritesToTheCurrentEditor) {
    Editor a, b;
    setCurrentEditor(&a);
    acutPrintf(L"\n%s=%d", L"x", 5);
    setCurrentEditor(&b);
    acutPrintf(L"\nb");
    setCurrentEditor(nullptr);
    EXPECT_EQ(a.transcript().text(), L"\nx=5");
    EXPECT_EQ(b.transcript().text(), L"\nb");
}

} // namespace
