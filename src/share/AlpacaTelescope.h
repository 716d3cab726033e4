#pragma once

#include "share/AlpacaCommon.h"
#include "share/BoardCoordinates.h"
#include "share/Lx200Answers.h"
#include "share/SkyTime.h"
#include "share/StellariumProtocol.h"

#include <array>

namespace corvane {

class ClockTimer;
struct ShareSettings;

// The mount as ASCOM programs see it ("telescope/0"): what the board can do,
// each request rebuilt in its own commands. Positions come from the shared
// position (one cache for every program); one older than kOldestPositionMs
// is never given as current. The site is the sharing settings' own.
class AlpacaTelescope : public AlpacaCommon {
    Q_OBJECT
public:
    static constexpr int kOldestPositionMs = 5000;
    // Sidereal rate in degrees a second (15.041 arc seconds a second).
    static constexpr double kSiderealDegreesPerSecond = 15.041 / 3600.0;

    AlpacaTelescope(SharedMount& mount, ShareSettings& settings, QString uniqueId,
                    QObject* parent = nullptr);

    QString deviceType() const override { return QStringLiteral("Telescope"); }
    QString name() const override { return QStringLiteral("Corvane mount"); }
    QString uniqueId() const override { return m_uniqueId; }

    // The board's three rates (the guiding page's rate buttons) in degrees a
    // second, read from the buttons' captions ("2X", "1.33X", "16X").
    std::array<double, 3> axisRates() const;
    double guideRate() const { return axisRates()[0]; }

    ClockTimer* pulseTimer() const { return m_pulseTimer; }

signals:
    // A client set the site's latitude, longitude or elevation.
    void siteChanged();

protected:
    void deviceState(const Done& done) override;
    QString description() const override;

private:
    struct Reading {
        SkyPosition position;
        qint64 atMs = 0;
    };
    // A goto a client started, until the mount has arrived or stopped.
    struct Slew {
        BoardTarget target;
        std::optional<BoardRa> lastRa;
        std::optional<BoardDec> lastDec;
        qint64 sinceMs = 0;         // since when the position stands
        qint64 arrivedReading = -1; // the first reading at the target
    };
    void addReads();
    void addSite();
    void addTarget();
    void addCapabilities();
    void addMotion();
    void addMoves();

    // The position, or `done` told why there is none to give.
    void readPosition(const Done& done, std::function<void(const SkyPosition&)> use);
    Horizontal horizontal(const SkyPosition& at) const;
    double siderealHours() const;
    void readSlewing(const Done& done);
    bool stillSlewing();
    void setSite(const AlpacaRequest& r, const Done& done, const QString& name, double low,
                 double high, double SiteSettings::*field);

    void slewTo(const AlpacaRequest& r, const Done& done);
    void syncTo(const AlpacaRequest& r, const Done& done);
    // The target set on the board (both coordinates), then `next`.
    BoardTarget boardTarget() const;
    void setBoardTarget(const AlpacaRequest& r, const Done& done, const BoardTarget& target,
                        std::function<void()> next);
    std::optional<std::pair<double, double>> coordinates(const AlpacaRequest& r, const Done& done);
    bool hasTarget(const Done& done) const;
    void moveAxis(const AlpacaRequest& r, const Done& done);
    void stopAxis(const AlpacaRequest& r, const Done& done, int axis);
    void pulseGuide(const AlpacaRequest& r, const Done& done);
    void abort(const AlpacaRequest& r, const Done& done);
    void forgetMotion();

    ShareSettings& m_settings;
    QString m_uniqueId;
    std::optional<double> m_targetRa;
    std::optional<double> m_targetDec;
    std::optional<Reading> m_lastGood;
    std::optional<Slew> m_slew;
    // What each axis moves at (degrees a second, the sign its direction; 0
    // standing) and which of the board's rates that is.
    double m_axisRate[2] = {0.0, 0.0};
    int m_axisRateIndex[2] = {-1, -1};
    ClockTimer* m_pulseTimer;
};

} // namespace corvane
