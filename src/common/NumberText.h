#pragma once

#include <QString>

namespace corvane {

// The leading decimal number of a text: leading blanks skipped, an optional
// sign, digits and at most one "."; reading stops at the first character that
// cannot continue the number. Empty or non-numeric text reads as 0.
double leadingNumber(const QString& text);

// Formats like the patterns "00", "00.0" and "000": at least minIntDigits
// integer digits (zero-padded), exactly `decimals` fraction digits, rounded
// half away from zero on the decimal value as written. A negative number
// keeps its "-" in front of the digits; a value that rounds to zero has no sign.
QString formatPadded(double value, int minIntDigits, int decimals = 0);

inline QString format00(double v) {
    return formatPadded(v, 2, 0);
}
inline QString format00_0(double v) {
    return formatPadded(v, 2, 1);
}
inline QString format000(double v) {
    return formatPadded(v, 3, 0);
}

// The shortest decimal form of a number: 1000 -> "1000", 1.5 -> "1.5",
// 0.5 -> "0.5", -2 -> "-2".
QString shortestDecimal(double value);

// Rounds to a whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
qint64 roundHalfEven(double value);

// The signed-number form of the settings file: a blank for zero or positive
// values, "-" for negative ones, then the digits (" 3", "-120", " 2.5").
QString signedNumberForm(double value);

} // namespace corvane
