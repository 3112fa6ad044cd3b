#pragma once
// Ctrl-C, SIGTERM and SIGHUP ask vantrel-decode to end: ending at once would
// leave the terminal without echo and the outputs being written behind, so
// a handler only notes the request, and every stage that can take long asks
// for it: reading the key or a list, walking folders, checking drives,
// decoding.
//
// Holding the signals back for a while lets a wait for input that may never
// come (a terminal, a pipe whose writer is slow) end without missing one, and
// lets threads leave them to the thread that started them (they inherit the
// blocked signals).
#include <csignal>

namespace vantrel::cli {

// From now on SIGINT, SIGTERM and SIGHUP only note the request (without
// SA_RESTART, so that a wait ends too).
void CatchInterrupts();

// True once one of them came; safe from any thread.
bool InterruptRequested();

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
    // a signal came first, also when input was ready at once.
    int Wait(int fd) const;

private:
    sigset_t interrupting_{};
    sigset_t previous_{};
};

} // namespace vantrel::cli
