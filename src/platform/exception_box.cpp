#include "platform/exception_box.h"

namespace vantrel::platform {

QString ExceptionBoxText(const QString& message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

QString ExceptionMessage(const std::exception_ptr& thrown)
{
    if (!thrown)
        return {};
    try {
        std::rethrow_exception(thrown);
    } catch (const std::exception& error) {
        return QString::fromLocal8Bit(error.what());
    } catch (...) {
        return {};
    }
}

} // namespace vantrel::platform
