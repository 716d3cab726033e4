#pragma once

namespace corvane::sim {

// The focuser motor: runs in (+1) or out (-1) until stopped; the board does
// not time it. Fast and slow are two step rates.
struct Focuser {
    static constexpr double kFastStepsPerSecond = 200.0;
    static constexpr double kSlowStepsPerSecond = 20.0;

    double position = 0.0; // steps, counting up while moving in
    int direction = 0;
    bool fast = false;

    void advance(double ms) {
        const double rate = fast ? kFastStepsPerSecond : kSlowStepsPerSecond;
        position += direction * rate * ms / 1000.0;
    }
};

// The switched outputs: fan and the two user pins of the connector.
struct Outputs {
    bool fan = false;
    bool pin7 = false;
    bool pin14 = false;
};

} // namespace corvane::sim
