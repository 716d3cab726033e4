#include "link/Replies.h"

#include "common/NumberText.h"

namespace corvane {

VersionInfo parseVersionReply(const QString& reply) {
    VersionInfo info;
    const float v = static_cast<float>(leadingNumber(reply));
    info.version = v;
    info.splitSettingsDump = v > 3.56f;
    info.pecTouchUp = v > 3.58f;
    info.decWormRowShown = v > 3.3f && v <= 3.56f;
    info.tarvixEnabled = v >= 3.5f;
    return info;
}

QString versionCaption(const QString& reply) {
    return QStringLiteral("Corvane Update Ver. ") + reply;
}

namespace {
// The first 7 characters (HH:MM.T) and the first 6 of the last 7 (sDD*MM).
QString raPart(const QString& r) {
    return r.left(7);
}
QString decPart(const QString& r) {
    return r.right(7).left(6);
}
} // namespace

PositionText positionFromReply(const QString& reply, const QString& degMark,
                               const QString& minMark) {
    const QString a = raPart(reply);
    const QString d = decPart(reply);
    return {a.left(2) + QLatin1Char('h') + a.right(4) + QLatin1Char('m'),
            d.left(3) + degMark + d.right(2) + minMark};
}

QString rawRightAscension(const QString& reply) {
    return reply.right(8).left(7);
}

QString rawDeclination(const QString& reply) {
    return reply.right(7).left(6);
}

TargetText targetFromReply(const QString& reply) {
    TargetText t;
    t.response = reply.right(15);
    const QString a = raPart(t.response);
    const QString d = decPart(t.response);
    t.hours = a.left(2);
    t.minutes = a.right(4);
    t.degrees = d.left(3);
    t.decMinutes = d.right(2);
    return t;
}

} // namespace corvane
