#pragma once

#include <QByteArray>

namespace corvane::sim {

// Faults of a bad line, counted in replies (1, 2, 3, ...): every Nth reply
// dropped, cut short or garbled; every reply delayed; the adapter vanishing
// once a number of replies have gone out. 0 switches a fault off.
struct FaultOptions {
    int dropEvery = 0;
    int truncateEvery = 0;
    int garbleEvery = 0;
    int delayMs = 0;
    int vanishAfter = 0;

    bool any() const {
        return dropEvery > 0 || truncateEvery > 0 || garbleEvery > 0 || delayMs > 0 ||
               vanishAfter > 0;
    }
};

// Applies the faults to each reply on its way out. Tests can also ask for
// one fault on the next reply.
class FaultInjector {
public:
    struct Outcome {
        QByteArray bytes;            // what goes on the line (empty when dropped)
        int delayMs = 0;             // extra wait before the first byte
        bool vanishAfter = false;    // the adapter vanishes once these bytes are out
        const char* fault = nullptr; // "dropped", "truncated", "garbled" or none
    };

    explicit FaultInjector(const FaultOptions& options = FaultOptions()) : m_options(options) {}

    const FaultOptions& options() const { return m_options; }
    // The line gets better or worse from the next reply on.
    void setOptions(const FaultOptions& options) { m_options = options; }
    int repliesSeen() const { return m_count; }

    Outcome apply(const QByteArray& reply);

    void dropNext() { m_dropNext = true; }
    void truncateNext() { m_truncateNext = true; }
    void garbleNext() { m_garbleNext = true; }
    void delayNext(int ms) { m_delayNext = ms; }

    // Keeps the first half of a reply (at least one byte goes missing).
    static QByteArray truncated(const QByteArray& reply);
    // Turns the middle byte of a reply into line noise.
    static QByteArray garbled(const QByteArray& reply);

private:
    static bool due(int every, int count) { return every > 0 && count % every == 0; }

    FaultOptions m_options;
    int m_count = 0;
    bool m_dropNext = false;
    bool m_truncateNext = false;
    bool m_garbleNext = false;
    int m_delayNext = 0;
};

} // namespace corvane::sim
