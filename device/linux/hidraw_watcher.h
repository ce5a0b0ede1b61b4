// Tells whether a hidraw node has appeared, gone or changed its permissions, without
// listing the HID interfaces: the kernel reports each change to /dev through inotify.
//
// A node appears when the kernel registers the interface and changes its attributes
// when udev grants the logged-in user access (an ACL, a mode or a group), so a
// search made after either sees what the user can open. Plain Linux, one thread.
#pragma once

#include <filesystem>

namespace kx {

class HidrawWatcher {
public:
    // Watches `directory` (the machine's /dev; a test passes a directory of its own).
    explicit HidrawWatcher(const std::filesystem::path& directory = "/dev");
    ~HidrawWatcher();
    HidrawWatcher(const HidrawWatcher&) = delete;
    HidrawWatcher& operator=(const HidrawWatcher&) = delete;

    // True when a hidraw node was created, deleted, renamed or had its attributes
    // changed since the previous call (or since construction, on the first call).
    // Never waits. Whenever the watcher cannot be sure - no inotify, the kernel's
    // queue overflowed, the directory went away - it answers true, every time.
    bool ChangedSinceLastCall();

    // False when the watch could not be set up or has been lost: every call then
    // answers true.
    bool Watching() const { return Fd >= 0 && !GaveUp; }

    // Readable whenever an event is waiting; -1 when not watching. A watcher that
    // gives up keeps the descriptor open until it is destroyed, so that a caller that
    // watched it can stop watching before its number is reused.
    int Descriptor() const { return Watching() ? Fd : -1; }

private:
    void GiveUp();

    int Fd = -1;
    bool GaveUp = false;
};

}  // namespace kx
