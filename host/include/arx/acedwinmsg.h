// Filters of the window messages the host receives while it waits for input. The host has no
// windows of its own: a key the user presses while a prompt waits (in a script: !key Z) reaches
// every registered filter as a WM_CHAR message, before the prompt sees it. A filter that
// returns true swallows the key. Filters go when the module that registered them is unloaded.
#pragma once

#include <cstdint>

using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using UINT = unsigned int;

inline constexpr UINT WM_CHAR = 0x0102;

struct MSG {
    void* hwnd;
    UINT message;
    WPARAM wParam; // WM_CHAR: the character code
    LPARAM lParam;
    uint32_t time;
};

typedef bool (*AcedFilterWinMsgFn)(MSG* msg);

// False when the filter is null or already registered, or when no session runs.
bool acedRegisterFilterWinMsg(const AcedFilterWinMsgFn pfn);
// False when it was not registered.
bool acedRemoveFilterWinMsg(const AcedFilterWinMsgFn pfn);
