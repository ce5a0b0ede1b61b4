#include "access_help.h"

#include "udev_rule_text.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <vector>

#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace kx {

namespace {

// A rules file larger than this is read only this far: no rule file comes near it.
constexpr std::size_t LongestRulesFile = 1024 * 1024;

// The same two patterns as kx_board_rule_installed, line by line.
bool MatchesTheBoard(const std::string& line)
{
    static const std::regex byVendor(
        R"(^[[:space:]]*([^#[:space:]].*)?(idVendor|ID_VENDOR_ID)[}][[:space:]]*==[[:space:]]*"6c1b")",
        std::regex::extended | std::regex::icase);
    static const std::regex byKernel(
        R"(^[[:space:]]*([^#[:space:]].*)?KERNELS?[[:space:]]*==[[:space:]]*"[^"]*:(0000)?6c1b:)",
        std::regex::extended | std::regex::icase);
    return std::regex_search(line, byVendor) || std::regex_search(line, byKernel);
}

bool HoldsABoardRule(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::string line;
    std::size_t read = 0;
    while (read < LongestRulesFile && std::getline(in, line)) {
        read += line.size() + 1;
        if (MatchesTheBoard(line))
            return true;
    }
    return false;
}

// As udev tells a mask: a link to the null device or an empty file.
bool IsMask(const std::filesystem::path& file)
{
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0)
        return false;
    return (S_ISCHR(st.st_mode) && st.st_rdev == ::makedev(1, 3)) || (S_ISREG(st.st_mode) && st.st_size == 0);
}

bool IsThere(const std::filesystem::path& file)
{
    struct stat st {};
    return ::lstat(file.c_str(), &st) == 0;
}

}  // namespace

BoardRuleState FindBoardRule(std::span<const std::string_view> folders)
{
    BoardRuleState state;
    bool nameSeen = false;
    auto found = [&](const std::filesystem::path& file) {
        if (!state.Installed)
            state = {true, file.string(), state.Masked};
    };
    for (const std::string_view folder : folders) {
        const std::filesystem::path dir(folder);
        const std::filesystem::path ours = dir / AccessRuleName;
        if (IsThere(ours)) {
            if (!nameSeen)
                state.Masked = IsMask(ours);
            nameSeen = true;
            found(ours);
            continue;
        }
        std::error_code ec;
        std::vector<std::filesystem::path> files;
        for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
            // udev skips hidden files, as the shell's *.rules does.
            if (it->path().extension() == ".rules" && !it->path().filename().string().starts_with('.'))
                files.push_back(it->path());
        std::sort(files.begin(), files.end());
        for (const auto& file : files) {
            if (HoldsABoardRule(file)) {
                found(file);
                break;
            }
        }
    }
    return state;
}

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
