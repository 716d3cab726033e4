#pragma once

#include "motion/Guiding.h"
#include "motion/TimeToTarget.h"

#include <QObject>
#include <functional>

namespace corvane {

class BoardLine;
class Clock;
class ClockTimer;
class MountPosition;
class Target;

// Automatic position updates: Timer1 fires every interval while they are
// switched on (Check1) and the guiding page is shown. Each tick estimates the
// slew time to the target, waits 50 ms and asks for the position. A tick that
// finds an exchange still running, or a reply still on its way, sends
// nothing: polling never stacks up requests.
class PositionPolling : public QObject, public PollingControl {
    Q_OBJECT
public:
    static constexpr int kTickSettleMs = 50;
    static constexpr int kDefaultTimerMs = 500;
    static constexpr int kDefaultIntervalMs = 1000;

    PositionPolling(BoardLine& line, Clock& clock, MountPosition& position, const Target& target,
                    QObject* parent = nullptr);

    // Where the goto speed is read from (16 for "16X"; 0 while none is known).
    void setGotoSpeed(std::function<double()> gotoSpeed) { m_gotoSpeed = std::move(gotoSpeed); }

    // Check1: switched on or off by the user.
    void setChecked(bool on);
    bool isChecked() const { return m_checked; }
    bool isCheckEnabled() const { return m_checkEnabled; }
    bool autoUpdate() const { return m_autoUpdate; }
    // scrlUDTime: the interval in milliseconds (500..10000).
    void setInterval(int ms);
    int interval() const { return m_interval; }
    // Check1's caption: the interval once it was chosen or polling switched on.
    const QString& caption() const { return m_caption; }
    // Polling runs only while the guiding page is shown.
    void setGuidingPageShown(bool shown);
    // Start-up: polling off, whatever was chosen.
    void switchOff();

    void tick();
    const TimeToTarget& estimate() const { return m_estimate; }

    void pauseForSearch() override;
    void resumeAfterSearch() override;

    ClockTimer* timer() const { return m_timer1; }

signals:
    void changed();
    void estimated(const QString& text);

private:
    BoardLine& m_line;
    MountPosition& m_position;
    const Target& m_target;
    ClockTimer* m_timer1;
    std::function<double()> m_gotoSpeed;
    bool m_checked = false;
    bool m_checkEnabled = true;
    bool m_autoUpdate = false;
    bool m_guidingPageShown = false;
    int m_interval = kDefaultIntervalMs;
    QString m_caption;
    TimeToTarget m_estimate;
};

// "Auto Update Position     Update Interval 2.5 Sec"
QString intervalCaption(int ms);

} // namespace corvane
