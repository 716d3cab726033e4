#pragma once

#include <QVector>

namespace corvane::sim {

enum class Direction { North, South, East, West };

// Where the mount points and how it moves: tracking, goto slews, manual moves,
// board-timed guide pulses and the object search (a square spiral around the
// place where it started). Coordinates are right ascension in hours [0, 24)
// and declination in degrees [-90, +90]. Rates are multiples of the sidereal
// rate (1X = 15 arc seconds, one second of right ascension, per second);
// every motor rate is multiplied by the speed-up factor, tracking is not.
class MountMotion {
public:
    struct Rates {
        double gotoX = 27;
        double manualX = 8;
        double guideX = 5.0 / 3.0;
        double findX = 8;
        double trackingFraction = 1.0; // 1 sidereal, 0 switched off
    };

    explicit MountMotion(double speedup = 60.0) : m_speedup(speedup) {}

    double speedup() const { return m_speedup; }
    void setSpeedup(double f) { m_speedup = f > 0 ? f : 1.0; }

    double ra() const { return m_ra; }
    double dec() const { return m_dec; }
    void setPosition(double raHours, double decDegrees);
    double targetRa() const { return m_targetRa; }
    double targetDec() const { return m_targetDec; }
    void setTargetRa(double hours);
    void setTargetDec(double degrees);

    // Goto: slews both axes toward the held target; manual moves and the
    // search stop.
    void startGoto();
    bool isSlewing() const { return m_slewing; }
    // Sync: the held target becomes the position.
    void sync();

    void startMove(Direction d);
    void stopMove(Direction d);
    bool isMoving(Direction d) const { return m_moving[index(d)]; }
    // Moves at the guide rate for `ms` milliseconds, timed by the board.
    void pulse(Direction d, int ms);
    int pulsesRunning() const { return m_pulses.size(); }

    void startFind();
    void stopFind();
    bool isFinding() const { return m_finding; }

    // Stops the slew, every manual move, every pulse and the search.
    void stopAll();
    // True while anything but tracking moves the mount.
    bool isBusy() const;

    // Moves the mount on by `ms` milliseconds. Returns the right-ascension
    // correction (hours, east positive) that manual moves and guide pulses
    // made in that time; PEC training records it.
    double advance(double ms, const Rates& rates);

private:
    static int index(Direction d) { return static_cast<int>(d); }
    double step(double ms, const Rates& rates);
    void stepSlew(double seconds, const Rates& rates);
    double stepManual(double seconds, const Rates& rates);
    double stepPulses(double ms, const Rates& rates);
    void stepFind(double seconds, const Rates& rates);
    // Moves by `degrees` of arc in a direction; returns the RA change in hours.
    double shift(Direction d, double degrees);
    void normalise();

    struct Pulse {
        Direction direction;
        double remainingMs;
    };

    double m_speedup;
    double m_ra = 0.0;
    double m_dec = 90.0;
    double m_targetRa = 0.0;
    double m_targetDec = 90.0;
    bool m_slewing = false;
    bool m_moving[4] = {false, false, false, false};
    QVector<Pulse> m_pulses;
    bool m_finding = false;
    int m_findLeg = 0;
    double m_findLegDone = 0.0;
};

} // namespace corvane::sim
