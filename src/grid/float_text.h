#pragma once
// Number <-> text conversions of the grid's cells. Both directions use the
// locale's decimal separator (QLocale's default locale) and never group
// digits, so what a float cell shows is what it reads back.
#include <QString>

namespace vantrel::grid {

// General form with at most 15 significant digits: 7 -> "7", 0.1 -> "0.1",
// 1e20 -> "1e+20".
QString FloatToText(double value);

// Reads a finite number; surrounding blanks are allowed, digit grouping is
// not. Throws EConvertError "'<text>' is not a valid floating point value".
double TextToFloat(const QString& text);

// Reads a decimal integer within int's range. Throws EConvertError
// "'<text>' is not a valid integer value".
int TextToInteger(const QString& text);

// Fixed-point text with `precision` digits, halves rounded away from zero:
// 45.5 -> "46", 44.5 -> "45", -0.5 -> "-1".
QString FixedText(double value, int precision);

// Nearest integer, halves to even: 36.5 -> 36, 37.5 -> 38.
long long RoundHalfEven(double value);

} // namespace vantrel::grid
