// kx5170-udev-helper: installs the board's udev rule and applies it to a board already
// plugged in. The configuration window runs it as root through pkexec.
//
// It trusts nothing from whoever started it: it takes no argument, clears its
// environment before doing anything, writes one text fixed at build time to one fixed
// path, and runs udevadm from fixed places. The rule is replaced in one step (a file
// beside it, then a rename), so udev never reads half a rule. A second run leaves the
// files as the first did.
//
// It only ever writes a rule where there is none, or where its own rule is (the same
// bytes, with a wrong mode): whatever else the administrator put under its name is
// theirs, and a copy in /etc would shadow the packaged rule for good, so that a later
// package's rule (a new product ID) would never take effect.
//
// Exit status, one line on standard error saying why:
//   0  the rule is installed (now or before) and applied to the board's nodes
//   1  refused: an argument, or not started by root
//   2  not written: no /etc/udev on this machine, or writing failed
//   3  the rule is installed, but udev could not be told: re-plugging the board
//      applies it
//   4  masked: /etc/udev/rules.d/70-kx5170.rules is a link to /dev/null or an empty
//      file, the administrator's way of turning the rule off; left as it is
//   5  a file of that name that is not this rule is there; left as it is
//   6  the packaged rule is installed (/usr/lib/udev/rules.d or /lib/udev/rules.d):
//      nothing is written
#include "board_identity.h"
#include "udev_helper_status.h"
#include "udev_rule_text.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#ifndef KX_HELPER_ROOT
#define KX_HELPER_ROOT ""
#endif

namespace {

// The installed program works on "/"; a test build works on a scratch tree instead.
const std::string Root = KX_HELPER_ROOT;

using ExitCode = kx::RuleHelperStatus;
using enum kx::RuleHelperStatus;

constexpr const char* RuleName = "70-kx5170.rules";

void Say(const std::string& text)
{
    std::fprintf(stderr, "kx5170-udev-helper: %s\n", text.c_str());
}

std::string SystemError(const std::string& what)
{
    return what + ": " + std::strerror(errno);
}

bool IsDirectory(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// What is at the rule's place in /etc.
enum class Existing {
    Nothing,
    TheRule,      // a regular file holding exactly the rule, readable by everyone
    OursBadMode,  // the rule's bytes, with another mode: ours to put right
    Mask,         // a link to /dev/null, or an empty file
    Foreign,      // anything else: a link elsewhere, other text, a folder
    Unreadable,
};

// Reads at most `limit` bytes of the file open on `fd`; nullopt on an error.
std::optional<std::string> ReadUpTo(int fd, std::size_t limit)
{
    std::string content(limit, '\0');
    std::size_t got = 0;
    while (got < limit) {
        const ssize_t n = ::read(fd, content.data() + got, limit - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    content.resize(got);
    return content;
}

Existing WhatIsAt(const std::string& path)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return errno == ENOENT ? Existing::Nothing : Existing::Unreadable;
    if (S_ISLNK(st.st_mode)) {
        // A link to the null device, however written, as udev itself tells a mask.
        struct stat target {};
        const bool isNull = ::stat(path.c_str(), &target) == 0 && S_ISCHR(target.st_mode) &&
                            target.st_rdev == ::makedev(1, 3);
        return isNull ? Existing::Mask : Existing::Foreign;
    }
    if (!S_ISREG(st.st_mode))
        return Existing::Foreign;
    if (st.st_size == 0)
        return Existing::Mask;
    if (st.st_size != static_cast<off_t>(kx::UdevRuleText.size()))
        return Existing::Foreign;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return Existing::Unreadable;
    // One more byte than the rule, so that a file grown since the lstat shows.
    const std::optional<std::string> content = ReadUpTo(fd, kx::UdevRuleText.size() + 1);
    ::close(fd);
    if (!content)
        return Existing::Unreadable;
    if (*content != kx::UdevRuleText)
        return Existing::Foreign;
    return (st.st_mode & 07777) == 0644 ? Existing::TheRule : Existing::OursBadMode;
}

bool Exists(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

bool WriteAll(int fd, std::string_view text)
{
    while (!text.empty()) {
        const ssize_t n = ::write(fd, text.data(), text.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        text.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

ExitCode InstallRule()
{
    const std::string udevDir = Root + "/etc/udev";
    const std::string rulesDir = udevDir + "/rules.d";
    const std::string destination = rulesDir + "/70-kx5170.rules";
    if (!IsDirectory(udevDir)) {
        Say("udev is not installed on this system (no /etc/udev)");
        return NotWritten;
    }
    switch (WhatIsAt(destination)) {
    case Existing::TheRule:
        Say("the rule is already installed in /etc/udev/rules.d");
        return Installed;
    case Existing::Mask:
        Say("the administrator turned the rule off: /etc/udev/rules.d/70-kx5170.rules is a link to /dev/null "
            "or an empty file; left as it is");
        return Masked;
    case Existing::Foreign:
        Say("/etc/udev/rules.d/70-kx5170.rules is there and is not this program's rule; left as it is");
        return Foreign;
    case Existing::Unreadable:
        Say(SystemError("cannot read /etc/udev/rules.d/70-kx5170.rules"));
        return NotWritten;
    case Existing::OursBadMode:
    case Existing::Nothing:
        break;
    }
    for (const char* packaged : {"/usr/lib/udev/rules.d/", "/lib/udev/rules.d/"}) {
        if (Exists(Root + packaged + RuleName)) {
            Say(std::string("the packaged rule is installed in ") + packaged + RuleName + "; nothing was written");
            return Packaged;
        }
    }
    if (::mkdir(rulesDir.c_str(), 0755) != 0 && errno != EEXIST) {
        Say(SystemError("cannot create /etc/udev/rules.d"));
        return NotWritten;
    }

    // Not named *.rules, so udev never reads it half written.
    std::string temporary = rulesDir + "/.70-kx5170.rules.XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        Say(SystemError("cannot write to /etc/udev/rules.d"));
        return NotWritten;
    }
    const bool written = WriteAll(fd, kx::UdevRuleText) && ::fchmod(fd, 0644) == 0 && ::fsync(fd) == 0;
    const int savedErrno = errno;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temporary.c_str(), destination.c_str()) != 0) {
        if (written && closed)
            Say(SystemError("cannot install /etc/udev/rules.d/70-kx5170.rules"));
        else {
            errno = savedErrno;
            Say(SystemError("cannot write the rule"));
        }
        ::unlink(temporary.c_str());
        return NotWritten;
    }
    // The rename itself must reach the disk, or a crash could bring the old state back.
    if (const int dir = ::open(rulesDir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    Say("installed /etc/udev/rules.d/70-kx5170.rules");
    return Installed;
}

// Runs udevadm from the first of its usual places, with an empty environment, and
// waits for it. True when it ran and succeeded.
bool Udevadm(std::vector<std::string> arguments)
{
    std::string program;
    for (const char* place : {"/usr/bin/udevadm", "/bin/udevadm", "/usr/sbin/udevadm", "/sbin/udevadm"}) {
        if (::access((Root + place).c_str(), X_OK) == 0) {
            program = Root + place;
            break;
        }
    }
    if (program.empty()) {
        Say("udevadm not found");
        return false;
    }
    std::vector<char*> argv{program.data()};
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    char* environment[] = {nullptr};
    pid_t child = 0;
    if (const int error = ::posix_spawn(&child, program.c_str(), nullptr, nullptr, argv.data(), environment)) {
        errno = error;
        Say(SystemError("cannot run udevadm"));
        return false;
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            Say(SystemError("udevadm"));
            return false;
        }
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        Say("udevadm " + arguments.front() + " failed");
        return false;
    }
    return true;
}

// Reads one hex field of HID_ID ("0003:00006C1B:00005E11") up to `end`.
std::optional<unsigned long> HexField(const std::string& text, std::size_t begin, std::size_t end)
{
    if (begin >= end || end - begin > 8)
        return std::nullopt;
    unsigned long value = 0;
    for (std::size_t i = begin; i < end; ++i) {
        const char c = text[i];
        const int digit = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
        if (digit < 0)
            return std::nullopt;
        value = value * 16 + static_cast<unsigned long>(digit);
    }
    return value;
}

// True when the HID device's uevent names the board's vendor and one of its products.
bool IsBoardUevent(const std::string& uevent)
{
    constexpr std::string_view Key = "HID_ID=";
    std::size_t at = 0;
    while (at < uevent.size()) {
        std::size_t end = uevent.find('\n', at);
        if (end == std::string::npos)
            end = uevent.size();
        if (uevent.compare(at, Key.size(), Key) == 0) {
            const std::size_t bus = at + Key.size();
            const std::size_t first = uevent.find(':', bus);
            const std::size_t second = first == std::string::npos ? first : uevent.find(':', first + 1);
            if (second == std::string::npos || second >= end)
                return false;
            const auto vendor = HexField(uevent, first + 1, second);
            const auto product = HexField(uevent, second + 1, end);
            return vendor && product && *vendor <= 0xFFFF && *product <= 0xFFFF &&
                   kx::IsBoardIdentity(static_cast<std::uint16_t>(*vendor), static_cast<std::uint16_t>(*product));
        }
        at = end + 1;
    }
    return false;
}

// The board's hidraw nodes in sysfs, so that the rule is applied to them and no other
// device on the machine hears of it.
std::vector<std::string> BoardNodes()
{
    const std::string classDir = Root + "/sys/class/hidraw";
    std::vector<std::string> nodes;
    DIR* dir = ::opendir(classDir.c_str());
    if (!dir)
        return nodes;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (!name.starts_with("hidraw"))
            continue;
        const std::string node = classDir + "/" + name;
        const int fd = ::open((node + "/device/uevent").c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        const std::optional<std::string> uevent = ReadUpTo(fd, 4096);
        ::close(fd);
        if (uevent && IsBoardUevent(*uevent))
            nodes.push_back(node);
    }
    ::closedir(dir);
    std::sort(nodes.begin(), nodes.end());
    return nodes;
}

ExitCode Run(int argc)
{
    if (argc > 1) {
        Say("takes no arguments");
        return Refused;
    }
    ::clearenv();
    // pkexec runs it with both the real and the effective user root; a set-user-ID
    // start by someone else is not a request from an administrator.
    if (::getuid() != 0 || ::geteuid() != 0) {
        Say("must be run as root, through pkexec");
        return Refused;
    }
    ::umask(022);

    if (const ExitCode installed = InstallRule(); installed != Installed)
        return installed;
    if (!Udevadm({"control", "--reload"}))
        return NotApplied;
    // A board plugged in later gets the rule as it comes; one already here is told again.
    if (std::vector<std::string> nodes = BoardNodes(); !nodes.empty()) {
        std::vector<std::string> trigger{"trigger", "--action=change"};
        trigger.insert(trigger.end(), nodes.begin(), nodes.end());
        if (!Udevadm(std::move(trigger)))
            return NotApplied;
    }
    return Installed;
}

}  // namespace

int main(int argc, char**)
{
    return static_cast<int>(Run(argc));
}
