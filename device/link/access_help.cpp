#include "access_help.h"

#include "udev_rule_text.h"

namespace kx {

std::string AccessFixCommands()
{
    // The rule's own lines only: its comments explain the file, not the fix.
    std::string commands = "sudo tee " + std::string(AccessRuleDestination) + " >/dev/null <<'EOF'\n";
    std::string_view rest = UdevRuleText;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        const std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (!line.empty() && line.front() != '#')
            commands.append(line).append("\n");
    }
    commands += "EOF\n"
                "sudo udevadm control --reload\n"
                "sudo udevadm trigger --subsystem-match=hidraw --action=change\n";
    return commands;
}

std::string AccessFixHelp()
{
    return "Install the board's udev rule, which lets the person at this computer use it: click \"Fix...\" in "
           "kx5170-config, or run these commands:\n" +
           AccessFixCommands();
}

}  // namespace kx
