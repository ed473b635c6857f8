#include "editor/transcript.h"

#include <utility>

namespace zel::editor {

namespace {

bool startsWithBreak(std::wstring_view text) {
    return !text.empty() && text.front() == L'\n';
}

bool endsWithBlank(const std::wstring& text) {
    if (text.empty()) return true;
    wchar_t c = text.back();
    return c == L'\n' || c == L' ' || c == L'\t' || c == L'\r';
}

} // namespace

void Transcript::add(EntryKind kind, std::wstring_view text, std::wstring_view rendered) {
    mEntries.push_back(TranscriptEntry{kind, std::wstring(text)});
    if (mListener) mListener(mEntries.back(), rendered);
}

void Transcript::write(std::wstring_view rendered, bool commandLine) {
    mText += rendered;
    if (!commandLine) return;
    for (wchar_t c : rendered) {
        if (c == L'\n') {
            if (!mCurrentLine.empty()) mPreviousLine = std::exchange(mCurrentLine, {});
        } else if (c == L'\r') {
            mCurrentLine.clear();
        } else {
            mCurrentLine += c;
        }
    }
}

void Transcript::message(std::wstring_view text) {
    if (text.empty()) return;
    std::wstring rendered;
    if (mPendingBreak && !startsWithBreak(text)) rendered = L"\n";
    rendered += text;
    mPendingBreak = false;
    write(rendered, true);
    add(EntryKind::Message, text, rendered);
}

void Transcript::prompt(std::wstring_view text, bool onNewLine) {
    std::wstring rendered;
    bool lineOpen = mPendingBreak || (!mText.empty() && mText.back() != L'\n');
    if (!startsWithBreak(text) && (mPendingBreak || (onNewLine && lineOpen))) rendered = L"\n";
    rendered += text;
    mPendingBreak = false;
    write(rendered, true);
    add(EntryKind::Prompt, text, rendered);
}

void Transcript::input(std::wstring_view text, bool endsLine) {
    std::wstring rendered;
    if (!text.empty()) {
        if (mPendingBreak)
            rendered = L"\n";
        else if (!endsWithBlank(mText))
            rendered = L" ";
        rendered += text;
        mPendingBreak = false;
    }
    write(rendered, true);
    if (endsLine) mPendingBreak = true;
    add(EntryKind::Input, text, rendered);
}

void Transcript::openLine() {
    if (!mText.empty() && mText.back() != L'\n') mText += L'\n';
}

void Transcript::alert(std::wstring_view text) {
    size_t before = mText.size();
    openLine();
    write(L"[アラート] " + std::wstring(text), false);
    mPendingBreak = true;
    add(EntryKind::Alert, text, std::wstring_view(mText).substr(before));
}

void Transcript::status(std::wstring_view text) {
    size_t before = mText.size();
    openLine();
    write(text.empty() ? std::wstring(L"[ステータス]") : L"[ステータス] " + std::wstring(text),
          false);
    mPendingBreak = true;
    add(EntryKind::Status, text, std::wstring_view(mText).substr(before));
}

void Transcript::notice(std::wstring_view text) {
    size_t before = mText.size();
    openLine();
    write(L"[無視] " + std::wstring(text), false);
    mPendingBreak = true;
    add(EntryKind::Notice, text, std::wstring_view(mText).substr(before));
}

std::wstring Transcript::since(size_t mark) const {
    return mark >= mText.size() ? std::wstring() : mText.substr(mark);
}

std::wstring Transcript::lastLine() const {
    return mCurrentLine.empty() ? mPreviousLine : mCurrentLine;
}

void Transcript::clear() {
    mEntries.clear();
    mText.clear();
    mPendingBreak = false;
    mCurrentLine.clear();
    mPreviousLine.clear();
}

Transcript::Listener Transcript::setListener(Listener listener) {
    return std::exchange(mListener, std::move(listener));
}

} // namespace zel::editor
