#pragma once
// A run keeps the user-interface thread for its whole length. To let the
// progress bars move and the Stop button work, it hands the thread to the
// window's pending events now and then: at bounded intervals, never per
// chunk, so that a fast disk is not slowed down by repainting.
#include <QElapsedTimer>
#include <chrono>

namespace vantrel::batch {

class EventPump {
public:
    explicit EventPump(std::chrono::milliseconds interval);

    // Processes the events that are waiting, and starts a new interval.
    void ProcessNow();
    // The same once the interval has passed since the last time.
    void ProcessWhenDue();

private:
    std::chrono::milliseconds interval_;
    QElapsedTimer sinceLast_;
};

} // namespace vantrel::batch
