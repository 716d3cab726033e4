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

int twoDigits(const QString& t, int at) {
    return (t.at(at).unicode() - '0') * 10 + (t.at(at + 1).unicode() - '0');
}

// Both read from a text already checked to be in the board's form.
BoardRa raAt(const QString& t, int at) {
    return BoardRa{twoDigits(t, at) * 600 + twoDigits(t, at + 3) * 10 +
                   (t.at(at + 6).unicode() - '0')};
}

BoardDec decAt(const QString& t, int at) {
    return BoardDec{t.at(at) == QLatin1Char('-'), twoDigits(t, at + 1) * 60 + twoDigits(t, at + 4)};
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

std::optional<BoardPosition> positionFromReply(const QString& reply) {
    if (!isPositionReply(reply))
        return std::nullopt;
    return BoardPosition{raAt(reply, 0), decAt(reply, 8)};
}

std::optional<BoardRa> rightAscensionFromReply(const QString& reply) {
    const QString r = reply.right(8);
    if (!isRightAscensionReply(r))
        return std::nullopt;
    return raAt(r, 0);
}

std::optional<BoardDec> declinationFromReply(const QString& reply) {
    const QString d = reply.right(7);
    if (!isDeclinationReply(d))
        return std::nullopt;
    return decAt(d, 0);
}

std::optional<TargetReply> targetFromReply(const QString& reply) {
    const QString response = reply.right(15);
    const std::optional<BoardPosition> target = positionFromReply(response);
    if (!target)
        return std::nullopt;
    return TargetReply{*target, response};
}

} // namespace corvane
