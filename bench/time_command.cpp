// kx5170-bench-time: runs a command RUNS times, one after the other, with its output
// thrown away, and prints each run's wall time and CPU time (user + system) in
// milliseconds: "wall_ms=W" and "cpu_ms=C", one a line. The command's exit status is
// not judged: kx5170ctl with no board ends with status 2 by design.
//
//   kx5170-bench-time RUNS -- PROGRAM [ARGS...]
#include "clock.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char* argv[])
{
    if (argc < 4 || std::strcmp(argv[2], "--") != 0) {
        std::fprintf(stderr, "usage: kx5170-bench-time RUNS -- PROGRAM [ARGS...]\n");
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    for (int run = 0; run < runs; ++run) {
        const std::uint64_t start = kxbench::NowNs();
        const pid_t pid = ::fork();
        if (pid < 0)
            return 1;
        if (pid == 0) {
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, 1);
            ::dup2(null, 2);
            ::execvp(argv[3], argv + 3);
            ::_exit(127);
        }
        int status = 0;
        rusage usage{};
        if (::wait4(pid, &status, 0, &usage) < 0)
            return 1;
        const std::uint64_t wall = kxbench::NowNs() - start;
        if (WIFEXITED(status) && WEXITSTATUS(status) == 127) {
            std::fprintf(stderr, "kx5170-bench-time: cannot run %s\n", argv[3]);
            return 1;
        }
        const double cpuMs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                             (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
        std::printf("wall_ms=%.2f\ncpu_ms=%.2f\n", wall / 1e6, cpuMs);
    }
    return 0;
}
