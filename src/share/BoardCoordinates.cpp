#include "share/BoardCoordinates.h"

#include "common/NumberText.h"
#include "motion/MountPosition.h"
#include "motion/PositionReplies.h"
#include "motion/TargetCommands.h"
#include "share/AngleText.h"

#include <cmath>

namespace corvane {

namespace {

constexpr qint64 kThousandthsPerRaTenth = 6 * kThousandthsPerSecond;

// Rounds a magnitude to whole steps, halves up.
qint64 roundedSteps(qint64 thousandths, qint64 step) {
    return (thousandths + step / 2) / step;
}

BoardDec decFromMinutes(bool negative, qint64 minutes) {
    return BoardDec{negative && minutes > 0, static_cast<int>(minutes)};
}

} // namespace

double BoardRa::hours() const {
    return tenths / 600.0;
}

QString BoardRa::hoursText() const {
    return format00(tenths / 600);
}

QString BoardRa::minutesText() const {
    return format00((tenths / 10) % 60) + QLatin1Char('.') + QString::number(tenths % 10);
}

double BoardDec::degrees() const {
    return (south ? -minutes : minutes) / 60.0;
}

QString BoardDec::degreesText() const {
    return QLatin1Char(south ? '-' : '+') + format00(minutes / 60);
}

QString BoardDec::minutesText() const {
    return format00(minutes % 60);
}

bool operator==(const BoardRa& a, const BoardRa& b) {
    return a.tenths == b.tenths;
}

bool operator==(const BoardDec& a, const BoardDec& b) {
    return a.south == b.south && a.minutes == b.minutes;
}

std::optional<BoardRa> boardRaFromText(const QByteArray& text) {
    const auto angle = readAngleText(text, AngleForm{2, false, ":"});
    if (!angle || angle->lead > 23)
        return std::nullopt;
    const qint64 tenths = roundedSteps(angle->thousandths, kThousandthsPerRaTenth);
    return BoardRa{static_cast<int>(tenths % kRaTenthsPerDay)};
}

std::optional<BoardDec> boardDecFromText(const QByteArray& text) {
    const auto angle = readAngleText(text, AngleForm{2, true, kDegreeMarks});
    if (!angle || angle->thousandths > 90 * kThousandthsPerUnit)
        return std::nullopt;
    return decFromMinutes(angle->negative, roundedSteps(angle->thousandths, kThousandthsPerMinute));
}

std::optional<BoardRa> boardRaFromHours(double hours) {
    if (!(hours >= 0.0 && hours < 24.0))
        return std::nullopt;
    return BoardRa{static_cast<int>(std::llround(hours * 600.0) % kRaTenthsPerDay)};
}

std::optional<BoardDec> boardDecFromDegrees(double degrees) {
    if (!(std::fabs(degrees) <= 90.0))
        return std::nullopt;
    return decFromMinutes(degrees < 0.0, std::llround(std::fabs(degrees) * 60.0));
}

QString setTargetRaCommand(const BoardRa& ra) {
    TargetFieldTexts texts;
    texts.hours = ra.hoursText();
    texts.minutes = ra.minutesText();
    return setRACommand(texts);
}

QString setTargetDecCommand(const BoardDec& dec) {
    TargetFieldTexts texts;
    texts.degrees = dec.degreesText();
    texts.decMinutes = dec.minutesText();
    return setDECCommand(texts);
}

std::optional<SkyPosition> positionFromBoardReply(const QString& reply) {
    if (!isPositionReply(reply))
        return std::nullopt;
    // HH:MM.T#sDD*MM#
    const int raTenths =
        reply.mid(0, 2).toInt() * 600 + reply.mid(3, 2).toInt() * 10 + reply.mid(6, 1).toInt();
    const int decMinutes = reply.mid(9, 2).toInt() * 60 + reply.mid(12, 2).toInt();
    if (decMinutes > kDecMinutesToPole)
        return std::nullopt; // "+90*30" is no place on the sky
    const bool south = reply.at(8) == QLatin1Char('-');
    return SkyPosition{BoardRa{raTenths}.hours(), BoardDec{south, decMinutes}.degrees()};
}

} // namespace corvane
