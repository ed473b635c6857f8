// Registration of the built-in functions, one group per file.
#pragma once

namespace zel::lisp {

class Interpreter;

void registerControlForms(Interpreter& in);      // special_forms.cpp
void registerFunctionBuiltins(Interpreter& in);  // functions.cpp
void registerMathBuiltins(Interpreter& in);      // math.cpp
void registerListBuiltins(Interpreter& in);      // lists.cpp
void registerPredicateBuiltins(Interpreter& in); // predicates.cpp
void registerStringBuiltins(Interpreter& in);    // strings.cpp
void registerOutputBuiltins(Interpreter& in);    // output.cpp
void registerGeometryBuiltins(Interpreter& in);  // geometry.cpp
void registerFileBuiltins(Interpreter& in);      // files.cpp
void registerHostBuiltins(Interpreter& in);      // host_functions.cpp
void registerCalBuiltin(Interpreter& in);        // cal_function.cpp

} // namespace zel::lisp
