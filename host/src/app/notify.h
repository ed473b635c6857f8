// Telling a list of listeners: each one still listed when its turn comes is told, so a
// listener may add or remove listeners (itself included) while it is told.
#pragma once

#include <algorithm>
#include <vector>

namespace zel::app {

template <class T, class Fn> void tellEach(const std::vector<T*>& listeners, Fn&& fn) {
    std::vector<T*> snapshot = listeners;
    for (T* l : snapshot) {
        if (std::find(listeners.begin(), listeners.end(), l) != listeners.end()) fn(l);
    }
}

} // namespace zel::app
