#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <optional>

namespace corvane {

// Sexagesimal numbers as LX200 clients write them: an optional sign, the
// hours or degrees, a separator, two minute digits, then either a decimal
// fraction of the minute ("34.5", "59.96") or a separator and two second
// digits, themselves with an optional decimal fraction ("34:27", "34:27.5").
// The value is kept exactly, in thousandths of a second (of time or of arc),
// so that rounding it to the board's resolution never suffers from binary
// fractions: 05:34:27 is exactly 34.45 minutes and rounds up.

constexpr qint64 kThousandthsPerSecond = 1000;
constexpr qint64 kThousandthsPerMinute = 60 * kThousandthsPerSecond;
constexpr qint64 kThousandthsPerUnit = 60 * kThousandthsPerMinute; // an hour or a degree

struct AngleText {
    bool negative = false;  // written with a leading "-"
    int lead = 0;           // the hours or degrees as written
    qint64 thousandths = 0; // the whole magnitude, lead included
};

struct AngleForm {
    int leadDigits = 2;          // at most this many digits before the first separator
    bool sign = false;           // a "+" or "-" may come first
    const char* leadMarks = ":"; // bytes that may follow the lead ("*", ":", ...)
};

// The degree marks clients use: "*", ":", "'", the degree sign of Latin-1
// (0xB0) and Meade's handset byte (0xDF). The degree sign in UTF-8 (0xC2 0xB0)
// is taken as well.
inline const char* const kDegreeMarks = "*:'\xB0\xDF";

// Reads a whole text in the form; anything else in it (a blank after the
// number, a third minute digit, a second separator) gives no value. Minutes
// and seconds must lie below 60; the lead is the caller's to check.
std::optional<AngleText> readAngleText(const QByteArray& text, const AngleForm& form);

// The text without the blanks at its front.
QByteArray withoutLeadingBlanks(const QByteArray& text);

} // namespace corvane
