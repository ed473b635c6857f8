// Points: distance, angle, polar, inters.
#include "lisp_test.h"

using namespace zel::lisp;
using namespace zel::lisp::test;

TEST(LispGeometry, DistanceAnglePolar) {
    Lisp lisp;
    runTable(lisp, {
                       {L"(distance '(1.0 2.5 3.0) '(7.7 2.5 3.0))", L"6.7"},
                       {L"(distance '(1.0 2.0 0.5) '(3.0 4.0 0.5))", L"2.82843"},
                       {L"(distance '(0 0) '(3 4))", L"5.0"},
                       {L"(distance '(0 0 0) '(3 4))", L"5.0"},
                       {L"(distance '(0 0 7) '(3 4))", L"5.0"},
                       {L"(distance '(0 0 0) '(0 0 10))", L"10.0"},
                       {L"(distance '(0 0) 5)", L"!BadArgumentType"},
                       {L"(distance '(0 0) '(1 \"a\"))", L"!BadArgumentType"},
                       {L"(distance '(0) '(1 1))", L"!BadArgumentType"},
                       {L"(angle '(1.0 1.0) '(1.0 4.0))", L"1.5708"},
                       {L"(angle '(5.0 1.33) '(2.4 1.33))", L"3.14159"},
                       {L"(angle '(0 0) '(0 -1))", L"4.71239"},
                       {L"(angle '(0 0 5) '(1 1 -5))", L"0.785398"},
                       {L"(angle '(1 1) '(1 1))", L"0.0"},
                       {L"(polar '(1 1 3.5) 0.785398 1.414214)", L"(2.0 2.0 3.5)"},
                       {L"(polar '(1 1) 0.785398 1.414214)", L"(2.0 2.0)"},
                       {L"(polar '(0 0) pi 2)", L"(-2.0 2.44929e-16)"},
                       {L"(polar '(0 0) \"a\" 2)", L"!BadArgumentType"},
                   });
}

TEST(LispGeometry, Intersections) {
    Lisp lisp;
    runTable(lisp, {
                       {L"(inters '(1.0 1.0) '(9.0 9.0) '(4.0 1.0) '(4.0 2.0))", L"nil"},
                       {L"(inters '(1.0 1.0) '(9.0 9.0) '(4.0 1.0) '(4.0 2.0) nil)", L"(4.0 4.0)"},
                       {L"(inters '(1.0 1.0) '(9.0 9.0) '(4.0 1.0) '(4.0 2.0) T)", L"nil"},
                       {L"(inters '(0 0) '(2 2) '(0 2) '(2 0))", L"(1.0 1.0)"},
                       {L"(inters '(0 0) '(2 0) '(2 0) '(2 5))", L"(2.0 0.0)"},
                       {L"(inters '(0 0) '(1 0) '(0 1) '(1 1))", L"nil"},
                       {L"(inters '(0 0) '(1 0) '(2 0) '(3 0) nil)", L"nil"},
                       {L"(inters '(0 0) '(0 0) '(0 1) '(1 1))", L"nil"},
                       {L"(inters '(0 0 0) '(2 2 0) '(0 2 0) '(2 0 0))", L"(1.0 1.0 0.0)"},
                       {L"(inters '(0 0 0) '(2 2 2) '(0 2 0) '(2 0 2))", L"(1.0 1.0 1.0)"},
                       {L"(inters '(0 0 0) '(2 2 0) '(0 2 1) '(2 0 1))", L"nil"},
                       {L"(inters '(0 0 0) '(2 2 0) '(0 2 1) '(2 0))", L"(1.0 1.0)"},
                       {L"(inters '(0 0) '(1 1) '(0 1))", L"!TooFew"},
                   });
}
