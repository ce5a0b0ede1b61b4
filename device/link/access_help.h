// What the user is told when the board is present but this user may not open it, and
// the commands that fix it by hand. The window and kx5170ctl say the same.
#pragma once

#include <string>
#include <string_view>

namespace kx {

inline constexpr std::string_view AccessDeniedText = "Board found, but access was denied.";

// The fix in words, one line without a full stop, for a tool to print after its own
// account of the refusal.
inline constexpr std::string_view AccessFixInWords =
    "install the board's udev rule, which lets the person at this computer use it: click \"Fix...\" "
    "in kx5170-config, or run the commands under \"Board not found?\" in the README";

// Where the rule is installed for a board that has none: the place for rules the
// machine's administrator adds. The packaged rule lives under /usr/lib/udev/rules.d.
inline constexpr std::string_view AccessRuleDestination = "/etc/udev/rules.d/70-kx5170.rules";

// Shell commands, one a line, that install the board's rule as root, reload udev and
// apply it to a board already plugged in. They carry the rule itself, so they work
// wherever the program runs from.
std::string AccessFixCommands();

// The fix in words, then AccessFixCommands(), for a terminal.
std::string AccessFixHelp();

}  // namespace kx
