#pragma once
// SIGTERM (the desktop session ends), SIGHUP (the terminal the program was
// started from closes) and SIGINT (Ctrl-C there) would end the program on the
// spot, leaving its temporary settings folder behind, and a decoded file
// half written. Caught, each closes the window as a click on its close box
// does: a run under way stops first, the window closes, and the program
// ends normally, cleaning up after itself.
#include <QObject>

class QSocketNotifier;
class QWidget;

namespace vantrel::platform {

class ClosingSignals : public QObject {
    Q_OBJECT
public:
    // From now on the three signals are caught, process-wide, unless they
    // were ignored when the program started (nohup, a background job). The
    // handler only writes to a pipe that the event loop reads, so a signal
    // that comes before any ClosingSignals exists waits for it. Call it
    // before anything is made that a killed program would leave behind.
    static void Catch();

    // Owned by window, which each caught signal closes, after answering the
    // dialogs and boxes open in front of it as cancelled: a window behind a
    // modal box would not close.
    explicit ClosingSignals(QWidget& window);

private:
    void CloseWindow();

    QWidget& window_;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace vantrel::platform
