// What kx5170-udev-helper's exit status means: its contract with the dialog that runs it.
#pragma once

namespace kx {

enum class RuleHelperStatus : int {
    Installed = 0,   // the rule is in place and udev has applied it
    Refused = 1,     // started with arguments, or not as root: nothing done
    NotWritten = 2,  // the rule could not be written
    NotApplied = 3,  // the rule is in place, but udev could not be told
    Masked = 4,      // the administrator's mask is there: left alone
    Foreign = 5,     // another file of the rule's name is there: left alone
    Packaged = 6,    // the packaged rule is installed: nothing written
};

}  // namespace kx
