// The transcript: everything the user sees, in order — prompts, the input that answered them,
// messages (acutPrintf), alerts and status-bar texts — kept as entries and as the text of a
// command-line window.
//
// The text follows the command line: messages and prompts are written as they are (a "\n" in
// them starts a line); echoed input follows its prompt after one blank, and the line is ended
// by the Enter that went with it, so the next output starts a new line whether or not it
// begins with "\n". Alerts and status-bar texts get lines of their own, marked "[アラート]" and
// "[ステータス]"; events that nothing wanted are noted as "[無視]".
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zel::editor {

enum class EntryKind { Message, Prompt, Input, Alert, Status, Notice };

struct TranscriptEntry {
    EntryKind kind;
    std::wstring text;
    bool operator==(const TranscriptEntry&) const = default;
};

class Transcript {
public:
    using Listener = std::function<void(const TranscriptEntry&, std::wstring_view rendered)>;

    void message(std::wstring_view text);
    // A prompt; with onNewLine it starts on a line of its own (a prompt shown again).
    void prompt(std::wstring_view text, bool onNewLine = false);
    // The input that answered a prompt; with endsLine false the line stays open (an object-snap
    // override typed before the point).
    void input(std::wstring_view text, bool endsLine = true);
    void alert(std::wstring_view text);
    void status(std::wstring_view text);
    void notice(std::wstring_view text);

    const std::vector<TranscriptEntry>& entries() const { return mEntries; }
    // The whole text as the command-line window shows it.
    const std::wstring& text() const { return mText; }
    // The text written since a mark (a position from mark()).
    size_t mark() const { return mText.size(); }
    std::wstring since(size_t mark) const;
    // The last line of the command line with its input (alerts and status texts excluded);
    // when the current line is empty, the line before it.
    std::wstring lastLine() const;
    void clear();

    // Called for every entry with the text it added (the shell prints it as it comes).
    Listener setListener(Listener listener);

private:
    void add(EntryKind kind, std::wstring_view text, std::wstring_view rendered);
    void write(std::wstring_view rendered, bool commandLine);
    void openLine(); // honours a pending line break

    std::vector<TranscriptEntry> mEntries;
    std::wstring mText;
    bool mPendingBreak = false;
    std::wstring mCurrentLine; // of the command line
    std::wstring mPreviousLine;
    Listener mListener;
};

} // namespace zel::editor
