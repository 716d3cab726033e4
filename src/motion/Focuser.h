#pragma once

#include "motion/Focus.h"

#include <QObject>
#include <optional>

namespace corvane {

class BoardLine;
class Clock;
class ClockTimer;
class Prompts;

// The focuser: in, out and stop, fast or slow, and an optional pulse that
// stops it again once its time has passed (Timer3). The board does not time
// focuser moves nor report the speed; this keeps what the user chose.
class Focuser : public QObject {
    Q_OBJECT
public:
    Focuser(BoardLine& line, Clock& clock, Prompts& prompts, QObject* parent = nullptr);

    bool fast() const { return m_fast; }
    bool pulseMode() const { return m_pulseMode; }
    // The pulse length in milliseconds; none until a number is typed, and
    // while what was typed last is no such number.
    std::optional<int> pulseLength() const { return m_pulseLength; }

    // In pulse mode a move stops after the pulse length (none refuses the
    // move with "Invalid Entry"); otherwise it runs until stopped.
    void move(FocusMove move);
    void stop();
    // The speed chosen: its command goes out at once.
    void setFast(bool fast);
    void setPulseMode(bool on);
    // The pulse length as the user types it (see pulseMilliseconds).
    void setPulseLength(const QString& typed);

    ClockTimer* pulseTimer() const { return m_timer3; }

signals:
    void changed();

private:
    void pulseEnded();

    BoardLine& m_line;
    Prompts& m_prompts;
    ClockTimer* m_timer3;
    bool m_fast = false;
    bool m_pulseMode = false;
    std::optional<int> m_pulseLength;
};

} // namespace corvane
