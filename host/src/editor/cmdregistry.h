// The command registry of a session: host commands and the commands of modules register here
// by group, with a global (untranslated) and a local name. The editor owns it; the command
// engine looks typed names up in it.
//
// Lookup of a typed name: case does not matter; a leading "_" asks for the global name, a
// leading "." for the host's own command even when a module redefined that name (both may be
// given, in either order: "._LINE", "_.LINE"). Without "_", local names are matched first and
// global names after them. The group registered last wins when two groups define a name.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zel::editor {

enum CommandFlags : int {
    kCmdModal = 0,
    kCmdTransparent = 1, // may run inside another command (typed with a leading "'")
    kCmdNoUndo = 2,      // not wrapped in an undo step of its own (U, UNDO)
};

struct CommandDef {
    std::wstring group;
    std::wstring global; // upper case
    std::wstring local;  // upper case
    int flags = kCmdModal;
    bool builtin = false; // a host command ("." reaches it)
    std::function<void()> run;
};

// A typed command name taken apart.
struct CommandName {
    std::wstring name;        // upper case, without the prefixes
    bool global = false;      // "_"
    bool builtin = false;     // "."
    bool transparent = false; // "'"
};
CommandName parseCommandName(std::wstring_view typed);

class CommandRegistry {
public:
    // False when the group already has a command of that global or local name.
    bool add(CommandDef def);
    bool remove(std::wstring_view group, std::wstring_view globalName);
    // Removes every command of a group; the number removed.
    int removeGroup(std::wstring_view group);
    const CommandDef* find(std::wstring_view typed) const;
    const CommandDef* find(const CommandName& name) const;
    const std::vector<CommandDef>& all() const { return mDefs; }

private:
    std::vector<CommandDef> mDefs; // in the order of registration
};

} // namespace zel::editor
