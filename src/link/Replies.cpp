#include "link/Replies.h"

#include "link/Channel.h"

#include <cmath>

namespace corvane {

namespace {

// The longest number text a version can be ("12.345"); anything longer is
// not a version but noise.
constexpr int kLongestVersionText = 8;
constexpr double kHighestVersion = 99.99;

// The version number in the reply's form: optional leading blanks, digits, a
// decimal point and digits, then the end, a blank or "#". Empty otherwise (a
// position reply such as "05:34.5#", line noise, a reply cut short).
QString versionNumberText(const QString& reply) {
    int i = 0;
    while (i < reply.size() && reply.at(i) == QLatin1Char(' '))
        ++i;
    const int start = i;
    auto digits = [&reply, &i] {
        const int from = i;
        while (i < reply.size() && reply.at(i) >= QLatin1Char('0') &&
               reply.at(i) <= QLatin1Char('9'))
            ++i;
        return i > from;
    };
    if (!digits() || i >= reply.size() || reply.at(i) != QLatin1Char('.'))
        return QString();
    ++i;
    if (!digits())
        return QString();
    if (i < reply.size() && reply.at(i) != QLatin1Char(' ') && reply.at(i) != QLatin1Char('#'))
        return QString();
    return reply.mid(start, i - start);
}

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

VersionInfo parseVersionReply(const QString& reply) {
    VersionInfo info;
    const QString number = versionNumberText(reply);
    if (number.isEmpty() || number.size() > kLongestVersionText)
        return info;
    const double read = number.toDouble();
    if (!(read > 0.0) || read > kHighestVersion)
        return info;
    const float v = static_cast<float>(read);
    info.version = v;
    info.splitSettingsDump = v > 3.56f;
    info.pecTouchUp = v > 3.58f;
    info.decWormRowShown = v > 3.3f && v <= 3.56f;
    info.tarvixEnabled = v >= 3.5f;
    return info;
}

QString printableReply(const QString& reply) {
    QString out;
    for (const QChar c : reply) {
        const ushort u = c.unicode();
        if (u >= 0x20 && u < 0x7F)
            out += c;
        else
            out += QStringLiteral("\\x") +
                   QStringLiteral("%1").arg(u & 0xFF, 2, 16, QLatin1Char('0')).toUpper();
    }
    return out;
}

QString versionCaption(const QString& reply) {
    return QStringLiteral("Corvane Update Ver. ") + printableReply(reply);
}

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

std::optional<PositionText> positionFromReply(const QString& reply, const QString& degMark,
                                              const QString& minMark) {
    if (!isPositionReply(reply))
        return std::nullopt;
    // The first 7 characters (HH:MM.T) and the first 6 of the last 7 (sDD*MM).
    const QString a = reply.left(7);
    const QString d = reply.right(7).left(6);
    return PositionText{a.left(2) + QLatin1Char('h') + a.right(4) + QLatin1Char('m'),
                        d.left(3) + degMark + d.right(2) + minMark};
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

QString replyName(qint16 kind) {
    switch (kind) {
    case ReplyKind::Version:
        return QStringLiteral("version query");
    case ReplyKind::RightAscension:
        return QStringLiteral("right ascension query");
    case ReplyKind::Declination:
        return QStringLiteral("declination query");
    case ReplyKind::SettingsDump:
        return QStringLiteral("settings query");
    case ReplyKind::PecState:
        return QStringLiteral("PEC state query");
    case ReplyKind::PecTable:
        return QStringLiteral("PEC table read-out");
    case ReplyKind::ControllerTarget:
        return QStringLiteral("target query");
    case ReplyKind::Position:
    case ReplyKind::Position2:
        return QStringLiteral("position query");
    default:
        return QStringLiteral("last command");
    }
}

QString noReplyMessage(qint16 kind) {
    return QStringLiteral("No reply to the ") + replyName(kind);
}

QString badReplyMessage(qint16 kind) {
    return QStringLiteral("Bad reply to the ") + replyName(kind);
}

} // namespace corvane
