#include "lineinput.h"

#include <editline/readline.h>
#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <memory>

namespace zel::app {

LineInput::LineInput() : mTerminal(isatty(STDIN_FILENO) != 0) {
    if (mTerminal) using_history();
}

bool LineInput::next(std::string& line) {
    if (!mTerminal) return bool(std::getline(std::cin, line));
    // The prompt is already on the screen (the command line printed it).
    std::unique_ptr<char, decltype(&std::free)> typed(readline(""), &std::free);
    if (!typed) return false;
    line = typed.get();
    return true;
}

void LineInput::remember(const std::string& line) {
    if (mTerminal && !line.empty()) add_history(line.c_str());
}

} // namespace zel::app
