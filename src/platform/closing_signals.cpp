#include "platform/closing_signals.h"

#include <QApplication>
#include <QDialog>
#include <QSocketNotifier>
#include <QWidget>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace vantrel::platform {
namespace {

int notes[2] = {-1, -1}; // the pipe: read end, write end

extern "C" void NoteSignal(int signal)
{
    const int saved = errno;
    const char byte = static_cast<char>(signal);
    // A full pipe has noted enough already.
    [[maybe_unused]] const ssize_t written = ::write(notes[1], &byte, 1);
    errno = saved;
}

} // namespace

void ClosingSignals::Catch()
{
    if (notes[0] >= 0 || ::pipe2(notes, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    struct sigaction noting {};
    noting.sa_handler = NoteSignal;
    sigemptyset(&noting.sa_mask);
    noting.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
        struct sigaction before {};
        if (::sigaction(signal, &noting, &before) == 0 && before.sa_handler == SIG_IGN)
            ::sigaction(signal, &before, nullptr);
    }
}

ClosingSignals::ClosingSignals(QWidget& window)
    : QObject(&window)
    , window_(window)
{
    Catch();
    if (notes[0] < 0)
        return;
    notifier_ = new QSocketNotifier(notes[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char noted[64];
        while (::read(notes[0], noted, sizeof noted) > 0) {
        }
        CloseWindow();
    });
}

void ClosingSignals::CloseWindow()
{
    window_.close();
    for (QWidget* other : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<QDialog*>(other); dialog && dialog->isVisible())
            dialog->reject();
    }
}

} // namespace vantrel::platform
