#pragma once

#include <QString>
#include <functional>
#include <optional>

namespace corvane {

class BoardLine;

// The four manual motion directions, in the order of the move buttons'
// table: north, south, west, east.
enum class Direction { North = 0, South = 1, West = 2, East = 3 };
constexpr int kDirectionCount = 4;

// What each move button sends and recognises. The commands never change; only
// the letter shown on the button follows the swap check boxes.
struct MoveButtonInfo {
    Direction opposite;
    const char* stopOpposite; // sent first when a move starts
    const char* start;
    const char* stop;
    const char* movingPrefix; // followed by the button's letter
    const char* pulsePrefix;  // followed by the pulse time and "#"
};
const MoveButtonInfo& moveButtonInfo(Direction d);

// The letters shown on the move buttons (dirN, dirS, dirW, dirE).
struct DirectionLetters {
    QString dirN = QStringLiteral("N");
    QString dirS = QStringLiteral("S");
    QString dirW = QStringLiteral("W");
    QString dirE = QStringLiteral("E");

    const QString& of(Direction d) const;
    // Swapped: north shows "S" and south "N" (east/west likewise).
    void swapNS(bool swapped);
    void swapEW(bool swapped);
};

// Texts of the move buttons.
QString movingCaption(Direction d, const QString& letter);
QString moveToolTip(const QString& letter);
QString stopMovingToolTip(const QString& letter);

// Start and stop of continuous motion: the opposite direction is stopped
// first so the two can never run against each other.
void sendStartMove(BoardLine& line, Direction d);
void sendStopMove(BoardLine& line, Direction d);

// Guide rates of the three rate buttons; an empty text for any other index.
QString rateCommand(int index);

// A pulse or focus time typed by the user: a whole number of milliseconds
// from 0 to 65535 (the longest a timer here is given), digits only with
// blanks around them allowed. Anything else gives no value.
constexpr int kLongestPulseMs = 65535;
std::optional<int> pulseMilliseconds(const QString& text);

// One guide pulse: all motion stopped, 100 ms pause, then the timed move.
// `ended` learns whether the pulse command went out (it does not when the
// exchange was stopped first).
QString pulseCommand(Direction d, int ms);
void sendPulse(BoardLine& line, Direction d, int ms, std::function<void(bool sent)> ended = {});

// Pulse-guide mode button captions.
QString pulseOffCaption();
QString pulseOnCaption();
QString guidingCaption(const QString& letter);

// The controller's object search.
QString findCaption();
QString stopFindCaption();
// Stops all motion, waits 100 ms and starts the search.
void sendStartFind(BoardLine& line);
void sendStopFind(BoardLine& line);

// Tracking correction (Tarvix): the command that switches it on or off, and
// the button's caption while it is on or off.
QString tarvixCommand(bool on);
QString tarvixCaption(bool on);

} // namespace corvane
