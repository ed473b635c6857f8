// The symbols of one interpreter: names compared without case, printed in upper case.
#pragma once

#include "lisp/value.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace zel::lisp {

class SymbolTable {
public:
    SymbolTable();
    ~SymbolTable();
    SymbolTable(const SymbolTable&) = delete;
    SymbolTable& operator=(const SymbolTable&) = delete;

    // The symbol of that name, made on first use.
    Symbol* intern(std::wstring_view name);
    // Null when no symbol of that name exists yet.
    Symbol* find(std::wstring_view name) const;

    Symbol* nil() const { return mNil; }
    Symbol* t() const { return mT; }
    // The symbol with the empty name: what (princ) returns, printed as nothing.
    Symbol* empty() const { return mEmpty; }

    size_t size() const { return mSymbols.size(); }

private:
    std::map<std::wstring, std::unique_ptr<Symbol>, std::less<>> mSymbols; // key: upper case
    Symbol* mNil = nullptr;
    Symbol* mT = nullptr;
    Symbol* mEmpty = nullptr;
};

} // namespace zel::lisp
