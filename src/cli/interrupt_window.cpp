#include "cli/interrupt_window.h"

#include <cerrno>
#include <initializer_list>
#include <poll.h>
#include <pthread.h>

namespace vantrel::cli {

InterruptWindow::InterruptWindow()
{
    sigset_t interrupting;
    sigemptyset(&interrupting);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&interrupting, signal);
    ::pthread_sigmask(SIG_BLOCK, &interrupting, &previous_);
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
    return ready;
}

} // namespace vantrel::cli
