// run-stats: runs a command and prints, on one line, its wall-clock seconds, its
// processor seconds (user and system, all threads), its peak resident memory in
// KiB and the lines it wrote to standard output, e.g.
//   run-stats khal list today 7d   →   0.658123 0.641000 61234 212
// Its standard error is discarded. The exit status is the command's.
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

double seconds()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

[[noreturn]] void runChild(int output, char** command)
{
    dup2(output, STDOUT_FILENO);
    close(output);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDERR_FILENO);
    close(null);
    execvp(command[0], command);
    std::perror(command[0]);
    _exit(127);
}

long countLines(int input)
{
    long lines = 0;
    char buffer[65536];
    for (ssize_t got; (got = read(input, buffer, sizeof buffer)) > 0;)
        for (ssize_t i = 0; i < got; ++i)
            lines += buffer[i] == '\n';
    return lines;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: run-stats COMMAND [ARGUMENT...]\n");
        return 2;
    }
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return 1;
    const double start = seconds();
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        runChild(pipeEnds[1], argv + 1);
    }
    close(pipeEnds[1]);
    const long lines = countLines(pipeEnds[0]);
    int status = 0;
    rusage usage {};
    wait4(child, &status, 0, &usage);
    const double elapsed = seconds() - start;
    const double processor = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    std::printf("%.6f %.6f %ld %ld\n", elapsed, processor, usage.ru_maxrss, lines);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}
