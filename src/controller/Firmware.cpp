#include "controller/Firmware.h"

#include "link/Replies.h"

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

QString versionCaption(const QString& reply) {
    return QStringLiteral("Corvane Update Ver. ") + printableReply(reply);
}

} // namespace corvane
