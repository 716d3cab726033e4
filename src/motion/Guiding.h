#pragma once

#include "motion/Motion.h"

#include <QObject>
#include <optional>

namespace corvane {

class BoardLine;
class Clock;
class ClockTimer;
class Prompts;

// Position polling as the object search sees it: the board answers no
// position queries while it searches.
class PollingControl {
public:
    virtual ~PollingControl() = default;
    virtual void pauseForSearch() = 0;
    virtual void resumeAfterSearch() = 0;
};

// Manual motion, guide pulses, the object search and tracking correction:
// what moves, which rate is chosen, whether pulse-guide mode is on, the pulse
// length and whether a pulse runs, whether the search and tracking correction
// are on, the direction letters. The board times every motion and pulse; this
// keeps what the program started, since the board does not report it. The
// captions the guiding page shows are derived from it.
class Guiding : public QObject {
    Q_OBJECT
public:
    Guiding(BoardLine& line, Clock& clock, Prompts& prompts, PollingControl& polling,
            QObject* parent = nullptr);

    // Start-up: rate 2X chosen (its command goes out when connected), pulse
    // mode off, the unswapped letters.
    void reset();

    bool isMoving(Direction d) const { return m_moving[static_cast<int>(d)]; }
    const DirectionLetters& letters() const { return m_letters; }
    bool pulseMode() const { return m_pulseMode; }
    std::optional<Direction> pulsing() const { return m_pulsing; }
    // The pulse length in milliseconds; none while what was typed last is no
    // such number (a pulse is then refused with "Invalid Entry").
    std::optional<int> pulseLength() const { return m_pulseLength; }
    bool isFinding() const { return m_finding; }
    bool tarvixOn() const { return m_tarvixOn; }
    bool tarvixAvailable() const { return m_tarvixAvailable; }
    // STOP is offered unless the search runs (it has its own stop).
    bool canStop() const { return !m_finding; }
    int rate() const { return m_rate; }
    const QString& rateCaption(int index) const { return m_rateCaptions[index]; }

    QString moveCaption(Direction d) const;
    // "Move N" or "Stop Moving N" once the button was used; until then empty
    // (the button keeps its own tool tip).
    QString moveToolTip(Direction d) const;
    QString pulseCaption() const;
    QString findCaption() const;
    QString tarvixCaption() const;

    // The pulse length as the user types it (see pulseMilliseconds).
    void setPulseLength(const QString& typed);
    // A direction pressed: in pulse mode one pulse of the pulse length, else
    // a start, or a stop when that direction moves.
    void pressMove(Direction d);
    // The keyboard: a key held down moves that direction until it is let go
    // (in pulse mode, a key press sends one pulse instead).
    void keyDown(Direction d);
    void keyUp(Direction d);
    // The window lost the focus: what keys hold is stopped.
    void releaseKeys();
    // STOP: an exchange under way is cancelled (unless protected), then
    // "#:Q#" goes out at once and nothing shows as moving.
    void stop();
    void togglePulseMode();
    void selectRate(int index);
    void swapNorthSouth(bool swapped);
    void swapEastWest(bool swapped);
    void toggleFind();
    void toggleTarvix();
    // The settings readback names the rates; the version whether the board
    // has tracking correction.
    void setRateCaption(int index, const QString& caption);
    void setTarvixAvailable(bool available);

    ClockTimer* pulseTimer() const { return m_timer2; }

signals:
    void changed();

private:
    void startMoving(Direction d);
    void sendPulseFor(Direction d);
    void pulseSent(bool sent, int ms);
    void pulseEnded();
    void setMoving(Direction d, bool moving);
    void allIdle();

    BoardLine& m_line;
    Prompts& m_prompts;
    PollingControl& m_polling;
    ClockTimer* m_timer2;
    bool m_moving[kDirectionCount] = {};
    bool m_tipShown[kDirectionCount] = {};
    bool m_keyHeld[kDirectionCount] = {};
    DirectionLetters m_letters;
    bool m_pulseMode = false;
    std::optional<int> m_pulseLength = 0;
    std::optional<Direction> m_pulsing;
    bool m_finding = false;
    bool m_tarvixOn = false;
    bool m_tarvixAvailable = false;
    int m_rate = 0;
    QString m_rateCaptions[3];
};

} // namespace corvane
