#include "editor/script.h"

#include "core/text.h"

#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>

namespace zel::editor {

namespace {

bool isBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

std::wstring normalizeLineEnds(std::wstring_view text) {
    std::wstring out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        wchar_t c = text[i];
        if (c == L'\r') {
            if (i + 1 < text.size() && text[i + 1] == L'\n') continue;
            c = L'\n';
        }
        out += c;
    }
    return out;
}

std::wstring shown(std::wstring_view token) {
    if (token.empty()) return L"the end of the line";
    return L"\"" + std::wstring(token) + L"\"";
}

// One argument of a directive or one token: its text and whether it was quoted.
struct Token {
    std::wstring text;
    bool quoted = false;
};

// Thrown inside the parser for an error on the current line (never leaves this file).
struct LineError {
    std::wstring message;
};

class Parser {
public:
    Parser(std::wstring_view text, int firstLine) : mSrc(normalizeLineEnds(text)) {
        mLine = firstLine;
    }

    Script run() {
        while (!atEnd())
            parseLine();
        return std::move(mOut);
    }

private:
    bool atEnd() const { return mPos >= mSrc.size(); }
    wchar_t peek() const { return atEnd() ? L'\n' : mSrc[mPos]; }
    bool atLineEnd() const { return atEnd() || mSrc[mPos] == L'\n'; }

    void emit(Event e) {
        e.line = mTokenLine;
        mOut.events.push_back(std::move(e));
        mAny = true;
    }

    void skipToLineEnd() {
        while (!atLineEnd())
            ++mPos;
    }

    // Skips blanks; true when at least one was skipped.
    bool skipBlanks() {
        size_t start = mPos;
        while (!atEnd() && isBlank(mSrc[mPos]))
            ++mPos;
        return mPos != start;
    }

    bool atCommentOrEnd(bool tokenStart) const {
        if (atLineEnd()) return true;
        wchar_t c = mSrc[mPos];
        return c == L';' || (tokenStart && c == L'#');
    }

    void parseLine() {
        mAny = false;
        bool comment = false;
        bool trailingBlank = false;
        size_t eventsBefore = mOut.events.size();
        try {
            for (;;) {
                trailingBlank = skipBlanks();
                if (atLineEnd()) break;
                if (atCommentOrEnd(true)) {
                    comment = true;
                    skipToLineEnd();
                    break;
                }
                mTokenLine = mLine;
                parseItem();
            }
        } catch (const LineError& e) {
            mOut.errors.push_back(ScriptError{mTokenLine, e.message});
            mOut.events.resize(eventsBefore);
            skipToLineEnd();
            comment = true; // nothing more from this line
        }
        mTokenLine = mLine;
        if (!mAny && !comment)
            emit(Event::enter());
        else if (trailingBlank && !comment)
            emit(Event::enter());
        if (!atEnd()) ++mPos; // the line end
        ++mLine;
    }

    void parseItem() {
        wchar_t c = peek();
        if (c == L'"') {
            Token t = quotedToken(false);
            emit(t.text.empty() ? Event::enter() : Event::typed(t.text));
            return;
        }
        if (c == L'(') {
            emit(Event::typed(lispToken()));
            return;
        }
        if (c == L'!') {
            ++mPos;
            directive();
            return;
        }
        emit(Event::typed(plainToken(false)));
    }

    std::wstring plainToken(bool dialog) {
        std::wstring t;
        while (!atLineEnd()) {
            wchar_t c = mSrc[mPos];
            if (isBlank(c) || c == L';' || (dialog && c == L'|')) break;
            t += c;
            ++mPos;
        }
        return t;
    }

    Token quotedToken(bool dialog) {
        ++mPos; // opening quote
        Token t{L"", true};
        for (;;) {
            if (atLineEnd()) throw LineError{L"missing closing quote"};
            wchar_t c = mSrc[mPos++];
            if (c == L'"') break;
            if (c == L'\\' && !atLineEnd() && (peek() == L'"' || peek() == L'\\')) c = mSrc[mPos++];
            t.text += c;
        }
        if (!atCommentOrEnd(false) && !isBlank(peek()) && !(dialog && peek() == L'|'))
            throw LineError{L"expected a blank after the closing quote, found \"" +
                            std::wstring(1, peek()) + L"\""};
        return t;
    }

    // A LISP expression: to the balancing parenthesis, strings and comments honoured; it may
    // go on over several lines.
    std::wstring lispToken() {
        int startLine = mLine;
        std::wstring t;
        int depth = 0;
        bool inString = false;
        while (!atEnd()) {
            wchar_t c = mSrc[mPos++];
            if (inString) {
                t += c;
                if (c == L'\\' && !atEnd())
                    t += mSrc[mPos++];
                else if (c == L'"')
                    inString = false;
                if (c == L'\n') ++mLine;
                continue;
            }
            if (c == L';') { // a LISP comment: to the end of the line
                skipToLineEnd();
                continue;
            }
            if (c == L'\n') ++mLine;
            t += c;
            if (c == L'"')
                inString = true;
            else if (c == L'(')
                ++depth;
            else if (c == L')' && --depth == 0)
                break;
        }
        if (depth != 0) {
            mTokenLine = startLine;
            throw LineError{L"unbalanced parenthesis: ')' expected before the end of the script"};
        }
        if (!atCommentOrEnd(false) && !isBlank(peek()))
            throw LineError{L"expected a blank after the closing ')', found \"" +
                            std::wstring(1, peek()) + L"\""};
        return t;
    }

    // The next argument of a directive on this line, or nullopt at the line end or a comment.
    std::optional<Token> arg(bool dialog = false) {
        skipBlanks();
        if (atCommentOrEnd(false)) return std::nullopt;
        if (dialog && peek() == L'|') {
            ++mPos;
            return Token{L"|", false};
        }
        if (peek() == L'"') return quotedToken(dialog);
        return Token{plainToken(dialog), false};
    }

    Token need(std::wstring_view what, const std::wstring& ctx, bool dialog = false) {
        std::optional<Token> t = arg(dialog);
        if (!t)
            throw LineError{ctx + L": expected " + std::wstring(what) + L", found " + shown(L"")};
        return *t;
    }

    int number(std::wstring_view what, const std::wstring& ctx, bool dialog = false) {
        Token t = need(what, ctx, dialog);
        std::optional<int> n = t.quoted ? std::nullopt : core::parseInt(t.text);
        if (!n)
            throw LineError{ctx + L": expected " + std::wstring(what) + L", found " +
                            shown(t.text)};
        return *n;
    }

    AcGePoint3d point(const std::wstring& ctx) {
        Token t = need(L"a point x,y[,z]", ctx);
        std::vector<double> v;
        size_t start = 0;
        bool ok = !t.quoted;
        while (ok) {
            size_t comma = t.text.find(L',', start);
            std::optional<double> d = core::parseDouble(std::wstring_view(t.text).substr(
                start, comma == std::wstring::npos ? std::wstring::npos : comma - start));
            ok = d.has_value() && v.size() < 3;
            if (ok) v.push_back(*d);
            if (comma == std::wstring::npos) break;
            start = comma + 1;
        }
        if (!ok || v.size() < 2)
            throw LineError{ctx + L": expected a point x,y[,z], found " + shown(t.text)};
        return AcGePoint3d(v[0], v[1], v.size() > 2 ? v[2] : 0.0);
    }

    static std::optional<wchar_t> keyCode(const std::wstring& name) {
        if (name.size() == 1) return name[0];
        static const std::pair<const wchar_t*, wchar_t> named[] = {
            {L"SPACE", L' '}, {L"TAB", L'\t'}, {L"ENTER", L'\r'}, {L"ESC", 27}, {L"BACKSPACE", 8},
        };
        for (const auto& [n, c] : named)
            if (core::equalsNoCase(name, n)) return c;
        return std::nullopt;
    }

    void directive() {
        std::wstring word = core::toLower(plainToken(false));
        std::wstring ctx = L"!" + word;
        if (word == L"esc") return emit(Event::esc());
        if (word == L"enter") return emit(Event::enter());
        if (word == L"rclick") return emit(Event::rightClick());
        if (word == L"pick") return emit(Event::click(point(ctx)));
        if (word == L"move") return emit(Event::move(point(ctx)));
        if (word == L"key") return keyDirective(ctx);
        if (word == L"bar") return barDirective(ctx);
        if (word == L"panel") return panelDirective(ctx);
        if (word == L"msgbox") return msgBoxDirective(ctx);
        if (word == L"dialog") return dialogDirective(ctx);
        throw LineError{L"unknown directive " + shown(ctx) +
                        L" (expected !bar, !pick, !move, !esc, !enter, !rclick, !key, !panel, "
                        L"!dialog or !msgbox)"};
    }

    void keyDirective(const std::wstring& ctx) {
        Token t = need(L"a key (one character, SPACE, TAB, ENTER, ESC or BACKSPACE)", ctx);
        std::optional<wchar_t> c = keyCode(t.text);
        if (!c)
            throw LineError{ctx +
                            L": expected a key (one character, SPACE, TAB, ENTER, ESC or "
                            L"BACKSPACE), found " +
                            shown(t.text)};
        emit(Event::key(*c));
    }

    void barDirective(const std::wstring& ctx) {
        std::wstring sub = core::toLower(need(L"text or tile", ctx).text);
        if (sub == L"text") {
            int field = number(L"a field number", ctx + L" text");
            Token v = need(L"the field's text", ctx + L" text");
            return emit(Event::barText(field, v.text));
        }
        if (sub == L"tile") return emit(Event::barTile(number(L"a tile number", ctx + L" tile")));
        throw LineError{ctx + L": expected text or tile, found " + shown(sub)};
    }

    void panelDirective(const std::wstring& ctx) {
        const wchar_t* actions = L"type, enter, pick, insert, delete, add or esc";
        std::wstring sub = core::toLower(need(actions, ctx).text);
        std::wstring sctx = ctx + L" " + sub;
        if (sub == L"type") return emit(Event::panelType(need(L"a text", sctx).text));
        if (sub == L"enter") return emit(Event::panelEnter());
        if (sub == L"add") return emit(Event::panelAdd());
        if (sub == L"esc") return emit(Event::panelEsc());
        using ListEvent = Event (*)(int, int, int);
        ListEvent make = sub == L"pick"     ? &Event::panelPick
                         : sub == L"insert" ? &Event::panelInsert
                         : sub == L"delete" ? &Event::panelDelete
                                            : nullptr;
        if (!make) throw LineError{ctx + L": expected " + actions + L", found " + shown(sub)};
        int list = number(L"a list number", sctx);
        int index = number(L"a line number (from 0)", sctx);
        emit(make(list, index, 0));
    }

    void msgBoxDirective(const std::wstring& ctx) {
        std::wstring a = core::toLower(need(L"yes, no, ok or cancel", ctx).text);
        if (a == L"yes") return emit(Event::msgBox(MsgBoxAnswer::Yes));
        if (a == L"no") return emit(Event::msgBox(MsgBoxAnswer::No));
        if (a == L"ok") return emit(Event::msgBox(MsgBoxAnswer::Ok));
        if (a == L"cancel") return emit(Event::msgBox(MsgBoxAnswer::Cancel));
        throw LineError{ctx + L": expected yes, no, ok or cancel, found " + shown(a)};
    }

    void dialogDirective(const std::wstring& ctx) {
        for (;;) {
            dialogAction(ctx);
            std::optional<Token> sep = arg(true);
            if (!sep) return;
            if (sep->quoted || sep->text != L"|")
                throw LineError{ctx + L": expected '|' or the end of the line, found " +
                                shown(sep->text)};
        }
    }

    void dialogAction(const std::wstring& ctx) {
        const wchar_t* actions = L"check, text, select or press";
        std::wstring act = core::toLower(need(actions, ctx, true).text);
        std::wstring actx = ctx + L" " + act;
        if (act == L"check") {
            int id = number(L"a control id", actx, true);
            std::wstring state = core::toLower(need(L"on or off", actx, true).text);
            if (state != L"on" && state != L"off")
                throw LineError{actx + L": expected on or off, found " + shown(state)};
            return emit(Event::dialogCheck(id, state == L"on"));
        }
        if (act == L"text") {
            int id = number(L"a control id", actx, true);
            return emit(Event::dialogText(id, need(L"a text", actx, true).text));
        }
        if (act == L"select") {
            int id = number(L"a control id", actx, true);
            return emit(Event::dialogSelect(id, number(L"an item index", actx, true)));
        }
        if (act == L"press") return emit(Event::dialogPress(number(L"a control id", actx, true)));
        throw LineError{ctx + L": expected " + std::wstring(actions) + L", found " + shown(act)};
    }

    std::wstring mSrc;
    size_t mPos = 0;
    int mLine = 1;
    int mTokenLine = 1;
    bool mAny = false;
    Script mOut;
};

} // namespace

std::wstring ScriptError::text() const {
    return L"line " + core::toWString(line) + L": " + message;
}

Script parseScript(std::wstring_view text, int firstLine) {
    return Parser(text, firstLine).run();
}

Script loadScript(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        Script s;
        s.errors.push_back(
            ScriptError{0, L"cannot read the script " + core::utf8ToWide(path.string())});
        return s;
    }
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return parseScript(core::decodeTextFile(bytes));
}

void enqueue(EventQueue& queue, const Script& script) {
    for (const Event& e : script.events)
        queue.push(e);
}

} // namespace zel::editor
