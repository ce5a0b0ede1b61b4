// What the user is told when the board is present but this user may not open it, and
// the commands that fix it by hand. The window and kx5170ctl say the same.
#pragma once

#include <span>
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

// The rule's file name, in whichever folder udev reads it from.
inline constexpr std::string_view AccessRuleName = "70-kx5170.rules";

// Where udev reads rules from, the administrator's first: a file in an earlier folder
// overrides one of the same name in a later folder.
inline constexpr std::string_view UdevRuleFolders[] = {"/etc/udev/rules.d", "/run/udev/rules.d",
                                                       "/usr/lib/udev/rules.d", "/lib/udev/rules.d"};

// Whether a rule for the board is installed, as scripts/lib/udev_rule.sh
// (kx_board_rule_installed) tells it; the two must agree. A folder holds a rule for
// the board when:
//   - it holds a file named 70-kx5170.rules, whatever it holds: this program's rule,
//     the administrator's own, or a mask (a link to /dev/null, or an empty file, as
//     udev tells one), which is theirs to undo; or
//   - an active line (not a comment) of one of its *.rules files matches the board's
//     vendor 6c1b, in any case, by USB attribute (ATTRS{idVendor}=="6c1b"), udev
//     property (ENV{ID_VENDOR_ID}=="6c1b") or HID bus ID (KERNELS=="0003:6C1B:*").
// A folder that does not exist or cannot be read holds none.
struct BoardRuleState {
    bool Installed = false;
    // The first file found that holds one, in the folders' order.
    std::string Where;
    // The 70-kx5170.rules that udev reads (the first in the folders' order) is a mask:
    // the administrator turned the rule off.
    bool Masked = false;
};

// `folders` in udev's order; the program passes UdevRuleFolders, tests a scratch tree.
BoardRuleState FindBoardRule(std::span<const std::string_view> folders);

// Shell commands, one a line, that install the board's rule as root, reload udev and
// apply it to a board already plugged in. They carry the rule itself, so they work
// wherever the program runs from.
std::string AccessFixCommands();

// The fix in words, then AccessFixCommands(), for a terminal.
std::string AccessFixHelp();

}  // namespace kx
