#include "cli/interrupt_window.h"

#include <atomic>
#include <cerrno>
#include <initializer_list>
#include <poll.h>
#include <pthread.h>

namespace vantrel::cli {
namespace {

// Read by the decoding threads too: a lock-free atomic, which a signal
// handler may set.
std::atomic<bool> interruptRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void NoteInterrupt(int)
{
    interruptRequested.store(true);
}

constexpr int InterruptingSignals[] = {SIGINT, SIGTERM, SIGHUP};

} // namespace

void CatchInterrupts()
{
    struct sigaction action {};
    action.sa_handler = NoteInterrupt;
    sigemptyset(&action.sa_mask);
    for (int signal : InterruptingSignals) ::sigaction(signal, &action, nullptr);
}

bool InterruptRequested()
{
    return interruptRequested.load();
}

InterruptWindow::InterruptWindow()
{
    sigemptyset(&interrupting_);
    for (int signal : InterruptingSignals) sigaddset(&interrupting_, signal);
    ::pthread_sigmask(SIG_BLOCK, &interrupting_, &previous_);
}

InterruptWindow::~InterruptWindow()
{
    ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}

int InterruptWindow::Wait(int fd) const
{
    pollfd wanted{fd, POLLIN, 0};
    const int ready = ::ppoll(&wanted, 1, nullptr, &previous_);
    if (ready > 0 && (wanted.revents & POLLNVAL)) {
        errno = EBADF;
        return -1;
    }
    if (ready <= 0) return ready;
    // Input that is always ready (a device such as /dev/zero, a long file)
    // never lets ppoll() sleep, and a signal would stay pending for ever:
    // one that is waiting is let in here.
    sigset_t pending;
    if (::sigpending(&pending) != 0) return ready;
    for (int signal : InterruptingSignals) {
        if (sigismember(&pending, signal) == 1 && sigismember(&previous_, signal) == 0) {
            ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr); // its handler runs now
            ::pthread_sigmask(SIG_BLOCK, &interrupting_, nullptr);
            errno = EINTR;
            return -1;
        }
    }
    return ready;
}

} // namespace vantrel::cli
