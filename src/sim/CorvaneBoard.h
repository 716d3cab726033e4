#pragma once

#include "sim/BoardAccessories.h"
#include "sim/DriveSettings.h"
#include "sim/MountMotion.h"
#include "sim/PecUnit.h"

#include <QByteArray>

namespace corvane::sim {

struct BoardCommand;

// How a board is built: its firmware, the speed-up of its motors, and the
// UTC time (ms since 1970) at its time 0, for the sidereal clock.
struct BoardConfig {
    double firmware = 3.60;
    double speedup = 60.0;
    qint64 utcMsAtStart = 0;
    // Answer each drive-setting command with one character ("1" taken, "0"
    // refused), as some boards do; the program must never read it as a reply
    // it asked for.
    bool acknowledgeSettings = false;
};

// The Corvane controller board: executes commands against its state and
// returns each reply with exactly the length the program awaits. Time is
// given by the caller (milliseconds on the board's own time line), so the
// model is pure and runs the same in tests, in-process and on a
// pseudo-terminal.
class CorvaneBoard {
public:
    enum class ManualRate { Guide, Paddle8X, Paddle16X };

    explicit CorvaneBoard(const BoardConfig& config = BoardConfig());

    // Runs one command at time `nowMs`; returns the reply, empty for none.
    QByteArray execute(const BoardCommand& c, qint64 nowMs);
    // Lets the mount, focuser and worm run up to `nowMs`.
    void advanceTo(qint64 nowMs);
    // Power off and on: the stored settings and PEC table become the working
    // ones, and gear and worm changes take effect; motors and outputs stop.
    // The mount keeps pointing where it was.
    void powerCycle();

    double firmware() const { return m_firmware; }
    // Firmware above 3.56 answers the dump in two halves of 18 bytes in all.
    bool splitDump() const { return m_firmware > 3.56; }
    // Firmware above 3.58 can touch up the PEC table.
    bool touchUp() const { return m_firmware > 3.58; }
    // Firmware 3.5 and later has tracking correction.
    bool hasTrackingCorrection() const { return m_firmware >= 3.5; }
    QByteArray versionReply() const;

    DriveSettings& working() { return m_working; }
    const DriveSettings& stored() const { return m_stored; }
    MountMotion& mount() { return m_mount; }
    PecUnit& pec() { return m_pec; }
    Focuser& focuser() { return m_focuser; }
    const Outputs& outputs() const { return m_outputs; }
    bool trackingCorrection() const { return m_trackingCorrection; }
    ManualRate manualRate() const { return m_manualRate; }
    qint64 nowMs() const { return m_now; }
    double siderealHoursNow() const;

private:
    QByteArray executeColon(const BoardCommand& c);
    QByteArray executeQuery(const QByteArray& body);
    QByteArray executeMotion(const QByteArray& body);
    QByteArray executeAccessory(const QByteArray& body);
    QByteArray executeNumberedColon(const BoardCommand& c);
    QByteArray executeLetter(const BoardCommand& c);
    QByteArray executePec(const BoardCommand& c);
    QByteArray executeSingle(const BoardCommand& c);
    QByteArray setTarget(const QByteArray& body);
    QByteArray siteQuery(const QByteArray& body) const;
    QByteArray settingsDump(char half) const;
    MountMotion::Rates rates() const;
    double wormTurnMs() const;

    QByteArray settingAnswer(SettingResult result) const;

    double m_firmware;
    bool m_acknowledgeSettings;
    qint64 m_utcMsAtStart;
    qint64 m_now = 0;
    DriveSettings m_working;
    DriveSettings m_stored;
    DriveSettings m_powerUp; // what the motors were set up with at power-up
    MountMotion m_mount;
    PecUnit m_pec;
    Focuser m_focuser;
    Outputs m_outputs;
    bool m_trackingCorrection = false;
    ManualRate m_manualRate = ManualRate::Paddle8X;
};

} // namespace corvane::sim
