#include "sim/WireText.h"

#include "common/NumberText.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>

namespace corvane::sim {

namespace {

QByteArray two(qint64 v) {
    return format00(static_cast<double>(v)).toLatin1();
}

bool allDigits(const QByteArray& t) {
    if (t.isEmpty())
        return false;
    for (const char c : t) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

// Two digits and a value no larger than `max`.
std::optional<int> field(const QByteArray& t, int max) {
    if (t.size() != 2 || !allDigits(t))
        return std::nullopt;
    const int v = t.toInt();
    if (v > max)
        return std::nullopt;
    return v;
}

QByteArray withoutLeadingBlanks(const QByteArray& text) {
    int i = 0;
    while (i < text.size() && text.at(i) == ' ')
        ++i;
    return text.mid(i);
}

} // namespace

double wrapHours(double hours) {
    double h = std::fmod(hours, 24.0);
    if (h < 0)
        h += 24.0;
    return h;
}

QByteArray raReply(double hours) {
    const qint64 tenths = std::llround(wrapHours(hours) * 600.0) % 14400;
    return two(tenths / 600) + ':' + two((tenths / 10) % 60) + '.' +
           QByteArray::number(tenths % 10) + '#';
}

QByteArray decReply(double degrees) {
    const qint64 minutes = std::min<qint64>(std::llround(std::fabs(degrees) * 60.0), 90 * 60);
    const char sign = (degrees < 0 && minutes > 0) ? '-' : '+';
    return sign + two(minutes / 60) + '*' + two(minutes % 60) + '#';
}

QByteArray siderealReply(double hours) {
    const qint64 seconds = std::llround(wrapHours(hours) * 3600.0) % 86400;
    return two(seconds / 3600) + ':' + two((seconds / 60) % 60) + ':' + two(seconds % 60) + '#';
}

QByteArray utcTimeReply(qint64 utcMs) {
    return QDateTime::fromMSecsSinceEpoch(utcMs, Qt::UTC)
        .toString(QStringLiteral("HH:mm:ss#"))
        .toLatin1();
}

QByteArray utcDateReply(qint64 utcMs) {
    return QDateTime::fromMSecsSinceEpoch(utcMs, Qt::UTC)
        .toString(QStringLiteral("MM/dd/yy#"))
        .toLatin1();
}

std::optional<double> parseRa(const QByteArray& text) {
    const QByteArray t = withoutLeadingBlanks(text);
    if (t.size() < 5 || t.at(2) != ':')
        return std::nullopt;
    const auto h = field(t.left(2), 23);
    const auto m = field(t.mid(3, 2), 59);
    if (!h || !m)
        return std::nullopt;
    const QByteArray rest = t.mid(5);
    double minutes = *m;
    if (rest.size() == 2 && rest.at(0) == '.' && allDigits(rest.mid(1))) {
        minutes += (rest.at(1) - '0') / 10.0;
    } else if (rest.size() == 3 && rest.at(0) == ':') {
        const auto s = field(rest.mid(1), 59);
        if (!s)
            return std::nullopt;
        minutes += *s / 60.0;
    } else if (!rest.isEmpty()) {
        return std::nullopt;
    }
    return *h + minutes / 60.0;
}

std::optional<double> parseDec(const QByteArray& text) {
    QByteArray t = withoutLeadingBlanks(text);
    double sign = 1.0;
    if (!t.isEmpty() && (t.at(0) == '+' || t.at(0) == '-')) {
        sign = t.at(0) == '-' ? -1.0 : 1.0;
        t = t.mid(1);
    }
    if (t.size() < 5)
        return std::nullopt;
    const char mark = t.at(2);
    if (mark != '*' && mark != ':' && mark != '\xDF')
        return std::nullopt;
    const auto d = field(t.left(2), 90);
    const auto m = field(t.mid(3, 2), 59);
    if (!d || !m)
        return std::nullopt;
    const QByteArray rest = t.mid(5);
    int seconds = 0;
    if (!rest.isEmpty()) {
        const auto s = rest.size() == 3 && (rest.at(0) == ':' || rest.at(0) == '\'')
                           ? field(rest.mid(1), 59)
                           : std::nullopt;
        if (!s)
            return std::nullopt;
        seconds = *s;
    }
    const double value = *d + *m / 60.0 + seconds / 3600.0;
    if (value > 90.0)
        return std::nullopt;
    return sign * value;
}

std::optional<int> wholeNumber(const QByteArray& text) {
    QByteArray digits = text;
    if (!digits.isEmpty() && (digits.at(0) == '-' || digits.at(0) == '+'))
        digits = digits.mid(1);
    if (digits.size() > 9 || !allDigits(digits))
        return std::nullopt;
    return text.toInt();
}

double siderealHours(qint64 utcMs) {
    const double daysSinceJ2000 = static_cast<double>(utcMs) / 86400000.0 + 2440587.5 - 2451545.0;
    return wrapHours(18.697374558 + 24.06570982441908 * daysSinceJ2000);
}

} // namespace corvane::sim
