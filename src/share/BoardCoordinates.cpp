#include "share/BoardCoordinates.h"

#include "motion/PositionReplies.h"
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

std::optional<SkyPosition> skyPosition(const BoardPosition& position) {
    if (position.dec.minutes > kDecMinutesToPole)
        return std::nullopt;
    return SkyPosition{position.ra.hours(), position.dec.degrees()};
}

std::optional<SkyPosition> positionFromBoardReply(const QString& reply) {
    const std::optional<BoardPosition> position = positionFromReply(reply);
    return position ? skyPosition(*position) : std::nullopt;
}

} // namespace corvane
