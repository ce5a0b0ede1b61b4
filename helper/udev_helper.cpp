// kx5170-udev-helper: installs the board's udev rule and applies it to a board already
// plugged in. The configuration window runs it as root through pkexec.
//
// It trusts nothing from whoever started it: it takes no argument, clears its
// environment before doing anything, writes one text fixed at build time to one fixed
// path, and runs udevadm from fixed places. The rule is replaced in one step (a file
// beside it, then a rename), so udev never reads half a rule. A second run leaves the
// files as the first did.
#include "udev_rule_text.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#ifndef KX_HELPER_ROOT
#define KX_HELPER_ROOT ""
#endif

namespace {

// The installed program works on "/"; a test build works on a scratch tree instead.
const std::string Root = KX_HELPER_ROOT;

enum ExitCode : int {
    Installed = 0,
    Refused = 1,
    NotWritten = 2,
    NotApplied = 3,
};

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

// True when `path` is a regular file (not a link) holding exactly the rule, readable
// by everyone, so that there is nothing to write.
bool HoldsTheRule(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    std::string content;
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & 07777) == 0644 &&
              st.st_size == static_cast<off_t>(kx::UdevRuleText.size());
    if (ok) {
        content.resize(kx::UdevRuleText.size());
        std::size_t got = 0;
        while (got < content.size()) {
            const ssize_t n = ::read(fd, content.data() + got, content.size() - got);
            if (n <= 0)
                break;
            got += static_cast<std::size_t>(n);
        }
        ok = got == content.size() && content == kx::UdevRuleText;
    }
    ::close(fd);
    return ok;
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
    if (::mkdir(rulesDir.c_str(), 0755) != 0 && errno != EEXIST) {
        Say(SystemError("cannot create /etc/udev/rules.d"));
        return NotWritten;
    }
    if (HoldsTheRule(destination)) {
        Say("the rule is already installed in /etc/udev/rules.d");
        return Installed;
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
bool Udevadm(std::initializer_list<const char*> arguments)
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
    std::array<char*, 8> argv{};
    std::size_t n = 0;
    argv[n++] = program.data();
    for (const char* argument : arguments)
        argv[n++] = const_cast<char*>(argument);
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
        Say(std::string("udevadm ") + *arguments.begin() + " failed");
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char**)
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
    if (!Udevadm({"control", "--reload"}) || !Udevadm({"trigger", "--subsystem-match=hidraw", "--action=change"}))
        return NotApplied;
    return Installed;
}
