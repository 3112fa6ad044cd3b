#pragma once
// What the exception box says about an exception that escaped a command or
// start-up.
#include <QString>
#include <exception>

namespace vantrel::platform {

// A message that ends in a letter or digit gets a full stop; one that ends in
// "!" or "." (or anything else at or below '.') is left alone, and an empty
// message stays empty.
QString ExceptionBoxText(const QString& message);

// The message carried by a thrown object: what() of a standard exception,
// empty for anything else.
QString ExceptionMessage(const std::exception_ptr& thrown);

} // namespace vantrel::platform
