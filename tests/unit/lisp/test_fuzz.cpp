// Garbage never crashes: seeded random text through the reader, the evaluator and CAL, and
// random values through the printer and back through the reader.
#include "lisp/cal.h"
#include "lisp/printer.h"
#include "lisp/reader.h"
#include "lisp_test.h"

#include <random>

using namespace zel::lisp;
using namespace zel::lisp::test;

namespace {

std::wstring randomText(std::mt19937& rng, const std::wstring& alphabet, size_t maxLength) {
    std::wstring s;
    for (size_t n = rng() % maxLength; n > 0; --n) {
        if (rng() % 16 == 0)
            s += static_cast<wchar_t>(rng() % 0x3000); // anything, control characters too
        else
            s += alphabet[rng() % alphabet.size()];
    }
    return s;
}

const std::wstring kLispAlphabet =
    L"((((()))))'''\"\"\\;;|. \n\t0123456789+-*/eE.abcnilt  setq defun lambda car cdr cons "
    L"while repeat foreach if cond progn list apply mapcar eval read 1+ strcat princ quote";

} // namespace

TEST(LispFuzz, RandomTextNeverCrashesTheEvaluator) {
    InterpreterOptions options;
    options.stepLimit = 20000;
    options.maxDepth = 400;
    Lisp lisp(options);
    lisp.eval(L"(setq open nil alert nil)"); // no files from random text
    std::mt19937 rng(7);
    int ok = 0, failed = 0;
    for (int i = 0; i < 4000; ++i) {
        std::wstring text = randomText(rng, kLispAlphabet, 80);
        EvalResult r = lisp.in.evalText(text);
        (r.ok ? ok : failed)++;
        if (!r.ok) {
            ASSERT_FALSE(r.message.empty()) << narrow(text);
        }
        if (lisp.out.size() > 100000) lisp.out.clear();
    }
    EXPECT_GT(ok, 0);
    EXPECT_GT(failed, 0);
    EXPECT_EQ(lisp.eval(L"(+ 1 2)"), L"3"); // still sound
}

TEST(LispFuzz, RandomTextEitherReadsOrFailsWithAPosition) {
    SymbolTable symbols;
    std::mt19937 rng(11);
    for (int i = 0; i < 5000; ++i) {
        std::wstring text = randomText(rng, kLispAlphabet, 120);
        Reader reader(symbols, text);
        try {
            while (reader.next()) {
            }
        } catch (const LispError& e) {
            ASSERT_TRUE(e.kind() == ErrorKind::Syntax || e.kind() == ErrorKind::Incomplete);
            ASSERT_NE(e.message().find(L" 行 "), std::wstring::npos) << narrow(text);
            ASSERT_EQ(needsMoreInput(text), e.kind() == ErrorKind::Incomplete) << narrow(text);
        }
    }
}

TEST(LispFuzz, PrintedValuesReadBackTheSame) {
    Lisp lisp;
    std::mt19937 rng(99);
    // Values made by evaluating random list expressions; what prin1 prints reads back equal.
    const wchar_t* atoms[] = {L"1",       L"-25",     L"2.5",   L"1e20", L"\"a\\\"b\\\\c\"",
                              L"\"\\n\"", L"'sym",    L"nil",   L"T",    L"\"図面\"",
                              L"-0.125",  L"\"\\e\"", L"0.001", L"'|x|", L"\"\\001\""};
    for (int i = 0; i < 1500; ++i) {
        std::wstring expr = L"(list";
        for (int n = static_cast<int>(rng() % 5); n > 0; --n) {
            if (rng() % 3 == 0)
                expr +=
                    L" (cons " + std::wstring(atoms[rng() % 15]) + L" " + atoms[rng() % 15] + L")";
            else
                expr += L" " + std::wstring(atoms[rng() % 15]);
        }
        expr += L")";
        std::wstring printed = lisp.eval(expr);
        ASSERT_NE(printed[0], L'!') << narrow(expr);
        std::wstring again =
            lisp.eval(L"(vl-prin1-to-string (read (vl-prin1-to-string " + expr + L")))");
        ASSERT_EQ(again, toText(Value::string(printed))) << narrow(expr);
    }
}

TEST(LispFuzz, RandomTextNeverCrashesCal) {
    const std::wstring alphabet = L"0123456789.+-*/^() eE pisqrtcoaglnrund2^^((";
    std::mt19937 rng(5);
    int ok = 0;
    for (int i = 0; i < 20000; ++i) {
        std::wstring text = randomText(rng, alphabet, 40);
        CalResult r = evaluateCal(text);
        if (r.ok) {
            ++ok;
        } else {
            ASSERT_FALSE(r.error.empty());
            ASSERT_LE(r.errorOffset, text.size()) << narrow(text);
        }
    }
    EXPECT_GT(ok, 0);
}
