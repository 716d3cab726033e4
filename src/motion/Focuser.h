#pragma once

#include "motion/Focus.h"

#include <QObject>

namespace corvane {

class Channel;
class Clock;
class ClockTimer;
class Prompts;

// The focuser: in, out and stop, fast or slow, and an optional pulse that
// stops it again once its time has passed (Timer3). The board does not time
// focuser moves.
class Focuser : public QObject {
    Q_OBJECT
public:
    Focuser(Channel& channel, Clock& clock, Prompts& prompts, QObject* parent = nullptr);

    // A move; with `pulse` it stops after the milliseconds the text gives
    // (a text that is no such number is refused with "Invalid Entry").
    void move(FocusMove move, bool pulse, const QString& pulseLength);
    void stop();
    void setFast(bool fast);

    ClockTimer* pulseTimer() const { return m_timer3; }

private:
    void pulseEnded();

    Channel& m_channel;
    Prompts& m_prompts;
    ClockTimer* m_timer3;
};

} // namespace corvane
