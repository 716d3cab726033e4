#include "motion/Motion.h"

#include "common/NumberText.h"
#include "controller/Commands.h"
#include "link/BoardLine.h"

#include <QRegularExpression>

namespace corvane {

namespace {

// Indexed by Direction. Note the west button's moving caption has no blank
// ("MovingW"), as the board's hand-paddle software has always shown it.
const MoveButtonInfo kMoves[kDirectionCount] = {
    {Direction::South, "#:Qs#", "#:Mn#", "#:Qn#", "Moving ", "#:Mgn"},
    {Direction::North, "#:Qn#", "#:Ms#", "#:Qs#", "Moving ", "#:Mgs"},
    {Direction::East, "#:Qe#", "#:Mw#", "#:Qw#", "Moving", "#:Mgw"},
    {Direction::West, "#:Qw#", "#:Me#", "#:Qe#", "Moving ", "#:Mge"},
};

const char* const kRates[3] = {"#:RG#", "#:RM#", "#:RS#"};

const char* const kStartFind = "F";
const char* const kStopFind = "#:Mn:Q#";
const char* const kTarvixOn = "#>I";
const char* const kTarvixOff = "#<I";

// The board stops all motion before it takes a pulse or starts a search.
constexpr int kStopSettleMs = 100;

} // namespace

const MoveButtonInfo& moveButtonInfo(Direction d) {
    return kMoves[static_cast<int>(d)];
}

const QString& DirectionLetters::of(Direction d) const {
    switch (d) {
    case Direction::North:
        return dirN;
    case Direction::South:
        return dirS;
    case Direction::West:
        return dirW;
    case Direction::East:
        break;
    }
    return dirE;
}

void DirectionLetters::swapNS(bool swapped) {
    dirN = QLatin1String(swapped ? "S" : "N");
    dirS = QLatin1String(swapped ? "N" : "S");
}

void DirectionLetters::swapEW(bool swapped) {
    dirW = QLatin1String(swapped ? "E" : "W");
    dirE = QLatin1String(swapped ? "W" : "E");
}

QString movingCaption(Direction d, const QString& letter) {
    return QLatin1String(moveButtonInfo(d).movingPrefix) + letter;
}

QString moveToolTip(const QString& letter) {
    return QStringLiteral("Move ") + letter;
}

QString stopMovingToolTip(const QString& letter) {
    return QStringLiteral("Stop Moving ") + letter;
}

void sendStartMove(BoardLine& line, Direction d) {
    const MoveButtonInfo& info = moveButtonInfo(d);
    line.send(QLatin1String(info.stopOpposite));
    line.send(QLatin1String(info.start));
}

void sendStopMove(BoardLine& line, Direction d) {
    line.send(QLatin1String(moveButtonInfo(d).stop));
}

QString rateCommand(int index) {
    if (index < 0 || index > 2)
        return QString();
    return QLatin1String(kRates[index]);
}

std::optional<int> pulseMilliseconds(const QString& text) {
    static const QRegularExpression digits(QStringLiteral("^\\s*([0-9]{1,9})\\s*$"));
    const QRegularExpressionMatch m = digits.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const int value = m.captured(1).toInt();
    if (value > kLongestPulseMs)
        return std::nullopt;
    return value;
}

QString pulseCommand(Direction d, int ms) {
    return QLatin1String(moveButtonInfo(d).pulsePrefix) + shortestDecimal(ms) + QLatin1Char('#');
}

void sendPulse(BoardLine& line, Direction d, int ms, std::function<void(bool sent)> ended) {
    line.run(Sequence(QStringLiteral("guide pulse"))
                 .send(QLatin1String(kStopAllCommand))
                 .pause(kStopSettleMs)
                 .send(pulseCommand(d, ms))
                 .onEnd([ended = std::move(ended)](SequenceResult result) {
                     if (ended)
                         ended(result == SequenceResult::Done);
                 }));
}

QString pulseOffCaption() {
    return QStringLiteral("Pulse Guide Off");
}

QString pulseOnCaption() {
    return QStringLiteral("Pulse Guide On");
}

QString guidingCaption(const QString& letter) {
    return QStringLiteral("Guiding ") + letter;
}

QString findCaption() {
    return QStringLiteral("Find");
}

QString stopFindCaption() {
    return QStringLiteral("Stop Find");
}

void sendStartFind(BoardLine& line) {
    line.run(Sequence(QStringLiteral("find"))
                 .send(QLatin1String(kStopAllCommand))
                 .pause(kStopSettleMs)
                 .send(QLatin1String(kStartFind)));
}

void sendStopFind(BoardLine& line) {
    line.send(QLatin1String(kStopFind));
}

QString tarvixCommand(bool on) {
    return QLatin1String(on ? kTarvixOn : kTarvixOff);
}

QString tarvixCaption(bool on) {
    return on ? QStringLiteral("Disable Tarvix") : QStringLiteral("Enable Tarvix");
}

} // namespace corvane
