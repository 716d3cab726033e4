#include "common/NumberText.h"

#include <cmath>

namespace corvane {

double leadingNumber(const QString& text) {
    int i = 0;
    const int n = text.size();
    while (i < n && text.at(i) == QLatin1Char(' '))
        ++i;
    QString number;
    if (i < n && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-')))
        number += text.at(i++);
    bool seenPoint = false;
    bool seenDigit = false;
    for (; i < n; ++i) {
        const QChar c = text.at(i);
        if (c.isDigit() && c.unicode() < 128) {
            number += c;
            seenDigit = true;
        } else if (c == QLatin1Char('.') && !seenPoint) {
            number += c;
            seenPoint = true;
        } else {
            break;
        }
    }
    if (!seenDigit)
        return 0.0;
    bool ok = false;
    const double v = number.toDouble(&ok);
    return ok ? v : 0.0;
}

namespace {

// Decimal digits of |value| with `decimals` fraction digits, rounded half
// away from zero on the shortest decimal representation of the value, so that
// 12.35 rounds to 12.4 even though its binary form is slightly below.
QString roundedDigits(double absValue, int decimals) {
    QString exact = QString::number(absValue, 'f', 12);
    // Trim trailing noise digits beyond 12 places is already done by 'f', 12.
    const int point = exact.indexOf(QLatin1Char('.'));
    QString intPart = point < 0 ? exact : exact.left(point);
    QString fracPart = point < 0 ? QString() : exact.mid(point + 1);
    // Collapse representation noise such as 12.349999999999 to 12.35.
    const QString shortest = QString::number(absValue, 'g', 15);
    if (!shortest.contains(QLatin1Char('e'))) {
        const int p = shortest.indexOf(QLatin1Char('.'));
        intPart = p < 0 ? shortest : shortest.left(p);
        fracPart = p < 0 ? QString() : shortest.mid(p + 1);
    }
    while (fracPart.size() <= decimals)
        fracPart += QLatin1Char('0');
    const bool roundUp = fracPart.at(decimals) >= QLatin1Char('5');
    QString digits = intPart + fracPart.left(decimals);
    if (roundUp) {
        int k = digits.size() - 1;
        while (k >= 0) {
            if (digits.at(k) == QLatin1Char('9')) {
                digits[k] = QLatin1Char('0');
                --k;
            } else {
                digits[k] = QChar(digits.at(k).unicode() + 1);
                break;
            }
        }
        if (k < 0)
            digits.prepend(QLatin1Char('1'));
    }
    const int intLen = digits.size() - decimals;
    QString result = digits.left(intLen);
    if (decimals > 0)
        result += QLatin1Char('.') + digits.mid(intLen);
    return result;
}

} // namespace

QString formatPadded(double value, int minIntDigits, int decimals) {
    if (!std::isfinite(value))
        value = 0.0;
    QString body = roundedDigits(std::fabs(value), decimals);
    const int point = body.indexOf(QLatin1Char('.'));
    QString intPart = point < 0 ? body : body.left(point);
    const QString rest = point < 0 ? QString() : body.mid(point);
    // Strip leading zeros, then pad to the minimum width.
    while (intPart.size() > 1 && intPart.startsWith(QLatin1Char('0')))
        intPart.remove(0, 1);
    if (intPart == QLatin1String("0") && minIntDigits == 0)
        intPart.clear();
    while (intPart.size() < minIntDigits)
        intPart.prepend(QLatin1Char('0'));
    body = intPart + rest;
    bool allZero = true;
    for (const QChar c : body)
        if (c.isDigit() && c != QLatin1Char('0'))
            allZero = false;
    return (value < 0 && !allZero) ? QLatin1Char('-') + body : body;
}

QString shortestDecimal(double value) {
    if (!std::isfinite(value))
        return QStringLiteral("0");
    if (value == 0.0)
        return QStringLiteral("0");
    QString s = QString::number(value, 'f', 7);
    if (s.contains(QLatin1Char('.'))) {
        while (s.endsWith(QLatin1Char('0')))
            s.chop(1);
        if (s.endsWith(QLatin1Char('.')))
            s.chop(1);
    }
    if (s == QLatin1String("-0"))
        s = QStringLiteral("0");
    return s;
}

qint64 roundHalfEven(double value) {
    return static_cast<qint64>(std::nearbyint(value));
}

QString signedNumberForm(double value) {
    const QString digits = shortestDecimal(std::fabs(value));
    return (value < 0 ? QStringLiteral("-") : QStringLiteral(" ")) + digits;
}

} // namespace corvane
