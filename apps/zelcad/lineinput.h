// Lines typed at the shell: with line editing and history (arrow keys, ^R) when standard input
// is a terminal, plain lines otherwise (pipes, files).
#pragma once

#include <string>

namespace zel::app {

class LineInput {
public:
    LineInput();
    // The next line without its line break; false at the end of the input.
    bool next(std::string& line);
    // Remembers a line for the arrow keys.
    void remember(const std::string& line);
    bool interactive() const { return mTerminal; }

private:
    bool mTerminal = false;
};

} // namespace zel::app
