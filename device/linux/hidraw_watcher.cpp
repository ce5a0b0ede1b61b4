#include "hidraw_watcher.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace kx {

namespace {

constexpr std::uint32_t WatchedEvents =
    IN_CREATE | IN_DELETE | IN_ATTRIB | IN_MOVED_FROM | IN_MOVED_TO | IN_ONLYDIR;

// Events that mean the watch can no longer be trusted: the directory was deleted,
// moved or unmounted (each followed by IN_IGNORED, when the kernel drops the watch).
constexpr std::uint32_t WatchLost = IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT;

bool IsHidrawName(const inotify_event& event)
{
    if (event.len == 0)
        return false;
    // The name is NUL-padded to event.len bytes.
    const std::string_view name(event.name, ::strnlen(event.name, event.len));
    return name.starts_with("hidraw");
}

}  // namespace

HidrawWatcher::HidrawWatcher(const std::filesystem::path& directory)
{
    Fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (Fd < 0)
        return;
    if (::inotify_add_watch(Fd, directory.c_str(), WatchedEvents) < 0)
        GiveUp();
}

HidrawWatcher::~HidrawWatcher()
{
    if (Fd >= 0)
        ::close(Fd);
}

void HidrawWatcher::GiveUp()
{
    GaveUp = true;
}

bool HidrawWatcher::ChangedSinceLastCall()
{
    if (!Watching())
        return true;

    // Large enough for many events at once, aligned as the kernel writes them.
    alignas(inotify_event) char buffer[16 * (sizeof(inotify_event) + NAME_MAX + 1)];
    bool changed = false;
    for (;;) {
        const ssize_t n = ::read(Fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK)
                return changed;
            GiveUp();
            return true;
        }
        if (n == 0) {
            GiveUp();
            return true;
        }
        for (std::size_t offset = 0; offset + sizeof(inotify_event) <= static_cast<std::size_t>(n);) {
            // The kernel pads each name so that the next event stays aligned.
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
            offset += sizeof(inotify_event) + event->len;
            if (event->mask & WatchLost) {
                GiveUp();
                return true;
            }
            if ((event->mask & IN_Q_OVERFLOW) || IsHidrawName(*event))
                changed = true;
        }
    }
}

}  // namespace kx
