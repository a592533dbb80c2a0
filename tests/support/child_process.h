// Work a test must not do in its own process (become another user, mount a
// file system in a namespace of its own, live under an address-space limit)
// runs in a forked copy, which hands back a text through a pipe and never
// returns into the test runner.
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <string>

namespace velmora::test {

struct ChildAnswer {
    std::string text;
    // How the copy ended: an exit (always 0 when `work` returned or threw)
    // or the signal that ended it (an abort, a crash).
    bool exited = false;
    int signal = 0;
};

// Runs `work` in a forked copy of this process. What it returns is the
// answer's text; "threw" when it threw (a program would have aborted).
inline ChildAnswer answerFromChild(const std::function<std::string()>& work)
{
    ChildAnswer answer;
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) {
        answer.text = "no pipe";
        return answer;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        std::string text;
        try {
            text = work();
        } catch (...) {
            text = "threw";
        }
        (void)!::write(pipeEnds[1], text.data(), text.size());
        ::_exit(0);
    }
    ::close(pipeEnds[1]);
    if (child < 0) {
        ::close(pipeEnds[0]);
        answer.text = "no child";
        return answer;
    }
    char buffer[512];
    for (ssize_t n; (n = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;) {
        answer.text.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    answer.exited = WIFEXITED(status);
    answer.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    return answer;
}

// Limits this process's address space to what it uses now plus `headroom`
// bytes (for a forked copy only). False when the use cannot be read or the
// limit cannot be set.
inline bool limitAddressSpace(std::size_t headroom)
{
    long pages = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld", &pages) != 1) {
            pages = 0;
        }
        std::fclose(statm);
    }
    if (pages <= 0) {
        return false;
    }
    const rlim_t used = static_cast<rlim_t>(pages) * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE));
    const rlimit limit{used + headroom, used + headroom};
    return ::setrlimit(RLIMIT_AS, &limit) == 0;
}

}  // namespace velmora::test
