// List functions, predicates and the functions on functions.
#include "lisp_test.h"

using namespace zel::lisp;
using namespace zel::lisp::test;

TEST(LispLists, CarCdrAndCompositions) {
    Lisp lisp;
    runTable(lisp, {
                       {L"(car '(a b c))", L"A"},
                       {L"(car '((a b) c))", L"(A B)"},
                       {L"(car '())", L"nil"},
                       {L"(cdr '(a b c))", L"(B C)"},
                       {L"(cdr '((a b) c))", L"(C)"},
                       {L"(cdr '(a . b))", L"B"},
                       {L"(cdr '(1 . \"Text\"))", L"\"Text\""},
                       {L"(cdr nil)", L"nil"},
                       {L"(cadr '(a b c))", L"B"},
                       {L"(caddr '(a b c))", L"C"},
                       {L"(cddr '(a b c))", L"(C)"},
                       {L"(caar '((a b) c))", L"A"},
                       {L"(cdar '((a b) c))", L"(B)"},
                       {L"(cadar '((a b) c))", L"B"},
                       {L"(cadddr '(1 2 3 4))", L"4"},
                       {L"(cddddr '(1 2 3 4 5))", L"(5)"},
                       {L"(caddr '(1 2))", L"nil"},
                       {L"(car 1)", L"!BadArgumentType"},
                       {L"(cadr '(1 . 2))", L"!BadArgumentType"},
                       {L"(car)", L"!TooFew"},
                   });
}

TEST(LispLists, ConstructionAndAccess) {
    Lisp lisp;
    runTable(lisp, {
                       {L"(cons 'a '(b c d))", L"(A B C D)"},
                       {L"(cons '(a) '(b c d))", L"((A) B C D)"},
                       {L"(cons 'a 2)", L"(A . 2)"},
                       {L"(cons 1 nil)", L"(1)"},
                       {L"(cons 1 '(2 . 3))", L"(1 2 . 3)"},
                       {L"(list 'a 'b 'c)", L"(A B C)"},
                       {L"(list 'a '(b c) 'd)", L"(A (B C) D)"},
                       {L"(list 3.9 6.7)", L"(3.9 6.7)"},
                       {L"(list)", L"nil"},
                       {L"(list nil)", L"(nil)"},
                       {L"(append '(a b) '(c d))", L"(A B C D)"},
                       {L"(append '((a)(b)) '((c)(d)))", L"((A) (B) (C) (D))"},
                       {L"(append)", L"nil"},
                       {L"(append '(1) nil '(2 3))", L"(1 2 3)"},
                       {L"(append '(1) 2)", L"!BadArgumentType"},
                       {L"(reverse '((a) b c))", L"(C B (A))"},
                       {L"(reverse nil)", L"nil"},
                       {L"(length '(a b c d))", L"4"},
                       {L"(length '(a b (c d)))", L"3"},
                       {L"(length '())", L"0"},
                       {L"(length '(1 . 2))", L"!BadArgumentType"},
                       {L"(length \"abc\")", L"!BadArgumentType"},
                       {L"(nth 3 '(a b c d e))", L"D"},
                       {L"(nth 0 '(a b c d e))", L"A"},
                       {L"(nth 5 '(a b c d e))", L"nil"},
                       {L"(nth -1 '(a b))", L"nil"},
                       {L"(nth 1.0 '(a b))", L"!BadArgumentType"},
                       {L"(last '(a b c d e))", L"E"},
                       {L"(last '(a b c (d e)))", L"(D E)"},
                       {L"(last nil)", L"nil"},
                   });
}

TEST(LispLists, SearchAndSubstitution) {
    Lisp lisp;
    runTable(lisp,
             {
                 {L"(member 'c '(a b c d e))", L"(C D E)"},
                 {L"(member 'q '(a b c d e))", L"nil"},
                 {L"(member '(1 2) '(a (1 2) b))", L"((1 2) B)"},
                 {L"(member 2.0 '(1 2 3))", L"(2 3)"},
                 {L"(assoc 'size '((name box) (width 3) (size 4.5) (depth 7)))", L"(SIZE 4.5)"},
                 {L"(assoc 'weight '((name box) (width 3)))", L"nil"},
                 {L"(assoc 8 '((0 . \"LINE\") (8 . \"0\")))", L"(8 . \"0\")"},
                 {L"(assoc \"b\" '((\"a\" . 1) (\"b\" . 2)))", L"(\"b\" . 2)"},
                 {L"(assoc 1 '(2 (1 . x)))", L"(1 . X)"},
                 {L"(subst 'qq 'b '(a b (c d) b))", L"(A QQ (C D) QQ)"},
                 {L"(subst 'qq 'z '(a b (c d) b))", L"(A B (C D) B)"},
                 {L"(subst 'qq '(c d) '(a b (c d) b))", L"(A B QQ B)"},
                 {L"(subst '(qq rr) '(c d) '(a b (c d) b))", L"(A B (QQ RR) B)"},
                 {L"(subst '(8 . \"NEW\") '(8 . \"0\") '((0 . \"LINE\") (8 . \"0\")))",
                  L"((0 . \"LINE\") (8 . \"NEW\"))"},
                 {L"(vl-position 'c '(a b c))", L"2"},
                 {L"(vl-position 'z '(a b c))", L"nil"},
                 {L"(vl-remove 'b '(a b c b))", L"(A C)"},
                 {L"(acad_strlsort '(\"Dec\" \"Jan\" \"Feb\"))", L"(\"Dec\" \"Feb\" \"Jan\")"},
                 {L"(acad_strlsort '(\"b\" 1))", L"!BadArgumentType"},
             });
}

TEST(LispLists, QuotedAndDottedForms) {
    Lisp lisp;
    runTable(lisp, {
                       {L"'(1 . (2 3))", L"(1 2 3)"},
                       {L"'(a . b)", L"(A . B)"},
                       {L"'(1 2 . 3)", L"(1 2 . 3)"},
                       {L"'(quote x)", L"(QUOTE X)"},
                       {L"''x", L"(QUOTE X)"},
                       {L"'(a 'b)", L"(A (QUOTE B))"},
                       {L"'(nil t)", L"(nil T)"},
                       {L"'()", L"nil"},
                       {L"'(\"a\\\"b\" 1.5)", L"(\"a\\\"b\" 1.5)"},
                       {L"(quote a)", L"A"},
                       {L"(quote)", L"!TooFew"},
                       {L"(function car)", L"CAR"},
                   });
}

TEST(LispLists, FunctionsOnFunctions) {
    Lisp lisp;
    runTable(lisp, {
                       {L"(mapcar '1+ '(10 20 30))", L"(11 21 31)"},
                       {L"(mapcar '+ '(10 20 30) '(4 3 2))", L"(14 23 32)"},
                       {L"(mapcar '(lambda (x) (+ x 3)) '(10 20 30))", L"(13 23 33)"},
                       {L"(mapcar (function (lambda (x) (* x x))) '(1 2 3))", L"(1 4 9)"},
                       {L"(mapcar 'list '(1 2 3) '(a b))", L"((1 A) (2 B))"},
                       {L"(mapcar 'car nil)", L"nil"},
                       {L"(mapcar 'nosuchfn '(1))", L"!NoFunction"},
                       {L"(apply '+ '(1 2 3))", L"6"},
                       {L"(apply 'strcat '(\"a\" \"b\" \"c\"))", L"\"abc\""},
                       {L"(apply '(lambda (x y z) (* x (- y z))) '(5 20 14))", L"30"},
                       {L"(apply 'and '(T nil))", L"nil"},
                       {L"(apply 'or '(nil 1))", L"T"},
                       {L"(apply 'progn '(1 2))", L"2"},
                       {L"(apply '+ 1)", L"!BadArgumentType"},
                       {L"(eval 4.0)", L"4.0"},
                       {L"(eval '(abs -10))", L"10"},
                       {L"(progn (setq a 123) (eval 'a))", L"123"},
                       {L"(eval ''x)", L"X"},
                       {L"(set 'a 5)", L"5"},
                       {L"(progn (set 'b 'c) (set b 7) c)", L"7"},
                       {L"(set \"a\" 1)", L"!BadArgumentType"},
                   });
}

TEST(LispPredicates, TypeTestsAndIdentity) {
    Lisp lisp;
    runTable(lisp, {
                       {L"(null nil)", L"T"},
                       {L"(null '())", L"T"},
                       {L"(null 'a)", L"nil"},
                       {L"(null '(a))", L"nil"},
                       {L"(not nil)", L"T"},
                       {L"(not 0)", L"nil"},
                       {L"(atom 'a)", L"T"},
                       {L"(atom '(a b c))", L"nil"},
                       {L"(atom nil)", L"T"},
                       {L"(atom 1)", L"T"},
                       {L"(listp '(a b c))", L"T"},
                       {L"(listp 'a)", L"nil"},
                       {L"(listp 4.343)", L"nil"},
                       {L"(listp nil)", L"T"},
                       {L"(numberp 4)", L"T"},
                       {L"(numberp 3.8348)", L"T"},
                       {L"(numberp \"Howdy\")", L"nil"},
                       {L"(numberp 'a)", L"nil"},
                       {L"(vl-symbolp 'a)", L"T"},
                       {L"(vl-symbolp \"a\")", L"nil"},
                       {L"(vl-consp '(1))", L"T"},
                       {L"(vl-consp nil)", L"nil"},
                       {L"(zerop 0)", L"T"},
                       {L"(zerop 0.0)", L"T"},
                       {L"(zerop 0.0001)", L"nil"},
                       {L"(minusp -1)", L"T"},
                       {L"(minusp -4.293)", L"T"},
                       {L"(minusp 830.2)", L"nil"},
                       {L"(minusp 'a)", L"!BadArgumentType"},
                       {L"(boundp 'never-set)", L"nil"},
                       {L"(progn (setq a1 2) (boundp 'a1))", L"T"},
                       {L"(boundp 1)", L"!BadArgumentType"},
                       {L"(eq 'a 'a)", L"T"},
                       {L"(eq 'a 'b)", L"nil"},
                       {L"(eq 3 3)", L"T"},
                       {L"(progn (setq f1 '(a b c) f2 '(a b c) f3 f2) (list (eq f1 f3) (eq f3 "
                        L"f2)))",
                        L"(nil T)"},
                       {L"(equal '(a b c) '(a b c))", L"T"},
                       {L"(equal '(a b c) '(a b d))", L"nil"},
                       {L"(equal '(1 . 2) '(1 . 2))", L"T"},
                       {L"(equal 1 1.0)", L"T"},
                       {L"(equal \"a\" \"a\")", L"T"},
                       {L"(equal 1.123456 1.123457 0.000001)", L"T"},
                       {L"(equal 1.123456 1.123458 0.000001)", L"nil"},
                       {L"(equal '(1.0 2.0) '(1.05 1.95) 0.1)", L"T"},
                       {L"(equal '(1.0 2.0) '(1.05 1.95))", L"nil"},
                       {L"(type 'a)", L"SYM"},
                       {L"(type T)", L"SYM"},
                       {L"(type 1)", L"INT"},
                       {L"(type 1.0)", L"REAL"},
                       {L"(type \"s\")", L"STR"},
                       {L"(type '(1))", L"LIST"},
                       {L"(type car)", L"SUBR"},
                       {L"(type setq)", L"SUBR"},
                       {L"(type nil)", L"nil"},
                       {L"(type (lambda () 1))", L"USUBR"},
                   });
}
