// Symbol table.
#include "lisp/symbols.h"

#include "core/text.h"

namespace zel::lisp {

SymbolTable::SymbolTable() {
    mNil = intern(L"NIL");
    mNil->isProtected = true;
    mT = intern(L"T");
    mT->value = Value::symbol(mT);
    mT->isProtected = true;
    mEmpty = intern(L"");
    mEmpty->isProtected = true;
}

SymbolTable::~SymbolTable() {
    // Values may name other symbols (never own them); drop all values before any symbol goes.
    for (auto& [name, sym] : mSymbols)
        sym->value = Value();
}

Symbol* SymbolTable::intern(std::wstring_view name) {
    std::wstring key = core::toUpper(name);
    auto it = mSymbols.find(key);
    if (it != mSymbols.end()) return it->second.get();
    auto sym = std::make_unique<Symbol>();
    sym->name = key;
    Symbol* raw = sym.get();
    mSymbols.emplace(std::move(key), std::move(sym));
    return raw;
}

Symbol* SymbolTable::find(std::wstring_view name) const {
    auto it = mSymbols.find(core::toUpper(name));
    return it == mSymbols.end() ? nullptr : it->second.get();
}

} // namespace zel::lisp
