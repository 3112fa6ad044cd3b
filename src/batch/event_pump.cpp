#include "batch/event_pump.h"

#include <QCoreApplication>

namespace vantrel::batch {

EventPump::EventPump(std::chrono::milliseconds interval) : interval_(interval)
{
    sinceLast_.start();
}

void EventPump::ProcessNow()
{
    QCoreApplication::processEvents();
    sinceLast_.restart();
}

void EventPump::ProcessWhenDue()
{
    if (sinceLast_.elapsed() >= interval_.count()) ProcessNow();
}

} // namespace vantrel::batch
