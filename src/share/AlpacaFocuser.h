#pragma once

#include "share/AlpacaCommon.h"

namespace corvane {

class ClockTimer;

// The focuser as ASCOM programs see it ("focuser/0"): a relative focuser
// whose step is one millisecond of the focus motor at the speed the user
// chose, the sign of a move its direction (positive outward). The board
// does not time focuser moves: the stop goes out once the steps have run.
class AlpacaFocuser : public AlpacaCommon {
    Q_OBJECT
public:
    static constexpr int kMostSteps = 30000;

    AlpacaFocuser(SharedMount& mount, QString uniqueId, QObject* parent = nullptr);

    QString deviceType() const override { return QStringLiteral("Focuser"); }
    QString name() const override { return QStringLiteral("Corvane focuser"); }
    QString uniqueId() const override { return m_uniqueId; }

    bool isMoving() const;
    ClockTimer* moveTimer() const { return m_moveTimer; }

protected:
    void deviceState(const Done& done) override;
    QString description() const override;

private:
    void move(const AlpacaRequest& r, const Done& done);
    void halt(const AlpacaRequest& r);

    QString m_uniqueId;
    ClockTimer* m_moveTimer;
    // The client whose move runs, named when its stop goes out.
    AlpacaRequest m_mover;
};

} // namespace corvane
