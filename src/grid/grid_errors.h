#pragma once
// Exceptions the grid raises for misuse by its caller: a row or column that
// does not exist, or text that does not read as the number a cell holds.
#include <QString>
#include <exception>
#include <string>

namespace vantrel::grid {

class EGridError : public std::exception {
public:
    explicit EGridError(QString message) : message_(std::move(message)), utf8_(message_.toStdString()) {}
    const char* what() const noexcept override { return utf8_.c_str(); }
    const QString& Message() const noexcept { return message_; }

private:
    QString message_;
    std::string utf8_;
};

// "List index out of bounds (%d)"
class EListError : public EGridError {
public:
    explicit EListError(int index) : EGridError(QStringLiteral("List index out of bounds (%1)").arg(index)) {}
};

// "'%s' is not a valid floating point value" and its integer/boolean kin.
class EConvertError : public EGridError {
public:
    using EGridError::EGridError;
};

} // namespace vantrel::grid
