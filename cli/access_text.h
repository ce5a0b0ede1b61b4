// What kx5170ctl tells a user whose account may not open the board's device node.
#pragma once

namespace kx {

// One line, after "this user may not open NODE: ".
inline constexpr const char* AccessFixText =
    "install the udev rule 70-kx5170.rules that gives the person at this computer access "
    "(sudo cp packaging/linux/70-kx5170.rules /etc/udev/rules.d/ && sudo udevadm control --reload "
    "&& sudo udevadm trigger --subsystem-match=hidraw --action=change), or log in at the computer itself rather than "
    "over SSH; see \"Board not found?\" in the README";

}  // namespace kx
