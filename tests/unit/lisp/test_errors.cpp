// Errors: their texts, *error*, unwinding of dynamic bindings, and the limits that turn
// runaway evaluation into errors.
#include "lisp/host_bridge.h"
#include "lisp_test.h"

#include <memory>

using namespace zel::lisp;
using namespace zel::lisp::test;

TEST(LispErrors, UnhandledErrorPrintsItsLine) {
    struct Row {
        const wchar_t* expr;
        const wchar_t* line;
    } rows[] = {
        {L"(car 1)", L"\n; エラー: 引数のタイプが違います: consp: 1"},
        {L"(+ 1 \"a\")", L"\n; エラー: 引数のタイプが違います: numberp: \"a\""},
        {L"(nosuch 1)", L"\n; エラー: 関数が定義されていません: NOSUCH"},
        {L"(/ 1 0)", L"\n; エラー: 0 で割ろうとしました"},
        {L"(substr)", L"\n; エラー: 引数が足りません: SUBSTR"},
        {L"(exit)", L"\n; エラー: quit / exit abort"},
        {L"(1 2)", L"\n; エラー: 関数ではありません: 1"},
        {L"(car '(1)))",
         L"\n; エラー: 式の書き方が正しくありません: 余分な ) があります (1 行 11 桁)"},
        {L"(princ \"x\"\n  (car",
         L"\n; エラー: 式が閉じていません: かっこが閉じていません (2 行 3 桁)"},
    };
    for (const Row& r : rows) {
        Lisp lisp;
        EvalResult res = lisp.in.evalText(r.expr);
        EXPECT_FALSE(res.ok) << narrow(r.expr);
        EXPECT_EQ(lisp.out, std::wstring(r.line)) << narrow(r.expr);
        EXPECT_EQ(L"\n; エラー: " + res.message, std::wstring(r.line));
    }
}

TEST(LispErrors, ErrorHandlerGetsTheMessageInsteadOfTheDefaultLine) {
    Lisp lisp;
    lisp.eval(L"(defun *error* (msg) (setq caught msg) (princ \"handled\"))");
    EXPECT_EQ(lisp.eval(L"(car 1)"), L"!BadArgumentType");
    EXPECT_EQ(lisp.out, L"handled");
    EXPECT_EQ(lisp.eval(L"caught"), L"\"引数のタイプが違います: consp: 1\"");
    lisp.out.clear();
    EXPECT_EQ(lisp.eval(L"(exit)"), L"!Quit");
    EXPECT_EQ(lisp.eval(L"caught"), L"\"quit / exit abort\"");
}

TEST(LispErrors, ErrorHandlerRunsBeforeLocalsAreUnbound) {
    Lisp lisp;
    lisp.eval(L"(defun f (arg / loc) (setq loc (* arg 2)) (car arg))");
    lisp.eval(L"(defun *error* (msg) (setq seen (list arg loc)))");
    lisp.eval(L"(setq arg 'global-arg loc 'global-loc)");
    EXPECT_EQ(lisp.eval(L"(f 21)"), L"!BadArgumentType");
    EXPECT_EQ(lisp.eval(L"seen"), L"(21 42)");
    EXPECT_EQ(lisp.eval(L"(list arg loc)"), L"(GLOBAL-ARG GLOBAL-LOC)");
}

TEST(LispErrors, LocalErrorHandlerOfACommandFunction) {
    // The common pattern: *error* is a local of the command and is defined inside it.
    Lisp lisp;
    lisp.eval(L"(defun c:cmd (/ *error*) (defun *error* (m) (princ (strcat \"[\" m \"]\"))) "
              L"(/ 1 0))");
    EXPECT_EQ(lisp.eval(L"(c:cmd)"), L"!DivideByZero");
    EXPECT_EQ(lisp.out, L"[0 で割ろうとしました]");
    EXPECT_EQ(lisp.eval(L"*error*"), L"nil");
}

TEST(LispErrors, ErrorInsideTheHandlerIsShownPlainly) {
    Lisp lisp;
    lisp.eval(L"(defun *error* (msg) (car msg))");
    EXPECT_EQ(lisp.eval(L"(/ 1 0)"), L"!DivideByZero");
    EXPECT_EQ(lisp.out, L"\n; エラー: 引数のタイプが違います: consp: \"0 で割ろうとしました\"");
    lisp.out.clear();
    EXPECT_EQ(lisp.eval(L"(+ 1 2)"), L"3"); // the interpreter goes on
}

TEST(LispErrors, BindingsAreRestoredWhenAnErrorUnwinds) {
    Lisp lisp;
    lisp.eval(L"(setq x 1 y 2 n 'keep)");
    lisp.eval(L"(defun g (x / y) (setq y 5) (foreach n '(1 2) (/ 1 0)))");
    EXPECT_EQ(lisp.eval(L"(g 9)"), L"!DivideByZero");
    EXPECT_EQ(lisp.eval(L"(list x y n)"), L"(1 2 KEEP)");
}

TEST(LispErrors, RunawayRecursionIsAnErrorAndTheInterpreterRecovers) {
    Lisp lisp;
    lisp.eval(L"(defun r (n) (+ 1 (r (1+ n))))");
    EXPECT_EQ(lisp.eval(L"(r 0)"), L"!StackOverflow");
    EXPECT_EQ(lisp.eval(L"(fact 3)"), L"!NoFunction");
    lisp.eval(L"(defun fact (n) (if (< n 2) 1 (* n (fact (1- n)))))");
    EXPECT_EQ(lisp.eval(L"(fact 12)"), L"479001600");
    // *error* can still run after the stack overflowed.
    lisp.eval(L"(defun *error* (m) (setq why m))");
    EXPECT_EQ(lisp.eval(L"(r 0)"), L"!StackOverflow");
    EXPECT_NE(lisp.eval(L"why"), L"nil");
}

TEST(LispErrors, DeepNestingInTheTextIsAnErrorNotACrash) {
    Lisp lisp;
    std::wstring deep(200000, L'(');
    EXPECT_EQ(lisp.eval(deep + L"1" + std::wstring(200000, L')')), L"!Syntax");
    std::wstring nested;
    for (int i = 0; i < 50000; ++i)
        nested += L"(+ ";
    nested += L"1" + std::wstring(50000, L')');
    EXPECT_EQ(lisp.eval(nested), L"!StackOverflow");
    EXPECT_EQ(lisp.eval(L"(+ (+ (+ 1)))"), L"1");
}

TEST(LispErrors, DeepValuesPrintAndFreeWithoutRecursion) {
    Lisp lisp;
    lisp.eval(L"(setq v nil i 0)");
    lisp.eval(L"(repeat 100000 (setq v (list v)))");
    std::wstring text = lisp.eval(L"(vl-prin1-to-string v)");
    EXPECT_EQ(text.size(), 2 + 2 * 100000 + 3u); // quotes, parentheses, "nil"
    lisp.eval(L"(setq w nil) (repeat 100000 (setq w (cons i w)))");
    EXPECT_EQ(lisp.eval(L"(length w)"), L"100000");
    EXPECT_EQ(lisp.eval(L"(equal w (append w nil))"), L"T");
    EXPECT_EQ(lisp.eval(L"(setq v nil w nil)"), L"nil"); // frees both without recursion
}

TEST(LispErrors, StepLimitEndsAnEndlessLoop) {
    InterpreterOptions options;
    options.stepLimit = 5000;
    Lisp lisp(options);
    EXPECT_EQ(lisp.eval(L"(while t 1)"), L"!StepLimit");
    EXPECT_EQ(lisp.eval(L"(repeat 10 (+ 1 2))"), L"3"); // the count starts again
}

TEST(LispErrors, HostCancelEndsALongEvaluation) {
    Lisp lisp;
    auto bridge = std::make_shared<HostBridge>();
    int polls = 0;
    bridge->cancelRequested = [&polls] { return ++polls > 3; };
    lisp.in.setHostBridge(bridge);
    EXPECT_EQ(lisp.eval(L"(while t (setq a 1))"), L"!Cancelled");
    EXPECT_EQ(lisp.out, L"\n; エラー: 関数はキャンセルされました");
}

TEST(LispErrors, SmallStackBudgetStillGivesAnError) {
    InterpreterOptions options;
    options.stackBudget = 128 * 1024;
    Lisp lisp(options);
    lisp.eval(L"(defun r (n) (r (1+ n)))");
    EXPECT_EQ(lisp.eval(L"(r 0)"), L"!StackOverflow");
    EXPECT_EQ(lisp.eval(L"(defun s (n) (if (> n 0) (s (1- n)) 'done)) (s 10)"), L"DONE");
}
