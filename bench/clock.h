// What the benchmark programs share: one clock, and the report times the bench board
// publishes for the bench window to read.
#pragma once

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

namespace kxbench {

// CLOCK_MONOTONIC in nanoseconds: the same clock in every process on the machine.
inline std::uint64_t NowNs()
{
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::uint64_t>(ts.tv_sec) * 1'000'000'000u + static_cast<std::uint64_t>(ts.tv_nsec);
}

// The moment the launcher was about to start this process, when it set one.
inline std::uint64_t LaunchNs()
{
    const char* text = std::getenv("KX_BENCH_T0_NS");
    return text ? std::strtoull(text, nullptr, 10) : 0;
}

// CPU time used so far by every thread of a process, in nanoseconds, from the
// scheduler's own accounting (nanosecond-exact, unlike the 10 ms ticks of stat).
inline std::uint64_t ProcessCpuNs(const std::string& pid)
{
    std::uint64_t total = 0;
    std::error_code ec;
    for (const auto& task : std::filesystem::directory_iterator("/proc/" + pid + "/task", ec)) {
        std::ifstream in(task.path() / "schedstat");
        std::uint64_t ns = 0;
        if (in >> ns)
            total += ns;
    }
    return total;
}

// Resident memory in KiB, or 0 when the process is gone.
inline long ResidentKiB(const std::string& pid)
{
    std::ifstream in("/proc/" + pid + "/status");
    std::string word;
    while (in >> word)
        if (word == "VmRSS:") {
            long kib = 0;
            in >> kib;
            return kib;
        }
    return 0;
}

// Laid out in a file both processes map. The sequence number a report carries picks
// its slot; a slot holds the moment that report was handed to the kernel.
struct SharedTimes {
    static constexpr std::uint64_t Tag = 0x6b78353137306231u;
    std::atomic<std::uint64_t> Magic;
    std::atomic<std::uint64_t> PlugNs;  // when the board was plugged in
    std::atomic<std::uint64_t> NodeNs;  // when its hidraw node appeared
    std::atomic<std::uint64_t> SentNs[65536];
};

// Maps the file, creating it when asked; nullptr on failure.
inline SharedTimes* MapSharedTimes(const std::string& path, bool create)
{
    const int fd = ::open(path.c_str(), (create ? O_RDWR | O_CREAT | O_TRUNC : O_RDONLY) | O_CLOEXEC, 0600);
    if (fd < 0)
        return nullptr;
    if (create && ::ftruncate(fd, sizeof(SharedTimes)) != 0) {
        ::close(fd);
        return nullptr;
    }
    void* p = ::mmap(nullptr, sizeof(SharedTimes), create ? PROT_READ | PROT_WRITE : PROT_READ, MAP_SHARED, fd, 0);
    ::close(fd);
    if (p == MAP_FAILED)
        return nullptr;
    auto* times = static_cast<SharedTimes*>(p);
    if (create)
        times->Magic.store(SharedTimes::Tag);
    return times;
}

}  // namespace kxbench
