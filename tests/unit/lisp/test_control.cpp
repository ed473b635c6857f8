// Special forms, user functions and dynamic scope.
#include "lisp_test.h"

using namespace zel::lisp;
using namespace zel::lisp::test;

TEST(LispControl, AssignmentAndConditionals) {
    Lisp lisp;
    runTable(lisp, {
                       {L"(setq a 5.0)", L"5.0"},
                       {L"(setq a 5.0 b 123 c 4)", L"4"},
                       {L"(list a b c)", L"(5.0 123 4)"},
                       {L"(setq s \"it\")", L"\"it\""},
                       {L"(setq x '(a b))", L"(A B)"},
                       {L"(setq)", L"!TooFew"},
                       {L"(setq a)", L"!TooFew"},
                       {L"(setq a 1 b)", L"!TooFew"},
                       {L"(setq 1 2)", L"!BadArgumentType"},
                       {L"(setq t 1)", L"!Protected"},
                       {L"(setq nil 1)", L"!BadArgumentType"},
                       {L"Sample", L"nil"},
                       {L"(setq Sample 3 sample (1+ SAMPLE))", L"4"},
                       {L"(if (= 1 3) \"YES!!\" \"no.\")", L"\"no.\""},
                       {L"(if (= 2 (+ 1 1)) \"Yes!!\")", L"\"Yes!!\""},
                       {L"(if (= 2 (+ 3 4)) \"Yes!!\")", L"nil"},
                       {L"(if)", L"!TooFew"},
                       {L"(if 1)", L"!TooFew"},
                       {L"(if 1 2 3 4)", L"!TooMany"},
                       {L"(cond ((= 1 2) \"a\") ((= 1 1) \"b\"))", L"\"b\""},
                       {L"(cond ((= 1 2) \"a\"))", L"nil"},
                       {L"(cond (5))", L"5"},
                       {L"(cond (nil 1) (T 2 3))", L"3"},
                       {L"(cond)", L"nil"},
                       {L"(cond 1)", L"!BadArgumentType"},
                       {L"(and 1.4 'a \"s\")", L"T"},
                       {L"(and 1.4 nil \"s\")", L"nil"},
                       {L"(and)", L"T"},
                       {L"(or nil 45 '())", L"T"},
                       {L"(or nil '())", L"nil"},
                       {L"(or)", L"nil"},
                       {L"(progn (setq k 0) (and nil (setq k 1)) k)", L"0"},
                       {L"(progn (setq k 0) (or 1 (setq k 1)) k)", L"0"},
                   });
}

TEST(LispControl, Loops) {
    Lisp lisp;
    runTable(lisp, {
                       {L"(progn 1 2 3)", L"3"},
                       {L"(progn)", L"nil"},
                       {L"(progn (setq i 0) (while (< i 10) (setq i (1+ i))) i)", L"10"},
                       {L"(progn (setq i 0) (while (< i 3) (setq i (1+ i))))", L"3"},
                       {L"(while nil 1)", L"nil"},
                       {L"(progn (setq a 10 b 100) (repeat 4 (setq a (+ a 10)) (setq b (+ b "
                        L"100))) (list a b))",
                        L"(50 500)"},
                       {L"(repeat 0 1)", L"nil"},
                       {L"(repeat -3 1)", L"nil"},
                       {L"(repeat 2.0 1)", L"!BadArgumentType"},
                       {L"(progn (setq s 0) (foreach n '(1 2 3) (setq s (+ s n))) s)", L"6"},
                       {L"(foreach n '(1 2 3) n)", L"3"},
                       {L"(foreach n nil n)", L"nil"},
                       {L"(progn (setq n 'outer) (foreach n '(1 2) n) n)", L"OUTER"},
                       {L"(foreach n 5 n)", L"!BadArgumentType"},
                       {L"(foreach 5 '(1) 1)", L"!BadArgumentType"},
                   });
}

TEST(LispControl, UserFunctionsAndDynamicScope) {
    Lisp lisp;
    runTable(lisp, {
                       {L"(defun add3 (x) (+ x 3))", L"ADD3"},
                       {L"(add3 10)", L"13"},
                       {L"(defun myfunc (x y) (* x y))", L"MYFUNC"},
                       {L"(myfunc 2 3)", L"6"},
                       {L"(myfunc 2)", L"!TooFew"},
                       {L"(myfunc 1 2 3)", L"!TooMany"},
                       {L"(defun noargs () 42)", L"NOARGS"},
                       {L"(noargs)", L"42"},
                       {L"(defun empty ())", L"EMPTY"},
                       {L"(empty)", L"nil"},
                       {L"(progn (defun f (a / b) (setq b (* a 2)) b) (setq b 'keep) (list (f 3) "
                        L"b))",
                        L"(6 KEEP)"},
                       {L"(defun fact (n) (if (< n 2) 1 (* n (fact (1- n)))))", L"FACT"},
                       {L"(fact 10)", L"3628800"},
                       // Dynamic scope: a called function sees the caller's locals.
                       {L"(defun inner () depth)", L"INNER"},
                       {L"(defun outer (depth) (inner))", L"OUTER"},
                       {L"(outer 7)", L"7"},
                       {L"depth", L"nil"},
                       {L"(defun dup (a / a) a)", L"DUP"},
                       {L"(dup 5)", L"5"},
                       {L"(defun bad (1) 1)", L"!BadArgumentType"},
                       {L"(defun bad2 x 1)", L"!BadArgumentType"},
                       {L"(progn (defun-q q1 (x) (* x 10)) (q1 2))", L"20"},
                       {L"q1", L"((X) (* X 10))"},
                       {L"((lambda (x) (* x x)) 5)", L"25"},
                       {L"(lambda (x) x)", L"#<USUBR -lambda->"},
                       {L"car", L"#<SUBR CAR>"},
                       {L"add3", L"#<USUBR ADD3>"},
                       {L"(progn (setq f (lambda (a b) (+ a b))) (f 1 2))", L"3"},
                       {L"(progn (setq g '(lambda (a) (* 2 a))) (g 4))", L"8"},
                       {L"(undefined-fn 1)", L"!NoFunction"},
                       {L"(1 2)", L"!BadFunction"},
                       {L"(\"f\")", L"!BadFunction"},
                       {L"(progn (setq notfn 5) (notfn))", L"!BadFunction"},
                       {L"(defun c:hello () (princ \"hi\") (princ))", L"C:HELLO"},
                       {L"(c:hello)", L""},
                       {L"(exit)", L"!Quit"},
                       {L"(quit)", L"!Quit"},
                   });
    EXPECT_TRUE(lisp.in.hasFunction(L"c:hello"));
    EXPECT_TRUE(lisp.in.hasFunction(L"CAR"));
    EXPECT_FALSE(lisp.in.hasFunction(L"c:nothing"));
}

TEST(LispControl, OutputFunctionsWriteAndReturn) {
    struct Row {
        const wchar_t* expr;
        const wchar_t* value;
        const wchar_t* output;
    } rows[] = {
        {L"(princ \"a\\nb\")", L"\"a\\nb\"", L"a\nb"},
        {L"(prin1 \"a\\nb\")", L"\"a\\nb\"", L"\"a\\nb\""},
        {L"(print \"a\")", L"\"a\"", L"\n\"a\" "},
        {L"(princ '(1 \"x\" 2.5))", L"(1 \"x\" 2.5)", L"(1 x 2.5)"},
        {L"(prin1 'sym)", L"SYM", L"SYM"},
        {L"(princ)", L"", L""},
        {L"(prin1)", L"", L""},
        {L"(terpri)", L"nil", L"\n"},
        {L"(prompt \"hi\")", L"nil", L"hi"},
        {L"(write-line \"w\")", L"\"w\"", L"\nw"},
        {L"(princ \"\\e\\t\\101\")", L"\"\\e\\tA\"", L"\x1b\tA"},
    };
    for (const Row& r : rows) {
        Lisp lisp;
        EXPECT_EQ(lisp.eval(r.expr), std::wstring(r.value)) << narrow(r.expr);
        EXPECT_EQ(lisp.out, std::wstring(r.output)) << narrow(r.expr);
    }
}
