// External functions: functions written in C++ that the host or a module registers by name
// for one document (acedDefun), called from LISP like built-in functions.
//
// A call hands the function its arguments as a resbuf list (acedGetArgs: a list of 2 or 3
// reals arrives as RTPOINT / RT3DPOINT, integers as RTSHORT or RTLONG, other lists as
// RTLB ... RTLE) and collects its result through ExternalReturn (the acedRet... family).
// The function answers RSRSLT, or RSERR to make the LISP call fail. While it runs,
// ExternalRegistry::current() gives the call, so that acedGetArgs and acedRetXxx can be
// wired to it.
#pragma once

#include "arx/ads.h"
#include "core/resbuf.h"

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace zel::lisp {

class Interpreter;

// The value an external function gives back. Nothing set gives nil.
class ExternalReturn {
public:
    enum class Form { Nothing, Value, List, Void };

    void setList(const resbuf* list);  // acedRetList: the nodes become a LISP list
    void setValue(const resbuf* node); // acedRetVal: the first value (a list if it is RTLB)
    void setNil();
    void setT();
    void setVoid(); // acedRetVoid: a value that prints as nothing
    void setInt(int32_t v);
    void setReal(double v);
    void setString(std::wstring_view s);
    void setPoint(const ads_point p);         // a list of three reals
    void setName(const ads_name n, int type); // RTENAME or RTPICKS

    Form form() const { return mForm; }
    const resbuf* data() const { return mData.get(); }

private:
    void setOne(core::RbBuilder& b);
    Form mForm = Form::Nothing;
    core::RbPtr mData;
};

struct ExternalCall {
    std::wstring name;  // as registered
    const resbuf* args; // owned by the interpreter for the duration of the call
    ExternalReturn result;
};

// RSRSLT (RTNORM is taken as RSRSLT) or RSERR.
using ExternalFunction = std::function<int(ExternalCall& call)>;

class ExternalRegistry {
public:
    explicit ExternalRegistry(Interpreter& in) : mIn(in) {}

    // acedDefun: the symbol of that name now calls fn. False for an empty name. Defining a
    // name again replaces the function.
    bool define(std::wstring_view name, ExternalFunction fn);
    // acedUndef: false when no external function has that name.
    bool undefine(std::wstring_view name);
    bool contains(std::wstring_view name) const;
    const ExternalFunction* find(std::wstring_view name) const;

    // The innermost call in progress (null outside external functions).
    ExternalCall* current() const { return mCalls.empty() ? nullptr : mCalls.back(); }

    // Used by the interpreter around a call.
    void push(ExternalCall* call) { mCalls.push_back(call); }
    void pop() { mCalls.pop_back(); }

private:
    Interpreter& mIn;
    std::map<std::wstring, ExternalFunction, std::less<>> mFunctions; // key: upper case
    std::vector<ExternalCall*> mCalls;
};

} // namespace zel::lisp
