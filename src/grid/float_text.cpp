#include "grid/float_text.h"
#include "grid/grid_errors.h"
#include <QLocale>
#include <algorithm>
#include <cmath>
#include <limits>

namespace vantrel::grid {

namespace {

QLocale NumberLocale()
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    return locale;
}

} // namespace

QString FloatToText(double value)
{
    if (value == 0.0)
        value = 0.0;   // no "-0"
    return NumberLocale().toString(value, 'g', 15);
}

double TextToFloat(const QString& text)
{
    bool ok = false;
    const double value = NumberLocale().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        throw EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
    return value;
}

int TextToInteger(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok)
        throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return value;
}

QString FixedText(double value, int precision)
{
    precision = std::clamp(precision, 0, 15);
    if (!std::isfinite(value))
        return NumberLocale().toString(value, 'f', 0);
    const double scale = std::pow(10.0, precision);
    double rounded = std::round(value * scale) / scale;   // std::round: halves away from zero
    if (rounded == 0.0)
        rounded = 0.0;
    return NumberLocale().toString(rounded, 'f', precision);
}

long long RoundHalfEven(double value)
{
    // nearbyint follows the default rounding mode, round-to-nearest-even.
    return static_cast<long long>(std::nearbyint(value));
}

} // namespace vantrel::grid
