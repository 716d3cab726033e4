#pragma once

#include <QByteArray>
#include <array>

namespace corvane::sim {

// The board's periodic-error-correction unit: a table of 256 one-digit codes,
// one per step of the right-ascension worm's turn (1 raise the correction
// speed by the factor, 2 lower it, 3 reset it to 0, others keep it), the
// factor 1..9, the replay switches (hand paddle and serial port) and
// training. Training records, for each worm step that passes, which way the
// observer guided in right ascension during it. The working table and factor
// are stored by the end of training or restore ("#:XYR") and come back from
// the stored copy at power-up.
class PecUnit {
public:
    static constexpr int kSteps = 256;
    static constexpr int kSpeedLimit = 47;

    PecUnit();

    int factor() const { return m_factor; }
    bool setFactor(int factor); // 1..9
    int code(int step) const { return m_table.at(static_cast<size_t>(step)); }
    bool writeCode(int step, int code); // step 0..255, code 0..9

    void setSerialEnabled(bool on) { m_serial = on; }
    void setPaddleEnabled(bool on) { m_paddle = on; }
    bool serialEnabled() const { return m_serial; }
    bool paddleEnabled() const { return m_paddle; }

    // Clears the table and trains it anew, or (touch up) keeps the codes of
    // steps without a guiding correction.
    void startTraining(bool touchUp);
    void stopTraining();
    bool isTraining() const { return m_training != Training::Off; }
    // Ends training and stores the table and factor.
    void commit();
    // Power-up: the stored table and factor become the working ones.
    void restoreStored();

    // 0 off, 1 paddle, 2 serial, 3 both; 4..7 the same while training.
    int modeDigit() const;
    // High digit 8 while the table is sound (not cleared for training and not
    // yet stored), low digit the mode.
    quint8 statusByte() const;
    // Ten bytes: current step, its code, requested and limited correction
    // speed (signed), steps recorded in this training, status, the two speed
    // limits (+47, -47), tracking correction flag, factor.
    QByteArray stateReply(bool trackingCorrection) const;

    int currentStep() const;
    // Requested correction speed at a step: the running sum of the codes.
    int requestedSpeed(int step) const;

    // Turns the worm on by `ms`; `wormTurnMs` is one turn of the worm and
    // `raCorrection` the guiding in right ascension during that time (east
    // positive).
    void advance(double ms, double wormTurnMs, double raCorrection);

private:
    enum class Training { Off, Clear, TouchUp };
    void recordStep(int step);

    std::array<quint8, kSteps> m_table{};
    std::array<quint8, kSteps> m_stored{};
    int m_factor = 3;
    int m_storedFactor = 3;
    bool m_serial = false;
    bool m_paddle = false;
    bool m_healthy = true;
    Training m_training = Training::Off;
    double m_phase = 0.0; // worm steps, [0, 256)
    double m_stepCorrection = 0.0;
    int m_stepsRecorded = 0;
};

} // namespace corvane::sim
