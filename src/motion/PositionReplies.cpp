#include "motion/PositionReplies.h"

namespace corvane {

namespace {

bool digitsAt(const QString& t, int at, int count, int highest) {
    int value = 0;
    for (int i = at; i < at + count; ++i) {
        const QChar c = t.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
        value = value * 10 + (c.unicode() - '0');
    }
    return value <= highest;
}

} // namespace

bool isRightAscensionReply(const QString& t) {
    return t.size() == 8 && digitsAt(t, 0, 2, 23) && t.at(2) == QLatin1Char(':') &&
           digitsAt(t, 3, 2, 59) && t.at(5) == QLatin1Char('.') && digitsAt(t, 6, 1, 9) &&
           t.at(7) == QLatin1Char('#');
}

bool isDeclinationReply(const QString& t) {
    return t.size() == 7 && (t.at(0) == QLatin1Char('+') || t.at(0) == QLatin1Char('-')) &&
           digitsAt(t, 1, 2, 90) && t.at(3) == QLatin1Char('*') && digitsAt(t, 4, 2, 59) &&
           t.at(6) == QLatin1Char('#');
}

bool isPositionReply(const QString& t) {
    return t.size() == 15 && isRightAscensionReply(t.left(8)) && isDeclinationReply(t.mid(8));
}

std::optional<PositionText> positionFromReply(const QString& reply) {
    if (!isPositionReply(reply))
        return std::nullopt;
    // The first 7 characters (HH:MM.T) and the first 6 of the last 7 (sDD*MM).
    return PositionText{reply.left(7), reply.right(7).left(6)};
}

std::optional<QString> rawRightAscension(const QString& reply) {
    const QString r = reply.right(8);
    if (!isRightAscensionReply(r))
        return std::nullopt;
    return r.left(7);
}

std::optional<QString> rawDeclination(const QString& reply) {
    const QString d = reply.right(7);
    if (!isDeclinationReply(d))
        return std::nullopt;
    return d.left(6);
}

std::optional<TargetText> targetFromReply(const QString& reply) {
    TargetText t;
    t.response = reply.right(15);
    if (!isPositionReply(t.response))
        return std::nullopt;
    const QString a = t.response.left(7);
    const QString d = t.response.right(7).left(6);
    t.hours = a.left(2);
    t.minutes = a.right(4);
    t.degrees = d.left(3);
    t.decMinutes = d.right(2);
    return t;
}

} // namespace corvane
