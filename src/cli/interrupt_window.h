#pragma once
// Holding Ctrl-C back for a while: to wait for input that may never come (a
// terminal, a pipe whose writer is slow) without missing it, and to start
// threads that leave it to the thread that started them (they inherit the
// blocked signals).
#include <csignal>

namespace vantrel::cli {

// Blocks the interrupting signals (SIGINT, SIGTERM, SIGHUP) for its
// lifetime; Wait() lets them in only while it sleeps, so none can slip in
// between a test of the interrupt flag and the wait.
class InterruptWindow {
public:
    InterruptWindow();
    ~InterruptWindow();
    InterruptWindow(const InterruptWindow&) = delete;
    InterruptWindow& operator=(const InterruptWindow&) = delete;

    // Until fd has input (or is at its end, or broken); errno is EINTR when
    // a signal came first.
    int Wait(int fd) const;

private:
    sigset_t previous_{};
};

} // namespace vantrel::cli
